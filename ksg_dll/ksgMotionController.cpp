#include "ksgMotionController.h"

#include <algorithm>
#include <cmath>

#include "kmlMath.h"
#include "ksgMotionFrame.h"

const kutRtti ksgMotionController::RTTI("ksgMotionController", &ksgTimeBasedController::RTTI);
const kutRtti* ksgMotionController::getRtti() const { return &RTTI; }

const std::vector<int> ksgMotionController::NoLayerSet;

namespace {
const unsigned short ALL_PARTS = 7;
// Shaping code for a fade whose slot is unknown: linear.
const unsigned char LINEAR_FADE = 1;
} // namespace

ksgMotionController::ksgMotionController(unsigned char ch, float step)
    : channels(static_cast<unsigned char>(ch & 3)), evalFlags(ALL_PARTS), savedEvalFlags(ALL_PARTS),
      basePosition(nullptr), baseRotation(nullptr), numLayers(0), numTracks(0), dirty(true),
      timeStep(step)
{
}

ksgMotionController::ksgMotionController(const ksgMotionController& other)
    : ksgTimeBasedController(other), basePosition(nullptr), baseRotation(nullptr)
{
    copyFrom(other);
}

ksgMotionController& ksgMotionController::operator=(const ksgMotionController& other)
{
    if (this != &other) {
        ksgTimeBasedController::operator=(other);
        deleteAll();
        copyFrom(other);
    }
    return *this;
}

ksgMotionController::~ksgMotionController() { deleteAll(); }

namespace {
kmlBaseCurve* cloneOf(const kmlBaseCurve* c) { return c != nullptr ? c->clone() : nullptr; }
} // namespace

void ksgMotionController::copyFrom(const ksgMotionController& other)
{
    channels = other.channels;
    evalFlags = other.evalFlags;
    savedEvalFlags = other.savedEvalFlags;
    basePosition = cloneOf(other.basePosition);
    baseRotation = cloneOf(other.baseRotation);
    layers = other.layers;
    for (LayerSlot& slot : layers) {
        slot.position = cloneOf(slot.position);
        slot.rotation = cloneOf(slot.rotation);
    }
    tracks = other.tracks;
    for (TrackSlot& slot : tracks) {
        slot.position = cloneOf(slot.position);
        slot.rotation = cloneOf(slot.rotation);
    }
    numLayers = other.numLayers;
    numTracks = other.numTracks;
    scheduler = other.scheduler;
    defaultMatrix = other.defaultMatrix;
    buffer = other.buffer;
    dirty = true;
    layerSet = other.layerSet;
    savedLayerSet = other.savedLayerSet;
    timeStep = other.timeStep;
}

void ksgMotionController::deleteAll()
{
    for (TrackSlot& slot : tracks) {
        delete slot.position;
        delete slot.rotation;
    }
    tracks.clear();
    for (LayerSlot& slot : layers) {
        delete slot.position;
        delete slot.rotation;
    }
    layers.clear();
    delete basePosition;
    delete baseRotation;
    basePosition = nullptr;
    baseRotation = nullptr;
    numLayers = 0;
    numTracks = 0;
}

void ksgMotionController::setFlags(unsigned short flags)
{
    if (flags != evalFlags)
        dirty = true;
    evalFlags = flags;
}

void ksgMotionController::setDefault(const kmlMatrix4& m)
{
    defaultMatrix = m;
    dirty = true;
}

kmlVec3 ksgMotionController::toPosition(float)
{
    return ksgMotionChannel<kmlTCKey<3>>::fromMatrix(defaultMatrix);
}

kmlQuat ksgMotionController::toQuat(float) { return defaultMatrix.toQuat(); }

kmlEuler ksgMotionController::toEuler(float) { return defaultMatrix.toEuler(5); }

kmlMatrix4 ksgMotionController::toMatrix(float) { return defaultMatrix; }

kmlEvalType ksgMotionController::getPositionInterpolation() const
{
    return ksgNoChannelEvaluator().getType();
}

