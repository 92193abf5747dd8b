// Scene object model: status word, current scene, data lists, building
// operations, camera angles and the build cache.
#include "kneCacheBuilder.h"
#include "kneCameraAngles.h"
#include "kneScene.h"
#include "kneStatusWord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {
constexpr uint32_t NONE = kneIdTable::NONE;
}

TEST(StatusWord, ErrorsLiveInTheLowHalfAndWarningsInTheHighHalf)
{
    kneScene scene;
    EXPECT_EQ(kneStatusWord::get(), 0u);
    EXPECT_EQ(kneStatusWord::setWarning(26), 26u << 16);
    EXPECT_EQ(kneStatusWord::setError(136), (26u << 16) | 136u);
    EXPECT_EQ(kneStatusWord::setWarning(101), (101u << 16) | 136u);
    EXPECT_EQ(kneStatusWord::error(), 136);
    EXPECT_EQ(kneStatusWord::warning(), 101);
    // While an error is set nothing is created.
    EXPECT_EQ(scene.createObject("x"), nullptr);
    kneScene fresh;
    EXPECT_EQ(kneStatusWord::get(), 0u);
    EXPECT_NE(fresh.createObject("x"), nullptr);
}

TEST(SceneModel, LatestSceneIsCurrentUntilItIsDestroyed)
{
    auto first = std::make_unique<kneScene>();
    kneScene second;
    EXPECT_EQ(kneScene::current(), &second);
    first.reset();
    EXPECT_EQ(kneScene::current(), &second);
    kneSceneObject* o = second.createObject("o");
    EXPECT_EQ(kneScene::findObject(o->getId()), o);
}

TEST(SceneModel, DataListLengthSitsInTheTailAndWalksStopThere)
{
    kneScene scene;
    kneSceneObject* sub = scene.createSubObject("s");
    kneScene::createSubObjectData(sub, kneDataEntry::MODEL_MOTION, 2, 1);
    kneScene::createSubObjectData(sub, kneDataEntry::MESH, 1, 3);
    kneDataEntry last = kneScene::createSubObjectDataFx(sub, kneDataEntry::TEXTURE_LIST_FX, 1);
    EXPECT_EQ(last.getNext(), 3u);
    EXPECT_EQ(sub->getDataCount(), 3u);
    EXPECT_EQ(sub->getDataType(0), kneDataEntry::MODEL_MOTION);
    EXPECT_EQ(sub->getDataType(2), kneDataEntry::TEXTURE_LIST_FX);
    EXPECT_EQ(sub->getDataType(3), 0);
    EXPECT_FALSE(sub->findData(kneDataEntry::CAMERA_MOTION));
    kneDataEntry mesh = sub->findData(kneDataEntry::MESH);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh.getObjId(), sub->getId());
    // Mesh elements start with every handle none.
    uint8_t* e = mesh.elementArray(sub->getTable(), kneMeshElement::SIZE);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(kneMeshElement(e + 24).getSubList().getTail(), NONE);
    EXPECT_TRUE(sub->getDataList().isValid(sub->getTable()));
}

TEST(SceneModel, ALoopingDataListEndsTheWalkInsteadOfHanging)
{
    kneScene scene;
    kneSceneObject* o = scene.createObject("o");
    kneDataEntry a = kneScene::createObjectData(o, kneDataEntry::MODEL, 1, 1);
    kneDataEntry b = kneScene::createObjectData(o, kneDataEntry::LIGHT, 1, 1);
    kneScene::createObjectData(o, kneDataEntry::CAMERA, 1, 1);
    b.setNext(a.handle()); // a -> b -> a -> ... never reaches the tail
    EXPECT_EQ(o->getDataCount(), 0u);
    EXPECT_FALSE(o->getDataList().isValid(o->getTable()));
    EXPECT_FALSE(o->findData(kneDataEntry::CAMERA));
    EXPECT_EQ(o->getDataType(5), 0);
}

