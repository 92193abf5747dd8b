// Scene reader: the example file, the error codes, layouts, truncation and
// damaged bytes.
#include "kneScene.h"
#include "kneSceneReader.h"
#include "kneSceneWriter.h"
#include "kneStatusWord.h"
#include "scene_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>

namespace {

uint16_t readCode(kneScene& scene, const std::vector<uint8_t>& bytes)
{
    return uint16_t(kneSceneReader::readBuffer(scene, bytes.data(), bytes.size()) & 0xFFFF);
}

uint16_t readCode(const std::vector<uint8_t>& bytes)
{
    kneScene scene;
    return readCode(scene, bytes);
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { kneLE::put32(b.data() + at, v); }
void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) { kneLE::put16(b.data() + at, v); }

// Offsets in the example file.
constexpr size_t KSCH_SIZE = 4, NB_FREE = 20, SO_FREE = 22, NB_TEX = 26,
                 NAME = 28, KOBJ = 30, OBJ_ID = 38, NB_ATTACH = 44,
                 NAME_HANDLE = 46, HEAD = 50, TAIL = 54, KNVM = 58, LAYOUT = 70,
                 CURRENT = 74, PAGE_USED = 82, PAGE_DATA = 86;

} // namespace

TEST(SceneReader, ReadsTheSmallestFile)
{
    kneScene scene;
    std::vector<uint8_t> f = scenefx::exampleFile();
    ASSERT_EQ(f.size(), 90u);
    ASSERT_EQ(kneSceneReader::readBuffer(scene, f.data(), f.size()), 0u);
    const kneSceneHeader& h = *scene.header();
    EXPECT_EQ(h.nbSubObject, 1u);
    EXPECT_EQ(h.nbListId, 1u);
    EXPECT_EQ(h.entries.size(), 256u);
    EXPECT_EQ(*h.scenename, "a");
    EXPECT_FALSE(h.scenenameW);
    EXPECT_FALSE(h.comment);
    EXPECT_TRUE(h.texPaths.empty());
    EXPECT_EQ(h.version, 0x00010301u);
    uint32_t count = 0;
    kneSceneEntry* e = scene.getEntries(count);
    ASSERT_EQ(count, 1u);
    ASSERT_TRUE(e[0].sobj);
    EXPECT_TRUE(e[0].isObject());
    EXPECT_EQ(e[0].sobj->getId(), 0);
    EXPECT_STREQ(e[0].sobj->getName(), "n");
    EXPECT_EQ(e[0].sobj->getDataCount(), 0u);
}

