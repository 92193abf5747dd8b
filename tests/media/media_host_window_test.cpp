// The media host with the real plug-in beside the test program and the
// real main window on the X display: a clip imported by the media command
// shows in the video window at the time line's time, plays with the world,
// and a program ended with it loaded exits cleanly.
#include "kgiMediaHost.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiFileDialog.h"
#include "kgiTimesheetWindow.h"
#include "kgiWorld.h"

#include "core/child_process_test.h"
#include "medialib/mediaFixtures.h"
#include "support/app/kgiScriptedDialogs.h"
#include "support/window/kgiTimeoutAction.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using W = kgiTimesheetWindow;

// Questions answered yes, boxes only counted.
struct QuietServices : kgiCharacterServices {
    int boxes = 0;
    void showMessage(const std::string&, const std::string&) override { ++boxes; }
    bool askYesNo(const std::string&, const std::string&) override { return ++boxes, true; }
};

// Two seconds of 160 x 90 motion JPEG, red in the first second and green
// after it, with a silent PCM sound track, in an AVI file.
std::string makeAviClip() {
    return mediatest::makeClip("clip.avi",
                               "jpegenc ! mux. audiotestsrc wave=silence num-buffers=16 "
                               "! audio/x-raw,format=S16LE,rate=8000,channels=1 ! mux. avimux name=mux",
                               160, 90, 2);
}

// The plug-in's video window: the shown top-level window titled "Video ...".
FX::FXWindow* videoWindow() {
    for (FX::FXWindow* w = kgiTestApp()->getRootWindow()->getFirst(); w; w = w->getNext()) {
        auto* top = dynamic_cast<FX::FXTopWindow*>(w);
        if (top && top->shown() && top->getTitle().find("Video") == 0) return top;
    }
    return nullptr;
}

bool near(const kgiTestImage::Rgb& a, const kgiTestImage::Rgb& b) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > 60) return false;
    return true;
}

// The middle of the video window shows that colour (waiting for it).
bool videoShows(const kgiTestImage::Rgb& colour, const char* name) {
    kgiTestImage shot;
    const bool seen = kgiTestRunUntil(
        [&] {
            FX::FXWindow* v = videoWindow();
            if (!v) return false;
            shot = kgiTestGrab(v);
            return !shot.empty() && near(shot.at(shot.width / 2, shot.height / 2), colour);
        },
        2000);
    shot.save(name);
    return seen;
}

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The real main window with the time line, questions answered yes and
// file dialogs scripted; each test makes its own host on the real plug-in.
class MediaHostWindow : public ::testing::Test {
protected:
    kgiApp* app = nullptr;
    kgiWorld* world = kgiWorld::instance();
    QuietServices services;
    kgiScriptedDialogs dialogs;
    std::unique_ptr<W> window;
    std::string clip;

    void SetUp() override {
        KGI_REQUIRE_TEST_APP();
        setenv("KGI_MEDIA_AUDIO_SINK", "fakesink sync=true", 1);
        clip = makeAviClip();
        ASSERT_FALSE(clip.empty());
        app = kgiTestApp();
        kgiCharacterServices::install(&services);
        kgiFileDialogs::install(&dialogs);
        window.reset(new W(app));
        window->create();
        app->setMainWindow(window.get());
        app->setTimelineCanvas(window->timelineCanvas());
        kgiTestRunUntil([&] { return window->shown(); });
    }
    void TearDown() override {
        if (!app) return;
        world->setPlaying(false);
        app->setTimelineCanvas(nullptr);
        app->setMainWindow(nullptr);
        window.reset();
        kgiFileDialogs::install(nullptr);
        kgiCharacterServices::install(nullptr);
    }
    void send(int id) { window->handle(nullptr, FXSEL(FX::SEL_COMMAND, id), nullptr); }
};

