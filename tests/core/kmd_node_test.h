#pragma once
// Model nodes made by hand as the model builder makes them, for tests that
// build a small tree of joints and parts.
#include "kgiKmdData.h"
#include "kgiModelParts.h"
#include "ksgMotionController.h"
#include "ksgNode.h"

namespace kgiTestNodes {

// Names the node, gives it model data of the type and attaches it below
// parent (none for a root); the node's data.
inline kgiKmdData* addKmdNode(ksgNode* parent, ksgNode* node, const char* name, int type)
{
    node->setName(name);
    kgiKmdData* d = new kgiKmdData;
    node->setData(d);
    if (parent)
        parent->attachChild(node);
    d->setType(type);
    return d;
}

// The same, with the motion controller the type takes (none for a part)
// holding empty base curves, as the model builder gives every joint.
inline kgiKmdData* addKeyableNode(ksgNode* parent, ksgNode* node, const char* name, int type)
{
    kgiKmdData* d = addKmdNode(parent, node, name, type);
    d->attachMotionController(false);
    if (ksgMotionController* mc = getMotionController(node)) {
        if (mc->hasRotation())
            mc->setRotationCurve(kgiMakeQuatCurve(nullptr, 0, 0, nullptr), -1, true);
        if (mc->hasPosition())
            mc->setPositionCurve(kgiMakePositionCurve(nullptr, 0, 0, nullptr), -1, true);
    }
    return d;
}

} // namespace kgiTestNodes
