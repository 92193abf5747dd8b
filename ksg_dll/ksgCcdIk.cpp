#include "ksgCcdIk.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>

#include "kmlMath.h"
#include "ksgIkChain.h"
#include "ksgNodeGroup.h"
#include "ksgTransform.h"
#include "ksgTransformMath.h"

const kutRtti ksgCcdIk::RTTI("ksgCcdIk", &kutObject::RTTI);
const kutRtti ksgCcdIKController::RTTI("ksgCcdIKController", &ksgTransformController::RTTI);
const kutRtti* ksgCcdIk::getRtti() const { return &RTTI; }
const kutRtti* ksgCcdIKController::getRtti() const { return &RTTI; }

namespace {

// Directions within this cosine count as aligned: no step.
const float ALIGNED = 0.999999f;

kmlVec3 position(const ksgTransform* t) { return ksgmath::translation(t->getWorld()); }

float distance2(const kmlVec3& a, const kmlVec3& b)
{
    kmlVec3 d(a);
    d -= b;
    return d.norm2();
}

void restoreLocal(ksgTransform* joint, const kmlMatrix4& saved)
{
    // The saved matrix was within the limits already; put it back as it
    // was, without clamping it again.
    if (joint->areLimitsEnabled()) {
        joint->enableLimits(false);
        joint->setLocal(saved);
        joint->enableLimits(true);
    } else {
        joint->setLocal(saved);
    }
}

} // namespace

kmlMatrix4 ksgCcdIk::toLocal(ksgTransform* joint, float angle, const kmlVec3& axis) const
{
    // Row vector times W, i.e. W transposed applied to the axis: the
    // inverse of W's rotation takes the world axis into the joint's frame.
    kmlVec3 a = ksgmath::xyz(joint->getWorld().getTranspose() * kmlVec4(axis, 0.0f));
    a.unit();
    rotation.setIdentity();
    rotation.rotate(angle, a);
    return rotation;
}

bool ksgCcdIk::solve(ksgIkChain& chain, kmlVec3 goal, int maxIterations, float tolerance) const
{
    if (chain.getEE() == nullptr) {
        std::cerr << "No ee" << std::endl;
        return false;
    }
    if (chain[1] == nullptr) {
        std::cerr << "No current" << std::endl;
        return false;
    }
    ksgTransform* root = chain.getRoot();
    if (root != nullptr) {
        kmlVec3 base = position(root);
        kmlVec3 v(goal);
        v -= base;
        float length = v.norm();
        if (chain.getMaxLength() < length) {
            v *= chain.getMaxLength() / length;
            goal = base;
            goal += v;
        }
    }

    int index = 1;
    ksgTransform* cur = chain[1];
    int iterations = 0;
    do {
        kmlVec3 e = ksgmath::xyz(chain.getEELoc());
        float err = distance2(goal, e);
        if (err <= tolerance)
            break;
        kmlVec3 j = position(cur);
        kmlVec3 toEE(e), toGoal(goal);
        toEE -= j;
        toGoal -= j;
        toEE.unit();
        toGoal.unit();
        float cosine = toEE.dot(toGoal);
        if (kml::Abs(cosine) < ALIGNED) {
            // Turn by the whole angle between the two directions, also when
            // the goal lies behind the joint (more than 90 degrees off).
            kmlVec3 axis(toEE.cross(toGoal));
            axis.unit();
            errno = 0;
            float angle = kml::Acosd(cosine);
            if (chain.hasCustomRoot())
                angle = -angle;
            if (errno != 0) {
                std::perror(("CcdIK error, " + cur->getName()).c_str());
                return false;
            }
            angle *= cur->getRDamp();
            kmlMatrix4 saved = cur->getLocal();
            cur->setLocal(saved * toLocal(cur, angle, axis));
            cur->update(0.0f, false, true);
            if (distance2(goal, ksgmath::xyz(chain.getEELoc())) > err) {
                restoreLocal(cur, saved);
                cur->update(0.0f, false, true);
            }
        }
        if (cur == root) {
            index = 0;
            ++iterations;
        }
        ++index;
        cur = chain[index];
        if (cur == nullptr) {
            // The sweep ran off the chain without meeting its root: count
            // it as a sweep and start again.
            index = 1;
            cur = chain[1];
            ++iterations;
        }
    } while (iterations < maxIterations);
    return iterations < maxIterations;
}

