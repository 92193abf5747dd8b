// The options window as the application makes, shows, relabels and deletes
// it (its dialog operations), on the staged base directory: what it reads
// from the base folder, its command-enable record, its operations, a
// language switch, its lifetime against freed characters, and a picture of
// each tab. Boxes are recorded by the application's own services with the
// boxes kept instead of shown.
#include "kgiApp.h"
#include "kgiAppServices.h"
#include "kgiCharacter.h"
#include "kgiInfoDialog.h"
#include "kgiLangKeys.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"
#include "ksgNode.h"

#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The application's texts and settings, with every box kept ("caption|text")
// and every question answered no.
struct RecordingServices : kgiAppServices {
    explicit RecordingServices(const kgiApp& a) : kgiAppServices(a) {}
    std::vector<std::string> boxes;
    void showMessage(const std::string& caption, const std::string& text) override
    {
        boxes.push_back(caption + "|" + text);
    }
    bool askYesNo(const std::string& caption, const std::string& text) override
    {
        boxes.push_back(caption + "|" + text);
        return false;
    }
};

std::string str(const FX::FXString& s) { return s.text(); }

class OptionsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_TEST_APP();
        app = kgiTestApp();
        // Installed before start-up reads the model's joint file, as the
        // program's main does.
        kgiRobotJointTable::instance();
        services.reset(new RecordingServices(*app));
        kgiCharacterServices::install(services.get());
        kgiAppMakers makers = fakes.makers();
        makers.optionsDialog = &kgiOptionsDialog::make;
        app->setMakers(makers);
        app->setMainWindow(&fakes.mainWindow);
        app->setModelFolders("DORUZAVO_1");
    }

    void TearDown() override
    {
        if (app == nullptr)
            return;
        app->deleteOptionsDialog();
        app->deleteRobotSession();
        app->setLessonManager(nullptr);
        app->setMainWindow(nullptr);
        app->setMakers(kgiAppMakers());
        kgiCharacterServices::install(nullptr);
    }

    // Shown through the application, as the Option command does.
    kgiOptionsDialog* open()
    {
        app->showOptionsDialog(true);
        kgiOptionsDialog* d = dialog();
        if (d)
            kgiTestFocus(d);
        return d;
    }
    kgiOptionsDialog* dialog() const { return dynamic_cast<kgiOptionsDialog*>(app->getOptionsDialog()); }
    // A base folder of its own below the staged base directory, for the
    // model id `id`, with the files given (path below it, text).
    fs::path baseFolder(const std::string& id, const std::vector<std::pair<std::string, std::string>>& files)
    {
        const fs::path dir = fs::path(kgiTestBaseDir()) / (id + "base");
        fs::remove_all(dir);
        for (const auto& f : files) {
            fs::create_directories((dir / f.first).parent_path());
            std::ofstream(dir / f.first, std::ios::binary) << f.second;
        }
        app->setModelFolders(id);
        return dir;
    }
    std::vector<std::string> items(FX::FXList* list) const
    {
        std::vector<std::string> out;
        for (int i = 0; i < list->getNumItems(); ++i)
            out.push_back(str(list->getItemText(i)));
        return out;
    }

    kgiAppStandIns fakes;
    kgiApp* app = nullptr;
    std::unique_ptr<RecordingServices> services;
};

// --- what construction reads ---

