#ifndef KMLVEC4_H
#define KMLVEC4_H

#include "kmlVec.h"

class kmlVec4 : public kmlVec<4> {
public:
    kmlVec4() {}
    explicit kmlVec4(const float* v) : kmlVec<4>(v) {}
    kmlVec4(const kmlVec<4>& v) : kmlVec<4>(v) {}
    kmlVec4(float x, float y, float z, float w) { set(x, y, z, w); }
    // (v.x, v.y, v.z, w): a point (w = 1) or a direction (w = 0).
    kmlVec4(const kmlVec<3>& v, float w) { set(v[0], v[1], v[2], w); }
    kmlVec4(const kmlVec4& v) : kmlVec<4>(v) {}
    ~kmlVec4() override {}

    using kmlVec<4>::set;
    using kmlVec<4>::get;
    void set(float x, float y, float z, float w) { c[0] = x; c[1] = y; c[2] = z; c[3] = w; }
    void get(float& x, float& y, float& z, float& w) const { x = c[0]; y = c[1]; z = c[2]; w = c[3]; }

    kmlVec4& operator=(const kmlVec<4>& v) { kmlVec<4>::operator=(v); return *this; }
    kmlVec4& operator=(const kmlVec4& v) { kmlVec<4>::operator=(v); return *this; }
};

#endif
