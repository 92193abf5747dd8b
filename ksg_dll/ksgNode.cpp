#include "ksgNode.h"

#include "ksgController.h"
#include "ksgNodeData.h"
#include "ksgState.h"
#include "ksgTransform.h"
#include "ksgTransformMath.h"
#include "ksgVisitor.h"
#include "ksgVisualState.h"

const kutRtti ksgNode::RTTI("ksgNode", &kutObject::RTTI);
const kutRtti* ksgNode::getRtti() const { return &RTTI; }

kutIdManager ksgNode::idmgr;

ksgNode::ksgNode()
    : hidden(false), depth(0), numChildren(0), id(idmgr.newId()), parent(nullptr),
      child(nullptr), sibling(nullptr), data(nullptr), state(nullptr), helper(false)
{
}

ksgNode::ksgNode(const ksgNode& other)
    : kutObject(other), bounds(other.bounds), name(other.name), hidden(other.hidden), depth(0),
      numChildren(0), id(idmgr.newId()), parent(nullptr), child(nullptr), sibling(nullptr),
      data(nullptr), state(nullptr), helper(other.helper)
{
}

ksgNode::~ksgNode()
{
    idmgr.removeId(id);
    // A node deleted while attached leaves its parent's list first; its
    // later siblings stay with the parent.
    if (parent != nullptr)
        unlinkFromParent();
    delete sibling;
    for (ksgNode* c = child; c != nullptr; c = c->sibling)
        c->parent = nullptr;
    delete child;
    for (ksgTimeBasedController* c : controllers)
        delete c;
    if (data != nullptr)
        data->setOwner(nullptr);
    delete data;
    delete state;
}

void ksgNode::unlinkFromParent()
{
    ksgNode* previous = nullptr;
    for (ksgNode* c = parent->child; c != nullptr && c != this; c = c->sibling)
        previous = c;
    if (previous != nullptr)
        previous->sibling = sibling;
    else
        parent->child = sibling;
    --parent->numChildren;
    parent = nullptr;
    sibling = nullptr;
}

ksgNode* ksgNode::getChild(int i) const
{
    if (i < 0 || i >= numChildren)
        return nullptr;
    ksgNode* c = child;
    for (; c != nullptr && i > 0; --i)
        c = c->sibling;
    return c;
}

ksgNode* ksgNode::getRoot()
{
    ksgNode* n = this;
    while (n->parent != nullptr)
        n = n->parent;
    return n;
}

ksgTransform* ksgNode::getParentTransform() const
{
    for (ksgNode* p = parent; p != nullptr; p = p->parent) {
        if (ksgTransform* t = p->asTransform())
            return t;
    }
    return nullptr;
}

void ksgNode::setState(ksgState* s)
{
    if (s != state)
        delete state;
    state = s;
}

ksgNodeData* ksgNode::setData(ksgNodeData* d)
{
    if (d == data)
        return nullptr;
    if (d != nullptr) {
        ksgNode* other = d->getOwner();
        if (other != nullptr && other->data == d)
            other->data = nullptr;
    }
    ksgNodeData* previous = data;
    if (previous != nullptr)
        previous->setOwner(nullptr);
    data = d;
    if (d != nullptr)
        d->setOwner(this);
    return previous;
}

bool ksgNode::isSelfOrAncestor(const ksgNode* n) const
{
    for (const ksgNode* p = this; p != nullptr; p = p->parent) {
        if (p == n)
            return true;
    }
    return false;
}

bool ksgNode::attachChild(ksgNode* n)
{
    if (n == nullptr || !acceptChildren() || n->parent != nullptr || isSelfOrAncestor(n))
        return false;
    if (child == nullptr) {
        child = n;
    } else {
        ksgNode* last = child;
        while (last->sibling != nullptr)
            last = last->sibling;
        last->sibling = n;
    }
    n->parent = this;
    ++numChildren;
    n->init();
    return true;
}

