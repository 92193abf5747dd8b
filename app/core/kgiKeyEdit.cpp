#include "kgiKeyEdit.h"

#include "kgiKmdData.h"
#include "ksgMotionController.h"
#include "ksgMotionControllerKinds.h"
#include "ksgMotionFrame.h"
#include "ksgNode.h"

#include <cmath>
#include <memory>

namespace {

// Every key edit of the program works on the base curves.
const int BASE = -1;

} // namespace

ksgVisitor::ReturnType kgiKeyVisitor::exec(ksgNode* node)
{
    if (!valid())
        return STOP;
    ksgMotionController* mc = getMotionController(node);
    return mc ? apply(node, mc) : DESCEND;
}

ksgVisitor::ReturnType kgiAddKey::apply(ksgNode* node, ksgMotionController* mc)
{
    std::unique_ptr<ksgMotionFrame> frame(mc->newFrame());
    frame->setTime(time);
    frame->fromMatrix(node->getLocal());
    mc->addFrame(frame.get(), BASE);
    return DESCEND;
}

ksgVisitor::ReturnType kgiDeleteKey::apply(ksgNode*, ksgMotionController* mc)
{
    mc->remove(time, BASE);
    return DESCEND;
}

ksgVisitor::ReturnType kgiDuplicateKey::apply(ksgNode*, ksgMotionController* mc)
{
    mc->duplicate(from, to, BASE);
    return DESCEND;
}

bool kgiDuplicateKeys::valid() const
{
    return start >= 0.0f && dest >= 0.0f && std::fabs(count) >= 1.0f;
}

ksgVisitor::ReturnType kgiDuplicateKeys::apply(ksgNode*, ksgMotionController* mc)
{
    mc->duplicateRange(start, count, dest, BASE);
    return DESCEND;
}

ksgVisitor::ReturnType kgiDeleteKeys::apply(ksgNode*, ksgMotionController* mc)
{
    mc->remove(start, count, BASE);
    return DESCEND;
}

ksgVisitor::ReturnType kgiDeleteFrames::apply(ksgNode*, ksgMotionController* mc)
{
    mc->removeFrames(start, count, BASE);
    return DESCEND;
}

ksgVisitor::ReturnType kgiInsertFrames::apply(ksgNode*, ksgMotionController* mc)
{
    mc->insertFrames(start, count, BASE);
    return DESCEND;
}

ksgVisitor::ReturnType kgiCopyFrame::apply(ksgNode* node, ksgMotionController* mc)
{
    mc->setBuffer(node->getLocal());
    return DESCEND;
}

ksgVisitor::ReturnType kgiCutKey::apply(ksgNode*, ksgMotionController* mc)
{
    std::unique_ptr<ksgMotionFrame> frame(mc->newFrame());
    frame->setTime(time);
    mc->getFrame(frame.get(), ksgMotionController::EVAL_BASE, ksgMotionController::NoLayerSet);
    // Channels the controller lacks keep the joint's default.
    kmlMatrix4 m = mc->getDefault();
    frame->toMatrix(m);
    mc->setBuffer(m);
    mc->remove(time, BASE);
    return DESCEND;
}

ksgVisitor::ReturnType kgiPasteKey::apply(ksgNode*, ksgMotionController* mc)
{
    std::unique_ptr<ksgMotionFrame> frame(mc->newFrame());
    frame->setTime(time);
    frame->fromMatrix(mc->getBuffer());
    mc->addFrame(frame.get(), BASE);
    return DESCEND;
}

ksgVisitor::ReturnType kgiGetKeysInfo::apply(ksgNode* node, ksgMotionController* mc)
{
    if (!node->asTransform())
        return DESCEND;
    mc->getKeysTime(times, layer);
    return times.empty() ? DESCEND : STOP;
}

ksgVisitor::ReturnType kgiSetKeysInfo::apply(ksgNode* node, ksgMotionController* mc)
{
    if (node->asTransform())
        mc->setKeysTime(times, snap, layer);
    return DESCEND;
}

ksgVisitor::ReturnType kgiCountNode::exec(ksgNode* node)
{
    const kgiKmdData* d = kgiKmdData::of(node);
    if (!d)
        return DESCEND;
    if ((flags & 1) && d->getType() == kgiKmdData::PART)
        return DESCEND;
    if ((flags & 2) && d->getType() == kgiKmdData::NONE)
        return DESCEND;
    if (flags & 4) {
        if (!node->getController(&ksgEController::RTTI) && !node->getController(&ksgPEController::RTTI))
            return DESCEND;
    } else if (flags & 8) {
        if (!node->getController(&ksgQController::RTTI) && !node->getController(&ksgPQController::RTTI))
            return DESCEND;
    }
    ++count;
    return DESCEND;
}
