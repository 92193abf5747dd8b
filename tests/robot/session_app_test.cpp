// The robot session inside the application, against the simulated board on
// COM1 (named in the base directory's comports.txt): switching
// communication on and off, a failed open, playback, a board that falls
// silent, and the whole path from start-up on the factory robot to a joint
// that reaches the board. Each test runs its kgiApp in a child process.
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotLink.h"
#include "kgiRobotSession.h"
#include "kgiSimBoard.h"
#include "kgiWorld.h"

#include "core/child_process_test.h"
#include "robot/session_support_test.h"
#include "support/app/kgiAppRig.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using kgiTestSession::deviceOpen;
using kgiTestSession::steppingClock;

// Keeps the boxes; with idle set, runs an idle pass while a box is "open",
// as the toolkit does inside a modal box.
struct Boxes : kgiCharacterServices {
    std::vector<std::string> shown;
    kgiApp* idle = nullptr;
    void showMessage(const std::string& caption, const std::string& text) override
    {
        shown.push_back(caption + ": " + text);
        if (idle) idle->idleTick();
    }
};

void pointCom1At(const fs::path& base, const std::string& device)
{
    std::ofstream(base / "comports.txt") << "COM1=" << device << "\n";
}

kgiAppMakers sessionMaker(bool realClock)
{
    kgiAppMakers makers;
    makers.robotSession = [realClock]() -> kgiRobotConnection* {
        auto* s = new kgiRobotSession;
        if (!realClock) s->setTimeSource(steppingClock);
        return s;
    };
    return makers;
}

// Idle passes until done() holds, at most max.
bool passUntil(kgiApp& app, const std::function<bool()>& done, int max = 5000)
{
    for (int i = 0; i < max && !done(); ++i) app.idleTick();
    return done();
}

kgiRobotSession* sessionOf(kgiApp& app)
{
    return dynamic_cast<kgiRobotSession*>(app.getRobotSession());
}

// Idle passes until the information read that opening the link starts has
// ended.
bool passUntilInfoRead(kgiApp& app, kgiRobotSession* session)
{
    return passUntil(app, [&] { return session->getLink().infoRead[1] == 0 && !session->isInfoReading(); });
}

// An application whose sessions talk to the simulated board on COM1 (with
// the stepping clock), and the boxes kept; the services and the board go
// with it.
struct BoardRig {
    kgiAppRig rig{false};
    kgiApp& app = *rig.app;
    kgiSimBoard board;
    Boxes boxes;

    BoardRig()
    {
        app.setMakers(sessionMaker(false));
        CHILD_CHECK(board.ok());
        board.start();
        pointCom1At(rig.base, board.devicePath());
        kgiCharacterServices::install(&boxes);
    }
    ~BoardRig()
    {
        kgiCharacterServices::install(nullptr);
        board.stop();
    }
    BoardRig(const BoardRig&) = delete;
    BoardRig& operator=(const BoardRig&) = delete;
};

// What the session told the lesson, the step engine's passes left out.
std::vector<std::string> lessonReports(const kgiStandInLesson& lesson)
{
    std::vector<std::string> reports;
    for (const std::string& c : lesson.record.calls)
        if (c != "runStep") reports.push_back(c);
    return reports;
}

int infoReadsSeen(kgiSimBoard& board)
{
    int n = 0;
    for (const kgiSimBoard::Received& r : board.received()) n += r.byte == 0xF0;
    return n;
}

void switchingOnAndOff()
{
    BoardRig r;
    kgiApp& app = r.app;
    kgiSimBoard& board = r.board;

    // On twice opens the port once; the idle passes run the information read.
    app.setRobotCommunication(true);
    kgiRobotSession* session = sessionOf(app);
    app.setRobotCommunication(true);
    CHILD_CHECK(session && sessionOf(app) == session && app.isRobotCom());
    CHILD_CHECK(deviceOpen(board.devicePath()));
    CHILD_CHECK(passUntilInfoRead(app, session));
    CHILD_CHECK(infoReadsSeen(board) == 1);
    CHILD_CHECK(session->getStatusDetail() == "ROBO Info Read Complete !");

    // Off during playback: the session stays until playback stops.
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(100000.0f);
    world->setPlaying(true);
    app.setRobotCommunication(false);
    app.idleTick();
    app.idleTick();
    CHILD_CHECK(app.getRobotSession() == session && deviceOpen(board.devicePath()));
    world->setPlaying(false);
    app.idleTick();
    CHILD_CHECK(app.getRobotSession() == nullptr && !deviceOpen(board.devicePath()));
    CHILD_CHECK(r.boxes.shown.empty());
}

