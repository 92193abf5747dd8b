// The canvas's whole-body kinematic controllers: turning the body about a
// grabbed joint, rewriting the keys of a range, and the IK drag with its
// root move.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "kgiKinematicControllers.h"
#include "kmlQuatCurve.h"
#include "kmlTCCurve.h"
#include "ksg/tree_test_util.h"
#include "ksgMotionControllerKinds.h"
#include "ksgMotionFrame.h"
#include "ksgTransform.h"

using ksgtest::matrixNear;
using ksgtest::position;
using ksgtest::product;
using ksgtest::rotation;
using ksgtest::translation;
using ksgtest::vecNear;

namespace {

const float KEY_TIMES[] = {0, 5, 10, 20};

ksgPQController* newMotion()
{
    ksgPQController* mc = new ksgPQController(1.0f);
    mc->setPositionCurve(new kmlTCCurve<3>(1.0f), -1, false);
    mc->setRotationCurve(new kmlQuatCurve(1.0f), -1, false);
    return mc;
}

void addKey(ksgMotionController* mc, float t, const kmlMatrix4& pose)
{
    ksgPQFrame f;
    f.fromMatrix(pose);
    f.setTime(t);
    mc->addFrame(&f, -1);
}

kmlMatrix4 keyAt(ksgMotionController* mc, float t)
{
    ksgPQFrame f;
    f.setTime(t);
    mc->getFrame(&f, 1, ksgMotionController::NoLayerSet);
    kmlMatrix4 m;
    f.toMatrix(m);
    return m;
}

// The body pose keyed at t: a little along x and turned about y.
kmlMatrix4 bodyKey(float t)
{
    return product(translation(0.5f + 0.1f * t, 0.3f, 0), rotation(3 * t, 0, 1, 0));
}

// A body root with keys at 0, 5, 10 and 20 (or, with keyedBody false, none,
// and keys on the shoulder instead), a two-joint arm ending in a hand, and
// a leg so that the root branches. Posed at `now`.
struct Body {
    ksgTransform root;
    ksgTransform* shoulder = new ksgTransform;
    ksgTransform* elbow = new ksgTransform;
    ksgTransform* hand = new ksgTransform;
    ksgTransform* leg = new ksgTransform;
    ksgMotionController* motion = newMotion();

    explicit Body(float now = 0, bool keyedBody = true)
    {
        shoulder->setLocal(translation(1, 2, 0));
        elbow->setLocal(translation(0, -1, 0));
        hand->setLocal(translation(0, -1, 0));
        leg->setLocal(translation(0, -1, 0));
        root.attachChild(shoulder);
        shoulder->attachChild(elbow);
        elbow->attachChild(hand);
        root.attachChild(leg);
        ksgTransform* keyed = keyedBody ? &root : shoulder;
        keyed->attachController(motion);
        for (float t : KEY_TIMES)
            addKey(motion, t, keyedBody ? bodyKey(t) : product(translation(1, 2, 0), rotation(t, 1, 0, 0)));
        root.update(now, true, true);
    }

