// The curve editor's editing state without a display: ranges and fits,
// shown channels, selection, hit test, drags, presets, and the paint on a
// recording drawing layer.
#include "kgiCurveEditor.h"

#include "curve_recording.h"

#include "kmlEulerCurve.h"
#include "kmlQuatCurve.h"
#include "kmlTCCurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace {

using Key = kmlTCKey<3>;

// 200 x 200 pixels over 0..20 by -10..10: 0.1 units a pixel both ways.
constexpr int SIZE = 200;

struct Range {
    float t0, t1, v0, v1;
};

void expectRange(const kgiCurveEditor& e, const Range& r, const std::string& what) {
    EXPECT_NEAR(e.getMinTime(), r.t0, 1e-4) << what;
    EXPECT_NEAR(e.getMaxTime(), r.t1, 1e-4) << what;
    EXPECT_NEAR(e.getMinValue(), r.v0, 1e-4) << what;
    EXPECT_NEAR(e.getMaxValue(), r.v1, 1e-4) << what;
}

// Pixel of a curve point at the editor's present range.
int px(const kgiCurveEditor& e, float t) {
    return static_cast<int>(std::lround((t - e.getMinTime()) / e.getTimePerPixel()));
}
int py(const kgiCurveEditor& e, float v) {
    return static_cast<int>(std::lround((e.getMaxValue() - v) / e.getValuePerPixel()));
}

// The editor with a position and a rotation curve to show (no smooth
// editing: the handles stay as the tests set them).
struct Rig {
    Rig() {
        position.smoothEdit(false);
        rotation.smoothEdit(false);
    }
    // Shows the channel, then puts the view back at 0..20 by -10..10.
    void show(kmlBaseCurve& c, int channel, bool rot = false) {
        if (rot)
            editor.addRotationCurve(&c, channel);
        else
            editor.addPositionCurve(&c, channel);
        editor.setRange(0.0f, 20.0f, -10.0f, 10.0f);
    }
    void click(float t, float v, bool ctrl = false) {
        editor.leftPress(px(editor, t), py(editor, v), false, ctrl);
        editor.leftRelease(px(editor, t), py(editor, v));
    }
    // A left drag from the curve point by (dx, dy) pixels.
    void drag(float t, float v, int dx, int dy) {
        const int x = px(editor, t), y = py(editor, v);
        editor.leftPress(x, y, false, false);
        editor.motion(x + dx, y + dy, x, y);
        editor.leftRelease(x + dx, y + dy);
    }

    kgiCurveRecordingHost host;
    kgiCurveEditor editor{&host, SIZE, SIZE};
    kmlTCCurve<3> position{1.0f};
    kmlEulerCurve rotation{1.0f};
};

class CurveEditor : public ::testing::Test, public Rig {};

