// The options window's commands, sent to the real window as its widgets
// send them, on the factory robot in the staged base directory: every box,
// question and input box answered and recorded by the application's
// services, the robot session and the lesson manager as recording
// stand-ins. Base folders of their own (below the staged base directory)
// hold the lists, joint files and sample motions a test needs.
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCollisionCheck.h"
#include "kgiKeyUndo.h"
#include "kgiKmdData.h"
#include "kgiLangKeys.h"
#include "kgiOptionsData.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"
#include "ksgNode.h"
#include "ksgTransform.h"

#include "core/pose_robot_fixture_test.h"
#include "support/app/kgiAnsweringServices.h"
#include "support/app/kgiAppStandIns.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <fxkeys.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace fs = std::filesystem;
using kgiTestRobot::maxDiff;

namespace {

std::string str(const FX::FXString& s) { return s.text(); }

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The history's place: the entries an undo and a redo would step over.
struct HistoryMark {
    const kutUndoEntry* last;
    const kutUndoEntry* current;
    bool operator==(const HistoryMark& o) const { return last == o.last && current == o.current; }
};
HistoryMark mark(kgiCharacter& c) { return {c.getKeyUndo().getLast(), c.getKeyUndo().getCurrent()}; }

class OptionsCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_TEST_APP();
        app = kgiTestApp();
        settings = app->getSettings();
        kgiRobotJointTable::instance();
        services.reset(new kgiAnsweringServices(*app));
        kgiCharacterServices::install(services.get());
        kgiAppMakers makers = fakes.makers();
        makers.optionsDialog = &kgiOptionsDialog::make;
        app->setMakers(makers);
        app->setMainWindow(&fakes.mainWindow);
        app->setLessonManager(&fakes.lesson);
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        robot = kgiWorld::instance()->getCurrentCharacter();
    }

    void TearDown() override
    {
        if (app == nullptr)
            return;
        kgiWorld* world = kgiWorld::instance();
        world->setPlaying(false);
        world->setStartFrame(0.0f);
        world->setEndFrame(0.0f);
        world->setCurrentTime(0.0f);
        app->deleteOptionsDialog();
        if (app->isRobotCom())
            app->setRobotCommunication(false);
        app->deleteRobotSession();
        app->setLessonManager(nullptr);
        app->setMainWindow(nullptr);
        app->setMakers(kgiAppMakers());
        app->getSettings() = settings;
        kgiCharacterServices::install(nullptr);
        kgiTestRemoveCharacters();
    }

    // Shown through the application, as the Option command does.
    kgiOptionsDialog* open()
    {
        app->showOptionsDialog(true);
        d = dynamic_cast<kgiOptionsDialog*>(app->getOptionsDialog());
        return d;
    }
    // A base folder for the model id `id` below the staged base directory,
    // with the files given, and the application's folders pointed at it.
    fs::path baseFolder(const std::string& id, const std::vector<std::pair<std::string, std::string>>& files)
    {
        const fs::path dir = fs::path(kgiTestBaseDir()) / (id + "base");
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (const auto& f : files) {
            fs::create_directories((dir / f.first).parent_path());
            std::ofstream(dir / f.first, std::ios::binary) << f.second;
        }
        app->setModelFolders(id);
        return dir;
    }
    const kgiOptionsDialog::Widgets& w() const { return d->widgets(); }
    long send(int id, FX::FXObject* sender = nullptr) { return d->handle(sender, FXSEL(FX::SEL_COMMAND, id), nullptr); }
    // A click on a check as the toolkit makes it: the check turns, then the
    // command goes to the window.
    long click(FX::FXMenuCheck* check, int id)
    {
        check->setCheck(!check->getCheck());
        return d->handle(check, FXSEL(FX::SEL_COMMAND, id), reinterpret_cast<void*>(FX::FXuval(check->getCheck())));
    }
    void select(FX::FXList* list, int i)
    {
        list->setCurrentItem(i);
        list->selectItem(i);
    }
    void communicationOn()
    {
        app->setRobotCommunication(true);
        ASSERT_TRUE(app->isRobotCom());
        ASSERT_TRUE(w().robotCom->getCheck());
    }
    void keyAt(int frame)
    {
        kgiWorld::instance()->setCurrentTime(static_cast<float>(frame));
        ASSERT_TRUE(robot->addKey(frame));
    }
    std::string text(const char* key) const { return services->text(key); }
    std::string warning140() const { return "Warning - 140|" + text(kgiLangKey::ROBOT_COM_No_Check); }

    kgiAppStandIns fakes;
    kgiApp* app = nullptr;
    kgiSettings settings;
    kgiCharacter* robot = nullptr;
    kgiOptionsDialog* d = nullptr;
    std::unique_ptr<kgiAnsweringServices> services;
};

// --- remote-control entries ---

