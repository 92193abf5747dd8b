// The curve editor's editing state, mouse and painting.
#include "kgiCurveEditor.h"

#include "kmlBaseCurve.h"
#include "kmlTCCurve.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

using Key = kmlTCKey<3>;

// Channel colours: X red, Y green, Z blue.
constexpr float CHANNEL_COLOR[3][3] = {{0.8f, 0.0f, 0.0f}, {0.0f, 0.8f, 0.4f}, {0.0f, 0.0f, 0.8f}};
constexpr float GRID_LIGHT = 0.8f;
constexpr float GRID_DARK = 0.4f;
constexpr float MARKER_COLOR[3] = {1.0f, 0.3f, 0.0f};
// Fits leave this fraction of the range free at each end.
constexpr double FIT_MARGIN = 0.05;
// A fit over one time or one value centres a range of this size on it.
constexpr double FIT_SINGLE_EXTENT = 2.0;
// Relative to the larger end's magnitude, the extent a range keeps so that
// its ends stay distinct floats (some hundred float steps apart).
constexpr double RELATIVE_MIN_EXTENT = 1.0e-5;

Key* keyAt(const kmlBaseCurve* curve, int i) {
    return static_cast<Key*>(curve->getKey(i));
}

} // namespace

void kgiCurveRect::begin(float t, float v) {
    minTime = maxTime = anchorTime = curTime = t;
    minValue = maxValue = anchorValue = curValue = v;
}

void kgiCurveRect::drag(float t, float v) {
    curTime = t;
    curValue = v;
    minTime = std::min(anchorTime, curTime);
    maxTime = std::max(anchorTime, curTime);
    minValue = std::min(anchorValue, curValue);
    maxValue = std::max(anchorValue, curValue);
}

kgiCurveEditor::kgiCurveEditor(kgiCurveHost* h, int w, int ht) : host(h), width(w), height(ht) {
    updateScale();
}

void kgiCurveEditor::setSize(int w, int h) {
    width = std::max(0, w);
    height = std::max(0, h);
    updateScale();
    projectionDirty = true;
}

// --- range ---

bool kgiCurveEditor::usableRange(double& lo, double& hi) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) return false;
    if (lo > hi) std::swap(lo, hi);
    const double magnitude = std::max(std::fabs(lo), std::fabs(hi));
    const double least = std::max(static_cast<double>(MIN_EXTENT), magnitude * RELATIVE_MIN_EXTENT);
    if (hi - lo < least) {
        const double centre = 0.5 * (lo + hi);
        lo = centre - 0.5 * least;
        hi = centre + 0.5 * least;
    }
    return hi - lo <= MAX_EXTENT && std::fabs(lo) <= MAX_EXTENT && std::fabs(hi) <= MAX_EXTENT;
}

void kgiCurveEditor::setRange(float t0, float t1, float v0, float v1) {
    double tl = t0, th = t1, vl = v0, vh = v1;
    if (usableRange(tl, th) && usableRange(vl, vh)) {
        minTime = static_cast<float>(tl);
        maxTime = static_cast<float>(th);
        minValue = static_cast<float>(vl);
        maxValue = static_cast<float>(vh);
    }
    updateScale();
    projectionDirty = true;
}

void kgiCurveEditor::updateScale() {
    if (width > 0) timePerPixel = (maxTime - minTime) / static_cast<float>(width);
    if (height > 0) valuePerPixel = (maxValue - minValue) / static_cast<float>(height);
    markerTime = static_cast<float>(markerSize) * timePerPixel;
    markerValue = static_cast<float>(markerSize) * valuePerPixel;
    // A tenth of the whole times in view, in doubles: far out the int the
    // quotient used to be would overflow.
    const double whole = std::floor(static_cast<double>(maxTime)) - std::ceil(static_cast<double>(minTime));
    const double quotient = std::trunc(whole / 10.0);
    timeLabelStep = quotient == 0.0 ? 1.0f : static_cast<float>(quotient);
    valueStep = (maxValue - minValue) * 0.1f;
}

