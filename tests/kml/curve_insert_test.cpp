// Key insertion against the way it used to run: a key at a time the curve
// already holds used to be removed and the new one inserted at its place
// (moving every later key twice and updating the neighbours in between),
// and every insertion scanned the whole curve for the key. Now the key
// takes the old one's place, and a batch may leave the tangents to its end.
// Over a few thousand random insertions (new times whole and fractional,
// replacements, keys before, between and after the others) all three ways
// must give the same curve bit for bit: times, values, tangents and the
// evaluated curve between the keys.
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "kmlEulerCurve.h"
#include "kmlQuatCurve.h"
#include "kmlQuatEvaluator.h"
#include "kmlTCEvaluator.h"

namespace {

// The curve with the insertion as it used to be.
template <class Curve>
class FormerInsertion : public Curve {
public:
    explicit FormerInsertion(float step) : Curve(step) {}
    bool insertAsBefore(kmlBaseKey* key)
    {
        if (!key || !this->validKey(key) || !std::isfinite(key->getTime()) || this->owns(key))
            return false;
        const float t = key->getTime();
        int i = this->getKeyIndex(t);
        if (i >= 0)
            this->removeInternal(i);
        else
            i = this->insertIndex(t);
        this->insertInternal(i, key);
        this->updateRange();
        return true;
    }
};

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

template <class V>
bool sameBits(const V& a, const V& b, int n)
{
    for (int i = 0; i < n; ++i)
        if (!sameBits(a[i], b[i]))
            return false;
    return true;
}

// Random key times: mostly new times (whole frames and halves, some before
// the first key), a third of them times already keyed.
std::vector<float> randomTimes(std::mt19937& rng, int count)
{
    std::vector<float> times;
    std::uniform_int_distribution<int> frame(-50, 4000), choice(0, 2), half(0, 1);
    for (int i = 0; i < count; ++i) {
        if (!times.empty() && choice(rng) == 0) {
            std::uniform_int_distribution<size_t> pick(0, times.size() - 1);
            times.push_back(times[pick(rng)]);
        } else {
            times.push_back(static_cast<float>(frame(rng)) + (half(rng) ? 0.5f : 0.0f));
        }
    }
    return times;
}

struct QuatCase {
    using Curve = kmlQuatCurve;
    using Key = kmlQuatKey;
    static kmlBaseKey* make(std::mt19937& rng, float t)
    {
        std::uniform_real_distribution<float> angle(-170.0f, 170.0f), axis(-1.0f, 1.0f);
        kmlVec3 a(axis(rng), axis(rng), axis(rng) + 2.0f);
        a.unit();
        Key* k = new Key(t);
        k->setValue(kmlQuat(angle(rng), a));
        return k;
    }
    static bool sameKey(kmlBaseKey* a, kmlBaseKey* b)
    {
        Key* x = static_cast<Key*>(a);
        Key* y = static_cast<Key*>(b);
        return sameBits(x->getValue(), y->getValue(), 4) && sameBits(x->getIn(), y->getIn(), 4) &&
               sameBits(x->getOut(), y->getOut(), 4);
    }
    static bool sameAt(kmlBaseCurve* a, kmlBaseCurve* b, float t)
    {
        kmlQuatEvaluator eval;
        return sameBits(eval.eval(a, t), eval.eval(b, t), 4);
    }
};

// Tension-handle keys; Euler keys also re-express their angles against the
// neighbour they are inserted next to.
template <class CurveType, class KeyType, int Spread>
struct TCCase {
    using Curve = CurveType;
    using Key = KeyType;
    static kmlBaseKey* make(std::mt19937& rng, float t)
    {
        std::uniform_real_distribution<float> value(-float(Spread), float(Spread));
        Key* k = new Key(t);
        kmlVec<3> v;
        for (int ch = 0; ch < 3; ++ch)
            v[ch] = value(rng);
        k->setValue(v);
        return k;
    }
    static bool sameKey(kmlBaseKey* a, kmlBaseKey* b)
    {
        Key* x = static_cast<Key*>(a);
        Key* y = static_cast<Key*>(b);
        for (int ch = 0; ch < 3; ++ch)
            if (!sameBits(x->getChannelDtIn(ch), y->getChannelDtIn(ch)) ||
                !sameBits(x->getChannelDtOut(ch), y->getChannelDtOut(ch)))
                return false;
        return sameBits(x->getValue(), y->getValue(), 3) && sameBits(x->getIn(), y->getIn(), 3) &&
               sameBits(x->getOut(), y->getOut(), 3);
    }
    static bool sameAt(kmlBaseCurve* a, kmlBaseCurve* b, float t)
    {
        kmlTCEvaluator<3> eval(KML_EVAL_SPLINE);
        return sameBits(eval.eval(a, t), eval.eval(b, t), 3);
    }
};

using PositionCase = TCCase<kmlTCCurve<3>, kmlTCKey<3>, 50>;
using EulerCase = TCCase<kmlEulerCurve, kmlEulerKey, 400>;

// Inserts the same random keys the former way, one by one, and as one
// deferred batch; the curves must agree key for key and between the keys.
template <class Case>
void compareInsertions(unsigned seed, bool smooth)
{
    std::mt19937 rng(seed);
    const std::vector<float> times = randomTimes(rng, 3000);
    FormerInsertion<typename Case::Curve> former(1.0f);
    typename Case::Curve now(1.0f), batch(1.0f);
    former.smoothEdit(smooth);
    now.smoothEdit(smooth);
    batch.smoothEdit(smooth);
    batch.deferUpdates(true);
    for (float t : times) {
        const unsigned keySeed = static_cast<unsigned>(rng());
        std::mt19937 a(keySeed), b(keySeed), c(keySeed);
        ASSERT_TRUE(former.insertAsBefore(Case::make(a, t)));
        ASSERT_TRUE(now.insert(Case::make(b, t)));
        ASSERT_TRUE(batch.insert(Case::make(c, t)));
    }
    batch.deferUpdates(false);

    ASSERT_EQ(now.getNumKeys(), former.getNumKeys());
    ASSERT_EQ(batch.getNumKeys(), former.getNumKeys());
    int differ = 0;
    for (int i = 0; i < former.getNumKeys(); ++i) {
        kmlBaseKey* f = former.getKey(i);
        for (kmlBaseCurve* c : {static_cast<kmlBaseCurve*>(&now), static_cast<kmlBaseCurve*>(&batch)}) {
            kmlBaseKey* k = c->getKey(i);
            if ((!sameBits(k->getTime(), f->getTime()) || !Case::sameKey(k, f)) && ++differ < 5)
                ADD_FAILURE() << "key " << i << " at " << f->getTime() << (c == &now ? " (one by one)" : " (batch)");
            if (k->getPrev() != (i > 0 ? c->getKey(i - 1) : nullptr) || k->getNext() != c->getKey(i + 1))
                ADD_FAILURE() << "links of key " << i;
        }
    }
    for (float t = former.getMinTime() - 1.0f; t < former.getMaxTime() + 1.0f; t += 0.37f)
        for (kmlBaseCurve* c : {static_cast<kmlBaseCurve*>(&now), static_cast<kmlBaseCurve*>(&batch)})
            if (!Case::sameAt(&former, c, t) && ++differ < 5)
                ADD_FAILURE() << "value at " << t << (c == &now ? " (one by one)" : " (batch)");
    EXPECT_EQ(differ, 0);
}

TEST(KmlCurveInsertion, ReplacingInPlaceAndBatchesGiveTheCurvesOfTheFormerInsertion)
{
    for (bool smooth : {true, false}) {
        SCOPED_TRACE(smooth ? "smooth edits" : "no smoothing");
        compareInsertions<QuatCase>(68, smooth);
        compareInsertions<PositionCase>(69, smooth);
        compareInsertions<EulerCase>(70, smooth);
    }
}

TEST(KmlCurveInsertion, OtherEditsInABatchSeeTheTangentsUpToDate)
{
    // A shift inside a batch: the keys it moves must carry the tangents the
    // insertions before it gave them, as without the batch.
    kmlTCCurve<3> plain(1.0f), batch(1.0f);
    batch.deferUpdates(true);
    for (kmlBaseCurve* c : {static_cast<kmlBaseCurve*>(&plain), static_cast<kmlBaseCurve*>(&batch)}) {
        std::mt19937 rng(7);
        for (float t : {0.0f, 10.0f, 20.0f, 30.0f, 40.0f, 15.0f, 25.0f})
            ASSERT_TRUE(c->insert(PositionCase::make(rng, t)));
        ASSERT_TRUE(c->shift(20.0f, 3.0f, KML_SHIFT_AFTER));
        ASSERT_TRUE(c->insert(PositionCase::make(rng, 50.0f)));
        ASSERT_TRUE(c->remove(15.0f));
    }
    batch.deferUpdates(false);
    ASSERT_EQ(batch.getNumKeys(), plain.getNumKeys());
    for (int i = 0; i < plain.getNumKeys(); ++i)
        EXPECT_TRUE(PositionCase::sameKey(batch.getKey(i), plain.getKey(i))) << "key " << i;
    for (float t = 0.0f; t < 55.0f; t += 0.5f)
        EXPECT_TRUE(PositionCase::sameAt(&plain, &batch, t)) << t;
}

TEST(KmlCurveInsertion, AKeyOfTheCurveIsRefusedWhereverItIs)
{
    kmlQuatCurve c(1.0f);
    std::mt19937 rng(3);
    kmlBaseKey* only = QuatCase::make(rng, 5.0f);
    ASSERT_TRUE(c.insert(only));
    EXPECT_FALSE(c.insert(only)); // the only key: unlinked, still the curve's
    kmlBaseKey* second = QuatCase::make(rng, 9.0f);
    ASSERT_TRUE(c.insert(second));
    EXPECT_FALSE(c.insert(only));
    EXPECT_FALSE(c.insert(second));
    EXPECT_EQ(c.getNumKeys(), 2);
}

} // namespace
