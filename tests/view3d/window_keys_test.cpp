// What a key press in a 3D window means: the shortcut table with and
// without Ctrl and Num Lock, the lesson lock, and the one-shot latch under
// X11's auto-repeat, as plain logic; and what the keys do to the factory
// robot and the world when a user presses them in a 3D window.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "kgi3dWindow.h"
#include "kgi3dWindowKeys.h"
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"
#include "ksgTransform.h"
#include "support/window/kgiWindowTest.h"
#include "view3d/canvas_commands_fixture.h"
#include "view3d/window_3d_fixture.h"

namespace {

using Keys = kgi3dWindowKeys;

constexpr unsigned CTRL = 0x4;
constexpr unsigned NUM_LOCK = 0x10;
constexpr unsigned SHIFT = 0x1;

constexpr unsigned SPACE = 0x20;
constexpr unsigned RETURN = 0xff0d;
constexpr unsigned LEFT = 0xff51;
constexpr unsigned RIGHT = 0xff53;
constexpr unsigned ESCAPE = 0xff1b;

TEST(WindowKeys, TableWithAndWithoutCtrlAndNumLock)
{
    struct Row {
        unsigned code;
        Keys::Action plain;
        bool plainLatch;
        Keys::Action ctrl;
        bool ctrlLatch;
    };
    const Row rows[] = {
        {'z', Keys::NONE, false, Keys::UNDO_POSE, true},
        {'r', Keys::CLEAR_IK_GROUP, true, Keys::REDO_POSE, true},
        {SPACE, Keys::ADD_KEY, true, Keys::ADD_KEY, true},
        {RETURN, Keys::TOGGLE_PLAY, true, Keys::TOGGLE_PLAY, true},
        {'f', Keys::FLIP_LOCAL, false, Keys::FLIP_WORLD, false},
        {'l', Keys::PUT_ON_FLOOR, false, Keys::PUT_ON_FLOOR, false},
        {'h', Keys::RESET_POSE, false, Keys::RESET_POSE, false},
        {'k', Keys::TOGGLE_IK_FK, false, Keys::TOGGLE_IK_FK, false},
        {RIGHT, Keys::NEXT_FRAME, false, Keys::NEXT_FRAME, false},
        {LEFT, Keys::PREV_FRAME, false, Keys::PREV_FRAME, false},
        {'a', Keys::NONE, false, Keys::REFRESH_TIMELINE, true},
        // Upper case is what Shift gives: no shortcut.
        {'Z', Keys::NONE, false, Keys::NONE, false},
        {'H', Keys::NONE, false, Keys::NONE, false},
        {ESCAPE, Keys::NONE, false, Keys::NONE, false},
        {'x', Keys::NONE, false, Keys::NONE, false},
    };
    for (const Row& row : rows) {
        for (unsigned extra : {0u, NUM_LOCK}) {
            SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << row.code << " extra state 0x" << extra);
            const Keys::Result plain = Keys::dispatch(row.code, extra, false, false);
            EXPECT_EQ(plain.action, row.plain);
            EXPECT_EQ(plain.latch, row.plainLatch);
            EXPECT_EQ(plain.handled, 1) << "every key is handled, so Escape never hides the window";
            const Keys::Result ctrl = Keys::dispatch(row.code, CTRL | extra, false, false);
            EXPECT_EQ(ctrl.action, row.ctrl);
            EXPECT_EQ(ctrl.latch, row.ctrlLatch);
            EXPECT_EQ(ctrl.handled, 1);
        }
    }
    // Shift held with a letter's own symbol still acts: the symbol decides.
    EXPECT_EQ(Keys::dispatch('h', SHIFT, false, false).action, Keys::RESET_POSE);
}

TEST(WindowKeys, LockRefusesAllButModifiersAndCtrlA)
{
    struct Row {
        unsigned code;
        unsigned state;
        Keys::Action action;
        bool latch;
    };
    const Row rows[] = {
        {'a', CTRL, Keys::REFRESH_TIMELINE, true},
        {'a', CTRL | NUM_LOCK, Keys::REFRESH_TIMELINE, true},
        {'z', CTRL, Keys::LOCKED, false},
        {'r', CTRL, Keys::LOCKED, false},
        {SPACE, 0, Keys::LOCKED, false},
        {RIGHT, 0, Keys::LOCKED, false},
        {'x', 0, Keys::LOCKED, false},
        {ESCAPE, 0, Keys::LOCKED, false},
        // Shift, Control and Alt on both sides pass silently.
        {0xffe1, 0, Keys::NONE, false},
        {0xffe2, 0, Keys::NONE, false},
        {0xffe3, 0, Keys::NONE, false},
        {0xffe4, CTRL, Keys::NONE, false},
        {0xffe9, 0, Keys::NONE, false},
        {0xffea, 0, Keys::NONE, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << row.code << " state 0x" << row.state);
        const Keys::Result r = Keys::dispatch(row.code, row.state, false, true);
        EXPECT_EQ(r.action, row.action);
        EXPECT_EQ(r.latch, row.latch);
        EXPECT_EQ(r.handled, 1);
    }
    // Caps Lock and Meta are no exceptions.
    EXPECT_EQ(Keys::dispatch(0xffe5, 0, false, true).action, Keys::LOCKED);
    EXPECT_EQ(Keys::dispatch(0xffe7, 0, false, true).action, Keys::LOCKED);
}

