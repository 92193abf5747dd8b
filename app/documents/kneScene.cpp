#include "kneScene.h"

#include "kneSceneLog.h"
#include "kneStatusWord.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t NONE = kneIdTable::NONE;
kneScene* g_current = nullptr;

bool isPlainSubType(uint32_t t)
{
    switch (t) {
    case 11: case 13: case 15: case 17: case 19: case 51: case 52: case 54: case 200:
        return true;
    default:
        return false;
    }
}

bool isFxSubType(uint32_t t)
{
    switch (t) {
    case 12: case 14: case 16: case 18: case 20: case 53: case 55:
        return true;
    default:
        return false;
    }
}

} // namespace

// --- kneSceneObject --------------------------------------------------------

kneSceneObject::kneSceneObject()
{
    kneLE::put32(list_, NONE);
    kneLE::put32(list_ + 4, NONE);
}

uint32_t kneSceneObject::getHead() const { return kneLE::u32(list_); }
uint32_t kneSceneObject::getTail() const { return kneLE::u32(list_ + 4); }
void kneSceneObject::setHead(uint32_t h) { kneLE::put32(list_, h); }
void kneSceneObject::setTail(uint32_t h) { kneLE::put32(list_ + 4, h); }

uint32_t kneSceneObject::getDataCount() const
{
    return kneDataList(const_cast<uint8_t*>(list_)).count(table_);
}

uint8_t kneSceneObject::getDataType(uint32_t n) const
{
    return kneDataList(const_cast<uint8_t*>(list_)).typeAt(table_, n);
}

kneDataEntry kneSceneObject::findData(uint32_t type) { return getDataList().find(table_, type); }

kneDataEntry kneSceneObject::getData(uint32_t handle)
{
    return kneDataEntry(table_.resolve(handle, kneDataEntry::SIZE), handle);
}

// --- kneScene life cycle ---------------------------------------------------

kneScene::kneScene() : header_(new kneSceneHeader)
{
    kneStatusWord::clear();
    g_current = this;
    kneSceneLog::setAllOutputs(nullptr);
}

kneScene::~kneScene()
{
    if (g_current == this)
        g_current = nullptr;
}

kneScene* kneScene::current() { return g_current; }

void kneScene::reset()
{
    FILE* log = header_ ? header_->logStream : nullptr;
    header_.reset(new kneSceneHeader);
    // The log file is the log's to close, not the scene data's.
    header_->logStream = log;
}

kneSceneEntry* kneScene::getEntries(uint32_t& count)
{
    count = header_->nbListId;
    return header_->entries.empty() ? nullptr : header_->entries.data();
}

kneSceneObject* kneScene::getObject(uint32_t slot)
{
    if (slot >= header_->nbListId) {
        kneStatusWord::setWarning(W_LOOKUP_SLOT);
        return nullptr;
    }
    return header_->entries[slot].sobj.get();
}

kneSceneObject* kneScene::findObject(uint32_t objId)
{
    if (!g_current || objId >= g_current->header_->nbListId)
        return nullptr;
    return g_current->header_->entries[objId].sobj.get();
}

// --- objects ---------------------------------------------------------------

kneSceneObject* kneScene::createIn(const char* name, uint16_t ostatus)
{
    if (kneStatusWord::error())
        return nullptr;
    kneSceneHeader& h = *header_;
    uint32_t slot;
    if (h.nbFreeId != 0 && h.soFreeId < h.nbListId && !h.entries[h.soFreeId].sobj) {
        slot = h.soFreeId;
        uint32_t next = slot + 1;
        while (next < h.nbListId && h.entries[next].sobj)
            ++next;
        if (next >= h.nbListId) {
            h.soFreeId = 0;
            h.nbFreeId = 0;
        } else {
            h.soFreeId = uint16_t(next);
            --h.nbFreeId;
        }
    } else {
        // Free-slot counts that do not name a free slot are dropped rather
        // than trusted: an occupied slot is never overwritten.
        h.nbFreeId = 0;
        h.soFreeId = 0;
        if (h.nbListId >= kneSceneHeader::MAX_SLOTS) {
            kneStatusWord::setError(E_TABLE_FULL);
            return nullptr;
        }
        slot = h.nbListId++;
        if (h.entries.size() < h.nbListId)
            h.entries.resize(h.entries.size() + kneSceneHeader::SLOT_STEP);
    }
    kneSceneEntry& e = h.entries[slot];
    e.sobj.reset(new kneSceneObject);
    e.ostatus = ostatus;
    e.ref = 0;
    e.nbAttach = 0;
    e.attach.clear();
    e.sobj->setId(uint16_t(slot));
    e.sobj->setNameHandle(e.sobj->getTable().storeString(name));
    ++h.nbSubObject;
    return e.sobj.get();
}