void kgiCurveEditor::fitTime() {
    if (!anyCurveShown()) {
        setRange(-10.0f, 10.0f, minValue, maxValue);
        return;
    }
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    auto take = [&](kmlBaseCurve* curve, int) {
        lo = std::min(lo, static_cast<double>(curve->getMinTime()));
        hi = std::max(hi, static_cast<double>(curve->getMaxTime()));
        return true;
    };
    forEachRotationCurve(take);
    forEachPositionCurve(take);
    if (hi - lo < MIN_EXTENT) {
        const double centre = 0.5 * (lo + hi);
        lo = centre - 0.5 * FIT_SINGLE_EXTENT;
        hi = centre + 0.5 * FIT_SINGLE_EXTENT;
    }
    const double d = (hi - lo) * FIT_MARGIN;
    setRange(static_cast<float>(lo - d), static_cast<float>(hi + d), minValue, maxValue);
}

void kgiCurveEditor::fitValue() {
    if (!anyCurveShown()) {
        setRange(minTime, maxTime, -10.0f, 10.0f);
        return;
    }
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    auto take = [&](Key* k, int ch) {
        const double v = k->getChannelValue(ch);
        lo = std::min({lo, v, v - k->getChannelDvIn(ch), v + k->getChannelDvOut(ch)});
        hi = std::max({hi, v, v - k->getChannelDvIn(ch), v + k->getChannelDvOut(ch)});
        return true;
    };
    forEachPositionKey(take);
    forEachRotationKey(take);
    if (lo > hi) lo = hi = 0.0;  // shown curves without keys
    if (hi - lo < MIN_EXTENT) {
        // A flat channel: the view centred on its value, not on 0.
        const double centre = 0.5 * (lo + hi);
        lo = centre - 0.5 * FIT_SINGLE_EXTENT;
        hi = centre + 0.5 * FIT_SINGLE_EXTENT;
    }
    const double d = (hi - lo) * FIT_MARGIN;
    setRange(minTime, maxTime, static_cast<float>(lo - d), static_cast<float>(hi + d));
}

void kgiCurveEditor::zoom(int steps) {
    const double dt = steps * (static_cast<double>(maxTime) - minTime) * zoomFactor;
    const double dv = steps * (static_cast<double>(maxValue) - minValue) * zoomFactor;
    setRange(static_cast<float>(minTime - dt), static_cast<float>(maxTime + dt), static_cast<float>(minValue - dv),
             static_cast<float>(maxValue + dv));
}

void kgiCurveEditor::keepScale() {
    double t0 = minTime, t1 = maxTime, v0 = minValue, v1 = maxValue;
    if (width > 0) {
        const double d = 0.5 * (width * static_cast<double>(timePerPixel) - (t1 - t0));
        t0 -= d;
        t1 += d;
    }
    if (height > 0) {
        const double d = 0.5 * (height * static_cast<double>(valuePerPixel) - (v1 - v0));
        v0 -= d;
        v1 += d;
    }
    setRange(static_cast<float>(t0), static_cast<float>(t1), static_cast<float>(v0), static_cast<float>(v1));
}

float kgiCurveEditor::pixelTime(int x) const {
    return static_cast<float>(x) * timePerPixel + minTime;
}

float kgiCurveEditor::pixelValue(int y) const {
    return maxValue - static_cast<float>(y) * valuePerPixel;
}

// --- shown channels ---

bool kgiCurveEditor::isTCCurve(const kmlBaseCurve* curve) {
    return dynamic_cast<const kmlTCCurve<3>*>(curve) != nullptr;
}

