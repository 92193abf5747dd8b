// Dumps, log outputs and file-name helpers.
#include "kneFileName.h"
#include "kneScene.h"
#include "kneSceneLog.h"
#include "kneSceneReader.h"
#include "kneStatusWord.h"
#include "scene_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Collects what a FILE* receives.
class Capture {
public:
    Capture() : f_(open_memstream(&buf_, &size_)) {}
    ~Capture()
    {
        if (f_)
            std::fclose(f_);
        std::free(buf_);
    }
    FILE* file() { return f_; }
    std::string text()
    {
        std::fflush(f_);
        return std::string(buf_, size_);
    }

private:
    char* buf_ = nullptr;
    size_t size_ = 0;
    FILE* f_;
};

std::string received;
void collect(const char* text) { received += text; }

} // namespace

TEST(SceneLog, SceneDumpOfTheSmallestFile)
{
    kneScene scene;
    std::vector<uint8_t> f = scenefx::exampleFile();
    ASSERT_EQ(kneSceneReader::readBuffer(scene, f.data(), f.size()), 0u);
    kneSceneLog::setDumpStyle(0);
    Capture out;
    EXPECT_EQ(kneSceneLog::dumpScene(scene, out.file()), 0u);
    EXPECT_EQ(out.text(),
              "+-------------------------------------------------------+\n"
              "|                     = SCENE DUMP =                    |\n"
              "+-------------------------------------------------------+\n"
              "scenenameW : (null)\n"
              "scenename  : a\n"
              "version    : 00010301\n"
              "comments   : (null)\n"
              "time       : stime=0.000000 etime=0.000000\n"
              "ecode      : warning=0 error=0\n"
              "nbList     : 1\n"
              "nbListId   : 1 (0, 0)\n"
              "  < 0 > status=1 ref=0 nbAttach=0 : \n"
              "  =================================================\n"
              "  + LIST : \"Object\" Id=0 name=n nbData=0\n"
              "+-------------------------------------------------------+\n"
              "|                 = SCENE DUMP END =                    |\n"
              "+-------------------------------------------------------+\n");
}

TEST(SceneLog, DumpWhileAnErrorIsSetPrintsOnlyTheErrorLine)
{
    kneScene scene;
    kneStatusWord::setWarning(26);
    kneStatusWord::setError(138);
    Capture out;
    EXPECT_EQ(kneSceneLog::dumpScene(scene, out.file()), (26u << 16) | 138u);
    EXPECT_EQ(out.text(), "Error: w=26 e=138\n");
    EXPECT_EQ(kneSceneLog::dumpScene(scene, nullptr) & 0xFFFF, 141u);
}

