// The program: the world first (it outlives the application object), the
// robot joint table (installed in the core before start-up needs it), the
// current directory as the base directory of every data path, the makers of
// the neighbours the application creates (the message-window host, the
// sound player, the robot session and the about box), then the toolkit's event loop with the idle task until the
// user quits.
#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiMsgWindowHost.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotSession.h"
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
    makers.robotSession = [] { return new kgiRobotSession(); };
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
    // The canvas goes before its visual, both before the application.
    delete view;
    delete visual;
    return result;
}
