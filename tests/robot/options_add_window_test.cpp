// A sample motion appended as a user does it: the main window with its
// time line, the factory robot with keys up to frame 30, and the options
// window's sample tab worked with the pointer (a sample picked from the
// list, then Add). The keys come in after frame 30, the time is at the
// first of them, and the time line's refresh gives the play range every
// key; the screen is kept as a picture.
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiTimesheetCanvas.h"
#include "kgiTimesheetWindow.h"
#include "kgiWorld.h"

#include "support/app/kgiAnsweringServices.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

struct WindowDeleter {
    void operator()(kgiTimesheetWindow* w) const
    {
        delete w;
        if (kgiTestApp())
            kgiTestApp()->flush(true);
    }
};

// A click of button 1 at a widget's point, as a user makes it.
void clickAt(const FX::FXWindow* widget, int x, int y)
{
    kgiTestMovePointer(widget, x, y);
    kgiTestPressButton(1);
    kgiTestReleaseButton(1);
}

TEST(OptionsAddWindow, AddOfASampleAppendsAfterTheLastKeyOnTheTimeLine)
{
    KGI_REQUIRE_TEST_APP();
    kgiApp* app = kgiTestApp();
    // The samples the factory folder ships, read as the window reads them.
    const std::filesystem::path list = std::filesystem::path(kgiTestBaseDir()) / "DORUZAVO_1base" / "sample.txt";
    ASSERT_TRUE(std::filesystem::exists(list)) << list;

    kgiRobotJointTable::instance();
    kgiAnsweringServices services(*app);
    kgiCharacterServices::install(&services);
    const kgiAppMakers oldMakers = app->getMakers();
    kgiAppMakers makers = oldMakers;
    makers.optionsDialog = &kgiOptionsDialog::make;
    app->setMakers(makers);
    std::unique_ptr<kgiTimesheetWindow, WindowDeleter> main(new kgiTimesheetWindow(app));
    main->create();
    app->setMainWindow(main.get());
    app->setTimelineCanvas(main->timelineCanvas());
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
    kgiWorld* world = kgiWorld::instance();
    for (int f : {0, 30}) {
        world->setCurrentTime(static_cast<float>(f));
        ASSERT_TRUE(robot->addKey(f));
    }
    world->setEndFrame(60.0f);
    world->setStartFrame(0.0f);

    app->showOptionsDialog(true);
    auto* d = dynamic_cast<kgiOptionsDialog*>(app->getOptionsDialog());
    ASSERT_NE(d, nullptr);
    const kgiOptionsDialog::Widgets& w = d->widgets();
    ASSERT_GT(w.sampleList->getNumItems(), 0);
    ASSERT_TRUE(kgiTestRunUntil([&] { return d->shown() && w.sampleList->getHeight() > 0; }));
    kgiTestFocus(d);

    // The first sample, then Add.
    const int itemY = 2 + w.sampleList->getItemHeight(0) / 2;
    ASSERT_EQ(w.sampleList->getItemAt(20, itemY), 0);
    clickAt(w.sampleList, 20, itemY);
    ASSERT_TRUE(kgiTestRunUntil([&] { return w.sampleList->isItemSelected(0); }));
    clickAt(w.sampleAdd, w.sampleAdd->getWidth() / 2, w.sampleAdd->getHeight() / 2);
    ASSERT_TRUE(kgiTestRunUntil([&] { return robot->getKeyTimes().size() > 2; }));

    const std::vector<float>& keys = robot->getKeyTimes();
    EXPECT_EQ(keys[2], 31.0f);
    EXPECT_EQ(world->getStartFrame(), 0.0f);
    EXPECT_EQ(world->getEndFrame(), keys.back());
    EXPECT_EQ(world->getCurrentTime(), 31.0f);
    EXPECT_TRUE(services.boxes.empty()) << services.boxes.front();

    // The time line drawn with the new range.
    kgiTimesheetCanvas* canvas = main->getCanvas();
    const long painted = canvas->getPaintCount();
    app->redrawAll();
    ASSERT_TRUE(kgiTestRunUntil([&] { return canvas->getPaintCount() > painted; }));
    EXPECT_NE(kgiTestGrab(main.get()).save("options_add_timeline"), "");
    EXPECT_NE(kgiTestGrab(d).save("options_add_dialog"), "");

    app->deleteOptionsDialog();
    kgiTestRemoveCharacters();
    app->setTimelineCanvas(nullptr);
    main.reset();
    app->setMakers(oldMakers);
    world->setStartFrame(0.0f);
    world->setEndFrame(0.0f);
    world->setCurrentTime(0.0f);
    kgiCharacterServices::install(nullptr);
}

} // namespace
