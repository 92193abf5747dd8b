#include "kgiKmdData.h"

#include "kgcMaterial.h"
#include "kgiCharacterServices.h"
#include "kgiKmmFile.h"
#include "ksgMotionController.h"
#include "ksgMotionControllerKinds.h"
#include "ksgMotionFrame.h"
#include "ksgNode.h"
#include "ksgStateParam.h"
#include "ksgTransform.h"

#include <map>
#include <string>

const kutRtti kgiKmdData::RTTI("kgiKmdData", &ksgNodeData::RTTI);

const kutRtti* kgiKmdData::getRtti() const
{
    return &RTTI;
}

kgiKmdData::kgiKmdData() = default;

kgiKmdData::~kgiKmdData() = default;

kgiKmdData* kgiKmdData::of(const ksgNode* node)
{
    if (!node || !node->getData())
        return nullptr;
    return static_cast<kgiKmdData*>(node->getData()->cast(&RTTI));
}

void kgiKmdData::setType(int t)
{
    type = t;
    ksgNode* node = getOwner();
    if (!node)
        return;
    if (ksgTransform* joint = node->asTransform()) {
        ksgTransformLimits& limits = joint->getLimits();
        switch (t) {
        case HINGE:
            // A hinge turns about its local z axis only.
            limits.setTwistAxis(joint, kmlVec3(0.0f, 0.0f, 1.0f));
            limits.setHalfAngle(0.0f);
            limits.setTwistRange(-180.0f, 180.0f);
            joint->enableLimits(true);
            break;
        case MOVE_ONLY:
            limits.setTwistAxis(joint, kmlVec3(1.0f, 0.0f, 0.0f));
            limits.setTwistRange(0.0f, 0.0f);
            limits.setHalfAngle(0.0f);
            break;
        case FREE_JOINT:
            limits.setTwistAxis(joint, kmlVec3(1.0f, 0.0f, 0.0f));
            limits.setTwistRange(-180.0f, 180.0f);
            limits.setHalfAngle(180.0f);
            break;
        case HELPER:
        case MIRROR_HELPER:
            joint->ignoreFk(true);
            break;
        case PART:
        case NONE:
            joint->ignoreFk(true);
            joint->ignoreIk(true);
            break;
        default:
            break;
        }
    }
    if (t == HELPER || t == MIRROR_HELPER)
        node->setHelperNode(true);
}

bool kgiKmdData::scanChainName()
{
    const ksgNode* node = getOwner();
    if (!node)
        return false;
    const std::string name = node->getName();
    bool found = false;
    for (size_t at = name.find('_'); at != std::string::npos; at = name.find('_', at + 1)) {
        const std::string four = name.substr(at, 4);
        if (four == "_BR_" || four == "_BL_") {
            found = true;
            break;
        }
    }
    if (!found)
        return chainMember;
    chainMember = true;
    const kgiKmdData* parent = getParentData();
    chainStart = !parent || !parent->chainMember;
    return true;
}

void kgiKmdData::attachMotionController(bool euler)
{
    ksgNode* node = getOwner();
    if (!node)
        return;
    // Keys of the program are whole frames: one frame is the time step.
    const float step = 1.0f;
    ksgMotionController* mc = nullptr;
    switch (type) {
    case ROOT:
        mc = euler ? static_cast<ksgMotionController*>(new ksgPEController(step))
                   : static_cast<ksgMotionController*>(new ksgPQController(step));
        break;
    case MOVE_ONLY:
        mc = new ksgPController(step);
        break;
    case FREE_JOINT:
    case HINGE:
        mc = euler ? static_cast<ksgMotionController*>(new ksgEController(step))
                   : static_cast<ksgMotionController*>(new ksgQController(step));
        break;
    default:
        return;
    }
    if (!node->attachController(mc))
        delete mc;
}

kgiKmdData* kgiKmdData::getParentData() const
{
    const ksgNode* node = getOwner();
    for (const ksgNode* n = node ? node->getParent() : nullptr; n; n = n->getParent())
        if (kgiKmdData* d = of(n))
            return d;
    return nullptr;
}

void kgiKmdData::setMaterialParam(ksgMaterialParam* p)
{
    materialParam = p;
    ownMaterial = p ? p->getMaterial() : nullptr;
}

void kgiKmdData::setSelected(bool on)
{
    selected = on;
    chooseMaterial();
}