TEST_F(CurveEditor, RangesOfTheFitsAndTheWheel) {
    struct Case {
        const char* what;
        std::function<void(Rig&)> setUp;
        Range expected;
    };
    const Case cases[] = {
        {"a new editor", [](Rig&) {}, {0, 20, -10, 10}},
        {"keys at (0, 0) and (30, 10) without tangents",
         [](Rig& f) {
             kgiAddFlatKey(f.position, 0.0f, 0.0f);
             kgiAddFlatKey(f.position, 30.0f, 10.0f);
             f.editor.addPositionCurve(&f.position, 0);
         },
         {-1.5f, 31.5f, -0.5f, 10.5f}},
        {"value tangents at full length widen the value fit",
         [](Rig& f) {
             kgiAddFlatKey(f.position, 0.0f, 0.0f)->setChannelDvIn(1, 4.0f);
             kgiAddFlatKey(f.position, 10.0f, 0.0f)->setChannelDvOut(1, 6.0f);
             f.editor.addPositionCurve(&f.position, 1);
         },
         {-0.5f, 10.5f, -4.5f, 6.5f}},
        {"fits with no curve shown",
         [](Rig& f) {
             f.editor.setRange(3, 4, 5, 6);
             f.editor.fitTime();
             f.editor.fitValue();
         },
         {-10, 10, -10, 10}},
        // Centred on the value, not on 0: the curve stays in view.
        {"a flat channel at 5",
         [](Rig& f) {
             kgiAddFlatKey(f.position, 0.0f, 5.0f);
             kgiAddFlatKey(f.position, 10.0f, 5.0f);
             f.editor.addPositionCurve(&f.position, 2);
         },
         {-0.5f, 10.5f, 3.9f, 6.1f}},
        {"a single key centres 2 units on its time and value",
         [](Rig& f) {
             kgiAddFlatKey(f.position, 7.0f, -3.0f);
             f.editor.addPositionCurve(&f.position, 0);
         },
         {5.9f, 8.1f, -4.1f, -1.9f}},
        {"a negative wheel code zooms out",
         [](Rig& f) { f.editor.wheel(-120); },
         {-2, 22, -12, 12}},
        {"a positive wheel code zooms in", [](Rig& f) { f.editor.wheel(120); }, {2, 18, -8, 8}},
        {"a wheel code of 0 does nothing", [](Rig& f) { f.editor.wheel(0); }, {0, 20, -10, 10}},
        {"a zoom band becomes the range",
         [](Rig& f) {
             f.editor.rightPress(50, 20);
             f.editor.motion(150, 120, 50, 20);
             f.editor.rightRelease(150, 120);
         },
         {5, 15, -2, 8}},
        // A click, or a band under 3 pixels either way, would leave an
        // empty range.
        {"a right click without a drag",
         [](Rig& f) {
             f.editor.rightPress(50, 20);
             f.editor.rightRelease(50, 20);
         },
         {0, 20, -10, 10}},
        {"a flat zoom band",
         [](Rig& f) {
             f.editor.rightPress(50, 20);
             f.editor.rightRelease(150, 22);
         },
         {0, 20, -10, 10}},
        {"a middle drag pans with the pointer",
         [](Rig& f) {
             f.editor.middlePress(100, 100);
             f.editor.motion(110, 90, 100, 100);
             f.editor.middleRelease(110, 90);
         },
         {-1, 19, -11, 9}},
        {"motion without a held button does nothing",
         [](Rig& f) { f.editor.motion(110, 90, 100, 100); },
         {0, 20, -10, 10}},
    };
    for (const Case& c : cases) {
        Rig f;
        c.setUp(f);
        expectRange(f.editor, c.expected, c.what);
    }
}

TEST_F(CurveEditor, ScalesFollowTheRange) {
    EXPECT_FLOAT_EQ(editor.getTimePerPixel(), 0.1f);
    EXPECT_FLOAT_EQ(editor.getValuePerPixel(), 0.1f);
    EXPECT_FLOAT_EQ(editor.getMarkerTime(), 0.3f);
    EXPECT_FLOAT_EQ(editor.getTimeLabelStep(), 2.0f);
    EXPECT_FLOAT_EQ(editor.getValueStep(), 2.0f);
    EXPECT_FLOAT_EQ(editor.pixelTime(50), 5.0f);
    EXPECT_FLOAT_EQ(editor.pixelValue(50), 5.0f);
    editor.setRange(0.2f, 0.8f, 0, 1);
    EXPECT_FLOAT_EQ(editor.getTimeLabelStep(), 1.0f) << "no whole step in view";
    // Far out the quotient no longer fits an int.
    editor.setRange(-1e20f, 1e20f, 0, 1);
    EXPECT_NEAR(editor.getTimeLabelStep(), 2e19f, 1e14f);
}

