#pragma once
// An X server of the test's own, with or without a window manager (openbox),
// for window behaviour that depends on one. The display is the process's:
// nothing else draws on it or moves its windows. Both programs end with the
// object, and with the process however it ends; the manager's settings and
// cache live in a temporary folder that goes with the object.
#include <string>
#include <sys/types.h>

class kgiPrivateDisplay {
public:
    // Starts Xvfb (1280 x 1024) on a display number it picks and, when
    // windowManager, openbox on it, waiting (bounded) until the manager has
    // announced itself.
    explicit kgiPrivateDisplay(bool windowManager);
    ~kgiPrivateDisplay();
    kgiPrivateDisplay(const kgiPrivateDisplay&) = delete;
    kgiPrivateDisplay& operator=(const kgiPrivateDisplay&) = delete;

    // ":N", empty when the server (or the manager asked for) did not start;
    // why() says what failed.
    const std::string& name() const { return display; }
    const std::string& why() const { return failure; }
    // Ends both programs and removes the manager's folder now (for a test
    // that leaves without running destructors).
    void close();

    static constexpr int WIDTH = 1280;
    static constexpr int HEIGHT = 1024;

private:
    pid_t server = -1;
    pid_t manager = -1;
    std::string home;
    std::string display;
    std::string failure;
};
