// The motion mixer's weighted quaternion tracks.

#include <gtest/gtest.h>

#include "kmlEulerCurve.h"
#include "kmlQuatCurve.h"
#include "ksgMotionMixer.h"
#include "tree_test_util.h"

namespace {

// A quaternion curve holding one rotation about z from time 0 to time 10.
kmlQuatCurve* steady(float degrees)
{
    kmlQuatCurve* c = new kmlQuatCurve(1.0f);
    for (float t : {0.0f, 10.0f}) {
        kmlQuatKey* k = new kmlQuatKey(t);
        k->setValue(kmlQuat(degrees, kmlVec3(0, 0, 1)));
        c->insert(k);
    }
    return c;
}

float zAngle(const kmlQuat& q)
{
    float angle;
    kmlVec3 axis;
    kmlQuat(q).toAxisAngle(angle, axis);
    return axis.get(2) < 0 ? -angle : angle;
}

struct Mix {
    ksgMotionMixer mixer;
    kmlQuatCurve* a = steady(20);
    kmlQuatCurve* b = steady(60);
    ~Mix()
    {
        delete a;
        delete b;
    }
    // A new track, validated so the next add gets another one.
    int add(kmlBaseCurve* curve, float weight, float start = 0)
    {
        int i = mixer.addTrack();
        ksgMotionMixer::Track& t = mixer.getTrack(i);
        t.rotationCurve = curve;
        t.weight = weight;
        t.start = start;
        t.inLength = t.outLength = 2;
        mixer.validateAll();
        return i;
    }
};

TEST(MotionMixer, OnlyValidatedTracksWithWeightContribute)
{
    ksgMotionMixer fresh;
    int first = fresh.addTrack();
    EXPECT_EQ(fresh.addTrack(), first) << "a track not yet valid is handed out again";

    Mix m;
    int i = m.mixer.addTrack();
    m.mixer.getTrack(i).rotationCurve = m.a;
    m.mixer.getTrack(i).weight = 1;
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(5)), 0, 1e-4f) << "not validated";
    m.mixer.getTrack(i).weight = 0;
    m.mixer.validateAll();
    EXPECT_TRUE(m.mixer.getTrack(i).valid);
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(5)), 0, 1e-4f) << "weight 0";

    m.mixer.setComponents(ksgMotionMixer::ROTATION);
    m.mixer.validateAll();
    EXPECT_FALSE(m.mixer.getTrack(i).valid) << "rotation type 2 accepts no curve";
    m.mixer.setRotationType(ksgMotionMixer::QUATERNION);
    m.mixer.validateAll();
    EXPECT_TRUE(m.mixer.getTrack(i).valid);
}

TEST(MotionMixer, FullTracksMixToTheMidpointAndLeaveOutsideTheirTime)
{
    Mix m;
    m.add(m.a, 1);
    m.add(m.b, 1, 3);
    m.mixer.validateAll();
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(5)), 40, 1e-3f);
    // Before b starts and after a ends only one track plays.
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(0)), 0, 1e-3f) << "a fades in from nothing";
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(2.5f)), 20, 1e-3f);
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(11)), 60, 1e-3f);
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(12.5f)), 15, 1e-3f) << "b fading out";
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(20)), 0, 1e-3f) << "both over";
}

TEST(MotionMixer, FadesShapeTheWeight)
{
    struct Case {
        ksgMotionMixer::TransitionType type;
        float t;
        float degrees;
    };
    // Track of 20 degrees, fades of 2: at t = 1 the progress is 0.5.
    const Case cases[] = {
        {ksgMotionMixer::LINEAR, 1, 10},    {ksgMotionMixer::SMOOTH, 1, 10},
        {ksgMotionMixer::EASE_IN, 1, 2.5f}, {ksgMotionMixer::EASE_OUT, 1, 17.5f},
        {ksgMotionMixer::LINEAR, 9, 10},    {ksgMotionMixer::EASE_IN, 9.5f, 20 * 0.015625f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        Mix m;
        int i = m.add(m.a, 1);
        m.mixer.getTrack(i).inType = c.type;
        m.mixer.getTrack(i).outType = c.type;
        m.mixer.validateAll();
        // Small angles read back from a quaternion lose some precision.
        EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(c.t)), c.degrees, 5e-3f);
    }
}

TEST(MotionMixer, TracksWithoutAQuaternionCurveAreSkipped)
{
    Mix m;
    kmlEulerCurve euler(1.0f);
    kmlQuatCurve empty(1.0f);
    m.add(&euler, 1);
    m.add(&empty, 1);
    m.add(nullptr, 1);
    m.add(m.a, 1); // with components 0 every track is valid
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(5)), 20, 1e-3f);

    // Out of range: a spare that is never mixed.
    ksgMotionMixer::Track& spare = m.mixer.getTrack(99);
    spare.rotationCurve = m.b;
    spare.weight = 1;
    spare.valid = true;
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(5)), 20, 1e-3f);
    EXPECT_EQ(m.mixer.getTrack(-1).rotationCurve, nullptr) << "reset on every use";
    EXPECT_EQ(m.mixer.getNumTracks(), 4);

    m.mixer.remTrack(3);
    EXPECT_FALSE(m.mixer.getTrack(3).valid);
    EXPECT_NEAR(zAngle(m.mixer.evalQuatRotation(5)), 0, 1e-3f);
}

} // namespace
