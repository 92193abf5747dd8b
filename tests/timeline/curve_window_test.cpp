// The curve editor window as a user meets it: the list of a picked joint,
// channels shown by clicks (with Ctrl for several), key edits reaching the
// model, the picture of the canvas, and the windows the main window's
// command opens, cleared whenever characters go.
#include "kgiCurveCanvas.h"
#include "kgiCurveWindow.h"
#include "kgiTimesheetWindow.h"

#include "curve_recording.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiKmdData.h"
#include "kgiViewCanvas.h"
#include "kgiWorld.h"

#include "kmlEulerCurve.h"
#include "kmlQuatCurve.h"
#include "kmlTCCurve.h"
#include "ksgMotionControllerKinds.h"
#include "ksgTransform.h"

#include "support/window/kgiWindowTest.h"

#include <fxkeys.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using Key = kmlTCKey<3>;

// A body with one joint whose controller has a position curve with tension
// handles and an Euler rotation curve, and a mesh node below the joint.
struct JointFixture {
    explicit JointFixture(bool eulerRotation = true) {
        root = new ksgTransform;
        root->setName("Body");
        joint = new ksgTransform;
        joint->setName("Elbow");
        mesh = new ksgNode;
        ksgMotionController* m = nullptr;
        if (eulerRotation) {
            m = new ksgPEController(1.0f);
            m->setRotationCurve(new kmlEulerCurve(1.0f), -1, false);
        } else {
            m = new ksgPQController(1.0f);
            m->setRotationCurve(new kmlQuatCurve(1.0f), -1, false);
        }
        m->setPositionCurve(new kmlTCCurve<3>(1.0f), -1, false);
        joint->attachController(m);
        root->attachChild(joint);
        joint->attachChild(mesh);
        tree.reset(root);
        controller = m;
        position = m->getBasePosition();
        rotation = m->getBaseRotation();
        if (eulerRotation) {
            // Keys at 0, 10 and 30: X 0, 4, 2; Y -2, 6, 0.
            for (kmlBaseCurve* c : {position, rotation}) {
                c->smoothEdit(false);
                kgiAddFlatKey(*c, 0.0f, 0.0f);
                kgiAddFlatKey(*c, 10.0f, 4.0f)->setChannelValue(1, 6.0f);
                kgiAddFlatKey(*c, 30.0f, 2.0f)->setChannelValue(1, 0.0f);
                static_cast<Key*>(c->getKey(0))->setChannelValue(1, -2.0f);
            }
        }
    }

    ksgTransform* root = nullptr;
    ksgTransform* joint = nullptr;
    ksgNode* mesh = nullptr;
    ksgMotionController* controller = nullptr;
    kmlBaseCurve* position = nullptr;
    kmlBaseCurve* rotation = nullptr;
    std::unique_ptr<ksgNode> tree;
};

// A 3D canvas that only keeps its redraw bit.
class SilentCanvas : public kgiViewCanvas {
public:
    FX::FXWindow* window() override { return nullptr; }
    bool isIkDragPending() const override { return false; }
    void stepIkDrag() override {}
    void setMouseMode(int) override {}
    void resetViewpoint() override {}
    void fitView() override {}
    void clearManipulatorTarget() override {}
    ksgViewpoint* getViewpoint() const override { return nullptr; }
    bool isButtonDown() const override { return false; }
};

// The first node, depth first, whose controller has a position curve the
// editor shows (the factory robot's rotations are quaternions).
ksgNode* positionJoint(ksgNode* n) {
    if (!n) return nullptr;
    ksgMotionController* m = getMotionController(n);
    if (m && m->hasPosition() && dynamic_cast<kmlTCCurve<3>*>(m->getBasePosition()) &&
        m->getBasePosition()->getNumKeys() > 0)
        return n;
    for (int i = 0; i < n->getNumChildren(); ++i)
        if (ksgNode* found = positionJoint(n->getChild(i))) return found;
    return nullptr;
}

