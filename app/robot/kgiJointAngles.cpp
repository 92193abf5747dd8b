// Joint values, servo values, joint limits and the initial pose of the
// robot joint table.
#include "kgiRobotJointTable.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiKmdData.h"
#include "kgiLangKeys.h"
#include "kgiLineScan.h"
#include "kgcAxisAlignedBox.h"
#include "kmlEuler.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"
#include "ksgNode.h"
#include "ksgTransform.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Euler order of node poses, whatever the joint's record says.
constexpr int POSE_ORDER = 5;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Truncation toward zero that stays defined for any value (the limits and
// scales of a file may multiply beyond int); NaN gives 0.
int truncToInt(double v)
{
    if (!(v == v))
        return 0;
    if (v >= double(INT_MAX))
        return INT_MAX;
    if (v <= double(INT_MIN))
        return INT_MIN;
    return int(v);
}

// The transform of a node, null for none or another kind.
ksgTransform* transformOf(ksgNode* node)
{
    return node ? node->asTransform() : nullptr;
}

// A frame at t of the motion controller of a transform node, and the
// controller; null without a transform, controller or frame.
std::unique_ptr<ksgMotionFrame> frameAt(ksgNode* node, float t, ksgMotionController*& mc)
{
    mc = transformOf(node) ? getMotionController(node) : nullptr;
    std::unique_ptr<ksgMotionFrame> frame(mc ? mc->newFrame() : nullptr);
    if (frame)
        frame->setTime(t);
    return frame;
}

// The base curves of the node's motion at t, as a matrix; false without a
// transform or motion controller.
bool baseMatrixAt(ksgNode* node, float t, kmlMatrix4& m)
{
    ksgMotionController* mc = nullptr;
    const std::unique_ptr<ksgMotionFrame> frame = frameAt(node, t, mc);
    if (!frame)
        return false;
    mc->getFrame(frame.get(), 1, ksgMotionController::NoLayerSet);
    frame->toMatrix(m);
    return true;
}

// Adds m as a key of the node's base curves at t, then updates the node;
// whether the key was added. False without a transform or controller.
bool addMatrixKey(ksgNode* node, float t, const kmlMatrix4& m)
{
    ksgMotionController* mc = nullptr;
    const std::unique_ptr<ksgMotionFrame> frame = frameAt(node, t, mc);
    if (!frame)
        return false;
    frame->fromMatrix(m);
    const bool added = mc->addFrame(frame.get(), 1);
    node->update(0.0f, false, true);
    return added;
}

// A node pose: the matrix's translation and its angles in POSE_ORDER.
void poseOf(const kmlMatrix4& m, float& px, float& py, float& pz, float& rx, float& ry, float& rz)
{
    const kmlEuler e = m.toEuler(POSE_ORDER);
    px = m(0, 3);
    py = m(1, 3);
    pz = m(2, 3);
    rx = e[0];
    ry = e[1];
    rz = e[2];
}

// The three angles with only the one of the axis set: 0 x, 1 y, 2 and 3 z;
// another axis leaves all three 0.
kmlEuler axisRotation(const kgiJointRecord& r, float raw)
{
    float a[3] = {0.0f, 0.0f, 0.0f};
    if (r.axis >= 0 && r.axis <= 2)
        a[r.axis] = raw;
    else if (r.axis == 3)
        a[2] = raw;
    return kmlEuler(a[0], a[1], a[2], r.eulerOrder);
}

// What the robot options dialog shows for a joint; empty without it.
std::string optionsText(const std::string& jointName)
{
    kgiApp* app = kgiApp::instance();
    return app ? app->queryOptionsText(jointName) : std::string();
}

bool takesPartInLimits(const ksgNode* n)
{
    const kgiKmdData* data = kgiKmdData::of(n);
    return data && data->getType() != kgiKmdData::PART;
}

// The first node of the chain from n on (n and its following siblings)
// that the limit walk visits.
ksgNode* firstVisited(ksgNode* n)
{
    while (n && !takesPartInLimits(n))
        n = n->getSibling();
    return n;
}

// The limit walk's pre-order below and after start: start itself, then
// the first visited child's chain, then start's first visited sibling's.
// Recursion only into children, so a wide tree costs no stack.
template <class Visit>
void walkJoints(ksgNode* start, int level, Visit&& visit)
{
    for (ksgNode* n = start; n; n = firstVisited(n->getSibling())) {
        if (!visit(n, level))
            return;
        if (ksgNode* c = firstVisited(n->getChild()))
            walkJoints(c, level + 1, visit);
    }
}

} // namespace

