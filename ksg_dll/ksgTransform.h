#pragma once

#include "kmlMatrix4.h"
#include "kmlVec3.h"
#include "ksgNode.h"
#include "ksgTransformLimits.h"

// A joint: world = parent's world x offset x local. The local matrix is
// what posing and motion change; the offset is fixed by the model. Joint
// limits, when enabled, clamp every setLocal.
class ksgTransform : public ksgNode {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Tracking modes of track().
    enum TrackMode { TRACK_AIM = 0, TRACK_LOCAL = 1, TRACK_WORLD = 2 };

    ksgTransform();
    ksgTransform(const ksgTransform& other);

    kmlMatrix4 getWorld() const override { return world; }
    kmlMatrix4 getLocal() const override { return local; }
    // The 16 floats of the stored matrix, column by column.
    const float* getLocalPtr() const override { return local; }
    const float* getWorldPtr() const override { return world; }
    kmlMatrix4 getOffset() const { return offset; }
    ksgTransform* asTransform() override { return this; }

    // Stores the world matrix only; follow with updateLocal to make the
    // local matrix agree (or update the tree to overwrite it again).
    void setWorld(const kmlMatrix4& m) { world = m; }
    // Stores the local matrix and clamps it with the limits when enabled.
    // The world matrices follow at the next update.
    void setLocal(const kmlMatrix4& m);
    void setOffset(const kmlMatrix4& m) { offset = m; }
    // Local matrix back to the default pose (limits not applied).
    void setDefault() { local = defaultLocal; }
    // The present local matrix becomes the default pose, also of the
    // node's motion controller.
    void setLocalAsDefault();

    // world = parent's world x offset x local (offset x local at the top).
    virtual void updateWorld();
    // The inverse: local from the world matrix, then the limits.
    virtual void updateLocal();
    // Node init, then the local matrix at attach time becomes the default.
    void init() override;

    void ignoreFk(bool on) { fkIgnored = on; }
    bool isFkIgnored() const { return fkIgnored; }
    void ignoreIk(bool on) { ikIgnored = on; }
    bool isIkIgnored() const { return ikIgnored; }
    void enableLimits(bool on) { limitsEnabled = on; }
    bool areLimitsEnabled() const { return limitsEnabled; }
    ksgTransformLimits& getLimits() { return limits; }
    const ksgTransformLimits& getLimits() const { return limits; }
    // Clamps the local matrix when the limits are enabled.
    void applyLimits();
    // Re-captures the limit base from the present local matrix, keeping
    // the twist axis.
    void updateLimitBase();

    // Damping factors, kept in [0, 1]; rotation damping scales every IK
    // step of this joint.
    void setTDamp(float d);
    void setRDamp(float d);
    float getTDamp() const { return tDamp; }
    float getRDamp() const { return rDamp; }

    // The node that track() follows (not owned) and how (TrackMode).
    void setTrackNode(ksgTransform* node, unsigned char mode);
    // The local axis that aiming turns towards the tracked node.
    void trackReferenceAxis(const kmlVec3& axis);
    // Stored for callers; track() does not use it.
    void trackRotationAxis(const kmlVec3& axis);
    // Aims at, or copies the rotation of, the tracked node; nothing
    // without one.
    void track();

    void render(ksgVisualState& vs) const override;

protected:
    void postUpdate(float t, bool absolute) override;

private:
    kmlMatrix4 world;
    kmlMatrix4 local;
    kmlMatrix4 offset;
    kmlMatrix4 defaultLocal;
    ksgTransformLimits limits;
    bool limitsEnabled;
    float tDamp;
    float rDamp;
    bool fkIgnored;
    bool ikIgnored;
    unsigned char trackMode;
    ksgTransform* trackNode;
    kmlVec3 referenceAxis;
    kmlVec3 rotationAxis;
};
