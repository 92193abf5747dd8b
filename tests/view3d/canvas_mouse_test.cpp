// The 3D canvas's mouse without a display: the factory robot in the world,
// a view of its own looking at it, and the events a canvas would feed.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/pose_robot_fixture_test.h"
#include "view3d/canvas_mouse_rig.h"
#include "kgiCanvasMouse.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiCollisionCheckParts.h"
#include "kgiFreedTreeNotice.h"
#include "kgiKinematicControllers.h"
#include "kgiKmdData.h"
#include "kgiSceneNodeGroup.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "kmlVec4.h"
#include "ksgCcdIk.h"
#include "ksgManipulator.h"
#include "ksgMotionController.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "ksgTransformController.h"
#include "ksgView.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"
#include "ksgVisualState.h"

namespace {

using kgiTestRobot::maxDiff;

const unsigned NUM_LOCK = 0x10;

struct RecordingHost : kgiCanvasMouse::Host {
    int redraws = 0;
    int fits = 0;
    int plane = -1;
    bool mirror = false;
    void redraw() override { ++redraws; }
    void fitView() override { ++fits; }
    void setGridPlane(int p) override { plane = p; }
    bool isMirrorMode() const override { return mirror; }
};

// Passes every update on and keeps what it was given.
class RecordingManipulator : public ksgManipulator {
public:
    std::vector<std::pair<kmlVec3, bool>> updates;
    bool update(const kmlVec3& input, bool flag) override
    {
        updates.emplace_back(input, flag);
        return ksgManipulator::update(input, flag);
    }
};

// A joint table that knows the robot's first joints and records the marks.
class RecordingTable : public kgiPartTable {
public:
    std::vector<std::string> calls;
    std::vector<ksgNode*> joints;
    bool checkPartCollisions(kgiCharacter*, unsigned char[FLAG_COUNT]) override { return false; }
    void clearCollisionHits(kgiCharacter*) override {}
    bool computeCenterOfGravity(kgiCharacter*, kmlVec3&) override { return false; }
    int getNodeCount() override { return static_cast<int>(joints.size()); }
    ksgNode* getNode(int i) override
    {
        return i >= 0 && i < getNodeCount() ? joints[static_cast<size_t>(i)] : nullptr;
    }
    void selectPart(ksgNode* n) override { calls.push_back("select " + n->getName()); }
    void clearPartMark(ksgNode* n) override { calls.push_back("clear " + n->getName()); }
    bool keepBasePartFixed() override
    {
        calls.push_back("keepBase");
        return false;
    }
};

// Boxes counted; each "shows" while an idle pass runs, as a modal loop does.
class BoxServices : public kgiCharacterServices {
public:
    std::function<void()> whileShown;
    std::vector<std::string> captions;
    void showMessage(const std::string& caption, const std::string&) override
    {
        captions.push_back(caption);
        if (whileShown)
            whileShown();
    }
};

class CanvasMouse : public ::testing::Test, protected kgiCanvasMouseRig {
protected:
    void SetUp() override
    {
        world = kgiWorld::instance();
        world->setPlaying(false);
        world->setCurrentTime(0.0f);
        id = world->createCharacter();
        ASSERT_GE(id, 0);
        robot = world->getCharacters()->find(id);
        ASSERT_TRUE(robot->load(kgiTestRobot::projectPath())) << kgiTestRobot::projectPath();
        world->setCurrentCharacter(id);
        robot->getRoot()->update(0.0f, false, true);
        attach(robot, manipulator, mouse);
        kgiNodeGroup::ccdGroup().reset();
    }

    void TearDown() override
    {
        kgiCharacterServices::install(nullptr);
        kgiPartTable::install(nullptr);
        manipulator.setTarget(nullptr);
        kgiNodeGroup::ccdGroup().reset();
        if (robot != nullptr)
            world->removeCharacter(id);
        world->setPlaying(false);
        world->setCurrentTime(0.0f);
    }

    std::pair<int, int> pixelOfJoint(const char* name) const { return kgiCanvasMouseRig::pixelOfJoint(robot, name); }

    static bool isBelow(ksgNode* n, const char* name)
    {
        for (; n != nullptr; n = n->getParent())
            if (n->getName() == name)
                return true;
        return false;
    }