kneSceneObject* kneScene::createObject(const char* name)
{
    kneSceneObject* o = createIn(name, kneSceneEntry::OBJECT);
    if (o)
        lastObject_ = o;
    return o;
}

kneSceneObject* kneScene::createSubObject(const char* name)
{
    kneSceneObject* o = createIn(name, 0);
    if (o)
        lastSubObject_ = o;
    return o;
}

uint32_t kneScene::removeSlot(uint32_t slot)
{
    kneSceneHeader& h = *header_;
    kneSceneEntry& e = h.entries[slot];
    if (e.ref > 0)
        return kneStatusWord::setWarning(W_STILL_ATTACHED);
    // The slots this one held lose that reference, or they could never be
    // removed afterwards.
    for (uint16_t b : e.attach)
        if (b < h.nbListId && h.entries[b].ref > 0)
            --h.entries[b].ref;
    if (lastObject_ == e.sobj.get())
        lastObject_ = nullptr;
    if (lastSubObject_ == e.sobj.get())
        lastSubObject_ = nullptr;
    e = kneSceneEntry();
    --h.nbSubObject;
    if (h.nbFreeId == 0 || slot < h.soFreeId)
        h.soFreeId = uint16_t(slot);
    ++h.nbFreeId;
    return 0;
}

uint32_t kneScene::removeByName(const char* name, bool object)
{
    if (!name)
        return kneStatusWord::setWarning(object ? W_REMOVE_OBJECT_NAME : W_REMOVE_SUBOBJECT_NAME);
    kneSceneHeader& h = *header_;
    for (uint32_t i = 0; i < h.nbListId; ++i) {
        const kneSceneEntry& e = h.entries[i];
        if (!e.sobj || e.isObject() != object)
            continue;
        const char* n = e.sobj->getName();
        if (n && std::strcmp(n, name) == 0)
            return removeSlot(i);
    }
    return object ? R_OBJECT_NOT_FOUND : R_SUBOBJECT_NOT_FOUND;
}

uint32_t kneScene::removeByPointer(kneSceneObject* object, bool objectKind)
{
    if (!object)
        return kneStatusWord::setWarning(objectKind ? W_REMOVE_OBJECT : W_REMOVE_SUBOBJECT);
    kneSceneHeader& h = *header_;
    for (uint32_t i = 0; i < h.nbListId; ++i) {
        const kneSceneEntry& e = h.entries[i];
        if (e.sobj.get() == object && e.isObject() == objectKind)
            return removeSlot(i);
    }
    return objectKind ? R_OBJECT_PTR_NOT_FOUND : R_SUBOBJECT_PTR_NOT_FOUND;
}

uint32_t kneScene::removeObject(const char* name) { return removeByName(name, true); }
uint32_t kneScene::removeSubObject(const char* name) { return removeByName(name, false); }
uint32_t kneScene::removeObject(kneSceneObject* object) { return removeByPointer(object, true); }
uint32_t kneScene::removeSubObject(kneSceneObject* object) { return removeByPointer(object, false); }

// --- attachments -----------------------------------------------------------

uint32_t kneScene::attach(uint32_t a, uint32_t b)
{
    kneSceneHeader& h = *header_;
    if (a >= h.nbListId)
        return kneStatusWord::setWarning(W_ATTACH_A);
    if (b >= h.nbListId)
        return kneStatusWord::setWarning(W_ATTACH_B);
    kneSceneEntry& ea = h.entries[a];
    if (!ea.sobj)
        return kneStatusWord::setError(E_ATTACH_EMPTY);
    // Both counts are u16 in the file.
    if (ea.nbAttach == 0xFFFF || h.entries[b].ref == 0xFFFF)
        return kneStatusWord::setError(E_ATTACH_GROW);
    ea.attach.insert(ea.attach.begin(), uint16_t(b));
    ++ea.nbAttach;
    ++h.entries[b].ref;
    return 0;
}

