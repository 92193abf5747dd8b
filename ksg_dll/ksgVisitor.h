#pragma once

#include <utility>
#include <vector>

class kutRtti;
class ksgNode;
class ksgVisualState;

// An operation run on each node of a walk (ksgNode::depthVisit,
// breadthVisit, upVisit). The entering visitor's result steers the walk;
// the leaving visitor's result is ignored.
class ksgVisitor {
public:
    // DESCEND into the children, SKIP them, or STOP the whole walk; any
    // other value acts as SKIP.
    enum ReturnType : int { DESCEND = 0, SKIP = 1, STOP = 2 };

    ksgVisitor() = default;
    ksgVisitor(const ksgVisitor&) = default;
    ksgVisitor& operator=(const ksgVisitor&) = default;
    virtual ~ksgVisitor() = default;

    virtual ReturnType exec(ksgNode* node) = 0;
};

// Does nothing and descends: the usual leaving visitor.
class ksgNullVisitor : public ksgVisitor {
public:
    ReturnType exec(ksgNode* node) override;
};

// Calls the handler registered for the node's class: the first entry, in
// registration order, whose class record the node is a kind of. Register
// the more derived classes first. Nodes without a handler go to
// defaultExec.
class ksgDispatchVisitor : public ksgVisitor {
public:
    typedef ReturnType (ksgDispatchVisitor::*Handler)(ksgNode*);

    ReturnType exec(ksgNode* node) override;
    // Descends; override to treat unregistered nodes.
    virtual ReturnType defaultExec(ksgNode* node);

protected:
    // Registers (or replaces) the handler of a class record; a member of
    // the derived visitor, e.g. addHandler(&ksgModel::RTTI,
    // &MyVisitor::onModel).
    template <class V>
    void addHandler(const kutRtti* rtti, ReturnType (V::*handler)(ksgNode*))
    {
        setHandler(rtti, static_cast<Handler>(handler));
    }

private:
    void setHandler(const kutRtti* rtti, Handler handler);

    std::vector<std::pair<const kutRtti*, Handler>> handlers;
};

// Recomputes the world matrix of every transform it meets.
class ksgUpdateWorld : public ksgVisitor {
public:
    ReturnType exec(ksgNode* node) override;
};

// Recomputes each node's bounds; at the top node (when set) the bounds
// are also carried up to the root. Use it as the leaving visitor so that
// children are done before their parent.
class ksgUpdateBounds : public ksgVisitor {
public:
    explicit ksgUpdateBounds(ksgNode* top = nullptr) : top(top) {}
    void setTop(ksgNode* node) { top = node; }
    ReturnType exec(ksgNode* node) override;

private:
    ksgNode* top;
};

// Entering half of a render walk: pushes the node's state, then a
// transform's matrix, or draws a shown model's mesh. Pair it with a
// ksgRenderLeave on the same visual state in depthVisit.
class ksgRenderEnter : public ksgVisitor {
public:
    explicit ksgRenderEnter(ksgVisualState& vs) : visualState(&vs) {}
    ReturnType exec(ksgNode* node) override;

private:
    ksgVisualState* visualState;
};

// Leaving half of a render walk: pops the matrix, then the state.
class ksgRenderLeave : public ksgVisitor {
public:
    explicit ksgRenderLeave(ksgVisualState& vs) : visualState(&vs) {}
    ReturnType exec(ksgNode* node) override;

private:
    ksgVisualState* visualState;
};
