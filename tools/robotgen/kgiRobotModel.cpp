#include "kgiRobotModel.h"

#include "kgcBoxMesh.h"
#include "kgcCylinderMesh.h"
#include "kmlEuler.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cstring>
#include <map>

namespace {

// Cylinders are faceted with this many sides: round enough at 36 cm, and
// every part stays far below the 65,536 vertices a u16 index can reach.
const int CYLINDER_SLICES = 16;

kmlVec3 mirrored(const float v[3])
{
    return kmlVec3(-v[0], v[1], v[2]);
}

// Rotation from a generated cylinder's frame (axis along +y) into the joint
// frame; proper rotations only, so triangles keep their winding.
kmlVec3 cylinderToJoint(kgiRobotPartSpec::Along along, float x, float y, float z)
{
    switch (along) {
    case kgiRobotPartSpec::UP: // the cylinder's axis becomes the limb (-x)
        return kmlVec3(-y, x, z);
    case kgiRobotPartSpec::SIDEWAYS: // the axis becomes the left-right axis (z)
        return kmlVec3(x, -z, y);
    default: // FORWARD: the axis becomes -y
        return kmlVec3(x, -y, -z);
    }
}

// Appends one vertex (position and normal), sharing identical ones.
class MeshBuilder {
public:
    explicit MeshBuilder(kgiRobotMesh& out) : out(out) {}
    int add(const kmlVec3& p, const kmlVec3& n)
    {
        std::array<float, 6> key = {p[0], p[1], p[2], n[0], n[1], n[2]};
        auto it = index.find(key);
        if (it != index.end())
            return it->second;
        int i = out.vertexCount();
        out.vertices.insert(out.vertices.end(), key.begin(), key.end());
        index.emplace(key, i);
        return i;
    }
    void triangle(int a, int b, int c)
    {
        out.triangles.push_back(uint16_t(a));
        out.triangles.push_back(uint16_t(b));
        out.triangles.push_back(uint16_t(c));
    }

private:
    kgiRobotMesh& out;
    std::map<std::array<float, 6>, int> index;
};

// Copies a generated mesh with one normal per triangle corner (the scene
// file keeps one normal per vertex, so the flat sides of a box need their
// own vertices), mapping every point and normal through `map`.
template <class Map>
void copyMesh(const kgcMesh& m, Map map, kgiRobotMesh& out)
{
    MeshBuilder b(out);
    for (int f = 0; f < m.getNumFaces(); ++f) {
        const kgcMesh::Face& face = m.getFace(f);
        const int corner[3] = {face.a, face.b, face.c};
        int idx[3];
        for (int k = 0; k < 3; ++k) {
            kmlVec3 n = m.hasVertexNormals() ? m.normalAt(corner[k])
                                             : (face.n >= 0 ? m.normalAt(face.n) : kmlVec3(0, 0, 0));
            idx[k] = b.add(map(m.vertexAt(corner[k]), false), map(n, true));
        }
        b.triangle(idx[0], idx[1], idx[2]);
    }
}

void computeBounds(kgiRobotMesh& mesh)
{
    kmlVec3 lo(FLT_MAX, FLT_MAX, FLT_MAX), hi(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    for (int i = 0; i < mesh.vertexCount(); ++i)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], mesh.vertices[6 * i + k]);
            hi[k] = std::max(hi[k], mesh.vertices[6 * i + k]);
        }
    mesh.boxMin = lo;
    mesh.boxMax = hi;
}

bool makeMesh(const kgiRobotPartSpec& part, kgiRobotMesh& out)
{
    if (part.shape == kgiRobotPartSpec::BOX) {
        // A unit cube stretched to the box: its normals stay on the axes.
        kgcBoxMesh cube(1.0f, 1);
        kmlVec3 extent = kgiRobotToJointFrame(part.size);
        for (int k = 0; k < 3; ++k)
            extent[k] = extent[k] < 0 ? -extent[k] : extent[k];
        copyMesh(cube,
                 [&](const kmlVec3& v, bool normal) {
                     return normal ? v : kmlVec3(v[0] * extent[0], v[1] * extent[1], v[2] * extent[2]);
                 },
                 out);
    } else {
        // The generated cylinder stands on its base; centre it on the node.
        const float radius = part.size[0], length = part.size[1];
        kgcCylinderMesh cyl(radius, radius, length, 1, CYLINDER_SLICES);
        copyMesh(cyl,
                 [&](const kmlVec3& v, bool normal) {
                     return cylinderToJoint(part.along, v[0], normal ? v[1] : v[1] - length * 0.5f, v[2]);
                 },
                 out);
    }
    computeBounds(out);
    return out.triangleCount() > 0;
}

} // namespace