kmlEvalType ksgMotionController::getRotationInterpolation() const
{
    return ksgNoChannelEvaluator().getType();
}

void ksgMotionController::setPositionInterpolation(kmlEvalType) {}

void ksgMotionController::setRotationInterpolation(kmlEvalType) {}

// ---- curves -----------------------------------------------------------

kmlBaseCurve* ksgMotionController::getLayerPosition(int i) const
{
    return i >= 0 && i < static_cast<int>(layers.size()) ? layers[static_cast<size_t>(i)].position
                                                         : nullptr;
}

kmlBaseCurve* ksgMotionController::getLayerRotation(int i) const
{
    return i >= 0 && i < static_cast<int>(layers.size()) ? layers[static_cast<size_t>(i)].rotation
                                                         : nullptr;
}

kmlBaseCurve* ksgMotionController::getTrackPosition(int i) const
{
    return i >= 0 && i < static_cast<int>(tracks.size()) ? tracks[static_cast<size_t>(i)].position
                                                         : nullptr;
}

kmlBaseCurve* ksgMotionController::getTrackRotation(int i) const
{
    return i >= 0 && i < static_cast<int>(tracks.size()) ? tracks[static_cast<size_t>(i)].rotation
                                                         : nullptr;
}

kmlBaseCurve** ksgMotionController::positionSlot(int index, bool isLayer)
{
    if (index < 0)
        return &basePosition;
    if (isLayer)
        return index < static_cast<int>(layers.size()) ? &layers[static_cast<size_t>(index)].position
                                                       : nullptr;
    return index < static_cast<int>(tracks.size()) ? &tracks[static_cast<size_t>(index)].position
                                                   : nullptr;
}

kmlBaseCurve** ksgMotionController::rotationSlot(int index, bool isLayer)
{
    if (index < 0)
        return &baseRotation;
    if (isLayer)
        return index < static_cast<int>(layers.size()) ? &layers[static_cast<size_t>(index)].rotation
                                                       : nullptr;
    return index < static_cast<int>(tracks.size()) ? &tracks[static_cast<size_t>(index)].rotation
                                                   : nullptr;
}

bool ksgMotionController::holds(const kmlBaseCurve* curve) const
{
    if (curve == basePosition || curve == baseRotation)
        return true;
    for (const LayerSlot& slot : layers) {
        if (curve == slot.position || curve == slot.rotation)
            return true;
    }
    for (const TrackSlot& slot : tracks) {
        if (curve == slot.position || curve == slot.rotation)
            return true;
    }
    return false;
}

void ksgMotionController::recount()
{
    numLayers = 0;
    for (size_t i = 0; i < layers.size(); ++i)
        numLayers += layerFree(static_cast<int>(i)) ? 0 : 1;
    numTracks = 0;
    for (size_t i = 0; i < tracks.size(); ++i)
        numTracks += trackFree(static_cast<int>(i)) ? 0 : 1;
}

bool ksgMotionController::install(kmlBaseCurve*& slot, kmlBaseCurve* curve)
{
    // A curve held already (in this slot or another) would end up deleted
    // while still in use.
    if (holds(curve))
        return false;
    delete slot;
    slot = curve;
    recount();
    dirty = true;
    return true;
}

bool ksgMotionController::setPositionCurve(kmlBaseCurve* curve, int index, bool isLayer)
{
    if (!validPositionCurve(curve))
        return false;
    kmlBaseCurve** slot = positionSlot(index, isLayer);
    return slot != nullptr && install(*slot, curve);
}

bool ksgMotionController::setRotationCurve(kmlBaseCurve* curve, int index, bool isLayer)
{
    if (!validRotationCurve(curve))
        return false;
    kmlBaseCurve** slot = rotationSlot(index, isLayer);
    return slot != nullptr && install(*slot, curve);
}

void ksgMotionController::curvesOf(int layer, bool anyNegativeIsBase, kmlBaseCurve*& position,
                                   kmlBaseCurve*& rotation) const
{
    if (layer == -1 || (anyNegativeIsBase && layer < 0)) {
        position = basePosition;
        rotation = baseRotation;
    } else {
        position = getLayerPosition(layer);
        rotation = getLayerRotation(layer);
    }
}

