#pragma once
// Makers of the objects the application object creates and deletes but the
// core does not link: the robot session, the sound player, the message-
// window host and the options dialog. The program's main (the only code
// that links every library) installs them before kgiApp::create; tests
// install stand-ins. A maker left empty means the object cannot be made,
// and the application goes on without it (no session: communication stays
// off; no player: no sound; no host: no lesson texts; no dialog).
//
// The lesson manager is not made by the application: it is handed to it
// (kgiApp::setLessonManager). The main window is made by its maker when one
// is installed, else it may be handed over (kgiApp::setMainWindow).

#include <functional>

namespace FX {
class FXIcon;
} // namespace FX

class kgiApp;
class kgiCommandWindow;
class kgiMessageHost;
class kgiRobotConnection;
class kgiRobotOptions;
class kgiSoundOutput;

struct kgiAppMakers {
    // Each returns a new object (the application deletes it) or null.
    std::function<kgiRobotConnection*()> robotSession;
    std::function<kgiSoundOutput*()> soundPlayer;
    std::function<kgiMessageHost*()> msgWindowHost;
    // The dialog is owned by the main window and shows the application icon.
    std::function<kgiRobotOptions*(kgiCommandWindow& owner, FX::FXIcon* icon)> optionsDialog;
    // The main window, made by kgiApp::create once the settings are read;
    // the toolkit owns it (the application does not delete it).
    std::function<kgiCommandWindow*(kgiApp& app)> mainWindow;
};
