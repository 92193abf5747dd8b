// The robot's parts and hand tools as a user sees them in the 3D window,
// with the program's joint table over the factory robot: the part under the
// pointer drawn inverted, the left hand closed and opened from the joint
// pop-up, the hit colour of two parts that touch, and the centre-of-gravity
// cone on the floor. Every picture is read back from the screen.
#include "kgi3dCanvas.h"
#include "kgi3dWindow.h"
#include "kgiApp.h"
#include "kgiButtonBar.h"
#include "kgiButtonState.h"
#include "kgiCanvasMouse.h"
#include "kgiCanvasToolBar.h"
#include "kgiCharacter.h"
#include "kgiRobotJointTable.h"
#include "kgiWorld.h"
#include "support/window/kgiTimeoutAction.h"
#include "support/window/kgiWindowTest.h"
#include "view3d/window_3d_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// A box of canvas pixels, inclusive; empty while x1 < x0.
struct Box {
    int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;
    bool empty() const { return x1 < x0; }
    void add(int x, int y)
    {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
    void add(std::pair<int, int> p) { add(p.first, p.second); }
    Box grown(int margin) const
    {
        Box b = *this;
        b.x0 -= margin, b.y0 -= margin, b.x1 += margin, b.y1 += margin;
        return b;
    }
    bool contains(const Box& b) const { return b.x0 >= x0 && b.y0 >= y0 && b.x1 <= x1 && b.y1 <= y1; }
};

std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << "(" << b.x0 << "," << b.y0 << ")-(" << b.x1 << "," << b.y1 << ")";
}

// The box of the pixels, in the rows above `rows`, where two pictures differ.
Box diffBox(const kgiTestImage& a, const kgiTestImage& b, int rows)
{
    Box box;
    for (int y = 0; y < std::min(rows, a.height); ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.at(x, y) != b.at(x, y))
                box.add(x, y);
    return box;
}

// The factory robot as start-up leaves it, under the program's joint table,
// in a 3D window with the input focus and the pointer away from the robot.
class RobotToolsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_TEST_APP();
        table = kgiRobotJointTable::instance();
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        kgiWorld::instance()->setCurrentTime(0.0f);
        robot = kgiWorld::instance()->getCurrentCharacter();
        ASSERT_NE(robot, nullptr);
        win.reset(new kgiTest3dWindow);
        canvas = win->window->getCanvas();
        kgiTestFocus(win->window);
        pointAway();
    }
    void TearDown() override
    {
        win.reset();
        if (kgiApp* app = kgiTestApp())
            app->getSettings().collisionDetail = false;
        kgiTestRemoveCharacters();
    }

    int sceneRows() const { return canvas->getSceneHeight(); }

    std::pair<int, int> pixelOf(const char* joint) const
    {
        return kgiTestPixelOf(canvas, kgiTestJointPosition(robot, joint));
    }
    std::pair<int, int> between(const char* a, const char* b) const
    {
        const kmlVec3 p = kgiTestJointPosition(robot, a);
        const kmlVec3 q = kgiTestJointPosition(robot, b);
        return kgiTestPixelOf(canvas, kmlVec3((p.get(0) + q.get(0)) / 2, (p.get(1) + q.get(1)) / 2,
                                              (p.get(2) + q.get(2)) / 2));
    }
    // The box around the joints' pixels.
    Box around(std::initializer_list<const char*> joints) const
    {
        Box b;
        for (const char* j : joints)
            b.add(pixelOf(j));
        return b;
    }

    // The pointer to a canvas pixel, as a user moves it; until the canvas
    // has handled the motion.
    void pointAt(std::pair<int, int> at)
    {
        kgiTestMovePointer(canvas, at.first, at.second);
        int rounds = 0;
        kgiTest3dWindow::run([&rounds] { return ++rounds > 20; });
    }
    // Into the empty top-left corner of the scene: nothing picked.
    void pointAway()
    {
        pointAt({8, 8});
        EXPECT_EQ(canvas->getPickedNode(), nullptr);
    }

    kgiTestImage shot()
    {
        const long before = canvas->getPaintCount();
        canvas->update();
        EXPECT_TRUE(kgiTest3dWindow::run([&] { return canvas->getPaintCount() > before; }));
        return kgiTestGrab(canvas);
    }

    // A right click where the pointer is; from a toolkit timeout the menu
    // item with that language key's text is clicked (a later timeout closes
    // a menu still open). The menu's texts.
    std::vector<std::string> choose(const char* key)
    {
        kgiApp* app = kgiTestApp();
        const std::string wanted = app->languageText(key).text();
        std::vector<std::string> labels;
        kgiTimeoutAction pick;
        kgiTimeoutAction rescue;
        pick.action = [&] {
            FX::FXPopup* pane = app->getPopupWindow();
            if (pane == nullptr)
                return;
            for (FX::FXWindow* item = pane->getFirst(); item != nullptr; item = item->getNext())
                if (auto* command = dynamic_cast<FX::FXMenuCommand*>(item)) {
                    labels.push_back(command->getText().text());
                    if (labels.back() == wanted) {
                        kgiTestMovePointer(command, command->getWidth() / 2, command->getHeight() / 2);
                        kgiTestPressButton(1);
                        kgiTestReleaseButton(1);
                        return;
                    }
                }
        };
        rescue.action = [&] {
            if (FX::FXPopup* pane = app->getPopupWindow())
                pane->popdown();
        };
        app->addTimeout(&pick, kgiTimeoutAction::ID_FIRE, 300);
        app->addTimeout(&rescue, kgiTimeoutAction::ID_FIRE, 5000);
        kgiTestPressButton(3);
        kgiTestReleaseButton(3);
        app->removeTimeout(&pick, kgiTimeoutAction::ID_FIRE);
        app->removeTimeout(&rescue, kgiTimeoutAction::ID_FIRE);
        return labels;
    }

    kgiRobotJointTable* table = nullptr;
    kgiCharacter* robot = nullptr;
    std::unique_ptr<kgiTest3dWindow> win;
    kgi3dCanvas* canvas = nullptr;
};

TEST_F(RobotToolsWindow, ThePartUnderThePointerShowsInvertedUntilThePointerLeaves)
{
    const kgiTestImage first = shot();
    first.save("robot_tools_first");
    pointAt(between("LElbow", "L_WR1"));
    ksgNode* picked = canvas->getPickedNode();
    ASSERT_NE(picked, nullptr);
    EXPECT_TRUE(kgiTestIsBelow(picked, "LElbow"));
    EXPECT_FALSE(kgiTestIsBelow(picked, "L_WR1")) << "the forearm, not the hand";
    const kgiTestImage over = shot();
    over.save("robot_tools_forearm_inverted");

    const Box changed = diffBox(first, over, sceneRows());
    ASSERT_FALSE(changed.empty()) << "the forearm looks as before";
    const Box forearm = around({"LElbow", "L_WR1"}).grown(20);
    EXPECT_TRUE(forearm.contains(changed)) << changed << " outside the forearm's " << forearm;

    pointAway();
    const kgiTestImage left = shot();
    EXPECT_TRUE(left.rgb == first.rgb) << "differs in " << diffBox(first, left, left.height);
}

} // namespace
