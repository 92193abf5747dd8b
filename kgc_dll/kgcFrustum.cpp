#include "kgcFrustum.h"

#include <GL/gl.h>

void kgcFrustum::calc()
{
    float model[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, model);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // Clip = Projection x ModelView; both column-major, entry (r, c) at c*4+r.
    float clip[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float s = 0;
            for (int k = 0; k < 4; ++k)
                s += projection[k * 4 + r] * model[c * 4 + k];
            clip[r][c] = s;
        }
    // A point p is inside when -w <= x, y, z <= w in clip space, so each
    // plane is row 3 plus or minus another row, (n, w) with n.p + w >= 0.
    // The plane stores n.p = distance, hence distance = -w.
    const int rows[6] = {2, 2, 0, 0, 1, 1};
    const float signs[6] = {1, -1, 1, -1, -1, 1};
    for (int i = 0; i < 6; ++i) {
        float e[4];
        for (int c = 0; c < 4; ++c)
            e[c] = clip[3][c] + signs[i] * clip[rows[i]][c];
        planes[i].setNormal(kmlVec3(e[0], e[1], e[2]));
        planes[i].setDistance(-e[3]);
        planes[i].normalize();
    }
}

int kgcFrustum::containsAABox(const kgcAxisAlignedBox& box) const
{
    kmlVec3 corners[8];
    for (int k = 0; k < 8; ++k)
        corners[k] = box.getCorner(k);
    bool allInside = true;
    for (const kmlPlane& plane : planes) {
        int behind = 0;
        for (const kmlVec3& p : corners)
            if (plane.sideOf(p) == kmlPlane::BEHIND)
                ++behind;
        if (behind == 8)
            return OUTSIDE;
        if (behind > 0)
            allInside = false;
    }
    return allInside ? INSIDE : INTERSECTING;
}
