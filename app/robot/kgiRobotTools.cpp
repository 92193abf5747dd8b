// Posing tools of the robot joint table: opening and closing a hand,
// setting the model on the floor, levelling a foot, and keeping a chosen
// base part of the robot where it is while the rest of the body moves.
// They work on the world's current character, its model root and the
// world's current time and frame range; the tools that visit key times
// always give the world its current time back.
#include "kgiRobotJointTable.h"

#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiCollisionCheck.h"
#include "kgiKeyUndo.h"
#include "kgiLangKeys.h"
#include "kgiWorld.h"
#include "kmlEuler.h"
#include "kmlQuat.h"
#include "ksgNode.h"
#include "ksgTransform.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Fixed joint names of the robot model.
const char* const LEFT_WRIST = "L_WR1";
const char* const RIGHT_WRIST = "R_WR1";
const char* const LEFT_FOOT = "LAnkle2";
const char* const RIGHT_FOOT = "RAnkle2";
const char* const LEFT_ANKLE = "LAnkle1";
const char* const RIGHT_ANKLE = "RAnkle1";

// Grip angles of a closed hand; an open hand has both at 0.
const float GRIP1_CLOSED = 70.0f;
const float GRIP2_CLOSED = 85.0f;

// The Euler order the foot and base-part tools read placements with.
const int PLACEMENT_ORDER = kmlEuler::ZYX;

// The node itself or its nearest ancestor named a or b; null when none is.
ksgNode* nodeOrAncestorNamed(ksgNode* node, const char* a, const char* b)
{
    for (ksgNode* n = node; n; n = n->getParent()) {
        const std::string name = n->getName();
        if (name == a || name == b)
            return n;
    }
    return nullptr;
}

// The transform whose world matrix places the node: its own, or that of
// its nearest transform ancestor.
ksgTransform* placingTransform(ksgNode* node)
{
    if (!node)
        return nullptr;
    if (ksgTransform* t = node->asTransform())
        return t;
    return node->getParentTransform();
}

kgiCharacter* currentCharacter()
{
    return kgiWorld::instance()->getCurrentCharacter();
}

ksgTransform* currentRoot()
{
    kgiCharacter* c = currentCharacter();
    ksgNode* root = c ? c->getRoot() : nullptr;
    return root ? root->asTransform() : nullptr;
}

kmlVec<3> translationOf(const kmlMatrix4& m)
{
    kmlVec<3> p;
    p[0] = m(0, 3);
    p[1] = m(1, 3);
    p[2] = m(2, 3);
    return p;
}

// The key times of the character in the world's frame range, in list
// order (a copy: re-keying refreshes the character's list).
std::vector<float> keyTimesInRange(const kgiCharacter* c)
{
    std::vector<float> out;
    if (!c)
        return out;
    const kgiWorld* w = kgiWorld::instance();
    for (float t : c->getKeyTimes())
        if (t >= w->getStartFrame() && t <= w->getEndFrame())
            out.push_back(t);
    return out;
}

// Puts the world back at its current time when it goes out of scope.
class TimeKeeper {
public:
    TimeKeeper() : saved(kgiWorld::instance()->getCurrentTime()) {}
    ~TimeKeeper() { kgiWorld::instance()->setCurrentTime(saved); }
    TimeKeeper(const TimeKeeper&) = delete;
    TimeKeeper& operator=(const TimeKeeper&) = delete;

private:
    float saved;
};

// One undo entry for keys rewritten in place over a run of key times:
// the keys as they were are taken before the first rewrite, as they
// became after the last; it is pushed only when a key was rewritten.
class RekeyRecord {
public:
    RekeyRecord(kgiCharacter* c, const std::vector<float>& times) : owner(c)
    {
        if (c && !times.empty())
            entry.reset(new kgiRekeyRangeUndo(c, times.front(), times.back()));
    }
    void rewrote() { ++count; }
    void push()
    {
        if (!entry || count == 0)
            return;
        entry->takeAfter();
        owner->addKeyUndo(entry.release());
    }

private:
    kgiCharacter* owner;
    std::unique_ptr<kgiRekeyRangeUndo> entry;
    int count = 0;
};

