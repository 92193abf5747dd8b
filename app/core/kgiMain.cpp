// The program: the world first (it outlives the application object), the
// robot joint table (installed in the core before start-up needs it), the
// current directory as the base directory of every data path, the makers of
// the neighbours the application creates (the message-window host, the
// sound player and the about box), then the toolkit's event loop with the idle task until the
// user quits.
#include "kgi3dWindow.h"
#include "kgiApp.h"
#include "kgiMsgWindowHost.h"
#include "kgiRobotJointTable.h"
#include "kgiSoundPlayer.h"
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
    app.setMakers(makers);
    app.setVersionDialogMaker(&kgiVersionDialog::make);
    app.init(argc, argv, true);
    app.create();

    // The 3D view stands in for the main window until that is built:
    // closing it is a quit, so the settings are still written and the
    // window is deleted here.
    auto* view = new kgi3dWindow(&app, "3DView", 20, 250, 640, 450);
    view->setQuitOnClose(true);
    view->create();

    app.startUp(argc, argv);
    const int result = app.run();
    // The window frees its canvas, then its visual, before the application.
    delete view;
    return result;
}
