// The robot's rigid parts on the joint table: which pairs are joined, the
// collision test of every other pair, the selection and mark colours of a
// part, and the centre of gravity from the parts' mesh boxes.
//
// A part is an entry of the table (a joint node of model.ini, entry 0 the
// model root). The meshes that move with a part are its children whose own
// first child is a model; the flags that colour them sit on those models.
#include "kgiRobotJointTable.h"

#include "kgcOrientedBox.h"
#include "kgiCollisionCheck.h"
#include "kgiKmdData.h"
#include "ksgModel.h"
#include "ksgNode.h"

#include <cmath>
#include <vector>

namespace {

// Calls visit on the kgiKmdData of every mesh that moves with the part:
// the models of its part children and, below each such child, of theirs.
// A child that draws no model is passed over with everything below it.
template <class Visit>
void forEachPartMesh(ksgNode* part, Visit visit)
{
    if (!part)
        return;
    for (ksgNode* c = part->getChild(); c; c = c->getSibling()) {
        ksgModel* model = kgiCollisionCheck::partModel(c);
        if (!model)
            continue;
        if (kgiKmdData* data = kgiKmdData::of(model))
            visit(*data);
        forEachPartMesh(c, visit);
    }
}

} // namespace

int kgiRobotJointTable::partIndexOf(ksgNode* node) const
{
    for (ksgNode* n = node; n; n = n->getParent())
        for (int i = 0; i < nodeCount; ++i)
            if (nodes[std::size_t(i)] == n)
                return i;
    return -1;
}

ksgNode* kgiRobotJointTable::servoJointAbove(ksgNode* node) const
{
    ksgNode* x = node;
    while (x && x->getParent()) {
        x = x->getParent();
        const auto it = joints.find(x->getName());
        if (it != joints.end() && it->second.axis != 3)
            break;
    }
    return x;
}

bool kgiRobotJointTable::arePartsJoined(ksgNode* a, ksgNode* b)
{
    if (!a || !b)
        return false;
    return servoJointAbove(a) == b || servoJointAbove(b) == a;
}

bool kgiRobotJointTable::checkPartCollisions(kgiCharacter* c, unsigned char* flags)
{
    if (!c)
        return false;
    clearCollisionHits();
    // Each part's nearest servo joint, found once for all its pairs.
    ksgNode* above[MAX_NODES] = {};
    for (int i = 0; i < nodeCount; ++i)
        if (ksgNode* n = nodes[std::size_t(i)])
            above[i] = servoJointAbove(n);
    kgiCollisionCheck* check = kgiCollisionCheck::instance();
    bool hit = false;
    // A joint the model lacks leaves a null entry; the parts after it are
    // still tested.
    for (int i = 0; i < nodeCount; ++i) {
        ksgNode* a = nodes[std::size_t(i)];
        if (!a)
            continue;
        for (int j = i + 1; j < nodeCount; ++j) {
            ksgNode* b = nodes[std::size_t(j)];
            if (!b || above[i] == b || above[j] == a)
                continue;
            if (check->checkPair(a, b, flags))
                hit = true;
        }
    }
    return hit;
}

void kgiRobotJointTable::clearCollisionHits(kgiCharacter* c)
{
    if (c)
        clearCollisionHits();
}

void kgiRobotJointTable::clearCollisionHits()
{
    for (int i = 0; i < nodeCount; ++i)
        if (ksgNode* n = nodes[std::size_t(i)])
            kgiCollisionCheck::setSubtreeHit(n, false);
}

// --- selection and marks ---

void kgiRobotJointTable::setPartSelected(ksgNode* part, bool flag)
{
    forEachPartMesh(part, [flag](kgiKmdData& d) { d.setSelected(flag); });
}

void kgiRobotJointTable::setPartMarked(ksgNode* part, bool flag)
{
    forEachPartMesh(part, [flag](kgiKmdData& d) {
        d.setMarked(flag);
        d.setSelected(false);
    });
}

