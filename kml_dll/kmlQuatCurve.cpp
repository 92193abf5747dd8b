#include "kmlQuatCurve.h"

void kmlQuatKey::update()
{
    const kmlQuatKey* p = dynamic_cast<const kmlQuatKey*>(prev);
    const kmlQuatKey* n = dynamic_cast<const kmlQuatKey*>(next);
    float fIn = 0.25f, fOut = 0.25f;
    if (p && n) {
        float span = n->time - p->time;
        fIn = 0.25f * (2.0f * (time - p->time) / span);
        fOut = 0.25f * (2.0f * (n->time - time) / span);
    }
    const kmlQuat& pv = p ? p->value : value;
    const kmlQuat& nv = n ? n->value : value;
    in = kmlQuat::intermediateIn(pv, value, nv, fIn);
    out = kmlQuat::intermediateOut(pv, value, nv, fOut);
}

kmlBaseCurve* kmlQuatCurve::clone() const
{
    kmlQuatCurve* c = new kmlQuatCurve(timeStep);
    c->copy(this);
    return c;
}

void kmlQuatCurve::copy(const kmlBaseCurve* src)
{
    if (dynamic_cast<const kmlQuatCurve*>(src)) kmlBaseCurve::copy(src);
}
