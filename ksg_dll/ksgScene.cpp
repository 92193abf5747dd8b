#include "ksgScene.h"

#include "ksgTransform.h"

const kutRtti ksgScene::RTTI("ksgScene", &kutObject::RTTI);
const kutRtti* ksgScene::getRtti() const { return &RTTI; }

ksgScene::ksgScene() = default;

ksgScene::~ksgScene() = default;

void ksgScene::addRoot(ksgTransform* t)
{
    if (t != nullptr)
        roots[t->getId()] = t;
}

void ksgScene::remRoot(ksgTransform* t)
{
    for (auto it = roots.begin(); it != roots.end(); ++it) {
        if (it->second == t) {
            roots.erase(it);
            return;
        }
    }
}

std::vector<ksgTransform*> ksgScene::getRoots() const
{
    std::vector<ksgTransform*> out;
    out.reserve(roots.size());
    for (const auto& entry : roots)
        out.push_back(entry.second);
    return out;
}

void ksgScene::update(float t, bool absolute)
{
    for (const auto& entry : roots)
        entry.second->update(t, absolute, true);
}

void ksgScene::render(ksgVisualState& vs) const
{
    for (const auto& entry : roots)
        entry.second->render(vs);
}
