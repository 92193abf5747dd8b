#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "kmlEulerCurve.h"
#include "kmlQuatEvaluator.h"
#include "kmlTCEvaluator.h"
#include "kmlTestUtil.h"

namespace {
// Exposes the cached segment of a channel.
class ProbeKey : public kmlEulerKey {
public:
    explicit ProbeKey(float t, float x = 0, float y = 0, float z = 0) : kmlEulerKey(t)
    {
        value[0] = x;
        value[1] = y;
        value[2] = z;
    }
    kmlBaseKey* clone() const override { return new ProbeKey(*this); }
    const kmlPolynomial& timePoly(int ch) { return channels[ch].timePoly; }
    const kmlPolynomial& valuePoly(int ch) { return channels[ch].valuePoly; }
    float loopStart(int ch) const { return channels[ch].loopStart; }
    float loopEnd(int ch) const { return channels[ch].loopEnd; }
    bool valid(int ch) const { return channels[ch].valid; }
    bool minRoot(std::vector<float> r, float& out) const
    {
        return computeMinRoot(r.data(), static_cast<int>(r.size()), out);
    }
    bool maxRoot(std::vector<float> r, float& out) const
    {
        return computeMaxRoot(r.data(), static_cast<int>(r.size()), out);
    }
};

ProbeKey* probe(kmlBaseCurve& c, int i) { return static_cast<ProbeKey*>(c.getKey(i)); }

kmlKey<kmlVec<3>>* vecKey(float t, float x)
{
    auto* k = new kmlKey<kmlVec<3>>(t);
    k->setValue(kmlVec3(x, 0, 0));
    return k;
}

kmlQuatKey* quatKey(float t, float angle)
{
    auto* k = new kmlQuatKey(t);
    k->setValue(kmlQuat(angle, kmlVec3(0, 0, 1)));
    return k;
}

std::vector<float> coeffs(const kmlPolynomial& p)
{
    std::vector<float> c;
    for (int i = 0; i <= p.getDegree(); ++i) c.push_back(p[i]);
    return c;
}
} // namespace

TEST(KmlEvaluator, VectorTypesAroundTheKeys)
{
    kmlCurve<kmlVec<3>> c;
    c.insert(vecKey(0, 1));
    c.insert(vecKey(10, 3));
    // Default tangents: in/out = value -+ (3 - 1) / 4 at both ends.
    struct Case { kmlEvalType type; float t, x; } cases[] = {
        {KML_EVAL_KEY, 5, 1},     {KML_EVAL_LINEAR, 5, 2},    {KML_EVAL_SPLINE, 5, 2},
        {KML_EVAL_LINEAR, 2.5f, 1.5f}, {KML_EVAL_KEY, 10, 3},  {KML_EVAL_SPLINE, 0, 1},
        {KML_EVAL_LINEAR, -5, 1}, {KML_EVAL_SPLINE, 15, 3},    {static_cast<kmlEvalType>(7), 5, 0},
        {static_cast<kmlEvalType>(7), 10, 3},
    };
    for (const Case& k : cases) {
        kmlEvaluator<kmlVec<3>> e(k.type);
        EXPECT_TRUE(vecNear<3>(e.eval(&c, k.t), kmlVec3(k.x, 0, 0), 1e-6f)) << k.type << " at " << k.t;
    }
    kmlEvaluator<kmlVec<3>> e(KML_EVAL_LINEAR);
    kmlCurve<kmlVec<3>> empty;
    EXPECT_EQ(e.eval(&empty, 3), kmlVec<3>());
    kmlQuatCurve wrongKind;
    wrongKind.insert(quatKey(0, 10));
    EXPECT_EQ(e.eval(&wrongKind, 0), kmlVec<3>());
    EXPECT_EQ(e.eval(nullptr, 0), kmlVec<3>());
}

TEST(KmlEvaluator, SingleKeyTangentsAreItsValue)
{
    kmlCurve<kmlVec<3>> c;
    c.insert(vecKey(4, 2));
    auto* k = static_cast<kmlKey<kmlVec<3>>*>(c.getKey(0));
    EXPECT_EQ(k->getIn(), k->getValue());
    EXPECT_EQ(k->getOut(), k->getValue());
}

