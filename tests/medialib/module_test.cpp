// The plug-in as the host sees it: a file loaded at run time with four
// C entry points.
#include "kgiMediaLib.h"
#include "medialib/mediaFixtures.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

// The names a shared object defines in its dynamic symbol table (what a
// loader can bind to), read from the file itself; empty when it is not a
// 64-bit ELF file.
std::set<std::string> exportedNames(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (file.size() < sizeof(Elf64_Ehdr))
        return names;
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(file.data());
    if (header->e_ident[EI_CLASS] != ELFCLASS64 ||
        header->e_shoff + header->e_shnum * sizeof(Elf64_Shdr) > file.size())
        return names;
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(file.data() + header->e_shoff);
    for (int i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM || sections[i].sh_link >= header->e_shnum)
            continue;
        const Elf64_Shdr& strings = sections[sections[i].sh_link];
        const auto* symbols = reinterpret_cast<const Elf64_Sym*>(file.data() + sections[i].sh_offset);
        for (size_t k = 0; k < sections[i].sh_size / sizeof(Elf64_Sym); ++k) {
            int binding = ELF64_ST_BIND(symbols[k].st_info);
            if (symbols[k].st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK))
                continue;
            names.insert(file.data() + strings.sh_offset + symbols[k].st_name);
        }
    }
    return names;
}

} // namespace

TEST(MediaModule, ExportsNothingButTheFourEntryPoints)
{
    std::set<std::string> expected = {"CreateMediaTrack", "DestroyMediaTrack", "CreateMediaWindow",
                                      "DestroyMediaWindow"};
    EXPECT_EQ(exportedNames(KGI_MEDIALIB_PATH), expected);
}

TEST(MediaModule, ExportsTheFourEntryPointsAndPlays)
{
    void* lib = dlopen(KGI_MEDIALIB_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto create = reinterpret_cast<kgiCreateMediaTrackFn>(dlsym(lib, "CreateMediaTrack"));
    auto destroy = reinterpret_cast<kgiDestroyMediaTrackFn>(dlsym(lib, "DestroyMediaTrack"));
    auto createWindow =
        reinterpret_cast<kgiCreateMediaWindowFn>(dlsym(lib, "CreateMediaWindow"));
    auto destroyWindow =
        reinterpret_cast<kgiDestroyMediaWindowFn>(dlsym(lib, "DestroyMediaWindow"));
    ASSERT_TRUE(create && destroy && createWindow && destroyWindow);

    mediatest::useFakeSinksForFactory();
    kgi::kgiMediaTrack* t = create(mediatest::writeWav("module.wav", 400).c_str());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->getFileName(), "module.wav");
    EXPECT_NEAR(t->getDuration(), 400.0f, 1.0f);
    EXPECT_TRUE(t->play(0));
    EXPECT_TRUE(t->isPlaying());
    destroy(t);
    EXPECT_EQ(create("/no/such/file.avi"), nullptr);

    EXPECT_EQ(createWindow(nullptr, -1, -1, -1, -1), nullptr);  // no FXApp here
    destroyWindow();
    // GStreamer cannot be unloaded cleanly; the module stays for the process.
}
