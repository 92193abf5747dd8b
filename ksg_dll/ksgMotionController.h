#pragma once

#include <vector>

#include "kmlBaseCurve.h"
#include "kmlEuler.h"
#include "kmlEvaluator.h"
#include "kmlMatrix4.h"
#include "kmlQuat.h"
#include "kmlVec3.h"
#include "ksgBlendScheduler.h"
#include "ksgController.h"

class ksgMotionFrame;

// The key-framed motion of one joint: base curves (layer index -1), offset
// layers added on top, and tracks blended in and out by a scheduler. Each
// update evaluates the curves at the time into a frame and writes it into
// the target transform's local matrix. The controller owns every curve it
// holds. The kinds (ksgPController and the others) decide the channels and
// their curve, key and frame types.
//
// Times are in frames. Keys of a curve stay at least the time step apart;
// the application builds its controllers with a time step of 1.0.
class ksgMotionController : public ksgTimeBasedController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Bits of the evaluation flags.
    enum EvalFlag { EVAL_BASE = 1, EVAL_LAYERS = 2, EVAL_TRACKS = 4 };

    // channels: bit 0 position, bit 1 rotation.
    ksgMotionController(unsigned char channels, float timeStep);
    // A copy owns copies of every curve.
    ksgMotionController(const ksgMotionController& other);
    ksgMotionController& operator=(const ksgMotionController& other);
    ~ksgMotionController() override;

    // An empty layer list for getFrame.
    static const std::vector<int> NoLayerSet;

    float getTimeStep() const { return timeStep; }
    // Which parts evaluation includes (EvalFlag bits).
    unsigned short getFlags() const { return evalFlags; }
    void setFlags(unsigned short flags);
    void saveFlags() { savedEvalFlags = evalFlags; }
    void restoreFlags() { setFlags(savedEvalFlags); }

    // The joint's default pose, used where a channel has no keys.
    void setDefault(const kmlMatrix4& m);
    kmlMatrix4 getDefault() const { return defaultMatrix; }
    // A spare matrix for the caller; the controller never reads it.
    void setBuffer(const kmlMatrix4& m) { buffer = m; }
    kmlMatrix4 getBuffer() const { return buffer; }

    bool hasPosition() const { return (channels & 1) != 0; }
    bool hasRotation() const { return (channels & 2) != 0; }

    // Parts of the default pose (the time is not used).
    virtual kmlVec3 toPosition(float t);
    virtual kmlQuat toQuat(float t);
    virtual kmlEuler toEuler(float t);
    virtual kmlMatrix4 toMatrix(float t);
    // Interpolation of each channel; 3 (none) for a channel the kind lacks.
    virtual kmlEvalType getPositionInterpolation() const;
    virtual kmlEvalType getRotationInterpolation() const;
    virtual void setPositionInterpolation(kmlEvalType type);
    virtual void setRotationInterpolation(kmlEvalType type);

    const ksgBlendScheduler& getScheduler() const { return scheduler; }
    // The next update evaluates even if the time did not move.
    void forceUpdate() { dirty = true; }

    // Curves by layer or track index; null out of range. The controller
    // keeps owning them.
    kmlBaseCurve* getBasePosition() const { return basePosition; }
    kmlBaseCurve* getBaseRotation() const { return baseRotation; }
    kmlBaseCurve* getLayerPosition(int i) const;
    kmlBaseCurve* getLayerRotation(int i) const;
    kmlBaseCurve* getTrackPosition(int i) const;
    kmlBaseCurve* getTrackRotation(int i) const;
    // Installs a curve: index < 0 the base curve, else that layer's (isLayer)
    // or track's. The controller takes ownership and deletes the curve it
    // replaces. Refused (false, the caller keeps the curve) for a curve of
    // the wrong class, an index beyond the slots, or a curve the controller
    // holds already.
    bool setPositionCurve(kmlBaseCurve* curve, int index, bool isLayer);
    bool setRotationCurve(kmlBaseCurve* curve, int index, bool isLayer);

    // Layers: offsets added to the base, evaluated in index order.
    // newLayer reuses the first free slot; a new layer is enabled.
    int newLayer();
    void removeLayer(int i);
    void removeAllLayers();
    void enableLayer(int i, bool on);
    void enableLayers(const std::vector<int>& layers, bool on);
    void enableAllLayers(bool on);
    void getEnabledLayers(std::vector<int>& out) const;
    void getLayerSet(std::vector<int>& out) const { out = layerSet; }
    void setLayerSet(const std::vector<int>& set);
    void saveLayerSet() { savedLayerSet = layerSet; }
    void restoreLayerSet();
    int getNumLayers() const { return numLayers; }
    // Merges layer b into layer a key by key and keeps the result in the
    // lower slot; returns that slot, or -1 (nothing changed) for equal,
    // invalid or free slots.
    int mergeLayers(int a, int b);
    // Merges every layer into one; stops at the first merge that fails.
    void mergeAllLayers();

    // Tracks: curves blended in and out as the scheduler times them.
    int newTrack();
    void removeTrack(int i);
    void removeAllTracks();
    // Times a track (shaping codes of modifyBlendParam for the fades);
    // false for a free or invalid slot or a timing the scheduler refuses.
    bool setTrackParameters(int track, float start, float inLength, unsigned char inType, float end,
                            float outLength, unsigned char outType);
    int getNumTracks() const { return numTracks; }

    // A new frame of this kind (caller deletes it).
    virtual ksgMotionFrame* newFrame() = 0;
    // Whether the frame is of this kind.
    virtual bool validFrame(ksgMotionFrame* frame) = 0;

    // Adds the frame as a key (replacing a key at its time): an offset
    // frame to the curves of the given layer, any other frame to the base
    // curves (layer ignored). True when a key was added.
    bool addFrame(ksgMotionFrame* frame, int layer);
    // Between true and false, the base curves leave the tangent updates of
    // the keys addFrame adds to the end (kmlBaseCurve::deferUpdates): a run
    // of keys costs one update a key, with the same curves. Do not evaluate
    // in between.
    void deferKeyUpdates(bool on);
    // The base keys at ascending times: for each time a new frame (the
    // caller owns it), the one getFrame with EVAL_BASE gives there when
    // every channel of the kind holds a key at that time, else null. Each
    // key of the span is looked at once instead of searched for at each
    // time (times not ascending are searched for one by one).
    virtual void getBaseKeyFrames(const std::vector<float>& times, std::vector<ksgMotionFrame*>& out) = 0;
    // Evaluates at the frame's time into the frame. flags 1: base curves
    // only; flags 2 with one layer: that layer alone (an offset frame);
    // otherwise with these flags and only these layers enabled, which are
    // put back afterwards.
    void getFrame(ksgMotionFrame* frame, unsigned short flags, const std::vector<int>& layers);
    // Key queries on the layer's position curve (its rotation curve when it
    // has no position curve); layer -1 the base.
    bool hasKeyTime(float t, int layer);
    void getKeysTime(std::vector<float>& times, int layer);
    // The same for the keys with from <= time <= to only, found by search:
    // the cost follows the keys in the span, not all keys.
    void getKeysTime(std::vector<float>& times, float from, float to, int layer);
    // Gives key i the i-th time, on both curves of the layer (any negative
    // layer: the base). A key whose new time is within one time step of its
    // old one keeps it. Nothing changes when, on either curve, the result
    // would not be ascending at least one time step apart.
    void setKeysTime(const std::vector<float>& times, bool update, int layer);
    // Shift the first key after start and every later key by -length or
    // +length (any negative layer: the base).
    void removeFrames(float start, float length, int layer);
    void insertFrames(float start, float length, int layer);

    // Key edits on both curves of the layer (-1 the base); true when either
    // curve changed.
    bool remove(float t, int layer);
    bool remove(float start, float length, int layer);
    bool move(float from, float to, int layer);
    bool shift(float t, float dt, kmlCurveShiftType type, int layer);
    bool duplicate(float from, float to, int layer);
    bool duplicateRange(float start, float length, float dest, int layer);

    using ksgTimeBasedController::update;
    // Evaluates at t when something changed or t moved at least one time
    // step from the last update; false without base curves or when skipped.
    bool update(float t) override;

