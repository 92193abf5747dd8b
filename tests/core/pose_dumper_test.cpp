// Pose snapshots over a small tree: a root with position and rotation keys,
// an arm with rotation keys, a transform without a controller and a plain
// node that is no transform.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "core/pose_robot_fixture_test.h"
#include "kgiPoseDumper.h"
#include "kmlEulerCurve.h"
#include "kmlQuatCurve.h"
#include "kmlTCCurve.h"
#include "ksgMotionControllerKinds.h"
#include "ksgTransform.h"

using kgiTestRobot::maxDiff;

namespace {

kmlMatrix4 turned(float degrees, float x = 0.0f)
{
    kmlMatrix4 m;
    m.rotate(degrees, kmlVec3(0.0f, 0.0f, 1.0f));
    m.setTranslation(kmlVec3(x, 0.0f, 0.0f));
    return m;
}

class PoseDumperTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = new ksgTransform;
        root->setName("root");
        arm = new ksgTransform;
        free = new ksgTransform;
        plain = new ksgNode;
        ksgMotionController* rootMotion = new ksgPQController(1.0f);
        ASSERT_TRUE(rootMotion->setPositionCurve(new kmlTCCurve<3>(1.0f), -1, false));
        ASSERT_TRUE(rootMotion->setRotationCurve(new kmlQuatCurve(1.0f), -1, false));
        ksgMotionController* armMotion = new ksgQController(1.0f);
        ASSERT_TRUE(armMotion->setRotationCurve(new kmlQuatCurve(1.0f), -1, false));
        ASSERT_TRUE(root->attachController(rootMotion));
        ASSERT_TRUE(arm->attachController(armMotion));
        ASSERT_TRUE(root->attachChild(arm));
        ASSERT_TRUE(root->attachChild(free));
        ASSERT_TRUE(arm->attachChild(plain));
        tree.reset(root);
    }

    static ksgMotionController* mc(ksgNode* n)
    {
        return static_cast<ksgMotionController*>(n->getController(&ksgMotionController::RTTI));
    }

    static void addKey(ksgNode* n, float t, const kmlMatrix4& m)
    {
        ksgMotionFrame* f = mc(n)->newFrame();
        f->fromMatrix(m);
        f->setTime(t);
        ASSERT_TRUE(mc(n)->addFrame(f, -1));
        delete f;
    }

    static std::vector<float> keyTimes(ksgNode* n)
    {
        std::vector<float> times;
        mc(n)->getKeysTime(times, -1);
        return times;
    }

    void pose(float rootAngle, float armAngle, float freeAngle)
    {
        root->setLocal(turned(rootAngle, 1.0f));
        arm->setLocal(turned(armAngle));
        free->setLocal(turned(freeAngle));
    }

    ksgTransform* root = nullptr;
    ksgTransform* arm = nullptr;
    ksgTransform* free = nullptr;
    ksgNode* plain = nullptr;
    std::unique_ptr<ksgNode> tree;
};

TEST(PoseDumperFlags, OneSampleAndOneRestoreChoiceAreKept)
{
    struct Case {
        unsigned short in;
        unsigned short kept;
        float time1, time2;
    };
    const Case cases[] = {
        {0x10C, 0x104, 3.0f, 7.0f},  // 4 wins over 8
        {0x140, 0x101, -1.0f, 7.0f}, // keys win over locals; no sample bit gives 1
        {0x048, 0x048, 3.0f, -1.0f},
        {0x030, 0x210, -1.0f, -1.0f}, // buffer over default; no restore bit gives 0x200
        {65, 65, -1.0f, -1.0f},
    };
    for (const Case& c : cases) {
        kgiPoseDumper d;
        d.setFlags(c.in, 3.0f, 7.0f, 2);
        EXPECT_EQ(d.getFlags(), c.kept) << std::hex << c.in;
        EXPECT_EQ(d.getTime1(), c.time1) << std::hex << c.in;
        EXPECT_EQ(d.getTime2(), c.time2) << std::hex << c.in;
        EXPECT_EQ(d.getLayer(), 2);
    }
}

TEST_F(PoseDumperTree, LocalSnapshotPutsEveryTransformBack)
{
    pose(10.0f, 20.0f, 30.0f);
    kgiPoseDumper d;
    ASSERT_TRUE(d.dump(root));
    EXPECT_EQ(d.getEntryCount(), 3u); // the plain node is no transform
    const kmlMatrix4 r = root->getLocal(), a = arm->getLocal(), f = free->getLocal();

    pose(-40.0f, 50.0f, 60.0f);
    kgiPoseDumper copy(d);
    ASSERT_TRUE(copy.restore());
    EXPECT_LT(maxDiff(root->getLocal(), r), 1e-5f);
    EXPECT_LT(maxDiff(arm->getLocal(), a), 1e-5f);
    EXPECT_LT(maxDiff(free->getLocal(), f), 1e-5f);
    EXPECT_TRUE(keyTimes(root).empty()); // no key was made
}

