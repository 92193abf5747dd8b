#pragma once
// The time-line canvas of the main window: an OpenGL canvas below the tool
// bar. For now it clears to white; the time-line widgets draw into it.
#include <fx.h>
#include <fx3d.h>

class kgiTimesheetCanvas : public FX::FXGLCanvas {
    FXDECLARE(kgiTimesheetCanvas)

public:
    kgiTimesheetCanvas(FX::FXComposite* parent, FX::FXGLVisual* visual, FX::FXObject* target = nullptr,
                       FX::FXSelector sel = 0, FX::FXuint opts = 0, FX::FXint x = 0, FX::FXint y = 0,
                       FX::FXint w = 0, FX::FXint h = 0);

    long onPaint(FX::FXObject*, FX::FXSelector, void*);

    // Frames drawn so far.
    long getPaintCount() const { return paintCount; }

protected:
    // For the toolkit's class factory only.
    kgiTimesheetCanvas() {}

private:
    long paintCount = 0;
};