protected:
    // Base, then the enabled layers as offsets.
    void eval(ksgMotionFrame* frame);
    // Tracks as the scheduler times them, else eval.
    void evalBlend(ksgMotionFrame* frame);
    // Shapes a fade's progress x in [0, 1]: 0 none, 1 linear,
    // 2 x^3 - 3x^2 + 3x, 3 x^3, 4 x^2 (3 - 2x); other codes linear.
    float modifyBlendParam(unsigned char type, float x) const;
    float convertTime(float t) const { return t; }
    void setKeysTime(kmlBaseCurve* curve, const std::vector<float>& times, bool update);
    // Merges one channel of two layers; null when either has no curve.
    kmlBaseCurve* mergeLayersPosition(int a, int b);
    kmlBaseCurve* mergeLayersRotation(int a, int b);

    // The channel work of a kind. A kind without a channel leaves its
    // operations empty (null curves and keys, false checks).
    virtual bool validPositionCurve(kmlBaseCurve* curve) = 0;
    virtual bool validRotationCurve(kmlBaseCurve* curve) = 0;
    virtual kmlBaseCurve* newRotationCurve() = 0;
    virtual kmlBaseCurve* newPositionCurve() = 0;
    // A new key at a's time holding a's value combined with b's.
    virtual kmlBaseKey* mergeRotationKeys(kmlBaseKey* a, kmlBaseKey* b) = 0;
    virtual kmlBaseKey* mergePositionKeys(kmlBaseKey* a, kmlBaseKey* b) = 0;
    // Inserts a copy of the frame's key; false when the curve refused it.
    virtual bool addPositionKey(kmlBaseCurve* curve, ksgMotionFrame* frame) = 0;
    virtual bool addRotationKey(kmlBaseCurve* curve, ksgMotionFrame* frame) = 0;
    // The channel at the frame's time from the base (index < 0), a layer
    // (isLayer) or a track. A layer without keys adds nothing; the base or
    // a track without keys gives the default pose.
    virtual void evalPosition(ksgMotionFrame* frame, int index, bool isLayer) = 0;
    virtual void evalRotation(ksgMotionFrame* frame, int index, bool isLayer) = 0;
    // frame = frame combined with the layer frame's value.
    virtual void offsetPosition(ksgMotionFrame* frame, ksgMotionFrame* layerFrame) = 0;
    virtual void offsetRotation(ksgMotionFrame* frame, ksgMotionFrame* layerFrame) = 0;
    // a moves towards b by w (0 keeps a, 1 gives b).
    virtual void blendPosition(ksgMotionFrame* a, ksgMotionFrame* b, float w) = 0;
    virtual void blendRotation(ksgMotionFrame* a, ksgMotionFrame* b, float w) = 0;