TEST_F(OptionsWindow, ListsAndJointRowsComeFromTheBaseFolderFiles)
{
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    const std::string longLine(300, 'x');
    const fs::path dir = baseFolder(
        "FIX1", {{"sample.txt", "ab\nc\nwalk\r\n" + longLine + "\n\x83\x8d\x83\x7b\n"},
                 {"character/model.ini", "0 : RThigh = 0 :2,-90,90,1 :0,1.0,100.0;\n"
                                         "255 : RKnee = 0 :2,-90,90,1 :2,1.0,100.0;\n"
                                         "1 :\n"
                                         "1 : NoSuchJoint = 0 :2,-90,90,1 :1,1.0,100.0;\n"
                                         "2 : RThigh = 0 :2,-90,90,1 :0,1.0,100.0;\n"},
                 {"character/motNames.txt", "00 : Hip pitch\n01 : Ghost\n02 : Twin\n"}});
    ASSERT_TRUE(kgiRobotJointTable::instance()->loadModelIni((dir / "FIX1.ts").string(),
                                                             kgiWorld::instance()->getCurrentCharacter()));
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);

    EXPECT_EQ(items(d->widgets().sampleList),
              (std::vector<std::string>{"ab", "walk", std::string(255, 'x'), std::string(45, 'x'),
                                        "\xe3\x83\xad\xe3\x83\x9c"}));
    // The list file is missing: the 32 placeholders.
    const std::vector<std::string> remocon = items(d->widgets().remoconList);
    ASSERT_EQ(remocon.size(), 32u);
    EXPECT_EQ(remocon.front(), "1:");
    EXPECT_EQ(remocon.back(), "32:");

    // Index 255 and the line without a name are skipped.
    ASSERT_EQ(d->getJointCount(), 3);
    EXPECT_EQ(str(d->widgets().nameFields[0]->getText()), "Hip");
    EXPECT_EQ(str(d->widgets().nameFields[1]->getText()), "Ghost");
    ksgNode* thigh = kgiWorld::instance()->getCurrentCharacter()->findNode("RThigh");
    EXPECT_EQ(d->getRowNode(0), thigh);
    EXPECT_EQ(d->widgets().valueFields[0]->getUserData(), thigh);
    EXPECT_EQ(d->getRowNode(1), nullptr) << "a joint the model lacks";
    EXPECT_EQ(d->getRowNode(2), thigh);
    // A name in two rows answers with the first.
    EXPECT_EQ(d->getJointFieldText("RThigh"), "Hip");
    EXPECT_EQ(d->getJointFieldText("Body"), "");
    // Only rows with a node show a value.
    EXPECT_NE(str(d->widgets().valueFields[0]->getText()), "");
    EXPECT_EQ(str(d->widgets().valueFields[1]->getText()), "");
}

TEST_F(OptionsWindow, WithoutACharacterThereAreThreeTabsAndNoJointRows)
{
    kgiTestRemoveCharacters();
    baseFolder("FIX2", {{"remocon/list.txt", "1:walk\n2:\n"}});
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->widgets().tabBook->numChildren() / 2, 3);
    EXPECT_EQ(d->widgets().jointTab, nullptr);
    EXPECT_EQ(d->getJointCount(), 0);
    EXPECT_EQ(items(d->widgets().remoconList), (std::vector<std::string>{"1:walk", "2:"}));
    EXPECT_EQ(str(d->widgets().keyCount->getText()), "0");
    // Byte 3 governs nothing here; the rest still works.
    kgiOptionsCommandFlags record;
    d->unlockAllCommands(record);
    record[3] = 0;
    record[4] = 0;
    d->updateCommandStates(record);
    EXPECT_FALSE(d->widgets().robotTab->isEnabled());
    EXPECT_TRUE(d->widgets().sampleTab->isEnabled());
}

// --- the command-enable record ---

TEST_F(OptionsWindow, EachGovernedByteDisablesExactlyItsWidget)
{
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    ASSERT_GT(d->getJointCount(), 0);
    const kgiOptionsDialog::Widgets& w = d->widgets();
    const struct {
        int byte;
        FX::FXWindow* widget;
    } governed[] = {
        {0, w.sampleTab},  {3, w.jointTab},     {4, w.robotTab},     {5, w.settingsTab}, {7, w.sampleRead},
        {8, w.sampleAdd},  {10, w.sampleList},  {15, w.robotCom},    {16, w.comPort},    {17, w.writeTmp},
        {18, w.remoconList}, {19, w.addList},   {20, w.delList},     {22, w.writeIrc},   {23, w.playRemocon},
        {31, w.poseReflection}, {32, w.allFree}, {33, w.upperFree},  {34, w.lowerFree},  {35, w.robotInfo},
        {38, w.body},      {39, w.rightFoot},   {40, w.leftFoot},
    };
    ASSERT_EQ(sizeof governed / sizeof governed[0], 23u);
    // The port combo starts disabled only with communication on.
    ASSERT_FALSE(app->isRobotCom());
    for (int cleared = 0; cleared < kgiOptionsCommandFlags::SIZE; ++cleared) {
        SCOPED_TRACE(cleared);
        kgiOptionsCommandFlags record;
        record.flags.fill(1);
        d->updateCommandStates(record);
        record[cleared] = 0;
        d->updateCommandStates(record);
        for (const auto& g : governed)
            EXPECT_EQ(g.widget->isEnabled(), g.byte != cleared) << "byte " << g.byte;
    }
    // The joint value fields and the Keys_MAX field are no command of it.
    kgiOptionsCommandFlags none;
    d->updateCommandStates(none);
    EXPECT_TRUE(w.valueFields[0]->isEnabled());
    EXPECT_FALSE(w.keysMax->isEnabled());
}