std::vector<std::string> texts(FX::FXTreeItem* first) {
    std::vector<std::string> out;
    for (FX::FXTreeItem* i = first; i; i = i->getNext()) out.push_back(i->getText().text());
    return out;
}

FX::FXTreeItem* child(FX::FXTreeItem* parent, const char* text) {
    for (FX::FXTreeItem* i = parent ? parent->getFirst() : nullptr; i; i = i->getNext())
        if (i->getText() == text) return i;
    return nullptr;
}

class CurveWindow : public ::testing::Test {
protected:
    void SetUp() override {
        KGI_REQUIRE_TEST_APP();
        app = kgiTestApp();
        window = open();
    }
    void TearDown() override {
        if (!app) return;
        // Every curve window still open goes (closing one deletes it too).
        const std::vector<kgiCurveView*> open = app->getCurveWindows();
        for (kgiCurveView* w : open) delete dynamic_cast<kgiCurveWindow*>(w);
        app->flush(true);
    }

    kgiCurveWindow* open() {
        auto* w = new kgiCurveWindow(app, "Curve editor", 0, 0, 700, 480);
        w->create();
        w->show();
        kgiTestRunUntil([&] { return w->shown() && w->getCanvas()->getPaintCount() > 0; });
        return w;
    }

    kgiCurveEditor& editor() { return window->getCanvas()->getEditor(); }
    FX::FXTreeItem* jointItem() { return window->getTree()->getFirstItem(); }
    FX::FXTreeItem* item(const char* group, const char* channel) { return child(child(jointItem(), group), channel); }

    // A real click on the item's text.
    void click(FX::FXTreeItem* i) {
        ASSERT_NE(i, nullptr);
        FX::FXTreeList* tree = window->getTree();
        int y = 0;
        while (y < tree->getHeight() && tree->getItemAt(5, y) != i) ++y;
        ASSERT_LT(y, tree->getHeight()) << "item in view";
        int x = 0;
        while (x < tree->getWidth() && tree->hitItem(i, x, y + 2) != 2) ++x;
        ASSERT_LT(x, tree->getWidth()) << "item text in view";
        kgiTestMovePointer(tree, x + 3, y + 4);
        kgiTestPressButton(1);
        kgiTestReleaseButton(1);
        kgiTestRunUntil([] { return false; }, 10);
    }
    void ctrlDown() {
        FX::FXEvent ev{};
        ev.type = FX::SEL_KEYPRESS;
        ev.code = FX::KEY_Control_L;
        window->handle(window, FXSEL(FX::SEL_KEYPRESS, 0), &ev);
    }
    long send(int id) { return window->handle(nullptr, FXSEL(FX::SEL_COMMAND, id), nullptr); }

    kgiApp* app = nullptr;
    kgiCurveWindow* window = nullptr;
};


TEST_F(CurveWindow, ListsThePickedJointWithItsChannels) {
    JointFixture fx;
    // A pick on a mesh part lists the joint above it.
    window->fillCurveList(fx.mesh);
    ASSERT_NE(jointItem(), nullptr);
    EXPECT_EQ(texts(jointItem()), std::vector<std::string>{"Elbow"});
    EXPECT_EQ(texts(jointItem()->getFirst()), (std::vector<std::string>{"Position", "Rotation"}));
    for (const char* group : {"Position", "Rotation"}) {
        FX::FXTreeItem* g = child(jointItem(), group);
        EXPECT_EQ(texts(g->getFirst()), (std::vector<std::string>{"X", "Y", "Z"})) << group;
        EXPECT_TRUE(g->isExpanded()) << group;
    }
    EXPECT_TRUE(jointItem()->isExpanded());
    EXPECT_EQ(window->getPickedTransform(), fx.joint);
    EXPECT_TRUE(editor().getPositionCurves().empty());
    EXPECT_TRUE(editor().getRotationCurves().empty());
    // The channel items carry records of their kind.
    auto* rec = static_cast<kutObject*>(item("Rotation", "Y")->getData());
    EXPECT_TRUE(rec->isKind(&kgiCurveWindow::RCurveData::RTTI));
    EXPECT_FALSE(rec->isKind(&kgiCurveWindow::PCurveData::RTTI));

    // A joint that no kinematics moves passes the pick to its parent.
    fx.joint->ignoreFk(true);
    fx.joint->ignoreIk(true);
    window->fillCurveList(fx.mesh);
    EXPECT_EQ(texts(jointItem()), std::vector<std::string>{"Body"});
    EXPECT_EQ(jointItem()->getFirst(), nullptr) << "no controller: the joint alone";
    EXPECT_EQ(window->getPickedTransform(), nullptr);

    JointFixture quats(false);
    window->fillCurveList(quats.joint);
    EXPECT_EQ(texts(jointItem()->getFirst()), std::vector<std::string>{"Position"});
}

