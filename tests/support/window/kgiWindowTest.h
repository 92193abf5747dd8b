#pragma once
// The helper every window test uses. A test process holds one kgiApp (the
// program has one), made on first use on a base directory that the data
// kit's staging step fills (font, icons, settings, the factory robot), so
// kgiApp::instance() sees it and windows behave as in the program. It is
// never destroyed, like the display it holds.
//
//   kgiTestWindow win(640, 450);
//   auto* canvas = new kgi3dCanvas(win.shell(), kgiTestWindow::glVisual());
//   win.show();
//   ASSERT_TRUE(win.runUntil([&] { return canvas->getPaintCount() > 0; }));
//   kgiTestImage shot = win.grab();
//   shot.save("canvas_robot");           // canvas_robot.png beside the test's output
//   EXPECT_EQ(shot.at(5, 5), (kgiTestImage::Rgb{222, 222, 222}));
//
// The application runs on an X server of the process's own (a private Xvfb
// started when a display is there to begin with, e.g. under xvfb-run), so
// tests running side by side neither cover each other's windows nor share
// the pointer and the focus. There is no window manager: the helper places
// the window at the screen's top-left corner and gives it the input focus
// itself. Pointer
// and key events go through the X server (XTest), so they arrive as a
// user's would, with the pointer grab and focus rules of X. Tests that use
// it need a display (label "gl"); without one they skip.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include <fx.h>
#include <fx3d.h>

#include <gtest/gtest.h>

#include "support/kgiTestEnv.h"

class kgiApp;

// The process's application, staged and created; null when no display can
// be opened or another toolkit application exists already (the plain one
// of kgiSharedFoxApp: do not mix the two in one test).
kgiApp* kgiTestApp();
// Without kgiTestApp() the calling test fails under ./test (a display is
// promised there, kgiTestEnv.h) and is skipped elsewhere.
#define KGI_REQUIRE_TEST_APP()                                                    \
    do {                                                                          \
        if (kgiTestApp() == nullptr) {                                            \
            if (kgiTestEnvRequired()) FAIL() << "no display for the window tests"; \
            GTEST_SKIP() << "no display for the window tests";                    \
        }                                                                         \
    } while (0)
// A function run once, after the process's own X server has started
// (DISPLAY names it) and the base directory is staged, before the
// application is made and opens the display: for a test that needs another
// client on that server first, an input-method server for instance. Install
// it before the first kgiTestApp().
void kgiTestBeforeDisplayOpens(std::function<void()> action);
// The staged base directory.
const std::string& kgiTestBaseDir();
// Loads the factory robot as start-up does (current, in the scene, views
// centred); false when it did not load.
bool kgiTestLoadFactoryRobot();
// Every character removed again (an empty scene).
void kgiTestRemoveCharacters();
// Runs pending events, idle passes and repaints of the application until
// done() is true; false when it still is not after maxPasses rounds (for
// windows a test makes itself, as kgiTestWindow::runUntil does for its own).
bool kgiTestRunUntil(const std::function<bool()>& done, int maxPasses = 400);

// Window pixels, rows from the top.
struct kgiTestImage {
    using Rgb = std::array<int, 3>;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // 3 bytes per pixel

    Rgb at(int x, int y) const;
    bool empty() const { return width == 0 || height == 0; }
    // Pixels in the rectangle whose colour is within tolerance (per
    // channel) of c.
    int count(const Rgb& c, int tolerance = 0) const;
    int count(int x, int y, int w, int h, const Rgb& c, int tolerance = 0) const;
    // Writes <name>.png into the test's working folder (beside its output),
    // to be looked at; the path, or empty when it could not be written.
    std::string save(const std::string& name) const;
};

// The pixels of any created, mapped window (a dialog the application made,
// for instance); empty when it has none.
kgiTestImage kgiTestGrab(const FX::FXWindow* window);

// Input for any created, mapped top-level window (a dialog the test made
// itself): the input focus, and pointer motion at its coordinates. Buttons
// and keys go to wherever the pointer and the focus are, as a user's do.
void kgiTestFocus(const FX::FXWindow* window);
void kgiTestMovePointer(const FX::FXWindow* window, int x, int y);
void kgiTestPressButton(int button);
void kgiTestReleaseButton(int button);
// A key by its X keysym name pressed and released.
void kgiTestKey(const char* keysym);
// The press alone and the release alone, to hold a key (and let the
// server's auto-repeat run) or a modifier.
void kgiTestKeyDown(const char* keysym);
void kgiTestKeyUp(const char* keysym);

class kgiTestWindow {
public:
    // A top-level window of that inner size at the screen's top-left
    // corner; put the widget under test into shell() before show().
    kgiTestWindow(int width, int height, const char* title = "kgi test");
    // Deletes the window with everything in it.
    ~kgiTestWindow();
    kgiTestWindow(const kgiTestWindow&) = delete;
    kgiTestWindow& operator=(const kgiTestWindow&) = delete;

    FX::FXMainWindow* shell() const { return window; }
    // A double-buffered visual for GL widgets, shared by all test windows.
    static FX::FXGLVisual* glVisual();

    // Creates and shows the window, gives it the input focus and runs the
    // toolkit until it is mapped.
    void show();
    // Runs pending events, idle passes and repaints until done() is true;
    // false when it still is not after maxPasses rounds.
    bool runUntil(const std::function<bool()>& done, int maxPasses = 400);
    // Some rounds of the same, to let the window settle.
    void settle(int rounds = 10);
    // The window's pixels now (XGetImage: works for GL and plain windows).
    kgiTestImage grab() const;

    // Real input at window coordinates: pointer motion, button 1..3 press
    // and release, a key by its X keysym name ("k", "space", "Escape").
    void movePointer(int x, int y);
    void pressButton(int button);
    void releaseButton(int button);
    void click(int x, int y, int button = 1);
    void key(const char* keysym);
    // Gives the window the input focus (no window manager does).
    void focus();

private:
    FX::FXMainWindow* window = nullptr;
};
