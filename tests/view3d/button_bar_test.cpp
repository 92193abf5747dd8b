// The per-canvas tool-bar strip without a display: pointer sequences over
// states with counting actions, and the value list.
#include "kgiButtonBar.h"
#include "kgiButtonState.h"
#include "kgiPicture.h"
#include "kgiToolButton.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The commands behind the buttons: each counts its calls.
struct Commands {
    int key = 0, ik = 0, fk = 0, top = 0, bottom = 0, side = 0, sideB = 0, grid = 0;
    bool gridFlag = false;
    std::vector<std::string> calls;
    void onKey() { ++key; calls.push_back("key"); }
    void onIk() { ++ik; calls.push_back("ik"); }
    void onFk() { ++fk; calls.push_back("fk"); }
    void onTop() { ++top; calls.push_back("top"); }
    void onBottom() { ++bottom; calls.push_back("bottom"); }
    void onSide() { ++side; calls.push_back("side"); }
    void onSideB() { ++sideB; calls.push_back("sideB"); }
    void onGrid() { ++grid; calls.push_back("grid"); }
};

// A button whose every picture is one 32 x 32 file.
template <class Button>
std::unique_ptr<kgiToolbarButton> sized()
{
    static const std::string file = [] {
        const std::string p = ::testing::TempDir() + "bar_32_" + std::to_string(getpid()) + ".bmp";
        EXPECT_EQ(kgiPicture(32, 32, kgiRgb(10, 20, 30)).writeBmp(p), "");
        return p;
    }();
    auto b = std::make_unique<Button>();
    for (int i = 0; i < b->getImageCount(); ++i)
        EXPECT_TRUE(b->loadImage(i, file));
    return b;
}

// key | gap 15 | IK FK | ... | top side | grid  (the last three from the right)
struct Strip {
    enum { KEY, GAP, IK, FK, TOP, SIDE, GRID, COUNT };
    Commands cmd;
    std::vector<std::unique_ptr<kgiToolbarButton>> buttons;
    kgiButtonBar bar{1, 1, 1, 1, 1, 1};

    Strip()
    {
        buttons.push_back(sized<kgiTriggerButton>());
        buttons.push_back(std::make_unique<kgiSpacerButton>());
        buttons.back()->setWidth(15);
        buttons.push_back(sized<kgiBistableButton>());
        buttons.push_back(sized<kgiBistableButton>());
        buttons.push_back(sized<kgiTristableButton>());
        buttons.push_back(sized<kgiTristableButton>());
        buttons.push_back(sized<kgiBooleanButton>());
        auto cb = [this](void (Commands::*f)()) { return kutMakeCallback0(&cmd, f); };
        bar.addState(new kgiTriggerState(buttons[KEY].get(), cb(&Commands::onKey)));
        bar.addState(new kgiSpacerState(buttons[GAP].get()));
        bar.addState(new kgiBistableState(buttons[IK].get(), cb(&Commands::onIk)));
        bar.addState(new kgiBistableState(buttons[FK].get(), cb(&Commands::onFk)));
        bar.addState(new kgiTristableState(buttons[TOP].get(), cb(&Commands::onTop), cb(&Commands::onBottom)));
        bar.addState(new kgiTristableState(buttons[SIDE].get(), cb(&Commands::onSide), cb(&Commands::onSideB)));
        bar.addState(new kgiBooleanState(buttons[GRID].get(), &cmd.gridFlag, cb(&Commands::onGrid)));
        for (int i : {TOP, SIDE, GRID})
            bar.getState(i)->setAlignRight(1);
        const std::vector<kgiButtonState*> ab = {bar.getState(IK), bar.getState(FK)};
        const std::vector<kgiButtonState*> cams = {bar.getState(TOP), bar.getState(SIDE)};
        for (kgiButtonState* s : ab)
            s->setGroup(ab);
        for (kgiButtonState* s : cams)
            s->setGroup(cams);
        bar.layoutButtons(400, 34);
    }
    // Pointer over the middle of entry i (strip coordinates, y down).
    bool over(int i) { return bar.hover(bar.getState(i)->getX() + 16, 17); }
    // A whole click on entry i.
    void click(int i)
    {
        over(i);
        bar.press();
        bar.release();
    }
    int value(int i) const { return bar.getStateValue(i); }
};

TEST(ButtonBar, HoverLightsTheButtonUnderThePointerOnly)
{
    Strip s;
    EXPECT_TRUE(s.over(Strip::FK));
    EXPECT_EQ(s.value(Strip::FK), 1);
    EXPECT_EQ(s.cmd.fk, 0) << "hover runs no action";
    EXPECT_TRUE(s.over(Strip::KEY));
    EXPECT_EQ(s.value(Strip::FK), 0);
    EXPECT_EQ(s.value(Strip::KEY), 1);

    // A gap has no picture and so no height: the pointer over it is over
    // nothing, and a press there changes no button.
    EXPECT_TRUE(s.over(Strip::GAP)) << "the key lost the pointer";
    EXPECT_EQ(s.bar.getCurrent(), nullptr);
    EXPECT_EQ(s.value(Strip::KEY), 0);
    std::vector<int> before;
    s.bar.getStateValues(before);
    EXPECT_FALSE(s.bar.press());
    std::vector<int> after;
    s.bar.getStateValues(after);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(s.cmd.calls.empty());

    s.over(Strip::FK);
    // Between the sides nothing is under the pointer: the press is nobody's.
    EXPECT_TRUE(s.bar.hover(200, 17)) << "FK lost the pointer";
    EXPECT_EQ(s.bar.getCurrent(), nullptr);
    EXPECT_FALSE(s.bar.press());
    EXPECT_FALSE(s.bar.release());
    EXPECT_FALSE(s.bar.hover(200, 17)) << "nothing changed";
    EXPECT_FALSE(s.bar.leave());
    // The top and bottom rows of the strip are margin.
    EXPECT_FALSE(s.bar.hover(s.bar.getState(Strip::KEY)->getX() + 16, 1));
    EXPECT_FALSE(s.bar.hover(s.bar.getState(Strip::KEY)->getX() + 16, 33));
}

