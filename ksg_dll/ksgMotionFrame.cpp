#include "ksgMotionFrame.h"

#include "ksgTransform.h"

const kutRtti ksgMotionFrame::RTTI("ksgMotionFrame", &kutObject::RTTI);
const kutRtti ksgPFrame::RTTI("ksgPFrame", &ksgMotionFrame::RTTI);
const kutRtti ksgQFrame::RTTI("ksgQFrame", &ksgMotionFrame::RTTI);
const kutRtti ksgEFrame::RTTI("ksgEFrame", &ksgMotionFrame::RTTI);
const kutRtti ksgPQFrame::RTTI("ksgPQFrame", &ksgMotionFrame::RTTI);
const kutRtti ksgPEFrame::RTTI("ksgPEFrame", &ksgMotionFrame::RTTI);

const kutRtti* ksgMotionFrame::getRtti() const { return &RTTI; }
const kutRtti* ksgPFrame::getRtti() const { return &RTTI; }
const kutRtti* ksgQFrame::getRtti() const { return &RTTI; }
const kutRtti* ksgEFrame::getRtti() const { return &RTTI; }
const kutRtti* ksgPQFrame::getRtti() const { return &RTTI; }
const kutRtti* ksgPEFrame::getRtti() const { return &RTTI; }

ksgMotionFrame::ksgMotionFrame() : time(0.0f), offset(false), key(false) {}

ksgMotionFrame::ksgMotionFrame(const ksgMotionFrame& other)
    : kutObject(other), time(other.time), offset(other.offset), key(other.key)
{
}

ksgMotionFrame& ksgMotionFrame::operator=(const ksgMotionFrame& other)
{
    kutObject::operator=(other);
    time = other.time;
    offset = other.offset;
    key = other.key;
    return *this;
}

void ksgMotionFrame::setTime(float t) { time = t; }

void ksgMotionFrame::fromNode(ksgNode* node)
{
    if (node == nullptr)
        return;
    fromMatrix(node->getLocal());
    offset = false;
}

void ksgMotionFrame::toNode(ksgNode* node) const
{
    ksgTransform* t = node != nullptr ? node->asTransform() : nullptr;
    if (t == nullptr)
        return;
    kmlMatrix4 m = t->getLocal();
    toMatrix(m);
    t->setLocal(m);
}

// Each kind copies only from a frame of its own kind.
#define KSG_FRAME_KIND(Kind)                                                                   \
    ksgMotionFrame* Kind::clone() const { return new Kind(*this); }                           \
    void Kind::copy(ksgMotionFrame* other)                                                     \
    {                                                                                          \
        if (other != nullptr && other != this && other->isKind(&Kind::RTTI))                   \
            *this = *static_cast<Kind*>(other);                                                \
    }

KSG_FRAME_KIND(ksgPFrame)
KSG_FRAME_KIND(ksgQFrame)
KSG_FRAME_KIND(ksgEFrame)
KSG_FRAME_KIND(ksgPQFrame)
KSG_FRAME_KIND(ksgPEFrame)
