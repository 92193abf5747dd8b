// The robot information window filled from a real read: the application's
// session on the simulated board (its own thread, COM1 named in the staged
// base directory's comports.txt, the session's clock stepped by the test)
// after a download stamped with a fixed local time. Without a session, and
// with one that never opened, the values stay empty.
#include "kgiApp.h"
#include "kgiAppServices.h"
#include "kgiInfoDialog.h"
#include "kgiLangKeys.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotLink.h"
#include "kgiRobotSession.h"
#include "kgiSimBoard.h"

#include "robot/session_support_test.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Boxes kept, not shown.
struct QuietAppServices : kgiAppServices {
    explicit QuietAppServices(const kgiApp& a) : kgiAppServices(a) {}
    std::vector<std::string> boxes;
    void showMessage(const std::string& caption, const std::string& text) override
    {
        boxes.push_back(caption + "|" + text);
    }
};

platform::LocalTime stampTime()
{
    platform::LocalTime t{};
    t.year = 2026; t.month = 3; t.day = 9; t.weekday = 1;
    t.hour = 14; t.minute = 5; t.second = 7;
    return t;
}
double noSeconds() { return 0.0; }

std::string str(const FX::FXString& s) { return s.text(); }

class InfoWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_TEST_APP();
        app = kgiTestApp();
        kgiRobotJointTable::instance();
        services.reset(new QuietAppServices(*app));
        kgiCharacterServices::install(services.get());
        kgiAppMakers makers;
        makers.robotSession = []() -> kgiRobotConnection* {
            auto* s = new kgiRobotSession;
            s->setTimeSource(kgiTestSession::steppingClock);
            s->getLink().setClock(kgiRobotLink::Clock{noSeconds, stampTime});
            return s;
        };
        app->setMakers(makers);
        app->getSettings().robotComId = 1;
        owner.reset(new kgiTestWindow(200, 100));
        owner->show();
    }

    void TearDown() override
    {
        if (app == nullptr)
            return;
        delete dialog;
        app->deleteRobotSession();
        app->setMakers(kgiAppMakers());
        kgiCharacterServices::install(nullptr);
        board.stop();
        std::filesystem::remove(std::filesystem::path(kgiTestBaseDir()) / "comports.txt");
    }

    kgiInfoDialog* openDialog()
    {
        dialog = new kgiInfoDialog(owner->shell(), app->getAppIcon(), 0, 0,
                                   app->languageText(kgiLangKey::ROBOT_COM_Infomation));
        dialog->create();
        return dialog;
    }
    bool passUntil(const std::function<bool()>& done, int max = 20000)
    {
        for (int i = 0; i < max && !done(); ++i)
            app->idleTick();
        return done();
    }
    kgiRobotSession* session() const { return dynamic_cast<kgiRobotSession*>(app->getRobotSession()); }

    kgiApp* app = nullptr;
    std::unique_ptr<QuietAppServices> services;
    std::unique_ptr<kgiTestWindow> owner;
    kgiSimBoard board;
    kgiInfoDialog* dialog = nullptr;
};

