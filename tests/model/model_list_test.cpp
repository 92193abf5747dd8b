// The model-data list and its node-tree drawing: chains by file kind,
// transforms per frame, materials, and motion from a motion-key file.
#include "support/gl/kgiGLTest.h"
#include "kgiDrawModel.h"
#include "kgiKmmFile.h"
#include "kgiModelData.h"
#include "kgiModelDataList.h"
#include "kgiProject.h"
#include "kneBytes.h"
#include "kneScene.h"
#include "kneSceneWriter.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path FACTORY_SCENE = fs::path(KGI_DATA_DIR) / "DORUZAVO_1base" / "character" / "DORUZAVO_1.kmd";

// A root at (1, 2, 3) turned 90 degrees about z, and one child with a
// triangle of one material. Frames: translation and rotation with a 16-bit
// flag word (26 bytes a frame, so frame 1 is not float-aligned); the node
// kind is the flag word's low bits. With `frames`, a model motion gives
// the root frame f the translation (10 f, 0, 0).
std::vector<uint8_t> smallScene(uint32_t frames)
{
    const uint32_t fbits = kneNodeElement::TR | kneNodeElement::FLAG16;
    const uint32_t record = kneNodeElement::recordBytes(fbits);
    kneScene scene;
    scene.setSceneName("small");
    kneSceneObject* model = scene.createObject("robot");
    kneIdTable& t = model->getTable();
    kneDataEntry nodes = kneScene::createObjectData(model, kneDataEntry::MODEL, 2, 1);
    uint8_t* elems = nodes.elementArray(t, kneNodeElement::SIZE);
    const float placement[2][6] = {{1, 2, 3, 0, 0, 90}, {0, 0, 0, 0, 0, 0}};
    for (int i = 0; i < 2; ++i) {
        kneNodeElement n(elems + i * kneNodeElement::SIZE);
        n.setDepth(uint16_t(i));
        n.setFbits(fbits);
        n.setName(t.storeString(i == 0 ? "root" : "part"));
        uint32_t h = t.alloc(record);
        uint8_t* p = t.resolve(h, record);
        for (int k = 0; k < 6; ++k)
            kneLE::putF32(p + 4 * k, placement[i][k]);
        kneLE::put16(p + 24, uint16_t(i == 0 ? 1 : 5));
        n.setData(h);
    }
    kneNodeElement part(elems + kneNodeElement::SIZE);
    kneDataList sub = part.getSubList();
    const float verts[3][6] = {{0, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 0, 1}, {0, 1, 0, 0, 0, 1}};
    kneDataEntry v = kneScene::createMeshData(model, sub, kneDataEntry::VERTEX_LIST, 3, 1);
    uint32_t vh = t.alloc(3 * 24);
    for (int k = 0; k < 18; ++k)
        kneLE::putF32(t.resolve(vh, 72) + 4 * k, verts[k / 6][k % 6]);
    kneLE::put32(v.elementArray(t, 4), vh);
    kneDataEntry p = kneScene::createMeshData(model, sub, kneDataEntry::POLYGON_LIST, 1, 1);
    uint32_t ph = t.alloc(6);
    for (int k = 0; k < 3; ++k)
        kneLE::put16(t.resolve(ph, 6) + 2 * k, uint16_t(k));
    kneLE::put32(p.elementArray(t, 4), ph);
    kneDataEntry m = kneScene::createMeshData(model, sub, kneDataEntry::MATERIAL_LIST, 1, 1);
    uint32_t mh = t.alloc(16);
    const uint8_t material[16] = {255, 51, 0, 255, 10, 20, 30, 40, 102, 0, 0, 255, 0, 0, 0, 0};
    std::memcpy(t.resolve(mh, 16), material, 16);
    kneLE::put32(m.elementArray(t, 4), mh);
    if (frames) {
        kneSceneObject* motion = scene.createSubObject("motion");
        kneIdTable& mt = motion->getTable();
        kneDataEntry e = kneScene::createSubObjectData(motion, kneDataEntry::MODEL_MOTION, frames, 2);
        for (int i = 0; i < 2; ++i) {
            uint32_t h = mt.alloc(frames * record);
            uint8_t* d = mt.resolve(h, frames * record);
            std::memset(d, 0, frames * record);
            for (uint32_t f = 0; f < frames; ++f)
                kneLE::putF32(d + f * record, 10.0f * float(f));
            kneLE::put32(e.elementArray(mt, 4) + 4 * i, h);
        }
        scene.attach(model->getId(), motion->getId());
    }
    std::vector<uint8_t> bytes;
    kneSceneWriter::writeBuffer(scene, bytes);
    return bytes;
}