void kgiCurveEditor::addCurve(std::vector<kgiCurveChannel>& list, kmlBaseCurve* curve, int channel) {
    if (!isTCCurve(curve) || channel < 0 || channel > 2) return;
    for (const kgiCurveChannel& c : list)
        if (c.curve == curve && c.channel == channel) return;
    list.push_back(kgiCurveChannel{channel, curve});
    fitTime();
    fitValue();
    requestRedraw();
}

void kgiCurveEditor::removeCurve(std::vector<kgiCurveChannel>& list, bool rotation, kmlBaseCurve* curve,
                                 int channel) {
    if (!curve || channel < 0 || channel > 2) return;
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const kgiCurveChannel& c) { return c.curve == curve && c.channel == channel; });
    if (it == list.end()) return;
    list.erase(it);
    selection.erase(std::remove_if(selection.begin(), selection.end(),
                                   [&](const kgiCurveSelection& e) {
                                       return e.rotation == rotation && e.channel == channel && curve->owns(e.key);
                                   }),
                    selection.end());
    requestRedraw();
}

void kgiCurveEditor::addRotationCurve(kmlBaseCurve* curve, int channel) {
    addCurve(rotationCurves, curve, channel);
}

void kgiCurveEditor::addPositionCurve(kmlBaseCurve* curve, int channel) {
    addCurve(positionCurves, curve, channel);
}

void kgiCurveEditor::removeRotationCurve(kmlBaseCurve* curve, int channel) {
    removeCurve(rotationCurves, true, curve, channel);
}

void kgiCurveEditor::removePositionCurve(kmlBaseCurve* curve, int channel) {
    removeCurve(positionCurves, false, curve, channel);
}

void kgiCurveEditor::clearCurves() {
    const bool shown = anyCurveShown();
    rotationCurves.clear();
    positionCurves.clear();
    selection.clear();
    if (shown) requestRedraw();
}

// --- iteration ---

void kgiCurveEditor::forEachKey(const std::vector<kgiCurveChannel>& list, const KeyFn& fn) const {
    for (const kgiCurveChannel& c : list) {
        const int n = c.curve->getNumKeys();
        for (int i = 0; i < n; ++i)
            if (!fn(keyAt(c.curve, i), c.channel)) break;
    }
}

void kgiCurveEditor::forEachRotationKey(const KeyFn& fn) const {
    forEachKey(rotationCurves, fn);
}

void kgiCurveEditor::forEachPositionKey(const KeyFn& fn) const {
    forEachKey(positionCurves, fn);
}

void kgiCurveEditor::forEachRotationCurve(const CurveFn& fn) const {
    for (const kgiCurveChannel& c : rotationCurves)
        if (!fn(c.curve, c.channel)) return;
}

void kgiCurveEditor::forEachPositionCurve(const CurveFn& fn) const {
    for (const kgiCurveChannel& c : positionCurves)
        if (!fn(c.curve, c.channel)) return;
}

// --- selection and hit test ---

void kgiCurveEditor::pruneSelection() {
    // owns compares the pointer with the curve's keys and reads nothing
    // through it, so a key freed since it was selected is safe to test.
    selection.erase(std::remove_if(selection.begin(), selection.end(),
                                   [](const kgiCurveSelection& e) { return !e.curve || !e.curve->owns(e.key); }),
                    selection.end());
}

const std::vector<kgiCurveSelection>& kgiCurveEditor::getSelection() {
    pruneSelection();
    return selection;
}

kgiCurveSelection* kgiCurveEditor::single() {
    pruneSelection();
    return selection.size() == 1 ? &selection.front() : nullptr;
}

bool kgiCurveEditor::isSelected(const kgiCurveSelection& e) const {
    return std::any_of(selection.begin(), selection.end(), [&](const kgiCurveSelection& s) {
        return s.key == e.key && s.channel == e.channel && s.rotation == e.rotation;
    });
}

bool kgiCurveEditor::hit(float pt, float pv, float t, float v) const {
    const float dt = HIT_PIXELS * timePerPixel;
    const float dv = HIT_PIXELS * valuePerPixel;
    return t - dt < pt && pt < t + dt && v - dv < pv && pv < v + dv;
}

