// The program: the world first (it outlives the application object), the
// robot joint table (installed in the core before start-up needs it), the
// media host's maker (the host is built on first use), the
// current directory as the base directory of every data path, the makers of
// the neighbours the application creates (the message-window host, the
// sound player, the robot session, the options window, the about box and
// the main window, which opens the first 3D window) and the lesson manager,
// then the toolkit's event loop with the idle task until the user quits.
#include "kgiApp.h"
#include "kgiLessonManager.h"
#include "kgiMediaHost.h"
#include "kgiMsgWindowHost.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotSession.h"
#include "kgiSoundPlayer.h"
#include "kgiTimesheetWindow.h"
#include "kgiVersionDialog.h"
#include "kgiWorld.h"
#include "platform/inputmethod.h"

#include <filesystem>

int main(int argc, char** argv) {
    kgiWorld::instance();
    kgiRobotJointTable::instance();
    // The media host loads its plug-in when the tracks are first used.
    kgiWorld::instance()->setMediaTracksMaker([]() -> kgiMediaTracks* { return kgiMediaHost::instance(); });
    std::error_code error;
    const std::string baseDir = std::filesystem::current_path(error).string();

    kgiApp app(baseDir);
    kgiAppMakers makers;
    makers.msgWindowHost = [] { return new kgiMsgWindowHost(); };
    makers.soundPlayer = [] { return new kgiSoundPlayer(nullptr); };
    makers.robotSession = [] { return new kgiRobotSession(); };
    makers.optionsDialog = &kgiOptionsDialog::make;
    makers.mainWindow = [](kgiApp& a) { return new kgiTimesheetWindow(&a); };
    app.setMakers(makers);
    app.setLessonManager(kgiLessonManager::instance());
    app.setVersionDialogMaker(&kgiVersionDialog::make);
    app.init(argc, argv, true);
    // The toolkit took the whole locale from the environment and opened the
    // input method XMODIFIERS names; only the character classes stay.
    platform::keepOnlyCharacterLocale();
    app.create();

    app.startUp(argc, argv);
    const int result = app.run();
    // The main window and the 3D windows it owns go while the application
    // they reach is whole.
    if (kgiCommandWindow* main = app.getMainWindow()) delete main->window();
    return result;
}
