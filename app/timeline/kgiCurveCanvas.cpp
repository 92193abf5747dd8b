// The curve editor's canvas.
#include "kgiCurveCanvas.h"

#include "kgiApp.h"
#include "kgiCurveWindow.h"
#include "kgiGLTextPrinter.h"
#include "kgiWorld.h"

#include "kutPath.h"

#include <GL/gl.h>

FXDEFMAP(kgiCurveCanvas) kgiCurveCanvasMap[] = {
    FXMAPFUNC(FX::SEL_PAINT, 0, kgiCurveCanvas::onPaint),
    FXMAPFUNC(FX::SEL_LEFTBUTTONPRESS, 0, kgiCurveCanvas::onLeftBtnPress),
    FXMAPFUNC(FX::SEL_MIDDLEBUTTONPRESS, 0, kgiCurveCanvas::onMiddleBtnPress),
    FXMAPFUNC(FX::SEL_RIGHTBUTTONPRESS, 0, kgiCurveCanvas::onRightBtnPress),
    FXMAPFUNC(FX::SEL_LEFTBUTTONRELEASE, 0, kgiCurveCanvas::onLeftBtnRelease),
    FXMAPFUNC(FX::SEL_MIDDLEBUTTONRELEASE, 0, kgiCurveCanvas::onMiddleBtnRelease),
    FXMAPFUNC(FX::SEL_RIGHTBUTTONRELEASE, 0, kgiCurveCanvas::onRightBtnRelease),
    FXMAPFUNC(FX::SEL_MOTION, 0, kgiCurveCanvas::onMotion),
    FXMAPFUNC(FX::SEL_MOUSEWHEEL, 0, kgiCurveCanvas::onMouseWheel),
};

FXIMPLEMENT(kgiCurveCanvas, FX::FXGLCanvas, kgiCurveCanvasMap, ARRAYNUMBER(kgiCurveCanvasMap))

namespace {

// The label font: face size in points (pixels for the screen).
constexpr unsigned LABEL_FACE_SIZE = 12;

// The editor's drawing calls in immediate-mode OpenGL, into the current
// context.
class GLDraw : public kgiCurveDraw {
public:
    explicit GLDraw(kgiGLTextPrinter* p) : printer(p) {}