bool kgiCurveEditor::hitEntry(int x, int y, kgiCurveSelection& found) {
    const float t = pixelTime(x);
    const float v = pixelValue(y);
    if (kgiCurveSelection* s = single()) {
        Key* k = s->key;
        const int c = s->channel;
        const float kt = k->getTime();
        const float kv = k->getChannelValue(c);
        if (hit(kt - TANGENT_SCALE * k->getChannelDtIn(c), kv - TANGENT_SCALE * k->getChannelDvIn(c), t, v)) {
            found = *s;
            hitPart = HIT_IN;
            return true;
        }
        if (hit(kt + TANGENT_SCALE * k->getChannelDtOut(c), kv + TANGENT_SCALE * k->getChannelDvOut(c), t, v)) {
            found = *s;
            hitPart = HIT_OUT;
            return true;
        }
    }
    auto search = [&](const std::vector<kgiCurveChannel>& list, bool rotation) {
        for (const kgiCurveChannel& c : list) {
            const int n = c.curve->getNumKeys();
            for (int i = 0; i < n; ++i) {
                Key* k = keyAt(c.curve, i);
                if (!hit(k->getTime(), k->getChannelValue(c.channel), t, v)) continue;
                found = kgiCurveSelection{c.channel, rotation, k, c.curve};
                return true;
            }
        }
        return false;
    };
    if (search(rotationCurves, true) || search(positionCurves, false)) {
        hitPart = HIT_KEY;
        return true;
    }
    hitPart = HIT_NONE;
    return false;
}

bool kgiCurveEditor::hitTest(int x, int y, kmlTCKey<3>*& key, int& channel, bool& rotation) {
    kgiCurveSelection found;
    if (!hitEntry(x, y, found)) return false;
    key = found.key;
    channel = found.channel;
    rotation = found.rotation;
    return true;
}

// --- mouse ---

void kgiCurveEditor::requestRedraw() {
    if (host) host->redrawCurves();
}

void kgiCurveEditor::leftPress(int x, int y, bool shift, bool ctrl) {
    buttonDown = true;
    dragButton = LEFT;
    if (shift) {
        selectBand.begin(pixelTime(x), pixelValue(y));
        selectBandActive = true;
        return;
    }
    kgiCurveSelection found;
    const bool wasHit = hitEntry(x, y, found);
    if (ctrl) {
        if (wasHit && !isSelected(found)) {
            selection.push_back(found);
            requestRedraw();
        }
        return;
    }
    selection.clear();
    if (wasHit) selection.push_back(found);
    requestRedraw();
}

void kgiCurveEditor::middlePress(int, int) {
    buttonDown = true;
    dragButton = MIDDLE;
}

void kgiCurveEditor::rightPress(int x, int y) {
    buttonDown = true;
    dragButton = RIGHT;
    zoomBand.begin(pixelTime(x), pixelValue(y));
    zoomBandActive = true;
}

void kgiCurveEditor::motion(int x, int y, int lastX, int lastY) {
    if (!buttonDown) return;
    switch (dragButton) {
    case LEFT:
        if (selectBandActive) {
            selectBand.drag(pixelTime(x), pixelValue(y));
            requestRedraw();
        } else {
            dragSelected(x, y, lastX, lastY);
        }
        break;
    case MIDDLE: {
        // The picture follows the pointer.
        const float dt = static_cast<float>(x - lastX) * timePerPixel;
        const float dv = static_cast<float>(lastY - y) * valuePerPixel;
        setRange(minTime - dt, maxTime - dt, minValue - dv, maxValue - dv);
        requestRedraw();
        break;
    }
    case RIGHT:
        if (zoomBandActive) {
            zoomBand.drag(pixelTime(x), pixelValue(y));
            requestRedraw();
        }
        break;
    default:
        break;
    }
}

