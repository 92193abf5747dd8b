#ifndef KMLVEC3_H
#define KMLVEC3_H

#include "kmlVec.h"

class kmlVec3 : public kmlVec<3> {
public:
    kmlVec3() {}
    explicit kmlVec3(const float* v) : kmlVec<3>(v) {}
    kmlVec3(const kmlVec<3>& v) : kmlVec<3>(v) {}
    kmlVec3(float x, float y, float z) { set(x, y, z); }
    kmlVec3(const kmlVec3& v) : kmlVec<3>(v) {}
    ~kmlVec3() override {}

    using kmlVec<3>::set;
    using kmlVec<3>::get;
    void set(float x, float y, float z) { c[0] = x; c[1] = y; c[2] = z; }
    void get(float& x, float& y, float& z) const { x = c[0]; y = c[1]; z = c[2]; }

    // Right-handed cross product this x b.
    kmlVec<3> cross(const kmlVec<3>& b) const
    {
        kmlVec<3> r;
        r[0] = c[1] * b[2] - c[2] * b[1];
        r[1] = c[2] * b[0] - c[0] * b[2];
        r[2] = c[0] * b[1] - c[1] * b[0];
        return r;
    }

    kmlVec3& operator=(const kmlVec<3>& v) { kmlVec<3>::operator=(v); return *this; }
    kmlVec3& operator=(const kmlVec3& v) { kmlVec<3>::operator=(v); return *this; }
};

#endif
