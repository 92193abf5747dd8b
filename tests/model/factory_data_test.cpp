// The default data a build lays out: the factory project opens, its model
// reads through the scene library as the program reads it, and the joint
// table names nodes of that model and every servo once.
#include "kgiKmmFile.h"
#include "kgiModelData.h"
#include "kgiProject.h"
#include "kgiRobotLink.h"
#include "kgiRobotDesc.h"
#include "kneBytes.h"
#include "kneScene.h"
#include "kneSceneReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path DATA = KGI_DATA_DIR;
const fs::path BASE = DATA / "DORUZAVO_1base";
const fs::path MODEL = DATA / "DORUZAVO_1";

std::string readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One node record as the scene file holds it.
struct Record {
    std::string name;
    int depth;
    int kind;                  // low four bits of the flag word
    int vertices = -1;         // -1: no mesh
    int triangles = 0;
    int materials = 0;
    bool indicesInRange = true;
};

// Reads the model's node records, checking every array against the bytes
// that hold it; adds a failure and returns what it got on the first fault.
std::vector<Record> readRecords(const fs::path& path)
{
    std::vector<Record> out;
    kneScene scene;
    EXPECT_EQ(kneSceneReader::readFile(scene, path.string().c_str()), 0u);
    uint32_t count = 0;
    kneSceneEntry* entries = scene.getEntries(count);
    if (!entries || count != 1 || !entries[0].sobj) {
        ADD_FAILURE() << "expected one object, got " << count << " slots";
        return out;
    }
    kneSceneObject* object = entries[0].sobj.get();
    kneIdTable& t = object->getTable();
    EXPECT_EQ(object->getDataType(0), kneDataEntry::MODEL);
    kneDataEntry nodes = object->findData(kneDataEntry::MODEL);
    const uint8_t* elems = nodes ? nodes.elementArray(t, kneNodeElement::SIZE) : nullptr;
    if (!elems) {
        ADD_FAILURE() << "no node array";
        return out;
    }
    for (uint32_t i = 0; i < nodes.getEntryCount(); ++i) {
        kneNodeElement e(const_cast<uint8_t*>(elems) + i * kneNodeElement::SIZE);
        const char* name = t.resolveString(e.getName());
        const uint32_t fbits = e.getFbits();
        const uint32_t recordBytes = kneNodeElement::recordBytes(fbits);
        const uint8_t* frame = recordBytes ? t.resolve(e.getData(), recordBytes) : nullptr;
        if (!name || !frame || !(fbits & kneNodeElement::FLAG32)) {
            ADD_FAILURE() << "node " << i << " lacks a name, a frame or a 32-bit flag word";
            return out;
        }
        Record r;
        r.name = name;
        r.depth = e.getDepth();
        r.kind = int(kneLE::u32(frame + recordBytes - 4) & 0xF);
        kneDataList sub = e.getSubList();
        kneDataEntry v = sub.find(t, kneDataEntry::VERTEX_LIST);
        kneDataEntry p = sub.find(t, kneDataEntry::POLYGON_LIST);
        kneDataEntry m = sub.find(t, kneDataEntry::MATERIAL_LIST);
        if (v && p && m) {
            const uint8_t* ve = v.elementArray(t, 4);
            const uint8_t* pe = p.elementArray(t, 4);
            const uint8_t* me = m.elementArray(t, 4);
            r.vertices = int(v.getArrayCount());
            r.triangles = int(p.getArrayCount());
            r.materials = int(m.getArrayCount());
            const uint8_t* tri = pe ? t.resolve(kneLE::u32(pe), r.triangles * 6) : nullptr;
            if (!ve || !t.resolve(kneLE::u32(ve), r.vertices * 24) || !tri || !me ||
                !t.resolve(kneLE::u32(me), r.materials * 16)) {
                ADD_FAILURE() << r.name << ": a mesh array runs past its page";
                return out;
            }
            for (int k = 0; k < 3 * r.triangles; ++k)
                r.indicesInRange &= kneLE::u16(tri + 2 * k) < r.vertices;
        }
        out.push_back(r);
    }
    return out;
}

struct TableLine {
    std::string name;
    int servo;
};

