#include "ksgIkChain.h"

#include <algorithm>
#include <ostream>

#include "ksgTransform.h"
#include "ksgTransformMath.h"

const kutRtti ksgIkChain::RTTI("ksgIkChain", &kutObject::RTTI);
const kutRtti* ksgIkChain::getRtti() const { return &RTTI; }

namespace {

// Four-component norm of the local translation with w = 1.
float segmentLength(const ksgTransform* t)
{
    kmlMatrix4 local = t->getLocal();
    kmlVec4 v(ksgmath::translation(local), 1.0f);
    return v.norm();
}

// Whether the joint has two or more children that are joints of a chain.
bool branches(const ksgTransform* t)
{
    int n = 0;
    for (ksgNode* c = t->getChild(); c != nullptr && n < 2; c = c->getSibling()) {
        const ksgTransform* j = c->asTransform();
        if (j != nullptr && !j->isIkIgnored() && !j->isHelperNode())
            ++n;
    }
    return n >= 2;
}

} // namespace

ksgIkChain::ksgIkChain()
    : maxLength(0.0f), root(nullptr), ee(nullptr), numSegments(0), chainType(1),
      customRoot(nullptr)
{
}

ksgIkChain::ksgIkChain(ksgNode* n, unsigned char type) : ksgIkChain() { setEE(n, type); }

bool ksgIkChain::setEE(ksgNode* n, unsigned char type)
{
    if (n == nullptr)
        return false;
    if (type >= 1 && type <= 4) {
        ksgTransform* e = n->asTransform();
        if (e == nullptr)
            e = n->getParentTransform();
        while (e != nullptr && e->isFkIgnored() && e->isIkIgnored())
            e = e->getParentTransform();
        if (type == 4) {
            const ksgNode* p = customRoot;
            while (p != nullptr && p != e)
                p = p->getParent();
            if (p == nullptr || e == nullptr)
                return false;
        }
        ee = e;
    }
    chainType = type;
    return initChain();
}

bool ksgIkChain::setCustomRoot(ksgTransform* t)
{
    if (t != nullptr && t != customRoot) {
        customRoot = t;
        return true;
    }
    customRoot = nullptr;
    return false;
}

int ksgIkChain::getNumJoints() const { return root != nullptr ? numSegments + 1 : 0; }

ksgTransform* ksgIkChain::operator[](int i) const
{
    return i >= 0 && i < static_cast<int>(joints.size()) ? joints[static_cast<size_t>(i)] : nullptr;
}

kmlVec4 ksgIkChain::getEELoc() const
{
    return ee != nullptr ? kmlVec4(ee->getWorld().getColumn(3)) : kmlVec4();
}

bool ksgIkChain::clear()
{
    joints.clear();
    root = nullptr;
    ee = nullptr;
    numSegments = 0;
    maxLength = 0.0f;
    return false;
}

bool ksgIkChain::initChain()
{
    joints.clear();
    // A chain that fails half way must not keep the root of an older one.
    root = nullptr;
    numSegments = 0;
    maxLength = 0.0f;
    if (ee == nullptr)
        return false;
    if (chainType == 0)
        chainType = 1;
    if (chainType == 3 && !group.hasNode(ee))
        return clear();

    ksgTransform* previous = nullptr;
    float previousLength = 0.0f;
    ksgTransform* cur = chainType == 4 ? customRoot : ee;
    joints.push_back(cur);
    while (cur != nullptr) {
        float skipped = 0.0f;
        ksgTransform* next = cur->getParentTransform();
        while (next != nullptr && next->isIkIgnored()) {
            skipped += segmentLength(next);
            next = next->getParentTransform();
        }
        if (chainType == 2) {
            if (next == nullptr) {
                root = previous != nullptr ? cur : nullptr;
                break;
            }
        } else if (chainType == 4) {
            if (next == ee) {
                root = customRoot;
                break;
            }
            // Passed the end effector (it is IK-ignored) and reached the
            // top: there is no chain.
            if (next == nullptr)
                return clear();
        } else if (chainType == 3) {
            if (next == nullptr || !group.hasNode(next)) {
                root = previous != nullptr ? cur : nullptr;
                break;
            }
        } else {
            if (cur != ee && branches(cur)) {
                if (previous == ee) {
                    root = cur;
                } else {
                    // The branching joint stays out of the chain.
                    root = previous;
                    maxLength -= previousLength;
                    numSegments -= 1;
                    joints.pop_back();
                }
                break;
            }
            if (next == nullptr) {
                root = cur;
                break;
            }
        }
        previousLength = segmentLength(cur) + skipped;
        maxLength += previousLength;
        numSegments += 1;
        joints.push_back(next);
        previous = cur;
        cur = next;
    }
    if (numSegments == 0 || root == nullptr)
        return clear();
    if (chainType == 4) {
        std::reverse(joints.begin(), joints.end());
        joints.insert(joints.begin(), ee);
    }
    return true;
}

std::ostream& operator<<(std::ostream& os, const ksgIkChain& chain)
{
    os << std::endl << "ksgIkChain: " << std::endl;
    os << "\tRoot: " << (chain.root != nullptr ? chain.root->getName() : "") << std::endl;
    os << "\tEE: " << (chain.ee != nullptr ? chain.ee->getName() : "") << std::endl;
    os << "\tNumsges: " << chain.numSegments << std::endl;
    os << "\tIntermediate joint names: " << std::endl;
    if (chain.ee != nullptr) {
        for (ksgNode* n = chain.ee->getParent(); n != nullptr && n != chain.root; n = n->getParent())
            os << "\t\t" << n->getName() << std::endl;
    }
    return os;
}
