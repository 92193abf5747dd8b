// The application's registry of 3D canvases, their redraw bits and drag
// steps, and the window requests it forwards, against stand-in canvases
// (no display needed). Each test runs its kgiApp in a child process.
#include "kgiApp.h"
#include "kgiViewCanvas.h"

#include "support/app/kgiAppRig.h"

#include "core/child_process_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A canvas that records what the application asks of it.
struct StandInCanvas : kgiViewCanvas {
    std::string name;
    std::vector<std::string>* log;
    bool pending = false;
    bool pressed = false;
    int mode = -1;

    StandInCanvas(const char* n, std::vector<std::string>* l) : name(n), log(l) {}
    FX::FXWindow* window() override { return nullptr; }
    bool isIkDragPending() const override { return pending; }
    void stepIkDrag() override {
        log->push_back(name + ".step");
        pending = false;
    }
    void setMouseMode(int m) override { mode = m; }
    void resetViewpoint() override { log->push_back(name + ".reset"); }
    void fitView() override { log->push_back(name + ".fit"); }
    void clearManipulatorTarget() override { log->push_back(name + ".clear"); }
    ksgViewpoint* getViewpoint() const override { return nullptr; }
    bool isButtonDown() const override { return pressed; }
};

void redrawBitsFollowTheirCanvases() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    std::vector<std::string> log;
    StandInCanvas a("a", &log), b("b", &log), c("c", &log), stranger("x", &log);

    app.addCanvas(nullptr);
    app.addCanvas(&a);
    app.addCanvas(&b);
    app.addCanvas(&c);
    CHILD_CHECK(app.getCanvases().size() == 3);
    CHILD_CHECK(app.isCanvasDirty(0) && app.isCanvasDirty(2));
    app.flushRedraws();
    CHILD_CHECK(!app.isCanvasDirty(0) && !app.isCanvasDirty(1) && !app.isCanvasDirty(2));

    app.redrawCanvas(&b);
    CHILD_CHECK(!app.isCanvasDirty(0) && app.isCanvasDirty(1) && !app.isCanvasDirty(2));
    app.removeCanvas(&a);
    app.removeCanvas(&stranger);
    app.removeCanvas(nullptr);
    CHILD_CHECK(app.getCanvases().size() == 2 && app.getCanvases()[0] == &b);
    CHILD_CHECK(app.isCanvasDirty(0) && !app.isCanvasDirty(1));  // b kept its bit
    app.flushCanvasRedraws();
    CHILD_CHECK(!app.isCanvasDirty(0));
    CHILD_CHECK(!app.isCanvasDirty(2));  // out of range

    // A stranger marks no canvas but still refreshes the options dialog.
    app.createOptionsDialog();
    CHILD_CHECK(app.getOptionsDialog() != nullptr);
    rig.fakes.options.record.clear();
    app.redrawCanvas(&stranger);
    CHILD_CHECK(!app.isCanvasDirty(0) && !app.isCanvasDirty(1));
    CHILD_CHECK(rig.fakes.options.record.count("refreshJointValues") == 1);

    // The views request: every canvas, and the options dialog again.
    app.redrawAll();
    CHILD_CHECK(app.isCanvasDirty(0) && app.isCanvasDirty(1));
    CHILD_CHECK(rig.fakes.options.record.count("refreshJointValues") == 2);
    app.removeCanvas(&b);
    app.removeCanvas(&c);
}

TEST(AppRedraw, RedrawBitsFollowTheirCanvases) {
    EXPECT_IN_CHILD(redrawBitsFollowTheirCanvases);
}

void canvasesAreAskedInListOrder() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    std::vector<std::string> log;
    StandInCanvas a("a", &log), b("b", &log), c("c", &log);
    app.addCanvas(&a);
    app.addCanvas(&b);
    app.addCanvas(&c);

    CHILD_CHECK(!app.isCanvasDragPending() && !app.stepCanvasDrags());
    a.pending = c.pending = true;
    CHILD_CHECK(app.isCanvasDragPending());
    CHILD_CHECK(app.stepCanvasDrags());
    CHILD_CHECK((log == std::vector<std::string>{"a.step", "c.step"}));
    CHILD_CHECK(!app.isCanvasDragPending());

    log.clear();
    app.resetCanvasViews(true);
    CHILD_CHECK((log == std::vector<std::string>{"a.reset", "a.fit", "b.reset", "b.fit", "c.reset", "c.fit"}));
    log.clear();
    app.resetCanvasViews(false);
    CHILD_CHECK((log == std::vector<std::string>{"a.fit", "b.fit", "c.fit"}));
    log.clear();
    app.clearCanvasTargets();
    CHILD_CHECK((log == std::vector<std::string>{"a.clear", "b.clear", "c.clear"}));

    CHILD_CHECK(!app.isAnyCanvasPressed());
    b.pressed = true;
    CHILD_CHECK(app.isAnyCanvasPressed());

    // The main window's time-line refresh goes through.
    app.updateTimeline(true);
    CHILD_CHECK(rig.fakes.mainWindow.record.has("refreshTimeline(1)"));
    CHILD_CHECK(app.queryOptionsText("RShoulder").empty());  // no dialog yet
    app.showOptionsDialog(true);
    CHILD_CHECK(rig.fakes.options.record.has("refreshAll"));
    CHILD_CHECK(app.queryOptionsText("RShoulder") == rig.fakes.options.jointFieldText);

    // Shut-down: mode 0 on every canvas, none kept.
    app.resetCanvasMouseModes();
    CHILD_CHECK(a.mode == 0 && b.mode == 0 && c.mode == 0);
    CHILD_CHECK(app.getCanvases().empty());
}

TEST(AppRedraw, CanvasesAreAskedInListOrder) {
    EXPECT_IN_CHILD(canvasesAreAskedInListOrder);
}

} // namespace