    // Hovers over the joint and presses there; the pixel.
    std::pair<int, int> grab(const char* joint, unsigned state = 0)
    {
        const std::pair<int, int> at = pixelOfJoint(joint);
        EXPECT_TRUE(mouse.hover(at.first, at.second));
        EXPECT_NE(mouse.getPickedNode(), nullptr) << joint;
        mouse.leftPress(at.first, at.second, state, 1);
        return at;
    }

    std::vector<kmlMatrix4> locals() const
    {
        std::vector<kmlMatrix4> out;
        collect(robot->getRoot(), out);
        return out;
    }
    static void collect(ksgNode* n, std::vector<kmlMatrix4>& out)
    {
        for (; n != nullptr; n = n->getSibling()) {
            if (ksgTransform* t = n->asTransform())
                out.push_back(t->getLocal());
            collect(n->getChild(), out);
        }
    }

    kgiWorld* world = nullptr;
    int id = -1;
    kgiCharacter* robot = nullptr;
    RecordingManipulator manipulator;
    RecordingHost host;
    kgiCanvasMouse mouse{host};
};

TEST_F(CanvasMouse, IkGoalsBetweenStepsCollapseToTheLastAndFkDeltasAddUp)
{
    // IK: two motions, one update towards the second goal.
    const std::pair<int, int> at = grab("R_WR1");
    ASSERT_NE(manipulator.getTarget(), nullptr);
    mouse.drag(at.first + 6, at.second - 4, 0x100, kgiCanvasMouse::LEFT);
    const kmlVec3 first = mouse.getDragGoal();
    mouse.drag(at.first + 14, at.second - 12, 0x100, kgiCanvasMouse::LEFT);
    const kmlVec3 second = mouse.getDragGoal();
    EXPECT_NE(first, second);
    mouse.step();
    mouse.step();
    ASSERT_EQ(manipulator.updates.size(), 1u);
    EXPECT_EQ(manipulator.updates[0].first, second);
    EXPECT_FALSE(manipulator.updates[0].second);
    mouse.leftRelease();

    // FK: the one update carries the sum of both motions' deltas.
    manipulator.updates.clear();
    mouse.setMouseMode(3);
    const std::pair<int, int> fk = grab("RElbow");
    mouse.drag(fk.first + 5, fk.second + 2, 0x100, kgiCanvasMouse::LEFT);
    mouse.drag(fk.first + 12, fk.second - 3, 0x100, kgiCanvasMouse::LEFT);
    mouse.step();
    ASSERT_EQ(manipulator.updates.size(), 1u);
    float n0x, n0y, n2x, n2y;
    view->getViewport()->getNormalizedCoords(fk.first, fk.second, n0x, n0y);
    view->getViewport()->getNormalizedCoords(fk.first + 12, fk.second - 3, n2x, n2y);
    const kmlVec3 sum = manipulator.updates[0].first;
    EXPECT_NEAR(sum.get(0), (n2x - n0x) * 250.0f, 1e-3f);
    EXPECT_NEAR(sum.get(1), (n2y - n0y) * 250.0f, 1e-3f);
    EXPECT_TRUE(manipulator.updates[0].second);
    // The next motion starts a fresh delta.
    mouse.drag(fk.first + 13, fk.second - 3, 0x100, kgiCanvasMouse::LEFT);
    mouse.step();
    ASSERT_EQ(manipulator.updates.size(), 2u);
    EXPECT_NEAR(manipulator.updates[1].first.get(0), 250.0f * 2.0f / WIDTH, 1e-3f);
}

TEST_F(CanvasMouse, NoStepWhilePlayingAndAStepAfterTheReleaseTurnsNothing)
{
    const std::pair<int, int> at = grab("R_WR1");
    mouse.drag(at.first + 10, at.second - 10, 0x100, kgiCanvasMouse::LEFT);
    world->setPlaying(true);
    mouse.step();
    EXPECT_TRUE(manipulator.updates.empty());
    EXPECT_TRUE(mouse.isStepPending()) << "the request waits for the playback to stop";
    world->setPlaying(false);

    const std::vector<kmlMatrix4> before = locals();
    mouse.leftRelease();
    EXPECT_EQ(manipulator.getTarget(), nullptr);
    mouse.step();
    EXPECT_FALSE(mouse.isStepPending());
    const std::vector<kmlMatrix4> after = locals();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(maxDiff(after[i], before[i]), 0.0f) << i;
}

TEST_F(CanvasMouse, OneIkDragIsOnePoseUndoEntryTakenBeforeTheFirstChange)
{
    const std::vector<kmlMatrix4> before = locals();
    const std::pair<int, int> at = grab("R_WR1");
    EXPECT_TRUE(mouse.isPoseUndoPending());
    for (int i = 1; i <= 3; ++i) {
        mouse.drag(at.first + 8 * i, at.second - 10 * i, 0x100, kgiCanvasMouse::LEFT);
        mouse.step();
    }
    mouse.leftRelease();
    const std::vector<kmlMatrix4> dragged = locals();
    bool moved = false;
    for (size_t i = 0; i < dragged.size(); ++i)
        moved = moved || maxDiff(dragged[i], before[i]) > 1e-3f;
    ASSERT_TRUE(moved) << "the arm followed the pointer";

    ASSERT_TRUE(robot->undoPose());
    const std::vector<kmlMatrix4> undone = locals();
    for (size_t i = 0; i < undone.size(); ++i)
        EXPECT_EQ(maxDiff(undone[i], before[i]), 0.0f) << i;
    EXPECT_FALSE(robot->undoPose()) << "one entry for the whole drag";
}

TEST_F(CanvasMouse, MotionModeDragsAreUndoneOnTheKeysToo)
{
    ksgNode* root = robot->getRoot();
    ksgMotionController* mc = getMotionController(root);
    ASSERT_NE(mc, nullptr);
    auto keysAt = [&](std::vector<int> frames) {
        robot->deleteKeys(0, 100000);
        for (int f : frames)
            ASSERT_TRUE(robot->addKey(f));
        robot->getKeyUndo().clear();
    };
    world->setEndFrame(10.0f);
    world->setStartFrame(0.0f);
    world->setEndFrame(10.0f);

    struct Case {
        int mode;
        const char* joint;
    };
    for (const Case& c : {Case{7, "RElbow"}, Case{6, "Body"}}) {
        SCOPED_TRACE(c.mode);
        keysAt({0, 10, 20});
        const kmlMatrix4 k0 = kgiTestRobot::evaluated(mc, 0.0f), k10 = kgiTestRobot::evaluated(mc, 10.0f),
                         k20 = kgiTestRobot::evaluated(mc, 20.0f);
        const std::vector<kmlMatrix4> pose = locals();
        mouse.setMouseMode(c.mode);
        const std::pair<int, int> at = grab(c.joint);
        if (c.mode == 7) {
            EXPECT_EQ(manipulator.getTarget(), root) << "mode 7 grabs the root";
        }
        for (int i = 1; i <= 2; ++i) {
            mouse.drag(at.first + 15 * i, at.second - 5 * i, 0x100, kgiCanvasMouse::LEFT);
            mouse.step();
        }
        mouse.leftRelease();
        const kmlMatrix4 m0 = kgiTestRobot::evaluated(mc, 0.0f), m10 = kgiTestRobot::evaluated(mc, 10.0f);
        EXPECT_GT(maxDiff(m0, k0), 1e-3f);
        EXPECT_GT(maxDiff(m10, k10), 1e-3f);
        EXPECT_EQ(maxDiff(kgiTestRobot::evaluated(mc, 20.0f), k20), 0.0f) << "outside the range";
        if (c.mode == 7) {
            for (int r = 0; r < 3; ++r)
                EXPECT_NEAR(m0(r, 3) - k0(r, 3), m10(r, 3) - k10(r, 3), 1e-4f) << "the same offset";
        }

        ASSERT_TRUE(robot->undoKeys());
        EXPECT_LT(maxDiff(kgiTestRobot::evaluated(mc, 0.0f), k0), 1e-5f);
        EXPECT_LT(maxDiff(kgiTestRobot::evaluated(mc, 10.0f), k10), 1e-5f);
        ASSERT_TRUE(robot->redoKeys());
        EXPECT_LT(maxDiff(kgiTestRobot::evaluated(mc, 0.0f), m0), 1e-5f);
        EXPECT_LT(maxDiff(kgiTestRobot::evaluated(mc, 10.0f), m10), 1e-5f);
        ASSERT_TRUE(robot->undoPose());
        const std::vector<kmlMatrix4> back = locals();
        for (size_t i = 0; i < back.size(); ++i)
            EXPECT_EQ(maxDiff(back[i], pose[i]), 0.0f) << i;

        // A press and release without motion records no key entry.
        robot->getKeyUndo().clear();
        grab(c.joint);
        mouse.leftRelease();
        EXPECT_FALSE(robot->undoKeys());
        mouse.setMouseMode(2);
    }
}

TEST_F(CanvasMouse, TargetChoice)
{
    // Mode 7: the root, whatever is under the pointer.
    mouse.setMouseMode(7);
    grab("RElbow");
    EXPECT_EQ(manipulator.getTarget(), robot->getRoot());
    mouse.leftRelease();

    // A joint ignored by both kinds of kinematics hands the grab upwards.
    mouse.setMouseMode(2);
    ksgTransform* elbow = robot->findNode("RElbow")->asTransform();
    ksgTransform* arm = robot->findNode("RArm")->asTransform();
    ASSERT_NE(elbow, nullptr);
    const bool fk = elbow->isFkIgnored(), ikIgnored = elbow->isIkIgnored();
    elbow->ignoreFk(true);
    elbow->ignoreIk(true);
    EXPECT_EQ(mouse.chooseTarget(elbow), arm);
    elbow->ignoreIk(false);
    EXPECT_EQ(mouse.chooseTarget(elbow), elbow) << "ignored by one only";
    elbow->ignoreFk(fk);
    elbow->ignoreIk(ikIgnored);
    EXPECT_EQ(mouse.chooseTarget(nullptr), nullptr);

    // A node of another character grabs nothing.
    const int other = world->createCharacter();
    kgiCharacter* second = world->getCharacters()->find(other);
    ASSERT_TRUE(second->load(kgiTestRobot::projectPath()));
    scene.remRoot(robot->getRoot()->asTransform());
    scene.addRoot(second->getRoot()->asTransform());
    second->getRoot()->update(0.0f, false, true);
    const std::pair<int, int> at = pixelOfJoint("R_WR1");
    manipulator.setTarget(robot->findNode("RArm"));
    mouse.hover(at.first, at.second);
    EXPECT_EQ(mouse.getPickedNode(), nullptr);
    EXPECT_EQ(manipulator.getTarget(), nullptr);
    mouse.leftPress(at.first, at.second, 0, 1);
    EXPECT_EQ(manipulator.getTarget(), nullptr);
    scene.remRoot(second->getRoot()->asTransform());
    world->removeCharacter(other);
}

TEST_F(CanvasMouse, AFailedMirrorShowsOneBoxPerDrag)
{
    BoxServices boxes;
    kgiCharacterServices::install(&boxes);
    host.mirror = true;
    const std::pair<int, int> at = grab("Head");
    ksgNode* from = nullptr;
    int x = at.first;
    // While the box is up, the pointer moves on and idle passes run.
    boxes.whileShown = [&] {
        x += 3;
        mouse.drag(x, at.second - 2, 0x100, kgiCanvasMouse::LEFT);
        mouse.step();
    };
    for (int i = 0; i < 3; ++i) {
        x += 5;
        mouse.drag(x, at.second - 6, 0x100, kgiCanvasMouse::LEFT);
        mouse.step();
        if (from == nullptr)
            from = mouse.mirrorStart();
    }
    ASSERT_NE(from, nullptr);
    EXPECT_EQ(boxes.captions.size(), 1u) << "mirroring stops after its failure, " << from->getName();

    // The next drag tries again.
    mouse.leftRelease();
    grab("Head");
    mouse.drag(x + 5, at.second - 8, 0x100, kgiCanvasMouse::LEFT);
    mouse.step();
    EXPECT_EQ(boxes.captions.size(), 2u);
}

TEST_F(CanvasMouse, HoverLeaveAndTheJointTable)
{
    RecordingTable table;
    kgiPartTable::install(&table);
    const std::pair<int, int> at = pixelOfJoint("R_WR1");
    ASSERT_TRUE(mouse.hover(at.first, at.second));
    ksgNode* picked = mouse.getPickedNode();
    ASSERT_NE(picked, nullptr);
    EXPECT_TRUE(isBelow(picked, "RShoulder"));
    ASSERT_EQ(table.calls.size(), 1u);
    EXPECT_EQ(table.calls[0], "select " + picked->getName());
    EXPECT_EQ(mouse.getLastX(), at.first);

    // Nothing under the pointer: the mark goes, the target too.
    manipulator.setTarget(robot->findNode("RArm"));
    mouse.hover(2, 2);
    EXPECT_EQ(table.calls.back(), "clear " + picked->getName());
    EXPECT_EQ(mouse.getPickedNode(), nullptr);
    EXPECT_EQ(manipulator.getTarget(), nullptr);

    mouse.hover(at.first, at.second);
    const int redraws = host.redraws;
    mouse.leave();
    EXPECT_EQ(table.calls.back(), "clear " + picked->getName());
    EXPECT_EQ(mouse.getPickedNode(), nullptr);
    EXPECT_GT(host.redraws, redraws);

    // Without a view nothing is picked.
    kgiCanvasMouse blind(host);
    EXPECT_FALSE(blind.hover(at.first, at.second));
}

TEST_F(CanvasMouse, CameraButtonsAndStateBitsWithNumLock)
{
    const float distance = viewpoint.getDistanceToBase();
    struct Case {
        const char* what;
        unsigned state;
        int button;
        bool orbits, zooms;
    };
    const Case cases[] = {
        {"right orbits", 0x400, kgiCanvasMouse::RIGHT, true, false},
        {"left and right zoom", 0x500, kgiCanvasMouse::RIGHT, false, true},
        {"left with right zooms", 0x500, kgiCanvasMouse::LEFT, false, true},
        {"middle pans", 0x200, kgiCanvasMouse::MIDDLE, false, false},
        {"Ctrl+middle zooms", 0x204, kgiCanvasMouse::MIDDLE, false, true},
        {"left without target pans", 0x100, kgiCanvasMouse::LEFT, false, false},
    };
    for (unsigned lock : {0u, NUM_LOCK}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (lock ? " with Num Lock" : ""));
            viewpoint.center(robot->getBounds());
            viewpoint.setYaw(0.0f);
            viewpoint.setPitch(0.0f);
            const kmlMatrix4 eye = viewpoint.getMatrix();
            const float d0 = viewpoint.getDistanceToBase();
            host.plane = -1;
            mouse.setLastPosition(300, 200);
            testing::internal::CaptureStderr();
            mouse.drag(320, 230, c.state | lock, c.button);
            const std::string err = testing::internal::GetCapturedStderr();
            EXPECT_EQ(err.find("Yaw= ") != std::string::npos, c.orbits) << err;
            EXPECT_EQ(err.find("DistanceToBase= ") != std::string::npos, c.orbits) << err;
            EXPECT_EQ(host.plane, c.orbits ? 2 : -1);
            EXPECT_EQ(viewpoint.getDistanceToBase() != d0, c.zooms);
            EXPECT_GT(maxDiff(viewpoint.getMatrix(), eye), 1e-4f) << "the camera moved";
            EXPECT_FALSE(mouse.isStepPending());
        }
    }
    (void)distance;
}