kmlVec3 kgiRobotToJointFrame(const float v[3])
{
    // Adding 0 turns the -0 of a negated zero into +0, so files show 0.
    return kmlVec3(-v[1] + 0.0f, -v[2] + 0.0f, v[0] + 0.0f);
}

int kgiRobotModel::find(const std::string& name) const
{
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].name == name)
            return int(i);
    return -1;
}

int kgiRobotModel::addNode(kgiRobotNode node)
{
    int i = int(nodes.size());
    if (node.parent >= 0) {
        node.depth = nodes[node.parent].depth + 1;
        nodes[node.parent].children.push_back(i);
    }
    nodes.push_back(std::move(node));
    return i;
}

void kgiRobotModel::addParts(const kgiRobotDesc& s, const std::string& jointName, bool left,
                             bool centre, int parent, std::vector<std::string>& errors)
{
    for (const kgiRobotPartSpec& part : s.parts) {
        if (jointName != part.joint)
            continue;
        // A part on the centre line with a left name stands on both sides.
        const int sides = (centre && part.leftName) ? 2 : 1;
        for (int side = 0; side < sides; ++side) {
            const bool mirror = left || side == 1;
            if (mirror && !part.leftName) {
                errors.push_back(std::string("part ") + part.name + " of a limb has no left name");
                continue;
            }
            kgiRobotNode n;
            n.name = mirror ? part.leftName : part.name;
            n.kind = kgiRobotNode::MESH;
            n.parent = parent;
            kmlVec3 c = mirror ? mirrored(part.centre) : kmlVec3(part.centre[0], part.centre[1], part.centre[2]);
            float cv[3] = {c[0], c[1], c[2]};
            n.offset = kgiRobotToJointFrame(cv);
            n.left = mirror;
            auto colour = std::find_if(s.colours.begin(), s.colours.end(),
                                       [&](const kgiRobotColour& k) { return std::strcmp(k.name, part.colour) == 0; });
            if (colour == s.colours.end()) {
                errors.push_back(std::string("part ") + part.name + " has an unknown colour");
                continue;
            }
            n.mesh.colour = int(colour - s.colours.begin());
            if (!makeMesh(part, n.mesh)) {
                errors.push_back(std::string("part ") + part.name + " makes no mesh");
                continue;
            }
            addNode(std::move(n));
        }
    }
}

void kgiRobotModel::addJointSubtree(const kgiRobotDesc& s, int specIndex, bool left, int parent,
                                    std::vector<std::string>& errors)
{
    const kgiRobotJointSpec& j = s.joints[specIndex];
    kgiRobotNode n;
    n.name = left ? j.leftName : j.name;
    n.kind = j.helper ? kgiRobotNode::HELPER : kgiRobotNode::HINGE;
    n.parent = parent;
    n.offset = kgiRobotToJointFrame(j.offset);
    if (left)
        n.offset[2] = -n.offset[2];
    if (!j.helper) {
        n.axis = int(j.axis);
        // Mirroring flips the left-right axis: a pitch stays, a roll or a
        // twist turns the other way.
        n.readyAngle = (left && j.axis != kgiRobotJointSpec::PITCH) ? -j.initial : j.initial;
    }
    n.left = left;
    if (find(n.name) >= 0) {
        errors.push_back("joint " + n.name + " is described twice");
        return;
    }
    const int self = addNode(n);
    if (left) {
        nodes[self].partner = find(j.name);
        nodes[nodes[self].partner].partner = self;
    } else if (j.leftName) {
        nodes[self].partner = -2; // a limb joint: its twin follows later
    }
    addParts(s, j.name, left, !j.leftName, self, errors);
    for (size_t k = 0; k < s.joints.size(); ++k)
        if (std::strcmp(s.joints[k].parent, j.name) == 0) {
            if (left && !s.joints[k].leftName)
                errors.push_back(std::string("joint ") + s.joints[k].name + " of a limb has no left name");
            else
                addJointSubtree(s, int(k), left, self, errors);
        }
    if (!j.leftName) // a centre joint: the left limbs hang after the right ones
        for (size_t k = 0; k < s.joints.size(); ++k)
            if (std::strcmp(s.joints[k].parent, j.name) == 0 && s.joints[k].leftName)
                addJointSubtree(s, int(k), true, self, errors);
}

