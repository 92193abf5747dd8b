#include "kgiKmcFile.h"
#include "kgiKmmFile.h"

#include "docs_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A rigid transform with six-decimal values, different per node and frame.
void makeMatrix(int node, int frame, float m[16])
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[4 * r + c] = 0.1f * node + 0.01f * frame + 0.3f * r - 0.05f * c;
    m[3] = m[7] = m[11] = 0.0f;
    m[12] = 1.0f * node;
    m[13] = 2.0f * frame;
    m[14] = -0.5f * frame;
    m[15] = 1.0f;
}

const int FRAMES = 3;

// Nodes of type codes 1 to 7, named N1..N7, depth = code - 1.
void fillAllTypes(kgiKmmFile& f)
{
    ASSERT_TRUE(f.create(7, FRAMES, 2));
    for (int n = 0; n < 7; ++n) {
        ASSERT_TRUE(f.setNodeName(n, ("N" + std::to_string(n + 1)).c_str()));
        ASSERT_TRUE(f.setNodeType(n, n + 1));
        ASSERT_TRUE(f.setNodeDepth(n, n));
        for (int k = 0; k < FRAMES; ++k) {
            float m[16];
            makeMatrix(n, k, m);
            ASSERT_TRUE(f.setKey(n, k, m));
        }
    }
    ASSERT_TRUE(f.setKeyFrame(0, 0));
    ASSERT_TRUE(f.setKeyFrame(1, 2));
}

bool readBack(kgiKmmFile& f, const std::string& path)
{
    return f.open(path.c_str()) && f.readHeader() && f.readBody() && f.close();
}

int readStatus(const std::string& text)
{
    kgiTestDir dir;
    writeText(dir.file("m.kmm"), text);
    kgiKmmFile f;
    EXPECT_FALSE(readBack(f, dir.file("m.kmm")));
    return f.getStatus();
}

std::string key17()
{
    std::string line = "0";
    for (int i = 0; i < 16; ++i)
        line += " 1.0";
    return line + "\n";
}

} // namespace

TEST(KmmFile, FullRowsReadBackEveryTypeWithItsKeyFramesAndDepths)
{
    kgiTestDir dir;
    kgiKmmFile out;
    fillAllTypes(out);
    ASSERT_TRUE(out.writeMatrices(dir.file("m.kmm").c_str()));
    EXPECT_EQ(entryCount(dir.path()), 1) << "no temporary file may stay behind";

    kgiKmmFile in;
    ASSERT_TRUE(readBack(in, dir.file("m.kmm"))) << in.getStatus();
    ASSERT_EQ(in.getNodeCount(), 7);
    EXPECT_EQ(in.getFrameCount(), FRAMES);
    EXPECT_EQ(in.getKeyFrames(), (std::vector<uint16_t>{0, 2}));
    for (int n = 0; n < 7; ++n) {
        const kgiKmmNode* node = in.getNode(n);
        EXPECT_EQ(node->name, "N" + std::to_string(n + 1));
        EXPECT_EQ(node->type, n + 1);
        EXPECT_EQ(node->depth, n);
        // Types 4 to 6 (N, G, H) keep only their first key.
        const bool single = n + 1 >= 4 && n + 1 <= 6;
        ASSERT_EQ(node->keyCount, single ? 1 : FRAMES) << n;
        for (int k = 0; k < node->keyCount; ++k) {
            float m[16];
            makeMatrix(n, k, m);
            EXPECT_EQ(node->keys[k].frame, k);
            for (int i = 0; i < 16; ++i)
                EXPECT_NEAR(node->keys[k].matrix[i], m[i], 1e-6) << n << " " << k << " " << i;
        }
    }
}