TEST_F(CurveWindow, ClicksShowOneChannelOrSeveralWithCtrl) {
    JointFixture fx;
    window->fillCurveList(fx.joint);
    kgiTestRunUntil([] { return false; }, 5);
    click(item("Rotation", "Y"));
    ASSERT_EQ(editor().getRotationCurves().size(), 1u);
    EXPECT_EQ(editor().getRotationCurves()[0].channel, 1);
    EXPECT_TRUE(editor().getPositionCurves().empty());
    // Both axes fitted to it: times 0..30, values -2..6 (with 5 % more).
    EXPECT_FLOAT_EQ(editor().getMinTime(), -1.5f);
    EXPECT_FLOAT_EQ(editor().getMaxTime(), 31.5f);
    EXPECT_FLOAT_EQ(editor().getMinValue(), -2.4f);
    EXPECT_FLOAT_EQ(editor().getMaxValue(), 6.4f);

    click(item("Position", "X"));
    EXPECT_TRUE(editor().getRotationCurves().empty());
    ASSERT_EQ(editor().getPositionCurves().size(), 1u);

    ctrlDown();
    EXPECT_TRUE(window->isMultiSelect());
    click(item("Rotation", "Y"));
    click(item("Rotation", "Z"));
    EXPECT_EQ(editor().getPositionCurves().size() + editor().getRotationCurves().size(), 3u);
    click(item("Rotation", "Y"));
    ASSERT_EQ(editor().getRotationCurves().size(), 1u) << "a second Ctrl click hides it";
    EXPECT_EQ(editor().getRotationCurves()[0].channel, 2);

    kgiTestFocus(window);
    kgiTestKey("a");
    kgiTestRunUntil([&] { return !window->isMultiSelect(); }, 50);
    EXPECT_FALSE(window->isMultiSelect()) << "any key released";
    EXPECT_EQ(window->getTree()->getListStyle() & FX::TREELIST_MULTIPLESELECT, FX::TREELIST_SINGLESELECT);

    click(jointItem());
    EXPECT_TRUE(editor().getPositionCurves().empty());
    EXPECT_TRUE(editor().getRotationCurves().empty());
}