bool kgiRobotModel::build(const kgiRobotDesc& s, std::vector<std::string>& errors)
{
    const size_t before = errors.size();
    desc = s;
    nodes.clear();
    lines.clear();

    kgiRobotNode root;
    root.name = s.rootName;
    root.kind = kgiRobotNode::ROOT;
    addNode(root);
    addParts(s, s.rootName, false, true, 0, errors);
    // The root's children, then their left twins, exactly as for a centre joint.
    for (size_t k = 0; k < s.joints.size(); ++k)
        if (std::strcmp(s.joints[k].parent, s.rootName) == 0)
            addJointSubtree(s, int(k), false, 0, errors);
    for (size_t k = 0; k < s.joints.size(); ++k)
        if (std::strcmp(s.joints[k].parent, s.rootName) == 0 && s.joints[k].leftName)
            addJointSubtree(s, int(k), true, 0, errors);
    for (const kgiRobotJointSpec& j : s.joints)
        if (find(j.name) < 0)
            errors.push_back(std::string("joint ") + j.name + " hangs from an unknown parent");
    for (const kgiRobotPartSpec& p : s.parts)
        if (find(p.joint) < 0)
            errors.push_back(std::string("part ") + p.name + " hangs from an unknown joint");
    for (kgiRobotNode& n : nodes)
        if (n.partner == -2)
            n.partner = -1; // its twin was never made; reported above

    for (const std::string& name : s.lineOrder) {
        int i = find(name);
        if (i < 0 || nodes[i].kind != kgiRobotNode::HINGE) {
            errors.push_back("joint table line " + name + " names no joint");
            continue;
        }
        const kgiRobotNode& n = nodes[i];
        const bool left = n.left;
        const kgiRobotJointSpec* j = nullptr;
        for (const kgiRobotJointSpec& c : s.joints)
            if (name == (left ? (c.leftName ? c.leftName : "") : c.name))
                j = &c;
        if (!j)
            continue;
        const bool flips = left && j->axis != kgiRobotJointSpec::PITCH;
        kgiRobotJointLine line;
        line.name = name;
        line.axis = int(j->axis);
        line.direction = flips ? -1 : 1;
        line.minAngle = flips ? -j->maxAngle : j->minAngle;
        line.maxAngle = flips ? -j->minAngle : j->maxAngle;
        line.value = line.direction * n.readyAngle;
        line.servo = left ? j->leftServo : j->servo;
        line.scale = j->servoScale;
        line.offset = j->servoOffset;
        lines.push_back(line);
    }
    if (errors.size() == before)
        placeOnFloor();
    return errors.size() == before;
}

kmlVec3 kgiRobotModel::localRotation(int node, const std::vector<float>& angles) const
{
    const kgiRobotNode& n = nodes[node];
    if (n.kind == kgiRobotNode::ROOT)
        return rootRotation();
    kmlVec3 e(0, 0, 0);
    if (n.kind == kgiRobotNode::HINGE)
        e[n.axis] = angles[node];
    return e;
}

kmlMatrix4 kgiRobotModel::localMatrix(int node, const std::vector<float>& angles) const
{
    kmlVec3 e = localRotation(node, angles);
    kmlMatrix4 m;
    m.setRotation(kmlEuler(e[0], e[1], e[2], kmlEuler::ZYX));
    const kgiRobotNode& n = nodes[node];
    m.setTranslation(n.kind == kgiRobotNode::ROOT ? kmlVec3(0, rootHeight, 0) : n.offset);
    return m;
}

std::vector<kmlMatrix4> kgiRobotModel::worldMatrices(const std::vector<float>& angles) const
{
    return worldMatrices(angles, nodes.empty() ? kmlMatrix4() : localMatrix(0, angles));
}

std::vector<kmlMatrix4> kgiRobotModel::worldMatrices(const std::vector<float>& angles,
                                                     const kmlMatrix4& rootLocal) const
{
    std::vector<kmlMatrix4> w(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].parent < 0) {
            w[i] = rootLocal;
            continue;
        }
        w[i] = w[nodes[i].parent];
        w[i] *= localMatrix(int(i), angles);
    }
    return w;
}

std::vector<float> kgiRobotModel::readyAngles() const
{
    std::vector<float> a(nodes.size(), 0.0f);
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].kind == kgiRobotNode::HINGE)
            a[i] = nodes[i].readyAngle;
    return a;
}

void kgiRobotModel::placeOnFloor()
{
    rootHeight = 0;
    std::vector<kmlMatrix4> w = worldMatrices(readyAngles());
    float lowest = FLT_MAX;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const kgiRobotMesh& m = nodes[i].mesh;
        for (int v = 0; v < m.vertexCount(); ++v) {
            const float* p = &m.vertices[6 * v];
            float y = w[i](1, 0) * p[0] + w[i](1, 1) * p[1] + w[i](1, 2) * p[2] + w[i](1, 3);
            lowest = std::min(lowest, y);
        }
    }
    if (lowest != FLT_MAX)
        rootHeight = -lowest;
}
