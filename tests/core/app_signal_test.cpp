#include "kgiApp.h"
#include "kgiMessage.h"
#include "kgiWorld.h"

#include "core/base_dir_test.h"
#include "core/child_process_test.h"
#include "support/kgiTestEnv.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

using namespace FX;

// SIGINT and SIGTERM end the program in every state it can be in. Each case
// runs the program's sequence in a child process (the program, like a test
// process, has one FXApp) and, once the state is reached, has another
// thread send the signal while the event loop waits, as a terminal or a
// desktop logout would.

namespace {

enum class State { StartupErrorBox, QuestionBoxInMainLoop, IdleMainLoop };

std::atomic<bool> stateReached{false};

} // namespace

// Watches for the state: polls until a modal box is up (or at once for the
// idle loop), then stops polling, so that no timer of its own wakes the
// loop. Also opens the question box from inside the main loop.
class kgiSignalCase : public FXObject {
    FXDECLARE(kgiSignalCase)
public:
    enum { ID_WATCH = 1, ID_ASK };
    kgiSignalCase() = default;
    explicit kgiSignalCase(bool needsBox) : needsBox(needsBox) {}
    long onWatch(FXObject*, FXSelector, void*) {
        if (needsBox && !FXApp::instance()->getModalWindow()) {
            FXApp::instance()->addTimeout(this, ID_WATCH, 10);
            return 1;
        }
        stateReached = true;
        return 1;
    }
    long onAsk(FXObject*, FXSelector, void*) {
        asked = true;
        answeredYes = askYesNo("Question", "Leave?");
        return 1;
    }
    ~kgiSignalCase() override {
        FXApp::instance()->removeTimeout(this, ID_WATCH);
        FXApp::instance()->removeTimeout(this, ID_ASK);
    }
    bool needsBox = false;
    bool asked = false;
    bool answeredYes = true;
};

FXDEFMAP(kgiSignalCase) kgiSignalCaseMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, kgiSignalCase::ID_WATCH, kgiSignalCase::onWatch),
    FXMAPFUNC(SEL_TIMEOUT, kgiSignalCase::ID_ASK, kgiSignalCase::onAsk),
};
FXIMPLEMENT(kgiSignalCase, FXObject, kgiSignalCaseMap, ARRAYNUMBER(kgiSignalCaseMap))

namespace {

using Clock = std::chrono::steady_clock;

// main()'s sequence in a child (the base directory holds settings but no
// project, so start-up shows its error boxes), with the signal sent once
// the state is reached.
void runAndSignal(const std::filesystem::path& dir, State state, int sig) {
    // A child that never ends is killed, and the test sees that.
    ::alarm(10);
    kgiWorld::instance();
    int argc = 1;
    char arg0[] = "Zodarovu0";
    char* argv[] = {arg0, nullptr};

    std::atomic<Clock::rep> sentAt{0};
    std::thread sender([&] {
        while (!stateReached) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        // Long enough for the loop to be waiting again.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        sentAt = Clock::now().time_since_epoch().count();
        ::kill(::getpid(), sig);
    });

    int code = -1;
    Clock::rep endedAt = 0;
    bool asked = false, answeredYes = false;
    {
        kgiApp app(dir.string());
        app.init(argc, argv, true);
        app.create();
        app.getSettings().robotComId = 9;
        kgiSignalCase watcher(state != State::IdleMainLoop);
        app.addTimeout(&watcher, kgiSignalCase::ID_WATCH, 10);
        if (state == State::StartupErrorBox) app.startUp(argc, argv);
        if (state == State::QuestionBoxInMainLoop) app.addTimeout(&watcher, kgiSignalCase::ID_ASK, 0);
        code = app.run();
        endedAt = Clock::now().time_since_epoch().count();
        asked = watcher.asked;
        answeredYes = watcher.answeredYes;
    }
    sender.join();
    CHILD_CHECK(code == 0);
    // Far longer than the quit takes; a loop that missed the signal waits
    // for ever.
    CHILD_CHECK(Clock::duration(endedAt - sentAt) < std::chrono::seconds(1));
    if (state == State::QuestionBoxInMainLoop) CHILD_CHECK(asked && !answeredYes);
    CHILD_CHECK(kgiReadWholeFile(dir / "settings" / "settings.txt").find("Robot_COM_ID=9\n") !=
                std::string::npos);
    std::_Exit(0);
}

TEST(AppSignal, InterruptAndTerminateEndTheProgramInEveryState) {
    if (!hasDisplay()) {
        if (kgiTestEnvRequired()) FAIL() << "DISPLAY is not set under ./test";
        GTEST_SKIP() << "no display";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct Case {
        State state;
        int sig;
        const char* name;
    } cases[] = {
        {State::StartupErrorBox, SIGTERM, "start-up error box, SIGTERM"},
        {State::StartupErrorBox, SIGINT, "start-up error box, SIGINT"},
        {State::QuestionBoxInMainLoop, SIGTERM, "question box, SIGTERM"},
        {State::QuestionBoxInMainLoop, SIGINT, "question box, SIGINT"},
        {State::IdleMainLoop, SIGTERM, "main loop, SIGTERM"},
        {State::IdleMainLoop, SIGINT, "main loop, SIGINT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto dir = kgiMakeBaseDir("kgi_app_signal", "language=0\n");
        EXPECT_EXIT(runAndSignal(dir, c.state, c.sig), ::testing::ExitedWithCode(0), "");
        std::filesystem::remove_all(dir);
    }
}

} // namespace
