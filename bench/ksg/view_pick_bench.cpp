// Picking under the mouse: the program picks on every mouse move, so a pick
// over the whole robot must stay far below a frame's time. Here every pixel
// of a 640x480 view is picked against a model of 30 parts.
#include <benchmark/benchmark.h>

#include <memory>

#include "kgcAxisAlignedBox.h"
#include "kgcBoxMesh.h"
#include "kgcCylinderMesh.h"
#include "ksgModel.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "ksgView.h"
#include "ksgViewpoint.h"
#include "ksgVisualState.h"

namespace {

const int WIDTH = 640, HEIGHT = 480, PARTS = 30;

// 30 parts stacked in a 5 x 6 grid, each a joint holding a box or a
// cylinder, under one root; the camera frames the whole.
struct Robot {
  ksgScene scene;
  std::unique_ptr<ksgTransform> root = std::make_unique<ksgTransform>();

  Robot() {
    for (int i = 0; i < PARTS; ++i) {
      auto* joint = new ksgTransform();
      kmlMatrix4 at;
      at.setTranslation(kmlVec3(float(i % 5) - 2.0f, float(i / 5) - 2.5f, 0.0f));
      at.rotate(float(i * 12), kmlVec3(0, 1, 0));
      joint->setLocal(at);
      auto* part = new ksgModel();
      if (i % 2)
        part->setMesh(new kgcBoxMesh(0.8f, 2));
      else
        part->setMesh(new kgcCylinderMesh(0.3f, 0.3f, 0.8f, 4, 12));
      joint->attachChild(part);
      root->attachChild(joint);
    }
    root->update(0, false, true);
    scene.addRoot(root.get());
  }
};

void BM_PickEveryPixel(benchmark::State& state) {
  Robot robot;
  ksgVisualState vs;
  auto view = std::make_unique<ksgView>(vs);
  ksgViewpoint viewpoint;
  viewpoint.center(robot.root->getBounds());
  view->setViewpoint(&viewpoint);
  view->reshape(0, 0, WIDTH, HEIGHT);

  ksgView::HitList hits;
  size_t found = 0;
  for (auto _ : state) {
    for (int y = 0; y < HEIGHT; ++y) {
      for (int x = 0; x < WIDTH; ++x) {
        hits.clear();
        view->pick(&robot.scene, x, y, hits, ksgView::NEAREST);
        found += hits.size();
      }
    }
  }
  benchmark::DoNotOptimize(found);
  state.SetItemsProcessed(state.iterations() * WIDTH * HEIGHT);
  view.reset();
}
BENCHMARK(BM_PickEveryPixel)->Unit(benchmark::kMillisecond);

}  // namespace
