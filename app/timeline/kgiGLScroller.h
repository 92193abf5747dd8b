#pragma once
// The scroller at the top of the time line: a bar of units (frames of the
// overview line) with a thumb that marks the part the lower frame line
// shows. The thumb covers `length` units from `value`; the bar shows
// `visible` units from `first`, `pixelsPerUnit` columns each. Whatever
// changes value, first or the scale keeps the thumb's column
//   thumbX = (value - first) * pixelsPerUnit + x.
#include "kgiGLWidget.h"

class kgiGLScroller : public kgiGLWidget {
public:
    static constexpr int DEFAULT_PIXELS_PER_UNIT = 5;

    kgiGLScroller(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);

    // visible = w / pixelsPerUnit, then the rectangle.
    void setSize(int w, int h) override;

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

    void setFreeDrag(bool on) { freeDrag = on; }
    bool isFreeDrag() const { return freeDrag; }
    bool isGrabbing() const { return grabbing; }
    void setThumbColor(float r, float g, float b) { thumbColor = {r, g, b}; }
    const std::array<float, 3>& getThumbColor() const { return thumbColor; }

protected:
    void placeThumb() { thumbX = (value - first) * pixelsPerUnit + x; }

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
