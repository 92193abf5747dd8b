#include "kgiMsgDlg.h"

#include "platform/codepage.h"
#include "platform/screen.h"

#include <cstring>

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

// The lesson texts are Japanese; the toolkit draws a text with one font and
// no fallback, so the face must hold kana and kanji itself. Its half-width
// cells must match how the program sizes the window: 16 pixels a line and
// 70 half-width characters in 564 pixels.
const char* const FONT_FACE = "IPAGothic";
const FXuint LARGEST_SIZE = 120; // deci-points: the 12 points the window asks for
const FXuint SMALLEST_SIZE = 60;
const FXint LINE_PIXELS = 16;
const FXint LINE_CHARACTERS = 70;
const FXint LINE_WIDTH = 564;

bool fitsTheLayout(const FXFont* font)
{
    FXString line;
    line.assign('0', LINE_CHARACTERS);
    return font->getFontHeight() <= LINE_PIXELS && font->getTextWidth(line) <= LINE_WIDTH;
}

} // namespace

FXColor kgiMsgDlg::colorOfMode(int mode)
{
    return mode == 1 ? PINK : PALE_YELLOW;
}

FXRectangle kgiMsgDlg::workArea(FXApp* app)
{
    platform::ScreenRect r = platform::workArea(app->getDisplay());
    return FXRectangle(FXshort(r.x), FXshort(r.y), FXshort(r.width), FXshort(r.height));
}

FXFont* kgiMsgDlg::createTextFont(FXApp* app)
{
    // Sizes are matched to what the face and the screen offer, so each
    // candidate is measured as created rather than computed from a
    // resolution.
    for (FXuint size = LARGEST_SIZE;; --size) {
        FXFontDesc desc{};
        strncpy(desc.face, FONT_FACE, sizeof desc.face - 1);
        desc.size = FXushort(size);
        desc.weight = FXFont::Normal;
        desc.slant = FXFont::Straight;
        desc.setwidth = FXFont::NonExpanded;
        desc.encoding = FONTENCODING_DEFAULT;
        desc.flags = FXFont::Fixed;
        FXFont* font = new FXFont(app, desc);
        font->create();
        if (fitsTheLayout(font) || size <= SMALLEST_SIZE)
            return font;
        delete font;
    }
}

kgiMsgDlg::kgiMsgDlg(FXApp* app, std::unique_ptr<kgiSpeechEngine> engine)
    : FXTopWindow(app, FXString::null, nullptr, nullptr, DECOR_NONE, 0, 0, DEFAULT_WIDTH,
                  DEFAULT_HEIGHT, 0, 0, 0, 0, 0, 0),
      engine(std::move(engine))
{
    font = createTextFont(app);
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

void kgiMsgDlg::setClock(std::function<double()> c)
{
    clock = c ? std::move(c) : std::function<double()>(platform::monotonicSeconds);
}

bool kgiMsgDlg::say(const char* text, const char* speech)
{
    label->setText(platform::cp932ToUtf8(text ? text : "").c_str());
    const std::string spoken = speech ? speech : "";
    readingTime = kgiSpeechEngine::readingSeconds(spoken);
    // The page stands from the moment it shows.
    saidAt = clock();
    return engine ? engine->speak(spoken) : false;
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
    saidAt = -1.0;
}

bool kgiMsgDlg::isSpeaking()
{
    if (engine && engine->isSpeaking())
        return true;
    if (saidAt < 0.0)
        return false;
    // Played aloud and over: the speech has been heard.
    if (engine && engine->playsAloud()) {
        saidAt = -1.0;
        return false;
    }
    double length = engine ? engine->heardSeconds() : -1.0;
    if (length < 0.0)
        length = readingTime;
    if (clock() - saidAt < length)
        return true;
    saidAt = -1.0;
    return false;
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
