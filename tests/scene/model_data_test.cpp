// Model data: records built from a scene file, and the checks that keep a
// damaged file from producing records that point outside the scene.
#include "kgiModelData.h"
#include "kneScene.h"
#include "kneSceneWriter.h"
#include "scene_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

struct Node {
    std::string name;
    int depth;
    uint32_t fbits = kneNodeElement::TRS | kneNodeElement::FLAG16;
    uint32_t flag = 0;
    bool mesh = false;
};

using Tweak = std::function<void(kneScene&, kneSceneObject*, kneDataEntry)>;

// Floats of one frame record; flag word after it when fbits asks.
uint32_t putRecord(kneIdTable& t, uint32_t fbits, uint32_t flag, float x, float y, float z)
{
    uint32_t floats = (fbits & 0x4) ? 16 : (fbits & 0x10000) ? 9 : 6;
    uint32_t flagBytes = (fbits & kneNodeElement::FLAG16) ? 2 : (fbits & kneNodeElement::FLAG32) ? 4 : 0;
    uint32_t h = t.alloc(floats * 4 + flagBytes);
    uint8_t* p = t.resolve(h, floats * 4 + flagBytes);
    std::memset(p, 0, floats * 4 + flagBytes);
    uint32_t at = floats == 16 ? 48 : 0; // a matrix keeps its translation in column 3
    kneLE::putF32(p + at, x);
    kneLE::putF32(p + at + 4, y);
    kneLE::putF32(p + at + 8, z);
    if (flagBytes == 2)
        kneLE::put16(p + floats * 4, uint16_t(flag));
    else if (flagBytes == 4)
        kneLE::put32(p + floats * 4, flag);
    return h;
}

void putList(kneIdTable& t, kneDataEntry e, const std::vector<uint8_t>& bytes)
{
    uint32_t h = t.alloc(uint32_t(bytes.size()));
    std::memcpy(t.resolve(h, uint32_t(bytes.size())), bytes.data(), bytes.size());
    kneLE::put32(e.elementArray(t, 4), h);
}

std::vector<uint8_t> vertices(int n)
{
    std::vector<uint8_t> b(size_t(n) * 24);
    for (int i = 0; i < n * 6; ++i)
        kneLE::putF32(b.data() + 4 * i, float(i));
    return b;
}

std::vector<uint8_t> makeModel(const std::vector<Node>& nodes, const Tweak& tweak = {})
{
    kneScene scene;
    scene.setSceneName("m");
    scene.setTimes(0.0f, 59.5f);
    kneSceneObject* o = scene.createObject("robot");
    kneIdTable& t = o->getTable();
    kneDataEntry e = kneScene::createObjectData(o, kneDataEntry::MODEL, uint32_t(nodes.size()), 1);
    uint8_t* elems = e.elementArray(t, 24);
    for (size_t i = 0; i < nodes.size(); ++i) {
        const Node& n = nodes[i];
        kneNodeElement el(elems + 24 * i);
        el.setName(t.storeString(n.name.c_str()));
        el.setDepth(uint16_t(n.depth));
        el.setFbits(n.fbits);
        el.setData(putRecord(t, n.fbits, n.flag, float(i), 0, 0));
        if (!n.mesh)
            continue;
        kneDataList sub = el.getSubList();
        putList(t, kneScene::createMeshData(o, sub, kneDataEntry::VERTEX_LIST, 3, 1), vertices(3));
        putList(t, kneScene::createMeshData(o, sub, kneDataEntry::POLYGON_LIST, 1, 1), {0, 0, 1, 0, 2, 0});
        putList(t, kneScene::createMeshData(o, sub, kneDataEntry::MATERIAL_LIST, 1, 1),
                {255, 0, 51, 255, 0, 0, 0, 0, 0, 0, 0, 255, 7, 0, 0x34, 0x12});
    }
    if (tweak)
        tweak(scene, o, e);
    std::vector<uint8_t> out;
    kneSceneWriter::writeBuffer(scene, out);
    return out;
}