TEST(SceneLog, ModelNodesPrintTheirRecordsFlagsAndMeshLists)
{
    kneScene scene;
    scenefx::ModelShape desc;
    desc.nodes = 2;
    desc.rich = false;
    scenefx::buildModel(scene, desc);
    for (int style : {0, 1}) {
        kneSceneLog::setDumpStyle(style);
        Capture out;
        kneSceneLog::dumpObject(out.file(), *scene.getObject(0), true);
        std::string t = out.text();
        EXPECT_NE(t.find("\t- DATA\t: entryId=1 nbData=2\n"), std::string::npos) << t;
        EXPECT_NE(t.find("\t  Trans   : 1.000000 2.000000 3.000000\n"), std::string::npos) << t;
        EXPECT_NE(t.find("\t  Scale   : 1.000000 1.000000 1.000000\n"), std::string::npos) << t;
        EXPECT_NE(t.find("\t  AFlag16 : 1(0x1)\n"), std::string::npos) << t;
        if (style == 0) {
            EXPECT_NE(t.find("  + LIST : \"Object\" Id=0 name=robot nbData=1\n"), std::string::npos);
            EXPECT_NE(t.find("  = Model(Id=0) =\n"), std::string::npos);
            EXPECT_NE(t.find("\t\t#### Polygon List(Id=1) ####\n"), std::string::npos);
            EXPECT_NE(t.find("    \t\tdatatype :   12\n"), std::string::npos);
            EXPECT_NE(t.find("\t  name    : node1\n"), std::string::npos);
        } else {
            EXPECT_NE(t.find("  + OBJECT DUMP : \"Object\" Id=0 name=robot nbData=1\n"), std::string::npos);
            EXPECT_NE(t.find("\t\t#### mVList(Id=0) ####\n"), std::string::npos);
            EXPECT_NE(t.find("\t  name_vs : 0x"), std::string::npos);
            EXPECT_NE(t.find("    cash_wp  : 0x0\n"), std::string::npos);
        }
    }
    kneSceneLog::setDumpStyle(0);
    // The motion sub-object labels its entry; type 19 differs by dump kind.
    Capture sub;
    kneSceneLog::dumpObject(sub.file(), *scene.getObject(1), false);
    EXPECT_NE(sub.text().find("  = Model Motion(Id=0) =\n"), std::string::npos);
    kneSceneObject* o = scene.createObject("shape");
    kneScene::createSubObjectData(o, kneDataEntry::SHAPE_MOTION, 1, 1);
    Capture obj, asSub;
    kneSceneLog::dumpObject(obj.file(), *o, true);
    kneSceneLog::dumpObject(asSub.file(), *o, false);
    EXPECT_NE(obj.text().find("  = Sound Motion(Id=0) =\n"), std::string::npos);
    EXPECT_NE(asSub.text().find("  = Shape Motion(Id=0) =\n"), std::string::npos);
    EXPECT_EQ(kneStatusWord::error(), 0);
    // An object dump of a sub-object-only type continues with an error.
    kneScene::createObjectData(o, kneDataEntry::LIGHT, 1, 1);
    Capture mixed;
    kneSceneLog::dumpObject(mixed.file(), *o, false);
    EXPECT_EQ(kneStatusWord::error(), kneSceneLog::E_SUBOBJECT_TYPE);
}

TEST(SceneLog, IdTableDumpShowsFieldsAndPageBytes)
{
    kneIdTable t;
    t.storeString("n");
    Capture out;
    kneSceneLog::setDumpOutput(out.file());
    kneSceneLog::dumpIdTable(t);
    kneSceneLog::setDumpOutput(nullptr);
    std::string s = out.text();
    EXPECT_EQ(s.rfind("<Info>\npageShift=13 cnkbit=1000 addrMask=fff pageBytes=4096 fillBytes=3481\n"
                      "currentId=0 nbPage=1 nbList=256 padBytes=0\ntotalBytes 24\ni 0 pageaddr ", 0),
              0u);
    EXPECT_NE(s.find(" pageBytes 4096 nbBytes 4\n============== page ===================\n"
                     "00100000040000006E000000\n============== page end ===================\n"),
              std::string::npos)
        << s;
}

TEST(SceneLog, MessageLogsFrameTheirTextAndFeedTheCallback)
{
    kneScene scene;
    Capture out;
    kneSceneLog::setMessageAOutput(out.file());
    kneSceneLog::messageA("joint %d", 7);
    kneSceneLog::setMessageACallback(collect);
    received.clear();
    kneSceneLog::messageA("again");
    kneSceneLog::setMessageAOutput(nullptr);
    kneSceneLog::messageA("quiet");
    kneSceneLog::setMessageACallback(nullptr);
    EXPECT_EQ(out.text(), "\n##### joint 7\n##### again\n<Pavik> ");
    EXPECT_EQ(received, "againquiet");
    // A new scene switches every output off.
    kneSceneLog::setAllOutputs(stderr);
    kneScene next;
    EXPECT_EQ(kneSceneLog::getInfoOutput(), nullptr);
    EXPECT_EQ(kneSceneLog::getDumpOutput(), nullptr);
}

