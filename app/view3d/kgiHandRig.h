#pragma once
// The hand rig: the finger joints of a model's two hands, found by their
// node names, and a description of each hand (its fingers and how many
// joints each has). Hand poses and their files are in kgiHandPose.h.
//
// Finger joints are the transforms of a hand's branch chain ("_BR_" right,
// "_BL_" left, see kgiKmdData::scanChainName) named <anything>_<finger><n>:
// the finger is the text after the name's last '_' up to the first digit,
// e.g. "arm_BR_index2" is a joint of the right index finger.
#include "kmlMatrix3.h"
#include "kutObject.h"
#include "ksgVisitor.h"

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

class ksgTransform;

// Fingers by name and the joint count of each, plus joints that belong to
// no finger.
class kgiHandDesc {
public:
    // One more joint of the finger, which is entered on its first joint.
    // Returns the finger's index.
    int addJoint(const std::string& finger);
    void setExtraJoints(int n) { extraJoints = n < 0 ? 0 : n; }
    int getExtraJoints() const { return extraJoints; }

    // The sum of the fingers' joints, plus the extra joints when the
    // fingers have any: a hand without finger joints has none at all.
    int getNumJoints() const;
    int getNumFingers() const { return static_cast<int>(jointCounts.size()); }
    // The finger's index, or -1.
    int getFingerIndex(const std::string& finger) const;
    // Joints of finger i (0 out of range).
    int getFingerJoints(int i) const;

    // Descriptions are interchangeable when they hold as many joints: a pose
    // of one fits the other.
    bool operator==(const kgiHandDesc& o) const { return getNumJoints() == o.getNumJoints(); }
    bool operator!=(const kgiHandDesc& o) const { return !(*this == o); }

    // "Hand description:" and the counts, one per line.
    void dump(std::ostream& out) const;

private:
    std::map<std::string, int> fingers;
    std::vector<int> jointCounts;
    int extraJoints = 0;
};

// A pose of one hand: the rotation of each joint in the hand's joint order.
struct kgiHandPose {
    int side = 0; // kgiHandSet::LEFT or RIGHT
    std::vector<kmlMatrix3> rotations;
};

// The two hands of a model, each a description and its joint nodes (not
// owned: they belong to the model, and the set must go with it).
class kgiHandSet : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    enum Side { LEFT = 0, RIGHT = 1 };
    struct Hand {
        kgiHandDesc desc;
        std::vector<ksgTransform*> joints;
    };

    explicit kgiHandSet(const std::string& name) : name(name) {}
    ~kgiHandSet() override;

    const std::string& getName() const { return name; }
    // Appends a joint of the finger to the hand of that side.
    void addJoint(Side side, const std::string& finger, ksgTransform* node);
    const Hand& getHand(Side side) const { return hands[side == RIGHT ? 1 : 0]; }

    // The joints' present rotations.
    kgiHandPose getPose(Side side) const;
    // Gives the joints of the pose's side its rotations, keeping their
    // positions. False (nothing changed) when the pose holds another number
    // of joints than the hand.
    bool applyPose(const kgiHandPose& pose);

private:
    std::string name;
    Hand hands[2];
};

// Collects the finger joints of a model into a new hand set. Run it with
// depthVisit from the model's root, then take the set over. A finger name
// left empty (a name whose last '_' is followed by a digit, so that the
// part before it names several joints) shows the "Hand import error" box,
// drops the set and stops the walk.
class kgiFindHS : public ksgVisitor {
public:
    kgiFindHS() = default;
    ~kgiFindHS() override;
    kgiFindHS(const kgiFindHS&) = delete;
    kgiFindHS& operator=(const kgiFindHS&) = delete;

    ReturnType exec(ksgNode* node) override;

    bool found() const { return set != nullptr; }
    // The set found; the caller owns it. Null when none.
    kgiHandSet* take();

private:
    kgiHandSet* set = nullptr;
};
