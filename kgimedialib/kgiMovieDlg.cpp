#include "kgiMovieDlg.h"

#include "kgiMediaLayout.h"

#include "platform/screen.h"

#include <FXICOIcon.h>
#include <fxkeys.h>
#include <gst/gst.h>
#include <gst/video/videooverlay.h>

namespace kgi {

using namespace FX;

FXDEFMAP(kgiMovieDlg) kgiMovieDlgMap[] = {
    FXMAPFUNC(SEL_PAINT, 0, kgiMovieDlg::onPaint),
    FXMAPFUNC(SEL_LEFTBUTTONPRESS, 0, kgiMovieDlg::onLeftBtnPress),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, 0, kgiMovieDlg::onLeftBtnRelease),
    FXMAPFUNC(SEL_MOTION, 0, kgiMovieDlg::onMotion),
    FXMAPFUNC(SEL_KEYPRESS, 0, kgiMovieDlg::onKeyPress),
    FXMAPFUNC(SEL_CLOSE, 0, kgiMovieDlg::onClose),
};

FXIMPLEMENT(kgiMovieDlg, FXDialogBox, kgiMovieDlgMap, ARRAYNUMBER(kgiMovieDlgMap))

namespace {

// Sizable, with a maximize box and no close box: the host decides when the
// window goes.
constexpr FXuint WINDOWED = DECOR_TITLE | DECOR_BORDER | DECOR_RESIZE | DECOR_MAXIMIZE;

// The application icon, read relative to the base directory; without it
// the window keeps the toolkit's default.
FXIcon* loadIcon(FXApp* app)
{
    FXFileStream stream;
    if (!stream.open("icons/app2.ico", FXStreamLoad))
        return nullptr;
    FXICOIcon* icon = new FXICOIcon(app);
    if (!icon->loadPixels(stream)) {
        delete icon;
        return nullptr;
    }
    return icon;
}

GstVideoOverlay* overlayOf(GstElement* e)
{
    return (e && GST_IS_VIDEO_OVERLAY(e)) ? GST_VIDEO_OVERLAY(e) : nullptr;
}

} // namespace

kgiMovieDlg::kgiMovieDlg(FXApp* app, FXWindow* owner, kgiMovieDlg** slot)
    // Without an owner the root window stands in, which makes a free
    // top-level window.
    : FXDialogBox(owner ? owner : static_cast<FXWindow*>(app->getRootWindow()), "Video",
                  WINDOWED, 0, 0, DEFAULT_WIDTH, DEFAULT_HEIGHT, 0, 0, 0, 0, 0, 0),
      slot(slot)
{
    setBackColor(FXRGB(0, 0, 0));
    // A top-level window of the toolkit starts disabled: it would not even
    // ask the X server for button presses, and no click, drag or double
    // click would ever reach it.
    enable();
    icon = loadIcon(app);
    if (icon)
        setIcon(icon);
    // Bottom-right corner of the work area until the host places it.
    platform::ScreenRect area = platform::workArea(app->getDisplay());
    setX(area.x + area.width - DEFAULT_WIDTH);
    setY(area.y + area.height - DEFAULT_HEIGHT);
}

kgiMovieDlg::~kgiMovieDlg()
{
    detachAll();
    if (slot && *slot == this)
        *slot = nullptr;
    delete icon;
}

void kgiMovieDlg::setTitleName(const std::string& name)
{
    setTitle(name.empty() ? FXString("Video") : FXString("Video [ ") + name.c_str() + " ]");
}

void kgiMovieDlg::attach(GstElement* r, int w, int h)
{
    if (!r)
        return;
    if (r != renderer) {
        detachAll();
        renderer = GST_ELEMENT(gst_object_ref(r));
        if (GstVideoOverlay* o = overlayOf(renderer)) {
            gst_video_overlay_set_window_handle(o, guintptr(id()));
            // A sink that draws in a child window of its own would take the
            // button presses there: dragging and double clicks over the
            // picture must reach this window.
            gst_video_overlay_handle_events(o, FALSE);
        }
    }
    videoWidth = w;
    videoHeight = h;
    layout();
}