TEST_F(CanvasMouse, WheelStepsTheTimeAndStopsAtZero)
{
    struct Case {
        float from;
        int amount;
        float to;
    };
    for (const Case& c : {Case{0, 120, 0}, Case{0, -120, 1}, Case{5, 120, 4}}) {
        world->setCurrentTime(c.from);
        mouse.wheel(c.amount);
        EXPECT_EQ(world->getCurrentTime(), c.to) << c.from << " " << c.amount;
    }
}

TEST_F(CanvasMouse, GroupEditingAddsWithShiftTheSubtreeAndClearEmpties)
{
    kgiNodeGroup& group = kgiNodeGroup::ccdGroup();
    mouse.setGroupEditMode(2);
    const std::pair<int, int> at = pixelOfJoint("RElbow");
    mouse.hover(at.first, at.second);
    ksgNode* picked = mouse.getPickedNode();
    ASSERT_NE(picked, nullptr);
    // The pointer is over a mesh part of the elbow: the elbow joint is taken.
    ksgTransform* joint = robot->findNode("RElbow")->asTransform();
    ASSERT_TRUE(isBelow(picked, "RElbow"));
    mouse.leftPress(at.first, at.second, kgiCanvasMouse::SHIFT | NUM_LOCK, 1);
    EXPECT_TRUE(group.hasNode(joint));
    EXPECT_GT(group.getNumNodes(), 1u) << "the joint with its subtree";
    EXPECT_EQ(manipulator.getTarget(), nullptr) << "group editing grabs nothing";
    const kgiKmdData* data = kgiKmdData::of(joint);
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->isGrouped());

    // Mode 0 with members: the IK controller works on the group.
    mouse.setGroupEditMode(0);
    EXPECT_EQ(ik.getMode(), 2);
    mouse.clearIkGroup();
    EXPECT_EQ(group.getNumNodes(), 0u);
    EXPECT_FALSE(data->isGrouped());
    mouse.setGroupEditMode(1);
    EXPECT_EQ(ik.getMode(), 1);
    mouse.setGroupEditMode(5);
    EXPECT_EQ(mouse.getGroupEditMode(), 0);
    mouse.setGroupEditToggle(true);
    mouse.applyGroupEditToggle();
    EXPECT_EQ(mouse.getGroupEditMode(), 2);
}

