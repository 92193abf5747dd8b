#include "kgiKinematicControllers.h"

#include <memory>
#include <vector>

#include "kmlMatrix4.h"
#include "kmlVec4.h"
#include "ksgCcdIk.h"
#include "ksgIkChain.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"
#include "ksgTransform.h"

const kutRtti kgiBodyFKController::RTTI("kgiBodyFKController", &ksgAxisFKController::RTTI);
const kutRtti kgiAnimFKController::RTTI("kgiAnimFKController", &ksgAxisFKController::RTTI);
const kutRtti kgiAnimIKController::RTTI("kgiAnimIKController", &ksgTransformController::RTTI);

const kutRtti* kgiBodyFKController::getRtti() const { return &RTTI; }
const kutRtti* kgiAnimFKController::getRtti() const { return &RTTI; }
const kutRtti* kgiAnimIKController::getRtti() const { return &RTTI; }

namespace {

kmlVec3 xyz(const kmlVec4& v) { return kmlVec3(v.get(0), v.get(1), v.get(2)); }

kmlVec3 positionOf(const kmlMatrix4& m) { return kmlVec3(m.get(0, 3), m.get(1, 3), m.get(2, 3)); }

void setPosition(kmlMatrix4& m, const kmlVec3& p)
{
    for (int i = 0; i < 3; ++i)
        m.set(i, 3, p.get(i));
}

// A world direction in the frame of m (m rigid).
kmlVec3 directionIn(const kmlMatrix4& m, const kmlVec3& d)
{
    return xyz(m.getInverse() * kmlVec4(d, 0.0f));
}

// A world point in the frame of m (m rigid).
kmlVec3 pointIn(const kmlMatrix4& m, const kmlVec3& p) { return xyz(m.getInverse() * kmlVec4(p, 1.0f)); }

// The rotation by angle (degrees) about the world axis through the origin
// of T: T x R(angle, axis in T's frame) x inverse(T).
kmlMatrix4 pivotRotation(const kmlMatrix4& T, float angle, const kmlVec3& axis)
{
    kmlMatrix4 r;
    r.rotate(angle, directionIn(T, axis));
    return T * r * T.getInverse();
}

// M's position moved by the pivot rotation R, and M turned in place by the
// same angle about the world axis: together M becomes R x M.
void turnAboutPivot(kmlMatrix4& M, const kmlMatrix4& R, float angle, const kmlVec3& axis)
{
    setPosition(M, xyz(R * kmlVec4(positionOf(M), 1.0f)));
    M.rotate(angle, directionIn(M, axis));
}

// The common start of every update: the library's check (target, enabled),
// then the body, the target's root, which must be a transform.
ksgTransform* bodyFor(ksgInputBasedController& c, const kmlVec3& input, bool flag)
{
    if (!c.ksgInputBasedController::update(input, flag))
        return nullptr;
    return c.getTarget()->getRoot()->asTransform();
}

ksgMotionController* motionOf(ksgTransform* body)
{
    return static_cast<ksgMotionController*>(body->getController(&ksgMotionController::RTTI));
}

// Rewrites every base key of mc whose time lies in [start, end]: the key's
// pose goes through edit and back into the curves. Only the keys of the
// range are visited; each goes back in the place of the key it replaces.
template <class Edit>
void rewriteKeys(ksgMotionController* mc, int start, int end, Edit edit)
{
    std::vector<float> times;
    mc->getKeysTime(times, static_cast<float>(start), static_cast<float>(end), -1);
    std::unique_ptr<ksgMotionFrame> frame(mc->newFrame());
    for (float t : times) {
        frame->setTime(t);
        mc->getFrame(frame.get(), 1, ksgMotionController::NoLayerSet);
        kmlMatrix4 m;
        frame->toMatrix(m);
        edit(m);
        frame->fromMatrix(m);
        mc->addFrame(frame.get(), -1);
    }
}

// Steps shared by both FK controllers: the body turned by angle about the
// world axis through the grabbed joint. Returns the pivot rotation, taken
// from the pose before the turn.
kmlMatrix4 turnBody(ksgTransform* body, ksgNode* grabbed, float angle, const kmlVec3& axis)
{
    kmlMatrix4 R = pivotRotation(grabbed->getWorld(), angle, axis);
    kmlMatrix4 B = body->getWorld();
    turnAboutPivot(B, R, angle, axis);
    body->setWorld(B);
    body->updateLocal();
    return R;
}

} // namespace

