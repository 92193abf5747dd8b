#pragma once
// Views of the records that a scene object keeps in its id table: data
// entries, their element arrays and the {head, tail} lists that chain data
// entries together. A view holds an address inside a table page (pages never
// move) and reads and writes its fields little-endian, byte by byte. Make
// views only from kneIdTable::resolve with the record's full size.
#include <cstdint>

class kneIdTable;

// A data entry: a typed array of elements, 24 bytes.
//   word 0: bdtype (bits 0-7), nbArray (bits 8-31: frames of the data)
//   u16 nbEntry (elements), u16 objId (slot of the owning object)
//   u32 bdlist_vp (element array), u32 next_vp (next entry; in a list's
//   tail: the list's length), u32 cash_wp (build-cache marker), u32 format
class kneDataEntry {
public:
    static constexpr uint32_t SIZE = 24;
    static constexpr uint32_t MAX_ARRAY = 0xFFFFFF; // nbArray has 24 bits

    // Data types of an object's or sub-object's list.
    enum Type {
        MODEL = 1, LIGHT = 2, CAMERA = 3,
        MODEL_MOTION = 11, MODEL_MOTION_FX = 12,
        LIGHT_MOTION = 13, LIGHT_MOTION_FX = 14,
        CAMERA_MOTION = 15, CAMERA_MOTION_FX = 16,
        TEXTURE_MOTION = 17, TEXTURE_MOTION_FX = 18,
        SHAPE_MOTION = 19, SOUND_MOTION_FX = 20,
        MESH = 51, TEXTURE_LIST = 52, TEXTURE_LIST_FX = 53,
        SOUND_LIST = 54, SOUND_LIST_FX = 55,
        CAMERA_FOV_MOTION = 200,
    };
    // Mesh data types of a node's or mesh element's sub-list; each odd type
    // is the Fx form of the even type below it.
    enum MeshType {
        VERTEX_MOTION = 0, WEIGHT_MOTION = 2, POLYGON_MOTION = 4, MATERIAL_MOTION = 6,
        VERTEX_LIST = 8, WEIGHT_LIST = 10, POLYGON_LIST = 12, MATERIAL_LIST = 14,
        MESH_TYPE_LAST = 15,
    };

    kneDataEntry() = default;
    kneDataEntry(uint8_t* bytes, uint32_t handle) : p_(bytes), handle_(bytes ? handle : 0xFFFFFFFFu) {}
    explicit operator bool() const { return p_ != nullptr; }
    uint32_t handle() const { return handle_; }
    uint8_t* bytes() const { return p_; }

    uint8_t getType() const;        // bdtype
    uint32_t getArrayCount() const; // nbArray
    uint16_t getEntryCount() const; // nbEntry
    uint16_t getObjId() const;
    uint32_t getElements() const;   // bdlist_vp
    uint32_t getNext() const;       // next_vp
    uint32_t getCacheWord() const;  // cash_wp
    uint32_t getFormat() const;
    void setNext(uint32_t v);
    void setCacheWord(uint32_t v);
    void setFormat(uint32_t v);

    // Bytes of one element of a data type in an object's list (24 for
    // models, 16 for lights and cameras, 12 for meshes, else 4). Entries of
    // a node's mesh sub-list always have 4-byte elements.
    static uint32_t elementSize(uint32_t type);
    // The element array, or null when it does not fit in its page.
    uint8_t* elementArray(kneIdTable& table, uint32_t elementBytes) const;

    // Labels of sub-object data types ("Model Motion", short "sDMotion");
    // null for a type that has none.
    static const char* label(uint32_t type);
    static const char* shortLabel(uint32_t type);
    // Labels of mesh data types 0-15 ("Vertex List", short "mVList").
    static const char* meshLabel(uint32_t type);
    static const char* meshShortLabel(uint32_t type);

private:
    friend class kneScene;
    void init(uint32_t type, uint32_t nbArray, uint16_t nbEntry, uint16_t objId, uint32_t elements);
    uint8_t* p_ = nullptr;
    uint32_t handle_ = 0xFFFFFFFFu;
};

// A list of data entries: a {head, tail} pair of handles (none: 0xFFFFFFFF).
// Appending keeps the length in the tail's next_vp, so a walk stops at the
// tail instead of following that count as a handle.
class kneDataList {
public:
    kneDataList() = default;
    explicit kneDataList(uint8_t* pair) : p_(pair) {}
    explicit operator bool() const { return p_ != nullptr; }

