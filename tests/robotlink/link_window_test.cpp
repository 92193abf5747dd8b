// The developer page window only translates keys; the page does the rest.
#include <gtest/gtest.h>

#include "kgiLinkDebugWindow.h"
#include "kgiRobotLink.h"

TEST(LinkDebugWindow, TranslatesKeysToThePageCodes)
{
    struct Case { FX::FXuint sym; unsigned char code; } cases[] = {
        {KEY_a, 'A'}, {KEY_S, 'S'}, {KEY_F1, kgiRobotLink::KEY_F1}, {KEY_F8, kgiRobotLink::KEY_F8},
        {KEY_KP_9, kgiRobotLink::KEY_NUM9}, {KEY_KP_Add, kgiRobotLink::KEY_NUM_PLUS},
        {KEY_Return, kgiRobotLink::KEY_ENTER}, {KEY_Left, kgiRobotLink::KEY_LEFT},
        {KEY_F9, 0}, {KEY_Shift_L, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.code, kgiLinkDebugWindow::keyCode(c.sym)) << c.sym;
}