TEST(RobotSessionInApp, SwitchingOnTwiceOpensOnceAndOffClosesAfterPlayback)
{
    EXPECT_IN_CHILD(switchingOnAndOff);
}

void failedOpen()
{
    kgiAppRig rig(false);
    kgiApp& app = *rig.app;
    app.setMakers(sessionMaker(false));
    pointCom1At(rig.base, (rig.base / "no_such_device").string());
    Boxes boxes;
    kgiCharacterServices::install(&boxes);
    app.setRobotCommunication(true);
    CHILD_CHECK(!app.isRobotCom() && app.getRobotSession() == nullptr);
    CHILD_CHECK(boxes.shown == std::vector<std::string>{"Warning - 101: ROBOT_COM_No_Open[COM No = 1]"});

    // In a lesson the failed open shows the notice of step 19 and asks the
    // lesson to start over; the open is not the step's action.
    kgiStandInLesson& lesson = rig.fakes.lesson;
    lesson.mode = 3;
    lesson.waitingForAction = true;
    app.setLessonManager(&lesson);
    app.setRobotCommunication(true);
    CHILD_CHECK(!app.isRobotCom());
    CHILD_CHECK(lessonReports(lesson) == (std::vector<std::string>{"showStep(19)", "restartProgram"}));
    app.setLessonManager(nullptr);
    kgiCharacterServices::install(nullptr);
}

TEST(RobotSessionInApp, AFailedOpenWarnsOnceAndLeavesCommunicationOff)
{
    EXPECT_IN_CHILD(failedOpen);
}

// The options window's status line after communication goes off, with the
// recording stand-in as the window.
void statusAfterClosing()
{
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    kgiAppMakers makers = rig.fakes.makers();
    makers.robotSession = sessionMaker(false).robotSession;
    app.setMakers(makers);
    app.createOptionsDialog();
    Boxes boxes;
    kgiCharacterServices::install(&boxes);
    const std::vector<std::string>& status = rig.fakes.options.statusTexts;
    const std::string closed = "[Close] :    ";

    // A failed open: closed at once, and still after the next pass.
    pointCom1At(rig.base, (rig.base / "no_such_device").string());
    app.setRobotCommunication(true);
    CHILD_CHECK(!app.isRobotCom() && !status.empty() && status.back() == closed);
    app.idleTick();
    CHILD_CHECK(status.back() == closed);

    // Off after a working link: closing, then closed once the port is.
    kgiSimBoard board;
    CHILD_CHECK(board.ok());
    board.start();
    pointCom1At(rig.base, board.devicePath());
    app.setRobotCommunication(true);
    kgiRobotSession* session = sessionOf(app);
    CHILD_CHECK(session && passUntilInfoRead(app, session));
    app.setRobotCommunication(false);
    CHILD_CHECK(status.back() == "[Busy ]:Closing Communication...");
    app.idleTick();
    CHILD_CHECK(app.getRobotSession() == nullptr && !deviceOpen(board.devicePath()));
    CHILD_CHECK(status.back() == closed);
    for (int i = 0; i < 5; ++i) app.idleTick();
    CHILD_CHECK(status.back() == closed);
    CHILD_CHECK(boxes.shown == std::vector<std::string>{"Warning - 101: ROBOT_COM_No_Open[COM No = 1]"});
    kgiCharacterServices::install(nullptr);
    board.stop();
}

TEST(RobotSessionInApp, TheStatusLineShowsTheClosedStateOnceThePortIsClosed)
{
    EXPECT_IN_CHILD(statusAfterClosing);
}

