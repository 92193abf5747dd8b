// The program: the world first (it outlives the application object), the
// current directory as the base directory of every data path, the robot
// joint table (installed in the core before start-up needs it), then the
// toolkit's event loop with the idle task until the user quits.
#include "kgiApp.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"

#include <filesystem>

int main(int argc, char** argv) {
    kgiWorld::instance();
    kgiRobotJointTable::instance();
    std::error_code error;
    const std::string baseDir = std::filesystem::current_path(error).string();

    kgiApp app(baseDir);
    app.init(argc, argv, true);
    app.create();
    app.startUp(argc, argv);
    return app.run();
}