std::vector<TableLine> readJointTable(const fs::path& path)
{
    std::vector<TableLine> lines;
    std::istringstream in(readAll(path));
    std::string line;
    while (std::getline(in, line)) {
        int n, axis, dir, servo;
        float value, lo, hi, scale, offset;
        char name[256];
        if (std::sscanf(line.c_str(), "%d : %255s = %f :%d,%f,%f,%d :%d,%f,%f;", &n, name, &value, &axis, &lo,
                        &hi, &dir, &servo, &scale, &offset) == 10)
            lines.push_back({name, servo});
        else
            ADD_FAILURE() << "line does not scan: " << line;
    }
    return lines;
}

} // namespace

TEST(FactoryData, FoldersAndFilesAreLaidOut)
{
    for (const fs::path& dir : {BASE / "character", BASE / "motion", MODEL / "motion", MODEL / "pose",
                                MODEL / "media", MODEL / "character"})
        EXPECT_TRUE(fs::is_directory(dir)) << dir;
    for (const fs::path& file : {BASE / "DORUZAVO_1.ts", BASE / "motion" / "DORUZAVO_1.kmm"})
        EXPECT_TRUE(fs::is_regular_file(file)) << file;
    // The model folder holds the same character files as the factory folder.
    for (const char* name : {"DORUZAVO_1.kmd", "model.ini"}) {
        EXPECT_TRUE(fs::is_regular_file(BASE / "character" / name)) << name;
        EXPECT_EQ(readAll(MODEL / "character" / name), readAll(BASE / "character" / name)) << name;
    }
}

TEST(FactoryData, ModelReadsAsATreeOfJointsAndMeshes)
{
    std::vector<Record> records = readRecords(BASE / "character" / "DORUZAVO_1.kmd");
    ASSERT_GT(records.size(), 25u);
    std::set<std::string> names;
    for (size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        SCOPED_TRACE(r.name);
        EXPECT_TRUE(names.insert(r.name).second) << "name used twice";
        // Node 0 alone is the root and of depth 0; depths step down by one.
        EXPECT_EQ(r.depth == 0, i == 0);
        EXPECT_EQ(r.kind == 1, i == 0);
        if (i > 0) {
            EXPECT_LE(r.depth, records[i - 1].depth + 1);
        }
        // Joints (3) and the hand helpers (4) carry no mesh; mesh nodes (5)
        // carry one with a material, and are leaves.
        ASSERT_TRUE(r.kind == 1 || r.kind == 3 || r.kind == 4 || r.kind == 5) << r.kind;
        if (r.kind == 5) {
            EXPECT_GT(r.vertices, 0);
            EXPECT_GT(r.triangles, 0);
            EXPECT_EQ(r.materials, 1);
            EXPECT_TRUE(r.indicesInRange);
            if (i + 1 < records.size()) {
                EXPECT_LE(records[i + 1].depth, r.depth);
            }
        } else {
            EXPECT_EQ(r.vertices, -1);
        }
    }
}

TEST(FactoryData, JointTableNamesJointsOfTheModelAndEveryServoOnce)
{
    std::vector<Record> records = readRecords(BASE / "character" / "DORUZAVO_1.kmd");
    std::vector<TableLine> lines = readJointTable(BASE / "character" / "model.ini");
    ASSERT_EQ(lines.size(), 24u);
    std::set<int> servos;
    for (const TableLine& l : lines) {
        auto it = std::find_if(records.begin(), records.end(), [&](const Record& r) { return r.name == l.name; });
        ASSERT_NE(it, records.end()) << l.name << " is no node of the model";
        EXPECT_EQ(it->kind, 3) << l.name;
        EXPECT_TRUE(l.servo >= 0 && l.servo < 24) << l.name;
        EXPECT_TRUE(servos.insert(l.servo).second) << "servo " << l.servo << " twice";
    }
    // Every joint of the model is a line of the table.
    for (const Record& r : records) {
        if (r.kind == 3) {
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const TableLine& l) { return l.name == r.name; }))
                << r.name;
        }
    }
}

