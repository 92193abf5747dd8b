#include "kgiRobotCheck.h"

#include "kgiRobotFormat.h"

#include "kgiRobotMirror.h"
#include "kgiRobotOutput.h"
#include "kgcOrientedBox.h"
#include "kmlEuler.h"
#include "ksgIkChain.h"
#include "ksgTransform.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

namespace {

const float EPS = 1e-4f;

// Longest name the program's lookups and motion files take.
const size_t MAX_NAME = 55;

// Node ids of the whole program stay below 1,000 (its collision table has
// that many entries); the model's records and one mesh part per mesh record
// may use at most half of them.
const size_t MAX_SCENE_NODES = 500;

// The board's left/right layout: each pair drives the same joint on the two
// sides (right leg 0-4, left leg 18-22, right arm 6-8, left arm 12-14, right
// hand 9-11, left hand 15-17); 5 and 23 sit on the centre line.
const int SERVO_TWINS[][2] = {{0, 18}, {1, 19}, {2, 20}, {3, 21}, {4, 22}, {6, 12},
                              {7, 13}, {8, 14}, {9, 15}, {10, 16}, {11, 17}};
const int CENTRE_SERVOS[] = {5, 23};

// Names the program looks nodes up by.
const char* const LIMB_ROOTS[] = {"RThigh", "LThigh", "LShoulder", "RShoulder",
                                  "R_SH0", "L_SH0", "R_HP", "L_HP"};
const char* const ARM_ROOTS[] = {"LShoulder", "RShoulder", "R_SH0", "L_SH0"};
const char* const LEG_ROOTS[] = {"RThigh", "LThigh", "R_HP", "L_HP"};


bool near(float a, float b, float eps = EPS)
{
    return std::fabs(a - b) <= eps;
}

template <size_t N>
bool isOneOf(const std::string& name, const char* const (&set)[N])
{
    for (const char* s : set)
        if (name == s)
            return true;
    return false;
}

bool isAncestor(const kgiRobotModel& m, int ancestor, int node)
{
    for (int p = m.getNodes()[size_t(node)].parent; p >= 0; p = m.getNodes()[size_t(p)].parent)
        if (p == ancestor)
            return true;
    return false;
}

// Limb roots on the way from a node up to the root, nearest first.
template <size_t N>
std::vector<int> rootsAbove(const kgiRobotModel& m, int node, const char* const (&set)[N])
{
    std::vector<int> found;
    for (int p = node; p >= 0; p = m.getNodes()[size_t(p)].parent)
        if (isOneOf(m.getNodes()[size_t(p)].name, set))
            found.push_back(p);
    return found;
}

// T M T with T = diag(1, 1, -1) on the rotation part of a matrix.
bool isMirrorOf(const kmlMatrix4& a, const kmlMatrix4& b)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            float s = ((r == 2) != (c == 2)) ? -1.0f : 1.0f;
            if (!near(a(r, c), s * b(r, c)))
                return false;
        }
    return true;
}

std::vector<std::string> tableNames(const kgiRobotModel& m)
{
    std::vector<std::string> names;
    for (const kgiRobotJointLine& l : m.getLines())
        names.push_back(l.name);
    return names;
}

bool inTable(const kgiRobotModel& m, int node)
{
    const std::string& n = m.getNodes()[size_t(node)].name;
    for (const kgiRobotJointLine& l : m.getLines())
        if (l.name == n)
            return true;
    return false;
}

// The part's nearest ancestor that is a servo joint (the root when none),
// as the collision test pairs parts.
int jointAbove(const kgiRobotModel& m, int node)
{
    int x = node;
    while (m.getNodes()[size_t(x)].parent >= 0) {
        x = m.getNodes()[size_t(x)].parent;
        if (inTable(m, x))
            break;
    }
    return x;
}

