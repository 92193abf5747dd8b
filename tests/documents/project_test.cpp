#include "kgiProject.h"

#include "docs_test_util.h"

#include <gtest/gtest.h>

#include <set>

namespace fs = std::filesystem;

namespace {

const char* const GOLDEN =
    "# TS -- Zodarovu Timesheet\n"
    "\n"
    "Proj.set {\n"
    "\tDirectories {\n"
    "\t\tCharacter \"character\"\n"
    "\t\tMotion \"motion\"\n"
    "\t}\n"
    "\tPref {\n"
    "\t\tfts 6\n"
    "\t\tfps 24\n"
    "\t\twstep 2\n"
    "\t\tg_p 0\n"
    "\t\tg_n 3\n"
    "\t\tg_t 0.750000\n"
    "\t\tg_s 12\n"
    "\t\tffov 45.500000\n"
    "\t\tfgain 0.125000\n"
    "\t\tmgain -1.000000\n"
    "\t\tdw 1\n"
    "\t}\n"
    "\tMotion \"walk.kmm\"\n"
    "\tMotionController \"Euler\"\n"
    "\tCurveData \"walk.kmc\"\n"
    "\tCharacter \"my robot.kmd\"\n"
    "\tSelection 3,42\n"
    "}\n";

const std::string CHARACTER_BYTES("KSCH\0\x01\x02\xff\r\n\x1a model", 17);

// A timesheet naming walk.kmm, robot.kmd and, for Euler, walk.kmc.
std::string timesheet(const std::string& controller, const std::string& base = "walk")
{
    std::string ts = "# TS -- Zodarovu Timesheet\n\nProj.set {\n\tDirectories {\n"
                     "\t\tCharacter \"character\"\n\t\tMotion \"motion\"\n\t}\n"
                     "\tMotion \"" + base + ".kmm\"\n";
    if (!controller.empty())
        ts += "\tMotionController \"" + controller + "\"\n";
    if (controller == "Euler")
        ts += "\tCurveData \"" + base + ".kmc\"\n";
    return ts + "\tCharacter \"robot.kmd\"\n\tSelection 0,10\n}\n";
}

void writeMotion(const std::string& path)
{
    kgiKmmFile f;
    f.create(1, 2, 1);
    f.setNodeName(0, "Root");
    f.setNodeType(0, 1);
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    f.setKey(0, 0, m);
    f.setKey(0, 1, m);
    ASSERT_TRUE(f.writeMatrices(path.c_str()));
}

void writeCurves(const std::string& path)
{
    kgiKmcFile f;
    f.create(1, 1);
    f.setNodeName(0, "Root");
    f.setNodeType(0, 3);
    f.setKeyFrame(0, 0, 0);
    ASSERT_TRUE(f.write(path.c_str()));
}

// A complete project folder: timesheet, character with model.ini, motion
// and curve files.
void makeProject(const std::string& folder, const std::string& tsName,
                 const std::string& controller = "Euler")
{
    fs::create_directories(folder + "/character");
    fs::create_directories(folder + "/motion");
    writeText(folder + "/" + tsName, timesheet(controller));
    writeText(folder + "/character/robot.kmd", CHARACTER_BYTES);
    writeText(folder + "/character/model.ini", "joint table\n");
    writeMotion(folder + "/motion/walk.kmm");
    writeCurves(folder + "/motion/walk.kmc");
}

std::set<std::string> listTree(const std::string& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        names.insert(fs::relative(e.path(), dir).string());
    return names;
}

} // namespace

