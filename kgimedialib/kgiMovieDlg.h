#pragma once
// The video window itself: a small resizable FOX dialog with a black
// client area in which the attached movie's sink draws. A double click
// toggles between the window and a borderless one over the whole screen;
// Esc goes back; the window is dragged by its client area.
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

    // Borderless over the screen, and back to the window it was.
    void maximizeBorderless();
    void restoreWindowed();
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
    FX::FXuint windowedDecorations = 0;
    int windowedX = 0, windowedY = 0, windowedW = 0, windowedH = 0;
};

} // namespace kgi
