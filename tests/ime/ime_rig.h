#pragma once
// The rig of the input-method tests: the process's application (the
// program's kgiApp on its own X server, kgiWindowTest.h) made in a Japanese
// locale with XMODIFIERS naming uim, after a real input method, uim-xim
// with the Anthy engine, has started on that server with a home folder of
// its own. The locale comes compiled into the build folder.
//
// Anthy starts switched off in each new input context; Shift+space
// switches it on, and then romaji typed become hiragana being composed,
// Return commits them and Escape drops them.
#include "support/window/kgiWindowTest.h"

#include <fx.h>

#include <functional>
#include <string>
#include <vector>

class kgiApp;

// Whether the test locales were compiled (tests/ime/CMakeLists.txt).
bool kgiImeLocalesBuilt();

// The process's application with the input method running; null (after a
// failure under ./test, see kgiTestEnv.h) when the locales, the display or
// the input method are missing.
kgiApp* kgiImeTestApp();
#define KGI_REQUIRE_IME_APP()                                                         \
    do {                                                                              \
        if (kgiImeTestApp() == nullptr) {                                             \
            if (kgiTestEnvRequired()) FAIL() << "no input method for the tests";      \
            GTEST_SKIP() << "no input method (uim-xim, the locales or a display)";    \
        }                                                                             \
    } while (0)

// Rounds of the event loop a test waits at most for what the input
// method's server, a process of its own, answers (at least 5 ms each): a
// generous bound for a loaded machine.
constexpr int KGI_IME_PASSES = 3000;

// Keys as a user types them: Shift+space (the input method on), each
// letter of a romaji text, a key by its keysym name.
void kgiImeSwitchOn();
void kgiImeType(const char* letters);

// Pixels of two grabs of one window that differ, and the box around them.
struct kgiImeChange {
    int count = 0;
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
};
kgiImeChange kgiImeDiff(const kgiTestImage& before, const kgiTestImage& after);

// Runs steps from toolkit timeouts, for a modal loop that the test cannot
// drive from outside (the name box). Each step waits until its condition
// holds, then acts; a step that does not come within the time limit ends
// the script with a failure and cancels the modal window, so a test never
// hangs.
class kgiImeScript {
public:
    struct Step {
        std::string name;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    explicit kgiImeScript(std::vector<Step> steps, double secondsPerStep = 30.0);
    ~kgiImeScript();
    kgiImeScript(const kgiImeScript&) = delete;
    kgiImeScript& operator=(const kgiImeScript&) = delete;
    // Starts the first step on the next timeout.
    void start();
    // Empty when every step came; else the name of the first that did not
    // (in time, or before the modal loop ended).
    std::string failure() const;

private:
    void fire();
    std::vector<Step> steps;
    size_t next = 0;
    double limit;
    double stepStart = 0.0;
    std::string failed;
    class kgiTimeoutAction* timer;
};