    std::vector<kmlMatrix4> keys() const
    {
        std::vector<kmlMatrix4> out;
        for (float t : KEY_TIMES)
            out.push_back(keyAt(motion, t));
        return out;
    }
    std::vector<kmlMatrix4> locals() const
    {
        return {root.getLocal(), shoulder->getLocal(), elbow->getLocal(), hand->getLocal(),
                leg->getLocal()};
    }
};

// The rotation by degrees about the world z axis through p.
kmlMatrix4 turnAbout(const kmlVec3& p, float degrees)
{
    return product(product(translation(p.get(0), p.get(1), p.get(2)), rotation(degrees, 0, 0, 1)),
                   translation(-p.get(0), -p.get(1), -p.get(2)));
}

::testing::AssertionResult sameMatrices(const std::vector<kmlMatrix4>& a,
                                        const std::vector<kmlMatrix4>& b)
{
    for (size_t i = 0; i < a.size(); ++i) {
        ::testing::AssertionResult r = matrixNear(a[i], b[i], 0.0f);
        if (!r)
            return r << " (matrix " << i << ")";
    }
    return ::testing::AssertionSuccess();
}

TEST(BodyFK, TurnsTheBodyAboutTheGrabbedJointAndKeepsItInPlace)
{
    Body body;
    const std::vector<kmlMatrix4> keys = body.keys();
    const kmlVec3 pivot = position(body.elbow->getWorld());
    const kmlMatrix4 before = body.root.getWorld();
    kgiBodyFKController fk;
    fk.setAxis(kmlVec3(0, 0, 1));
    fk.setTarget(body.elbow);
    // Only input[0] turns: the larger vertical component is not read.
    ASSERT_TRUE(fk.update(kmlVec3(30, 50, 0), true));
    EXPECT_TRUE(vecNear(position(body.elbow->getWorld()), pivot));
    EXPECT_TRUE(matrixNear(body.root.getWorld(), product(turnAbout(pivot, 30), before)));
    EXPECT_TRUE(matrixNear(body.hand->getWorld(),
                           product(turnAbout(pivot, 30), product(before, translation(1, 0, 0)))))
        << "the tree below follows";
    EXPECT_TRUE(sameMatrices(body.keys(), keys)) << "no key is written";
}

TEST(AnimFK, TurnsTheKeysOfTheRangeBothEndsIncluded)
{
    Body body(5);
    const std::vector<kmlMatrix4> keys = body.keys();
    const kmlVec3 pivot = position(body.elbow->getWorld());
    const kmlMatrix4 turn = turnAbout(pivot, -20);
    kgiAnimFKController fk;
    fk.setAxis(kmlVec3(0, 0, 1));
    fk.setRange(5, 10);
    fk.setTarget(body.elbow);
    ASSERT_TRUE(fk.update(kmlVec3(-20, 0, 0), true));

    const std::vector<kmlMatrix4> after = body.keys();
    EXPECT_TRUE(matrixNear(after[0], keys[0], 0.0f));
    EXPECT_TRUE(matrixNear(after[1], product(turn, keys[1])));
    EXPECT_TRUE(matrixNear(after[2], product(turn, keys[2])));
    EXPECT_TRUE(matrixNear(after[3], keys[3], 0.0f));
    EXPECT_TRUE(vecNear(position(body.elbow->getWorld()), pivot))
        << "the pose at 5 is the turned key, the grabbed joint stays";
}

TEST(AnimFK, AnEmptyOrUnsetRangeTurnsOnlyThePose)
{
    struct Case {
        const char* what;
        bool setRange;
        int start, end;
    };
    const Case cases[] = {{"reversed range", true, 10, 5}, {"never given a range", false, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Body body;
        const std::vector<kmlMatrix4> keys = body.keys();
        const kmlVec3 pivot = position(body.elbow->getWorld());
        const kmlMatrix4 before = body.root.getWorld();
        kgiAnimFKController fk;
        fk.setAxis(kmlVec3(0, 0, 1));
        if (c.setRange)
            fk.setRange(c.start, c.end);
        fk.setTarget(body.elbow);
        ASSERT_TRUE(fk.update(kmlVec3(15, 0, 0), true));
        EXPECT_TRUE(matrixNear(body.root.getWorld(), product(turnAbout(pivot, 15), before)));
        EXPECT_TRUE(sameMatrices(body.keys(), keys));
    }
}

TEST(AnimIK, GrabbedRootMovesTheBodyAndShiftsTheKeysOfTheRange)
{
    struct Case {
        const char* what;
        kmlVec3 input;
        bool relative;
    };
    const Case cases[] = {{"absolute goal", kmlVec3(2, 1, -3), false},
                          {"goal relative to the body", kmlVec3(2, 1, -3), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Body body;
        const std::vector<kmlMatrix4> keys = body.keys();
        const kmlVec3 start = position(body.root.getWorld());
        kmlVec3 goal(c.input);
        if (c.relative)
            goal += start;
        kmlVec3 offset(goal);
        offset -= start;

        kgiAnimIKController ik;
        ik.setRange(0, 10);
        ik.setTarget(&body.root);
        ASSERT_EQ(ik.getTarget(), &body.root);
        EXPECT_TRUE(ik.isRootMode());
        ASSERT_TRUE(ik.update(c.input, c.relative));

        EXPECT_TRUE(vecNear(position(body.root.getWorld()), goal));
        const std::vector<kmlMatrix4> after = body.keys();
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(KEY_TIMES[i]);
            EXPECT_TRUE(matrixNear(after[i], product(translation(offset.get(0), offset.get(1),
                                                                 offset.get(2)),
                                                     keys[i])));
        }
        EXPECT_TRUE(matrixNear(after[3], keys[3], 0.0f)) << "20 lies outside the range";
    }
}

TEST(AnimIK, GrabbedHandSolvesWithoutKeysAndResetLetsGoOfTheChain)
{
    Body body;
    const std::vector<kmlMatrix4> keys = body.keys();
    const kmlVec3 goal(2.5f, 1.5f, 1.0f);
    kmlVec3 gap = position(body.hand->getWorld());
    gap -= goal;
    const float before = gap.norm();

    kgiAnimIKController ik;
    ik.setRange(0, 20);
    ik.setTarget(body.hand);
    ASSERT_EQ(ik.getTarget(), body.hand);
    EXPECT_FALSE(ik.isRootMode());
    EXPECT_NE(ik.getChainRoot(), nullptr);
    ASSERT_TRUE(ik.update(goal, false));
    gap = position(body.hand->getWorld());
    gap -= goal;
    EXPECT_LT(gap.norm(), before - 0.1f);
    EXPECT_TRUE(sameMatrices(body.keys(), keys));

    ik.setTarget(nullptr);
    EXPECT_EQ(ik.getChainRoot(), nullptr);
}

TEST(AnimIK, ChainModesFollowTheOfferedIndexes)
{
    const int expected[][2] = {{0, 2}, {1, 1}, {2, 3}, {3, 4}, {4, 1}, {-1, 1}};
    for (const auto& e : expected) {
        kgiAnimIKController ik;
        ik.setChainMode(e[0]);
        EXPECT_EQ(ik.getChainMode(), e[1]) << "index " << e[0];
    }
    // Outside chain mode 1 a grabbed root is refused rather than moved.
    Body body;
    kgiAnimIKController ik;
    ik.setChainMode(0);
    ik.setTarget(&body.root);
    EXPECT_EQ(ik.getTarget(), nullptr);
    EXPECT_FALSE(ik.isRootMode());
}

TEST(KinematicControllers, WithoutAMotionControllerOnTheBodyOnlyThePoseChanges)
{
    Body body(0, false);
    const std::vector<kmlMatrix4> keys = body.keys();
    const kmlVec3 pivot = position(body.elbow->getWorld());
    const kmlMatrix4 before = body.root.getWorld();

    kgiAnimFKController fk;
    fk.setAxis(kmlVec3(0, 0, 1));
    fk.setRange(0, 20);
    fk.setTarget(body.elbow);
    ASSERT_TRUE(fk.update(kmlVec3(25, 0, 0), true));
    EXPECT_TRUE(matrixNear(body.root.getLocal(), product(turnAbout(pivot, 25), before)));
    EXPECT_TRUE(sameMatrices(body.keys(), keys));

    kgiAnimIKController ik;
    ik.setRange(0, 20);
    ik.setTarget(&body.root);
    ASSERT_TRUE(ik.update(kmlVec3(0, 3, 0), false));
    EXPECT_TRUE(vecNear(position(body.root.getWorld()), kmlVec3(0, 3, 0)));
    EXPECT_TRUE(sameMatrices(body.keys(), keys));
}

// Every refusal returns false and leaves poses and keys alone.
TEST(KinematicControllers, RefusalsChangeNothing)
{
    enum Kind { BODY_FK, ANIM_FK, ANIM_IK };
    enum Failure { FALSE_FLAG, NO_TARGET, DISABLED, PLAIN_ROOT };
    struct Case {
        Kind kind;
        Failure failure;
    };
    const Case cases[] = {{BODY_FK, FALSE_FLAG}, {ANIM_FK, FALSE_FLAG}, {BODY_FK, NO_TARGET},
                          {ANIM_FK, NO_TARGET},  {ANIM_IK, NO_TARGET},  {BODY_FK, DISABLED},
                          {ANIM_FK, DISABLED},   {ANIM_IK, DISABLED},   {BODY_FK, PLAIN_ROOT},
                          {ANIM_FK, PLAIN_ROOT}, {ANIM_IK, PLAIN_ROOT}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << ", failure " << c.failure);
        std::unique_ptr<ksgTransformController> ctl;
        if (c.kind == ANIM_IK) {
            auto ik = std::make_unique<kgiAnimIKController>();
            ik->setRange(0, 20);
            ctl = std::move(ik);
        } else if (c.kind == ANIM_FK) {
            auto fk = std::make_unique<kgiAnimFKController>();
            fk->setAxis(kmlVec3(0, 0, 1));
            fk->setRange(0, 20);
            ctl = std::move(fk);
        } else {
            auto fk = std::make_unique<kgiBodyFKController>();
            fk->setAxis(kmlVec3(0, 0, 1));
            ctl = std::move(fk);
        }

        Body body;
        // A transform pair under a plain node: the root is no transform.
        ksgNode plain;
        ksgTransform* upper = new ksgTransform;
        ksgTransform* lower = new ksgTransform;
        lower->setLocal(translation(0, 1, 0));
        plain.attachChild(upper);
        upper->attachChild(lower);
        const std::vector<kmlMatrix4> keys = body.keys();
        const std::vector<kmlMatrix4> locals = body.locals();

        if (c.failure == PLAIN_ROOT)
            ctl->setTarget(lower);
        else if (c.failure != NO_TARGET)
            ctl->setTarget(c.kind == ANIM_IK ? &body.root : body.elbow);
        if (c.failure == DISABLED)
            ctl->enable(false);
        const bool flag = c.failure != FALSE_FLAG;
        const kmlVec3 input = c.kind == ANIM_IK ? kmlVec3(1, 1, 1) : kmlVec3(10, 0, 0);
        EXPECT_FALSE(ctl->update(input, flag));
        EXPECT_TRUE(sameMatrices(body.locals(), locals));
        EXPECT_TRUE(sameMatrices(body.keys(), keys));
        EXPECT_TRUE(matrixNear(upper->getLocal(), kmlMatrix4(), 0.0f));
        EXPECT_TRUE(matrixNear(lower->getLocal(), translation(0, 1, 0), 0.0f));
    }
}

} // namespace