// ---- layers -----------------------------------------------------------

bool ksgMotionController::layerFree(int i) const
{
    const LayerSlot& slot = layers[static_cast<size_t>(i)];
    return slot.position == nullptr && slot.rotation == nullptr;
}

bool ksgMotionController::trackFree(int i) const
{
    const TrackSlot& slot = tracks[static_cast<size_t>(i)];
    return slot.position == nullptr && slot.rotation == nullptr;
}

void ksgMotionController::newLayerAt(int i)
{
    LayerSlot& slot = layers[static_cast<size_t>(i)];
    slot.position = newPositionCurve();
    slot.rotation = newRotationCurve();
    enableLayer(i, true);
}

int ksgMotionController::newLayer()
{
    int i = 0;
    while (i < static_cast<int>(layers.size()) && !layerFree(i))
        ++i;
    if (i == static_cast<int>(layers.size()))
        layers.push_back(LayerSlot{false, nullptr, nullptr});
    newLayerAt(i);
    ++numLayers;
    dirty = true;
    return i;
}

void ksgMotionController::removeLayer(int i)
{
    if (i < 0 || i >= static_cast<int>(layers.size()))
        return;
    LayerSlot& slot = layers[static_cast<size_t>(i)];
    bool held = !layerFree(i);
    delete slot.position;
    delete slot.rotation;
    slot = LayerSlot{false, nullptr, nullptr};
    if (held) {
        --numLayers;
        dirty = true;
    }
}

void ksgMotionController::removeAllLayers()
{
    if (!layers.empty())
        dirty = true;
    for (size_t i = 0; i < layers.size(); ++i)
        removeLayer(static_cast<int>(i));
    layers.clear();
    layerSet.clear();
    savedLayerSet.clear();
    numLayers = 0;
}

void ksgMotionController::enableLayer(int i, bool on)
{
    if (i < 0 || i >= static_cast<int>(layers.size()) || layerFree(i))
        return;
    LayerSlot& slot = layers[static_cast<size_t>(i)];
    // What update evaluates changes with it.
    if (slot.enabled != on)
        dirty = true;
    slot.enabled = on;
    auto it = std::find(layerSet.begin(), layerSet.end(), i);
    if (on && it == layerSet.end())
        layerSet.push_back(i);
    else if (!on && it != layerSet.end())
        layerSet.erase(it);
}

void ksgMotionController::enableLayers(const std::vector<int>& list, bool on)
{
    for (int i : list)
        enableLayer(i, on);
}

void ksgMotionController::enableAllLayers(bool on)
{
    for (size_t i = 0; i < layers.size(); ++i)
        enableLayer(static_cast<int>(i), on);
}

void ksgMotionController::getEnabledLayers(std::vector<int>& out) const
{
    out.clear();
    for (size_t i = 0; i < layers.size(); ++i) {
        if (layers[i].enabled)
            out.push_back(static_cast<int>(i));
    }
}

void ksgMotionController::setLayerSet(const std::vector<int>& set)
{
    std::vector<int> wanted(set); // set may be layerSet itself
    enableAllLayers(false);
    enableLayers(wanted, true);
}

void ksgMotionController::restoreLayerSet()
{
    std::vector<int> wanted(savedLayerSet);
    enableAllLayers(false);
    enableLayers(wanted, true);
}