void kgiCurveEditor::dragSelected(int x, int y, int lastX, int lastY) {
    kgiCurveSelection* s = single();
    if (!s) return;
    Key* k = s->key;
    const int c = s->channel;
    const float dv = static_cast<float>(lastY - y) * valuePerPixel;
    if (hitPart == HIT_KEY) {
        // The value only: a key's time changes on the time line.
        k->setChannelValue(c, k->getChannelValue(c) + dv);
        requestRedraw();
        if (host) host->forceUpdate();
        return;
    }
    // Handles are drawn at a quarter of the tangent: the tangent changes by
    // the pointer's motion over that scale.
    const float ht = static_cast<float>(x - lastX) * timePerPixel / TANGENT_SCALE;
    const float hv = dv / TANGENT_SCALE;
    switch (hitPart) {
    case HIT_IN:
        k->setChannelDtIn(c, k->getChannelDtIn(c) - ht);
        k->setChannelDvIn(c, k->getChannelDvIn(c) - hv);
        if (linkIO) {
            k->setChannelDtOut(c, k->getChannelDtOut(c) - ht);
            k->setChannelDvOut(c, k->getChannelDvOut(c) - hv);
        }
        break;
    case HIT_OUT:
        k->setChannelDtOut(c, k->getChannelDtOut(c) + ht);
        k->setChannelDvOut(c, k->getChannelDvOut(c) + hv);
        if (linkIO) {
            k->setChannelDtIn(c, k->getChannelDtIn(c) + ht);
            k->setChannelDvIn(c, k->getChannelDvIn(c) + hv);
        }
        break;
    default:
        return;
    }
    requestRedraw();
    if (host) host->forceUpdate();
}

void kgiCurveEditor::leftRelease(int x, int y) {
    buttonDown = false;
    if (!selectBandActive) return;
    // The band shows what a drag covers; it selects nothing.
    selectBand.drag(pixelTime(x), pixelValue(y));
    selectBandActive = false;
    requestRedraw();
}

void kgiCurveEditor::middleRelease(int, int) {
    buttonDown = false;
}

void kgiCurveEditor::rightRelease(int x, int y) {
    buttonDown = false;
    if (!zoomBandActive) return;
    zoomBand.drag(pixelTime(x), pixelValue(y));
    zoomBandActive = false;
    // A click or a flat band (a few pixels on either axis) would make the
    // range all but empty: it leaves the range as it was.
    const bool wide = zoomBand.maxTime - zoomBand.minTime >= MIN_BAND_PIXELS * timePerPixel;
    const bool high = zoomBand.maxValue - zoomBand.minValue >= MIN_BAND_PIXELS * valuePerPixel;
    if (wide && high) setRange(zoomBand.minTime, zoomBand.maxTime, zoomBand.minValue, zoomBand.maxValue);
    requestRedraw();
}

void kgiCurveEditor::wheel(int code) {
    if (code == 0) return;
    zoom(code < 0 ? 1 : -1);
    requestRedraw();
}

// --- presets ---

void kgiCurveEditor::setLinear(int mask) {
    kgiCurveSelection* s = single();
    if (!s || all) return;
    if (mask & 1) {
        s->key->setChannelDtIn(s->channel, 0.0f);
        s->key->setChannelDvIn(s->channel, 0.0f);
    }
    if (mask & 2) {
        s->key->setChannelDtOut(s->channel, 0.0f);
        s->key->setChannelDvOut(s->channel, 0.0f);
    }
}

void kgiCurveEditor::setDefault(int mask) {
    kgiCurveSelection* s = single();
    if (!s || all) return;
    if (mask & 1) s->key->updateChannelIn(s->channel);
    if (mask & 2) s->key->updateChannelOut(s->channel);
}

void kgiCurveEditor::setFast(int) {}

void kgiCurveEditor::setSlow(int) {}