TEST_F(CurveEditor, ShownChannelsKeepEachPairOnce) {
    kmlQuatCurve quats;
    editor.addPositionCurve(&position, 1);
    editor.addPositionCurve(&position, 1);
    editor.addPositionCurve(&position, 3);
    editor.addPositionCurve(&position, -1);
    editor.addPositionCurve(nullptr, 0);
    editor.addRotationCurve(&quats, 0);  // its keys have no handles
    editor.addRotationCurve(&rotation, 1);
    ASSERT_EQ(editor.getPositionCurves().size(), 1u);
    EXPECT_EQ(editor.getPositionCurves()[0].channel, 1);
    ASSERT_EQ(editor.getRotationCurves().size(), 1u);
    EXPECT_EQ(editor.getRotationCurves()[0].curve, &rotation);
    EXPECT_EQ(host.redraws, 2);

    const int before = host.redraws;
    editor.removePositionCurve(&position, 2);
    EXPECT_EQ(host.redraws, before) << "a pair not shown";
    editor.clearCurves();
    EXPECT_TRUE(editor.getPositionCurves().empty());
    EXPECT_TRUE(editor.getRotationCurves().empty());
    EXPECT_EQ(host.redraws, before + 1);
    editor.clearCurves();
    EXPECT_EQ(host.redraws, before + 1) << "nothing was shown";
}

TEST_F(CurveEditor, IterationSkipsTheRestOfACurveOrStops) {
    kmlTCCurve<3> other(1.0f);
    for (float t : {0.0f, 1.0f, 2.0f}) kgiAddFlatKey(position, t, t);
    for (float t : {5.0f, 6.0f}) kgiAddFlatKey(other, t, t);
    editor.addPositionCurve(&position, 0);
    editor.addPositionCurve(&other, 2);
    std::string seen;
    editor.forEachPositionKey([&](Key* k, int ch) {
        seen += std::to_string(static_cast<int>(k->getTime())) + ":" + std::to_string(ch) + " ";
        return k->getTime() < 1.0f;
    });
    EXPECT_EQ(seen, "0:0 1:0 5:2 ") << "false skips only the rest of that curve";
    int curves = 0;
    editor.forEachPositionCurve([&](kmlBaseCurve*, int) { return ++curves < 1; });
    EXPECT_EQ(curves, 1);
}

TEST_F(CurveEditor, HitOrderAndStrictTolerance) {
    // Rotation and position keys at the same point: rotation wins.
    Key* p = kgiAddFlatKey(position, 10.0f, 0.0f);
    Key* r = kgiAddFlatKey(rotation, 10.0f, 0.0f);
    show(position, 0);
    show(rotation, 0, true);
    // A quarter unit a pixel both ways, exact in floats: the key at pixel
    // (40, 100), the tolerance one unit.
    editor.setRange(0, 50, -25, 25);
    Key* key = nullptr;
    int channel = -1;
    bool rot = false;
    ASSERT_TRUE(editor.hitTest(40, 100, key, channel, rot));
    EXPECT_EQ(key, r);
    EXPECT_TRUE(rot);
    EXPECT_EQ(editor.getHitPart(), kgiCurveEditor::HIT_KEY);

    // 4 pixels away is outside, 3 inside, on either axis.
    struct Case {
        int dx, dy;
        bool hit;
    };
    for (const Case& c : {Case{3, 0, true}, Case{-3, 3, true}, Case{4, 0, false}, Case{0, -4, false}}) {
        EXPECT_EQ(editor.hitTest(40 + c.dx, 100 + c.dy, key, channel, rot), c.hit) << c.dx << "," << c.dy;
        if (!c.hit) {
            EXPECT_EQ(editor.getHitPart(), kgiCurveEditor::HIT_NONE);
        }
    }

    // With the position key alone selected, its handles come first.
    editor.removeRotationCurve(&rotation, 0);
    p->setChannelDtOut(0, 1.0f);  // outgoing handle a quarter later: 1 pixel
    p->setChannelDtIn(0, 1.0f);   // incoming handle 1 pixel earlier
    click(10.0f, 0.0f);
    ASSERT_EQ(editor.getSelection().size(), 1u);
    ASSERT_TRUE(editor.hitTest(41, 100, key, channel, rot));
    EXPECT_EQ(editor.getHitPart(), kgiCurveEditor::HIT_IN) << "the incoming handle is tried first";
    EXPECT_EQ(key, p);
    EXPECT_FALSE(rot);
    p->setChannelDtIn(0, 16.0f);
    ASSERT_TRUE(editor.hitTest(41, 100, key, channel, rot));
    EXPECT_EQ(editor.getHitPart(), kgiCurveEditor::HIT_OUT);
}

