#include "kgiModelData.h"

#include "kneCameraAngles.h"
#include "kneScene.h"
#include "kneSceneReader.h"
#include "kneSceneWriter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "model records read the file's little-endian values in place");

namespace {

constexpr uint32_t NONE = kneIdTable::NONE;
constexpr uint32_t VERTEX_BYTES = 24;
constexpr uint32_t MATERIAL_BYTES = 16;
constexpr uint32_t CAMERA_FRAME_BYTES = 28;
constexpr uint32_t CAMERA_POSITION_TARGET = 692; // fbits of a camera with a target point
constexpr uint32_t CAMERA_DIRECTION = 684;       // fbits of a camera with a view direction
constexpr uint32_t FLAG_BITS = kneNodeElement::FLAG16 | kneNodeElement::FLAG32;
constexpr uint32_t EXTRA_PAIRS = 0x800000;       // extra u32 pairs after the flag word
constexpr uint32_t LAYOUT_MASK = 0x1003C;        // the bits that choose a record layout
constexpr uint32_t MULTI_MATERIAL = 0x40;        // polygon list format: a material per face

// Layout of a node's frame records from its fbits; 0 for one the load cannot
// read correctly (the 12- and 15-float layouts, extra pairs, or both flag
// sizes at once).
int layoutOf(uint32_t fbits)
{
    if (fbits & EXTRA_PAIRS)
        return 0;
    if ((fbits & FLAG_BITS) == FLAG_BITS)
        return 0;
    switch (fbits & LAYOUT_MASK) {
    case 0x4: return kgiModelEntry::MATRIX;
    case 0x10030: return kgiModelEntry::TRS;
    case 0x30: return kgiModelEntry::TR;
    default: return 0;
    }
}

int layoutFloats(int layout) { return layout == kgiModelEntry::TRS ? 9 : layout == kgiModelEntry::TR ? 6 : 16; }

uint32_t flagBytes(uint32_t fbits)
{
    return (fbits & kneNodeElement::FLAG16) ? 2 : (fbits & kneNodeElement::FLAG32) ? 4 : 0;
}

// The data of element i of an entry with 4-byte elements, size-checked:
// null when the element or its bytes do not lie inside their pages.
uint8_t* elementData(kneIdTable& t, const kneDataEntry& e, uint32_t i, uint64_t bytes)
{
    if (!e || i >= e.getEntryCount() || bytes > 0xFFFFFFFFu)
        return nullptr;
    const uint8_t* elems = e.elementArray(t, 4);
    if (!elems)
        return nullptr;
    return t.resolve(kneLE::u32(elems + 4 * i), uint32_t(bytes));
}

template <class T> T* as(uint8_t* p) { return reinterpret_cast<T*>(p); }

bool readMeshLists(kneIdTable& t, kneDataList list, kgiMeshRecord& r)
{
    if (list.getHead() == NONE && list.getTail() == NONE)
        return true; // no mesh
    if (!list.isValid(t))
        return false;
    kneDataEntry vl = list.find(t, kneDataEntry::VERTEX_LIST);
    kneDataEntry pl = list.find(t, kneDataEntry::POLYGON_LIST);
    kneDataEntry ml = list.find(t, kneDataEntry::MATERIAL_LIST);
    if (!vl || !pl)
        return false;
    uint32_t nv = vl.getArrayCount();
    uint32_t np = pl.getArrayCount();
    uint32_t nm = ml ? ml.getArrayCount() : 0;
    r.polygonKind = !ml ? 1 : (nm > 1 && (pl.getFormat() & MULTI_MATERIAL)) ? 3 : 2;
    uint32_t polygonBytes = r.polygonKind == 3 ? 8 : 6;
    uint8_t* v = elementData(t, vl, 0, uint64_t(nv) * VERTEX_BYTES);
    uint8_t* p = elementData(t, pl, 0, uint64_t(np) * polygonBytes);
    uint8_t* m = ml ? elementData(t, ml, 0, uint64_t(nm) * MATERIAL_BYTES) : nullptr;
    if (!v || !p || (ml && !m))
        return false;
    // Every face names vertices (and in kind 3 a material) that exist.
    for (uint32_t f = 0; f < np; ++f) {
        const uint8_t* face = p + f * polygonBytes;
        for (int k = 0; k < 3; ++k)
            if (kneLE::u16(face + 2 * k) >= nv)
                return false;
        if (r.polygonKind == 3 && kneLE::u16(face + 6) >= nm)
            return false;
    }
    r.vertexCount = int(nv);
    r.vertices = as<const float>(v);
    r.currentVertices = r.vertices;
    r.polygonCount = int(np);
    r.polygons = as<const uint16_t>(p);
    r.materialCount = int(nm);
    r.materials.resize(nm);
    for (uint32_t i = 0; i < nm; ++i) {
        const uint8_t* src = m + i * MATERIAL_BYTES;
        kgiMaterialRecord& out = r.materials[i];
        for (int k = 0; k < 12; ++k)
            out.color[k] = float(src[k]) / 255.0f;
        out.word[0] = kneLE::u16(src + 12);
        out.word[1] = kneLE::u16(src + 14);
    }
    return true;
}

// Names that the motion and curve files can hold: blanks, tabs, colons,
// commas, quotes and control bytes as "_", and an unnamed record named
// "Node"; a repeated name takes "_2", "_3", ... counted per name, skipping
// every candidate that any record already uses, and cut so that it fits
// the name field.
void uniqueNames(std::vector<kgiMeshRecord>& records)
{
    const size_t maxLen = kgiMeshRecord::NAME_SIZE - 1;
    std::vector<std::string> base(records.size());
    std::set<std::string> used;
    for (size_t i = 0; i < records.size(); ++i) {
        std::string n = records[i].sourceName ? records[i].sourceName : "";
        for (char& c : n) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7f || c == ' ' || c == ':' || c == ',' || c == '"')
                c = '_';
        }
        if (n.empty())
            n = "Node";
        if (n.size() > maxLen)
            n.resize(maxLen);
        base[i] = n;
        used.insert(n);
    }
    std::set<std::string> taken;
    std::map<std::string, int> nextSuffix; // per name, from 2
    for (size_t i = 0; i < records.size(); ++i) {
        std::string n = base[i];
        if (taken.count(n)) {
            int& k = nextSuffix.emplace(base[i], 2).first->second;
            for (;; ++k) {
                std::string suffix = "_" + std::to_string(k);
                std::string candidate = base[i].substr(0, maxLen - suffix.size()) + suffix;
                if (!used.count(candidate) && !taken.count(candidate)) {
                    n = candidate;
                    ++k;
                    break;
                }
            }
        }
        taken.insert(n);
        used.insert(n);
        std::memcpy(records[i].name, n.c_str(), n.size() + 1);
    }
}

