#include "kneCacheBuilder.h"

#include "kneScene.h"
#include "kneStatusWord.h"

#include <cinttypes>
#include <vector>

namespace {

constexpr uint32_t NONE = kneIdTable::NONE;

struct Bank {
    uint32_t flagBytes = 0;
    uint32_t fbits = 0;
    uint32_t totalBytes = 0;
    uint32_t nbArray = 0;
    uint32_t aId = 0;
    uint32_t data_vp = NONE;
    uint8_t* data_p = nullptr;
};

struct Record {
    uint8_t btype = 0;
    uint8_t dtype = 0;
    uint32_t nbBank = 1;
    uint32_t bId = 0;
    std::vector<Bank> banks;
    uint8_t* endData_p = nullptr;
    uint8_t* curData_p = nullptr;
    uint32_t head = NONE;
    uint32_t tail = NONE;
};

struct Cache {
    uint16_t active = 0;
    uint16_t eId = 0;
    uint32_t nbEntry = 0;
    std::vector<Record> l;
    Record* cur_p = nullptr;
    Bank* cbc_p = nullptr;
    kneSceneObject* sobj_p = nullptr;
    uint8_t* dlist_p = nullptr;
    uint32_t elementBytes = 0;
    kneDataEntry entry;
};

Cache g_cache;

uint32_t freeWith(uint32_t word)
{
    if (g_cache.entry)
        g_cache.entry.setCacheWord(0);
    g_cache = Cache();
    return word;
}

uintptr_t addr(const void* p) { return reinterpret_cast<uintptr_t>(p); }

} // namespace

uint32_t kneCacheBuilder::recordBytes(uint32_t) { return 0; }

bool kneCacheBuilder::isActive() { return g_cache.active != 0; }

uint8_t* kneCacheBuilder::currentData() { return g_cache.cur_p ? g_cache.cur_p->curData_p : nullptr; }

uint32_t kneCacheBuilder::begin(kneSceneObject* object, kneDataEntry entry, uint32_t fbits,
                                int firstElement)
{
    if (g_cache.active)
        return kneStatusWord::setError(E_ACTIVE);
    if (!object || !entry)
        return kneStatusWord::setError(E_NO_ELEMENTS);
    kneIdTable& t = object->getTable();
    uint32_t elementBytes = kneDataEntry::elementSize(entry.getType());
    uint8_t* elems = entry.elementArray(t, elementBytes);
    if (!elems)
        return kneStatusWord::setError(E_NO_ELEMENTS);
    uint32_t n = entry.getEntryCount();
    for (uint32_t i = 0; i < n; ++i)
        if (kneLE::u32(elems + i * elementBytes) != NONE)
            return freeWith(kneStatusWord::setError(E_HOLDS_DATA));

    Cache c;
    c.nbEntry = n;
    c.sobj_p = object;
    c.dlist_p = elems;
    c.elementBytes = elementBytes;
    c.entry = entry;
    c.l.resize(n);
    uint32_t flagBytes = recordBytes(entry.getType());
    for (uint32_t i = 0; i < n; ++i) {
        Record& r = c.l[i];
        if (elementBytes >= kneNodeElement::LIGHT_SIZE) {
            kneNodeElement e(elems + i * elementBytes);
            r.btype = e.getBType();
            r.dtype = e.getDType();
        }
        Bank b;
        b.flagBytes = flagBytes;
        b.fbits = fbits;
        b.nbArray = entry.getArrayCount();
        uint64_t total = uint64_t(b.nbArray) * flagBytes;
        b.totalBytes = total > 0xFFFFFFF0u ? 0 : uint32_t(total);
        b.data_vp = t.alloc(b.totalBytes);
        b.data_p = t.resolve(b.data_vp, b.totalBytes);
        r.banks.push_back(b);
        r.curData_p = b.data_p;
        r.endData_p = b.data_p ? b.data_p + b.totalBytes : nullptr;
    }
    entry.setFormat(fbits);
    entry.setCacheWord(MARKER);
    c.active = 1;
    g_cache = std::move(c);
    return seek(firstElement < 0 ? 0 : firstElement, 0);
}

