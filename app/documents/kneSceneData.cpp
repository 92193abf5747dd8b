#include "kneSceneData.h"

#include "kneStatusWord.h"

namespace {
constexpr uint32_t NONE = kneIdTable::NONE;
constexpr uint16_t W_NAME_ALREADY_SET = 101;
} // namespace

// --- kneDataEntry ----------------------------------------------------------

uint8_t kneDataEntry::getType() const { return p_[0]; }
uint32_t kneDataEntry::getArrayCount() const { return kneLE::u32(p_) >> 8; }
uint16_t kneDataEntry::getEntryCount() const { return kneLE::u16(p_ + 4); }
uint16_t kneDataEntry::getObjId() const { return kneLE::u16(p_ + 6); }
uint32_t kneDataEntry::getElements() const { return kneLE::u32(p_ + 8); }
uint32_t kneDataEntry::getNext() const { return kneLE::u32(p_ + 12); }
uint32_t kneDataEntry::getCacheWord() const { return kneLE::u32(p_ + 16); }
uint32_t kneDataEntry::getFormat() const { return kneLE::u32(p_ + 20); }
void kneDataEntry::setNext(uint32_t v) { kneLE::put32(p_ + 12, v); }
void kneDataEntry::setCacheWord(uint32_t v) { kneLE::put32(p_ + 16, v); }
void kneDataEntry::setFormat(uint32_t v) { kneLE::put32(p_ + 20, v); }

void kneDataEntry::init(uint32_t type, uint32_t nbArray, uint16_t nbEntry, uint16_t objId,
                        uint32_t elements)
{
    kneLE::put32(p_, (type & 0xFF) | (nbArray << 8));
    kneLE::put16(p_ + 4, nbEntry);
    kneLE::put16(p_ + 6, objId);
    kneLE::put32(p_ + 8, elements);
    kneLE::put32(p_ + 12, NONE);
    kneLE::put32(p_ + 16, 0);
    kneLE::put32(p_ + 20, 0);
}

uint32_t kneDataEntry::elementSize(uint32_t type)
{
    switch (type) {
    case MODEL: return kneNodeElement::SIZE;
    case LIGHT:
    case CAMERA: return kneNodeElement::LIGHT_SIZE;
    case MESH: return kneMeshElement::SIZE;
    default: return 4;
    }
}

uint8_t* kneDataEntry::elementArray(kneIdTable& table, uint32_t elementBytes) const
{
    if (!p_ || getEntryCount() == 0)
        return nullptr;
    return table.resolve(getElements(), uint32_t(getEntryCount()) * elementBytes);
}

namespace {
struct Label {
    uint32_t type;
    const char* longForm;
    const char* shortForm;
};
const Label SUB_OBJECT_LABELS[] = {
    {11, "Model Motion", "sDMotion"},      {12, "Model Motion Fx", "sDMotionFx"},
    {13, "Light Motion", "sLMotion"},      {14, "Light Motion Fx", "sLMotionFx"},
    {15, "Camera Motion", "sCMotion"},     {16, "Camera Motion Fx", "sCMotionFx"},
    {17, "Texture Motion", "sTMotion"},    {18, "Texture Motion Fx", "sTMotionFx"},
    {19, "Shape Motion", "sSMotion"},      {20, "Sound Motion Fx", "sSMotionFx"},
    {51, "Mesh", "sMesh"},                 {52, "Texture List", "sTList"},
    {53, "Texture List Fx", "sTListFx"},   {54, "Sound List", "sSList"},
    {55, "Sound List Fx", "sSListFx"},     {200, "Camera FovMotion", "sCMotion"},
};
const Label MESH_LABELS[] = {
    {0, "Vertex Motion", "mVMotion"},       {1, "Vertex Motion Fx", "mVMotionFx"},
    {2, "Weight Motion", "mWMotion"},       {3, "Weight Motion Fx", "mWMotionFx"},
    {4, "Polygon Motion", "mPMotion"},      {5, "Polygon Motion Fx", "mPMotionFx"},
    {6, "Material Motion", "mMMotion"},     {7, "Material Motion Fx", "mMMotionFx"},
    {8, "Vertex List", "mVList"},           {9, "Vertex List Fx", "mVListFx"},
    {10, "Weight List", "mWList"},          {11, "Weight List Fx", "mWListFx"},
    {12, "Polygon List", "mPStream"},       {13, "Polygon List Fx", "mPStreamFx"},
    {14, "Material List", "mMStream"},      {15, "Material List Fx", "mMStreamFx"},
};

template <size_t N> const Label* findLabel(const Label (&table)[N], uint32_t type)
{
    for (const Label& l : table)
        if (l.type == type)
            return &l;
    return nullptr;
}
} // namespace

const char* kneDataEntry::label(uint32_t type)
{
    const Label* l = findLabel(SUB_OBJECT_LABELS, type);
    return l ? l->longForm : nullptr;
}

const char* kneDataEntry::shortLabel(uint32_t type)
{
    const Label* l = findLabel(SUB_OBJECT_LABELS, type);
    return l ? l->shortForm : nullptr;
}

const char* kneDataEntry::meshLabel(uint32_t type)
{
    const Label* l = findLabel(MESH_LABELS, type);
    return l ? l->longForm : nullptr;
}

