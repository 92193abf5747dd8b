#include "kgiCollisionCheck.h"

#include <algorithm>
#include <iostream>

#include "kgcAxisAlignedBox.h"
#include "kgiApp.h"
#include "kgiKmdData.h"
#include "kgiWorld.h"
#include "ksgModel.h"
#include "ksgNode.h"
#include "ksgTransform.h"

namespace {

kgiPartTable*& installedTable()
{
    static kgiPartTable* table = nullptr;
    return table;
}

bool collisionDetailOn()
{
    kgiApp* app = kgiApp::instance();
    return app && app->getSettings().collisionDetail;
}

// A mesh box as an oriented box, moved by m when one is given; false for a
// model without mesh.
bool modelBox(const ksgModel* model, const kmlMatrix4* m, kgcOrientedBox& box)
{
    if (!model || !model->getMesh())
        return false;
    const kgcAxisAlignedBox meshBox = model->getMeshBox();
    box.fromMinMax(meshBox.getMin(), meshBox.getMax());
    if (m)
        box.transformBy(*m);
    return true;
}

// A child's placement in its parent's frame. A transform's local matrix
// sits on its fixed offset, so both count.
kmlMatrix4 placementInParent(const ksgNode* child)
{
    if (const ksgTransform* t = child->asTransform())
        return t->getOffset() * t->getLocal();
    return kmlMatrix4();
}

// The part's box built from its children's mesh boxes, for a part that
// draws no mesh of its own; false when no child has one.
bool childrenBox(ksgNode* node, kgcOrientedBox& box)
{
    kgcAxisAlignedBox merged;
    bool any = false;
    for (ksgNode* c = node->getChild(); c; c = c->getSibling()) {
        const ksgModel* model = kgiCollisionCheck::partModel(c);
        if (!model || !model->getMesh())
            continue;
        kgcAxisAlignedBox childBox = model->getMeshBox();
        childBox.transformBy(placementInParent(c));
        merged.merge(&childBox);
        any = true;
    }
    if (!any)
        return false;
    box.fromMinMax(merged.getMin(), merged.getMax());
    box.transformBy(node->getWorld());
    return true;
}

bool coarseHit(ksgNode* a, ksgNode* b)
{
    kgcOrientedBox boxA, boxB;
    const ksgModel* ma = kgiCollisionCheck::partModel(a);
    const ksgModel* mb = kgiCollisionCheck::partModel(b);
    bool built;
    if (ma && mb) {
        const kmlMatrix4 worldA = a->getWorld();
        const kmlMatrix4 worldB = b->getWorld();
        built = modelBox(ma, &worldA, boxA) && modelBox(mb, &worldB, boxB);
    } else {
        built = childrenBox(a, boxA) && childrenBox(b, boxB);
    }
    return built && boxA.collide(&boxB);
}

bool fineHit(ksgNode* a, ksgNode* b)
{
    const int na = a->getNumChildren();
    const int nb = b->getNumChildren();
    for (int i = 0; i < na; ++i) {
        kgcOrientedBox boxA;
        if (!kgiCollisionCheck::childPartBox(a, i, true, boxA))
            continue;
        for (int j = 0; j < nb; ++j) {
            kgcOrientedBox boxB;
            if (kgiCollisionCheck::childPartBox(b, j, true, boxB) && boxA.collide(&boxB))
                return true;
        }
    }
    return false;
}

void markFlag(unsigned char* flags, int id)
{
    if (id >= 0 && id < kgiPartTable::FLAG_COUNT)
        flags[id] = 1;
}

template <class Set>
void walkPartModels(ksgNode* node, bool on, Set set)
{
    if (!node)
        return;
    for (ksgNode* c = node->getChild(); c; c = c->getSibling()) {
        ksgModel* model = kgiCollisionCheck::partModel(c);
        if (!model)
            continue;
        if (kgiKmdData* data = kgiKmdData::of(model))
            (data->*set)(on);
        walkPartModels(c, on, set);
    }
}

} // namespace

kgiPartTable::~kgiPartTable()
{
    if (installedTable() == this)
        installedTable() = nullptr;
}

void kgiPartTable::install(kgiPartTable* table)
{
    installedTable() = table;
}

kgiPartTable* kgiPartTable::installed()
{
    return installedTable();
}

kgiCollisionCheck* kgiCollisionCheck::instance()
{
    static kgiCollisionCheck check;
    return &check;
}

bool kgiCollisionCheck::check()
{
    return check(collisionDetailOn());
}

bool kgiCollisionCheck::check(bool detail)
{
    kgiWorld* world = kgiWorld::instance();
    const float t = world->getCurrentTime();
    kgiCharacter* character = world->getCurrentCharacter();
    if (!character)
        return false;
    flags.fill(0);
    bool hit = false;
    kgiPartTable* parts = kgiPartTable::installed();
    if (parts) {
        if (detail)
            hit = parts->checkPartCollisions(character, flags.data());
        else
            parts->clearCollisionHits(character);
    }

    auto place = std::find_if(hits.begin(), hits.end(),
                              [t](const HitRecord& r) { return r.time == t; });
    if (place != hits.end())
        place = hits.erase(place);
    if (hit) {
        HitRecord record;
        record.time = t;
        for (int id = 0; id < kgiPartTable::FLAG_COUNT; ++id)
            if (flags[size_t(id)])
                record.parts.push_back(id);
        hits.insert(place, std::move(record));
    }
    if (kgiApp* app = kgiApp::instance())
        app->redrawTimeline();
    return hit;
}

bool kgiCollisionCheck::checkPair(ksgNode* a, ksgNode* b, unsigned char* hitFlags)
{
    if (!a || !b || !hitFlags)
        return false;
    if (!coarseHit(a, b) || !fineHit(a, b))
        return false;
    markFlag(hitFlags, a->getId());
    markFlag(hitFlags, b->getId());
    setSubtreeHit(a, true);
    setSubtreeHit(b, true);
    std::cerr << "Collision Hit: " << a->getName() << " & " << b->getName() << std::endl;
    return true;
}

ksgModel* kgiCollisionCheck::partModel(ksgNode* node)
{
    if (!node || !node->getChild())
        return nullptr;
    return node->getChild()->asModel();
}

bool kgiCollisionCheck::childPartBox(ksgNode* node, int i, bool toWorld, kgcOrientedBox& box)
{
    ksgNode* child = node ? node->getChild(i) : nullptr;
    if (!child)
        return false;
    if (!toWorld)
        return modelBox(partModel(child), nullptr, box);
    const kmlMatrix4 world = child->getWorld();
    return modelBox(partModel(child), &world, box);
}

void kgiCollisionCheck::setSubtreeHit(ksgNode* node, bool on)
{
    walkPartModels(node, on, &kgiKmdData::setHit);
}

void kgiCollisionCheck::setSubtreeMark(ksgNode* node, bool on)
{
    walkPartModels(node, on, &kgiKmdData::setHit2);
}

bool kgiCollisionCheck::printFrameRange() const
{
    const kgiWorld* world = kgiWorld::instance();
    std::cerr << "startframe: " << world->getStartFrame() << std::endl;
    std::cerr << "  endframe: " << world->getEndFrame() << std::endl;
    return true;
}

bool kgiCollisionCheck::isRelated(ksgNode* a, ksgNode* b)
{
    if (!a || !b || a->getId() == b->getId())
        return false;
    ksgNode* descendant = a->getId() > b->getId() ? a : b;
    const ksgNode* ancestor = descendant == a ? b : a;
    for (ksgNode* n = descendant; n; n = n->getParent())
        if (n == ancestor)
            return true;
    return false;
}
