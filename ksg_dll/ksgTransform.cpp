#include "ksgTransform.h"

#include "kmlMath.h"
#include "ksgMotionController.h"
#include "ksgTransformMath.h"
#include "ksgVisualState.h"

const kutRtti ksgTransform::RTTI("ksgTransform", &ksgNode::RTTI);
const kutRtti* ksgTransform::getRtti() const { return &RTTI; }

ksgTransform::ksgTransform()
    : limitsEnabled(false), tDamp(1.0f), rDamp(1.0f), fkIgnored(false), ikIgnored(false),
      trackMode(TRACK_AIM), trackNode(nullptr)
{
}

ksgTransform::ksgTransform(const ksgTransform& other)
    : ksgNode(other), world(other.world), local(other.local), offset(other.offset),
      defaultLocal(other.defaultLocal), limits(other.limits), limitsEnabled(other.limitsEnabled),
      tDamp(other.tDamp), rDamp(other.rDamp), fkIgnored(other.fkIgnored),
      ikIgnored(other.ikIgnored), trackMode(other.trackMode), trackNode(other.trackNode),
      referenceAxis(other.referenceAxis), rotationAxis(other.rotationAxis)
{
}

void ksgTransform::setLocal(const kmlMatrix4& m)
{
    local = m;
    applyLimits();
}

void ksgTransform::setLocalAsDefault()
{
    defaultLocal = local;
    // The motion falls back to the default pose where a channel has no keys.
    if (ksgController* c = getController(&ksgMotionController::RTTI))
        static_cast<ksgMotionController*>(c)->setDefault(defaultLocal);
}

void ksgTransform::updateWorld()
{
    ksgNode* p = getParent();
    world = p != nullptr ? p->getWorld() * offset * local : offset * local;
}

void ksgTransform::updateLocal()
{
    ksgNode* p = getParent();
    if (p != nullptr)
        local = offset.getInverse() * p->getWorld().getInverse() * world;
    else
        local = offset.getInverse() * world;
    applyLimits();
}

void ksgTransform::postUpdate(float, bool) { updateWorld(); }

void ksgTransform::init()
{
    ksgNode::init();
    setLocalAsDefault();
}

void ksgTransform::applyLimits()
{
    if (limitsEnabled)
        limits.apply(this);
}

void ksgTransform::updateLimitBase()
{
    limits.setTwistAxis(this, limits.getTwistAxis());
}

void ksgTransform::setTDamp(float d) { tDamp = kml::Clamp(d, 0.0f, 1.0f); }

void ksgTransform::setRDamp(float d) { rDamp = kml::Clamp(d, 0.0f, 1.0f); }

void ksgTransform::setTrackNode(ksgTransform* node, unsigned char mode)
{
    trackNode = node;
    trackMode = mode;
}

void ksgTransform::trackReferenceAxis(const kmlVec3& axis)
{
    referenceAxis = axis;
    referenceAxis.unit();
}

void ksgTransform::trackRotationAxis(const kmlVec3& axis)
{
    rotationAxis = axis;
    rotationAxis.unit();
}

void ksgTransform::track()
{
    if (trackNode == nullptr || trackNode == this)
        return;
    if (trackMode == TRACK_WORLD) {
        kmlMatrix4 m = trackNode->getWorld();
        m.setColumn(3, world.getColumn(3));
        setWorld(m);
        updateLocal();
    } else if (trackMode == TRACK_LOCAL) {
        kmlMatrix4 m = trackNode->getLocal();
        m.setColumn(3, local.getColumn(3));
        setLocal(m);
        updateWorld();
    } else {
        kmlVec3 toTarget = ksgmath::translation(trackNode->getWorld());
        toTarget -= ksgmath::translation(world);
        kmlVec3 h = ksgmath::turn(world.getInverse(), toTarget);
        // A tracked node at this node's own position gives no direction.
        if (h.unit()) {
            float cosine = referenceAxis.dot(h);
            if (kml::Abs(cosine) < 0.999999f) {
                kmlVec3 axis(referenceAxis.cross(h));
                axis.unit();
                local.rotate(kml::Acosd(cosine), axis);
            }
        }
        applyLimits();
        updateWorld();
    }
}

void ksgTransform::render(ksgVisualState& vs) const
{
    bool pushed = pushState(vs);
    vs.pushMatrix();
    vs.multMatrix(offset * local);
    renderChildren(vs);
    vs.popMatrix();
    popState(vs, pushed);
    renderSiblings(vs);
}
