#pragma once

#include "kmlVec3.h"
#include "ksgController.h"

class ksgTransform;

// An input-based controller that turns mouse input into a change of a
// joint's local matrix. A manipulator feeds it; the joint is the target or,
// for the kinematic kinds, the nearest transform above it that they do not
// ignore.
class ksgTransformController : public ksgInputBasedController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Resets the controller when it had a target, stores n and, when n is a
    // transform, runs init; a failing init clears the target again. A node
    // that is not a transform stays the target, and updates do nothing.
    void setTarget(ksgNode* n) override;

protected:
    // Prepares for a new transform target; false refuses it.
    virtual bool init();
    // Lets go of the old target.
    virtual void reset();
};

// Turns the joint about one axis by the larger mouse component (degrees);
// a hinge joint turns about its own twist axis.
class ksgAxisFKController : public ksgTransformController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    ksgAxisFKController();

    // The axis in world coordinates.
    void setAxis(const kmlVec3& a) { axis = a; }
    // Stored for derived controllers; update does not read it.
    void positive(bool on) { sign = on ? 1.0f : -1.0f; }

    // input x when |y| < |x|, else y (a tie takes y), in degrees. Only with
    // flag true; false when nothing turned.
    bool update(const kmlVec3& input, bool flag) override;

protected:
    bool init() override;

    kmlVec3 axis;
    float sign;
};

// Turns the joint about the axis perpendicular to the mouse motion and to a
// lever from a chosen point, by the length of the motion in degrees.
class ksgTrackballFKController : public ksgTransformController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // The lever runs from p to the target's world position; call it after
    // the target is set (nothing without one).
    void setOrigin(const kmlVec3& p);

    bool update(const kmlVec3& input, bool flag) override;

protected:
    bool init() override;

    kmlVec3 origin;
};