void collideParts(const kgiRobotModel& m, const std::vector<float>& angles, const char* pose,
                  std::vector<std::string>& faults)
{
    const std::vector<kgiRobotNode>& nodes = m.getNodes();
    const std::vector<kmlMatrix4> world = m.worldMatrices(angles);
    std::vector<int> parts = {0};
    for (const kgiRobotJointLine& l : m.getLines())
        parts.push_back(m.find(l.name));
    auto boxOf = [&](int meshNode) {
        const kgiRobotMesh& mesh = nodes[size_t(meshNode)].mesh;
        const float h = kgiRobotCheck::CLEARANCE * 0.5f;
        kgcOrientedBox b;
        b.fromMinMax(kmlVec3(mesh.boxMin[0] - h, mesh.boxMin[1] - h, mesh.boxMin[2] - h),
                     kmlVec3(mesh.boxMax[0] + h, mesh.boxMax[1] + h, mesh.boxMax[2] + h));
        b.transformBy(world[size_t(meshNode)]);
        return b;
    };
    for (size_t i = 0; i < parts.size(); ++i)
        for (size_t j = i + 1; j < parts.size(); ++j) {
            const int a = parts[i], b = parts[j];
            if (a < 0 || b < 0 || jointAbove(m, a) == b || jointAbove(m, b) == a)
                continue;
            for (int ca : nodes[size_t(a)].children)
                for (int cb : nodes[size_t(b)].children) {
                    if (nodes[size_t(ca)].kind != kgiRobotNode::MESH ||
                        nodes[size_t(cb)].kind != kgiRobotNode::MESH)
                        continue;
                    kgcOrientedBox ba = boxOf(ca), bb = boxOf(cb);
                    if (ba.collide(&bb))
                        faults.push_back(kgiRobotFormat("collision: %s (%s) and %s (%s) overlap %s",
                                             nodes[size_t(ca)].name.c_str(), nodes[size_t(a)].name.c_str(),
                                             nodes[size_t(cb)].name.c_str(), nodes[size_t(b)].name.c_str(),
                                             pose));
                }
        }
}

} // namespace

std::vector<std::string> kgiRobotCheck::all(const kgiRobotModel& model)
{
    std::vector<std::string> faults;
    structure(model, faults);
    lookups(model, faults);
    jointTable(model, faults);
    mirroring(model, faults);
    ikChains(model, faults);
    feet(model, faults);
    collisions(model, faults);
    return faults;
}

void kgiRobotCheck::structure(const kgiRobotModel& m, std::vector<std::string>& faults)
{
    const std::vector<kgiRobotNode>& nodes = m.getNodes();
    if (nodes.empty() || nodes[0].kind != kgiRobotNode::ROOT || nodes[0].depth != 0) {
        faults.push_back("tree: node 0 is not the root");
        return;
    }
    const std::string& rootName = nodes[0].name;
    size_t sceneNodes = 0;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const kgiRobotNode& n = nodes[i];
        const char* name = n.name.c_str();
        sceneNodes += n.kind == kgiRobotNode::MESH ? 2 : 1;
        if (i > 0 && (n.kind == kgiRobotNode::ROOT || n.depth == 0))
            faults.push_back(kgiRobotFormat("tree: %s is a second root", name));
        if (i > 0 && n.depth > nodes[i - 1].depth + 1)
            faults.push_back(kgiRobotFormat("tree: depth jumps by more than one at %s", name));
        if (n.name.empty() || n.name.size() > MAX_NAME)
            faults.push_back(kgiRobotFormat("names: %s is empty or longer than %zu characters", name, MAX_NAME));
        for (char c : n.name)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
                faults.push_back(kgiRobotFormat("names: %s holds a character other than letters, digits and _", name));
                break;
            }
        if (i > 0 && n.name.compare(0, rootName.size(), rootName) == 0)
            faults.push_back(kgiRobotFormat("names: %s begins with the root's name", name));
        for (size_t k = 0; k < i; ++k)
            if (nodes[k].name == n.name)
                faults.push_back(kgiRobotFormat("names: %s is used twice", name));
        const bool hasMesh = n.mesh.vertexCount() > 0;
        if (n.kind == kgiRobotNode::MESH) {
            if (!hasMesh || n.mesh.triangleCount() == 0)
                faults.push_back(kgiRobotFormat("meshes: mesh node %s has no mesh", name));
            if (n.mesh.vertexCount() > 65535)
                faults.push_back(kgiRobotFormat("meshes: %s has more vertices than a u16 index reaches", name));
            if (n.mesh.colour < 0 || size_t(n.mesh.colour) >= m.getSpec().colours.size())
                faults.push_back(kgiRobotFormat("meshes: %s has no colour", name));
            if (!n.children.empty())
                faults.push_back(kgiRobotFormat("meshes: mesh node %s has children", name));
        } else if (hasMesh) {
            faults.push_back(kgiRobotFormat("meshes: joint %s carries a mesh itself", name));
        }
        if (n.kind == kgiRobotNode::HINGE && !inTable(m, int(i)))
            faults.push_back(kgiRobotFormat("joints: %s is no line of the joint table", name));
    }
    if (sceneNodes > MAX_SCENE_NODES)
        faults.push_back(kgiRobotFormat("tree: %zu scene nodes, more than %zu", sceneNodes, MAX_SCENE_NODES));
    std::vector<std::string> names = tableNames(m);
    for (size_t i = 0; i < names.size(); ++i)
        if (std::count(names.begin(), names.end(), names[i]) > 1)
            faults.push_back("joints: " + names[i] + " is listed twice in the joint table");
}