void kgiKmdData::setHit(bool on)
{
    hit = on;
    chooseMaterial();
}

void kgiKmdData::setHit2(bool on)
{
    hit2 = on;
    chooseMaterial();
}

void kgiKmdData::setMarked(bool on)
{
    marked = on;
    chooseMaterial();
}

void kgiKmdData::setHighlighted(bool on)
{
    highlighted = on;
    chooseMaterial();
}

void kgiKmdData::setGrouped(bool on)
{
    if (type == PART || type == MIRROR_HELPER) {
        if (kgiKmdData* parent = getParentData())
            parent->grouped = on;
    } else {
        grouped = on;
    }
    chooseMaterial();
}

kgiKmdData* kgiKmdData::flagHolder()
{
    for (kgiKmdData* d = this; d; d = d->getParentData())
        if (d->flagOwner != 0)
            return d;
    return nullptr;
}

const kgiKmdData* kgiKmdData::flagHolder() const
{
    return const_cast<kgiKmdData*>(this)->flagHolder();
}

void kgiKmdData::setPicked(bool on)
{
    if (kgiKmdData* holder = flagHolder())
        holder->picked = on;
    chooseMaterial();
}

void kgiKmdData::setShown(bool on)
{
    if (kgiKmdData* holder = flagHolder())
        holder->shown = on;
    chooseMaterial();
}

bool kgiKmdData::isShown() const
{
    if (!getOwner())
        return true;
    if (flagOwner != 0)
        return shown;
    const kgiKmdData* parent = getParentData();
    return parent ? parent->isShown() : true;
}

bool kgiKmdData::isGrouped() const
{
    if (!getOwner())
        return false;
    if (type != PART && type != MIRROR_HELPER)
        return grouped;
    const kgiKmdData* parent = getParentData();
    return parent ? parent->isGrouped() : false;
}

int kgiKmdData::getFlagOwner() const
{
    const kgiKmdData* holder = flagHolder();
    return holder ? holder->flagOwner : 0;
}

void kgiKmdData::setFlagOwner(int v)
{
    if (type != NONE && type != PART)
        flagOwner = v;
}

void kgiKmdData::storeLocal()
{
    if (const ksgNode* node = getOwner())
        storedLocal = node->getLocal();
}

void kgiKmdData::chooseMaterial()
{
    if (!materialParam)
        return;
    kgcMaterial* m;
    if (highlighted)
        m = getSlotMaterial(HIGHLIGHT);
    else if (picked)
        m = getSlotMaterial(isShown() ? PICKED : PICKED_HIDDEN);
    else if (isShown())
        m = isGrouped() ? getSlotMaterial(GROUP) : ownMaterial;
    else
        m = getSlotMaterial(HIDDEN);
    if (marked)
        m = getSlotMaterial(MARK);
    // A collision hit wins over a mark.
    if (hit)
        m = getSlotMaterial(HIT);
    if (!m)
        return;
    if (selected) {
        if (m == ownMaterial) {
            m->inverse(true);
        } else if (kgcMaterial* inverted = getInvertedMaterial(m)) {
            m = inverted;
        }
    } else if (m == ownMaterial) {
        m->inverse(false);
    }
    materialParam->setMaterial(m);
}

void kgiKmdData::setPickedMaterial(kgcMaterial* m) { setSlotMaterial(PICKED, m); }
void kgiKmdData::setHighlightMaterial(kgcMaterial* m) { setSlotMaterial(HIGHLIGHT, m); }
void kgiKmdData::setHiddenMaterial(kgcMaterial* m) { setSlotMaterial(HIDDEN, m); }
void kgiKmdData::setPickedHiddenMaterial(kgcMaterial* m) { setSlotMaterial(PICKED_HIDDEN, m); }
void kgiKmdData::setGroupMaterial(kgcMaterial* m) { setSlotMaterial(GROUP, m); }
void kgiKmdData::setHitMaterial(kgcMaterial* m) { setSlotMaterial(HIT, m); }
void kgiKmdData::setSpareMaterial(kgcMaterial* m) { setSlotMaterial(SPARE, m); }
void kgiKmdData::setMarkMaterial(kgcMaterial* m) { setSlotMaterial(MARK, m); }

// --- motion controller and motion-file ids ---------------------------------

