// The normal course as a user runs it after its lesson, under X with the
// real windows on the staged base directory: the program started in lesson
// 6, File > New puts the course beside the robot, the sample tab reads
// No.34 and adds No.10 twice, the time line's buttons go to the start and play, and the 3D
// view's stopwatch counts while the robot walks and stands still once it
// has crossed the goal line. The manager's clock is the test's, so the
// watch shows the seconds the test lets pass.
#include "kgiLessonManager.h"

#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiGLFrameButtons.h"
#include "kgiGLTsMgr.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiScene.h"
#include "kgiTables.h"
#include "kgiTimesheetCanvas.h"
#include "kgiTimesheetWindow.h"
#include "kgiViewCanvas.h"
#include "kgiWorld.h"
#include "kgiWorldLinks.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "ksgViewpoint.h"
#include "kutTime.h"

#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

float testClock = 0.0f;
// Added at every read while the lesson's introduction waits for its 2 s.
float testClockStep = 0.0f;

// The manager the program would install, on the test's clock.
kgiLessonManager& courseManager() {
    static kgiLessonManager manager;
    manager.setClock([] { return testClock += testClockStep; });
    return manager;
}

// The 3D view's canvas painted once more; its pixels.
kgiTestImage paintedView(kgiApp& app) {
    if (app.getCanvases().empty()) return kgiTestImage();
    auto* canvas = dynamic_cast<kgi3dCanvas*>(app.getCanvases()[0]);
    if (!canvas) return kgiTestImage();
    const long before = canvas->getPaintCount();
    canvas->update();
    // The idle passes that bring the paint play on by the real time since
    // the previous one: held to the few milliseconds between two passes,
    // so that the test's steps, not the machine's speed, move playback.
    // A loaded machine can take seconds to bring it: a paint that never
    // came would leave the stopwatch one reading behind, so wait long and
    // say so when it does not come.
    kutResetTime();
    const bool painted = kgiTestRunUntil(
        [&] {
            kutResetTime();
            return canvas->getPaintCount() > before;
        },
        20000);
    if (!painted) {
        ADD_FAILURE() << "the 3D view was not painted";
        return kgiTestImage();
    }
    return kgiTestGrab(canvas);
}

// A left press on frame button i (0 to start, 1 play or stop), where the
// time line shows it.
bool pressFrameButton(kgiGLFrameButtons* buttons, int i) {
    const int width = 2 * buttons->getHalfWidth() / 3;
    const int x = buttons->getGroupX() + width * i + width / 2;
    const int y = (buttons->getY() + buttons->getPictureBottom()) / 2;
    return buttons->onMouse(kgiGLWidget::BUTTON_LEFT, kgiGLWidget::ACTION_PRESS, 0, x, y);
}

// The stopwatch at the view's top left stays readable whatever lies behind
// it: its white figures on a backing that darkens what is there (a light
// floor, the robot's white parts) to under half of white.
void expectReadableStopwatch(const kgiTestImage& shot, const char* what) {
    // The figures' cell: 5 pixels from the left, the baseline 30 below the
    // top, "0.00" to "999.99" about 55 to 85 pixels wide.
    int dark = 0, white = 0, all = 0;
    for (int y = 6; y < 34; ++y)
        for (int x = 3; x < 55; ++x) {
            const kgiTestImage::Rgb p = shot.at(x, y);
            const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
            dark += hi <= 110;
            white += lo >= 230;
            ++all;
        }
    EXPECT_GT(white, 30) << what << ": the white figures";
    EXPECT_GT(dark, all / 2) << what << ": the dark backing around them";
}

// Canvas 0's camera.
kmlMatrix4 canvasView(const kgiApp& app) {
    const std::vector<kgiViewCanvas*>& canvases = app.getCanvases();
    const ksgViewpoint* vp = canvases.empty() ? nullptr : canvases[0]->getViewpoint();
    return vp ? vp->getMatrix() : kmlMatrix4();
}

void expectSameView(const kmlMatrix4& view, const kmlMatrix4& expected, const char* what) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(view(r, c), expected(r, c), 1e-3f) << what << " at " << r << "," << c;
}

// Pixels of the stopwatch's corner that are not the view's background.
int textPixels(const kgiTestImage& shot) {
    const kgiTestImage::Rgb background = shot.at(shot.width - 3, 3);
    const int all = 90 * 30;
    return all - shot.count(0, 0, 90, 30, background, 8);
}

