// Keys that carry a value with incoming and outgoing control values, and the
// typed curve that holds them. Instantiated for kmlVec<3> and kmlQuat.
#ifndef KMLKEY_H
#define KMLKEY_H

#include "kmlBaseCurve.h"
#include "kmlBaseKey.h"
#include "kmlQuat.h"
#include "kmlVec.h"

template <typename T>
class kmlKey : public kmlBaseKey {
public:
    // Default value: the zero vector, the identity quaternion.
    kmlKey() {}
    explicit kmlKey(float t) : kmlBaseKey(t) {}
    // Copies the values; the copy is in no curve.
    kmlKey(const kmlKey& k) : kmlBaseKey(k), value(k.value), out(k.out), in(k.in) {}
    ~kmlKey() override {}

    // Time and values; the links are cleared.
    kmlKey& operator=(const kmlKey& k)
    {
        kmlBaseKey::operator=(k);
        if (this != &k) {
            value = k.value;
            in = k.in;
            out = k.out;
        }
        return *this;
    }

    kmlBaseKey* clone() const override { return new kmlKey(*this); }
    // Copies only from a key of the same value type.
    void copy(const kmlBaseKey* k) override
    {
        if (const kmlKey* o = dynamic_cast<const kmlKey*>(k)) *this = *o;
    }
    // in/out = value -+ a quarter of the step between the neighbours'
    // values; an end key stands in for its missing neighbour.
    void update() override
    {
        const kmlKey* p = dynamic_cast<const kmlKey*>(prev);
        const kmlKey* n = dynamic_cast<const kmlKey*>(next);
        T pv = p ? p->value : value;
        T nv = n ? n->value : value;
        T d(0.25f * (nv - pv));
        in = T(value - d);
        out = T(value + d);
    }

    virtual void setValue(const T& v) { value = v; }
    virtual void setIn(const T& v) { in = v; }
    virtual void setOut(const T& v) { out = v; }
    T getValue() const { return value; }
    T getIn() const { return in; }
    T getOut() const { return out; }

protected:
    T value;
    T out;
    T in;
};

// A curve of kmlKey<T>. No curve of the system derives from it; the generic
// evaluator accepts only this kind.
template <typename T>
class kmlCurve : public kmlBaseCurve {
public:
    explicit kmlCurve(float timeStep = 0.001f) : kmlBaseCurve(timeStep) {}

    kmlBaseCurve* clone() const override
    {
        kmlCurve* c = new kmlCurve(timeStep);
        c->copy(this);
        return c;
    }
    void copy(const kmlBaseCurve* src) override
    {
        if (dynamic_cast<const kmlCurve*>(src)) kmlBaseCurve::copy(src);
    }
    kmlBaseKey* newKey() const override { return new kmlKey<T>(); }
    bool validKey(kmlBaseKey* k) const override { return dynamic_cast<kmlKey<T>*>(k) != nullptr; }
};

extern template class kmlKey<kmlVec<3>>;
extern template class kmlKey<kmlQuat>;

#endif
