// The stand-alone trash can: a key dropped on it leaves every joint of the
// current character; without a held key or a character nothing happens.
#include "frameline_robot.h"
#include "recording_host.h"

#include "kgiGLGarbage.h"
#include "kgiWorld.h"

#include <gtest/gtest.h>

namespace {

using namespace kgiTestFrameline;

TEST(TimelineGarbage, DropDeletesTheHeldKeyOfTheCurrentCharacterOnly) {
    kgiRecordingHost host;
    kgiGLGarbage can(5, 40, 30, 20, &host);
    EXPECT_TRUE(can.isHidden());
    EXPECT_EQ(can.getFrame(), -1);
    can.setFrame(10);
    EXPECT_FALSE(can.dropKey()) << "no current character";

    kgiCharacter* robot = loadCurrentRobot();
    ASSERT_NE(robot, nullptr);
    keysAt(robot, {0, 10, 20});
    can.setFrame(-1);
    EXPECT_FALSE(can.dropKey()) << "no key held";
    can.setFrame(15);
    can.dropKey();
    EXPECT_EQ(nodeKeys(robot), (Times{0, 10, 20})) << "no key at that frame";
    can.setFrame(10);
    EXPECT_TRUE(can.dropKey());
    EXPECT_EQ(nodeKeys(robot), (Times{0, 20}));

    // Its place, size and events are not its business.
    can.setPosition(100, 100);
    can.setSize(1, 1);
    EXPECT_FALSE(can.onMouse(0, 0, -1, 20, 50));
    EXPECT_EQ(can.getX(), 5);
    EXPECT_EQ(can.getWidth(), 30);
    kgiWorld::instance()->removeAllCharacters();
}

} // namespace