kmlBaseCurve* ksgMotionController::mergeCurves(kmlBaseCurve* a, kmlBaseCurve* b, bool position)
{
    if (a->getNumKeys() == 0)
        return b->clone();
    if (b->getNumKeys() == 0)
        return a->clone();
    kmlBaseCurve* merged = position ? newPositionCurve() : newRotationCurve();
    if (merged == nullptr)
        return nullptr;
    merged->smoothEdit(true);
    int i = 0, j = 0;
    const int na = a->getNumKeys(), nb = b->getNumKeys();
    while (i < na || j < nb) {
        kmlBaseKey* ka = i < na ? a->getKey(i) : nullptr;
        kmlBaseKey* kb = j < nb ? b->getKey(j) : nullptr;
        kmlBaseKey* key;
        if (kb == nullptr) {
            key = ka->clone();
            ++i;
        } else if (ka == nullptr) {
            key = kb->clone();
            ++j;
        } else if (ka->getTime() == kb->getTime()) {
            key = position ? mergePositionKeys(ka, kb) : mergeRotationKeys(ka, kb);
            ++i;
            ++j;
        } else if (kb->getTime() < ka->getTime()) {
            key = kb->clone();
            ++j;
        } else {
            key = ka->clone();
            ++i;
        }
        if (key != nullptr && !merged->insert(key))
            delete key;
    }
    return merged;
}

kmlBaseCurve* ksgMotionController::mergeLayersPosition(int a, int b)
{
    kmlBaseCurve* ca = getLayerPosition(a);
    kmlBaseCurve* cb = getLayerPosition(b);
    return ca != nullptr && cb != nullptr ? mergeCurves(ca, cb, true) : nullptr;
}

kmlBaseCurve* ksgMotionController::mergeLayersRotation(int a, int b)
{
    kmlBaseCurve* ca = getLayerRotation(a);
    kmlBaseCurve* cb = getLayerRotation(b);
    return ca != nullptr && cb != nullptr ? mergeCurves(ca, cb, false) : nullptr;
}

int ksgMotionController::mergeLayers(int a, int b)
{
    const int n = static_cast<int>(layers.size());
    if (a == b || a < 0 || b < 0 || a >= n || b >= n || layerFree(a) || layerFree(b))
        return -1;
    kmlBaseCurve* position = hasPosition() ? mergeLayersPosition(a, b) : nullptr;
    kmlBaseCurve* rotation = hasRotation() ? mergeLayersRotation(a, b) : nullptr;
    if (position == nullptr && rotation == nullptr)
        return -1;
    removeLayer(a);
    removeLayer(b);
    const int m = std::min(a, b);
    layers[static_cast<size_t>(m)].position = position;
    layers[static_cast<size_t>(m)].rotation = rotation;
    ++numLayers;
    enableLayer(m, true);
    dirty = true;
    return m;
}

void ksgMotionController::mergeAllLayers()
{
    for (;;) {
        int a = -1, b = -1;
        for (int i = 0; i < static_cast<int>(layers.size()) && b == -1; ++i) {
            if (layerFree(i))
                continue;
            if (a == -1)
                a = i;
            else
                b = i;
        }
        if (b == -1 || mergeLayers(a, b) == -1)
            return;
    }
}

// ---- tracks -----------------------------------------------------------

void ksgMotionController::newTrackAt(int i)
{
    TrackSlot& slot = tracks[static_cast<size_t>(i)];
    slot.position = newPositionCurve();
    slot.rotation = newRotationCurve();
    slot.valid = false;
}

int ksgMotionController::newTrack()
{
    int i = 0;
    while (i < static_cast<int>(tracks.size()) && !trackFree(i))
        ++i;
    if (i == static_cast<int>(tracks.size()))
        tracks.push_back(TrackSlot{false, nullptr, nullptr, LINEAR_FADE, LINEAR_FADE});
    newTrackAt(i);
    ++numTracks;
    dirty = true;
    return i;
}

void ksgMotionController::removeTrack(int i)
{
    if (i < 0 || i >= static_cast<int>(tracks.size()))
        return;
    TrackSlot& slot = tracks[static_cast<size_t>(i)];
    bool held = !trackFree(i);
    delete slot.position;
    delete slot.rotation;
    slot.position = nullptr;
    slot.rotation = nullptr;
    slot.valid = false;
    // Its timing goes too, or the scheduler would keep blending the free
    // slot in as the default pose.
    ksgBlendScheduler::TrackInfo info;
    bool timed = scheduler.getTrackInfo(i, info);
    scheduler.remTrack(i);
    if (held)
        --numTracks;
    if (held || timed)
        dirty = true;
}