TEST_F(CurveEditor, ClicksReplaceAddAndClearTheSelection) {
    Key* a = kgiAddFlatKey(position, 5.0f, 0.0f);
    Key* b = kgiAddFlatKey(position, 15.0f, 0.0f);
    show(position, 1);
    click(5.0f, 0.0f);
    ASSERT_EQ(editor.getSelection().size(), 1u);
    EXPECT_EQ(editor.getSelection()[0].key, a);
    click(15.0f, 0.0f, true);
    click(15.0f, 0.0f, true);  // already selected: stays once
    ASSERT_EQ(editor.getSelection().size(), 2u);
    EXPECT_EQ(editor.getSelection()[1].key, b);
    click(10.0f, 5.0f, true);
    EXPECT_EQ(editor.getSelection().size(), 2u) << "a Ctrl click on empty space keeps the selection";
    click(10.0f, 5.0f);
    EXPECT_TRUE(editor.getSelection().empty()) << "a plain click on empty space clears it";
}

TEST_F(CurveEditor, RemovingACurveDropsOnlyItsSelectedKeys) {
    kmlTCCurve<3> other(1.0f);
    kgiAddFlatKey(position, 5.0f, 0.0f);
    Key* kept = kgiAddFlatKey(other, 15.0f, 0.0f);
    show(position, 0);
    show(other, 0);
    click(5.0f, 0.0f);
    click(15.0f, 0.0f, true);
    ASSERT_EQ(editor.getSelection().size(), 2u);
    editor.removePositionCurve(&position, 0);
    ASSERT_EQ(editor.getSelection().size(), 1u);
    EXPECT_EQ(editor.getSelection()[0].key, kept);
    EXPECT_EQ(editor.getPositionCurves().size(), 1u);
}

TEST_F(CurveEditor, HandleDragsMoveTheTangentByFourTimesThePointer) {
    struct Case {
        const char* what;
        bool linkIO;
        bool outgoing;
        float dtIn, dtOut, dvIn, dvOut;  // changes
    };
    // 10 pixels right at 0.1 a pixel, 5 up: (1.0, 0.5) over the 0.25 scale.
    const Case cases[] = {
        {"outgoing", false, true, 0.0f, 4.0f, 0.0f, 2.0f},
        {"outgoing with Link I/O", true, true, 4.0f, 4.0f, 2.0f, 2.0f},
        {"incoming", false, false, -4.0f, 0.0f, -2.0f, 0.0f},
        {"incoming with Link I/O", true, false, -4.0f, -4.0f, -2.0f, -2.0f},
    };
    for (const Case& c : cases) {
        Rig f;
        Key* k = kgiAddFlatKey(f.position, 10.0f, 0.0f);
        k->setChannelDtIn(1, 8.0f);
        k->setChannelDtOut(1, 8.0f);  // handles 2 units either side
        f.show(f.position, 1);
        f.editor.setLinkIO(c.linkIO);
        f.click(10.0f, 0.0f);
        const int updates = f.host.updates;
        f.drag(c.outgoing ? 12.0f : 8.0f, 0.0f, 10, -5);
        EXPECT_EQ(f.editor.getHitPart(), c.outgoing ? kgiCurveEditor::HIT_OUT : kgiCurveEditor::HIT_IN) << c.what;
        EXPECT_NEAR(k->getChannelDtIn(1), 8.0f + c.dtIn, 1e-4) << c.what;
        EXPECT_NEAR(k->getChannelDtOut(1), 8.0f + c.dtOut, 1e-4) << c.what;
        EXPECT_NEAR(k->getChannelDvIn(1), c.dvIn, 1e-4) << c.what;
        EXPECT_NEAR(k->getChannelDvOut(1), c.dvOut, 1e-4) << c.what;
        EXPECT_EQ(k->getChannelValue(1), 0.0f) << c.what;
        EXPECT_EQ(f.host.updates, updates + 1) << c.what;
    }
}