TEST(SceneModel, CreatingOperationsReportTheirErrors)
{
    struct Case {
        const char* what;
        std::function<bool(kneScene&, kneSceneObject*)> call; // true when an entry was made
        uint16_t error;
    };
    const Case cases[] = {
        {"object data ok", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createObjectData(o, 2, 1, 1)); }, 0},
        {"object data nbEntry 0", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createObjectData(o, 1, 0, 1)); }, 41},
        {"object data nbArray 0", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createObjectData(o, 1, 1, 0)); }, 42},
        {"object data type 11", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createObjectData(o, 11, 1, 1)); }, 43},
        {"sub data nbEntry 0", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createSubObjectData(o, 11, 1, 0)); }, 51},
        {"sub data nbArray 0", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createSubObjectData(o, 11, 0, 1)); }, 52},
        {"sub data nbArray 2^24", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createSubObjectData(o, 11, 1u << 24, 1)); }, 52},
        {"sub data Fx type", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createSubObjectData(o, 12, 1, 1)); }, 53},
        {"sub data type 1", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createSubObjectData(o, 1, 1, 1)); }, 54},
        {"Fx nbEntry 0", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createSubObjectDataFx(o, 12, 0)); }, 61},
        {"Fx plain type", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createSubObjectDataFx(o, 51, 1)); }, 62},
        {"Fx other type", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createSubObjectDataFx(o, 99, 1)); }, 63},
        {"mesh no owner", [](kneScene&, kneSceneObject* o) { return bool(kneScene::createMeshData(o, kneDataList(), 8, 1, 1)); }, 71},
        {"mesh odd type", [](kneScene&, kneSceneObject* o) {
             kneDataEntry m = kneScene::createObjectData(o, 1, 1, 1);
             kneNodeElement n(m.elementArray(o->getTable(), 24));
             return bool(kneScene::createMeshData(o, n.getSubList(), 9, 1, 1)); }, 74},
        {"mesh type 16", [](kneScene&, kneSceneObject* o) {
             kneDataEntry m = kneScene::createObjectData(o, 1, 1, 1);
             kneNodeElement n(m.elementArray(o->getTable(), 24));
             return bool(kneScene::createMeshData(o, n.getSubList(), 16, 1, 1)); }, 75},
        {"mesh Fx even type", [](kneScene&, kneSceneObject* o) {
             kneDataEntry m = kneScene::createObjectData(o, 1, 1, 1);
             kneNodeElement n(m.elementArray(o->getTable(), 24));
             return bool(kneScene::createMeshDataFx(o, n.getSubList(), 8, 1)); }, 83},
        {"attach to a free slot", [](kneScene& s, kneSceneObject* o) {
             s.createObject("b");
             s.removeObject(o);
             s.attach(0, 1);
             return false; }, 32},
    };
    for (const Case& c : cases) {
        kneScene scene;
        kneSceneObject* o = scene.createObject("o");
        bool made = c.call(scene, o);
        EXPECT_EQ(kneStatusWord::error(), c.error) << c.what;
        EXPECT_EQ(made, c.error == 0) << c.what;
    }
}

TEST(SceneModel, FreedSlotsAreReusedLowestFirstAndAttachedOnesAreKept)
{
    kneScene scene;
    for (const char* n : {"a", "b", "c", "d"})
        scene.createObject(n);
    kneSceneObject* c = scene.getObject(2);
    EXPECT_EQ(scene.attach(0, 2), 0u);
    EXPECT_EQ(scene.getRef(2), 1u);
    EXPECT_EQ(scene.removeObject(c), uint32_t(kneScene::W_STILL_ATTACHED) << 16);
    EXPECT_EQ(scene.removeObject("nothing"), uint32_t(kneScene::R_OBJECT_NOT_FOUND));
    EXPECT_EQ(scene.removeSubObject("b"), uint32_t(kneScene::R_SUBOBJECT_NOT_FOUND));
    EXPECT_EQ(scene.removeObject("d"), 0u);
    EXPECT_EQ(scene.removeObject("b"), 0u);
    const kneSceneHeader& h = *scene.header();
    EXPECT_EQ(h.nbFreeId, 2);
    EXPECT_EQ(h.soFreeId, 1);
    EXPECT_EQ(h.nbSubObject, 2u);
    EXPECT_EQ(scene.createSubObject("e")->getId(), 1);
    EXPECT_EQ(h.soFreeId, 3);
    EXPECT_EQ(scene.createObject("f")->getId(), 3);
    EXPECT_EQ(h.nbFreeId, 0);
    EXPECT_EQ(scene.createObject("g")->getId(), 4);
    // Removing the holder releases what it held.
    EXPECT_EQ(scene.removeObject("a"), 0u);
    EXPECT_EQ(scene.getRef(2), 0u);
    EXPECT_EQ(scene.removeObject("c"), 0u);
    EXPECT_EQ(scene.getObject(300), nullptr);
    EXPECT_EQ(kneStatusWord::warning(), kneScene::W_LOOKUP_SLOT);
}

TEST(SceneModel, TheEntryTableStopsAtTheFileLimit)
{
    kneScene scene;
    scene.header()->nbListId = kneSceneHeader::MAX_SLOTS;
    EXPECT_EQ(scene.createObject("one too many"), nullptr);
    EXPECT_EQ(kneStatusWord::error(), kneScene::E_TABLE_FULL);
}