void ksgMotionController::removeAllTracks()
{
    if (!tracks.empty())
        dirty = true;
    for (size_t i = 0; i < tracks.size(); ++i)
        removeTrack(static_cast<int>(i));
    tracks.clear();
    numTracks = 0;
}

bool ksgMotionController::setTrackParameters(int track, float start, float inLength,
                                             unsigned char inType, float end, float outLength,
                                             unsigned char outType)
{
    if (track < 0 || track >= static_cast<int>(tracks.size()) || trackFree(track))
        return false;
    TrackSlot& slot = tracks[static_cast<size_t>(track)];
    slot.inType = inType;
    slot.outType = outType;
    ksgBlendScheduler::TrackInfo info;
    bool timed = scheduler.getTrackInfo(track, info);
    slot.valid = scheduler.setTrack(track, start, inLength, end, outLength);
    // A refused timing also drops the one the track had.
    if (slot.valid || timed)
        dirty = true;
    return slot.valid;
}

// ---- keys and frames --------------------------------------------------

bool ksgMotionController::addFrame(ksgMotionFrame* frame, int layer)
{
    if (!validFrame(frame))
        return false;
    kmlBaseCurve* position;
    kmlBaseCurve* rotation;
    if (frame->isOffset()) {
        position = getLayerPosition(layer);
        rotation = getLayerRotation(layer);
    } else {
        position = basePosition;
        rotation = baseRotation;
    }
    bool added = false;
    if (position != nullptr && addPositionKey(position, frame))
        added = true;
    if (rotation != nullptr && addRotationKey(rotation, frame))
        added = true;
    if (added)
        dirty = true;
    return added;
}

void ksgMotionController::deferKeyUpdates(bool on)
{
    for (kmlBaseCurve* curve : {basePosition, baseRotation}) {
        if (curve != nullptr)
            curve->deferUpdates(on);
    }
    if (!on)
        dirty = true;
}

void ksgMotionController::getFrame(ksgMotionFrame* frame, unsigned short flags,
                                   const std::vector<int>& list)
{
    if (!validFrame(frame))
        return;
    if (flags == EVAL_BASE) {
        evalPosition(frame, -1, true);
        evalRotation(frame, -1, true);
    } else if (flags == EVAL_LAYERS && list.size() == 1) {
        evalPosition(frame, list[0], true);
        evalRotation(frame, list[0], true);
    } else {
        // The pose the joint shows is not changed by this look-up: keep
        // the pending flag as it was.
        bool wasDirty = dirty;
        saveFlags();
        saveLayerSet();
        setFlags(flags);
        setLayerSet(list);
        evalBlend(frame);
        restoreFlags();
        restoreLayerSet();
        dirty = wasDirty;
    }
}

bool ksgMotionController::hasKeyTime(float t, int layer)
{
    kmlBaseCurve *position, *rotation;
    curvesOf(layer, false, position, rotation);
    kmlBaseCurve* curve = position != nullptr ? position : rotation;
    return curve != nullptr && curve->hasKeyTime(t);
}

void ksgMotionController::getKeysTime(std::vector<float>& times, int layer)
{
    kmlBaseCurve *position, *rotation;
    curvesOf(layer, true, position, rotation);
    kmlBaseCurve* curve = position != nullptr ? position : rotation;
    if (curve != nullptr)
        curve->getKeysTime(times);
}

void ksgMotionController::getKeysTime(std::vector<float>& times, float from, float to, int layer)
{
    times.clear();
    kmlBaseCurve *position, *rotation;
    curvesOf(layer, true, position, rotation);
    kmlBaseCurve* curve = position != nullptr ? position : rotation;
    if (curve == nullptr)
        return;
    const int n = curve->getNumKeys();
    for (int i = curve->getPrevKeyIndex(from) + 1; i < n; ++i) {
        const float t = curve->getKey(i)->getTime();
        if (!(t <= to))
            break;
        if (from <= t)
            times.push_back(t);
    }
}