TEST(Timesheet, WritesTheExactFormatAndReadsItBack)
{
    kgiTestDir dir;
    writeText(dir.file("walk.ts"), GOLDEN);
    kgiProject p;
    ASSERT_EQ(p.readTimesheet(dir.file("walk.ts").c_str()), 1);
    EXPECT_EQ(p.getProjectDir(), dir.path());
    EXPECT_EQ(p.getCharacterDirName(), "character");
    EXPECT_EQ(p.getMotionDir(), dir.file("motion"));
    EXPECT_EQ(p.getCharacterName(), "my robot.kmd") << "a quoted name with a blank stays whole";
    EXPECT_EQ(p.getCharacterPath(), dir.file("character/my robot.kmd"));
    EXPECT_EQ(p.getMotionPath(), dir.file("motion/walk.kmm"));
    EXPECT_EQ(p.getCurvePath(), dir.file("motion/walk.kmc"));
    EXPECT_EQ(p.isEulerController(), 1);
    EXPECT_EQ(p.hasMotionController(), 1);
    EXPECT_EQ(p.getSelectionFirst(), 3);
    EXPECT_EQ(p.getSelectionLast(), 42);
    const kgiProjectPrefs& prefs = p.getPrefs();
    EXPECT_EQ(prefs.getFts(), 6);
    EXPECT_EQ(prefs.getFps(), 24);
    EXPECT_EQ(prefs.getWstep(), 2);
    EXPECT_EQ(prefs.getGP(), 0);
    EXPECT_EQ(prefs.getGN(), 3);
    EXPECT_FLOAT_EQ(prefs.getGT(), 0.75f);
    EXPECT_EQ(prefs.getGS(), 12);
    EXPECT_FLOAT_EQ(prefs.getFfov(), 45.5f);
    EXPECT_FLOAT_EQ(prefs.getFgain(), 0.125f);
    EXPECT_FLOAT_EQ(prefs.getMgain(), -1.0f);
    EXPECT_EQ(prefs.getDw(), 1);

    writeText(dir.file("walk.ts"), "overwritten");
    ASSERT_EQ(p.writeTimesheet("walk"), 1);
    EXPECT_EQ(readText(dir.file("walk.ts")), GOLDEN);
    EXPECT_EQ(p.getTsName(), "walk.ts");
    EXPECT_EQ(p.writeTimesheet("walk.old"), 0);
    EXPECT_FALSE(fs::exists(dir.file("walk.old.ts")));
}

TEST(Timesheet, DefaultsAndWindowsStyleNames)
{
    kgiTestDir dir;
    writeText(dir.file("a.ts"), "# TS -- Zodarovu Timesheet\r\n\r\nProj.set {\r\n"
                                "\tDirectories {\r\n\t\tCharacter \"chara\\sub\"\r\n\t}\r\n"
                                "\tCharacter \"m.kmd\"\r\n}\r\n");
    kgiProject p;
    ASSERT_EQ(p.readTimesheet(dir.file("a.ts").c_str()), 1);
    EXPECT_EQ(p.getCharacterPath(), dir.file("chara/sub/m.kmd"));
    EXPECT_EQ(p.getPrefs().getFps(), 30);
    EXPECT_FLOAT_EQ(p.getPrefs().getGT(), 0.6f);
    EXPECT_FLOAT_EQ(p.getPrefs().getFfov(), 56.0f);
    EXPECT_EQ(p.getVersion(), "1.01");
}

TEST(ProjectOpen, AcceptsOnlyReadableTimesheetsWithTheirMotion)
{
    const std::string header = "# TS -- Zodarovu Timesheet\n\n";
    struct Case {
        const char* what;
        std::string file;
        std::string text;
        bool withMotion;
        int result;
        int named;
        int euler;
        bool motionKept;
    };
    const Case cases[] = {
        {"upper-case extension", "walk.TS", timesheet("Quaternion"), true, 1, 1, 0, true},
        {"backup extension", "walk.ts.bak", timesheet("Quaternion"), true, 0, 0, 0, false},
        {"not a timesheet", "walk.ts", "# XX -- other\n" + timesheet("Quaternion"), true, 0, 0, 0, false},
        {"no Proj.set", "walk.ts", header + "Other {\n\tMotion \"walk.kmm\"\n}\n", true, 1, 0, 0, false},
        {"unknown controller", "walk.ts", timesheet("Slerp"), true, 1, 1, 0, true},
        {"no controller", "walk.ts", timesheet(""), true, 1, 0, 0, true},
        {"missing motion file", "walk.ts", timesheet("Quaternion"), false, 0, 1, 0, false},
        {"no Motion line", "walk.ts", header + "Proj.set {\n\tCharacter \"robot.kmd\"\n}\n", false, 1, 0, 0,
         false},
    };
    for (const Case& c : cases) {
        kgiTestDir dir;
        makeProject(dir.path(), c.file);
        writeText(dir.file(c.file), c.text);
        if (!c.withMotion)
            fs::remove(dir.file("motion/walk.kmm"));
        kgiProject p;
        EXPECT_EQ(p.open(dir.file(c.file).c_str()), c.result) << c.what;
        EXPECT_EQ(p.isOpen(), c.result) << c.what;
        EXPECT_EQ(p.hasMotionController(), c.named) << c.what;
        EXPECT_EQ(p.isEulerController(), c.euler) << c.what;
        EXPECT_EQ(p.getMotionFile() != nullptr, c.motionKept) << c.what;
    }

    kgiTestDir dir;
    makeProject(dir.path(), "walk.ts", "Quaternion");
    writeText(dir.file("motion/walk.kmm"), "KMM1 1 0\n\nRoot : F\n2\n0 1 2\n");
    kgiProject broken;
    EXPECT_EQ(broken.open(dir.file("walk.ts").c_str()), 0);
    EXPECT_EQ(broken.getMotionFile(), nullptr) << "no half-filled motion may stay";
    kgiProject bare;
    EXPECT_EQ(bare.open("walk.ts"), 0) << "a path without a folder";
}

