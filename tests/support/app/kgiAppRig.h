#pragma once
// A kgiApp with the recording stand-ins installed, on a base folder of its
// own below the temporary directory (with an empty "settings" folder, so the
// settings file the application writes lands there). The application is
// not initialised: nothing here needs a display; call app->init() and
// app->create() for tests that do. A process holds one toolkit application,
// so run each rig in a child process (see tests/core/child_process_test.h).
#include "support/app/kgiAppStandIns.h"

#include "kgiApp.h"
#include "kgiWorld.h"

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

struct kgiAppRig {
    std::filesystem::path base;
    // Declared before the application, which deletes what their makers made.
    kgiAppStandIns fakes;
    std::unique_ptr<kgiApp> app;

    // With install false the application gets no stand-in at all (the
    // program as it runs before the robot tools and windows plug in).
    explicit kgiAppRig(bool install = true) {
        kgiWorld::instance();  // the world outlives the application
        base = std::filesystem::temp_directory_path() / ("kgi_app_rig_" + std::to_string(::getpid()));
        std::filesystem::remove_all(base);
        std::filesystem::create_directories(base / "settings");
        app = std::make_unique<kgiApp>(base.string());
        if (install) fakes.installOn(*app);
    }
    ~kgiAppRig() {
        app.reset();
        std::error_code ignored;
        std::filesystem::remove_all(base, ignored);
    }
    kgiAppRig(const kgiAppRig&) = delete;
    kgiAppRig& operator=(const kgiAppRig&) = delete;

    // The settings file the application writes.
    std::filesystem::path settingsFile() const { return base / "settings" / "settings.txt"; }
};
