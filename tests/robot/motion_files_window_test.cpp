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
#include "kgiRobotJointTable.h"
#include "kgiRobotSession.h"
#include "kgiWorld.h"

#include "support/app/kgiAppStandIns.h"
#include "support/app/kgiScriptedDialogs.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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