void kgiCurveEditor::refreshNeighbourTangents(const kgiCurveSelection& entry) {
    if (!entry.curve || !entry.curve->owns(entry.key) || entry.channel < 0 || entry.channel > 2) return;
    const int i = entry.curve->getKeyIndex(entry.key->getTime());
    if (i < 0) return;
    if (kmlBaseKey* p = entry.curve->getPrevKey(i)) static_cast<Key*>(p)->updateChannel(entry.channel);
    if (kmlBaseKey* n = entry.curve->getNextKey(i)) static_cast<Key*>(n)->updateChannel(entry.channel);
}

// --- painting ---

void kgiCurveEditor::paint(kgiCurveDraw& draw, float currentTime) {
    pruneSelection();
    if (projectionDirty) {
        draw.projection(minTime, maxTime, minValue, maxValue, width, height);
        projectionDirty = false;
    }
    draw.clear();
    drawGrid(draw, currentTime);
    for (const kgiCurveChannel& c : positionCurves) drawCurve(draw, c);
    for (const kgiCurveChannel& c : rotationCurves) drawCurve(draw, c);
    drawMarkers(draw);
    drawSelection(draw);
    if (selectBandActive || zoomBandActive) {
        draw.color(0.0f, 0.0f, 0.0f);
        draw.stipple(true);
        if (selectBandActive) drawBand(draw, selectBand);
        if (zoomBandActive) drawBand(draw, zoomBand);
        draw.stipple(false);
    }
    drawLabels(draw);
}

void kgiCurveEditor::valueLines(std::vector<double>& out) const {
    out.clear();
    const double step = valueStep;
    if (!(step > 0.0)) return;
    // From the first multiple in view, not from 0: a range panned far away
    // would otherwise count up to it.
    const double first = std::ceil(minValue / step);
    const double last = std::floor(maxValue / step);
    const double count = std::min(last - first + 1.0, static_cast<double>(height) + 2.0);
    for (int i = 0; i < count; ++i) {
        const double k = first + i;
        const double v = k * step;
        if (k == 0.0 || v <= minValue || v >= maxValue) continue;
        out.push_back(v);
    }
}

void kgiCurveEditor::drawGrid(kgiCurveDraw& draw, float currentTime) const {
    draw.begin(kgiCurveDraw::LINES);
    // One line per whole time unit; when they would lie closer than a
    // pixel, only the darker ones at the label step.
    const double first = std::ceil(static_cast<double>(minTime));
    const double last = std::floor(static_cast<double>(maxTime));
    const double lines = last - first + 1.0;
    const double labelStep = timeLabelStep;
    if (lines <= width) {
        for (int i = 0; i < lines; ++i) {
            const double t = first + i * static_cast<double>(timeMinorStep);
            const float g = std::fmod(t, labelStep) == 0.0 ? GRID_DARK : GRID_LIGHT;
            draw.color(g, g, g);
            draw.vertex(static_cast<float>(t), minValue);
            draw.vertex(static_cast<float>(t), maxValue);
        }
    } else {
        const double k0 = std::ceil(minTime / labelStep);
        const double count = std::min(std::floor(maxTime / labelStep) - k0 + 1.0, static_cast<double>(width));
        draw.color(GRID_DARK, GRID_DARK, GRID_DARK);
        for (int i = 0; i < count; ++i) {
            const float t = static_cast<float>((k0 + i) * labelStep);
            draw.vertex(t, minValue);
            draw.vertex(t, maxValue);
        }
    }
    std::vector<double> values;
    valueLines(values);
    draw.color(GRID_LIGHT, GRID_LIGHT, GRID_LIGHT);
    for (double v : values) {
        draw.vertex(minTime, static_cast<float>(v));
        draw.vertex(maxTime, static_cast<float>(v));
    }
    draw.end();

    draw.color(0.0f, 0.0f, 0.0f);
    draw.lineWidth(3.0f);
    draw.begin(kgiCurveDraw::LINES);
    draw.vertex(0.0f, minValue);
    draw.vertex(0.0f, maxValue);
    draw.vertex(minTime, 0.0f);
    draw.vertex(maxTime, 0.0f);
    draw.end();
    draw.lineWidth(1.0f);

    draw.color(MARKER_COLOR[0], MARKER_COLOR[1], MARKER_COLOR[2]);
    draw.begin(kgiCurveDraw::LINES);
    draw.vertex(currentTime - markerTime, minValue);
    draw.vertex(currentTime - markerTime, maxValue);
    draw.vertex(currentTime + markerTime, minValue);
    draw.vertex(currentTime + markerTime, maxValue);
    draw.end();
}

