#include "kgiHandRig.h"

#include <ostream>

#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiKmdData.h"
#include "kmlMatrix4.h"
#include "ksgNode.h"
#include "ksgTransform.h"

// --- kgiHandDesc ---

int kgiHandDesc::addJoint(const std::string& finger)
{
    auto it = fingers.find(finger);
    if (it == fingers.end()) {
        it = fingers.emplace(finger, static_cast<int>(jointCounts.size())).first;
        jointCounts.push_back(0);
    }
    ++jointCounts[it->second];
    return it->second;
}

int kgiHandDesc::getNumJoints() const
{
    int sum = 0;
    for (int n : jointCounts)
        sum += n;
    return sum >= 1 ? sum + extraJoints : sum;
}

int kgiHandDesc::getFingerIndex(const std::string& finger) const
{
    auto it = fingers.find(finger);
    return it == fingers.end() ? -1 : it->second;
}

int kgiHandDesc::getFingerJoints(int i) const
{
    return i >= 0 && i < getNumFingers() ? jointCounts[i] : 0;
}

void kgiHandDesc::dump(std::ostream& out) const
{
    out << "Hand description:\n"
        << "\tNum joints: " << getNumJoints() << "\n"
        << "\tExtra joints: " << extraJoints << "\n"
        << "\tNum fingers: " << getNumFingers() << "\n";
}

// --- kgiHandSet ---

const kutRtti kgiHandSet::RTTI("kgiHandSet", &kutObject::RTTI);

const kutRtti* kgiHandSet::getRtti() const
{
    return &RTTI;
}

kgiHandSet::~kgiHandSet() = default;

void kgiHandSet::addJoint(Side side, const std::string& finger, ksgTransform* node)
{
    Hand& hand = hands[side == RIGHT ? 1 : 0];
    hand.desc.addJoint(finger);
    hand.joints.push_back(node);
}

kgiHandPose kgiHandSet::getPose(Side side) const
{
    kgiHandPose pose;
    pose.side = side;
    for (const ksgTransform* joint : getHand(side).joints)
        pose.rotations.push_back(joint->getLocal().toMat3());
    return pose;
}

bool kgiHandSet::applyPose(const kgiHandPose& pose)
{
    const Hand& hand = getHand(pose.side == RIGHT ? RIGHT : LEFT);
    if (pose.rotations.size() != hand.joints.size())
        return false;
    for (size_t i = 0; i < hand.joints.size(); ++i) {
        kmlMatrix4 local = hand.joints[i]->getLocal();
        local.setRotation(pose.rotations[i]);
        hand.joints[i]->setLocal(local);
    }
    return true;
}

// --- kgiFindHS ---

namespace {

// The text between the name's first and second '_' (to the end without a
// second one; "" without any '_').
std::string handSetName(const std::string& name)
{
    const size_t first = name.find('_');
    if (first == std::string::npos)
        return "";
    const size_t second = name.find('_', first + 1);
    return name.substr(first + 1, second == std::string::npos ? std::string::npos
                                                              : second - first - 1);
}

} // namespace

kgiFindHS::~kgiFindHS()
{
    delete set;
}

kgiHandSet* kgiFindHS::take()
{
    kgiHandSet* s = set;
    set = nullptr;
    return s;
}

ksgVisitor::ReturnType kgiFindHS::exec(ksgNode* node)
{
    ksgTransform* joint = node ? node->asTransform() : nullptr;
    const kgiKmdData* data = kgiKmdData::of(node);
    if (!joint || !data || !data->isChainMember())
        return DESCEND;

    const std::string name = node->getName();
    if (!set)
        set = new kgiHandSet(handSetName(name));

    // <prefix>_<finger><digits>: a chain node without that ending (no '_',
    // no digit after the last one) is no finger joint.
    const size_t last = name.rfind('_');
    if (last == std::string::npos)
        return DESCEND;
    const size_t digit = name.find_first_of("0123456789", last + 1);
    if (digit == std::string::npos)
        return DESCEND;
    const std::string finger = name.substr(last + 1, digit - last - 1);
    if (finger.empty()) {
        // "<prefix>_2": the prefix stands where a finger name belongs, so
        // every joint numbered this way would be one finger.
        kgiCharacterServices::current().showMessage(
            "Hand import error", "Hand node naming error:\n\t\"" + name.substr(0, last) +
                                     "\" is used several times.\nPlease check.");
        delete set;
        set = nullptr;
        return STOP;
    }
    const bool right = last > 0 && name[last - 1] == 'R';
    set->addJoint(right ? kgiHandSet::RIGHT : kgiHandSet::LEFT, finger, joint);
    return DESCEND;
}

// --- kgiCharacter's hands (declared with the character, built here so that
// the core does not carry the rig) ---

bool kgiCharacter::findHands()
{
    if (root && !handSet) {
        kgiFindHS finder;
        ksgNullVisitor leave;
        root->depthVisit(finder, leave);
        handSet = finder.take();
    }
    return handSet != nullptr;
}

kgiHandSet* kgiCharacter::getHandSet() const
{
    return static_cast<kgiHandSet*>(handSet);
}
