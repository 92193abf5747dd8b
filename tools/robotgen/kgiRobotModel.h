#pragma once
// A robot description expanded into what the files hold: the node records
// in stored (depth-first) order with their local transforms and meshes, and
// the joint table's lines. The checks and the writers both work on this.
#include "kgiRobotDesc.h"
#include "kmlMatrix4.h"
#include "kmlVec3.h"

#include <cstdint>
#include <string>
#include <vector>

// One mesh, ready for the scene file: six floats a vertex (position, then
// normal) and three vertex indices a triangle, counter-clockwise seen from
// outside, in the mesh node's frame.
struct kgiRobotMesh {
    std::vector<float> vertices;
    std::vector<uint16_t> triangles;
    int colour = -1; // index into the desc's colours
    kmlVec3 boxMin;  // bounds of the vertices: the box collision tests use
    kmlVec3 boxMax;
    int vertexCount() const { return int(vertices.size() / 6); }
    int triangleCount() const { return int(triangles.size() / 3); }
};

struct kgiRobotNode {
    // Node kinds as the program reads them from the flag word.
    enum Kind { ROOT = 1, HINGE = 3, HELPER = 4, MESH = 5 };
    std::string name;
    Kind kind = MESH;
    int parent = -1;
    int depth = 0;
    std::vector<int> children;
    kmlVec3 offset;      // translation in the parent's frame
    // Servo joints: rotation axis (0 x, 1 y, 2 z) and the angle about it in
    // the ready pose (the turn as stored, before any direction sign);
    // -1 and 0 for helpers.
    int axis = -1;
    float readyAngle = 0;
    int partner = -1;    // the mirror twin; -1 on the centre line
    bool left = false;   // made by mirroring a right-side row
    kgiRobotMesh mesh;   // MESH nodes only
};

// One line of the joint table, with the values it is written with.
struct kgiRobotJointLine {
    std::string name;
    float value;     // initial joint value
    int axis;
    float minAngle;  // limits of the stored turn
    float maxAngle;
    int direction;   // joint value = direction x stored turn
    int servo;
    float scale;
    float offset;
};

class kgiRobotModel {
public:
    // Expands a description. False, with a message per problem, when the
    // description cannot be built at all (unknown parents, joints or
    // colours, a joint listed twice in the line order); whether the result
    // is a sound robot is for kgiRobotCheck.
    bool build(const kgiRobotDesc& desc, std::vector<std::string>& errors);

    const kgiRobotDesc& getSpec() const { return desc; }
    const std::vector<kgiRobotNode>& getNodes() const { return nodes; }
    const std::vector<kgiRobotJointLine>& getLines() const { return lines; }
    // Index of a node by name, -1 when absent.
    int find(const std::string& name) const;
    // Height of the root above the floor in the ready pose: the lowest
    // point of any mesh touches y = 0.
    float getRootHeight() const { return rootHeight; }
    // Places the root at this height instead (a scene that is no robot:
    // its lowest point need not be the floor).
    void setRootHeight(float height) { rootHeight = height; }

    // Rotation of the root in every pose: x down, y back, z to the left.
    static kmlVec3 rootRotation() { return kmlVec3(-90.0f, 0.0f, -90.0f); }
    // Euler angles (degrees, order ZYX) of a node's local rotation when
    // servo joints stand at the given angles (indexed by node).
    kmlVec3 localRotation(int node, const std::vector<float>& angles) const;
    kmlMatrix4 localMatrix(int node, const std::vector<float>& angles) const;
    // World matrices of every node, parents before children.
    std::vector<kmlMatrix4> worldMatrices(const std::vector<float>& angles) const;
    // The same with the root placed by `rootLocal` instead of standing at
    // the origin: a pose of a motion.
    std::vector<kmlMatrix4> worldMatrices(const std::vector<float>& angles, const kmlMatrix4& rootLocal) const;
    // Stored turns of the ready pose (0 for nodes that are no joint).
    std::vector<float> readyAngles() const;
    // Moves one servo joint's ready pose away from its description, for
    // trying out other start poses against the checks; the joint table is
    // not rewritten.
    void setReadyAngle(int node, float angle) { nodes[size_t(node)].readyAngle = angle; }
    // Every joint at 0: the straight standing pose.
    std::vector<float> straightAngles() const { return std::vector<float>(nodes.size(), 0.0f); }

private:
    int addNode(kgiRobotNode node);
    void addJointSubtree(const kgiRobotDesc& desc, int specIndex, bool left, int parent,
                         std::vector<std::string>& errors);
    // The meshes of one joint; `centre` joints also get the left twin of
    // a part that has a left name.
    void addParts(const kgiRobotDesc& desc, const std::string& jointName, bool left, bool centre,
                  int parent, std::vector<std::string>& errors);
    void placeOnFloor();

    kgiRobotDesc desc;
    std::vector<kgiRobotNode> nodes;
    std::vector<kgiRobotJointLine> lines;
    float rootHeight = 0;
};

// Converts a vector of the standing pose (x left, y up, z forward) into a
// joint's own frame (x down, y back, z left).
kmlVec3 kgiRobotToJointFrame(const float v[3]);
