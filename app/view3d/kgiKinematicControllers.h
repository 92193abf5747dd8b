#pragma once
// The canvas's own kinematic controllers for the whole-body mouse modes:
// turning the body about a grabbed joint (on the current pose, or also on
// the body's keys in a frame range) and dragging a limb by inverse
// kinematics, or the whole body with its keys when the root is grabbed.
//
// A manipulator owns the choice of controller and feeds update with the
// canvas's drag input. Every update first asks the library's input-based
// controller (false without a target or when disabled); the body is the
// target's root and must be a transform. false means nothing changed.
// Key times compare against the range as whole frames, both ends
// included; a controller starts with the empty range (0, -1), so an
// update before the first setRange touches the current pose only.
#include "kmlVec3.h"
#include "ksgNodeGroup.h"
#include "ksgTransformController.h"

class ksgIkChain;

// Turns the whole body rigidly about the line through the grabbed joint
// along the axis (a world direction, setAxis). input[0] is the angle in
// degrees; the vertical component is not read. flag must be true.
class kgiBodyFKController : public ksgAxisFKController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    bool update(const kmlVec3& input, bool flag) override;
};

// As kgiBodyFKController, and turns every body key inside the range by the
// same rotation about the same pivot (the pivot taken once from the current
// pose). A body without a motion controller only has its pose turned, and
// then the tree below it is not refreshed.
class kgiAnimFKController : public ksgAxisFKController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    void setRange(int start, int end)
    {
        rangeStart = start;
        rangeEnd = end;
    }
    int getRangeStart() const { return rangeStart; }
    int getRangeEnd() const { return rangeEnd; }

    bool update(const kmlVec3& input, bool flag) override;

private:
    int rangeStart = 0;
    int rangeEnd = -1;
};

// Drags the grabbed joint towards a goal by one CCD sweep over the chain
// built for it. A grabbed model root has no chain (chain mode 1): the body
// is moved onto the goal instead and every key in the range is shifted by
// the same offset, which records the move into the motion. input is the
// goal in world coordinates, or with flag true relative to the body's
// world position.
class kgiAnimIKController : public ksgTransformController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    kgiAnimIKController();
    ~kgiAnimIKController() override;
    kgiAnimIKController(const kgiAnimIKController&) = delete;
    kgiAnimIKController& operator=(const kgiAnimIKController&) = delete;

    void setRange(int start, int end)
    {
        rangeStart = start;
        rangeEnd = end;
    }
    int getRangeStart() const { return rangeStart; }
    int getRangeEnd() const { return rangeEnd; }

    // Chain types for the next target: index 0 to the topmost transform,
    // 1 (and any unknown index) to the first branching joint, 2 within the
    // group, 3 from a custom root.
    void setChainMode(int index);
    int getChainMode() const { return chainMode; }
    // The built chain's root; null without a target (also after a reset).
    ksgTransform* getChainRoot() const;
    // Confines group chains; kept across targets.
    void setChainGroup(const ksgNodeGroup& g);
    // Whether the present target is moved as a whole (a parentless root).
    bool isRootMode() const { return rootMode; }

    bool update(const kmlVec3& input, bool flag) override;

protected:
    // Builds the chain for the target; a parentless target without a chain
    // in chain mode 1 turns on root mode instead. false refuses the target.
    bool init() override;
    // Empties the chain so that nothing points into the old target's tree.
    void reset() override;

private:
    ksgIkChain* chain;
    ksgNodeGroup group;
    int chainMode = 1;
    bool rootMode = false;
    int rangeStart = 0;
    int rangeEnd = -1;
};
