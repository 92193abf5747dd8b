// The remote-control entries: entry files and their list, written and read
// back, and the names that must never become paths.
#include "robot/session_fixture_test.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using kgiTestSession::SessionFixture;

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> lines(const fs::path& p)
{
    std::vector<std::string> out;
    std::ifstream in(p, std::ios::binary);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The list as written for the entries given (index, name); the others empty.
std::vector<std::string> listWith(const std::vector<std::pair<int, std::string>>& named)
{
    std::vector<std::string> out;
    for (int i = 0; i < 32; ++i) out.push_back(std::to_string(i + 1) + ":");
    for (const auto& [i, name] : named) out[i] += name;
    return out;
}

class RemoconFiles : public SessionFixture {
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        dir = fs::path(folder.path) / "base" / "remocon";
        fs::create_directories(dir);
        session = newSession();
        session->setRemoconFolder(dir.string(), (dir / "list.txt").string());
        // Three keys in the entry form: 88 + 27 + 31 + 5 + 5 = 156 values.
        keyMotion({0, 10, 20}, {{0, 20, 20}});
    }
    void TearDown() override
    {
        session.reset();
        SessionFixture::TearDown();
    }
    fs::path list() const { return dir / "list.txt"; }
    kgiRobotLink& link() { return session->getLink(); }
    void writeList(const std::vector<std::string>& ls)
    {
        std::ofstream out(list(), std::ios::binary);
        for (const std::string& l : ls) out << l << "\n";
    }

    fs::path dir;
    std::unique_ptr<kgiRobotSession> session;
};

TEST_F(RemoconFiles, AnEntrySavedAndLoadedBackIsTheCompiledMotion)
{
    session->setDefaultPose();
    const std::vector<int> code = session->compileCode(character->getKeyTimes(), true, 0, false);
    ASSERT_EQ(code.size(), 156u);

    ASSERT_TRUE(session->editRemoconList(5, 0, "walk"));
    // Eight values to a line; the last line filled up with zeros.
    const std::vector<std::string> file = lines(dir / "walk.obc");
    ASSERT_EQ(file.size(), 20u);
    EXPECT_EQ(file[0], "193,166,184,241,190,248,192,189,");
    EXPECT_EQ(file[1], "7,12,7,7,47,31,156,0,");
    EXPECT_EQ(file[19].substr(file[19].size() - 8), "0,0,0,0,");
    // No list before: 32 lines, line 6 named.
    EXPECT_EQ(lines(list()), listWith({{5, "walk"}}));

    // Read back: the padding zeros come along up to the end mark, the link
    // takes the motion by the header's count.
    std::vector<int> values = kgiRobotSession::parseEntryValues(readFile(dir / "walk.obc"));
    ASSERT_EQ(values.size(), 160u);
    EXPECT_EQ(std::vector<int>(values.begin(), values.begin() + 156), code);
    EXPECT_EQ(std::vector<int>(values.begin() + 156, values.end()), std::vector<int>(4, 0));
    ASSERT_TRUE(session->loadRemoconFile(5, "walk"));
    ASSERT_EQ(link().slotLength[1][5], 156 - 89);
    for (int i = 0; i < 156 - 89; ++i) EXPECT_EQ(link().motionStore[1][5][1 + i], code[86 + i]) << i;
}

TEST_F(RemoconFiles, ListLinesAreReplacedAndTheListAlwaysKeeps32)
{
    ASSERT_TRUE(session->editRemoconList(2, 0, "old"));
    ASSERT_TRUE(fs::exists(dir / "old.obc"));
    // Mode 2 replaces the line only.
    ASSERT_TRUE(session->editRemoconList(2, 2, "renamed"));
    EXPECT_TRUE(fs::exists(dir / "old.obc"));
    EXPECT_EQ(lines(list()), listWith({{2, "renamed"}}));
    // Mode 1 deletes the file the line named first.
    ASSERT_TRUE(session->editRemoconList(2, 0, "old"));
    ASSERT_TRUE(session->editRemoconList(2, 1, ""));
    EXPECT_FALSE(fs::exists(dir / "old.obc"));
    EXPECT_EQ(lines(list()), listWith({}));

    // A 10-line list and entry 20: the missing lines come back empty.
    std::vector<std::string> ten = listWith({{0, "a"}, {9, "j"}});
    ten.resize(10);
    writeList(ten);
    ASSERT_TRUE(session->writeRemoconListEntry(20, "u", 0));
    EXPECT_EQ(lines(list()), listWith({{0, "a"}, {9, "j"}, {20, "u"}}));

    // An index outside the list is refused before anything is written.
    const std::string before = readFile(list());
    EXPECT_FALSE(session->writeRemoconListEntry(32, "x", 0));
    EXPECT_FALSE(session->editRemoconList(-1, 0, "x"));
    EXPECT_FALSE(session->editRemoconList(32, 0, "x"));
    EXPECT_EQ(readFile(list()), before);
    EXPECT_FALSE(fs::exists(dir / "x.obc"));
}

