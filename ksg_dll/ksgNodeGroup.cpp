#include "ksgNodeGroup.h"

#include <algorithm>

#include "ksgNode.h"

ksgNodeGroup::ksgNodeGroup(const std::string& n) : name(n), mode(SINGLE) {}

ksgNodeGroup::ksgNodeGroup(const ksgNodeGroup& other) = default;

ksgNodeGroup::~ksgNodeGroup() = default;

ksgNodeGroup& ksgNodeGroup::operator=(const ksgNodeGroup& other) = default;

bool ksgNodeGroup::accept(ksgNode* node) const { return node != nullptr; }

void ksgNodeGroup::setMode(Mode m) { mode = m == SUBTREE ? SUBTREE : SINGLE; }

bool ksgNodeGroup::hasNode(ksgNode* node) const { return members.count(node) != 0; }

void ksgNodeGroup::addOne(ksgNode* n)
{
    if (members.count(n) == 0 && accept(n)) {
        nodes.push_back(n);
        members.insert(n);
    }
}

void ksgNodeGroup::addNode(ksgNode* node)
{
    if (node == nullptr)
        return;
    addOne(node);
    if (mode == SUBTREE)
        addSubtree(node->getChild());
}

void ksgNodeGroup::addSubtree(ksgNode* n)
{
    // Later siblings in a loop, children by recursion: same order as the
    // recursive walk over both links.
    for (; n != nullptr; n = n->getSibling()) {
        addOne(n);
        addSubtree(n->getChild());
    }
}

void ksgNodeGroup::collectSubtree(ksgNode* n, std::unordered_set<ksgNode*>& out) const
{
    for (; n != nullptr; n = n->getSibling()) {
        out.insert(n);
        collectSubtree(n->getChild(), out);
    }
}

void ksgNodeGroup::removeAll(const std::unordered_set<ksgNode*>& gone)
{
    nodes.erase(std::remove_if(nodes.begin(), nodes.end(),
                               [&gone](ksgNode* n) { return gone.count(n) != 0; }),
                nodes.end());
    for (ksgNode* n : gone)
        members.erase(n);
}

void ksgNodeGroup::remNode(ksgNode* node)
{
    if (node == nullptr)
        return;
    std::unordered_set<ksgNode*> gone;
    gone.insert(node);
    if (mode == SUBTREE)
        collectSubtree(node->getChild(), gone);
    removeAll(gone);
}

void ksgNodeGroup::remSubtree(ksgNode* n)
{
    std::unordered_set<ksgNode*> gone;
    collectSubtree(n, gone);
    removeAll(gone);
}

void ksgNodeGroup::reset()
{
    nodes.clear();
    members.clear();
}

ksgNode* ksgNodeGroup::operator[](unsigned i) { return i < nodes.size() ? nodes[i] : nullptr; }

const ksgNode* ksgNodeGroup::operator[](unsigned i) const
{
    return i < nodes.size() ? nodes[i] : nullptr;
}
