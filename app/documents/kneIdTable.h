#pragma once
// Paged id table: the small arena in which every scene object keeps its name,
// its data entries and their element arrays. An allocation is named by a
// 32-bit id (page number, chunk bit, word offset) instead of a pointer, so a
// whole table is written to a file and read back page by page with no
// pointer fix-up. The table is stored in a .kmd file as one "KNVM" block.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

// Arena state, in the order the format describes it. Values are those of a
// table created with page bits b = 12 unless a block read from a file set
// others.
struct kneIdArena {
    uint32_t pageShift = 0;     // b + 1: shift that takes the page number out of an id
    uint32_t cnkbit = 0;        // 1 << b: id bit of an id inside a multi-page chunk
    uint32_t addrMask = 0;      // (1 << b) - 1: word offset in an id
    uint32_t pageBytes = 0;     // capacity of an ordinary page
    uint32_t fillBytes = 0;     // 85 % of a page
    uint32_t retireBelow = 0;   // pageBytes - fillBytes
    uint32_t firstOpenPage = 0; // first page the free-space search looks at
    uint32_t chunkLimit = 0;    // pageBytes x 4
    uint32_t chunkMode = 0;     // chunks are never opened by this system
    uint32_t chunkCapacity = 0;
    uint32_t chunkUsed = 0;
    uint32_t pageHeadBytes = 8; // bytes of a chunk head at the start of a chunk page
    uint32_t chunkBytes = 0;
    uint32_t chunkPage = 0xFFFFFFFFu;
    uint32_t nbPage = 0;        // pages in use
    uint32_t nbList = 0;        // capacity of the page list (grows by 256)
    uint32_t padBytes = 0;      // free bytes lost in retired pages
    uint32_t stamp = 0;         // constant written with every block
    uint32_t layout = 0;        // page bits in bits 0-4, page count in bits 5-31
    uint32_t currentId = 0xFFFFFFFFu; // page that takes allocations no search placed
    uint32_t magic = 0;
    uint32_t totalBytes = 0;    // bytes of the block after magic and this count
};

class kneIdTable {
public:
    static constexpr uint32_t NONE = 0xFFFFFFFFu;
    static constexpr uint32_t PAGE_BITS = 12;
    static constexpr uint32_t STAMP = 0x0040713Au;
    static constexpr uint32_t MAGIC = 0x4B4E564Du; // "KNVM", bytes 4D 56 4E 4B
    static constexpr uint32_t HEAD_BYTES = 12;     // stamp, layout, currentId
    static constexpr uint32_t PAGE_HEAD_BYTES = 8; // capacity, used
    // Page bits a block may carry: every shift and the chunk limit (4 pages)
    // must stay inside 32 bits.
    static constexpr uint32_t MIN_PAGE_BITS = 1;
    static constexpr uint32_t MAX_PAGE_BITS = 29;

    // Outcome of reading a block from memory.
    enum ReadResult {
        READ_OK,
        READ_NO_MAGIC,      // the bytes do not start with "KNVM"
        READ_TRUNCATED,     // the block runs past the end of the bytes given
        READ_BAD_PAGE_BITS, // page bits outside MIN_PAGE_BITS..MAX_PAGE_BITS
        READ_BAD_PAGES,     // page count and used sizes do not fill the block exactly
        READ_BAD_CURRENT,   // the current page is not one of the pages
    };

    kneIdTable();
    ~kneIdTable();
    kneIdTable(const kneIdTable&) = delete;
    kneIdTable& operator=(const kneIdTable&) = delete;

    // Id of size new bytes (not cleared), rounded up to whole words; NONE for
    // size 0 or when the table cannot name another page. Earlier addresses
    // stay valid: pages never move.
    uint32_t alloc(uint32_t size);

    // Address of size bytes at id, or null when they do not lie wholly inside
    // the used part of a page (and for NONE). Always pass the size you will
    // read: that is what keeps a damaged file from reaching past a page.
    uint8_t* resolve(uint32_t id, uint32_t size);
    const uint8_t* resolve(uint32_t id, uint32_t size) const;

    // The NUL-terminated string at id, or null when it does not end inside
    // its page.
    const char* resolveString(uint32_t id) const;

    // Copies text with its terminator into the table; NONE for null or "".
    uint32_t storeString(const char* text);

    uint32_t totalBytes() const { return arena_.totalBytes; }

    // Frees every page and starts again with page bits 12; returns 1.
    int clear();

    // Reads a "KNVM" block from stream (null: the table's own stream).
    // Returns the block's totalBytes, or NONE with the stream put back at the
    // block's start and the table unchanged.
    uint32_t readBlock(FILE* stream = nullptr);
    // Reads a block from bytes; on READ_OK sets consumed to the block's
    // length (8 + totalBytes). Any other result leaves the table unchanged.
    ReadResult readBlock(const uint8_t* data, size_t size, size_t& consumed);

    // Writes the block, also for a table that holds nothing (a reader needs
    // the block in every object chunk). Returns 0, NONE without a stream or
    // when the write fails.
    uint32_t writeBlock(FILE* stream = nullptr);
    // Appends the block's bytes to out.
    void appendBlock(std::vector<uint8_t>& out);

    // The table's own stream for readBlock/writeBlock (modes "rb", "wb").
    FILE* openRead(const char* path);
    FILE* openWrite(const char* path);
    // Closes stream, or the table's own stream when null; 0 on success.
    int close(FILE* stream = nullptr);
    int flush(FILE* stream);

    // Read-only views for dumps and bounds: the arena and page i's block
    // (8-byte head: stored capacity, used; then the data area), the bytes
    // the page can hold and the bytes handed out.
    const kneIdArena& arena() const { return arena_; }
    const uint8_t* page(uint32_t i) const { return i < pages_.size() ? pages_[i].get() : nullptr; }
    uint32_t pageCapacity(uint32_t i) const;
    uint32_t pageUsed(uint32_t i) const;

    // Most records of recordBytes each that the table can hold: the bound of
    // every list walk, so a list that loops cannot hang its reader.
    uint32_t maxRecords(uint32_t recordBytes) const;

private:
    void create(uint32_t pageBits, uint32_t pageCount);
    uint32_t findPage(uint32_t size);
    uint32_t newPage(uint32_t capacity);

    kneIdArena arena_;
    std::vector<std::unique_ptr<uint8_t[]>> pages_;
    // Bytes each page's data area can hold. The head's capacity field is
    // what the block stores; for a page read from a file it may exceed what
    // was read, so the search for room goes by this instead.
    std::vector<uint32_t> room_;
    FILE* stream_ = nullptr;
};