void kgiRobotJointTable::clearAllPartSelections()
{
    for (int i = 0; i < nodeCount; ++i)
        setPartSelected(nodes[std::size_t(i)], false);
}

void kgiRobotJointTable::selectPart(ksgNode* node)
{
    const int i = partIndexOf(node);
    if (i >= 0)
        setPartSelected(nodes[std::size_t(i)], true);
}

void kgiRobotJointTable::clearPartMark(ksgNode* node)
{
    const int i = partIndexOf(node);
    if (i >= 0)
        setPartSelected(nodes[std::size_t(i)], false);
}

void kgiRobotJointTable::toggleSelectedPart(ksgNode* node)
{
    if (selectedPart >= 0 && selectedPart < nodeCount)
        setPartMarked(nodes[std::size_t(selectedPart)], false);
    const int i = partIndexOf(node);
    if (i < 0)
        return;
    if (i != selectedPart) {
        setPartMarked(nodes[std::size_t(i)], true);
        storeReferencePlacement(nodes[std::size_t(i)]);
        selectedPart = i;
    } else {
        selectedPart = -1;
    }
}

bool kgiRobotJointTable::isInSelectedPart(ksgNode* node)
{
    return node && selectedPart >= 0 && partIndexOf(node) == selectedPart;
}

void kgiRobotJointTable::clearAllPartMarks()
{
    for (int i = 0; i < nodeCount; ++i)
        if (ksgNode* n = nodes[std::size_t(i)])
            kgiCollisionCheck::setSubtreeMark(n, false);
}

// --- centre of gravity ---

bool kgiRobotJointTable::centreOfGravity(kmlVec3& centre) const
{
    kmlVec<3> sum;
    double total = 0.0;
    for (int i = 0; i < nodeCount; ++i) {
        ksgNode* part = nodes[std::size_t(i)];
        if (!part)
            continue;
        const int children = part->getNumChildren();
        for (int j = 0; j < children; ++j) {
            kgcOrientedBox box;
            if (!kgiCollisionCheck::childPartBox(part, j, false, box))
                continue;
            // Each mesh weighs its box's volume and pulls at its centre.
            const kmlVec3 lo = box.getMin();
            const kmlVec3 hi = box.getMax();
            const float weight = std::fabs((hi[2] - lo[2]) * (hi[1] - lo[1]) * (hi[0] - lo[0]));
            const kmlVec3 c = box.getCenter();
            const float p[4] = {c[0], c[1], c[2], 1.0f};
            const kmlMatrix4 w = part->getChild(j)->getWorld();
            for (int k = 0; k < 3; ++k) {
                float v = 0.0f;
                for (int m = 0; m < 4; ++m)
                    v += w(k, m) * p[m];
                sum[k] += v * weight;
            }
            total += weight;
        }
    }
    // No mesh, or only flat ones, weighs nothing: there is no centre.
    if (!(total > 0.0))
        return false;
    const kmlVec<3> result = scaleVec3(sum, float(1.0 / total));
    if (!std::isfinite(result[0]) || !std::isfinite(result[1]) || !std::isfinite(result[2]))
        return false;
    centre = result;
    return true;
}

bool kgiRobotJointTable::computeCenterOfGravity(kgiCharacter* c, kmlVec3& centre)
{
    return c && centreOfGravity(centre);
}

kmlVec3 kgiRobotJointTable::computeCenterOfGravity()
{
    kmlVec3 centre(0.0f, 0.0f, 0.0f);
    centreOfGravity(centre);
    return centre;
}

kmlVec<3> kgiRobotJointTable::mulMatrix3Vec3(const kmlMatrix3& m, const kmlVec<3>& v)
{
    kmlVec<3> r;
    for (int i = 0; i < 3; ++i)
        r[i] = m(i, 0) * v[0] + m(i, 1) * v[1] + m(i, 2) * v[2];
    return r;
}

kmlVec<3> kgiRobotJointTable::scaleVec3(const kmlVec<3>& v, float s)
{
    kmlVec<3> r(v);
    r *= s;
    return r;
}