TEST(SceneReader, EveryRejectionHasItsOwnCode)
{
    using Edit = void (*)(std::vector<uint8_t>&);
    struct Case {
        const char* what;
        Edit edit;
        uint16_t code;
    };
    const Case cases[] = {
        {"first chunk not KSCH", [](std::vector<uint8_t>& b) { b[0] = 'X'; }, 131},
        {"empty file", [](std::vector<uint8_t>& b) { b.clear(); }, 131},
        {"KOBJ block without KNVM", [](std::vector<uint8_t>& b) { b[KNVM] = 'X'; }, 136},
        {"KSOB block without KNVM", [](std::vector<uint8_t>& b) {
             b[KOBJ] = 'B'; b[KOBJ + 1] = 'O'; b[KOBJ + 2] = 'S'; b[KOBJ + 3] = 'K';
             b[KNVM] = 'X';
         }, 137},
        {"only the header", [](std::vector<uint8_t>& b) { b.resize(KOBJ); }, 138},
        {"header then a stranger", [](std::vector<uint8_t>& b) { b[KOBJ] = 'Z'; }, 138},
        {"only the header, paths counted", [](std::vector<uint8_t>& b) { b.resize(KOBJ); put16(b, NB_TEX, 1); }, 138},
        {"KSCH below 20", [](std::vector<uint8_t>& b) { put32(b, KSCH_SIZE, 19); }, 150},
        {"KSCH past the end", [](std::vector<uint8_t>& b) { put32(b, KSCH_SIZE, 200); }, 151},
        {"name without end", [](std::vector<uint8_t>& b) { b[NAME + 1] = 'b'; }, 152},
        {"wide name without end", [](std::vector<uint8_t>& b) { b[11] = 0x80; b[NAME + 1] = 'b'; }, 152},
        {"paths counted, none there", [](std::vector<uint8_t>& b) { put16(b, NB_TEX, 1); }, 154},
        {"free slots beyond slots", [](std::vector<uint8_t>& b) { put16(b, NB_FREE, 2); }, 156},
        {"free slot beyond slots", [](std::vector<uint8_t>& b) { put16(b, NB_FREE, 1); put16(b, SO_FREE, 1); }, 156},
        {"1 trailing byte", [](std::vector<uint8_t>& b) { b.push_back(0); }, 157},
        {"7 trailing bytes", [](std::vector<uint8_t>& b) { b.insert(b.end(), 7, 0); }, 157},
        {"entry header cut", [](std::vector<uint8_t>& b) { b.resize(OBJ_ID + 10); }, 158},
        {"attach list cut", [](std::vector<uint8_t>& b) { put16(b, NB_ATTACH, 30); }, 158},
        {"object id past slots", [](std::vector<uint8_t>& b) { put16(b, OBJ_ID, 1); }, 159},
        {"attach id past slots", [](std::vector<uint8_t>& b) {
             put16(b, NB_ATTACH, 2);
             b.insert(b.begin() + HEAD + 8, {1, 0, 0, 0});
         }, 161},
        {"object after object is a stranger", [](std::vector<uint8_t>& b) { b.insert(b.end(), {'Z', 'Z', 'Z', 'Z', 0, 0, 0, 0}); }, 162},
        {"block cut", [](std::vector<uint8_t>& b) { b.resize(b.size() - 2); }, 163},
        {"page bits 31", [](std::vector<uint8_t>& b) { b[LAYOUT] = 0x3F; }, 164},
        {"used past block", [](std::vector<uint8_t>& b) { put32(b, PAGE_USED, 8); }, 165},
        {"current page 3", [](std::vector<uint8_t>& b) { put32(b, CURRENT, 3); }, 166},
        {"name handle past used", [](std::vector<uint8_t>& b) { put32(b, NAME_HANDLE, 1); }, 167},
        {"name without end in page", [](std::vector<uint8_t>& b) { b[PAGE_DATA + 1] = 'x'; b[PAGE_DATA + 2] = 'x'; b[PAGE_DATA + 3] = 'x'; }, 167},
        {"head without tail", [](std::vector<uint8_t>& b) { put32(b, HEAD, 0); }, 168},
        {"list entry outside the page", [](std::vector<uint8_t>& b) { put32(b, HEAD, 0); put32(b, TAIL, 0); }, 168},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = scenefx::exampleFile();
        c.edit(b);
        EXPECT_EQ(readCode(b), c.code) << c.what;
    }

    // Two chunks for one slot, and a path table beyond 16 bits.
    kneScene two;
    two.setSceneName("a");
    two.createObject("a");
    two.createObject("b");
    std::vector<uint8_t> b = scenefx::write(two);
    const size_t second = KOBJ + 8 + 20 + 20 + 8 + 4; // after the first object chunk
    ASSERT_EQ(kneLE::u16(b.data() + second + 8), 1);
    put16(b, second + 8, 0);
    EXPECT_EQ(readCode(b), 160);
    kneScene paths;
    paths.setSceneName("p");
    paths.addTexPath(std::string(70000, 'x').c_str());
    paths.createObject("o");
    b = scenefx::write(paths);
    EXPECT_EQ(readCode(b), 155);

    // The comment chunk: its size against the file, its text against its size.
    kneScene commented;
    commented.setSceneName("a");
    commented.setComment("hi");
    commented.createObject("o");
    b = scenefx::write(commented);
    const size_t kcom = KOBJ;
    ASSERT_EQ(kneLE::u32(b.data() + kcom), kneSceneReader::KCOM);
    std::vector<uint8_t> c = b;
    put32(c, kcom + 4, 1000);
    EXPECT_EQ(readCode(c), 151);
    c = b;
    c[kcom + 8 + 2] = '!';
    EXPECT_EQ(readCode(c), 153);

    kneScene scene;
    EXPECT_EQ(kneSceneReader::readFile(scene, "/nonexistent/robot.kmd") & 0xFFFF, 132u);
    EXPECT_EQ(kneSceneReader::readFileW(scene, u"/nonexistent/robot.kmd") & 0xFFFF, 132u);
    EXPECT_EQ(kneSceneReader::readStream(scene, nullptr) & 0xFFFF, 132u);
}

