#include "ksgManipulator.h"

#include "ksgTransform.h"
#include "ksgTransformController.h"

const kutRtti ksgManipulator::RTTI("ksgManipulator", &ksgNode::RTTI);
const kutRtti* ksgManipulator::getRtti() const { return &RTTI; }

ksgManipulator::ksgManipulator() : target(nullptr), controller(nullptr) { init(); }

void ksgManipulator::init() {}

void ksgManipulator::select(ksgNode*) {}

bool ksgManipulator::update(const kmlVec3& input, bool flag)
{
    return controller != nullptr && controller->update(input, flag);
}

bool ksgManipulator::isOwn(const ksgNode* start, const ksgNode* n) const
{
    for (; start != nullptr; start = start->getSibling()) {
        if (start == n || isOwn(start->getChild(), n))
            return true;
    }
    return false;
}

bool ksgManipulator::owns(ksgNode* n) const
{
    // The manipulator and its subtree, not the siblings it has under its
    // target (those are the target's own children).
    return n != nullptr && (n == this || isOwn(getChild(), n));
}

void ksgManipulator::setTarget(ksgNode* n)
{
    if (owns(n))
        return;
    if (n == nullptr) {
        if (getParent() != nullptr)
            getParent()->detachChild(this);
        target = nullptr;
        if (controller != nullptr)
            controller->setTarget(nullptr);
        return;
    }
    ksgTransform* t = n->asTransform();
    if (t == nullptr)
        t = n->getParentTransform();
    if (t == getParent())
        return;
    if (getParent() != nullptr)
        getParent()->detachChild(this);
    target = t;
    if (t != nullptr)
        t->attachChild(this);
    if (controller != nullptr)
        controller->setTarget(t);
}

void ksgManipulator::setController(ksgTransformController* ctl)
{
    if (ctl == controller)
        return;
    controller = ctl;
    if (ctl != nullptr)
        ctl->setTarget(target);
}