TEST_F(MediaHostWindow, ImportedClipFollowsTheTimeLineAndPlaysWithTheWorld) {
    {
        kgiMediaHost host{std::string()};
        ASSERT_TRUE(host.isBound());
        ASSERT_NE(host.getWindow(), nullptr) << "owned by the main window";
        EXPECT_EQ(services.boxes, 0);

        dialogs.answers = {clip};
        send(W::ID_MEDIA_ADD);
        ASSERT_EQ(host.getTrackCount(), 1);
        EXPECT_EQ(host.getTrackInfo(0)->mediaType, MEDIA_MOVIE);
        EXPECT_EQ(app->getMediaDir(), clip);
        window->findMenuCheck(W::ID_MEDIA_WINDOW)->setCheck(true);
        send(W::ID_MEDIA_WINDOW);
        EXPECT_TRUE(host.isWindowShown());

        world->setPlaying(false);
        world->setFps(33.333f);
        world->setFrameRange(0.0f, 100.0f);
        for (const auto& [frame, colour, name] :
             {std::tuple{50.0f, kgiTestImage::Rgb{0, 255, 0}, "media_host_1500ms"},
              std::tuple{20.0f, kgiTestImage::Rgb{255, 0, 0}, "media_host_600ms"}}) {
            world->setCurrentTime(frame);
            app->redrawTimeline();  // the next pass flushes it and puts the movie there
            EXPECT_TRUE(videoShows(colour, name)) << "frame " << frame;
        }

        world->setCurrentTime(0.0f);
        world->setPlaying(true);
        EXPECT_TRUE(kgiTestRunUntil([&] { return host.getTrackInfo(0)->playing && host.getTrack(0)->isPlaying(); }))
            << "playback from frame 0 starts the track";
        world->setPlaying(false);
        EXPECT_FALSE(host.getTrackInfo(0)->playing);
        EXPECT_FALSE(host.getTrack(0)->isPlaying()) << "stopping the world stops it";
        EXPECT_EQ(services.boxes, 0);
    }
    EXPECT_EQ(world->getRegisteredMediaTracks(), nullptr);
    kgiTestRunUntil([] { return videoWindow() == nullptr; });
    EXPECT_EQ(videoWindow(), nullptr) << "the window went with the host";
}

