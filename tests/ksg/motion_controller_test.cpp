// Motion controllers: update gating, key edits, frames, layers, tracks and
// the controller kinds.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "kmlEulerCurve.h"
#include "kmlQuatCurve.h"
#include "kmlTCCurve.h"
#include "kmlTCEvaluator.h"
#include "ksgMotionControllerKinds.h"
#include "ksgMotionFrame.h"
#include "ksgTransform.h"
#include "tree_test_util.h"

using ksgtest::matrixNear;
using ksgtest::product;
using ksgtest::rotation;
using ksgtest::translation;
using ksgtest::vecNear;

namespace {

// A joint under a root with a position-and-quaternion controller, time step
// 1 as the application builds them, and empty base curves.
struct Joint {
    ksgTransform root;
    ksgTransform* joint = new ksgTransform;
    ksgPQController* ctl = new ksgPQController(1.0f);
    const kmlMatrix4 rest = translation(0, 1, 0);

    Joint()
    {
        joint->setLocal(rest);
        root.attachChild(joint);
        joint->attachController(ctl);
        joint->setLocalAsDefault();
        ctl->setPositionCurve(new kmlTCCurve<3>(1.0f), -1, false);
        ctl->setRotationCurve(new kmlQuatCurve(1.0f), -1, false);
    }

    bool key(float t, const kmlMatrix4& pose, int layer = -1, bool offset = false)
    {
        ksgPQFrame f;
        f.fromMatrix(pose);
        f.setTime(t);
        f.asOffset(offset);
        return ctl->addFrame(&f, layer);
    }

    kmlVec3 positionAt(float t, unsigned short flags, const std::vector<int>& layers,
                       bool* offset = nullptr)
    {
        ksgPQFrame f;
        f.setTime(t);
        ctl->getFrame(&f, flags, layers);
        if (offset != nullptr)
            *offset = f.isOffset();
        return f.positionToData();
    }

