#pragma once
// The test process's one GUI application, as the program has one.
#include <fx.h>

// Opened on the X display and created on first use; null when there is no
// display (tests then skip: run them under xvfb-run). Under ./test a
// missing display also fails the calling test (see support/kgiTestEnv.h).
// Never destroyed: closing the display at exit would unload the drivers
// before the leak checker runs.
FX::FXApp* kgiSharedFoxApp();
