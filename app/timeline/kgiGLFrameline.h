#pragma once
// A frame line, the ruler of the time line: frame cells from `first` to
// `last` at `pixelsPerFrame` columns each, a key row of `keyRowHeight`
// pixels at the top (keys, bands, grid) and the time area below it. The
// manager keeps two: the lower, editable line with the trash, and the
// overview line that shows the world's play range.
//
// Mouse, outside a lesson: a press in the time area sets the current time
// and scrubs while the button is held (the right button asks for the
// canvas's pop-up instead); a press on a key of the editable line drags it:
//   left                move (the key alone; up into the trash strip:
//                       delete)
//   left + Control      copy to the frame where the button comes up
//   right               push (the keys ahead of it go along)
//   right + Shift       pull (the keys behind it follow)
// and any other press in the key row pans the ruler. The drag edits the
// current character's key-time list live; the release records one undo
// entry in the character's key history and writes the keys to the nodes.
// In a lesson only the time, move and push are offered, each as the lesson
// allows it.
#include "kgiCollisionCheck.h"
#include "kgiGLWidget.h"
#include "kgiKeyDrag.h"

#include "kutImg.h"

#include <memory>
#include <vector>

class kgiCharacter;
class kgiGLTextPrinter;

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

    // The labels' bitmap font is "font/arial.ttf" under the host's base
    // directory at a face size of a quarter of the height (10 for a line
    // of 40 pixels); without the file the labels are left out.
    kgiGLFrameline(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);
    ~kgiGLFrameline() override;

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

    // A press starts a drag mode and answers true (the manager then sends
    // this line the motions and the release); any other action ends it.
    // False without a current character, or outside the line.
    bool onMouse(int button, int action, int modifier, int px, int py) override;
    // Hover while no press is held; otherwise one step of the drag.
    void onMotion(int px, int py) override;
    // Needs a current GL context with the canvas's pixel projection.
    void draw() override;

    int getDragMode() const { return dragMode; }
    int getHoverFrame() const { return hoverFrame; }
    int getPressFrame() const { return pressFrame; }
    int getPointerFrame() const { return pointerFrame; }
    int getPanAnchor() const { return panAnchor; }
    bool isOverTrash() const { return overTrash; }
    // The key drag in progress (its values stay after the release).
    const kgiKeyDrag& getKeyDrag() const { return drag; }
    const kgiGLTextPrinter* getPrinter() const { return printer.get(); }
    // Frame under column px and the left column of frame f.
    int frameAt(int px) const { return kgiGLWidget::frameAt(px, x, first, pixelsPerFrame); }
    int columnOf(int f) const { return kgiGLWidget::columnOf(f, x, first, pixelsPerFrame); }

protected:
    // The collision check's hits, in the order it found them; tests put
    // their own here.
    virtual const std::vector<kgiCollisionCheck::HitRecord>& collisionHits() const;

private:
    bool pressNormal(kgiCharacter* c, int button, int modifier, int py);
    bool pressLesson(kgiCharacter* c, int button, int modifier, int py);
    void release(kgiCharacter* c);
    void releaseLesson(kgiCharacter* c);
    // The move, push or pull entry of the drag, written back; false (and
    // the list read again from the nodes) when nothing was recorded.
    bool recordListEdit(kgiCharacter* c);
    // The index of the key exactly at frame f in the current list, or -1.
    static int keyAtFrame(const kgiCharacter* c, int f);
    void startPan();
    void scrub(int f);
    // One live edit of the character's list by the drag mode.
    void dragKey(int f);

    void drawTrash() const;
    void drawBands() const;
    void drawRange() const;
    void drawKeys() const;
    void drawHits() const;
    void drawGrid() const;
    void drawDragOrigin() const;
    void drawLabels() const;
    // A cell of frame f from row y1 to y2, cut at the right end.
    void cell(int f, int y1, int y2) const;
    bool showsFrame(int f) const { return first <= f && f <= last + 1; }
    // The current time t is drawn (-1 is none).
    bool showsTime(float t) const {
        return t != -1.0f && static_cast<float>(first) <= t && t <= static_cast<float>(last + 1);
    }

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
    std::unique_ptr<kgiGLTextPrinter> printer;
    kgiKeyDrag drag;
};