TEST_F(CurveEditor, KeyDragChangesTheValueOnly) {
    Key* k = kgiAddFlatKey(position, 10.0f, 0.0f);
    show(position, 2);
    drag(10.0f, 0.0f, 30, -20);  // the press selects it; 3 units right, 2 up
    EXPECT_EQ(k->getTime(), 10.0f);
    EXPECT_NEAR(k->getChannelValue(2), 2.0f, 1e-4);
    EXPECT_EQ(k->getChannelValue(0), 0.0f) << "other channels stay";
    EXPECT_EQ(position.getKeyIndex(10.0f), 0);
    EXPECT_EQ(host.updates, 1);
}

TEST_F(CurveEditor, EditsNeedExactlyOneSelectedKeyAndAllOff) {
    Key* a = kgiAddFlatKey(position, 5.0f, 0.0f);
    Key* b = kgiAddFlatKey(position, 15.0f, 4.0f);
    a->setChannelDtOut(0, 2.0f);
    show(position, 0);
    click(5.0f, 0.0f);
    click(15.0f, 4.0f, true);
    // A Ctrl press keeps both selected; the drag then edits nothing.
    editor.leftPress(px(editor, 15.0f), py(editor, 4.0f), false, true);
    editor.motion(px(editor, 15.0f), py(editor, 4.0f) - 10, px(editor, 15.0f), py(editor, 4.0f));
    editor.leftRelease(px(editor, 15.0f), py(editor, 4.0f) - 10);
    ASSERT_EQ(editor.getSelection().size(), 2u);
    editor.setLinear(3);
    editor.setDefault(3);
    EXPECT_EQ(b->getChannelValue(0), 4.0f) << "two keys selected";
    EXPECT_EQ(a->getChannelDtOut(0), 2.0f);
    EXPECT_EQ(host.updates, 0);

    click(5.0f, 0.0f);
    editor.setAll(true);
    editor.setLinear(3);
    editor.setDefault(3);
    EXPECT_EQ(a->getChannelDtOut(0), 2.0f) << "All on";
    editor.setAll(false);
    editor.setFast(3);
    editor.setSlow(3);
    EXPECT_EQ(a->getChannelDtOut(0), 2.0f) << "fast and slow change no key";
    editor.setLinear(2);
    EXPECT_EQ(a->getChannelDtOut(0), 0.0f);
}

TEST_F(CurveEditor, DefaultPresetRecomputesOnlyTheMaskedTangents) {
    kgiAddFlatKey(position, 0.0f, 0.0f);
    Key* k = kgiAddFlatKey(position, 10.0f, 5.0f);
    kgiAddFlatKey(position, 30.0f, 10.0f);
    show(position, 0);
    click(10.0f, 5.0f);
    editor.setDefault(2);  // tout
    EXPECT_EQ(k->getChannelDtIn(0), 0.0f);
    EXPECT_EQ(k->getChannelDvIn(0), 0.0f);
    EXPECT_FLOAT_EQ(k->getChannelDtOut(0), 20.0f);
    EXPECT_FLOAT_EQ(k->getChannelDvOut(0), 10.0f * 20.0f / 30.0f);
    editor.setDefault(1);  // tin
    EXPECT_FLOAT_EQ(k->getChannelDtIn(0), 10.0f);
    EXPECT_FLOAT_EQ(k->getChannelDvIn(0), 10.0f * 10.0f / 30.0f);
    editor.setLinear(1);
    EXPECT_EQ(k->getChannelDtIn(0), 0.0f);
    EXPECT_FLOAT_EQ(k->getChannelDtOut(0), 20.0f);
}

TEST_F(CurveEditor, NeighbourTangentsFollowTheEntrysChannel) {
    Key* a = kgiAddFlatKey(position, 0.0f, 0.0f);
    Key* k = kgiAddFlatKey(position, 10.0f, 5.0f);
    Key* c = kgiAddFlatKey(position, 20.0f, 0.0f);
    editor.refreshNeighbourTangents(kgiCurveSelection{1, false, k, &position});
    EXPECT_FLOAT_EQ(a->getChannelDtOut(1), 5.0f);
    EXPECT_FLOAT_EQ(c->getChannelDtIn(1), 5.0f);
    EXPECT_EQ(a->getChannelDtOut(0), 0.0f);
    EXPECT_EQ(k->getChannelDtOut(1), 0.0f) << "the key itself keeps its handles";
}

