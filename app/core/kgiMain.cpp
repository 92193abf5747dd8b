// The program: the world first (it outlives the application object), the
// robot joint table (installed in the core before start-up needs it), the
// current directory as the base directory of every data path, the makers of
// the neighbours the application creates (the message-window host, the
// sound player, the about box and the main window), then the toolkit's
// event loop with the idle task until the user quits.
#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiMsgWindowHost.h"
#include "kgiRobotJointTable.h"
#include "kgiSoundPlayer.h"
#include "kgiTimesheetWindow.h"
#include "kgiVersionDialog.h"
#include "kgiWorld.h"

#include <filesystem>

int main(int argc, char** argv) {
    kgiWorld::instance();
    kgiRobotJointTable::instance();
    std::error_code error;
    const std::string baseDir = std::filesystem::current_path(error).string();

    kgiApp app(baseDir);
    kgiAppMakers makers;
    makers.msgWindowHost = [] { return new kgiMsgWindowHost(); };
    makers.soundPlayer = [] { return new kgiSoundPlayer(nullptr); };
    makers.mainWindow = [](kgiApp& a) { return new kgiTimesheetWindow(&a); };
    app.setMakers(makers);
    app.setVersionDialogMaker(&kgiVersionDialog::make);
    app.init(argc, argv, true);
    app.create();

    // The 3D view until its own window is built: one canvas in a top-level
    // window. Closing it is a quit (the application handles the close), so
    // the settings are still written and the window is deleted here.
    auto* visual = new FX::FXGLVisual(&app, FX::VISUAL_DOUBLEBUFFER);
    auto* view = new FX::FXMainWindow(&app, "3DView", nullptr, nullptr, FX::DECOR_ALL, 20, 250, 640, 450);
    view->setTarget(&app);
    view->setSelector(FX::FXApp::ID_QUIT);
    new kgi3dCanvas(view, visual);
    view->create();
    view->show();

    app.startUp(argc, argv);
    const int result = app.run();
    // The canvas goes before its visual, both before the application; the
    // main window too, while the application it reaches is whole.
    delete view;
    delete visual;
    if (kgiCommandWindow* main = app.getMainWindow()) delete main->window();
    return result;
}
