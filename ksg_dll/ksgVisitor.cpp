#include "ksgVisitor.h"

#include "kgcMesh.h"
#include "ksgModel.h"
#include "ksgNode.h"
#include "ksgTransform.h"
#include "ksgVisualState.h"

ksgVisitor::ReturnType ksgNullVisitor::exec(ksgNode*) { return DESCEND; }

ksgVisitor::ReturnType ksgDispatchVisitor::exec(ksgNode* node)
{
    for (const auto& entry : handlers) {
        if (node->isKind(entry.first))
            return (this->*entry.second)(node);
    }
    return defaultExec(node);
}

ksgVisitor::ReturnType ksgDispatchVisitor::defaultExec(ksgNode*) { return DESCEND; }

void ksgDispatchVisitor::setHandler(const kutRtti* rtti, Handler handler)
{
    for (auto& entry : handlers) {
        if (entry.first == rtti) {
            entry.second = handler;
            return;
        }
    }
    handlers.emplace_back(rtti, handler);
}

ksgVisitor::ReturnType ksgUpdateWorld::exec(ksgNode* node)
{
    if (ksgTransform* t = node->asTransform())
        t->updateWorld();
    return DESCEND;
}

ksgVisitor::ReturnType ksgUpdateBounds::exec(ksgNode* node)
{
    node->updateBounds();
    if (node == top)
        node->propagateBoundsToRoot();
    return DESCEND;
}

ksgVisitor::ReturnType ksgRenderEnter::exec(ksgNode* node)
{
    if (node->getState() != nullptr)
        visualState->pushState(node->getState());
    if (const ksgTransform* t = node->asTransform()) {
        visualState->pushMatrix();
        visualState->multMatrix(t->getOffset() * t->getLocal());
    } else if (const ksgModel* m = node->asModel()) {
        if (m->getMesh() != nullptr && m->isShown())
            m->getMesh()->render();
    }
    return DESCEND;
}

ksgVisitor::ReturnType ksgRenderLeave::exec(ksgNode* node)
{
    if (node->asTransform() != nullptr)
        visualState->popMatrix();
    if (node->getState() != nullptr)
        visualState->popState();
    return DESCEND;
}
