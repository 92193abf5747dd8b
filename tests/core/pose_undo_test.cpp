// Pose undo by state over a two-joint tree.
#include <gtest/gtest.h>

#include <memory>

#include "core/pose_robot_fixture_test.h"
#include "kgiPoseUndo.h"
#include "kmlQuatCurve.h"
#include "ksgMotionControllerKinds.h"
#include "ksgTransform.h"

using kgiTestRobot::maxDiff;

namespace {

kmlMatrix4 turned(float degrees)
{
    kmlMatrix4 m;
    m.rotate(degrees, kmlVec3(0.0f, 0.0f, 1.0f));
    return m;
}

class PoseUndo : public ::testing::Test {
protected:
    void SetUp() override
    {
        root.reset(new ksgTransform);
        arm = new ksgTransform;
        ASSERT_TRUE(root->attachChild(arm));
        history.setRoot(root.get());
    }

    // An edit as the character records it: snapshot first, then change.
    void edit(float degrees)
    {
        history.add(new kgiPoseUndoEntry(root.get()));
        arm->setLocal(turned(degrees));
    }

    float armAngleDiff(float degrees) const { return maxDiff(arm->getLocal(), turned(degrees)); }

    std::unique_ptr<ksgTransform> root;
    ksgTransform* arm = nullptr;
    kgiPoseUndoMgr history;
};

TEST_F(PoseUndo, UndoWalksBackAndRedoReturnsToThePoseCapturedAtTheFirstUndo)
{
    arm->setLocal(turned(5.0f));
    edit(10.0f);
    edit(20.0f);
    ASSERT_TRUE(history.undo());
    EXPECT_LT(armAngleDiff(10.0f), 1e-5f);
    ASSERT_TRUE(history.undo());
    EXPECT_LT(armAngleDiff(5.0f), 1e-5f);
    EXPECT_FALSE(history.undo());
    EXPECT_LT(armAngleDiff(5.0f), 1e-5f);

    ASSERT_TRUE(history.redo());
    EXPECT_LT(armAngleDiff(10.0f), 1e-5f);
    ASSERT_TRUE(history.redo());
    EXPECT_LT(armAngleDiff(20.0f), 1e-5f);
    EXPECT_FALSE(history.redo());
    EXPECT_TRUE(history.getInitial()->isKind(&kgiPoseUndoEntry::RTTI));
}

TEST_F(PoseUndo, AtMostThirtyTwoEditsCanBeUndone)
{
    for (int i = 1; i <= kgiPoseUndoMgr::CAPACITY + 1; ++i)
        edit(float(i));
    int undos = 0;
    while (history.undo())
        ++undos;
    EXPECT_EQ(undos, kgiPoseUndoMgr::CAPACITY);
    EXPECT_LT(armAngleDiff(1.0f), 1e-5f); // the pose before edit 2
}

TEST_F(PoseUndo, UndoRestoresLocalMatricesOnlyAndKeepsLaterKeys)
{
    ksgMotionController* mc = new ksgQController(1.0f);
    ASSERT_TRUE(mc->setRotationCurve(new kmlQuatCurve(1.0f), -1, false));
    ASSERT_TRUE(arm->attachController(mc));
    edit(30.0f);
    ksgMotionFrame* f = mc->newFrame();
    f->fromNode(arm);
    f->setTime(4.0f);
    ASSERT_TRUE(mc->addFrame(f, -1));
    delete f;
    ASSERT_TRUE(history.undo());
    EXPECT_TRUE(mc->hasKeyTime(4.0f, -1));
}

TEST_F(PoseUndo, ANewRootDropsTheOldTreesSnapshots)
{
    edit(10.0f);
    ASSERT_TRUE(history.undo());
    ASSERT_TRUE(history.redo());
    edit(20.0f);
    // A load replaces the tree: undoing into the freed nodes must not happen.
    std::unique_ptr<ksgTransform> other(new ksgTransform);
    history.setRoot(other.get());
    root.reset();
    EXPECT_FALSE(history.undo());
    EXPECT_FALSE(history.redo());
    EXPECT_EQ(history.getRoot(), other.get());
    const kgiPoseUndoEntry* initial = static_cast<const kgiPoseUndoEntry*>(history.getInitial());
    ASSERT_NE(initial, nullptr);
    EXPECT_TRUE(initial->getSnapshot().isEmpty());
    EXPECT_EQ(initial->getSnapshot().getRoot(), other.get());

    // The history works on the new tree.
    ksgTransform* leg = new ksgTransform;
    ASSERT_TRUE(other->attachChild(leg));
    history.add(new kgiPoseUndoEntry(other.get()));
    leg->setLocal(turned(50.0f));
    ASSERT_TRUE(history.undo());
    EXPECT_LT(maxDiff(leg->getLocal(), kmlMatrix4()), 1e-6f);
}

TEST(PoseUndoEntry, AnEntryWithoutRootChangesNothing)
{
    kgiPoseUndoEntry entry(nullptr);
    EXPECT_TRUE(entry.getSnapshot().isEmpty());
    entry.undo();
    entry.capture();
    EXPECT_TRUE(entry.getSnapshot().isEmpty());
    kgiPoseUndoEntry copy(entry);
    EXPECT_TRUE(copy.getSnapshot().isEmpty());
}

} // namespace