// First-child and next-sibling links from the stored depth-first order.
bool linkHierarchy(std::vector<kgiMeshRecord>& records)
{
    std::vector<kgiMeshRecord*> last;
    int previous = -1;
    for (kgiMeshRecord& r : records) {
        if (r.depth > previous + 1)
            return false; // a first depth above 0, or a jump of more than one
        size_t d = size_t(r.depth);
        if (last.size() <= d)
            last.resize(d + 1, nullptr);
        if (last[d])
            last[d]->nextSibling = &r;
        else if (d > 0)
            last[d - 1]->firstChild = &r;
        last[d] = &r;
        last.resize(d + 1);
        previous = r.depth;
    }
    return true;
}

bool readModel(kneScene& scene, kneSceneEntry& slot, kgiModelEntry& entry)
{
    kneSceneObject& obj = *slot.sobj;
    kneIdTable& t = obj.getTable();
    kneDataEntry nodes = obj.findData(kneDataEntry::MODEL);
    uint8_t* elems = nodes.elementArray(t, kneNodeElement::SIZE);
    if (!elems)
        return false;
    uint32_t n = nodes.getEntryCount();
    uint32_t fbits0 = kneNodeElement(elems).getFbits();
    entry.frameLayout = layoutOf(fbits0);
    if (!entry.frameLayout)
        return false;
    entry.recordCount = int(n);
    entry.records.resize(n);
    const uint32_t recordBytes = uint32_t(layoutFloats(entry.frameLayout)) * 4;
    for (uint32_t i = 0; i < n; ++i) {
        kneNodeElement node(elems + i * kneNodeElement::SIZE);
        kgiMeshRecord& r = entry.records[i];
        uint32_t fbits = node.getFbits();
        // Every node is read with node 0's layout.
        if (layoutOf(fbits) != entry.frameLayout)
            return false;
        r.frameStride = int(recordBytes + flagBytes(fbits));
        if (node.getName() != NONE) {
            r.sourceName = t.resolveString(node.getName());
            if (!r.sourceName)
                return false;
        }
        r.depth = node.getDepth();
        if (node.getData() != NONE) {
            uint8_t* data = t.resolve(node.getData(), uint32_t(r.frameStride));
            if (!data)
                return false;
            r.nodeData = as<const float>(data);
            if (fbits & FLAG_BITS) {
                r.flagWord = data + recordBytes;
                uint32_t word = (fbits & kneNodeElement::FLAG32) ? kneLE::u32(r.flagWord)
                                                                 : kneLE::u16(r.flagWord);
                if (fbits & kneNodeElement::FLAG32)
                    r.ownership |= kgiMeshRecord::FLAG32;
                uint32_t low = word & 0xF;
                r.jointKind = (low >= 1 && low <= 7) ? int(low) : 0;
            }
        }
        if (!readMeshLists(t, node.getSubList(), r))
            return false;
    }
    if (!linkHierarchy(entry.records))
        return false;
    uniqueNames(entry.records);

    kneSceneHeader& h = *scene.header();
    for (uint16_t b : slot.attach) {
        if (b >= h.nbListId || !h.entries[b].sobj)
            continue;
        kneSceneObject& sub = *h.entries[b].sobj;
        kneIdTable& st = sub.getTable();
        kneDataEntry motion = sub.findData(kneDataEntry::MODEL_MOTION);
        if (motion && motion.getEntryCount() == n) {
            uint32_t frames = motion.getArrayCount();
            for (uint32_t i = 0; i < n; ++i) {
                kgiMeshRecord& r = entry.records[i];
                uint8_t* data = elementData(st, motion, i, uint64_t(frames) * uint32_t(r.frameStride));
                if (!data)
                    return false;
                r.borrowFrames(as<float>(data), int(frames));
            }
        }
        kneDataEntry mesh = sub.findData(kneDataEntry::MESH);
        if (mesh && mesh.getEntryCount() == n) {
            uint8_t* meshes = mesh.elementArray(st, kneMeshElement::SIZE);
            if (!meshes)
                return false;
            for (uint32_t i = 0; i < n; ++i) {
                kgiMeshRecord& r = entry.records[i];
                kneDataList list = kneMeshElement(meshes + i * kneMeshElement::SIZE).getSubList();
                kneDataEntry vm = list.find(st, kneDataEntry::VERTEX_MOTION);
                if (!vm) {
                    r.borrowVertexFrames(nullptr, 0);
                    continue;
                }
                uint32_t count = vm.getEntryCount();
                uint8_t* data = elementData(st, vm, i, uint64_t(count) * uint32_t(r.vertexCount) * VERTEX_BYTES);
                if (!data)
                    return false;
                r.borrowVertexFrames(as<float>(data), int(count));
            }
        }
    }
    return true;
}

