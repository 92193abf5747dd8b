// Evaluators turn a curve and a time into a value: the key's value held
// until the next key, linear interpolation, or a cubic spline. Before the
// first key the first key's value holds, after the last key the last's.
#ifndef KMLEVALUATOR_H
#define KMLEVALUATOR_H

#include "kmlKey.h"

enum kmlEvalType : int {
    KML_EVAL_KEY = 0,    // the value of the key at or before the time
    KML_EVAL_LINEAR = 1,
    KML_EVAL_SPLINE = 2,
};

template <typename T>
class kmlBaseEvaluator {
public:
    explicit kmlBaseEvaluator(kmlEvalType t = KML_EVAL_LINEAR) : type(t) {}
    virtual ~kmlBaseEvaluator() {}

    kmlEvalType getType() const { return type; }
    void setType(kmlEvalType t) { type = t; }

    // The value of the curve at time t; zero() for a curve of the wrong
    // kind, a null or an empty curve. May refresh the keys' caches.
    T eval(kmlBaseCurve* curve, float t)
    {
        if (!validCurve(curve)) return zero();
        int i = curve->getKeyIndex(t);
        if (i >= 0) return keyValue(curve->getKey(i));
        int p = curve->getPrevKeyIndex(t);
        if (p < 0) return curve->getNumKeys() > 0 ? keyValue(curve->getKey(0)) : zero();
        kmlBaseKey* k0 = curve->getKey(p);
        kmlBaseKey* k1 = curve->getKey(p + 1);
        if (type == KML_EVAL_KEY || !k1) return keyValue(k0);
        float t0 = k0->getTime();
        float u = (t - t0) / (k1->getTime() - t0);
        if (type == KML_EVAL_LINEAR) return linear(k0, k1, u);
        if (type == KML_EVAL_SPLINE) return spline(k0, k1, u);
        return zero();
    }

    virtual T zero() = 0;
    virtual T keyValue(kmlBaseKey* k) = 0;
    // u runs from 0 at k0 to 1 at k1.
    virtual T linear(kmlBaseKey* k0, kmlBaseKey* k1, float u) = 0;
    virtual T spline(kmlBaseKey* k0, kmlBaseKey* k1, float u) = 0;
    virtual bool validCurve(kmlBaseCurve* curve) const = 0;

protected:
    kmlEvalType type;
};

template <typename T>
struct kmlEvalDefault {
    static const kmlEvalType TYPE = KML_EVAL_LINEAR;
};
template <>
struct kmlEvalDefault<kmlQuat> {
    static const kmlEvalType TYPE = KML_EVAL_SPLINE;
};

// Component-wise interpolation of kmlKey<T> values on a kmlCurve<T>.
template <typename T>
class kmlEvaluator : public kmlBaseEvaluator<T> {
public:
    explicit kmlEvaluator(kmlEvalType t = kmlEvalDefault<T>::TYPE) : kmlBaseEvaluator<T>(t) {}

    T zero() override { return T(); }
    T keyValue(kmlBaseKey* k) override { return static_cast<kmlKey<T>*>(k)->getValue(); }
    T linear(kmlBaseKey* k0, kmlBaseKey* k1, float u) override
    {
        return T((1.0f - u) * key(k0)->getValue() + u * key(k1)->getValue());
    }
    // Cubic Bernstein of value0, out0, in1, value1.
    T spline(kmlBaseKey* k0, kmlBaseKey* k1, float u) override
    {
        float u2 = u * u, u3 = u2 * u;
        float b0 = 1.0f - 3.0f * u + 3.0f * u2 - u3;
        float b1 = 3.0f * u - 6.0f * u2 + 3.0f * u3;
        float b2 = 3.0f * u2 - 3.0f * u3;
        float b3 = u3;
        return T(b0 * key(k0)->getValue() + b1 * key(k0)->getOut() + b2 * key(k1)->getIn() +
                 b3 * key(k1)->getValue());
    }
    bool validCurve(kmlBaseCurve* c) const override { return dynamic_cast<kmlCurve<T>*>(c) != nullptr; }

protected:
    static kmlKey<T>* key(kmlBaseKey* k) { return static_cast<kmlKey<T>*>(k); }
};

#endif
