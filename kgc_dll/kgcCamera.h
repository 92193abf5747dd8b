#ifndef KGCCAMERA_H
#define KGCCAMERA_H
// Orbiting camera: an aim point, an orientation (pitch about X, yaw about
// Y, roll about Z, degrees), the distance from the eye to the aim, a view
// volume and a viewport. Six fixed orthographic views look at the aim along
// the axes; the free perspective view keeps its own aim, orientation and
// distance while a fixed view is shown and gets them back on return.

#include "kmlMatrix4.h"
#include "kmlVec3.h"

class kgcCamera
{
public:
    // Orientation on entering each mode: front (0,0,0), back yaw 180,
    // right yaw 90, left yaw -90, top pitch -90, bottom pitch 90; the free
    // view restores its saved orientation.
    enum _PROJECTION_MODE { FRONT = 0, BACK = 1, RIGHT = 2, LEFT = 3, TOP = 4, BOTTOM = 5, FREE = 6 };

    static const float DEF_FOVY;   // 56 degrees
    static const float DEF_NEAR;   // 1
    static const float DEF_FAR;    // 10000
    static const float DEF_ASPECT; // 4:3 as 1.333333
    static const float DEF_ROLL;   // 0

    // Free view at distance 10 looking down -z at the origin; viewport
    // unset (-1 each).
    kgcCamera();
    // Eye and aim points (three floats each); the distance is their gap.
    kgcCamera(float* const eye, float* const aim, float roll, float aspect, float fovy, float near,
              float far);
    // The aim lies `distance` along the view direction from the eye.
    kgcCamera(float* const eye, float* const viewDirection, float distance, float roll,
              float aspect, float fovy, float near, float far);
    // A full copy, the free view's saved aim, orientation and distance
    // included.
    kgcCamera(const kgcCamera& other) = default;
    // Takes the view (distance, view volume, orientation, viewport size);
    // the target keeps its aim, viewport origin, mode and saved free view.
    kgcCamera& operator=(const kgcCamera& other);
    virtual ~kgcCamera();

    // Compares what the view looks like apart from where it aims: view
    // volume, distance, orientation (bit for bit) and viewport size.
    bool operator==(const kgcCamera& other) const;
    bool operator!=(const kgcCamera& other) const { return !(*this == other); }

    const _PROJECTION_MODE& getProjectionMode() const { return mode; }
    // Switches view (saving or restoring the free view), then loads the
    // projection: call with the GL context current.
    void setProjectionMode(_PROJECTION_MODE m);
    // Stores (x, y) as the viewport origin unless either is -1, then loads
    // the projection matrix and an identity model-view.
    void setProjection(int x, int y);
    // Multiplies the current GL matrix by the viewing transform.
    void place() const;
    // The viewing transform place() applies.
    kmlMatrix4 getMatrix() const;

    // Aspect = width / height and the viewport size; ignored unless both > 0.
    void updateAspect(int width, int height);
    // Ignored while the viewport width or height is 0.
    void updateFovy(float fovy);
    // Horizontal field of view, turned into fovy through the aspect.
    void updateFovx(float fovx);

    float getDistToTarget() const { return distance; }
    void setDistToTarget(float d) { distance = d; }
    float getVVFovy() const { return fovy; }
    float getVVNearPlane() const { return nearPlane; }
    float getVVFarPlane() const { return farPlane; }
    float getVVAspect() const { return aspect; }
    void setVVFovy(float f) { fovy = f; }
    void setVVNearPlane(float n) { nearPlane = n; }
    void setVVFarPlane(float f) { farPlane = f; }
    void setVVAspect(float a) { aspect = a; }
    void getViewVolume(float& near, float& far, float& fovy, float& aspect) const;
    void setViewVolume(float near, float far, float fovy, float aspect);
    int getVPOriginx() const { return viewport[0]; }
    int getVPOriginy() const { return viewport[1]; }
    int getVPWidth() const { return viewport[2]; }
    int getVPHeight() const { return viewport[3]; }
    void setVPOriginx(int v) { viewport[0] = v; }
    void setVPOriginy(int v) { viewport[1] = v; }
    void setVPWidth(int v) { viewport[2] = v; }
    void setVPHeight(int v) { viewport[3] = v; }
    void getViewPort(int& x, int& y, int& width, int& height) const;
    void setViewPort(int x, int y, int width, int height);
    void getAim(float& x, float& y, float& z) const { aim.get(x, y, z); }
    kmlVec3 getAim() const { return aim; }
    void setAim(float x, float y, float z) { aim.set(x, y, z); }
    void setAim(const kmlVec3& a) { aim = a; }
    void getOrientation(float& pitch, float& yaw, float& roll) const { orientation.get(pitch, yaw, roll); }
    kmlVec3 getOrientation() const { return orientation; }
    void setOrientation(float pitch, float yaw, float roll) { orientation.set(pitch, yaw, roll); }
    void setOrientation(const kmlVec3& o) { orientation = o; }

private:
    // Pitch and yaw from the unit direction aim -> eye (0..90 and 0..180:
    // the signs are lost), then the free view is saved.
    void orientFrom(const kmlVec3& d);
    void saveFreeView();

    int viewport[4] = {-1, -1, -1, -1};
    float fovy = DEF_FOVY;
    float nearPlane = DEF_NEAR;
    float farPlane = DEF_FAR;
    float aspect = DEF_ASPECT;
    float distance = 10.0f;
    float savedDistance = 10.0f;
    kmlVec3 aim;
    kmlVec3 savedAim;
    kmlVec3 orientation;
    kmlVec3 savedOrientation;
    _PROJECTION_MODE mode = FREE;
};

#endif
