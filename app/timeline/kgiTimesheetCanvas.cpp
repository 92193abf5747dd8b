#include "kgiTimesheetCanvas.h"

#include <GL/gl.h>

FXDEFMAP(kgiTimesheetCanvas) kgiTimesheetCanvasMap[] = {
    FXMAPFUNC(FX::SEL_PAINT, 0, kgiTimesheetCanvas::onPaint),
};

FXIMPLEMENT(kgiTimesheetCanvas, FX::FXGLCanvas, kgiTimesheetCanvasMap, ARRAYNUMBER(kgiTimesheetCanvasMap))

kgiTimesheetCanvas::kgiTimesheetCanvas(FX::FXComposite* parent, FX::FXGLVisual* visual, FX::FXObject* target,
                                       FX::FXSelector sel, FX::FXuint opts, FX::FXint x, FX::FXint y,
                                       FX::FXint w, FX::FXint h)
    : FX::FXGLCanvas(parent, visual, target, sel, opts, x, y, w, h) {}

long kgiTimesheetCanvas::onPaint(FX::FXObject*, FX::FXSelector, void*) {
    if (!makeCurrent()) return 1;
    glViewport(0, 0, getWidth(), getHeight());
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    swapBuffers();
    makeNonCurrent();
    ++paintCount;
    return 1;
}
