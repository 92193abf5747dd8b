// The harness's own promises: a compatibility context that draws in
// immediate mode, pixels that can be read back, and tests that cannot see
// each other's state.
#include "support/gl/kgiGLTest.h"

#include <GL/glu.h>

#include <cstring>

TEST_F(kgiGLTest, ContextIsCompatibilityProfileWithImmediateMode)
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_NE(version, nullptr);
    GLint mask = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &mask);
    glErrors(); // the query itself is an error before OpenGL 3.2
    EXPECT_EQ(mask & GL_CONTEXT_CORE_PROFILE_BIT, 0) << version;

    // Fixed-function state exists and starts at its documented default.
    GLfloat diffuse[4] = {};
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    EXPECT_EQ(diffuse[0], 1.0f);
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), GL_FALSE);
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(kgiGLTest, DrawsAndReadsBackPixels)
{
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    gluOrtho2D(0, WIDTH, 0, HEIGHT);
    glMatrixMode(GL_MODELVIEW);
    glColor3f(1, 0, 0);
    glBegin(GL_TRIANGLES); // covers the lower left half only
    glVertex2f(0, 0);
    glVertex2f(WIDTH, 0);
    glVertex2f(0, HEIGHT);
    glEnd();

    auto red = readPixel(2, 2);
    auto blue = readPixel(WIDTH - 2, HEIGHT - 2);
    EXPECT_EQ(red[0], 255);
    EXPECT_EQ(red[2], 0);
    EXPECT_EQ(blue[0], 0);
    EXPECT_EQ(blue[2], 255);
    auto all = readPixels(0, 0, WIDTH, HEIGHT);
    ASSERT_EQ(all.size(), size_t(WIDTH * HEIGHT * 4));
    EXPECT_EQ(std::memcmp(all.data() + 4 * (2 * WIDTH + 2), red.data(), 4), 0);
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(kgiGLTest, StateAndMatricesDoNotLeakIntoTheNextTest)
{
    // Within one process the next test runs on this same context.
    glEnable(GL_LIGHTING);
    GLfloat red[4] = {1, 0, 0, 1};
    glLightfv(GL_LIGHT3, GL_AMBIENT, red);
    glMatrixMode(GL_PROJECTION);
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_MODELVIEW);
    glRotatef(30, 0, 0, 1);
    glViewport(0, 0, 5, 5);

    TearDown();
    SetUp();

    EXPECT_EQ(glIsEnabled(GL_LIGHTING), GL_FALSE);
    GLfloat ambient[4] = {};
    glGetLightfv(GL_LIGHT3, GL_AMBIENT, ambient);
    EXPECT_EQ(ambient[0], 0.0f);
    for (GLenum which : {GL_PROJECTION_MATRIX, GL_MODELVIEW_MATRIX}) {
        GLfloat m[16];
        glGetFloatv(which, m);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << which << " " << i;
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], WIDTH);
}

TEST_F(kgiGLTest, ReportsAndClearsGLErrors)
{
    glLineWidth(-1);
    auto errors = glErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], GLenum(GL_INVALID_VALUE));
    EXPECT_TRUE(glErrors().empty());
}
