// The program's own path from start-up to a first edit session on the
// factory robot: kgiApp loads the default project into the world's current
// character, the collision check runs on it, keys are added, moved, undone
// and redone through the character's key history, and a mirrored pose is
// undone through its pose history. Like the other start-up tests it runs in
// a child process, which owns the one FXApp.
// The application's header first: the toolkit's headers it pulls in must
// not clash with the character's and the model builder's names.
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCollisionCheck.h"
#include "kgiKeyUndo.h"
#include "kgiKmdData.h"
#include "kgiSceneCogMarkers.h"
#include "kgiSceneNodeGroup.h"
#include "kgiWorld.h"
#include "ksgNode.h"
#include "ksgTransform.h"

#include "core/child_process_test.h"
#include "core/pose_robot_fixture_test.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Pairs the robot's joints as the joint table does: every two joints
// (motion-file nodes) except a joint and the nearest joint above it.
struct JointPairs : kgiPartTable {
    static ksgNode* jointAbove(ksgNode* n) {
        for (ksgNode* p = n->getParent(); p; p = p->getParent())
            if (kgiIsMotionFileNode(p)) return p;
        return nullptr;
    }
    static void collect(ksgNode* n, std::vector<ksgNode*>& out) {
        for (; n; n = n->getSibling()) {
            if (kgiIsMotionFileNode(n)) out.push_back(n);
            collect(n->getChild(), out);
        }
    }
    bool checkPartCollisions(kgiCharacter* c, unsigned char flags[FLAG_COUNT]) override {
        std::vector<ksgNode*> joints;
        collect(c->getRoot(), joints);
        bool hit = false;
        for (size_t i = 0; i < joints.size(); ++i)
            for (size_t j = i + 1; j < joints.size(); ++j) {
                ksgNode* a = joints[i];
                ksgNode* b = joints[j];
                if (jointAbove(a) == b || jointAbove(b) == a) continue;
                hit = kgiCollisionCheck::instance()->checkPair(a, b, flags) || hit;
            }
        return hit;
    }
    void clearCollisionHits(kgiCharacter* c) override {
        kgiCollisionCheck::setSubtreeHit(c->getRoot(), false);
    }
    bool computeCenterOfGravity(kgiCharacter*, kmlVec3&) override { return false; }
};

void turn(ksgNode* n, float degrees) {
    kmlMatrix4 m = n->getLocal();
    m.rotate(degrees, kmlVec3(0.0f, 0.0f, 1.0f));
    n->asTransform()->setLocal(m);
}

kmlMatrix4 keyAt(ksgNode* n, float t) {
    return kgiTestRobot::evaluated(getMotionController(n), t);
}

