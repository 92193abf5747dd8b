#include "kgiMsgDlg.h"

#include "platform/codepage.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace FX;

namespace kgi {

// clang-format off
FXDEFMAP(kgiMsgDlg) kgiMsgDlgMap[] = {
    FXMAPFUNC(SEL_LEFTBUTTONPRESS,   0,                  kgiMsgDlg::onLeftBtnPress),
    FXMAPFUNC(SEL_LEFTBUTTONPRESS,   kgiMsgDlg::ID_TEXT, kgiMsgDlg::onLeftBtnPress),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, 0,                  kgiMsgDlg::onLeftBtnRelease),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, kgiMsgDlg::ID_TEXT, kgiMsgDlg::onLeftBtnRelease),
    FXMAPFUNC(SEL_MOTION,            0,                  kgiMsgDlg::onMotion),
    FXMAPFUNC(SEL_MOTION,            kgiMsgDlg::ID_TEXT, kgiMsgDlg::onMotion),
    FXMAPFUNC(SEL_KEYPRESS,          0,                  kgiMsgDlg::onKeyPress),
};
// clang-format on

FXIMPLEMENT(kgiMsgDlg, FXTopWindow, kgiMsgDlgMap, ARRAYNUMBER(kgiMsgDlgMap))

const FXColor kgiMsgDlg::PINK = FXRGB(0xFF, 0x71, 0xDA);
const FXColor kgiMsgDlg::PALE_YELLOW = FXRGB(0xFF, 0xFF, 0xCC);

namespace {

// The placeholder the text shows until the first say().
const char* const PLACEHOLDER = "\xE3\x82\xB9\xE3\x82\xBF\xE3\x83\x86\xE3\x82\xA3\xE3\x83\x83\xE3\x82\xAF";

// A 12-point fixed-pitch face: at the usual 96 dots per inch its cells are
// 8 x 16 pixels, the measure the program sizes the window by (16 pixels a
// line, 70 characters in the default width).
const char* const FONT_FACE = "monospace";
const FXuint FONT_POINTS = 12;

// The work area the window manager announces for the current desktop, or
// false when it announces none.
bool announcedWorkArea(FXApp* app, FXRectangle& area)
{
    Display* display = static_cast<Display*>(app->getDisplay());
    Atom workArea = XInternAtom(display, "_NET_WORKAREA", True);
    if (workArea == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    // The first desktop's four values; every desktop has the same in
    // practice.
    if (XGetWindowProperty(display, DefaultRootWindow(display), workArea, 0, 4, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) != Success)
        return false;
    bool ok = data && type == XA_CARDINAL && format == 32 && count == 4;
    if (ok) {
        // Format 32 arrives as longs, whatever their width.
        const long* v = reinterpret_cast<const long*>(data);
        ok = v[2] > 0 && v[3] > 0;
        if (ok)
            area = FXRectangle(FXshort(v[0]), FXshort(v[1]), FXshort(v[2]), FXshort(v[3]));
    }
    if (data)
        XFree(data);
    return ok;
}

} // namespace

FXColor kgiMsgDlg::colorOfMode(int mode)
{
    return mode == 1 ? PINK : PALE_YELLOW;
}

FXRectangle kgiMsgDlg::workArea(FXApp* app)
{
    FXRectangle area;
    if (announcedWorkArea(app, area))
        return area;
    FXWindow* root = app->getRootWindow();
    return FXRectangle(0, 0, FXshort(root->getWidth()), FXshort(root->getHeight()));
}

kgiMsgDlg::kgiMsgDlg(FXApp* app, std::unique_ptr<kgiSpeechEngine> engine)
    : FXTopWindow(app, FXString::null, nullptr, nullptr, DECOR_NONE, 0, 0, DEFAULT_WIDTH,
                  DEFAULT_HEIGHT, 0, 0, 0, 0, 0, 0),
      engine(std::move(engine))
{
    font = new FXFont(app, FONT_FACE, FONT_POINTS);
    label = new FXLabel(this, PLACEHOLDER, nullptr,
                        JUSTIFY_LEFT | JUSTIFY_TOP | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0,
                        0, 0, 0, 0);
    label->setFont(font);
    label->setTarget(this);
    label->setSelector(ID_TEXT);
    FXRectangle area = workArea(app);
    move(area.x + area.w - DEFAULT_WIDTH, area.y + area.h - DEFAULT_HEIGHT);
    setColor(PALE_YELLOW);
}

kgiMsgDlg::~kgiMsgDlg()
{
    if (engine)
        engine->stop();
    // The label goes with the window; the font is ours to free, after the
    // label that draws with it.
    delete label;
    label = nullptr;
    delete font;
}

void kgiMsgDlg::create()
{
    FXTopWindow::create();
    font->create();
}

FXbool kgiMsgDlg::close(FXbool)
{
    return FALSE;
}

bool kgiMsgDlg::say(const char* text, const char* speech)
{
    label->setText(platform::cp932ToUtf8(text ? text : "").c_str());
    return engine ? engine->speak(speech ? speech : "") : false;
}

FXString kgiMsgDlg::getText() const
{
    return label->getText();
}

void kgiMsgDlg::setColor(FXColor color)
{
    setBackColor(color);
    label->setBackColor(color);
    if (id()) {
        update();
        label->update();
        repaint();
    }
}

void kgiMsgDlg::stopSpeech()
{
    if (engine)
        engine->stop();
}

bool kgiMsgDlg::isSpeaking()
{
    return engine && engine->isSpeaking();
}

long kgiMsgDlg::onLeftBtnPress(FXObject*, FXSelector, void* ptr)
{
    const FXEvent* event = static_cast<const FXEvent*>(ptr);
    if (id())
        grab();
    dragX = event->root_x - getX();
    dragY = event->root_y - getY();
    dragging = true;
    return 1;
}

long kgiMsgDlg::onMotion(FXObject*, FXSelector, void* ptr)
{
    if (!dragging)
        return 0;
    const FXEvent* event = static_cast<const FXEvent*>(ptr);
    move(event->root_x - dragX, event->root_y - dragY);
    return 1;
}

long kgiMsgDlg::onLeftBtnRelease(FXObject*, FXSelector, void* ptr)
{
    if (!dragging)
        return 0;
    const FXEvent* event = static_cast<const FXEvent*>(ptr);
    dragging = false;
    if (id())
        ungrab();
    move(event->root_x - dragX, event->root_y - dragY);
    return 1;
}

long kgiMsgDlg::onKeyPress(FXObject* sender, FXSelector sel, void* ptr)
{
    // Enter and Esc would reach a default or cancel button in other
    // windows; here they do nothing at all.
    const FXEvent* event = static_cast<const FXEvent*>(ptr);
    if (event->code == KEY_Return || event->code == KEY_KP_Enter || event->code == KEY_Escape)
        return 1;
    return FXTopWindow::onKeyPress(sender, sel, ptr);
}

} // namespace kgi
