#include "kgiModelParts.h"

#include "kgcMaterial.h"
#include "kgcMesh.h"
#include "kgiCharacterServices.h"
#include "kgiKmdData.h"
#include "kgiKmmFile.h"
#include "kgiModelData.h"
#include "kgiProject.h"
#include "kmlEuler.h"
#include "kmlEulerCurve.h"
#include "kmlMatrix4.h"
#include "kmlVec3.h"
#include "kmlQuatCurve.h"
#include "kmlTCCurve.h"
#include "kneBytes.h"
#include "ksgModel.h"
#include "ksgState.h"
#include "ksgStateParam.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

const int MATRIX_FLOATS = 16;
// Scene-file faces: three u16 vertex indices, and in mesh mode 3 a u16
// material index after them.
const int MATERIAL_FACE_WORDS = 4;
const int PLAIN_FACE_WORDS = 3;
// Mesh mode of a record whose faces each name their material (mode 2
// gives every face the record's one material).
const int MATERIAL_PER_FACE = 3;

int faceWords(const kgiMeshRecord* r)
{
    return r->polygonKind == MATERIAL_PER_FACE ? MATERIAL_FACE_WORDS : PLAIN_FACE_WORDS;
}

const uint16_t* faceAt(const kgiMeshRecord* r, int face)
{
    return r->polygons + size_t(face) * size_t(faceWords(r));
}

std::string sourceNameOf(const kgiMeshRecord* r)
{
    return r->sourceName ? r->sourceName : "";
}

} // namespace

void kgiPartIndexSet::addFace(int face)
{
    if (unique)
        for (int f : faces)
            if (f == face)
                return;
    faces.push_back(face);
}

void kgiPartIndexSet::addVertex(int vertex)
{
    if (unique && positions.count(vertex))
        return;
    positions[vertex] = int(vertices.size());
    vertices.push_back(vertex);
}

kgiProject* kgiOpenProject(const std::string& path)
{
    std::unique_ptr<kgiProject> project(new kgiProject);
    if (project->open(path.c_str()) == 1)
        return project.release();
    // A failing curve file alone: the project opens without its curves.
    if (project->getCurveFile() && project->getCurveFile()->getStatus() != 0 && project->isOpen()) {
        project->releaseCurveFile();
        return project.release();
    }
    return nullptr;
}

bool kgiOpenModel(const std::string& path, kgiProject*& project, kgiModelData*& model, bool& motionApplied)
{
    model = nullptr;
    motionApplied = false;
    project = kgiOpenProject(path);
    if (!project)
        return false;
    if (project->getCharacterName().empty() || project->getCharacterPath().empty())
        return false;
    std::unique_ptr<kgiModelData> data(new kgiModelData);
    data->kind = 2; // a model read from a scene file
    if (!data->load(project->getCharacterPath().c_str()) || data->models.empty())
        return false;
    if (const kgiKmmFile* motion = project->getMotionFile()) {
        const int applied = kgiApplyMotionFile(data.get(), motion);
        project->releaseMotionFile();
        if (applied != 0) {
            // Project and model were read; the motion does not fit.
            model = data.release();
            return false;
        }
        motionApplied = true;
    }
    model = data.release();
    return true;
}

int kgiApplyMotionFile(kgiModelData* model, const kgiKmmFile* motion)
{
    if (!model || model->models.empty() || model->models[0].frameLayout == 0 || !motion)
        return 0;
    kgiModelEntry& e = model->models[0];
    int joints = 0;
    for (const kgiMeshRecord& r : e.records)
        if (r.jointKind != kgiKmdData::NONE && r.jointKind != kgiKmdData::PART)
            ++joints;
    // Records and nodes pair by order: a node more or fewer would hand every
    // later joint its neighbour's frames.
    if (motion->getNodeCount() != joints)
        return MOTION_DOES_NOT_FIT;
    for (kgiMeshRecord& r : e.records)
        r.setFrames(nullptr, 0);
    e.setKeyFrames(nullptr, 0);
    e.keyCount = 0;

    const int frames = motion->getFrameCount();
    int node = 0;
    for (kgiMeshRecord& r : e.records) {
        if (r.jointKind == kgiKmdData::NONE || r.jointKind == kgiKmdData::PART)
            continue;
        const kgiKmmNode* n = motion->getNode(node++);
        // A file with fewer nodes, or a node without keys, leaves the
        // record without frames rather than reading what is not there.
        if (!n || frames < 1 || !n->getKey(0))
            continue;
        std::unique_ptr<float[]> table(new float[size_t(frames) * MATRIX_FLOATS]);
        for (int f = 0; f < frames; ++f)
            std::memcpy(&table[size_t(f) * MATRIX_FLOATS], n->getKey(f)->matrix, sizeof(float) * MATRIX_FLOATS);
        r.setFrames(std::move(table), frames);
    }
    const std::vector<uint16_t>& keys = motion->getKeyFrames();
    if (!keys.empty()) {
        std::unique_ptr<uint16_t[]> copy(new uint16_t[keys.size()]);
        std::memcpy(copy.get(), keys.data(), keys.size() * sizeof(uint16_t));
        e.setKeyFrames(std::move(copy), int(keys.size()));
    }
    model->frameCount = frames;
    e.framesReplaced = 1;
    return 0;
}

