#include "kgiModelDataList.h"

#include "kgiKmmFile.h"
#include "kgiModelData.h"
#include "kgiProject.h"
#include "kneScene.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

const int MATRIX_FLOATS = 16;

// Name of the scene object the first model entry was read from: the first
// slot whose object's first data entry is a model.
const char* firstModelName(const kgiModelData& m)
{
    if (!m.scene || m.modelCount < 1)
        return nullptr;
    uint32_t count = 0;
    kneSceneEntry* entries = m.scene->getEntries(count);
    for (uint32_t i = 0; entries && i < count; ++i) {
        kneSceneObject* o = entries[i].sobj.get();
        if (o && o->getDataType(0) == kneDataEntry::MODEL)
            return o->getName();
    }
    return nullptr;
}

// The scene path with its suffix (from the last dot of the file name)
// replaced by ".kmm".
std::string motionPathOf(const char* scenePath)
{
    std::string p = scenePath;
    const size_t slash = p.find_last_of("/\\");
    const size_t dot = p.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        p.erase(dot);
    return p + ".kmm";
}

bool hasModel(const kgiModelData* m)
{
    return m && !m->models.empty() && m->models[0].frameLayout != 0;
}

// Records of this kind are rigid parts: they do not move, and a motion has
// no node for them.
const int PART_RECORD = 5;

int movingRecordCount(const kgiModelData& m)
{
    int n = 0;
    for (const kgiMeshRecord& r : m.models[0].records)
        if (r.jointKind != PART_RECORD)
            ++n;
    return n;
}

// Records and nodes pair by order, so a motion of another node count would
// give each joint after the first difference another joint's keys: such a
// motion is refused, with a line on standard error.
bool motionFits(const kgiModelData& m, const kgiKmmFile& kmm)
{
    const int moving = movingRecordCount(m);
    if (kmm.getNodeCount() == moving)
        return true;
    std::fprintf(stderr,
                 "Error - 061: the motion has %d nodes but the model %d moving parts; the motion is not applied\n",
                 kmm.getNodeCount(), moving);
    return false;
}

// Puts the file's frames into the first model entry: every record that
// moves takes the next node's keys, in order, as one 4x4 matrix a frame.
// The file holds a node for each of them (motionFits).
void applyMotion(kgiModelData& m, const kgiKmmFile& kmm)
{
    kgiModelEntry& e = m.models[0];
    for (kgiMeshRecord& r : e.records)
        r.setFrames(nullptr, 0);
    const int frames = kmm.getFrameCount();
    int next = 0;
    for (kgiMeshRecord& r : e.records) {
        if (r.jointKind == PART_RECORD)
            continue;
        const kgiKmmNode* node = kmm.getNode(next++);
        if (!node || node->keyCount < 1 || frames < 1)
            continue;
        std::unique_ptr<float[]> table(new float[size_t(frames) * MATRIX_FLOATS]);
        for (int f = 0; f < frames; ++f)
            std::memcpy(&table[size_t(f) * MATRIX_FLOATS], node->getKey(f)->matrix, sizeof(float) * MATRIX_FLOATS);
        r.setFrames(std::move(table), frames);
    }
    const std::vector<uint16_t>& keys = kmm.getKeyFrames();
    if (!keys.empty()) {
        std::unique_ptr<uint16_t[]> copy(new uint16_t[keys.size()]);
        std::memcpy(copy.get(), keys.data(), keys.size() * sizeof(uint16_t));
        e.setKeyFrames(std::move(copy), int(keys.size()));
    }
    m.frameCount = frames;
    e.framesReplaced = 1;
}

} // namespace

kgiModelDataList::~kgiModelDataList()
{
    deleteAll(plain, false);
    deleteAll(scenes, true);
}

kgiModelDataList::Chain& kgiModelDataList::chainOf(const kgiModelData* model)
{
    return model->kind == SCENE ? scenes : plain;
}

void kgiModelDataList::append(Chain& c, kgiModelData* model)
{
    model->next = nullptr;
    if (c.tail)
        c.tail->next = model;
    else
        c.head = model;
    c.tail = model;
    ++c.count;
}

bool kgiModelDataList::unlink(Chain& c, kgiModelData* model)
{
    kgiModelData* prev = nullptr;
    for (kgiModelData* m = c.head; m; prev = m, m = m->next) {
        if (m != model)
            continue;
        (prev ? prev->next : c.head) = m->next;
        if (c.tail == m)
            c.tail = prev;
        m->next = nullptr;
        --c.count;
        return true;
    }
    return false;
}