TEST(KmmFile, CompactRowsShareTranslationsAsTheLayoutSays)
{
    kgiTestDir dir;
    kgiKmmFile out;
    fillAllTypes(out);
    ASSERT_TRUE(out.writeCompact(dir.file("m.kmm").c_str()));
    kgiKmmFile in;
    ASSERT_TRUE(readBack(in, dir.file("m.kmm"))) << in.getStatus();
    for (int n = 0; n < 7; ++n) {
        const int code = n + 1;
        const kgiKmmNode* node = in.getNode(n);
        ASSERT_EQ(node->keyCount, code >= 4 && code <= 6 ? 1 : FRAMES) << code;
        EXPECT_EQ(node->hasTranslation, code >= 2 && code <= 6 ? 1 : 0) << code;
        for (int k = 0; k < node->keyCount; ++k) {
            float m[16];
            makeMatrix(n, k, m);
            // Types 2 and 3 carry key 0's translation for every key.
            if (code == 2 || code == 3) {
                float first[16];
                makeMatrix(n, 0, first);
                std::copy(first + 12, first + 15, m + 12);
            }
            for (int i = 0; i < 16; ++i)
                EXPECT_NEAR(node->keys[k].matrix[i], m[i], 1e-6) << code << " " << k << " " << i;
        }
    }
}