TEST_F(PoseDumperTree, LocalSnapshotRestoredAsKeysGoesToControllersOnly)
{
    pose(10.0f, 20.0f, 30.0f);
    kgiPoseDumper d;
    d.setFlags(257, -1.0f, 12.0f, -1);
    ASSERT_TRUE(d.dump(root));
    pose(0.0f, 0.0f, 45.0f);
    ASSERT_TRUE(d.restore());
    EXPECT_EQ(keyTimes(root), std::vector<float>{12.0f});
    EXPECT_EQ(keyTimes(arm), std::vector<float>{12.0f});
    EXPECT_LT(maxDiff(free->getLocal(), turned(45.0f)), 1e-6f);
    kmlMatrix4 m;
    ASSERT_TRUE(d.getEntryMatrix(arm, m));
    EXPECT_LT(maxDiff(m, turned(20.0f)), 1e-5f);
}

TEST_F(PoseDumperTree, KeySampleStopsAtTheFirstNodeWithoutAKey)
{
    addKey(root, 0.0f, turned(10.0f, 1.0f));
    addKey(arm, 0.0f, turned(20.0f));
    addKey(root, 10.0f, turned(30.0f, 1.0f));
    kgiPoseDumper d;
    d.setFlags(264, 0.0f, 5.0f, -1);
    EXPECT_TRUE(d.dump(root));
    EXPECT_EQ(d.getEntryCount(), 3u);
    ASSERT_TRUE(d.restore());
    EXPECT_EQ(keyTimes(root), (std::vector<float>{0.0f, 5.0f, 10.0f}));
    EXPECT_EQ(keyTimes(arm), (std::vector<float>{0.0f, 5.0f}));

    // At 10 the arm has no key: the root keeps its entry, the walk ends.
    kgiPoseDumper partial;
    partial.setFlags(264, 10.0f, 20.0f, -1);
    EXPECT_FALSE(partial.dump(root));
    EXPECT_EQ(partial.getEntryCount(), 1u);
    // Between keys nothing is a key: no entry at all, nothing to restore.
    kgiPoseDumper none;
    none.setFlags(264, 7.0f, 20.0f, -1);
    EXPECT_FALSE(none.dump(root));
    EXPECT_FALSE(none.restore());
}

TEST_F(PoseDumperTree, FrameSampleIsTheEvaluatedPoseNotTheLocalMatrix)
{
    addKey(arm, 0.0f, turned(0.0f));
    addKey(arm, 10.0f, turned(40.0f));
    arm->setLocal(turned(-70.0f));
    kgiPoseDumper d;
    d.setFlags(516, 5.0f, -1.0f, -1);
    ASSERT_TRUE(d.dump(root));
    kmlMatrix4 m;
    ASSERT_TRUE(d.getEntryMatrix(arm, m));
    EXPECT_LT(maxDiff(m, turned(20.0f)), 1e-3f);
    EXPECT_FALSE(d.getEntryMatrix(plain, m));
    // Restore choice 0x200 fails and writes nothing.
    EXPECT_FALSE(d.restore());
    EXPECT_LT(maxDiff(arm->getLocal(), turned(-70.0f)), 1e-6f);
}

TEST_F(PoseDumperTree, SecondDumpReplacesEntriesAndClearResets)
{
    pose(10.0f, 20.0f, 30.0f);
    kgiPoseDumper d;
    d.setFlags(257, -1.0f, 3.0f, -1);
    ASSERT_TRUE(d.dump(root));
    pose(11.0f, 21.0f, 31.0f);
    ASSERT_TRUE(d.dump(root));
    EXPECT_EQ(d.getEntryCount(), 3u);
    kmlMatrix4 m;
    ASSERT_TRUE(d.getEntryMatrix(free, m));
    EXPECT_LT(maxDiff(m, turned(31.0f)), 1e-5f);

    EXPECT_TRUE(d.clear());
    EXPECT_TRUE(d.isEmpty());
    EXPECT_EQ(d.getRoot(), nullptr);
    EXPECT_EQ(d.getFlags(), kgiPoseDumper::DEFAULT_FLAGS);
    EXPECT_FALSE(d.restore());
    EXPECT_FALSE(d.dump(nullptr));
}

