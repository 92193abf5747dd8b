// Lesson 9, a movie beside the robot, walked through as a user walks it:
// the introduction (the view stepped back and lowered, the import set to
// start in the factory's media folder), the media window switched on, a
// clip imported through the file dialog (a cancelled import first, which
// steps back), the Option button, sample No.27 chosen, read and played with
// the movie, and the closing text until the editor is unlocked again.
#include "lesson_walk_rig.h"

#include "kgiGLFrameButtons.h"
#include "kgiMediaHost.h"
#include "kgiOptionsDialog.h"
#include "kgiTimesheetWindow.h"
#include "kgiWorld.h"
#include "kutPath.h"

#include "medialib/mediaFixtures.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int MODE = 9;
constexpr int FINAL_STEP = 8;
// The sample the lesson asks for, 1-based as the text names it.
constexpr int ANSWER = 27;

using Walk = kgiLessonWalk;
using W = kgiTimesheetWindow;

// Two seconds of motion JPEG with a silent sound track in an AVI file, as
// the media host's own end-to-end test makes its clip.
std::string makeAviClip() {
    return mediatest::makeClip("walk.avi",
                               "jpegenc ! mux. audiotestsrc wave=silence num-buffers=16 "
                               "! audio/x-raw,format=S16LE,rate=8000,channels=1 ! mux. avimux name=mux",
                               160, 90, 2);
}

// A text the message window is given: its step and height (always page
// 0, at x 350, in the step texts' colours).
struct Shown {
    int step;
    int y;
};

// One ordinary step: what its set-up shows, the action, and where the
// action leaves the lesson.
struct Row {
    const char* name;
    int step;
    std::set<int> main;     // main-window bytes enabled
    std::set<int> options;  // options-window bytes enabled (while it exists)
    std::function<void(Walk&)> act;
    int next;                  // the step after the action, not waiting yet
    std::vector<int> sounds;   // asked for by the action
    std::vector<Shown> texts;  // shown by the action
    std::function<void(Walk&)> after;  // what the action left besides the step
};