TEST(KmmFile, WritesTheExactLayouts)
{
    kgiTestDir dir;
    kgiKmmFile f;
    ASSERT_TRUE(f.create(2, 1, 1));
    f.setNodeName(0, "Root");
    f.setNodeType(0, 1);
    f.setNodeName(1, "Head");
    f.setNodeType(1, 2);
    f.setNodeDepth(1, 1);
    const float root[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    const float head[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0, 1};
    f.setKey(0, 0, root);
    f.setKey(1, 0, head);
    ASSERT_TRUE(f.writeMatrices(dir.file("full.kmm").c_str()));
    ASSERT_TRUE(f.writeCompact(dir.file("compact.kmm").c_str()));
    EXPECT_EQ(readText(dir.file("full.kmm")),
              "KMM1 2 0 1\n"
              "\nRoot : F\n1\n"
              "0    1.000000 0.000000 0.000000 0.000000 0.000000 1.000000 0.000000 0.000000 "
              "0.000000 0.000000 1.000000 0.000000 1.000000 2.000000 3.000000 1.000000\n\n"
              "\nHead : S\n1\n"
              "0    1.000000 0.000000 0.000000 0.000000 0.000000 1.000000 0.000000 0.000000 "
              "0.000000 0.000000 1.000000 0.000000 0.500000 0.000000 0.000000 1.000000\n\n"
              "end\n\n0\n");
    EXPECT_EQ(readText(dir.file("compact.kmm")),
              "KMM1 2 0 1\n"
              "\nRoot : F\n1\n"
              "0    1.000000 0.000000 0.000000 0.000000 1.000000 0.000000 0.000000 0.000000 "
              "1.000000 1.000000 2.000000 3.000000\n\n"
              "\nHead : S\n1 : 0.500000 0.000000 0.000000\n"
              "0    1.000000 0.000000 0.000000 0.000000 1.000000 0.000000 0.000000 0.000000 "
              "1.000000\n\n"
              "end\n\n0\n");
}

TEST(KmmFile, UntypedAndKeylessNodesRoundTrip)
{
    // Type 0 is written "-" (not "S", which reads back as 2), and a node
    // without keys gets a count of 0 instead of a made-up key 0.
    kgiTestDir dir;
    kgiKmmFile f;
    ASSERT_TRUE(f.create(2, 0, 0));
    f.setNodeName(0, "Plain");
    f.setNodeName(1, "Spine");
    f.setNodeType(1, 2);
    for (bool compact : {false, true}) {
        const std::string path = dir.file(compact ? "c.kmm" : "m.kmm");
        ASSERT_TRUE(compact ? f.writeCompact(path.c_str()) : f.writeMatrices(path.c_str()));
        EXPECT_NE(readText(path).find("Plain : -\n0\n\n"), std::string::npos);
        kgiKmmFile in;
        ASSERT_TRUE(readBack(in, path)) << in.getStatus();
        EXPECT_EQ(in.getNode(0)->type, 0);
        EXPECT_EQ(in.getNode(1)->type, 2);
        EXPECT_EQ(in.getNode(1)->keyCount, 0);
        EXPECT_EQ(in.getNode(1)->getKey(0), nullptr);
    }
}

TEST(KmmFile, MalformedFilesFailWithTheirOwnStatus)
{
    const std::string longName(256, 'n');
    struct Case { std::string text; int status; };
    const Case cases[] = {
        {"", kgiKmmFile::BAD_HEADER},
        {"KMX1 0\n", kgiKmmFile::BAD_HEADER},
        {"KMM1\n", kgiKmmFile::BAD_HEADER},
        {"KMM1 2 0\n", kgiKmmFile::BAD_NODE_COUNT},
        {"KMM1 -1 0\n", kgiKmmFile::BAD_NODE_COUNT},
        {"KMM1 1 0\n\nA : F : x\n", kgiKmmFile::BAD_NODE_LINE},
        {"KMM1 1 0\n\nA : F\n0\n", kgiKmmFile::BAD_NODE_LINE}, // no "end"
        {"KMM1 1 0\n\nA : F\n\n", kgiKmmFile::EMPTY_COUNT_LINE},
        {"KMM1 1 0\n\nA : S\n1\n0 1 0 0 0 1 0 0 0 1\n\nend\n", kgiKmmFile::NO_TRANSLATION},
        {"KMM1 1 0\n\nA : F\n1\n0 1 2 3 4\n\nend\n", kgiKmmFile::BAD_KEY_LINE},
        {"KMM1 1 0\n\nA : F\n-1\n\nend\n", kgiKmmFile::BAD_KEY_COUNT},
        {"KMM1 1 0\n\nA : F\n65537\n\nend\n", kgiKmmFile::BAD_KEY_COUNT},
        {"KMM1 1 0\n\n" + longName + " : F\n0\n\nend\n", kgiKmmFile::NAME_TOO_LONG},
        {"KMM1 1 0\n\nA : F\n0\n\nend\n\n65536\n", kgiKmmFile::KEY_FRAME_NUMBER_RANGE},
        {"KMM1 1 0\n\nA : F\n0\n\nend\n\n3\n-1\n", kgiKmmFile::KEY_FRAME_NUMBER_RANGE},
        {"KMM1 1 0\n\nA : F\n0\n\nB : F\n0\n\nend\n", kgiKmmFile::EXTRA_NODE_BLOCK},
        {"KMM1 1 0\n\nA : F\n1\n" + key17() + key17() + "\nend\n", kgiKmmFile::EXTRA_KEY_LINE},
        {"KMM1 1 0\n\nA : F\n2\n" + key17() + "\nend\n", kgiKmmFile::MISSING_KEY_LINE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readStatus(c.text), c.status) << c.text.substr(0, 80);

    std::string list = "KMM1 1 0\n\nA : F\n0\n\nend\n\n";
    for (int i = 0; i <= kgiKmmFile::MAX_KEY_FRAMES; ++i)
        list += "1\n";
    EXPECT_EQ(readStatus(list), kgiKmmFile::KEY_FRAME_LIST_TOO_LONG);
}

TEST(KmmFile, ShortFilesReadWithWhatTheyHave)
{
    kgiTestDir dir;
    // "end" before the second node: it stays empty; nothing after "end".
    writeText(dir.file("m.kmm"), "KMM1 2 0 1\n\nA : R\n1 : 1 2 3\n0 1 0 0 0 1 0 0 0 1\n\nend\n");
    kgiKmmFile f;
    ASSERT_TRUE(readBack(f, dir.file("m.kmm"))) << f.getStatus();
    EXPECT_EQ(f.getNode(0)->keys[0].matrix[13], 2.0f);
    EXPECT_EQ(f.getNode(1)->name, "");
    EXPECT_EQ(f.getNode(1)->keyCount, 0);
    EXPECT_EQ(f.getNode(1)->depth, 1);
    EXPECT_EQ(f.getKeyCount(), 0);
    EXPECT_EQ(f.getFrameCount(), 1);
}

TEST(KmmFile, GetKeyClampsIntoTheKeysInUse)
{
    kgiKmmFile f;
    fillAllTypes(f);
    kgiKmmNode* node = f.getNode(0);
    EXPECT_EQ(node->getKey(-1), &node->keys[0]);
    EXPECT_EQ(node->getKey(node->keyCount + 5), &node->keys[FRAMES - 1]);
    kgiKmmFile empty;
    ASSERT_TRUE(empty.create(1, 4, 0));
    EXPECT_EQ(empty.getNode(0)->getKey(0), nullptr) << "records exist but none is in use";
}

TEST(KmmFile, SettersRefuseBadArguments)
{
    const std::string longName(256, 'n');
    const float m[16] = {};
    struct Case { const char* what; bool (*call)(kgiKmmFile&, const std::string&); int status; };
    const Case cases[] = {
        {"create keys", [](kgiKmmFile& f, const std::string&) { return f.create(1, 1, 65537); },
         kgiKmmFile::TOO_MANY_KEY_FRAMES},
        {"create frames", [](kgiKmmFile& f, const std::string&) { return f.create(1, 65537, 0); },
         kgiKmmFile::TOO_MANY_FRAMES},
        {"create nodes", [](kgiKmmFile& f, const std::string&) { return f.create(0, 1, 0); },
         kgiKmmFile::NO_NODES},
        {"null name", [](kgiKmmFile& f, const std::string&) { return f.setNodeName(0, nullptr); },
         kgiKmmFile::NULL_NAME},
        {"long name", [](kgiKmmFile& f, const std::string& s) { return f.setNodeName(0, s.c_str()); },
         kgiKmmFile::NAME_TOO_LONG},
        {"name index", [](kgiKmmFile& f, const std::string&) { return f.setNodeName(2, "x"); },
         kgiKmmFile::NODE_INDEX_RANGE},
        {"type 0", [](kgiKmmFile& f, const std::string&) { return f.setNodeType(0, 0); },
         kgiKmmFile::NODE_TYPE_ZERO},
        {"type index", [](kgiKmmFile& f, const std::string&) { return f.setNodeType(-1, 1); },
         kgiKmmFile::NODE_INDEX_RANGE},
        {"depth", [](kgiKmmFile& f, const std::string&) { return f.setNodeDepth(0, -1); },
         kgiKmmFile::NEGATIVE_DEPTH},
        {"depth index", [](kgiKmmFile& f, const std::string&) { return f.setNodeDepth(2, 0); },
         kgiKmmFile::NODE_INDEX_RANGE},
        {"key frame", [](kgiKmmFile& f, const std::string&) {
             const float z[16] = {};
             return f.setKey(0, 4, z);
         },
         kgiKmmFile::KEY_FRAME_RANGE},
        {"key index", [](kgiKmmFile& f, const std::string&) {
             const float z[16] = {};
             return f.setKey(2, 0, z);
         },
         kgiKmmFile::NODE_INDEX_RANGE},
        {"list frame", [](kgiKmmFile& f, const std::string&) { return f.setKeyFrame(0, 4); },
         kgiKmmFile::LIST_FRAME_RANGE},
        {"list index", [](kgiKmmFile& f, const std::string&) { return f.setKeyFrame(2, 0); },
         kgiKmmFile::LIST_INDEX_RANGE},
    };
    for (const Case& c : cases) {
        kgiKmmFile f;
        ASSERT_TRUE(f.create(2, 4, 2));
        EXPECT_FALSE(c.call(f, longName)) << c.what;
        EXPECT_EQ(f.getStatus(), c.status) << c.what;
    }
    kgiKmmFile f;
    ASSERT_TRUE(f.create(2, 4, 2));
    EXPECT_TRUE(f.setNodeName(0, std::string(255, 'n').c_str()));
    EXPECT_TRUE(f.setKey(1, 3, m));
    EXPECT_EQ(f.getNode(1)->keyCount, 4);
    EXPECT_EQ(f.getStatus(), 0);
}

TEST(KmmFile, DepthCheckComparesCountAndEveryDepth)
{
    kgiKmmFile f;
    fillAllTypes(f);
    kgiKmmDepthList list = f.makeDepthList();
    EXPECT_TRUE(f.compareDepths(&list));
    list.depths[3] = 9;
    EXPECT_FALSE(f.compareDepths(&list));
    EXPECT_EQ(f.getStatus(), kgiKmmFile::DEPTH_DIFFERS);
    list.depths.pop_back();
    EXPECT_FALSE(f.compareDepths(&list));
    EXPECT_EQ(f.getStatus(), kgiKmmFile::DEPTH_COUNT_DIFFERS);
    EXPECT_FALSE(f.compareDepths(nullptr));
    EXPECT_EQ(f.getStatus(), kgiKmmFile::NO_DEPTH_LIST);
}

TEST(KmmFile, StreamErrorsAreReported)
{
    kgiTestDir dir;
    kgiKmmFile f;
    EXPECT_FALSE(f.open(nullptr));
    EXPECT_EQ(f.getStatus(), kgiKmmFile::NULL_PATH);
    EXPECT_FALSE(f.open(dir.file("missing.kmm").c_str()));
    EXPECT_EQ(f.getStatus(), kgiKmmFile::CANNOT_OPEN);
    EXPECT_FALSE(f.close());
    EXPECT_EQ(f.getStatus(), kgiKmmFile::NOT_OPEN);
    fillAllTypes(f);
    EXPECT_FALSE(f.writeMatrices(dir.file("no/such/folder.kmm").c_str()));
    EXPECT_EQ(f.getStatus(), kgiKmmFile::CANNOT_WRITE);
    // A folder in the way of the new file: the rename fails, the folder and
    // its parent are left as they were.
    std::filesystem::create_directory(dir.file("m.kmm"));
    EXPECT_FALSE(f.writeCompact(dir.file("m.kmm").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("m.kmm")));
    EXPECT_EQ(entryCount(dir.path()), 1);
    f.clear();
    EXPECT_EQ(f.getStatus(), 0);
    EXPECT_EQ(f.getNodeCount(), 0);
}

TEST(KmmFile, EachReaderKeepsItsOwnDelimiters)
{
    // A curve file splits at parentheses; a motion file read after it must
    // not, or a node named with them falls apart.
    kgiTestDir dir;
    writeText(dir.file("c.kmc"), "KMC1 1 1 0\n\nA: R\n0: {(0,0),1,(0,0)}\n\nend\n\n");
    writeText(dir.file("m.kmm"), "KMM1 1 0\n\narm(L) : F\n0\n\nend\n");
    kgiKmcFile curves;
    ASSERT_TRUE(curves.read(dir.file("c.kmc").c_str())) << curves.getStatusMessage();
    kgiKmmFile motion;
    ASSERT_TRUE(readBack(motion, dir.file("m.kmm"))) << motion.getStatus();
    EXPECT_EQ(motion.getNode(0)->name, "arm(L)");
}

TEST(KmmFile, NamesTheReaderCannotSplitBackAreRefusedBeforeAnythingIsWritten)
{
    kgiTestDir dir;
    const std::string path = dir.file("m.kmm");
    kgiKmmFile good;
    fillAllTypes(good);
    ASSERT_TRUE(good.writeMatrices(path.c_str()));
    const std::string before = readText(path);
    for (const char* name : {"", "Left Arm", "Arm:1", "Arm,1", "Arm\"1", "Arm\t1", "Arm\r"}) {
        for (bool compact : {false, true}) {
            SCOPED_TRACE(std::string("[") + name + "] compact " + std::to_string(compact));
            kgiKmmFile f;
            fillAllTypes(f);
            ASSERT_TRUE(f.setNodeName(3, name));
            EXPECT_FALSE(compact ? f.writeCompact(path.c_str()) : f.writeMatrices(path.c_str()));
            EXPECT_EQ(f.getStatus(), kgiKmmFile::UNREADABLE_NAME);
            EXPECT_EQ(readText(path), before);
        }
    }
    EXPECT_EQ(entryCount(dir.path()), 1);
}