TEST(SceneReader, ErrorKeepsTheWarningHalf)
{
    kneScene scene;
    kneStatusWord::setWarning(26);
    std::vector<uint8_t> b = scenefx::exampleFile();
    b.resize(KOBJ);
    EXPECT_EQ(kneSceneReader::readBuffer(scene, b.data(), b.size()), (26u << 16) | 138u);
}

TEST(SceneReader, BadBlockLeavesTheStreamAtItsStart)
{
    std::vector<uint8_t> b = scenefx::exampleFile();
    b[KNVM] = 'X';
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fwrite(b.data(), 1, b.size(), f);
    std::rewind(f);
    kneScene scene;
    EXPECT_EQ(kneSceneReader::readStream(scene, f) & 0xFFFF, 136u);
    EXPECT_EQ(std::ftell(f), long(KNVM));
    std::fclose(f);
}

TEST(SceneReader, LayoutCases)
{
    // Attach padding: 3 ids take 8 bytes, 4 ids take 8 bytes.
    for (int n : {3, 4}) {
        kneScene scene;
        scene.setSceneName("s");
        kneSceneObject* a = scene.createObject("holder");
        for (int i = 0; i < n; ++i)
            scene.createSubObject("held");
        for (int i = 1; i <= n; ++i)
            scene.attach(a->getId(), uint32_t(i));
        std::vector<uint8_t> b = scenefx::write(scene);
        const size_t obj = 30;
        EXPECT_EQ(kneLE::u16(b.data() + obj + 8 + 6), n);
        EXPECT_EQ(kneLE::u32(b.data() + obj + 8 + 20 + 8), kneIdTable::MAGIC) << n;
        kneScene back;
        ASSERT_EQ(readCode(back, b), 0) << n;
        std::vector<uint16_t> newestFirst;
        for (int i = n; i >= 1; --i)
            newestFirst.push_back(uint16_t(i));
        EXPECT_EQ(back.header()->entries[0].attach, newestFirst);
        EXPECT_EQ(back.header()->entries[0].nbAttach, n);
        EXPECT_EQ(back.header()->entries[1].ref, 1);
    }
    // Texture paths, 300 slots with most free, and a wide name.
    kneScene scene;
    scene.setSceneNameW(u"\u30ed\u30dc\u30c3\u30c8");
    for (const char* p : {"a.bmp", "", "dir\\b.bmp"})
        scene.addTexPath(p);
    for (int i = 0; i < 300; ++i)
        scene.createObject("o");
    for (int i = 1; i < 299; ++i)
        scene.removeObject(scene.getObject(uint32_t(i)));
    std::vector<uint8_t> b = scenefx::write(scene);
    kneScene back;
    ASSERT_EQ(readCode(back, b), 0);
    const kneSceneHeader& h = *back.header();
    EXPECT_EQ(h.texPaths, (std::vector<std::string>{"a.bmp", "", "dir\\b.bmp"}));
    EXPECT_EQ(h.entries.size(), 512u);
    EXPECT_EQ(h.nbListId, 300u);
    EXPECT_EQ(h.nbSubObject, 2u);
    EXPECT_FALSE(h.entries[150].sobj);
    EXPECT_TRUE(h.entries[299].sobj);
    EXPECT_EQ(h.nbFreeId, 298);
    EXPECT_EQ(h.soFreeId, 1);
    EXPECT_EQ(*h.scenenameW, u"\u30ed\u30dc\u30c3\u30c8");
    EXPECT_FALSE(h.scenename);
    EXPECT_EQ(h.version, 0x80010301u);
}