TEST_F(CurveEditor, ButtonsDriveOnlyWhatTheyBegan) {
    Key* k = kgiAddFlatKey(position, 10.0f, 0.0f);
    show(position, 0);
    click(10.0f, 0.0f);
    // A right drag over the selected key draws a band and edits nothing.
    editor.rightPress(100, 100);
    editor.motion(100, 50, 100, 100);
    EXPECT_TRUE(editor.isZoomBandActive());
    EXPECT_EQ(k->getChannelValue(0), 0.0f);
    editor.rightRelease(120, 50);
    EXPECT_FALSE(editor.isButtonDown());
    expectRange(editor, {10, 12, 0, 5}, "the band applied");

    // A Shift drag draws the select band, which selects nothing.
    editor.setRange(0, 20, -10, 10);
    editor.leftPress(10, 10, true, false);
    editor.motion(190, 190, 10, 10);
    EXPECT_TRUE(editor.isSelectBandActive());
    EXPECT_EQ(k->getChannelValue(0), 0.0f);
    editor.leftRelease(190, 190);
    EXPECT_FALSE(editor.isSelectBandActive());
    EXPECT_FLOAT_EQ(editor.getSelectBand().minTime, 1.0f);
    EXPECT_FLOAT_EQ(editor.getSelectBand().maxValue, 9.0f);
    ASSERT_EQ(editor.getSelection().size(), 1u);
}

// --- painting ---

class CurvePaint : public CurveEditor {
protected:
    kgiRecordingDraw paint(float now = 0.0f) {
        kgiRecordingDraw d;
        editor.paint(d, now);
        return d;
    }
    // Vertices a paint may make at this size: the grid, one sample every 5
    // pixels per shown channel, the markers (at most one per column and
    // channel), the selection and bands, and the labels.
    int bound(int channels) const { return 4 * (SIZE + 40) + channels * (SIZE / 5 + 1 + 4 * SIZE) + 64; }
};

TEST_F(CurvePaint, NewEditorDrawsGridAxesAndTheTimeMarker) {
    kgiRecordingDraw d = paint(4.0f);
    EXPECT_EQ(d.projections, 1);
    EXPECT_FLOAT_EQ(d.range[0], 0.0f);
    EXPECT_FLOAT_EQ(d.range[3], 10.0f);
    EXPECT_EQ(d.clears, 1);
    ASSERT_GE(d.primitives.size(), 3u);
    const kgiRecordedPrimitive& grid = d.primitives[0];
    // 21 whole times (0..20) and the value lines at +-2, +-4, ... (not 0).
    EXPECT_EQ(grid.vertexCount(), 2 * (21 + 8));
    const kgiRecordedPrimitive& axes = d.primitives[1];
    EXPECT_EQ(axes.width, 3.0f);
    EXPECT_EQ(axes.rgb[0], 0.0f);
    const kgiRecordedPrimitive& now = d.primitives[2];
    EXPECT_FLOAT_EQ(now.rgb[1], 0.3f);
    EXPECT_FLOAT_EQ(now.points[0], 4.0f - 0.3f);
    EXPECT_FLOAT_EQ(now.points[4], 4.0f + 0.3f);
    // A second paint keeps the projection.
    EXPECT_EQ(paint().projections, 0);

    std::vector<std::string> texts;
    for (const kgiRecordedLabel& l : d.labels) texts.push_back(l.text);
    ASSERT_GE(texts.size(), 10u);
    EXPECT_EQ(texts[0], "0");
    EXPECT_EQ(texts[1], "2");
    EXPECT_NEAR(d.labels[1].x, 20, 1);
    // Values from the bottom: -8 first, printed with one minus sign.
    EXPECT_NE(std::find(texts.begin(), texts.end(), "-8.000000"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "8.000000"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "0.000000"), texts.end());
}

