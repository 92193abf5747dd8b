#pragma once

#include "kgcAxisAlignedBox.h"
#include "ksgNode.h"

class kgcMesh;

// A node that draws a mesh, placed by its parent's world matrix. Hiding a
// model hides its own mesh only, not its children.
class ksgModel : public ksgNode {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    ksgModel();
    // The copy gets its own copy of the mesh.
    ksgModel(const ksgModel& other);
    ~ksgModel() override;

    // Takes ownership of m and deletes the previous mesh; null, or the
    // mesh already held, is ignored.
    void setMesh(kgcMesh* m);
    kgcMesh* getMesh() const { return mesh; }
    // The mesh's box in mesh coordinates.
    kgcAxisAlignedBox getMeshBox() const { return meshBox; }
    // Reads the mesh's box again: call it after the mesh was rebuilt in
    // place (a generated mesh's compute), or drawing bounds and picking
    // keep the old size.
    void updateMeshBox();
    ksgModel* asModel() override { return this; }

    void render(ksgVisualState& vs) const override;
    // Children's bounds plus the mesh box moved into the world.
    void updateBounds() override;
    // Appends the world-space points where the ray meets the mesh, then
    // picks the children; nothing when the ray misses the bounds.
    void pick(const kmlVec4& origin, const kmlVec4& direction, std::vector<Hit>& hits) override;

private:
    kgcMesh* mesh;
    kgcAxisAlignedBox meshBox;
};
