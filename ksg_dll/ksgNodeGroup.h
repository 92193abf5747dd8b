#pragma once

#include <string>
#include <unordered_set>
#include <vector>

class ksgNode;

// A named set of nodes in insertion order, without duplicates. The group
// only points at its nodes. A derived group filters what it takes by
// overriding accept.
class ksgNodeGroup {
public:
    // SUBTREE: adding or removing a node takes its whole subtree along.
    enum Mode : int { SINGLE = 0, SUBTREE = 1 };

    explicit ksgNodeGroup(const std::string& name = "unnamed");
    ksgNodeGroup(const ksgNodeGroup& other);
    virtual ~ksgNodeGroup();
    // Copies name, nodes and mode.
    ksgNodeGroup& operator=(const ksgNodeGroup& other);

    // Whether addNode may take the node; the base takes any non-null node.
    virtual bool accept(ksgNode* node) const;

    void setName(const std::string& n) { name = n; }
    const std::string& getName() const { return name; }
    // Values other than SINGLE and SUBTREE store SINGLE.
    void setMode(Mode m);
    Mode getMode() const { return mode; }

    bool hasNode(ksgNode* node) const;
    // Appends the node when accepted and absent; in SUBTREE mode the nodes
    // below it follow (even when the node itself was refused).
    void addNode(ksgNode* node);
    void remNode(ksgNode* node);
    // Empties the group.
    void reset();
    unsigned getNumNodes() const { return static_cast<unsigned>(nodes.size()); }
    // Null out of range.
    ksgNode* operator[](unsigned i);
    const ksgNode* operator[](unsigned i) const;

    // Compare the node sequences only (names and modes are ignored).
    bool operator==(const ksgNodeGroup& other) const { return nodes == other.nodes; }
    bool operator!=(const ksgNodeGroup& other) const { return !(*this == other); }

protected:
    // n, its subtree and its later siblings with theirs.
    void addSubtree(ksgNode* n);
    void remSubtree(ksgNode* n);

private:
    void addOne(ksgNode* n);
    void collectSubtree(ksgNode* n, std::unordered_set<ksgNode*>& out) const;
    void removeAll(const std::unordered_set<ksgNode*>& gone);

    std::string name;
    std::vector<ksgNode*> nodes;
    // The same nodes, for lookups that stay cheap on large groups.
    std::unordered_set<ksgNode*> members;
    Mode mode;
};
