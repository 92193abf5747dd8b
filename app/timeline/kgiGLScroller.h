#pragma once
// The scroller at the top of the time line: a bar of units (frames of the
// overview line) with a thumb that marks the part the lower frame line
// shows. The thumb covers `length` units from `value`; the bar shows
// `visible` units from `first`, `pixelsPerUnit` columns each. Whatever
// changes value, first or the scale keeps the thumb's column
//   thumbX = (value - first) * pixelsPerUnit + x.
//
// Dragging the thumb comes in two kinds. Bounded (the scroller's own): the
// thumb stops at an edge of the bar and the bar's window scrolls by the
// overshoot instead (earlier not below unit 0, later without limit). Free
// (the playback bar's): the window stays and the thumb goes where the
// pointer takes it, never before unit 0.
#include "kgiGLWidget.h"

class kgiGLScroller : public kgiGLWidget {
public:
    static constexpr int DEFAULT_PIXELS_PER_UNIT = 5;

    kgiGLScroller(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);

    // visible = w / pixelsPerUnit, then the rectangle.
    void setSize(int w, int h) override;
    // A press inside: the middle button off the thumb centres the thumb on
    // the clicked unit (not before 0) and answers true; other buttons grab
    // the thumb when they hit it (hitThumb). Any other action ends the
    // grab and answers false.
    bool onMouse(int button, int action, int modifier, int px, int py) override;
    // While grabbing: the thumb moves by the whole units the pointer
    // crossed since the last step that moved (bounded or free, see above);
    // value follows the thumb.
    void onMotion(int px, int py) override;
    // The bar in its colour, the thumb in the thumb colour clipped to the
    // bar, over the full height.
    void draw() override;
    // Grabs the thumb when (px, py) lies inside the bar and strictly inside
    // the thumb's columns (the part past the right edge counts as the bar's
    // end); false, with grabOffset -1, otherwise.
    virtual bool hitThumb(int px, int py);

    // value = v, 0 when v is negative.
    void setValue(int v);
    int getValue() const { return value; }
    // The unit at the left edge.
    void setFirst(int f);
    int getFirst() const { return first; }
    // The thumb's length in units.
    void setLength(int n) { length = n; }
    int getLength() const { return length; }
    // n, or DEFAULT_PIXELS_PER_UNIT when n is not positive; visible follows.
    void setPixelsPerUnit(int n);
    int getPixelsPerUnit() const { return pixelsPerUnit; }
    int getVisible() const { return visible; }
    int getThumbX() const { return thumbX; }
    // Pointer column minus thumbX at the last grab, -1 after a failed test.
    int getGrabOffset() const { return grabOffset; }

    void setFreeDrag(bool on) { freeDrag = on; }
    bool isFreeDrag() const { return freeDrag; }
    bool isGrabbing() const { return grabbing; }
    void setThumbColor(float r, float g, float b) { thumbColor = {r, g, b}; }
    const std::array<float, 3>& getThumbColor() const { return thumbColor; }

protected:
    void placeThumb() { thumbX = (value - first) * pixelsPerUnit + x; }
    // The thumb's columns: left, and right (exclusive), which is the bar's
    // right end when the thumb runs past the window.
    int thumbLeft() const { return (value - first) * pixelsPerUnit + x; }
    int thumbRight() const;
    // The grab test with the thumb's left column in or out.
    bool grabIfOnThumb(int px, int py, bool leftColumnIn);

    int grabOffset = 0;
    int grabX = 0;
    int thumbX = 0;
    int value = 0;
    int length = 0;
    int first = 0;
    int visible = 0;
    int pixelsPerUnit = DEFAULT_PIXELS_PER_UNIT;
    bool grabbing = false;
    bool freeDrag = false;
    std::array<float, 3> thumbColor{{1.0f, 1.0f, 1.0f}};
};
