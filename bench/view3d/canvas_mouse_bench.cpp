// One drag step of the 3D view's mouse on the factory robot's right arm in
// mode 2 (CCD IK), with the mirror switch off and on: the idle pass runs
// one per canvas while the user drags, so it must stay far below a frame.
// No display: the mouse gets a view of its own, as its tests do.

#include <benchmark/benchmark.h>

#include <string>
#include <utility>

#include "core/pose_robot_fixture_test.h"
#include "view3d/canvas_mouse_rig.h"
#include "kgiCanvasMouse.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "ksgManipulator.h"
#include "ksgTransform.h"

namespace {

struct Host : kgiCanvasMouse::Host {
    bool mirror = false;
    void redraw() override {}
    void fitView() override {}
    void setGridPlane(int) override {}
    bool isMirrorMode() const override { return mirror; }
};

// Boxes are counted, not shown.
struct QuietServices : kgiCharacterServices {
    long boxes = 0;
    void showMessage(const std::string&, const std::string&) override { ++boxes; }
};

void BM_DragStepOnTheArm(benchmark::State& state)
{
    QuietServices services;
    kgiCharacterServices::install(&services);
    kgiWorld* world = kgiWorld::instance();
    const int id = world->createCharacter();
    kgiCharacter* robot = world->getCharacters()->find(id);
    if (robot == nullptr || !robot->load(kgiTestRobot::projectPath())) {
        state.SkipWithError("the factory robot did not load");
        kgiCharacterServices::install(nullptr);
        return;
    }
    world->setCurrentCharacter(id);
    robot->getRoot()->update(0.0f, false, true);
    ksgManipulator manipulator;
    kgiCanvasMouseRig rig;
    Host host;
    host.mirror = state.range(0) != 0;
    kgiCanvasMouse mouse(host);
    rig.attach(robot, manipulator, mouse);

    // Press on the hand where it shows.
    const std::pair<int, int> hand = rig.pixelOfJoint(robot, "R_WR1");
    const int x = hand.first, y = hand.second;
    mouse.hover(x, y);
    mouse.leftPress(x, y, 0, 1);
    if (manipulator.getTarget() == nullptr)
        state.SkipWithError("nothing grabbed");

    // The pointer swings up and down by 40 pixels.
    int i = 0;
    for (auto _ : state) {
        const int dy = (i++ % 40) - 20;
        mouse.drag(x + dy / 2, y - 20 + dy, 0x100, kgiCanvasMouse::LEFT);
        mouse.step();
    }
    state.counters["boxes"] = double(services.boxes);
    mouse.leftRelease();
    manipulator.setTarget(nullptr);
    world->removeCharacter(id);
    kgiCharacterServices::install(nullptr);
}
BENCHMARK(BM_DragStepOnTheArm)->Arg(0)->Arg(1)->ArgName("mirror")->Unit(benchmark::kMicrosecond);

} // namespace
