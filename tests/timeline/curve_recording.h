#pragma once
// Stand-ins for what the curve editor reaches: a drawing layer that keeps
// every primitive a paint makes (with the colour it was drawn in) and every
// label, and a host that counts redraw requests and key-edit notices.
#include "kgiCurveEditor.h"

#include "kmlTCCurve.h"

#include <string>
#include <vector>

struct kgiRecordedPrimitive {
    kgiCurveDraw::Primitive kind;
    float rgb[3];
    float width;
    bool dashed;
    std::vector<float> points;  // t, v pairs

    int vertexCount() const { return static_cast<int>(points.size() / 2); }
};

struct kgiRecordedLabel {
    int x;
    int y;
    std::string text;
};

class kgiRecordingDraw : public kgiCurveDraw {
public:
    std::vector<kgiRecordedPrimitive> primitives;
    std::vector<kgiRecordedLabel> labels;
    int projections = 0;
    float range[4] = {0, 0, 0, 0};
    int clears = 0;

    void projection(float t0, float t1, float v0, float v1, int, int) override {
        ++projections;
        range[0] = t0;
        range[1] = t1;
        range[2] = v0;
        range[3] = v1;
    }
    void clear() override { ++clears; }
    void color(float r, float g, float b) override {
        rgb[0] = r;
        rgb[1] = g;
        rgb[2] = b;
    }
    void lineWidth(float w) override { width = w; }
    void stipple(bool on) override { dashed = on; }
    void begin(Primitive p) override {
        primitives.push_back(kgiRecordedPrimitive{p, {rgb[0], rgb[1], rgb[2]}, width, dashed, {}});
    }
    void vertex(float t, float v) override {
        primitives.back().points.push_back(t);
        primitives.back().points.push_back(v);
    }
    void end() override {}
    void beginLabels(int, int) override {}
    void label(int x, int y, const char* text) override { labels.push_back(kgiRecordedLabel{x, y, text}); }
    void endLabels() override {}

    int vertexCount() const {
        int n = 0;
        for (const kgiRecordedPrimitive& p : primitives) n += p.vertexCount();
        return n;
    }
    // The strips drawn in that colour (a shown channel's curve).
    std::vector<const kgiRecordedPrimitive*> strips(float r, float g, float b) const {
        std::vector<const kgiRecordedPrimitive*> out;
        for (const kgiRecordedPrimitive& p : primitives)
            if (p.kind == LINE_STRIP && p.rgb[0] == r && p.rgb[1] == g && p.rgb[2] == b) out.push_back(&p);
        return out;
    }

private:
    float rgb[3] = {0, 0, 0};
    float width = 1.0f;
    bool dashed = false;
};

class kgiCurveRecordingHost : public kgiCurveHost {
public:
    int redraws = 0;
    int updates = 0;
    void redrawCurves() override { ++redraws; }
    void forceUpdate() override { ++updates; }
};

// A key at t with value v on every channel and no tangents.
inline kmlTCKey<3>* kgiAddFlatKey(kmlBaseCurve& curve, float t, float v) {
    auto* k = static_cast<kmlTCKey<3>*>(curve.newKey());
    k->setTime(t);
    curve.insert(k);
    for (int ch = 0; ch < 3; ++ch) {
        k->setChannelValue(ch, v);
        k->setChannelDtIn(ch, 0.0f);
        k->setChannelDvIn(ch, 0.0f);
        k->setChannelDtOut(ch, 0.0f);
        k->setChannelDvOut(ch, 0.0f);
    }
    return k;
}