// --- joint values ---

float kgiRobotJointTable::pickAngle(const kmlMatrix4& m, const kgiJointRecord& record)
{
    const kmlEuler e = m.toEuler(record.eulerOrder);
    const int i = record.axis == 0 ? 0 : (record.axis == 1 ? 1 : 2);
    return float(record.direction) * e[i];
}

float kgiRobotJointTable::jointAngleOf(ksgNode* node, const kgiJointRecord& record)
{
    ksgTransform* t = transformOf(node);
    return t ? pickAngle(t->getLocal(), record) : 0.0f;
}

float kgiRobotJointTable::getJointAngle(ksgNode* node) const
{
    return node ? jointAngleOf(node, findJoint(node->getName())) : 0.0f;
}

float kgiRobotJointTable::getJointAngleByName(kgiCharacter* c, const std::string& jointName) const
{
    return c ? jointAngleOf(c->findNode(jointName), findJoint(jointName)) : 0.0f;
}

float kgiRobotJointTable::getJointAngleAt(ksgNode* node, float t) const
{
    kmlMatrix4 m;
    if (!baseMatrixAt(node, t, m))
        return 0.0f;
    return pickAngle(m, findJoint(node->getName()));
}

bool kgiRobotJointTable::applyJointAngle(ksgNode* node, float value, const kgiJointRecord& record,
                                         float margin)
{
    if (!node)
        return false;
    const float raw = float(record.direction) * value;
    // A value that is not finite would pass both comparisons (NaN) or turn
    // the joint into nonsense.
    if (!std::isfinite(raw) || raw > record.maxAngle + margin || raw < record.minAngle - margin) {
        warnOutOfRange(node, record);
        return false;
    }
    if (ksgTransform* t = node->asTransform()) {
        kmlMatrix4 local = t->getLocal();
        local.setRotation(axisRotation(record, raw));
        t->setLocal(local);
    }
    node->update(0.0f, false, true);
    return true;
}

void kgiRobotJointTable::warnOutOfRange(ksgNode* node, const kgiJointRecord& r) const
{
    const std::string label = optionsText(node->getName());
    // The limits in the joint value's sense, as servo values.
    const float shownMax = r.direction >= 0 ? r.maxAngle : -r.minAngle;
    const float shownMin = r.direction >= 0 ? r.minAngle : -r.maxAngle;
    const int maxServo = truncToInt(double(shownMax) * r.scale + r.offset);
    const int minServo = truncToInt(double(shownMin) * r.scale + r.offset);
    const std::string detail =
        label + ":  max=" + std::to_string(maxServo) + "  min=" + std::to_string(minServo);
    kgiApp* app = kgiApp::instance();
    if (app && app->hasRemoconIndex()) {
        app->setRobotStatus(FX::FXString(("  " + detail).c_str()));
        return;
    }
    kgiCharacterServices& services = kgiCharacterServices::current();
    services.showMessage("Warning - 160", services.text(kgiLangKey::Wr_OutOfRange) + "   " + detail);
}

bool kgiRobotJointTable::setJointAngleWithRecord(kgiCharacter* c, const std::string& jointName, float value,
                                                 const kgiJointRecord& record)
{
    ksgNode* node = c ? c->findNode(jointName) : nullptr;
    return node && applyJointAngle(node, value, record, SET_MARGIN);
}

bool kgiRobotJointTable::setJointAngleByName(kgiCharacter* c, const std::string& jointName, float value)
{
    return setJointAngleWithRecord(c, jointName, value, findJoint(jointName));
}

