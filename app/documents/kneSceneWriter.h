#pragma once
// Writer of the binary scene file (.kmd): what it writes, kneSceneReader
// reads back unchanged. A scene with both a narrow and a wide name keeps
// only the wide one (the format holds one name).
#include <cstdint>
#include <cstdio>
#include <vector>

class kneScene;

class kneSceneWriter {
public:
    enum Code : uint16_t {
        E_NO_HEADER = 121,
        E_NO_STREAM = 122,
        E_EXPORT_NO_HEADER = 123,
        E_EXPORT_NO_STREAM = 124,
        E_NO_ENTRY = 125,
        E_TOO_MANY_SLOTS = 170, // more than 65,535 slots do not fit the file's u16
        E_WRITE = 171,          // the stream refused the bytes
    };

    // Writes the whole scene; 0 or the status word. A scene without any
    // name is written with an empty narrow name.
    static uint32_t writeStream(kneScene& scene, FILE* stream);
    static uint32_t writeFile(kneScene& scene, const char* path);
    // The path is converted to the file system's UTF-8.
    static uint32_t writeFileW(kneScene& scene, const char16_t* path);
    // The same into memory (appends to out).
    static uint32_t writeBuffer(kneScene& scene, std::vector<uint8_t>& out);

    // Exports the entry in one slot as a scene of its own, named by the path
    // being written (writePath or writePathW of the header; an empty name
    // when neither is set). Mode 1 adds every attached entry as slots 1, 2,
    // ...; any other mode writes the entry alone.
    static uint32_t writeEntryStream(kneScene& scene, FILE* stream, uint32_t slot, int mode);
    static uint32_t writeEntryFile(kneScene& scene, const char* path, uint32_t slot, int mode);
    static uint32_t writeEntryFileW(kneScene& scene, const char16_t* path, uint32_t slot,
                                    int mode);
};