TEST(ProjectOpen, ABrokenCurveFileLeavesTheProjectOpen)
{
    kgiTestDir dir;
    makeProject(dir.path(), "walk.ts");
    kgiProject good;
    ASSERT_EQ(good.open(dir.file("walk.ts").c_str()), 1);
    ASSERT_NE(good.getCurveFile(), nullptr);
    EXPECT_EQ(good.getCurveFile()->getNodeCount(), 1);

    writeText(dir.file("motion/walk.kmc"), "KMC1 1 1 0\n\nRoot: R\n5: {(0,0),1,(0,0)}\n\nend\n");
    kgiProject p;
    EXPECT_EQ(p.open(dir.file("walk.ts").c_str()), 0);
    EXPECT_EQ(p.isOpen(), 1);
    ASSERT_NE(p.getCurveFile(), nullptr);
    EXPECT_EQ(p.getCurveFile()->getStatus(), kgiKmcFile::KEY_MISMATCH);
    EXPECT_NE(p.getMotionFile(), nullptr);
}

class ProjectSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeProject(dir.file("proj"), "walk.ts");
        ASSERT_EQ(project.open(dir.file("proj/walk.ts").c_str()), 1);
    }
    kgiTestDir dir;
    kgiProject project;
};

TEST_F(ProjectSave, BareNameWritesIntoTheProjectFolder)
{
    ASSERT_EQ(project.save("run.ts"), 1);
    EXPECT_EQ(project.getStatus(), kgiProject::NO_FOLDER_PART);
    EXPECT_NE(readText(dir.file("proj/run.ts")).find("\tMotion \"run.kmm\"\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir.file("proj/motion/run.kmm")));
    EXPECT_TRUE(fs::exists(dir.file("proj/motion/run.kmc")));
    EXPECT_EQ(project.getProjectDir(), dir.file("proj"));
}

TEST_F(ProjectSave, FullPathMakesANewProjectFolderWithTheCharacter)
{
    fs::create_directory(dir.file("out"));
    ASSERT_EQ(project.save(dir.file("out/dance.ts").c_str()), 1) << project.getStatus();
    const std::string prj = dir.file("out/dance.prj");
    EXPECT_EQ(listTree(prj), (std::set<std::string>{"dance.ts", "character", "character/robot.kmd",
                                                    "character/model.ini", "motion",
                                                    "motion/dance.kmm", "motion/dance.kmc"}));
    EXPECT_EQ(readText(prj + "/character/robot.kmd"), CHARACTER_BYTES);
    EXPECT_EQ(project.getProjectDir(), prj);
    EXPECT_EQ(project.getCharacterPath(), prj + "/character/robot.kmd");

    kgiProject again;
    ASSERT_EQ(again.open((prj + "/dance.ts").c_str()), 1);
    EXPECT_EQ(again.getCharacterPath(), prj + "/character/robot.kmd");
    EXPECT_EQ(again.getMotionFile()->getFrameCount(), 2);
}

TEST_F(ProjectSave, EverySaveStartsWithACleanStatus)
{
    // A bare-name save must not make later saves to other folders go to
    // the project folder.
    fs::create_directory(dir.file("b"));
    fs::create_directory(dir.file("c"));
    ASSERT_EQ(project.save("bare.ts"), 1);
    ASSERT_EQ(project.save(dir.file("b/y.ts").c_str()), 1);
    ASSERT_EQ(project.save(dir.file("c/z.ts").c_str()), 1);
    EXPECT_TRUE(fs::exists(dir.file("b/y.prj/motion/y.kmm")));
    EXPECT_TRUE(fs::exists(dir.file("c/z.prj/z.ts")));
    EXPECT_TRUE(fs::exists(dir.file("c/z.prj/character/robot.kmd")));
    EXPECT_EQ(project.getStatus(), kgiProject::NO_ERROR);
}

TEST_F(ProjectSave, AnExistingFolderIsAdopted)
{
    const std::string prj = dir.file("out/keep.prj");
    fs::create_directories(prj + "/character");
    writeText(prj + "/keep.ts", "old timesheet");
    writeText(prj + "/character/robot.kmd", "their own model");
    ASSERT_EQ(project.save((prj + "/keep.ts").c_str()), 1) << project.getStatus();
    EXPECT_EQ(readText(prj + "/character/robot.kmd"), "their own model") << "copied only when absent";
    EXPECT_TRUE(fs::exists(prj + "/character/model.ini"));
    EXPECT_TRUE(fs::exists(prj + "/motion/keep.kmm"));
    EXPECT_NE(readText(prj + "/keep.ts"), "old timesheet");
    EXPECT_EQ(project.getProjectDir(), prj);
    EXPECT_FALSE(fs::exists(dir.file("proj/keep.ts"))) << "nothing goes to the old folder";
}

TEST_F(ProjectSave, FailuresAreReportedAndKeepThePreviousFiles)
{
    const std::string oldTimesheet = readText(dir.file("proj/walk.ts"));
    writeText(dir.file("afile"), "x");
    struct Case { const char* what; std::string path; int status; };
    const Case cases[] = {
        {"two extensions", "walk.old.ts", kgiProject::NAME_HAS_DOT},
        {"no base name", dir.file("out/.ts"), kgiProject::EMPTY_NAME},
        {"folder under a file", dir.file("afile/x.ts"), kgiProject::FOLDER_FAILED},
        {"missing parent", dir.file("none/deeper/x.ts"), kgiProject::FOLDER_FAILED},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(project.save(c.path.c_str()), 0) << c.what;
        EXPECT_EQ(project.getStatus(), c.status) << c.what;
    }
    EXPECT_EQ(listTree(dir.file("proj")),
              (std::set<std::string>{"walk.ts", "character", "character/robot.kmd",
                                     "character/model.ini", "motion", "motion/walk.kmm",
                                     "motion/walk.kmc"}));

    // The motion folder turned into a file: the motion cannot be written,
    // so the save fails before the timesheet is touched.
    fs::rename(dir.file("proj/motion"), dir.file("motion.away"));
    writeText(dir.file("proj/motion"), "not a folder");
    EXPECT_EQ(project.save("walk.ts"), 0);
    EXPECT_EQ(project.getStatus(), kgiProject::MOTION_FAILED);
    EXPECT_EQ(readText(dir.file("proj/walk.ts")), oldTimesheet);

    // The character cannot be copied into a new folder.
    fs::remove(dir.file("proj/character/robot.kmd"));
    EXPECT_EQ(project.save(dir.file("n.ts").c_str()), 0);
    EXPECT_EQ(project.getStatus(), kgiProject::CHARACTER_UNREADABLE);

    kgiProject closed;
    EXPECT_EQ(closed.save(dir.file("x.ts").c_str()), 0);
    EXPECT_EQ(closed.getStatus(), kgiProject::NOT_OPEN);
}

TEST_F(ProjectSave, ALateFailureKeepsTheWholePreviousSet)
{
    // The motion-key file would be written fine; the curve file after it
    // cannot be. Neither file nor the timesheet may change, and no
    // temporary file may stay behind.
    const std::string motion = readText(dir.file("proj/motion/walk.kmm"));
    const std::string curves = readText(dir.file("proj/motion/walk.kmc"));
    const std::string sheet = readText(dir.file("proj/walk.ts"));
    kgiKmmFile* m = project.createMotionFile();
    ASSERT_TRUE(m->create(1, 1, 0));
    m->setNodeName(0, "Other");
    m->setNodeType(0, 2);
    project.getCurveFile()->release();
    EXPECT_EQ(project.save("walk.ts"), 0);
    EXPECT_EQ(project.getStatus(), kgiProject::CURVE_FAILED);
    EXPECT_EQ(readText(dir.file("proj/motion/walk.kmm")), motion);
    EXPECT_EQ(readText(dir.file("proj/motion/walk.kmc")), curves);
    EXPECT_EQ(readText(dir.file("proj/walk.ts")), sheet);
    EXPECT_EQ(entryCount(dir.file("proj/motion")), 2);
    EXPECT_EQ(entryCount(dir.file("proj")), 3);

    // The same failure into a new folder: the project stays where it was,
    // so the next plain save still goes to its own folder.
    fs::create_directory(dir.file("out"));
    EXPECT_EQ(project.save(dir.file("out/new.ts").c_str()), 0);
    EXPECT_EQ(project.getStatus(), kgiProject::CURVE_FAILED);
    EXPECT_EQ(project.getProjectDir(), dir.file("proj"));
    EXPECT_EQ(project.getCharacterPath(), dir.file("proj/character/robot.kmd"));
    EXPECT_FALSE(fs::exists(dir.file("out/new.prj/new.ts")));
    ASSERT_TRUE(project.getCurveFile()->create(1, 1));
    project.getCurveFile()->setNodeName(0, "Other"); // a name the reader can read back
    ASSERT_EQ(project.save("walk2.ts"), 1) << project.getStatus();
    EXPECT_TRUE(fs::exists(dir.file("proj/walk2.ts")));
    EXPECT_EQ(project.getMotionPath(), dir.file("proj/motion/walk2.kmm"));
}

TEST(ProjectFactoryFolder, SavesGoToTheSiblingFolder)
{
    kgiTestDir dir;
    const std::string factory = dir.file(kgiProject::FACTORY_FOLDER);
    makeProject(factory, "DORUZAVO_1.ts");
    const auto before = listTree(factory);
    kgiProject p;
    ASSERT_EQ(p.open((factory + "/DORUZAVO_1.ts").c_str()), 1);
    ASSERT_EQ(p.save("mine.ts"), 1) << p.getStatus();
    EXPECT_EQ(listTree(factory), before);
    const std::string sibling = dir.file("DORUZAVO_1");
    EXPECT_EQ(listTree(sibling), (std::set<std::string>{"mine.ts", "character", "character/robot.kmd",
                                                        "character/model.ini", "motion",
                                                        "motion/mine.kmm", "motion/mine.kmc"}));
    EXPECT_EQ(p.getProjectDir(), sibling);
    ASSERT_EQ(p.save("again.ts"), 1);
    EXPECT_TRUE(fs::exists(sibling + "/again.ts"));

    // A folder that only has the name somewhere in its path is no factory
    // folder: its project saves into itself.
    const std::string inside = factory + "/mine";
    makeProject(inside, "walk.ts");
    kgiProject q;
    ASSERT_EQ(q.open((inside + "/walk.ts").c_str()), 1);
    ASSERT_EQ(q.save("run.ts"), 1);
    EXPECT_TRUE(fs::exists(inside + "/run.ts"));
}

TEST(ProjectPaths, TimesheetExtensionAndTarget)
{
    struct Case { const char* name; int result; };
    const Case cases[] = {{"a.ts", 1}, {"a.TS", 1}, {"a.Ts", 1}, {"a.ts.bak", 0}, {"a.tsx", 0},
                          {"a.t", 0}, {"ats", 0}, {nullptr, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(kgiProject::hasTimesheetExtension(c.name), c.result) << (c.name ? c.name : "null");

    kgiTestDir dir;
    makeProject(dir.file("walk.prj"), "walk.ts");
    kgiProject p;
    EXPECT_EQ(p.prepareTarget("x.ts"), 0);
    EXPECT_EQ(p.getStatus(), kgiProject::TARGET_NOT_OPEN);
    ASSERT_EQ(p.open(dir.file("walk.prj/walk.ts").c_str()), 1);
    EXPECT_EQ(p.prepareTarget(dir.file("walk.prj/other.ts").c_str()), 1) << "already a project folder";
    EXPECT_EQ(p.getBaseName(), "other");
    EXPECT_EQ(p.prepareTarget(dir.file("run.ts").c_str()), 0);
    EXPECT_EQ(p.getTargetDir(), dir.file("run.prj/"));
}