bool readCamera(kneScene& scene, kneSceneEntry& slot, kgiCameraRecord& cam)
{
    kneSceneObject& obj = *slot.sobj;
    kneIdTable& t = obj.getTable();
    kneDataEntry data = obj.findData(kneDataEntry::CAMERA);
    uint8_t* elems = data.elementArray(t, kneNodeElement::LIGHT_SIZE);
    if (!elems)
        return false;
    kneNodeElement first(elems);
    cam.cameraData = as<const float>(t.resolve(first.getData(), 4));
    cam.name = obj.getName();
    uint32_t fbits = first.getFbits();
    cam.mode = fbits == CAMERA_POSITION_TARGET ? 1 : fbits == CAMERA_DIRECTION ? 2 : 0;
    kneSceneHeader& h = *scene.header();
    for (uint16_t b : slot.attach) {
        if (b >= h.nbListId || !h.entries[b].sobj)
            continue;
        kneSceneObject& sub = *h.entries[b].sobj;
        kneIdTable& st = sub.getTable();
        kneDataEntry motion = sub.findData(kneDataEntry::CAMERA_MOTION);
        if (motion && (motion.getFormat() == 52 || motion.getFormat() == 44)) {
            uint32_t frames = motion.getArrayCount();
            uint8_t* p = elementData(st, motion, 0, uint64_t(frames) * CAMERA_FRAME_BYTES);
            if (!p)
                return false;
            cam.motionFrames = as<const float>(p);
            kneCameraPath path;
            path.mode = cam.mode;
            path.frames = p;
            kneCameraAngles(&path, int(frames));
            cam.angles = std::move(path.angles);
        }
        kneDataEntry fov = sub.findData(kneDataEntry::CAMERA_FOV_MOTION);
        if (fov && fov.getFormat() == 128) {
            uint8_t* p = elementData(st, fov, 0, uint64_t(fov.getArrayCount()) * 4);
            if (!p)
                return false;
            cam.fovFrames = as<const float>(p);
        }
    }
    return true;
}

