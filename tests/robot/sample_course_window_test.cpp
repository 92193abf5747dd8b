// The course lessons' runs as a user builds them: the course scene loaded
// beside the factory robot, the start sample read and the moves added with
// the options window's Read and Add, for each base part the settings can
// name. The run must start before the start line, end past the goal line,
// keep over the lane and clear of the wall. Pictures of the sample tab and
// of the normal course as the lesson turns the view are kept beside the
// test's output.
#include "kgiApp.h"
#include "kgiAppServices.h"
#include "kgiCharacter.h"
#include "kgiLessonManager.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"
#include "ksgNode.h"

#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiWindowTest.h"
#include "view3d/window_3d_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The start line and the goal line of both courses, and how far the robot
// keeps from them.
const float START_LINE = 2.1f;
const float GOAL_LINE = 24.8f;
const float MARGIN = 0.5f;
// The shipped key limit: no "Warning - 153" in a lesson.
const size_t KEYS_MAX = 150;

// Boxes are kept, not shown.
struct RecordingServices : kgiAppServices {
    explicit RecordingServices(const kgiApp& a) : kgiAppServices(a) {}
    std::vector<std::string> boxes;
    void showMessage(const std::string& caption, const std::string& text) override
    {
        boxes.push_back(caption + "|" + text);
    }
    bool askYesNo(const std::string& caption, const std::string& text) override
    {
        boxes.push_back(caption + "|" + text);
        return false;
    }
};

struct Lesson {
    const char* course;
    std::vector<int> rows; // read the first, add the others
};

// Lesson 6 on the normal course, lesson 7 on the obstacle course.
const Lesson NORMAL = {"nomalCource.ts", {34, 10, 10}};
const Lesson OBSTACLE = {"obsCource.ts", {39, 35, 10, 36, 10}};

class CourseRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_TEST_APP();
        app = kgiTestApp();
        kgiRobotJointTable::instance();
        services.reset(new RecordingServices(*app));
        kgiCharacterServices::install(services.get());
        kgiAppMakers makers = fakes.makers();
        makers.optionsDialog = &kgiOptionsDialog::make;
        app->setMakers(makers);
        app->setMainWindow(&fakes.mainWindow);
        app->setModelFolders("DORUZAVO_1");
        app->loadLanguage(0);
    }

    void TearDown() override
    {
        if (app == nullptr)
            return;
        app->deleteOptionsDialog();
        app->setMainWindow(nullptr);
        app->setMakers(kgiAppMakers());
        app->getSettings().addBasePart = "Body";
        kgiTestRemoveCharacters();
        kgiCharacterServices::install(nullptr);
    }

    // The factory robot current, the course beside it, the options window
    // open on the sample tab.
    kgiCharacter* loadCourse(const Lesson& run)
    {
        kgiTestRemoveCharacters();
        if (!kgiTestLoadFactoryRobot())
            return nullptr;
        robot = kgiWorld::instance()->getCurrentCharacter();
        const int robotId = kgiWorld::instance()->getCurrentId();
        kgiCharacter* course = kgiLessonManager::instance()->loadCourse(run.course, false);
        EXPECT_EQ(kgiWorld::instance()->getCurrentId(), robotId) << "the robot stays current";
        app->showOptionsDialog(true);
        dialog = dynamic_cast<kgiOptionsDialog*>(app->getOptionsDialog());
        if (dialog)
            dialog->widgets().tabBook->setCurrent(0);
        return dialog ? course : nullptr;
    }

    // Row n of the sample list chosen and read (the first) or added.
    void chain(const Lesson& run)
    {
        FX::FXList* list = dialog->widgets().sampleList;
        for (size_t i = 0; i < run.rows.size(); ++i) {
            list->setCurrentItem(run.rows[i] - 1);
            const FX::FXuint id = i == 0 ? kgiOptionsDialog::ID_SAMPLE_READ : kgiOptionsDialog::ID_SAMPLE_ADD;
            dialog->handle(list, FXSEL(FX::SEL_COMMAND, id), nullptr);
        }
    }

    kgcAxisAlignedBox robotAt(float t)
    {
        kgiWorld::instance()->setCurrentTime(t);
        return robot->getRoot()->getBounds();
    }

    kgiAppStandIns fakes;
    kgiApp* app = nullptr;
    std::unique_ptr<RecordingServices> services;
    kgiCharacter* robot = nullptr;
    kgiOptionsDialog* dialog = nullptr;
};

} // namespace

