#include "kgiRobotOutput.h"

#include "kgiRobotFormat.h"

#include "kgiKmmFile.h"
#include "kgiProjectPrefs.h"
#include "kneBytes.h"
#include "kneScene.h"
#include "kneSceneWriter.h"
#include "kneStatusWord.h"

#include "platform/files.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Bytes of one frame record: six floats and the 32-bit flag word.
const uint32_t FRAME_RECORD_BYTES = 6 * 4 + 4;
const uint32_t VERTEX_BYTES = 24;   // position and normal, six floats
const uint32_t TRIANGLE_BYTES = 6;  // three u16 vertex indices
const uint32_t MATERIAL_BYTES = 16; // diffuse RGBA, specular RGB, shininess, ambient RGBA, 2 x u16


// Allocates `bytes` in the table and returns their address, or null.
uint8_t* allocate(kneIdTable& t, uint32_t bytes, uint32_t& handle)
{
    handle = t.alloc(bytes);
    return handle == kneIdTable::NONE ? nullptr : t.resolve(handle, bytes);
}

// A mesh data entry of one element whose data is `bytes` long.
uint8_t* addMeshList(kneSceneObject* object, kneDataList owner, uint32_t type, uint32_t count,
                     uint32_t bytes)
{
    kneIdTable& t = object->getTable();
    kneDataEntry e = kneScene::createMeshData(object, owner, type, count, 1);
    uint8_t* element = e ? e.elementArray(t, 4) : nullptr;
    uint32_t handle;
    uint8_t* data = element ? allocate(t, bytes, handle) : nullptr;
    if (data)
        kneLE::put32(element, handle);
    return data;
}

bool writeMesh(kneSceneObject* object, kneNodeElement node, const kgiRobotMesh& mesh,
               const kgiRobotColour& colour)
{
    const uint32_t nv = uint32_t(mesh.vertexCount()), nt = uint32_t(mesh.triangleCount());
    kneDataList sub = node.getSubList();
    uint8_t* v = addMeshList(object, sub, kneDataEntry::VERTEX_LIST, nv, nv * VERTEX_BYTES);
    if (!v)
        return false;
    for (size_t k = 0; k < mesh.vertices.size(); ++k)
        kneLE::putF32(v + 4 * k, mesh.vertices[k]);
    // One material for the whole mesh: three indices a triangle.
    uint8_t* p = addMeshList(object, sub, kneDataEntry::POLYGON_LIST, nt, nt * TRIANGLE_BYTES);
    if (!p)
        return false;
    for (size_t k = 0; k < mesh.triangles.size(); ++k)
        kneLE::put16(p + 2 * k, mesh.triangles[k]);
    uint8_t* m = addMeshList(object, sub, kneDataEntry::MATERIAL_LIST, 1, MATERIAL_BYTES);
    if (!m)
        return false;
    for (int k = 0; k < 4; ++k) {
        m[k] = colour.diffuse[k];
        m[8 + k] = colour.ambient[k];
    }
    for (int k = 0; k < 3; ++k)
        m[4 + k] = colour.specular[k];
    m[7] = colour.shininess;
    kneLE::put16(m + 12, 0);
    kneLE::put16(m + 14, 0);
    return true;
}

} // namespace

std::string kgiRobotOutput::jointTableText(const kgiRobotModel& model)
{
    std::string text;
    int number = 0;
    for (const kgiRobotJointLine& l : model.getLines())
        text += kgiRobotFormat("%d : %s = %.1f :%d,%.1f,%.1f,%d :%d,%.1f,%.1f;\n", number++, l.name.c_str(), l.value,
                     l.axis, l.minAngle, l.maxAngle, l.direction, l.servo, l.scale, l.offset);
    return text;
}

std::string kgiRobotOutput::motorNamesText(const kgiRobotModel& model)
{
    std::string text;
    int number = 0;
    for (const kgiRobotJointLine& l : model.getLines())
        text += kgiRobotFormat("%02d : %s\n", number++, l.name.c_str());
    return text;
}

std::string kgiRobotOutput::timesheetText(const kgiRobotModel& model)
{
    return timesheetText(sceneFileName(model), motionFileName(model));
}

std::string kgiRobotOutput::timesheetText(const std::string& sceneFile, const std::string& motionFile)
{
    const kgiProjectPrefs p;
    std::string t;
    t += "# TS -- Zodarovu Timesheet\n\n";
    t += "Proj.set {\n";
    t += "\tDirectories {\n\t\tCharacter \"character\"\n\t\tMotion \"motion\"\n\t}\n";
    t += "\tPref {\n";
    t += kgiRobotFormat("\t\tfts %d\n\t\tfps %d\n\t\twstep %d\n\t\tg_p %d\n\t\tg_n %d\n", p.getFts(), p.getFps(),
              p.getWstep(), p.getGP(), p.getGN());
    t += kgiRobotFormat("\t\tg_t %f\n\t\tg_s %d\n\t\tffov %f\n\t\tfgain %f\n\t\tmgain %f\n\t\tdw %d\n", p.getGT(),
              p.getGS(), p.getFfov(), p.getFgain(), p.getMgain(), p.getDw());
    t += "\t}\n";
    if (!motionFile.empty())
        t += "\tMotion \"" + motionFile + "\"\n";
    t += "\tMotionController \"Quaternion\"\n";
    t += "\tCharacter \"" + sceneFile + "\"\n";
    t += "\tSelection 0,0\n";
    t += "}\n";
    return t;
}