uint32_t kneScene::detach(uint32_t a, uint32_t b)
{
    kneSceneHeader& h = *header_;
    if (a >= h.nbListId)
        return kneStatusWord::setWarning(W_DETACH_A);
    if (b >= h.nbListId)
        return kneStatusWord::setWarning(W_DETACH_B);
    kneSceneEntry& ea = h.entries[a];
    auto it = std::find(ea.attach.begin(), ea.attach.end(), uint16_t(b));
    if (it == ea.attach.end())
        return kneStatusWord::setWarning(W_NOT_ATTACHED);
    ea.attach.erase(it);
    --ea.nbAttach;
    if (h.entries[b].ref > 0)
        --h.entries[b].ref;
    return 0;
}

uint32_t kneScene::detachEverywhere(uint32_t b)
{
    kneSceneHeader& h = *header_;
    if (b >= h.nbListId)
        return kneStatusWord::setWarning(W_DETACH_B);
    bool any = false;
    for (uint32_t a = 0; a < h.nbListId; ++a) {
        kneSceneEntry& ea = h.entries[a];
        if (!ea.sobj)
            continue;
        auto it = std::find(ea.attach.begin(), ea.attach.end(), uint16_t(b));
        if (it == ea.attach.end())
            continue;
        ea.attach.erase(it);
        --ea.nbAttach;
        if (h.entries[b].ref > 0)
            --h.entries[b].ref;
        any = true;
    }
    return any ? 0 : kneStatusWord::setWarning(W_NOT_ATTACHED);
}

uint32_t kneScene::getRef(uint32_t slot)
{
    if (slot >= header_->nbListId) {
        kneStatusWord::setWarning(W_REF_SLOT);
        return 0xFFFFFFFFu;
    }
    return header_->entries[slot].ref;
}

// --- header fields ---------------------------------------------------------

uint32_t kneScene::setSceneName(const char* text)
{
    if (!text)
        return kneStatusWord::setWarning(W_SCENE_NAME);
    header_->scenename = std::string(text);
    return 0;
}

uint32_t kneScene::setSceneNameW(const char16_t* text)
{
    if (!text)
        return kneStatusWord::setWarning(W_SCENE_NAME_W);
    header_->scenenameW = std::u16string(text);
    return 0;
}

uint32_t kneScene::setComment(const char* text)
{
    if (!text) {
        header_->comment.reset();
        return kneStatusWord::setWarning(W_COMMENT);
    }
    header_->comment = std::string(text);
    return 0;
}

uint32_t kneScene::addTexPath(const char* text)
{
    if (!text)
        return kneStatusWord::setWarning(W_TEX_PATH);
    if (header_->nbTexPath == 0xFFFF) // the count is a u16 in the file
        return kneStatusWord::setError(E_TEX_PATH);
    header_->texPaths.emplace_back(text);
    ++header_->nbTexPath;
    return 0;
}

void kneScene::clearTexPaths()
{
    header_->texPaths.clear();
    header_->nbTexPath = 0;
}

void kneScene::setTimes(float stime, float etime)
{
    header_->stime = stime;
    header_->etime = etime;
}

// --- data entries ----------------------------------------------------------

kneDataEntry kneScene::appendData(kneSceneObject* object, kneDataList list, uint32_t type,
                                  uint32_t nbArray, uint32_t nbEntry, uint32_t elementBytes)
{
    kneIdTable& t = object->getTable();
    uint32_t bytes = nbEntry * elementBytes; // nbEntry <= 65535, elements <= 24 bytes
    uint32_t eh = t.alloc(kneDataEntry::SIZE);
    uint32_t lh = t.alloc(bytes);
    if (eh == NONE || lh == NONE)
        return kneDataEntry();
    // Every handle of a new element is none; depth, kinds and fbits are 0.
    uint8_t* elems = t.resolve(lh, bytes);
    std::memset(elems, 0xFF, bytes);
    if (elementBytes >= kneNodeElement::LIGHT_SIZE)
        for (uint32_t i = 0; i < nbEntry; ++i)
            std::memset(elems + i * elementBytes + 4, 0, 8);
    kneDataEntry e(t.resolve(eh, kneDataEntry::SIZE), eh);
    e.init(type, nbArray, uint16_t(nbEntry), object->getId(), lh);
    list.append(t, eh);
    return e;
}

