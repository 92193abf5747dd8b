// Rendering through a visual state: the recursive render and the render
// visitors draw the same meshes with the same matrices and leave the
// matrix and state stacks as they found them.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "support/gl/kgiGLTest.h"
#include "kgcMesh.h"
#include "ksgModel.h"
#include "ksgState.h"
#include "ksgTransform.h"
#include "ksgVisitor.h"
#include "ksgVisualState.h"
#include "tree_test_util.h"

using ksgtest::matrixNear;
using ksgtest::product;
using ksgtest::rotation;
using ksgtest::translation;

namespace {

struct Draw {
    kmlMatrix4 modelView;
    bool blend;
};

// A mesh that records the model-view matrix and the blend switch it is
// drawn with instead of drawing.
class SpyMesh : public kgcMesh {
public:
    explicit SpyMesh(std::vector<Draw>* draws) : draws(draws) {}
    void render() const override
    {
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        draws->push_back(Draw{kmlMatrix4(m), glIsEnabled(GL_BLEND) == GL_TRUE});
    }

private:
    std::vector<Draw>* draws;
};

class TreeRender : public kgiGLTest {
protected:
    // root (transform with a blending state)
    //   shown model
    //   joint (transform)
    //     hidden model
    //       shown model
    void SetUp() override
    {
        kgiGLTest::SetUp();
        root.setOffset(o1);
        root.setLocal(l1);
        ksgState* blend = new ksgState;
        blend->setMode(GL_BLEND, true);
        root.setState(blend);
        ksgModel* first = model();
        root.attachChild(first);
        ksgTransform* joint = new ksgTransform;
        root.attachChild(joint);
        joint->setOffset(o2);
        joint->setLocal(l2);
        ksgModel* hidden = model();
        hidden->hide();
        joint->attachChild(hidden);
        hidden->attachChild(model());
        root.update(0, false, true);
    }

    ksgModel* model()
    {
        ksgModel* m = new ksgModel;
        m->setMesh(new SpyMesh(&draws));
        return m;
    }

    static GLint modelViewDepth()
    {
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        return depth;
    }

    void expectDrawsAndBalance(ksgVisualState& vs, GLint depthBefore)
    {
        ASSERT_EQ(draws.size(), 2u) << "the hidden model's mesh is not drawn, its child's is";
        EXPECT_TRUE(matrixNear(draws[0].modelView, product(o1, l1)));
        EXPECT_TRUE(matrixNear(draws[1].modelView, product(product(o1, l1), product(o2, l2))));
        EXPECT_TRUE(draws[0].blend && draws[1].blend) << "the root's state is in force below it";
        EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "and restored afterwards";
        EXPECT_FALSE(vs.popState()) << "no state left on the stack";
        EXPECT_EQ(modelViewDepth(), depthBefore);
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_TRUE(matrixNear(kmlMatrix4(m), kmlMatrix4()));
    }

    const kmlMatrix4 o1 = translation(0, 1, 0);
    const kmlMatrix4 l1 = rotation(30, 0, 0, 1);
    const kmlMatrix4 o2 = translation(2, 0, 0);
    const kmlMatrix4 l2 = rotation(-60, 1, 0, 0);
    std::vector<Draw> draws;
    ksgTransform root;
};

TEST_F(TreeRender, RecursiveRenderNestsStateThenMatrix)
{
    ksgVisualState vs;
    GLint depth = modelViewDepth();
    root.render(vs);
    expectDrawsAndBalance(vs, depth);
}

TEST_F(TreeRender, RenderVisitorsMatchTheRecursiveRender)
{
    ksgVisualState vs;
    ksgRenderEnter enter(vs);
    ksgRenderLeave leave(vs);
    GLint depth = modelViewDepth();
    EXPECT_TRUE(root.depthVisit(enter, leave));
    expectDrawsAndBalance(vs, depth);
}

} // namespace