TEST_F(CurvePaint, TimesBelowZeroHaveNoLabel) {
    editor.setRange(-50, -10, -10, 10);
    kgiRecordingDraw d = paint();
    for (const kgiRecordedLabel& l : d.labels) EXPECT_EQ(l.x, 0) << l.text << " is a value label";
    editor.setRange(-5, 15, -10, 10);
    d = paint();
    EXPECT_EQ(d.labels[0].text, "0");
    EXPECT_NEAR(d.labels[0].x, 50, 1);
}

TEST_F(CurvePaint, CurveIsFlatOutsideItsKeysAndMarkersOnlyInside) {
    kgiAddFlatKey(position, 0.0f, 2.0f);  // on the range's edge
    kgiAddFlatKey(position, 10.0f, 6.0f);
    show(position, 1);
    editor.setRange(0, 20, -10, 10);
    kgiRecordingDraw d = paint();
    auto strips = d.strips(0.0f, 0.8f, 0.4f);
    ASSERT_EQ(strips.size(), 1u);
    const kgiRecordedPrimitive& s = *strips[0];
    EXPECT_EQ(s.vertexCount(), SIZE / 5);
    EXPECT_FLOAT_EQ(s.points[1], 2.0f) << "at the first key";
    EXPECT_FLOAT_EQ(s.points[2 * 30 + 1], 6.0f) << "after the last key (t = 15)";
    // Between the keys, a value between theirs.
    EXPECT_GT(s.points[2 * 10 + 1], 2.0f);
    EXPECT_LT(s.points[2 * 10 + 1], 6.0f);
    // One marker: the key at t = 0 lies on the edge.
    int quads = 0;
    for (const kgiRecordedPrimitive& p : d.primitives)
        if (p.kind == kgiCurveDraw::QUADS) quads += p.vertexCount() / 4;
    EXPECT_EQ(quads, 1);
}

TEST_F(CurvePaint, DegenerateAndFarRangesStayUsableAndPaintsStayBounded) {
    kgiAddFlatKey(position, 0.0f, 0.0f);
    kgiAddFlatKey(position, 10.0f, 3.0f);
    kgiAddFlatKey(rotation, 5.0f, -4.0f);
    show(position, 0);
    show(rotation, 2, true);
    struct Case {
        const char* what;
        std::function<void(kgiCurveEditor&)> act;
    };
    const Case cases[] = {
        {"a zero-size zoom band",
         [](kgiCurveEditor& e) {
             e.rightPress(10, 10);
             e.rightRelease(10, 10);
         }},
        {"200 notches in, then 200 out",
         [](kgiCurveEditor& e) {
             for (int i = 0; i < 200; ++i) e.wheel(1);
             for (int i = 0; i < 200; ++i) e.wheel(-1);
         }},
        {"2000 notches out", [](kgiCurveEditor& e) {
             for (int i = 0; i < 2000; ++i) e.wheel(-1);
         }},
        {"a pan to time 1e9",
         [](kgiCurveEditor& e) {
             e.middlePress(0, 0);
             while (e.getMinTime() < 1e9f) e.motion(0, 0, 2000000000, 0);
             e.middleRelease(0, 0);
         }},
        {"a pan to value 1e9 after zooming in",
         [](kgiCurveEditor& e) {
             for (int i = 0; i < 100; ++i) e.wheel(1);
             e.middlePress(0, 0);
             for (int i = 0; i < 1000 && e.getMinValue() < 1e9f; ++i) e.motion(0, 2000000000, 0, 0);
             e.middleRelease(0, 0);
         }},
        {"an empty range set", [](kgiCurveEditor& e) { e.setRange(5, 5, 1, 1); }},
        {"an infinite range is refused", [](kgiCurveEditor& e) { e.setRange(0, INFINITY, -1, NAN); }},
    };
    for (const Case& c : cases) {
        editor.setRange(0, 20, -10, 10);
        c.act(editor);
        EXPECT_TRUE(std::isfinite(editor.getMinTime()) && std::isfinite(editor.getMaxTime())) << c.what;
        EXPECT_LT(editor.getMinTime(), editor.getMaxTime()) << c.what;
        EXPECT_LT(editor.getMinValue(), editor.getMaxValue()) << c.what;
        EXPECT_GT(editor.getValueStep(), 0.0f) << c.what;
        kgiRecordingDraw d = paint(3.0f);
        EXPECT_LE(d.vertexCount(), bound(2)) << c.what;
        EXPECT_LE(d.labels.size(), static_cast<size_t>(2 * SIZE)) << c.what;
    }
}