TEST(SceneModel, NameHandleSetTwiceWarnsAndTakesTheNewOne)
{
    kneScene scene;
    kneSceneObject* o = scene.createObject("o");
    kneDataEntry m = kneScene::createObjectData(o, 1, 1, 1);
    kneNodeElement n(m.elementArray(o->getTable(), 24));
    n.setName(1);
    EXPECT_EQ(kneStatusWord::warning(), 0);
    n.setName(2);
    EXPECT_EQ(kneStatusWord::warning(), 101);
    EXPECT_EQ(n.getName(), 2u);
}

TEST(CameraAngles, PitchAndHeadingPerFrame)
{
    struct Case {
        int mode;
        float f[7];
        float pitch, heading;
    };
    const Case cases[] = {
        {1, {0, 0, 0, 0, 0, -1, 0}, 0, 0},
        {1, {0, 0, 0, 1, 0, 1, 0}, 0, -135},
        {1, {0, 0, 0, -1, 0, 1, 0}, 0, 135},
        {1, {1, 1, 1, 0, 1, 0, 0}, 0, 45},
        {2, {9, 9, 9, 0, 0, 0, 0}, 0, 0},    // zero vector: not normalised
        {2, {0, 0, 0, 0, 1, 0, 0}, 90, 0},   // straight up: heading 0, not NaN
        {2, {0, 0, 0, 0, -3, 0, 0}, -90, 0}, // straight down
        {1, {0, 0, 0, 0, 0, 0, 0}, 0, 0},    // target on the position
    };
    for (const Case& c : cases) {
        uint8_t frame[28];
        for (int k = 0; k < 7; ++k)
            kneLE::putF32(frame + 4 * k, c.f[k]);
        kneCameraPath path;
        path.mode = c.mode;
        path.frames = frame;
        ASSERT_EQ(kneCameraAngles(&path, 1), 1);
        EXPECT_NEAR(path.angles[0], c.pitch, 1e-3) << c.f[3] << c.f[4] << c.f[5];
        EXPECT_NEAR(path.angles[1], c.heading, 1e-3) << c.f[3] << c.f[4] << c.f[5];
    }
    kneCameraPath path;
    EXPECT_EQ(kneCameraAngles(&path, 0), 0);
    EXPECT_EQ(kneCameraAngles(nullptr, 1), 0);
}

TEST(CacheBuilder, WalksFramesAndRefusesBadIndices)
{
    kneScene scene;
    kneSceneObject* o = scene.createObject("o");
    kneDataEntry m = kneScene::createObjectData(o, kneDataEntry::MODEL, 2, 3);
    EXPECT_EQ(kneCacheBuilder::begin(o, m, 0x10030, 0), 0u);
    EXPECT_EQ(m.getCacheWord(), kneCacheBuilder::MARKER);
    EXPECT_EQ(m.getFormat(), 0x10030u);
    EXPECT_EQ(kneCacheBuilder::begin(o, m, 0x10030, 0) & 0xFFFF, uint32_t(kneCacheBuilder::E_ACTIVE));
    EXPECT_EQ(kneCacheBuilder::end(m) & 0xFFFF, uint32_t(kneCacheBuilder::E_ACTIVE));
    EXPECT_FALSE(kneCacheBuilder::isActive());

    kneScene again;
    o = again.createObject("o");
    m = kneScene::createObjectData(o, kneDataEntry::MODEL, 2, 3);
    ASSERT_EQ(kneCacheBuilder::begin(o, m, 0x30, 1), 0u);
    EXPECT_EQ(kneCacheBuilder::seek(-1, -1), 0u); // frame 1
    EXPECT_EQ(kneCacheBuilder::seek(-1, 2), 0u);
    EXPECT_EQ(kneCacheBuilder::end(m), 0u);
    EXPECT_FALSE(kneCacheBuilder::isActive());
    EXPECT_EQ(m.getCacheWord(), 0u);

    struct Case {
        int element, frame;
        uint16_t error;
    };
    for (Case c : {Case{2, 0, 94}, Case{0, 3, 95}}) {
        kneScene s;
        o = s.createObject("o");
        m = kneScene::createObjectData(o, kneDataEntry::MODEL, 2, 3);
        ASSERT_EQ(kneCacheBuilder::begin(o, m, 0x30, 0), 0u);
        EXPECT_EQ(kneCacheBuilder::seek(c.element, c.frame) & 0xFFFF, c.error);
        EXPECT_FALSE(kneCacheBuilder::isActive());
        EXPECT_EQ(m.getCacheWord(), 0u);
    }
    kneScene s;
    o = s.createObject("o");
    m = kneScene::createObjectData(o, kneDataEntry::MODEL, 1, 1);
    kneNodeElement(m.elementArray(o->getTable(), 24)).setData(0);
    EXPECT_EQ(kneCacheBuilder::begin(o, m, 0x30, 0) & 0xFFFF, uint32_t(kneCacheBuilder::E_HOLDS_DATA));
}
