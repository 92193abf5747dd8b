// The main window's pose, key, view and tool commands, sent to the real
// window with the factory robot loaded (main_window_fixture.h): what each
// does to the keys, the pose, the range, the world and the histories.
#include "main_window_fixture.h"

#include "kgi3dWindow.h"
#include "kgiGLTsMgr.h"
#include "kgiKeyUndo.h"

#include "kmlMatrix4.h"
#include "ksgTransform.h"

#include <cmath>
#include <string>
#include <vector>

using namespace kgiMainWindowTesting;
using W = kgiTimesheetWindow;

namespace {

class MainWindowEdits : public kgiMainWindowTest {
protected:
    void SetUp() override {
        kgiMainWindowTest::SetUp();
        upAxis = world->getUpAxis();
        viewpointMode = world->getViewpointMode();
    }
    void TearDown() override {
        if (world) {
            world->setUpAxis(upAxis);
            world->setViewpointMode(viewpointMode);
            world->setAutoReturn(false);
            world->setLoop(false);
            world->setMirrorMode(false);
            world->setFrameRange(0.0f, 0.0f);
            world->setCurrentTime(0.0f);
        }
        kgiMainWindowTest::TearDown();
    }

    ksgNode* shoulder(const char* name = "RShoulder") const {
        ksgNode* n = robot->findNode(name);
        EXPECT_NE(n, nullptr) << name;
        return n;
    }
    static std::vector<float> local(ksgNode* n) {
        const float* m = n->getLocalPtr();
        return std::vector<float>(m, m + 16);
    }
    // The right shoulder turned away from where it is (the pose on screen,
    // no key).
    void bend() {
        ksgNode* n = shoulder();
        ASSERT_NE(n, nullptr);
        ASSERT_NE(n->asTransform(), nullptr);
        kmlMatrix4 m = n->getLocal();
        kmlMatrix4 turn;
        turn.setRotation(0.6f, kmlVec3(1.0f, 0.0f, 0.0f));
        const std::vector<float> before = local(n);
        n->asTransform()->setLocal(m * turn);
        ASSERT_NE(local(n), before) << "the joint took the turn";
    }
    // The class of the entry undo would run and of the one redo would run.
    std::string lastEntry() const {
        const kutUndoEntry* e = robot->getKeyUndo().getLast();
        return e ? e->getRtti()->getName() : "none";
    }
    std::string redoEntry() const {
        const kutUndoEntry* e = robot->getKeyUndo().getCurrent();
        return e ? e->getRtti()->getName() : "none";
    }
    void at(float frame) { world->setCurrentTime(frame); }

    int upAxis = 0;
    int viewpointMode = 0;
};

bool near(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::fabs(a[i] - b[i]) > 1e-4f) return false;
    return true;
}

TEST_F(MainWindowEdits, CutCopyPasteAndDeleteAtTheCurrentFrameWithUndo) {
    keyAt({0, 10});
    robot->getKeyUndo().clear();
    at(10);
    EXPECT_EQ(send(W::ID_KEYS_COPY), 1);
    EXPECT_EQ(keys(), (Times{0, 10}));
    EXPECT_EQ(lastEntry(), "none") << "a copy changes no key";

    EXPECT_EQ(send(W::ID_KEYS_CUT), 1);
    EXPECT_EQ(keys(), (Times{0}));
    EXPECT_EQ(lastEntry(), "kgiCutKeyUndo");
    at(20);
    EXPECT_EQ(send(W::ID_KEYS_PASTE), 1);
    EXPECT_EQ(keys(), (Times{0, 20}));
    EXPECT_EQ(lastEntry(), "kgiPasteKeyUndo");
    EXPECT_EQ(send(W::ID_KEYS_DELETE), 1);
    EXPECT_EQ(keys(), (Times{0}));
    EXPECT_EQ(lastEntry(), "kgiRemKeyUndo");

    // Undone in reverse order, redone forwards.
    struct Step {
        int command;
        Times keys;
    } steps[] = {
        {W::ID_KEYS_UNDO, {0, 20}}, {W::ID_KEYS_UNDO, {0}}, {W::ID_KEYS_UNDO, {0, 10}}, {W::ID_KEYS_UNDO, {0, 10}},
        {W::ID_KEYS_REDO, {0}},     {W::ID_KEYS_REDO, {0, 20}}, {W::ID_KEYS_REDO, {0}}, {W::ID_KEYS_REDO, {0}},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(send(s.command), 1);
        EXPECT_EQ(keys(), s.keys) << s.command;
    }
}

