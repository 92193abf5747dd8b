// Light, material and fog as OpenGL sees them after set(), and the drawing
// of meshes and boxes, in the shared test context.
#include "kgcAxisAlignedBox.h"
#include "kgcFog.h"
#include "kgcLight.h"
#include "kgcMaterial.h"
#include "kgcMesh.h"
#include "support/gl/kgiGLTest.h"

#include <array>

namespace {

using Floats = std::array<float, 4>;

Floats lightValue(GLenum light, GLenum name)
{
    Floats v{-9, -9, -9, -9};
    glGetLightfv(light, name, v.data());
    return v;
}

Floats materialValue(GLenum name)
{
    Floats v{-9, -9, -9, -9};
    glGetMaterialfv(GL_FRONT, name, v.data());
    return v;
}

Floats current(GLenum name)
{
    Floats v{-9, -9, -9, -9};
    glGetFloatv(name, v.data());
    return v;
}

} // namespace

using kgcLightGL = kgiGLTest;

TEST_F(kgcLightGL, SetIssuesEveryValueAndEnablesTheLight)
{
    const float pos[3] = {1, 2, 3}, diff[4] = {0.5f, 0.4f, 0.3f, 1}, amb[4] = {0.1f, 0.2f, 0.3f, 1},
                spc[4] = {0.7f, 0.7f, 0.7f, 1}, att[3] = {2, 0.5f, 0.25f};
    kgcLight light(kgcLight::POINT, pos, diff, amb, spc, att);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(10, 0, 0); // the position is placed by the current model-view
    light.set(GL_LIGHT2);

    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    EXPECT_EQ(lightValue(GL_LIGHT2, GL_POSITION), (Floats{11, 2, 3, 1}));
    EXPECT_EQ(lightValue(GL_LIGHT2, GL_DIFFUSE), (Floats{0.5f, 0.4f, 0.3f, 1}));
    EXPECT_EQ(lightValue(GL_LIGHT2, GL_AMBIENT), (Floats{0.1f, 0.2f, 0.3f, 1}));
    EXPECT_EQ(lightValue(GL_LIGHT2, GL_SPECULAR), (Floats{0.7f, 0.7f, 0.7f, 1}));
    EXPECT_EQ(lightValue(GL_LIGHT2, GL_CONSTANT_ATTENUATION)[0], 2);
    EXPECT_EQ(lightValue(GL_LIGHT2, GL_LINEAR_ATTENUATION)[0], 0.5f);
    EXPECT_EQ(lightValue(GL_LIGHT2, GL_QUADRATIC_ATTENUATION)[0], 0.25f);
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(kgcLightGL, SpotValuesGoOutForASpotlightOnly)
{
    const float down[3] = {0, -1, 0};
    // A type outside the three acts as a point light.
    for (kgcLight::Type type : {kgcLight::POINT, kgcLight::DIRECTIONAL, kgcLight::SPOT,
                                static_cast<kgcLight::Type>(5)}) {
        kgcLight light(type);
        light.setCutOff(30);
        light.setExponent(4);
        light.setDirection(down);
        glLightf(GL_LIGHT1, GL_SPOT_CUTOFF, 180); // the default, put back each round
        glLightf(GL_LIGHT1, GL_SPOT_EXPONENT, 0);
        light.set(GL_LIGHT1);
        const bool spot = type == kgcLight::SPOT;
        EXPECT_EQ(lightValue(GL_LIGHT1, GL_SPOT_CUTOFF)[0], spot ? 30 : 180) << type;
        EXPECT_EQ(lightValue(GL_LIGHT1, GL_SPOT_EXPONENT)[0], spot ? 4 : 0) << type;
        EXPECT_EQ(lightValue(GL_LIGHT1, GL_POSITION)[3], type == kgcLight::DIRECTIONAL ? 0 : 1);
    }
    EXPECT_EQ(lightValue(GL_LIGHT1, GL_SPOT_DIRECTION)[1], -1);
    EXPECT_TRUE(glErrors().empty());
}

TEST(kgcLight, TypeOwnsPositionWAndSettersRaiseTheirBits)
{
    kgcLight light(kgcLight::DIRECTIONAL);
    EXPECT_EQ(light.getUpdateFlags(), 0xFFFFFFFFu);
    light.setUpdateFlags(0);
    const float xyz[3] = {4, 5, 6};
    light.setPosition(xyz);
    light.setCutOff(10);
    EXPECT_EQ(light.getUpdateFlags(),
              unsigned(kgcLight::UPDATE_POSITION | kgcLight::UPDATE_SPOT_CUTOFF));
    light.setType(kgcLight::POINT);
    EXPECT_EQ(light.getUpdateFlags(),
              unsigned(kgcLight::UPDATE_POSITION | kgcLight::UPDATE_SPOT_CUTOFF));
    light.forceUpdate();
    EXPECT_EQ(light.getUpdateFlags(), 65535u);
    float out[3];
    light.getPosition(out);
    EXPECT_EQ(out[2], 6);
}

using kgcMaterialGL = kgiGLTest;

TEST_F(kgcMaterialGL, InverseDiffuseIsTheScaledComplement)
{
    struct Case { Floats diffuse; Floats inverse; };
    const Case cases[] = {
        {{0.6f, 0.6f, 0.6f, 1}, {1, 1, 1, 1}},
        {{1, 0, 0, 0.5f}, {0, 1, 1, 0.5f}},
        {{1, 1, 1, 0.3f}, {0, 0, 0, 0.3f}},
        {{0, 0, 0, 1}, {1, 1, 1, 1}},
        {{0.2f, 0.5f, 0.8f, 1}, {1, 0.625f, 0.25f, 1}},
    };
    for (const Case& c : cases) {
        kgcMaterial m;
        m.setDiffuse(c.diffuse[0], c.diffuse[1], c.diffuse[2], c.diffuse[3]);
        m.set();
        EXPECT_EQ(materialValue(GL_DIFFUSE), c.diffuse);
        m.inverse(true);
        m.set();
        const Floats inv = materialValue(GL_DIFFUSE);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(inv[i], c.inverse[i], 1e-6f) << c.diffuse[0] << " component " << i;
    }
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(kgcMaterialGL, AlphaAndAssignmentRules)
{
    kgcMaterial m(0.2f, 0.4f, 0.6f, 1, 0.1f, 0.1f, 0.1f, 1, 0.9f, 0.9f, 0.9f, 1, 20);
    for (float ignored : {1.5f, -0.1f, 1.0f}) // out of range, or the current alpha
        m.setAlpha(ignored);
    m.setAlpha(0.25f);
    m.set();
    EXPECT_EQ(materialValue(GL_DIFFUSE)[3], 0.25f);
    EXPECT_EQ(materialValue(GL_AMBIENT)[3], 0.25f);
    EXPECT_EQ(materialValue(GL_SPECULAR), (Floats{0.9f, 0.9f, 0.9f, 0.25f}));
    EXPECT_EQ(materialValue(GL_SHININESS)[0], 20);

    kgcMaterial highlight;
    highlight.inverse(true);
    highlight = m; // keeps its own switch
    EXPECT_EQ(highlight, m);
    highlight.set();
    EXPECT_NE(materialValue(GL_DIFFUSE)[0], 0.2f) << "the inverted colour is drawn";
    kgcMaterial copy(highlight);
    copy.inverse(false);
    EXPECT_EQ(copy, highlight) << "the switch is not compared";
    copy.setShininess(21);
    EXPECT_NE(copy, highlight);
    EXPECT_TRUE(glErrors().empty());
}

using kgcFogGL = kgiGLTest;

TEST_F(kgcFogGL, SetIssuesParametersWithoutEnabling)
{
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1};
    kgcFog fog(2, 20, 0.3f, grey, GL_LINEAR);
    fog.set();
    GLint mode = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    EXPECT_EQ(mode, GL_LINEAR);
    EXPECT_EQ(current(GL_FOG_START)[0], 2);
    EXPECT_EQ(current(GL_FOG_END)[0], 20);
    EXPECT_EQ(current(GL_FOG_DENSITY)[0], 0.3f);
    EXPECT_EQ(current(GL_FOG_COLOR), (Floats{0.5f, 0.5f, 0.5f, 1}));
    EXPECT_FALSE(glIsEnabled(GL_FOG));

    kgcFog other = fog;
    EXPECT_EQ(other, fog);
    other.setMode(GL_EXP);
    EXPECT_NE(other, fog);
    EXPECT_EQ(kgcFog().getMode(), unsigned(GL_EXP));
    EXPECT_TRUE(glErrors().empty());
}

using kgcMeshGL = kgiGLTest;

TEST_F(kgcMeshGL, RenderSendsStoredNormalsOnlyAndDrawsTheFaces)
{
    // A square in z = 0 facing +z: two faces, the second without a stored
    // normal, which must keep the first face's normal current.
    kgcMesh m;
    m.begin(4, 2, 2);
    for (auto [x, y] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
        m.addVertex(float(x), float(y), 0);
    m.addNormal(0, 0, 1);
    m.addNormal(1, 0, 0);
    m.addFace(0, 1, 2, 0);
    m.addFace(0, 2, 3, -1);
    ASSERT_TRUE(m.end());
    glColor3f(0, 1, 0);
    m.render();
    EXPECT_EQ(current(GL_CURRENT_NORMAL), (Floats{0, 0, 1, -9}));
    EXPECT_EQ(readPixel(WIDTH / 2, HEIGHT / 2)[1], 255) << "the square covers the view";
    EXPECT_EQ(readPixel(2, HEIGHT - 2)[1], 255);

    // Per-vertex normals: the last vertex drawn leaves its own normal.
    kgcMesh v;
    v.begin(3, 3, 1);
    v.addVertex(0, 0, 0);
    v.addVertex(1, 0, 0);
    v.addVertex(0, 1, 0);
    v.addNormal(1, 0, 0);
    v.addNormal(0, 1, 0);
    v.addNormal(0, 0, -1);
    v.addFace(0, 1, 2, 1);
    v.end();
    v.render();
    EXPECT_EQ(current(GL_CURRENT_NORMAL), (Floats{0, 0, -1, -9}));
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(kgcMeshGL, RenderSkipsFacesOutsideTheArrays)
{
    // An incomplete fill leaves a face slot that names normal 0 of a mesh
    // without normals: nothing of it may be sent.
    kgcMesh m;
    m.begin(4, 0, 2);
    for (auto [x, y] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
        m.addVertex(float(x), float(y), 0);
    m.addFace(0, 1, 2, -1);
    EXPECT_FALSE(m.end());
    glNormal3f(0, 1, 0);
    glColor3f(0, 1, 0);
    m.render();
    EXPECT_EQ(current(GL_CURRENT_NORMAL), (Floats{0, 1, 0, -9}));
    EXPECT_EQ(readPixel(WIDTH - 2, 2)[1], 255) << "the filled face is drawn";
    EXPECT_EQ(readPixel(2, HEIGHT - 2)[1], 0) << "the unfilled one is not";
    EXPECT_TRUE(glErrors().empty());
}

using kgcBoxGL = kgiGLTest;

TEST_F(kgcBoxGL, DrawRestoresLightingAsFound)
{
    kgcAxisAlignedBox b;
    b.fromMinMax({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f});
    b.setColor(1, 0, 0);
    for (bool lit : {false, true}) {
        if (lit)
            glEnable(GL_LIGHTING);
        else
            glDisable(GL_LIGHTING);
        b.draw();
        EXPECT_EQ(glIsEnabled(GL_LIGHTING), lit ? GL_TRUE : GL_FALSE);
    }
    EXPECT_EQ(current(GL_CURRENT_COLOR), (Floats{1, 0, 0, 1}));
    // The front square's edge at x = 0.5 is a red line through the view.
    const int column = int((0.5f + 1) / 2 * WIDTH) - 1;
    bool red = false;
    for (int dx = 0; dx < 3; ++dx)
        red = red || readPixel(column + dx, HEIGHT / 2)[0] == 255;
    EXPECT_TRUE(red);
    EXPECT_EQ(readPixel(WIDTH / 2, HEIGHT / 2)[0], 0) << "wire frame only";
    EXPECT_TRUE(glErrors().empty());
}