bool kgiRobotJointTable::setJointAngle(ksgNode* node, float value)
{
    return node && applyJointAngle(node, value, findJoint(node->getName()), SET_MARGIN);
}

bool kgiRobotJointTable::addJointKeyByName(kgiCharacter* c, const std::string& jointName, float t, float value)
{
    return c && addJointKey(c->findNode(jointName), t, value);
}

bool kgiRobotJointTable::addJointKey(ksgNode* node, float t, float value)
{
    if (!transformOf(node))
        return false;
    const kgiJointRecord record = findJoint(node->getName());
    // Here every axis but 0 and 1 keys z (setting leaves an unknown axis
    // unturned).
    float a[3] = {0.0f, 0.0f, 0.0f};
    a[record.axis == 0 ? 0 : (record.axis == 1 ? 1 : 2)] = float(record.direction) * value;
    kmlMatrix4 m;
    m.setRotation(kmlEuler(a[0], a[1], a[2], record.eulerOrder));
    return addMatrixKey(node, t, m);
}

// --- node poses ---

bool kgiRobotJointTable::getNodePose(ksgNode* node, float& px, float& py, float& pz, float& rx, float& ry,
                                     float& rz)
{
    ksgTransform* t = transformOf(node);
    if (!t)
        return false;
    poseOf(t->getLocal(), px, py, pz, rx, ry, rz);
    return true;
}

bool kgiRobotJointTable::getNodePoseAt(ksgNode* node, float time, float& px, float& py, float& pz, float& rx,
                                       float& ry, float& rz)
{
    kmlMatrix4 m;
    if (!baseMatrixAt(node, time, m))
        return false;
    poseOf(m, px, py, pz, rx, ry, rz);
    return true;
}

bool kgiRobotJointTable::setNodePose(ksgNode* node, float px, float py, float pz, float rx, float ry, float rz)
{
    ksgTransform* t = transformOf(node);
    if (!t)
        return false;
    kmlMatrix4 m = t->getLocal();
    m.setRotation(kmlEuler(rx, ry, rz, POSE_ORDER));
    m.setTranslation(kmlVec3(px, py, pz));
    t->setLocal(m);
    node->update(0.0f, false, true);
    return true;
}

bool kgiRobotJointTable::addNodePoseKey(ksgNode* node, float time, float px, float py, float pz, float rx,
                                        float ry, float rz)
{
    kmlMatrix4 m;
    m.setRotation(kmlEuler(rx, ry, rz, POSE_ORDER));
    m.setTranslation(kmlVec3(px, py, pz));
    return addMatrixKey(node, time, m);
}

bool kgiRobotJointTable::rekeyBaseFrame(ksgNode* node, float t)
{
    kmlMatrix4 m;
    return baseMatrixAt(node, t, m) && addMatrixKey(node, t, m);
}

bool kgiRobotJointTable::makeJointPoseDefault(kgiCharacter* c, const std::string& jointName)
{
    ksgNode* node = c ? c->findNode(jointName) : nullptr;
    if (!node)
        return false;
    if (ksgTransform* t = node->asTransform())
        t->setLocalAsDefault();
    return true;
}

// --- limits, initial pose, structure ---

void kgiRobotJointTable::setupJointLimits(ksgNode* node)
{
    walkJoints(node, 0, [this](ksgNode* n, int) {
        const kgiJointRecord r = findJoint(n->getName());
        ksgTransform* t = n->asTransform();
        if (!t)
            return true;
        if (r.axis == 3) {
            // Not a servo joint: the body's free joint (type 6) moves by
            // inverse kinematics only, every other such node by neither.
            const kgiKmdData* data = kgiKmdData::of(n);
            const bool freeBody = data && data->getType() == 6;
            t->ignoreFk(freeBody);
            t->ignoreIk(!freeBody);
            t->enableLimits(false);
            return true;
        }
        kmlVec3 axis;
        if (r.axis >= 0 && r.axis <= 2)
            axis.set(r.axis, 1.0f);
        // The record's limits are raw angles, measured from the unturned
        // local frame; a base taken from the pose the model happens to
        // stand in would shift the range by that pose.
        kmlMatrix4 base = t->getLocal();
        base.setRotation(kmlEuler(0.0f, 0.0f, 0.0f, 5));
        ksgTransformLimits& limits = t->getLimits();
        limits.setTwistAxis(&base, axis);
        limits.setHalfAngle(0.0f);
        limits.setTwistRange(r.minAngle, r.maxAngle);
        t->enableLimits(true);
        t->ignoreIk(false);
        t->ignoreFk(false);
        return true;
    });
}