uint32_t kneCacheBuilder::seek(int element, int frame)
{
    if (!g_cache.active)
        return kneStatusWord::get();
    if (element >= 0) {
        if (uint32_t(element) >= g_cache.nbEntry)
            return freeWith(kneStatusWord::setError(E_ELEMENT));
        g_cache.eId = uint16_t(element);
        g_cache.cur_p = &g_cache.l[size_t(element)];
        g_cache.cbc_p = &g_cache.cur_p->banks[0];
    }
    if (!g_cache.cur_p)
        return kneStatusWord::get();
    Bank& b = *g_cache.cbc_p;
    uint32_t f = frame < 0 ? b.aId + 1 : uint32_t(frame);
    if (f >= b.nbArray)
        return freeWith(kneStatusWord::setError(E_FRAME));
    uint64_t offset = uint64_t(f) * b.flagBytes;
    if (offset != 0 && offset >= b.totalBytes)
        return freeWith(kneStatusWord::setError(E_OFFSET));
    b.aId = f;
    g_cache.cur_p->curData_p = b.data_p ? b.data_p + offset : nullptr;
    return kneStatusWord::get();
}

uint32_t kneCacheBuilder::end(kneDataEntry entry)
{
    if (!g_cache.active || !entry || entry.bytes() != g_cache.entry.bytes())
        return kneStatusWord::get();
    uint32_t size = g_cache.elementBytes;
    for (uint32_t i = 0; i < g_cache.nbEntry; ++i) {
        uint8_t* e = g_cache.dlist_p + i * size;
        if (kneLE::u32(e) != NONE)
            return freeWith(kneStatusWord::setWarning(W_DATA_SET));
        // Only model nodes and mesh elements have a sub-list.
        uint8_t* list = size == kneNodeElement::SIZE ? e + 16 : size == kneMeshElement::SIZE ? e + 4 : nullptr;
        if (list && kneLE::u32(list + 4) != NONE)
            return freeWith(kneStatusWord::setWarning(W_SUBLIST_SET));
        const Record& r = g_cache.l[i];
        kneLE::put32(e, r.banks[0].data_vp);
        if (list) {
            kneLE::put32(list, r.head);
            kneLE::put32(list + 4, r.tail);
        }
    }
    return freeWith(kneStatusWord::get());
}

void kneCacheBuilder::dump(FILE* out)
{
    if (!out)
        return;
    const Cache& c = g_cache;
    std::fprintf(out, "[KNEBuildCashDebug]: active %d eId %d\n", c.active, c.eId);
    std::fprintf(out,
                 "nbEntry %d cur_p %" PRIxPTR " cbc_p %" PRIxPTR " sobj_p %" PRIxPTR
                 " dlist_p %" PRIxPTR "\n",
                 int(c.nbEntry), addr(c.cur_p), addr(c.cbc_p), addr(c.sobj_p), addr(c.dlist_p));
    for (size_t i = 0; i < c.l.size(); ++i) {
        const Record& r = c.l[i];
        std::fprintf(out, "btype %d dtype %d\n", r.btype, r.dtype);
        std::fprintf(out,
                     "&l[%d] %" PRIxPTR " nbBank %d bId %d endData_p %" PRIxPTR
                     " curData_p %" PRIxPTR "\n",
                     int(i), addr(&r), int(r.nbBank), int(r.bId), addr(r.endData_p),
                     addr(r.curData_p));
        for (size_t k = 0; k < r.banks.size(); ++k) {
            const Bank& b = r.banks[k];
            std::fprintf(out,
                         "\t&bl[%d] %" PRIxPTR " flagBytes %d fbits %x totalBytes %d\n"
                         "\t\tnbArray %d aId %d data_vp %x data_p %" PRIxPTR "\n",
                         int(k), addr(&b), int(b.flagBytes), b.fbits, int(b.totalBytes),
                         int(b.nbArray), int(b.aId), b.data_vp, addr(b.data_p));
        }
    }
}
