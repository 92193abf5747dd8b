#include "kneIdTable.h"

#include "kneBytes.h"

#include <algorithm>
#include <cstring>

namespace {

// A page block: u32 capacity, u32 used, then the data area.
uint32_t headUsed(const uint8_t* p) { return kneLE::u32(p + 4); }

// Page list growth step.
constexpr uint32_t LIST_STEP = 256;

} // namespace

kneIdTable::kneIdTable() { create(PAGE_BITS, 0); }

kneIdTable::~kneIdTable() = default;

void kneIdTable::create(uint32_t pageBits, uint32_t pageCount)
{
    kneIdArena a;
    a.pageShift = pageBits + 1;
    a.cnkbit = 1u << pageBits;
    a.addrMask = (1u << pageBits) - 1;
    a.pageBytes = 1u << pageBits;
    a.fillBytes = uint32_t(double(a.pageBytes) * 0.85);
    a.retireBelow = a.pageBytes - a.fillBytes;
    a.chunkLimit = a.pageBytes * 4;
    a.nbList = pageCount;
    if (pageCount == 0) {
        a.stamp = STAMP;
        a.layout = pageBits;
        a.currentId = NONE;
    } else {
        a.stamp = arena_.stamp;
        a.layout = arena_.layout;
        a.currentId = arena_.currentId;
    }
    a.magic = MAGIC;
    a.totalBytes = HEAD_BYTES;
    arena_ = a;
    pages_.clear();
    pages_.reserve(pageCount);
    room_.clear();
    room_.reserve(pageCount);
}

int kneIdTable::clear()
{
    create(PAGE_BITS, 0);
    return 1;
}

uint32_t kneIdTable::pageCapacity(uint32_t i) const { return i < room_.size() ? room_[i] : 0; }

uint32_t kneIdTable::pageUsed(uint32_t i) const
{
    return i < pages_.size() ? headUsed(pages_[i].get()) : 0;
}

uint32_t kneIdTable::maxRecords(uint32_t recordBytes) const
{
    // totalBytes counts every byte handed out (plus heads): a bound that
    // costs nothing to read, which matters for walks done once per node.
    return recordBytes == 0 ? 0 : arena_.totalBytes / recordBytes;
}

uint32_t kneIdTable::findPage(uint32_t size)
{
    for (uint32_t i = arena_.firstOpenPage; i < arena_.nbPage; ++i) {
        uint32_t freeBytes = pageCapacity(i) - pageUsed(i);
        if (freeBytes >= size)
            return i;
        // A nearly full page at the head of the search is never looked at
        // again, which keeps the search short.
        if (i == arena_.firstOpenPage && freeBytes < arena_.retireBelow) {
            arena_.padBytes += freeBytes;
            ++arena_.firstOpenPage;
        }
    }
    return NONE;
}

uint32_t kneIdTable::newPage(uint32_t capacity)
{
    // The page number must fit in the id bits above the page shift.
    uint64_t maxPages = uint64_t(1) << (32 - arena_.pageShift);
    if (arena_.nbPage >= maxPages || uint64_t(arena_.totalBytes) + PAGE_HEAD_BYTES + capacity > 0xFFFFFFFFu)
        return NONE;
    // Cleared so that the word padding of an allocation is written as zeros.
    std::unique_ptr<uint8_t[]> block(new uint8_t[size_t(PAGE_HEAD_BYTES) + capacity]());
    kneLE::put32(block.get(), capacity);
    kneLE::put32(block.get() + 4, 0);
    arena_.totalBytes += PAGE_HEAD_BYTES;
    if (arena_.nbPage == arena_.nbList) {
        arena_.nbList += LIST_STEP;
        pages_.reserve(arena_.nbList);
        room_.reserve(arena_.nbList);
    }
    pages_.push_back(std::move(block));
    room_.push_back(capacity);
    return arena_.nbPage++;
}

