#include "kgiWorld.h"

#include "kgiApp.h"
#include "kgiTables.h"
#include "kgiWorldLinks.h"

#include "kgcLight.h"
#include "kgcMaterial.h"
#include "ksgManipulator.h"
#include "ksgNode.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "ksgViewpoint.h"
#include "kutTime.h"

#include <algorithm>
#include <cmath>

namespace {

// Highlight colours (diffuse, ambient, specular as RGBA) in the order the
// node data's setters take them: highlight, picked (also the ghosts'),
// hidden, picked hidden, group, hit, spare, mark.
struct HighlightColours {
    float diffuse[4];
    float ambient[4];
    float specular[4];
};
const HighlightColours HIGHLIGHTS[8] = {
    {{0.1f, 0.1f, 0.9f, 1.0f}, {0.0f, 0.0f, 0.8f, 1.0f}, {0.0f, 0.0f, 0.9f, 1.0f}},
    {{0.9f, 0.9f, 0.9f, 0.4f}, {0.6f, 0.6f, 0.6f, 0.4f}, {0.6f, 0.6f, 0.6f, 0.4f}},
    {{0.3f, 0.9f, 0.0f, 1.0f}, {0.0f, 0.8f, 0.0f, 1.0f}, {0.0f, 0.9f, 0.0f, 1.0f}},
    {{0.3f, 0.9f, 0.7f, 1.0f}, {0.0f, 0.8f, 0.5f, 1.0f}, {0.0f, 0.9f, 0.7f, 1.0f}},
    {{0.9f, 0.3f, 0.0f, 1.0f}, {0.8f, 0.5f, 0.0f, 1.0f}, {0.9f, 0.3f, 0.0f, 1.0f}},
    {{0.9f, 0.3f, 0.0f, 1.0f}, {0.8f, 0.5f, 0.0f, 1.0f}, {0.9f, 0.3f, 0.0f, 1.0f}},
    {{1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {0.9f, 0.3f, 0.0f, 1.0f}},
    {{0.1f, 0.1f, 0.9f, 1.0f}, {0.0f, 0.0f, 0.8f, 1.0f}, {0.0f, 0.0f, 0.9f, 1.0f}},
};
const float HIGHLIGHT_SHININESS = 50.0f;

ksgTransform* rootTransform(kgiCharacter* c) {
    ksgNode* root = kgiWorldLinks::characterRoot(c);
    return root ? root->asTransform() : nullptr;
}

// A time outside [start, end] brought inside by whole lengths of the range,
// so a step of any size lands where one subtraction per lap would put it
// (2 frames past the end gives start + 2). An empty range gives start.
float wrapIntoRange(float t, float start, float end) {
    const float length = end - start;
    if (!(length > 0.0f)) return start;
    if (t > end) t -= std::ceil((t - end) / length) * length;
    else if (t < start) t += std::ceil((start - t) / length) * length;
    // Rounding of very long steps must not leave the range.
    return std::min(std::max(t, start), end);
}

int clampUnit(int v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

} // namespace

kgiWorld* kgiWorld::instance() {
    static kgiWorld world;
    return &world;
}

kgiWorld::kgiWorld() : characters(kgiCharacterTable::instance()) {}

kgiWorld::~kgiWorld() {
    removeAllCharacters();
    kgiWorldLinks::deleteScene(scene);
    scene = nullptr;
}

void kgiWorld::init() {
    // A second call would register two more lights and eight more materials.
    if (initialised) return;
    initialised = true;
    kgiLightTable* lights = kgiLightTable::instance();
    if (kgcLight* key = lights->create()) {
        const float position[3] = {0.0f, 0.0f, 1.0f};
        const float diffuse[4] = {0.95f, 0.95f, 0.95f, 1.0f};
        const float ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        const float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        key->setType(kgcLight::DIRECTIONAL);
        key->setPosition(position);
        key->setDiffuse(diffuse);
        key->setAmbient(ambient);
        key->setSpecular(specular);
    }
    if (kgcLight* fill = lights->create()) {
        const float position[3] = {0.0f, 1.0f, 1.0f};
        const float diffuse[4] = {0.9f, 0.9f, 0.9f, 1.0f};
        const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
        const float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        fill->setType(kgcLight::POINT);
        fill->setPosition(position);
        fill->setDiffuse(diffuse);
        fill->setAmbient(ambient);
        fill->setSpecular(specular);
    }

    kgcMaterial* made[8] = {};
    for (int i = 0; i < 8; ++i) {
        kgcMaterial* m = kgiMaterialTable::instance()->create();
        if (!m) continue;
        const HighlightColours& c = HIGHLIGHTS[i];
        m->setDiffuse(c.diffuse[0], c.diffuse[1], c.diffuse[2], c.diffuse[3]);
        m->setAmbient(c.ambient[0], c.ambient[1], c.ambient[2], c.ambient[3]);
        m->setSpecular(c.specular[0], c.specular[1], c.specular[2], c.specular[3]);
        m->setShininess(HIGHLIGHT_SHININESS);
        made[i] = m;
    }
    kgiWorldLinks::setHighlightMaterials(made);
    ghost.material = made[1];

    if (!scene) scene = kgiWorldLinks::newScene();
}

void kgiWorld::setCurrentTime(float frames) {
    if (!(frames >= 0.0f)) frames = 0.0f;  // also catches NaN
    currentTime = frames;
    std::vector<kgiCharacter*> all;
    characters->listAll(all);
    for (kgiCharacter* c : all) kgiWorldLinks::setCharacterTime(c, currentTime);
}

void kgiWorld::setStartFrame(float v) {
    if (v >= 0.0f && v <= endFrame) startFrame = v;
}

void kgiWorld::setEndFrame(float v) {
    if (v >= 0.0f && v >= startFrame) endFrame = v;
}

bool kgiWorld::setFrameRange(float start, float end) {
    if (!(start >= 0.0f) || !(end >= start)) return false;  // also catches NaN
    // Each setter refuses a value that would cross the other end, so the
    // end that moves away from the other goes first.
    if (start > endFrame) {
        setEndFrame(end);
        setStartFrame(start);
    } else {
        setStartFrame(start);
        setEndFrame(end);
    }
    return true;
}

float kgiWorld::getLastKeyTime() const {
    const std::vector<float>* keys = kgiWorldLinks::characterKeyTimes(getCurrentCharacter());
    return keys && !keys->empty() ? keys->back() : 0.0f;
}

void kgiWorld::advancePlayback(bool reverse) {
    if (!playing) return;
    advancePlaybackBy(kutGetDeltaTime(), reverse);
}

void kgiWorld::advancePlaybackBy(float seconds, bool reverse) {
    if (!playing) return;
    if (!(seconds > 0.0f) || !std::isfinite(seconds)) seconds = 0.0f;
    frameCarry += seconds * fps;
    const float whole = std::trunc(frameCarry);
    frameCarry -= whole;
    currentTime += reverse ? -whole : whole;

    syncMediaTracks();

    if (currentTime > endFrame) {
        if (!loop) {
            setPlaying(false);
            setCurrentTime(autoReturn ? startFrame : endFrame);
            return;
        }
        currentTime = wrapIntoRange(currentTime, startFrame, endFrame);
    } else if (currentTime < startFrame) {
        // Forward play from before the range enters it at its start;
        // reverse play wraps round to its end.
        currentTime = reverse ? wrapIntoRange(currentTime, startFrame, endFrame) : startFrame;
    }
    setCurrentTime(currentTime);
}

void kgiWorld::setPlaying(bool p) {
    playing = p;
    kgiApp* app = kgiApp::instance();
    if (p) {
        // A fraction left from an earlier run would make the first step of
        // this one early.
        frameCarry = 0.0f;
        kutResetTime();
        if (app) {
            app->enableOptionsDialog(false);
            // Playback advances from the idle pass: the first one comes at
            // once even when playback starts from a timeout.
            app->wakeIdle();
        }
        return;
    }
    if (kgiMediaTracks* media = getMediaTracks()) {
        const int n = media->getTrackCount();
        for (int i = 0; i < n; ++i) {
            media->stopTrack(i);
            if (kgiMediaTrackInfo* info = media->getTrackInfo(i)) info->playing = false;
        }
    }
    if (app && !app->isCourseRunning()) app->enableOptionsDialog(true);
}

kgiMediaTracks* kgiWorld::getMediaTracks() {
    if (!mediaTracks && mediaTracksMaker) {
        // Once only: a host that could not be built is not tried again.
        kgiMediaTracks* (*maker)() = mediaTracksMaker;
        mediaTracksMaker = nullptr;
        kgiMediaTracks* made = maker();
        if (!mediaTracks) mediaTracks = made;
    }
    return mediaTracks;
}

void kgiWorld::syncMediaTracks() {
    kgiMediaTracks* media = getMediaTracks();
    if (!media) return;
    // Whole frames, and never outside what an int holds.
    const float clamped = std::min(std::max(currentTime, -2.0e9f), 2.0e9f);
    const int f = static_cast<int>(clamped);
    const int n = media->getTrackCount();
    for (int i = 0; i < n; ++i) {
        kgiMediaTrackInfo* info = media->getTrackInfo(i);
        if (!info || !info->active) continue;
        if (info->playing) {
            if (f >= info->endFrame || f < info->lastFrame || static_cast<float>(f) >= endFrame) {
                media->stopTrack(i);
                info->playing = false;
            } else {
                info->lastFrame = f;
            }
        } else if (info->startFrame <= f && f < info->endFrame) {
            const float ms = (currentTime - static_cast<float>(info->startFrame)) * 1000.0f / fps +
                             static_cast<float>(info->offsetMs);
            media->playTrack(i, static_cast<int>(ms));
            info->playing = true;
            info->lastFrame = f;
        }
    }
}

int kgiWorld::createCharacter() {
    return characters->create();
}

bool kgiWorld::removeCharacter(int id) {
    // The curve editors hold joints, curves and keys of characters: they
    // let go before any of them is freed.
    if (kgiApp* app = kgiApp::instance()) app->clearCurveLists();
    kgiCharacter* c = characters->find(id);
    if (c && scene) {
        if (ksgScene* base = kgiWorldLinks::sceneBase(scene)) base->remRoot(rootTransform(c));
    }
    if (c && id == currentId) currentId = -1;
    // A manipulator hangs under its target joint, so the freed tree would
    // take it along while the canvas still uses it: detach it first.
    if (ksgNode* root = kgiWorldLinks::characterRoot(c)) {
        for (ksgManipulator* m : manipulators)
            if (m->getTarget() && m->getTarget()->getRoot() == root) m->setTarget(nullptr);
    }
    return characters->remove(id);
}

void kgiWorld::removeAllCharacters() {
    if (kgiApp* app = kgiApp::instance()) app->clearCurveLists();
    std::vector<kgiCharacter*> all;
    characters->listAll(all);
    if (ksgScene* base = scene ? kgiWorldLinks::sceneBase(scene) : nullptr) {
        for (kgiCharacter* c : all) base->remRoot(rootTransform(c));
    }
    clearManipulatorTargets();
    characters->clear();
    currentId = -1;
}

void kgiWorld::setCurrentCharacter(int id) {
    currentId = characters->find(id) ? id : -1;
}

kgiCharacter* kgiWorld::getCurrentCharacter() const {
    return currentId < 0 ? nullptr : characters->find(currentId);
}

kgiCharacter* kgiWorld::findCharacterOfNode(ksgNode* node) const {
    if (!node) return nullptr;
    ksgNode* top = node->getRoot();
    std::vector<kgiCharacter*> all;
    characters->listAll(all);
    for (kgiCharacter* c : all) {
        if (c && kgiWorldLinks::characterRoot(c) == top) return c;
    }
    return nullptr;
}

int kgiWorld::setCurrentCharacterOfNode(ksgNode* node) {
    const int id = characters->idOf(findCharacterOfNode(node));
    setCurrentCharacter(id);
    return currentId;
}

bool kgiWorld::saveAllMotions() {
    std::vector<kgiCharacter*> all;
    characters->listAll(all);
    bool ok = true;
    for (kgiCharacter* c : all) ok = kgiWorldLinks::saveCharacterMotion(c) && ok;
    return ok;
}

void kgiWorld::updateAllCharacters() {
    setCurrentTime(currentTime);
    kgiWorldLinks::checkCollisions();
}

kgcAxisAlignedBox kgiWorld::getBounds() const {
    kgcAxisAlignedBox box;
    std::vector<kgiCharacter*> all;
    characters->listAll(all);
    for (kgiCharacter* c : all) {
        if (ksgNode* root = kgiWorldLinks::characterRoot(c)) {
            kgcAxisAlignedBox b = root->getBounds();
            box.merge(&b);
        }
    }
    return box;
}

void kgiWorld::addManipulator(ksgManipulator* m) {
    if (m && std::find(manipulators.begin(), manipulators.end(), m) == manipulators.end())
        manipulators.push_back(m);
}

void kgiWorld::removeManipulator(ksgManipulator* m) {
    manipulators.erase(std::remove(manipulators.begin(), manipulators.end(), m), manipulators.end());
}

void kgiWorld::addViewpoint(ksgViewpoint* v) {
    if (v && std::find(viewpoints.begin(), viewpoints.end(), v) == viewpoints.end())
        viewpoints.push_back(v);
}

void kgiWorld::removeViewpoint(ksgViewpoint* v) {
    viewpoints.erase(std::remove(viewpoints.begin(), viewpoints.end(), v), viewpoints.end());
}

void kgiWorld::clearManipulatorTargets() {
    for (ksgManipulator* m : manipulators) m->setTarget(nullptr);
}

void kgiWorld::setUpAxis(int v) {
    upAxis = clampUnit(v);
    std::vector<ksgViewpoint*> all;
    kgiViewpointTable::instance()->listAll(all);
    for (ksgViewpoint* vp : all)
        if (vp) vp->setUpAxis(upAxis);
}

void kgiWorld::setViewpointMode(int v) {
    viewpointMode = clampUnit(v);
    std::vector<ksgViewpoint*> all;
    kgiViewpointTable::instance()->listAll(all);
    for (ksgViewpoint* vp : all)
        if (vp) vp->setMode(viewpointMode);
}

void kgiWorld::centerViews(int id) {
    kgcAxisAlignedBox box;
    ksgNode* root = kgiWorldLinks::characterRoot(characters->find(id));
    box = root ? root->getBounds() : getBounds();
    for (ksgViewpoint* vp : viewpoints) vp->center(box);
}