TEST(SceneLog, LogFileOpensWithItsStartLineAndClosesToDefaults)
{
    kneScene scene;
    std::string path = testing::TempDir() + "kne_log.txt";
    ASSERT_EQ(kneSceneLog::openLog(scene, path.c_str()), 0u);
    kneSceneLog::infoLog("%s\n", "more");
    EXPECT_EQ(kneSceneLog::closeLogDefault(scene), 0u);
    EXPECT_EQ(kneSceneLog::getSystemOutput(), stdout);
    EXPECT_EQ(kneSceneLog::getMessageBOutput(), stderr);
    kneSceneLog::setAllOutputs(nullptr);
    FILE* f = std::fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char buf[128] = {};
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(buf, n), "=== start system log ===\nmore\n");
    std::remove(path.c_str());
    EXPECT_EQ(kneSceneLog::openLog(scene, "/nonexistent/dir/log.txt") & 0xFFFF, 142u);
}

TEST(SceneLog, ALogFileLeftOpenIsClosedWithItsScene)
{
    const std::string first = testing::TempDir() + "kne_log1.txt";
    const std::string second = testing::TempDir() + "kne_log2.txt";
    {
        kneScene scene;
        ASSERT_EQ(kneSceneLog::openLog(scene, first.c_str()), 0u);
        ASSERT_EQ(kneSceneLog::openLog(scene, second.c_str()), 0u);
        kneSceneLog::messageA("%s", "last words");
    }
    EXPECT_EQ(kneSceneLog::getMessageAOutput(), nullptr);
    EXPECT_EQ(kneSceneLog::getInfoOutput(), nullptr);
    auto slurp = [](const std::string& path) {
        std::string text;
        if (FILE* f = std::fopen(path.c_str(), "r")) {
            char buf[256];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
                text.append(buf, n);
            std::fclose(f);
        }
        return text;
    };
    EXPECT_EQ(slurp(first), "=== start system log ===\n") << "the first log was closed";
    EXPECT_EQ(slurp(second), "=== start system log ===\n\n##### last words");
    std::remove(first.c_str());
    std::remove(second.c_str());
}

TEST(FileName, SuffixAndFolderHelpers)
{
    struct Case {
        const char* path;
        const char* withKmm; // after kneSetSuffix(".kmm")
        const char* stripped;
        const char* name;
        const char* suffix; // null: none
        const char* folder;
    };
    const Case cases[] = {
        {"model\\robot.kmd", "model\\robot.kmm", "model\\robot", "robot.kmd", ".kmd", "model"},
        {"a.b/robot", "a.b/robot.kmm", "a.b/robot", "robot", nullptr, "a.b"},
        {"robot.tar.kmd", "robot.tar.kmm", "robot.tar", "robot.tar.kmd", ".kmd", "robot.tar.kmd"},
        {"dir/", "dir/.kmm", "dir/", "", nullptr, "dir"},
    };
    for (const Case& c : cases) {
        std::string p = c.path;
        kneSetSuffix(p, ".kmm");
        EXPECT_EQ(p, c.withKmm) << c.path;
        p = c.path;
        kneStripSuffix(p);
        EXPECT_EQ(p, c.stripped) << c.path;
        EXPECT_STREQ(kneFileNamePart(c.path), c.name) << c.path;
        if (c.suffix)
            EXPECT_STREQ(kneSuffixOf(c.path), c.suffix) << c.path;
        else
            EXPECT_EQ(kneSuffixOf(c.path), nullptr) << c.path;
        p = c.path;
        EXPECT_EQ(kneCutToFolder(p), c.folder) << c.path;
    }
    EXPECT_EQ(kneFileNamePart(nullptr), nullptr);
    std::string p = "robot.kmd";
    testing::internal::CaptureStderr();
    kneSetSuffixChecked(p, ".kmd");
    kneSetSuffixChecked(p, ".kmm");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning : Mismatch suffix\n");
    EXPECT_EQ(kneChangeDir(nullptr), 0);
    EXPECT_EQ(kneChangeDir("/nonexistent/dir"), 0);
}
