// Lesson 4, key editing, walked through as a user walks it on the bow
// (keys at frames 0, 15, 45 and 75): the bow played, the time line zoomed
// out, key 3 pushed to frame 197 or beyond, key 2 moved to 160 and key 1 to
// 27 by dragging them on the time line, the time line refreshed, the bow
// played from the start again and saved under a new name, and the closing
// text until the editor is unlocked again.
#include "lesson_walk_rig.h"

#include "kgiCharacter.h"
#include "kgiFileDialog.h"
#include "kgiGLFrameButtons.h"
#include "kgiGLFrameline.h"
#include "kgiGLPlaybackBar.h"
#include "kgiGLTsMgr.h"
#include "kgiMainCommandTable.h"
#include "kgiWorld.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int MODE = 4;
constexpr int FINAL_STEP = 11;
constexpr int UPPER = 40;
constexpr int LOWER = 450;

using Walk = kgiLessonWalk;
using Ids = kgiMainCommandIds;
using Keys = std::vector<float>;
constexpr int LEFT = kgiGLWidget::BUTTON_LEFT;
constexpr int RIGHT = kgiGLWidget::BUTTON_RIGHT;
constexpr int OK = Walk::OK;
constexpr int NG = Walk::NG;

kgiCharacter& bow(Walk& walk) { return *walk.world().getCurrentCharacter(); }

// In the process's own base folder: walks run side by side.
std::string savedPath() { return (std::filesystem::path(kgiTestBaseDir()) / "walk4" / "bow_edited.mdm").string(); }

using Action = std::function<void(Walk&)>;

Action pressFrameButton(int button) {
    return [button](Walk& w) { w.pressFrameButton(button); };
}

Action dragKey(int button, int from, int to) {
    return [=](Walk& w) { w.dragKey(button, from, to); };
}

// A press on a key that starts no drag: not the edit the step asks for.
Action pressWithoutDrag(int button, int frame) {
    return [=](Walk& w) {
        const Walk::Point p = w.keyPoint(frame);
        w.timelinePress(button, p.x, p.y);
        EXPECT_EQ(w.timeline().getFrameLine()->getDragMode(), kgiGLFrameline::DRAG_NONE) << "a drag began";
        w.timelineMotion(p.x + 40, p.y);
        w.timelineRelease(button, p.x + 40, p.y);
    };
}

Action keysAre(const Keys& keys) {
    return [keys](Walk& w) { EXPECT_EQ(bow(w).getKeyTimes(), keys); };
}

void doubleClickPlaybackBar(Walk& walk) {
    const kgiGLPlaybackBar& bar = *walk.timeline().getPlaybackBar();
    const int x = bar.getX() + 10;
    const int y = bar.getY() + bar.getHeight() / 2;
    walk.timelinePress(LEFT, x, y);
    walk.timelineRelease(LEFT, x, y);
    walk.timelinePress(LEFT, x, y, 2);
    walk.timelineRelease(LEFT, x, y);
}

void saveAs(Walk& walk, const std::string& path) {
    walk.dialogs().answers.clear();
    if (!path.empty()) walk.dialogs().answers.push_back(path);
    walk.mainCommand(Ids::ID_SAVE_MDM_AS);
}

