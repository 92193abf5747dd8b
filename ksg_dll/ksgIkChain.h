#pragma once

#include <iosfwd>
#include <vector>

#include "kmlVec4.h"
#include "ksgNodeGroup.h"
#include "kutObject.h"

class ksgNode;
class ksgTransform;

// The joints between an end effector and a chain root for CCD inverse
// kinematics, end effector first. Chain types:
//   1 (and 0): up to the first joint that branches (two or more joint
//      children that are neither IK-ignored nor helpers);
//   2: up to the topmost transform;
//   3: up while the joints belong to the group;
//   4: from a custom root below the end effector up to the end effector
//      (a reversed chain: the custom root stays where it is).
// IK-ignored joints are passed over; their lengths count with the joint
// below them. The chain only points at its joints.
class ksgIkChain : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    ksgIkChain();
    ksgIkChain(ksgNode* ee, unsigned char type);

    // Builds the chain ending at n's joint (n, or its nearest transform
    // above, skipping joints both FK- and IK-ignored). False, with nothing
    // changed, for null or, in type 4, an end effector the custom root is
    // not below; false with the chain cleared when no segment results.
    bool setEE(ksgNode* n, unsigned char type);
    // Confines type-3 chains (a copy is kept).
    void setGroup(const ksgNodeGroup& g) { group = g; }
    // Sets the start of type-4 chains; giving the present one again (or
    // null) clears it and returns false.
    bool setCustomRoot(ksgTransform* t);
    bool hasCustomRoot() const { return customRoot != nullptr; }
    ksgTransform* getCustomRoot() const { return customRoot; }

    ksgTransform* getRoot() const { return root; }
    ksgTransform* getEE() const { return ee; }
    // Sum of the segment lengths. A segment's length is the four-component
    // norm of the joint's local translation with w = 1, so it is never
    // below 1 and the end effector does not quite reach this far.
    float getMaxLength() const { return maxLength; }
    int getNumSegments() const { return numSegments; }
    // numSegments + 1, or 0 without a root.
    int getNumJoints() const;
    // Joint i, the end effector at 0; null out of range.
    ksgTransform* operator[](int i) const;
    // World position of the end effector (zero without one).
    kmlVec4 getEELoc() const;
    unsigned char getType() const { return chainType; }

    // A text form for debugging: root, end effector, segment count and the
    // joints from the end effector's parent up to the root.
    friend std::ostream& operator<<(std::ostream& os, const ksgIkChain& chain);

protected:
    bool initChain();

private:
    // Drops the joints; false for the caller to return.
    bool clear();

    float maxLength;
    ksgTransform* root;
    ksgTransform* ee;
    int numSegments;
    unsigned char chainType;
    ksgNodeGroup group;
    ksgTransform* customRoot;
    std::vector<ksgTransform*> joints;
};
