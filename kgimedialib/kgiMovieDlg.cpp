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
    FXMAPFUNC(SEL_CONFIGURE, 0, kgiMovieDlg::onConfigure),
    FXMAPFUNC(SEL_TIMEOUT, kgiMovieDlg::ID_STATE_CHECK, kgiMovieDlg::onStateCheck),
};

FXIMPLEMENT(kgiMovieDlg, FXDialogBox, kgiMovieDlgMap, ARRAYNUMBER(kgiMovieDlgMap))

namespace {

// Sizable, with a maximize box and no close box: the host decides when the
// window goes.
constexpr FXuint WINDOWED = DECOR_TITLE | DECOR_BORDER | DECOR_RESIZE | DECOR_MAXIMIZE;
// Milliseconds after a size change to look at the window manager's state
// again, and how many looks a full screen asked for may take to come.
constexpr FXuint STATE_CHECK_MS = 100;
constexpr int STATE_CHECKS = 30;
// Milliseconds a window manager may take to make the window full screen
// before the window goes on without waiting (a few on a running desktop).
constexpr int FULL_SCREEN_WAIT_MS = 1000;

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
    void* display = getApp()->getDisplay();
    const bool managed = id() && platform::hasWindowManager(display);
    // The window manager's maximize has already given the window another
    // size; going back is the manager's (it keeps the window's own
    // rectangle), so only a window it did not maximize is measured here.
    if (!(managed && platform::isMaximized(display, id()))) {
        windowedX = getX();
        windowedY = getY();
        windowedW = getWidth();
        windowedH = getHeight();
    }
    windowedDecorations = getDecorations();
    // The monitor the window is mostly on, not the root window, which
    // spans every monitor of the X screen.
    platform::ScreenRect m =
        platform::monitorAt(platform::monitors(display), platform::rootArea(display),
                            getX() + getWidth() / 2, getY() + getHeight() / 2);
    borderless = true;
    borderlessSettled = false;
    borderlessW = m.width;
    borderlessH = m.height;
    if (managed) {
        // The manager's full screen has no frame and is placed by it; a
        // size asked for here first would become the rectangle it keeps.
        // Waiting the moment it takes tells the size changes on the way
        // there from later ones, which end it.
        platform::setFullScreen(display, id(), true);
        borderlessSettled = platform::waitFullScreen(display, id(), m.width, m.height, FULL_SCREEN_WAIT_MS);
    } else {
        setDecorations(DECOR_NONE);
        position(m.x, m.y, m.width, m.height);
        if (id())
            platform::setFullScreen(display, id(), true);
        // Placed here and now: any size from now on is another one.
        borderlessSettled = true;
    }
    layout();
}

void kgiMovieDlg::restoreWindowed()
{
    leaveBorderless(false);
}

void kgiMovieDlg::leaveBorderless(bool keepRectangle)
{
    if (!borderless)
        return;
    borderless = false;
    borderlessSettled = false;
    void* display = getApp()->getDisplay();
    const bool managed = id() && platform::hasWindowManager(display);
    if (managed) {
        // The manager puts back the frame and the rectangle it kept.
        platform::setFullScreen(display, id(), false);
    } else {
        setDecorations(windowedDecorations);
        if (id())
            platform::setFullScreen(display, id(), false);
        if (!keepRectangle)
            position(windowedX, windowedY, windowedW, windowedH);
    }
    layout();
}

FXbool kgiMovieDlg::maximize(FXbool)
{
    maximizeBorderless();
    return TRUE;
}

FXbool kgiMovieDlg::restore(FXbool notify)
{
    restoreWindowed();
    return FXDialogBox::restore(notify);
}

long kgiMovieDlg::onConfigure(FXObject* sender, FXSelector sel, void* ptr)
{
    FXDialogBox::handle(sender, sel, ptr);
    if (!id())
        return 1;
    // The server's state decides, not the event: the toolkit folds size
    // events that come together into one.
    if (borderless && !borderlessSettled) {
        // A manager slower than the wait: full screen once it says so.
        borderlessSettled = platform::isFullScreen(getApp()->getDisplay(), id(), borderlessW, borderlessH);
    } else if (borderless) {
        if (!platform::isFullScreen(getApp()->getDisplay(), id(), borderlessW, borderlessH))
            leaveBorderless(true);
        return 1;
    } else if (platform::isMaximized(getApp()->getDisplay(), id())) {
        // The window manager's maximize box.
        maximizeBorderless();
    }
    // A window manager may announce its state after the size: look again.
    if (platform::hasWindowManager(getApp()->getDisplay())) {
        stateChecks = 0;
        getApp()->addTimeout(this, ID_STATE_CHECK, STATE_CHECK_MS);
    }
    return 1;
}

long kgiMovieDlg::onStateCheck(FXObject*, FXSelector, void*)
{
    if (!id())
        return 1;
    void* display = getApp()->getDisplay();
    if (!borderless) {
        if (platform::isMaximized(display, id()))
            maximizeBorderless();
    } else if (!borderlessSettled) {
        borderlessSettled = platform::isFullScreen(display, id(), borderlessW, borderlessH);
    }
    // Until the manager has granted the full screen asked for, a while.
    if (borderless && !borderlessSettled && ++stateChecks < STATE_CHECKS)
        getApp()->addTimeout(this, ID_STATE_CHECK, STATE_CHECK_MS);
    return 1;
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
