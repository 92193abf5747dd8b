#include "kgiWorldLinks.h"

#include "kgiCharacter.h"
#include "kgiCollisionCheck.h"
#include "kgiKmdData.h"
#include "kgiScene.h"
#include "kgiTables.h"
#include "ksgNode.h"
#include "ksgScene.h"

#include <new>

kgiCharacter* kgiCharacterTraits::make() { return kgiWorldLinks::newCharacter(); }
void kgiCharacterTraits::destroy(kgiCharacter* c) { kgiWorldLinks::deleteCharacter(c); }

kgiCharacter* kgiWorldLinks::newCharacter() { return new (std::nothrow) kgiCharacter(); }
void kgiWorldLinks::deleteCharacter(kgiCharacter* c) { delete c; }
ksgNode* kgiWorldLinks::characterRoot(kgiCharacter* c) { return c ? c->getRoot() : nullptr; }
void kgiWorldLinks::setCharacterTime(kgiCharacter* c, float frames) {
    if (c && c->getRoot()) c->setTime(frames);
}
const std::vector<float>* kgiWorldLinks::characterKeyTimes(kgiCharacter* c) {
    return c ? &c->getKeyTimes() : nullptr;
}
bool kgiWorldLinks::loadCharacter(kgiCharacter* c, const std::string& path) {
    return c && c->load(path);
}

bool kgiWorldLinks::saveCharacterMotion(kgiCharacter* c) {
    return c && c->saveMotion("");
}
void kgiWorldLinks::checkCollisions() { kgiCollisionCheck::instance()->check(); }

kgiScene* kgiWorldLinks::newScene() { return new (std::nothrow) kgiScene(); }
void kgiWorldLinks::deleteScene(kgiScene* s) { delete s; }
ksgScene* kgiWorldLinks::sceneBase(kgiScene* s) { return s; }

void kgiWorldLinks::setHighlightMaterials(kgcMaterial* const m[8]) {
    kgiKmdData::setHighlightMaterial(m[0]);
    kgiKmdData::setPickedMaterial(m[1]);
    kgiKmdData::setHiddenMaterial(m[2]);
    kgiKmdData::setPickedHiddenMaterial(m[3]);
    kgiKmdData::setGroupMaterial(m[4]);
    kgiKmdData::setHitMaterial(m[5]);
    kgiKmdData::setSpareMaterial(m[6]);
    kgiKmdData::setMarkMaterial(m[7]);
}