TEST(FactoryData, FactoryProjectOpensWithItsModelAndMotion)
{
    kgiProject project;
    ASSERT_EQ(project.open((BASE / "DORUZAVO_1.ts").string().c_str()), 1) << project.getStatus();
    EXPECT_EQ(project.isEulerController(), 0);
    EXPECT_EQ(project.getCharacterName(), "DORUZAVO_1.kmd");
    EXPECT_TRUE(fs::is_regular_file(project.getCharacterPath())) << project.getCharacterPath();

    // The motion file holds one rest frame of every node that moves, in the
    // model's order and at the model's depths, and no key frame.
    const kgiKmmFile* motion = project.getMotionFile();
    ASSERT_NE(motion, nullptr);
    EXPECT_EQ(motion->getStatus(), 0);
    std::vector<Record> records = readRecords(project.getCharacterPath());
    std::vector<Record> moving;
    for (const Record& r : records)
        if (r.kind != 5)
            moving.push_back(r);
    ASSERT_EQ(motion->getNodeCount(), int(moving.size()));
    for (int i = 0; i < motion->getNodeCount(); ++i) {
        const kgiKmmNode* n = motion->getNode(i);
        EXPECT_EQ(n->name, moving[size_t(i)].name);
        EXPECT_EQ(n->depth, moving[size_t(i)].depth) << n->name;
        EXPECT_EQ(n->type, moving[size_t(i)].kind) << n->name;
        EXPECT_EQ(n->keyCount, 1) << n->name;
    }
    EXPECT_EQ(motion->getKeyCount(), 0);
}

TEST(FactoryData, ModelLoadsAsTheProgramBuildsItsCharacter)
{
    kgiModelData data;
    ASSERT_TRUE(data.load((BASE / "character" / "DORUZAVO_1.kmd").string().c_str()));
    ASSERT_EQ(data.modelCount, 1);
    EXPECT_EQ(data.frameCount, 1);
    const kgiModelEntry& model = data.models[0];
    EXPECT_EQ(model.frameLayout, kgiModelEntry::TR);
    ASSERT_EQ(int(model.records.size()), model.recordCount);

    // The builder walks first-child and next-sibling links from record 0:
    // that walk reaches every record once, in stored order.
    std::vector<const kgiMeshRecord*> walk;
    std::function<void(const kgiMeshRecord*)> visit = [&](const kgiMeshRecord* r) {
        for (; r; r = r->nextSibling) {
            walk.push_back(r);
            visit(r->firstChild);
        }
    };
    visit(&model.records[0]);
    ASSERT_EQ(walk.size(), model.records.size());
    for (size_t i = 0; i < walk.size(); ++i)
        EXPECT_EQ(walk[i], &model.records[i]) << i;

    std::set<std::string> joints;
    for (const kgiMeshRecord& r : model.records) {
        SCOPED_TRACE(r.name);
        EXPECT_STREQ(r.name, r.sourceName); // already unique: no suffix
        EXPECT_EQ(r.jointKind == 1, &r == &model.records[0]);
        if (r.jointKind == 3)
            joints.insert(r.name);
        // Mesh parts: one material for the whole mesh, vertices present.
        EXPECT_EQ(r.jointKind == 5, r.vertexCount > 0);
        if (r.jointKind == 5) {
            EXPECT_EQ(r.polygonKind, 2);
            ASSERT_EQ(r.materialCount, 1);
            EXPECT_FLOAT_EQ(r.materials[0].color[3], 1.0f); // opaque: alpha byte 255
        }
    }
    for (const TableLine& l : readJointTable(BASE / "character" / "model.ini"))
        EXPECT_EQ(joints.count(l.name), 1u) << l.name << " is no joint of the loaded model";
    EXPECT_EQ(joints.size(), 24u);
}

TEST(FactoryData, BoardDefaultPoseIsTheOneTheModelStartsIn)
{
    // The tool proves its initial values convert to this pose; it must be
    // the pose the link starts every channel with.
    auto link = std::make_unique<kgiRobotLink>();
    const kgiRobotDesc desc = kgiRobotDesc::doruzavo1();
    for (int ch = 0; ch < kgiRobotLink::CHANNELS; ++ch)
        for (int s = 0; s < kgiRobotLink::SERVOS; ++s)
            EXPECT_EQ(int(link->servo8[ch][s]), desc.defaultServos[s]) << "channel " << ch << " servo " << s;
}