TEST_F(OptionsCommands, RemoteControlNamesAreCheckedBeforeTheEntryIsStored)
{
    baseFolder("RCN1", {{"remocon/list.txt", "1:walk\n2:bow\n3:\n4:kick\n5:\n"}});
    ASSERT_NE(open(), nullptr);
    fakes.lesson.mode = 1;
    fakes.lesson.waitingForAction = true;
    FX::FXList* list = w().remoconList;
    const std::string violation = text(kgiLangKey::ROBOT_COM_Wr_ViolationCharacter) + "|" +
                                  text(kgiLangKey::ROBOT_COM_Wr_SetDifferentName);
    const std::string sameName =
        text(kgiLangKey::ROBOT_COM_Wr_SameName) + "|" + text(kgiLangKey::ROBOT_COM_Wr_SetDifferentName);
    struct Case {
        std::optional<std::string> entered;  // nullopt: Cancel
        long result;
        std::string box;                     // "" none
        std::string item;                    // entry 3 afterwards
        bool stored;
    };
    std::vector<Case> cases;
    for (const char* bad : {"a:b", "a\\b", "a/b", "a*b", "a<b", "a>b", "a b", "a|b", "a?b", " "})
        cases.push_back({std::string(bad), 0, violation, "4:kick", false});
    cases.push_back({std::string(""), 0, violation, "4:kick", false});
    cases.push_back({std::string("walk"), 0, sameName, "4:kick", false});
    cases.push_back({std::nullopt, 1, "", "4:kick", false});
    cases.push_back({std::string("kick"), 1, "", "4:kick", true});
    // Code page 932 characters whose second byte is '\' and '|'.
    cases.push_back({std::string("\x83\x5c\x83\x7c"), 1, "", "4:\xe3\x82\xbd\xe3\x83\x9d", true});
    cases.push_back({std::string("run"), 1, "", "4:run", true});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.entered ? "\"" + *c.entered + "\"" : std::string("cancel"));
        list->setItemText(3, "4:kick");
        select(list, 3);
        services->clear();
        services->texts = {c.entered};
        fakes.session.record.clear();
        fakes.lesson.record.clear();
        EXPECT_EQ(send(kgiOptionsDialog::ID_RENAME_ENTRY), c.result);
        ASSERT_EQ(services->inputs.size(), 1u);
        const kgiInputRequest& asked = services->inputs[0];
        EXPECT_EQ(asked.caption, "Input Name");
        EXPECT_EQ(asked.prompt, "");
        EXPECT_EQ(asked.preset, "kick");
        EXPECT_EQ(asked.owner, d);
        EXPECT_EQ(asked.x, d->getX());
        EXPECT_EQ(asked.y, d->getY() + 100);
        EXPECT_EQ(asked.placement, FX::PLACEMENT_CURSOR);
        EXPECT_EQ(services->boxes, c.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.box});
        EXPECT_EQ(str(list->getItemText(3)), c.item);
        // The press moves the lesson on and sets up its name step before
        // the box opens; the answer then moves on or back.
        if (c.stored) {
            EXPECT_EQ(fakes.session.record.calls, std::vector<std::string>{"editRemoconList(3,0," + *c.entered + ")"});
            EXPECT_EQ(fakes.lesson.record.calls, (std::vector<std::string>{"nextStep", "runStep", "nextStep"}));
        } else {
            EXPECT_EQ(fakes.session.record.count("editRemoconList"), 0);
            EXPECT_EQ(fakes.lesson.record.calls, (std::vector<std::string>{"nextStep", "runStep", "stepBack"}));
        }
    }

    // A store that fails (no keys, a file that cannot be written) keeps the
    // item, and the lesson steps back instead of moving on.
    fakes.session.answer = false;
    services->texts = {std::string("jump")};
    fakes.lesson.record.clear();
    fakes.session.record.clear();
    EXPECT_EQ(send(kgiOptionsDialog::ID_RENAME_ENTRY), 1);
    EXPECT_EQ(fakes.session.record.count("editRemoconList"), 1);
    EXPECT_EQ(str(list->getItemText(3)), "4:run");
    EXPECT_EQ(fakes.lesson.record.calls, (std::vector<std::string>{"nextStep", "runStep", "stepBack"}));
}

TEST_F(OptionsCommands, DeleteShowsTheEmptyEntryOnlyWhenTheEditWorked)
{
    baseFolder("RCN2", {{"remocon/list.txt", "1:walk\n2:bow\n3:\n4:kick\n"}});
    ASSERT_NE(open(), nullptr);
    FX::FXList* list = w().remoconList;
    select(list, 3);
    fakes.session.answer = false;
    send(kgiOptionsDialog::ID_DELETE_ENTRY);
    EXPECT_EQ(str(list->getItemText(3)), "4:kick");
    fakes.session.answer = true;
    send(kgiOptionsDialog::ID_DELETE_ENTRY);
    EXPECT_EQ(str(list->getItemText(3)), "4:");
    EXPECT_EQ(fakes.session.record.calls, (std::vector<std::string>{"editRemoconList(3,1,)", "editRemoconList(3,1,)"}));

    // An empty list has no current entry: nothing is asked or stored.
    list->clearItems();
    fakes.session.record.clear();
    send(kgiOptionsDialog::ID_DELETE_ENTRY);
    send(kgiOptionsDialog::ID_RENAME_ENTRY);
    EXPECT_TRUE(fakes.session.record.calls.empty());
    EXPECT_TRUE(services->inputs.empty());
}

// --- joints ---

TEST_F(OptionsCommands, TypedServoValueSetsTheJointWithoutMargin)
{
    // One joint with scale 10 and offset 1000, limits -87..87 degrees (the
    // factory robot's own for it).
    const fs::path dir = baseFolder("JV1", {{"character/model.ini", "0 : RShoulder = 0 :2,-87,87,1 :6,10.0,1000.0;\n"},
                                             {"character/motNames.txt", "00 : Hip\n"}});
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    ASSERT_TRUE(table->loadModelIni((dir / "JV1.ts").string(), robot));
    ASSERT_NE(open(), nullptr);
    ASSERT_EQ(d->getJointCount(), 1);
    ksgNode* shoulder = robot->findNode("RShoulder");
    ASSERT_EQ(d->getRowNode(0), shoulder);
    FX::FXTextField* field = w().valueFields[0];

    field->setText("1500");
    EXPECT_EQ(send(kgiOptionsDialog::ID_JOINT_VALUE, field), 1);
    EXPECT_FLOAT_EQ(table->getJointAngle(shoulder), 50.0f);
    // The redraw shows the joint's value by the window's rule (which folds
    // values above 360).
    std::string shown;
    ASSERT_TRUE(kgiOptionsData::servoText(50.0f, table->findJoint("RShoulder"), shown));
    EXPECT_EQ(str(field->getText()), shown);
    EXPECT_TRUE(services->boxes.empty());

    // 87.05 degrees: inside the margin the other joint commands allow,
    // refused here, and the field shows the joint's value again.
    field->setText("1870.5");
    send(kgiOptionsDialog::ID_JOINT_VALUE, field);
    EXPECT_FLOAT_EQ(table->getJointAngle(shoulder), 50.0f);
    EXPECT_EQ(services->boxes,
              std::vector<std::string>{"Warning - 160|" + text(kgiLangKey::Wr_OutOfRange) + "   Hip:  max=1870  min=130"});
    EXPECT_EQ(str(field->getText()), shown);

    // Any other sender (a name field, none) changes nothing.
    services->clear();
    send(kgiOptionsDialog::ID_JOINT_VALUE, w().nameFields[0]);
    send(kgiOptionsDialog::ID_JOINT_VALUE, nullptr);
    EXPECT_FLOAT_EQ(table->getJointAngle(shoulder), 50.0f);
    EXPECT_TRUE(services->boxes.empty());
}

