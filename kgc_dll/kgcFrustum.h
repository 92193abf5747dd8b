#ifndef KGCFRUSTUM_H
#define KGCFRUSTUM_H
// The six planes of the current OpenGL view volume, for culling boxes.
// Planes face inward: a point inside the volume is in front of all six.

#include "kgcAxisAlignedBox.h"
#include "kmlPlane.h"

class kgcFrustum
{
public:
    // Results of containsAABox.
    enum Containment { OUTSIDE = 0, INSIDE = 1, INTERSECTING = 2 };
    // Plane order.
    enum PlaneIndex { NEAR_PLANE, FAR_PLANE, LEFT_PLANE, RIGHT_PLANE, TOP_PLANE, BOTTOM_PLANE };

    kgcFrustum() = default;
    kgcFrustum(const kgcFrustum& other) = default;
    kgcFrustum& operator=(const kgcFrustum& other) = default;

    // Extracts the planes from the current projection and model-view
    // matrices: call with the GL context current and the camera placed.
    // The planes are then in the model-view's object space.
    void calc();
    // OUTSIDE when all eight corners lie behind one plane, INSIDE when none
    // lies behind any plane, else INTERSECTING. Conservative: a box beyond
    // an edge of the volume but behind no single plane is INTERSECTING.
    int containsAABox(const kgcAxisAlignedBox& box) const;

private:
    kmlPlane planes[6];
};

#endif
