// Paged id table: allocation, retirement, bounded resolve and the block.
#include "kneBytes.h"
#include "kneIdTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t NONE = kneIdTable::NONE;

std::vector<uint8_t> blockOf(kneIdTable& t)
{
    std::vector<uint8_t> b;
    t.appendBlock(b);
    return b;
}

} // namespace

TEST(IdTable, FreshTableHandsOutWordOffsetsAndCountsBytes)
{
    kneIdTable t;
    EXPECT_EQ(t.totalBytes(), 12u);
    EXPECT_EQ(t.arena().fillBytes, 3481u);
    EXPECT_EQ(t.arena().retireBelow, 615u);
    EXPECT_EQ(t.arena().chunkLimit, 16384u);
    EXPECT_EQ(t.alloc(24), 0u);
    EXPECT_EQ(t.alloc(24), 6u);
    EXPECT_EQ(t.totalBytes(), 12u + 8 + 48);
    EXPECT_EQ(t.alloc(5), 12u); // rounded up to 8 bytes
    EXPECT_EQ(t.alloc(1), 14u);
    EXPECT_EQ(t.alloc(0), NONE);
}

TEST(IdTable, LargeAllocationGetsAPageOfItsOwn)
{
    kneIdTable t;
    t.alloc(8);
    uint32_t big = t.alloc(5000);
    EXPECT_EQ(big, 1u << 13);
    EXPECT_EQ(t.pageCapacity(1), 5000u);
    EXPECT_EQ(t.arena().currentId, 0u);
    EXPECT_EQ(t.alloc(8), 2u); // still on page 0
    ASSERT_NE(t.resolve(big, 5000), nullptr);
    EXPECT_EQ(t.resolve(big, 5001), nullptr);
}

TEST(IdTable, NearlyFullPageIsRetiredFromTheSearch)
{
    kneIdTable t;
    t.alloc(3600); // 496 bytes left: below the 615 retirement mark
    uint32_t id = t.alloc(500);
    EXPECT_EQ(id >> 13, 1u);
    EXPECT_EQ(t.arena().padBytes, 496u);
    EXPECT_EQ(t.arena().firstOpenPage, 1u);
    // The retired page is never searched again, but stays current until a
    // new page is opened; here the new page is current.
    EXPECT_EQ(t.alloc(400) >> 13, 1u);
}

TEST(IdTable, ResolveNeverReachesPastTheUsedBytes)
{
    kneIdTable t;
    uint32_t a = t.alloc(16);
    EXPECT_NE(t.resolve(a, 16), nullptr);
    EXPECT_EQ(t.resolve(a, 17), nullptr);
    EXPECT_EQ(t.resolve(a + 4, 1), nullptr); // word 4 = byte 16, past used
    EXPECT_EQ(t.resolve(1u << 13, 1), nullptr); // page 1 does not exist
    EXPECT_EQ(t.resolve(NONE, 0), nullptr);
    EXPECT_EQ(t.storeString(""), NONE);
    EXPECT_EQ(t.storeString(nullptr), NONE);
    uint32_t s = t.storeString("joint");
    EXPECT_STREQ(t.resolveString(s), "joint");
    // Bytes without a terminator before the end of the page are no string.
    std::memset(t.resolve(a, 16), 'x', 16);
    kneIdTable u;
    uint32_t x = u.alloc(4);
    std::memset(u.resolve(x, 4), 'x', 4);
    EXPECT_EQ(u.resolveString(x), nullptr);
}

