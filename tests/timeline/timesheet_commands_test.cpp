// The main window's file, project, media and window commands, sent to the
// real window with the factory robot loaded (main_window_fixture.h).
#include "main_window_fixture.h"

#include "kgiLangKeys.h"
#include "kgiSettings.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using W = kgiTimesheetWindow;

using namespace kgiMainWindowTesting;

namespace {

class TimesheetCommands : public kgiMainWindowTest {};

TEST_F(TimesheetCommands, SavesWithoutKeysWarnAndWriteNothing) {
    ASSERT_TRUE(keys().empty());
    for (int command : {W::ID_SAVE_TIMESHEET, W::ID_SAVE_TIMESHEET_AS, W::ID_SAVE_MDM, W::ID_SAVE_MDM_AS}) {
        services->boxes.clear();
        EXPECT_EQ(send(command), 1) << command;
        EXPECT_EQ(services->boxes, std::vector<std::string>{"Warning - 150|" + text(kgiLangKey::Wr_No_Data)}) << command;
    }
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(joints.record.calls.empty());
    EXPECT_TRUE(lesson().calls.empty());
}

TEST_F(TimesheetCommands, WithCommunicationOnTheProjectCommandsAreRefused) {
    keyAt({0, 24});
    media.tracks = 2;
    app->setRobotCommunication(true);
    ASSERT_TRUE(app->isRobotCom());
    const std::string clip = makeClip({0, 10});
    for (int command : {W::ID_NEW, W::ID_IMPORT_PSF, W::ID_LOAD_MDM, W::ID_ADD_MDM, W::ID_LOAD_TIMESHEET}) {
        services->boxes.clear();
        dialogs.answers = {command == W::ID_LOAD_TIMESHEET ? clip : (dir / "x").string()};
        EXPECT_EQ(send(command), 1) << command;
        EXPECT_EQ(services->boxes, std::vector<std::string>{"Warning - 141|" + text(kgiLangKey::ROBOT_COM_No_OFF)})
            << command;
        // The load timesheet command asks for its file first, then is refused
        // at its new-project step and imports nothing.
        EXPECT_EQ(world->getCurrentCharacter(), robot) << command;
        EXPECT_EQ(keys(), (Times{0, 24})) << command;
    }
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(joints.record.calls.empty());
    EXPECT_TRUE(media.record.calls.empty());
    EXPECT_EQ(media.tracks, 2);
}

TEST_F(TimesheetCommands, RefreshSetsTheRangeFromTheKeysWhicheverWayItMoves) {
    struct Case {
        Times startRange;
        Times keys;
        Times expected;
    } cases[] = {
        {{0, 20}, {30, 45, 60}, {30, 60}},  // both ends beyond the old end
        {{10, 20}, {2, 5}, {2, 5}},         // both below the old start
        {{3, 8}, {}, {0, 0}},
    };
    for (const Case& c : cases) {
        kgiCharacter* robotNow = world->getCurrentCharacter();
        robotNow->deleteKeys(0, 1000);
        if (!c.keys.empty()) keyAt(c.keys);
        world->setFrameRange(c.startRange[0], c.startRange[1]);
        app->updateTimeline(false);
        EXPECT_EQ(range(), c.expected) << c.keys.size();
    }
    EXPECT_TRUE(lesson().calls.empty()) << "no lesson check asked";

    // With the check: reported when allowed; locked, only the not-good sound.
    keyAt({4, 9});
    world->setFrameRange(0, 20);
    window->refreshTimeline(true);
    EXPECT_EQ(range(), (Times{4, 9}));
    EXPECT_EQ(lesson().count("nextStep"), 1);
    kgiMainCommandLocks locks;
    window->unlockAllCommands(locks);
    locks[53] = 0;
    window->updateCommandStates(locks);
    world->setFrameRange(0, 20);
    fakes().sound.played.clear();
    window->refreshTimeline(true);
    EXPECT_EQ(range(), (Times{0, 20}));
    EXPECT_EQ(lesson().count("nextStep"), 1);
    EXPECT_EQ(fakes().sound.played, (std::vector<std::pair<int, bool>>{{kgiApp::NOT_GOOD_SOUND, false}}));

    // Without a current character nothing changes.
    world->setCurrentCharacter(-1);
    window->refreshTimeline(false);
    EXPECT_EQ(range(), (Times{0, 20}));
}

TEST_F(TimesheetCommands, AddRobotMotionAppendsAfterTheLastKeyAndKeepsTheBasePart) {
    keyAt({0, 24});
    joints.onImport = [this](int start) { keyAt({static_cast<float>(start), static_cast<float>(start + 12)}); };
    const std::string file = (dir / "motion" / "wave.mdm").string();
    dialogs.answers = {file};
    EXPECT_EQ(send(W::ID_ADD_MDM), 1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Add Zodarovu motion...");
    EXPECT_EQ(dialogs.shown[0].filter, "Zodarovu Motion (*.mdm)");
    EXPECT_EQ(joints.record.calls, (std::vector<std::string>{"importMotionMdm(" + file + ",25)", "alignBasePart(Body,1)"}));
    EXPECT_EQ(range(), (Times{25, 37}));
    EXPECT_EQ(app->getCurrentFile(), file);
    EXPECT_EQ(app->getMotionDir(), (dir / "motion").string());

    // A base part the settings name that the model lacks: no re-placing.
    const std::string kept = app->getSettings().addBasePart;
    app->getSettings().addBasePart = "NoSuchPart";
    joints.record.clear();
    dialogs.answers = {file};
    send(W::ID_ADD_MDM);
    app->getSettings().addBasePart = kept;
    EXPECT_EQ(joints.record.calls, std::vector<std::string>{"importMotionMdm(" + file + ",38)"});
    EXPECT_EQ(range(), (Times{38, 50}));

    // A failed import keeps the file and folder, and the range.
    joints.fileResult = false;
    dialogs.answers = {(dir / "other" / "bad.mdm").string()};
    send(W::ID_ADD_MDM);
    EXPECT_EQ(app->getCurrentFile(), file);
    EXPECT_EQ(app->getMotionDir(), (dir / "motion").string());
    EXPECT_EQ(range(), (Times{38, 50}));
}

TEST_F(TimesheetCommands, LoadRobotMotionStartsANewProjectEvenWhenTheImportFails) {
    keyAt({0, 24});
    media.tracks = 2;
    joints.fileResult = false;
    dialogs.answers = {(dir / "bad.mdm").string()};
    EXPECT_EQ(send(W::ID_LOAD_MDM), 1);
    EXPECT_EQ(dialogs.shown.at(0).folder, app->getMotionDir());
    EXPECT_EQ(joints.record.count("loadModelIni(DORUZAVO_1.ts)"), 1) << "the project was replaced";
    EXPECT_TRUE(keys().empty());
    EXPECT_EQ(media.tracks, 0);
    EXPECT_EQ(media.record.calls.front(), "removeAllTracks");
    EXPECT_EQ(app->getCurrentFile(), "");

    joints.fileResult = true;
    joints.onImport = [this](int start) { keyAt({static_cast<float>(start), 16}); };
    const std::string file = (dir / "walk.mdm").string();
    dialogs.answers = {file};
    send(W::ID_LOAD_MDM);
    EXPECT_EQ(joints.record.count("importMotionMdm(" + file + ",0)"), 1);
    EXPECT_EQ(range(), (Times{0, 16}));
    EXPECT_EQ(app->getCurrentFile(), file);
    EXPECT_EQ(app->getMotionDir(), dir.string());
}

TEST_F(TimesheetCommands, NewProjectReloadsTheFactoryRobot) {
    keyAt({0, 24});
    world->setFrameRange(0, 24);
    world->setCurrentTime(12);
    app->setCurrentFile("/somewhere/walk.mdm");
    app->showOptionsDialog(true);
    ASSERT_NE(app->getOptionsDialog(), nullptr);
    EXPECT_EQ(send(W::ID_NEW), 1);
    kgiCharacter* fresh = world->getCurrentCharacter();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(kgiCharacterTable::instance()->size(), 1);
    EXPECT_TRUE(keys().empty());
    EXPECT_EQ(range(), (Times{0, 10}));
    EXPECT_EQ(world->getCurrentTime(), 0.0f);
    EXPECT_EQ(app->getCurrentFile(), "");
    EXPECT_EQ(app->getOptionsDialog(), nullptr);
    EXPECT_EQ(media.record.calls, std::vector<std::string>{"removeAllTracks"});
    EXPECT_EQ(joints.record.calls, (std::vector<std::string>{"loadModelIni(DORUZAVO_1.ts)",
                                                             "setupJointLimits(" + fresh->getRoot()->getName() + ")",
                                                             "applyInitialPose"}));
}

TEST_F(TimesheetCommands, LoadTimesheetImportsItsKeysIntoANewProject) {
    const std::string clip = makeClip({0, 10, 30});
    keyAt({0, 5, 40});
    world->setCurrentTime(7);
    dialogs.answers = {clip};
    EXPECT_EQ(send(W::ID_LOAD_TIMESHEET), 1);
    EXPECT_EQ(dialogs.shown.at(0).title, "Load timesheet");
    EXPECT_EQ(keys(), (Times{0, 10, 30})) << "the old project's key at 40 went with it";
    EXPECT_EQ(range(), (Times{0, 30}));
    EXPECT_EQ(world->getCurrentTime(), 0.0f);
    EXPECT_EQ(folder(window->getLastTimesheetFolder()), (dir / "clips").string());
    EXPECT_EQ(media.record.calls, (std::vector<std::string>{"removeAllTracks", "loadMediaList(" + clip + ",0)"}));

    // A cancelled dialog changes nothing; a file that does not load keeps
    // the folder.
    kgiCharacter* loaded = world->getCurrentCharacter();
    send(W::ID_LOAD_TIMESHEET);
    EXPECT_EQ(world->getCurrentCharacter(), loaded);
    dialogs.answers = {(dir / "elsewhere" / "none.ts").string()};
    send(W::ID_LOAD_TIMESHEET);
    EXPECT_EQ(folder(window->getLastTimesheetFolder()), (dir / "clips").string());
}

TEST_F(TimesheetCommands, AddTimesheetAddsACharacterAndKeepsTheCurrentOneOnFailure) {
    const std::string clip = makeClip({0, 10});
    dialogs.answers = {(dir / "missing.ts").string()};
    EXPECT_EQ(send(W::ID_ADD_TIMESHEET), 1);
    EXPECT_EQ(world->getCurrentCharacter(), robot) << "kept on failure";
    EXPECT_NE(folder(window->getLastTimesheetFolder()), dir.string());

    // A project that loads ends the robot session.
    app->setRobotCommunication(true);
    ASSERT_NE(app->getRobotSession(), nullptr);
    dialogs.answers = {clip};
    send(W::ID_ADD_TIMESHEET);
    EXPECT_FALSE(app->isRobotCom());
    EXPECT_EQ(app->getRobotSession(), nullptr);
    EXPECT_EQ(keys(), (Times{0, 10}));
    EXPECT_EQ(kgiCharacterTable::instance()->size(), 2);
    EXPECT_EQ(folder(window->getLastTimesheetFolder()), (dir / "clips").string());
    EXPECT_EQ(joints.record.count("applyInitialPose"), 0) << "a character with keys keeps its pose";
}

TEST_F(TimesheetCommands, AddMotionAppendsAfterTheLastKeyAndReplacesTheRoot) {
    const std::string clip = makeClip({0, 10, 20});
    keyAt({0, 24});
    dialogs.answers = {clip};
    EXPECT_EQ(send(W::ID_ADD_MOTION), 1);
    EXPECT_EQ(dialogs.shown.at(0).title, "Add motion...");
    EXPECT_EQ(keys(), (Times{0, 24, 25, 35, 45}));
    EXPECT_EQ(range(), (Times{25, 45}));
    EXPECT_EQ(world->getCurrentTime(), 25.0f);
    EXPECT_EQ(joints.record.calls, std::vector<std::string>{"alignBasePart(" + robot->getRoot()->getName() + ",1)"});
    EXPECT_EQ(folder(window->getLastTimesheetFolder()), (dir / "clips").string());

    send(W::ID_UNLOAD);
    EXPECT_EQ(world->getCurrentCharacter(), nullptr);
    EXPECT_EQ(kgiCharacterTable::instance()->size(), 0);
    EXPECT_EQ(send(W::ID_ADD_MOTION), 0) << "no current character";
}

TEST_F(TimesheetCommands, SaveAsWritesIntoTheChosenFolderAndSaveThenStaysThere) {
    const fs::path factoryTs = fs::path(kgiTestBaseDir()) / "DORUZAVO_1base" / "DORUZAVO_1.ts";
    const auto stamp = fs::last_write_time(factoryTs);
    keyAt({0, 12});
    media.tracks = 1;
    fs::create_directories(dir / "new");
    dialogs.answers = {(dir / "new" / "walk").string()};
    EXPECT_EQ(send(W::ID_SAVE_TIMESHEET_AS), 1);
    EXPECT_EQ(dialogs.shown.at(0).title, "Save timesheet as...");
    const fs::path project = dir / "new" / "walk.prj";
    EXPECT_TRUE(fs::exists(project / "walk.ts"));
    EXPECT_TRUE(fs::exists(project / "motion" / "walk.kmm"));
    EXPECT_EQ(media.record.calls, std::vector<std::string>{"saveMediaList(" + (project / "walk.ts").string() + ")"});
    EXPECT_EQ(folder(window->getLastTimesheetFolder()), (dir / "new").string());
    EXPECT_EQ(lesson().calls, std::vector<std::string>{"nextStep"});
    EXPECT_EQ(fs::last_write_time(factoryTs), stamp) << "the old project is left as it was";

    // Save asks, then writes the project where it now lives.
    keyAt({20});
    services->answers = {true};
    services->boxes.clear();
    send(W::ID_SAVE_TIMESHEET);
    EXPECT_EQ(services->boxes, std::vector<std::string>{text(kgiLangKey::Me_File_SaveCheckT) + "|" +
                                                        text(kgiLangKey::Me_File_SaveCheck)});
    kgiCharacter reread;
    ASSERT_TRUE(reread.load((project / "walk.ts").string()));
    EXPECT_EQ(reread.getKeyTimes(), (Times{0, 12, 20}));

    // Cancelled: the lesson steps back, nothing is written.
    fakes().lesson.record.clear();
    send(W::ID_SAVE_TIMESHEET_AS);
    EXPECT_EQ(lesson().calls, std::vector<std::string>{"stepBack"});
    EXPECT_EQ(media.record.calls.size(), 1u);
}

TEST_F(TimesheetCommands, SaveRobotMotionAsNamesTheFileAndAsksBeforeReplacing) {
    keyAt({0, 12});
    fs::create_directories(dir / "motion");
    const std::string motionDir = app->getMotionDir();
    // Save without a current motion file runs save as.
    dialogs.answers = {(dir / "motion" / "walk").string()};
    EXPECT_EQ(send(W::ID_SAVE_MDM), 1);
    EXPECT_EQ(dialogs.shown.at(0).title, "Save Zodarovu motion...");
    EXPECT_EQ(dialogs.shown.at(0).folder, motionDir);
    const std::string walk = (dir / "motion" / "walk.mdm").string();
    EXPECT_EQ(joints.record.calls, std::vector<std::string>{"exportMotionMdm(" + walk + ")"});
    EXPECT_EQ(app->getCurrentFile(), walk);
    EXPECT_EQ(app->getMotionDir(), (dir / "motion").string());
    EXPECT_EQ(lesson().calls, (std::vector<std::string>{"nextStep", "nextStep"}));

    // The file is there now: replacing it is asked; no shows the dialog
    // again (cancelled here) and writes nothing.
    std::ofstream(walk) << "motion\n";
    joints.record.clear();
    fakes().lesson.record.clear();
    services->boxes.clear();
    dialogs.answers = {(dir / "motion" / "walk").string()};
    services->answers = {false};
    send(W::ID_SAVE_MDM_AS);
    ASSERT_EQ(services->boxes.size(), 1u);
    EXPECT_NE(services->boxes[0].find("walk.mdm already exists."), std::string::npos);
    EXPECT_TRUE(joints.record.calls.empty());
    EXPECT_EQ(lesson().calls, (std::vector<std::string>{"nextStep", "stepBack"}));

    // A file that cannot be written keeps the current file and steps the
    // lesson back as a cancel does: the step after the opening waits for a
    // write that never came.
    fakes().lesson.record.clear();
    joints.fileResult = false;
    dialogs.answers = {(dir / "motion" / "run").string()};
    send(W::ID_SAVE_MDM_AS);
    EXPECT_EQ(joints.record.calls,
              std::vector<std::string>{"exportMotionMdm(" + (dir / "motion" / "run.mdm").string() + ")"});
    EXPECT_EQ(app->getCurrentFile(), walk);
    EXPECT_EQ(lesson().calls, (std::vector<std::string>{"nextStep", "stepBack"}));
    joints.fileResult = true;
    joints.record.clear();

    // Save with a current file asks (the same text as title) and writes it.
    services->boxes.clear();
    services->answers = {true};
    send(W::ID_SAVE_MDM);
    EXPECT_EQ(services->boxes, std::vector<std::string>{text(kgiLangKey::Me_File_SaveCheck) + "|" +
                                                        text(kgiLangKey::Me_File_SaveCheck)});
    EXPECT_EQ(joints.record.calls, std::vector<std::string>{"exportMotionMdm(" + walk + ")"});
}

TEST_F(TimesheetCommands, PoseFilesAndScriptsGoThroughTheJointTable) {
    struct Case {
        int command;
        const char* title;
        std::string chosen;
        std::string call;
    } cases[] = {
        {W::ID_POSE_SAVE, "Save Zodarovu pose...", (dir / "poses" / "sit").string(),
         "exportPoseMdp(" + (dir / "poses" / "sit.mdp").string() + ")"},
        {W::ID_POSE_LOAD, "Load Zodarovu pose...", (dir / "stand" / "up.mdp").string(),
         "importPoseMdp(" + (dir / "stand" / "up.mdp").string() + ",0)"},
        {W::ID_IMPORT_PSF, "Import Vude script file...", (dir / "dance.psf").string(),
         "importPellScript(" + (dir / "dance.psf").string() + ")"},
    };
    for (const Case& c : cases) {
        joints.record.clear();
        dialogs.shown.clear();
        dialogs.answers = {c.chosen};
        EXPECT_EQ(send(c.command), 1) << c.title;
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.title;
        EXPECT_EQ(dialogs.shown[0].title, c.title);
        EXPECT_EQ(joints.record.calls, std::vector<std::string>{c.call}) << c.title;
    }
    EXPECT_EQ(folder(window->getLastPoseFolder()), (dir / "stand").string());
    EXPECT_EQ(dialogs.shown[0].folder, app->getBaseDir()) << "scripts start in the base directory";

    // A failed pose load keeps the folder.
    joints.fileResult = false;
    dialogs.answers = {(dir / "bad" / "x.mdp").string()};
    send(W::ID_POSE_LOAD);
    EXPECT_EQ(folder(window->getLastPoseFolder()), (dir / "stand").string());
}

TEST_F(TimesheetCommands, MediaAndWindowCommands) {
    struct Case {
        int command;
        int importResult;
        bool mediaCheck;
        std::vector<std::string> lessonCalls;
        std::vector<std::string> mediaCalls;
    } cases[] = {
        // The import answers the track count: only a count above 0 added one.
        {W::ID_MEDIA_ADD, 1, false, {"nextStep", "nextStep"}, {"importMediaFile"}},
        {W::ID_MEDIA_ADD, 0, false, {"nextStep", "stepBack"}, {"importMediaFile"}},
        {W::ID_MEDIA_ADD, -1, false, {"nextStep", "stepBack"}, {"importMediaFile"}},
        {W::ID_MEDIA_REMOVE, 0, false, {}, {"removeAllTracks"}},
        {W::ID_MEDIA_WINDOW, 0, true, {"nextStep"}, {"showMediaWindow"}},
        {W::ID_MEDIA_WINDOW, 0, false, {}, {"hideMediaWindow"}},
        {W::ID_AUX_WINDOW, 0, false, {}, {}},
        {W::ID_ABOUT, 0, false, {}, {}},
        {W::ID_OPTIONS, 0, false, {"nextStep"}, {}},
    };
    for (const Case& c : cases) {
        fakes().lesson.record.clear();
        media.record.clear();
        media.importResult = c.importResult;
        window->findMenuCheck(W::ID_MEDIA_WINDOW)->setCheck(c.mediaCheck);
        EXPECT_EQ(send(c.command), 1) << c.command;
        EXPECT_EQ(lesson().calls, c.lessonCalls) << c.command;
        EXPECT_EQ(media.record.calls, c.mediaCalls) << c.command;
    }
    ASSERT_NE(app->getOptionsDialog(), nullptr) << "the options dialog was made and shown";
    EXPECT_TRUE(fakes().options.record.has("refreshAll"));
}

TEST_F(TimesheetCommands, HelpStartsTheViewerWithTheJoinedPathAndAnArgumentArray) {
    // The path is joined as it stands, blanks and ';' included, with its
    // leading white space gone.
    EXPECT_EQ(W::helpCommand("/base dir", " \thelp/my page;x.html"),
              (std::vector<std::string>{"xdg-open", "/base dir/help/my page;x.html"}));

    // The viewer a user's desktop would start, as a stand-in that writes
    // its arguments.
    fs::create_directories(dir / "bin");
    fs::copy_file(KGI_ARGV_PROBE, dir / "bin" / "xdg-open");
    const fs::path out = dir / "viewer.txt";
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", ((dir / "bin").string() + ":" + oldPath).c_str(), 1);
    ::setenv("KGI_PROBE_OUT", out.c_str(), 1);
    EXPECT_EQ(send(W::ID_HELP), 1);
    ::setenv("PATH", oldPath.c_str(), 1);
    for (int waited = 0; !fs::exists(out) && waited < 5000; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::unsetenv("KGI_PROBE_OUT");
    std::ifstream in(out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const std::string page = app->languageText(kgiLangKey::HelpFileName).text();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "xdg-open");
    EXPECT_EQ(lines[2], app->getBaseDir() + "/" + page);
}

TEST_F(TimesheetCommands, CompanionThatCannotStartLeavesTheEditorRunningAndSaysWhy) {
    const fs::path settings = kgiSettingsFile::pathIn(app->getBaseDir());
    fs::remove(settings);
    ASSERT_FALSE(fs::exists(fs::path(W::companionPath(app->getBaseDir()))));
    const fs::path before = fs::current_path();
    keyAt({0, 5});
    testing::internal::CaptureStderr();
    EXPECT_EQ(send(W::ID_AGENT), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string message = W::companionFailure(ENOENT);
    EXPECT_EQ(message, "Vevur could not be started: No such file or directory");
    EXPECT_EQ(services->boxes, std::vector<std::string>{"Error|" + message});
    EXPECT_NE(err.find(message + "\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(settings)) << "the settings were saved first";
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_EQ(keys(), (Times{0, 5})) << "nothing of the editor's state is lost";
}

} // namespace
