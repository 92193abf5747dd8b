#pragma once
// What differs between the channels of motion frames and controllers, by
// key type: the value type, curve and evaluator classes, how the value is
// read from and written to a matrix, the zero offset, and how two values
// combine (layers, key merges) and blend (tracks). Euler angles use order
// code 5 (ZYX) throughout, in degrees.

#include "kmlEuler.h"
#include "kmlEulerCurve.h"
#include "kmlEvaluator.h"
#include "kmlMatrix4.h"
#include "kmlQuat.h"
#include "kmlQuatCurve.h"
#include "kmlQuatEvaluator.h"
#include "kmlTCCurve.h"
#include "kmlTCEvaluator.h"
#include "kmlVec.h"

template <class Key>
struct ksgMotionChannel;

// A channel the kind does not have.
struct ksgNoChannelEvaluator {
    explicit ksgNoChannelEvaluator(kmlEvalType = KML_EVAL_SPLINE) {}
    kmlEvalType getType() const { return static_cast<kmlEvalType>(3); }
    void setType(kmlEvalType) {}
};

template <>
struct ksgMotionChannel<void> {
    static const bool PRESENT = false;
    typedef ksgNoChannelEvaluator Evaluator;
};

// Positions: tension-handle curves of three coordinates.
template <>
struct ksgMotionChannel<kmlTCKey<3>> {
    static const bool PRESENT = true;
    typedef kmlVec<3> Value;
    typedef kmlTCCurve<3> Curve;
    typedef kmlTCEvaluator<3> Evaluator;

    static Value fromMatrix(const kmlMatrix4& m)
    {
        kmlVec<4> c = m.getColumn(3);
        Value v;
        for (int i = 0; i < 3; ++i)
            v[i] = c[i];
        return v;
    }
    static void toMatrix(const Value& v, kmlMatrix4& m) { m.setTranslation(v); }
    static Value zero() { return Value(); }
    static Value combine(const Value& a, const Value& b) { return a + b; }
    static Value blend(const Value& a, const Value& b, float w) { return Value::lerp(a, b, w); }
    // A value that did not come from a key carries no handles.
    static void setKeyValue(kmlTCKey<3>& key, const Value& v)
    {
        key.setValue(v);
        key.setIn(Value());
        key.setOut(Value());
    }
};

// Euler rotations: tension-handle curves of three angles.
template <>
struct ksgMotionChannel<kmlEulerKey> {
    static const bool PRESENT = true;
    typedef kmlVec<3> Value;
    typedef kmlEulerCurve Curve;
    typedef kmlTCEvaluator<3> Evaluator;

    static Value fromMatrix(const kmlMatrix4& m) { return m.toEuler(5); }
    static void toMatrix(const Value& v, kmlMatrix4& m) { m.setRotation(kmlEuler(v, 5)); }
    static Value zero() { return Value(); }
    static Value combine(const Value& a, const Value& b) { return a + b; }
    static Value blend(const Value& a, const Value& b, float w) { return Value::lerp(a, b, w); }
    static void setKeyValue(kmlEulerKey& key, const Value& v)
    {
        key.setValue(v);
        key.setIn(Value());
        key.setOut(Value());
    }
};

// Quaternion rotations; a layer's rotation applies after the base's
// (base x layer), the same order as a joint's own rotation.
template <>
struct ksgMotionChannel<kmlQuatKey> {
    static const bool PRESENT = true;
    typedef kmlQuat Value;
    typedef kmlQuatCurve Curve;
    typedef kmlQuatEvaluator Evaluator;

    static Value fromMatrix(const kmlMatrix4& m) { return m.toQuat(); }
    static void toMatrix(const Value& v, kmlMatrix4& m) { m.setRotation(v); }
    static Value zero() { return kmlQuat::IDENTITY; }
    static Value combine(const Value& a, const Value& b) { return a * b; }
    static Value blend(const Value& a, const Value& b, float w) { return kmlQuat::slerp(a, b, w); }
    // The control values of a key with no neighbours are the value itself.
    static void setKeyValue(kmlQuatKey& key, const Value& v)
    {
        key.setValue(v);
        key.setIn(v);
        key.setOut(v);
    }
};