TEST(IdTable, BlockRoundTripKeepsPagesAndIds)
{
    kneIdTable t;
    std::vector<uint32_t> ids;
    for (uint32_t i = 0; i < 300; ++i) {
        uint32_t id = t.alloc(4 + (i * 37) % 900);
        kneLE::put32(t.resolve(id, 4), i);
        ids.push_back(id);
    }
    ids.push_back(t.alloc(9000));
    kneLE::put32(t.resolve(ids.back(), 4), 300);
    std::vector<uint8_t> b = blockOf(t);

    kneIdTable r;
    size_t consumed = 0;
    ASSERT_EQ(r.readBlock(b.data(), b.size(), consumed), kneIdTable::READ_OK);
    EXPECT_EQ(consumed, b.size());
    EXPECT_EQ(r.totalBytes(), t.totalBytes());
    ASSERT_EQ(r.arena().nbPage, t.arena().nbPage);
    for (uint32_t p = 0; p < t.arena().nbPage; ++p)
        EXPECT_EQ(r.pageUsed(p), t.pageUsed(p));
    for (uint32_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(kneLE::u32(r.resolve(ids[i], 4)), i);
    EXPECT_EQ(blockOf(r), b);
    // Pages read back are full: the next allocation opens a new page.
    EXPECT_EQ(r.alloc(4) >> 13, t.arena().nbPage);
}

TEST(IdTable, EmptyTableStillWritesItsBlock)
{
    kneIdTable t;
    std::vector<uint8_t> b = blockOf(t);
    ASSERT_EQ(b.size(), 20u);
    EXPECT_EQ(kneLE::u32(b.data()), kneIdTable::MAGIC);
    EXPECT_EQ(kneLE::u32(b.data() + 4), 12u);
    EXPECT_EQ(kneLE::u32(b.data() + 12), 12u); // page bits 12, no pages
    kneIdTable r;
    size_t consumed = 0;
    EXPECT_EQ(r.readBlock(b.data(), b.size(), consumed), kneIdTable::READ_OK);
    EXPECT_EQ(r.arena().nbPage, 0u);
}

TEST(IdTable, DamagedBlocksAreRefusedAndLeaveTheTableAlone)
{
    kneIdTable src;
    src.storeString("keep");
    src.alloc(40);
    const std::vector<uint8_t> good = blockOf(src);

    struct Case {
        const char* what;
        size_t at;     // byte to change (u32 little-endian)
        uint32_t value;
        size_t cut;    // bytes to drop from the end
        kneIdTable::ReadResult expected;
    };
    const Case cases[] = {
        {"magic", 0, 0x12345678, 0, kneIdTable::READ_NO_MAGIC},
        {"cut short", 0, kneIdTable::MAGIC, 3, kneIdTable::READ_TRUNCATED},
        {"total below head", 4, 8, 0, kneIdTable::READ_BAD_PAGES},
        {"total too large", 4, 0x7FFFFFF0, 0, kneIdTable::READ_TRUNCATED},
        {"page bits 0", 12, (1u << 5) | 0, 0, kneIdTable::READ_BAD_PAGE_BITS},
        {"page bits 30", 12, (1u << 5) | 30, 0, kneIdTable::READ_BAD_PAGE_BITS},
        {"too many pages", 12, (9u << 5) | 12, 0, kneIdTable::READ_BAD_PAGES},
        {"no pages", 12, 12, 0, kneIdTable::READ_BAD_PAGES},
        {"used past block", 24, 4096, 0, kneIdTable::READ_BAD_PAGES},
        {"used short of block", 24, 8, 0, kneIdTable::READ_BAD_PAGES},
        {"current page", 16, 1, 0, kneIdTable::READ_BAD_CURRENT},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = good;
        kneLE::put32(b.data() + c.at, c.value);
        b.resize(b.size() - c.cut);
        kneIdTable t;
        uint32_t kept = t.storeString("mine");
        size_t consumed = 0;
        EXPECT_EQ(t.readBlock(b.data(), b.size(), consumed), c.expected) << c.what;
        EXPECT_STREQ(t.resolveString(kept), "mine") << c.what;
    }
}

TEST(IdTable, StreamReadPutsTheStreamBackOnFailure)
{
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fputs("junkjunkjunkjunkjunk", f);
    std::rewind(f);
    std::fseek(f, 4, SEEK_SET);
    kneIdTable t;
    EXPECT_EQ(t.readBlock(f), NONE);
    EXPECT_EQ(std::ftell(f), 4);
    kneIdTable src;
    src.storeString("abc");
    std::rewind(f);
    EXPECT_EQ(src.writeBlock(f), 0u);
    std::rewind(f);
    EXPECT_EQ(t.readBlock(f), src.totalBytes());
    EXPECT_STREQ(t.resolveString(0), "abc");
    std::fclose(f);
    EXPECT_EQ(t.readBlock(nullptr), NONE); // no stream of its own
}

TEST(IdTable, ChunkBitIdsResolveThroughTheChunkHeadOnlyWhenItIsValid)
{
    // Page 0 holds the chunk's bytes; page 1 starts with a chunk head that
    // names page 0 and a start offset of 8 bytes.
    std::vector<uint8_t> b = {0x4D, 0x56, 0x4E, 0x4B, 0, 0, 0, 0, 0x3A, 0x71, 0x40, 0,
                              (2 << 5) | 12, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    auto page = [&](std::vector<uint8_t> data) {
        uint8_t h[8];
        kneLE::put32(h, uint32_t(data.size()));
        kneLE::put32(h + 4, uint32_t(data.size()));
        b.insert(b.end(), h, h + 8);
        b.insert(b.end(), data.begin(), data.end());
    };
    page({0, 0, 0, 0, 0, 0, 0, 0, 'c', 'h', 'u', 'n', 'k', 0, 0, 0});
    page({0, 0, 0, 0, 0, 8, 0, 0}); // first page 0, start offset 8 (in bits 8-31)
    kneLE::put32(b.data() + 4, uint32_t(b.size() - 8));
    kneIdTable t;
    size_t consumed = 0;
    ASSERT_EQ(t.readBlock(b.data(), b.size(), consumed), kneIdTable::READ_OK);
    const uint32_t id = (1u << 13) | (1u << 12); // page 1, chunk bit, word 0
    EXPECT_STREQ(t.resolveString(id), "chunk");
    EXPECT_EQ(t.resolve(id + 2, 1), nullptr); // 8 + 8 bytes: past page 0's used
    // A head naming a page that does not exist.
    kneLE::put32(b.data() + b.size() - 8, 7);
    ASSERT_EQ(t.readBlock(b.data(), b.size(), consumed), kneIdTable::READ_OK);
    EXPECT_EQ(t.resolve(id, 1), nullptr);
}
