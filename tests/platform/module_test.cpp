#include "platform/module.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using platform::Module;

// stderr of `step`, which must say something when it fails.
template <class F>
std::string stderrOf(F step)
{
    testing::internal::CaptureStderr();
    step();
    return testing::internal::GetCapturedStderr();
}

TEST(Module, OpensFromTheGivenFolderAndResolvesSymbols)
{
    Module m;
    m.setFolder(KGI_FAKE_MODULE_DIR);
    ASSERT_TRUE(m.open("fake_module.so")) << m.lastError();
    auto answer = reinterpret_cast<int (*)()>(m.symbol("kgiFakeModuleAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    m.close();
    EXPECT_FALSE(m.isOpen());
    // The code stays mapped after the handle is given up.
    EXPECT_EQ(answer(), 42);
}

TEST(Module, FailuresAreNullWithAReason)
{
    struct Case {
        const char* what;
        const char* folder; // null: the program's own
        const char* file;
        const char* name; // null: only the open is tried
        bool opens;
    };
    const Case cases[] = {
        {"missing module", KGI_FAKE_MODULE_DIR, "no-such-module.so", nullptr, false},
        {"a path instead of a name", "/", KGI_FAKE_MODULE_DIR "/fake_module.so", nullptr, false},
        {"empty name", KGI_FAKE_MODULE_DIR, "", nullptr, false},
        {"not in the program's folder", nullptr, "fake_module.so", nullptr, false},
        {"missing name", KGI_FAKE_MODULE_DIR, "fake_module.so", "kgiNoSuchSymbol", true},
    };
    for (const Case& c : cases) {
        Module m;
        if (c.folder)
            m.setFolder(c.folder);
        bool opened = true;
        std::string said = stderrOf([&] { opened = m.open(c.file); });
        EXPECT_EQ(opened, c.opens) << c.what;
        EXPECT_EQ(m.isOpen(), c.opens) << c.what;
        if (c.name) {
            void* address = &said;
            said = stderrOf([&] { address = m.symbol(c.name); });
            EXPECT_EQ(address, nullptr) << c.what;
        }
        EXPECT_FALSE(m.lastError().empty()) << c.what;
        EXPECT_NE(said.find(m.lastError()), std::string::npos) << c.what << ": " << said;
    }
}

TEST(Module, NeverTakenFromTheCurrentDirectory)
{
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(KGI_FAKE_MODULE_DIR), 0);
    Module m;
    std::string said = stderrOf([&] { m.open("fake_module.so"); });
    EXPECT_FALSE(m.isOpen());
    ASSERT_EQ(chdir(previous), 0);
}

TEST(Module, ProgramsOwnModulesLoadFromBesideIt)
{
    EXPECT_EQ(Module::programFolder(), KGI_PROGRAM_DIR);
    struct Case {
        const char* file;
        const char* entry;
    };
    const Case cases[] = {{"kgimsglib.so", "CreateMsgWindow"}, {"kgimedialib.so", "CreateMediaTrack"}};
    for (const Case& c : cases) {
        Module m;
        ASSERT_TRUE(m.open(c.file)) << m.lastError();
        EXPECT_NE(m.symbol(c.entry), nullptr) << c.file;
    }
}

} // namespace
