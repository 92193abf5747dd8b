// Model builder: the factory robot's project and scene file into a node
// tree, the "project.txt" convention reader, mesh parts and key curves
// from scene records, and writing the keys back.
#include "kgcMesh.h"
#include "kgiCharacterServices.h"
#include "kgiKeyEdit.h"
#include "kgiKmdData.h"
#include "kgiKmmFile.h"
#include "kgiModelBuilder.h"
#include "kgiModelData.h"
#include "kgiModelParts.h"
#include "kgiProject.h"
#include "kgiWorld.h"
#include "kmlBaseCurve.h"
#include "ksgModel.h"
#include "ksgMotionController.h"
#include "ksgTransform.h"

#include "core/pose_robot_fixture_test.h"
#include "kgiRobotModel.h"
#include "kgiRobotOutput.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path dataDir()
{
    return kgiTestRobot::dataDir();
}

// Answers questions as told and keeps every message.
struct ScriptedServices : kgiCharacterServices {
    bool answer = true;
    std::vector<std::string> asked;
    std::vector<std::string> shown;
    bool askYesNo(const std::string& caption, const std::string&) override
    {
        asked.push_back(caption);
        return answer;
    }
    void showMessage(const std::string& caption, const std::string&) override { shown.push_back(caption); }
};

class ModelBuilder : public ::testing::Test {
protected:
    void SetUp() override
    {
        kgiCharacterServices::install(&services);
        // A copy of the factory folder: saving and "project.txt" go there.
        dir = fs::temp_directory_path() / ("kgi_model_builder_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy(dataDir() / "DORUZAVO_1base", dir / "robot", fs::copy_options::recursive);
        project = (dir / "robot" / "DORUZAVO_1.ts").string();
    }
    void TearDown() override
    {
        kgiCharacterServices::install(nullptr);
        fs::remove_all(dir);
    }
    void writeFile(const fs::path& p, const std::string& text)
    {
        std::ofstream(p) << text;
    }

    ScriptedServices services;
    fs::path dir;
    std::string project;
};

// Rewrites records of the copied scene file: the node kind (low four bits
// of the flag word) or, keeping its length or cutting it, the name.
struct SceneEdit {
    const char* record;
    int kind;            // -1 keeps it
    const char* newName; // null keeps it; at most as long as the old
};

void editScene(const fs::path& kmd, std::initializer_list<SceneEdit> edits)
{
    kgiModelData data;
    ASSERT_TRUE(data.load(kmd.string().c_str()));
    for (const SceneEdit& e : edits) {
        bool found = false;
        for (kgiMeshRecord& r : data.models[0].records) {
            if (!r.sourceName || std::string(r.sourceName) != e.record)
                continue;
            found = true;
            if (e.kind >= 0) {
                ASSERT_NE(r.flagWord, nullptr) << e.record;
                uint8_t* w = const_cast<uint8_t*>(r.flagWord);
                w[0] = uint8_t((w[0] & 0xF0) | e.kind);
            }
            if (e.newName) {
                ASSERT_LE(std::strlen(e.newName), std::strlen(r.sourceName)) << e.record;
                std::strcpy(const_cast<char*>(r.sourceName), e.newName);
            }
        }
        ASSERT_TRUE(found) << e.record;
    }
    ASSERT_TRUE(data.save(kmd.string().c_str()));
}

// Rewrites a motion-key file with `nodes` nodes: its own first ones, and
// copies of its last one for any more.
void resizeMotion(const fs::path& kmm, int nodes)
{
    kgiKmmFile in;
    ASSERT_TRUE(in.open(kmm.string().c_str()) && in.readHeader() && in.readBody());
    in.close();
    kgiKmmFile out;
    ASSERT_TRUE(out.create(nodes, in.getFrameCount(), in.getKeyCount()));
    for (int n = 0; n < nodes; ++n) {
        const kgiKmmNode* from = in.getNode(std::min(n, in.getNodeCount() - 1));
        out.setNodeName(n, n < in.getNodeCount() ? from->name.c_str() : "Extra");
        out.setNodeType(n, from->type);
        out.setNodeDepth(n, from->depth);
        for (int f = 0; f < in.getFrameCount(); ++f)
            out.setKey(n, f, from->getKey(f)->matrix);
    }
    ASSERT_TRUE(out.writeMatrices(kmm.string().c_str()));
}

int countNodes(ksgNode* root, unsigned char flags)
{
    kgiCountNode n(flags);
    ksgNullVisitor leave;
    root->depthVisit(n, leave);
    return n.count;
}

} // namespace

