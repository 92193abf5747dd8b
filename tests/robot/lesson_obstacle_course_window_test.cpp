// The obstacle course (lesson 7) as its samples play, frame by frame, on the
// shipped course scene: with the lesson's rows in the lesson's order (No.39,
// No.35, No.10, No.36, No.10) the robot steps over the bar and passes the
// wall before its whole body crosses the goal line, and no part of it meets
// the wall; without the side step (No.36) a part of it runs into the wall.
// The rows are read and added with the options window's Read and Add, as
// the lesson has the user do. Pictures of the lesson's run at its start and
// at the goal, as the lesson turns the view, are kept beside the test's
// output (obstacle_course_start.png, obstacle_course_goal.png).
#include "kgiApp.h"
#include "kgiAppServices.h"
#include "kgiCharacter.h"
#include "kgiCollisionCheck.h"
#include "kgiCollisionCheckParts.h"
#include "kgcOrientedBox.h"
#include "kgiLessonManager.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"
#include "ksgNode.h"

#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiWindowTest.h"
#include "view3d/window_3d_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Sequence {
    const char* what;
    std::vector<int> rows;  // read the first, add the others
    bool sideStep;
};

class ObstacleCourse : public ::testing::Test {
protected:
    void SetUp() override {
        KGI_REQUIRE_TEST_APP();
        app = kgiTestApp();
        kgiRobotJointTable::instance();
        services = std::make_unique<kgiAppServices>(*app);
        kgiCharacterServices::install(services.get());
        kgiAppMakers makers = fakes.makers();
        makers.optionsDialog = &kgiOptionsDialog::make;
        app->setMakers(makers);
        app->setMainWindow(&fakes.mainWindow);
        app->setModelFolders("DORUZAVO_1");
        app->loadLanguage(0);
    }

    void TearDown() override {
        if (app == nullptr) return;
        kgiWorld::instance()->setCurrentTime(0.0f);
        app->deleteOptionsDialog();
        app->setMainWindow(nullptr);
        app->setMakers(kgiAppMakers());
        kgiTestRemoveCharacters();
        kgiCharacterServices::install(nullptr);
    }

    // The factory robot, the obstacle course beside it, and the rows read
    // and added in the options window's sample tab.
    kgiCharacter* build(const Sequence& run) {
        kgiTestRemoveCharacters();
        if (!kgiTestLoadFactoryRobot()) return nullptr;
        robot = kgiWorld::instance()->getCurrentCharacter();
        kgiCharacter* course = kgiLessonManager::instance()->loadCourse("obsCource.ts", false);
        // Canvas 0 turned to the course as the lesson's introduction turns
        // it, the robot still where start-up put it.
        kgiLessonManager::instance()->showCourseView();
        app->showOptionsDialog(true);
        auto* dialog = dynamic_cast<kgiOptionsDialog*>(app->getOptionsDialog());
        if (!dialog) return nullptr;
        dialog->widgets().tabBook->setCurrent(0);
        FX::FXList* list = dialog->widgets().sampleList;
        for (std::size_t i = 0; i < run.rows.size(); ++i) {
            list->setCurrentItem(run.rows[i] - 1);
            const FX::FXuint id = i == 0 ? kgiOptionsDialog::ID_SAMPLE_READ : kgiOptionsDialog::ID_SAMPLE_ADD;
            dialog->handle(list, FXSEL(FX::SEL_COMMAND, id), nullptr);
        }
        app->showOptionsDialog(false);
        return course;
    }

    // Whether a part of the robot is in the wall at the current time: the
    // collision check's boxes of the robot's parts (each part child's mesh
    // box, placed as the model stands) against the wall's box. (The
    // editor's own check pairs only the robot's parts with each other.)
    bool partInWall(ksgNode* wall) {
        kgiPartTable* parts = kgiPartTable::installed();
        const kgcAxisAlignedBox w = wall->getBounds();
        kgcOrientedBox wallBox;
        wallBox.fromMinMax(w.getMin(), w.getMax());
        // Entry 0 is the model root, which the parts make up.
        for (int i = 1; parts && i < parts->getNodeCount(); ++i) {
            ksgNode* part = parts->getNode(i);
            for (int c = 0; part && c < part->getNumChildren(); ++c) {
                kgcOrientedBox box;
                if (kgiCollisionCheck::childPartBox(part, c, true, box) && box.collide(&wallBox)) return true;
            }
        }
        return false;
    }

    kgiAppStandIns fakes;
    kgiApp* app = nullptr;
    std::unique_ptr<kgiAppServices> services;
    kgiCharacter* robot = nullptr;
};

TEST_F(ObstacleCourse, TheRobotStepsOverTheBarAndSideStepsPastTheWallBeforeTheGoal) {
    const Sequence runs[] = {
        {"the lesson's rows", {39, 35, 10, 36, 10}, true},
        {"without the side step", {39, 35, 10, 10}, false},
    };
    for (const Sequence& run : runs) {
        SCOPED_TRACE(run.what);
        kgiTest3dWindow view;
        kgi3dCanvas* canvas = view.window->getCanvas();
        kgiCharacter* course = build(run);
        ASSERT_NE(course, nullptr);
        ksgNode* bar = course->findNode("LowBar");
        ksgNode* wall = course->findNode("Wall");
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(wall, nullptr);
        ASSERT_NE(kgiPartTable::installed(), nullptr);
        const kgcAxisAlignedBox barBox = bar->getBounds(), wallBox = wall->getBounds();
        const std::vector<float> keys = robot->getKeyTimes();
        ASSERT_FALSE(keys.empty());

        // Every frame as playback shows it, from the start.
        kgiWorld* world = kgiWorld::instance();
        float goalAt = -1.0f, firstHit = -1.0f;
        float reachedBeforeGoal = -1e9f;
        for (float t = 0.0f; t <= keys.back(); t += 1.0f) {
            world->setCurrentTime(t);
            const kgcAxisAlignedBox body = robot->getRoot()->getBounds();
            if (t == 0.0f) {
                EXPECT_LT(body.getMax()[2], kgiLessonManager::START_LINE_Z) << "behind the start line";
            }
            if (goalAt < 0.0f && body.getMin()[2] > kgiLessonManager::GOAL_LINE_Z) goalAt = t;
            if (goalAt < 0.0f) reachedBeforeGoal = std::max(reachedBeforeGoal, body.getMax()[2]);
            if (firstHit < 0.0f && partInWall(wall)) firstHit = t;
        }
        if (run.sideStep) {
            ASSERT_GT(goalAt, 0.0f) << "the whole robot never crossed the goal line";
            // The course as the lesson's view shows it, at the start and
            // as the robot's whole body has crossed the goal line.
            for (const auto& shot : {std::make_pair(0.0f, "obstacle_course_start"),
                                     std::make_pair(goalAt, "obstacle_course_goal")}) {
                world->setCurrentTime(shot.first);
                app->redrawAll();
                const long painted = canvas->getPaintCount();
                EXPECT_TRUE(kgiTest3dWindow::run([&] { return canvas->getPaintCount() > painted; }));
                EXPECT_NE(kgiTestGrab(view.window).save(shot.second), "");
            }
            EXPECT_GE(reachedBeforeGoal, barBox.getMax()[2]) << "the bar is passed before the goal";
            EXPECT_GE(reachedBeforeGoal, wallBox.getMax()[2]) << "the wall is passed before the goal";
            EXPECT_LT(firstHit, 0.0f) << "a part of the robot meets the wall at frame " << firstHit;
        } else {
            EXPECT_GE(firstHit, 0.0f) << "walking on without the side step runs into the wall";
        }
    }
}

}  // namespace