// Forwards the notice as the application does for its canvases.
struct Forward : kgiFreedTreeListener {
    kgiCanvasMouse& mouse;
    explicit Forward(kgiCanvasMouse& m) : mouse(m) { kgiFreedTreeNotice::subscribe(this); }
    ~Forward() override { kgiFreedTreeNotice::unsubscribe(this); }
    void treeFreed(kgiCharacter* c, ksgNode* root) override { mouse.forgetTree(c, root); }
};

TEST_F(CanvasMouse, AFreedTreeLeavesNoPointerBehind)
{
    for (bool reload : {false, true}) {
        SCOPED_TRACE(reload ? "reload" : "removal");
        Forward forward(mouse);
        RecordingTable table;
        kgiPartTable::install(&table);
        mouse.setGroupEditMode(2);
        const std::pair<int, int> at = pixelOfJoint("RElbow");
        mouse.hover(at.first, at.second);
        mouse.leftPress(at.first, at.second, 0, 1);
        ASSERT_EQ(kgiNodeGroup::ccdGroup().getNumNodes(), 1u);
        mouse.setGroupEditMode(0);
        ik.setReverseRoot(robot->findNode("RShoulder"));
        mouse.setMouseMode(6);
        grab("R_WR1");
        mouse.drag(at.first + 10, at.second, 0x100, kgiCanvasMouse::LEFT);
        mouse.step();
        ASSERT_NE(manipulator.getTarget(), nullptr);

        scene.remRoot(robot->getRoot()->asTransform());
        if (reload) {
            ASSERT_TRUE(robot->load(kgiTestRobot::projectPath()));
            robot->getRoot()->update(0.0f, false, true);
        } else {
            world->removeCharacter(id);
            robot = nullptr;
        }
        EXPECT_EQ(mouse.getPickedNode(), nullptr);
        EXPECT_EQ(manipulator.getTarget(), nullptr);
        EXPECT_EQ(manipulator.getParent(), nullptr);
        EXPECT_EQ(kgiNodeGroup::ccdGroup().getNumNodes(), 0u);
        EXPECT_EQ(ik.getReverseRoot(), nullptr);

        // Nothing of the old tree is reached any more.
        table.calls.clear();
        mouse.hover(at.first, at.second);
        mouse.leave();
        EXPECT_TRUE(table.calls.empty());
        mouse.leftRelease();
        mouse.clearIkGroup();
        mouse.setMouseMode(2);
        kgiPartTable::install(nullptr);
        if (!reload) {
            id = world->createCharacter();
            robot = world->getCharacters()->find(id);
            ASSERT_TRUE(robot->load(kgiTestRobot::projectPath()));
            world->setCurrentCharacter(id);
        }
        robot->getRoot()->update(0.0f, false, true);
        scene.addRoot(robot->getRoot()->asTransform());
    }
}

} // namespace
