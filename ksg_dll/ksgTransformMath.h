#pragma once

// Small matrix helpers shared by the scene-graph sources (not exported).
// Matrices act on column vectors, so mul(a, b) applies b first.

#include "kmlMatrix4.h"
#include "kmlVec3.h"
#include "kmlVec4.h"

namespace ksgmath {

inline kmlMatrix4 mul(const kmlMatrix4& a, const kmlMatrix4& b)
{
    kmlMatrix4 r(a);
    r *= b;
    return r;
}

inline kmlMatrix4 mul(const kmlMatrix4& a, const kmlMatrix4& b, const kmlMatrix4& c)
{
    kmlMatrix4 r(a);
    r *= b;
    r *= c;
    return r;
}

// m x v with all four components (w = 0 drops the translation).
inline kmlVec4 mul(const kmlMatrix4& m, const kmlVec4& v)
{
    kmlVec4 r;
    for (int i = 0; i < 4; ++i) {
        float s = 0.0f;
        for (int j = 0; j < 4; ++j)
            s += m.get(i, j) * v.get(j);
        r.set(i, s);
    }
    return r;
}

inline kmlVec3 xyz(const kmlVec4& v) { return kmlVec3(v.get(0), v.get(1), v.get(2)); }

// The direction d turned by m's rotation (translation ignored).
inline kmlVec3 turn(const kmlMatrix4& m, const kmlVec3& d)
{
    return xyz(mul(m, kmlVec4(d, 0.0f)));
}

// The point p moved by m.
inline kmlVec3 move(const kmlMatrix4& m, const kmlVec3& p)
{
    return xyz(mul(m, kmlVec4(p, 1.0f)));
}

inline kmlVec3 translation(const kmlMatrix4& m)
{
    return kmlVec3(m.get(0, 3), m.get(1, 3), m.get(2, 3));
}

} // namespace ksgmath