// Extends the box by the three floats at p, read byte-wise: frame records
// with a 16-bit flag word are not float-aligned after the first.
void extend(kgiModelBounds& b, const uint8_t* bytes)
{
    const float p[3] = {kneLE::f32(bytes), kneLE::f32(bytes + 4), kneLE::f32(bytes + 8)};
    if (b.empty) {
        for (int k = 0; k < 3; ++k)
            b.min[k] = b.max[k] = p[k];
        b.empty = 0;
        return;
    }
    for (int k = 0; k < 3; ++k) {
        if (p[k] < b.min[k])
            b.min[k] = p[k];
        else if (p[k] > b.max[k])
            b.max[k] = p[k];
    }
}

} // namespace

// --- records ---------------------------------------------------------------

namespace {

// Points a record's frame array at data, owned (own takes it) or borrowed
// (bit set in ownership); a negative count is refused.
bool assignFrames(float*& frames, int& count, std::unique_ptr<float[]>& own, uint32_t& ownership,
                  uint32_t borrowedBit, std::unique_ptr<float[]> owned, float* borrowed, int n)
{
    if (n < 0)
        return false;
    own = std::move(owned);
    frames = own ? own.get() : borrowed;
    count = n;
    if (own || !borrowed)
        ownership &= ~borrowedBit;
    if (borrowed)
        ownership |= borrowedBit;
    return true;
}

} // namespace

bool kgiMeshRecord::setFrames(std::unique_ptr<float[]> data, int count)
{
    return assignFrames(frames, frameCount, ownFrames_, ownership, BORROWED_FRAMES, std::move(data),
                        nullptr, count);
}

bool kgiMeshRecord::borrowFrames(float* data, int count)
{
    return assignFrames(frames, frameCount, ownFrames_, ownership, BORROWED_FRAMES, nullptr, data,
                        count);
}

bool kgiMeshRecord::setVertexFrames(std::unique_ptr<float[]> data, int count)
{
    return assignFrames(vertexFrames, vertexFrameCount, ownVertexFrames_, ownership,
                        BORROWED_VERTEX_FRAMES, std::move(data), nullptr, count);
}

bool kgiMeshRecord::borrowVertexFrames(float* data, int count)
{
    return assignFrames(vertexFrames, vertexFrameCount, ownVertexFrames_, ownership,
                        BORROWED_VERTEX_FRAMES, nullptr, data, count);
}

bool kgiMeshRecord::getFlag(int i) const
{
    if (!flagWord || i < 0 || i > 2)
        return false;
    uint32_t word = (ownership & FLAG32) ? kneLE::u32(flagWord) : kneLE::u16(flagWord);
    return (word >> (6 + i)) & 1;
}

bool kgiMeshRecord::getExtraPair(int i, uint32_t& a, uint32_t& b) const
{
    if (!extra || i < 0 || i > 2)
        return false;
    a = kneLE::u32(extra + 8 * i);
    b = kneLE::u32(extra + 8 * i + 4);
    return true;
}

bool kgiModelEntry::setKeyFrames(std::unique_ptr<uint16_t[]> data, int count)
{
    if (count < 0)
        return false;
    keyFrames = std::move(data);
    keyCount = count;
    return true;
}

// --- model data ------------------------------------------------------------

kgiModelData::kgiModelData() = default;
kgiModelData::~kgiModelData() { clear(true); }

void kgiModelData::clear(bool destroyScene)
{
    bounds.reset();
    models.clear();
    cameras.clear();
    modelCount = 0;
    cameraCount = 0;
    if (destroyScene)
        scene.reset();
}

void kgiModelData::prepare()
{
    if (scene) {
        clear(false);
        frameCount = 0;
        currentFrame = 0;
        scene->reset();
    } else {
        scene.reset(new kneScene);
    }
}

bool kgiModelData::load(const char* path)
{
    if (!path)
        return false;
    prepare();
    if (kneSceneReader::readFile(*scene, path) & 0xFFFF)
        return false;
    return build();
}