TEST_F(CourseRun, BothLessonsEndPastTheGoalForEveryBasePart)
{
    for (const Lesson* run : {&NORMAL, &OBSTACLE})
        for (const char* base : {"Body", "RAnkle2", "LAnkle2"}) {
            SCOPED_TRACE(std::string(run->course) + " on " + base);
            app->getSettings().addBasePart = base;
            kgiCharacter* course = loadCourse(*run);
            ASSERT_NE(course, nullptr);
            chain(*run);
            EXPECT_TRUE(services->boxes.empty()) << services->boxes.front();
            const std::vector<float> keys = robot->getKeyTimes();
            ASSERT_FALSE(keys.empty());
            EXPECT_LE(keys.size(), KEYS_MAX);

            const kgcAxisAlignedBox lane = course->findNode("Lane")->getBounds();
            ksgNode* wallNode = course->findNode("Wall");
            EXPECT_EQ(wallNode != nullptr, run == &OBSTACLE);
            for (float t : keys) {
                const kgcAxisAlignedBox b = robotAt(t);
                EXPECT_GE(b.getMin()[0], lane.getMin()[0]) << "off the lane at " << t;
                EXPECT_LE(b.getMax()[0], lane.getMax()[0]) << "off the lane at " << t;
                EXPECT_GE(b.getMin()[2], lane.getMin()[2]) << "off the lane at " << t;
                EXPECT_LE(b.getMax()[2], lane.getMax()[2]) << "off the lane at " << t;
                if (wallNode) {
                    const kgcAxisAlignedBox wall = wallNode->getBounds();
                    bool apart = false;
                    for (int k = 0; k < 3; ++k)
                        apart = apart || b.getMax()[k] <= wall.getMin()[k] || b.getMin()[k] >= wall.getMax()[k];
                    EXPECT_TRUE(apart) << "into the wall at " << t;
                }
            }
            EXPECT_LE(robotAt(0.0f).getMax()[2], START_LINE - MARGIN) << "starts before the start line";
            EXPECT_GE(robotAt(keys.back()).getMin()[2], GOAL_LINE + MARGIN) << "ends past the goal line";
        }
}

TEST_F(CourseRun, PicturesOfTheSampleTabAndTheCoursesAsTheLessonTurnsTheViewWithTheLaneInView)
{
    ASSERT_NE(loadCourse(NORMAL), nullptr);
    // The sample tab with row 13 chosen, as lesson 1 asks.
    dialog->widgets().sampleList->setCurrentItem(12);
    dialog->widgets().sampleList->makeItemVisible(12);
    EXPECT_EQ(dialog->widgets().sampleList->getNumItems(), 40);
    kgiTestRunUntil([] { return false; }, 20);
    EXPECT_NE(kgiTestGrab(dialog).save("sample_tab"), "");

    for (const Lesson* run : {&NORMAL, &OBSTACLE}) {
        const std::string name = run == &NORMAL ? "course_normal" : "course_obstacle";
        SCOPED_TRACE(name);
        // A view of its own: the lesson turns canvas 0 once from its start.
        kgiTest3dWindow view;
        kgi3dCanvas* canvas = view.window->getCanvas();
        kgiCharacter* course = loadCourse(*run);
        ASSERT_NE(course, nullptr);
        chain(*run);
        ASSERT_FALSE(robot->getKeyTimes().empty());
        app->showOptionsDialog(false);
        app->moveCanvasView(0, 60.0f, -25.0f, -22.0f, 10.0f, 3.0f);
        const float last = robot->getKeyTimes().back();
        for (const auto& shot : {std::make_pair(0.0f, "_start"), std::make_pair(last, "_goal")}) {
            kgiWorld::instance()->setCurrentTime(shot.first);
            app->redrawAll();
            const int painted = canvas->getPaintCount();
            EXPECT_TRUE(kgiTest3dWindow::run([&] { return canvas->getPaintCount() > painted; }));
            EXPECT_NE(kgiTestGrab(view.window).save(name + shot.second), "");
        }
        // Every corner of the lane's top shows in the canvas.
        const kgcAxisAlignedBox lane = course->findNode("Lane")->getBounds();
        for (float x : {lane.getMin()[0], lane.getMax()[0]})
            for (float z : {lane.getMin()[2], lane.getMax()[2]}) {
                const std::pair<int, int> p = kgiTestPixelOf(canvas, kmlVec3(x, lane.getMax()[1], z));
                EXPECT_TRUE(p.first >= 0 && p.first < canvas->getWidth() && p.second >= 0 &&
                            p.second < canvas->getSceneHeight())
                    << "corner " << x << ", " << z << " at " << p.first << ", " << p.second;
            }
    }
}
