#include "kgiLinkDebugWindow.h"
#include "kgiRobotLink.h"

FXDEFMAP(kgiLinkDebugWindow) kgiLinkDebugWindowMap[] = {
    FXMAPFUNC(FX::SEL_PAINT, kgiLinkDebugWindow::ID_CANVAS, kgiLinkDebugWindow::onPaint),
    FXMAPFUNC(FX::SEL_KEYPRESS, 0, kgiLinkDebugWindow::onKeyPress),
    FXMAPFUNC(FX::SEL_KEYRELEASE, 0, kgiLinkDebugWindow::onKeyRelease),
    FXMAPFUNC(FX::SEL_TIMEOUT, kgiLinkDebugWindow::ID_FRAME, kgiLinkDebugWindow::onFrame),
};

FXIMPLEMENT(kgiLinkDebugWindow, FX::FXMainWindow, kgiLinkDebugWindowMap,
            ARRAYNUMBER(kgiLinkDebugWindowMap))

namespace {
const FX::FXuint FRAME_MS = 50;
}

kgiLinkDebugWindow::kgiLinkDebugWindow(FX::FXApp* app, kgiRobotLink* l)
    : FX::FXMainWindow(app, "Serial link", nullptr, nullptr, FX::DECOR_ALL, 0, 0, 900, 700),
      link(l)
{
    canvas = new FX::FXCanvas(this, this, ID_CANVAS, FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y);
}

void kgiLinkDebugWindow::create()
{
    FX::FXMainWindow::create();
    getApp()->addTimeout(this, ID_FRAME, FRAME_MS);
}

unsigned char kgiLinkDebugWindow::keyCode(FX::FXuint sym)
{
    if (sym >= ::KEY_a && sym <= ::KEY_z) return static_cast<unsigned char>('A' + (sym - ::KEY_a));
    if (sym >= ::KEY_A && sym <= ::KEY_Z) return static_cast<unsigned char>(sym);
    if (sym >= ::KEY_F1 && sym <= ::KEY_F8)
        return static_cast<unsigned char>(kgiRobotLink::KEY_F1 + (sym - ::KEY_F1));
    if (sym >= ::KEY_KP_0 && sym <= ::KEY_KP_9)
        return static_cast<unsigned char>(kgiRobotLink::KEY_NUM0 + (sym - ::KEY_KP_0));
    switch (sym) {
    case ::KEY_Return:
    case ::KEY_KP_Enter: return kgiRobotLink::KEY_ENTER;
    case ::KEY_End: return kgiRobotLink::KEY_END;
    case ::KEY_Home: return kgiRobotLink::KEY_HOME;
    case ::KEY_Left: return kgiRobotLink::KEY_LEFT;
    case ::KEY_Right: return kgiRobotLink::KEY_RIGHT;
    case ::KEY_Up: return kgiRobotLink::KEY_UP;
    case ::KEY_Down: return kgiRobotLink::KEY_DOWN;
    case ::KEY_KP_Add: return kgiRobotLink::KEY_NUM_PLUS;
    case ::KEY_KP_Subtract: return kgiRobotLink::KEY_NUM_MINUS;
    default: return 0;
    }
}

long kgiLinkDebugWindow::onKeyPress(FX::FXObject*, FX::FXSelector, void* ptr)
{
    unsigned char k = keyCode(static_cast<FX::FXEvent*>(ptr)->code);
    if (k == 0) return 0;
    link->setKeyState(k, true);
    return 1;
}

long kgiLinkDebugWindow::onKeyRelease(FX::FXObject*, FX::FXSelector, void* ptr)
{
    unsigned char k = keyCode(static_cast<FX::FXEvent*>(ptr)->code);
    if (k == 0) return 0;
    link->setKeyState(k, false);
    return 1;
}

long kgiLinkDebugWindow::onFrame(FX::FXObject*, FX::FXSelector, void*)
{
    link->showDebugPage();
    canvas->update();
    getApp()->addTimeout(this, ID_FRAME, FRAME_MS);
    return 1;
}

long kgiLinkDebugWindow::onPaint(FX::FXObject*, FX::FXSelector, void*)
{
    FX::FXDCWindow dc(canvas);
    dc.setForeground(FXRGB(255, 255, 255));
    dc.fillRectangle(0, 0, canvas->getWidth(), canvas->getHeight());
    dc.setForeground(FXRGB(0, 0, 0));
    dc.setFont(getApp()->getNormalFont());
    const int ascent = getApp()->getNormalFont()->getFontAscent();
    for (int i = 0; i < link->logCount; ++i) {
        const kgiRobotLink::LogLine& l = link->log[i];
        dc.drawText(l.x + 4, l.y + 4 + ascent, l.text, static_cast<FX::FXuint>(strlen(l.text)));
    }
    return 1;
}
