#include "kgiWorldLinks.h"

#include "kgiTables.h"
#include "ksgNode.h"
#include "ksgScene.h"

// Each class below joins the build in its own files; until it does, its
// calls here fall back to "none" so the program still starts with an empty
// scene.
#if __has_include("kgiCharacter.h")
#include "kgiCharacter.h"
#define KGI_HAVE_CHARACTER 1
#endif
#if __has_include("kgiScene.h")
#include "kgiScene.h"
#define KGI_HAVE_SCENE 1
#endif
#if __has_include("kgiKmdData.h")
#include "kgiKmdData.h"
#define KGI_HAVE_KMD_DATA 1
#endif

#include <new>

kgiCharacter* kgiCharacterTraits::make() { return kgiWorldLinks::newCharacter(); }
void kgiCharacterTraits::destroy(kgiCharacter* c) { kgiWorldLinks::deleteCharacter(c); }

#ifdef KGI_HAVE_CHARACTER
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
#else
kgiCharacter* kgiWorldLinks::newCharacter() { return nullptr; }
void kgiWorldLinks::deleteCharacter(kgiCharacter*) {}
ksgNode* kgiWorldLinks::characterRoot(kgiCharacter*) { return nullptr; }
void kgiWorldLinks::setCharacterTime(kgiCharacter*, float) {}
const std::vector<float>* kgiWorldLinks::characterKeyTimes(kgiCharacter*) { return nullptr; }
bool kgiWorldLinks::loadCharacter(kgiCharacter*, const std::string&) { return false; }
#endif

#ifdef KGI_HAVE_SCENE
kgiScene* kgiWorldLinks::newScene() { return new (std::nothrow) kgiScene(); }
void kgiWorldLinks::deleteScene(kgiScene* s) { delete s; }
ksgScene* kgiWorldLinks::sceneBase(kgiScene* s) { return s; }
#else
kgiScene* kgiWorldLinks::newScene() { return nullptr; }
void kgiWorldLinks::deleteScene(kgiScene*) {}
ksgScene* kgiWorldLinks::sceneBase(kgiScene*) { return nullptr; }
#endif

#ifdef KGI_HAVE_KMD_DATA
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
#else
void kgiWorldLinks::setHighlightMaterials(kgcMaterial* const[8]) {}
#endif
