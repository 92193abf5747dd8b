#include "kgiSceneNodeGroup.h"

#include <iostream>

#include "kgiKmdData.h"
#include "ksgNode.h"

kgiNodeGroup& kgiNodeGroup::ccdGroup()
{
    static kgiNodeGroup group("ccdGroup");
    return group;
}

bool kgiNodeGroup::accept(ksgNode* node) const
{
    const kgiKmdData* data = node ? kgiKmdData::of(node) : nullptr;
    return data && data->getType() != kgiKmdData::PART;
}

namespace {

// The mesh parts hanging from a joint, and theirs: one level below.
void markPartChildren(ksgNode* node, bool on, int levels)
{
    for (ksgNode* c = node->getChild(); c; c = c->getSibling()) {
        kgiKmdData* data = kgiKmdData::of(c);
        if (!data || data->getType() != kgiKmdData::PART)
            continue;
        data->setGrouped(on);
        if (levels > 1)
            markPartChildren(c, on, levels - 1);
    }
}

} // namespace

void kgiNodeGroup::markNodes(bool on)
{
    for (unsigned i = 0; i < getNumNodes(); ++i) {
        ksgNode* node = (*this)[i];
        kgiKmdData* data = node ? kgiKmdData::of(node) : nullptr;
        if (!data)
            continue;
        data->setGrouped(on);
        markPartChildren(node, on, 2);
    }
}

void kgiNodeGroup::print() const
{
    std::cerr << "Group(" << getNumNodes() << "):";
    for (unsigned i = 0; i < getNumNodes(); ++i)
        if (const ksgNode* n = (*this)[i])
            std::cerr << ' ' << n->getName();
    std::cerr << std::endl;
}