// The meshes whose selection colour is on, below a node.
int selectedMeshes(const ksgNode* node)
{
    int n = 0;
    if (const kgiKmdData* data = kgiKmdData::of(node))
        n += data->isSelected() ? 1 : 0;
    for (const ksgNode* c = node->getChild(); c != nullptr; c = c->getSibling())
        n += selectedMeshes(c);
    return n;
}

TEST_F(OptionsCommands, AServoValueEnteredMovesTheJointAndItsPartShowsWhileTheFieldHasTheFocus)
{
    ASSERT_NE(open(), nullptr);
    int row = -1;
    for (int i = 0; i < d->getJointCount(); ++i)
        if (d->getJointName(i) == "RShoulder")
            row = i;
    ASSERT_GE(row, 0);
    w().tabBook->setCurrent(1);
    FX::FXTextField* field = w().valueFields[static_cast<size_t>(row)];
    ASSERT_TRUE(kgiTestRunUntil([&] { return field->shown() && field->getWidth() > 0; }));
    kgiTestFocus(d);

    // The focus into the field: its joint's part is marked.
    field->setFocus();
    ASSERT_TRUE(kgiTestRunUntil([&] { return field->hasFocus(); }));
    EXPECT_GT(selectedMeshes(robot->getRoot()), 0);
    EXPECT_GT(selectedMeshes(robot->findNode("RShoulder")), 0);

    // The field cleared, a servo value typed and entered: the joint moves
    // (offset 100). The keys as the toolkit hands them to the focused field.
    field->setText("");
    field->setCursorPos(0);
    for (const char* key : {"1", "3", "0", "\r"}) {
        FX::FXEvent event{};
        event.code = key[0] == '\r' ? FX::FXuint(KEY_Return) : FX::FXuint(key[0]);
        event.text = key[0] == '\r' ? FX::FXString() : FX::FXString(key);
        field->handle(field, FXSEL(FX::SEL_KEYPRESS, 0), &event);
        field->handle(field, FXSEL(FX::SEL_KEYRELEASE, 0), &event);
    }
    kgiRobotJointTable* table = kgiRobotJointTable::instance();
    ASSERT_TRUE(kgiTestRunUntil([&] { return std::abs(table->getJointAngleByName(robot, "RShoulder") - 30.0f) < 1e-3f; }))
        << table->getJointAngleByName(robot, "RShoulder") << " field " << str(field->getText());
    EXPECT_EQ(str(field->getText()), "130");
    EXPECT_TRUE(services->boxes.empty());

    // The focus leaves: no part stays marked.
    w().sampleList->setFocus();
    ASSERT_TRUE(kgiTestRunUntil([&] { return !field->hasFocus(); }));
    EXPECT_EQ(selectedMeshes(robot->getRoot()), 0);
}

TEST_F(OptionsCommands, MotorNamesAreWrittenWholeOrNotAtAll)
{
    const fs::path dir = baseFolder("MN1", {{"character/model.ini", "0 : RThigh = 0 :2,-90,90,1 :0,1.0,100.0;\n"
                                                                    "1 : RKnee = 0 :2,-90,90,1 :1,1.0,100.0;\n"
                                                                    "2 : LThigh = 0 :2,-90,90,1 :2,1.0,100.0;\n"},
                                             {"character/motNames.txt", "00 : old\n"}});
    ASSERT_TRUE(kgiRobotJointTable::instance()->loadModelIni((dir / "MN1.ts").string(), robot));
    ASSERT_NE(open(), nullptr);
    ASSERT_EQ(d->getJointCount(), 3);
    const fs::path file = dir / "character" / "motNames.txt";

    // The folder cannot take the whole file: the old one stays, silently.
    w().nameFields[0]->setText("abcdefgh");
    w().nameFields[1]->setText("");
    w().nameFields[2]->setText("b");
    {
        struct rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        struct rlimit small = old;
        small.rlim_cur = 8;
        void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        send(kgiOptionsDialog::ID_MOTOR_NAME, w().nameFields[0]);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
    }
    EXPECT_EQ(readFile(file), "00 : old\n");
    EXPECT_TRUE(services->boxes.empty());
    for (const fs::directory_entry& e : fs::directory_iterator(file.parent_path()))
        EXPECT_TRUE(e.path().filename() == "motNames.txt" || e.path().filename() == "model.ini") << e.path();

    w().nameFields[0]->setText("a");
    send(kgiOptionsDialog::ID_MOTOR_NAME, w().nameFields[0]);
    EXPECT_EQ(readFile(file), "00 : a\n01 : \n02 : b\n");
    std::array<std::string, kgiOptionsData::MAX_JOINT_ROWS> names;
    kgiOptionsData::readNameHeads(file.string(), names, true);
    EXPECT_EQ(names[0], "a");
    EXPECT_EQ(names[1], "");
    EXPECT_EQ(names[2], "b");

    // A name the code page cannot hold is refused, and no name is written
    // with a character left out.
    w().nameFields[1]->setText("caf\xc3\xa9");
    w().nameFields[2]->setText("\xe6\x97\xa5");
    send(kgiOptionsDialog::ID_MOTOR_NAME, w().nameFields[1]);
    EXPECT_EQ(readFile(file), "00 : a\n01 : \n02 : b\n");
    EXPECT_EQ(services->boxes, std::vector<std::string>{text(kgiLangKey::ROBOT_COM_Wr_ViolationCharacter) + "|" +
                                                        text(kgiLangKey::Wr_Name_Code_Page)});
    w().nameFields[1]->setText("k");
    send(kgiOptionsDialog::ID_MOTOR_NAME, w().nameFields[1]);
    EXPECT_EQ(readFile(file), "00 : a\n01 : k\n02 : \x93\xfa\n");
}