uint32_t kneIdTable::alloc(uint32_t size)
{
    if (size == 0 || size > 0xFFFFFFF0u)
        return NONE;
    size = (size + 3) & ~3u;
    if (uint64_t(arena_.totalBytes) + PAGE_HEAD_BYTES + size > 0xFFFFFFFFu)
        return NONE;
    uint32_t p;
    if (size <= arena_.pageBytes) {
        p = findPage(size);
        if (p == NONE) {
            if (arena_.currentId == NONE ||
                pageCapacity(arena_.currentId) - pageUsed(arena_.currentId) < size) {
                uint32_t fresh = newPage(arena_.pageBytes);
                if (fresh == NONE)
                    return NONE;
                arena_.currentId = fresh;
            }
            p = arena_.currentId;
        }
    } else {
        // An allocation larger than a page gets a page of its own; the
        // current page stays what it was.
        p = newPage(size);
        if (p == NONE)
            return NONE;
    }
    uint8_t* head = pages_[p].get();
    uint32_t offset = headUsed(head);
    kneLE::put32(head + 4, offset + size);
    arena_.totalBytes += size;
    return (p << arena_.pageShift) | (offset >> 2);
}

const uint8_t* kneIdTable::resolve(uint32_t id, uint32_t size) const
{
    if (id == NONE)
        return nullptr;
    uint32_t p = id >> arena_.pageShift;
    if (p >= arena_.nbPage)
        return nullptr;
    uint64_t offset = uint64_t(id & arena_.addrMask) * 4;
    const uint8_t* base = pages_[p].get();
    if (id & arena_.cnkbit) {
        // An id inside a chunk counts from the chunk's start in the chunk's
        // first page, which the head of page p names.
        if (headUsed(base) < 8)
            return nullptr;
        uint32_t first = kneLE::u32(base + PAGE_HEAD_BYTES);
        uint32_t start = kneLE::u32(base + PAGE_HEAD_BYTES + 4) >> 8;
        if (first != NONE) {
            if (first >= arena_.nbPage)
                return nullptr;
            base = pages_[first].get();
        }
        offset += start;
    }
    if (offset + size > headUsed(base))
        return nullptr;
    return base + PAGE_HEAD_BYTES + offset;
}

uint8_t* kneIdTable::resolve(uint32_t id, uint32_t size)
{
    return const_cast<uint8_t*>(static_cast<const kneIdTable*>(this)->resolve(id, size));
}

const char* kneIdTable::resolveString(uint32_t id) const
{
    const uint8_t* p = resolve(id, 1);
    if (!p)
        return nullptr;
    // The bytes up to the end of the used part of the same page.
    uint32_t page = id >> arena_.pageShift;
    if (id & arena_.cnkbit) {
        uint32_t first = kneLE::u32(pages_[page].get() + PAGE_HEAD_BYTES);
        if (first != NONE)
            page = first;
    }
    const uint8_t* block = pages_[page].get();
    const uint8_t* end = block + PAGE_HEAD_BYTES + headUsed(block);
    if (!std::memchr(p, 0, size_t(end - p)))
        return nullptr;
    return reinterpret_cast<const char*>(p);
}

uint32_t kneIdTable::storeString(const char* text)
{
    if (!text || !*text)
        return NONE;
    size_t len = std::strlen(text) + 1;
    if (len > 0xFFFFFFF0u)
        return NONE;
    uint32_t id = alloc(uint32_t(len));
    if (id != NONE)
        std::memcpy(resolve(id, uint32_t(len)), text, len);
    return id;
}

