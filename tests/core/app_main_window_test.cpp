#include "kgiApp.h"
#include "kgiCommandWindow.h"

#include "core/child_process_test.h"
#include "support/app/kgiAppRig.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// A main window without a toolkit window that keeps what it was told.
struct kgiRecordingMainWindow : kgiCommandWindow {
    int languageAtMaking = -1;
    std::string timesheetFolder;
    std::string poseFolder;
    FX::FXMainWindow* window() override { return nullptr; }
    void updateCommandStates(const kgiMainCommandLocks&) override {}
    void lockAllCommands(kgiMainCommandLocks&) override {}
    void unlockAllCommands(kgiMainCommandLocks&) override {}
    void setStartFolders(const std::string& t, const std::string& p) override {
        timesheetFolder = t;
        poseFolder = p;
    }
};

void mainWindowMadeAfterTheSettings() {
    kgiAppRig rig(false);
    std::ofstream(rig.settingsFile()) << "language=0\n";
    static kgiRecordingMainWindow made;
    int makings = 0;
    kgiAppMakers makers;
    makers.mainWindow = [&](kgiApp& app) {
        ++makings;
        made.languageAtMaking = app.getSettings().language;
        return &made;
    };
    rig.app->setMakers(makers);
    int argc = 1;
    char arg0[] = "Zodarovu0";
    char* argv[] = {arg0, nullptr};
    rig.app->init(argc, argv, true);
    rig.app->create();
    CHILD_CHECK(makings == 1);
    CHILD_CHECK(made.languageAtMaking == 0);
    CHILD_CHECK(rig.app->getMainWindow() == &made);
    rig.app->setModelFolders("DORUZAVO_1");
    CHILD_CHECK(made.timesheetFolder == rig.base.string() + "/DORUZAVO_1");
    CHILD_CHECK(made.poseFolder == rig.base.string() + "/DORUZAVO_1/pose");
    rig.app->setMainWindow(nullptr);
    std::_Exit(0);
}

} // namespace

TEST(AppMainWindow, MadeByItsMakerOnceTheSettingsAreRead) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    EXPECT_IN_CHILD(mainWindowMadeAfterTheSettings);
}
