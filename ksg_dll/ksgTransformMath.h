#pragma once

// Small vector helpers shared by the scene-graph sources (not exported).
// Matrices act on column vectors: m * v, and a * b applies b first.

#include "kmlMatrix4.h"
#include "kmlVec3.h"
#include "kmlVec4.h"

namespace ksgmath {

inline kmlVec3 xyz(const kmlVec4& v) { return kmlVec3(v.get(0), v.get(1), v.get(2)); }

// The direction d turned by m's rotation (translation ignored).
inline kmlVec3 turn(const kmlMatrix4& m, const kmlVec3& d)
{
    return xyz(m * kmlVec4(d, 0.0f));
}

// The point p moved by m.
inline kmlVec3 move(const kmlMatrix4& m, const kmlVec3& p)
{
    return xyz(m * kmlVec4(p, 1.0f));
}

inline kmlVec3 translation(const kmlMatrix4& m)
{
    return kmlVec3(m.get(0, 3), m.get(1, 3), m.get(2, 3));
}

} // namespace ksgmath
