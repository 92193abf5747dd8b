#pragma once
// A part table over a chosen list of joints, for the key import's tests and
// benchmark: it knows no parts, collisions or centre of gravity, only the
// joints the seam's getNodeCount and getNode hand out.
#include "kgiCollisionCheckParts.h"
#include "kgiKmdData.h"
#include "ksgNode.h"

#include <vector>

namespace kgiTestJoints {

struct JointListTable : kgiPartTable {
    std::vector<ksgNode*> joints;
    bool checkPartCollisions(kgiCharacter*, unsigned char*) override { return false; }
    void clearCollisionHits(kgiCharacter*) override {}
    bool computeCenterOfGravity(kgiCharacter*, kmlVec3&) override { return false; }
    int getNodeCount() override { return int(joints.size()); }
    ksgNode* getNode(int i) override { return i >= 0 && i < getNodeCount() ? joints[size_t(i)] : nullptr; }
};

// Every joint of the model that the motion-key file holds, depth first.
inline void collectJoints(ksgNode* n, std::vector<ksgNode*>& out)
{
    for (; n; n = n->getSibling()) {
        if (kgiIsMotionFileNode(n))
            out.push_back(n);
        collectJoints(n->getChild(), out);
    }
}

} // namespace kgiTestJoints