ksgCcdIKController::ksgCcdIKController()
    : chain(new ksgIkChain()), reverseRoot(nullptr), chainType(1), translateOnly(false)
{
}

ksgCcdIKController::ksgCcdIKController(const ksgCcdIKController& other)
    : ksgTransformController(other), chain(new ksgIkChain(*other.chain)),
      reverseRoot(other.reverseRoot), chainType(other.chainType), translateOnly(other.translateOnly)
{
}

ksgCcdIKController& ksgCcdIKController::operator=(const ksgCcdIKController& other)
{
    if (this != &other) {
        ksgTransformController::operator=(other);
        *chain = *other.chain;
        reverseRoot = other.reverseRoot;
        chainType = other.chainType;
        translateOnly = other.translateOnly;
    }
    return *this;
}

ksgCcdIKController::~ksgCcdIKController() { delete chain; }

void ksgCcdIKController::setMode(int mode)
{
    if (chain == nullptr)
        return;
    switch (mode) {
    case 0:
        chainType = 2;
        break;
    case 2:
        chainType = 3;
        break;
    case 3:
        chainType = 4;
        break;
    default:
        chainType = 1;
        break;
    }
}

int ksgCcdIKController::getMode() const
{
    if (chain == nullptr)
        return -1;
    switch (chainType) {
    case 2:
        return 0;
    case 3:
        return 2;
    case 4:
        return 3;
    default:
        return 1;
    }
}

void ksgCcdIKController::setGroup(const ksgNodeGroup& group)
{
    if (chain != nullptr)
        chain->setGroup(group);
}

void ksgCcdIKController::setReverseRoot(ksgNode* n)
{
    if (n == nullptr)
        return;
    ksgTransform* t = n->asTransform();
    if (t == nullptr)
        t = n->getParentTransform();
    reverseRoot = t;
    if (chain != nullptr)
        chainType = chain->setCustomRoot(t) ? 4 : 1;
}

void ksgCcdIKController::clearReverseRoot()
{
    reverseRoot = nullptr;
    if (chain != nullptr && chainType == 4) {
        chain->setCustomRoot(nullptr);
        chainType = 1;
    }
}

ksgNode* ksgCcdIKController::getRoot() const { return chain != nullptr ? chain->getRoot() : nullptr; }

bool ksgCcdIKController::init()
{
    translateOnly = false;
    if (chain->setEE(getTarget(), static_cast<unsigned char>(chainType)))
        return true;
    if (chainType == 1 && getTarget() != nullptr && getTarget()->getParent() == nullptr) {
        translateOnly = true;
        return true;
    }
    return false;
}

void ksgCcdIKController::reset() { chain->setEE(nullptr, 0); }

bool ksgCcdIKController::update(const kmlVec3& input, bool flag)
{
    if (!ksgInputBasedController::update(input, flag) || chain == nullptr)
        return false;
    ksgTransform* target = getTarget()->asTransform();
    if (target == nullptr)
        return false;
    kmlVec3 goal(input);
    if (flag)
        goal += position(target);
    if (translateOnly && chainType != 4) {
        // No chain above a root: carry the whole model onto the goal.
        kmlMatrix4 local = target->getLocal();
        local.translate(ksgmath::move(target->getWorld().getInverse(), goal));
        target->setLocal(local);
        target->update(0.0f, false, true);
    } else {
        ksgCcdIk().solve(*chain, goal, 1, 0.0f);
    }
    return true;
}
