// Evaluator of tension-handle curves (position channels and Euler angles):
// linear between key values, or each channel's handle segment.
#ifndef KMLTCEVALUATOR_H
#define KMLTCEVALUATOR_H

#include "kmlEvaluator.h"
#include "kmlTCCurve.h"

template <int N>
class kmlTCEvaluator : public kmlEvaluator<kmlVec<N>> {
public:
    explicit kmlTCEvaluator(kmlEvalType t) : kmlEvaluator<kmlVec<N>>(t) {}

    kmlVec<N> linear(kmlBaseKey* k0, kmlBaseKey* k1, float u) override
    {
        return kmlVec<N>::lerp(tc(k0)->getValue(), tc(k1)->getValue(), u);
    }
    kmlVec<N> spline(kmlBaseKey* k0, kmlBaseKey*, float u) override
    {
        kmlVec<N> r;
        kmlTCKey<N>* k = tc(k0);
        for (int ch = 0; ch < N; ++ch) r[ch] = k->eval(ch, u);
        return r;
    }
    // Euler curves are tension-handle curves too.
    bool validCurve(kmlBaseCurve* c) const override { return dynamic_cast<kmlTCCurve<N>*>(c) != nullptr; }

private:
    static kmlTCKey<N>* tc(kmlBaseKey* k) { return static_cast<kmlTCKey<N>*>(k); }
};

#endif
