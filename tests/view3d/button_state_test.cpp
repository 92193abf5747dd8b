#include "kgiButtonState.h"
#include "kgiToolButton.h"

#include "support/gl/kgiGLTest.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// What a canvas command would be: counts its calls.
struct Target {
    int pushed = 0;
    int alt = 0;
    bool flag = false;
    void onPushed() { ++pushed; }
    void onAlt() { ++alt; }
};

kutCallback0 pushedOf(Target& t) { return kutMakeCallback0(&t, &Target::onPushed); }
kutCallback0 altOf(Target& t) { return kutMakeCallback0(&t, &Target::onAlt); }

// Writes a w x h 24-bit BMP of one colour (rows padded to 4 bytes).
std::string writeBmp(const std::string& name, int w, int h, unsigned char r, unsigned char g,
                     unsigned char b)
{
    const std::string path = ::testing::TempDir() + name + "_" + std::to_string(getpid()) + ".bmp";
    const int row = (w * 3 + 3) & ~3;
    const uint32_t size = 54 + uint32_t(row * h);
    std::vector<unsigned char> f(size, 0);
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            f[size_t(at + i)] = (unsigned char)(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    f[26] = 1;
    f[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &f[size_t(54 + y * row + x * 3)];
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    FILE* out = std::fopen(path.c_str(), "wb");
    EXPECT_NE(out, nullptr);
    if (out) {
        std::fwrite(f.data(), 1, f.size(), out);
        std::fclose(out);
    }
    return path;
}

// A button with a 10 x 8 picture at every index, so states can be hit.
struct SizedButton : kgiTriggerButton {
    SizedButton()
    {
        const std::string p = writeBmp("sized", 10, 8, 0, 0, 0);
        for (int i = 0; i < getImageCount(); ++i)
            loadImage(i, p);
        std::remove(p.c_str());
    }
};

TEST(ToolbarButton, SizeIsTheLargestLoadedPicture)
{
    const std::string small = writeBmp("small", 4, 9, 1, 2, 3);
    const std::string wide = writeBmp("wide", 12, 3, 1, 2, 3);
    kgiTristableButton b;
    EXPECT_EQ(b.getImageCount(), 4);
    EXPECT_EQ(b.getWidth(), 0);

    EXPECT_TRUE(b.loadImage(0, small));
    EXPECT_TRUE(b.loadImage(3, wide));
    EXPECT_EQ(b.getWidth(), 12);
    EXPECT_EQ(b.getHeight(), 9);

    // Refusals leave the size alone.
    EXPECT_FALSE(b.loadImage(4, small));
    EXPECT_FALSE(b.loadImage(-1, small));
    EXPECT_FALSE(b.loadImage(1, "/nonexistent/x.bmp"));
    EXPECT_EQ(b.getWidth(), 12);
    EXPECT_EQ(b.getHeight(), 9);

    // Only a button without pictures takes a set width.
    b.setWidth(40);
    EXPECT_EQ(b.getWidth(), 12);
    kgiSpacerButton gap;
    EXPECT_TRUE(gap.hasNoImages());
    gap.setWidth(30);
    EXPECT_EQ(gap.getWidth(), 30);
    EXPECT_FALSE(gap.loadImage(0, small));
    std::remove(small.c_str());
    std::remove(wide.c_str());
}

TEST(TriggerState, FiresOncePerPressAndShowsPushedWhileHeld)
{
    kgiTriggerButton b;
    Target t;
    kgiTriggerState s(&b, pushedOf(t));
    s.onPress();
    EXPECT_EQ(t.pushed, 1);
    EXPECT_EQ(s.getValue(), 2);
    s.setState(2); // still held: no second action
    EXPECT_EQ(t.pushed, 1);
    s.onRelease();
    EXPECT_EQ(s.getValue(), 1);
    s.onPress();
    EXPECT_EQ(t.pushed, 2);

    for (int v : {3, 4}) {
        s.setState(2);
        s.setState(v);
        EXPECT_EQ(s.getValue(), 0) << v;
    }
    EXPECT_EQ(t.pushed, 3);
}

TEST(TriggerState, DisabledOrUnboundStateMovesWithoutFiring)
{
    kgiTriggerButton b;
    Target t;
    kgiTriggerState s(&b, pushedOf(t));
    s.setEnabled(false);
    s.onPress();
    EXPECT_EQ(s.getValue(), 2);
    EXPECT_EQ(t.pushed, 0);

    kgiTriggerState unbound(&b, kutCallback0());
    unbound.onPress(); // must not call through an empty callback
    EXPECT_EQ(unbound.getValue(), 2);
}

TEST(BistableState, PushingOneClearsTheOthersQuietly)
{
    kgiBistableButton b;
    Target ik, fk;
    kgiBistableState a(&b, pushedOf(ik));
    kgiBistableState c(&b, pushedOf(fk));
    a.setGroup({&a, &c});
    c.setGroup({&a, &c});
    EXPECT_EQ(a.getMembers(), std::vector<kgiButtonState*>{&c});

    c.setState(2);
    EXPECT_EQ(fk.pushed, 1);

    a.onPress(); // normal, not under the pointer: ignored
    EXPECT_EQ(a.getValue(), 0);
    a.setValue(1);
    a.onPress();
    EXPECT_EQ(a.getValue(), 2);
    EXPECT_EQ(ik.pushed, 1);
    EXPECT_EQ(c.getValue(), 0);
    EXPECT_EQ(fk.pushed, 1) << "the member cleared by the group fires nothing";

    a.onPress(); // already pushed
    a.setState(2);
    EXPECT_EQ(ik.pushed, 1);

    a.setState(3);
    EXPECT_EQ(a.getValue(), 0);
    EXPECT_EQ(ik.pushed, 1);
}

TEST(TristableState, FurtherPressesSwapDirections)
{
    kgiTristableButton b;
    Target top, side;
    kgiTristableState s(&b, pushedOf(top), altOf(top));
    kgiTristableState other(&b, pushedOf(side), altOf(side));
    s.setGroup({&s, &other});
    other.setGroup({&s, &other});

    s.onPress(); // normal: nothing
    EXPECT_EQ(s.getValue(), 0);
    s.setValue(1);
    const int expectValue[] = {2, 3, 2, 3};
    const int expectPushed[] = {1, 1, 2, 2};
    const int expectAlt[] = {0, 1, 1, 2};
    for (int i = 0; i < 4; ++i) {
        s.onPress();
        EXPECT_EQ(s.getValue(), expectValue[i]) << i;
        EXPECT_EQ(top.pushed, expectPushed[i]) << i;
        EXPECT_EQ(top.alt, expectAlt[i]) << i;
    }

    other.setValue(1);
    other.onPress();
    EXPECT_EQ(side.pushed, 1);
    EXPECT_EQ(s.getValue(), 0);
    EXPECT_EQ(top.pushed + top.alt, 4) << "returning to normal runs no action";

    other.setState(4);
    EXPECT_EQ(other.getValue(), 0);
    EXPECT_EQ(side.pushed + side.alt, 1);
}

TEST(BooleanState, PressTogglesTheTargetFlagAndAlwaysFires)
{
    kgiBooleanButton b;
    Target grid;
    kgiBooleanState s(&b, &grid.flag, pushedOf(grid));
    s.onPress();
    EXPECT_TRUE(grid.flag);
    EXPECT_EQ(s.getValue(), 2);
    s.onPress();
    EXPECT_FALSE(grid.flag);
    EXPECT_EQ(s.getValue(), 0);
    EXPECT_EQ(grid.pushed, 2);

    // The flag, not the picture, decides the direction.
    grid.flag = true;
    s.onPress();
    EXPECT_FALSE(grid.flag);
    EXPECT_EQ(grid.pushed, 3);

    s.setState(2);
    EXPECT_TRUE(grid.flag);
    s.setState(1);
    EXPECT_FALSE(grid.flag);
    EXPECT_EQ(s.getValue(), 0);
    EXPECT_EQ(grid.pushed, 3) << "setState never fires";
}

TEST(SpacerState, AlwaysSpacerAndInert)
{
    kgiSpacerButton b;
    kgiSpacerState s(&b);
    for (int v : {0, 1, 2, 3}) {
        s.setState(v);
        EXPECT_EQ(s.getValue(), 4);
    }
    s.onPress();
    s.onRelease();
    EXPECT_EQ(s.getValue(), 4);
}

TEST(ButtonStateHitTest, InsideIsStrictAndHoverMovesBetweenStates)
{
    SizedButton b; // 10 x 8
    Target t;
    kgiTriggerState s(&b, pushedOf(t));
    s.setX(20);
    s.setY(5);
    struct Case {
        int x, y;
        bool hit;
    };
    const Case cases[] = {
        {25, 9, true},  {21, 6, true},  {29, 12, true}, {20, 9, false},
        {25, 5, false}, {30, 9, false}, {25, 13, false},
    };
    for (const Case& c : cases) {
        kgiButtonState* current = nullptr;
        s.setValue(0);
        EXPECT_EQ(s.hitTest(c.x, c.y, current), c.hit) << c.x << "," << c.y;
        EXPECT_EQ(current, c.hit ? &s : nullptr);
        EXPECT_EQ(s.getValue(), c.hit ? 1 : 0);
    }

    // The state under the pointer until now returns to normal; a pushed one
    // keeps its look.
    kgiTriggerState prev(&b, kutCallback0());
    kgiButtonState* current = &prev;
    prev.setValue(1);
    s.setValue(0);
    EXPECT_TRUE(s.hitTest(25, 9, current));
    EXPECT_EQ(prev.getValue(), 0);
    prev.setValue(2);
    current = &prev;
    s.setValue(2);
    EXPECT_TRUE(s.hitTest(25, 9, current));
    EXPECT_EQ(prev.getValue(), 2);
    EXPECT_EQ(s.getValue(), 2);

    s.setVisible(false);
    current = nullptr;
    EXPECT_FALSE(s.hitTest(25, 9, current));
    EXPECT_EQ(current, nullptr);
}

TEST(ButtonStateHitTest, ButtonWithoutPicturesIsNeverHit)
{
    kgiTriggerButton b; // every picture failed to load
    EXPECT_FALSE(b.loadImage(0, "/nonexistent/key_normal.bmp"));
    kgiTriggerState s(&b, kutCallback0());
    s.setX(0);
    s.setY(0);
    kgiButtonState* current = nullptr;
    EXPECT_EQ(s.getWidth(), 0);
    EXPECT_FALSE(s.hitTest(0, 0, current));
    EXPECT_FALSE(s.hitTest(1, 1, current));
}

class ButtonDraw : public kgiGLTest {};

TEST_F(ButtonDraw, ValueChoosesThePictureAndSpacerDrawsNothing)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, WIDTH, 0, HEIGHT, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 1);

    const std::string red = writeBmp("red", 4, 4, 255, 0, 0);
    const std::string green = writeBmp("green", 4, 4, 0, 255, 0);
    const std::string blue = writeBmp("blue", 4, 4, 0, 0, 255);
    kgiTriggerButton b;
    ASSERT_TRUE(b.loadImage(0, red));
    ASSERT_TRUE(b.loadImage(1, green));
    ASSERT_TRUE(b.loadImage(2, blue));
    kgiTriggerState s(&b, kutCallback0());
    s.setX(10);
    s.setY(20);

    struct Case {
        int value;
        unsigned char r, g, b;
    };
    const Case cases[] = {{0, 255, 0, 0}, {1, 0, 255, 0}, {2, 0, 0, 255}, {4, 0, 0, 0}};
    for (const Case& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        s.setValue(c.value);
        s.draw();
        const auto px = readPixel(11, 21);
        EXPECT_EQ(px[0], c.r) << c.value;
        EXPECT_EQ(px[1], c.g) << c.value;
        EXPECT_EQ(px[2], c.b) << c.value;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    s.setValue(0);
    s.setVisible(false);
    s.draw();
    EXPECT_EQ(readPixel(11, 21)[0], 0);
    for (const std::string& p : {red, green, blue})
        std::remove(p.c_str());
}

} // namespace
