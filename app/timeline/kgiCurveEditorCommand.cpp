// The main window's curve editor command: every use opens another editor,
// which the application then knows as the newest one.
#include "kgiCurveWindow.h"
#include "kgiTimesheetWindow.h"

long kgiTimesheetWindow::onCmdCurveEditor(FX::FXObject*, FX::FXSelector, void*) {
    // The toolkit owns the window: closing it deletes it.
    auto* window = new kgiCurveWindow(getApp(), "Curve editor", 200, 200, 700, 480);
    window->create();
    window->show();
    return 1;
}