std::string kgiRobotOutput::writeScene(const kgiRobotModel& model, const std::string& path)
{
    const std::vector<kgiRobotNode>& nodes = model.getNodes();
    const std::vector<float> ready = model.readyAngles();
    const std::string& name = model.getSpec().modelName;
    kneScene scene;
    scene.setSceneName(name.c_str());
    scene.setTimes(0.0f, 0.0f); // one frame: the rest pose
    kneSceneObject* object = scene.createObject(name.c_str());
    if (!object)
        return "cannot create the model object";
    kneIdTable& t = object->getTable();
    kneDataEntry list = kneScene::createObjectData(object, kneDataEntry::MODEL, uint32_t(nodes.size()), 1);
    uint8_t* elements = list ? list.elementArray(t, kneNodeElement::SIZE) : nullptr;
    if (!elements)
        return "cannot create the node array";
    list.setFormat(FRAME_BITS);
    for (size_t i = 0; i < nodes.size(); ++i) {
        const kgiRobotNode& n = nodes[i];
        kneNodeElement e(elements + i * kneNodeElement::SIZE);
        e.setDepth(uint16_t(n.depth));
        e.setFbits(FRAME_BITS);
        e.setName(t.storeString(n.name.c_str()));
        uint32_t handle;
        uint8_t* rec = allocate(t, FRAME_RECORD_BYTES, handle);
        if (!rec)
            return "cannot store the frame of " + n.name;
        const kmlMatrix4 local = model.localMatrix(int(i), ready);
        const kmlVec3 rot = model.localRotation(int(i), ready);
        for (int k = 0; k < 3; ++k) {
            kneLE::putF32(rec + 4 * k, local(k, 3));
            kneLE::putF32(rec + 12 + 4 * k, rot[k]);
        }
        kneLE::put32(rec + 24, uint32_t(n.kind)); // the node kind in the flag word
        e.setData(handle);
        if (n.kind == kgiRobotNode::MESH &&
            !writeMesh(object, e, n.mesh, model.getSpec().colours[size_t(n.mesh.colour)]))
            return "cannot store the mesh of " + n.name;
    }
    if (kneSceneWriter::writeFile(scene, path.c_str()) != 0)
        return "cannot write " + path;
    return "";
}

std::string kgiRobotOutput::writeMotion(const kgiRobotModel& model, const std::string& path)
{
    const std::vector<kgiRobotNode>& nodes = model.getNodes();
    const std::vector<float> ready = model.readyAngles();
    // The motion file holds the nodes that move: the root and the joints.
    std::vector<int> joints;
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].kind != kgiRobotNode::MESH)
            joints.push_back(int(i));
    kgiKmmFile kmm;
    bool ok = kmm.create(int(joints.size()), 1, 0);
    for (size_t k = 0; ok && k < joints.size(); ++k) {
        const kgiRobotNode& n = nodes[size_t(joints[k])];
        const kmlMatrix4 local = model.localMatrix(joints[k], ready);
        ok = kmm.setNodeName(int(k), n.name.c_str()) && kmm.setNodeType(int(k), int(n.kind)) &&
             kmm.setNodeDepth(int(k), n.depth) && kmm.setKey(int(k), 0, static_cast<const float*>(local));
    }
    if (!ok || !kmm.writeMatrices(path.c_str()))
        return "cannot write " + path;
    return "";
}

std::string kgiRobotOutput::writeText(const std::string& text, const std::string& path)
{
    platform::ReplaceFile out;
    bool ok = out.open(path);
    if (ok)
        ok = std::fwrite(text.data(), 1, text.size(), out.stream()) == text.size();
    if (!ok || !out.commit())
        return "cannot write " + path;
    return "";
}

std::string kgiRobotOutput::writeDataTree(const kgiRobotModel& model, const std::string& dataDir)
{
    const fs::path data(dataDir);
    const fs::path base = data / baseFolderName(model);
    const fs::path folder = data / model.getSpec().modelName;
    std::error_code ec;
    for (const fs::path& dir : {base / "character", base / "motion", folder / "motion", folder / "pose",
                                folder / "media", folder / "character"}) {
        fs::create_directories(dir, ec);
        if (ec)
            return "cannot create " + dir.string() + ": " + ec.message();
    }
    const fs::path scene = base / "character" / sceneFileName(model);
    const fs::path table = base / "character" / "model.ini";
    std::string err = writeScene(model, scene.string());
    if (err.empty())
        err = writeText(jointTableText(model), table.string());
    if (err.empty())
        err = writeText(motorNamesText(model), (base / "character" / "motNames.txt").string());
    if (err.empty())
        err = writeMotion(model, (base / "motion" / motionFileName(model)).string());
    if (err.empty())
        err = writeText(timesheetText(model), (base / timesheetFileName(model)).string());
    if (!err.empty())
        return err;
    for (const fs::path& file : {scene, table}) {
        if (platform::copyFile(file.string(), (folder / "character" / file.filename()).string()) !=
            platform::CopyResult::Ok)
            return "cannot copy " + file.string();
    }
    return "";
}