TEST_F(InfoWindow, ShowsTheBoardsRecordAfterADownload)
{
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    ASSERT_TRUE(board.ok());
    const std::uint8_t info[6] = {12, 1, 5, 40, 7, 0x1F};
    std::copy(info, info + 6, board.info);
    board.start();
    std::ofstream(std::filesystem::path(kgiTestBaseDir()) / "comports.txt") << "COM1=" << board.devicePath() << "\n";

    app->setRobotCommunication(true);
    ASSERT_NE(session(), nullptr);
    ASSERT_TRUE(passUntil([&] { return session()->getLink().infoRead[1] == 0 && !session()->isInfoReading(); }));
    session()->setDownloadRequest(1);
    ASSERT_TRUE(passUntil([&] { return session()->getDownloadRequest() == -1; }));
    ASSERT_EQ(session()->getStatusDetail(), "Motion Download Complete !");

    kgiInfoDialog* d = openDialog();
    d->fill();
    const std::uint32_t* words = session()->getLink().robotInfo[1];
    // The first rows are the board's own bytes.
    EXPECT_EQ(str(d->getValueText(0)), std::to_string(words[0]));
    EXPECT_EQ(str(d->getValueText(1)), std::to_string(words[1]) + "." + std::to_string(words[2]));
    std::vector<std::uint32_t> fromBoard(words, words + 6);
    std::sort(fromBoard.begin(), fromBoard.end());
    std::vector<std::uint32_t> sent(info, info + 6);
    std::sort(sent.begin(), sent.end());
    EXPECT_EQ(fromBoard, sent);
    // The downloaded image: its kind, and the stamp's date and time.
    EXPECT_EQ(str(d->getValueText(6)), "REMOCON ");
    EXPECT_EQ(str(d->getValueText(7)), "2026/3/9");
    EXPECT_EQ(str(d->getValueText(8)), "14:5:7");

    // A language switch changes the texts around the values only.
    std::vector<std::string> values;
    for (int r = 0; r < kgiInfoDialog::ROWS; ++r)
        values.push_back(str(d->getValueText(r)));
    for (int language : {0, 1}) {
        app->loadLanguage(language);
        d->applyLanguage();
        EXPECT_EQ(str(d->getTitle()), str(app->languageText(kgiLangKey::ROBOT_COM_Infomation)));
        EXPECT_EQ(str(d->getGroupText(0)), str(app->languageText(kgiLangKey::ROBOT_COM_InfoMenu0)));
        EXPECT_EQ(str(d->getGroupText(1)), str(app->languageText(kgiLangKey::ROBOT_COM_InfoMenu1)));
        EXPECT_EQ(str(d->getCaptionText(0)), str(app->languageText(kgiLangKey::ROBOT_COM_InfoParam0)));
        EXPECT_EQ(str(d->getCaptionText(9)), str(app->languageText(kgiLangKey::ROBOT_COM_InfoParam9)));
        for (int r = 0; r < kgiInfoDialog::ROWS; ++r)
            EXPECT_EQ(str(d->getValueText(r)), values[static_cast<size_t>(r)]) << r;
    }
    app->setRobotCommunication(false);
    ASSERT_TRUE(passUntil([&] { return app->getRobotSession() == nullptr; }));
}

TEST_F(InfoWindow, OpenedJustAfterCommunicationItWaitsForTheRunningRead)
{
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    ASSERT_TRUE(board.ok());
    const std::uint8_t info[6] = {3, 2, 7, 50, 9, 0x2C};
    std::copy(info, info + 6, board.info);
    board.start();
    std::ofstream(std::filesystem::path(kgiTestBaseDir()) / "comports.txt") << "COM1=" << board.devicePath() << "\n";

    app->setRobotCommunication(true);
    ASSERT_NE(session(), nullptr);
    ASSERT_NE(session()->getLink().infoRead[1], 0u) << "the opening read still runs";
    kgiInfoDialog* d = openDialog();
    d->fill();
    EXPECT_EQ(session()->getLink().infoRead[1], 0u);
    const std::uint32_t* words = session()->getLink().robotInfo[1];
    EXPECT_EQ(std::vector<std::uint32_t>(words, words + 6), std::vector<std::uint32_t>(info, info + 6));
    EXPECT_EQ(str(d->getValueText(0)), std::to_string(info[0]));
    EXPECT_EQ(str(d->getValueText(1)), std::to_string(info[1]) + "." + std::to_string(info[2]));
    EXPECT_EQ(session()->getStatusDetail(), "ROBO Info Read Complete !");
    EXPECT_TRUE(services->boxes.empty());
    app->setRobotCommunication(false);
    ASSERT_TRUE(passUntil([&] { return app->getRobotSession() == nullptr; }));
}

TEST_F(InfoWindow, WithoutAnOpenSessionTheValuesStayEmpty)
{
    kgiInfoDialog* d = openDialog();
    d->fill();  // no session
    app->prepareRobotSession();  // a session that never opened its link
    ASSERT_NE(app->getRobotSession(), nullptr);
    d->fill();
    for (int r = 0; r < kgiInfoDialog::ROWS; ++r)
        EXPECT_EQ(str(d->getValueText(r)), "") << r;
    EXPECT_EQ(str(d->getCaptionText(3)), str(app->languageText(kgiLangKey::ROBOT_COM_InfoParam3)));
}

TEST_F(InfoWindow, OkHidesIt)
{
    kgiInfoDialog* d = openDialog();
    d->show();
    EXPECT_TRUE(d->shown());
    EXPECT_EQ(d->handle(nullptr, FXSEL(FX::SEL_COMMAND, kgiInfoDialog::ID_OK), nullptr), 1);
    EXPECT_FALSE(d->shown());
}

} // namespace