bool kgiModelData::loadBuffer(const uint8_t* data, size_t size)
{
    prepare();
    if (kneSceneReader::readBuffer(*scene, data, size) & 0xFFFF)
        return false;
    return build();
}

bool kgiModelData::build()
{
    uint32_t count = 0;
    kneSceneEntry* entries = scene->getEntries(count);
    if (!entries || count == 0) {
        scene.reset();
        return false;
    }
    size_t nm = 0, nc = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (!entries[i].sobj)
            continue;
        uint8_t type = entries[i].sobj->getDataType(0);
        nm += type == kneDataEntry::MODEL;
        nc += type == kneDataEntry::CAMERA;
    }
    models.resize(nm);
    cameras.resize(nc);
    for (uint32_t i = 0; i < count; ++i) {
        if (!entries[i].sobj)
            continue;
        uint8_t type = entries[i].sobj->getDataType(0);
        bool ok = true;
        if (type == kneDataEntry::MODEL)
            ok = readModel(*scene, entries[i], models[size_t(modelCount++)]);
        else if (type == kneDataEntry::CAMERA)
            ok = readCamera(*scene, entries[i], cameras[size_t(cameraCount++)]);
        if (!ok) {
            clear(true);
            frameCount = 0;
            return false;
        }
    }
    frameCount = 0;
    for (const kgiModelEntry& m : models)
        if (!m.records.empty() && m.records[0].frameCount > frameCount)
            frameCount = m.records[0].frameCount;
    if (frameCount == 0) {
        double span = double(scene->getEndTime()) - double(scene->getStartTime());
        // A span that is not a number or does not fit an int gives no frames.
        frameCount = std::isfinite(span) && std::fabs(span) < 2.0e9 ? int(span) + 1 : 0;
    }
    currentFrame = 0;
    computeBounds();
    return true;
}

bool kgiModelData::computeBounds()
{
    if (!bounds)
        bounds.reset(new kgiModelBounds);
    *bounds = kgiModelBounds();
    if (!cameras.empty() && cameras[0].motionFrames) {
        for (const kgiCameraRecord& c : cameras) {
            if (!c.motionFrames)
                continue;
            size_t frames = c.angles.size() / 2;
            const uint8_t* base = reinterpret_cast<const uint8_t*>(c.motionFrames);
            for (size_t f = 0; f < frames; ++f) {
                extend(*bounds, base + f * CAMERA_FRAME_BYTES);
                extend(*bounds, base + f * CAMERA_FRAME_BYTES + 12);
            }
        }
    }
    for (const kgiModelEntry& m : models) {
        if (m.records.empty())
            continue;
        const kgiMeshRecord& r = m.records[0];
        if (!r.frames || r.frameStride == 0)
            continue;
        int frames = frameCount < r.frameCount ? frameCount : r.frameCount;
        // Frame records follow one another at their real stride, flag word
        // included.
        const uint8_t* base = reinterpret_cast<const uint8_t*>(r.frames);
        size_t offset = m.frameLayout == kgiModelEntry::MATRIX ? 48 : 0; // column 3 of a matrix
        for (int f = 0; f < frames; ++f)
            extend(*bounds, base + size_t(f) * size_t(r.frameStride) + offset);
    }
    if (bounds->empty) {
        bounds.reset();
        return false;
    }
    for (int k = 0; k < 3; ++k)
        bounds->centre[k] = (bounds->min[k] + bounds->max[k]) / 2;
    return true;
}

bool kgiModelData::setFrame(int f)
{
    if (frameCount < 1)
        return false;
    if (f == -1) {
        currentFrame = -1;
        return true;
    }
    currentFrame = ((f % frameCount) + frameCount) % frameCount;
    return true;
}

void kgiModelData::selectVertexFrame(int f)
{
    for (kgiModelEntry& m : models)
        for (kgiMeshRecord& r : m.records) {
            if (f < 0)
                r.currentVertices = r.vertices;
            else if (r.vertexFrames && r.vertexFrameCount > 0)
                r.currentVertices = r.vertexFrames + size_t(r.vertexCount) * kgiMeshRecord::VERTEX_FLOATS *
                                                         size_t(f % r.vertexFrameCount);
        }
}

bool kgiModelData::save(const char* path)
{
    return scene && kneSceneWriter::writeFile(*scene, path) == 0;
}