TEST_F(ModelBuilder, FactoryRobotBuildsItsJointsAndParts)
{
    kgiModelBuilder b;
    ASSERT_TRUE(b.load(project, kgiModelBuilder::BUILD_TREE));
    EXPECT_TRUE(services.asked.empty());
    EXPECT_TRUE(services.shown.empty());
    ksgTransform* root = b.getRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getName(), "Robot");
    EXPECT_EQ(b.getRootId(), root->getId());
    EXPECT_EQ(b.getModelData(), nullptr); // not kept without the flag
    EXPECT_TRUE(b.isMotionApplied());
    EXPECT_EQ(b.getAxisConvention().modeler, kgiAxisConvention::NOT_STATED);
    EXPECT_EQ(b.getAxisConvention().controllerKind, kgiAxisConvention::QUATERNION);

    // The 27 nodes of the motion file: the root, 24 servo joints and the two
    // hand helpers; all but the helpers move by quaternion curves.
    EXPECT_EQ(countNodes(root, 3), 27);
    EXPECT_EQ(countNodes(root, 8), 25);
    const char* joints[] = {"Body", "Head", "RShoulder", "RElbow", "R_WR1", "L_GR2", "LKnee", "RAnkle2"};
    for (const char* name : joints) {
        ksgNode* n = root->find(name);
        ASSERT_NE(n, nullptr) << name;
        EXPECT_EQ(kgiKmdData::of(n)->getType(), kgiKmdData::HINGE) << name;
        ksgMotionController* mc = getMotionController(n);
        ASSERT_NE(mc, nullptr) << name;
        EXPECT_EQ(mc->getRotationInterpolation(), KML_EVAL_LINEAR);
        // The motion file holds one frame and no key frames.
        EXPECT_EQ(mc->getBaseRotation()->getNumKeys(), 0) << name;
    }
    // The root joint stands where the scene file puts it.
    EXPECT_NEAR(root->getLocal()(1, 3), 18.03f, 0.01f);

    // Every mesh object carries its part, drawn with its own material.
    int parts = 0;
    for (ksgNode* n = root; n;) {
        if (ksgModel* m = n->asModel()) {
            ++parts;
            EXPECT_NE(m->getName().find("_Part0"), std::string::npos);
            kgiKmdData* d = kgiKmdData::of(m);
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->getType(), kgiKmdData::PART);
            EXPECT_NE(d->getOwnMaterial(), nullptr) << m->getName();
            EXPECT_EQ(getMotionController(m), nullptr);
        }
        // Next node depth first.
        if (n->getChild()) {
            n = n->getChild();
            continue;
        }
        while (n && !n->getSibling())
            n = n->getParent();
        n = n ? n->getSibling() : nullptr;
    }
    EXPECT_GT(parts, 20);
    EXPECT_GT(root->getBounds().getMax()[1], root->getBounds().getMin()[1]);
}

TEST_F(ModelBuilder, FailuresReportAndLeaveTheBuilderEmpty)
{
    kgiModelBuilder b;
    EXPECT_FALSE(b.load((dir / "missing.ts").string(), kgiModelBuilder::BUILD_TREE));
    EXPECT_EQ(services.shown, std::vector<std::string>({"Error - 061"}));
    EXPECT_EQ(b.getProject(), nullptr);

    fs::remove(dir / "robot" / "character" / "DORUZAVO_1.kmd");
    EXPECT_FALSE(b.load(project, kgiModelBuilder::BUILD_TREE));
    EXPECT_EQ(services.shown.back(), "Error - 060");
    EXPECT_EQ(b.getProject(), nullptr);
    EXPECT_EQ(b.getRoot(), nullptr);
}