TEST_F(CurveWindow, KeyEditsReachTheJointAndTheViewsOnlyWithUpdate) {
    JointFixture fx;
    SilentCanvas view;
    app->addCanvas(&view);
    window->fillCurveList(fx.joint);
    editor().addPositionCurve(fx.position, 0);
    editor().setRange(0, 20, -10, 10);
    editor().setSize(200, 200);  // 0.1 a pixel
    // The first key (at time 0) dragged up, pressed while not selected (a
    // selected key's handles, on the key when they have no length, would
    // take the press).
    auto dragFirstKeyUp = [&](int pixels) {
        editor().leftPress(199, 0, false, false);
        editor().leftRelease(199, 0);
        const float v = static_cast<Key*>(fx.position->getKey(0))->getChannelValue(0);
        const int y = static_cast<int>(std::lround((10.0f - v) / 0.1f));
        editor().leftPress(0, y, false, false);
        editor().motion(0, y - pixels, 0, y);
        editor().leftRelease(0, y - pixels);
    };
    const int index = static_cast<int>(app->getCanvases().size()) - 1;

    send(kgiCurveWindow::ID_UPDATE);
    EXPECT_EQ(window->getUpdateButton()->getState(), static_cast<FX::FXuint>(FX::STATE_UP));
    EXPECT_EQ(window->getUpdateButton()->getTextColor(), FXRGB(0, 0, 0));
    app->flushCanvasRedraws();
    dragFirstKeyUp(20);  // 2 units
    EXPECT_NEAR(fx.joint->getLocalPtr()[12], 2.0f, 1e-4) << "re-evaluated at once";
    EXPECT_FALSE(app->isCanvasDirty(index)) << "no 3D redraw with Update off";

    send(kgiCurveWindow::ID_UPDATE);
    EXPECT_EQ(window->getUpdateButton()->getTextColor(), FXRGB(0, 0, 255));
    dragFirstKeyUp(10);
    EXPECT_NEAR(fx.joint->getLocalPtr()[12], 3.0f, 1e-4);
    EXPECT_TRUE(app->isCanvasDirty(index));

    // A null pick keeps the list but lets go of the joint.
    window->fillCurveList(nullptr);
    EXPECT_NE(jointItem(), nullptr);
    app->flushCanvasRedraws();
    dragFirstKeyUp(10);
    EXPECT_NEAR(static_cast<Key*>(fx.position->getKey(0))->getChannelValue(0), 4.0f, 1e-4);
    EXPECT_NEAR(fx.joint->getLocalPtr()[12], 3.0f, 1e-4) << "the model no longer follows";
    EXPECT_FALSE(app->isCanvasDirty(index));
    app->removeCanvas(&view);
}

TEST_F(CurveWindow, TangentChoiceAndPresets) {
    JointFixture fx;
    window->fillCurveList(fx.joint);
    editor().addPositionCurve(fx.position, 0);
    editor().setRange(0, 20, -10, 10);
    editor().setSize(200, 200);
    editor().leftPress(100, 60, false, false);  // the key at (10, 4)
    editor().leftRelease(100, 60);
    ASSERT_EQ(editor().getSelection().size(), 1u);
    Key* k = editor().getSelection()[0].key;
    EXPECT_EQ(window->tangentMask(), 3);
    send(kgiCurveWindow::ID_TANGENT_OUT);
    EXPECT_EQ(window->tangentMask(), 2);
    EXPECT_EQ(window->getTangentButton(2)->getState(), static_cast<FX::FXuint>(FX::STATE_UP));
    send(kgiCurveWindow::ID_DEFAULT);
    EXPECT_EQ(k->getChannelDtIn(0), 0.0f);
    EXPECT_FLOAT_EQ(k->getChannelDtOut(0), 20.0f);
    send(kgiCurveWindow::ID_TANGENT_INOUT);
    send(kgiCurveWindow::ID_LINEAR);
    EXPECT_EQ(k->getChannelDtOut(0), 0.0f);
    send(kgiCurveWindow::ID_ALL);
    send(kgiCurveWindow::ID_DEFAULT);
    EXPECT_EQ(k->getChannelDtOut(0), 0.0f) << "All on";
}