    void projection(float t0, float t1, float v0, float v1, int w, int h) override {
        glViewport(0, 0, w, h);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(t0, t1, v0, v1, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void clear() override {
        // Texturing stays on for the label font; with no texture bound the
        // lines and squares are drawn untextured.
        glBindTexture(GL_TEXTURE_2D, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void color(float r, float g, float b) override { glColor3f(r, g, b); }
    void lineWidth(float w) override { glLineWidth(w); }
    void stipple(bool on) override {
        if (on) {
            glLineStipple(1, 0xff00);
            glEnable(GL_LINE_STIPPLE);
        } else {
            glDisable(GL_LINE_STIPPLE);
        }
    }
    void begin(Primitive p) override {
        static const GLenum MODES[] = {GL_LINES, GL_LINE_STRIP, GL_LINE_LOOP, GL_QUADS};
        glBegin(MODES[p]);
    }
    void vertex(float t, float v) override { glVertex2f(t, v); }
    void end() override { glEnd(); }
    void beginLabels(int w, int h) override {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, w, 0.0, h, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glColor3f(0.0f, 0.0f, 0.0f);
    }
    void label(int x, int y, const char* text) override {
        if (!printer) return;
        printer->begin();
        printer->print(static_cast<float>(x), static_cast<float>(y), "%s", text);
        printer->end();
    }
    void endLabels() override {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }

private:
    kgiGLTextPrinter* printer;
};

} // namespace

void kgiCurveCanvas::AppHost::redrawCurves() {
    if (kgiApp* app = kgiApp::instance()) app->redrawCurves();
}

void kgiCurveCanvas::AppHost::forceUpdate() {
    if (auto* window = dynamic_cast<kgiCurveWindow*>(canvas.getTarget())) window->forceUpdate();
}

kgiCurveCanvas::kgiCurveCanvas(FX::FXComposite* parent, FX::FXGLVisual* visual, FX::FXObject* owner,
                               FX::FXSelector sel, FX::FXint x, FX::FXint y, FX::FXint w, FX::FXint h)
    : FX::FXGLCanvas(parent, visual, owner, sel, FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y, x, y, w, h) {
    editor.setSize(w, h);
}

kgiCurveCanvas::~kgiCurveCanvas() {
    delete printer;
    printer = nullptr;
}

void kgiCurveCanvas::setHost(kgiCurveHost* h) {
    editor.setHost(h ? h : &appHost);
}

void kgiCurveCanvas::create() {
    FX::FXGLCanvas::create();
    initGL();
}

void kgiCurveCanvas::initGL() {
    if (!makeCurrent()) return;
    glShadeModel(GL_FLAT);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glPolygonMode(GL_FRONT, GL_FILL);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_LINE_SMOOTH);
    glEnable(GL_TEXTURE_2D);
    if (!printer) {
        kgiApp* app = kgiApp::instance();
        const std::string base = app ? app->getBaseDir() : std::string();
        // A missing font leaves the printer without one: no labels.
        printer = new kgiGLTextPrinter(kutPrependPath(kutAppendPath(base, "font"), "arial.ttf"),
                                       kgiGLTextPrinter::TEXTURE);
        printer->setFaceSize(LABEL_FACE_SIZE);
    }
    makeNonCurrent();
}

void kgiCurveCanvas::setDefault(FX::FXbool mask) {
    editor.setDefault(mask);
}

void kgiCurveCanvas::layout() {
    editor.setSize(getWidth(), getHeight());
    if (makeCurrent()) {
        glViewport(0, 0, getWidth(), getHeight());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(editor.getMinTime(), editor.getMaxTime(), editor.getMinValue(), editor.getMaxValue(), -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        makeNonCurrent();
    }
    // What the toolkit's own layout would have done: the canvas is laid out.
    flags &= ~FX::FXWindow::FLAG_DIRTY;
}

long kgiCurveCanvas::onPaint(FX::FXObject*, FX::FXSelector, void*) {
    if (!makeCurrent()) return 1;
    GLDraw draw(printer);
    kgiWorld* world = kgiWorld::instance();
    editor.paint(draw, world ? world->getCurrentTime() : 0.0f);
    swapBuffers();
    makeNonCurrent();
    ++paintCount;
    return 1;
}

long kgiCurveCanvas::press(int button, const FX::FXEvent* event) {
    grab();
    const int x = event ? event->win_x : 0;
    const int y = event ? event->win_y : 0;
    switch (button) {
    case kgiCurveEditor::LEFT: {
        const FX::FXuint state = event ? event->state : 0;
        editor.leftPress(x, y, (state & FX::SHIFTMASK) != 0, (state & FX::CONTROLMASK) != 0);
        break;
    }
    case kgiCurveEditor::MIDDLE: editor.middlePress(x, y); break;
    default: editor.rightPress(x, y); break;
    }
    return 1;
}

long kgiCurveCanvas::release(int button, const FX::FXEvent* event) {
    ungrab();
    const int x = event ? event->win_x : 0;
    const int y = event ? event->win_y : 0;
    switch (button) {
    case kgiCurveEditor::LEFT: editor.leftRelease(x, y); break;
    case kgiCurveEditor::MIDDLE: editor.middleRelease(x, y); break;
    default: editor.rightRelease(x, y); break;
    }
    return 1;
}

long kgiCurveCanvas::onLeftBtnPress(FX::FXObject*, FX::FXSelector, void* ptr) {
    return press(kgiCurveEditor::LEFT, static_cast<const FX::FXEvent*>(ptr));
}

long kgiCurveCanvas::onMiddleBtnPress(FX::FXObject*, FX::FXSelector, void* ptr) {
    return press(kgiCurveEditor::MIDDLE, static_cast<const FX::FXEvent*>(ptr));
}

long kgiCurveCanvas::onRightBtnPress(FX::FXObject*, FX::FXSelector, void* ptr) {
    return press(kgiCurveEditor::RIGHT, static_cast<const FX::FXEvent*>(ptr));
}

long kgiCurveCanvas::onLeftBtnRelease(FX::FXObject*, FX::FXSelector, void* ptr) {
    return release(kgiCurveEditor::LEFT, static_cast<const FX::FXEvent*>(ptr));
}

long kgiCurveCanvas::onMiddleBtnRelease(FX::FXObject*, FX::FXSelector, void* ptr) {
    return release(kgiCurveEditor::MIDDLE, static_cast<const FX::FXEvent*>(ptr));
}

long kgiCurveCanvas::onRightBtnRelease(FX::FXObject*, FX::FXSelector, void* ptr) {
    return release(kgiCurveEditor::RIGHT, static_cast<const FX::FXEvent*>(ptr));
}

long kgiCurveCanvas::onMotion(FX::FXObject*, FX::FXSelector, void* ptr) {
    const auto* event = static_cast<const FX::FXEvent*>(ptr);
    if (event) editor.motion(event->win_x, event->win_y, event->last_x, event->last_y);
    return 1;
}

long kgiCurveCanvas::onMouseWheel(FX::FXObject*, FX::FXSelector, void* ptr) {
    const auto* event = static_cast<const FX::FXEvent*>(ptr);
    if (event) editor.wheel(event->code);
    return 1;
}