TEST_F(ModelBuilder, ScenesWithoutASingleLeadingRootJointBuildNoTree)
{
    struct Case {
        const char* what;
        std::initializer_list<SceneEdit> edits;
    };
    const Case cases[] = {
        {"a second root joint", {{"Head", 1, nullptr}}},
        {"no root joint", {{"Robot", 3, nullptr}}},
        {"a later root joint", {{"Robot", 3, nullptr}, {"Body", 1, nullptr}}},
    };
    const fs::path kmd = dir / "robot" / "character" / "DORUZAVO_1.kmd";
    const fs::path factory = dataDir() / "DORUZAVO_1base" / "character" / "DORUZAVO_1.kmd";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::copy_file(factory, kmd, fs::copy_options::overwrite_existing);
        editScene(kmd, c.edits);
        services.shown.clear();
        kgiModelBuilder b;
        EXPECT_FALSE(b.load(project, kgiModelBuilder::BUILD_TREE));
        EXPECT_TRUE(services.shown.empty());
        EXPECT_EQ(b.getRoot(), nullptr);
        EXPECT_EQ(b.getProject(), nullptr);
        EXPECT_EQ(b.getModelData(), nullptr);
    }
}

TEST_F(ModelBuilder, AMotionFileWithANodeMoreOrFewerIsRefused)
{
    const fs::path kmm = dir / "robot" / "motion" / "DORUZAVO_1.kmm";
    const fs::path factory = dataDir() / "DORUZAVO_1base" / "motion" / "DORUZAVO_1.kmm";
    for (int nodes : {26, 28}) {
        SCOPED_TRACE(nodes);
        fs::copy_file(factory, kmm, fs::copy_options::overwrite_existing);
        resizeMotion(kmm, nodes);
        services.shown.clear();
        kgiModelBuilder b;
        EXPECT_FALSE(b.load(project, kgiModelBuilder::BUILD_TREE | kgiModelBuilder::KEEP_MODEL_DATA));
        EXPECT_EQ(services.shown, std::vector<std::string>({"Error - 061"}));
        EXPECT_EQ(b.getRoot(), nullptr);
        EXPECT_EQ(b.getProject(), nullptr);
        EXPECT_EQ(b.getModelData(), nullptr);
    }
    resizeMotion(kmm, 27);
    kgiModelBuilder b;
    EXPECT_TRUE(b.load(project, kgiModelBuilder::BUILD_TREE));
}

namespace {

struct StackLoad {
    std::string project;
    bool loaded = false;
    int children = 0;
};

void* loadOnThread(void* arg)
{
    StackLoad* job = static_cast<StackLoad*>(arg);
    kgiModelBuilder b;
    job->loaded = b.load(job->project, kgiModelBuilder::BUILD_TREE);
    if (job->loaded)
        for (ksgNode* n = b.getRoot()->getChild(); n; n = n->getSibling())
            ++job->children;
    return nullptr;
}

} // namespace

TEST_F(ModelBuilder, ThousandsOfObjectsOnOneLevelLoadOnASmallStack)
{
    // The factory robot with 3000 small plates hung on its root joint.
    kgiRobotDesc desc = kgiRobotDesc::doruzavo1();
    desc.modelName = "PLATES";
    std::vector<std::string> names;
    for (int i = 0; i < 3000; ++i)
        names.push_back("Plate" + std::to_string(i));
    for (const std::string& n : names)
        desc.parts.push_back({n.c_str(), nullptr, desc.rootName, kgiRobotPartSpec::BOX, {0.1f, 0.1f, 0.1f},
                              kgiRobotPartSpec::UP, {0.0f, 0.0f, 0.0f}, "frame"});
    kgiRobotModel model;
    std::vector<std::string> errors;
    ASSERT_TRUE(model.build(desc, errors));
    ASSERT_EQ(kgiRobotOutput::writeDataTree(model, dir.string()), "");

    StackLoad job;
    job.project = (dir / "PLATESbase" / "PLATES.ts").string();
    pthread_attr_t attr;
    pthread_attr_init(&attr);
#if defined(__SANITIZE_ADDRESS__)
    pthread_attr_setstacksize(&attr, 1024 * 1024);
#else
    pthread_attr_setstacksize(&attr, 256 * 1024);
#endif
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, loadOnThread, &job), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_TRUE(job.loaded);
    EXPECT_GT(job.children, 3000);
}

