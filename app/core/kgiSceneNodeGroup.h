#pragma once
// The node group of inverse kinematics: the joints of the chain being
// dragged. It takes only nodes of a character's model that move (node data
// of type other than 5, mesh parts).
#include <string>

#include "ksgNodeGroup.h"

class kgiNodeGroup : public ksgNodeGroup {
public:
    explicit kgiNodeGroup(const std::string& name) : ksgNodeGroup(name) {}

    // The group the 3D canvas fills with the joints of an IK chain.
    static kgiNodeGroup& ccdGroup();

    // Not null, carries kgiKmdData, and that data's type is not 5.
    bool accept(ksgNode* node) const override;

    // Sets or clears the group colour of each member with node data, of its
    // mesh-part children (type 5) and of their mesh-part children; deeper
    // nodes are left alone.
    void markNodes(bool on);

    // "Group(n): name name ..." on stderr, for debugging.
    void print() const;
};