bool load(kgiModelData& m, const std::vector<uint8_t>& bytes) { return m.loadBuffer(bytes.data(), bytes.size()); }

} // namespace

TEST(ModelData, RepeatedNamesBecomeUniqueAgainstEveryName)
{
    struct Case {
        std::vector<std::string> in, out;
    };
    const std::string longName(300, 'x');
    const Case cases[] = {
        {{"arm L", "arm L", "arm L"}, {"arm_L", "arm_L_2", "arm_L_3"}},
        {{"A", "A", "B", "A"}, {"A", "A_2", "B", "A_3"}},
        {{"A", "A_2", "A"}, {"A", "A_2", "A_3"}},
        {{"A", "A", "A_2"}, {"A", "A_3", "A_2"}},
        {{longName, longName}, {std::string(255, 'x'), std::string(253, 'x') + "_2"}},
    };
    for (const Case& c : cases) {
        std::vector<Node> nodes;
        for (size_t i = 0; i < c.in.size(); ++i)
            nodes.push_back({c.in[i], i == 0 ? 0 : 1});
        kgiModelData m;
        ASSERT_TRUE(load(m, makeModel(nodes))) << c.in[0];
        for (size_t i = 0; i < c.out.size(); ++i)
            EXPECT_EQ(std::string(m.models[0].records[i].name), c.out[i]) << c.in[i];
    }
}

TEST(ModelData, DepthSequenceGivesChildAndSiblingLinks)
{
    kgiModelData m;
    ASSERT_TRUE(load(m, makeModel({{"a", 0}, {"b", 1}, {"c", 2}, {"d", 1}, {"e", 0}})));
    const std::vector<kgiMeshRecord>& r = m.models[0].records;
    EXPECT_EQ(r[0].firstChild, &r[1]);
    EXPECT_EQ(r[0].nextSibling, &r[4]);
    EXPECT_EQ(r[1].firstChild, &r[2]);
    EXPECT_EQ(r[1].nextSibling, &r[3]);
    EXPECT_EQ(r[2].nextSibling, nullptr);
    EXPECT_EQ(r[3].firstChild, nullptr);
    EXPECT_EQ(r[4].nextSibling, nullptr);

    for (auto depths : {std::vector<int>{1, 2}, std::vector<int>{0, 2}, std::vector<int>{0, 1, 3}}) {
        std::vector<Node> nodes;
        for (int d : depths)
            nodes.push_back({"n", d});
        kgiModelData bad;
        EXPECT_FALSE(load(bad, makeModel(nodes))) << depths.back();
        EXPECT_EQ(bad.scene, nullptr);
        EXPECT_TRUE(bad.models.empty());
    }
}