kneDataEntry kneScene::createObjectData(kneSceneObject* object, uint32_t type, uint32_t nbEntry,
                                        uint32_t nbArray)
{
    if (kneStatusWord::error() || !object)
        return kneDataEntry();
    if (nbEntry == 0 || nbEntry > 0xFFFF)
        return kneStatusWord::setError(E_OBJ_ENTRIES), kneDataEntry();
    if (nbArray == 0 || nbArray > kneDataEntry::MAX_ARRAY)
        return kneStatusWord::setError(E_OBJ_ARRAY), kneDataEntry();
    if (type < kneDataEntry::MODEL || type > kneDataEntry::CAMERA)
        return kneStatusWord::setError(E_OBJ_TYPE), kneDataEntry();
    return appendData(object, object->getDataList(), type, nbArray, nbEntry,
                      kneDataEntry::elementSize(type));
}

kneDataEntry kneScene::createSubObjectData(kneSceneObject* object, uint32_t type,
                                           uint32_t nbArray, uint32_t nbEntry)
{
    if (kneStatusWord::error() || !object)
        return kneDataEntry();
    if (nbEntry == 0 || nbEntry > 0xFFFF)
        return kneStatusWord::setError(E_SUB_ENTRIES), kneDataEntry();
    if (nbArray == 0 || nbArray > kneDataEntry::MAX_ARRAY)
        return kneStatusWord::setError(E_SUB_ARRAY), kneDataEntry();
    if (isFxSubType(type))
        return kneStatusWord::setError(E_SUB_FX_TYPE), kneDataEntry();
    if (!isPlainSubType(type))
        return kneStatusWord::setError(E_SUB_TYPE), kneDataEntry();
    return appendData(object, object->getDataList(), type, nbArray, nbEntry,
                      kneDataEntry::elementSize(type));
}

kneDataEntry kneScene::createSubObjectDataFx(kneSceneObject* object, uint32_t type,
                                             uint32_t nbEntry)
{
    if (kneStatusWord::error() || !object)
        return kneDataEntry();
    if (nbEntry == 0 || nbEntry > 0xFFFF)
        return kneStatusWord::setError(E_FX_ENTRIES), kneDataEntry();
    if (isPlainSubType(type))
        return kneStatusWord::setError(E_FX_PLAIN_TYPE), kneDataEntry();
    if (!isFxSubType(type))
        return kneStatusWord::setError(E_FX_TYPE), kneDataEntry();
    return appendData(object, object->getDataList(), type, 0, nbEntry,
                      kneDataEntry::elementSize(type));
}

kneDataEntry kneScene::createMeshData(kneSceneObject* object, kneDataList owner, uint32_t type,
                                      uint32_t nbArray, uint32_t nbEntry)
{
    if (kneStatusWord::error())
        return kneDataEntry();
    if (!object || !owner)
        return kneStatusWord::setError(E_MESH_NO_TABLE), kneDataEntry();
    if (nbEntry == 0 || nbEntry > 0xFFFF)
        return kneStatusWord::setError(E_MESH_ENTRIES), kneDataEntry();
    if (nbArray == 0 || nbArray > kneDataEntry::MAX_ARRAY)
        return kneStatusWord::setError(E_MESH_ARRAY), kneDataEntry();
    if (type <= kneDataEntry::MESH_TYPE_LAST && (type & 1))
        return kneStatusWord::setError(E_MESH_ODD_TYPE), kneDataEntry();
    if (type > kneDataEntry::MESH_TYPE_LAST)
        return kneStatusWord::setError(E_MESH_TYPE), kneDataEntry();
    return appendData(object, owner, type, nbArray, nbEntry, 4);
}

kneDataEntry kneScene::createMeshDataFx(kneSceneObject* object, kneDataList owner, uint32_t type,
                                        uint32_t nbEntry)
{
    if (kneStatusWord::error())
        return kneDataEntry();
    if (!object || !owner)
        return kneStatusWord::setError(E_MESHFX_NO_TABLE), kneDataEntry();
    if (nbEntry == 0 || nbEntry > 0xFFFF)
        return kneStatusWord::setError(E_MESHFX_ENTRIES), kneDataEntry();
    if (type <= kneDataEntry::MESH_TYPE_LAST && !(type & 1))
        return kneStatusWord::setError(E_MESHFX_EVEN_TYPE), kneDataEntry();
    if (type > kneDataEntry::MESH_TYPE_LAST)
        return kneStatusWord::setError(E_MESHFX_TYPE), kneDataEntry();
    return appendData(object, owner, type, 0, nbEntry, 4);
}
