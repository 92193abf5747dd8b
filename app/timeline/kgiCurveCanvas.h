#pragma once
// The drawing and editing area of the curve editor window: an OpenGL canvas
// that shows the chosen channels of a joint's position and rotation curves
// as value-over-time graphs and edits their keys with the mouse. The state
// and what a click or drag means live in kgiCurveEditor; the canvas turns
// toolkit events into its calls, draws what it paints with OpenGL and prints
// the labels with the view font. Its target is the curve window, whose
// forceUpdate it calls after each key edit.
#include "kgiCurveEditor.h"

#include <fx.h>
#include <fx3d.h>

class kgiGLTextPrinter;

class kgiCurveCanvas : public FX::FXGLCanvas {
    FXDECLARE(kgiCurveCanvas)

public:
    // Always LAYOUT_FILL_X | LAYOUT_FILL_Y; owner is the toolkit target.
    kgiCurveCanvas(FX::FXComposite* parent, FX::FXGLVisual* visual, FX::FXObject* owner = nullptr,
                   FX::FXSelector sel = 0, FX::FXint x = 0, FX::FXint y = 0, FX::FXint w = 0, FX::FXint h = 0);
    ~kgiCurveCanvas() override;

    // The canvas, then its GL state and the label printer.
    void create() override;
    // The tangent preset "default" (the toolkit's default-button call taken
    // over: its argument is the tangent mask, 1 in, 2 out, 3 both).
    void setDefault(FX::FXbool mask) override;
    // Scales, viewport and projection for the new size; the base's layout
    // is not run (a canvas has no children).
    void layout() override;

    long onPaint(FX::FXObject*, FX::FXSelector, void*);
    long onLeftBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onMiddleBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onRightBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onLeftBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    long onMiddleBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    long onRightBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    long onMotion(FX::FXObject*, FX::FXSelector, void*);
    long onMouseWheel(FX::FXObject*, FX::FXSelector, void*);

    // The editing state; the window and the tests reach it directly.
    kgiCurveEditor& getEditor() { return editor; }
    // Replaces where redraw requests and key-edit notices go (a test's
    // recorder); null restores the application and the owner window.
    void setHost(kgiCurveHost* h);

    // What the window drives.
    void addRotationCurve(kmlBaseCurve* c, int channel) { editor.addRotationCurve(c, channel); }
    void addPositionCurve(kmlBaseCurve* c, int channel) { editor.addPositionCurve(c, channel); }
    void removeRotationCurve(kmlBaseCurve* c, int channel) { editor.removeRotationCurve(c, channel); }
    void removePositionCurve(kmlBaseCurve* c, int channel) { editor.removePositionCurve(c, channel); }
    void clearCurves() { editor.clearCurves(); }
    void fitTime() { editor.fitTime(); }
    void fitValue() { editor.fitValue(); }
    void setLinkIO(bool on) { editor.setLinkIO(on); }
    void setLiveUpdate(bool on) { editor.setLiveUpdate(on); }
    void setSmooth(bool on) { editor.setSmooth(on); }
    void setAll(bool on) { editor.setAll(on); }
    void setLinear(int mask) { editor.setLinear(mask); }
    void setFast(int mask) { editor.setFast(mask); }
    void setSlow(int mask) { editor.setSlow(mask); }

    // Frames drawn so far.
    long getPaintCount() const { return paintCount; }
    bool hasPrinter() const { return printer != nullptr; }

protected:
    // For the toolkit's class factory only.
    kgiCurveCanvas() {}

private:
    // Requests to the application, key edits to the owner window.
    class AppHost : public kgiCurveHost {
    public:
        explicit AppHost(kgiCurveCanvas& c) : canvas(c) {}
        void redrawCurves() override;
        void forceUpdate() override;

    private:
        kgiCurveCanvas& canvas;
    };

    void initGL();
    long press(int button, const FX::FXEvent* event);
    long release(int button, const FX::FXEvent* event);

    AppHost appHost{*this};
    kgiCurveEditor editor{&appHost};
    kgiGLTextPrinter* printer = nullptr;
    long paintCount = 0;
};
