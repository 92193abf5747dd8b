#include "kgiApp.h"
#include "kgiCharacterServices.h"
#include "kgiLangKeys.h"
#include "kgiSettings.h"
#include "kgiTables.h"
#include "kgiWorld.h"

#include "core/base_dir_test.h"
#include "core/child_process_test.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace FX;

// The program has one FXApp, and so does a test process, so every test here
// runs its kgiApp in a fresh child process (death-test "threadsafe" style
// re-runs the test binary) and reports through the child's exit code.

// Presses OK on every modal box, one after the other, and keeps their
// captions joined by '|'.
class kgiStartupBoxCloser : public FXObject {
    FXDECLARE(kgiStartupBoxCloser)
public:
    enum { ID_CLOSE = 1, ID_TERM };
    long onClose(FXObject*, FXSelector, void*) {
        FXApp::instance()->addTimeout(this, ID_CLOSE, 20);
        FXWindow* box = FXApp::instance()->getModalWindow();
        if (!box) return 1;
        if (!caption.empty()) caption += "|";
        caption += static_cast<FXTopWindow*>(box)->getTitle();
        box->handle(this, FXSEL(SEL_COMMAND, FXMessageBox::ID_CLICKED_OK), nullptr);
        return 1;
    }
    ~kgiStartupBoxCloser() override { FXApp::instance()->removeTimeout(this, ID_CLOSE); }
    long onTerm(FXObject*, FXSelector, void*) {
        ::kill(::getpid(), SIGTERM);
        return 1;
    }
    FXString caption;
};

FXDEFMAP(kgiStartupBoxCloser) kgiStartupBoxCloserMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, kgiStartupBoxCloser::ID_CLOSE, kgiStartupBoxCloser::onClose),
    FXMAPFUNC(SEL_TIMEOUT, kgiStartupBoxCloser::ID_TERM, kgiStartupBoxCloser::onTerm),
};
FXIMPLEMENT(kgiStartupBoxCloser, FXObject, kgiStartupBoxCloserMap, ARRAYNUMBER(kgiStartupBoxCloserMap))

namespace {

// main()'s sequence in a child: settings in, a missing default project,
// some idle passes, settings out.
void runProgramWithoutProject(const std::filesystem::path& dir) {
    kgiWorld::instance();
    int argc = 1;
    char arg0[] = "Zodarovu0";
    char* argv[] = {arg0, nullptr};
    int code = -1;
    {
        kgiApp app(dir.string());
        app.init(argc, argv, true);
        app.create();
        CHILD_CHECK(kgiApp::instance() == &app);
        CHILD_CHECK(app.getSettings().language == 0);
        CHILD_CHECK(app.getSettings().keysMax == 77);
        CHILD_CHECK(kgiWorld::instance()->getFps() == kgiWorld::ROBOT_FPS);

        // Characters reach the program through the services it installed.
        kgiCharacterServices& services = kgiCharacterServices::current();
        CHILD_CHECK(services.keysMax() == 77);
        app.getSettings().keysMax = 5;  // read live, not cached
        CHILD_CHECK(services.keysMax() == 5);
        app.getSettings().keysMax = 77;
        CHILD_CHECK(services.text(kgiLangKey::Wr_Keys_Max) == "Wr_Keys_Max");
        services.setFramesPerSecond(12.5f);
        CHILD_CHECK(kgiWorld::instance()->getFps() == 12.5f);
        services.setFramesPerSecond(kgiWorld::ROBOT_FPS);
        const int materials = kgiMaterialTable::instance()->size();
        kgcMaterial* m = services.newMaterial();
        CHILD_CHECK(m && kgiMaterialTable::instance()->idOf(m) >= 0);
        CHILD_CHECK(services.removeMaterial(m) && !services.removeMaterial(m));
        CHILD_CHECK(kgiMaterialTable::instance()->size() == materials);

        kgiStartupBoxCloser closer;
        app.addTimeout(&closer, kgiStartupBoxCloser::ID_CLOSE, 20);
        app.startUp(argc, argv);
        // The loader names what failed, then start-up gives up.
        CHILD_CHECK(closer.caption == "Error - 061|Error");
        CHILD_CHECK(kgiCharacterTable::instance()->size() == 0);
        CHILD_CHECK(kgiWorld::instance()->getCurrentId() == -1);
        CHILD_CHECK(app.getFactoryDir() == dir.string() + "/DORUZAVO_1base");
        CHILD_CHECK(app.getRemoconListPath() == dir.string() + "/DORUZAVO_1base/remocon/list.txt");
        CHILD_CHECK(app.getMotionDir() == dir.string() + "/DORUZAVO_1/motion");

        // The idle task also runs while a modal box is up.
        const long before = app.getIdlePasses();
        app.quitAfterPasses(3);
        code = app.run();
        CHILD_CHECK(app.getIdlePasses() == before + 3);
        app.getSettings().drawNo = 1;  // a change made while running
    }
    CHILD_CHECK(code == 0);
    // Gone with the application: the defaults (no key limit) are back.
    CHILD_CHECK(kgiCharacterServices::current().keysMax() == INT_MAX);
    const std::string saved = kgiReadWholeFile(dir / "settings" / "settings.txt");
    CHILD_CHECK(saved.find("language=0\nKeys_MAX=77\n") == 0);
    CHILD_CHECK(saved.find("DrawNo=1\n") != std::string::npos);
    std::_Exit(0);
}

void runUntilTerminated(const std::filesystem::path& dir) {
    kgiWorld::instance();
    int argc = 1;
    char arg0[] = "Zodarovu0";
    char* argv[] = {arg0, nullptr};
    {
        kgiApp app(dir.string());
        app.init(argc, argv, true);
        app.create();
        kgiStartupBoxCloser terminator;
        app.addTimeout(&terminator, kgiStartupBoxCloser::ID_TERM, 50);
        app.quitAfterPasses(1L << 30);  // would take far longer than the test
        CHILD_CHECK(app.run() == 0);
        app.getSettings().robotComId = 9;
    }
    CHILD_CHECK(kgiReadWholeFile(dir / "settings" / "settings.txt").find("Robot_COM_ID=9\n") !=
                std::string::npos);
    std::_Exit(0);
}

TEST(AppStartup, MissingProjectShowsErrorThenRunsAndSavesSettingsAtExit) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto dir = kgiMakeBaseDir("kgi_app_startup", "language=0\nKeys_MAX=77\n");
    EXPECT_EXIT(runProgramWithoutProject(dir), ::testing::ExitedWithCode(0), "");
    std::filesystem::remove_all(dir);
}

