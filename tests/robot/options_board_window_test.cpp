// The options window driving the simulated board end to end: the
// application's own robot session on COM1 (named in the staged base
// directory's comports.txt), the board answering in its own thread, the
// session's clock stepped by the test, and every command sent to the
// window as its widgets send it.
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiInfoDialog.h"
#include "kgiLangKeys.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotLink.h"
#include "kgiRobotSession.h"
#include "kgiSimBoard.h"
#include "kgiWorld.h"

#include "robot/session_support_test.h"
#include "support/app/kgiAnsweringServices.h"
#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

std::string str(const FX::FXString& s) { return s.text(); }

class OptionsOnBoard : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_TEST_APP();
        app = kgiTestApp();
        settings = app->getSettings();
        kgiRobotJointTable::instance();
        services.reset(new kgiAnsweringServices(*app));
        kgiCharacterServices::install(services.get());
        kgiAppMakers makers;
        makers.robotSession = []() -> kgiRobotConnection* {
            auto* s = new kgiRobotSession;
            s->setTimeSource(kgiTestSession::steppingClock);
            return s;
        };
        makers.optionsDialog = &kgiOptionsDialog::make;
        app->setMakers(makers);
        app->setMainWindow(&mainWindow);
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        app->getSettings().robotComId = 1;
        ASSERT_TRUE(board.ok());
        board.servo[6] = 130;  // the right shoulder, 30 degrees up
        board.start();
        std::ofstream(comPorts()) << "COM1=" << board.devicePath() << "\n";
    }

    void TearDown() override
    {
        if (app == nullptr)
            return;
        app->deleteOptionsDialog();
        if (app->isRobotCom())
            app->setRobotCommunication(false);
        app->deleteRobotSession();
        app->setMakers(kgiAppMakers());
        app->setMainWindow(nullptr);
        app->getSettings() = settings;
        kgiCharacterServices::install(nullptr);
        board.stop();
        std::filesystem::remove(comPorts());
        kgiTestRemoveCharacters();
    }

    static std::filesystem::path comPorts() { return std::filesystem::path(kgiTestBaseDir()) / "comports.txt"; }
    bool passUntil(const std::function<bool()>& done, int max = 20000)
    {
        for (int i = 0; i < max && !done(); ++i)
            app->idleTick();
        return done();
    }
    kgiRobotSession* session() const { return dynamic_cast<kgiRobotSession*>(app->getRobotSession()); }
    long click(FX::FXMenuCheck* check, int id)
    {
        check->setCheck(!check->getCheck());
        return d->handle(check, FXSEL(FX::SEL_COMMAND, id), reinterpret_cast<void*>(FX::FXuval(check->getCheck())));
    }
    std::string status() const { return str(d->widgets().status->getText()); }

    kgiApp* app = nullptr;
    kgiSettings settings;
    std::unique_ptr<kgiAnsweringServices> services;
    kgiStandInMainWindow mainWindow;
    kgiSimBoard board;
    kgiOptionsDialog* d = nullptr;
};

TEST_F(OptionsOnBoard, CommunicationInformationPlayTeachAndClose)
{
    app->showOptionsDialog(true);
    d = dynamic_cast<kgiOptionsDialog*>(app->getOptionsDialog());
    ASSERT_NE(d, nullptr);
    const kgiOptionsDialog::Widgets& w = d->widgets();

    // The check opens the link; the status line follows the session.
    click(w.robotCom, kgiOptionsDialog::ID_ROBOT_COM);
    ASSERT_TRUE(app->isRobotCom());
    ASSERT_NE(session(), nullptr);
    EXPECT_FALSE(w.comPort->isEnabled());
    ASSERT_TRUE(passUntil([&] { return session()->getLink().infoRead[1] == 0 && !session()->isInfoReading(); }));
    ASSERT_TRUE(passUntil([&] { return status().rfind("Status: [Ready]", 0) == 0; })) << status();

    // Information: the board's record.
    d->handle(w.robotInfo, FXSEL(FX::SEL_COMMAND, kgiOptionsDialog::ID_ROBOT_INFO), nullptr);
    kgiInfoDialog* info = d->getInfoDialog();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->shown());
    const std::uint32_t* words = session()->getLink().robotInfo[1];
    EXPECT_EQ(str(info->getValueText(0)), std::to_string(words[0]));
    EXPECT_EQ(str(info->getValueText(1)), std::to_string(words[1]) + "." + std::to_string(words[2]));

    // Play entry 0: the remote-control request goes out.
    w.remoconList->setCurrentItem(0);
    board.clearReceived();
    d->handle(w.playRemocon, FXSEL(FX::SEL_COMMAND, kgiOptionsDialog::ID_PLAY_REMOCON), nullptr);
    EXPECT_NE(status().find("Remote-control Request"), std::string::npos) << status();
    ASSERT_TRUE(passUntil([&] {
        for (const kgiSimBoard::Received& r : board.received())
            if (r.byte == 0xF8)
                return true;
        return false;
    }));
    ASSERT_TRUE(passUntil([&] { return !session()->getLink().linkBusy[1]; }));

    // Upper body released: its servos are read back into the model.
    kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    click(w.upperFree, kgiOptionsDialog::ID_UPPER_FREE);
    EXPECT_TRUE(w.upperFree->getCheck());
    ASSERT_TRUE(passUntil([&] { return std::abs(table->getJointAngleByName(robot, "RShoulder") - 30.0f) < 1e-3f; }))
        << table->getJointAngleByName(robot, "RShoulder");
    EXPECT_EQ(session()->getLink().poseReadMode[1], 1u);

    // Off: the link closes on the next idle pass and every command is
    // enabled again.
    click(w.robotCom, kgiOptionsDialog::ID_ROBOT_COM);
    EXPECT_FALSE(app->isRobotCom());
    EXPECT_FALSE(w.upperFree->getCheck());
    EXPECT_EQ(status(), "Status: [Busy ]:Closing Communication...");
    EXPECT_FALSE(w.robotCom->isEnabled());
    app->idleTick();
    EXPECT_EQ(app->getRobotSession(), nullptr);
    EXPECT_FALSE(kgiTestSession::deviceOpen(board.devicePath()));
    for (int byte : kgiOptionsDialog::GOVERNED_BYTES) {
        if (FX::FXWindow* widget = d->governedWidget(byte)) {
            EXPECT_TRUE(widget->isEnabled()) << byte;
        }
    }
    EXPECT_TRUE(services->boxes.empty()) << services->boxes.front();
}

} // namespace
