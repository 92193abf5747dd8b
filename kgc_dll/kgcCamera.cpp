#include "kgcCamera.h"

#include <GL/gl.h>
#include <GL/glu.h>

const float kgcCamera::DEF_FOVY = 56.0f;
const float kgcCamera::DEF_NEAR = 1.0f;
const float kgcCamera::DEF_FAR = 10000.0f;
const float kgcCamera::DEF_ASPECT = 1.333333f;
const float kgcCamera::DEF_ROLL = 0.0f;

kgcCamera::kgcCamera()
{
    orientFrom(kmlVec3(0, 0, 1));
}

kgcCamera::kgcCamera(float* const eye, float* const target, float roll, float a, float fy,
                     float n, float f)
    : fovy(fy), nearPlane(n), farPlane(f), aspect(a), aim(target)
{
    kmlVec3 d = kmlVec3(eye) - aim;
    distance = d.norm();
    if (distance != 0)
        d *= 1 / distance;
    orientation[2] = roll;
    orientFrom(d);
}

kgcCamera::kgcCamera(float* const eye, float* const viewDirection, float dist, float roll,
                     float a, float fy, float n, float f)
    : fovy(fy), nearPlane(n), farPlane(f), aspect(a), distance(dist)
{
    kmlVec3 d = -kmlVec3(viewDirection);
    d.unit();
    aim = kmlVec3(eye) - dist * d;
    orientation[2] = roll;
    orientFrom(d);
}

kgcCamera& kgcCamera::operator=(const kgcCamera& other)
{
    if (this == &other)
        return *this;
    distance = other.distance;
    aspect = other.aspect;
    fovy = other.fovy;
    farPlane = other.farPlane;
    nearPlane = other.nearPlane;
    orientation = other.orientation;
    viewport[2] = other.viewport[2];
    viewport[3] = other.viewport[3];
    return *this;
}

kgcCamera::~kgcCamera() = default;

bool kgcCamera::operator==(const kgcCamera& other) const
{
    if (this == &other)
        return true;
    return aspect == other.aspect && distance == other.distance && farPlane == other.farPlane &&
           nearPlane == other.nearPlane && fovy == other.fovy &&
           orientation == other.orientation && viewport[2] == other.viewport[2] &&
           viewport[3] == other.viewport[3];
}

void kgcCamera::orientFrom(const kmlVec3& d)
{
    const kmlVec3 up(0, 1, 0);
    kmlVec3 t = up.cross(d);
    t.unit();
    orientation[1] = kml::Acosd(kmlVec3(1, 0, 0).dot(t));
    t = t.cross(up);
    t = t.cross(d);
    orientation[0] = kml::Asind(t.norm());
    saveFreeView();
}

void kgcCamera::saveFreeView()
{
    savedAim = aim;
    savedOrientation = orientation;
    savedDistance = distance;
}

void kgcCamera::setProjectionMode(_PROJECTION_MODE m)
{
    if (m != FREE && mode == FREE)
        saveFreeView();
    else if (m == FREE && mode != FREE) {
        aim = savedAim;
        orientation = savedOrientation;
        distance = savedDistance;
    }
    mode = m;
    if (m != FREE) {
        orientation.setZero();
        switch (m) {
        case BACK: orientation[1] = 180; break;
        case RIGHT: orientation[1] = 90; break;
        case LEFT: orientation[1] = -90; break;
        case TOP: orientation[0] = -90; break;
        case BOTTOM: orientation[0] = 90; break;
        default: break;
        }
    }
    setProjection(-1, -1);
}

void kgcCamera::setProjection(int x, int y)
{
    if (x != -1 && y != -1) {
        viewport[0] = x;
        viewport[1] = y;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (mode == FREE) {
        gluPerspective(fovy, aspect, nearPlane, farPlane);
    } else {
        // A square box around the aim that grows with the distance, so
        // zooming works the same in the fixed views.
        const double h = 0.66 * distance;
        glOrtho(-h, h, -h, h, 0, farPlane);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void kgcCamera::place() const
{
    glTranslatef(0, 0, -distance);
    glRotatef(-orientation[2], 0, 0, 1);
    glRotatef(-orientation[0], 1, 0, 0);
    glRotatef(-orientation[1], 0, 1, 0);
    glTranslatef(-aim[0], -aim[1], -aim[2]);
}

kmlMatrix4 kgcCamera::getMatrix() const
{
    kmlMatrix4 m;
    m.translate(kmlVec3(0, 0, -distance));
    m.rotate(-orientation[2], kmlVec3(0, 0, 1));
    m.rotate(-orientation[0], kmlVec3(1, 0, 0));
    m.rotate(-orientation[1], kmlVec3(0, 1, 0));
    m.translate(kmlVec3(-aim));
    return m;
}

void kgcCamera::updateAspect(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    aspect = static_cast<float>(width) / static_cast<float>(height);
    viewport[2] = width;
    viewport[3] = height;
}

void kgcCamera::updateFovy(float f)
{
    if (viewport[2] != 0 && viewport[3] != 0)
        fovy = f;
}

void kgcCamera::updateFovx(float f)
{
    if (viewport[2] != 0 && viewport[3] != 0)
        fovy = f / aspect;
}

void kgcCamera::getViewVolume(float& n, float& f, float& fy, float& a) const
{
    n = nearPlane;
    f = farPlane;
    fy = fovy;
    a = aspect;
}

void kgcCamera::setViewVolume(float n, float f, float fy, float a)
{
    nearPlane = n;
    farPlane = f;
    fovy = fy;
    aspect = a;
}

void kgcCamera::getViewPort(int& x, int& y, int& width, int& height) const
{
    x = viewport[0];
    y = viewport[1];
    width = viewport[2];
    height = viewport[3];
}

void kgcCamera::setViewPort(int x, int y, int width, int height)
{
    viewport[0] = x;
    viewport[1] = y;
    viewport[2] = width;
    viewport[3] = height;
}