bool ksgMotionController::planKeysTime(const kmlBaseCurve* curve,
                                       const std::vector<float>& times) const
{
    if (curve == nullptr || curve->getNumKeys() != static_cast<int>(times.size()))
        return true; // this curve keeps its keys
    float previous = 0.0f;
    for (int i = 0; i < curve->getNumKeys(); ++i) {
        float old = curve->getKey(i)->getTime();
        float t = kml::Abs(times[static_cast<size_t>(i)] - old) >= timeStep
                      ? times[static_cast<size_t>(i)]
                      : old;
        if (!std::isfinite(t) || (i > 0 && !(t - previous >= timeStep)))
            return false;
        previous = t;
    }
    return true;
}

void ksgMotionController::setKeysTime(kmlBaseCurve* curve, const std::vector<float>& times,
                                      bool update)
{
    if (curve == nullptr)
        return;
    if (curve->getNumKeys() == static_cast<int>(times.size())) {
        // All times first, then the tangents: a key updated while a later
        // key still has its old time would be found out of order (the
        // curve looks keys up by time) or take its tangents from a stale
        // neighbour.
        std::vector<float> moved;
        for (int i = 0; i < curve->getNumKeys(); ++i) {
            kmlBaseKey* key = curve->getKey(i);
            float t = times[static_cast<size_t>(i)];
            if (kml::Abs(t - key->getTime()) >= timeStep) {
                key->setTime(t);
                moved.push_back(t);
            }
        }
        if (update) {
            for (float t : moved)
                curve->update(t, 0, 0);
        }
    }
    curve->updateRange();
    dirty = true;
}

void ksgMotionController::setKeysTime(const std::vector<float>& times, bool update, int layer)
{
    kmlBaseCurve *position, *rotation;
    curvesOf(layer, true, position, rotation);
    // Both curves or neither: the channels of a joint keep the same keys.
    if (!planKeysTime(position, times) || !planKeysTime(rotation, times))
        return;
    setKeysTime(position, times, update);
    setKeysTime(rotation, times, update);
}

void ksgMotionController::shiftFrom(float start, float dt, int layer)
{
    kmlBaseCurve *position, *rotation;
    curvesOf(layer, true, position, rotation);
    for (kmlBaseCurve* curve : {position, rotation}) {
        if (curve == nullptr)
            continue;
        // At the time of the last key the next index is the key count.
        int i = curve->getNextKeyIndex(start);
        if (i >= 0 && i < curve->getNumKeys() &&
            curve->shift(curve->getKey(i)->getTime(), dt, KML_SHIFT_AFTER))
            dirty = true;
    }
}

void ksgMotionController::removeFrames(float start, float length, int layer)
{
    shiftFrom(start, -length, layer);
}

void ksgMotionController::insertFrames(float start, float length, int layer)
{
    shiftFrom(start, length, layer);
}

// Runs one curve edit on the layer's position curve and then, whatever
// that did, on its rotation curve. An edit only ever sets the pending flag.
#define KSG_EDIT_BOTH(call)                                                                     \
    kmlBaseCurve *position, *rotation;                                                         \
    curvesOf(layer, false, position, rotation);                                                \
    bool changed = false;                                                                      \
    if (position != nullptr && position->call)                                                 \
        changed = true;                                                                        \
    if (rotation != nullptr && rotation->call)                                                 \
        changed = true;                                                                        \
    if (changed)                                                                               \
        dirty = true;                                                                          \
    return changed;

bool ksgMotionController::remove(float t, int layer) { KSG_EDIT_BOTH(remove(t)) }

bool ksgMotionController::remove(float start, float length, int layer)
{
    KSG_EDIT_BOTH(remove(start, length))
}

bool ksgMotionController::move(float from, float to, int layer) { KSG_EDIT_BOTH(move(from, to)) }

bool ksgMotionController::shift(float t, float dt, kmlCurveShiftType type, int layer)
{
    KSG_EDIT_BOTH(shift(t, dt, type))
}

