// Euler rotation keys (three angles in degrees, one per channel) and their
// curve. An inserted key is re-expressed within 180 degrees of its
// neighbour, so interpolation never takes the long way round (350 after 10
// becomes -10).
#ifndef KMLEULERCURVE_H
#define KMLEULERCURVE_H

#include "kmlTCCurve.h"

class kmlEulerKey : public kmlTCKey<3> {
public:
    kmlEulerKey() {}
    explicit kmlEulerKey(float t) : kmlTCKey<3>(t) {}
    kmlEulerKey(const kmlEulerKey& k) : kmlTCKey<3>(k) {}
    ~kmlEulerKey() override {}
    kmlEulerKey& operator=(const kmlEulerKey& k)
    {
        kmlTCKey<3>::operator=(k);
        return *this;
    }

    kmlBaseKey* clone() const override { return new kmlEulerKey(*this); }
    // Copies only from another kmlEulerKey.
    void copy(const kmlBaseKey* k) override;
    // Each angle becomes the previous key's angle plus the wrapped difference
    // (or, for a first key, the next key's angle minus it).
    void adapt() override;

protected:
    // The angle from a to b wrapped into (-180, 180], in degrees.
    float computeDelta(float a, float b) const;
};

class kmlEulerCurve : public kmlTCCurve<3> {
public:
    explicit kmlEulerCurve(float timeStep = 0.001f) : kmlTCCurve<3>(timeStep) {}
    ~kmlEulerCurve() override {}

    kmlBaseCurve* clone() const override;
    // Copies only from another kmlEulerCurve.
    void copy(const kmlBaseCurve* src) override;
    kmlBaseKey* newKey() const override { return new kmlEulerKey(); }
    bool validKey(kmlBaseKey* k) const override { return dynamic_cast<kmlEulerKey*>(k) != nullptr; }
};

#endif