bool kgiBodyFKController::update(const kmlVec3& input, bool flag)
{
    ksgTransform* body = bodyFor(*this, input, flag);
    if (body == nullptr || !flag)
        return false;
    turnBody(body, getTarget(), input.get(0), axis);
    body->update(0.0f, false, true);
    return true;
}

bool kgiAnimFKController::update(const kmlVec3& input, bool flag)
{
    ksgTransform* body = bodyFor(*this, input, flag);
    if (body == nullptr || !flag)
        return false;
    const float angle = input.get(0);
    const kmlVec3 a = axis;
    const kmlMatrix4 R = turnBody(body, getTarget(), angle, a);
    ksgMotionController* mc = motionOf(body);
    if (mc == nullptr)
        return true;
    rewriteKeys(mc, rangeStart, rangeEnd, [&](kmlMatrix4& m) { turnAboutPivot(m, R, angle, a); });
    getTarget()->getRoot()->update(0.0f, false, true);
    return true;
}

kgiAnimIKController::kgiAnimIKController() : chain(new ksgIkChain(nullptr, 1)) {}

kgiAnimIKController::~kgiAnimIKController() { delete chain; }

void kgiAnimIKController::setChainMode(int index)
{
    if (chain == nullptr)
        return;
    static const int modes[] = {2, 1, 3, 4};
    chainMode = index >= 0 && index < 4 ? modes[index] : 1;
}

ksgTransform* kgiAnimIKController::getChainRoot() const
{
    return chain != nullptr ? chain->getRoot() : nullptr;
}

void kgiAnimIKController::setChainGroup(const ksgNodeGroup& g)
{
    group = g;
    if (chain != nullptr)
        chain->setGroup(g);
}

bool kgiAnimIKController::init()
{
    rootMode = false;
    if (chain->setEE(getTarget(), static_cast<unsigned char>(chainMode)))
        return true;
    if (chainMode == 1 && getTarget()->getParent() == nullptr) {
        rootMode = true;
        return true;
    }
    return false;
}

void kgiAnimIKController::reset()
{
    // The chain cannot be emptied through setEE (null is refused and leaves
    // the joints); a fresh chain with the kept group lets go of the tree.
    ksgIkChain* fresh = new ksgIkChain(nullptr, 1);
    fresh->setGroup(group);
    delete chain;
    chain = fresh;
    rootMode = false;
}

bool kgiAnimIKController::update(const kmlVec3& input, bool flag)
{
    ksgTransform* body = bodyFor(*this, input, flag);
    if (body == nullptr || chain == nullptr)
        return false;
    const kmlVec3 bodyPosition = positionOf(body->getWorld());
    kmlVec3 goal(input);
    if (flag)
        goal += bodyPosition;
    if (!rootMode) {
        ksgCcdIk().solve(*chain, goal, 1, 0.0f);
        return true;
    }

    kmlVec3 offset(goal);
    offset -= bodyPosition;
    kmlMatrix4 local = body->getLocal();
    local.translate(pointIn(body->getWorld(), goal));
    body->setLocal(local);
    body->update(0.0f, false, true);

    ksgMotionController* mc = motionOf(body);
    if (mc == nullptr)
        return true;
    rewriteKeys(mc, rangeStart, rangeEnd, [&](kmlMatrix4& m) {
        kmlVec3 moved = positionOf(m);
        moved += offset;
        m.translate(pointIn(m, moved));
    });
    body->update(0.0f, false, true);
    return true;
}
