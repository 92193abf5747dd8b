#include "kmlEulerCurve.h"

using namespace kml;

void kmlEulerKey::copy(const kmlBaseKey* k)
{
    if (const kmlEulerKey* o = dynamic_cast<const kmlEulerKey*>(k)) *this = *o;
}

float kmlEulerKey::computeDelta(float a, float b) const
{
    return Atan2d(Cosd(a) * Sind(b) - Cosd(b) * Sind(a), Cosd(a) * Cosd(b) + Sind(a) * Sind(b));
}

void kmlEulerKey::adapt()
{
    const kmlEulerKey* p = dynamic_cast<const kmlEulerKey*>(prev);
    const kmlEulerKey* n = dynamic_cast<const kmlEulerKey*>(next);
    if (p) {
        for (int ch = 0; ch < 3; ++ch) value[ch] = p->value[ch] + computeDelta(p->value[ch], value[ch]);
    } else if (n) {
        for (int ch = 0; ch < 3; ++ch) value[ch] = n->value[ch] - computeDelta(value[ch], n->value[ch]);
    } else {
        return;
    }
    forceUpdate();
}

kmlBaseCurve* kmlEulerCurve::clone() const
{
    kmlEulerCurve* c = new kmlEulerCurve(timeStep);
    c->copy(this);
    return c;
}

void kmlEulerCurve::copy(const kmlBaseCurve* src)
{
    if (dynamic_cast<const kmlEulerCurve*>(src)) kmlBaseCurve::copy(src);
}