TEST_F(ModelBuilder, TheWorldsFrameRangeGoesToTheProjectTruncated)
{
    kgiModelBuilder b;
    EXPECT_FALSE(b.copyWorldFrameRange()); // no project
    ASSERT_TRUE(b.load(project, kgiModelBuilder::BUILD_TREE));
    kgiWorld* world = kgiWorld::instance();
    const float start = world->getStartFrame(), end = world->getEndFrame();
    world->setEndFrame(42.9f);
    world->setStartFrame(3.7f);
    const bool copied = b.copyWorldFrameRange();
    world->setStartFrame(start);
    world->setEndFrame(end);
    ASSERT_TRUE(copied);
    EXPECT_EQ(b.getProject()->getSelectionFirst(), 3);
    EXPECT_EQ(b.getProject()->getSelectionLast(), 42);
}

TEST_F(ModelBuilder, EulerProjectFromMaxAsksAndNoStopsTheLoad)
{
    // The factory timesheet names the quaternion controller; switch it.
    std::ifstream in(project);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    text.replace(text.find("\"Quaternion\""), 12, "\"Euler\"");
    writeFile(project, text);
    writeFile(dir / "robot" / "project.txt", "Modeler MAX\n");

    kgiModelBuilder b;
    services.answer = false;
    EXPECT_FALSE(b.load(project, kgiModelBuilder::BUILD_TREE));
    EXPECT_EQ(services.asked, std::vector<std::string>({"Warning - Curve import"}));
    EXPECT_TRUE(services.shown.empty());
    EXPECT_EQ(b.getRoot(), nullptr);

    services.answer = true;
    ASSERT_TRUE(b.load(project, kgiModelBuilder::BUILD_TREE));
    EXPECT_EQ(b.getAxisConvention().controllerKind, kgiAxisConvention::EULER_CURVES);
    EXPECT_EQ(countNodes(b.getRoot(), 4), 25); // Euler controllers throughout
}

TEST_F(ModelBuilder, ProjectTxtTokensApplyInOrder)
{
    struct Case {
        const char* text;
        int modeler;
        bool root90;
    } cases[] = {
        {"Modeler MAX\n", kgiAxisConvention::MAX, true},
        {"Modeler\tMAYA\n", kgiAxisConvention::MAYA, false},
        {"Modeler 1 MAX\r\n", kgiAxisConvention::MAX, true},
        {"Modeler MAYA 1\n", kgiAxisConvention::MAYA, true},
        {"Modeler=MAX\n", kgiAxisConvention::NOT_STATED, true},
        {"Other MAX\nModeler  \t 0", kgiAxisConvention::NOT_STATED, false},
    };
    kgiModelBuilder b;
    const fs::path txt = dir / "project.txt";
    for (const Case& c : cases) {
        writeFile(txt, c.text);
        EXPECT_TRUE(b.readAxisConvention(txt.string())) << c.text;
        EXPECT_EQ(b.getAxisConvention().modeler, c.modeler) << c.text;
        EXPECT_EQ(b.getAxisConvention().root90, c.root90) << c.text;
        EXPECT_EQ(b.getAxisConvention().controllerKind, kgiAxisConvention::QUATERNION) << c.text;
    }
    EXPECT_FALSE(b.readAxisConvention((dir / "none.txt").string()));
    EXPECT_EQ(b.getAxisConvention().modeler, kgiAxisConvention::NOT_STATED);
}

TEST_F(ModelBuilder, SavingWithoutKeysWritesOneFrame)
{
    kgiModelBuilder b;
    EXPECT_FALSE(b.saveMotion("x.ts")); // nothing loaded
    ASSERT_TRUE(b.load(project, kgiModelBuilder::BUILD_TREE));
    ASSERT_TRUE(b.saveMotion(""));
    kgiKmmFile kmm;
    ASSERT_TRUE(kmm.open((dir / "robot" / "motion" / "DORUZAVO_1.kmm").string().c_str()));
    ASSERT_TRUE(kmm.readHeader());
    ASSERT_TRUE(kmm.readBody());
    EXPECT_EQ(kmm.getNodeCount(), 27);
    EXPECT_EQ(kmm.getFrameCount(), 1);
    EXPECT_EQ(kmm.getKeyCount(), 0);
    EXPECT_EQ(kmm.getNode(0)->name, "Robot");
    EXPECT_EQ(kmm.getNode(0)->type, kgiKmdData::ROOT);
}