void ksgNode::detachChild(ksgNode* n, ksgNode* previous)
{
    if (n == nullptr)
        return;
    if (previous != nullptr)
        previous->sibling = n->sibling;
    else
        child = n->sibling;
    n->parent = nullptr;
    n->sibling = nullptr;
    // reset may renumber the subtree from 0; the detached node itself ends
    // at -1.
    n->reset();
    n->depth = -1;
    --numChildren;
    update(0.0f, false, true);
}

ksgNode* ksgNode::detachChild(int i)
{
    if (i < 0 || i >= numChildren)
        return nullptr;
    ksgNode* previous = nullptr;
    ksgNode* c = child;
    for (; c != nullptr && i > 0; --i) {
        previous = c;
        c = c->sibling;
    }
    detachChild(c, previous);
    return c;
}

bool ksgNode::detachChild(ksgNode* n)
{
    if (n == nullptr)
        return false;
    ksgNode* previous = nullptr;
    for (ksgNode* c = child; c != nullptr; c = c->sibling) {
        if (c == n) {
            detachChild(n, previous);
            return true;
        }
        previous = c;
    }
    return false;
}

ksgNode* ksgNode::find(const std::string& n)
{
    // Later siblings are walked in a loop, children by recursion: the same
    // order as a fully recursive search, with a shallower stack.
    for (ksgNode* node = this; node != nullptr; node = node->sibling) {
        if (node->name == n)
            return node;
        if (node->child != nullptr) {
            if (ksgNode* found = node->child->find(n))
                return found;
        }
    }
    return nullptr;
}

void ksgNode::setDepth(int d)
{
    depth = d;
    for (ksgNode* c = child; c != nullptr; c = c->sibling)
        c->setDepth(d + 1);
}

void ksgNode::update(float t, bool absolute, bool propagate)
{
    preUpdate(t, absolute);
    updateControllers(t, absolute);
    postUpdate(t, absolute);
    if (child != nullptr)
        child->update(t, absolute, false);
    if (sibling != nullptr)
        sibling->update(t, absolute, false);
    updateBounds();
    if (propagate)
        propagateBoundsToRoot();
}

void ksgNode::updateControllers(float t, bool absolute)
{
    for (size_t i = 0; i < controllers.size(); ++i)
        controllers[i]->update(t, absolute);
}

void ksgNode::updateBounds()
{
    bounds.reset();
    for (ksgNode* c = child; c != nullptr; c = c->sibling)
        bounds.merge(&c->bounds);
}

void ksgNode::propagateBoundsToRoot()
{
    for (ksgNode* p = parent; p != nullptr; p = p->parent)
        p->updateBounds();
}

void ksgNode::init()
{
    setDepth(parent != nullptr ? parent->depth + 1 : 0);
    update(0.0f, false, true);
}

void ksgNode::reset() { setDepth(0); }

void ksgNode::preUpdate(float, bool) {}

void ksgNode::postUpdate(float, bool) {}

bool ksgNode::attachController(ksgController* ctl)
{
    if (ctl == nullptr || !ctl->isKind(&ksgTimeBasedController::RTTI))
        return false;
    // A controller with a target is attached somewhere already; taking it
    // here too would make two nodes delete it.
    if (ctl->getTarget() != nullptr)
        return false;
    for (ksgTimeBasedController* c : controllers) {
        if (c == ctl)
            return false;
    }
    for (size_t i = 0; i < controllers.size(); ++i) {
        if (controllers[i]->isKind(ctl->getRtti())) {
            ksgTimeBasedController* replaced = controllers[i];
            controllers.erase(controllers.begin() + static_cast<long>(i));
            replaced->setTarget(nullptr);
            delete replaced;
            break;
        }
    }
    controllers.push_back(static_cast<ksgTimeBasedController*>(ctl));
    ctl->setTarget(this);
    return true;
}

void ksgNode::detachController(ksgController* ctl)
{
    for (size_t i = 0; i < controllers.size(); ++i) {
        if (controllers[i] == ctl) {
            detachController(static_cast<int>(i));
            return;
        }
    }
}