kneIdTable::ReadResult kneIdTable::readBlock(const uint8_t* data, size_t size, size_t& consumed)
{
    if (size >= 4 && kneLE::u32(data) != MAGIC)
        return READ_NO_MAGIC;
    if (size < 8 + HEAD_BYTES)
        return READ_TRUNCATED;
    uint32_t total = kneLE::u32(data + 4);
    if (total < HEAD_BYTES)
        return READ_BAD_PAGES;
    if (uint64_t(total) + 8 > size)
        return READ_TRUNCATED;
    uint32_t stamp = kneLE::u32(data + 8);
    uint32_t layout = kneLE::u32(data + 12);
    uint32_t current = kneLE::u32(data + 16);
    uint32_t bits = layout & 31;
    uint32_t count = layout >> 5;
    if (bits < MIN_PAGE_BITS || bits > MAX_PAGE_BITS)
        return READ_BAD_PAGE_BITS;
    if (uint64_t(count) * PAGE_HEAD_BYTES > total - HEAD_BYTES)
        return READ_BAD_PAGES;
    // Check every page against the block before anything is replaced.
    const uint8_t* end = data + 8 + total;
    const uint8_t* p = data + 8 + HEAD_BYTES;
    for (uint32_t i = 0; i < count; ++i) {
        if (size_t(end - p) < PAGE_HEAD_BYTES)
            return READ_BAD_PAGES;
        uint32_t used = kneLE::u32(p + 4);
        if (used > size_t(end - p) - PAGE_HEAD_BYTES)
            return READ_BAD_PAGES;
        p += PAGE_HEAD_BYTES + used;
    }
    if (p != end)
        return READ_BAD_PAGES;
    if (current != NONE && current >= count)
        return READ_BAD_CURRENT;

    arena_.stamp = stamp;
    arena_.layout = layout;
    arena_.currentId = current;
    create(bits, count);
    p = data + 8 + HEAD_BYTES;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t used = kneLE::u32(p + 4);
        // Pages read from a file hold only their used bytes, so they are
        // full: every later allocation opens a new page. The head keeps the
        // capacity the file gave, so the block is written back unchanged.
        std::unique_ptr<uint8_t[]> block(new uint8_t[size_t(PAGE_HEAD_BYTES) + used]);
        std::memcpy(block.get(), p, size_t(PAGE_HEAD_BYTES) + used);
        pages_.push_back(std::move(block));
        room_.push_back(used);
        p += PAGE_HEAD_BYTES + used;
    }
    arena_.nbPage = count;
    arena_.totalBytes = total;
    consumed = size_t(8) + total;
    return READ_OK;
}

uint32_t kneIdTable::readBlock(FILE* stream)
{
    if (!stream)
        stream = stream_;
    if (!stream)
        return NONE;
    long start = std::ftell(stream);
    auto fail = [&]() {
        if (start >= 0)
            std::fseek(stream, start, SEEK_SET);
        return NONE;
    };
    uint8_t head[8];
    if (std::fread(head, 1, 8, stream) != 8 || kneLE::u32(head) != MAGIC)
        return fail();
    uint32_t total = kneLE::u32(head + 4);
    // Read the declared length in steps, so a damaged count cannot make us
    // reserve gigabytes before the file runs out.
    std::vector<uint8_t> bytes(head, head + 8);
    size_t want = size_t(8) + total;
    while (bytes.size() < want) {
        size_t step = std::min<size_t>(want - bytes.size(), size_t(1) << 20);
        size_t at = bytes.size();
        bytes.resize(at + step);
        if (std::fread(bytes.data() + at, 1, step, stream) != step)
            return fail();
    }
    size_t consumed = 0;
    if (readBlock(bytes.data(), bytes.size(), consumed) != READ_OK)
        return fail();
    return arena_.totalBytes;
}

void kneIdTable::appendBlock(std::vector<uint8_t>& out)
{
    arena_.layout = (arena_.layout & 31) | (arena_.nbPage << 5);
    size_t at = out.size();
    out.resize(at + 8 + HEAD_BYTES);
    uint8_t* h = out.data() + at;
    kneLE::put32(h, arena_.magic);
    kneLE::put32(h + 4, arena_.totalBytes);
    kneLE::put32(h + 8, arena_.stamp);
    kneLE::put32(h + 12, arena_.layout);
    kneLE::put32(h + 16, arena_.currentId);
    for (uint32_t i = 0; i < arena_.nbPage; ++i) {
        const uint8_t* block = pages_[i].get();
        out.insert(out.end(), block, block + PAGE_HEAD_BYTES + headUsed(block));
    }
}

uint32_t kneIdTable::writeBlock(FILE* stream)
{
    if (!stream)
        stream = stream_;
    if (!stream)
        return NONE;
    std::vector<uint8_t> bytes;
    appendBlock(bytes);
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size())
        return NONE;
    return 0;
}

FILE* kneIdTable::openRead(const char* path)
{
    stream_ = path ? std::fopen(path, "rb") : nullptr;
    return stream_;
}

FILE* kneIdTable::openWrite(const char* path)
{
    stream_ = path ? std::fopen(path, "wb") : nullptr;
    return stream_;
}

int kneIdTable::close(FILE* stream)
{
    if (!stream) {
        stream = stream_;
        stream_ = nullptr;
    } else if (stream == stream_) {
        stream_ = nullptr;
    }
    return stream ? std::fclose(stream) : -1;
}

int kneIdTable::flush(FILE* stream) { return stream ? std::fflush(stream) : -1; }
