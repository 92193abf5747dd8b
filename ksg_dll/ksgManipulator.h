#pragma once

#include "kmlVec3.h"
#include "ksgNode.h"

class ksgTransform;
class ksgTransformController;

// The node the user grabs in the 3D view. It hangs itself under the joint
// it manipulates (its target) and passes mouse input to its controller.
// While attached, the target's tree owns it like any child: take it off
// with setTarget(null) before deleting that tree if you want to keep it.
class ksgManipulator : public ksgNode {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    ksgManipulator();

    // Moves the manipulator under n's joint (n itself when it is a
    // transform, else its nearest transform above) and hands that joint to
    // the controller. Null detaches the manipulator and clears both
    // targets; the manipulator's own nodes are never targeted.
    void setTarget(ksgNode* n);
    ksgTransform* getTarget() const { return target; }
    // Uses ctl (not owned; null allowed) and gives it the present target.
    // The previous controller keeps its target.
    void setController(ksgTransformController* ctl);
    ksgTransformController* getController() const { return controller; }
    // Whether n is the manipulator or a node below it.
    bool owns(ksgNode* n) const;

    using ksgNode::update;
    // Feeds the input to the controller; false without one.
    virtual bool update(const kmlVec3& input, bool flag);
    // Called by the application when the user picks a node; does nothing.
    virtual void select(ksgNode* n);
    // Does nothing: attaching a manipulator neither sets its depth nor
    // updates it.
    void init() override;

protected:
    // start, its subtree and its later siblings with theirs.
    bool isOwn(const ksgNode* start, const ksgNode* n) const;

private:
    ksgTransform* target;
    ksgTransformController* controller;
};