bool kgiMovieDlg::detach(GstElement* r)
{
    if (!r || r != renderer)
        return false;
    detachAll();
    return true;
}

void kgiMovieDlg::detachAll()
{
    if (renderer) {
        gst_object_unref(renderer);
        renderer = nullptr;
    }
    if (id())
        update();
    setTitleName("");
}

void kgiMovieDlg::layout()
{
    FXDialogBox::layout();
    if (GstVideoOverlay* o = overlayOf(renderer)) {
        kgiMediaRect r = kgiLetterBox(getWidth(), getHeight(), videoWidth, videoHeight);
        gst_video_overlay_set_render_rectangle(o, r.x, r.y, r.width, r.height);
        gst_video_overlay_expose(o);
    }
}

void kgiMovieDlg::maximizeBorderless()
{
    if (borderless)
        return;
    windowedX = getX();
    windowedY = getY();
    windowedW = getWidth();
    windowedH = getHeight();
    windowedDecorations = getDecorations();
    setDecorations(DECOR_NONE);
    // The monitor the window is mostly on, not the root window, which
    // spans every monitor of the X screen.
    void* display = getApp()->getDisplay();
    platform::ScreenRect m =
        platform::monitorAt(platform::monitors(display), platform::rootArea(display),
                            getX() + getWidth() / 2, getY() + getHeight() / 2);
    position(m.x, m.y, m.width, m.height);
    borderless = true;
    layout();
    if (id())
        platform::keepAbove(display, id(), true);
}

void kgiMovieDlg::restoreWindowed()
{
    if (!borderless)
        return;
    borderless = false;
    if (id())
        platform::keepAbove(getApp()->getDisplay(), id(), false);
    setDecorations(windowedDecorations);
    position(windowedX, windowedY, windowedW, windowedH);
    layout();
}

long kgiMovieDlg::onPaint(FXObject*, FXSelector, void* ptr)
{
    FXDCWindow dc(this, static_cast<FXEvent*>(ptr));
    dc.setForeground(FXRGB(0, 0, 0));
    dc.fillRectangle(0, 0, getWidth(), getHeight());
    if (GstVideoOverlay* o = overlayOf(renderer))
        gst_video_overlay_expose(o);
    return 1;
}

long kgiMovieDlg::onLeftBtnPress(FXObject*, FXSelector, void* ptr)
{
    const FXEvent* ev = static_cast<FXEvent*>(ptr);
    if (ev->click_count == 2) {
        if (dragging) {
            dragging = false;
            ungrab();
        }
        if (borderless)
            restoreWindowed();
        else
            maximizeBorderless();
        return 1;
    }
    if (dragging || borderless)
        return 1;
    grab();
    dragX = ev->root_x - getX();
    dragY = ev->root_y - getY();
    dragging = true;
    return 1;
}

long kgiMovieDlg::onMotion(FXObject*, FXSelector, void* ptr)
{
    if (!dragging)
        return 0;
    const FXEvent* ev = static_cast<FXEvent*>(ptr);
    move(ev->root_x - dragX, ev->root_y - dragY);
    return 1;
}

long kgiMovieDlg::onLeftBtnRelease(FXObject* sender, FXSelector sel, void* ptr)
{
    if (!dragging)
        return 0;
    onMotion(sender, sel, ptr);
    dragging = false;
    ungrab();
    return 1;
}

long kgiMovieDlg::onKeyPress(FXObject* sender, FXSelector sel, void* ptr)
{
    const FXEvent* ev = static_cast<FXEvent*>(ptr);
    // A dialog box would close on Esc and Enter; this one never does.
    if (ev->code == KEY_Escape) {
        restoreWindowed();
        return 1;
    }
    if (ev->code == KEY_Return || ev->code == KEY_KP_Enter)
        return 1;
    return FXTopWindow::onKeyPress(sender, sel, ptr);
}

long kgiMovieDlg::onClose(FXObject*, FXSelector, void*)
{
    return 1;
}

} // namespace kgi