namespace {

// Every joint of a tree that the motion-key file holds with its keys (the
// hand helpers keep none), depth first.
void motionJoints(ksgNode* n, std::vector<ksgNode*>& out)
{
    for (; n; n = n->getSibling()) {
        if (kgiIsMotionFileNode(n) && getMotionController(n))
            out.push_back(n);
        motionJoints(n->getChild(), out);
    }
}

// Every joint's key matrix at each key time, as its controller gives it.
std::vector<kmlMatrix4> keyMatrices(ksgNode* root, const std::vector<float>& times)
{
    std::vector<ksgNode*> joints;
    motionJoints(root, joints);
    std::vector<kmlMatrix4> out;
    for (ksgNode* j : joints)
        for (float t : times)
            out.push_back(kgiTestRobot::evaluated(getMotionController(j), t));
    return out;
}

} // namespace

TEST_F(ModelBuilder, KeysSurviveASaveAndALoad)
{
    kgiModelBuilder b;
    ASSERT_TRUE(b.load(project, kgiModelBuilder::BUILD_TREE));
    ksgNullVisitor leave;
    // Each joint turned its own way at each key, the root moved too.
    std::vector<ksgNode*> joints;
    motionJoints(b.getRoot(), joints);
    for (float t : {0.0f, 10.0f}) {
        for (size_t i = 0; i < joints.size(); ++i) {
            kmlMatrix4 m = joints[i]->getLocal();
            m.rotate(3.0f * float(i) + t, kmlVec3(0.3f, 1.0f, 0.2f));
            if (i == 0)
                m.setTranslation(kmlVec3(1.0f + t, 18.0f, -2.0f));
            joints[i]->asTransform()->setLocal(m);
        }
        kgiAddKey add(t);
        b.getRoot()->depthVisit(add, leave);
    }
    const std::vector<kmlMatrix4> saved = keyMatrices(b.getRoot(), {0.0f, 10.0f});
    ASSERT_TRUE(b.saveMotion("walk.ts"));
    // Rotation-only joints are written with their own translation, not the
    // identity's zeros.
    kgiKmmFile kmm;
    ASSERT_TRUE(kmm.open((dir / "robot" / "motion" / "walk.kmm").string().c_str()));
    ASSERT_TRUE(kmm.readHeader() && kmm.readBody());
    ASSERT_EQ(kmm.getNode(2)->name, "Head");
    EXPECT_EQ(kmm.getFrameCount(), 11);
    EXPECT_NEAR(kmm.getNode(2)->getKey(10)->matrix[12], -10.0f, 1e-4);
    kgiModelBuilder again;
    ASSERT_TRUE(again.load((dir / "robot" / "walk.ts").string(), kgiModelBuilder::BUILD_TREE));
    kgiGetKeysInfo info;
    again.getRoot()->depthVisit(info, leave);
    EXPECT_EQ(info.times, std::vector<float>({0.0f, 10.0f}));
    // A hinge keeps its translation from the scene, not the file's rotation-only rows.
    EXPECT_NEAR(again.getRoot()->find("Head")->getLocal()(0, 3), -10.0f, 1e-4);
    // Every key of every joint comes back: each record took its own node.
    const std::vector<kmlMatrix4> read = keyMatrices(again.getRoot(), {0.0f, 10.0f});
    ASSERT_EQ(read.size(), saved.size());
    for (size_t i = 0; i < read.size(); ++i)
        EXPECT_LT(kgiTestRobot::maxDiff(read[i], saved[i]), 1e-5f) << "joint " << i / 2 << " key " << i % 2;
}