// The canvas as the user sees it, one channel with keys at known places.
TEST_F(CurveWindow, CanvasPicture) {
    JointFixture fx;
    kgiWorld::instance()->setCurrentTime(15.0f);
    window->fillCurveList(fx.joint);
    kgiCurveCanvas* canvas = window->getCanvas();
    editor().addRotationCurve(fx.rotation, 1);  // green, keys at (0, -2), (10, 6), (30, 0)
    const int w = canvas->getWidth();
    const int h = canvas->getHeight();
    ASSERT_GT(w, 200);
    ASSERT_GT(h, 200);
    // Exact pixels: 0.1 a pixel, time 0 and value 0 inside.
    editor().setRange(-5.0f, -5.0f + 0.1f * w, -10.0f, -10.0f + 0.1f * h);
    const long before = canvas->getPaintCount();
    canvas->update();
    ASSERT_TRUE(kgiTestRunUntil([&] { return canvas->getPaintCount() > before; }));
    kgiTestImage shot = kgiTestGrab(canvas);
    shot.save("curve_canvas");
    const kgiTestImage::Rgb WHITE{255, 255, 255}, BLACK{0, 0, 0}, GREEN{0, 204, 102}, ORANGE{255, 77, 0};
    auto col = [&](float t) { return static_cast<int>((t + 5.0f) / 0.1f + 0.5f); };
    auto row = [&](float v) { return h - 1 - static_cast<int>((v + 10.0f) / 0.1f + 0.5f); };
    EXPECT_GT(shot.count(WHITE), w * h / 2) << "white canvas";
    // The axes: 3 pixels of black across the time axis and the value axis.
    EXPECT_EQ(shot.count(col(0) - 4, 20, 9, 1, BLACK, 10), 3);
    EXPECT_EQ(shot.count(w / 2, row(0) - 4, 1, 9, BLACK, 10), 3);
    // The current time: two orange lines either side of t = 15.
    EXPECT_GT(shot.count(col(15) - 5, 30, 11, 1, ORANGE, 10), 1);
    // The curve in green, with black markers on its keys.
    EXPECT_GT(shot.count(GREEN, 10), 100);
    EXPECT_GT(shot.count(col(10) - 2, row(6) - 2, 5, 5, BLACK, 10), 15);
    EXPECT_GT(shot.count(col(0) + 10, row(-2) - 2, 40, 5, GREEN, 10) + shot.count(col(0) + 10, row(-2) - 12, 40, 12, GREEN, 10), 3);

    // The tool bar's buttons show their icons (not only the face colour).
    kgiTestRunUntil([] { return false; }, 10);
    kgiTestImage bar = kgiTestGrab(window);
    bar.save("curve_window");
    EXPECT_GT(bar.count(0, 0, 120, 40, BLACK, 60) + bar.count(0, 0, 120, 40, kgiTestImage::Rgb{0, 0, 255}, 60), 10);
}

