#pragma once
// The binary scene in memory: a header, an entry table whose slots hold the
// scene's objects and sub-objects, and inside every object its own id table
// with the object's name and data entries. Errors and warnings go to the
// process-wide kneStatusWord; while an error is set every creating
// operation returns null and does nothing, until a new kneScene clears it.
#include "kneIdTable.h"
#include "kneSceneData.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One object or sub-object: its id table, its slot, its name and data list.
class kneSceneObject {
public:
    kneSceneObject();

    kneIdTable& getTable() { return table_; }
    const kneIdTable& getTable() const { return table_; }

    uint16_t getId() const { return id_; }
    void setId(uint16_t id) { id_ = id; }
    uint32_t getNameHandle() const { return name_; }
    void setNameHandle(uint32_t h) { name_ = h; }
    // The name, or null when there is none or it does not end in its page.
    const char* getName() const { return table_.resolveString(name_); }

    // The object's list of data entries; head and tail live in the object.
    kneDataList getDataList() { return kneDataList(list_); }
    uint32_t getHead() const;
    uint32_t getTail() const;
    void setHead(uint32_t h);
    void setTail(uint32_t h);

    // Length of the data list (0 when empty).
    uint32_t getDataCount() const;
    // bdtype of the n-th data entry (0 = first); 0 when n is not below the
    // length.
    uint8_t getDataType(uint32_t n) const;
    // The first data entry of a type, or an empty view.
    kneDataEntry findData(uint32_t type);
    // The data entry at a handle of this object's table, or an empty view.
    kneDataEntry getData(uint32_t handle);

private:
    kneIdTable table_;
    uint16_t id_ = 0;
    uint32_t name_ = kneIdTable::NONE;
    uint8_t list_[8]; // head, tail, little-endian like every list in a table
};

// One slot of the entry table.
struct kneSceneEntry {
    std::unique_ptr<kneSceneObject> sobj; // null for a free slot
    uint16_t ostatus = 0;                 // bit 0: object, clear: sub-object
    uint16_t ref = 0;                     // attach lists that hold this slot
    uint16_t nbAttach = 0;
    std::vector<uint16_t> attach;         // slots attached to this one

    static constexpr uint16_t OBJECT = 1;
    bool isObject() const { return (ostatus & OBJECT) != 0; }
};

struct kneSceneHeader {
    static constexpr uint32_t VERSION = 0x00010301;
    static constexpr uint32_t WIDE_NAME = 0x80000000u; // version bit: name is wide
    static constexpr uint32_t SLOT_STEP = 256;         // entry table growth
    static constexpr uint32_t MAX_SLOTS = 0xFFFF;      // nbListId is a u16 in the file

    uint32_t active = 1;
    float stime = 0;
    float etime = 0;
    std::optional<std::string> scenename;
    const char* writePath = nullptr;           // not owned; set while an entry is exported
    std::optional<std::u16string> scenenameW;  // 16-bit units, as in the file
    const char16_t* writePathW = nullptr;
    uint32_t version = VERSION;
    std::optional<std::string> comment;
    uint16_t nbFreeId = 0;
    uint16_t soFreeId = 0;
    uint32_t nbSubObject = 0;
    uint32_t nbListId = 0;
    std::vector<kneSceneEntry> entries;        // size: nbListId rounded up to SLOT_STEP
    uint16_t nbTexPath = 0;
    std::vector<std::string> texPaths;         // nbTexPath paths
    FILE* logStream = nullptr;                 // log file opened by kneSceneLog::openLog
};

class kneScene {
public:
    // Error and warning codes of the creating and editing operations.
    enum Code : uint16_t {
        E_SCENE_NAME = 1, E_TEX_PATH = 2, E_COMMENT = 3, E_SCENE_NAME_W = 4,
        W_SCENE_NAME = 1, W_TEX_PATH = 2, W_COMMENT = 3, W_SCENE_NAME_W = 4,
        W_REMOVE_OBJECT_NAME = 11, R_OBJECT_NOT_FOUND = 12, W_REMOVE_OBJECT = 13,
        R_OBJECT_PTR_NOT_FOUND = 14, W_LOOKUP_SLOT = 26,
        W_REMOVE_SUBOBJECT_NAME = 21, R_SUBOBJECT_NOT_FOUND = 22, W_REMOVE_SUBOBJECT = 23,
        R_SUBOBJECT_PTR_NOT_FOUND = 24, W_STILL_ATTACHED = 25,
        E_OBJECT = 11, E_SUBOBJECT = 21, E_TABLE_FULL = 22,
        E_ATTACH_GROW = 31, E_ATTACH_EMPTY = 32,
        W_ATTACH_A = 31, W_ATTACH_B = 32, W_DETACH_A = 33, W_DETACH_B = 34,
        W_NOT_ATTACHED = 35, W_REF_SLOT = 36,
        E_OBJ_ENTRIES = 41, E_OBJ_ARRAY = 42, E_OBJ_TYPE = 43,
        E_SUB_ENTRIES = 51, E_SUB_ARRAY = 52, E_SUB_FX_TYPE = 53, E_SUB_TYPE = 54,
        E_FX_ENTRIES = 61, E_FX_PLAIN_TYPE = 62, E_FX_TYPE = 63,
        E_MESH_NO_TABLE = 71, E_MESH_ENTRIES = 72, E_MESH_ARRAY = 73, E_MESH_ODD_TYPE = 74,
        E_MESH_TYPE = 75,
        E_MESHFX_NO_TABLE = 81, E_MESHFX_ENTRIES = 82, E_MESHFX_EVEN_TYPE = 83, E_MESHFX_TYPE = 84,
    };