TEST(KmlEvaluator, QuaternionSplineThroughTheKeys)
{
    kmlQuatCurve c;
    std::unique_ptr<kmlBaseEvaluator<kmlQuat>> e(new kmlQuatEvaluator());
    EXPECT_EQ(e->getType(), KML_EVAL_SPLINE);
    EXPECT_EQ(e->eval(&c, 1), kmlQuat::IDENTITY);
    c.insert(quatKey(0, 0));
    c.insert(quatKey(10, 60));
    c.insert(quatKey(40, 90));
    for (int i = 0; i < 3; ++i) {
        auto* k = static_cast<kmlQuatKey*>(c.getKey(i));
        EXPECT_EQ(e->eval(&c, k->getTime()), k->getValue());
    }
    auto* k0 = static_cast<kmlQuatKey*>(c.getKey(0));
    auto* k1 = static_cast<kmlQuatKey*>(c.getKey(1));
    EXPECT_EQ(e->eval(&c, 5), kmlQuat::spline(k0->getValue(), k0->getOut(), k1->getIn(), k1->getValue(), 0.5f));
    e->setType(KML_EVAL_KEY);
    EXPECT_EQ(e->eval(&c, 9), k0->getValue());
    e->setType(KML_EVAL_LINEAR);
    EXPECT_TRUE(vecNear<4>(e->eval(&c, 5), kmlQuat(30, kmlVec3(0, 0, 1)), 1e-6f));
    kmlCurve<kmlQuat> generic;
    EXPECT_EQ(e->eval(&generic, 0), kmlQuat::IDENTITY); // not a rotation curve
}

TEST(KmlEvaluator, QuaternionTangentFactorsFollowKeySpacing)
{
    struct Case { float prev, next, fIn, fOut; } cases[] = {
        {0, 20, 0.25f, 0.25f},   // key at 10, in the middle
        {-20, 20, 0.375f, 0.125f}, // a quarter of the span before the next key
        {0, 40, 0.125f, 0.375f},   // a quarter of the span after the previous key
    };
    for (const Case& k : cases) {
        kmlQuatCurve c;
        c.insert(quatKey(k.prev, 0));
        c.insert(quatKey(10, 40));
        c.insert(quatKey(k.next, 100));
        auto* p = static_cast<kmlQuatKey*>(c.getKey(0));
        auto* m = static_cast<kmlQuatKey*>(c.getKey(1));
        auto* n = static_cast<kmlQuatKey*>(c.getKey(2));
        EXPECT_EQ(m->getIn(), kmlQuat::intermediateIn(p->getValue(), m->getValue(), n->getValue(), k.fIn));
        EXPECT_EQ(m->getOut(), kmlQuat::intermediateOut(p->getValue(), m->getValue(), n->getValue(), k.fOut));
    }
}

TEST(KmlTCCurve, DefaultHandlesGiveTheTimePolynomials)
{
    kmlEulerCurve c;
    for (float t : {0.0f, 10.0f, 20.0f, 30.0f}) c.insert(new ProbeKey(t, t * 0.5f, -t, 3));
    ProbeKey* k1 = probe(c, 1);
    float v = k1->eval(0, 0.5f);
    EXPECT_EQ(coeffs(k1->timePoly(0)), (std::vector<float>{10, 10, 0, 0}));
    EXPECT_EQ(v, k1->valuePoly(0)(0.5f));
    EXPECT_NEAR(v, 7.5f, 1e-5f);
    probe(c, 0)->eval(0, 0.5f);
    EXPECT_EQ(coeffs(probe(c, 0)->timePoly(0)), (std::vector<float>{0, 5, 10, -5}));
    EXPECT_EQ(probe(c, 0)->loopStart(0), 1.0f); // still rising on [0, 1]
    EXPECT_EQ(probe(c, 3)->eval(1, 0.3f), probe(c, 3)->getChannelValue(1)); // no next key
    EXPECT_EQ(probe(c, 3)->eval(2, 7.0f), 3.0f);
}