// Runs edit at every key time in range and keys the pose again there, at
// the key's own time (a key between whole frames stays where it is); the
// keys rewritten are one undo entry. The current time is given back.
template <class Edit>
void rekeyKeysInRange(kgiCharacter* c, Edit edit)
{
    // The re-keys change no key time: the key list and the refreshed pose
    // are made once, at the end, for the time given back.
    kgiCharacter::KeyBatch batch(c);
    const std::vector<float> times = keyTimesInRange(c);
    RekeyRecord record(c, times);
    {
        TimeKeeper keeper;
        for (float t : times) {
            kgiWorld::instance()->setCurrentTime(t);
            edit();
            if (c->addKeyAt(t))
                record.rewrote();
        }
    }
    record.push();
}

} // namespace

// --- the rigid correction of the root ---

kgiRobotJointTable::RootCorrection kgiRobotJointTable::RootCorrection::between(const kmlMatrix4& ref,
                                                                             const kmlMatrix4& now)
{
    // L' = ref x inverse(now) x L: its rotation ref x inverse(now) comes
    // first, its translation p(ref) + R(ref) p(inverse(now)) + that
    // rotation applied to p(L).
    RootCorrection r;
    const kmlQuat qRef = ref.toQuat();
    r.rotation = qRef * now.toQuat().getInverse();
    r.rotationMatrix = r.rotation.toMat3();
    r.offset = translationOf(ref);
    r.offset += mulMatrix3Vec3(qRef.toMat3(), translationOf(now.getInverse()));
    return r;
}

kmlMatrix4 kgiRobotJointTable::RootCorrection::apply(const kmlMatrix4& local) const
{
    kmlVec<3> p = offset;
    p += mulMatrix3Vec3(rotationMatrix, translationOf(local));
    kmlMatrix4 out;
    out.setRotation(rotation * local.toQuat());
    out.setTranslation(p);
    return out;
}

bool kgiRobotJointTable::moveRoot(const RootCorrection& correction, bool update)
{
    ksgTransform* root = currentRoot();
    if (!root)
        return false;
    root->setLocal(correction.apply(root->getLocal()));
    if (update)
        root->update(0.0f, false, true);
    return true;
}

// --- hands ---

bool kgiRobotJointTable::setHand(ksgNode* node, bool close)
{
    if (ksgNode* wrist = nodeOrAncestorNamed(node, LEFT_WRIST, RIGHT_WRIST))
        setGrips(node, wrist->getName() == RIGHT_WRIST ? 1 : 0, close);
    kgiCollisionCheck::instance()->check();
    return true;
}

bool kgiRobotJointTable::setGrips(ksgNode* node, int side, bool close)
{
    kgiCharacter* c = kgiWorld::instance()->findCharacterOfNode(node);
    // The grips turn about z through the whole circle, so both values
    // always pass; a model without grips keeps its hand as it is.
    kgiJointRecord grip;
    grip.axis = 2;
    grip.eulerOrder = 5;
    grip.minAngle = -180.0f;
    grip.maxAngle = 180.0f;
    grip.direction = 1;
    grip.servoId = -1;
    grip.scale = 1.0f;
    grip.offset = 0.0f;
    const float first = close ? GRIP1_CLOSED : 0.0f;
    const float second = close ? GRIP2_CLOSED : 0.0f;
    const bool right = side == 1;
    setJointAngleWithRecord(c, right ? "R_GR1" : "L_GR1", first, grip);
    setJointAngleWithRecord(c, right ? "R_GR2" : "L_GR2", second, grip);
    return true;
}

// --- floor and feet ---

bool kgiRobotJointTable::putOnFloor(bool allKeys)
{
    kgiCharacter* c = currentCharacter();
    if (!c)
        return false;
    if (!allKeys)
        return placeOnFloor(c);
    kgiCharacter::KeyBatch batch(c);
    TimeKeeper keeper;
    const std::vector<float> times = keyTimesInRange(c);
    // One entry a key, of which the history keeps the last UNDO_CAPACITY:
    // the earlier ones would fall out as the later ones come, so they are
    // not built. (Re-keys at the list's own key times succeed for all keys
    // or, at the key limit, for none.) The same for the pose entries, one
    // a key, in a history as long.
    const std::size_t firstKept =
        times.size() > std::size_t(kgiCharacter::UNDO_CAPACITY) ? times.size() - kgiCharacter::UNDO_CAPACITY : 0;
    const std::size_t firstPoseKept =
        times.size() > std::size_t(kgiPoseUndoMgr::CAPACITY) ? times.size() - kgiPoseUndoMgr::CAPACITY : 0;
    for (std::size_t k = 0; k < times.size(); ++k) {
        const float t = times[k];
        kgiWorld::instance()->setCurrentTime(t);
        // The re-key reads the moved local matrices; the next key's time
        // (or the time given back) updates the rest.
        placeOnFloor(c, k >= firstPoseKept, false);
        // Its snapshots see the key before the re-key and the pose on the
        // floor; a re-key refused at the key limit leaves nothing to undo.
        // The key keeps its own time, also between whole frames.
        std::unique_ptr<kgiAddKeyUndo> entry(k >= firstKept ? new kgiAddKeyUndo(c, t) : nullptr);
        if (c->addKeyAt(t) && entry)
            c->addKeyUndo(entry.release());
    }
    return true;
}

