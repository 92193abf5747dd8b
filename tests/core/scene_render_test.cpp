#include "kgiScene.h"
#include "kgiSceneCogMarkers.h"
#include "kgiSceneNodeGroup.h"

#include "support/gl/kgiGLTest.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "kgcBoxMesh.h"
#include "kgiCharacter.h"
#include "kgiCollisionCheckParts.h"
#include "kgiKmdData.h"
#include "kgiWorld.h"
#include "kgcMaterial.h"
#include "ksgModel.h"
#include "ksgStateParam.h"
#include "ksgTransform.h"
#include "ksgVisualState.h"

namespace {

class SceneGL : public kgiGLTest {
protected:
    void SetUp() override
    {
        kgiGLTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glOrtho(-4, 4, -4, 4, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
    }
    // Window pixel of a point of the x-y plane (8 pixels per unit).
    static std::array<unsigned char, 4> at(float x, float y)
    {
        return readPixel(int(32 + x * 8), int(32 + y * 8));
    }
};

TEST_F(SceneGL, NewSceneDrawsOnlyItsRoots)
{
    kgiScene scene;
    EXPECT_EQ(scene.getListId(), 1000);
    EXPECT_FALSE(scene.getDrawList());
    EXPECT_FALSE(scene.getDrawNodeExtras());
    EXPECT_FALSE(scene.getDrawSelection());

    ksgTransform root;
    ksgModel* cube = new ksgModel;
    cube->setMesh(new kgcBoxMesh(2.0f));
    root.attachChild(cube);
    scene.addRoot(&root);

    // List 1000 drawn at x = 3, but switched off.
    glNewList(1000, GL_COMPILE);
    glRectf(-0.5f, -0.5f, 0.5f, 0.5f);
    glEndList();
    kmlMatrix4 m;
    m.setTranslation(kmlVec3(3, 0, 0));
    scene.setMatrix(m);
    {
        ksgVisualState vs;
        scene.render(vs);
    }
    EXPECT_EQ(at(0, 0)[0], 255) << "the root's cube";
    EXPECT_EQ(at(3, 0)[0], 0) << "the list is off";

    scene.setDrawList(true);
    {
        ksgVisualState vs;
        scene.render(vs);
    }
    EXPECT_EQ(at(3, 0)[0], 255) << "the list under the scene's matrix";
    glDeleteLists(1000, 1);
    scene.remRoot(&root);
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(SceneGL, UndefinedListDrawsNothing)
{
    kgiScene scene;
    scene.setDrawList(true);
    scene.setDrawNodeExtras(true);
    {
        ksgVisualState vs;
        scene.render(vs);
    }
    const std::vector<unsigned char> px = readPixels(0, 0, WIDTH, HEIGHT);
    for (size_t i = 0; i < px.size(); i += 4)
        ASSERT_EQ(px[i], 0) << "pixel " << i / 4;
    EXPECT_TRUE(glErrors().empty());
}

struct CentreAt : kgiPartTable {
    kmlVec3 centre;
    bool known = true;
    bool computeCenterOfGravity(kgiCharacter*, kmlVec3& c) override
    {
        c = centre;
        return known;
    }
    bool checkPartCollisions(kgiCharacter*, unsigned char*) override { return false; }
    void clearCollisionHits(kgiCharacter*) override {}
};

TEST(CogMarker, SitsBelowTheCentreOfGravityAndKeepsItsPlaceWhenUnknown)
{
    kgiCharacter character;
    CentreAt parts;
    parts.centre = kmlVec3(1, 2, 3);
    kgiPartTable::install(&parts);
    kgiCogMarkers* markers = kgiCogMarkers::instance();
    ksgTransform* marker = markers->getMarker(&character);
    ASSERT_NE(marker, nullptr);
    EXPECT_TRUE(marker->isFkIgnored());
    EXPECT_TRUE(marker->isIkIgnored());
    ASSERT_NE(marker->getChild(), nullptr);
    EXPECT_NE(marker->getChild()->asModel(), nullptr);
    auto place = [&] {
        const kmlMatrix4 w = marker->getWorld();
        return kmlVec3(w(0, 3), w(1, 3), w(2, 3));
    };
    EXPECT_EQ(place(), kmlVec3(1, -0.5f, 3));

    parts.centre = kmlVec3(std::numeric_limits<float>::quiet_NaN(), 0, 0);
    EXPECT_EQ(markers->getMarker(&character), marker) << "one marker per character";
    EXPECT_EQ(place(), kmlVec3(1, -0.5f, 3));
    parts.known = false;
    markers->getMarker(&character);
    kgiPartTable::install(nullptr);
    markers->getMarker(&character);
    EXPECT_EQ(place(), kmlVec3(1, -0.5f, 3));
    EXPECT_EQ(markers->getMarker(nullptr), nullptr);
}

TEST_F(SceneGL, CogMarkerIsDrawnBelowTheCurrentCharactersCentreOnly)
{
    kgiWorld* world = kgiWorld::instance();
    const int id = world->createCharacter();
    ASSERT_GE(id, 0);
    CentreAt parts;
    parts.centre = kmlVec3(2, 3, 0);
    kgiPartTable::install(&parts);
    kgiScene scene;
    scene.setDrawSelection(true);
    ksgTransform root;  // the marker is drawn after each root
    scene.addRoot(&root);

    // Lit pixels of the view as a box of plane coordinates; false when none.
    struct Lit {
        bool any = false;
        float minX = 0, maxX = 0, minY = 0, maxY = 0;
    };
    auto render = [&] {
        glClear(GL_COLOR_BUFFER_BIT);
        {
            ksgVisualState vs;
            scene.render(vs);
        }
        const std::vector<unsigned char> px = readPixels(0, 0, WIDTH, HEIGHT);
        Lit lit;
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x) {
                const unsigned char* p = &px[size_t(y * WIDTH + x) * 4];
                if (p[0] + p[1] + p[2] == 0)
                    continue;
                const float px0 = (x - 32) / 8.0f, px1 = (x + 1 - 32) / 8.0f;
                const float py0 = (y - 32) / 8.0f, py1 = (y + 1 - 32) / 8.0f;
                if (!lit.any) {
                    lit = {true, px0, px1, py0, py1};
                    continue;
                }
                lit.minX = std::min(lit.minX, px0);
                lit.maxX = std::max(lit.maxX, px1);
                lit.minY = std::min(lit.minY, py0);
                lit.maxY = std::max(lit.maxY, py1);
            }
        return lit;
    };

    world->setCurrentCharacter(-1);
    EXPECT_FALSE(render().any) << "no current character, no cone";

    world->setCurrentCharacter(id);
    const Lit lit = render();
    ASSERT_TRUE(lit.any) << "the cone";
    // Within the cone's half-unit radius of the centre's x, and between the
    // marker's height and the floor.
    EXPECT_GE(lit.minX, 1.5f - 0.125f);
    EXPECT_LE(lit.maxX, 2.5f + 0.125f);
    EXPECT_GE(lit.minY, -0.5f - 0.125f);
    EXPECT_LE(lit.maxY, 0.0f + 0.125f);

    scene.remRoot(&root);
    kgiPartTable::install(nullptr);
    world->removeCharacter(id);
    EXPECT_TRUE(glErrors().empty());
}

std::unique_ptr<ksgTransform> nodeOfType(int type)
{
    std::unique_ptr<ksgTransform> n(new ksgTransform);
    kgiKmdData* d = new kgiKmdData;
    n->setData(d);
    d->setType(type);
    return n;
}

TEST(NodeGroup, AcceptsOnlyModelNodesThatMove)
{
    kgiNodeGroup group("test");
    ksgTransform bare;
    EXPECT_FALSE(group.accept(nullptr));
    EXPECT_FALSE(group.accept(&bare));
    EXPECT_FALSE(group.accept(nodeOfType(kgiKmdData::PART).get()));
    EXPECT_TRUE(group.accept(nodeOfType(kgiKmdData::FREE_JOINT).get()));
    EXPECT_TRUE(group.accept(nodeOfType(kgiKmdData::ROOT).get()));
    EXPECT_EQ(kgiNodeGroup::ccdGroup().getName(), "ccdGroup");
}

TEST(NodeGroup, MarkNodesReachesMeshPartsButNotOtherJoints)
{
    std::unique_ptr<ksgTransform> joint = nodeOfType(kgiKmdData::HINGE);
    std::unique_ptr<ksgTransform> part = nodeOfType(kgiKmdData::PART);
    std::unique_ptr<ksgTransform> next = nodeOfType(kgiKmdData::HINGE);
    ksgTransform* partPtr = part.get();
    ksgTransform* nextPtr = next.get();
    joint->attachChild(part.release());
    joint->attachChild(next.release());

    kgiNodeGroup group("test");
    group.addNode(joint.get());
    ASSERT_EQ(group.getNumNodes(), 1u);
    group.markNodes(true);
    EXPECT_TRUE(kgiKmdData::of(joint.get())->isGrouped());
    EXPECT_TRUE(kgiKmdData::of(partPtr)->isGrouped());
    EXPECT_FALSE(kgiKmdData::of(nextPtr)->isGrouped());
    group.markNodes(false);
    EXPECT_FALSE(kgiKmdData::of(joint.get())->isGrouped());
}

TEST(NodeGroup, MarkNodesStopsBelowTheSecondMeshPartLevel)
{
    // A mesh part shows its joint's group state, so what tells the levels
    // apart is whose material was chosen again: each level draws with its
    // own material until marking reaches it.
    static kgcMaterial groupMaterial;
    if (!kgiKmdData::getSlotMaterial(kgiKmdData::GROUP))
        kgiKmdData::setGroupMaterial(&groupMaterial);
    kgcMaterial own;
    ksgMaterialParam params[3];
    std::unique_ptr<ksgTransform> joint = nodeOfType(kgiKmdData::HINGE);
    ksgTransform* parent = joint.get();
    for (ksgMaterialParam& param : params) {
        ksgTransform* level = nodeOfType(kgiKmdData::PART).release();
        parent->attachChild(level);
        param.setMaterial(&own);
        kgiKmdData::of(level)->setMaterialParam(&param);
        parent = level;
    }
    kgiNodeGroup group("test");
    group.addNode(joint.get());
    group.markNodes(true);
    EXPECT_TRUE(kgiKmdData::of(joint.get())->isGrouped());
    const kgcMaterial* grouped = kgiKmdData::getSlotMaterial(kgiKmdData::GROUP);
    EXPECT_EQ(params[0].getMaterial(), grouped);
    EXPECT_EQ(params[1].getMaterial(), grouped);
    EXPECT_EQ(params[2].getMaterial(), &own) << "the third level is not reached";
    group.markNodes(false);
    EXPECT_EQ(params[0].getMaterial(), &own);
    EXPECT_EQ(params[1].getMaterial(), &own);
}

} // namespace