int kgiBuildMeshParts(const kgiMeshRecord* record, std::vector<ksgNode*>& parts)
{
    parts.clear();
    if (!record || record->vertexCount < 1 || !record->vertices)
        return 0;
    const std::string name = sourceNameOf(record);
    if (record->polygonKind != MATERIAL_PER_FACE) {
        // One material for the whole mesh (a mesh without a material list
        // is built the same way and stays without a material state).
        kgiPartIndexSet set;
        set.unique = false;
        set.materialIndex = 0;
        for (int v = 0; v < record->vertexCount; ++v)
            set.addVertex(v);
        for (int f = 0; record->polygons && f < record->polygonCount; ++f)
            set.addFace(f);
        if (ksgModel* part = kgiBuildPart(set, record)) {
            part->setName(name + "_Part0");
            parts.push_back(part);
        }
        return int(parts.size());
    }
    std::map<int, kgiPartIndexSet> sets;
    std::vector<int> order;
    for (int f = 0; record->polygons && f < record->polygonCount; ++f) {
        const uint16_t* face = faceAt(record, f);
        const int material = face[3];
        auto it = sets.find(material);
        if (it == sets.end()) {
            it = sets.emplace(material, kgiPartIndexSet()).first;
            it->second.unique = false;
            it->second.materialIndex = material;
            order.push_back(material);
        }
        for (int k = 0; k < 3; ++k)
            it->second.addVertex(face[k]);
        it->second.addFace(f);
    }
    for (size_t k = 0; k < order.size(); ++k) {
        // A part that cannot be built is left out but keeps its number.
        if (ksgModel* part = kgiBuildPart(sets[order[k]], record)) {
            part->setName(name + "_Part" + std::to_string(k));
            parts.push_back(part);
        }
    }
    return int(parts.size());
}

ksgModel* kgiBuildPart(const kgiPartIndexSet& set, const kgiMeshRecord* record)
{
    if (!record || !record->vertices)
        return nullptr;
    std::unique_ptr<kgcMesh> mesh(new kgcMesh);
    const int nv = int(set.vertices.size());
    const int nf = int(set.faces.size());
    if (!mesh->begin(nv, nv, nf))
        return nullptr;
    for (int v : set.vertices) {
        if (v < 0 || v >= record->vertexCount)
            return nullptr;
        const float* p = record->vertices + size_t(v) * kgiMeshRecord::VERTEX_FLOATS;
        mesh->addVertex(p[0], p[1], p[2]);
        mesh->addNormal(p[3], p[4], p[5]);
    }
    for (int f : set.faces) {
        if (f < 0 || f >= record->polygonCount)
            return nullptr;
        const uint16_t* face = faceAt(record, f);
        int corner[3];
        for (int k = 0; k < 3; ++k) {
            auto it = set.positions.find(face[k]);
            if (it == set.positions.end())
                return nullptr;
            corner[k] = it->second;
        }
        mesh->addFace(corner[0], corner[1], corner[2], -1);
    }
    if (!mesh->end())
        return nullptr;
    ksgModel* part = new ksgModel;
    part->setName(sourceNameOf(record));
    part->setMesh(mesh.release());
    kgiKmdData* data = new kgiKmdData;
    part->setData(data);
    data->setType(kgiKmdData::PART);
    kgiApplyMaterial(record, part, set.materialIndex);
    return part;
}

void kgiApplyMaterial(const kgiMeshRecord* record, ksgNode* node, int index)
{
    if (!record || !node || index < 0 || index >= record->materialCount ||
        index >= int(record->materials.size()))
        return;
    kgcMaterial* m = kgiCharacterServices::current().newMaterial();
    if (!m)
        return;
    // Colours: diffuse 0-2, specular 4-6, shininess 7, ambient 8-10.
    const float* c = record->materials[size_t(index)].color;
    m->setDiffuse(c[0], c[1], c[2], 1.0f);
    m->setAmbient(c[8], c[9], c[10], 1.0f);
    m->setSpecular(c[4], c[5], c[6], 1.0f);
    m->setShininess(c[7]);
    ksgMaterialParam* param = new ksgMaterialParam(m);
    ksgState* state = new ksgState;
    state->addParam(param);
    node->setState(state);
    if (kgiKmdData* data = kgiKmdData::of(node))
        data->setMaterialParam(param);
}

