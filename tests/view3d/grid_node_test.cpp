#include "kgiGridNode.h"

#include "support/gl/kgiGLTest.h"

#include <GL/gl.h>

#include <algorithm>

#include "kgcGridMesh.h"
#include "ksgModel.h"
#include "ksgState.h"
#include "ksgVisualState.h"

namespace {

TEST(GridNode, SetSizeActsOnlyOnceBuilt)
{
    kgiGrid grid(10, 6, 1);
    float w = -1, d = -1, s = -1;
    grid.setSize(4, 4, 2);
    grid.getSize(&w, &d, &s);
    EXPECT_EQ(w, -1.0f) << "nothing to read before init";
    EXPECT_EQ(grid.getChild(), nullptr);

    grid.init();
    grid.getSize(&w, &d, &s);
    EXPECT_EQ(w, 10.0f);
    EXPECT_EQ(d, 6.0f);
    EXPECT_EQ(s, 1.0f);

    // Width and depth are counted in cells of the new step, not the old one.
    struct Case {
        float w, d, s;
        float ew, ed;
    };
    const Case cases[] = {{20, 8, 2, 20, 8}, {9, 9, 0.5f, 9, 9}, {7, 5, 2, 6, 4}};
    for (const Case& c : cases) {
        grid.setSize(c.w, c.d, c.s);
        grid.getSize(&w, &d, &s);
        EXPECT_EQ(w, c.ew) << c.w << "/" << c.s;
        EXPECT_EQ(d, c.ed) << c.d << "/" << c.s;
        EXPECT_EQ(s, c.s);
    }
}

TEST(GridNode, InitTwiceKeepsOneModel)
{
    kgiGrid grid(4, 4, 1);
    grid.init();
    grid.init();
    ASSERT_NE(grid.getChild(), nullptr);
    EXPECT_NE(grid.getChild()->asModel(), nullptr);
    EXPECT_EQ(grid.getNumChildren(), 1);
    EXPECT_NE(dynamic_cast<kgcGridMesh*>(grid.getChild()->asModel()->getMesh()), nullptr);
}

class GridNodeGL : public kgiGLTest {};

TEST_F(GridNodeGL, StateDrawsUnlitLinesInItsColourUntilFilled)
{
    kgiGrid grid(4, 4, 1);
    grid.setWireframe(false); // before init: nothing to change
    grid.setColor(1.0f, 0.5f, 0.0f, 1.0f);
    grid.init();
    ksgState* state = grid.getState();
    ASSERT_NE(state, nullptr);

    auto check = [&](bool lines) {
        glEnable(GL_LIGHTING);
        glEnable(GL_CULL_FACE);
        state->apply();
        EXPECT_EQ(glIsEnabled(GL_LIGHTING) == GL_TRUE, !lines);
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
        EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
        GLint mode[2] = {0, 0};
        glGetIntegerv(GL_POLYGON_MODE, mode);
        EXPECT_EQ(GLenum(mode[0]), lines ? GLenum(GL_LINE) : GLenum(GL_FILL));
        EXPECT_EQ(GLenum(mode[1]), lines ? GLenum(GL_LINE) : GLenum(GL_FILL));
        GLint shade = 0;
        glGetIntegerv(GL_SHADE_MODEL, &shade);
        EXPECT_EQ(GLenum(shade), GLenum(GL_FLAT));
        GLfloat c[4];
        glGetFloatv(GL_CURRENT_COLOR, c);
        EXPECT_FLOAT_EQ(c[0], 1.0f);
        EXPECT_FLOAT_EQ(c[1], 0.5f);
        EXPECT_FLOAT_EQ(c[2], 0.0f);
        state->restore();
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
    };
    check(true);
    grid.setWireframe(false);
    check(false);
    grid.setWireframe(true);
    check(true);
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(GridNodeGL, DrawsLinesOnTheFloorPlane)
{
    kgiGrid grid(8, 8, 1);
    grid.setColor(1, 0, 0, 1);
    grid.init();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-4, 4, -4, 4, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glRotatef(90, 1, 0, 0); // look down onto the x-z plane
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    {
        ksgVisualState vs;
        grid.render(vs);
    }
    // 8 pixels per cell: the line x = 0 lies on the border of columns 31
    // and 32; the middle of a cell stays dark.
    const int row = 20;
    EXPECT_EQ(std::max(readPixel(31, row)[0], readPixel(32, row)[0]), 255);
    EXPECT_EQ(readPixel(34, row)[0], 0);
    EXPECT_EQ(readPixel(34, row)[1], 0);
}

} // namespace
