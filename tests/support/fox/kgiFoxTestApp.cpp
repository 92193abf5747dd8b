#include "support/fox/kgiFoxTestApp.h"

FX::FXApp* kgiSharedFoxApp()
{
    static FX::FXApp* app = [] {
        static int argc = 1;
        static char name[] = "kgi_tests";
        static char* argv[] = {name, nullptr};
        auto* a = new FX::FXApp("kgi_tests", "kgi");
        a->init(argc, argv, false);
        if (!a->openDisplay()) {
            delete a;
            return static_cast<FX::FXApp*>(nullptr);
        }
        a->create();
        return a;
    }();
    return app;
}