const kgiMeshRecord* kgiFindRecord(const kgiMeshRecord* record, const std::string& name)
{
    // Siblings in a loop, children by recursion: a long sibling chain does
    // not deepen the stack.
    for (const kgiMeshRecord* r = record; r; r = r->nextSibling) {
        if (name == r->name)
            return r;
        if (const kgiMeshRecord* found = kgiFindRecord(r->firstChild, name))
            return found;
    }
    return nullptr;
}

kmlMatrix4 kgiRecordLocalMatrix(const kgiMeshRecord* record, int format)
{
    // The data may sit at any byte of the file's pages.
    kmlMatrix4 m;
    if (!record || !record->nodeData)
        return m;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(record->nodeData);
    if (format == kgiModelEntry::TRS || format == kgiModelEntry::TR) {
        float v[6];
        for (int k = 0; k < 6; ++k)
            v[k] = kneLE::f32(p + 4 * k);
        m.setRotation(kmlEuler(v[3], v[4], v[5], kmlEuler::ZYX));
        m.setTranslation(kmlVec3(v[0], v[1], v[2]));
        return m;
    }
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            m.set(i, j, kneLE::f32(p + 4 * (4 * j + i)));
    return m;
}

kmlMatrix4 kgiRecordFrameMatrix(const kgiMeshRecord* record, int frame)
{
    kmlMatrix4 m;
    if (!record || !record->frames || frame < 0 || frame >= record->frameCount)
        return m;
    const float* v = record->frames + size_t(frame) * MATRIX_FLOATS;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            m.set(i, j, v[4 * j + i]);
    return m;
}

namespace {

// Walks the frames and makes a key at every frame the key-frame list names.
template <class Curve, class MakeKey>
kmlBaseCurve* makeCurve(const kgiMeshRecord* record, int frameCount, int keyCount, const uint16_t* keyFrames,
                        MakeKey makeKey)
{
    Curve* curve = new Curve(1.0f);
    curve->smoothEdit(true);
    if (!record || !record->frames || frameCount < 1 || keyCount < 1 || !keyFrames)
        return curve;
    // A record holds its own number of frames; never read past them. The
    // list is taken in ascending order, each frame once, whatever order
    // the file gave.
    const int frames = frameCount < record->frameCount ? frameCount : record->frameCount;
    std::vector<int> listed(keyFrames, keyFrames + keyCount);
    std::sort(listed.begin(), listed.end());
    listed.erase(std::unique(listed.begin(), listed.end()), listed.end());
    for (int f : listed) {
        if (f >= frames)
            break;
        kmlBaseKey* key = makeKey(float(f), kgiRecordFrameMatrix(record, f));
        if (!curve->insert(key))
            delete key;
    }
    return curve;
}

} // namespace

kmlBaseCurve* kgiMakeQuatCurve(const kgiMeshRecord* record, int frameCount, int keyCount, const uint16_t* keyFrames)
{
    return makeCurve<kmlQuatCurve>(record, frameCount, keyCount, keyFrames, [](float t, const kmlMatrix4& m) {
        kmlQuatKey* key = new kmlQuatKey(t);
        key->setValue(m.toQuat());
        return static_cast<kmlBaseKey*>(key);
    });
}

kmlBaseCurve* kgiMakePositionCurve(const kgiMeshRecord* record, int frameCount, int keyCount,
                                   const uint16_t* keyFrames)
{
    return makeCurve<kmlTCCurve<3>>(record, frameCount, keyCount, keyFrames, [](float t, const kmlMatrix4& m) {
        kmlTCKey<3>* key = new kmlTCKey<3>(t);
        key->setValue(kmlVec3(m(0, 3), m(1, 3), m(2, 3)));
        return static_cast<kmlBaseKey*>(key);
    });
}

kmlBaseCurve* kgiMakeEulerCurve(const kgiMeshRecord* record, int frameCount, int keyCount, const uint16_t* keyFrames)
{
    return makeCurve<kmlEulerCurve>(record, frameCount, keyCount, keyFrames, [](float t, const kmlMatrix4& m) {
        kmlEulerKey* key = new kmlEulerKey(t);
        key->setValue(m.toEuler(kmlEuler::ZYX));
        return static_cast<kmlBaseKey*>(key);
    });
}
