#pragma once
// A real OpenGL context for tests: compatibility profile, legacy immediate
// mode available, rendered by Mesa into a small X window.
//
// Derive a fixture from kgiGLTest (or use it directly with TEST_F) and label
// the test executable "gl". Every test starts from the default GL state with
// identity matrices and a WIDTH x HEIGHT viewport; whatever the test changes
// is put back when it ends, so tests sharing the one context of the process
// cannot see each other. Check state with glGet* and pixels with
// readPixel/readPixels.
//
// When no X display can be opened at all, the test is skipped, except under
// ./test (see support/kgiTestEnv.h), where it fails with the reason. A display
// without a usable GLX visual or context is a broken environment and fails.

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

// The process's one context. Created on first use, kept until the process ends.
class kgiGLContext
{
public:
    // Size of the drawable in pixels.
    static constexpr int WIDTH = 64;
    static constexpr int HEIGHT = 64;

    // The shared context, created on the first call. Returns null when it
    // could not be created; status() then says why and noDisplay() whether
    // the reason is a missing display (skip outside ./test) or a broken GL
    // (fail).
    static kgiGLContext* shared();
    static bool noDisplay();
    static const std::string& status();

    // Makes the context current on the calling thread.
    bool makeCurrent();

    kgiGLContext(const kgiGLContext&) = delete;
    kgiGLContext& operator=(const kgiGLContext&) = delete;

    // X display, window and GLX context; declared here to keep Xlib (and
    // its macros) out of every test that includes this header.
    struct Native;

private:
    explicit kgiGLContext(Native* native) : native(native) {}
    Native* native;
};

class kgiGLTest : public ::testing::Test
{
public:
    static constexpr int WIDTH = kgiGLContext::WIDTH;
    static constexpr int HEIGHT = kgiGLContext::HEIGHT;

    // The GL errors raised since the last call (Mesa keeps only the first
    // until it is read); empties the error flags. A test that expects none
    // says EXPECT_TRUE(glErrors().empty()).
    static std::vector<GLenum> glErrors();

    // RGBA bytes of one pixel, (0, 0) the lower left corner. Reads the
    // buffer that glReadBuffer names (the back buffer by default), so read
    // before any buffer swap.
    static std::array<unsigned char, 4> readPixel(int x, int y);
    // RGBA bytes of a rectangle, rows bottom to top.
    static std::vector<unsigned char> readPixels(int x, int y, int width, int height);

protected:
    // Skips without a display (fails under ./test), fails without GL; then saves all attribute
    // groups and the three matrix stacks so TearDown can put them back.
    void SetUp() override;
    // Fails a test that left an attribute or matrix stack unbalanced or a GL
    // error pending, then restores the state SetUp saved.
    void TearDown() override;

private:
    bool active = false;
};