    // Clears the status word, starts with an empty header, becomes the
    // current scene and switches every log output off.
    kneScene();
    // Frees everything; clears the current-scene pointer only when it names
    // this scene.
    ~kneScene();
    kneScene(const kneScene&) = delete;
    kneScene& operator=(const kneScene&) = delete;

    // The scene constructed last and not yet destroyed, or null.
    static kneScene* current();

    // Frees every object, attach list, name, comment and path and resets the
    // header; the reader calls it first.
    void reset();

    kneSceneHeader* header() { return header_.get(); }
    const kneSceneHeader* header() const { return header_.get(); }

    // The entry table and its slot count (nbListId); null when empty.
    kneSceneEntry* getEntries(uint32_t& count);
    float getStartTime() const { return header_->stime; }
    float getEndTime() const { return header_->etime; }

    // The object in a slot; null for a free slot, and null with W26 for a
    // slot at or above nbListId.
    kneSceneObject* getObject(uint32_t slot);
    // The object in slot objId of the current scene; null when there is no
    // current scene or the slot is free.
    static kneSceneObject* findObject(uint32_t objId);

    // --- building a scene ---------------------------------------------------
    // A new object (ostatus 1) or sub-object (0) with its name stored in its
    // own table, in the lowest free slot (or a new one). Null while an
    // error is set, and with E22 when the table already has 65,535 slots.
    kneSceneObject* createObject(const char* name);
    kneSceneObject* createSubObject(const char* name);
    kneSceneObject* getLastObject() const { return lastObject_; }
    kneSceneObject* getLastSubObject() const { return lastSubObject_; }

    // Free a slot whose ref is 0. Results: 0 removed; 12/22 (by name) or
    // 14/24 (by pointer) not found, with the status word untouched; the
    // status word after a warning (null argument, or W25 still attached).
    uint32_t removeObject(const char* name);
    uint32_t removeSubObject(const char* name);
    uint32_t removeObject(kneSceneObject* object);
    uint32_t removeSubObject(kneSceneObject* object);

    // Puts slot b at the front of a's attach list and counts the reference.
    uint32_t attach(uint32_t a, uint32_t b);
    uint32_t detach(uint32_t a, uint32_t b);
    uint32_t detachEverywhere(uint32_t b);
    // The slot's ref; 0xFFFFFFFF with W36 out of range.
    uint32_t getRef(uint32_t slot);

    uint32_t setSceneName(const char* text);
    uint32_t setSceneNameW(const char16_t* text);
    uint32_t setComment(const char* text);
    uint32_t addTexPath(const char* text);
    void clearTexPaths();
    void setTimes(float stime, float etime);
    void setTimes(int stime, int etime) { setTimes(float(stime), float(etime)); }
    void setStartTime(float t) { header_->stime = t; }
    void setEndTime(float t) { header_->etime = t; }

    // Append a data entry to an object's list, with an element array whose
    // handles are all none. Argument order as the format's tools use it.
    static kneDataEntry createObjectData(kneSceneObject* object, uint32_t type,
                                         uint32_t nbEntry, uint32_t nbArray);
    static kneDataEntry createSubObjectData(kneSceneObject* object, uint32_t type,
                                            uint32_t nbArray, uint32_t nbEntry);
    static kneDataEntry createSubObjectDataFx(kneSceneObject* object, uint32_t type,
                                              uint32_t nbEntry);
    // Append a mesh data entry to a sub-list (a model node's or a mesh
    // element's, inside object's table).
    static kneDataEntry createMeshData(kneSceneObject* object, kneDataList owner, uint32_t type,
                                       uint32_t nbArray, uint32_t nbEntry);
    static kneDataEntry createMeshDataFx(kneSceneObject* object, kneDataList owner,
                                         uint32_t type, uint32_t nbEntry);

private:
    kneSceneObject* createIn(const char* name, uint16_t ostatus);
    uint32_t removeSlot(uint32_t slot);
    uint32_t removeByName(const char* name, bool object);
    uint32_t removeByPointer(kneSceneObject* object, bool objectKind);
    static kneDataEntry appendData(kneSceneObject* object, kneDataList list, uint32_t type,
                                   uint32_t nbArray, uint32_t nbEntry, uint32_t elementBytes);

    std::unique_ptr<kneSceneHeader> header_;
    kneSceneObject* lastObject_ = nullptr;
    kneSceneObject* lastSubObject_ = nullptr;
};
