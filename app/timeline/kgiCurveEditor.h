#pragma once
// The editing state of the curve editor, without a display: the visible
// range of the value-over-time graph, the shown channels, the selected keys,
// the rubber bands, the hit test, the mouse (as plain calls), the key and
// handle drags, the tangent presets and the painting. The canvas
// (kgiCurveCanvas) turns toolkit events into these calls and hands paint()
// its OpenGL drawing layer; tests hand it a recording one.
//
// Times are frames (the unit of the world's current time), values the
// channel's unit. Pixel coordinates are the toolkit's: origin at the top
// left, y growing downwards.
//
// The curves and keys are the character's: the editor holds them without
// owning them. A key deleted by an edit elsewhere (the time line, an undo)
// is freed at once, so the selection is checked against its curve before
// every use (kmlBaseCurve::owns compares pointers only). Whole curves must
// be dropped (clearCurves) before they are freed.
//
// Every visible range keeps a small minimum extent and a finite size, and
// every grid, sample and label loop runs a count fixed before it and bounded
// by the canvas size, so no zoom, pan or fit can hang a paint or make the
// projection invalid.
#include <functional>
#include <vector>

class kmlBaseCurve;
class kmlBaseKey;
template <int N>
class kmlTCKey;

// One shown channel of a curve: 0 X, 1 Y, 2 Z.
struct kgiCurveChannel {
    int channel = 0;
    kmlBaseCurve* curve = nullptr;
};

// One selected key: its channel, whether it belongs to a shown rotation
// curve, the key and the curve that held it when it was selected.
struct kgiCurveSelection {
    int channel = 0;
    bool rotation = false;
    kmlTCKey<3>* key = nullptr;
    kmlBaseCurve* curve = nullptr;
};

// A rubber band in curve coordinates: the normalised rectangle, where the
// drag began and where the pointer is now.
struct kgiCurveRect {
    float minTime = 0.0f;
    float maxTime = 0.0f;
    float minValue = 0.0f;
    float maxValue = 0.0f;
    float anchorTime = 0.0f;
    float anchorValue = 0.0f;
    float curTime = 0.0f;
    float curValue = 0.0f;

    // Every corner at the point.
    void begin(float t, float v);
    // The current corner at the point, the rectangle normalised.
    void drag(float t, float v);
};

// What the editor asks of its surroundings: requests only.
class kgiCurveHost {
public:
    virtual ~kgiCurveHost() = default;
    // The curve editors repaint at the next idle pass (kgiApp::redrawCurves).
    virtual void redrawCurves() = 0;
    // A key was edited: the joint re-evaluates and the 3D views follow (the
    // window's forceUpdate).
    virtual void forceUpdate() = 0;
};

// The drawing calls of a paint, in the order they are made. Curve
// coordinates unless said otherwise.
class kgiCurveDraw {
public:
    enum Primitive { LINES, LINE_STRIP, LINE_LOOP, QUADS };

    virtual ~kgiCurveDraw() = default;
    // Viewport (0, 0, width, height), orthographic projection of the range,
    // identity model-view.
    virtual void projection(float minTime, float maxTime, float minValue, float maxValue, int width,
                            int height) = 0;
    virtual void clear() = 0;
    virtual void color(float r, float g, float b) = 0;
    virtual void lineWidth(float w) = 0;
    // Dashed lines (factor 1, pattern 0xff00) on or off.
    virtual void stipple(bool on) = 0;
    virtual void begin(Primitive p) = 0;
    virtual void vertex(float t, float v) = 0;
    virtual void end() = 0;
    // Text in pixels from the lower left corner (labels only). Nothing is
    // drawn between beginLabels and endLabels but labels.
    virtual void beginLabels(int width, int height) = 0;
    virtual void label(int x, int y, const char* text) = 0;
    virtual void endLabels() = 0;
};

class kgiCurveEditor {
public:
    // What the last hit test found.
    enum HitPart { HIT_IN = 0, HIT_KEY = 1, HIT_OUT = 2, HIT_NONE = 5 };
    // Mouse buttons as the toolkit numbers them in click_button.
    enum Button { NO_BUTTON = 0, LEFT = 1, MIDDLE = 2, RIGHT = 3 };

    // The smallest time or value extent a range keeps, and the largest a
    // range may grow to (a zoom or pan beyond it is refused).
    static constexpr float MIN_EXTENT = 0.001f;
    static constexpr float MAX_EXTENT = 1.0e30f;
    // A zoom band narrower or lower than this many pixels applies nothing.
    static constexpr int MIN_BAND_PIXELS = 3;
    // Pixels around a point that a click still hits (strictly inside).
    static constexpr int HIT_PIXELS = 4;