TEST(KmlTCCurve, OvershootingHandleBoundsTheLoop)
{
    kmlEulerCurve c;
    c.insert(new ProbeKey(0, 0));
    c.insert(new ProbeKey(10, 100));
    ProbeKey* k = probe(c, 0);
    // time(s) = 30s - 20s^2: the cubic term vanishes, the turning point is at
    // s = 0.75 (time 11.25, past the next key), time first reaches 10 at 0.5.
    k->setChannelDtOut(0, 30);
    probe(c, 1)->setChannelDtIn(0, -10);
    float v = k->eval(0, 0.9f);
    EXPECT_EQ(coeffs(k->timePoly(0)), (std::vector<float>{0, 30, -20, 0}));
    EXPECT_NEAR(k->loopStart(0), 0.5f, 1e-3f);
    EXPECT_EQ(k->loopEnd(0), 1.0f);
    EXPECT_TRUE(std::isfinite(v));

    // Time running back before the key: loopStart 0, loopEnd where it returns.
    k->setChannelDtOut(1, -10);
    k->eval(1, 0.5f);
    EXPECT_EQ(k->loopStart(1), 0.0f);
    EXPECT_GT(k->loopEnd(1), 0.0f);
    EXPECT_LT(k->loopEnd(1), 1.0f);
    EXPECT_NEAR(k->timePoly(1)(k->loopEnd(1)), 0.0f, 1e-4f);
}

TEST(KmlTCCurve, RootChoiceExcludesTheSegmentEnds)
{
    // Roots at s = 0 and s = 1 are the keys themselves, not turning points.
    struct Case { std::vector<float> roots; bool found; float min, max; } cases[] = {
        {{0, 0.3f, 1}, true, 0.3f, 0.3f},
        {{0, 1}, false, 0, 0},
        {{0.7f, 0.2f, 0.5f}, true, 0.2f, 0.7f},
        {{-0.1f, 1.2f}, false, 0, 0},
        {{}, false, 0, 0},
    };
    ProbeKey k(0);
    for (const Case& c : cases) {
        float lo = -1, hi = -1;
        EXPECT_EQ(k.minRoot(c.roots, lo), c.found);
        EXPECT_EQ(k.maxRoot(c.roots, hi), c.found);
        if (c.found) {
            EXPECT_EQ(lo, c.min);
            EXPECT_EQ(hi, c.max);
        }
    }
}

TEST(KmlTCCurve, EditsInvalidateTheSegmentsTheyChange)
{
    using Edit = void (*)(ProbeKey* prev, ProbeKey* next);
    struct Case { const char* what; Edit edit; } cases[] = {
        {"next channel value", [](ProbeKey*, ProbeKey* n) { n->setChannelValue(0, 50); }},
        {"next channel DvIn", [](ProbeKey*, ProbeKey* n) { n->setChannelDvIn(0, 40); }},
        {"next channel dtIn", [](ProbeKey*, ProbeKey* n) { n->setChannelDtIn(0, 1); }},
        {"next setValue", [](ProbeKey*, ProbeKey* n) { n->setValue(kmlVec3(50, 0, 0)); }},
        {"next setIn", [](ProbeKey*, ProbeKey* n) { n->setIn(kmlVec3(40, 0, 0)); }},
        {"own channel DvOut", [](ProbeKey* p, ProbeKey*) { p->setChannelDvOut(0, 40); }},
        {"own channel dtOut", [](ProbeKey* p, ProbeKey*) { p->setChannelDtOut(0, 1); }},
        {"own setOut", [](ProbeKey* p, ProbeKey*) { p->setOut(kmlVec3(40, 0, 0)); }},
        {"own channel value", [](ProbeKey* p, ProbeKey*) { p->setChannelValue(0, 5); }},
    };
    for (const Case& k : cases) {
        kmlEulerCurve c;
        c.insert(new ProbeKey(0, 0));
        c.insert(new ProbeKey(10, 20));
        ProbeKey* p = probe(c, 0);
        float before = p->eval(0, 0.3f);
        k.edit(p, probe(c, 1));
        EXPECT_FALSE(p->valid(0)) << k.what;
        EXPECT_NE(p->eval(0, 0.3f), before) << k.what;
    }
}

TEST(KmlTCCurve, RemovalWithoutSmoothingRefreshesThePreviousSegment)
{
    kmlEulerCurve c;
    c.smoothEdit(false);
    c.insert(new ProbeKey(0, 0));
    c.insert(new ProbeKey(10, 100));
    c.insert(new ProbeKey(20, 20));
    kmlTCEvaluator<3> e(KML_EVAL_SPLINE);
    float withMiddle = e.eval(&c, 5)[0];
    c.remove(10);
    float after = e.eval(&c, 5)[0];
    EXPECT_NE(after, withMiddle);
    EXPECT_LT(after, 20.0f); // between the two remaining values, not towards 100
}