TEST(WindowKeys, LatchedPressGoesOnUnhandled)
{
    for (unsigned code : {unsigned(SPACE), unsigned('a'), unsigned(RIGHT), unsigned(ESCAPE)}) {
        for (bool locked : {false, true}) {
            const Keys::Result r = Keys::dispatch(code, CTRL, true, locked);
            EXPECT_EQ(r.action, Keys::NONE);
            EXPECT_TRUE(r.latch);
            EXPECT_EQ(r.handled, 0);
        }
    }
}

// Events as the toolkit hands them over: press or release, key, time.
struct KeyEvent {
    bool press;
    unsigned code;
    unsigned time;
};

// Runs the events through a latch and the table; the actions in order.
std::vector<Keys::Action> run(const std::vector<KeyEvent>& events)
{
    kgi3dKeyLatch latch;
    std::vector<Keys::Action> actions;
    for (const KeyEvent& e : events) {
        if (!e.press) {
            latch.release(e.code, e.time);
            continue;
        }
        const Keys::Result r = Keys::dispatch(e.code, 0, latch.press(e.code, e.time), false);
        latch.set(r.latch);
        if (r.action != Keys::NONE)
            actions.push_back(r.action);
    }
    return actions;
}

TEST(WindowKeys, LatchActsOncePerPressThroughAutoRepeat)
{
    using A = std::vector<Keys::Action>;
    // Repeats without releases (detectable auto-repeat): one key until a
    // real release.
    EXPECT_EQ(run({{true, SPACE, 10}, {true, SPACE, 20}, {true, SPACE, 30}, {false, SPACE, 40}, {true, SPACE, 50}}),
              (A{Keys::ADD_KEY, Keys::ADD_KEY}));
    // X11's plain auto-repeat: each repeat is a release and a press with the
    // same time stamp.
    EXPECT_EQ(run({{true, SPACE, 10}, {false, SPACE, 500}, {true, SPACE, 500}, {false, SPACE, 530}, {true, SPACE, 530},
                   {false, SPACE, 600}}),
              (A{Keys::ADD_KEY}));
    // After the real release the next press adds again.
    EXPECT_EQ(run({{true, SPACE, 10}, {false, SPACE, 500}, {true, SPACE, 500}, {false, SPACE, 600},
                   {true, SPACE, 700}}),
              (A{Keys::ADD_KEY, Keys::ADD_KEY}));
    // A release of Space and a press of Return at the same instant: two keys,
    // two actions.
    EXPECT_EQ(run({{true, SPACE, 10}, {false, SPACE, 500}, {true, RETURN, 500}}), (A{Keys::ADD_KEY, Keys::TOGGLE_PLAY}));
    // The arrows are not latched: one step per repeat, either pattern.
    EXPECT_EQ(run({{true, RIGHT, 10}, {false, RIGHT, 500}, {true, RIGHT, 500}, {true, RIGHT, 530}}),
              (A{Keys::NEXT_FRAME, Keys::NEXT_FRAME, Keys::NEXT_FRAME}));
}