TEST_F(PoseDumperTree, KeySnapshotsOfARangeAreTheDumpsTimeByTime)
{
    // A few thousand random keys, whole and fractional, on the root (position
    // and rotation), the arm (rotation, missing some of the root's times) and
    // a hand (Euler rotation with position) keyed at the root's times only
    // in part: dumpKeys over the root's key times must give exactly the
    // dumps that succeed one time after another, entry for entry.
    ksgTransform* hand = new ksgTransform;
    ksgMotionController* handMotion = new ksgPEController(1.0f);
    ASSERT_TRUE(handMotion->setPositionCurve(new kmlTCCurve<3>(1.0f), -1, false));
    ASSERT_TRUE(handMotion->setRotationCurve(new kmlEulerCurve(1.0f), -1, false));
    ASSERT_TRUE(hand->attachController(handMotion));
    ASSERT_TRUE(arm->attachChild(hand));
    std::mt19937 rng(68);
    std::uniform_real_distribution<float> angle(-170.0f, 170.0f);
    std::uniform_int_distribution<int> frame(0, 6000), coin(0, 9);
    for (int i = 0; i < 3000; ++i) {
        const float t = float(frame(rng)) + (coin(rng) < 3 ? 0.5f : 0.0f);
        addKey(root, t, turned(angle(rng), 0.01f * t));
        if (coin(rng) != 0)
            addKey(arm, t, turned(angle(rng)));
        if (coin(rng) < 8)
            addKey(hand, t, turned(angle(rng), 1.0f));
        else
            addKey(hand, t + 0.25f, turned(angle(rng), 1.0f));
    }
    free->setLocal(turned(33.0f));
    std::vector<float> times;
    mc(root)->getKeysTime(times, 1000.0f, 5000.0f, -1);
    ASSERT_GT(times.size(), 1000u);

    std::vector<kgiPoseDumper> bulk;
    kgiPoseDumper::dumpKeys(root, times, bulk);
    std::vector<kgiPoseDumper> one;
    for (float t : times) {
        kgiPoseDumper d;
        d.setFlags(kgiPoseDumper::SAMPLE_KEY | kgiPoseDumper::RESTORE_KEY, t, t, -1);
        if (d.dump(root))
            one.push_back(d);
    }
    ASSERT_EQ(bulk.size(), one.size());
    ASSERT_LT(one.size(), times.size()) << "some times are not keyed on every node";
    int differ = 0;
    for (size_t k = 0; k < one.size(); ++k) {
        const kgiPoseDumper& a = one[k];
        const kgiPoseDumper& b = bulk[k];
        EXPECT_EQ(b.getFlags(), a.getFlags());
        EXPECT_EQ(b.getTime1(), a.getTime1());
        EXPECT_EQ(b.getTime2(), a.getTime2());
        EXPECT_EQ(b.getRoot(), a.getRoot());
        ASSERT_EQ(b.getEntryCount(), a.getEntryCount());
        for (ksgNode* n : {static_cast<ksgNode*>(root), static_cast<ksgNode*>(arm), static_cast<ksgNode*>(hand),
                           static_cast<ksgNode*>(free)}) {
            kmlMatrix4 ma, mb;
            ASSERT_TRUE(a.getEntryMatrix(n, ma));
            ASSERT_TRUE(b.getEntryMatrix(n, mb));
            bool same = true;
            for (int i = 0; i < 16; ++i) {
                const float x = ma[i], y = mb[i];
                same = same && std::memcmp(&x, &y, sizeof x) == 0;
            }
            if (!same && ++differ < 5)
                ADD_FAILURE() << "entry of " << n->getName() << " at " << a.getTime1();
        }
    }
    EXPECT_EQ(differ, 0);
}

TEST(PoseDumperNoControllers, KeysRestoreLeavesATreeWithoutControllersAlone)
{
    std::unique_ptr<ksgTransform> root(new ksgTransform);
    ksgTransform* child = new ksgTransform;
    ASSERT_TRUE(root->attachChild(child));
    child->setLocal(turned(25.0f));
    for (int flags : {0x101, 0x41}) {
        kgiPoseDumper d;
        d.setFlags(static_cast<unsigned short>(flags | 0x8), 0.0f, 4.0f, -1); // a key sample falls back to the local matrix
        ASSERT_TRUE(d.dump(root.get()));
        child->setLocal(turned(-5.0f));
        ASSERT_TRUE(d.restore());
        EXPECT_LT(maxDiff(child->getLocal(), flags == 0x41 ? turned(25.0f) : turned(-5.0f)), 1e-5f)
            << std::hex << flags;
        child->setLocal(turned(25.0f));
    }
}

} // namespace