    // The range 0..20 by -10..10, at the size given. The host is not owned
    // and must outlive the editor (null: requests go nowhere).
    explicit kgiCurveEditor(kgiCurveHost* host = nullptr, int width = 0, int height = 0);

    void setHost(kgiCurveHost* h) { host = h; }
    // The canvas size in pixels; the scales follow.
    void setSize(int width, int height);
    int getWidth() const { return width; }
    int getHeight() const { return height; }

    // --- range ---
    float getMinTime() const { return minTime; }
    float getMaxTime() const { return maxTime; }
    float getMinValue() const { return minValue; }
    float getMaxValue() const { return maxValue; }
    float getTimePerPixel() const { return timePerPixel; }
    float getValuePerPixel() const { return valuePerPixel; }
    float getTimeLabelStep() const { return timeLabelStep; }
    float getValueStep() const { return valueStep; }
    float getMarkerTime() const { return markerTime; }
    float getMarkerValue() const { return markerValue; }
    // Sets the visible range when it is finite and no wider than
    // MAX_EXTENT (else keeps the old one); an extent below MIN_EXTENT (or
    // too small to tell apart at that magnitude) grows about its centre.
    // Then updateScale, and the projection is set again at the next paint.
    void setRange(float t0, float t1, float v0, float v1);
    // Per-pixel sizes, marker sizes and grid steps from the range and size.
    void updateScale();
    // Both axes fitted to the shown curves with a 5 % margin (-10..10 when
    // none is shown). Keys at one time, or values that do not differ,
    // centre a range of 2 on them before the margin.
    void fitTime();
    void fitValue();
    // Each range grows (steps > 0) or shrinks by steps tenths of itself on
    // each side, about its centre.
    void zoom(int steps);
    // Both ranges resized about their centres so that the per-pixel sizes
    // stay as they are for the present canvas size.
    void keepScale();
    // Curve coordinates of a pixel.
    float pixelTime(int x) const;
    float pixelValue(int y) const;
    bool isProjectionDirty() const { return projectionDirty; }

    // --- shown channels ---
    // Ignored for a null curve, a curve whose keys are not kmlTCKey<3>, a
    // channel outside 0..2 or a pair shown already; else appended, both
    // axes refitted and a redraw requested.
    void addRotationCurve(kmlBaseCurve* curve, int channel);
    void addPositionCurve(kmlBaseCurve* curve, int channel);
    // The pair removed with its selected keys (no refit); a redraw.
    void removeRotationCurve(kmlBaseCurve* curve, int channel);
    void removePositionCurve(kmlBaseCurve* curve, int channel);
    // Every channel and the selection dropped; a redraw when one was shown.
    void clearCurves();
    const std::vector<kgiCurveChannel>& getRotationCurves() const { return rotationCurves; }
    const std::vector<kgiCurveChannel>& getPositionCurves() const { return positionCurves; }

    // --- iteration ---
    // fn(key, channel) for every key of every shown curve of that kind,
    // curve by curve in list order; false skips the rest of that curve.
    using KeyFn = std::function<bool(kmlTCKey<3>*, int)>;
    using CurveFn = std::function<bool(kmlBaseCurve*, int)>;
    void forEachRotationKey(const KeyFn& fn) const;
    void forEachPositionKey(const KeyFn& fn) const;
    // fn(curve, channel) for each shown pair in list order; stops at false.
    void forEachRotationCurve(const CurveFn& fn) const;
    void forEachPositionCurve(const CurveFn& fn) const;

    // --- selection ---
    // The selection after dropping every key its curve no longer owns.
    const std::vector<kgiCurveSelection>& getSelection();
    int getHitPart() const { return hitPart; }
    // What lies under a pixel: with exactly one key selected its incoming
    // then outgoing handle, then the keys of the rotation channels, then of
    // the position channels. Sets hitPart (HIT_NONE on a miss).
    bool hitTest(int x, int y, kmlTCKey<3>*& key, int& channel, bool& rotation);

    // --- mouse ---
    void leftPress(int x, int y, bool shift, bool ctrl);
    void middlePress(int x, int y);
    void rightPress(int x, int y);
    // Pointer motion from (lastX, lastY) to (x, y); acts only while a
    // button is held, by the button that began the drag.
    void motion(int x, int y, int lastX, int lastY);
    void leftRelease(int x, int y);
    void middleRelease(int x, int y);
    void rightRelease(int x, int y);
    // Negative codes zoom out one notch, positive in, 0 nothing.
    void wheel(int code);
    bool isButtonDown() const { return buttonDown; }
    bool isSelectBandActive() const { return selectBandActive; }
    bool isZoomBandActive() const { return zoomBandActive; }
    const kgiCurveRect& getSelectBand() const { return selectBand; }
    const kgiCurveRect& getZoomBand() const { return zoomBand; }