void kgiRobotCheck::lookups(const kgiRobotModel& m, std::vector<std::string>& faults)
{
    const char* const required[] = {"Body", "RShoulder", "L_WR1", "R_WR1", "L_GR1", "L_GR2",
                                    "R_GR1", "R_GR2", "LAnkle1", "LAnkle2", "RAnkle1", "RAnkle2"};
    for (const char* name : required) {
        int i = m.find(name);
        if (i < 0 || m.getNodes()[size_t(i)].kind != kgiRobotNode::HINGE)
            faults.push_back(kgiRobotFormat("lookups: no joint named %s", name));
    }
    // Each hand and foot hangs below exactly one limb root of its kind, and
    // no limb root serves two of them.
    struct End { const char* name; bool arm; };
    const End ends[] = {{"R_WR1", true}, {"L_WR1", true}, {"RAnkle2", false}, {"LAnkle2", false}};
    std::vector<int> used;
    for (const End& e : ends) {
        int i = m.find(e.name);
        if (i < 0)
            continue;
        std::vector<int> roots = rootsAbove(m, i, LIMB_ROOTS);
        if (roots.size() != 1) {
            faults.push_back(kgiRobotFormat("lookups: %s lies below %zu limb roots, not one", e.name, roots.size()));
            continue;
        }
        const std::string& root = m.getNodes()[size_t(roots[0])].name;
        if (e.arm ? !isOneOf(root, ARM_ROOTS) : !isOneOf(root, LEG_ROOTS))
            faults.push_back(kgiRobotFormat("lookups: %s lies below %s, not below an %s root", e.name, root.c_str(),
                                 e.arm ? "arm" : "leg"));
        if (std::find(used.begin(), used.end(), roots[0]) != used.end())
            faults.push_back(kgiRobotFormat("lookups: limb root %s holds two limbs", root.c_str()));
        used.push_back(roots[0]);
    }
    for (const char* side : {"L", "R"}) {
        int ankle = m.find(std::string(side) + "Ankle1"), foot = m.find(std::string(side) + "Ankle2");
        if (ankle >= 0 && foot >= 0 && !isAncestor(m, ankle, foot))
            faults.push_back(kgiRobotFormat("lookups: %sAnkle1 is not above %sAnkle2", side, side));
        int wrist = m.find(std::string(side) + "_WR1");
        for (const char* grip : {"_GR1", "_GR2"}) {
            int g = m.find(side + std::string(grip));
            if (g < 0 || wrist < 0)
                continue;
            if (!isAncestor(m, wrist, g))
                faults.push_back(kgiRobotFormat("lookups: %s%s is not below %s_WR1", side, grip, side));
            if (m.getNodes()[size_t(g)].axis != 2)
                faults.push_back(kgiRobotFormat("lookups: %s%s does not turn about z", side, grip));
        }
    }
}