TEST_F(RemoconFiles, AListOrEntryThatIsAFolderIsAFailureNotASaveOrACrash)
{
    // A folder where the list file should be: the list cannot be read or
    // replaced, and no reader stumbles over it.
    fs::create_directories(list());
    EXPECT_FALSE(session->editRemoconList(4, 0, "walk"));
    EXPECT_FALSE(session->loadRemoconList());
    EXPECT_TRUE(fs::is_directory(list()));
    fs::create_directories(dir / "run.obc");
    EXPECT_FALSE(session->loadRemoconFile(2, "run"));
}

TEST_F(RemoconFiles, NamesThatAreNotPlainFileNamesTouchNoFile)
{
    const fs::path outside = dir.parent_path() / "victim.obc";
    std::ofstream(outside) << "1,2,3,4,5,6,7,8,\n";
    fs::create_directories(dir / "a");

    for (const char* name : {"../victim", "../x", "a/b", "a\\b", "..", ".", ""}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(kgiRobotSession::entryFileName(name).empty());
        EXPECT_FALSE(session->editRemoconList(1, 0, name));
        EXPECT_FALSE(session->loadRemoconFile(1, name));
    }
    EXPECT_FALSE(fs::exists(list()));
    EXPECT_FALSE(fs::exists(dir.parent_path() / "x.obc"));
    EXPECT_TRUE(fs::is_empty(dir / "a"));

    // A list line naming a path: mode 1 replaces the line, deletes nothing.
    writeList(listWith({{0, "../victim"}}));
    ASSERT_TRUE(session->editRemoconList(0, 1, "new"));
    EXPECT_TRUE(fs::exists(outside));
    EXPECT_EQ(lines(list()), listWith({{0, "new"}}));
    // Bytes that are not code page 932 text are refused too.
    EXPECT_TRUE(kgiRobotSession::entryFileName("\x81").empty());
    // A name the line cannot hold.
    EXPECT_FALSE(session->editRemoconList(3, 0, std::string(260, 'n')));
}

TEST_F(RemoconFiles, AJapaneseNameGivesAUtf8FileNameAndStaysCodePage932InTheList)
{
    const std::string utf8 = "\xE6\xAD\xA9\xE3\x81\x8F";  // "歩く"
    const std::string name = platform::utf8ToCp932(utf8);
    ASSERT_NE(name, utf8);
    ASSERT_TRUE(session->editRemoconList(0, 0, name));
    EXPECT_TRUE(fs::exists(dir / (utf8 + ".obc")));
    EXPECT_EQ(lines(list())[0], "1:" + name);
    EXPECT_TRUE(session->loadRemoconFile(0, name));
    // "ソ" ends in the byte of a backslash in code page 932; it is no path.
    const std::string so = platform::utf8ToCp932("\xE3\x82\xBD");
    ASSERT_EQ(so.back(), '\\');
    EXPECT_EQ(kgiRobotSession::entryFileName(so), "\xE3\x82\xBD");
}

