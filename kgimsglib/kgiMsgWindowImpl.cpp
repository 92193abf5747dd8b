#include "kgiMsgWindowImpl.h"

#include "kgiMsgDlg.h"

#include <climits>
#include <new>

using namespace FX;

namespace kgi {

kgiMsgWindowImpl::kgiMsgWindowImpl(FXApp* app, std::unique_ptr<kgiSpeechEngine> engine)
    : dlg(new kgiMsgDlg(app, std::move(engine)))
{
    // Before the application's create() the window is realised with every
    // other window; after it, it must be realised here.
    if (app->getRootWindow()->id())
        dlg->create();
    dlg->show();
}

kgiMsgWindowImpl::~kgiMsgWindowImpl()
{
    delete dlg;
}

bool kgiMsgWindowImpl::show()
{
    if (!dlg)
        return false;
    dlg->show();
    return true;
}

bool kgiMsgWindowImpl::hide()
{
    if (!dlg)
        return false;
    dlg->hide();
    return true;
}

bool kgiMsgWindowImpl::move(int x, int y)
{
    if (!dlg)
        return false;
    dlg->move(x, y);
    return true;
}

bool kgiMsgWindowImpl::resize(int width, int height)
{
    if (!dlg)
        return false;
    dlg->resize(width, height);
    return true;
}

bool kgiMsgWindowImpl::getPosition(int* x, int* y)
{
    if (!dlg)
        return false;
    if (x)
        *x = dlg->getX();
    if (y)
        *y = dlg->getY();
    return true;
}

bool kgiMsgWindowImpl::getSize(int* width, int* height)
{
    if (!dlg)
        return false;
    if (width)
        *width = dlg->getWidth();
    if (height)
        *height = dlg->getHeight();
    return true;
}

bool kgiMsgWindowImpl::say(const char* text, const char* speech)
{
    if (!dlg)
        return false;
    // A new text comes to the top, over windows opened since the last.
    dlg->bringToFront();
    dlg->say(text, speech);
    return true;
}

bool kgiMsgWindowImpl::setColorMode(int mode)
{
    if (!dlg)
        return false;
    dlg->setColorMode(mode);
    return true;
}

bool kgiMsgWindowImpl::stopSpeech()
{
    if (!dlg)
        return false;
    dlg->stopSpeech();
    return true;
}

bool kgiMsgWindowImpl::isSpeaking()
{
    return dlg && dlg->isSpeaking();
}

namespace {

// The library's single window; null until the first createMsgWindow.
kgiMsgWindowImpl* single = nullptr;

// The window is made this much wider than asked, the default too, so a
// default window reaches past the work area's right edge by as much.
const int EXTRA_WIDTH = 4;

} // namespace

kgiMsgWindow* createMsgWindow(int x, int y, int width, int height)
{
    if (!single) {
        FXApp* app = FXApp::instance();
        if (!app || !app->getDisplay())
            return nullptr;
        single = new (std::nothrow)
            kgiMsgWindowImpl(app, kgiSpeechEngine::fromSettings(kgiSpeechEngine::SETTINGS_PATH));
        if (!single)
            return nullptr;
    }
    if (width < 0)
        width = kgiMsgDlg::DEFAULT_WIDTH;
    if (height < 0)
        height = kgiMsgDlg::DEFAULT_HEIGHT;
    FXRectangle area = kgiMsgDlg::workArea(FXApp::instance());
    if (x < 0)
        x = area.x + area.w - width;
    if (y < 0)
        y = area.y + area.h - height;
    single->move(x, y);
    single->resize(width > INT_MAX - EXTRA_WIDTH ? INT_MAX : width + EXTRA_WIDTH, height);
    return single;
}

void destroyMsgWindow()
{
    delete single;
    single = nullptr;
}

} // namespace kgi
