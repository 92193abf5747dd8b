#pragma once

#include "kmlMatrix4.h"
#include "kmlVec3.h"
#include "ksgTransformController.h"
#include "kutObject.h"

class ksgIkChain;
class ksgNodeGroup;
class ksgTransform;

// Cyclic coordinate descent over an IK chain: each joint from the one
// above the end effector up to the chain root in turn is rotated so that
// the end effector points at the goal; a step that takes the end effector
// farther from the goal is undone.
class ksgCcdIk : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Runs sweeps until the squared distance from the end effector to the
    // goal is within tolerance (true) or maxIterations sweeps are done
    // (false). A goal out of reach is first pulled onto the sphere of the
    // chain's maximum length about the root. Writes "No ee" or "No current"
    // to stderr for a chain without end effector or joints.
    bool solve(ksgIkChain& chain, kmlVec3 goal, int maxIterations, float tolerance) const;
    // The rotation by angle (degrees) about a world axis, expressed in the
    // joint's frame: multiply the joint's local matrix by it on the right.
    kmlMatrix4 toLocal(ksgTransform* joint, float angle, const kmlVec3& axis) const;

private:
    mutable kmlMatrix4 rotation;
};

// The inverse-kinematics controller a manipulator feeds: each input is a
// goal for the target (an absolute world point, or with flag true a
// displacement of the target), reached by one CCD sweep over the chain
// built for the target.
class ksgCcdIKController : public ksgTransformController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    ksgCcdIKController();
    ksgCcdIKController(const ksgCcdIKController& other);
    ksgCcdIKController& operator=(const ksgCcdIKController& other);
    ~ksgCcdIKController() override;

    // Modes and the chain types they build (at the next setTarget):
    // 0 to the topmost transform, 1 (and unknown values) to the first
    // branching joint, 2 within the group, 3 from the reverse root.
    void setMode(int mode);
    // -1 without a chain.
    int getMode() const;
    void setGroup(const ksgNodeGroup& group);
    // The custom root of reversed chains (n's joint); mode 3 when the chain
    // takes it, else mode 1 (giving the same root again clears it).
    void setReverseRoot(ksgNode* n);
    ksgTransform* getReverseRoot() const { return reverseRoot; }
    // No reverse root any more (mode 1 when the chain took one): for a
    // root whose tree is about to be freed.
    void clearReverseRoot();
    // The chain's root, null when there is no chain.
    ksgNode* getRoot() const;

    bool update(const kmlVec3& input, bool flag) override;

protected:
    // Builds the chain for the target; a parentless target without a
    // chain in mode 1 is moved as a whole instead.
    bool init() override;
    void reset() override;

private:
    ksgIkChain* chain;
    ksgTransform* reverseRoot;
    int chainType;
    bool translateOnly;
};