TEST_F(OptionsWindow, LessonLocksReachEveryCommand)
{
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    app->setLessonManager(&fakes.lesson);
    fakes.lesson.mode = 1;
    app->applyLessonLocks();
    for (int byte : kgiOptionsDialog::GOVERNED_BYTES) {
        if (FX::FXWindow* widget = d->governedWidget(byte)) {
            EXPECT_FALSE(widget->isEnabled()) << byte;
        }
    }
    fakes.lesson.mode = 0;
    app->applyLessonLocks();
    for (int byte : kgiOptionsDialog::GOVERNED_BYTES) {
        if (FX::FXWindow* widget = d->governedWidget(byte)) {
            EXPECT_TRUE(widget->isEnabled()) << byte;
        }
    }
    app->setLessonManager(nullptr);
}

TEST_F(OptionsWindow, LockAndUnlockLeaveBytes36And37)
{
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    kgiOptionsCommandFlags record;
    record.flags.fill(7);
    d->lockAllCommands(record);
    for (int i = 0; i < kgiOptionsCommandFlags::SIZE; ++i)
        EXPECT_EQ(record[i], (i == 36 || i == 37) ? 7 : 0) << i;
    d->unlockAllCommands(record);
    for (int i = 0; i < kgiOptionsCommandFlags::SIZE; ++i)
        EXPECT_EQ(record[i], (i == 36 || i == 37) ? 7 : 1) << i;
}

TEST_F(OptionsWindow, ClosingCommunicationLocksItsCheckUntilTheSessionIsGone)
{
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    app->setRobotCommunication(true);
    ASSERT_TRUE(app->isRobotCom());
    EXPECT_TRUE(d->widgets().robotCom->getCheck());
    EXPECT_FALSE(d->widgets().comPort->isEnabled());

    app->setRobotCommunication(false);
    EXPECT_FALSE(d->widgets().robotCom->getCheck());
    EXPECT_FALSE(d->widgets().robotCom->isEnabled()) << "locked while the close is pending";
    EXPECT_TRUE(d->widgets().comPort->isEnabled());
    EXPECT_EQ(str(d->widgets().status->getText()), "Status: [Busy ]:Closing Communication...");
    app->idleTick();
    EXPECT_EQ(app->getRobotSession(), nullptr);
    EXPECT_TRUE(d->widgets().robotCom->isEnabled());
}

// --- operations ---

TEST_F(OptionsWindow, ListItemTextNeedsTheCheckAndAnItemOfTheList)
{
    baseFolder("FIX3", {{"remocon/list.txt", [] {
                             std::string t;
                             for (int i = 1; i <= 20; ++i) t += std::to_string(i) + ":\n";
                             return t;
                         }()}});
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    FX::FXList* list = d->widgets().remoconList;
    ASSERT_EQ(list->getNumItems(), 20);

    d->setListItemText("walk", 4);
    EXPECT_EQ(str(list->getItemText(4)), "5:");
    EXPECT_EQ(services->boxes, (std::vector<std::string>{"Warning - 140|" + services->text(kgiLangKey::ROBOT_COM_No_Check)}));

    d->setRobotComCheck(true);
    d->setListItemText("walk", 4);
    EXPECT_EQ(str(list->getItemText(4)), "5:walk");
    // The session's system entry is item 31: past a short list, nothing.
    d->setListItemText("[SYSTEM DATA]", 31);
    d->setListItemText("x", -1);
    EXPECT_EQ(list->getNumItems(), 20);
    EXPECT_EQ(services->boxes.size(), 1u);
}

