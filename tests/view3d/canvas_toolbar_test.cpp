// The tool-bar strip of a real 3D canvas: the shared buttons and their
// layout, the values after create, what the buttons do to the canvas, the
// camera pictures per language, pointer input through the X server, and
// what a user sees.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "canvas_commands_fixture.h"
#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiButtonBar.h"
#include "kgiButtonState.h"
#include "kgiCanvasToolBar.h"
#include "kgiCharacter.h"
#include "kgiPicture.h"
#include "kgiWorld.h"
#include "kmlVec4.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"
#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiWindowTest.h"

namespace {

namespace fs = std::filesystem;
using TB = kgi3dViewToolbar;
using Rgb = kgiTestImage::Rgb;
const Rgb STRIP = {199, 199, 199};
// The top-left pixel of each look of the generated pictures.
const Rgb LOOK_NORMAL = {120, 124, 136};
const Rgb LOOK_HOVER = {255, 150, 20};
const Rgb LOOK_PUSHED = {40, 44, 56};

struct StripWindow {
    kgiTestWindow window;
    kgi3dCanvas* canvas;
    int height;

    explicit StripWindow(int width = 640, int h = 450)
        : window(width, h), canvas(new kgi3dCanvas(window.shell(), kgiTestWindow::glVisual())), height(h)
    {
        window.show();
        EXPECT_TRUE(window.runUntil([this] { return canvas->getPaintCount() > 0; })) << "never painted";
    }
    kgiButtonBar* bar() const { return canvas->getToolbar(); }
    kgiTestImage repaint()
    {
        const long before = canvas->getPaintCount();
        canvas->update();
        window.runUntil([&] { return canvas->getPaintCount() > before; });
        return window.grab();
    }
    // A click on entry i through the strip, as the pointer handlers give it.
    void click(int i)
    {
        bar()->hover(bar()->getState(i)->getX() + 16, 17);
        bar()->press();
        bar()->release();
    }
    // Window pixels: the middle of entry i, and its picture's top-left pixel.
    int middleX(int i) const { return bar()->getState(i)->getX() + 16; }
    int stripY() const { return height - 17; }
    Rgb lookOf(const kgiTestImage& img, int i) const { return img.at(bar()->getState(i)->getX(), height - 33); }
};

// The camera's viewing direction in the world.
kmlVec4 viewDirection(const kgi3dCanvas* c)
{
    return c->getViewpoint()->getMatrix() * kmlVec4(0.0f, 0.0f, -1.0f, 0.0f);
}

bool near(const kmlVec4& v, float x, float y, float z)
{
    return std::fabs(v.get(0) - x) < 1e-3f && std::fabs(v.get(1) - y) < 1e-3f && std::fabs(v.get(2) - z) < 1e-3f;
}

TEST(CanvasToolbar, SharedButtonsLayOutFromBothEndsAndHideWhatDoesNotFit)
{
    KGI_REQUIRE_TEST_APP();
    kgiTestRemoveCharacters();
    StripWindow w;
    TB tb;
    tb.createButtons(TB::imageFolderOf(kgiTestBaseDir()));
    ASSERT_EQ(tb.getButtonCount(), TB::ENTRY_COUNT);
    std::unique_ptr<kgiButtonBar> bar(tb.createBar(w.canvas, 608, 32, 1, 1, 1, 1, 1, 1));
    EXPECT_EQ(bar->preferredWidth(), 608);
    EXPECT_EQ(bar->preferredHeight(), 34);
    const float* colour = bar->getColor();
    EXPECT_FLOAT_EQ(colour[0], 0.78f);

    // Entry: -1 hidden, else its x; every y is 1.
    struct Case {
        int width;
        std::vector<int> x;
    };
    const std::vector<int> left = {1, 34, 50, 83, 116, 147};
    auto row = [&](std::vector<int> right) {
        std::vector<int> all = left;
        all.insert(all.end(), right.begin(), right.end());
        return all;
    };
    const Case cases[] = {
        {608, row({575, 542, 509, 476, 443, 410, 394, 361, 328, 295, 262, 246, 213, 180})},
        {607, row({574, 541, 508, 475, 442, 409, 393, 360, 327, 294, 261, 245, 212, -1})},
        // The 15-pixel gap after initialization would fit but stays hidden.
        {300, row({267, 234, 201, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1})},
        {100, {1, 34, 50, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        bar->layoutButtons(c.width, 34);
        for (int i = 0; i < TB::ENTRY_COUNT; ++i) {
            const kgiButtonState* s = bar->getState(i);
            SCOPED_TRACE(std::to_string(c.width) + " entry " + std::to_string(i));
            EXPECT_EQ(s->isVisible(), c.x[size_t(i)] >= 0);
            if (c.x[size_t(i)] >= 0) {
                EXPECT_EQ(s->getX(), c.x[size_t(i)]);
            }
            EXPECT_EQ(s->getY(), 1);
        }
    }
    bar.reset();
}

TEST(CanvasToolbar, CreatePushesIkGridAndPerspectiveAndEachCanvasKeepsItsValues)
{
    KGI_REQUIRE_TEST_APP();
    kgiTestRemoveCharacters();
    StripWindow first(300, 200);
    TB& shared = TB::shared();
    ASSERT_EQ(shared.getButtonCount(), TB::ENTRY_COUNT);
    kgiToolbarButton* key = shared.getButton(TB::KEY);

    std::vector<int> v;
    first.bar()->getStateValues(v);
    EXPECT_EQ(v, (std::vector<int>{0, 4, 2, 0, 4, 0, 2, 0, 0, 0, 0, 0, 4, 0, 0, 0, 2, 4, 0, 0}));
    kgi3dCanvas* c = first.canvas;
    EXPECT_EQ(c->getMouseMode(), 2);
    EXPECT_TRUE(c->isGridVisible());
    EXPECT_FALSE(c->isGhostVisible());
    EXPECT_FALSE(c->isCentreOfGravityVisible());
    EXPECT_FALSE(c->isMotionMode());
    EXPECT_FALSE(c->isMirrorMode());
    EXPECT_EQ(c->getViewport()->getProjMode(), ksgViewportState::PERSPECTIVE);
    EXPECT_EQ(c->getToolbarHeight(), 34);
    EXPECT_EQ(c->getSceneHeight(), 200 - 34);

    first.click(TB::GRID);
    EXPECT_FALSE(c->isGridVisible());
    StripWindow second(300, 200);
    EXPECT_EQ(shared.getButton(TB::KEY), key) << "the second canvas loaded no buttons";
    EXPECT_EQ(shared.getButtonCount(), TB::ENTRY_COUNT);
    EXPECT_NE(second.bar(), first.bar());
    EXPECT_EQ(second.bar()->getStateValue(TB::GRID), 2);
    EXPECT_TRUE(second.canvas->isGridVisible());
    EXPECT_EQ(first.bar()->getStateValue(TB::GRID), 0);
}

TEST(CanvasToolbar, ButtonsSelectModesCamerasAndMirrorInAndOutOfLessons)
{
    KGI_REQUIRE_TEST_APP();
    kgiTestRemoveCharacters();
    StripWindow w;
    kgi3dCanvas* c = w.canvas;

    // IK, FK and the motion-mode switch.
    struct ModeStep {
        int entry;
        int mode;
    };
    const ModeStep modes[] = {{TB::FK, 3}, {TB::MOTION_MODE, 6}, {TB::IK, 7}, {TB::MOTION_MODE, 2}, {TB::IK, 2}};
    for (const ModeStep& m : modes) {
        w.click(m.entry);
        EXPECT_EQ(c->getMouseMode(), m.mode) << "entry " << m.entry;
    }

    kgiStandInLesson lesson;
    kgiTestApp()->setLessonManager(&lesson);
    for (int lessonMode : {0, 1}) {
        SCOPED_TRACE(lessonMode);
        lesson.mode = lessonMode;
        c->getViewpoint()->setBaseOrientation(0, 0, 0);
        // Each click from the preset before; a pushed camera button swaps views.
        struct Step {
            int entry;
            float x, y, z;
            int plane;
        };
        const Step steps[] = {
            {TB::CAMERA_TOP, 0, -1, 0, 2},   {TB::CAMERA_TOP, 0, 1, 0, 2},    {TB::CAMERA_TOP, 0, -1, 0, 2},
            {TB::CAMERA_SIDE, -1, 0, 0, 0},  {TB::CAMERA_SIDE, 1, 0, 0, 0},   {TB::CAMERA_FRONT, 0, 0, -1, 1},
            {TB::CAMERA_FRONT, 0, 0, 1, 1},
        };
        for (const Step& s : steps) {
            w.click(s.entry);
            EXPECT_EQ(c->getViewport()->getProjMode(), ksgViewportState::ORTHO);
            EXPECT_TRUE(near(viewDirection(c), s.x, s.y, s.z)) << "entry " << s.entry;
            EXPECT_EQ(c->getGridPlane(), s.plane);
            for (int other : {TB::CAMERA_TOP, TB::CAMERA_SIDE, TB::CAMERA_FRONT, TB::CAMERA_PERSPECTIVE})
                if (other != s.entry) {
                    EXPECT_EQ(w.bar()->getStateValue(other), 0);
                }
        }
        w.click(TB::CAMERA_PERSPECTIVE);
        EXPECT_EQ(c->getViewport()->getProjMode(), ksgViewportState::PERSPECTIVE);
        EXPECT_EQ(c->getGridPlane(), 2);
        EXPECT_TRUE(near(viewDirection(c), 0, 0, 1)) << "the perspective camera keeps the orientation";

        // The mirror switch reaches the world only outside a lesson.
        kgiWorld::instance()->setMirrorMode(false);
        w.click(TB::MIRROR);
        EXPECT_TRUE(c->isMirrorMode());
        EXPECT_EQ(kgiWorld::instance()->getMirrorMode(), lessonMode == 0);
        w.click(TB::MIRROR);
        EXPECT_FALSE(c->isMirrorMode());
        EXPECT_FALSE(kgiWorld::instance()->getMirrorMode());
    }
    kgiTestApp()->setLessonManager(nullptr);
}

TEST(CanvasToolbar, UndoAndRedoButtonsReachThePoseHistoryOutsideLessons)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
    StripWindow w;
    const std::vector<kmlMatrix4> before = kgiTestPose(robot->getRoot());
    robot->addPoseUndo();
    ASSERT_TRUE(kgiTestTurnJoint(robot, "LShoulder", 35.0f));
    const std::vector<kmlMatrix4> edited = kgiTestPose(robot->getRoot());

    kgiStandInLesson lesson;
    lesson.mode = 1;
    kgiTestApp()->setLessonManager(&lesson);
    w.click(TB::UNDO);
    EXPECT_EQ(kgiTestPoseDiff(kgiTestPose(robot->getRoot()), edited), 0.0f) << "nothing in a lesson";
    EXPECT_TRUE(w.canvas->onUndoPose());
    kgiTestApp()->setLessonManager(nullptr);

    w.click(TB::UNDO);
    EXPECT_LT(kgiTestPoseDiff(kgiTestPose(robot->getRoot()), before), 1e-4f);
    w.click(TB::REDO);
    EXPECT_LT(kgiTestPoseDiff(kgiTestPose(robot->getRoot()), edited), 1e-4f);
    EXPECT_FALSE(w.canvas->onRedoPose()) << "nothing left to redo";
    kgiTestRemoveCharacters();
    EXPECT_FALSE(w.canvas->onUndoPose()) << "no character";
}

TEST(CanvasToolbar, PushButtonReleasedOverTheSceneIsReadyForTheNextPress)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
    StripWindow w;
    const std::vector<kmlMatrix4> start = kgiTestPose(robot->getRoot());
    robot->addPoseUndo();
    ASSERT_TRUE(kgiTestTurnJoint(robot, "LShoulder", 20.0f));
    robot->addPoseUndo();
    ASSERT_TRUE(kgiTestTurnJoint(robot, "LShoulder", 40.0f));

    // Press undo in the strip, drag off and release over the scene.
    w.window.movePointer(w.middleX(TB::UNDO), w.stripY());
    w.window.settle();
    EXPECT_EQ(w.bar()->getStateValue(TB::UNDO), 1);
    w.window.pressButton(1);
    w.window.settle();
    EXPECT_EQ(w.bar()->getStateValue(TB::UNDO), 2);
    w.window.movePointer(w.middleX(TB::UNDO), 100);
    w.window.settle();
    w.window.releaseButton(1);
    w.window.settle();
    EXPECT_NE(w.bar()->getStateValue(TB::UNDO), 2) << "the button stuck pushed";
    w.window.movePointer(w.middleX(TB::UNDO), 100);
    w.window.settle();
    EXPECT_EQ(w.bar()->getStateValue(TB::UNDO), 0);

    w.window.click(w.middleX(TB::UNDO), w.stripY());
    w.window.settle();
    EXPECT_LT(kgiTestPoseDiff(kgiTestPose(robot->getRoot()), start), 1e-4f) << "two undo steps ran";
    kgiTestRemoveCharacters();
}

TEST(CanvasToolbar, LessonLockLeavesEveryButtonAsItWas)
{
    KGI_REQUIRE_TEST_APP();
    kgiTestRemoveCharacters();
    StripWindow w;
    std::vector<int> before;
    w.bar()->getStateValues(before);
    kgiStandInLesson lesson;
    lesson.mode = 1;
    lesson.permissions[1] = false;
    kgiTestApp()->setLessonManager(&lesson);
    testing::internal::CaptureStderr();
    w.window.click(w.middleX(TB::FK), w.stripY());
    w.window.settle();
    const std::string err = testing::internal::GetCapturedStderr();
    kgiTestApp()->setLessonManager(nullptr);
    EXPECT_NE(err.find("The command is locked."), std::string::npos);
    std::vector<int> after;
    w.bar()->getStateValues(after);
    after[TB::FK] = after[TB::FK] == 1 ? 0 : after[TB::FK];  // hovering is no change
    EXPECT_EQ(after, before);
    EXPECT_EQ(w.canvas->getMouseMode(), 2);
}

TEST(CanvasToolbar, CameraPicturesFollowTheLanguageAndMissingFilesStayEmpty)
{
    // A copy of the pictures with smaller Japanese camera pictures, and
    // without the key button's files and one of the ghost button's.
    const fs::path dir = fs::path(::testing::TempDir()) / ("strip_pictures_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "cam_jp");
    const fs::path staged = TB::imageFolderOf(kgiTestBaseDir());
    if (!fs::exists(staged / "grid_normal.bmp"))
        GTEST_SKIP() << "no staged pictures";
    for (const auto& e : fs::directory_iterator(staged))
        if (e.is_regular_file())
            fs::copy_file(e.path(), dir / e.path().filename());
    for (const auto& e : fs::directory_iterator(staged / "cam_jp"))
        ASSERT_EQ(kgiPicture(20, 24, kgiRgb(1, 2, 3)).writeBmp((dir / "cam_jp" / e.path().filename()).string()), "");
    for (const char* gone : {"key_normal.bmp", "key_onMouse.bmp", "key_pushed.bmp", "ghost_onMouse.bmp"})
        fs::remove(dir / gone);

    TB tb;
    tb.createButtons(dir.string());
    EXPECT_EQ(tb.getButton(TB::KEY)->getWidth(), 0) << "no picture: nothing to draw or hit";
    EXPECT_EQ(tb.getButton(TB::GHOST)->getWidth(), 32) << "the other ghost pictures load";
    for (int language : {1, 0, 1}) {
        tb.loadCameraButtonImages(dir.string(), language);
        for (int e : {TB::CAMERA_TOP, TB::CAMERA_SIDE, TB::CAMERA_FRONT, TB::CAMERA_PERSPECTIVE}) {
            EXPECT_EQ(tb.getButton(e)->getWidth(), language == 1 ? 20 : 32) << language << " entry " << e;
            EXPECT_EQ(tb.getButton(e)->getHeight(), language == 1 ? 24 : 32);
        }
        EXPECT_EQ(tb.getButton(TB::GRID)->getWidth(), 32) << "only the camera buttons reload";
    }
    fs::remove_all(dir);
}

TEST(CanvasToolbar, UserSeesTheStripAndItsButtonsChangeTheView)
{
    KGI_REQUIRE_TEST_APP();
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    StripWindow w;
    const kgiTestImage shot = w.repaint();
    shot.save("canvas_toolbar");
    const int stripTop = w.height - 34;
    // The strip's grey in the gaps and margins.
    EXPECT_EQ(shot.count(34, stripTop + 1, 15, 32, STRIP, 2), 15 * 32) << "the gap after the key";
    EXPECT_EQ(shot.count(0, w.height - 1, 640, 1, STRIP, 2), 640) << "the bottom margin";
    for (int i = 0; i < TB::ENTRY_COUNT; ++i) {
        if (w.bar()->getState(i)->getValue() == kgiButtonState::SPACER)
            continue;
        const bool pushed = i == TB::IK || i == TB::GRID || i == TB::CAMERA_PERSPECTIVE;
        EXPECT_EQ(w.lookOf(shot, i), pushed ? LOOK_PUSHED : LOOK_NORMAL) << "entry " << i;
    }

    // Over the key button: its hover picture.
    w.window.movePointer(w.middleX(TB::KEY), w.stripY());
    w.window.runUntil([&] { return w.bar()->getStateValue(TB::KEY) == 1; });
    EXPECT_EQ(w.lookOf(w.repaint(), TB::KEY), LOOK_HOVER);

    // A click on grid takes the floor grid away.
    const float* g = kgiTestApp()->getSettings().gridColor;
    const Rgb grid = {int(g[0] * 255 + 0.5f), int(g[1] * 255 + 0.5f), int(g[2] * 255 + 0.5f)};
    const int gridPixels = shot.count(0, 250, 640, 150, grid, 2);
    ASSERT_GT(gridPixels, 500);
    w.window.click(w.middleX(TB::GRID), w.stripY());
    w.window.runUntil([&] { return !w.canvas->isGridVisible(); });
    EXPECT_LT(w.repaint().count(0, 250, 640, 150, grid, 2), gridPixels / 20);
    w.window.click(w.middleX(TB::GRID), w.stripY());
    w.window.runUntil([&] { return w.canvas->isGridVisible(); });

    // Top: from above, the grid an even lattice around the robot; again: from below.
    w.window.click(w.middleX(TB::CAMERA_TOP), w.stripY());
    w.window.runUntil([&] { return w.bar()->getStateValue(TB::CAMERA_TOP) == 2; });
    const kgiTestImage top = w.repaint();
    top.save("canvas_toolbar_top");
    EXPECT_TRUE(near(viewDirection(w.canvas), 0, -1, 0));
    std::vector<int> lines;
    for (int x = 0; x < 640; ++x)
        if (top.count(x, 5, 1, 1, grid, 2) == 1 && (lines.empty() || lines.back() != x - 1))
            lines.push_back(x);
    ASSERT_GE(lines.size(), 4u) << "grid lines across the top row";
    for (size_t i = 2; i < lines.size(); ++i)
        EXPECT_NEAR(lines[i] - lines[i - 1], lines[1] - lines[0], 2) << "uneven lattice";
    w.window.click(w.middleX(TB::CAMERA_TOP), w.stripY());
    w.window.runUntil([&] { return w.bar()->getStateValue(TB::CAMERA_TOP) == 3; });
    EXPECT_TRUE(near(viewDirection(w.canvas), 0, 1, 0));
    w.repaint().save("canvas_toolbar_bottom");
    w.click(TB::CAMERA_PERSPECTIVE);

    // A narrow canvas shows no button where it hides them.
    StripWindow narrow(300, 200);
    const kgiTestImage small = narrow.repaint();
    small.save("canvas_toolbar_narrow");
    // Between the motion-mode button and the centre-of-gravity button.
    EXPECT_EQ(small.count(180, 200 - 33, 20, 32, STRIP, 2), 20 * 32);
    kgiTestRemoveCharacters();
}

} // namespace