TEST_F(CurvePaint, SelectionShowsHandlesAndTheHitPart) {
    Key* k = kgiAddFlatKey(position, 10.0f, 0.0f);
    kgiAddFlatKey(position, 15.0f, 0.0f);
    k->setChannelDtOut(0, 8.0f);
    k->setChannelDvOut(0, 4.0f);
    show(position, 0);
    click(10.0f, 0.0f);
    kgiRecordingDraw d = paint();
    // Lines to the handles: the outgoing one at (12, 1).
    const kgiRecordedPrimitive* handles = nullptr;
    const kgiRecordedPrimitive* hollow = nullptr;
    for (const kgiRecordedPrimitive& p : d.primitives) {
        if (p.kind == kgiCurveDraw::LINES && p.vertexCount() == 4 && p.points[0] == 10.0f) handles = &p;
        if (p.kind == kgiCurveDraw::QUADS && p.rgb[0] == 1.0f) hollow = &p;
    }
    ASSERT_NE(handles, nullptr);
    EXPECT_FLOAT_EQ(handles->points[6], 12.0f);
    EXPECT_FLOAT_EQ(handles->points[7], 1.0f);
    ASSERT_NE(hollow, nullptr);
    EXPECT_EQ(hollow->vertexCount(), 4) << "one white square, on the key";
    EXPECT_FLOAT_EQ(hollow->points[0], 10.0f - 0.2f);

    click(15.0f, 0.0f, true);
    d = paint();
    int white = 0;
    for (const kgiRecordedPrimitive& p : d.primitives)
        if (p.kind == kgiCurveDraw::QUADS && p.rgb[0] == 1.0f) white += p.vertexCount() / 4;
    EXPECT_EQ(white, 2) << "one on each selected key";
}

TEST_F(CurvePaint, BandsAreDashedOutlines) {
    editor.rightPress(20, 20);
    editor.motion(60, 80, 20, 20);
    kgiRecordingDraw d = paint();
    const kgiRecordedPrimitive* band = nullptr;
    for (const kgiRecordedPrimitive& p : d.primitives)
        if (p.kind == kgiCurveDraw::LINE_LOOP) band = &p;
    ASSERT_NE(band, nullptr);
    EXPECT_TRUE(band->dashed);
    EXPECT_FLOAT_EQ(band->points[0], 2.0f);
    EXPECT_FLOAT_EQ(band->points[1], 2.0f);
    EXPECT_FLOAT_EQ(band->points[4], 6.0f);
    EXPECT_FLOAT_EQ(band->points[5], 8.0f);
}

// A key deleted elsewhere (the time line, an undo) while it is selected:
// the editor drops it before it would read it (the sanitizer build shows a
// read of the freed key).
TEST_F(CurvePaint, KeyDeletedElsewhereIsDroppedBeforeUse) {
    kgiAddFlatKey(position, 0.0f, 0.0f);
    Key* k = kgiAddFlatKey(position, 10.0f, 2.0f);
    kgiAddFlatKey(position, 20.0f, 0.0f);
    show(position, 0);
    click(10.0f, 2.0f);
    ASSERT_EQ(editor.getSelection().size(), 1u);
    ASSERT_EQ(editor.getSelection()[0].key, k);
    editor.leftPress(100, 80, false, false);  // a drag of the key begins
    ASSERT_TRUE(position.remove(10.0f));      // frees the key

    paint();
    editor.motion(100, 50, 100, 80);
    editor.leftRelease(100, 50);
    editor.setLinear(3);
    editor.setDefault(3);
    Key* hit = nullptr;
    int ch = 0;
    bool rot = false;
    EXPECT_FALSE(editor.hitTest(100, 80, hit, ch, rot));
    EXPECT_TRUE(editor.getSelection().empty());
    EXPECT_EQ(host.updates, 0);
}

} // namespace