TEST(ButtonBar, TriggerFiresOnPressShowsPushedUntilReleaseThenHover)
{
    Strip s;
    s.over(Strip::KEY);
    EXPECT_TRUE(s.bar.press());
    EXPECT_EQ(s.cmd.key, 1);
    EXPECT_EQ(s.value(Strip::KEY), 2);
    // Moving off while held would be a drag: the canvas hands the strip no
    // motion, so the release still reaches the pushed button.
    EXPECT_TRUE(s.bar.release());
    EXPECT_EQ(s.value(Strip::KEY), 1);
    EXPECT_TRUE(s.bar.press());
    EXPECT_EQ(s.cmd.key, 2);
    s.bar.release();

    // Leaving resets only the hover look; a button left pushed would take
    // the next press as a repeat (setState(2) from 2) and never fire.
    s.bar.press();
    EXPECT_TRUE(s.bar.leave());
    EXPECT_EQ(s.value(Strip::KEY), 2);
    s.over(Strip::KEY);
    s.bar.press();
    EXPECT_EQ(s.cmd.key, 3) << "a trigger left pushed ignores the next press, so the canvas "
                             "hands the release to the strip before anything else";
}

TEST(ButtonBar, GroupsSwitchQuietlyAndCamerasAlternate)
{
    Strip s;
    s.bar.setStateValue(Strip::IK, 2);
    ASSERT_EQ(s.cmd.ik, 1);
    s.click(Strip::IK);
    EXPECT_EQ(s.cmd.ik, 1) << "pressing the pushed IK button again does nothing";
    s.click(Strip::FK);
    EXPECT_EQ(s.cmd.fk, 1);
    EXPECT_EQ(s.value(Strip::FK), 2);
    EXPECT_EQ(s.value(Strip::IK), 0);
    EXPECT_EQ(s.cmd.ik, 1) << "IK went back to normal without its action";

    s.click(Strip::TOP);
    s.click(Strip::TOP);
    s.click(Strip::TOP);
    EXPECT_EQ(s.cmd.calls, (std::vector<std::string>{"ik", "fk", "top", "bottom", "top"}));
    s.click(Strip::SIDE);
    EXPECT_EQ(s.value(Strip::SIDE), 2);
    EXPECT_EQ(s.value(Strip::TOP), 0);
    EXPECT_EQ(s.cmd.top, 2);
    EXPECT_EQ(s.cmd.bottom, 1);

    // The switch follows its flag and fires each time.
    s.click(Strip::GRID);
    s.click(Strip::GRID);
    EXPECT_FALSE(s.cmd.gridFlag);
    EXPECT_EQ(s.cmd.grid, 2);
}

TEST(ButtonBar, ValuesAreWrittenOnlyAsAWholeListAndIndicesAreChecked)
{
    Strip s;
    std::vector<int> v;
    s.bar.getStateValues(v);
    EXPECT_EQ(v, (std::vector<int>{0, 0, 0, 0, 0, 0, 0})) << "a spacer shows 0 until set";
    v[Strip::IK] = 2;
    v[Strip::GRID] = 2;
    std::vector<int> shortList(v.begin(), v.end() - 1);
    s.bar.setStateValues(shortList);
    EXPECT_EQ(s.cmd.ik, 0) << "one value missing: nothing is written";
    s.bar.setStateValues(v);
    EXPECT_EQ(s.cmd.ik, 1);
    EXPECT_TRUE(s.cmd.gridFlag);
    EXPECT_EQ(s.cmd.grid, 0) << "setting a switch writes its flag without its action";
    EXPECT_EQ(s.value(Strip::GAP), 4);

    for (int bad : {-1, int(Strip::COUNT)}) {
        EXPECT_EQ(s.bar.getStateValue(bad), -1);
        EXPECT_EQ(s.bar.getState(bad), nullptr);
        s.bar.setStateValue(bad, 2);
    }
    std::vector<int> same;
    s.bar.getStateValues(same);
    v[Strip::GAP] = 4;
    EXPECT_EQ(same, v);

    // A removed state leaves neither the pointer nor its group pointing at it.
    s.over(Strip::FK);
    kgiButtonState* ik = s.bar.getState(Strip::IK);
    s.bar.removeState(s.bar.getState(Strip::FK));
    EXPECT_EQ(s.bar.getCurrent(), nullptr);
    EXPECT_EQ(s.bar.getStateCount(), Strip::COUNT - 1);
    EXPECT_TRUE(static_cast<kgiGroupState*>(ik)->getMembers().empty());
}

TEST(ButtonBar, EmptyBarPrefersItsMarginsOnly)
{
    const kgiButtonBar empty(1, 1, 1, 1, 1, 1);
    EXPECT_EQ(empty.preferredWidth(), 1);
    EXPECT_EQ(empty.preferredHeight(), 2);
    const kgiButtonBar wide(4, 0, 10, 20, 3, 5);
    EXPECT_EQ(wide.preferredWidth(), 10 - 4 + 20);
    EXPECT_EQ(wide.preferredHeight(), 8);
}

} // namespace