    std::vector<float> times(kmlBaseCurve* c)
    {
        std::vector<float> out;
        c->getKeysTime(out);
        return out;
    }
};

TEST(MotionController, SetLocalAsDefaultHandsTheDefaultPoseOver)
{
    Joint j;
    EXPECT_TRUE(matrixNear(j.ctl->getDefault(), j.rest));
    // Without keys the joint shows its default pose.
    j.joint->setLocal(translation(5, 5, 5));
    EXPECT_TRUE(j.ctl->update(0, true));
    EXPECT_TRUE(matrixNear(j.joint->getLocal(), j.rest));

    j.joint->setLocal(product(translation(0, 2, 0), rotation(30, 1, 0, 0)));
    j.joint->setLocalAsDefault();
    EXPECT_TRUE(matrixNear(j.ctl->getDefault(), j.joint->getLocal()));
    EXPECT_TRUE(j.ctl->update(0, true)) << "a new default is a change to show";
}

TEST(MotionController, UpdateGating)
{
    Joint j;
    const kmlMatrix4 a = translation(1, 0, 0);
    const kmlMatrix4 c = translation(0, 0, 7);
    const kmlMatrix4 junk = translation(9, 9, 9);

    ksgPQController bare(1.0f);
    ksgTransform alone;
    alone.attachController(&bare);
    EXPECT_FALSE(bare.update(0, true)) << "no base curves: never, even when dirty";
    alone.detachController(&bare);

    j.key(0, a);
    j.key(10, translation(2, 0, 0));
    struct Step {
        const char* name;
        std::function<void()> before;
        float t;
        bool evaluates;
    };
    const Step steps[] = {
        {"dirty after the keys", [] {}, 0, true},
        {"within the time step", [&] { j.joint->setLocal(junk); }, 0.5f, false},
        {"forced", [&] { j.ctl->forceUpdate(); }, 0.5f, true},
        {"one step on", [] {}, 1.5f, true},
        {"same time again", [] {}, 1.5f, false},
        // A failing edit after an add must not hide the pending evaluation.
        {"failed edit after an add",
         [&] {
             j.key(1.5f, c);
             EXPECT_FALSE(j.ctl->remove(7.0f, -1));
         },
         1.5f, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.before();
        kmlMatrix4 before = j.joint->getLocal();
        EXPECT_EQ(j.ctl->update(s.t, true), s.evaluates);
        if (!s.evaluates) {
            EXPECT_TRUE(matrixNear(j.joint->getLocal(), before));
        }
    }
    EXPECT_TRUE(matrixNear(j.joint->getLocal(), c));
}

TEST(MotionController, AddFrameReportsWhetherItAddedAKey)
{
    Joint j;
    j.ctl->newLayer();
    ksgPFrame wrongKind;
    wrongKind.fromData(kmlVec3(1, 0, 0));
    EXPECT_FALSE(j.ctl->addFrame(&wrongKind, -1));
    EXPECT_FALSE(j.ctl->addFrame(nullptr, -1));
    EXPECT_TRUE(j.key(0, j.rest, 5)) << "a base frame ignores the layer";
    EXPECT_FALSE(j.key(1, j.rest, -1, true)) << "offset frame, no layer -1";
    EXPECT_FALSE(j.key(1, j.rest, 3, true)) << "offset frame, no layer 3";
    EXPECT_TRUE(j.key(1, j.rest, 0, true));
    EXPECT_EQ(j.ctl->getBasePosition()->getNumKeys(), 1);
    EXPECT_EQ(j.ctl->getLayerRotation(0)->getNumKeys(), 1);

    ksgPQController bare(1.0f);
    ksgPQFrame f;
    EXPECT_FALSE(bare.addFrame(&f, -1)) << "no curves to add to";
}

TEST(MotionController, CurveInstallRefusals)
{
    Joint j;
    j.key(0, translation(3, 0, 0));
    kmlBaseCurve* held = j.ctl->getBasePosition();
    EXPECT_FALSE(j.ctl->setPositionCurve(held, -1, false)) << "the curve it holds";
    j.ctl->newLayer();
    EXPECT_FALSE(j.ctl->setPositionCurve(held, 0, true)) << "held elsewhere";
    EXPECT_EQ(j.ctl->getBasePosition(), held);
    EXPECT_EQ(held->getNumKeys(), 1);

    std::unique_ptr<kmlBaseCurve> quat(new kmlQuatCurve(1.0f));
    EXPECT_FALSE(j.ctl->setPositionCurve(quat.get(), -1, false)) << "wrong class";
    std::unique_ptr<kmlBaseCurve> spare(new kmlTCCurve<3>(1.0f));
    EXPECT_FALSE(j.ctl->setPositionCurve(spare.get(), 4, true)) << "no layer 4";
    EXPECT_FALSE(j.ctl->setPositionCurve(spare.get(), 0, false)) << "no track 0";
    EXPECT_TRUE(j.ctl->setPositionCurve(spare.release(), 0, true));
}

TEST(MotionController, KeyEditsKeepBothChannelsOrderedAndApart)
{
    Joint j;
    for (float t : {0.0f, 1.0f, 2.0f, 5.0f})
        j.key(t, translation(t, 0, 0));
    kmlBaseCurve* p = j.ctl->getBasePosition();
    kmlBaseCurve* r = j.ctl->getBaseRotation();
    typedef std::vector<float> Times;

    struct Case {
        const char* name;
        Times request;
        Times result;
    };
    const Case cases[] = {
        {"crossing keys refused", {0, 3, 2, 5}, {0, 1, 2, 5}},
        {"closer than a step refused", {0, 1, 2, 2.5f}, {0, 1, 2, 5}},
        {"within a step keeps the old time", {0, 1.5f, 3, 4}, {0, 1, 3, 4}},
        {"wrong length moves nothing", {0, 1}, {0, 1, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        j.ctl->setKeysTime(c.request, true, -1);
        EXPECT_EQ(j.times(p), c.result);
        EXPECT_EQ(j.times(r), c.result);
    }

    // At the time of the last key there is no later key to shift.
    j.ctl->insertFrames(4, 3, -1);
    EXPECT_EQ(j.times(p), (Times{0, 1, 3, 4}));
    j.ctl->insertFrames(2, 3, -1);
    EXPECT_EQ(j.times(p), (Times{0, 1, 6, 7}));
    j.ctl->removeFrames(2, 10, -1);
    EXPECT_EQ(j.times(p), (Times{0, 1, 2, 3})) << "stops one step after the previous key";
    EXPECT_EQ(j.times(r), j.times(p));

    EXPECT_TRUE(j.ctl->duplicateRange(0, 2, 10, -1));
    EXPECT_TRUE(j.ctl->move(11, 15, -1));
    EXPECT_FALSE(j.ctl->move(5, 9, -1));
    EXPECT_TRUE(j.ctl->remove(0, 1.5f, -1));
    EXPECT_EQ(j.times(p), (Times{2, 3, 10, 15}));
    EXPECT_EQ(j.times(p), j.times(r));
    std::vector<float> keys;
    j.ctl->getKeysTime(keys, -1);
    EXPECT_EQ(keys, j.times(p));
    for (size_t i = 1; i < keys.size(); ++i)
        EXPECT_GE(keys[i] - keys[i - 1], 1.0f);
    EXPECT_TRUE(j.ctl->hasKeyTime(keys[0], -1));
    EXPECT_FALSE(j.ctl->hasKeyTime(keys[0] + 0.5f, -1));
}

TEST(MotionController, MovedKeysGetTangentsFromTheirNewNeighbours)
{
    // Every key moves past its old successor's time: while the keys are
    // retimed one by one they are briefly out of order.
    Joint j;
    const float before[] = {0, 10, 20}, after[] = {15, 25, 30}, x[] = {0, 5, -3};
    kmlTCCurve<3> expected(1.0f);
    for (int i = 0; i < 3; ++i) {
        j.key(before[i], translation(x[i], 0, 0));
        ksgPQFrame f;
        f.fromMatrix(translation(x[i], 0, 0));
        f.setTime(after[i]);
        expected.insert(f.positionToKey());
    }
    j.ctl->setKeysTime(std::vector<float>(after, after + 3), true, -1);

    kmlTCEvaluator<3> spline(KML_EVAL_SPLINE);
    for (float t = 15; t <= 30; t += 1.5f) {
        SCOPED_TRACE(t);
        EXPECT_NEAR(spline.eval(j.ctl->getBasePosition(), t)[0], spline.eval(&expected, t)[0], 1e-4f);
    }
}

TEST(MotionController, GetFrameFlagsAndLayers)
{
    Joint j;
    j.key(0, translation(1, 0, 0));
    int withKeys = j.ctl->newLayer();
    int empty = j.ctl->newLayer();
    j.key(0, translation(0, 2, 0), withKeys, true);
    j.ctl->enableLayer(withKeys, false); // only the empty layer stays on
    const std::vector<int> before = {empty};
    bool offset = false;

    EXPECT_TRUE(vecNear(j.positionAt(0, 1, ksgMotionController::NoLayerSet, &offset), kmlVec3(1, 0, 0)));
    EXPECT_FALSE(offset);
    EXPECT_TRUE(vecNear(j.positionAt(0, 2, {withKeys}, &offset), kmlVec3(0, 2, 0)));
    EXPECT_TRUE(offset);
    // A layer without keys adds nothing (not the default pose).
    EXPECT_TRUE(vecNear(j.positionAt(0, 2, {empty}, &offset), kmlVec3(0, 0, 0)));
    EXPECT_TRUE(offset);
    EXPECT_TRUE(vecNear(j.positionAt(0, 3, {withKeys, empty}, &offset), kmlVec3(1, 2, 0)));
    EXPECT_FALSE(offset);

    EXPECT_EQ(j.ctl->getFlags(), 7);
    std::vector<int> set;
    j.ctl->getLayerSet(set);
    EXPECT_EQ(set, before) << "layer set restored";

    // The joint itself: base plus the enabled (empty) layer.
    EXPECT_TRUE(j.ctl->update(0, true));
    EXPECT_TRUE(matrixNear(j.joint->getLocal(), translation(1, 0, 0)));
}

TEST(MotionController, EvaluatingOnAndBetweenKeys)
{
    Joint j;
    j.key(0, translation(0, 0, 0));
    j.key(4, product(translation(4, 0, 0), rotation(90, 0, 0, 1)));
    ksgPQFrame f;
    f.setTime(4);
    j.ctl->getFrame(&f, 1, ksgMotionController::NoLayerSet);
    EXPECT_TRUE(f.isKey());
    f.setTime(2);
    j.ctl->getFrame(&f, 1, ksgMotionController::NoLayerSet);
    EXPECT_FALSE(f.isKey());

    // A position key alone at a time does not make a key frame.
    ksgPQFrame p;
    p.fromMatrix(translation(9, 0, 0));
    p.setTime(8);
    j.ctl->getBasePosition()->insert(p.positionToKey());
    f.setTime(8);
    j.ctl->getFrame(&f, 1, ksgMotionController::NoLayerSet);
    EXPECT_FALSE(f.isKey());
    EXPECT_EQ(f.getKeyBits(), ksgPQFrame::POSITION_KEY);
}

// Exposes the shaping of fades.
class ShapeProbe : public ksgPQController {
public:
    float shape(unsigned char code, float x) const { return modifyBlendParam(code, x); }
};

TEST(MotionController, BlendShapes)
{
    struct Case {
        unsigned char code;
        float at0, atHalf, at1;
    };
    const Case cases[] = {
        {0, 0, 0, 0},        {1, 0, 0.5f, 1},  {2, 0, 0.875f, 1},
        {3, 0, 0.125f, 1},   {4, 0, 0.5f, 1},  {9, 0, 0.5f, 1},
    };
    ShapeProbe probe;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        EXPECT_FLOAT_EQ(probe.shape(c.code, 0), c.at0);
        EXPECT_FLOAT_EQ(probe.shape(c.code, 0.5f), c.atHalf);
        EXPECT_FLOAT_EQ(probe.shape(c.code, 1), c.at1);
    }
}

TEST(MotionController, TracksFadeFromTheBaseWithTheTracksInShape)
{
    Joint j;
    j.key(0, translation(0, 0, 0));
    int track = j.ctl->newTrack();
    ksgPQFrame f;
    f.fromMatrix(translation(8, 0, 0));
    f.setTime(0);
    j.ctl->getTrackPosition(track)->insert(f.positionToKey());
    // Fades in over 0..2 with x^3, plays to 10.
    ASSERT_TRUE(j.ctl->setTrackParameters(track, 0, 2, 3, 10, 1, 1));
    EXPECT_FALSE(j.ctl->setTrackParameters(track + 1, 0, 2, 3, 10, 1, 1));

    EXPECT_TRUE(vecNear(j.positionAt(1, 7, ksgMotionController::NoLayerSet), kmlVec3(1, 0, 0)));
    ksgPQFrame at5;
    at5.setTime(5);
    j.ctl->getFrame(&at5, 7, ksgMotionController::NoLayerSet);
    EXPECT_TRUE(vecNear(at5.positionToData(), kmlVec3(8, 0, 0)));
    EXPECT_EQ(at5.getTime(), 5.0f) << "the frame stays at the time asked";

    // A removed track leaves the scheduler too: the base plays again.
    j.ctl->removeTrack(track);
    ksgBlendScheduler::TrackInfo info;
    EXPECT_FALSE(j.ctl->getScheduler().getTrackInfo(track, info));
    EXPECT_TRUE(vecNear(j.positionAt(5, 7, ksgMotionController::NoLayerSet), kmlVec3(0, 0, 0)));
    EXPECT_EQ(j.ctl->getNumTracks(), 0);
}

TEST(MotionController, MergingLayers)
{
    Joint j;
    for (int i = 0; i < 3; ++i) {
        int l = j.ctl->newLayer();
        j.key(0, translation(1, 0, 0), l, true);
        j.key(static_cast<float>(2 + i), translation(0, 1, 0), l, true);
    }
    EXPECT_EQ(j.ctl->mergeLayers(1, 1), -1);
    EXPECT_EQ(j.ctl->mergeLayers(1, 7), -1);
    EXPECT_EQ(j.ctl->mergeLayers(-1, 0), -1);
    EXPECT_EQ(j.ctl->getNumLayers(), 3);

    EXPECT_EQ(j.ctl->mergeLayers(2, 1), 1);
    EXPECT_EQ(j.ctl->getNumLayers(), 2);
    EXPECT_EQ(j.ctl->mergeLayers(2, 0), -1) << "slot 2 is free now";
    j.ctl->mergeAllLayers();
    EXPECT_EQ(j.ctl->getNumLayers(), 1);
    EXPECT_EQ(j.times(j.ctl->getLayerPosition(0)), (std::vector<float>{0, 2, 3, 4}));
    EXPECT_TRUE(vecNear(j.positionAt(0, 2, {0}), kmlVec3(3, 0, 0))) << "keys at one time add up";
    EXPECT_EQ(j.ctl->newLayer(), 1) << "the first free slot is reused";
}

TEST(MotionController, CopiesOwnTheirCurves)
{
    Joint j;
    j.key(0, translation(1, 0, 0));
    j.ctl->newLayer();
    ksgPQController copy(*j.ctl);
    EXPECT_EQ(copy.getTarget(), nullptr) << "a copy works on no node";
    ASSERT_NE(copy.getBasePosition(), nullptr);
    EXPECT_NE(copy.getBasePosition(), j.ctl->getBasePosition());
    EXPECT_NE(copy.getLayerRotation(0), j.ctl->getLayerRotation(0));
    EXPECT_EQ(copy.getBasePosition()->getNumKeys(), 1);

    ksgPQController assigned(1.0f);
    assigned = copy;
    EXPECT_NE(assigned.getBasePosition(), copy.getBasePosition());
    EXPECT_EQ(assigned.getNumLayers(), 1);
    EXPECT_TRUE(j.joint->attachController(new ksgPQController(copy)));
}

TEST(MotionControllerKinds, ChannelsAndInterpolation)
{
    struct Case {
        const char* name;
        std::shared_ptr<ksgMotionController> ctl;
        bool position, rotation;
    };
    const Case cases[] = {
        {"P", std::make_shared<ksgPController>(), true, false},
        {"Q", std::make_shared<ksgQController>(), false, true},
        {"E", std::make_shared<ksgEController>(), false, true},
        {"PQ", std::make_shared<ksgPQController>(), true, true},
        {"PE", std::make_shared<ksgPEController>(), true, true},
    };
    const kmlEvalType NONE = static_cast<kmlEvalType>(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ksgMotionController& m = *c.ctl;
        EXPECT_EQ(m.getTimeStep(), 0.001f);
        EXPECT_EQ(m.hasPosition(), c.position);
        EXPECT_EQ(m.hasRotation(), c.rotation);
        EXPECT_EQ(m.getPositionInterpolation(), c.position ? KML_EVAL_SPLINE : NONE);
        EXPECT_EQ(m.getRotationInterpolation(), c.rotation ? KML_EVAL_SPLINE : NONE);
        m.setPositionInterpolation(KML_EVAL_KEY);
        m.setRotationInterpolation(KML_EVAL_KEY);
        EXPECT_EQ(m.getPositionInterpolation(), c.position ? KML_EVAL_KEY : NONE);
        EXPECT_EQ(m.getRotationInterpolation(), c.rotation ? KML_EVAL_KEY : NONE);
        int l = m.newLayer();
        EXPECT_EQ(m.getLayerPosition(l) != nullptr, c.position);
        EXPECT_EQ(m.getLayerRotation(l) != nullptr, c.rotation);
        std::unique_ptr<ksgMotionFrame> f(m.newFrame());
        EXPECT_TRUE(m.validFrame(f.get()));
    }
    ksgPQController pq;
    ksgPFrame p;
    EXPECT_FALSE(pq.validFrame(&p));
    ksgEController e;
    std::unique_ptr<kmlBaseCurve> quat(new kmlQuatCurve);
    EXPECT_FALSE(e.setRotationCurve(quat.get(), -1, false));
}

TEST(MotionControllerKinds, EmptyCurvesGiveTheDefaultPose)
{
    const kmlMatrix4 pose = product(translation(1, 2, 3), rotation(25, 0, 1, 0));
    ksgPEController pe(1.0f);
    pe.setDefault(pose);
    pe.setPositionCurve(new kmlTCCurve<3>(1.0f), -1, false);
    pe.setRotationCurve(new kmlEulerCurve(1.0f), -1, false);
    ksgTransform joint;
    joint.attachController(&pe);
    EXPECT_TRUE(pe.update(3, true));
    EXPECT_TRUE(matrixNear(joint.getLocal(), pose));
    joint.detachController(&pe);
}

} // namespace
