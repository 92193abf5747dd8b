#include "kmlTCCurve.h"

template <int N>
typename kmlTCKey<N>::Channel& kmlTCKey<N>::Channel::operator=(const Channel& o)
{
    dtIn = o.dtIn;
    dtOut = o.dtOut;
    timePoly = o.timePoly;
    valuePoly = o.valuePoly;
    limitTime = o.limitTime;
    limitValue = o.limitValue;
    loopStart = o.loopStart;
    loopEnd = o.loopEnd;
    valid = false;
    segmentEnd = nullptr;
    criticalCount = 0;
    return *this;
}

template <int N>
kmlTCKey<N>& kmlTCKey<N>::operator=(const kmlTCKey& k)
{
    kmlKey<kmlVec<N>>::operator=(k);
    if (this != &k)
        for (int ch = 0; ch < N; ++ch) channels[ch] = k.channels[ch];
    return *this;
}

template <int N>
void kmlTCKey<N>::copy(const kmlBaseKey* k)
{
    if (const kmlTCKey* o = dynamic_cast<const kmlTCKey*>(k)) *this = *o;
}

template <int N>
void kmlTCKey<N>::setTime(float t)
{
    kmlBaseKey::setTime(t);
    forceUpdate();
}

template <int N>
void kmlTCKey<N>::update()
{
    for (int ch = 0; ch < N; ++ch) updateChannel(ch);
}

template <int N>
void kmlTCKey<N>::setValue(const kmlVec<N>& v)
{
    this->value = v;
    forceUpdate();
}

template <int N>
void kmlTCKey<N>::setIn(const kmlVec<N>& v)
{
    this->in = v;
    for (int ch = 0; ch < N; ++ch) invalidatePrev(ch);
}

template <int N>
void kmlTCKey<N>::setOut(const kmlVec<N>& v)
{
    this->out = v;
    invalidateAllChannels();
}

template <int N>
void kmlTCKey<N>::setChannelValue(int ch, float v)
{
    this->value[ch] = v;
    invalidateChannel(ch);
    invalidatePrev(ch);
}

template <int N>
void kmlTCKey<N>::setChannelDvIn(int ch, float v)
{
    this->in[ch] = v;
    invalidatePrev(ch);
}

template <int N>
void kmlTCKey<N>::setChannelDtIn(int ch, float v)
{
    channels[ch].dtIn = v;
    invalidatePrev(ch);
}

template <int N>
void kmlTCKey<N>::setChannelDvOut(int ch, float v)
{
    this->out[ch] = v;
    invalidateChannel(ch);
}

template <int N>
void kmlTCKey<N>::setChannelDtOut(int ch, float v)
{
    channels[ch].dtOut = v;
    invalidateChannel(ch);
}

template <int N>
void kmlTCKey<N>::invalidateAllChannels()
{
    for (int ch = 0; ch < N; ++ch) channels[ch].valid = false;
}

template <int N>
void kmlTCKey<N>::forceUpdate()
{
    invalidateAllChannels();
    if (kmlTCKey* p = prevKey()) p->invalidateAllChannels();
}

template <int N>
void kmlTCKey<N>::updateChannel(int ch)
{
    kmlTCKey* p = prevKey();
    kmlTCKey* n = nextKey();
    Channel& c = channels[ch];
    float tk = this->time, vk = this->value[ch];
    if (p && n) {
        float tp = p->time, tn = n->time, vp = p->value[ch], vn = n->value[ch];
        c.dtIn = tk - tp;
        this->in[ch] = (vn - vp) * (tk - tp) / (tn - tp);
        c.dtOut = tn - tk;
        this->out[ch] = (vn - vp) * (tn - tk) / (tn - tp);
    } else if (p) {
        c.dtIn = 0.5f * (tk - p->time);
        this->in[ch] = 0.5f * (vk - p->value[ch]);
        c.dtOut = 0.0f;
        this->out[ch] = 0.0f;
    } else if (n) {
        c.dtIn = 0.0f;
        this->in[ch] = 0.0f;
        c.dtOut = 0.5f * (n->time - tk);
        this->out[ch] = 0.5f * (n->value[ch] - vk);
    } else {
        c.dtIn = c.dtOut = 0.0f;
        this->in[ch] = this->out[ch] = 0.0f;
    }
    invalidateChannel(ch);
    invalidatePrev(ch);
}

template <int N>
void kmlTCKey<N>::updateChannelIn(int ch)
{
    kmlTCKey* p = prevKey();
    kmlTCKey* n = nextKey();
    Channel& c = channels[ch];
    float tk = this->time;
    if (p && n) {
        float tp = p->time;
        c.dtIn = tk - tp;
        this->in[ch] = (n->value[ch] - p->value[ch]) * (tk - tp) / (n->time - tp);
    } else if (p) {
        c.dtIn = 0.5f * (tk - p->time);
        this->in[ch] = 0.5f * (this->value[ch] - p->value[ch]);
    } else {
        c.dtIn = 0.0f;
        this->in[ch] = 0.0f;
    }
    invalidatePrev(ch);
}

template <int N>
void kmlTCKey<N>::updateChannelOut(int ch)
{
    kmlTCKey* p = prevKey();
    kmlTCKey* n = nextKey();
    Channel& c = channels[ch];
    float tk = this->time;
    if (p && n) {
        float tn = n->time;
        c.dtOut = tn - tk;
        this->out[ch] = (n->value[ch] - p->value[ch]) * (tn - tk) / (tn - p->time);
    } else if (n) {
        c.dtOut = 0.5f * (n->time - tk);
        this->out[ch] = 0.5f * (n->value[ch] - this->value[ch]);
    } else {
        c.dtOut = 0.0f;
        this->out[ch] = 0.0f;
    }
    invalidateChannel(ch);
}