TEST(KGI_WALK_SUITE(LessonWalk), Mode9MediaImportAndPlayback) {
    KGI_REQUIRE_TEST_APP();
    // Sound without a sound card.
    setenv("KGI_MEDIA_AUDIO_SINK", "fakesink sync=true", 1);
    const std::string clip = makeAviClip();
    ASSERT_FALSE(clip.empty());
    Walk& walk = Walk::get();
    walk.useStepFile(MODE, FINAL_STEP);
    walk.useMediaHost();
    kgiApp& app = walk.app();
    kgiWorld& world = walk.world();
    const std::string factoryMedia = kutAppendPath(app.getFactoryDir(), "media");
    const std::string modelMedia = kutAppendPath(kutAppendPath(app.getBaseDir(), app.getModelId()), "media");
    ASSERT_NE(factoryMedia, modelMedia);

    // The introduction: canvas 0 stepped back 4 and shifted 2 without
    // turning, the first page after two seconds of the clock.
    const float startedAt = walk.now();
    ASSERT_TRUE(walk.start(MODE));
    EXPECT_EQ(walk.titleSuffix(), "     Collabo1");
    EXPECT_EQ(walk.step(), 0);
    EXPECT_TRUE(walk.waiting());
    EXPECT_EQ(walk.mainEnabled(), std::set<int>{});
    ASSERT_EQ(walk.shown().size(), 1u);
    const kgiWalkText intro = walk.shown()[0];
    EXPECT_EQ(intro.line(), Walk::label(MODE, 0, 0));
    EXPECT_EQ(intro.x, 350);
    EXPECT_EQ(intro.y, 40);
    EXPECT_EQ(intro.colour, 0);
    EXPECT_GE(intro.clock - startedAt, 2.0f);
    const std::vector<float> view = walk.viewMatrix();
    const std::vector<float>& centred = walk.centredView();
    ASSERT_EQ(view.size(), 16u);
    ASSERT_EQ(centred.size(), 16u);
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10}) EXPECT_NEAR(view[i], centred[i], 1e-4f) << "rotation " << i;
    // The move along the eye's own axes: none sideways, 2 up or down, 4 along
    // the line of sight.
    float along[3] = {0.0f, 0.0f, 0.0f};
    for (int axis = 0; axis < 3; ++axis)
        for (int k = 0; k < 3; ++k) along[axis] += (view[12 + k] - centred[12 + k]) * centred[4 * axis + k];
    EXPECT_NEAR(along[0], 0.0f, 1e-3f);
    EXPECT_NEAR(std::fabs(along[1]), 2.0f, 1e-3f);
    EXPECT_NEAR(std::fabs(along[2]), 4.0f, 1e-3f);

    // Every run of the introduction points the import at the factory's
    // media folder, not only its first.
    EXPECT_EQ(app.getMediaDir(), factoryMedia);
    app.setMediaDir("/elsewhere");
    walk.idle(2);
    EXPECT_EQ(walk.step(), 0) << "still speaking";
    EXPECT_EQ(app.getMediaDir(), factoryMedia);

    walk.setSpeaking(false);
    ASSERT_TRUE(walk.idleUntil([&] { return walk.shown().size() == 2; }));
    EXPECT_EQ(walk.lastShown().line(), Walk::label(MODE, 0, 1));
    walk.setSpeaking(false);
    // Texts from here on: each step's set-up shows one.
    std::size_t setUp = walk.textMark();
    ASSERT_TRUE(walk.idleUntil([&] { return walk.step() == 1 && walk.waiting(); }));
    EXPECT_EQ(app.getMediaDir(), factoryMedia);

    kgiMediaHost& host = *kgiMediaHost::instance();
    ASSERT_TRUE(host.isBound()) << "the media plug-in beside the program";
    constexpr int UP = 40, LOW = 450;
    const std::vector<int> OK = {Walk::OK};
    // The import: opening its dialog ends step 2 and shows step 3's text
    // (the dialog's) below; a cancel steps back with the NG sound, showing
    // step 3's text above as it goes, and step 2 is set up again; a clip
    // coming in ends step 3 as well.
    // The lesson's own steps do not run while the dialog is open: the
    // dialog's step shows its text (below) once, and the clip coming in
    // ends it with its show flag, which then goes.
    // The dialog stands for some idle passes while the user looks for the
    // file.
    constexpr int PASSES = 5;
    walk.setPassesWhileChoosing(PASSES);
    const auto addMedia = [&](const std::vector<std::string>& answers) {
        return [&, answers](Walk& w) {
            w.dialogs().shown.clear();
            w.dialogs().answers.assign(answers.begin(), answers.end());
            w.mainCommand(W::ID_MEDIA_ADD);
            EXPECT_GE(w.passesWhileLastModal(), PASSES);
            ASSERT_EQ(w.dialogs().shown.size(), 1u);
            EXPECT_EQ(w.dialogs().shown[0].folder, factoryMedia);
        };
    };
    const std::vector<Row> rows = {
        {"Media window", 1, {11, 26}, {},
         [](Walk& w) {
             w.mainWindow().findMenuCheck(W::ID_MEDIA_WINDOW)->setCheck(true);
             w.mainCommand(W::ID_MEDIA_WINDOW);
         },
         2, OK, {}, [&](Walk&) { EXPECT_TRUE(host.isWindowShown()); }},
        {"Media add, cancelled", 2, {10, 23}, {}, addMedia({}), 2, {Walk::OK, Walk::NG}, {{3, LOW}, {3, UP}},
         [&](Walk&) {
             EXPECT_EQ(host.getTrackCount(), 0);
             EXPECT_EQ(app.getMediaDir(), factoryMedia) << "cancel keeps the folder";
         }},
        {"Media add", 2, {10, 23}, {}, addMedia({clip}), 4, {Walk::OK, Walk::OK}, {{3, LOW}},
         [&](Walk&) {
             ASSERT_EQ(host.getTrackCount(), 1);
             EXPECT_EQ(host.getTrackInfo(0)->mediaType, MEDIA_MOVIE);
             EXPECT_EQ(app.getMediaDir(), clip) << "the next import starts at the clip";
             EXPECT_FALSE(walk.manager().getShowNextAtLower());
         }},
        {"Options button", 4, {8}, {}, [](Walk& w) { w.mainCommand(W::ID_OPTIONS); }, 5, OK, {},
         [](Walk& w) {
             ASSERT_NE(w.optionsDialog(), nullptr);
             EXPECT_TRUE(w.optionsDialog()->shown());
         }},
        {"Answer 27", 5, {}, {0, 10}, [](Walk& w) { ASSERT_TRUE(w.chooseSample(ANSWER - 1)); }, 6, OK, {}, nullptr},
        {"Read sample", 6, {53}, {0, 7}, [](Walk& w) { w.optionsCommand(kgiOptionsDialog::ID_SAMPLE_READ); }, 7, OK,
         {}, [](Walk& w) { EXPECT_GT(w.world().getLastKeyTime(), 0.0f) << "the sample's keys"; }},
        // Its set-up points the import back at the model's media folder and
        // puts the options window away.
        {"Play", 7, {}, {},
         [&](Walk& w) {
             EXPECT_EQ(app.getMediaDir(), modelMedia);
             ASSERT_NE(w.optionsDialog(), nullptr);
             EXPECT_FALSE(w.optionsDialog()->shown());
             EXPECT_TRUE(w.pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY));
         },
         FINAL_STEP, OK, {}, [](Walk& w) { EXPECT_TRUE(w.world().isPlaying()); }},
    };

    const auto expectShown = [](const std::vector<kgiWalkText>& got, const std::vector<Shown>& want) {
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(got[i].line(), Walk::label(MODE, want[i].step, 0)) << i;
            EXPECT_EQ(got[i].x, 350) << i;
            EXPECT_EQ(got[i].y, want[i].y) << i;
            EXPECT_EQ(got[i].colour, 0) << i;
        }
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(walk.idleUntil([&] { return walk.step() == row.step && walk.waiting(); }));
        walk.idle(2);
        expectShown(walk.textsSince(setUp), {{row.step, UP}});
        EXPECT_EQ(walk.mainEnabled(), row.main);
        if (walk.optionsDialog()) {
            EXPECT_EQ(walk.optionsEnabled(), row.options);
        }
        walk.setSpeaking(false);

        const std::size_t sounds = walk.soundMark();
        const std::size_t texts = walk.textMark();
        row.act(walk);
        EXPECT_EQ(walk.step(), row.next);
        EXPECT_FALSE(walk.waiting());
        EXPECT_EQ(walk.soundsSince(sounds), row.sounds);
        expectShown(walk.textsSince(texts), row.texts);
        if (row.after) row.after(walk);
        walk.setSpeaking(false);
        setUp = walk.textMark();
    }

    ASSERT_TRUE(world.isPlaying());
    EXPECT_TRUE(walk.walkToEnd(FINAL_STEP));
    EXPECT_EQ(walk.titleSuffix(), "     Collabo1") << "the suffix once";
    EXPECT_EQ(app.getMediaDir(), modelMedia);
}

} // namespace
