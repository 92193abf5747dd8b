// Rotation evaluator: slerp between keys, or the spherical spline through
// the keys' controls.
#ifndef KMLQUATEVALUATOR_H
#define KMLQUATEVALUATOR_H

#include "kmlEvaluator.h"
#include "kmlQuatCurve.h"

class kmlQuatEvaluator : public kmlEvaluator<kmlQuat> {
public:
    explicit kmlQuatEvaluator(kmlEvalType t = KML_EVAL_SPLINE) : kmlEvaluator<kmlQuat>(t) {}

    kmlQuat zero() override { return kmlQuat::IDENTITY; }
    kmlQuat keyValue(kmlBaseKey* k) override { return key(k)->getValue(); }
    kmlQuat linear(kmlBaseKey* k0, kmlBaseKey* k1, float u) override
    {
        return kmlQuat::slerp(key(k0)->getValue(), key(k1)->getValue(), u);
    }
    kmlQuat spline(kmlBaseKey* k0, kmlBaseKey* k1, float u) override
    {
        return kmlQuat::spline(key(k0)->getValue(), key(k0)->getOut(), key(k1)->getIn(), key(k1)->getValue(), u);
    }
    bool validCurve(kmlBaseCurve* c) const override { return dynamic_cast<kmlQuatCurve*>(c) != nullptr; }
};

#endif