TEST_F(OptionsWindow, MotionSlotNamesByTheirItem)
{
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    FX::FXList* list = d->widgets().remoconList;
    d->setRobotComCheck(true);
    d->setMotionSlotName("none");  // nothing selected
    for (int i = 0; i < list->getNumItems(); ++i)
        EXPECT_EQ(str(list->getItemText(i)), std::to_string(i + 1) + ":");

    const struct {
        int item;
        const char* want;
    } cases[] = {{0, "M1   bow"}, {8, "M9   bow"}, {9, "M10  bow"}};
    for (const auto& c : cases) {
        list->setCurrentItem(c.item);
        list->selectItem(c.item);
        d->setMotionSlotName("bow");
        EXPECT_EQ(str(list->getItemText(c.item)), c.want);
    }
    d->setRobotComCheck(false);
    list->setCurrentItem(1);
    list->selectItem(1);
    d->setMotionSlotName("bow");
    EXPECT_EQ(str(list->getItemText(1)), "2:");
    EXPECT_EQ(services->boxes.size(), 1u);
}

TEST_F(OptionsWindow, UncheckRobotSyncStopsPlaybackAndTheSessionsSync)
{
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    app->prepareRobotSession();
    app->setRobotSyncFlag(true);
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(1000.0f);
    world->setPlaying(true);

    d->uncheckRobotSync();  // reflection off: nothing
    EXPECT_TRUE(world->isPlaying());
    EXPECT_TRUE(app->getRobotSyncFlag());

    d->widgets().poseReflection->setCheck(true);
    d->uncheckRobotSync();
    EXPECT_FALSE(d->widgets().poseReflection->getCheck());
    EXPECT_FALSE(world->isPlaying());
    EXPECT_FALSE(app->getRobotSyncFlag());
}

TEST_F(OptionsWindow, RobotComCheckAlwaysShowsTheFlag)
{
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    const kgiOptionsDialog::Widgets& w = d->widgets();
    app->setRobotCommunication(true);
    ASSERT_TRUE(app->isRobotCom());
    EXPECT_TRUE(w.robotCom->getCheck());

    // Off while playing with reflection checked: the check follows the flag
    // and the pose read of the teach check ends.
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(1000.0f);
    world->setPlaying(true);
    w.poseReflection->setCheck(true);
    w.upperFree->setCheck(true);
    fakes.session.record.clear();
    app->setRobotCommunication(false);
    EXPECT_EQ(w.robotCom->getCheck(), app->isRobotCom());
    EXPECT_FALSE(w.robotCom->getCheck());
    EXPECT_TRUE(fakes.session.record.has("stopPoseRead"));
    EXPECT_FALSE(fakes.session.record.has("requestPoseRead"));
    EXPECT_FALSE(w.upperFree->getCheck());
    EXPECT_FALSE(w.poseReflection->getCheck());
    EXPECT_TRUE(w.comPort->isEnabled());
    world->setPlaying(false);
}

TEST_F(OptionsWindow, JointFieldsFollowThePoseAndPlayback)
{
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    app->getSettings().keysMax = 200;
    app->getSettings().robotComId = 17;
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    const kgiOptionsDialog::Widgets& w = d->widgets();
    // The factory robot: 24 rows, every one with its node and a name.
    ASSERT_EQ(d->getJointCount(), 24);
    for (int i = 0; i < 24; ++i) {
        EXPECT_NE(d->getRowNode(i), nullptr) << i;
        EXPECT_EQ(str(w.nameFields[static_cast<size_t>(i)]->getText()), d->getJointName(i));
    }
    EXPECT_EQ(str(w.keysMax->getText()), "200");
    EXPECT_EQ(w.comPort->getCurrentItem(), -1) << "a port outside 1..16";

    // Row 0 shows the servo value of its joint and follows a new pose.
    kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    const std::string first = d->getJointName(0);
    const kgiJointRecord record = table->findJoint(first);
    ASSERT_TRUE(table->setJointAngleByName(robot, first, 10.0f));
    app->redrawViews();
    EXPECT_EQ(d->getLastChangedFields(), 1);
    EXPECT_EQ(str(w.valueFields[0]->getText()), std::to_string(static_cast<int>(10.0f * record.scale + record.offset + 0.5f)));
    app->redrawViews();
    EXPECT_EQ(d->getLastChangedFields(), 0) << "an unchanged pose sets no text";

    kgiWorld::instance()->setEndFrame(1000.0f);
    kgiWorld::instance()->setPlaying(true);
    for (int i = 0; i < 24; ++i) {
        EXPECT_FALSE(w.valueFields[static_cast<size_t>(i)]->isEnabled());
        EXPECT_TRUE(w.nameFields[static_cast<size_t>(i)]->isEnabled());
    }
    kgiWorld::instance()->setPlaying(false);
    EXPECT_TRUE(w.valueFields[0]->isEnabled());
}