TEST_F(ModelBuilder, APathWithAFolderSavesWhereItPointsABareNameInThePlace)
{
    // "Save as" into another folder: the timesheet and its motion file go
    // there (into the project folder the save makes), the old project's
    // files stay as they were; a bare name stays in the project's folder.
    const fs::path oldTs = dir / "robot" / "DORUZAVO_1.ts";
    const fs::path oldKmm = dir / "robot" / "motion" / "DORUZAVO_1.kmm";
    const auto stamp = [](const fs::path& p) { return fs::last_write_time(p); };
    const auto tsBefore = stamp(oldTs);
    const auto kmmBefore = stamp(oldKmm);
    kgiModelBuilder b;
    ASSERT_TRUE(b.load(project, kgiModelBuilder::BUILD_TREE));
    ksgNullVisitor leave;
    kgiAddKey add(4.0f);
    b.getRoot()->depthVisit(add, leave);

    fs::create_directories(dir / "elsewhere");
    ASSERT_TRUE(b.saveMotion((dir / "elsewhere" / "walk.ts").string()));
    const fs::path saved = dir / "elsewhere" / "walk.prj";
    EXPECT_TRUE(fs::exists(saved / "walk.ts"));
    EXPECT_TRUE(fs::exists(saved / "motion" / "walk.kmm"));
    EXPECT_FALSE(fs::exists(dir / "robot" / "walk.ts"));
    EXPECT_EQ(stamp(oldTs), tsBefore);
    EXPECT_EQ(stamp(oldKmm), kmmBefore);
    EXPECT_EQ(b.getProject()->getTsPath(), (saved / "walk.ts").string());

    // The project now lives there: an empty name saves in place, a bare
    // name beside it.
    ASSERT_TRUE(b.saveMotion(""));
    ASSERT_TRUE(b.saveMotion("run"));
    EXPECT_TRUE(fs::exists(saved / "run.ts"));
    EXPECT_TRUE(fs::exists(saved / "motion" / "run.kmm"));
    kgiModelBuilder again;
    ASSERT_TRUE(again.load((saved / "walk.ts").string(), kgiModelBuilder::BUILD_TREE));
    kgiGetKeysInfo info;
    again.getRoot()->depthVisit(info, leave);
    EXPECT_EQ(info.times, std::vector<float>({4.0f}));
}

TEST_F(ModelBuilder, NodeNamesAFileCannotHoldAreMadeReadableAndSurviveASave)
{
    editScene(dir / "robot" / "character" / "DORUZAVO_1.kmd",
              {{"Head", -1, "He:d"}, {"RArm", -1, "R,rm"}, {"LArm", -1, "L\"rm"}, {"Body", -1, "Bo y"},
               {"RKnee", -1, ""}});
    kgiModelBuilder b;
    ASSERT_TRUE(b.load(project, kgiModelBuilder::BUILD_TREE));
    for (const char* name : {"He_d", "R_rm", "L_rm", "Bo_y", "Node"})
        EXPECT_NE(b.getRoot()->find(name), nullptr) << name;
    ksgNullVisitor leave;
    for (float t : {0.0f, 10.0f}) {
        kmlMatrix4 m;
        m.rotate(10.0f + t, kmlVec3(0.0f, 0.0f, 1.0f));
        b.getRoot()->find("Node")->asTransform()->setLocal(m);
        kgiAddKey add(t);
        b.getRoot()->depthVisit(add, leave);
    }
    const std::vector<kmlMatrix4> saved = keyMatrices(b.getRoot(), {0.0f, 10.0f});
    ASSERT_TRUE(b.saveMotion("renamed.ts"));
    kgiModelBuilder again;
    ASSERT_TRUE(again.load((dir / "robot" / "renamed.ts").string(), kgiModelBuilder::BUILD_TREE));
    kgiGetKeysInfo info;
    again.getRoot()->depthVisit(info, leave);
    EXPECT_EQ(info.times, std::vector<float>({0.0f, 10.0f}));
    const std::vector<kmlMatrix4> read = keyMatrices(again.getRoot(), {0.0f, 10.0f});
    ASSERT_EQ(read.size(), saved.size());
    for (size_t i = 0; i < read.size(); ++i)
        EXPECT_LT(kgiTestRobot::maxDiff(read[i], saved[i]), 1e-5f) << i;
}

