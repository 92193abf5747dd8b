#pragma once
// Model trees shared by the scene-graph benchmarks.

#include <string>
#include <vector>

#include "kgcMesh.h"
#include "ksgModel.h"
#include "ksgTransform.h"

namespace ksgbench {

inline kgcMesh* box()
{
    kgcMesh* m = new kgcMesh;
    m->begin(8, 0, 0);
    for (int i = 0; i < 8; ++i)
        m->addVertex(i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f);
    m->end();
    return m;
}

// A joint one unit above its parent, turned a little about z, with a body
// mesh below it.
inline ksgTransform* joint(ksgNode* parent, int i)
{
    ksgTransform* t = new ksgTransform;
    t->setName("j" + std::to_string(i));
    kmlMatrix4 offset;
    offset.setTranslation(kmlVec3(0.0f, 1.0f, 0.0f));
    t->setOffset(offset);
    kmlMatrix4 local;
    local.setRotation(5.0f + i, kmlVec3(0.0f, 0.0f, 1.0f));
    t->setLocal(local);
    ksgModel* body = new ksgModel;
    body->setMesh(box());
    t->attachChild(body);
    if (parent != nullptr)
        parent->attachChild(t);
    return t;
}

// A humanoid-like model of 30 joints: a trunk of 5 with a head of 1, two
// arms of 6 from the chest and two legs of 6 from the root. The joints are
// returned in creation order (root first); the first arm is joints 5 to 10 (its hand last).
inline std::vector<ksgTransform*> humanoid()
{
    std::vector<ksgTransform*> all;
    all.push_back(joint(nullptr, 0));
    for (int i = 0; i < 4; ++i)
        all.push_back(joint(all.back(), static_cast<int>(all.size())));
    ksgTransform* chest = all.back();
    for (int limb = 0; limb < 4; ++limb) {
        ksgNode* p = limb < 2 ? chest : all[0];
        for (int i = 0; i < 6; ++i) {
            all.push_back(joint(p, static_cast<int>(all.size())));
            p = all.back();
        }
    }
    all.push_back(joint(chest, static_cast<int>(all.size())));
    return all;
}

} // namespace ksgbench
