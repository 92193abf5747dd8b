// The robot's motion, pose and script files as a user reaches them: the
// real main window on the factory robot with the program's joint table,
// its File and Pose commands answered by scripted file dialogs, and the
// boxes recorded.
#include "kgiTimesheetCanvas.h"
#include "kgiTimesheetWindow.h"

#include "kgiApp.h"
#include "kgiAppServices.h"
#include "kgiCharacter.h"
#include "kgiGLFrameline.h"
#include "kgiGLTsMgr.h"
#include "kgiKeyUndo.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotSession.h"
#include "kgiWorld.h"

#include "support/app/kgiAppStandIns.h"
#include "support/app/kgiScriptedDialogs.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using W = kgiTimesheetWindow;

namespace {

class RecordingServices : public kgiAppServices {
public:
    explicit RecordingServices(const kgiApp& app) : kgiAppServices(app) {}
    std::vector<std::string> boxes;
    void showMessage(const std::string& caption, const std::string& text) override
    {
        boxes.push_back(caption + "|" + text);
    }
    bool askYesNo(const std::string& caption, const std::string& text) override
    {
        boxes.push_back(caption + "|" + text);
        return true;
    }
};

// The application's stand-ins live as long as the application.
kgiAppStandIns& fakes()
{
    static auto* f = new kgiAppStandIns;
    return *f;
}

using Times = std::vector<float>;
// Joint values by name.
using Values = std::map<std::string, float>;

class RobotFilesWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_TEST_APP();
        app = kgiTestApp();
        dir = fs::temp_directory_path() / ("kgi_robot_files_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        app->setMakers(fakes().makers());
        previousJoints = kgiPartTable::installed();
        kgiPartTable::install(&table);
        kgiFileDialogs::install(&dialogs);
        services = std::make_unique<RecordingServices>(*app);
        kgiCharacterServices::install(services.get());
        window.reset(new W(app));
        window->create();
        app->setMainWindow(window.get());
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        ASSERT_TRUE(kgiTestRunUntil([&] { return window->shown() && window->getCanvas()->getPaintCount() > 0; }));
        ASSERT_EQ(table.getNodeCount(), 25);
    }
    void TearDown() override
    {
        if (!app)
            return;
        window.reset();
        app->flush(true);
        kgiTestRemoveCharacters();
        app->setCurrentFile(std::string());
        app->setMakers(kgiAppMakers{});
        kgiCharacterServices::install(nullptr);
        kgiFileDialogs::install(nullptr);
        kgiPartTable::install(previousJoints);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    long send(int command) { return window->handle(nullptr, FXSEL(FX::SEL_COMMAND, command), nullptr); }
    long sendWith(int command, const fs::path& chosen)
    {
        dialogs.answers = {chosen.string()};
        return send(command);
    }
    kgiCharacter* robot() const { return world->getCurrentCharacter(); }
    Times keys() const { return robot() ? robot()->getKeyTimes() : Times{}; }
    void turn(const char* joint, float value) { ASSERT_TRUE(table.setJointAngleByName(robot(), joint, value)); }
    Values valuesAt(float t) const
    {
        Values v;
        for (const auto& j : table.getJoints())
            v[j.first] = table.getJointAngleAt(robot()->findNode(j.first), t);
        return v;
    }
    Values valuesNow() const
    {
        Values v;
        for (const auto& j : table.getJoints())
            v[j.first] = table.getJointAngleByName(robot(), j.first);
        return v;
    }
    static void expectSame(const Values& want, const Values& got, const std::string& where)
    {
        ASSERT_EQ(got.size(), want.size()) << where;
        for (const auto& j : want)
            EXPECT_NEAR(got.at(j.first), j.second, 1e-3) << where << " " << j.first;
    }
    // Red pixels in the key row of the main window's frame line at frame f.
    int redInKeyCell(const kgiTestImage& shot, int f) const
    {
        kgiTimesheetCanvas* canvas = window->getCanvas();
        kgiGLFrameline* line = canvas->getManager()->getFrameLine();
        FX::FXint x = 0, y = 0;
        canvas->translateCoordinatesTo(x, y, window.get(), 0, 0);
        return shot.count(x + line->columnOf(f) + 1, y + line->getY() + 1, 6, 17, {255, 0, 0});
    }
    kgiTestImage showTimeline(const char* name)
    {
        kgiTimesheetCanvas* canvas = window->getCanvas();
        const long before = canvas->getPaintCount();
        canvas->update();
        kgiTestRunUntil([&] { return canvas->getPaintCount() > before; });
        kgiTestImage shot = kgiTestGrab(window.get());
        shot.save(name);
        return shot;
    }

    kgiApp* app = nullptr;
    kgiWorld* world = kgiWorld::instance();
    kgiRobotJointTable& table = *kgiRobotJointTable::instance();
    fs::path dir;
    kgiScriptedDialogs dialogs;
    std::unique_ptr<RecordingServices> services;
    std::unique_ptr<W> window;
    kgiPartTable* previousJoints = nullptr;
};

} // namespace