std::vector<kgiRobotJointLine> kgiRobotCheck::parseJointTable(const std::string& text,
                                                              std::vector<std::string>& faults)
{
    std::vector<kgiRobotJointLine> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 4) // the program skips short lines
            continue;
        if (line.find('=') == std::string::npos || line.find(',') == std::string::npos) {
            faults.push_back("joint table: line without \"=\" or \",\": " + line);
            continue;
        }
        kgiRobotJointLine l;
        int number = 0, used = 0;
        char name[256];
        int got = std::sscanf(line.c_str(), "%d : %255s = %f :%d,%f,%f,%d :%d,%f,%f;%n", &number, name,
                              &l.value, &l.axis, &l.minAngle, &l.maxAngle, &l.direction, &l.servo,
                              &l.scale, &l.offset, &used);
        if (got != 10 || used == 0) {
            faults.push_back("joint table: line does not scan: " + line);
            continue;
        }
        if (number != int(lines.size()))
            faults.push_back("joint table: line number out of order: " + line);
        l.name = name;
        lines.push_back(l);
    }
    return lines;
}

int kgiRobotCheck::servoValue(const kgiRobotJointLine& line, float value)
{
    return static_cast<int>(value * line.scale + line.offset + 0.5f);
}

float kgiRobotCheck::jointValue(const kgiRobotJointLine& line, const kmlVec3& rotation)
{
    kmlMatrix4 m;
    m.setRotation(kmlEuler(rotation[0], rotation[1], rotation[2], kmlEuler::ZYX));
    const int order = line.axis == 0 ? kmlEuler::XYZ : (line.axis == 1 ? kmlEuler::YZX : kmlEuler::ZYX);
    kmlEuler e = m.toEuler(order);
    const int pick = line.axis == 0 ? 0 : (line.axis == 1 ? 1 : 2);
    return float(line.direction) * e[pick];
}

void kgiRobotCheck::jointTable(const kgiRobotModel& m, std::vector<std::string>& faults)
{
    std::vector<kgiRobotJointLine> lines = parseJointTable(kgiRobotOutput::jointTableText(m), faults);
    if (lines.size() != 24)
        faults.push_back(kgiRobotFormat("joint table: %zu lines, not 24", lines.size()));
    int servoUse[24] = {};
    const std::vector<float> ready = m.readyAngles();
    for (const kgiRobotJointLine& l : lines) {
        const char* name = l.name.c_str();
        if (l.servo < 0 || l.servo > 23) {
            faults.push_back(kgiRobotFormat("joint table: %s drives servo %d, outside 0..23", name, l.servo));
            continue;
        }
        ++servoUse[l.servo];
        int node = m.find(l.name);
        if (node < 0) {
            faults.push_back(kgiRobotFormat("joint table: %s is no node of the model", name));
            continue;
        }
        const kgiRobotNode& n = m.getNodes()[size_t(node)];
        if (l.axis != n.axis || (l.direction != 1 && l.direction != -1) || l.scale == 0.0f)
            faults.push_back(kgiRobotFormat("joint table: %s has a wrong axis, direction or scale", name));
        const float raw = float(l.direction) * l.value;
        if (!(l.minAngle <= raw && raw <= l.maxAngle))
            faults.push_back(kgiRobotFormat("joint table: %s starts at %g, outside its limits %g..%g", name, raw,
                                 l.minAngle, l.maxAngle));
        if (!near(raw, ready[size_t(node)]))
            faults.push_back(kgiRobotFormat("joint table: %s starts at %g but rests at %g in the model", name, raw,
                                 ready[size_t(node)]));
        // What the program sends at start-up: the value read back from the
        // model's rest rotation, converted.
        const float readBack = jointValue(l, m.localRotation(node, ready));
        const int servo = servoValue(l, readBack);
        const int expected = m.getSpec().defaultServos[l.servo];
        if (servo != expected)
            faults.push_back(kgiRobotFormat("joint table: %s gives servo %d = %d at rest, the board's default is %d",
                                 name, l.servo, servo, expected));
        for (float limit : {l.minAngle - LIMIT_MARGIN, l.maxAngle + LIMIT_MARGIN}) {
            const int s = servoValue(l, float(l.direction) * limit);
            if (s < 10 || s > 190)
                faults.push_back(kgiRobotFormat("joint table: %s reaches servo value %d near its limit %g, outside 10..190",
                                     name, s, limit));
        }
        const int partner = n.partner;
        if (partner < 0) {
            if (std::find(std::begin(CENTRE_SERVOS), std::end(CENTRE_SERVOS), l.servo) == std::end(CENTRE_SERVOS))
                faults.push_back(kgiRobotFormat("joint table: centre joint %s drives servo %d, a limb channel", name, l.servo));
            continue;
        }
        for (const kgiRobotJointLine& o : lines)
            if (o.name == m.getNodes()[size_t(partner)].name) {
                bool twins = false;
                for (const auto& t : SERVO_TWINS)
                    twins |= (t[0] == l.servo && t[1] == o.servo) || (t[1] == l.servo && t[0] == o.servo);
                if (!twins)
                    faults.push_back(kgiRobotFormat("joint table: twins %s and %s drive servos %d and %d, not a mirrored pair",
                                         name, o.name.c_str(), l.servo, o.servo));
            }
    }
    for (int s = 0; s < 24; ++s)
        if (servoUse[s] != 1)
            faults.push_back(kgiRobotFormat("joint table: servo %d is used %d times", s, servoUse[s]));
}