// Each command opens another window; removing characters clears every one
// of them (the sanitizer build shows any read of the freed curves and
// keys), and closing the newest hands the picks to the one before.
TEST_F(CurveWindow, EditorCommandAndCharacterRemoval) {
    auto* main = new kgiTimesheetWindow(app);
    main->create();
    app->setMainWindow(main);
    auto command = [&](int id) { main->handle(nullptr, FXSEL(FX::SEL_COMMAND, id), nullptr); };
    const size_t before = app->getCurveWindows().size();
    command(kgiTimesheetWindow::ID_CURVE_EDITOR);
    command(kgiTimesheetWindow::ID_CURVE_EDITOR);
    ASSERT_EQ(app->getCurveWindows().size(), before + 2);
    auto* older = dynamic_cast<kgiCurveWindow*>(app->getCurveWindows()[before]);
    auto* newer = dynamic_cast<kgiCurveWindow*>(app->getCurveWindows()[before + 1]);
    ASSERT_NE(older, nullptr);
    ASSERT_NE(newer, nullptr);
    EXPECT_EQ(app->getCurveWindow(), newer);
    EXPECT_EQ(std::string(newer->getTitle().text()), "Curve editor");
    EXPECT_EQ(newer->getX(), 200);
    EXPECT_EQ(newer->getY(), 200);
    EXPECT_EQ(newer->getWidth(), 700);
    EXPECT_EQ(newer->getHeight(), 480);
    EXPECT_TRUE(newer->shown());

    // Both list a robot joint, show its rotation and hold a selected key.
    auto listJoint = [&](kgiCurveWindow* w) {
        kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
        ASSERT_NE(robot, nullptr);
        ksgNode* joint = positionJoint(robot->getRoot());
        ASSERT_NE(joint, nullptr);
        w->fillCurveList(joint);
        ASSERT_NE(child(w->getTree()->getFirstItem(), "Position"), nullptr);
        kgiCurveEditor& e = w->getCanvas()->getEditor();
        kmlBaseCurve* curve = getMotionController(joint)->getBasePosition();
        for (int ch = 0; ch < 3; ++ch) e.addPositionCurve(curve, ch);
        Key* k = static_cast<Key*>(curve->getKey(0));
        ASSERT_NE(k, nullptr);
        e.setSize(200, 200);
        e.setRange(k->getTime() - 10, k->getTime() + 10, k->getChannelValue(0) - 10, k->getChannelValue(0) + 10);
        e.leftPress(100, 100, false, false);
        e.leftRelease(100, 100);
        ASSERT_EQ(e.getSelection().size(), 1u);
    };
    auto useBoth = [&] {
        for (kgiCurveWindow* w : {older, newer}) {
            kgiCurveCanvas* c = w->getCanvas();
            EXPECT_EQ(w->getTree()->getFirstItem(), nullptr);
            EXPECT_TRUE(c->getEditor().getPositionCurves().empty());
            const long painted = c->getPaintCount();
            c->update();
            kgiTestRunUntil([&] { return c->getPaintCount() > painted; });
            c->getEditor().leftPress(100, 100, false, false);
            c->getEditor().motion(100, 90, 100, 100);
            c->getEditor().leftRelease(100, 90);
        }
    };
    for (int id : {kgiTimesheetWindow::ID_NEW, kgiTimesheetWindow::ID_UNLOAD}) {
        if (!kgiWorld::instance()->getCurrentCharacter()) {
            ASSERT_TRUE(kgiTestLoadFactoryRobot());
        }
        kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
        ASSERT_TRUE(robot->addKey(0));
        ASSERT_TRUE(robot->addKey(20));
        listJoint(older);
        listJoint(newer);
        command(id);
        useBoth();
    }

    // Closing the newer window: the picks go to the older one.
    newer->close(TRUE);
    EXPECT_EQ(app->getCurveWindow(), older);
    EXPECT_EQ(app->getCurveWindows().size(), before + 1);
    app->setMainWindow(nullptr);
    delete main;
    kgiTestRemoveCharacters();
}

// A key deleted through the character while it is selected in the editor.
TEST_F(CurveWindow, KeyDeletedThroughTheCharacterIsNeverRead) {
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
    ASSERT_NE(robot, nullptr);
    for (int f : {0, 10, 20}) ASSERT_TRUE(robot->addKey(f));
    ksgNode* joint = positionJoint(robot->getRoot());
    ASSERT_NE(joint, nullptr);
    window->fillCurveList(joint);
    kmlBaseCurve* curve = getMotionController(joint)->getBasePosition();
    editor().addPositionCurve(curve, 0);
    Key* k = static_cast<Key*>(curve->getKey(1));
    editor().setSize(200, 200);
    editor().setRange(0, 20, k->getChannelValue(0) - 10, k->getChannelValue(0) + 10);
    editor().leftPress(100, 100, false, false);
    ASSERT_EQ(editor().getSelection().size(), 1u);
    ASSERT_TRUE(robot->deleteKey(10));
    const long painted = window->getCanvas()->getPaintCount();
    window->getCanvas()->update();
    kgiTestRunUntil([&] { return window->getCanvas()->getPaintCount() > painted; });
    editor().motion(100, 80, 100, 100);
    editor().leftRelease(100, 80);
    send(kgiCurveWindow::ID_LINEAR);
    send(kgiCurveWindow::ID_DEFAULT);
    EXPECT_TRUE(editor().getSelection().empty());
    kgiTestRemoveCharacters();
}

} // namespace
