#pragma once
// The time-line canvas at the bottom of the main window: the OpenGL area in
// which the widget manager (kgiGLTsMgr) lays out and draws the time line.
// It turns the toolkit's mouse events into the widget set's plain calls
// (button 0 left, 1 middle, 2 right; action 0 press, 1 release; modifier
// code, canvas pixels), shows the pop-up for copying, cutting and pasting
// the key at the current frame, and offers the paging and zoom the main
// window binds to its keys and tool bar. The projection maps one unit to
// one pixel with y growing downwards.
#include <fx.h>
#include <fx3d.h>

class kgiGLTsMgr;
class kgiTimelineHost;

class kgiTimesheetCanvas : public FX::FXGLCanvas {
    FXDECLARE(kgiTimesheetCanvas)

public:
    enum {
        ID_FRAME_COPY = FX::FXGLCanvas::ID_LAST,
        ID_FRAME_CUT,
        ID_FRAME_PASTE,
        // Handled and ignored.
        ID_SPARE_A,
        ID_SPARE_B,
        // No menu sends these two; the media host's import and removal.
        ID_MEDIA_IMPORT,
        ID_MEDIA_REMOVE,
        ID_LAST
    };

    // The widget manager at (0, 0, w, h) in grey-blue, and the pop-up.
    kgiTimesheetCanvas(FX::FXComposite* parent, FX::FXGLVisual* visual, FX::FXObject* target = nullptr,
                       FX::FXSelector sel = 0, FX::FXuint opts = FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y,
                       FX::FXint x = 0, FX::FXint y = 0, FX::FXint w = 0, FX::FXint h = 0);
    ~kgiTimesheetCanvas() override;

    // The canvas and its pop-up; the OpenGL state the time line draws with
    // is set by the first paint.
    void create() override;
    // The manager lays its rows out across the new size; the next paint
    // sets the viewport and pixel projection for it.
    void layout() override;

    long onPaint(FX::FXObject*, FX::FXSelector, void*);
    long onMotion(FX::FXObject*, FX::FXSelector, void*);
    long onMouseWheel(FX::FXObject*, FX::FXSelector, void*);
    long onLeftBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onLeftBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    long onMiddleBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onMiddleBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    long onRightBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onRightBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    // The pop-up's entries send the main window's Keys commands (copy, cut,
    // paste at the current frame) to the canvas's target, so the pop-up
    // edits keys exactly as the Keys menu does, undo entry included.
    long onCmdFrameCopy(FX::FXObject*, FX::FXSelector, void*);
    long onCmdFrameCut(FX::FXObject*, FX::FXSelector, void*);
    long onCmdFramePaste(FX::FXObject*, FX::FXSelector, void*);
    long onCmdSpare(FX::FXObject*, FX::FXSelector, void*);
    long onCmdMediaImport(FX::FXObject*, FX::FXSelector, void*);
    long onCmdMediaRemove(FX::FXObject*, FX::FXSelector, void*);

    // The widget set's modifier code of an event: 0 Shift, else 1 Control,
    // else 2 Alt, else 3 for a double click, else -1 (also for no event).
    static int modifierCode(const FX::FXEvent* event);

    // The pop-up made anew with the language table's texts (after a
    // language switch).
    void rebuildPopupMenu();
    // The widgets re-read the world and the character.
    void updateWidgets();
    // Paging of the overview (then a time-line redraw) and the zoom.
    void pageForward();
    void pageBack();
    void goToStart();
    void goToEnd();
    void zoom();
    void addMediaBar(int track);
    void removeMediaBar();

    kgiGLTsMgr* getManager() const { return manager; }
    // Replaces the manager (made at this canvas's size), e.g. one with its
    // own host and widgets for a test; the canvas owns it.
    void setManager(kgiGLTsMgr* m);
    FX::FXMenuPane* getPopup() const { return popup; }
    // Frames drawn so far.
    long getPaintCount() const { return paintCount; }

protected:
    // For the toolkit's class factory only.
    kgiTimesheetCanvas() {}

private:
    // With the context current: the drawing state on the first call, the
    // viewport and projection whenever the size changed.
    void prepareGL();
    void buildPopupMenu();
    // The host the redraw requests go to: the manager's.
    kgiTimelineHost* host() const;
    long buttonPress(int button, const FX::FXEvent* event);
    long buttonRelease(int button, const FX::FXEvent* event);
    // Sends one of the main window's key commands to the target.
    void sendToTarget(FX::FXSelector id);

    kgiGLTsMgr* manager = nullptr;
    FX::FXMenuPane* popup = nullptr;
    long paintCount = 0;
    bool glReady = false;
    int glWidth = -1;
    int glHeight = -1;
};
