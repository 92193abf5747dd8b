// Rotation keys and curves: spline controls built on the sphere and spaced
// by the neighbouring keys' times.
#ifndef KMLQUATCURVE_H
#define KMLQUATCURVE_H

#include "kmlKey.h"

class kmlQuatKey : public kmlKey<kmlQuat> {
public:
    kmlQuatKey() {}
    explicit kmlQuatKey(float t) : kmlKey<kmlQuat>(t) {}
    kmlQuatKey(const kmlQuatKey& k) : kmlKey<kmlQuat>(k) {}
    ~kmlQuatKey() override {}
    kmlQuatKey& operator=(const kmlQuatKey& k)
    {
        kmlKey<kmlQuat>::operator=(k);
        return *this;
    }

    kmlBaseKey* clone() const override { return new kmlQuatKey(*this); }
    void copy(const kmlBaseKey* k) override { kmlKey<kmlQuat>::copy(k); }
    // Controls from intermediateIn/Out with tangent factors 0.25, scaled by
    // where the key lies between its neighbours in time.
    void update() override;
};

class kmlQuatCurve : public kmlBaseCurve {
public:
    explicit kmlQuatCurve(float timeStep = 0.001f) : kmlBaseCurve(timeStep) {}
    ~kmlQuatCurve() override {}

    kmlBaseCurve* clone() const override;
    // Copies only from another kmlQuatCurve.
    void copy(const kmlBaseCurve* src) override;
    kmlBaseKey* newKey() const override { return new kmlQuatKey(); }
    bool validKey(kmlBaseKey* k) const override { return dynamic_cast<kmlQuatKey*>(k) != nullptr; }
};

#endif