TEST_F(MediaHostWindow, SavedTimesheetTakesItsMediaListAlongAndBringsItBack) {
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiCharacter* robot = world->getCurrentCharacter();
    ASSERT_NE(robot, nullptr);
    ASSERT_TRUE(robot->addKey(0));
    ASSERT_TRUE(robot->addKey(12));
    const fs::path dir = fs::temp_directory_path() / ("kgi_media_save_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    const fs::path project = dir / "walk.prj";
    const fs::path list = project / "media" / "walk.tl";
    fs::create_directories(list.parent_path());
    const std::string older = "[ /elsewhere/old.avi ], [ 1, 2 ], [ 3 ]\n";
    std::ofstream(list) << older;
    {
        kgiMediaHost host{std::string()};
        dialogs.answers = {(dir / "walk").string()};
        send(W::ID_SAVE_TIMESHEET_AS);
        ASSERT_TRUE(fs::exists(project / "walk.ts"));
        EXPECT_EQ(readText(list), older) << "no tracks: the older list stays";

        dialogs.answers = {clip};
        send(W::ID_MEDIA_ADD);
        host.getTrackInfo(0)->startFrame = 30;
        host.getTrackInfo(0)->offsetMs = 250;
        dialogs.answers = {(dir / "walk").string()};
        send(W::ID_SAVE_TIMESHEET_AS);
        EXPECT_EQ(readText(list), "[ " + clip + " ], [ 30, 499 ], [ 250 ]\n");

        dialogs.answers = {(project / "walk.ts").string()};
        send(W::ID_LOAD_TIMESHEET);
        ASSERT_EQ(host.getTrackCount(), 1) << "the movie comes back with its timesheet";
        EXPECT_EQ(host.getTrack(0)->getDirectory() + host.getTrack(0)->getFileName(), clip);
        EXPECT_EQ(host.getTrackInfo(0)->startFrame, 30);
        EXPECT_EQ(host.getTrackInfo(0)->offsetMs, 250);
    }
    kgiTestRemoveCharacters();
    fs::remove_all(dir);
}

// The toolkit's dialog as the import command shows it, read while it
// waits for the user, then cancelled.
TEST_F(MediaHostWindow, ImportDialogStartsAtTheRememberedFileAndMatchesAnyCase) {
    kgiFileDialogs::install(nullptr);
    const fs::path dir = fs::temp_directory_path() / ("kgi_media_import_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "Clip.AVI") << "x";
    app->setMediaDir((dir / "Clip.AVI").string());

    struct Seen {
        bool found = false;
        std::string title, filename, directory, patterns;
        int current = -1;
        unsigned matchMode = 0;
    } seen;
    kgiTimeoutAction look;
    look.action = [&] {
        for (FX::FXWindow* w = app->getRootWindow()->getFirst(); w; w = w->getNext()) {
            auto* dialog = dynamic_cast<FX::FXFileDialog*>(w);
            if (!dialog || !dialog->shown()) continue;
            seen.found = true;
            seen.title = dialog->getTitle().text();
            seen.filename = dialog->getFilename().text();
            seen.directory = dialog->getDirectory().text();
            seen.patterns = dialog->getPatternList().text();
            seen.current = dialog->getCurrentPattern();
            seen.matchMode = dialog->getMatchMode();
            dialog->handle(nullptr, FXSEL(FX::SEL_COMMAND, FX::FXDialogBox::ID_CANCEL), nullptr);
            return;
        }
        app->addTimeout(&look, kgiTimeoutAction::ID_FIRE, 50);
    };
    app->addTimeout(&look, kgiTimeoutAction::ID_FIRE, 50);
    {
        kgiMediaHost host{std::string()};
        EXPECT_EQ(host.importMediaFile(), -1) << "cancelled";
    }
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, "Import AV file...");
    EXPECT_EQ(seen.filename, (dir / "Clip.AVI").string()) << "the remembered file, selected";
    EXPECT_EQ(seen.directory, dir.string());
    EXPECT_EQ(seen.patterns,
              "Video files (*.wmv,*.mpg,*.mpeg,*.avi,*.mov)\nAudio files (*.wav,*.mp3,*.ogg,*.aiff)\n"
              "All files (*.*)");
    EXPECT_EQ(seen.current, 0);
    EXPECT_NE(seen.matchMode & FX::FILEMATCH_CASEFOLD, 0u) << "*.avi shows Clip.AVI";
    EXPECT_EQ(app->getMediaDir(), (dir / "Clip.AVI").string()) << "cancel keeps it";
    fs::remove_all(dir);
}

// The program's end as main() has it: the main window goes, then the
// application, then the static objects, with the host built, a movie
// loaded and its window shown.
TEST(MediaHostExit, ProgramWithAMovieShownExitsCleanly) {
    KGI_REQUIRE_TEST_APP();  // here only to skip without a display
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("KGI_MEDIA_AUDIO_SINK", "fakesink sync=true", 1);
            const std::string clip = makeAviClip();
            CHILD_CHECK(!clip.empty());
            kgiApp* app = kgiTestApp();
            CHILD_CHECK(app != nullptr);
            kgiWorld::instance()->setMediaTracksMaker([]() -> kgiMediaTracks* { return kgiMediaHost::instance(); });
            W* window = new W(app);
            window->create();
            app->setMainWindow(window);
            app->setTimelineCanvas(window->timelineCanvas());
            kgiMediaHost* host = static_cast<kgiMediaHost*>(kgiWorld::instance()->getMediaTracks());
            CHILD_CHECK(host == kgiMediaHost::instance());
            kgiMediaTrackInfo info;
            info.active = true;
            CHILD_CHECK(host->addTrack(clip, &info) == 1);
            host->showMediaWindow();
            kgiWorld::instance()->setCurrentTime(10.0f);
            app->redrawTimeline();
            CHILD_CHECK(kgiTestRunUntil([] { return videoWindow() != nullptr; }));
            delete window;
            delete app;
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
