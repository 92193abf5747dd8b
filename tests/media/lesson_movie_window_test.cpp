// The media lesson's movie as the lesson brings it in: imported by the
// media command from the factory folder's media folder, typed as a movie,
// given its 15 s on the time line, and shown in the video window at 1 s.
// The picture is kept beside the test's output (lesson_movie_1s.png).
#include "kgiMediaHost.h"

#include "kgiApp.h"
#include "kgiCharacterServices.h"
#include "kgiFileDialog.h"
#include "kgiTimesheetWindow.h"
#include "kgiWorld.h"

#include "support/app/kgiScriptedDialogs.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using W = kgiTimesheetWindow;

struct QuietServices : kgiCharacterServices {
    int boxes = 0;
    void showMessage(const std::string&, const std::string&) override { ++boxes; }
    bool askYesNo(const std::string&, const std::string&) override { return ++boxes, true; }
};

FX::FXWindow* videoWindow() {
    for (FX::FXWindow* w = kgiTestApp()->getRootWindow()->getFirst(); w; w = w->getNext()) {
        auto* top = dynamic_cast<FX::FXTopWindow*>(w);
        if (top && top->shown() && top->getTitle().find("Video") == 0) return top;
    }
    return nullptr;
}

}  // namespace

TEST(LessonMovieWindow, TheImportedMovieShowsItsSecondBeatAtOneSecond) {
    KGI_REQUIRE_TEST_APP();
    setenv("KGI_MEDIA_AUDIO_SINK", "fakesink sync=true", 1);
    const std::string movie = KGI_LESSON_MOVIE;
    kgiApp* app = kgiTestApp();
    kgiWorld* world = kgiWorld::instance();
    QuietServices services;
    kgiCharacterServices::install(&services);
    kgiScriptedDialogs dialogs;
    kgiFileDialogs::install(&dialogs);
    std::unique_ptr<W> window(new W(app));
    window->create();
    app->setMainWindow(window.get());
    app->setTimelineCanvas(window->timelineCanvas());
    kgiTestRunUntil([&] { return window->shown(); });
    {
        kgiMediaHost host{std::string()};
        ASSERT_TRUE(host.isBound());
        world->setPlaying(false);
        world->setFps(33.333f);
        world->setFrameRange(0.0f, 500.0f);

        dialogs.answers = {movie};
        window->handle(nullptr, FXSEL(FX::SEL_COMMAND, W::ID_MEDIA_ADD), nullptr);
        ASSERT_EQ(host.getTrackCount(), 1);
        EXPECT_EQ(host.getTrackInfo(0)->mediaType, MEDIA_MOVIE);
        EXPECT_NEAR(host.getTrackInfo(0)->durationMs, 15000.0f, 100.0f);
        EXPECT_EQ(host.getTrackInfo(0)->endFrame, 499) << "15 s of the time line";
        window->findMenuCheck(W::ID_MEDIA_WINDOW)->setCheck(true);
        window->handle(nullptr, FXSEL(FX::SEL_COMMAND, W::ID_MEDIA_WINDOW), nullptr);

        // 1.02 s: the second beat's picture, past the title card, with its
        // square lit (the shape colour blended towards grey).
        const kgiTestImage::Rgb litSquare{86, 147, 174};
        world->setCurrentTime(34.0f);
        app->redrawTimeline();
        kgiTestImage shot;
        const bool shown = kgiTestRunUntil(
            [&] {
                FX::FXWindow* v = videoWindow();
                if (!v) return false;
                shot = kgiTestGrab(v);
                return !shot.empty() && shot.count(litSquare, 40) > 100;
            },
            3000);
        shot.save("lesson_movie_1s");
        EXPECT_TRUE(shown) << "the picture at 1 s";
        EXPECT_EQ(services.boxes, 0);
    }
    app->setTimelineCanvas(nullptr);
    app->setMainWindow(nullptr);
    window.reset();
    kgiFileDialogs::install(nullptr);
    kgiCharacterServices::install(nullptr);
}