TEST_F(MainWindowEdits, EditsThatChangeNoKeyAddNoEntryAndKeepTheRedoBranch) {
    keyAt({0, 10, 20});
    robot->getKeyUndo().clear();
    at(20);
    send(W::ID_KEYS_DELETE);
    send(W::ID_KEYS_UNDO);
    ASSERT_EQ(keys(), (Times{0, 10, 20}));
    ASSERT_EQ(redoEntry(), "kgiRemKeyUndo");

    // At a frame without a key, and over a range without keys.
    at(5);
    world->setFrameRange(30.0f, 40.0f);
    for (int command : {W::ID_KEYS_CUT, W::ID_KEYS_DELETE, W::ID_KEYS_COPY_RANGE, W::ID_KEYS_DELETE_RANGE,
                        W::ID_KEYS_FLIP_RANGE}) {
        EXPECT_EQ(send(command), 1);
        EXPECT_EQ(keys(), (Times{0, 10, 20})) << command;
        EXPECT_EQ(lastEntry(), "none") << command;
        EXPECT_EQ(redoEntry(), "kgiRemKeyUndo") << command;
    }
    EXPECT_EQ(joints.record.count("applyInitialPose"), 0) << "the pose on screen stays";
    // The redo still deletes the key at 20.
    send(W::ID_KEYS_REDO);
    EXPECT_EQ(keys(), (Times{0, 10}));

    // A paste always writes a key: its entry goes in and the branch goes.
    send(W::ID_KEYS_UNDO);
    send(W::ID_KEYS_PASTE);
    EXPECT_EQ(keys(), (Times{0, 5, 10, 20}));
    EXPECT_EQ(lastEntry(), "kgiPasteKeyUndo");
    EXPECT_EQ(redoEntry(), "none");
    send(W::ID_KEYS_UNDO);
    EXPECT_EQ(keys(), (Times{0, 10, 20}));
}

