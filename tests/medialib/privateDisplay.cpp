#include "medialib/privateDisplay.h"

#include "platform/screen.h"
#include "support/xserver/kgiTestXServer.h"

#include <X11/Xlib.h>

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

kgiPrivateDisplay::kgiPrivateDisplay(bool windowManager)
{
    const std::string name = kgiTestX::startServer(server);
    if (name.empty()) {
        failure = "Xvfb did not start";
        return;
    }
    if (windowManager) {
        home = (fs::temp_directory_path() / ("kgi_wm_" + std::to_string(getpid()) + "_" + name.substr(1))).string();
        manager = kgiTestX::startOpenbox(name, home);
        // Up once it frames a window: one mapped while it still starts up
        // may be left unmapped for good, so each probe gets half a second.
        Display* d = XOpenDisplay(name.c_str());
        bool up = false;
        Window probe = 0;
        int probeAge = 0;
        for (int waited = 0; d && !up && waited < 30000; waited += 20) {
            if (probe && probeAge >= 500) {
                XDestroyWindow(d, probe);
                probe = 0;
            }
            if (!probe && platform::hasWindowManager(d)) {
                probe = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
                XMapWindow(d, probe);
                probeAge = 0;
            }
            if (probe) {
                Window root = 0, parent = 0, *children = nullptr;
                unsigned n = 0;
                if (XQueryTree(d, probe, &root, &parent, &children, &n)) {
                    if (children) XFree(children);
                    up = parent != root;
                }
            }
            if (!up) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                probeAge += 20;
            }
        }
        if (d) {
            if (probe) XDestroyWindow(d, probe);
            XCloseDisplay(d);
        }
        if (!up) {
            failure = "openbox did not start (is it installed?)";
            return;
        }
    }
    display = name;
}

kgiPrivateDisplay::~kgiPrivateDisplay()
{
    close();
}

void kgiPrivateDisplay::close()
{
    kgiTestX::end(manager);
    kgiTestX::end(server);
    std::error_code ignored;
    if (!home.empty())
        fs::remove_all(home, ignored);
    home.clear();
    display.clear();
}
