#include "kgiKmcFile.h"
#include "kgiTokenizer.h"

#include "docs_test_util.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Node 0 "Hip" of type S (3 channels), node 1 "Eye" of type N (none),
// keys at frames 0, 10, 25 with distinct values per record.
void fillTwoNodes(kgiKmcFile& f)
{
    ASSERT_TRUE(f.create(2, 3));
    ASSERT_TRUE(f.setNodeName(0, "Hip"));
    ASSERT_TRUE(f.setNodeType(0, 2));
    ASSERT_TRUE(f.setNodeName(1, "Eye"));
    ASSERT_TRUE(f.setNodeType(1, 4));
    const int frames[] = {0, 10, 25};
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(f.setKeyFrame(0, k, frames[k]));
        for (int ch = 0; ch < 3; ++ch) {
            const float v = 10.0f * k + ch;
            ASSERT_TRUE(f.setValue(0, k, ch, v));
            ASSERT_TRUE(f.setInHandle(0, k, ch, v - 0.5f, -0.25f));
            ASSERT_TRUE(f.setOutHandle(0, k, ch, v + 0.5f, 0.125f));
        }
    }
}

void expectSameRecords(const kgiKmcFile& a, const kgiKmcFile& b)
{
    ASSERT_EQ(a.getNodeCount(), b.getNodeCount());
    ASSERT_EQ(a.getKeyCount(), b.getKeyCount());
    for (int k = 0; k < a.getKeyCount(); ++k)
        EXPECT_EQ(a.getKeyFrame(k), b.getKeyFrame(k));
    for (int n = 0; n < a.getNodeCount(); ++n) {
        EXPECT_EQ(a.getNode(n)->name, b.getNode(n)->name);
        ASSERT_EQ(a.getNodeType(n), b.getNodeType(n));
        for (int k = 0; k < a.getKeyCount(); ++k)
            for (int ch = 0; ch < kgiKmcFile::channelCount(a.getNodeType(n)); ++ch) {
                float v1, v2, x1, y1, x2, y2;
                ASSERT_TRUE(a.getValue(n, k, ch, v1));
                ASSERT_TRUE(b.getValue(n, k, ch, v2));
                EXPECT_EQ(v1, v2);
                a.getInHandle(n, k, ch, x1, y1);
                b.getInHandle(n, k, ch, x2, y2);
                EXPECT_EQ(x1, x2);
                EXPECT_EQ(y1, y2);
                a.getOutHandle(n, k, ch, x1, y1);
                b.getOutHandle(n, k, ch, x2, y2);
                EXPECT_EQ(x1, x2);
                EXPECT_EQ(y1, y2);
            }
    }
}

int readStatus(const std::string& text, int* nodesLeft = nullptr)
{
    kgiTestDir dir;
    writeText(dir.file("c.kmc"), text);
    kgiKmcFile f;
    EXPECT_FALSE(f.read(dir.file("c.kmc").c_str()));
    if (nodesLeft)
        *nodesLeft = f.getNodeCount();
    return f.getStatus();
}

} // namespace

TEST(KmcFile, WriteReadWriteKeepsEveryRecord)
{
    kgiTestDir dir;
    kgiKmcFile out;
    fillTwoNodes(out);
    ASSERT_TRUE(out.write(dir.file("a.kmc").c_str())) << out.getStatusMessage();

    // Key lines: 1 + 5 tokens a channel under the curve delimiters.
    std::istringstream lines(readText(dir.file("a.kmc")));
    std::string line;
    std::vector<int> counts;
    kgiTokenizer tk(kgiTokenizer::CURVE_DELIMITERS);
    while (std::getline(lines, line))
        counts.push_back(tk.split(&line[0]));
    EXPECT_EQ(counts, (std::vector<int>{6, 0, 2, 16, 16, 16, 0, 2, 1, 1, 1, 0, 1, 0}));

    kgiKmcFile in;
    ASSERT_TRUE(in.read(dir.file("a.kmc").c_str())) << in.getStatusMessage();
    in.close();
    expectSameRecords(out, in);
    ASSERT_TRUE(in.write(dir.file("b.kmc").c_str()));
    EXPECT_EQ(readText(dir.file("a.kmc")), readText(dir.file("b.kmc")));
}