void ksgNode::detachController(int i)
{
    if (i < 0 || i >= getNumControllers())
        return;
    ksgTimeBasedController* c = controllers[static_cast<size_t>(i)];
    c->setTarget(nullptr);
    controllers.erase(controllers.begin() + i);
}

ksgController* ksgNode::getController(const kutRtti* rtti) const
{
    for (ksgTimeBasedController* c : controllers) {
        if (c->isKind(rtti))
            return c;
    }
    return nullptr;
}

ksgController* ksgNode::getController(int i) const
{
    if (i < 0 || i >= getNumControllers())
        return nullptr;
    return controllers[static_cast<size_t>(i)];
}

kmlMatrix4 ksgNode::getWorld() const
{
    return parent != nullptr ? parent->getWorld() : kmlMatrix4();
}

kmlMatrix4 ksgNode::getLocal() const
{
    return parent != nullptr ? parent->getLocal() : kmlMatrix4();
}

const float* ksgNode::getLocalPtr() const
{
    return parent != nullptr ? parent->getLocalPtr() : nullptr;
}

const float* ksgNode::getWorldPtr() const
{
    return parent != nullptr ? parent->getWorldPtr() : nullptr;
}

bool ksgNode::depthVisit(ksgVisitor& enter, ksgVisitor& leave)
{
    ksgVisitor::ReturnType r = enter.exec(this);
    if (r == ksgVisitor::STOP) {
        leave.exec(this);
        return false;
    }
    if (r == ksgVisitor::DESCEND && child != nullptr && !child->depthVisit(enter, leave)) {
        leave.exec(this);
        return false;
    }
    leave.exec(this);
    if (sibling != nullptr)
        return sibling->depthVisit(enter, leave);
    return true;
}

bool ksgNode::breadthVisit(ksgVisitor& enter, ksgVisitor& leave)
{
    if (sibling != nullptr && !sibling->breadthVisit(enter, leave))
        return false;
    ksgVisitor::ReturnType r = enter.exec(this);
    if (r == ksgVisitor::STOP) {
        leave.exec(this);
        return false;
    }
    if (r == ksgVisitor::DESCEND && child != nullptr && !child->breadthVisit(enter, leave)) {
        leave.exec(this);
        return false;
    }
    leave.exec(this);
    return true;
}

bool ksgNode::upVisit(ksgVisitor& enter, ksgVisitor& leave)
{
    ksgVisitor::ReturnType r = enter.exec(this);
    leave.exec(this);
    if (r == ksgVisitor::STOP)
        return false;
    return parent != nullptr ? parent->upVisit(enter, leave) : true;
}

bool ksgNode::pushState(ksgVisualState& vs) const
{
    return state != nullptr && vs.pushState(state);
}

void ksgNode::popState(ksgVisualState& vs, bool pushed) const
{
    if (pushed)
        vs.popState();
}

void ksgNode::renderChildren(ksgVisualState& vs) const
{
    if (child != nullptr)
        child->render(vs);
}

void ksgNode::renderSiblings(ksgVisualState& vs) const
{
    if (sibling != nullptr)
        sibling->render(vs);
}

void ksgNode::render(ksgVisualState& vs) const
{
    bool pushed = pushState(vs);
    renderChildren(vs);
    popState(vs, pushed);
    renderSiblings(vs);
}

void ksgNode::pickChildren(const kmlVec4& origin, const kmlVec4& direction, std::vector<Hit>& hits)
{
    for (ksgNode* c = child; c != nullptr; c = c->sibling)
        c->pick(origin, direction, hits);
}

void ksgNode::pick(const kmlVec4& origin, const kmlVec4& direction, std::vector<Hit>& hits)
{
    if (bounds.intersect(ksgmath::xyz(origin), ksgmath::xyz(direction)))
        pickChildren(origin, direction, hits);
}