void kgiRobotCheck::mirroring(const kgiRobotModel& m, std::vector<std::string>& faults)
{
    const std::vector<kgiRobotNode>& nodes = m.getNodes();
    const std::vector<kmlMatrix4> straight = m.worldMatrices(m.straightAngles());
    const std::vector<float> ready = m.readyAngles();
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].kind == kgiRobotNode::MESH)
            continue;
        const kmlMatrix4& w = straight[i];
        if (!near(w(0, 2), 1) || !near(w(1, 2), 0) || !near(w(2, 2), 0) || !near(w(1, 0), -1))
            faults.push_back("mirroring: " + nodes[i].name + "'s frame is not x down, z to the left when standing");
        const kmlMatrix4 local = m.localMatrix(int(i), ready);
        const int p = nodes[i].partner;
        if (nodes[i].kind == kgiRobotNode::ROOT) {
            // Mirrored in the world (x) and in its own frame (z), the root
            // must stay where it is, or a world flip would turn the robot.
            bool same = true;
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    same &= near(local(r, c), ((r == 0) != (c == 2) ? -1.0f : 1.0f) * local(r, c));
            if (!same)
                faults.push_back("mirroring: the root is not its own mirror image");
            continue;
        }
        if (p < 0) {
            if (!isMirrorOf(local, local))
                faults.push_back("mirroring: centre joint " + nodes[i].name + " is not its own mirror image at rest");
            continue;
        }
        const kmlMatrix4 other = m.localMatrix(p, ready);
        if (!isMirrorOf(other, local) || !near(other(0, 3), local(0, 3)) || !near(other(1, 3), local(1, 3)) ||
            !near(other(2, 3), -local(2, 3)))
            faults.push_back("mirroring: " + nodes[size_t(p)].name + " is not the mirror image T L T of " +
                             nodes[i].name + " at rest");
    }

    // The program's pairing over the joints as it collects them.
    std::vector<kgiRobotMirrorPairs::Joint> joints;
    std::vector<int> jointNode;
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].kind != kgiRobotNode::MESH) {
            joints.push_back({nodes[i].depth, int(nodes[i].kind), m.localMatrix(int(i), ready)});
            jointNode.push_back(int(i));
        }
    const std::vector<kmlMatrix4> world = m.worldMatrices(ready);
    kmlVec3 lo(FLT_MAX, FLT_MAX, FLT_MAX), hi(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    for (size_t i = 0; i < nodes.size(); ++i)
        for (int v = 0; v < nodes[i].mesh.vertexCount(); ++v)
            for (int k = 0; k < 3; ++k) {
                const float* q = &nodes[i].mesh.vertices[size_t(6 * v)];
                float c = world[i](k, 0) * q[0] + world[i](k, 1) * q[1] + world[i](k, 2) * q[2] + world[i](k, 3);
                lo[k] = std::min(lo[k], c);
                hi[k] = std::max(hi[k], c);
            }
    const float size[3] = {hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]};
    kgiRobotMirrorPairs pairs;
    if (!pairs.setup(joints, size))
        faults.push_back("mirroring: the program finds no twin for " +
                         nodes[size_t(jointNode[size_t(pairs.failedJoint())])].name);
    for (size_t j = 0; j < joints.size(); ++j) {
        const int found = pairs.partner(int(j));
        const int want = nodes[size_t(jointNode[j])].partner;
        if ((found < 0 ? -1 : jointNode[size_t(found)]) != want)
            faults.push_back("mirroring: the program pairs " + nodes[size_t(jointNode[j])].name + " with " +
                             (found < 0 ? std::string("nothing") : nodes[size_t(jointNode[size_t(found)])].name));
    }
}