bool kgiRobotJointTable::isInFoot(ksgNode* node)
{
    return nodeOrAncestorNamed(node, LEFT_FOOT, RIGHT_FOOT) != nullptr;
}

namespace {

// A foot is level when its x axis points straight down: its order-5
// angles are then y 0 and z -90, whatever its x.
const kmlVec3 DOWN(0.0f, -1.0f, 0.0f);
// Tilts below this many degrees are level already.
const float LEVEL_TILT = 1e-3f;
const int LEVEL_STEPS = 10;
const double DEGREES_PER_RADIAN = 57.29577951308232;

kmlVec3 footAxis(const ksgNode* foot)
{
    const kmlMatrix4 w = foot->getWorld();
    return kmlVec3(w(0, 0), w(1, 0), w(2, 0));
}

// Degrees between the axis and straight down; NaN for an axis of no length
// or of numbers that are not finite.
float tiltOf(kmlVec3 axis)
{
    if (!axis.unit() || !std::isfinite(axis[0] + axis[1] + axis[2]))
        return std::nanf("");
    return float(std::acos(std::clamp(double(axis.dot(DOWN)), -1.0, 1.0)) * DEGREES_PER_RADIAN);
}

// The level axis that turns the foot's axis straight down (their cross
// product, taken in double so that small tilts keep their direction). A
// foot upside down turns over about any level axis; false when the axis is
// too close to straight down to give one.
bool levelTurnAxis(const kmlVec3& axis, float tilt, kmlVec3& out)
{
    const double x = axis[1] * double(DOWN[2]) - axis[2] * double(DOWN[1]);
    const double y = axis[2] * double(DOWN[0]) - axis[0] * double(DOWN[2]);
    const double z = axis[0] * double(DOWN[1]) - axis[1] * double(DOWN[0]);
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length > 1e-9) {
        out = kmlVec3(float(x / length), float(y / length), float(z / length));
        return true;
    }
    out = kmlVec3(0.0f, 0.0f, 1.0f);
    return tilt > 90.0f;
}

// Turns the root about its own origin by the world rotation that takes
// the foot's axis straight down (about a level axis, so the heading is
// kept), as often as that still lessens the tilt. A turn that does not
// lessen it is taken back, so where none can the root stays as it was.
void levelRootUnder(const ksgNode* foot, ksgTransform* root)
{
    float tilt = tiltOf(footAxis(foot));
    for (int step = 0; step < LEVEL_STEPS && tilt > LEVEL_TILT; ++step) {
        kmlVec3 turnAxis;
        if (!levelTurnAxis(footAxis(foot), tilt, turnAxis))
            break;
        kmlMatrix4 turn;
        turn.setRotation(tilt, turnAxis);
        // The turn is in the world; the root's local matrix sits below its
        // parent's placement P: L' = inverse(P) x turn x P x L.
        const kmlMatrix4 local = root->getLocal();
        const kmlMatrix4 parent = root->getWorld() * local.getInverse();
        kmlMatrix4 turned = local;
        turned.setRotation((parent.getInverse() * turn * parent * local).toMat3());
        root->setLocal(turned);
        root->update(0.0f, false, true);
        const float now = tiltOf(footAxis(foot));
        if (!(now < tilt)) {
            root->setLocal(local);
            root->update(0.0f, false, true);
            break;
        }
        tilt = now;
    }
}

} // namespace

bool kgiRobotJointTable::levelFoot(ksgNode* node)
{
    ksgNode* foot = nodeOrAncestorNamed(node, LEFT_FOOT, RIGHT_FOOT);
    if (ksgTransform* root = foot ? currentRoot() : nullptr)
        levelRootUnder(foot, root);
    putOnFloor(false);
    return foot != nullptr;
}