private:
    struct LayerSlot {
        bool enabled;
        kmlBaseCurve* position;
        kmlBaseCurve* rotation;
    };
    struct TrackSlot {
        bool valid;
        kmlBaseCurve* position;
        kmlBaseCurve* rotation;
        unsigned char inType;
        unsigned char outType;
    };

    void copyFrom(const ksgMotionController& other);
    void deleteAll();
    bool holds(const kmlBaseCurve* curve) const;
    bool install(kmlBaseCurve*& slot, kmlBaseCurve* curve);
    kmlBaseCurve** positionSlot(int index, bool isLayer);
    kmlBaseCurve** rotationSlot(int index, bool isLayer);
    // The layer's curves; the base for -1 (or any negative index when
    // anyNegativeIsBase).
    void curvesOf(int layer, bool anyNegativeIsBase, kmlBaseCurve*& position,
                  kmlBaseCurve*& rotation) const;
    bool layerFree(int i) const;
    bool trackFree(int i) const;
    void newLayerAt(int i);
    void newTrackAt(int i);
    kmlBaseCurve* mergeCurves(kmlBaseCurve* a, kmlBaseCurve* b, bool position);
    void shiftFrom(float start, float dt, int layer);
    unsigned char fadeShape(const ksgBlendScheduler::Interval& iv) const;
    void evalSource(ksgMotionFrame* frame, int track, float t);
    bool planKeysTime(const kmlBaseCurve* curve, const std::vector<float>& times) const;
    void recount();

    unsigned char channels;
    unsigned short evalFlags;
    unsigned short savedEvalFlags;
    kmlBaseCurve* basePosition;
    kmlBaseCurve* baseRotation;
    std::vector<LayerSlot> layers;
    std::vector<TrackSlot> tracks;
    int numLayers;
    int numTracks;
    ksgBlendScheduler scheduler;
    kmlMatrix4 defaultMatrix;
    kmlMatrix4 buffer;
    bool dirty;
    std::vector<int> layerSet;
    std::vector<int> savedLayerSet;
    float timeStep;
};