void silentBoard()
{
    BoardRig r;
    kgiApp& app = r.app;
    kgiSimBoard& board = r.board;
    Boxes& boxes = r.boxes;
    boxes.idle = &app;
    kgiStandInLesson& lesson = r.rig.fakes.lesson;
    lesson.mode = 2;
    lesson.waitingForAction = true;
    app.setLessonManager(&lesson);

    app.setRobotCommunication(true);
    kgiRobotSession* session = sessionOf(app);
    CHILD_CHECK(session);
    CHILD_CHECK(passUntilInfoRead(app, session));
    // The open was the lesson step's action.
    CHILD_CHECK(lessonReports(lesson) == std::vector<std::string>{"nextStep"});
    lesson.record.clear();
    kgiSimBoard::Faults f;
    f.silent = true;
    board.setFaults(f);
    session->sendCommand53();
    CHILD_CHECK(passUntil(app, [&] { return !app.isRobotCom(); }));
    CHILD_CHECK(session->getStatusWord() == "Fail ");
    CHILD_CHECK(boxes.shown == std::vector<std::string>{"Warning - 102: ROBOT_COM_No_Reply"});
    // The lesson shows the notice of step 19 and starts over, once.
    CHILD_CHECK(lessonReports(lesson) == (std::vector<std::string>{"showStep(19)", "restartProgram"}));
    // The next pass deletes the session and the port is closed.
    app.idleTick();
    CHILD_CHECK(app.getRobotSession() == nullptr && !deviceOpen(board.devicePath()));
    CHILD_CHECK(boxes.shown.size() == 1);
    CHILD_CHECK(lessonReports(lesson).size() == 2);
    app.setLessonManager(nullptr);
}

TEST(RobotSessionInApp, ABoardFallingSilentWarnsOnceAndSwitchesCommunicationOff)
{
    EXPECT_IN_CHILD(silentBoard);
}

// The program as it runs, on the factory data, with the real clock.
void factoryRobotFollowsTheModel(const fs::path& base)
{
    ::alarm(120);
    kgiWorld::instance();
    kgiRobotJointTable::instance();
    int argc = 1;
    char arg0[] = "Zodarovu0";
    char* argv[] = {arg0, nullptr};
    kgiSimBoard board;
    CHILD_CHECK(board.ok());
    board.start();
    pointCom1At(base, board.devicePath());
    {
        kgiApp app(base.string());
        app.setMakers(sessionMaker(true));
        app.init(argc, argv, true);
        app.create();
        app.startUp(argc, argv);
        kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
        CHILD_CHECK(robot && robot->findNode("RThigh"));

        app.setRobotCommunication(true);
        kgiRobotSession* session = sessionOf(app);
        CHILD_CHECK(session && deviceOpen(board.devicePath()));
        auto pass = [&] {
            app.idleTick();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        };
        for (int i = 0; i < 3000 && (session->getLink().infoRead[1] != 0 || session->isInfoReading()); ++i) pass();
        CHILD_CHECK(session->getStatusDetail() == "ROBO Info Read Complete !");

        // The robot follows the model: servo 0 (RThigh) reaches the board.
        CHILD_CHECK(app.setRobotSyncFlag(true));
        kgiRobotJointTable& table = *kgiRobotJointTable::instance();
        CHILD_CHECK(table.setJointAngleByName(robot, "RThigh", 12.0f));
        const int expected = table.servoValue(robot, 0);
        CHILD_CHECK(expected == 112);
        for (int i = 0; i < 3000 && (board.pose().empty() || board.pose()[0] != expected); ++i) pass();
        CHILD_CHECK(!board.pose().empty() && board.pose()[0] == expected);

        app.setRobotCommunication(false);
        app.idleTick();
        CHILD_CHECK(app.getRobotSession() == nullptr && !deviceOpen(board.devicePath()));
    }
    board.stop();
    std::_Exit(0);
}

TEST(RobotSessionInApp, TheFactoryRobotOnTheBoardFollowsAJointChangedInTheModel)
{
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    const fs::path base = fs::temp_directory_path() / ("kgi_session_app_" + std::to_string(::getpid()));
    fs::remove_all(base);
    fs::copy(KGI_DATA_DIR, base, fs::copy_options::recursive);
    fs::create_directories(base / "settings");
    EXPECT_IN_CHILD([&] { factoryRobotFollowsTheModel(base); });
    fs::remove_all(base);
}

} // namespace