bool kgiRobotJointTable::levelFootOverKeys(ksgNode* node, bool allKeys)
{
    if (!node)
        return false;
    if (!allKeys)
        return levelFoot(node);
    kgiCharacter* c = currentCharacter();
    if (!c)
        return false;
    rekeyKeysInRange(c, [this, node] { levelFoot(node); });
    return true;
}

bool kgiRobotJointTable::levelAnkles(ksgNode* node)
{
    return nodeOrAncestorNamed(node, LEFT_FOOT, RIGHT_FOOT) &&
           nodeOrAncestorNamed(node, LEFT_ANKLE, RIGHT_ANKLE);
}

// --- the base part ---

bool kgiRobotJointTable::storeReferencePlacement(ksgNode* node)
{
    if (!node)
        return false;
    const ksgTransform* t = placingTransform(node);
    const kmlMatrix4 w = t ? t->getWorld() : node->getWorld();
    referenceMatrix = w;
    const kmlEuler angles = w.toEuler(PLACEMENT_ORDER);
    for (int i = 0; i < 3; ++i) {
        referenceAngles[i] = angles[i];
        referencePosition[i] = w(i, 3);
    }
    baseNode = node;
    return true;
}

bool kgiRobotJointTable::keepBasePartFixed()
{
    if (!baseNode)
        return false;
    ksgTransform* t = placingTransform(baseNode);
    if (!t)
        return true;
    // Only the model the base part belongs to is moved to hold it.
    ksgTransform* root = currentRoot();
    if (!root || baseNode->getRoot() != root)
        return false;
    return moveRoot(RootCorrection::between(referenceMatrix, t->getWorld()));
}

bool kgiRobotJointTable::alignBasePart(ksgNode* node, bool appended)
{
    if (appended)
        return alignBasePartOverRange(node);
    kgiCharacter* c = currentCharacter();
    if (!c || !node)
        return false;
    const float now = kgiWorld::instance()->getCurrentTime();
    float previous = -1.0f;
    for (float t : c->getKeyTimes()) {
        if (!(t < now))
            break;
        previous = t;
    }
    if (previous < 0.0f)
        return false;
    c->addPoseUndo();
    return alignBasePartToTime(node, previous);
}

bool kgiRobotJointTable::alignBasePartToTime(ksgNode* node, float earlier)
{
    if (!node)
        return false;
    ksgTransform* t = placingTransform(node);
    if (!t)
        return true;
    kmlMatrix4 ref;
    {
        TimeKeeper keeper;
        kgiWorld::instance()->setCurrentTime(earlier);
        ref = t->getWorld();
    }
    moveRoot(RootCorrection::between(ref, t->getWorld()));
    return true;
}

bool kgiRobotJointTable::alignBasePartOverRange(ksgNode* node)
{
    if (!node)
        return false;
    ksgTransform* t = placingTransform(node);
    if (!t)
        return true;
    kgiCharacter* c = currentCharacter();
    const std::vector<float> keys = c ? c->getKeyTimes() : std::vector<float>();
    const kgiWorld* w = kgiWorld::instance();
    std::size_t first = 0;
    while (first < keys.size() && !(keys[first] >= w->getStartFrame() && keys[first] <= w->getEndFrame()))
        ++first;
    kgiCharacterServices& services = kgiCharacterServices::current();
    if (first == 0 && !keys.empty()) {
        // The first key in range is the first key: nothing before it to align to.
        services.showMessage("Warning - 151", services.text(kgiLangKey::Wr_No_Data_Bfore));
        return false;
    }
    if (first >= keys.size() || keys[first - 1] < 0.0f || keys[first] < 0.0f) {
        services.showMessage("Warning - 152", services.text(kgiLangKey::Wr_No_Data_Area));
        return false;
    }

    RootCorrection correction;
    {
        TimeKeeper keeper;
        kgiWorld::instance()->setCurrentTime(keys[first - 1]);
        const kmlMatrix4 ref = t->getWorld();
        kgiWorld::instance()->setCurrentTime(keys[first]);
        // One rigid correction, from the base part's placement at the
        // range's first key to its placement at the key before, moves
        // every key of the range alike.
        correction = RootCorrection::between(ref, t->getWorld());
    }
    rekeyKeysInRange(c, [this, &correction] { moveRoot(correction, false); });
    return true;
}
