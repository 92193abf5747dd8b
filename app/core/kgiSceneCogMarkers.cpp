#include "kgiSceneCogMarkers.h"

#include <cmath>

#include "kgcCylinderMesh.h"
#include "kgcMaterial.h"
#include "kgiApp.h"
#include "kgiCollisionCheckParts.h"
#include "kgiSettings.h"
#include "ksgModel.h"
#include "ksgState.h"
#include "ksgStateParam.h"
#include "ksgTransform.h"

namespace {

// The cone: a point at the bottom, radius 0.5 at the top, 0.5 high, one
// band of 32 sides. Placed at height -0.5 its tip touches the floor's
// underside and its base sits on the floor.
const float CONE_TOP_RADIUS = 0.5f;
const float CONE_HEIGHT = 0.5f;
const int CONE_STACKS = 1;
const int CONE_SLICES = 32;
const float MARKER_HEIGHT = -0.5f;

} // namespace

// The material outlives the node whose state points at it.
struct kgiCogMarkers::Marker {
    kgcMaterial material;
    std::unique_ptr<ksgTransform> node;

    Marker()
    {
        kgiSettings defaults;
        const kgiApp* app = kgiApp::instance();
        const kgiSettings& s = app ? app->getSettings() : defaults;
        material.setDiffuse(s.cogDiffuse[0], s.cogDiffuse[1], s.cogDiffuse[2], 1.0f);
        material.setAmbient(s.cogAmbient[0], s.cogAmbient[1], s.cogAmbient[2], 1.0f);
        material.setSpecular(1.0f, 1.0f, 1.0f, 1.0f);

        node.reset(new ksgTransform);
        node->ignoreFk(true);
        node->ignoreIk(true);
        ksgState* state = new ksgState;
        state->addParam(new ksgMaterialParam(&material));
        node->setState(state);
        ksgModel* cone = new ksgModel;
        cone->setMesh(new kgcCylinderMesh(0.0f, CONE_TOP_RADIUS, CONE_HEIGHT, CONE_STACKS, CONE_SLICES));
        node->attachChild(cone);
    }
};

kgiCogMarkers::kgiCogMarkers() = default;

kgiCogMarkers::~kgiCogMarkers() = default;

kgiCogMarkers* kgiCogMarkers::instance()
{
    static kgiCogMarkers markers;
    return &markers;
}

ksgTransform* kgiCogMarkers::getMarker(kgiCharacter* c)
{
    if (!c)
        return nullptr;
    std::unique_ptr<Marker>& slot = markers[c];
    if (!slot)
        slot.reset(new Marker);
    ksgTransform* node = slot->node.get();

    kmlVec3 centre;
    kgiPartTable* parts = kgiPartTable::installed();
    if (parts && parts->computeCenterOfGravity(c, centre) && std::isfinite(centre[0]) &&
        std::isfinite(centre[2])) {
        kmlMatrix4 place;
        place.setTranslation(kmlVec3(centre[0], MARKER_HEIGHT, centre[2]));
        node->setWorld(place);
        node->updateLocal();
    }
    node->update(0.0f, false, true);
    return node;
}
