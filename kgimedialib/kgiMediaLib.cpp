// The plug-in's exported entry points and its one window.
#include "kgiMediaLib.h"

#include "kgiMediaPath.h"
#include "kgiMediaWindowImpl.h"
#include "kgiMovieDlg.h"
#include "kgiMovieTrack.h"
#include "kgiSoundTrack.h"

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
        kgiMediaInit();  // the window may draw pictures before any track exists
        theWindow = new kgiMediaWindowImpl(app, parent);
    }
    if (width < 0)
        width = kgiMovieDlg::DEFAULT_WIDTH;
    if (height < 0)
        height = kgiMovieDlg::DEFAULT_HEIGHT;
    if (kgiMovieDlg* dlg = theWindow->dialog()) {
        // The work area is the root window: X has no task-bar reservation
        // the toolkit knows about.
        FX::FXWindow* root = dlg->getApp()->getRootWindow();
        if (x < 0)
            x = root->getWidth() - width;
        if (y < 0)
            y = root->getHeight() - height;
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