TEST(KmlTCCurve, HandlesProportionalToTimeEvaluateLinearly)
{
    // Values 2t + 1 with handles whose value offsets are twice their time
    // offsets: every segment is the straight line, however the time
    // polynomial is shaped, so each evaluation must give 2t + 1.
    struct Case { const char* what; std::vector<float> times; bool zeroHandles; } cases[] = {
        {"default handles", {0, 10, 20, 30}, false},
        {"zero-length handles", {0, 10, 20, 30}, true},
        {"short segments", {0, 0.001f, 0.002f, 1}, false},
        {"short segments, zero handles", {0, 0.001f, 0.0025f}, true},
        {"far from zero", {5000, 5001, 5003}, false},
    };
    for (const Case& k : cases) {
        kmlTCCurve<3> c;
        for (float t : k.times) {
            auto* key = new kmlTCKey<3>(t);
            key->setValue(kmlVec3(2 * t + 1, 0, 0));
            c.insert(key);
        }
        if (k.zeroHandles)
            for (int i = 0; i < c.getNumKeys(); ++i) {
                auto* key = static_cast<kmlTCKey<3>*>(c.getKey(i));
                key->setChannelDtIn(0, 0);
                key->setChannelDvIn(0, 0);
                key->setChannelDtOut(0, 0);
                key->setChannelDvOut(0, 0);
            }
        kmlTCEvaluator<3> e(KML_EVAL_SPLINE);
        for (size_t i = 0; i + 1 < k.times.size(); ++i)
            for (float u : {0.0f, 0.1f, 0.5f, 0.77f, 1.0f}) {
                float t = k.times[i] + u * (k.times[i + 1] - k.times[i]);
                float tol = 1e-3f * (k.times[i + 1] - k.times[i]) + 2e-6f * (2 * t + 1);
                EXPECT_NEAR(e.eval(&c, t)[0], 2 * t + 1, tol) << k.what << " at " << t;
            }
    }
}

TEST(KmlEulerCurve, InsertedAnglesStayNearTheirNeighbour)
{
    struct Case { float firstTime, firstAngle, secondTime, secondAngle, expected; } cases[] = {
        {0, 10, 10, 350, -10},  // after a key
        {10, 10, 0, 350, -10},  // before the only key
        {0, -170, 10, 170, -190},
        {0, 0, 10, 190, -170},
        {0, 720, 10, 10, 730},
    };
    for (const Case& k : cases) {
        kmlEulerCurve c;
        c.insert(new ProbeKey(k.firstTime, k.firstAngle));
        c.insert(new ProbeKey(k.secondTime, k.secondAngle));
        int i = c.getKeyIndex(k.secondTime);
        EXPECT_NEAR(probe(c, i)->getChannelValue(0), k.expected, 1e-3f) << k.secondAngle;
    }
}

TEST(KmlEulerCurve, CopiesAndEvaluatorKinds)
{
    kmlEulerCurve c;
    c.insert(new ProbeKey(0, 0, 10));
    c.insert(new ProbeKey(10, 90, 20));
    // Edited handles survive a copy outside smooth-edit mode (in smooth mode
    // copying recomputes every key's default handles).
    c.smoothEdit(false);
    probe(c, 0)->setChannelDtOut(0, 2);
    std::unique_ptr<kmlBaseCurve> d(c.clone());
    kmlTCEvaluator<3> e(KML_EVAL_SPLINE);
    EXPECT_EQ(e.eval(d.get(), 3)[0], e.eval(&c, 3)[0]);
    EXPECT_EQ(static_cast<kmlTCKey<3>*>(d->getKey(0))->getChannelDtOut(0), 2.0f);
    e.setType(KML_EVAL_LINEAR);
    EXPECT_TRUE(vecNear<3>(e.eval(&c, 5), kmlVec3(45, 15, 0), 1e-5f));

    kmlTCCurve<3> positions;
    positions.copy(&c); // an Euler curve is a tension-handle curve
    EXPECT_EQ(positions.getNumKeys(), 2);
    kmlEulerCurve other;
    other.copy(&positions); // but not the other way round
    EXPECT_EQ(other.getNumKeys(), 0);
    kmlTCKey<3> plain(5);
    EXPECT_FALSE(c.insert(&plain));
}