TEST_F(OptionsWindow, LanguageSwitchRelabelsEveryCaption)
{
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    d->showRobotInfo();
    const kgiOptionsDialog::Widgets& w = d->widgets();
    using Get = std::function<FX::FXString()>;
    const std::vector<std::pair<const char*, Get>> captions = {
        {kgiLangKey::Spl_Motion, [&] { return w.sampleGroup->getText(); }},
        {kgiLangKey::Spl_Read, [&] { return w.sampleRead->getText(); }},
        {kgiLangKey::Spl_Add, [&] { return w.sampleAdd->getText(); }},
        {kgiLangKey::Sample, [&] { return w.sampleTab->getText(); }},
        {kgiLangKey::Op_Rot, [&] { return w.jointTab->getText(); }},
        {kgiLangKey::ROBOT_COM, [&] { return w.robotTab->getText(); }},
        {kgiLangKey::Op_Settings, [&] { return w.settingsTab->getText(); }},
        {kgiLangKey::ROBOT_COM, [&] { return w.robotCom->getText(); }},
        {kgiLangKey::ROBOT_COM_Infomation, [&] { return w.robotInfo->getText(); }},
        {kgiLangKey::ROBOT_COM_WriteTMP, [&] { return w.writeTmp->getText(); }},
        {kgiLangKey::ROBOT_COM_Motion, [&] { return w.motionGroup->getText(); }},
        {kgiLangKey::ROBOT_COM_PlayRimocon, [&] { return w.playRemocon->getText(); }},
        {kgiLangKey::ROBOT_COM_WriteIRC, [&] { return w.writeIrc->getText(); }},
        {kgiLangKey::ROBOT_COM_AddList, [&] { return w.addList->getText(); }},
        {kgiLangKey::ROBOT_COM_DelList, [&] { return w.delList->getText(); }},
        {kgiLangKey::ROBOT_COM_GrPose, [&] { return w.poseGroup->getText(); }},
        {kgiLangKey::ROBOT_COM_Pose_Reflection, [&] { return w.poseReflection->getText(); }},
        {kgiLangKey::ROBOT_COM_Teach, [&] { return w.teachGroup->getText(); }},
        {kgiLangKey::ROBOT_COM_All_Free, [&] { return w.allFree->getText(); }},
        {kgiLangKey::ROBOT_COM_Upper_Free, [&] { return w.upperFree->getText(); }},
        {kgiLangKey::ROBOT_COM_Lower_Free, [&] { return w.lowerFree->getText(); }},
        {kgiLangKey::Op_Keys, [&] { return w.keysGroup->getText(); }},
        {kgiLangKey::Op_Keys_Max, [&] { return w.keysMaxCaption->getText(); }},
        {kgiLangKey::Op_Keys_Count, [&] { return w.keyCountCaption->getText(); }},
        {kgiLangKey::Op_Colli, [&] { return w.collisionGroup->getText(); }},
        {kgiLangKey::Op_Colli, [&] { return w.collision->getText(); }},
        {kgiLangKey::Op_Safety, [&] { return w.safety->getText(); }},
        {kgiLangKey::Op_Add_base_part, [&] { return w.basePartGroup->getText(); }},
        {kgiLangKey::Op_ABP_Body, [&] { return w.body->getText(); }},
        {kgiLangKey::Op_ABP_R_Foot, [&] { return w.rightFoot->getText(); }},
        {kgiLangKey::Op_ABP_L_Foot, [&] { return w.leftFoot->getText(); }},
        {kgiLangKey::ROBOT_COM_Infomation, [&] { return d->getInfoDialog()->getTitle(); }},
        {kgiLangKey::ROBOT_COM_InfoMenu1, [&] { return d->getInfoDialog()->getGroupText(1); }},
        {kgiLangKey::ROBOT_COM_InfoParam9, [&] { return d->getInfoDialog()->getCaptionText(9); }},
    };
    for (int language : {0, 1}) {
        app->loadLanguage(language);
        app->relabelOptionsDialog();
        for (const auto& c : captions)
            EXPECT_EQ(str(c.second()), str(app->languageText(c.first))) << c.first << " in language " << language;
    }
    // The two languages differ, so the loop saw a change.
    app->loadLanguage(0);
    const FX::FXString english = app->languageText(kgiLangKey::ROBOT_COM_Upper_Free);
    app->loadLanguage(1);
    EXPECT_NE(str(english), str(app->languageText(kgiLangKey::ROBOT_COM_Upper_Free)));
}