void kgiRobotCheck::ikChains(const kgiRobotModel& m, std::vector<std::string>& faults)
{
    // The node tree as the program has it once the joint table is read:
    // every node not in the table (root, helpers, meshes) is passed over by
    // IK, and helpers are marked as such.
    const std::vector<kgiRobotNode>& nodes = m.getNodes();
    if (nodes.empty())
        return;
    const std::vector<float> ready = m.readyAngles();
    std::vector<ksgTransform*> tree(nodes.size(), nullptr);
    std::unique_ptr<ksgTransform> root;
    for (size_t i = 0; i < nodes.size(); ++i) {
        std::unique_ptr<ksgTransform> t(new ksgTransform);
        t->setName(nodes[i].name);
        t->setLocal(m.localMatrix(int(i), ready));
        t->ignoreIk(!inTable(m, int(i)));
        t->setHelperNode(nodes[i].kind == kgiRobotNode::HELPER);
        tree[i] = t.get();
        if (nodes[i].parent < 0) {
            if (root)
                return; // a second root: structure reports it
            root = std::move(t);
        } else if (tree[size_t(nodes[i].parent)]->attachChild(t.get())) {
            t.release();
        } else {
            return;
        }
    }
    root->update(0.0f, false, true);

    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].kind != kgiRobotNode::HINGE || isOneOf(nodes[i].name, LIMB_ROOTS))
            continue;
        std::vector<int> roots = rootsAbove(m, int(i), LIMB_ROOTS);
        if (roots.empty())
            continue; // the trunk and the head belong to no limb
        const std::string& limbRoot = nodes[size_t(roots[0])].name;
        ksgIkChain chain(tree[i], 1);
        const ksgTransform* from = chain.getRoot();
        if (from == nullptr || from->getName() != limbRoot)
            faults.push_back(kgiRobotFormat("ik: a drag on %s pulls from %s, not from its limb root %s",
                                            nodes[i].name.c_str(), from ? from->getName().c_str() : "nothing",
                                            limbRoot.c_str()));
    }
}

void kgiRobotCheck::feet(const kgiRobotModel& m, std::vector<std::string>& faults)
{
    const std::vector<kmlMatrix4> world = m.worldMatrices(m.readyAngles());
    for (const char* foot : {"LAnkle2", "RAnkle2"}) {
        int i = m.find(foot);
        if (i < 0)
            continue;
        kmlEuler e = kmlMatrix4(world[size_t(i)]).toEuler(kmlEuler::ZYX);
        if (!near(e[1], 0.0f, 0.01f) || !near(e[2], -90.0f, 0.01f))
            faults.push_back(kgiRobotFormat("feet: %s stands at Euler y %g, z %g, not level (0, -90)", foot, e[1], e[2]));
    }
}

void kgiRobotCheck::collisionsInPose(const kgiRobotModel& model, const std::vector<float>& angles,
                                     const std::string& pose, std::vector<std::string>& faults)
{
    collideParts(model, angles, pose.c_str(), faults);
}

void kgiRobotCheck::collisions(const kgiRobotModel& m, std::vector<std::string>& faults)
{
    std::vector<float> angles = m.readyAngles();
    collideParts(m, angles, "in the ready pose", faults);
    for (const char* side : {"L", "R"}) {
        int g1 = m.find(side + std::string("_GR1")), g2 = m.find(side + std::string("_GR2"));
        if (g1 >= 0)
            angles[size_t(g1)] = GRIP_CLOSED_1;
        if (g2 >= 0)
            angles[size_t(g2)] = GRIP_CLOSED_2;
    }
    collideParts(m, angles, "with the hands closed", faults);
}