TEST(KmcFile, WritesTheExactLayout)
{
    kgiTestDir dir;
    kgiKmcFile f;
    ASSERT_TRUE(f.create(2, 1));
    f.setNodeName(0, "Knee");
    f.setNodeType(0, 3);
    f.setKeyFrame(0, 0, 5);
    f.setValue(0, 0, 0, 1.5f);
    f.setInHandle(0, 0, 0, -1, 2);
    f.setOutHandle(0, 0, 0, 3, -4);
    f.setNodeName(1, "Odd");
    f.setNodeType(1, 9);
    ASSERT_TRUE(f.write(dir.file("c.kmc").c_str()));
    EXPECT_EQ(readText(dir.file("c.kmc")),
              "KMC1 2 1 5\n\n"
              "Knee: R\n5: {(-1.000000,2.000000),1.500000,(3.000000,-4.000000)}\n\n"
              "Odd: -\n5:\n\n"
              "end\n\n");
}

TEST(KmcFile, StatusMessages)
{
    const char* const messages[] = {
        "No error", "Invalid file name", "Invalid KMC header", "Invalid node count",
        "Invalid key count", "Invalid KMC file format 1", "Invalid KMC file format 2",
        "No key information", "Key information mismatch", "No node information",
    };
    for (int code = 0; code < 10; ++code)
        EXPECT_STREQ(kgiKmcFile::statusMessage(code), messages[code]) << code;
    for (int code = 10; code <= 13; ++code)
        EXPECT_STRNE(kgiKmcFile::statusMessage(code), kgiKmcFile::statusMessage(99)) << code;
}

TEST(KmcFile, MalformedFilesFailWithTheirOwnStatus)
{
    const std::string longName(256, 'n');
    struct Case { std::string text; int status; };
    const Case cases[] = {
        {"", kgiKmcFile::INVALID_HEADER},
        {"KMC1 1\n", kgiKmcFile::INVALID_HEADER},
        {"KMM1 1 1 0\n", kgiKmcFile::INVALID_HEADER},
        {"KMC1 1 2 0\n", kgiKmcFile::INVALID_KEY_COUNT},
        {"KMC1 1 0\n", kgiKmcFile::INVALID_KEY_COUNT},
        {"KMC1 0 1 0\n", kgiKmcFile::INVALID_NODE_COUNT},
        {"KMC1 65537 1 0\n", kgiKmcFile::TOO_MANY_NODES},
        {"KMC1 1 1 0\n\nA: R: x\n", kgiKmcFile::BAD_NODE_LINE},
        {"KMC1 1 1 0\n\nA: R\n0: {(0,0),1,(0,0)}\n\n", kgiKmcFile::BAD_NODE_LINE}, // no "end"
        {"KMC1 1 1 0\n\nA: R\n0: {(0,0),1}\n\nend\n", kgiKmcFile::BAD_KEY_LINE},
        {"KMC1 1 1 0\n\nA: N\n0: {(0,0),1,(0,0)}\n\nend\n", kgiKmcFile::BAD_KEY_LINE},
        {"KMC1 1 1 0\n\nA: R\n7: {(0,0),1,(0,0)}\n\nend\n", kgiKmcFile::KEY_MISMATCH},
        {"KMC1 1 1 0\n\nA: N\n0\n\nB: N\n0\n\nend\n", kgiKmcFile::EXTRA_NODE_BLOCK},
        {"KMC1 1 1 0\n\nA: N\n0\n0\n\nend\n", kgiKmcFile::EXTRA_KEY_LINE},
        {"KMC1 1 1 0\n\n" + longName + ": N\n0\n\nend\n", kgiKmcFile::NAME_TOO_LONG},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readStatus(c.text), c.status) << c.text.substr(0, 80);

    int nodesLeft = -1;
    EXPECT_EQ(readStatus("KMC1 2 1 0\n\nA: R\n3: {(0,0),1,(0,0)}\n\nend\n", &nodesLeft),
              kgiKmcFile::KEY_MISMATCH);
    EXPECT_EQ(nodesLeft, 0) << "a failed body read releases the object";

    kgiKmcFile f;
    EXPECT_FALSE(f.read(nullptr));
    EXPECT_EQ(f.getStatus(), kgiKmcFile::INVALID_FILE_NAME);
    EXPECT_FALSE(f.read("/nonexistent/c.kmc"));
    EXPECT_EQ(f.getStatus(), kgiKmcFile::INVALID_FILE_NAME);
}

