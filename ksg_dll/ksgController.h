#pragma once

#include "kutObject.h"

class ksgNode;
class kmlVec3;

// Base of everything that moves a node: a target (not owned) and an enable
// switch. Three families derive from it: static, time-based (the only ones
// a node accepts with attachController) and input-based controllers.
class ksgController : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    ksgController();
    // A copy works on no node: copies take the enable switch only.
    ksgController(const ksgController& other);
    ksgController& operator=(const ksgController& other);
    ~ksgController() override;

    // Stores the node the controller works on; derived kinds may prepare
    // themselves here. A node calls it when it attaches or detaches the
    // controller, so do not call it on an attached controller yourself.
    virtual void setTarget(ksgNode* node);
    ksgNode* getTarget() const { return target; }

    void enable(bool on) { enabled = on; }
    bool isEnabled() const { return enabled; }

private:
    bool enabled;
    ksgNode* target;
};

// A controller updated without arguments.
class ksgStaticController : public ksgController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Pure, with a body derived kinds may call: false without a target,
    // otherwise whether the controller is enabled.
    virtual bool update() = 0;
};

// A controller driven by a time; the node runs it during its update.
class ksgTimeBasedController : public ksgController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    ksgTimeBasedController();

    // Runs the kind's update at t (absolute) or at the last update time
    // plus t (relative, so update(0, false) re-evaluates at the same time).
    // False without a target, when disabled, or when the kind's update
    // fails; the last update time moves only on success.
    bool update(float t, bool absolute);

    float getLastUpdateTime() const { return lastUpdateTime; }

    // The kind's work at an absolute time; true when it evaluated.
    virtual bool update(float t) = 0;

private:
    float lastUpdateTime;
};

// A controller fed with mouse input (forward and inverse kinematics).
class ksgInputBasedController : public ksgController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Pure, with a body derived kinds call first: false without a target,
    // otherwise whether the controller is enabled.
    virtual bool update(const kmlVec3& input, bool flag) = 0;
};