// --- samples ---

// Sample motions of the factory robot written as the program saves a
// motion, into a base folder of their own with a copy of the factory
// robot's character folder.
class OptionsSamples : public OptionsCommands {
protected:
    void SetUp() override
    {
        OptionsCommands::SetUp();
        if (robot == nullptr)
            return;
        const fs::path factory = fs::path(kgiTestBaseDir()) / "DORUZAVO_1base";
        dir = baseFolder("SPL1", {{"sample.txt", "nod\nmissing\nlong\n"}});
        fs::copy(factory / "character", dir / "character", fs::copy_options::recursive);
        // nod: three keys, the shoulder up and down again.
        writeSample("nod", {{0, 0.0f}, {8, 30.0f}, {16, 0.0f}});
        writeSample("long", {{0, 0.0f}, {4, 10.0f}, {8, 20.0f}, {12, 0.0f}});
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        robot = kgiWorld::instance()->getCurrentCharacter();
        app->setModelFolders("SPL1");
        ASSERT_NE(open(), nullptr);
        ASSERT_EQ(w().sampleList->getNumItems(), 3);
    }

    void writeSample(const std::string& name, const std::vector<std::pair<int, float>> keys)
    {
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        robot = kgiWorld::instance()->getCurrentCharacter();
        for (const auto& k : keys) {
            kgiWorld::instance()->setCurrentTime(static_cast<float>(k.first));
            ASSERT_TRUE(kgiRobotJointTable::instance()->setJointAngleByName(robot, "RShoulder", k.second));
            ASSERT_TRUE(robot->addKey(k.first));
        }
        // The save makes a project folder; a sample's files stand in the
        // base folder itself, beside the character folder they name.
        ASSERT_TRUE(robot->saveMotion((dir / (name + ".ts")).string()));
        const fs::path project = dir / (name + ".prj");
        fs::create_directories(dir / "motion");
        fs::rename(project / (name + ".ts"), dir / (name + ".ts"));
        fs::rename(project / "motion" / (name + ".kmm"), dir / "motion" / (name + ".kmm"));
        fs::remove_all(project);
    }
    float shoulderAt(float t)
    {
        kgiWorld::instance()->setCurrentTime(t);
        return kgiRobotJointTable::instance()->getJointAngleByName(robot, "RShoulder");
    }
    kmlMatrix4 bodyAt(float t)
    {
        kgiWorld::instance()->setCurrentTime(t);
        return robot->findNode("Body")->getWorld();
    }

    fs::path dir;
};

TEST_F(OptionsSamples, ReadReplacesTheKeysAndUndoBringsThemBack)
{
    for (int f : {0, 10, 40})
        keyAt(f);
    kgiWorld::instance()->setCurrentTime(25.0f);
    fakes.lesson.mode = 1;
    fakes.lesson.waitingForAction = true;
    select(w().sampleList, 0);
    fakes.mainWindow.record.clear();

    EXPECT_EQ(send(kgiOptionsDialog::ID_SAMPLE_READ), 1);
    EXPECT_EQ(robot->getKeyTimes(), (std::vector<float>{0, 8, 16}));
    EXPECT_EQ(kgiWorld::instance()->getCurrentTime(), 0.0f);
    EXPECT_EQ(d->getFrameCount(), 17);
    EXPECT_NEAR(shoulderAt(8.0f), 30.0f, 1e-3);
    EXPECT_EQ(fakes.lesson.record.count("nextStep"), 1);
    EXPECT_EQ(fakes.mainWindow.record.count("refreshTimeline"), 1);
    EXPECT_TRUE(services->boxes.empty());

    // The removal comes before the import's own entries: undoing them all
    // gives the old keys back.
    while (robot->undoKeys()) {
    }
    EXPECT_EQ(robot->getKeyTimes(), (std::vector<float>{0, 10, 40}));
}