TEST(ModelData, FlagBitsChooseLayoutFlagWordAndJointKind)
{
    constexpr uint32_t F16 = kneNodeElement::FLAG16, F32 = kneNodeElement::FLAG32;
    struct Case {
        uint32_t fbits;
        uint32_t flag;
        int layout;     // 0: the load fails
        int flagOffset; // -1: no flag word
        int jointKind;
    };
    const Case cases[] = {
        {0x10030 | F16, 0x3, 1, 36, 3},
        {0x30 | F32, 0x17, 2, 24, 7},
        {0x4, 0x5, 3, -1, 0},
        {0x4 | F16, 0x9, 3, 64, 0},
        {0x10030, 0, 1, -1, 0},
        {0x8, 0, 0, 0, 0},
        {0x10008 | F16, 0, 0, 0, 0},
        {0x10030 | F16 | 0x800000, 0, 0, 0, 0},
        {0x10030 | F16 | F32, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        kgiModelData m;
        bool ok = load(m, makeModel({{"root", 0, c.fbits, c.flag}, {"child", 1, c.fbits, c.flag}}));
        ASSERT_EQ(ok, c.layout != 0) << std::hex << c.fbits;
        if (!ok)
            continue;
        const kgiMeshRecord& r = m.models[0].records[1];
        EXPECT_EQ(m.models[0].frameLayout, c.layout) << std::hex << c.fbits;
        if (c.flagOffset < 0) {
            EXPECT_EQ(r.flagWord, nullptr);
        } else {
            EXPECT_EQ(r.flagWord - reinterpret_cast<const uint8_t*>(r.nodeData), c.flagOffset);
        }
        EXPECT_EQ(r.jointKind, c.jointKind) << std::hex << c.fbits;
        EXPECT_EQ((r.ownership & kgiMeshRecord::FLAG32) != 0, (c.fbits & F32) != 0);
    }
    // Every node is read with node 0's layout.
    kgiModelData m;
    EXPECT_FALSE(load(m, makeModel({{"root", 0, 0x10030}, {"child", 1, 0x30}})));
}

TEST(ModelData, MeshListsAreConvertedAndCheckedBeforeRecordsPointAtThem)
{
    kgiModelData m;
    ASSERT_TRUE(load(m, makeModel({{"root", 0}, {"body", 1, 0x10030 | kneNodeElement::FLAG16, 0, true}})));
    const kgiMeshRecord& r = m.models[0].records[1];
    EXPECT_EQ(r.vertexCount, 3);
    EXPECT_EQ(r.vertices[7], 7.0f);
    EXPECT_EQ(r.currentVertices, r.vertices);
    EXPECT_EQ(r.polygonCount, 1);
    EXPECT_EQ(r.polygons[2], 2);
    EXPECT_EQ(r.polygonKind, 2);
    ASSERT_EQ(r.materialCount, 1);
    EXPECT_EQ(r.materials[0].color[0], 1.0f);
    EXPECT_EQ(r.materials[0].color[1], 0.0f);
    EXPECT_FLOAT_EQ(r.materials[0].color[2], 0.2f);
    EXPECT_EQ(r.materials[0].word[0], 7);
    EXPECT_EQ(r.materials[0].word[1], 0x1234);
    EXPECT_EQ(m.models[0].records[0].vertexCount, 0);

    // Each damage makes the load fail and leave no scene.
    const std::pair<const char*, Tweak> damage[] = {
        {"no vertex list", [](kneScene&, kneSceneObject* o, kneDataEntry e) {
             kneNodeElement n(e.elementArray(o->getTable(), 24));
             kneScene::createMeshData(o, n.getSubList(), kneDataEntry::POLYGON_LIST, 1, 1);
         }},
        {"no polygon list", [](kneScene&, kneSceneObject* o, kneDataEntry e) {
             kneNodeElement n(e.elementArray(o->getTable(), 24));
             putList(o->getTable(), kneScene::createMeshData(o, n.getSubList(), kneDataEntry::VERTEX_LIST, 1, 1), vertices(1));
         }},
        {"vertex list longer than its bytes", [](kneScene&, kneSceneObject* o, kneDataEntry e) {
             kneNodeElement n(e.elementArray(o->getTable(), 24));
             kneDataList sub = n.getSubList();
             putList(o->getTable(), kneScene::createMeshData(o, sub, kneDataEntry::VERTEX_LIST, 900, 1), vertices(3));
             putList(o->getTable(), kneScene::createMeshData(o, sub, kneDataEntry::POLYGON_LIST, 1, 1), {0, 0, 1, 0, 2, 0});
         }},
        {"face past the vertices", [](kneScene&, kneSceneObject* o, kneDataEntry e) {
             kneNodeElement n(e.elementArray(o->getTable(), 24));
             kneDataList sub = n.getSubList();
             putList(o->getTable(), kneScene::createMeshData(o, sub, kneDataEntry::VERTEX_LIST, 3, 1), vertices(3));
             putList(o->getTable(), kneScene::createMeshData(o, sub, kneDataEntry::POLYGON_LIST, 1, 1), {0, 0, 3, 0, 2, 0});
         }},
        {"node data outside its page", [](kneScene&, kneSceneObject* o, kneDataEntry e) {
             kneNodeElement(e.elementArray(o->getTable(), 24)).setData(0x7FF);
         }},
    };
    for (const auto& d : damage) {
        kgiModelData bad;
        EXPECT_FALSE(load(bad, makeModel({{"root", 0}}, d.second))) << d.first;
        EXPECT_EQ(bad.scene, nullptr) << d.first;
        EXPECT_EQ(bad.modelCount, 0) << d.first;
    }
}

TEST(ModelData, MotionFramesBoundsAndFrameSelection)
{
    const uint32_t fbits = 0x10030 | kneNodeElement::FLAG16; // 36-byte records + 2-byte flag
    auto motion = [&](kneScene& s, kneSceneObject* o, kneDataEntry) {
        kneSceneObject* sub = s.createSubObject("motion");
        kneDataEntry mm = kneScene::createSubObjectData(sub, kneDataEntry::MODEL_MOTION, 3, 2);
        kneIdTable& t = sub->getTable();
        uint8_t* el = mm.elementArray(t, 4);
        for (int node = 0; node < 2; ++node) {
            uint32_t h = t.alloc(3 * 38);
            uint8_t* p = t.resolve(h, 3 * 38);
            std::memset(p, 0, 3 * 38);
            const float xyz[3][3] = {{1, 2, 3}, {-4, 5, 0}, {2, -1, 9}};
            for (int f = 0; f < 3; ++f)
                for (int k = 0; k < 3; ++k)
                    kneLE::putF32(p + 38 * f + 4 * k, xyz[f][k]);
            kneLE::put32(el + 4 * node, h);
        }
        s.attach(o->getId(), sub->getId());
    };
    kgiModelData m;
    ASSERT_TRUE(load(m, makeModel({{"root", 0, fbits}, {"arm", 1, fbits}}, motion)));
    EXPECT_EQ(m.frameCount, 3);
    const kgiMeshRecord& r = m.models[0].records[0];
    EXPECT_EQ(r.frameCount, 3);
    EXPECT_EQ(r.frameStride, 38);
    EXPECT_TRUE(r.ownership & kgiMeshRecord::BORROWED_FRAMES);
    ASSERT_NE(m.bounds, nullptr);
    EXPECT_EQ(m.bounds->min[0], -4.0f);
    EXPECT_EQ(m.bounds->min[1], -1.0f);
    EXPECT_EQ(m.bounds->max[2], 9.0f);
    EXPECT_EQ(m.bounds->centre[0], -1.0f);

    struct F {
        int in, out;
    };
    for (F f : {F{-1, -1}, F{4, 1}, F{-1 - 3, 2}, F{-3, 0}, F{2, 2}}) {
        EXPECT_TRUE(m.setFrame(f.in));
        EXPECT_EQ(m.currentFrame, f.out) << f.in;
    }

    // Without model motion the frame count comes from the scene's times.
    kgiModelData still;
    ASSERT_TRUE(load(still, makeModel({{"root", 0}})));
    EXPECT_EQ(still.frameCount, 60);
    EXPECT_EQ(still.bounds, nullptr);
}

TEST(ModelData, ReaderErrorKeepsTheSceneForTheNextLoad)
{
    kneScene empty;
    empty.setSceneName("e");
    empty.createObject("x");
    std::vector<uint8_t> bytes;
    kneSceneWriter::writeBuffer(empty, bytes);
    kneLE::put16(bytes.data() + 8 + 16, 0); // nbListId 0: no slots, so the object is refused
    kgiModelData m;
    EXPECT_FALSE(load(m, bytes));
    ASSERT_NE(m.scene, nullptr); // a reader error keeps the scene
    EXPECT_TRUE(load(m, makeModel({{"root", 0}})));
    EXPECT_EQ(m.modelCount, 1);
    EXPECT_TRUE(load(m, makeModel({{"a", 0}, {"b", 1}})));
    EXPECT_EQ(m.models[0].recordCount, 2);
    EXPECT_FALSE(m.load(nullptr));
    EXPECT_FALSE(m.load("/nonexistent/robot.kmd"));
}

TEST(ModelData, CameraPathGivesAnglesAndBounds)
{
    kneScene scene;
    scene.setSceneName("c");
    kneSceneObject* cam = scene.createObject("camera");
    kneDataEntry ce = kneScene::createObjectData(cam, kneDataEntry::CAMERA, 1, 1);
    kneNodeElement(ce.elementArray(cam->getTable(), 16)).setFbits(692);
    kneSceneObject* path = scene.createSubObject("path");
    kneDataEntry me = kneScene::createSubObjectData(path, kneDataEntry::CAMERA_MOTION, 2, 1);
    me.setFormat(52);
    const float frames[2][7] = {{0, 0, 0, 1, 0, 1, 0}, {0, 2, 0, 0, 2, -1, 0}};
    std::vector<uint8_t> bytes(56);
    for (int f = 0; f < 2; ++f)
        for (int k = 0; k < 7; ++k)
            kneLE::putF32(bytes.data() + 28 * f + 4 * k, frames[f][k]);
    putList(path->getTable(), me, bytes);
    scene.attach(cam->getId(), path->getId());
    std::vector<uint8_t> file;
    kneSceneWriter::writeBuffer(scene, file);

    kgiModelData m;
    ASSERT_TRUE(load(m, file));
    ASSERT_EQ(m.cameraCount, 1);
    const kgiCameraRecord& c = m.cameras[0];
    EXPECT_EQ(c.mode, 1);
    EXPECT_STREQ(c.name, "camera");
    ASSERT_EQ(c.angles.size(), 4u);
    EXPECT_NEAR(c.angles[1], -135.0f, 1e-3);
    EXPECT_NEAR(c.angles[3], 0.0f, 1e-3);
    ASSERT_NE(m.bounds, nullptr);
    EXPECT_EQ(m.bounds->max[0], 1.0f);
    EXPECT_EQ(m.bounds->max[1], 2.0f);
    EXPECT_EQ(m.bounds->min[2], -1.0f);

    // Camera motion longer than its bytes is refused.
    me.setFormat(52);
    kneLE::put32(me.bytes(), (kneLE::u32(me.bytes()) & 0xFF) | (50u << 8));
    file.clear();
    kneSceneWriter::writeBuffer(scene, file);
    kgiModelData bad;
    EXPECT_FALSE(load(bad, file));
}

TEST(ModelData, WriterMadeRobotLoadsWithMotionMeshesAndLinks)
{
    kneScene scene;
    scenefx::ModelShape desc;
    desc.nodes = 12;
    desc.frames = 5;
    scenefx::buildModel(scene, desc);
    std::vector<uint8_t> file = scenefx::write(scene);
    kgiModelData m;
    ASSERT_TRUE(load(m, file));
    ASSERT_EQ(m.modelCount, 1);
    const kgiModelEntry& e = m.models[0];
    EXPECT_EQ(e.frameLayout, kgiModelEntry::TRS);
    EXPECT_EQ(e.recordCount, 12);
    EXPECT_EQ(m.frameCount, 5);
    EXPECT_STREQ(e.records[3].name, "node3");
    EXPECT_EQ(e.records[3].vertexCount, 4);
    EXPECT_EQ(e.records[3].polygonKind, 1);
    EXPECT_EQ(e.records[3].jointKind, 3);
    EXPECT_EQ(e.records[0].firstChild, &e.records[1]);
    EXPECT_EQ(e.records[1].firstChild, &e.records[2]);
    EXPECT_EQ(e.records[1].nextSibling, &e.records[3]);
    // The scene is kept and written back unchanged.
    std::string path = testing::TempDir() + "kgi_model_save.kmd";
    ASSERT_TRUE(m.save(path.c_str()));
    kgiModelData again;
    ASSERT_TRUE(again.load(path.c_str()));
    EXPECT_EQ(again.models[0].recordCount, 12);
    std::remove(path.c_str());
}