void kgiCurveEditor::drawCurve(kgiCurveDraw& draw, const kgiCurveChannel& c) const {
    const float* rgb = CHANNEL_COLOR[c.channel >= 0 && c.channel < 2 ? c.channel : 2];
    draw.color(rgb[0], rgb[1], rgb[2]);
    const kmlBaseCurve* curve = c.curve;
    const int ch = c.channel;
    const int keys = curve->getNumKeys();
    // One sample every sampleStep pixels across the width; the count is
    // fixed here, so far out, where the step is below a float's spacing,
    // samples repeat but the loop still ends.
    const int samples = width > 0 ? (width + sampleStep - 1) / sampleStep : 0;
    const double step = static_cast<double>(sampleStep) * timePerPixel;
    draw.begin(kgiCurveDraw::LINE_STRIP);
    for (int i = 0; i < samples; ++i) {
        const float t = static_cast<float>(minTime + i * step);
        float v = 0.0f;
        const int at = curve->getKeyIndex(t);
        if (at >= 0) {
            v = keyAt(curve, at)->getChannelValue(ch);
        } else {
            const int p = curve->getPrevKeyIndex(t);
            if (p < 0) {
                v = keys > 0 ? keyAt(curve, 0)->getChannelValue(ch) : 0.0f;
            } else {
                Key* pk = keyAt(curve, p);
                const kmlBaseKey* next = curve->getKey(p + 1);
                if (!next) {
                    v = pk->getChannelValue(ch);
                } else {
                    const float u = (t - pk->getTime()) / (next->getTime() - pk->getTime());
                    v = pk->eval(ch, u);
                }
            }
        }
        draw.vertex(t, v);
    }
    draw.end();
}

void kgiCurveEditor::drawMarkers(kgiCurveDraw& draw) const {
    draw.color(0.0f, 0.0f, 0.0f);
    draw.begin(kgiCurveDraw::QUADS);
    auto marker = [&](const std::vector<kgiCurveChannel>& list) {
        for (const kgiCurveChannel& c : list) {
            // At most one marker per pixel column of a channel: keys closer
            // than a pixel cover each other anyway.
            double lastColumn = -1.0;
            const int n = c.curve->getNumKeys();
            for (int i = 0; i < n; ++i) {
                Key* k = keyAt(c.curve, i);
                const float t = k->getTime();
                const float v = k->getChannelValue(c.channel);
                if (!(minTime < t && t < maxTime && minValue < v && v < maxValue)) continue;
                const double column = std::floor((t - minTime) / timePerPixel);
                if (column == lastColumn) continue;
                lastColumn = column;
                drawSquare(draw, t, v, markerTime, markerValue);
            }
        }
    };
    marker(positionCurves);
    marker(rotationCurves);
    draw.end();
}

void kgiCurveEditor::drawSquare(kgiCurveDraw& draw, float t, float v, float dt, float dv) const {
    draw.vertex(t - dt, v - dv);
    draw.vertex(t + dt, v - dv);
    draw.vertex(t + dt, v + dv);
    draw.vertex(t - dt, v + dv);
}