TEST(AppStartup, TerminateSignalEndsTheLoopCleanly) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto dir = kgiMakeBaseDir("kgi_app_term", "");
    EXPECT_EXIT(runUntilTerminated(dir), ::testing::ExitedWithCode(0), "");
    std::filesystem::remove_all(dir);
}

TEST(AppStartup, InstanceIsNullForAnotherApplication) {
    // Any FXApp of the test process is not a kgiApp.
    EXPECT_EQ(kgiApp::instance(), nullptr);
}

} // namespace

// Drives the idle task from toolkit timeouts and keeps what it saw: first
// 500 ms with nothing to animate, then playback started from a timeout.
class kgiIdleProbe : public FXObject {
    FXDECLARE(kgiIdleProbe)
public:
    enum { ID_PLAY = 1, ID_STOP };
    using Clock = std::chrono::steady_clock;
    long onPlay(FXObject*, FXSelector, void*) {
        kgiApp* app = kgiApp::instance();
        quietPasses = app->getIdlePasses();
        kgiWorld::instance()->setPlaying(true);
        queuedOnPlay = app->hasChore(app, kgiApp::ID_IDLE);
        playStart = Clock::now();
        app->addTimeout(this, ID_STOP, 200);
        return 1;
    }
    long onStop(FXObject*, FXSelector, void*) {
        kgiApp* app = kgiApp::instance();
        playSeconds = std::chrono::duration<double>(Clock::now() - playStart).count();
        playTime = kgiWorld::instance()->getCurrentTime();
        playPasses = app->getIdlePasses() - quietPasses;
        kgiWorld::instance()->setPlaying(false);
        app->exit(0);
        return 1;
    }
    long quietPasses = 0, playPasses = 0;
    bool queuedOnPlay = false;
    Clock::time_point playStart;
    double playSeconds = 0.0;
    float playTime = 0.0f;
};

FXDEFMAP(kgiIdleProbe) kgiIdleProbeMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, kgiIdleProbe::ID_PLAY, kgiIdleProbe::onPlay),
    FXMAPFUNC(SEL_TIMEOUT, kgiIdleProbe::ID_STOP, kgiIdleProbe::onStop),
};
FXIMPLEMENT(kgiIdleProbe, FXObject, kgiIdleProbeMap, ARRAYNUMBER(kgiIdleProbeMap))

namespace {

void runIdlePacing(const std::filesystem::path& dir) {
    kgiWorld* world = kgiWorld::instance();
    int argc = 1;
    char arg0[] = "Zodarovu0";
    char* argv[] = {arg0, nullptr};
    kgiApp app(dir.string());
    app.init(argc, argv, true);
    app.create();
    world->setEndFrame(100.0f);
    world->setStartFrame(0.0f);
    world->setFps(100.0f);
    world->setCurrentTime(0.0f);
    kgiIdleProbe probe;
    app.addTimeout(&probe, kgiIdleProbe::ID_PLAY, 500);
    CHILD_CHECK(app.run() == 0);

    // Nothing to animate and no events: the fallback timeout's few passes
    // only, so the loop sleeps instead of spinning.
    CHILD_CHECK(probe.quietPasses >= 2 && probe.quietPasses <= 20);
    // Playback started from a timeout has its pass queued at once rather
    // than on the fallback timeout.
    CHILD_CHECK(probe.queuedOnPlay);
    // The time moves by elapsed time, not by passes.
    CHILD_CHECK(probe.playTime >= 1.0f);
    CHILD_CHECK(probe.playTime <= probe.playSeconds * 100.0 + 1.0);
    CHILD_CHECK(probe.playPasses > static_cast<long>(probe.playTime));
    std::_Exit(0);
}

} // namespace

TEST(AppStartup, IdlePassesWaitUnlessSomethingAnimates) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto dir = kgiMakeBaseDir("kgi_app_idle", "");
    EXPECT_EXIT(runIdlePacing(dir), ::testing::ExitedWithCode(0), "");
    std::filesystem::remove_all(dir);
}
