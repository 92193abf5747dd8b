// What the time-line canvas decides without a window: the modifier code it
// hands the widgets and the identifiers of its commands.
#include "kgiTimesheetCanvas.h"

#include <gtest/gtest.h>

namespace {

TEST(TimelineCanvas, ModifierCodeShiftThenControlThenAltThenDoubleClick) {
    struct Case {
        FX::FXuint state;
        FX::FXint clicks;
        int code;
    } cases[] = {
        {FX::SHIFTMASK | FX::CONTROLMASK, 1, 0},
        {FX::SHIFTMASK | FX::ALTMASK, 2, 0},
        {FX::CONTROLMASK | FX::ALTMASK, 2, 1},
        {FX::ALTMASK, 2, 2},
        {0, 2, 3},
        {0, 1, -1},
        {FX::LEFTBUTTONMASK, 1, -1},
    };
    for (const Case& c : cases) {
        FX::FXEvent ev;
        ev.state = c.state;
        ev.click_count = c.clicks;
        EXPECT_EQ(kgiTimesheetCanvas::modifierCode(&ev), c.code) << "state " << c.state << " clicks " << c.clicks;
    }
    EXPECT_EQ(kgiTimesheetCanvas::modifierCode(nullptr), -1) << "no event";
}

TEST(TimelineCanvas, CommandIdentifiersFollowTheGLCanvas) {
    EXPECT_EQ(static_cast<int>(FX::FXGLCanvas::ID_LAST), 54);
    EXPECT_EQ(static_cast<int>(kgiTimesheetCanvas::ID_FRAME_COPY), 54);
    EXPECT_EQ(static_cast<int>(kgiTimesheetCanvas::ID_FRAME_PASTE), 56);
    EXPECT_EQ(static_cast<int>(kgiTimesheetCanvas::ID_MEDIA_IMPORT), 59);
    EXPECT_EQ(static_cast<int>(kgiTimesheetCanvas::ID_MEDIA_REMOVE), 60);
}

} // namespace
