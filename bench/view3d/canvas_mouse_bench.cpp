// One drag step of the 3D view's mouse on the factory robot's right arm in
// mode 2 (CCD IK), with the mirror switch off and on: the idle pass runs
// one per canvas while the user drags, so it must stay far below a frame.
// No display: the mouse gets a view of its own, as its tests do.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/pose_robot_fixture_test.h"
#include "kgiCanvasMouse.h"
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiKinematicControllers.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "kmlVec4.h"
#include "ksgCcdIk.h"
#include "ksgManipulator.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "ksgTransformController.h"
#include "ksgView.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"
#include "ksgVisualState.h"

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
    ksgScene scene;
    scene.addRoot(robot->getRoot()->asTransform());
    ksgVisualState visual;
    ksgViewpoint viewpoint;
    ksgView view(visual);
    view.setViewpoint(&viewpoint);
    ksgViewportState* port = view.getViewport();
    port->setPlanes(0.1f, 1000.0f);
    port->setFov(56.0f);
    port->setWindow(0, 0, 640, 450);
    port->setProjMode(ksgViewportState::PERSPECTIVE);
    viewpoint.center(robot->getBounds());

    ksgManipulator manipulator;
    ksgCcdIKController ik;
    ksgAxisFKController axisFk;
    ksgTrackballFKController trackballFk;
    kgiBodyFKController bodyFk;
    kgiAnimFKController animFk;
    kgiAnimIKController animIk;
    ik.setMode(1);
    Host host;
    host.mirror = state.range(0) != 0;
    kgiCanvasMouse mouse(host);
    kgiCanvasMouse::Parts p;
    p.view = &view;
    p.scene = &scene;
    p.manipulator = &manipulator;
    p.ik = &ik;
    p.axisFk = &axisFk;
    p.trackballFk = &trackballFk;
    p.bodyFk = &bodyFk;
    p.animFk = &animFk;
    p.animIk = &animIk;
    mouse.setParts(p);
    mouse.setMouseMode(2);

    // Press on the hand where it shows.
    const kmlVec4 c = robot->findNode("R_WR1")->getWorld().getColumn(3);
    const kmlVec4 e = viewpoint.getMatrix().getInverse() * kmlVec4(c.get(0), c.get(1), c.get(2), 1.0f);
    const float t = 0.5317094f * -e.get(2);  // tan(28 degrees) x depth
    const int x = int(320.0f + 320.0f * e.get(0) / (t * port->getAspect()));
    const int y = int(225.0f - 225.0f * e.get(1) / t);
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