bool ksgMotionController::duplicate(float from, float to, int layer)
{
    KSG_EDIT_BOTH(duplicate(from, to))
}

bool ksgMotionController::duplicateRange(float start, float length, float dest, int layer)
{
    KSG_EDIT_BOTH(duplicateRange(start, length, dest))
}

#undef KSG_EDIT_BOTH

// ---- evaluation -------------------------------------------------------

bool ksgMotionController::update(float t)
{
    if (basePosition == nullptr && baseRotation == nullptr)
        return false;
    if (!dirty && kml::Abs(t - getLastUpdateTime()) < timeStep)
        return false;
    ksgMotionFrame* frame = newFrame();
    frame->setTime(t);
    evalBlend(frame);
    frame->toNode(getTarget());
    delete frame;
    dirty = false;
    return true;
}

void ksgMotionController::eval(ksgMotionFrame* frame)
{
    if (evalFlags & EVAL_BASE) {
        evalPosition(frame, -1, true);
        evalRotation(frame, -1, true);
    }
    if (evalFlags & EVAL_LAYERS) {
        ksgMotionFrame* layerFrame = newFrame();
        layerFrame->setTime(frame->getTime());
        for (size_t i = 0; i < layers.size(); ++i) {
            if (!layers[i].enabled)
                continue;
            evalPosition(layerFrame, static_cast<int>(i), true);
            evalRotation(layerFrame, static_cast<int>(i), true);
            offsetPosition(frame, layerFrame);
            offsetRotation(frame, layerFrame);
        }
        delete layerFrame;
    }
}

void ksgMotionController::evalSource(ksgMotionFrame* frame, int track, float t)
{
    ksgBlendScheduler::TrackInfo info;
    if (scheduler.getTrackInfo(track, info)) {
        // Track curves start at their own time 0.
        frame->setTime(t - info.start);
        evalPosition(frame, track, false);
        evalRotation(frame, track, false);
    } else {
        frame->setTime(t);
        eval(frame);
    }
}

unsigned char ksgMotionController::fadeShape(const ksgBlendScheduler::Interval& iv) const
{
    // A fade to the base is shaped by the fading track's out code; a fade
    // from the base (no track on the A side) by the incoming track's in
    // code; a fade between tracks by the first track's in code.
    int track = iv.trackB == -1 || iv.trackA != -1 ? iv.trackA : iv.trackB;
    if (track < 0 || track >= static_cast<int>(tracks.size()))
        return LINEAR_FADE;
    const TrackSlot& slot = tracks[static_cast<size_t>(track)];
    return iv.trackB == -1 ? slot.outType : slot.inType;
}

void ksgMotionController::evalBlend(ksgMotionFrame* frame)
{
    const float t = frame->getTime();
    ksgBlendScheduler::Interval iv;
    if (!(evalFlags & EVAL_TRACKS) || !scheduler.getInterval(t, iv)) {
        eval(frame);
    } else if (!iv.blending) {
        evalSource(frame, iv.trackA, t);
    } else {
        ksgMotionFrame* a = newFrame();
        ksgMotionFrame* b = newFrame();
        evalSource(b, iv.trackB, t);
        evalSource(a, iv.trackA, t);
        float w = modifyBlendParam(fadeShape(iv), (t - iv.t0) / (iv.t1 - iv.t0));
        blendPosition(a, b, w);
        blendRotation(a, b, w);
        frame->copy(a);
        delete a;
        delete b;
    }
    // Track curves were read at their own times: the frame is at t.
    frame->setTime(t);
    frame->asOffset(false);
}

float ksgMotionController::modifyBlendParam(unsigned char type, float x) const
{
    switch (type) {
    case 0:
        return 0.0f;
    case 2:
        return x * x * x - 3.0f * x * x + 3.0f * x;
    case 3:
        return x * x * x;
    case 4:
        return x * x * (3.0f - 2.0f * x);
    default:
        return x;
    }
}