TEST(KmcFile, ShortBlocksReadAsUnsetKeys)
{
    // Fewer key lines than keys: the rest read back unset, as zeros.
    kgiTestDir dir;
    writeText(dir.file("c.kmc"), "KMC1 1 2 0 4\n\nA: R\n0: {(1,2),3,(4,5)}\n\nend\n\n");
    kgiKmcFile f;
    ASSERT_TRUE(f.read(dir.file("c.kmc").c_str())) << f.getStatusMessage();
    float v = -1;
    ASSERT_TRUE(f.getValue(0, 0, 0, v));
    EXPECT_EQ(v, 3.0f);
    ASSERT_TRUE(f.getValue(0, 1, 0, v));
    EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(f.getKeyFrame(1), 4);
}

TEST(KmcFile, AccessorsCheckNodeKeyAndChannel)
{
    kgiKmcFile f;
    fillTwoNodes(f);
    float v, x, y;
    EXPECT_TRUE(f.getValue(0, 2, 2, v));
    EXPECT_FALSE(f.getValue(0, 2, 3, v)) << "S has channels 0 to 2";
    EXPECT_FALSE(f.getValue(0, 0, -1, v));
    EXPECT_FALSE(f.getValue(0, 3, 0, v));
    EXPECT_FALSE(f.getInHandle(1, 0, 0, x, y)) << "N has no channel";
    EXPECT_FALSE(f.getOutHandle(2, 0, 0, x, y));
    EXPECT_FALSE(f.setValue(0, 0, 3, 1.0f));
    EXPECT_EQ(f.getNode(2), nullptr);
    EXPECT_EQ(f.getNodeType(-1), 0);
    EXPECT_EQ(f.getKeyFrame(3), -1);
    EXPECT_FALSE(f.setKeyFrame(0, 1, 11)) << "key 1 already has frame 10";
    EXPECT_TRUE(f.setKeyFrame(1, 1, 10));
    EXPECT_FALSE(f.setNodeName(0, std::string(256, 'n').c_str()));
    EXPECT_FALSE(f.create(1, 0));
    EXPECT_EQ(f.getStatus(), kgiKmcFile::INVALID_KEY_COUNT);
}

TEST(KmcFile, AFailedWriteLeavesThePreviousFile)
{
    kgiTestDir dir;
    const std::string path = dir.file("c.kmc");
    writeText(path, "previous");
    kgiKmcFile empty;
    EXPECT_FALSE(empty.write(path.c_str()));
    EXPECT_EQ(empty.getStatus(), kgiKmcFile::NO_KEYS);
    EXPECT_EQ(readText(path), "previous");

    kgiKmcFile f;
    fillTwoNodes(f);
    EXPECT_FALSE(f.write(dir.file("missing/c.kmc").c_str()));
    EXPECT_EQ(f.getStatus(), kgiKmcFile::INVALID_FILE_NAME);
    EXPECT_FALSE(f.write(nullptr));
    EXPECT_EQ(readText(path), "previous");
    EXPECT_EQ(entryCount(dir.path()), 1);
}

TEST(KmcFile, NamesTheReaderCannotSplitBackAreRefusedBeforeAnythingIsWritten)
{
    kgiTestDir dir;
    const std::string path = dir.file("c.kmc");
    kgiKmcFile good;
    fillTwoNodes(good);
    ASSERT_TRUE(good.write(path.c_str()));
    const std::string before = readText(path);
    for (const char* name : {"", "Left Hip", "Hip:1", "Hip,1", "Hip\"1", "Hip(1)", "Hip{1}"}) {
        SCOPED_TRACE(std::string("[") + name + "]");
        kgiKmcFile f;
        fillTwoNodes(f);
        ASSERT_TRUE(f.setNodeName(1, name));
        EXPECT_FALSE(f.write(path.c_str()));
        EXPECT_EQ(f.getStatus(), kgiKmcFile::UNREADABLE_NAME);
        EXPECT_STREQ(f.getStatusMessage(), "Node name cannot be read back");
        EXPECT_EQ(readText(path), before);
    }
}