TEST_F(MainWindowEdits, RangeEditsTakeTheWholeRange) {
    struct Case {
        int command;
        Times range;
        float now;
        Times after;
        const char* entry;
    } cases[] = {
        // Three frames to the current frame, the later keys out of the way.
        {W::ID_KEYS_COPY_RANGE, {10, 12}, 30, {0, 10, 11, 12, 20, 30, 31, 32}, "kgiDupKeysUndo"},
        {W::ID_KEYS_COPY_RANGE, {10, 12}, 15, {0, 10, 11, 12, 15, 16, 17, 23}, "kgiDupKeysUndo"},
        {W::ID_KEYS_COPY_RANGE, {11, 11}, 30, {0, 10, 11, 12, 20, 30}, "kgiDupKeysUndo"},
        {W::ID_KEYS_DELETE_RANGE, {10, 12}, 0, {0, 20}, "kgiRemKeysUndo"},
        {W::ID_KEYS_DELETE_RANGE, {12, 20}, 0, {0, 10, 11}, "kgiRemKeysUndo"},
        {W::ID_KEYS_FLIP_RANGE, {0, 20}, 0, {0, 10, 11, 12, 20}, "kgiFlipKeysUndo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.command << " over " << c.range[0] << ".." << c.range[1]);
        robot->deleteKeys(0, 1000);
        keyAt({0, 10, 11, 12, 20});
        robot->getKeyUndo().clear();
        world->setFrameRange(c.range[0], c.range[1]);
        at(c.now);
        EXPECT_EQ(send(c.command), 1);
        EXPECT_EQ(keys(), c.after);
        EXPECT_EQ(lastEntry(), c.entry);
        send(W::ID_KEYS_UNDO);
        EXPECT_EQ(keys(), (Times{0, 10, 11, 12, 20})) << "undone";
        send(W::ID_KEYS_REDO);
        EXPECT_EQ(keys(), c.after) << "redone";
    }
    EXPECT_EQ(joints.record.count("applyInitialPose"), 0) << "keys were left each time";
}

TEST_F(MainWindowEdits, FlipRangeMirrorsTheKeysAndDeleteRangeToNoKeysTakesTheInitialPose) {
    ksgNode* right = shoulder("RShoulder");
    ksgNode* left = shoulder("LShoulder");
    ASSERT_TRUE(right && left);
    at(0);
    keyAt({0});
    const std::vector<float> rest = local(right);
    bend();
    const std::vector<float> bent = local(right);
    keyAt({10});
    robot->getKeyUndo().clear();
    world->setFrameRange(0.0f, 10.0f);
    send(W::ID_KEYS_FLIP_RANGE);
    EXPECT_EQ(lastEntry(), "kgiFlipKeysUndo");
    at(10);
    EXPECT_TRUE(near(local(right), rest)) << "the bend went to the other arm";
    EXPECT_FALSE(near(local(left), rest));
    send(W::ID_KEYS_UNDO);
    at(10);
    EXPECT_TRUE(near(local(right), bent));

    // Every key deleted: the model takes its initial pose from the table.
    send(W::ID_KEYS_DELETE_RANGE);
    EXPECT_TRUE(keys().empty());
    EXPECT_EQ(joints.record.calls, std::vector<std::string>{"applyInitialPose"});
    EXPECT_EQ(lastEntry(), "kgiRemKeysUndo");
    send(W::ID_KEYS_UNDO);
    EXPECT_EQ(keys(), (Times{0, 10}));
}

TEST_F(MainWindowEdits, PoseResetFlipsAndTheirUndo) {
    ksgNode* right = shoulder();
    ASSERT_NE(right, nullptr);
    const std::vector<float> rest = local(right);
    bend();
    const std::vector<float> bent = local(right);

    EXPECT_EQ(send(W::ID_POSE_RESET), 1);
    EXPECT_TRUE(near(local(right), rest));
    EXPECT_EQ(joints.record.calls, std::vector<std::string>{"applyInitialPose"});
    EXPECT_EQ(send(W::ID_POSE_UNDO), 1);
    EXPECT_TRUE(near(local(right), bent));
    EXPECT_EQ(send(W::ID_POSE_REDO), 1);
    EXPECT_TRUE(near(local(right), rest));
    send(W::ID_POSE_UNDO);

    // Either flip moves the bend to the other arm; the pose undo gives the
    // pose back.
    for (int command : {W::ID_POSE_WORLD_FLIP, W::ID_POSE_LOCAL_FLIP}) {
        ASSERT_TRUE(near(local(right), bent));
        EXPECT_EQ(send(command), 1);
        EXPECT_TRUE(near(local(right), rest)) << command;
        EXPECT_FALSE(near(local(shoulder("LShoulder")), rest)) << command;
        send(W::ID_POSE_UNDO);
        EXPECT_TRUE(near(local(right), bent)) << command;
    }
    EXPECT_TRUE(keys().empty()) << "pose commands write no key";
}

TEST_F(MainWindowEdits, ViewAndToolCommands) {
    // The checks the window builds drive the world; the ones it does not
    // build leave it as it is.
    window->findMenuCheck(W::ID_AUTO_RETURN)->setCheck(TRUE);
    EXPECT_EQ(send(W::ID_AUTO_RETURN), 1);
    EXPECT_TRUE(world->getAutoReturn());
    window->findMenuCheck(W::ID_AUTO_RETURN)->setCheck(FALSE);
    send(W::ID_AUTO_RETURN);
    EXPECT_FALSE(world->getAutoReturn());
    world->setMirrorMode(true);
    world->setLoop(true);
    for (int command : {64, 65, 66, 104, static_cast<int>(W::ID_MIRROR_MODE), static_cast<int>(W::ID_ROBOT_COM),
                        static_cast<int>(W::ID_REPEAT)}) {
        EXPECT_EQ(window->findMenuCheck(command), nullptr);
        EXPECT_EQ(send(command), 1) << command;
    }
    EXPECT_TRUE(world->getMirrorMode());
    EXPECT_TRUE(world->getLoop());
    EXPECT_FALSE(app->isRobotCom());

    world->setUpAxis(0);
    world->setViewpointMode(0);
    struct Axis {
        int command;
        int upAxis;
        int viewpointMode;
    } axes[] = {
        {W::ID_UP_AXIS_1, 1, 0},
        {W::ID_VIEWPOINT_MODE_1, 1, 1},
        {W::ID_UP_AXIS_0, 0, 1},
        {W::ID_VIEWPOINT_MODE_0, 0, 0},
    };
    for (const Axis& a : axes) {
        EXPECT_EQ(send(a.command), 1);
        EXPECT_EQ(world->getUpAxis(), a.upAxis) << a.command;
        EXPECT_EQ(world->getViewpointMode(), a.viewpointMode) << a.command;
    }

    // Zoom: 8, 4, 2, 8 pixels a frame, each reported to the lesson.
    const kgiGLTsMgr* manager = window->getCanvas()->getManager();
    ASSERT_EQ(manager->getPixelsPerFrame(), 8);
    for (int expected : {4, 2, 8}) {
        EXPECT_EQ(send(W::ID_ZOOM), 1);
        EXPECT_EQ(manager->getPixelsPerFrame(), expected);
    }
    EXPECT_EQ(lesson().count("nextStep"), 3);
}

TEST_F(MainWindowEdits, ViewNewOpensAnother3DWindowOwnedByTheMainWindow) {
    const auto views = [this] {
        std::vector<kgi3dWindow*> out;
        for (FX::FXWindow* w = app->getRootWindow()->getFirst(); w; w = w->getNext())
            if (w->getOwner() == window.get() && w->isMemberOf(FXMETACLASS(kgi3dWindow)))
                out.push_back(static_cast<kgi3dWindow*>(w));
        return out;
    };
    const size_t before = views().size();
    EXPECT_EQ(send(W::ID_VIEW_NEW), 1);
    const std::vector<kgi3dWindow*> after = views();
    ASSERT_EQ(after.size(), before + 1);
    kgi3dWindow* view = after.front();
    for (kgi3dWindow* v : after)
        if (v->getTitle() == "3D View") view = v;
    EXPECT_EQ(view->getTitle(), "3D View");
    EXPECT_TRUE(view->id() != 0 && view->shown());
    EXPECT_EQ(view->getWidth(), 640);
    EXPECT_EQ(view->getHeight(), 512);
}

TEST_F(MainWindowEdits, WithoutACharacterEveryCommandAnswersAndChangesNothing) {
    send(W::ID_UNLOAD);
    ASSERT_EQ(world->getCurrentCharacter(), nullptr);
    robot = nullptr;
    world->setFrameRange(0.0f, 10.0f);
    for (int command = W::ID_POSE_RESET; command <= W::ID_KEYS_FLIP_RANGE; ++command) {
        if (command == W::ID_POSE_SAVE || command == W::ID_POSE_LOAD) continue;  // they ask for a file
        EXPECT_EQ(send(command), 1) << command;
    }
    EXPECT_TRUE(joints.record.calls.empty());
    EXPECT_EQ(range(), (Times{0, 10}));
}

} // namespace
