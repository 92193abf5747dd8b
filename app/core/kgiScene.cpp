#include "kgiScene.h"

#include <GL/gl.h>

#include "kgiSceneCogMarkers.h"
#include "kgiWorld.h"
#include "ksgTransform.h"
#include "ksgVisitor.h"

kgiGhostPainter::~kgiGhostPainter() = default;

kgiScene::kgiScene() = default;

kgiScene::~kgiScene() = default;

void kgiScene::update(float time, bool absolute)
{
    ksgScene::update(time, absolute);
}

void kgiScene::render(ksgVisualState& vs) const
{
    if (drawList) {
        glPushMatrix();
        glMultMatrixf(matrix);
        glCallList(static_cast<GLuint>(listId));
        glPopMatrix();
    }
    ksgRenderEnter enter(vs);
    ksgRenderLeave leave(vs);
    kgiWorld* world = kgiWorld::instance();
    for (ksgTransform* root : getRoots()) {
        root->depthVisit(enter, leave);
        kgiCharacter* current = world->getCurrentCharacter();
        if (current && drawCenterOfGravity) {
            if (ksgTransform* marker = kgiCogMarkers::instance()->getMarker(current))
                marker->render(vs);
        }
        if (drawGhosts && ghostPainter) {
            if (kgiCharacter* owner = world->findCharacterOfNode(root))
                ghostPainter->render(owner, world->getCurrentTime(), vs);
        }
    }
}