void runSession(const fs::path& base) {
    // A message box would wait for a click that never comes.
    ::alarm(60);
    kgiWorld::instance();
    int argc = 1;
    char arg0[] = "Zodarovu0";
    char* argv[] = {arg0, nullptr};
    {
        kgiApp app(base.string());
        app.init(argc, argv, true);
        app.create();
        kgiWorld::instance()->setFps(10.0f);  // the load must set the robot's rate
        app.startUp(argc, argv);

        kgiWorld* world = kgiWorld::instance();
        kgiCharacter* robot = world->getCurrentCharacter();
        CHILD_CHECK(robot && robot->getRoot());
        CHILD_CHECK(world->getCurrentTime() == 0.0f);
        // The load set the robot's frame rate through the program's services.
        CHILD_CHECK(world->getFps() == kgiCharacter::FRAMES_PER_SECOND);
        for (const char* joint : {"Robot", "Body", "Head", "RShoulder", "LArm", "R_WR1", "LThigh", "RAnkle1"})
            CHILD_CHECK(robot->findNode(joint) && kgiIsMotionFileNode(robot->findNode(joint)));
        ksgNode* rShoulder = robot->findNode("RShoulder");
        ksgNode* rArm = robot->findNode("RArm");
        ksgNode* lArm = robot->findNode("LArm");

        // Collision check at rest: nothing collides. Then the right
        // shoulder pushed into the torso collides, and its pose undo clears
        // the record of that time again.
        JointPairs pairs;
        kgiPartTable::install(&pairs);
        app.getSettings().collisionDetail = true;
        kgiCollisionCheck* collisions = kgiCollisionCheck::instance();
        collisions->clearHits();
        robot->refresh();
        CHILD_CHECK(!collisions->check());
        CHILD_CHECK(collisions->getHits().empty());

        robot->addPoseUndo();
        // The shoulder onto the body's vertical axis, in world terms; the
        // joint's limits (rotation only) would refuse a move.
        ksgTransform* shoulder = rShoulder->asTransform();
        kmlMatrix4 inside = shoulder->getWorld();
        inside(0, 3) = robot->findNode("Body")->getWorld()(0, 3);
        shoulder->enableLimits(false);
        shoulder->setLocal(shoulder->getOffset().getInverse() * shoulder->getParent()->getWorld().getInverse() *
                           inside);
        robot->refresh();
        CHILD_CHECK(collisions->getHits().size() == 1 && collisions->getHits()[0].time == 0.0f);
        CHILD_CHECK(robot->undoPose());
        shoulder->enableLimits(true);
        CHILD_CHECK(collisions->getHits().empty());
        kgiPartTable::install(nullptr);

        // Keys: one at 0 from the rest pose, one at 10 with the arm turned,
        // that one moved to 20; each step undone and redone.
        using Times = std::vector<float>;
        CHILD_CHECK(robot->getKeyTimes().empty());
        CHILD_CHECK(robot->addKey(0));
        turn(rArm, 25.0f);
        robot->addKeyUndo(new kgiAddKeyUndo(robot, 10.0f));
        CHILD_CHECK(robot->addKey(10));
        CHILD_CHECK(robot->getKeyTimes() == Times({0, 10}));
        const kmlMatrix4 turned = keyAt(rArm, 10.0f);
        auto* move = new kgiMoveKeyUndo(robot, 1, 10.0f, 20.0f);
        move->redo();
        robot->addKeyUndo(move);
        CHILD_CHECK(robot->getKeyTimes() == Times({0, 20}));
        CHILD_CHECK(kgiTestRobot::maxDiff(keyAt(rArm, 20.0f), turned) < 1e-5f);

        CHILD_CHECK(robot->undoKeys());
        CHILD_CHECK(robot->getKeyTimes() == Times({0, 10}));
        CHILD_CHECK(kgiTestRobot::maxDiff(keyAt(rArm, 10.0f), turned) < 1e-5f);
        CHILD_CHECK(robot->undoKeys());
        CHILD_CHECK(robot->getKeyTimes() == Times({0}));
        CHILD_CHECK(!robot->undoKeys());
        CHILD_CHECK(robot->redoKeys() && robot->redoKeys());
        CHILD_CHECK(robot->getKeyTimes() == Times({0, 20}));
        CHILD_CHECK(kgiTestRobot::maxDiff(keyAt(rArm, 20.0f), turned) < 1e-5f);

        // Mirroring the pose puts the right arm's turn on the left arm; one
        // pose undo brings both back.
        const kmlMatrix4 right = rArm->getLocal(), left = lArm->getLocal();
        CHILD_CHECK(kgiTestRobot::rotationDiff(right, left) > 0.1f);
        CHILD_CHECK(robot->flipPose());
        CHILD_CHECK(kgiTestRobot::rotationDiff(lArm->getLocal(), kgiTestRobot::mirroredRotation(right)) < 1e-4f);
        CHILD_CHECK(robot->undoPose());
        CHILD_CHECK(kgiTestRobot::rotationDiff(rArm->getLocal(), right) < 1e-5f);
        CHILD_CHECK(kgiTestRobot::rotationDiff(lArm->getLocal(), left) < 1e-5f);
    }
    std::_Exit(0);
}

// A copy of the factory data as the base directory: the program writes its
// settings there at exit.
fs::path factoryBase(const char* name) {
    const fs::path base = fs::temp_directory_path() / (std::string(name) + "_" + std::to_string(::getpid()));
    fs::remove_all(base);
    fs::copy(kgiTestRobot::dataDir(), base, fs::copy_options::recursive);
    fs::create_directories(base / "settings");
    return base;
}

// Start-up on the factory data and a few idle passes, then out through
// exit() as the program leaves main, so that the world, the registries, the
// markers and the node group are destroyed with the robot loaded, where the
// sanitizers see it.
void runAndExit(const fs::path& base) {
    ::alarm(60);
    kgiWorld::instance();
    int argc = 1;
    char arg0[] = "Zodarovu0";
    char* argv[] = {arg0, nullptr};
    int code = -1;
    {
        kgiApp app(base.string());
        app.init(argc, argv, true);
        app.create();
        app.startUp(argc, argv);
        kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
        CHILD_CHECK(robot && robot->findNode("RArm"));
        // What a drag and the 3D view's marker leave behind.
        kgiNodeGroup::ccdGroup().addNode(robot->findNode("RArm"));
        CHILD_CHECK(kgiCogMarkers::instance()->getMarker(robot) != nullptr);
        app.quitAfterPasses(3);
        code = app.run();
    }
    std::exit(code);
}

TEST(AppRobotSession, StartUpLoadsTheFactoryRobotForEditing) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path base = factoryBase("kgi_app_session");
    EXPECT_EXIT(runSession(base), ::testing::ExitedWithCode(0), "");
    fs::remove_all(base);
}

TEST(AppRobotSession, ExitWithTheRobotLoadedIsClean) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path base = factoryBase("kgi_app_exit");
    EXPECT_EXIT(runAndExit(base), ::testing::ExitedWithCode(0), "");
    fs::remove_all(base);
}

} // namespace
