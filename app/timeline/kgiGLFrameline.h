#pragma once
// A frame line, the ruler of the time line: frame cells from `first` to
// `last` at `pixelsPerFrame` columns each, a key row of `keyRowHeight`
// pixels at the top (keys, bands, grid) and the time area below it. The
// manager keeps two: the lower, editable line with the trash, and the
// overview line that shows the world's play range.
#include "kgiGLWidget.h"

#include "kutImg.h"

class kgiGLFrameline : public kgiGLWidget {
public:
    enum DragMode {
        DRAG_NONE = -1,
        DRAG_PUSH = 0,
        DRAG_PULL = 1,
        DRAG_COPY = 2,
        DRAG_MOVE = 3,
        DRAG_SCRUB = 4,
        DRAG_PAN = 5,
        DRAG_MENU = 7  // a right press in the time area: the canvas's pop-up
    };
    static constexpr int DEFAULT_PIXELS_PER_FRAME = 5;

    kgiGLFrameline(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);

    // Recomputes last for the new width, then the rectangle.
    void setSize(int w, int h) override;

    int getFirst() const { return first; }
    int getLast() const { return last; }
    // Frames the window shows: last - first + 1.
    int getVisibleFrames() const { return last - first + 1; }
    // The window starts at f and keeps its length (last - first).
    void moveWindowTo(int f);
    // n (DEFAULT_PIXELS_PER_FRAME when not positive); last = first +
    // width / n - 1.
    void setPixelsPerFrame(int n);
    int getPixelsPerFrame() const { return pixelsPerFrame; }

    // --- settings ---
    void setEditable(bool on) { editable = on; }
    bool isEditable() const { return editable; }
    void setShowRange(bool on) { showRange = on; }
    bool getShowRange() const { return showRange; }
    void setKeyRowHeight(int h) { keyRowHeight = h; }
    int getKeyRowHeight() const { return keyRowHeight; }
    void setBandFrames(int n) { bandFrames = n; }
    int getBandFrames() const { return bandFrames; }
    void setLabelFrames(int n) { labelFrames = n; }
    int getLabelFrames() const { return labelFrames; }
    void setGridFrames(int n) { gridFrames = n; }
    int getGridFrames() const { return gridFrames; }
    void setBandColor(float r, float g, float b) { bandColor = {r, g, b}; }
    const std::array<float, 3>& getBandColor() const { return bandColor; }
    void setKeyColor(float r, float g, float b) { keyColor = {r, g, b}; }
    const std::array<float, 3>& getKeyColor() const { return keyColor; }
    void setRangeColor(float r, float g, float b) { rangeColor = {r, g, b}; }
    const std::array<float, 3>& getRangeColor() const { return rangeColor; }
    // A move drag ends on the trash when the pointer is more than offset
    // pixels above the line; loads "b_trash2.bmp" (pointer over it) and
    // "b_trash.bmp" from "icons/3d" (a missing picture stays empty).
    void enableTrash(int offset);
    bool isTrashEnabled() const { return trashEnabled; }
    int getTrashOffset() const { return trashOffset; }

    int getDragMode() const { return dragMode; }
    int getHoverFrame() const { return hoverFrame; }

protected:
    std::array<float, 3> bandColor{{1.0f, 1.0f, 1.0f}};
    std::array<float, 3> keyColor{{1.0f, 0.0f, 0.0f}};
    std::array<float, 3> rangeColor{{1.0f, 1.0f, 1.0f}};
    int bandFrames = 7;
    int labelFrames = 7;
    int gridFrames = 1;
    int pixelsPerFrame = DEFAULT_PIXELS_PER_FRAME;
    int keyRowHeight = 5;
    int first = 0;
    int last = 0;
    int hoverFrame = -1;
    bool editable = false;
    int dragMode = DRAG_NONE;
    int pressFrame = -1;
    int pointerFrame = -1;
    int panAnchor = 0;
    bool showRange = false;
    bool trashEnabled = false;
    int trashOffset = 0;
    kutGLImg trashHotImage;
    kutGLImg trashImage;
    bool overTrash = false;
    int keyIndex = -1;
    int fromFrame = -1;
    int toFrame = -1;
    int nextKeyFrame = -1;
    int prevKeyFrame = -1;
};