    // --- toggles and presets ---
    void setLinkIO(bool on) { linkIO = on; }
    void setLiveUpdate(bool on) { liveUpdate = on; }
    void setSmooth(bool on) { smooth = on; }
    void setAll(bool on) { all = on; }
    bool getLinkIO() const { return linkIO; }
    bool getLiveUpdate() const { return liveUpdate; }
    bool getSmooth() const { return smooth; }
    bool getAll() const { return all; }
    // On the one selected key's channel (nothing with another number of
    // keys selected or with All on); mask 1 incoming, 2 outgoing, 3 both.
    // Linear: the named tangents zero. Default: recomputed from the
    // neighbouring keys. Fast and slow change no key.
    void setLinear(int mask);
    void setDefault(int mask);
    void setFast(int mask);
    void setSlow(int mask);
    // Default tangents on the entry's channel for the keys before and after
    // the entry's key.
    void refreshNeighbourTangents(const kgiCurveSelection& entry);

    static constexpr float TANGENT_SCALE = 0.25f;

    // --- painting ---
    // One whole frame: projection when needed, clear, grid with the
    // current-time marker, curves, key markers, selection, bands, labels.
    void paint(kgiCurveDraw& draw, float currentTime);

private:
    static bool isTCCurve(const kmlBaseCurve* curve);
    void addCurve(std::vector<kgiCurveChannel>& list, kmlBaseCurve* curve, int channel);
    void removeCurve(std::vector<kgiCurveChannel>& list, bool rotation, kmlBaseCurve* curve, int channel);
    void forEachKey(const std::vector<kgiCurveChannel>& list, const KeyFn& fn) const;
    bool anyCurveShown() const { return !rotationCurves.empty() || !positionCurves.empty(); }
    void pruneSelection();
    // The one selected entry, after pruning; null with none or several.
    kgiCurveSelection* single();
    bool hit(float pt, float pv, float t, float v) const;
    bool hitEntry(int x, int y, kgiCurveSelection& found);
    bool isSelected(const kgiCurveSelection& e) const;
    void dragSelected(int x, int y, int lastX, int lastY);
    void requestRedraw();
    // Both ends of [lo, hi] fixed up to a usable extent; false when the
    // range cannot be used at all.
    static bool usableRange(double& lo, double& hi);

    void drawGrid(kgiCurveDraw& draw, float currentTime) const;
    void drawCurve(kgiCurveDraw& draw, const kgiCurveChannel& c) const;
    void drawMarkers(kgiCurveDraw& draw) const;
    void drawSelection(kgiCurveDraw& draw);
    void drawBand(kgiCurveDraw& draw, const kgiCurveRect& r) const;
    void drawLabels(kgiCurveDraw& draw) const;
    void drawSquare(kgiCurveDraw& draw, float t, float v, float dt, float dv) const;
    // The multiples k of valueStep strictly inside the value range, 0
    // excluded; at most the canvas height of them.
    void valueLines(std::vector<double>& out) const;

    kgiCurveHost* host = nullptr;
    int width = 0;
    int height = 0;
    bool buttonDown = false;
    int dragButton = NO_BUTTON;
    float valueStep = 1.0f;
    float timeMinorStep = 1.0f;
    float timeLabelStep = 1.0f;
    float minTime = 0.0f;
    float maxTime = 20.0f;
    float minValue = -10.0f;
    float maxValue = 10.0f;
    float timePerPixel = 1.0f;
    float valuePerPixel = 1.0f;
    int sampleStep = 5;
    int markerSize = 3;
    float markerTime = 3.0f;
    float markerValue = 3.0f;
    bool projectionDirty = true;
    bool zoomBandActive = false;
    kgiCurveRect zoomBand;
    float zoomFactor = 0.1f;
    bool selectBandActive = false;
    kgiCurveRect selectBand;
    std::vector<kgiCurveChannel> rotationCurves;
    std::vector<kgiCurveChannel> positionCurves;
    std::vector<kgiCurveSelection> selection;
    int hitPart = HIT_NONE;
    bool linkIO = false;
    bool liveUpdate = true;
    bool smooth = false;
    bool all = false;
};