TEST_F(RobotFilesWindow, AMotionSavedOpensAgainPosesRoundTripAndAScriptIsUndone)
{
    // Keys at 0, 20 and 40, each a pose of its own.
    const int frames[] = {0, 20, 40};
    for (int i = 0; i < 3; ++i) {
        world->setCurrentTime(float(frames[i]));
        turn("RKnee", 15.0f + 25.0f * i);
        turn("LShoulder", -20.0f * i);
        turn("Head", 10.0f * i - 5.0f);
        ASSERT_TRUE(robot()->addKey(frames[i]));
    }
    std::vector<Values> saved;
    for (int f : frames)
        saved.push_back(valuesAt(float(f)));

    sendWith(W::ID_SAVE_MDM_AS, dir / "walk");
    ASSERT_TRUE(fs::exists(dir / "walk.mdm"));
    send(W::ID_NEW);
    ASSERT_TRUE(keys().empty());
    sendWith(W::ID_LOAD_MDM, dir / "walk.mdm");
    ASSERT_EQ(keys(), (Times{0, 20, 40}));
    for (int i = 0; i < 3; ++i)
        expectSame(saved[size_t(i)], valuesAt(float(frames[i])), "F" + std::to_string(frames[i]));
    const kgiTestImage opened = showTimeline("robot_files_opened_motion");
    for (int f : {0, 20, 40})
        EXPECT_GT(redInKeyCell(opened, f), 80) << "key cell " << f;
    for (int f : {10, 30})
        EXPECT_EQ(redInKeyCell(opened, f), 0) << "no key at " << f;

    // Pose > Save, a change, Pose > Load.
    world->setCurrentTime(20.0f);
    const Values pose = valuesNow();
    sendWith(W::ID_POSE_SAVE, dir / "stand");
    ASSERT_TRUE(fs::exists(dir / "stand.mdp"));
    turn("RKnee", 70.0f);
    turn("Head", 30.0f);
    sendWith(W::ID_POSE_LOAD, dir / "stand.mdp");
    expectSame(pose, valuesNow(), "pose loaded");

    // File > Import PSF: still, then RThigh +30 at speed 10 (150 ms: 4
    // frames at the robot's rate, after the one every MOVE takes), then a
    // pause of 300 ms (9 frames).
    std::string moveStill = "MOVE G24,";
    std::string moveThigh = "MOVE G24,";
    for (int s = 0; s < kgiRobotSession::SERVOS; ++s) {
        const int v = kgiRobotSession::DEFAULT_POSE[s];
        moveStill += std::to_string(v) + ",";
        moveThigh += std::to_string(s == 0 ? v + 30 : v) + ",";
    }
    std::ofstream(dir / "dance.psf", std::ios::binary)
        << std::string(55, '#') << "SPEED 10\r\n" << moveStill << "\r\n" << moveThigh << "\r\nDELAY 300\r\n";
    const Values beforeImport[] = {valuesAt(0.0f), valuesAt(20.0f), valuesAt(40.0f)};
    sendWith(W::ID_IMPORT_PSF, dir / "dance.psf");
    ASSERT_EQ(keys(), (Times{0, 5, 14}));
    EXPECT_NEAR(table.getJointAngleAt(robot()->findNode("RThigh"), 5.0f), 30.0f, 1e-3);
    EXPECT_NEAR(table.getJointAngleAt(robot()->findNode("RThigh"), 14.0f), 30.0f, 1e-3);
    showTimeline("robot_files_imported_script");

    // Keys > Undo twice: the script's keys go, then the old ones come back.
    send(W::ID_KEYS_UNDO);
    EXPECT_TRUE(keys().empty());
    send(W::ID_KEYS_UNDO);
    ASSERT_EQ(keys(), (Times{0, 20, 40}));
    for (int i = 0; i < 3; ++i)
        expectSame(beforeImport[i], valuesAt(float(frames[i])), "after undo F" + std::to_string(frames[i]));
    EXPECT_TRUE(services->boxes.empty());
}

