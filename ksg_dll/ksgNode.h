#pragma once

#include <string>
#include <utility>
#include <vector>

#include "kgcAxisAlignedBox.h"
#include "kmlMatrix4.h"
#include "kmlVec4.h"
#include "kutIdManager.h"
#include "kutObject.h"

class ksgController;
class ksgModel;
class ksgNodeData;
class ksgState;
class ksgTimeBasedController;
class ksgTransform;
class ksgVisitor;
class ksgVisualState;

// One node of a first-child / next-sibling tree. A node owns its first
// child and its next sibling (so deleting a root deletes the whole tree),
// its controllers, its payload and its render state. Its bounds are the
// world-space box of its subtree, refreshed by update.
class ksgNode : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Ids of all nodes come from here; a node hands its id back when it
    // is destroyed.
    static kutIdManager idmgr;

    // A hit of pick: the world-space point and the model that was hit.
    typedef std::pair<kmlVec4, ksgNode*> Hit;

    ksgNode();
    // Deleting a node deletes its subtree and its later siblings. A node
    // still attached to a parent is first taken out of the parent's list,
    // and then its later siblings stay with the parent.
    ~ksgNode() override;
    ksgNode& operator=(const ksgNode&) = delete;

    std::string getName() const { return name; }
    void setName(const std::string& n) { name = n; }
    int getId() const { return id; }
    // 0 for a root, parent's depth + 1 below it, -1 once detached.
    int getDepth() const { return depth; }
    int getNumChildren() const { return numChildren; }

    ksgNode* getParent() const { return parent; }
    ksgNode* getChild() const { return child; }
    // The i-th child (walks the sibling chain); null out of range.
    ksgNode* getChild(int i) const;
    ksgNode* getSibling() const { return sibling; }
    // The topmost ancestor, or this node when it has no parent.
    ksgNode* getRoot();
    // The nearest ancestor that is a transform (never this node itself).
    ksgTransform* getParentTransform() const;

    kgcAxisAlignedBox getBounds() const { return bounds; }

    ksgState* getState() const { return state; }
    // Takes ownership; the previous state is deleted unless it is the same.
    void setState(ksgState* s);

    ksgNodeData* getData() const { return data; }
    // Takes ownership of d and makes this node its owner. Returns the
    // previous payload, which belongs to the caller again (null when d is
    // the payload already). A payload owned by another node leaves that
    // node first.
    ksgNodeData* setData(ksgNodeData* d);

    void hide() { hidden = true; }
    void show() { hidden = false; }
    bool isShown() const { return !hidden; }
    // A helper child does not make its parent a branching joint for IK.
    void setHelperNode(bool on) { helper = on; }
    bool isHelperNode() const { return helper; }

    // Appends n as the last child, then runs n->init() (depth, update and,
    // for a transform, the default pose). Refused (false) for null, for a
    // node that already has a parent, for this node or one of its
    // ancestors, and when this node accepts no children.
    virtual bool attachChild(ksgNode* n);
    // Detaches the i-th child and hands it back to the caller (null when
    // out of range).
    ksgNode* detachChild(int i);
    // Detaches n when it is a child; the subtree is the caller's again.
    bool detachChild(ksgNode* n);
    virtual bool acceptChildren() const { return true; }

    // Depth-first search by exact name: this node, then the first child's
    // subtree, then the later siblings (with theirs).
    ksgNode* find(const std::string& n);

    // Runs preUpdate, the controllers, postUpdate (a transform's world
    // matrix), then the first child and later siblings, then the bounds;
    // with propagate the bounds are carried up to the root. With absolute
    // false, t is added to each controller's last time: update(0, false,
    // true) re-evaluates everything after an edit.
    virtual void update(float t, bool absolute, bool propagate);
    void updateControllers(float t, bool absolute);
    // Bounds = union of the children's bounds (a model adds its mesh).
    virtual void updateBounds();
    void propagateBoundsToRoot();
    // Called by attachChild: depth of the subtree, then update(0, false,
    // true).
    virtual void init();
    // Called on a node that is being detached.
    virtual void reset();

    // Takes ownership of a time-based controller and makes this node its
    // target. A controller of the same class already attached is replaced
    // and deleted. Refused (false) for null, for a controller that is not
    // time-based, and for one that already has a target (attached here or
    // to another node).
    bool attachController(ksgController* ctl);
    // Hands the controller back to the caller with no target.
    void detachController(ksgController* ctl);
    void detachController(int i);
    // The first attached controller that is a kind of the class record.
    ksgController* getController(const kutRtti* rtti) const;
    ksgController* getController(int i) const;
    int getNumControllers() const { return static_cast<int>(controllers.size()); }

    // A plain node passes its parent's matrices through (identity, or
    // null pointers, at the top).
    virtual kmlMatrix4 getWorld() const;
    virtual kmlMatrix4 getLocal() const;
    virtual const float* getLocalPtr() const;
    virtual const float* getWorldPtr() const;
    virtual ksgTransform* asTransform() { return nullptr; }
    virtual ksgModel* asModel() { return nullptr; }
    const ksgTransform* asTransform() const { return const_cast<ksgNode*>(this)->asTransform(); }
    const ksgModel* asModel() const { return const_cast<ksgNode*>(this)->asModel(); }

    // Walks with an entering and a leaving visitor; false when a visitor
    // stopped the walk. depthVisit: node, its subtree, then its later
    // siblings. breadthVisit: later siblings first (last one first), then
    // the node and its subtree. upVisit: the node and its ancestors.
    // Call them on the node: the walk itself decides which way to go.
    bool depthVisit(ksgVisitor& enter, ksgVisitor& leave);
    bool breadthVisit(ksgVisitor& enter, ksgVisitor& leave);
    bool upVisit(ksgVisitor& enter, ksgVisitor& leave);

    // Draws the node, its subtree and its later siblings, pushing states
    // and matrices onto vs and popping them again.
    virtual void render(ksgVisualState& vs) const;

    // Appends the mesh hits of a world-space ray (origin w = 1, direction
    // w = 0) to hits. Subtrees whose bounds miss the ray are skipped.
    virtual void pick(const kmlVec4& origin, const kmlVec4& direction, std::vector<Hit>& hits);

protected:
    // A detached copy: name, flags and bounds; a new id, no links, no
    // payload, state or controllers (those are owned by the original).
    ksgNode(const ksgNode& other);

    void detachChild(ksgNode* n, ksgNode* previous);
    // Sets d on this node and d + 1, d + 2, ... down its subtree.
    void setDepth(int d);
    virtual void preUpdate(float t, bool absolute);
    virtual void postUpdate(float t, bool absolute);

    // Steps of render shared by the node kinds.
    void renderChildren(ksgVisualState& vs) const;
    void renderSiblings(ksgVisualState& vs) const;
    bool pushState(ksgVisualState& vs) const;
    void popState(ksgVisualState& vs, bool pushed) const;
    void pickChildren(const kmlVec4& origin, const kmlVec4& direction, std::vector<Hit>& hits);

    kgcAxisAlignedBox bounds;

private:
    void unlinkFromParent();
    bool isSelfOrAncestor(const ksgNode* n) const;

    std::string name;
    bool hidden;
    int depth;
    int numChildren;
    int id;
    ksgNode* parent;
    ksgNode* child;
    ksgNode* sibling;
    ksgNodeData* data;
    ksgState* state;
    std::vector<ksgTimeBasedController*> controllers;
    bool helper;
};