const char* kneDataEntry::meshShortLabel(uint32_t type)
{
    const Label* l = findLabel(MESH_LABELS, type);
    return l ? l->shortForm : nullptr;
}

// --- kneDataList -----------------------------------------------------------

uint32_t kneDataList::getHead() const { return kneLE::u32(p_); }
uint32_t kneDataList::getTail() const { return kneLE::u32(p_ + 4); }
void kneDataList::setHead(uint32_t h) { kneLE::put32(p_, h); }
void kneDataList::setTail(uint32_t h) { kneLE::put32(p_ + 4, h); }

bool kneDataList::complete(const kneIdTable& table) const
{
    return walk(table, [](kneDataEntry, uint32_t) { return true; });
}

uint32_t kneDataList::count(const kneIdTable& table) const
{
    uint32_t n = 0;
    if (!walk(table, [&](kneDataEntry, uint32_t) { ++n; return true; }))
        return 0;
    return n;
}

uint8_t kneDataList::typeAt(const kneIdTable& table, uint32_t n) const
{
    uint8_t type = 0;
    if (!complete(table))
        return 0;
    walk(table, [&](kneDataEntry e, uint32_t i) {
        if (i < n)
            return true;
        type = e.getType();
        return false;
    });
    return type;
}

kneDataEntry kneDataList::find(kneIdTable& table, uint32_t type) const
{
    kneDataEntry found;
    if (!complete(table))
        return found;
    walk(table, [&](kneDataEntry e, uint32_t) {
        if (e.getType() != type)
            return true;
        found = e;
        return false;
    });
    return found;
}

kneDataEntry kneDataList::at(kneIdTable& table, uint32_t n) const
{
    kneDataEntry found;
    if (!complete(table))
        return found;
    walk(table, [&](kneDataEntry e, uint32_t i) {
        if (i < n)
            return true;
        found = e;
        return false;
    });
    return found;
}

bool kneDataList::isValid(const kneIdTable& table) const
{
    if (!p_)
        return false;
    if ((getHead() == NONE) != (getTail() == NONE))
        return false;
    uint32_t n = 0;
    uint32_t last = NONE;
    uint32_t length = 0;
    if (!walk(table, [&](kneDataEntry e, uint32_t) {
            ++n;
            last = e.handle();
            length = e.getNext();
            return true;
        }))
        return false;
    return n == 0 || (last == getTail() && length == n);
}

void kneDataList::append(kneIdTable& table, uint32_t handle)
{
    uint8_t* e = table.resolve(handle, kneDataEntry::SIZE);
    if (!e)
        return;
    uint8_t* tail = table.resolve(getTail(), kneDataEntry::SIZE);
    if (!tail) {
        setHead(handle);
        kneLE::put32(e + 12, 1);
    } else {
        kneLE::put32(e + 12, kneLE::u32(tail + 12) + 1);
        kneLE::put32(tail + 12, handle);
    }
    setTail(handle);
}

// --- kneNodeElement --------------------------------------------------------

uint32_t kneNodeElement::getData() const { return kneLE::u32(p_); }
void kneNodeElement::setData(uint32_t h) { kneLE::put32(p_, h); }
uint16_t kneNodeElement::getDepth() const { return kneLE::u16(p_ + 4); }
void kneNodeElement::setDepth(uint16_t d) { kneLE::put16(p_ + 4, d); }
uint8_t kneNodeElement::getBType() const { return p_[6]; }
void kneNodeElement::setBType(uint8_t t) { p_[6] = t; }
uint8_t kneNodeElement::getDType() const { return p_[7]; }
void kneNodeElement::setDType(uint8_t t) { p_[7] = t; }
uint32_t kneNodeElement::getFbits() const { return kneLE::u32(p_ + 8); }
void kneNodeElement::setFbits(uint32_t f) { kneLE::put32(p_ + 8, f); }
uint32_t kneNodeElement::getName() const { return kneLE::u32(p_ + 12); }

void kneNodeElement::setName(uint32_t h)
{
    if (getName() != NONE)
        kneStatusWord::setWarning(W_NAME_ALREADY_SET);
    kneLE::put32(p_ + 12, h);
}

kneDataList kneNodeElement::getSubList() const { return kneDataList(p_ + 16); }

uint32_t kneNodeElement::recordFloats(uint32_t layout)
{
    switch (layout) {
    case TRS: return 9;
    case TR: return 6;
    case MATRIX: return 16;
    case GROUPS: return 12;
    case GROUPS_SCALE: return 15;
    default: return 0;
    }
}

uint32_t kneNodeElement::recordBytes(uint32_t fbits)
{
    uint32_t floats = recordFloats(fbits & 0x3FFFFF & ~(FLAG16 | FLAG32));
    if (!floats)
        return 0;
    uint32_t flag = (fbits & FLAG16) ? 2 : (fbits & FLAG32) ? 4 : 0;
    return floats * 4 + flag;
}

// --- kneMeshElement --------------------------------------------------------

uint32_t kneMeshElement::getData() const { return kneLE::u32(p_); }
void kneMeshElement::setData(uint32_t h) { kneLE::put32(p_, h); }
kneDataList kneMeshElement::getSubList() const { return kneDataList(p_ + 4); }