    uint32_t getHead() const;
    uint32_t getTail() const;
    void setHead(uint32_t h);
    void setTail(uint32_t h);

    // Entries reached from the head up to the tail; 0 for an empty list or
    // one that breaks (a handle outside its page, or more steps than the
    // table can hold entries).
    uint32_t count(const kneIdTable& table) const;
    // Lookups treat a broken list as empty.
    // bdtype of the n-th entry (0 = head); 0 when n is not below the length.
    uint8_t typeAt(const kneIdTable& table, uint32_t n) const;
    // The first entry of a type, or an empty view.
    kneDataEntry find(kneIdTable& table, uint32_t type) const;
    // The n-th entry, or an empty view.
    kneDataEntry at(kneIdTable& table, uint32_t n) const;
    // True when head and tail are both set or both none, the walk from the
    // head reaches the tail, and the tail holds the length.
    bool isValid(const kneIdTable& table) const;
    // Appends the entry at handle (already allocated in table).
    void append(kneIdTable& table, uint32_t handle);

    // Calls f(entry, index) from the head to the tail while f returns true.
    // Returns false when the list is broken.
    template <class F> bool walk(const kneIdTable& table, F f) const;

private:
    bool complete(const kneIdTable& table) const; // the walk reaches the tail
    uint8_t* p_ = nullptr;
};

// A model node (24 bytes), or a light or camera element (the first 16):
//   u32 data, u16 depth, u8 btype, u8 dtype, u32 fbits, u32 name,
//   model nodes only: u32 sub-list head, u32 sub-list tail.
class kneNodeElement {
public:
    static constexpr uint32_t SIZE = 24;
    static constexpr uint32_t LIGHT_SIZE = 16;
    // fbits: bits 0-21 give the frame record layout; 0x20000 adds a u16
    // flag after each record, else 0x40000 a u32 flag.
    static constexpr uint32_t FLAG16 = 0x20000;
    static constexpr uint32_t FLAG32 = 0x40000;
    enum Layout { TRS = 0x10030, TR = 0x30, MATRIX = 0x4, GROUPS = 0x8, GROUPS_SCALE = 0x10008 };

    explicit kneNodeElement(uint8_t* bytes = nullptr) : p_(bytes) {}
    explicit operator bool() const { return p_ != nullptr; }
    uint8_t* bytes() const { return p_; }

    uint32_t getData() const;
    void setData(uint32_t h);
    uint16_t getDepth() const;
    void setDepth(uint16_t d);
    uint8_t getBType() const;
    void setBType(uint8_t t);
    uint8_t getDType() const;
    void setDType(uint8_t t);
    uint32_t getFbits() const;
    void setFbits(uint32_t f);
    uint32_t getName() const;
    // Stores the name handle; when one is already set it warns W101 and
    // stores the new one anyway.
    void setName(uint32_t h);
    // The mesh sub-list (model nodes only).
    kneDataList getSubList() const;

    // Floats of one frame record for a layout code (fbits without the flag
    // bits), 0 for a layout that is not one of the five.
    static uint32_t recordFloats(uint32_t layout);
    // Bytes of one frame record including its flag, 0 for an unknown layout.
    static uint32_t recordBytes(uint32_t fbits);

private:
    uint8_t* p_;
};

// A mesh element (12 bytes): u32 data, u32 sub-list head, u32 sub-list tail.
class kneMeshElement {
public:
    static constexpr uint32_t SIZE = 12;
    explicit kneMeshElement(uint8_t* bytes = nullptr) : p_(bytes) {}
    explicit operator bool() const { return p_ != nullptr; }
    uint32_t getData() const;
    void setData(uint32_t h);
    kneDataList getSubList() const;

private:
    uint8_t* p_;
};

// ---------------------------------------------------------------------------

#include "kneBytes.h"
#include "kneIdTable.h"

template <class F> bool kneDataList::walk(const kneIdTable& table, F f) const
{
    if (!p_)
        return false;
    uint32_t h = getHead();
    uint32_t tail = getTail();
    if (h == kneIdTable::NONE)
        return tail == kneIdTable::NONE;
    uint32_t bound = table.maxRecords(kneDataEntry::SIZE);
    for (uint32_t i = 0; i < bound; ++i) {
        const uint8_t* e = table.resolve(h, kneDataEntry::SIZE);
        if (!e)
            return false;
        if (!f(kneDataEntry(const_cast<uint8_t*>(e), h), i))
            return true;
        if (h == tail)
            return true;
        h = kneLE::u32(e + 12);
    }
    return false;
}
