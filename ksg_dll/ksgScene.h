#pragma once

#include <map>
#include <vector>

#include "kutObject.h"

class ksgTransform;
class ksgVisualState;

// The roots a view draws, kept under their node ids and walked in
// ascending id. The scene only points at its roots: it never deletes them.
class ksgScene : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    ksgScene();
    ~ksgScene() override;

    // Keeps t under its id (replacing a root with the same id); null is
    // ignored.
    void addRoot(ksgTransform* t);
    void remRoot(ksgTransform* t);
    std::vector<ksgTransform*> getRoots() const;

    // Updates every root's tree at t, bounds carried to the roots.
    virtual void update(float t, bool absolute);
    virtual void render(ksgVisualState& vs) const;

private:
    std::map<int, ksgTransform*> roots;
};
