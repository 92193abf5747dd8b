#include "ksgModel.h"

#include "kgcMesh.h"
#include "ksgTransformMath.h"
#include "ksgVisualState.h"

const kutRtti ksgModel::RTTI("ksgModel", &ksgNode::RTTI);
const kutRtti* ksgModel::getRtti() const { return &RTTI; }

ksgModel::ksgModel() : mesh(nullptr) {}

ksgModel::ksgModel(const ksgModel& other)
    : ksgNode(other), mesh(other.mesh != nullptr ? new kgcMesh(*other.mesh) : nullptr),
      meshBox(other.meshBox)
{
}

ksgModel::~ksgModel() { delete mesh; }

void ksgModel::setMesh(kgcMesh* m)
{
    if (m == nullptr || m == mesh)
        return;
    delete mesh;
    mesh = m;
    updateMeshBox();
}

void ksgModel::updateMeshBox()
{
    // fromMesh keeps the old corners for a mesh without vertices; start
    // from an empty box so an empty mesh has no bounds.
    meshBox.reset();
    if (mesh != nullptr)
        meshBox.fromMesh(mesh);
}

void ksgModel::render(ksgVisualState& vs) const
{
    bool pushed = pushState(vs);
    if (mesh != nullptr && isShown())
        mesh->render();
    renderChildren(vs);
    popState(vs, pushed);
    renderSiblings(vs);
}

void ksgModel::updateBounds()
{
    ksgNode::updateBounds();
    if (mesh != nullptr) {
        kgcAxisAlignedBox box(meshBox);
        box.transformBy(getWorld());
        bounds.merge(&box);
    }
}

void ksgModel::pick(const kmlVec4& origin, const kmlVec4& direction, std::vector<Hit>& hits)
{
    if (!bounds.intersect(ksgmath::xyz(origin), ksgmath::xyz(direction)))
        return;
    if (mesh != nullptr) {
        kmlMatrix4 w = getWorld();
        kmlMatrix4 inverse = w.getInverse();
        kmlVec3 a = ksgmath::xyz(inverse * origin);
        kmlVec3 b = ksgmath::xyz(inverse * direction);
        if (meshBox.intersect(a, b)) {
            std::vector<kmlVec4> points;
            mesh->intersect(a, b, points);
            for (const kmlVec4& p : points)
                hits.push_back(Hit(w * p, this));
        }
    }
    pickChildren(origin, direction, hits);
}