TEST_F(OptionsSamples, AFailedReadLeavesKeysAndHistoryAsTheyWere)
{
    for (int f : {0, 10, 40})
        keyAt(f);
    const HistoryMark before = mark(*robot);
    struct Case {
        int item;
        int keysMax;
        std::string box;
    } cases[] = {
        {1, 150, "Error - 061|" + text(kgiLangKey::Er_TS_fail)},
        {2, 3, "Warning - 153|" + text(kgiLangKey::Wr_Keys_Max)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        app->getSettings().keysMax = c.keysMax;
        services->clear();
        select(w().sampleList, c.item);
        send(kgiOptionsDialog::ID_SAMPLE_READ);
        EXPECT_EQ(services->boxes, std::vector<std::string>{c.box});
        EXPECT_EQ(robot->getKeyTimes(), (std::vector<float>{0, 10, 40}));
        EXPECT_TRUE(mark(*robot) == before);
    }
}

TEST_F(OptionsSamples, AddAppendsAfterTheLastKeyWithTheBasePartInPlace)
{
    // Keys at 0 and 30, the robot moved sideways at 30.
    keyAt(0);
    kgiWorld* world = kgiWorld::instance();
    world->setCurrentTime(30.0f);
    ksgTransform* root = kgiRobotJointTable::instance()->getNode(0)->asTransform();
    ASSERT_NE(root, nullptr);
    kmlMatrix4 moved = root->getLocal();
    const kmlVec4 at = moved.getColumn(3);
    moved.setTranslation(kmlVec3(at.get(0) + 40.0f, at.get(1), at.get(2) - 25.0f));
    root->setLocal(moved);
    root->update(0.0f, false, true);
    keyAt(30);
    const kmlMatrix4 bodyAt30 = bodyAt(30.0f);
    d->refreshAll();
    ASSERT_EQ(d->getFrameCount(), 31);
    select(w().sampleList, 0);

    EXPECT_EQ(send(kgiOptionsDialog::ID_SAMPLE_ADD), 1);
    EXPECT_EQ(robot->getKeyTimes(), (std::vector<float>{0, 30, 31, 39, 47}));
    // The range the base part was aligned over (the stand-in main window's
    // time-line refresh leaves it; the program's sets every key).
    EXPECT_EQ(world->getStartFrame(), 31.0f);
    EXPECT_EQ(world->getEndFrame(), 47.0f);
    EXPECT_EQ(world->getCurrentTime(), 31.0f);
    EXPECT_EQ(d->getFrameCount(), 48);
    EXPECT_LT(maxDiff(bodyAt(31.0f), bodyAt30), 1e-3f);
    EXPECT_NEAR(shoulderAt(39.0f), 30.0f, 1e-3);
    EXPECT_TRUE(services->boxes.empty());

    // A missing sample adds nothing.
    select(w().sampleList, 1);
    send(kgiOptionsDialog::ID_SAMPLE_ADD);
    EXPECT_EQ(robot->getKeyTimes(), (std::vector<float>{0, 30, 31, 39, 47}));
    EXPECT_EQ(world->getStartFrame(), 31.0f);
}

// --- checks, combo and radios ---

TEST_F(OptionsCommands, TeachAndReflectionChecksExcludeEachOther)
{
    ASSERT_NE(open(), nullptr);
    const kgiOptionsDialog::Widgets& x = w();
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(1000.0f);
    enum Check { ALL, UPPER, LOWER, REFLECT };
    FX::FXMenuCheck* checks[] = {x.allFree, x.upperFree, x.lowerFree, x.poseReflection};
    const int ids[] = {kgiOptionsDialog::ID_ALL_FREE, kgiOptionsDialog::ID_UPPER_FREE, kgiOptionsDialog::ID_LOWER_FREE,
                       kgiOptionsDialog::ID_POSE_REFLECTION};
    struct Case {
        const char* name;
        std::vector<Check> clicks;
        bool playingBeforeLast;
        std::vector<bool> checked;  // all, upper, lower, reflection
        std::vector<std::string> lastCalls;  // the session's calls of the last click
        bool playing;
        bool sync;
    };
    const Case cases[] = {
        {"upper after all", {ALL, UPPER}, false, {false, true, false, false}, {"stopPoseRead", "requestPoseRead(1)"},
         false, false},
        {"all off again", {ALL, ALL}, false, {false, false, false, false}, {"stopPoseRead"}, false, false},
        {"reflection after a teach check", {LOWER, REFLECT}, true, {false, false, false, true}, {"stopPoseRead"},
         false, true},
        {"teach after reflection", {REFLECT, UPPER}, false, {false, true, false, false},
         {"stopPoseRead", "requestPoseRead(1)"}, false, false},
        {"reflection off during playback", {REFLECT, REFLECT}, true, {false, false, false, true}, {}, true, true},
        {"reflection off when stopped", {REFLECT, REFLECT}, false, {false, false, false, false}, {}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        communicationOn();
        for (FX::FXMenuCheck* check : checks)
            check->setCheck(false);
        app->setRobotSyncFlag(false);
        world->setPlaying(false);
        for (size_t i = 0; i < c.clicks.size(); ++i) {
            if (i + 1 == c.clicks.size()) {
                world->setPlaying(c.playingBeforeLast);
                fakes.session.record.clear();
            }
            EXPECT_EQ(click(checks[c.clicks[i]], ids[c.clicks[i]]), 1);
        }
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(checks[k]->getCheck() != FALSE, c.checked[size_t(k)]) << k;
        EXPECT_EQ(fakes.session.record.calls, c.lastCalls);
        EXPECT_EQ(world->isPlaying(), c.playing);
        EXPECT_EQ(app->getRobotSyncFlag(), c.sync);
        EXPECT_TRUE(services->boxes.empty());
        world->setPlaying(false);
    }

    // Communication off: a checking click is undone and told, an
    // unchecking one passes silently.
    app->setRobotCommunication(false);
    app->idleTick();
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        services->clear();
        checks[k]->setCheck(false);
        click(checks[k], ids[k]);
        EXPECT_FALSE(checks[k]->getCheck());
        EXPECT_EQ(services->boxes, std::vector<std::string>{warning140()});
        services->clear();
        checks[k]->setCheck(true);
        click(checks[k], ids[k]);
        EXPECT_FALSE(checks[k]->getCheck());
        EXPECT_TRUE(services->boxes.empty());
    }
}

TEST_F(OptionsCommands, CommunicationCheckAgreesWithTheLink)
{
    ASSERT_NE(open(), nullptr);
    FX::FXMenuCheck* check = w().robotCom;
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(1000.0f);

    EXPECT_EQ(click(check, kgiOptionsDialog::ID_ROBOT_COM), 1);
    EXPECT_TRUE(app->isRobotCom());
    EXPECT_TRUE(check->getCheck());

    // Refused before anything is switched: in a lesson (not handled) and
    // during playback that the robot follows.
    fakes.lesson.mode = 1;
    EXPECT_EQ(click(check, kgiOptionsDialog::ID_ROBOT_COM), 0);
    EXPECT_TRUE(app->isRobotCom());
    EXPECT_TRUE(check->getCheck());
    fakes.lesson.mode = 0;
    w().poseReflection->setCheck(true);
    world->setPlaying(true);
    EXPECT_EQ(click(check, kgiOptionsDialog::ID_ROBOT_COM), 1);
    EXPECT_TRUE(app->isRobotCom());
    EXPECT_TRUE(check->getCheck());
    world->setPlaying(false);
    EXPECT_TRUE(services->boxes.empty());

    // Otherwise the link closes, and every guarded command refuses again.
    EXPECT_EQ(click(check, kgiOptionsDialog::ID_ROBOT_COM), 1);
    EXPECT_FALSE(app->isRobotCom());
    EXPECT_FALSE(check->getCheck());
    send(kgiOptionsDialog::ID_WRITE_TMP);
    EXPECT_EQ(services->boxes, std::vector<std::string>{warning140()});

    // A link that does not open leaves the check off.
    app->idleTick();
    fakes.session.openAnswer = false;
    click(check, kgiOptionsDialog::ID_ROBOT_COM);
    EXPECT_FALSE(app->isRobotCom());
    EXPECT_FALSE(check->getCheck());
}

TEST_F(OptionsCommands, PortComboMovesOnlyWhileTheLinkIsClosed)
{
    app->getSettings().robotComId = 2;
    ASSERT_NE(open(), nullptr);
    FX::FXComboBox* combo = w().comPort;
    combo->setCurrentItem(4);
    send(kgiOptionsDialog::ID_COM_PORT, combo);
    EXPECT_EQ(app->getSettings().robotComId, 5);

    communicationOn();
    combo->setCurrentItem(7);
    send(kgiOptionsDialog::ID_COM_PORT, combo);
    EXPECT_EQ(combo->getCurrentItem(), 4);
    EXPECT_EQ(app->getSettings().robotComId, 5);
}

TEST_F(OptionsCommands, BasePartComesFromTheRadioClicked)
{
    ASSERT_NE(open(), nullptr);
    FX::FXRadioButton* radios[] = {w().body, w().rightFoot, w().leftFoot};
    const char* parts[] = {"Body", "RAnkle2", "LAnkle2"};
    // The focus stays where it is, as when the window is not active.
    w().keysMax->setFocus();
    for (int clicked : {1, 2, 0, 2}) {
        SCOPED_TRACE(parts[clicked]);
        radios[clicked]->setCheck(true);
        EXPECT_EQ(send(kgiOptionsDialog::ID_BASE_PART, radios[clicked]), 1);
        EXPECT_EQ(app->getSettings().addBasePart, parts[clicked]);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(radios[i]->getCheck() != FALSE, i == clicked) << parts[i];
    }
}

TEST_F(OptionsCommands, CollisionAndSafetyChecksGoTogether)
{
    ASSERT_NE(open(), nullptr);
    FX::FXMenuCheck* collision = w().collision;
    FX::FXMenuCheck* safety = w().safety;
    ASSERT_FALSE(collision->getCheck());
    click(safety, kgiOptionsDialog::ID_SAFETY);
    EXPECT_TRUE(collision->getCheck());
    EXPECT_TRUE(app->getSettings().collisionDetail);
    EXPECT_TRUE(d->isCollisionSafetyOn());

    click(collision, kgiOptionsDialog::ID_COLLISION);
    EXPECT_FALSE(app->getSettings().collisionDetail);
    EXPECT_FALSE(safety->getCheck());
    EXPECT_TRUE(kgiCollisionCheck::instance()->getHits().empty());
}

// --- writes to the robot ---

TEST_F(OptionsCommands, WritesWarnFirstAndClearTheLiveChecks)
{
    ASSERT_NE(open(), nullptr);
    const std::string fallDown =
        text(kgiLangKey::ROBOT_COM_Wr_FallDown) + "|" + text(kgiLangKey::ROBOT_COM_Wr_HoldRobot);
    struct Case {
        int id;
        std::vector<std::string> calls;
        int request;
    } cases[] = {
        {kgiOptionsDialog::ID_WRITE_IRC, {"stopPoseRead", "loadRemoconList"}, 1},
        {kgiOptionsDialog::ID_WRITE_TMP, {"stopPoseRead"}, 9},
        {kgiOptionsDialog::ID_WRITE_ZERO, {"stopPoseRead", "loadRemoconList"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        communicationOn();
        // Reflection and a teach check on together, as the board may leave
        // them.
        w().poseReflection->setCheck(true);
        app->setRobotSyncFlag(true);
        w().upperFree->setCheck(true);
        services->clear();
        fakes.session.record.clear();
        fakes.session.downloadRequest = kgiRobotConnection::NO_DOWNLOAD;
        EXPECT_EQ(send(c.id), 1);
        EXPECT_EQ(services->boxes, std::vector<std::string>{fallDown});
        EXPECT_EQ(fakes.session.record.calls, c.calls);
        EXPECT_EQ(fakes.session.downloadRequest, c.request);
        EXPECT_FALSE(w().poseReflection->getCheck());
        EXPECT_FALSE(w().upperFree->getCheck());
        EXPECT_FALSE(app->getRobotSyncFlag());
    }
    EXPECT_TRUE(d->writeMotionToRobot(1));
    EXPECT_EQ(fakes.session.downloadRequest, 1);
}

// --- the guard and the commands no widget sends ---

TEST_F(OptionsCommands, GuardedCommandsNeedCommunication)
{
    baseFolder("GC1", {{"remocon/list.txt", "1:walk\n2:bow\n3:kick\n"}});
    ASSERT_NE(open(), nullptr);
    select(w().remoconList, 2);
    struct Case {
        int id;
        std::vector<std::string> calls;
    } cases[] = {
        {kgiOptionsDialog::ID_ROBOT_REQUEST, {"onCommand106"}},
        {kgiOptionsDialog::ID_SESSION_OP_A, {"onCommand107(2)"}},
        {kgiOptionsDialog::ID_SESSION_OP_B, {"onCommand108(2)"}},
        {kgiOptionsDialog::ID_PLAY_ENTRY, {"playMotion(2)"}},
        {kgiOptionsDialog::ID_PLAY_REMOCON, {"playMotion(2)"}},
        {kgiOptionsDialog::ID_PULSE_LINK, {"sendCommand53"}},
        {kgiOptionsDialog::ID_SESSION_QUERY, {"onCommand112(0)"}},
        {kgiOptionsDialog::ID_GUARD_ONLY, {}},
        {kgiOptionsDialog::ID_WRITE_IRC, {}},
        {kgiOptionsDialog::ID_WRITE_TMP, {}},
        {kgiOptionsDialog::ID_WRITE_ZERO, {}},
        {kgiOptionsDialog::ID_MOTION_NAME, {}},
        {kgiOptionsDialog::ID_ALL_FREE_OFF, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        app->prepareRobotSession();
        services->clear();
        fakes.session.record.clear();
        EXPECT_EQ(send(c.id), 1);
        EXPECT_EQ(services->boxes, std::vector<std::string>{warning140()});
        EXPECT_TRUE(fakes.session.record.calls.empty());
        EXPECT_TRUE(services->inputs.empty());
    }
    communicationOn();
    for (const Case& c : cases) {
        if (c.calls.empty())
            continue;
        SCOPED_TRACE(c.id);
        fakes.session.record.clear();
        send(c.id);
        EXPECT_EQ(fakes.session.record.calls, c.calls);
    }
    // The query keeps its answer until Play resets it.
    send(kgiOptionsDialog::ID_SESSION_QUERY);
    EXPECT_EQ(d->getQueryValue(), 1);
    fakes.session.record.clear();
    send(kgiOptionsDialog::ID_SESSION_QUERY);
    EXPECT_EQ(fakes.session.record.calls, std::vector<std::string>{"onCommand112(1)"});
    send(kgiOptionsDialog::ID_PLAY_REMOCON);
    EXPECT_EQ(d->getQueryValue(), 0);
}

TEST_F(OptionsCommands, MotionNameAsksAboutTheSlotsALongMotionFills)
{
    baseFolder("MS1", {{"remocon/list.txt", "1:walk\n2:bow\n3:kick\n4:\n5:\n6:\n"}});
    ASSERT_NE(open(), nullptr);
    communicationOn();
    select(w().remoconList, 2);
    for (int k = 0; k < 48; ++k)
        keyAt(k);

    // No: nothing asked further.
    services->answers = {false};
    send(kgiOptionsDialog::ID_MOTION_NAME);
    const std::string question = "warning|" + text(kgiLangKey::ROBOT_COM_Wr_BigData) + "\n M3  M4  M5 ";
    EXPECT_EQ(services->boxes, std::vector<std::string>{question});
    EXPECT_TRUE(services->inputs.empty());

    services->clear();
    services->answers = {true};
    services->texts = {std::string("dance")};
    fakes.session.record.clear();
    send(kgiOptionsDialog::ID_MOTION_NAME);
    EXPECT_EQ(services->boxes, std::vector<std::string>{question});
    ASSERT_EQ(services->inputs.size(), 1u);
    EXPECT_EQ(services->inputs[0].caption, "Input Name");
    EXPECT_EQ(services->inputs[0].prompt, "M3");
    EXPECT_EQ(fakes.session.record.calls, std::vector<std::string>{"setMotionName(dance)"});
    EXPECT_EQ(fakes.session.downloadRequest, 2);

    // The slot rename no message routes: the same box, then the session.
    services->clear();
    services->texts = {std::string("spin")};
    fakes.session.record.clear();
    EXPECT_TRUE(d->renameMotionSlot());
    EXPECT_EQ(services->inputs.at(0).prompt, "M3");
    EXPECT_EQ(fakes.session.record.calls, (std::vector<std::string>{"setMotionName(spin)", "renameSlot(spin,2)"}));
    services->texts = {std::nullopt};
    EXPECT_FALSE(d->renameMotionSlot());
}

TEST_F(OptionsCommands, CommandsWithoutAWidgetTakeTheSendersValues)
{
    ASSERT_NE(open(), nullptr);
    kgiTestWindow holder(100, 40);
    auto* real = new FX::FXTextField(holder.shell(), 8, nullptr, 0, FX::TEXTFIELD_REAL);
    auto* whole = new FX::FXTextField(holder.shell(), 8, nullptr, 0, FX::TEXTFIELD_INTEGER);
    holder.show();
    real->setText("2.5");
    whole->setText("42");

    send(kgiOptionsDialog::ID_OPTION_FLOAT, real);
    EXPECT_FLOAT_EQ(app->getSettings().optionFloat, 2.5f);
    send(kgiOptionsDialog::ID_FRAME_COUNT, whole);
    EXPECT_EQ(d->getFrameCount(), 42);
    // Without a sender there is nothing to take.
    send(kgiOptionsDialog::ID_OPTION_FLOAT);
    send(kgiOptionsDialog::ID_FRAME_COUNT);
    EXPECT_FLOAT_EQ(app->getSettings().optionFloat, 2.5f);
    EXPECT_EQ(d->getFrameCount(), 42);
    for (int id : {kgiOptionsDialog::ID_READ_VALUES, kgiOptionsDialog::ID_READ_INT, kgiOptionsDialog::ID_REMOVE_ITEM})
        EXPECT_EQ(send(id, whole), 1) << id;
    // The Keys_MAX field's command (the field stays disabled).
    w().keysMax->setText("200");
    send(kgiOptionsDialog::ID_KEYS_MAX, w().keysMax);
    EXPECT_EQ(app->getSettings().keysMax, 200);

    // 125: the all-servo teach check off, or the box when it is not on.
    communicationOn();
    services->clear();
    send(kgiOptionsDialog::ID_ALL_FREE_OFF);
    EXPECT_EQ(services->boxes,
              std::vector<std::string>{"ROBOT COM is not checked|" + text(kgiLangKey::ROBOT_COM_No_OFF)});
    services->clear();
    w().allFree->setCheck(true);
    send(kgiOptionsDialog::ID_ALL_FREE_OFF);
    EXPECT_FALSE(w().allFree->getCheck());
    EXPECT_TRUE(services->boxes.empty());
}

TEST_F(OptionsCommands, ListChoicesAnswerTheLesson)
{
    baseFolder("LC1", {{"sample.txt", "wave\nbow\n"}, {"remocon/list.txt", "1:a\n2:b\n3:c\n"}});
    ASSERT_NE(open(), nullptr);
    fakes.lesson.record.clear();
    select(w().sampleList, 1);
    send(kgiOptionsDialog::ID_SAMPLE_LIST, w().sampleList);
    select(w().remoconList, 2);
    send(kgiOptionsDialog::ID_REMOCON_LIST, w().remoconList);
    EXPECT_EQ(fakes.lesson.record.calls, (std::vector<std::string>{"checkAnswer(1)", "checkAnswer(2)"}));
}

// --- the map ---

TEST_F(OptionsCommands, EveryCommandIsRoutedAndTheKeysAreNot)
{
    using D = kgiOptionsDialog;
    std::vector<FX::FXSelector> routed = {FXSEL(FX::SEL_CLOSE, 0)};
    for (int id : {D::ID_READ_VALUES, D::ID_COLLISION, D::ID_OPTION_FLOAT, D::ID_SAFETY, D::ID_KEYS_MAX,
                   D::ID_MOTOR_NAME, D::ID_JOINT_VALUE, D::ID_READ_INT, D::ID_REMOVE_ITEM, D::ID_FRAME_COUNT,
                   D::ID_SAMPLE_READ, D::ID_SAMPLE_ADD, D::ID_SAMPLE_LIST, D::ID_ROBOT_COM, D::ID_COM_PORT,
                   D::ID_ROBOT_REQUEST, D::ID_SESSION_OP_A, D::ID_SESSION_OP_B, D::ID_MOTION_NAME, D::ID_PLAY_ENTRY,
                   D::ID_PULSE_LINK, D::ID_SESSION_QUERY, D::ID_REMOCON_LIST, D::ID_WRITE_ZERO, D::ID_WRITE_IRC,
                   D::ID_WRITE_TMP, D::ID_RENAME_ENTRY, D::ID_DELETE_ENTRY, D::ID_PLAY_REMOCON, D::ID_ROBOT_INFO,
                   D::ID_GUARD_ONLY, D::ID_ALL_FREE, D::ID_UPPER_FREE, D::ID_LOWER_FREE, D::ID_ALL_FREE_OFF,
                   D::ID_POSE_REFLECTION, D::ID_BASE_PART})
        routed.push_back(FXSEL(FX::SEL_COMMAND, id));
    for (int id : {D::ID_MOTOR_NAME, D::ID_JOINT_VALUE}) {
        routed.push_back(FXSEL(FX::SEL_FOCUSIN, id));
        routed.push_back(FXSEL(FX::SEL_FOCUSOUT, id));
    }
    EXPECT_EQ(routed.size(), 42u);
    for (FX::FXSelector sel : routed)
        EXPECT_NE(D::metaClass.search(sel), nullptr) << FXSELTYPE(sel) << "," << FXSELID(sel);
    // Routing the keys would let Space and Return typed into a field add
    // keys and start playback.
    EXPECT_EQ(D::metaClass.search(FXSEL(FX::SEL_KEYPRESS, 0)), nullptr);
    EXPECT_EQ(D::metaClass.search(FXSEL(FX::SEL_KEYRELEASE, 0)), nullptr);
}

// --- keys (not routed) ---

TEST_F(OptionsCommands, KeyHandlersEditAndPlayAsThePartGivesThem)
{
    ASSERT_NE(open(), nullptr);
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(100.0f);
    FX::FXEvent event{};
    auto press = [&](FX::FXuint code, FX::FXuint state = 0) {
        event.code = code;
        event.state = state;
        const long r = d->onKeyPress(d, FXSEL(FX::SEL_KEYPRESS, 0), &event);
        d->onKeyRelease(d, FXSEL(FX::SEL_KEYRELEASE, 0), &event);
        return r;
    };
    world->setCurrentTime(5.0f);
    EXPECT_EQ(press(KEY_space), 1);
    EXPECT_EQ(robot->getKeyTimes(), std::vector<float>{5.0f});
    EXPECT_EQ(press(KEY_Right), 1);
    EXPECT_EQ(world->getCurrentTime(), 6.0f);
    EXPECT_EQ(press(KEY_Left), 1);
    press(KEY_Left);
    EXPECT_EQ(world->getCurrentTime(), 4.0f);

    // At the key limit nothing is keyed and nothing recorded.
    app->getSettings().keysMax = 1;
    const HistoryMark before = mark(*robot);
    press(KEY_space);
    EXPECT_EQ(robot->getKeyTimes(), std::vector<float>{5.0f});
    EXPECT_TRUE(mark(*robot) == before);
    EXPECT_EQ(services->boxes, std::vector<std::string>{"Warning - 153|" + text(kgiLangKey::Wr_Keys_Max)});

    EXPECT_EQ(press(KEY_Return), 1);
    EXPECT_TRUE(world->isPlaying());
    press(KEY_Return);
    EXPECT_FALSE(world->isPlaying());

    // A press while the key is down is skipped until its release.
    event.code = KEY_Right;
    d->onKeyPress(d, FXSEL(FX::SEL_KEYPRESS, 0), &event);
    EXPECT_EQ(d->onKeyPress(d, FXSEL(FX::SEL_KEYPRESS, 0), &event), 1);
    d->onKeyRelease(d, FXSEL(FX::SEL_KEYRELEASE, 0), &event);
    EXPECT_EQ(world->getCurrentTime(), 5.0f);

    // Ctrl+A refreshes the time line; locked commands only sound.
    fakes.mainWindow.record.clear();
    press(KEY_a, FX::CONTROLMASK);
    EXPECT_EQ(fakes.mainWindow.record.calls, std::vector<std::string>{"refreshTimeline(0)"});
    d->setCommandsUnlocked(false);
    press(KEY_Right);
    EXPECT_EQ(world->getCurrentTime(), 5.0f);
    EXPECT_EQ(press(KEY_x), 1);
}

} // namespace