TEST(ModelParts, MaterialPerFaceSplitsInOrderOfFirstUse)
{
    // Four vertices, faces of materials 2, 0, 2.
    const float vertices[4 * 6] = {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1};
    const uint16_t faces[3 * 4] = {0, 1, 2, 2, 1, 3, 2, 0, 0, 2, 3, 2};
    kgiMeshRecord r;
    r.sourceName = "arm";
    r.vertexCount = 4;
    r.vertices = vertices;
    r.polygonCount = 3;
    r.polygons = faces;
    r.polygonKind = 3;
    r.materialCount = 3;
    r.materials.resize(3);
    std::vector<ksgNode*> parts;
    ASSERT_EQ(kgiBuildMeshParts(&r, parts), 2);
    EXPECT_EQ(parts[0]->getName(), "arm_Part0");
    EXPECT_EQ(parts[1]->getName(), "arm_Part1");
    EXPECT_EQ(static_cast<ksgModel*>(parts[0])->getMesh()->getNumFaces(), 2);
    EXPECT_EQ(static_cast<ksgModel*>(parts[1])->getMesh()->getNumFaces(), 1);
    for (ksgNode* p : parts)
        delete p;

    // One material for the mesh: one part; an index past the table gives
    // the part no material state.
    r.polygonKind = 2;
    r.materialCount = 0;
    r.materials.clear();
    const uint16_t plain[3 * 3] = {0, 1, 2, 2, 1, 3, 0, 2, 3};
    r.polygons = plain;
    ASSERT_EQ(kgiBuildMeshParts(&r, parts), 1);
    EXPECT_EQ(parts[0]->getName(), "arm_Part0");
    EXPECT_EQ(parts[0]->getState(), nullptr);
    delete parts[0];
}

TEST(ModelParts, CurvesHoldAKeyAtEveryListedFrame)
{
    const int frames = 11;
    std::unique_ptr<float[]> table(new float[frames * 16]());
    for (int f = 0; f < frames; ++f) {
        float* m = &table[f * 16];
        m[0] = m[5] = m[10] = m[15] = 1.0f;
        m[12] = float(f); // x translation = frame
    }
    kgiMeshRecord r;
    r.setFrames(std::move(table), frames);
    const uint16_t keys[] = {0, 10};
    std::unique_ptr<kmlBaseCurve> curves[] = {
        std::unique_ptr<kmlBaseCurve>(kgiMakeQuatCurve(&r, frames, 2, keys)),
        std::unique_ptr<kmlBaseCurve>(kgiMakePositionCurve(&r, frames, 2, keys)),
        std::unique_ptr<kmlBaseCurve>(kgiMakeEulerCurve(&r, frames, 2, keys)),
    };
    for (auto& c : curves) {
        ASSERT_EQ(c->getNumKeys(), 2);
        EXPECT_FLOAT_EQ(c->getKey(0)->getTime(), 0.0f);
        EXPECT_FLOAT_EQ(c->getKey(1)->getTime(), 10.0f);
    }
    // A frame count beyond the record's own frames reads no further.
    std::unique_ptr<kmlBaseCurve> longer(kgiMakePositionCurve(&r, 100, 2, keys));
    EXPECT_EQ(longer->getNumKeys(), 2);
    const uint16_t past[] = {0, 50};
    std::unique_ptr<kmlBaseCurve> clipped(kgiMakePositionCurve(&r, 100, 2, past));
    EXPECT_EQ(clipped->getNumKeys(), 1);
    std::unique_ptr<kmlBaseCurve> none(kgiMakeQuatCurve(nullptr, frames, 2, keys));
    EXPECT_EQ(none->getNumKeys(), 0);

    // Lists out of order or with a frame twice give the same two keys.
    const uint16_t reversed[] = {10, 0};
    const uint16_t doubled[] = {0, 0, 10};
    for (const auto& list : {std::vector<uint16_t>(reversed, reversed + 2), std::vector<uint16_t>(doubled, doubled + 3)}) {
        std::unique_ptr<kmlBaseCurve> made[] = {
            std::unique_ptr<kmlBaseCurve>(kgiMakeQuatCurve(&r, frames, int(list.size()), list.data())),
            std::unique_ptr<kmlBaseCurve>(kgiMakePositionCurve(&r, frames, int(list.size()), list.data())),
            std::unique_ptr<kmlBaseCurve>(kgiMakeEulerCurve(&r, frames, int(list.size()), list.data())),
        };
        for (auto& c : made) {
            ASSERT_EQ(c->getNumKeys(), 2) << list.size();
            EXPECT_FLOAT_EQ(c->getKey(0)->getTime(), 0.0f);
            EXPECT_FLOAT_EQ(c->getKey(1)->getTime(), 10.0f);
        }
    }
}