// The keys' effects, pressed through the X server in a 3D window over the
// factory robot with the program's joint table. Each row starts from the
// pose start-up left, made lopsided (the body turned 30 degrees to its
// left about the vertical, the left arm swung 35 degrees forward, the
// whole raised 5 cm off the floor), and names what the key must have done;
// a key bound to another row's action fails its own row.
class WindowKeyEffects : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_TEST_APP();
        kgiPartTable::install(kgiRobotJointTable::instance());
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        world = kgiWorld::instance();
        world->setPlaying(false);
        world->setCurrentTime(0.0f);
        robot = world->getCurrentCharacter();
        ASSERT_NE(robot, nullptr);
        startPose = kgiTestPose(robot->getRoot());
        startValues = values();
        win.reset(new kgiTest3dWindow);
        kgiTestFocus(win->window);
    }
    void TearDown() override
    {
        win.reset();
        if (world != nullptr)
            world->setPlaying(false);
        kgiTestRemoveCharacters();
        kgiPartTable::install(nullptr);
    }

    std::map<std::string, float> values() const
    {
        std::map<std::string, float> v;
        const kgiRobotJointTable* table = kgiRobotJointTable::instance();
        for (const auto& j : table->getJoints())
            v[j.first] = table->getJointAngleByName(robot, j.first);
        return v;
    }
    float value(const char* joint) const { return kgiRobotJointTable::instance()->getJointAngleByName(robot, joint); }
    // The x part (to the robot's left at the start) of the way the body
    // faces: its frame's y axis points to its back.
    float facing() const { return -robot->getRoot()->getWorld()(0, 1); }
    float lowest() const { return robot->getRoot()->getBounds().getMin()[1]; }

    void lopsided()
    {
        setPose(robot->getRoot(), startPose);
        ksgTransform* root = robot->getRoot()->asTransform();
        kmlMatrix4 m = root->getLocal();
        // The world's vertical in the body's own frame (the body has no parent).
        m.rotate(TURN, kmlVec3(m(1, 0), m(1, 1), m(1, 2)));
        m.setTranslation(kmlVec3(m(0, 3), m(1, 3) + 5.0f, m(2, 3)));
        root->setLocal(m);
        ASSERT_TRUE(kgiTestTurnJoint(robot, "LShoulder", 35.0f));
    }
    static constexpr float TURN = 30.0f;
    static void setPose(ksgNode* root, const std::vector<kmlMatrix4>& pose)
    {
        size_t i = 0;
        std::function<void(ksgNode*)> put = [&](ksgNode* n) {
            if (ksgTransform* t = n->asTransform())
                t->setLocal(pose.at(i++));
            for (ksgNode* c = n->getChild(); c != nullptr; c = c->getSibling())
                put(c);
        };
        put(root);
        root->update(0.0f, false, true);
    }

    kgiWorld* world = nullptr;
    kgiCharacter* robot = nullptr;
    std::vector<kmlMatrix4> startPose;
    std::map<std::string, float> startValues;
    std::unique_ptr<kgiTest3dWindow> win;
};

TEST_F(WindowKeyEffects, FlipsResetFloorAndPlayDoWhatTheirKeysName)
{
    const float arm = startValues.at("LShoulder") + 35.0f;
    const float turned = std::sin(TURN * 3.14159265f / 180.0f);
    const float endFrame = world->getEndFrame();
    struct Row {
        const char* what;
        const char* key;
        bool ctrl;
        std::function<bool()> done;  // the effect has come
        std::function<void()> check;
    };
    const Row rows[] = {
        {"f mirrors the limbs and leaves the body turned as it was", "f", false,
         [&] { return std::fabs(value("RShoulder") - arm) < 0.5f; },
         [&] {
             EXPECT_NEAR(value("LShoulder"), startValues.at("RShoulder"), 0.01f);
             EXPECT_NEAR(facing(), turned, 1e-3f);
         }},
        {"Ctrl+f mirrors the limbs and the body's turn in the world", "f", true,
         [&] { return std::fabs(value("RShoulder") - arm) < 0.5f; },
         [&] {
             EXPECT_NEAR(value("LShoulder"), startValues.at("RShoulder"), 0.01f);
             EXPECT_NEAR(facing(), -turned, 1e-3f);
         }},
        {"h resets the pose", "h", false, [&] { return std::fabs(value("LShoulder") - arm) > 0.5f; },
         [&] { EXPECT_LT(kgiTestPoseDiff(kgiTestPose(robot->getRoot()), startPose), 1e-4f); }},
        {"l puts the robot on the floor as it stands", "l", false, [&] { return std::fabs(lowest()) < 0.01f; },
         [&] {
             EXPECT_NEAR(value("LShoulder"), arm, 0.01f) << "the pose stays";
             EXPECT_NEAR(facing(), turned, 1e-3f);
         }},
        {"Return starts playing", "Return", false, [&] { return world->isPlaying(); }, [] {}},
    };
    // Long enough that the play does not end by itself meanwhile.
    world->setEndFrame(100000.0f);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        world->setPlaying(false);
        world->setCurrentTime(0.0f);
        lopsided();
        ASSERT_GT(lowest(), 4.0f);
        ASSERT_NEAR(facing(), turned, 1e-3f);
        const int keys = robot->getKeyCount();
        if (r.ctrl)
            kgiTestKeyDown("Control_L");
        kgiTestKey(r.key);
        if (r.ctrl)
            kgiTestKeyUp("Control_L");
        EXPECT_TRUE(kgiTest3dWindow::run(r.done)) << "the key did not act";
        r.check();
        EXPECT_EQ(robot->getKeyCount(), keys) << "no key added";
    }
    // Return again stops the play.
    EXPECT_TRUE(world->isPlaying());
    kgiTestKey("Return");
    EXPECT_TRUE(kgiTest3dWindow::run([&] { return !world->isPlaying(); }));
    world->setEndFrame(endFrame);
}

} // namespace
