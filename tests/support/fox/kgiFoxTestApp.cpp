#include "support/fox/kgiFoxTestApp.h"

#include "support/kgiTestEnv.h"

#include <gtest/gtest.h>

FX::FXApp* kgiSharedFoxApp()
{
    static FX::FXApp* app = [] {
        static int argc = 1;
        static char name[] = "kgi_tests";
        static char* argv[] = {name, nullptr};
        auto* a = new FX::FXApp("kgi_tests", "kgi");
        a->init(argc, argv, false);
        if (!kgiOpenDisplayRetrying([a] { return a->openDisplay(); })) {
            delete a;
            return static_cast<FX::FXApp*>(nullptr);
        }
        a->create();
        return a;
    }();
    // Every test that asks is told, not only the first one.
    if (!app && kgiTestEnvRequired()) {
        const char* display = std::getenv("DISPLAY");
        ADD_FAILURE() << "cannot open the X display \"" << (display ? display : "")
                      << "\" that ./test provides";
    }
    return app;
}
