#include "support/gl/kgiGLTest.h"

#include "support/kgiTestEnv.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdlib>


struct kgiGLContext::Native
{
    Display* display = nullptr;
    Colormap colormap = 0;
    Window window = 0;
    GLXContext context = nullptr;
};

namespace {

std::string statusText = "not created";
bool missingDisplay = false;

// Xlib's default error handler exits the process; a test run must report
// the failure instead. Only used while the context is being created.
int lastXError = 0;
int recordXError(Display*, XErrorEvent* e)
{
    lastXError = e->error_code;
    return 0;
}

bool createNative(kgiGLContext::Native& n)
{
    n.display = kgiOpenDisplayRetrying([] { return XOpenDisplay(nullptr); });
    if (!n.display) {
        missingDisplay = true;
        const char* name = std::getenv("DISPLAY");
        statusText = name ? std::string("cannot open X display \"") + name + "\""
                          : std::string("no X display (DISPLAY is not set; run under xvfb-run)");
        return false;
    }
    int errorBase = 0, eventBase = 0;
    if (!glXQueryExtension(n.display, &errorBase, &eventBase)) {
        statusText = "the X display has no GLX extension";
        return false;
    }
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                        GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = glXChooseVisual(n.display, DefaultScreen(n.display), attributes);
    if (!visual) {
        statusText = "no double-buffered RGB visual with a depth buffer";
        return false;
    }
    Window root = RootWindow(n.display, visual->screen);
    n.colormap = XCreateColormap(n.display, root, visual->visual, AllocNone);
    XSetWindowAttributes wa{};
    wa.colormap = n.colormap;
    wa.border_pixel = 0;
    // No window manager should move or decorate it: the whole drawable must
    // stay visible for the pixel-ownership test.
    wa.override_redirect = True;
    wa.event_mask = StructureNotifyMask;
    n.window = XCreateWindow(n.display, root, 0, 0, kgiGLContext::WIDTH, kgiGLContext::HEIGHT, 0,
                             visual->depth, InputOutput, visual->visual,
                             CWColormap | CWBorderPixel | CWOverrideRedirect | CWEventMask, &wa);
    XMapWindow(n.display, n.window);
    for (XEvent e;;) {
        XNextEvent(n.display, &e);
        if (e.type == MapNotify && e.xmap.window == n.window)
            break;
    }
    // The legacy entry point gives a compatibility-profile context, the one
    // the program's immediate-mode drawing needs.
    auto* previous = XSetErrorHandler(recordXError);
    lastXError = 0;
    n.context = glXCreateContext(n.display, visual, nullptr, True);
    XSync(n.display, False);
    XSetErrorHandler(previous);
    XFree(visual);
    if (!n.context || lastXError) {
        statusText = "glXCreateContext failed";
        n.context = nullptr;
        return false;
    }
    if (!glXMakeCurrent(n.display, n.window, n.context)) {
        statusText = "glXMakeCurrent failed";
        return false;
    }
    statusText = std::string("ok: ") + reinterpret_cast<const char*>(glGetString(GL_RENDERER)) +
                 ", OpenGL " + reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return true;
}

void destroyNative(kgiGLContext::Native& n)
{
    if (!n.display)
        return;
    if (n.context) {
        glXMakeCurrent(n.display, None, nullptr);
        glXDestroyContext(n.display, n.context);
    }
    if (n.window)
        XDestroyWindow(n.display, n.window);
    if (n.colormap)
        XFreeColormap(n.display, n.colormap);
    XCloseDisplay(n.display);
    n = kgiGLContext::Native{};
}

} // namespace

kgiGLContext* kgiGLContext::shared()
{
    // Built once: a failed attempt is not retried, every test of the
    // process sees the same outcome. Deliberately never destroyed: closing
    // the display at exit unloads the GL driver before the leak checker
    // runs, and the driver's own allocations then show up as leaks of an
    // unknown module that no suppression can name.
    static kgiGLContext* instance = [] {
        auto* n = new Native;
        if (createNative(*n))
            return new kgiGLContext(n);
        destroyNative(*n);
        delete n;
        return static_cast<kgiGLContext*>(nullptr);
    }();
    return instance;
}

bool kgiGLContext::noDisplay()
{
    shared();
    return missingDisplay;
}

const std::string& kgiGLContext::status()
{
    shared();
    return statusText;
}

bool kgiGLContext::makeCurrent()
{
    return glXMakeCurrent(native->display, native->window, native->context);
}

std::vector<GLenum> kgiGLTest::glErrors()
{
    std::vector<GLenum> errors;
    // A lost context repeats its error forever; 32 is far more than any
    // sequence of real calls can queue.
    for (GLenum e; errors.size() < 32 && (e = glGetError()) != GL_NO_ERROR;)
        errors.push_back(e);
    return errors;
}

std::array<unsigned char, 4> kgiGLTest::readPixel(int x, int y)
{
    std::array<unsigned char, 4> rgba{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

std::vector<unsigned char> kgiGLTest::readPixels(int x, int y, int width, int height)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

namespace {

const GLenum MATRIX_MODES[] = {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW};
const GLenum MATRIX_DEPTHS[] = {GL_PROJECTION_STACK_DEPTH, GL_TEXTURE_STACK_DEPTH,
                                GL_MODELVIEW_STACK_DEPTH};

GLint integer(GLenum name)
{
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v;
}

} // namespace

void kgiGLTest::SetUp()
{
    kgiGLContext* gl = kgiGLContext::shared();
    if (!gl) {
        if (kgiGLContext::noDisplay() && !kgiTestEnvRequired())
            GTEST_SKIP() << kgiGLContext::status();
        FAIL() << "no OpenGL context: " << kgiGLContext::status();
    }
    ASSERT_TRUE(gl->makeCurrent());
    glErrors();
    // Saved here and popped in TearDown: the state between tests is always
    // the context's initial state, plus the viewport and clear set below.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (GLenum mode : MATRIX_MODES) {
        glMatrixMode(mode);
        glPushMatrix();
        glLoadIdentity();
    }
    glViewport(0, 0, WIDTH, HEIGHT);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ASSERT_TRUE(glErrors().empty()) << "the harness itself raised a GL error";
    active = true;
}

void kgiGLTest::TearDown()
{
    if (!active)
        return;
    active = false;
    EXPECT_TRUE(glErrors().empty()) << "the test left a GL error pending";
    EXPECT_EQ(integer(GL_ATTRIB_STACK_DEPTH), 1) << "unbalanced glPushAttrib/glPopAttrib";
    EXPECT_EQ(integer(GL_CLIENT_ATTRIB_STACK_DEPTH), 1) << "unbalanced client attribute stack";
    for (int i = 0; i < 3; ++i) {
        glMatrixMode(MATRIX_MODES[i]);
        EXPECT_EQ(integer(MATRIX_DEPTHS[i]), 2) << "unbalanced matrix stack " << i;
        while (integer(MATRIX_DEPTHS[i]) > 1)
            glPopMatrix();
    }
    while (integer(GL_CLIENT_ATTRIB_STACK_DEPTH) > 0)
        glPopClientAttrib();
    while (integer(GL_ATTRIB_STACK_DEPTH) > 0)
        glPopAttrib();
    glErrors();
}