namespace {

// 4 KB of bytes that no reader takes for text, the same on every run.
std::string binaryBytes()
{
    std::string out(4096, '\0');
    unsigned state = 12345;
    for (char& ch : out) {
        state = state * 1103515245u + 12345u;
        ch = static_cast<char>(state >> 16);
    }
    return out;
}

// The text with its line `number` (from 1) replaced.
std::string withLine(const std::string& text, int number, const std::string& line)
{
    std::size_t from = 0;
    for (int n = 1; n < number; ++n)
        from = text.find('\n', from) + 1;
    return text.substr(0, from) + line + text.substr(text.find('\n', from));
}

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

// Each robot-file command on each kind of file, from the same start: the
// user's unsaved keys at 0 and 7 (the one at 7 and a pose edit in the
// histories). A file of which no line reads gets an "Error" box naming it
// and changes nothing: keys, pose, the character (Open Motion ran no New)
// and both histories stay. A file with lines that do not read loads the
// others and then says how many were skipped and where the first is.
TEST_F(RobotFilesWindow, EachFileCommandRefusesAnUnreadableFileAndCountsSkippedLines)
{
    // The good files, written by the program: a motion of keys at 0, 20
    // and 40 and a pose, and a script of three steps.
    for (int f : {0, 20, 40}) {
        world->setCurrentTime(float(f));
        turn("RKnee", 10.0f + f);
        ASSERT_TRUE(robot()->addKey(f));
    }
    sendWith(W::ID_SAVE_MDM_AS, dir / "walk");
    turn("Head", -10.0f);
    turn("RKnee", 25.0f);
    const Values filePose = valuesNow();
    sendWith(W::ID_POSE_SAVE, dir / "stand");
    const std::string motion = readAll(dir / "walk.mdm");
    const std::string pose = readAll(dir / "stand.mdp");
    ASSERT_EQ(std::count(motion.begin(), motion.end(), '\n'), 3);
    std::string moveStill = "MOVE G24,";
    std::string moveThigh = "MOVE G24,";
    for (int s = 0; s < kgiRobotSession::SERVOS; ++s) {
        const int v = kgiRobotSession::DEFAULT_POSE[s];
        moveStill += std::to_string(v) + ",";
        moveThigh += std::to_string(s == 0 ? v + 30 : v) + ",";
    }
    const std::string header(55, '#');
    const std::string script = header + "SPEED 10\r\n" + moveStill + "\r\n" + moveThigh + "\r\nDELAY 300\r\n";
    // The pose file's line of the head, somewhere in its middle.
    int headLine = 1;
    for (std::size_t at = 0; pose.compare(at, 7, "Head = ") != 0; at = pose.find('\n', at) + 1)
        ++headLine;
    ASSERT_GT(headLine, 2);

    const std::string cutMotion = motion.substr(0, motion.size() - 40);
    const std::string badMotion = withLine(motion, 2, "F20 this is not a motion line;");
    const int poseLines = int(std::count(pose.begin(), pose.end(), '\n'));

    struct File {
        const char* kind;
        std::string content;
        int firstSkipped; // 0: none skipped; -1: refused
        Times keys;       // after the command, when it was not refused
    };
    struct Row {
        int command;
        const char* ext;
        std::vector<File> files;
    };
    const Times user{0, 7};
    const std::vector<Row> rows = {
        {W::ID_LOAD_MDM, "mdm",
         {{"empty", "", -1, {}},
          {"binary", binaryBytes(), -1, {}},
          {"of another format", pose, -1, {}},
          {"truncated", cutMotion, 3, {0, 20}},
          {"with a bad middle line", badMotion, 2, {0, 40}},
          {"good", motion, 0, {0, 20, 40}}}},
        // Appended from the frame after the last key.
        {W::ID_ADD_MDM, "mdm",
         {{"empty", "", -1, {}},
          {"binary", binaryBytes(), -1, {}},
          {"of another format", script, -1, {}},
          {"truncated", cutMotion, 3, {0, 7, 8, 28}},
          {"with a bad middle line", badMotion, 2, {0, 7, 8, 48}},
          {"good", motion, 0, {0, 7, 8, 28, 48}}}},
        {W::ID_IMPORT_PSF, "psf",
         {{"empty", "", -1, {}},
          {"binary", binaryBytes(), -1, {}},
          {"of another format", motion, -1, {}},
          {"shorter than its header", header.substr(0, 30) + "\rMOVE G24,130,\r", -1, {}},
          {"truncated", script.substr(0, script.size() - 25), 3, {0}},
          {"with a bad middle line",
           header + "SPEED 10\r\n" + moveStill + "\r\nMOVE G24,abc,\r\n" + moveThigh + "\r\nDELAY 300\r\n", 3,
           {0, 5, 14}},
          {"good", script, 0, {0, 5, 14}}}},
        {W::ID_POSE_LOAD, "mdp",
         {{"empty", "", -1, {}},
          {"binary", binaryBytes(), -1, {}},
          {"of another format", motion, -1, {}},
          {"truncated", pose.substr(0, pose.size() - 30), poseLines, user},
          {"with a bad middle line", withLine(pose, headLine, "Head is not a number"), headLine, user},
          {"good", pose, 0, user}}},
    };
    for (const Row& row : rows) {
        for (const File& file : row.files) {
            const std::string what = std::string(row.ext) + " " + file.kind;
            const fs::path path = dir / (std::string("case.") + row.ext);
            std::ofstream(path, std::ios::binary | std::ios::trunc) << file.content;

            // The user's unsaved work.
            send(W::ID_NEW);
            world->setCurrentTime(0.0f);
            turn("RKnee", 33.0f);
            ASSERT_TRUE(robot()->addKey(0));
            kgiAddKeyUndo* entry = new kgiAddKeyUndo(robot(), 7.0f);
            turn("RKnee", 44.0f);
            ASSERT_TRUE(robot()->addKey(7));
            robot()->addKeyUndo(entry);
            robot()->addPoseUndo();
            turn("Head", 12.0f);
            kgiCharacter* const before = robot();
            const Times keysBefore = keys();
            const Values atSeven = valuesAt(7.0f);
            const Values poseBefore = valuesNow();
            const kutUndoEntry* keyLast = before->getKeyUndo().getLast();
            const kutUndoEntry* poseLast = before->getPoseUndo().getLast();
            services->boxes.clear();

            sendWith(row.command, path);

            if (file.firstSkipped < 0) {
                ASSERT_EQ(services->boxes.size(), 1u) << what;
                EXPECT_EQ(services->boxes[0].rfind("Error|", 0), 0u) << what << ": " << services->boxes[0];
                EXPECT_NE(services->boxes[0].find(path.string()), std::string::npos) << what;
                ASSERT_EQ(robot(), before) << what << ": New ran";
                EXPECT_EQ(keys(), keysBefore) << what;
                expectSame(atSeven, valuesAt(7.0f), what + " keys");
                expectSame(poseBefore, valuesNow(), what + " pose");
                EXPECT_EQ(before->getKeyUndo().getLast(), keyLast) << what;
                EXPECT_EQ(before->getPoseUndo().getLast(), poseLast) << what;
                continue;
            }
            if (file.firstSkipped == 0) {
                EXPECT_TRUE(services->boxes.empty()) << what << ": " << services->boxes.front();
            } else {
                ASSERT_EQ(services->boxes.size(), 1u) << what;
                const std::string& box = services->boxes[0];
                EXPECT_EQ(box.rfind("Warning - 170|", 0), 0u) << what << ": " << box;
                EXPECT_NE(box.find("skipped: 1, the first of them line " + std::to_string(file.firstSkipped) + "."),
                          std::string::npos)
                    << what << ": " << box;
                EXPECT_NE(box.find(path.string()), std::string::npos) << what;
            }
            EXPECT_EQ(keys(), file.keys) << what;
            if (row.command != W::ID_POSE_LOAD)
                continue;
            // Pose > Load: the file's joints are set (but a joint whose
            // line did not read), and one pose undo step takes the load
            // back.
            Values expected = filePose;
            if (file.firstSkipped == headLine)
                expected["Head"] = poseBefore.at("Head");
            expectSame(expected, valuesNow(), what);
            EXPECT_NE(before->getPoseUndo().getLast(), poseLast) << what;
            send(W::ID_POSE_UNDO);
            expectSame(poseBefore, valuesNow(), what + " undone");
            send(W::ID_POSE_REDO);
            expectSame(expected, valuesNow(), what + " redone");
        }
    }
}
