// The plug-in's exported entry points and its one window.
#include "kgiMediaLib.h"

#include "kgiMediaPath.h"
#include "kgiMediaWindowImpl.h"
#include "kgiMovieDlg.h"
#include "kgiMovieTrack.h"
#include "kgiSoundTrack.h"

#include "platform/screen.h"

#include <fx.h>

#include <memory>

namespace kgi {

namespace {
kgiMediaWindowImpl* theWindow = nullptr;
} // namespace

kgiMediaWindowImpl* kgiMediaWindowImpl::current()
{
    return theWindow;
}

} // namespace kgi

using namespace kgi;

extern "C" {

kgiMediaTrack* CreateMediaTrack(const char* path)
{
    if (!path || !kgiMediaInit())
        return nullptr;
    std::string p(path);
    if (!kgiIsSoundFileName(p)) {
        std::unique_ptr<kgiMovieTrack> movie(new kgiMovieTrack());
        if (movie->load(p))
            return movie.release();
    }
    std::unique_ptr<kgiSoundTrack> sound(new kgiSoundTrack());
    if (sound->load(p))
        return sound.release();
    return nullptr;
}

void DestroyMediaTrack(kgiMediaTrack* track)
{
    delete track;
}

kgiMediaWindow* CreateMediaWindow(FX::FXWindow* parent, int x, int y, int width, int height)
{
    if (!theWindow) {
        FX::FXApp* app = FX::FXApp::instance();
        if (!app || !app->isInitialized() || !app->getDisplay())
            return nullptr;
        // The window is realised at once, which the toolkit allows only
        // after the application's create() and on an owner that has its X
        // window; otherwise it ends the process. No window then.
        if (!app->getRootWindow()->id() || (parent && !parent->id()))
            return nullptr;
        kgiMediaInit();  // the window may draw pictures before any track exists
        theWindow = new kgiMediaWindowImpl(app, parent);
    }
    if (width < 0)
        width = kgiMovieDlg::DEFAULT_WIDTH;
    if (height < 0)
        height = kgiMovieDlg::DEFAULT_HEIGHT;
    if (kgiMovieDlg* dlg = theWindow->dialog()) {
        // Against the work area, so a desktop panel hides no edge.
        platform::ScreenRect area = platform::workArea(dlg->getApp()->getDisplay());
        if (x < 0)
            x = area.x + area.width - width;
        if (y < 0)
            y = area.y + area.height - height;
    }
    theWindow->move(x, y);
    theWindow->resize(width, height);
    return theWindow;
}

void DestroyMediaWindow()
{
    delete theWindow;
    theWindow = nullptr;
}

} // extern "C"