void kgiCurveEditor::drawSelection(kgiCurveDraw& draw) {
    // The white square inside a black marker makes that part look hollow.
    const float innerTime = static_cast<float>(markerSize - 1) * timePerPixel;
    const float innerValue = static_cast<float>(markerSize - 1) * valuePerPixel;
    if (selection.size() != 1) {
        draw.color(1.0f, 1.0f, 1.0f);
        draw.begin(kgiCurveDraw::QUADS);
        for (const kgiCurveSelection& e : selection)
            drawSquare(draw, e.key->getTime(), e.key->getChannelValue(e.channel), innerTime, innerValue);
        draw.end();
        return;
    }
    const kgiCurveSelection& e = selection.front();
    const Key* k = e.key;
    const int c = e.channel;
    const float t = k->getTime();
    const float v = k->getChannelValue(c);
    const float inT = t - TANGENT_SCALE * k->getChannelDtIn(c);
    const float inV = v - TANGENT_SCALE * k->getChannelDvIn(c);
    const float outT = t + TANGENT_SCALE * k->getChannelDtOut(c);
    const float outV = v + TANGENT_SCALE * k->getChannelDvOut(c);
    draw.color(0.0f, 0.0f, 0.0f);
    draw.begin(kgiCurveDraw::LINES);
    draw.vertex(t, v);
    draw.vertex(inT, inV);
    draw.vertex(t, v);
    draw.vertex(outT, outV);
    draw.end();
    draw.begin(kgiCurveDraw::QUADS);
    drawSquare(draw, inT, inV, markerTime, markerValue);
    drawSquare(draw, outT, outV, markerTime, markerValue);
    draw.end();
    if (hitPart != HIT_IN && hitPart != HIT_KEY && hitPart != HIT_OUT) return;
    const float pt = hitPart == HIT_KEY ? t : hitPart == HIT_IN ? inT : outT;
    const float pv = hitPart == HIT_KEY ? v : hitPart == HIT_IN ? inV : outV;
    draw.color(1.0f, 1.0f, 1.0f);
    draw.begin(kgiCurveDraw::QUADS);
    drawSquare(draw, pt, pv, innerTime, innerValue);
    draw.end();
}

void kgiCurveEditor::drawBand(kgiCurveDraw& draw, const kgiCurveRect& r) const {
    draw.begin(kgiCurveDraw::LINE_LOOP);
    draw.vertex(r.minTime, r.minValue);
    draw.vertex(r.maxTime, r.minValue);
    draw.vertex(r.maxTime, r.maxValue);
    draw.vertex(r.minTime, r.maxValue);
    draw.end();
}

void kgiCurveEditor::drawLabels(kgiCurveDraw& draw) const {
    draw.beginLabels(width, height);
    char text[64];
    // Times from 0 at every label step (none below 0), starting at the
    // first step in view.
    const double step = timeLabelStep;
    const double from = std::max(0.0, static_cast<double>(minTime));
    const double k0 = std::ceil(from / step);
    const double k1 = std::ceil(maxTime / step) - 1.0;  // t < maxTime
    const double count = std::min(k1 - k0 + 1.0, static_cast<double>(width));
    for (int i = 0; i < count; ++i) {
        const double t = (k0 + i) * step;
        if (t >= maxTime) break;
        if (t <= INT_MAX)
            std::snprintf(text, sizeof text, "%d", static_cast<int>(t));
        else
            std::snprintf(text, sizeof text, "%.0f", t);
        draw.label(static_cast<int>((t - minTime) / timePerPixel), 0, text);
    }
    std::vector<double> values;
    valueLines(values);
    for (double v : values) {
        // One minus sign, whatever the format makes of a negative number.
        if (v < 0.0)
            std::snprintf(text, sizeof text, "-%f", -v);
        else
            std::snprintf(text, sizeof text, "%f", v);
        draw.label(0, static_cast<int>((v - minValue) / valuePerPixel), text);
    }
    draw.endLabels();
}