void kgiModelDataList::deleteAll(Chain& c, bool release)
{
    for (kgiModelData* m = c.head; m;) {
        kgiModelData* next = m->next;
        if (release)
            releaseFrames(m);
        delete m;
        m = next;
    }
    c = Chain();
}

int kgiModelDataList::add(kgiModelData* model)
{
    if (!model)
        return 1;
    if (model->kind != SCENE)
        model->kind = PLAIN;
    append(chainOf(model), model);
    return 1;
}

kgiModelData* kgiModelDataList::addLoaded(const char* path, Kind kind)
{
    kgiModelData* m = new kgiModelData();
    m->kind = kind;
    m->load(path);
    add(m);
    return m;
}

kgiModelData* kgiModelDataList::addFile(const char* path)
{
    if (!path || !*path)
        return nullptr;
    const char* dot = std::strrchr(path, '.');
    return addLoaded(path, (dot && std::strcmp(dot, ".kmd") == 0) ? SCENE : PLAIN);
}

kgiModelData* kgiModelDataList::addModel(const char* path)
{
    return addLoaded(path, PLAIN);
}

kgiModelData* kgiModelDataList::addKmdModel(const char* path)
{
    return addLoaded(path, SCENE);
}

int kgiModelDataList::remove(kgiModelData* model)
{
    if (!model)
        return 0;
    Chain& c = chainOf(model);
    if (unlink(c, model)) {
        if (&c == &scenes)
            releaseFrames(model);
        delete model;
    }
    return 1;
}

int kgiModelDataList::removeByName(const char* name)
{
    if (!name)
        return 0;
    for (kgiModelData* m = scenes.head; m; m = m->next) {
        const char* n = firstModelName(*m);
        if (n && std::strcmp(n, name) == 0) {
            remove(m);
            break;
        }
    }
    return 1;
}

int kgiModelDataList::draw(kgiDrawOptions& options)
{
    for (const Chain* c : {&plain, &scenes})
        for (kgiModelData* m = c->head; m; m = m->next)
            kgiDrawModel(m, options);
    options.dumpBoxes = false;
    return 1;
}

int kgiModelDataList::setFrame(int frame)
{
    for (const Chain* c : {&plain, &scenes})
        for (kgiModelData* m = c->head; m; m = m->next)
            m->setFrame(frame);
    return 1;
}

int kgiModelDataList::setVertexFrame(int frame)
{
    for (kgiModelData* m = plain.head; m; m = m->next)
        m->selectVertexFrame(frame);
    return 1;
}

int kgiModelDataList::loadMotion(kgiModelData* model, const char* scenePath)
{
    if (!model)
        return 0;
    if (model->kind != SCENE)
        return NOT_A_SCENE_MODEL;
    if (!hasModel(model))
        return 0;
    releaseFrames(model);
    // The file must hold exactly the records that move, at their depths.
    kgiKmmDepthList depths;
    for (const kgiMeshRecord& r : model->models[0].records)
        if (r.jointKind != PART_RECORD)
            depths.depths.push_back(r.depth);
    kgiKmmFile kmm;
    const std::string path = scenePath ? motionPathOf(scenePath) : std::string();
    if (!kmm.open(scenePath ? path.c_str() : nullptr) || !kmm.readHeader())
        return kmm.getStatus();
    if (!motionFits(*model, kmm))
        return kgiKmmFile::DEPTH_COUNT_DIFFERS;
    if (!kmm.compareDepths(&depths) || !kmm.readBody() || !kmm.close())
        return kmm.getStatus();
    applyMotion(*model, kmm);
    return 0;
}

int kgiModelDataList::loadMotion(kgiModelData* model, const kgiProject& project)
{
    if (!model)
        return 0;
    if (model->kind != SCENE)
        return NOT_A_SCENE_MODEL;
    const kgiKmmFile* kmm = project.getMotionFile();
    if (!hasModel(model) || !kmm)
        return 0;
    // Refused before anything goes: the entry keeps what it showed.
    if (!motionFits(*model, *kmm))
        return kgiKmmFile::DEPTH_COUNT_DIFFERS;
    releaseFrames(model);
    applyMotion(*model, *kmm);
    return 0;
}

int kgiModelDataList::releaseFrames(kgiModelData* model)
{
    if (!model)
        return 0;
    if (model->kind != SCENE)
        return NOT_A_SCENE_MODEL;
    if (model->models.empty() || model->models[0].records.empty() || !model->models[0].framesReplaced)
        return 0;
    kgiModelEntry& e = model->models[0];
    for (kgiMeshRecord& r : e.records)
        r.setFrames(nullptr, 0);
    e.setKeyFrames(nullptr, 0);
    e.framesReplaced = 0;
    return 0;
}
