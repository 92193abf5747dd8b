#pragma once
// Reader of the binary scene file (.kmd): a "KSCH" header chunk, an optional
// "KCOM" comment, an optional "KTPH" texture path table, then object chunks
// ("KOBJ", "KSOB") up to the end of the file, each with its entry header,
// attach list and id-table block. Every count, size, id, handle and name is
// checked against the bytes that hold it; a bad file gets an error code of
// its own and nothing is read out of bounds. On failure what was read so far
// stays in the scene until its next reset.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class kneScene;

class kneSceneReader {
public:
    // Chunk codes: four characters, the first in the most significant byte,
    // so the file holds them in reverse ("HCSK", "MOCK", ...).
    static constexpr uint32_t KSCH = 0x4B534348;
    static constexpr uint32_t KCOM = 0x4B434F4D;
    static constexpr uint32_t KTPH = 0x4B545048;
    static constexpr uint32_t KOBJ = 0x4B4F424A;
    static constexpr uint32_t KSOB = 0x4B534F42;
    static constexpr uint32_t CHUNK_HEAD_BYTES = 8;
    static constexpr uint32_t SCENE_FIXED_BYTES = 20;
    static constexpr uint32_t ENTRY_HEAD_BYTES = 20;
    static constexpr uint32_t MAX_PATH_TABLE = 0xFFFF; // the path table is read through 16 bits

    enum Code : uint16_t {
        E_NOT_SCENE = 131,         // the first chunk is not KSCH
        E_NO_STREAM = 132,         // the file could not be opened
        E_ENTRY_TABLE = 133,
        E_PATH_TABLE = 134,
        E_COMMENT = 135,
        E_OBJECT_BLOCK = 136,      // a KOBJ's id-table block does not start with KNVM
        E_SUBOBJECT_BLOCK = 137,   // the same for a KSOB
        E_NO_OBJECT = 138,         // after header, comment and paths: no object chunk
        E_HEADER_SIZE = 150,       // KSCH smaller than its 20-byte fixed part
        E_CHUNK_SIZE = 151,        // a chunk runs past the end of the file
        E_SCENE_NAME = 152,        // the scene name does not end inside its chunk
        E_COMMENT_TEXT = 153,      // the comment does not end inside its chunk
        E_PATH_COUNT = 154,        // fewer texture paths than the header counts
        E_PATH_TABLE_SIZE = 155,   // KTPH larger than 65,535 bytes
        E_FREE_SLOTS = 156,        // free-slot counts do not fit the slot count
        E_TRUNCATED = 157,         // 1 to 7 bytes after the last chunk
        E_OBJECT_TRUNCATED = 158,  // entry header or attach list cut off
        E_OBJECT_ID = 159,         // object id not below the slot count
        E_DUPLICATE_ID = 160,      // two object chunks name the same slot
        E_ATTACH_ID = 161,         // attached id not below the slot count
        E_UNEXPECTED_CHUNK = 162,  // a chunk after an object is not an object chunk
        E_BLOCK_TRUNCATED = 163,   // id-table block runs past the end of the file
        E_PAGE_BITS = 164,         // id-table page bits out of range
        E_PAGE_LAYOUT = 165,       // page count and sizes do not fill the block
        E_CURRENT_PAGE = 166,      // id-table current page is not one of its pages
        E_OBJECT_NAME = 167,       // object name handle is not a string in its table
        E_DATA_LIST = 168,         // object data list does not resolve or reach its tail
    };

    // Reads one scene from stream, from its position to its end. Returns 0
    // or the status word with the error code in its low half. After 136 or
    // 137 a seekable stream is left at the start of the bad block.
    static uint32_t readStream(kneScene& scene, FILE* stream);
    // Opens path with "rb" (132 when it cannot) and reads it.
    static uint32_t readFile(kneScene& scene, const char* path);
    // The same with a 16-bit wide path, converted to the file system's UTF-8.
    static uint32_t readFileW(kneScene& scene, const char16_t* path);
    // Reads a scene held in memory.
    static uint32_t readBuffer(kneScene& scene, const uint8_t* data, size_t size);

    // Copies count NUL-terminated strings out of size bytes into paths.
    // False when the bytes end before count strings have ended.
    static bool readPathTable(const uint8_t* bytes, uint32_t size, uint32_t count,
                              std::vector<std::string>& paths);

private:
    static uint32_t parse(kneScene& scene, const uint8_t* data, size_t size, size_t& failAt);
};