bool kgiRobotJointTable::applyInitialPose(kgiCharacter* c)
{
    bool ok = true;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(modelIniPath.c_str(), "r"));
    if (file) {
        char line[LINE_BUFFER];
        while (std::fgets(line, sizeof line, file.get()))
            if (std::strlen(line) >= 4 && !applyJointValueLine(line, c))
                ok = false;
    }
    file.reset();
    placeOnFloor(c);
    return ok;
}

bool kgiRobotJointTable::applyJointValueLine(const std::string& line, kgiCharacter* c)
{
    int lineNumber = 0;
    std::string jointName;
    float value = 0.0f;
    // A line whose name or value do not read has no value to set.
    if (line.find('=') == std::string::npos ||
        kgiLineScan::scan(line.c_str(), "%d : %s = %f :", &lineNumber, &jointName, &value) < 3) {
        kgiCharacterServices& services = kgiCharacterServices::current();
        services.showMessage("Error - 062", services.text(kgiLangKey::Er_INI_Data_File));
        return false;
    }
    const bool set = setJointAngleByName(c, jointName, value);
    makeJointPoseDefault(c, jointName);
    return set;
}

bool kgiRobotJointTable::placeOnFloor(kgiCharacter* c, bool poseUndo, bool update)
{
    ksgNode* root = c ? c->getRoot() : nullptr;
    ksgTransform* t = transformOf(root);
    if (!t)
        return false;
    if (poseUndo)
        c->addPoseUndo();
    const float minY = root->getBounds().getMin()[1];
    kmlMatrix4 w = t->getWorld();
    w[13] -= minY;
    t->setLocal(w);
    if (update)
        root->update(0.0f, false, true);
    return true;
}

bool kgiRobotJointTable::matchModelStructure(ksgNode* root)
{
    if (structureNames.empty() && structureDepths.empty()) {
        walkJoints(root, 0, [this](ksgNode* n, int) {
            structureNames.push_back(n->getName());
            structureDepths.push_back(n->getDepth());
            return true;
        });
        return true;
    }
    bool same = true;
    std::size_t index = 0;
    walkJoints(root, 0, [&](ksgNode* n, int level) {
        if (index >= structureNames.size() || index >= structureDepths.size() ||
            structureDepths[index] != level || structureNames[index] != n->getName())
            same = false;
        ++index;
        return same;
    });
    return same;
}

// --- servo values ---

int kgiRobotJointTable::toServo(float value, const kgiJointRecord& r)
{
    return truncToInt(double(value * r.scale + r.offset) + 0.5);
}

float kgiRobotJointTable::fromServo(int servo, const kgiJointRecord& r)
{
    return (float(servo) - r.offset) / r.scale;
}

int kgiRobotJointTable::servoValue(kgiCharacter* c, int id) const
{
    const std::string jointName = jointNameByServo(id);
    if (jointName == NO_JOINT)
        return UNMAPPED_SERVO_VALUE;
    return toServo(getJointAngleByName(c, jointName), findJointByServo(id));
}

int kgiRobotJointTable::servoValueAt(kgiCharacter* c, int id, float t) const
{
    const std::string jointName = jointNameByServo(id);
    if (jointName == NO_JOINT)
        return UNMAPPED_SERVO_VALUE;
    return toServo(getJointAngleAt(c ? c->findNode(jointName) : nullptr, t), findJointByServo(id));
}

float kgiRobotJointTable::jointValueOfServo(int id, int servo) const
{
    return fromServo(servo, findJointByServo(id));
}
