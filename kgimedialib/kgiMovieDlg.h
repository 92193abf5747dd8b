#pragma once
// The video window itself: a small resizable FOX dialog with a black
// client area in which the attached movie's sink draws. Its maximize box
// (the window manager's) and a double click make it borderless over the
// monitor under its centre and above the other windows; a double click, Esc
// and any other size change make it a window again. It is dragged by its
// client area.
#include <fx.h>

#include <cstdint>
#include <string>

typedef struct _GstElement GstElement;

namespace kgi {

class kgiMovieDlg : public FX::FXDialogBox
{
    FXDECLARE(kgiMovieDlg)
protected:
    kgiMovieDlg() {}

public:
    // Size and place before the host's own placement.
    static constexpr int DEFAULT_WIDTH = 320;
    static constexpr int DEFAULT_HEIGHT = 240;

    // owner null: a top-level window of app. *slot is cleared when the
    // dialog is deleted, also when its application deletes it first.
    kgiMovieDlg(FX::FXApp* app, FX::FXWindow* owner, kgiMovieDlg** slot);
    ~kgiMovieDlg() override;

    void layout() override;

    // Shows a track's sink here at the given video size. Attaching the one
    // already attached only updates the size.
    void attach(GstElement* renderer, int videoWidth, int videoHeight);
    // Lets go of renderer when it is the attached one (title back to
    // "Video"); false for any other.
    bool detach(GstElement* renderer);
    void detachAll();
    // "Video", or "Video [ name ]" for a file name.
    void setTitleName(const std::string& name);

    // Borderless over the monitor, and back to the window it was (its
    // rectangle too).
    void maximizeBorderless();
    void restoreWindowed();
    // The toolkit's maximize and restore (its ID_MAXIMIZE and ID_RESTORE
    // commands): borderless, and back.
    FX::FXbool maximize(FX::FXbool notify = FALSE) override;
    FX::FXbool restore(FX::FXbool notify = FALSE) override;
    bool isBorderless() const { return borderless; }
    bool isDragging() const { return dragging; }
    GstElement* attached() const { return renderer; }
    std::uintptr_t nativeHandle() const { return std::uintptr_t(id()); }

    long onPaint(FX::FXObject*, FX::FXSelector, void*);
    long onLeftBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onLeftBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    long onMotion(FX::FXObject*, FX::FXSelector, void*);
    long onKeyPress(FX::FXObject*, FX::FXSelector, void*);
    long onClose(FX::FXObject*, FX::FXSelector, void*);
    long onConfigure(FX::FXObject*, FX::FXSelector, void*);
    long onStateCheck(FX::FXObject*, FX::FXSelector, void*);

    enum {
        // A look at the window manager's state shortly after a size change,
        // for a manager that announces its maximized state after the size.
        ID_STATE_CHECK = FX::FXDialogBox::ID_LAST,
        ID_LAST
    };

private:
    kgiMovieDlg** slot = nullptr;
    FX::FXIcon* icon = nullptr;
    GstElement* renderer = nullptr;  // holds a reference while attached
    int videoWidth = 100;
    int videoHeight = 100;
    int dragX = 0;  // cursor minus window top-left at the start of a drag
    int dragY = 0;
    bool dragging = false;
    bool borderless = false;
    // Borderless and seen at the monitor's size: from then on any other size
    // is a change that ends it (before, the size is still on its way there).
    bool borderlessSettled = false;
    int borderlessW = 0, borderlessH = 0;
    int stateChecks = 0;
    FX::FXuint windowedDecorations = 0;
    int windowedX = 0, windowedY = 0, windowedW = 0, windowedH = 0;

    // Back to a window; at the old rectangle unless keepRectangle.
    void leaveBorderless(bool keepRectangle);
};

} // namespace kgi