TEST(LessonCourseWindow, TheStopwatchCountsWhileTheRobotWalksAndStandsAtTheGoal) {
    KGI_REQUIRE_TEST_APP();
    kgiApp& app = *kgiTestApp();
    kgiWorld* world = kgiWorld::instance();
    // The program installs the joint table before start-up.
    kgiRobotJointTable::instance();
    kgiLessonManager& manager = courseManager();
    app.setLessonManager(&manager);
    kgiAppMakers makers;
    makers.optionsDialog = &kgiOptionsDialog::make;
    app.setMakers(makers);
    auto* main = new kgiTimesheetWindow(&app);
    main->create();
    app.setMainWindow(main);
    app.setTimelineCanvas(main->timelineCanvas());
    ASSERT_TRUE(kgiTestRunUntil([&] { return main->shown() && !app.getCanvases().empty(); }));

    // Started as "Zodarovu0 6", with the lesson's steps over at once (its
    // walk has a test of its own): the editor unlocked and the normal
    // course chosen, as after the lesson's final step.
    char arg0[] = "Zodarovu0";
    char arg1[] = "6";
    char* argv[] = {arg0, arg1, nullptr};
    kgiTestRemoveCharacters();
    testClockStep = 0.5f;
    app.startUp(2, argv);
    testClockStep = 0.0f;
    ASSERT_NE(world->getCurrentCharacter(), nullptr);
    EXPECT_TRUE(app.isLessonMode());
    // The introduction turned the view to the course. Every later load of
    // the course shows that view again, not one turned further.
    const kmlMatrix4 courseView = canvasView(app);
    ASSERT_NE(app.getCourseFile(), nullptr);
    expectSameView(canvasView(app), courseView, "the course loaded a second time");
    std::vector<kgiCharacter*> loaded;
    world->getCharacters()->listAll(loaded);
    EXPECT_EQ(loaded.size(), 3u) << "the robot and the course twice";
    manager.reset();
    EXPECT_FALSE(app.isLessonMode());
    EXPECT_TRUE(app.hasCourseTime());

    // File > New: the robot again, and the course beside it.
    ASSERT_TRUE(main->newProject());
    kgiCharacter* robot = world->getCurrentCharacter();
    ASSERT_NE(robot, nullptr);
    ASSERT_EQ(world->getCharacters()->size(), 2);
    std::vector<kgiCharacter*> all;
    world->getCharacters()->listAll(all);
    kgiCharacter* course = all[0] == robot ? all[1] : all[0];
    ASSERT_NE(course->getRoot(), nullptr);
    expectSameView(canvasView(app), courseView, "File > New");
    const std::vector<ksgTransform*> roots = kgiWorldLinks::sceneBase(world->getScene())->getRoots();
    EXPECT_NE(std::find(roots.begin(), roots.end(), course->getRoot()->asTransform()), roots.end());

    kgiTestImage shot = paintedView(app);
    shot.save("course_new");
    EXPECT_EQ(app.getCourseTime(), 0.0f);
    EXPECT_GT(textPixels(shot), 20) << "\"0.00\" at the view's top left";
    expectReadableStopwatch(shot, "at the start");

    // The sample tab: read No.34, add No.10 twice.
    app.showOptionsDialog(true);
    auto* options = dynamic_cast<kgiOptionsDialog*>(app.getOptionsDialog());
    ASSERT_NE(options, nullptr);
    FX::FXList* samples = options->widgets().sampleList;
    ASSERT_GE(samples->getNumItems(), 34);
    samples->setCurrentItem(33);
    options->handle(options, FXSEL(FX::SEL_COMMAND, kgiOptionsDialog::ID_SAMPLE_READ), nullptr);
    samples->setCurrentItem(9);
    options->handle(options, FXSEL(FX::SEL_COMMAND, kgiOptionsDialog::ID_SAMPLE_ADD), nullptr);
    options->handle(options, FXSEL(FX::SEL_COMMAND, kgiOptionsDialog::ID_SAMPLE_ADD), nullptr);
    const float lastKey = world->getLastKeyTime();
    ASSERT_GT(lastKey, 0.0f);

    // To the start, and play.
    kgiGLFrameButtons* buttons = main->getCanvas()->getManager()->getFrameButtons();
    ASSERT_TRUE(pressFrameButton(buttons, kgiGLFrameButtons::BUTTON_BEGIN));
    paintedView(app);
    ASSERT_TRUE(pressFrameButton(buttons, kgiGLFrameButtons::BUTTON_PLAY));
    ASSERT_TRUE(world->isPlaying());

    // Walk: a tenth of a second of the test's clock and of playback per
    // step, a paint after each.
    std::vector<float> shown;
    float goalAt = -1.0f;
    for (int i = 0; i < 2000 && world->isPlaying() && goalAt < 0.0f; ++i) {
        testClock += 0.1f;
        world->advancePlaybackBy(0.1f, false);
        paintedView(app);
        shown.push_back(manager.getCourseTimeValue());
        if (manager.getCourseState() == 2) goalAt = testClock;
    }
    ASSERT_GT(goalAt, 0.0f) << "the robot did not cross the goal line (frame " << world->getCurrentTime()
                            << " of " << lastKey << ")";
    EXPECT_GT(robot->getRoot()->getBounds().getMin()[2], kgiLessonManager::GOAL_LINE_Z);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    const float frozen = manager.getCourseTimeValue();
    // It counted the test's clock from the first paint past frame 0 to the
    // last reading before the goal (how many steps the walk takes depends on
    // how much real time the passes in between let playback run). That
    // reading was in the step before the goal or, when playback moved on
    // between two readings of one step, in the goal's own step.
    const float startedAt = manager.getCourseStartTime();
    EXPECT_GT(frozen, 0.0f) << "it counted while the robot walked";
    EXPECT_GE(frozen, goalAt - 0.1f - startedAt - 1e-3f);
    EXPECT_LE(frozen, goalAt - startedAt + 1e-3f);

    // It stands at the goal while the clock and playback go on.
    for (int i = 0; i < 5 && world->isPlaying(); ++i) {
        testClock += 0.5f;
        world->advancePlaybackBy(0.5f, false);
        paintedView(app);
    }
    testClock += 5.0f;
    shot = paintedView(app);
    shot.save("course_goal");
    EXPECT_EQ(manager.getCourseTimeValue(), frozen);
    EXPECT_GT(textPixels(shot), 20);
    expectReadableStopwatch(shot, "at the goal");

    world->setPlaying(false);
    app.setLessonManager(nullptr);
    app.setMainWindow(nullptr);
    app.setTimelineCanvas(nullptr);
    delete main;
    kgiTestRemoveCharacters();
}

} // namespace
