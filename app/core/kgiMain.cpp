// The program: the world first (it outlives the application object), the
// robot joint table (installed in the core before start-up needs it), the
// current directory as the base directory of every data path, the makers of
// the neighbours the application creates (the message-window host and the
// sound player), then the toolkit's event loop with the idle task until the
// user quits.
#include "kgiApp.h"
#include "kgiMsgWindowHost.h"
#include "kgiRobotJointTable.h"
#include "kgiSoundPlayer.h"
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
    app.init(argc, argv, true);
    app.create();
    app.startUp(argc, argv);
    return app.run();
}