TEST(SceneReader, WidePathIsOpenedThroughUtf8)
{
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "kne_wide_\u00e9";
    std::filesystem::create_directories(dir);
    std::string file = (dir / "r\u00f6bot.kmd").string();
    std::vector<uint8_t> b = scenefx::exampleFile();
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
    kneScene scene;
    std::u16string wide = (dir / "r\u00f6bot.kmd").u16string();
    EXPECT_EQ(kneSceneReader::readFileW(scene, wide.c_str()), 0u);
    EXPECT_EQ(scene.header()->nbSubObject, 1u);
    std::filesystem::remove_all(dir);
}

TEST(SceneReader, EveryPrefixReadsWholeChunksOrFails)
{
    kneScene src;
    scenefx::buildModel(src, scenefx::ModelShape());
    const std::vector<uint8_t> f = scenefx::write(src);
    // Ends of the object chunks: walk the file's own structure.
    std::vector<size_t> ends;
    size_t pos = 0;
    while (pos < f.size()) {
        uint32_t code = kneLE::u32(f.data() + pos);
        uint32_t size = kneLE::u32(f.data() + pos + 4);
        bool object = code == kneSceneReader::KOBJ || code == kneSceneReader::KSOB;
        pos += 8 + size + (object ? 8 : 0);
        if (object)
            ends.push_back(pos);
    }
    ASSERT_EQ(pos, f.size());
    ASSERT_EQ(ends.size(), 3u);
    for (size_t n = 0; n <= f.size(); ++n) {
        kneScene scene;
        uint32_t r = kneSceneReader::readBuffer(scene, f.data(), n);
        size_t complete = 0;
        while (complete < ends.size() && ends[complete] <= n)
            ++complete;
        bool boundary = complete > 0 && ends[complete - 1] == n;
        if (boundary) {
            EXPECT_EQ(r, 0u) << n;
            EXPECT_EQ(scene.header()->nbSubObject, complete) << n;
        } else {
            EXPECT_NE(r & 0xFFFF, 0u) << n;
        }
    }
}

TEST(SceneReader, RandomByteFlipsGiveAnErrorOrAScene)
{
    kneScene src;
    scenefx::buildModel(src, scenefx::ModelShape());
    const std::vector<uint8_t> f = scenefx::write(src);
    std::mt19937 rng(20240611);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> b = f;
        int flips = 1 + int(rng() % 4);
        for (int k = 0; k < flips; ++k)
            b[rng() % b.size()] ^= uint8_t(1u << (rng() % 8));
        kneScene scene;
        uint32_t r = kneSceneReader::readBuffer(scene, b.data(), b.size());
        if (r & 0xFFFF)
            continue;
        ++accepted;
        // Whatever was accepted walks safely and writes back to a file that
        // reads again.
        uint32_t count = 0;
        kneSceneEntry* e = scene.getEntries(count);
        for (uint32_t i = 0; i < count; ++i)
            if (e[i].sobj) {
                e[i].sobj->getDataCount();
                e[i].sobj->findData(kneDataEntry::MODEL);
            }
        std::vector<uint8_t> again = scenefx::write(scene);
        kneScene back;
        EXPECT_EQ(readCode(back, again), 0) << round;
    }
    EXPECT_GT(accepted, 0);
}