template <int N>
void kmlTCKey<N>::computePolies(int ch)
{
    Channel& c = channels[ch];
    kmlTCKey* n = nextKey();
    c.segmentEnd = n;
    if (n) {
        // Cubic Hermite segments from (t_k, v_k) to (t_n, v_n) with end
        // derivatives (dtOut_k, DvOut_k) and (dtIn_n, DvIn_n).
        float tk = this->time, dt = n->time - tk;
        float vk = this->value[ch], dv = n->value[ch] - vk;
        float dtOut = c.dtOut, dtIn = n->channels[ch].dtIn;
        float dvOut = this->out[ch], dvIn = n->in[ch];
        c.timePoly[0] = tk;
        c.timePoly[1] = dtOut;
        c.timePoly[2] = 3.0f * dt - 2.0f * dtOut - dtIn;
        c.timePoly[3] = -2.0f * dt + dtOut + dtIn;
        c.valuePoly[0] = vk;
        c.valuePoly[1] = dvOut;
        c.valuePoly[2] = 3.0f * dv - 2.0f * dvOut - dvIn;
        c.valuePoly[3] = -2.0f * dv + dvOut + dvIn;
        c.timePoly.getDerivative().rootsOn(0.0f, 1.0f, c.criticalCount, c.critical);
    }
    updateConstraint(ch);
    c.valid = true;
}

template <int N>
void kmlTCKey<N>::timeRoots(int ch, float x, int& count, float* roots)
{
    // Solves in place: shift the constant term, search, put it back exactly.
    Channel& c = channels[ch];
    kmlPolynomial& tp = c.timePoly;
    float c0 = tp[0];
    tp[0] = c0 - x;
    tp.rootsOnPieces(0.0f, 1.0f, c.critical, c.criticalCount, count, roots);
    tp[0] = c0;
}

template <int N>
void kmlTCKey<N>::updateConstraint(int ch)
{
    Channel& c = channels[ch];
    kmlTCKey* n = nextKey();
    c.loopStart = c.loopEnd = 1.0f;
    if (!n) return;
    float roots[3];
    int count = 0;
    float s0 = 0.0f;
    // Turning points of time(s). A zero cubic term leaves a linear
    // derivative, whose single root degree2Roots returns as well.
    c.timePoly.getDerivative().degree2Roots(count, roots);
    if (!computeMinRoot(roots, count, s0)) return;
    c.loopStart = s0;
    c.limitTime = c.timePoly(s0);
    c.limitValue = c.valuePoly(s0);
    float tk = this->time, tn = n->time;
    float r = 0.0f;
    if (tn < c.limitTime) {
        // Time overshoots the next key: cut where it first reaches it.
        timeRoots(ch, tn, count, roots);
        if (!computeMinRoot(roots, count, r)) {
            c.loopStart = c.loopEnd = 1.0f;
            return;
        }
        c.loopStart = r;
        c.loopEnd = 1.0f;
        c.limitTime = c.timePoly(r);
        c.limitValue = c.valuePoly(r);
    } else if (tk > c.limitTime) {
        // Time first runs back before the key: skip until it returns.
        timeRoots(ch, tk, count, roots);
        if (!computeMinRoot(roots, count, r)) {
            c.loopStart = c.loopEnd = 1.0f;
            return;
        }
        c.loopEnd = r;
        c.loopStart = 0.0f;
        c.limitTime = tk;
        c.limitValue = this->value[ch];
    } else {
        timeRoots(ch, c.limitTime, count, roots);
        if (!computeMaxRoot(roots, count, r)) {
            c.loopStart = c.loopEnd = 1.0f;
            return;
        }
        c.loopEnd = r;
    }
}

template <int N>
bool kmlTCKey<N>::computeMinRoot(float* roots, int count, float& out) const
{
    bool found = false;
    for (int i = 0; i < count; ++i)
        if (roots[i] > 0.0f && roots[i] < 1.0f && (!found || roots[i] < out)) {
            out = roots[i];
            found = true;
        }
    return found;
}

template <int N>
bool kmlTCKey<N>::computeMaxRoot(float* roots, int count, float& out) const
{
    bool found = false;
    for (int i = 0; i < count; ++i)
        if (roots[i] > 0.0f && roots[i] < 1.0f && (!found || roots[i] > out)) {
            out = roots[i];
            found = true;
        }
    return found;
}

template <int N>
float kmlTCKey<N>::eval(int ch, float u)
{
    if (!this->next) return this->value[ch];
    Channel& c = channels[ch];
    if (!c.valid || c.segmentEnd != this->next) computePolies(ch);
    if (!c.segmentEnd) return this->value[ch];
    float tk = this->time;
    float roots[3];
    int count = 0;
    timeRoots(ch, tk + u * (this->next->getTime() - tk), count, roots);
    if (count == 3) {
        float r = 0.0f;
        if (!computeMinRoot(roots, count, r)) r = 0.0f;
        if (kml::Abs(r - c.loopStart) <= 0.001f) return (c.valuePoly(c.loopStart) + c.valuePoly(c.loopEnd)) * 0.5f;
        return c.valuePoly(r);
    }
    if (count == 1) return c.valuePoly(roots[0]);
    return this->value[ch];
}

template <int N>
kmlBaseCurve* kmlTCCurve<N>::clone() const
{
    kmlTCCurve* c = new kmlTCCurve(timeStep);
    c->copy(this);
    return c;
}

template <int N>
void kmlTCCurve<N>::copy(const kmlBaseCurve* src)
{
    if (dynamic_cast<const kmlTCCurve*>(src)) kmlBaseCurve::copy(src);
}

template class kmlTCKey<3>;
template class kmlTCCurve<3>;