TEST(KGI_WALK_SUITE(LessonWalkMode4), KeysPushedAndMovedOnTheTimeLineThenTheBowSavedAs) {
    KGI_REQUIRE_TEST_APP();
    Walk& walk = Walk::get();
    walk.useStepFile(MODE, FINAL_STEP);
    // The save dialog stands while the user types a name.
    walk.setPassesWhileChoosing(3);
    std::filesystem::remove_all(std::filesystem::path(savedPath()).parent_path());
    std::filesystem::create_directories(std::filesystem::path(savedPath()).parent_path());

    // The introduction: the bow imported, two pages spoken, then step 1.
    ASSERT_TRUE(walk.start(MODE));
    EXPECT_EQ(walk.titleSuffix(), "     Step4");
    EXPECT_EQ(bow(walk).getKeyTimes(), (Keys{0, 15, 45, 75}));
    EXPECT_EQ(walk.world().getEndFrame(), 75.0f);
    ASSERT_TRUE(walk.walkIntroduction());

    using Shown = kgiWalkRow::Shown;
    const std::set<int> none;
    const Shown at2{2, UPPER}, at3{3, UPPER}, at4{4, UPPER}, at5{5, UPPER}, at6{6, UPPER}, at7{7, UPPER},
        at8{8, UPPER}, at9{9, UPPER}, at10{10, UPPER};
    const std::vector<kgiWalkRow> rows = {
        {"play", 1, none, none, pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY), {OK}, 2, true, {at2}},
        {"play while locked", 2, {7}, none, pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY), {NG}, 2, false, {},
         [](Walk& w) { EXPECT_FALSE(w.world().isPlaying()); }},
        {"zoom", 2, {7}, none, [](Walk& w) { w.mainCommand(Ids::ID_ZOOM); }, {OK}, 3, false, {at3},
         [](Walk& w) { EXPECT_EQ(w.timeline().getPixelsPerFrame(), kgiGLTsMgr::PIXELS_PER_FRAME / 2); }},
        {"left press on key 3", 3, none, none, pressWithoutDrag(LEFT, 75), {NG}, 3, false, {},
         keysAre({0, 15, 45, 75})},
        {"key 3 pushed to 190", 3, none, none, dragKey(RIGHT, 75, 190), {OK}, 3, false, {}, keysAre({0, 15, 45, 190})},
        {"key 3 pushed on to 200", 3, none, none, dragKey(RIGHT, 190, 200), {OK, OK}, 4, false, {at4},
         keysAre({0, 15, 45, 200})},
        {"left press on key 1", 4, none, none, pressWithoutDrag(LEFT, 15), {NG}, 4, false, {},
         keysAre({0, 15, 45, 200})},
        {"right press on key 2", 4, none, none, pressWithoutDrag(RIGHT, 45), {NG}, 4, false, {},
         keysAre({0, 15, 45, 200})},
        {"key 2 moved to 159", 4, none, none, dragKey(LEFT, 45, 159), {OK}, 4, false, {}, keysAre({0, 15, 159, 200})},
        {"key 2 moved on to 160", 4, none, none, dragKey(LEFT, 159, 160), {OK, OK}, 5, false, {at5},
         keysAre({0, 15, 160, 200})},
        {"key 1 moved to 27", 5, none, none, dragKey(LEFT, 15, 27), {OK, OK}, 6, false, {at6},
         keysAre({0, 27, 160, 200})},
        {"playback bar double-clicked", 6, {53}, none, doubleClickPlaybackBar, {OK}, 7, false, {at7},
         [](Walk& w) {
             EXPECT_EQ(w.world().getStartFrame(), 0.0f);
             EXPECT_EQ(w.world().getEndFrame(), 200.0f) << "the play range reaches the pushed key";
         }},
        {"end button, never offered", 7, none, none, pressFrameButton(kgiGLFrameButtons::BUTTON_END), {NG}, 7},
        {"to the start", 7, none, none, pressFrameButton(kgiGLFrameButtons::BUTTON_BEGIN), {OK}, 8, false, {at8},
         [](Walk& w) { EXPECT_EQ(w.world().getCurrentTime(), 0.0f); }},
        {"play", 8, none, none, pressFrameButton(kgiGLFrameButtons::BUTTON_PLAY), {OK}, 9, true, {at9}},
        // The opening moves on to step 10, shown below beside the dialog;
        // the lesson waits while the dialog is open. The cancel goes back,
        // showing step 10's text above as it goes, and step 9 is set up
        // again.
        {"save as cancelled", 9, {10, 19}, none, [](Walk& w) { saveAs(w, ""); }, {OK, NG}, 9, false,
         {{10, LOWER}, at10, at9}},
        // The save ends step 10; the closing text comes with the final
        // step's wait.
        {"saved as", 9, {10, 19}, none, [](Walk& w) { saveAs(w, savedPath()); }, {OK, OK}, FINAL_STEP, false,
         {{10, LOWER}},
         [](Walk& w) {
             EXPECT_TRUE(std::filesystem::exists(savedPath()));
             EXPECT_EQ(w.dialogs().shown.size(), 2u);
         }},
    };
    ASSERT_TRUE(walk.walkRows(FINAL_STEP, rows));

    EXPECT_TRUE(walk.walkToEnd(FINAL_STEP));
    EXPECT_EQ(walk.titleSuffix(), "     Step4") << "the suffix once";
}

} // namespace