std::unique_ptr<kgiModelData> load(const std::vector<uint8_t>& bytes)
{
    auto m = std::make_unique<kgiModelData>();
    EXPECT_TRUE(m->loadBuffer(bytes.data(), bytes.size()));
    return m;
}

std::array<float, 16> modelview()
{
    std::array<float, 16> m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

// Translation of the modelview after one transform routine.
std::array<float, 3> translationAfter(void (*routine)(const kgiMeshRecord&, int), const kgiMeshRecord& r,
                                      int frame)
{
    glPushMatrix();
    glLoadIdentity();
    routine(r, frame);
    std::array<float, 16> m = modelview();
    glPopMatrix();
    return {m[12], m[13], m[14]};
}

// A folder of this build for one test's files, emptied first.
fs::path tempDir(const char* name)
{
    fs::path d = fs::path(KGI_TEST_TMP) / name;
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

} // namespace

TEST(ModelDataList, FilesJoinTheChainOfTheirKind)
{
    const fs::path dir = tempDir("chains");
    const std::vector<uint8_t> bytes = smallScene(0);
    for (const char* name : {"a.kmd", "b.KMD", "c"}) {
        std::ofstream out(dir / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    kgiModelDataList list;
    EXPECT_EQ(list.addFile(nullptr), nullptr);
    EXPECT_EQ(list.addFile(""), nullptr);
    kgiModelData* a = list.addFile((dir / "a.kmd").string().c_str());
    kgiModelData* b = list.addFile((dir / "b.KMD").string().c_str());
    kgiModelData* c = list.addFile((dir / "c").string().c_str());
    EXPECT_EQ(a->kind, kgiModelDataList::SCENE);
    EXPECT_EQ(b->kind, kgiModelDataList::PLAIN);
    EXPECT_EQ(c->kind, kgiModelDataList::PLAIN);
    EXPECT_EQ(list.sceneModels().count, 1);
    EXPECT_EQ(list.plainModels().count, 2);
    EXPECT_EQ(list.plainModels().head, b);
    EXPECT_EQ(list.plainModels().tail, c);

    // Removing the only entry of a chain leaves it empty.
    EXPECT_EQ(list.remove(a), 1);
    EXPECT_EQ(list.sceneModels().count, 0);
    EXPECT_EQ(list.sceneModels().head, nullptr);
    EXPECT_EQ(list.sceneModels().tail, nullptr);

    // An entry the list does not hold is neither counted nor deleted.
    kgiModelData outsider;
    outsider.kind = kgiModelDataList::PLAIN;
    EXPECT_EQ(list.remove(&outsider), 1);
    EXPECT_EQ(list.plainModels().count, 2);
    EXPECT_EQ(list.remove(nullptr), 0);

    // By name: the scene object's name of a kind 2 entry.
    kgiModelData* d = list.addKmdModel((dir / "a.kmd").string().c_str());
    ASSERT_EQ(list.sceneModels().count, 1);
    EXPECT_EQ(list.removeByName("nobody"), 1);
    EXPECT_EQ(list.sceneModels().head, d);
    EXPECT_EQ(list.removeByName("robot"), 1);
    EXPECT_EQ(list.sceneModels().count, 0);
    EXPECT_EQ(list.removeByName(nullptr), 0);
    fs::remove_all(dir);
}

class ModelDraw : public kgiGLTest {};

TEST_F(ModelDraw, TransformsReadTheFrameOrTheStaticRecord)
{
    std::unique_ptr<kgiModelData> m = load(smallScene(3));
    const kgiMeshRecord& root = m->models[0].records[0];
    ASSERT_EQ(root.frameCount, 3);
    using T = std::array<float, 3>;
    // Static: translation (1, 2, 3); file frame 1 sits 26 bytes in.
    EXPECT_EQ(translationAfter(kgiTransformTr, root, -1), (T{1, 2, 3}));
    EXPECT_EQ(translationAfter(kgiTransformTr, root, 1), (T{10, 0, 0}));
    EXPECT_EQ(translationAfter(kgiTransformTr, root, 2), (T{20, 0, 0}));
    // A frame the record does not have draws the static transform.
    EXPECT_EQ(translationAfter(kgiTransformTr, root, 3), (T{1, 2, 3}));
    EXPECT_EQ(translationAfter(kgiTransformTr, root, 70000), (T{1, 2, 3}));

    // The static rotation: 90 degrees about z takes x to y.
    glPushMatrix();
    glLoadIdentity();
    kgiTransformTr(root, -1);
    std::array<float, 16> r = modelview();
    glPopMatrix();
    EXPECT_NEAR(r[0], 0.0f, 1e-6f);
    EXPECT_NEAR(r[1], 1.0f, 1e-6f);

    // Frames the application put in are matrices.
    kgiMeshRecord& mutableRoot = m->models[0].records[0];
    std::unique_ptr<float[]> frames(new float[32]());
    for (int f = 0; f < 2; ++f) {
        for (int k = 0; k < 4; ++k)
            frames[size_t(16 * f + 5 * k)] = 1.0f;
        frames[size_t(16 * f + 13)] = 7.0f * float(f + 1);
    }
    mutableRoot.setFrames(std::move(frames), 2);
    EXPECT_EQ(translationAfter(kgiTransformTrAnimated, root, 1), (T{0, 14, 0}));
    EXPECT_EQ(translationAfter(kgiTransformTrAnimated, root, 2), (T{1, 2, 3}));
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(ModelDraw, SolidDrawingSetsTheRecordsMaterial)
{
    std::unique_ptr<kgiModelData> m = load(smallScene(0));
    const kgiMeshRecord& part = m->models[0].records[1];
    ASSERT_EQ(part.polygonKind, 2);
    kgiDrawMeshSolid(part);
    float diffuse[4], ambient[4], specular[4], shininess;
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(diffuse[0], 1.0f);
    EXPECT_FLOAT_EQ(diffuse[1], 0.2f);
    EXPECT_FLOAT_EQ(ambient[0], 0.4f);
    EXPECT_FLOAT_EQ(specular[1], 20.0f / 255.0f);
    EXPECT_FLOAT_EQ(specular[3], 40.0f / 255.0f); // the shininess byte rides along as alpha
    EXPECT_FLOAT_EQ(shininess, 40.0f / 255.0f);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(ModelDraw, TriangleNamingAMissingMaterialKeepsTheCurrentOne)
{
    // The load refuses such faces; a record filled by other code may not.
    const float vertices[18] = {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1};
    const uint16_t faces[8] = {0, 1, 2, 1, 0, 1, 2, 7};
    kgiMeshRecord r;
    r.vertexCount = 3;
    r.vertices = vertices;
    r.polygonCount = 2;
    r.polygons = faces;
    r.polygonKind = 3;
    r.materialCount = 2;
    r.materials.resize(2);
    r.materials[1].color[1] = 1.0f;
    kgiDrawMeshWire(r);
    float diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[1], 1.0f); // material 1, set by the first triangle
    EXPECT_TRUE(glErrors().empty());
}

TEST_F(ModelDraw, FactoryRobotDrawsOnceThroughTheList)
{
    kgiModelDataList list;
    kgiModelData* robot = list.addFile(FACTORY_SCENE.string().c_str());
    ASSERT_EQ(robot->modelCount, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-20, 20, 0, 40, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    GLint depthBefore = 0, depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    kgiDrawOptions options;
    options.dumpBoxes = true;
    EXPECT_EQ(list.draw(options), 1);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_FALSE(options.dumpBoxes);
    EXPECT_TRUE(glErrors().empty());
    // The trunk (about 24 cm up, in the middle) is drawn; the corner beside
    // the robot's head is not.
    auto lit = [](std::array<unsigned char, 4> p) { return p[0] + p[1] + p[2] > 0; };
    EXPECT_TRUE(lit(readPixel(WIDTH / 2, HEIGHT * 24 / 40)));
    EXPECT_FALSE(lit(readPixel(2, HEIGHT - 2)));
}

TEST(ModelDataList, MotionFileBesideTheSceneAnimatesTheMovingRecords)
{
    const fs::path dir = tempDir("motion");
    const fs::path scene = dir / "robot.kmd";
    fs::copy_file(FACTORY_SCENE, scene, fs::copy_options::overwrite_existing);
    kgiModelData model;
    model.kind = kgiModelDataList::SCENE;
    ASSERT_TRUE(model.load(scene.string().c_str()));
    std::vector<const kgiMeshRecord*> moving;
    for (const kgiMeshRecord& r : model.models[0].records)
        if (r.jointKind != 5)
            moving.push_back(&r);

    // Three frames: node n, frame f holds the translation (n, f, 0).
    auto writeMotion = [&](int depthChange, bool keylessNode = false) {
        kgiKmmFile kmm;
        ASSERT_TRUE(kmm.create(int(moving.size()), 3, 2));
        for (size_t n = 0; n < moving.size(); ++n) {
            kmm.setNodeName(int(n), moving[n]->name);
            kmm.setNodeType(int(n), moving[n]->jointKind);
            kmm.setNodeDepth(int(n), moving[n]->depth + (n == 3 ? depthChange : 0));
            for (int f = 0; f < 3; ++f) {
                float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, float(n), float(f), 0, 1};
                kmm.setKey(int(n), f, m);
            }
        }
        kmm.setKeyFrame(0, 0);
        kmm.setKeyFrame(1, 2);
        const fs::path path = dir / "robot.kmm";
        ASSERT_TRUE(kmm.writeMatrices(path.string().c_str()));
        if (!keylessNode)
            return;
        // Node 3 keeps its block but loses its keys: count 0, no key lines.
        std::ifstream in(path);
        std::string text, line;
        for (int skip = 0; std::getline(in, line);) {
            if (skip > 0 && skip--)
                continue;
            if (line == std::string(moving[3]->name) + " : R") {
                text += line + "\n0\n";
                std::getline(in, line); // the count line
                skip = 3;
                continue;
            }
            text += line + "\n";
        }
        in.close();
        std::ofstream(path, std::ios::trunc) << text;
    };
    writeMotion(0);
    ASSERT_EQ(kgiModelDataList::loadMotion(&model, scene.string().c_str()), 0);
    const kgiModelEntry& e = model.models[0];
    EXPECT_EQ(e.framesReplaced, 1);
    EXPECT_EQ(model.frameCount, 3);
    ASSERT_EQ(e.keyCount, 2);
    EXPECT_EQ(e.keyFrames[1], 2);
    for (size_t n = 0; n < moving.size(); ++n) {
        ASSERT_EQ(moving[n]->frameCount, 3) << moving[n]->name;
        EXPECT_FLOAT_EQ(moving[n]->frames[16 * 2 + 12], float(n));
        // Helpers (the hands, kind 4) keep one key in the file, in every frame.
        EXPECT_FLOAT_EQ(moving[n]->frames[16 * 2 + 13], moving[n]->jointKind == 4 ? 0.0f : 2.0f);
    }
    for (const kgiMeshRecord& r : e.records) {
        if (r.jointKind == 5) {
            EXPECT_EQ(r.frames, nullptr) << r.name;
        }
    }

    // The motion goes again, frames and key list with it.
    EXPECT_EQ(kgiModelDataList::releaseFrames(&model), 0);
    EXPECT_EQ(e.framesReplaced, 0);
    EXPECT_EQ(e.keyCount, 0);
    EXPECT_EQ(moving[0]->frames, nullptr);

    // A file whose depths do not fit the model is refused with its status.
    writeMotion(1);
    EXPECT_EQ(kgiModelDataList::loadMotion(&model, scene.string().c_str()), kgiKmmFile::DEPTH_DIFFERS);
    EXPECT_EQ(e.framesReplaced, 0);

    // A node without keys leaves its record without frames.
    writeMotion(0, true);
    ASSERT_EQ(kgiModelDataList::loadMotion(&model, scene.string().c_str()), 0);
    EXPECT_EQ(moving[3]->frames, nullptr);
    EXPECT_EQ(moving[4]->frameCount, 3);

    model.kind = kgiModelDataList::PLAIN;
    EXPECT_EQ(kgiModelDataList::loadMotion(&model, scene.string().c_str()), kgiModelDataList::NOT_A_SCENE_MODEL);
    EXPECT_EQ(kgiModelDataList::releaseFrames(&model), kgiModelDataList::NOT_A_SCENE_MODEL);
    fs::remove_all(dir);
}

// A motion held by a project pairs its nodes with the moving records in
// order: one of another node count would hand joints their neighbours'
// keys, so it is refused and the entry keeps the motion it showed.
TEST(ModelDataList, AProjectMotionOfAnotherNodeCountIsRefused)
{
    kgiModelData model;
    model.kind = kgiModelDataList::SCENE;
    ASSERT_TRUE(model.load(FACTORY_SCENE.string().c_str()));
    std::vector<const kgiMeshRecord*> moving;
    for (const kgiMeshRecord& r : model.models[0].records)
        if (r.jointKind != 5)
            moving.push_back(&r);
    ASSERT_GT(moving.size(), 2u);

    // Node n, frame f holds the translation (n, f, marker).
    auto project = [&](int nodes, float marker) {
        auto p = std::make_unique<kgiProject>();
        kgiKmmFile* kmm = p->createMotionFile();
        EXPECT_TRUE(kmm->create(nodes, 2, 1));
        for (int n = 0; n < nodes; ++n)
            for (int f = 0; f < 2; ++f) {
                float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, float(n), float(f), marker, 1};
                kmm->setKey(n, f, m);
            }
        return p;
    };
    const int fit = int(moving.size());
    ASSERT_EQ(kgiModelDataList::loadMotion(&model, *project(fit, 7.0f)), 0);
    for (int n = 0; n < fit; ++n) {
        ASSERT_EQ(moving[size_t(n)]->frameCount, 2) << n;
        EXPECT_FLOAT_EQ(moving[size_t(n)]->frames[16 + 12], float(n));
    }
    for (int nodes : {fit + 1, fit - 1, 1}) {
        EXPECT_EQ(kgiModelDataList::loadMotion(&model, *project(nodes, 9.0f)), kgiKmmFile::DEPTH_COUNT_DIFFERS)
            << nodes;
        EXPECT_EQ(model.models[0].framesReplaced, 1) << nodes;
        for (int n = 0; n < fit; ++n) {
            ASSERT_NE(moving[size_t(n)]->frames, nullptr) << nodes << " " << n;
            EXPECT_FLOAT_EQ(moving[size_t(n)]->frames[16 + 14], 7.0f) << nodes << " " << n;
        }
    }
    kgiModelDataList::releaseFrames(&model);
}