ksgMotionController* getMotionController(const ksgNode* node)
{
    if (!node)
        return nullptr;
    ksgController* c = node->getController(&ksgMotionController::RTTI);
    return c ? static_cast<ksgMotionController*>(c->cast(&ksgMotionController::RTTI)) : nullptr;
}

bool kgiIsMotionFileNode(const ksgNode* node)
{
    const kgiKmdData* d = kgiKmdData::of(node);
    return d && d->getType() != kgiKmdData::NONE && d->getType() != kgiKmdData::PART;
}

ksgVisitor::ReturnType kgiGetNodeByKmmID::exec(ksgNode* node)
{
    if (!kgiIsMotionFileNode(node))
        return DESCEND;
    if (counter == id) {
        found = node;
        return STOP;
    }
    ++counter;
    return DESCEND;
}

ksgVisitor::ReturnType kgiGetNodeKmmID::exec(ksgNode* node)
{
    if (!kgiIsMotionFileNode(node))
        return DESCEND;
    if (node == target) {
        id = counter;
        return STOP;
    }
    ++counter;
    return DESCEND;
}

namespace {

// A matrix as a key record: value 4j + i is row i, column j.
void toKeyValues(const kmlMatrix4& m, float out[16])
{
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            out[4 * j + i] = m(i, j);
}

} // namespace

ksgVisitor::ReturnType kgiDumpKmm::exec(ksgNode* node)
{
    const kgiKmdData* d = kgiKmdData::of(node);
    if (!d || !file)
        return DESCEND;
    if ((skipType5 && d->getType() == kgiKmdData::PART) || (skipType0 && d->getType() == kgiKmdData::NONE))
        return DESCEND;
    const std::string name = node->getName();
    ok = file->setNodeName(index, name.c_str()) && ok;
    ok = file->setNodeType(index, d->getType()) && ok;
    ok = file->setNodeDepth(index, node->getDepth()) && ok;
    float values[16];
    const int frames = file->getFrameCount();
    ksgMotionController* mc = getMotionController(node);
    if (mode == 0) {
        toKeyValues(node->getLocal(), values);
        ok = file->setKey(index, 0, values) && ok;
    } else if (mc) {
        ksgMotionFrame* frame = mc->newFrame();
        for (int t = start; t < start + frames; ++t) {
            frame->setTime(float(t));
            mc->getFrame(frame, ksgMotionController::EVAL_BASE, ksgMotionController::NoLayerSet);
            // Channels the controller lacks (a joint's translation) keep the
            // joint's default rather than the identity's zeros.
            kmlMatrix4 m = mc->getDefault();
            frame->toMatrix(m);
            toKeyValues(m, values);
            ok = file->setKey(index, t - start, values) && ok;
        }
        delete frame;
    } else {
        toKeyValues(node->getLocal(), values);
        for (int f = 0; f < frames; ++f)
            ok = file->setKey(index, f, values) && ok;
    }
    ++index;
    return DESCEND;
}

// --- highlight materials ----------------------------------------------------

namespace {

struct HighlightMaterials {
    kgcMaterial* slots[kgiKmdData::SLOT_COUNT] = {};
    // Slot material -> its inverted copy, both in the material table.
    std::map<const kgcMaterial*, kgcMaterial*> inverted;
};

HighlightMaterials& highlights()
{
    static HighlightMaterials h;
    return h;
}

} // namespace

void kgiKmdData::setSlotMaterial(int slot, kgcMaterial* m)
{
    if (!m || slot < 0 || slot >= SLOT_COUNT)
        return;
    HighlightMaterials& h = highlights();
    if (h.slots[slot] == m)
        return;
    // The material replaced stays in the table with its inverted copy: a
    // node may still be drawing with either, and the table frees them at
    // exit.
    h.slots[slot] = m;
    if (h.inverted.count(m))
        return;
    if (kgcMaterial* copy = kgiCharacterServices::current().newMaterial()) {
        *copy = *m;
        copy->inverse(true);
        h.inverted[m] = copy;
    }
}

kgcMaterial* kgiKmdData::getSlotMaterial(int slot)
{
    return slot >= 0 && slot < SLOT_COUNT ? highlights().slots[slot] : nullptr;
}

kgcMaterial* kgiKmdData::getInvertedMaterial(const kgcMaterial* m)
{
    const HighlightMaterials& h = highlights();
    auto it = h.inverted.find(m);
    return it == h.inverted.end() ? nullptr : it->second;
}
