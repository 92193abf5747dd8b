// What a key drag on the lower frame line costs:
// - drawing the line (1014 x 40 at 8 pixels a frame) with 10,000 keys and
//   10,000 collision hits, the window at the start and at the end of the
//   keys: the keys' cost follows the visible window (a search finds the
//   first visible key), the unsorted hits take one pass;
// - one push-drag motion on a list of 1,000 keys (copy, edit, put back);
// - the release's write-back (applyKeysInfo) on the factory robot with
//   1,000 keys.
// Needs a display (run it under xvfb-run).
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include "core/pose_robot_fixture_test.h"
#include "kgiCharacter.h"
#include "kgiGLFrameline.h"
#include "kgiWorld.h"
#include "support/gl/kgiGLTest.h"

#include <vector>

namespace {

class HitLine : public kgiGLFrameline {
public:
    using kgiGLFrameline::kgiGLFrameline;
    std::vector<kgiCollisionCheck::HitRecord> hits;

protected:
    const std::vector<kgiCollisionCheck::HitRecord>& collisionHits() const override { return hits; }
};

// A character of the world, current, holding only a key-time list.
kgiCharacter* listCharacter(int keys, int step) {
    kgiWorld* world = kgiWorld::instance();
    world->removeAllCharacters();
    world->setCurrentCharacter(world->createCharacter());
    kgiCharacter* c = world->getCurrentCharacter();
    std::vector<float>& times = c->editKeyTimes();
    times.clear();
    for (int i = 0; i < keys; ++i) times.push_back(float(i * step));
    return c;
}

void lowerLine(kgiGLFrameline& line) {
    line.setEditable(true);
    line.setKeyRowHeight(20);
    line.setPixelsPerFrame(8);
    line.setBandFrames(1);
    line.setLabelFrames(33);
    line.setGridFrames(33);
    line.enableTrash(21);
}

void BM_DrawLowerLine(benchmark::State& state) {
    kgiGLContext* gl = kgiGLContext::shared();
    if (!gl || !gl->makeCurrent()) {
        state.SkipWithError("no GL context");
        return;
    }
    const int keys = 10000;
    listCharacter(keys, 3);
    HitLine line(5, 94, 1014, 40);
    lowerLine(line);
    // Found in no order of time: spread over the keys' frames.
    line.hits.resize(10000);
    for (size_t i = 0; i < line.hits.size(); ++i) line.hits[i].time = float((i * 7919) % size_t(keys * 3));
    // range(0): 0 the window at the first key, 1 at the last.
    line.moveWindowTo(state.range(0) == 0 ? 0 : keys * 3 - 100);
    kgiWorld::instance()->setCurrentTime(float(line.getFirst() + 10));

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1024.0, 150.0, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    for (auto _ : state) {
        line.draw();
        glFinish();
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    kgiWorld::instance()->removeAllCharacters();
    kgiWorld::instance()->setCurrentTime(0.0f);
}
BENCHMARK(BM_DrawLowerLine)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PushDragMotion(benchmark::State& state) {
    kgiCharacter* c = listCharacter(1000, 4);
    kgiGLFrameline line(5, 94, 1014, 40);
    lowerLine(line);
    // Key 10 at frame 40, pushed back and forth by a frame.
    const int px = line.columnOf(40) + 3;
    line.onMouse(kgiGLWidget::BUTTON_RIGHT, kgiGLWidget::ACTION_PRESS, kgiGLWidget::MOD_NONE, px, 104);
    bool right = false;
    for (auto _ : state) {
        line.onMotion(px + (right ? 8 : 0), 104);
        right = !right;
        benchmark::DoNotOptimize(c->getKeyTimes().data());
    }
    line.onMouse(kgiGLWidget::BUTTON_RIGHT, kgiGLWidget::ACTION_RELEASE, kgiGLWidget::MOD_NONE, px, 104);
    kgiWorld::instance()->removeAllCharacters();
}
BENCHMARK(BM_PushDragMotion)->Unit(benchmark::kMicrosecond);

void BM_ReleaseWriteBack(benchmark::State& state) {
    kgiCharacter robot;
    if (!robot.load(kgiTestRobot::projectPath())) {
        state.SkipWithError("no factory robot");
        return;
    }
    robot.deleteKeys(0, 1000000);
    for (int f = 0; f < 1000; ++f) robot.addKey(f * 2);
    if (robot.getKeyCount() != 1000) {
        state.SkipWithError("the keys did not go in");
        return;
    }
    std::vector<float> shifted = robot.getKeyTimes();
    shifted.back() += 1.0f;
    const std::vector<float> original = robot.getKeyTimes();
    bool moved = false;
    for (auto _ : state) {
        // The last key one frame on and back, as a drag of it would leave it.
        robot.editKeyTimes() = moved ? original : shifted;
        moved = !moved;
        robot.applyKeysInfo();
    }
}
BENCHMARK(BM_ReleaseWriteBack)->Unit(benchmark::kMicrosecond);

} // namespace
