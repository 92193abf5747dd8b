// Keys with a tension handle per channel, and their curves.
//
// Each channel has its own value and its own incoming and outgoing handle,
// each a (time offset, value offset) pair: value[ch] is the value, in[ch]
// and out[ch] the value offsets DvIn and DvOut, dtIn and dtOut the time
// offsets. The segment from a key to the next is, per channel, a cubic in
// time and a cubic in value over one parameter s in [0, 1]; evaluating at a
// time solves time(s) = t first. The segment starting at a key owns the
// cached polynomials, so the incoming handle belongs to the previous key's
// segment: every setter invalidates exactly the segments it changes.
#ifndef KMLTCCURVE_H
#define KMLTCCURVE_H

#include "kmlKey.h"
#include "kmlPolynomial.h"

template <int N>
class kmlTCKey : public kmlKey<kmlVec<N>> {
public:
    kmlTCKey() {}
    explicit kmlTCKey(float t) : kmlKey<kmlVec<N>>(t) {}
    kmlTCKey(const kmlTCKey& k) : kmlKey<kmlVec<N>>(k)
    {
        for (int ch = 0; ch < N; ++ch) channels[ch] = k.channels[ch];
    }
    ~kmlTCKey() override {}
    // Time, values and handles; the caches start invalid and the links are
    // cleared.
    kmlTCKey& operator=(const kmlTCKey& k);

    kmlBaseKey* clone() const override { return new kmlTCKey(*this); }
    // Copies only from a kmlTCKey<N>.
    void copy(const kmlBaseKey* k) override;
    // Invalidates this key's segment and the previous key's.
    void setTime(float t) override;
    // Default handles on every channel.
    void update() override;
    void setValue(const kmlVec<N>& v) override;
    void setIn(const kmlVec<N>& v) override;
    void setOut(const kmlVec<N>& v) override;

    float getChannelValue(int ch) const { return this->value[ch]; }
    float getChannelDvIn(int ch) const { return this->in[ch]; }
    float getChannelDvOut(int ch) const { return this->out[ch]; }
    float getChannelDtIn(int ch) const { return channels[ch].dtIn; }
    float getChannelDtOut(int ch) const { return channels[ch].dtOut; }
    // Value: this segment and the previous one. Incoming handle: the previous
    // segment. Outgoing handle: this segment.
    void setChannelValue(int ch, float v);
    void setChannelDvIn(int ch, float v);
    void setChannelDtIn(int ch, float v);
    void setChannelDvOut(int ch, float v);
    void setChannelDtOut(int ch, float v);

    void invalidateChannel(int ch) { channels[ch].valid = false; }
    void invalidateAllChannels();
    // Invalidates every channel of this segment and of the previous one.
    void forceUpdate();

    // Default handles: towards the neighbours, proportional to their
    // spacing; half the way to the only neighbour of an end key.
    void updateChannel(int ch);
    void updateChannelIn(int ch);
    void updateChannelOut(int ch);

    // Channel value at parameter u (0 at this key, 1 at the next) of this
    // key's segment, u being the fraction of the time between the keys.
    // Refreshes the cache when needed.
    float eval(int ch, float u);

protected:
    struct Channel {
        float dtIn = 0.0f;
        float dtOut = 0.0f;
        kmlPolynomial timePoly{3};
        kmlPolynomial valuePoly{3};
        float limitTime = 0.0f;
        float limitValue = 0.0f;
        // The part of the segment where time runs back (both 1: none).
        float loopStart = 1.0f;
        float loopEnd = 1.0f;
        bool valid = false;
        // The key the cached segment ends at: removing a key in non-smooth
        // mode relinks the previous key without telling it.
        const kmlBaseKey* segmentEnd = nullptr;
        // Turning points of time(s) on [0, 1], the same for every time
        // solved for: found once per refresh, not once per evaluation.
        float critical[2] = {0.0f, 0.0f};
        int criticalCount = 0;

        Channel() {}
        Channel(const Channel& o) { *this = o; }
        // Copies everything but the validity.
        Channel& operator=(const Channel& o);
    };

    void computePolies(int ch);
    void updateConstraint(int ch);
    // Smallest / largest root strictly inside (0, 1); false when none.
    bool computeMinRoot(float* roots, int count, float& out) const;
    bool computeMaxRoot(float* roots, int count, float& out) const;

    kmlTCKey* prevKey() const { return dynamic_cast<kmlTCKey*>(this->prev); }
    kmlTCKey* nextKey() const { return dynamic_cast<kmlTCKey*>(this->next); }
    void invalidatePrev(int ch)
    {
        if (kmlTCKey* p = prevKey()) p->invalidateChannel(ch);
    }
    // Roots in [0, 1] of timePoly(s) = x for channel ch.
    void timeRoots(int ch, float x, int& count, float* roots);

    Channel channels[N];
};

template <int N>
class kmlTCCurve : public kmlBaseCurve {
public:
    explicit kmlTCCurve(float timeStep = 0.001f) : kmlBaseCurve(timeStep) {}
    ~kmlTCCurve() override {}

    kmlBaseCurve* clone() const override;
    // Copies only from a kmlTCCurve<N>.
    void copy(const kmlBaseCurve* src) override;
    kmlBaseKey* newKey() const override { return new kmlTCKey<N>(); }
    bool validKey(kmlBaseKey* k) const override { return dynamic_cast<kmlTCKey<N>*>(k) != nullptr; }
};

extern template class kmlTCKey<3>;
extern template class kmlTCCurve<3>;

#endif