TEST_F(RemoconFiles, AFileShorterThanItsCountLeavesTheSlotAlone)
{
    ASSERT_TRUE(session->editRemoconList(0, 0, "walk"));
    ASSERT_TRUE(session->loadRemoconFile(3, "walk"));
    const int before = link().slotLength[1][3];
    // The header claims 300 values; the file holds 24.
    std::ofstream(dir / "short.obc") << "193,166,184,241,190,248,192,189,\n7,12,7,7,47,31,44,1,\n1,2,3,4,5,6,7,8,\n";
    EXPECT_FALSE(session->loadRemoconFile(3, "short"));
    EXPECT_EQ(link().slotLength[1][3], before);
    // A missing file changes nothing either.
    EXPECT_FALSE(session->loadRemoconFile(3, "missing"));
    EXPECT_EQ(link().slotLength[1][3], before);
}

TEST_F(RemoconFiles, LoadingTheListFillsAndEmptiesSlotsByLine)
{
    ASSERT_TRUE(session->editRemoconList(0, 0, "walk"));
    ASSERT_TRUE(session->loadRemoconFile(1, "walk"));  // slot 2, which the list leaves nameless
    ASSERT_TRUE(session->loadRemoconFile(31, "walk")); // slot 32: the compiled motion's
    const int length = link().slotLength[1][1];
    ASSERT_GT(length, 0);

    struct Case {
        const char* what;
        std::vector<std::string> list;
        bool result;
    } const cases[] = {
        {"30 usable lines", [] {
             std::vector<std::string> l = listWith({{0, "walk"}, {2, "walk"}});
             l.resize(30);
             return l;
         }(), false},
        {"32 lines, the last the system data's", listWith({{0, "walk"}, {2, "walk"}, {31, " [SYSTEM DATA]"}}), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeList(c.list);
        link().slotLength[1][0] = link().slotLength[1][2] = 0;
        link().slotLength[1][1] = length;
        EXPECT_EQ(session->loadRemoconList(), c.result);
        EXPECT_EQ(link().slotLength[1][0], length);
        EXPECT_EQ(link().slotLength[1][2], length);
        EXPECT_EQ(link().slotLength[1][1], 0) << "a line without a name empties its slot";
        EXPECT_EQ(link().slotLength[1][31], length) << "the system data line loads nothing";
    }
    // A number in the line plays no part: the third accepted line is slot 3.
    writeList({"7:walk", "", "9:", "x", "1:walk"});
    link().slotLength[1][0] = link().slotLength[1][2] = 0;
    EXPECT_FALSE(session->loadRemoconList());
    EXPECT_EQ(link().slotLength[1][0], length);
    EXPECT_EQ(link().slotLength[1][2], length);
    EXPECT_EQ(kgiRobotSession::parseListNames("32: [SYSTEM DATA]\n"), std::vector<std::string>{"[SYSTEM"});
    // No list file.
    fs::remove(list());
    EXPECT_FALSE(session->loadRemoconList());
}

TEST_F(RemoconFiles, NothingToSaveOrTooMuchWritesNoFile)
{
    character->editKeyTimes().clear();
    EXPECT_FALSE(session->editRemoconList(0, 0, "none"));
    EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 150"});
    for (int k = 0; k < 2400; ++k) {
        ASSERT_TRUE(table().addJointKeyByName(character, "J0", float(k), k % 2 ? 10.0f : 0.0f));
        character->editKeyTimes().push_back(float(k));
    }
    EXPECT_FALSE(session->editRemoconList(0, 0, "long"));
    EXPECT_EQ(services.captions, (std::vector<std::string>{"Warning - 150", "Error"}));
    EXPECT_EQ(services.texts.back(), "Wr_Motion_TooLong");
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST(RemoconReaders, EntryValuesEndAtTheFirstValueThatIsNoByte)
{
    const struct {
        const char* text;
        std::vector<int> values;
    } cases[] = {
        {"1,2,3,\n", {1, 2, 3, 0, 0, 0, 0, 0}},
        {"1,2,3,4,5,6,7,8,\n9,256,1,\n", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"1,2,-1,4,\n", {1, 2}},
        {"", {}},
        {"x\n1,\n", {0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(kgiRobotSession::parseEntryValues(c.text), c.values) << c.text;
    // Reading stops at 65,536 values.
    std::string big;
    for (int i = 0; i < 9000; ++i) big += "1,1,1,1,1,1,1,1,\n";
    EXPECT_EQ(kgiRobotSession::parseEntryValues(big).size(), 65536u);
}

} // namespace