// --- lifetime ---

TEST_F(OptionsWindow, DeletingTheWindowDeletesItsInformationWindow)
{
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    d->showRobotInfo();
    kgiInfoDialog* info = d->getInfoDialog();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->shown());
    EXPECT_EQ(info->getOwner(), d);
    app->deleteOptionsDialog();
    // A leaked information window would stay a top window of the screen
    // (reachable there, so no leak checker sees it).
    int infoWindows = 0;
    for (FX::FXWindow* top = app->getRootWindow()->getFirst(); top; top = top->getNext())
        if (dynamic_cast<kgiInfoDialog*>(top)) ++infoWindows;
    EXPECT_EQ(infoWindows, 0);
}

TEST_F(OptionsWindow, RowsOfAFreedCharacterDropTheirNodes)
{
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    ASSERT_GT(d->getJointCount(), 0);
    const kgiOptionsDialog::Widgets& w = d->widgets();
    const FX::FXString before = w.valueFields[0]->getText();
    ASSERT_NE(str(before), "");

    // The unload command frees every character and keeps the window.
    kgiTestRemoveCharacters();
    for (int i = 0; i < d->getJointCount(); ++i) {
        EXPECT_EQ(d->getRowNode(i), nullptr) << i;
        EXPECT_EQ(w.valueFields[static_cast<size_t>(i)]->getUserData(), nullptr) << i;
    }
    w.valueFields[0]->setFocus();
    w.valueFields[0]->handle(nullptr, FXSEL(FX::SEL_FOCUSIN, 0), nullptr);
    d->refreshJointValues();
    // A new character (addresses may be reused) does not bring the rows back.
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    d->refreshAll();
    EXPECT_EQ(d->getRowNode(0), nullptr);
    EXPECT_EQ(w.valueFields[0]->getText(), before);
    EXPECT_EQ(d->getLastChangedFields(), 0);
}

// --- pictures ---

TEST_F(OptionsWindow, ScreenshotOfEachTab)
{
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    app->loadLanguage(0);
    app->getSettings().robotComId = 1;
    kgiOptionsDialog* d = open();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->getX(), kgiOptionsDialog::X);
    EXPECT_EQ(d->getY(), kgiOptionsDialog::Y);
    d->setStatusText("[Ready] : ROBO Info Read Complete !");
    EXPECT_EQ(str(d->widgets().comPort->getText()), "COM1");
    const kgiOptionsDialog::Widgets& w = d->widgets();
    const char* names[] = {"options_sample", "options_joints", "options_robot", "options_settings"};
    for (int tab = 0; tab < 4; ++tab) {
        w.tabBook->setCurrent(tab);
        kgiTestImage shot;
        for (int i = 0; i < 20; ++i) {
            app->runWhileEvents();
            app->repaint();
            app->flush(true);
            shot = kgiTestGrab(d);
        }
        ASSERT_FALSE(shot.empty());
        EXPECT_NE(shot.save(names[tab]), "");
        // The status strip and the key count, a little inside their right
        // edges (the text stands at the left).
        FX::FXint sx = 0, sy = 0;
        if (tab == 2) {
            w.status->translateCoordinatesTo(sx, sy, d, w.status->getWidth() - 10, w.status->getHeight() / 2);
            EXPECT_EQ(shot.at(sx, sy), (kgiTestImage::Rgb{200, 200, 200}));
        }
        if (tab == 3) {
            w.keyCount->translateCoordinatesTo(sx, sy, d, w.keyCount->getWidth() - 10, w.keyCount->getHeight() / 2);
            EXPECT_EQ(shot.at(sx, sy), (kgiTestImage::Rgb{255, 255, 255}));
        }
    }
}

} // namespace
