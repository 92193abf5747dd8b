#pragma once
// Runs a function from a toolkit timeout: the way a test acts while a modal
// loop (a pop-up menu, a message box) runs.

#include <fx.h>

#include <functional>

class kgiTimeoutAction : public FX::FXObject {
    FXDECLARE(kgiTimeoutAction)

public:
    enum { ID_FIRE = 1 };
    std::function<void()> action;
    long onFire(FX::FXObject*, FX::FXSelector, void*);
};
