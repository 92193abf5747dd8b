#ifndef KMLVEC2_H
#define KMLVEC2_H

#include "kmlVec.h"

class kmlVec2 : public kmlVec<2> {
public:
    kmlVec2() {}
    explicit kmlVec2(const float* v) : kmlVec<2>(v) {}
    kmlVec2(const kmlVec<2>& v) : kmlVec<2>(v) {}
    kmlVec2(float x, float y) { set(x, y); }
    kmlVec2(const kmlVec2& v) : kmlVec<2>(v) {}
    ~kmlVec2() override {}

    using kmlVec<2>::set;
    using kmlVec<2>::get;
    void set(float x, float y) { c[0] = x; c[1] = y; }
    void get(float& x, float& y) const { x = c[0]; y = c[1]; }

    // The vector turned by +90 degrees: (-y, x).
    kmlVec<2> ortho() const
    {
        kmlVec<2> r;
        r[0] = -c[1];
        r[1] = c[0];
        return r;
    }

    kmlVec2& operator=(const kmlVec<2>& v) { kmlVec<2>::operator=(v); return *this; }
    kmlVec2& operator=(const kmlVec2& v) { kmlVec<2>::operator=(v); return *this; }
};

#endif
