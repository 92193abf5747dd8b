#include "kneSceneWriter.h"

#include "kneBytes.h"
#include "kneScene.h"
#include "kneSceneReader.h"
#include "kneStatusWord.h"
#include "platform/textconv.h"

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t b[4];
    kneLE::put32(b, v);
    out.insert(out.end(), b, b + 4);
}

void put16(std::vector<uint8_t>& out, uint16_t v)
{
    uint8_t b[2];
    kneLE::put16(b, v);
    out.insert(out.end(), b, b + 2);
}

void putF32(std::vector<uint8_t>& out, float v)
{
    uint8_t b[4];
    kneLE::putF32(b, v);
    out.insert(out.end(), b, b + 4);
}

// The scene name as stored: wide (with bit 31 in the version) when there is
// a wide name, else narrow; the terminator is part of the bytes.
struct Name {
    bool isWide = false;
    std::vector<uint8_t> bytes;
};

Name makeName(const char* narrow, const char16_t* wide)
{
    Name n;
    if (wide) {
        n.isWide = true;
        for (const char16_t* p = wide;; ++p) {
            uint8_t b[2];
            kneLE::put16(b, *p);
            n.bytes.insert(n.bytes.end(), b, b + 2);
            if (!*p)
                break;
        }
    } else {
        const char* s = narrow ? narrow : "";
        for (const char* p = s;; ++p) {
            n.bytes.push_back(uint8_t(*p));
            if (!*p)
                break;
        }
    }
    return n;
}

void headerChunks(std::vector<uint8_t>& out, const kneSceneHeader& h, const Name& name,
                  uint16_t nbFreeId, uint16_t soFreeId, uint16_t nbListId)
{
    put32(out, kneSceneReader::KSCH);
    put32(out, kneSceneReader::SCENE_FIXED_BYTES + uint32_t(name.bytes.size()));
    put32(out, name.isWide ? (kneSceneHeader::VERSION | kneSceneHeader::WIDE_NAME)
                           : kneSceneHeader::VERSION);
    putF32(out, h.stime);
    putF32(out, h.etime);
    put16(out, nbFreeId);
    put16(out, soFreeId);
    put16(out, nbListId);
    put16(out, h.nbTexPath);
    out.insert(out.end(), name.bytes.begin(), name.bytes.end());
    if (h.comment) {
        put32(out, kneSceneReader::KCOM);
        put32(out, uint32_t(h.comment->size() + 1));
        out.insert(out.end(), h.comment->begin(), h.comment->end());
        out.push_back(0);
    }
    if (h.nbTexPath != 0) {
        uint32_t bytes = 0;
        for (uint16_t i = 0; i < h.nbTexPath; ++i)
            bytes += uint32_t(i < h.texPaths.size() ? h.texPaths[i].size() : 0) + 1;
        put32(out, kneSceneReader::KTPH);
        put32(out, bytes);
        for (uint16_t i = 0; i < h.nbTexPath; ++i) {
            if (i < h.texPaths.size())
                out.insert(out.end(), h.texPaths[i].begin(), h.texPaths[i].end());
            out.push_back(0);
        }
    }
}

void objectChunk(std::vector<uint8_t>& out, kneSceneObject& obj, uint16_t id, uint16_t ostatus,
                 uint16_t ref, const std::vector<uint16_t>& attach)
{
    uint16_t n = uint16_t(attach.size());
    uint32_t attachBytes = uint32_t(n) * 2 + ((n & 1) ? 2 : 0);
    // The size leaves out the id-table block's magic and count.
    put32(out, (ostatus & kneSceneEntry::OBJECT) ? kneSceneReader::KOBJ : kneSceneReader::KSOB);
    put32(out, kneSceneReader::ENTRY_HEAD_BYTES + attachBytes + obj.getTable().totalBytes());
    put16(out, id);
    put16(out, ostatus);
    put16(out, ref);
    put16(out, n);
    put32(out, obj.getNameHandle());
    put32(out, obj.getHead());
    put32(out, obj.getTail());
    for (uint16_t a : attach)
        put16(out, a);
    if (n & 1)
        put16(out, 0);
    obj.getTable().appendBlock(out);
}

uint32_t flushTo(FILE* stream, const std::vector<uint8_t>& bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size() ||
        std::fflush(stream) != 0)
        return kneStatusWord::setError(kneSceneWriter::E_WRITE);
    return 0;
}

FILE* openUtf8(const char16_t* path, const char* mode)
{
    return path ? std::fopen(platform::utf16ToUtf8(path).c_str(), mode) : nullptr;
}

uint32_t exportEntry(kneScene& scene, std::vector<uint8_t>& out, uint32_t slot, int mode)
{
    kneSceneHeader& h = *scene.header();
    if (slot >= h.nbListId || !h.entries[slot].sobj)
        return kneStatusWord::setError(kneSceneWriter::E_NO_ENTRY);
    kneSceneEntry& e = h.entries[slot];
    bool withAttached = mode == 1;
    if (uint32_t(e.nbAttach) + 1 > kneSceneHeader::MAX_SLOTS)
        return kneStatusWord::setError(kneSceneWriter::E_TOO_MANY_SLOTS);
    Name name = makeName(h.writePath, h.writePathW);
    headerChunks(out, h, name, 0, 0, uint16_t(e.nbAttach + 1));
    std::vector<uint16_t> attach;
    if (withAttached)
        for (uint16_t i = 1; i <= e.nbAttach; ++i)
            attach.push_back(i);
    objectChunk(out, *e.sobj, 0, e.ostatus, 0, attach);
    if (withAttached) {
        for (uint16_t i = 0; i < e.nbAttach; ++i) {
            uint16_t b = e.attach[i];
            // An attached slot without an object stays free in the export.
            if (b < h.nbListId && h.entries[b].sobj)
                objectChunk(out, *h.entries[b].sobj, uint16_t(i + 1), h.entries[b].ostatus, 1, {});
        }
    }
    return 0;
}

} // namespace

uint32_t kneSceneWriter::writeBuffer(kneScene& scene, std::vector<uint8_t>& out)
{
    kneSceneHeader* h = scene.header();
    if (!h)
        return kneStatusWord::setError(E_NO_HEADER);
    if (h->nbListId > kneSceneHeader::MAX_SLOTS)
        return kneStatusWord::setError(E_TOO_MANY_SLOTS);
    Name name = makeName(h->scenename ? h->scenename->c_str() : nullptr,
                         h->scenenameW ? h->scenenameW->c_str() : nullptr);
    headerChunks(out, *h, name, h->nbFreeId, h->soFreeId, uint16_t(h->nbListId));
    for (uint32_t i = 0; i < h->nbListId; ++i) {
        kneSceneEntry& e = h->entries[i];
        if (e.sobj)
            objectChunk(out, *e.sobj, uint16_t(i), e.ostatus, e.ref, e.attach);
    }
    return 0;
}

uint32_t kneSceneWriter::writeStream(kneScene& scene, FILE* stream)
{
    if (!scene.header())
        return kneStatusWord::setError(E_NO_HEADER);
    if (!stream)
        return kneStatusWord::setError(E_NO_STREAM);
    std::vector<uint8_t> bytes;
    uint32_t r = writeBuffer(scene, bytes);
    return r ? r : flushTo(stream, bytes);
}

uint32_t kneSceneWriter::writeFile(kneScene& scene, const char* path)
{
    FILE* f = path ? std::fopen(path, "wb") : nullptr;
    uint32_t r = writeStream(scene, f);
    if (f && std::fclose(f) != 0 && r == 0)
        r = kneStatusWord::setError(E_WRITE);
    return r;
}

uint32_t kneSceneWriter::writeFileW(kneScene& scene, const char16_t* path)
{
    FILE* f = openUtf8(path, "wb");
    uint32_t r = writeStream(scene, f);
    if (f && std::fclose(f) != 0 && r == 0)
        r = kneStatusWord::setError(E_WRITE);
    return r;
}

uint32_t kneSceneWriter::writeEntryStream(kneScene& scene, FILE* stream, uint32_t slot, int mode)
{
    if (!scene.header())
        return kneStatusWord::setError(E_EXPORT_NO_HEADER);
    if (!stream)
        return kneStatusWord::setError(E_EXPORT_NO_STREAM);
    std::vector<uint8_t> bytes;
    uint32_t r = exportEntry(scene, bytes, slot, mode);
    return r ? r : flushTo(stream, bytes);
}

uint32_t kneSceneWriter::writeEntryFile(kneScene& scene, const char* path, uint32_t slot, int mode)
{
    if (!scene.header())
        return kneStatusWord::setError(E_EXPORT_NO_HEADER);
    FILE* f = path ? std::fopen(path, "wb") : nullptr;
    scene.header()->writePath = path;
    uint32_t r = writeEntryStream(scene, f, slot, mode);
    scene.header()->writePath = nullptr;
    if (f && std::fclose(f) != 0 && r == 0)
        r = kneStatusWord::setError(E_WRITE);
    return r;
}

uint32_t kneSceneWriter::writeEntryFileW(kneScene& scene, const char16_t* path, uint32_t slot,
                                         int mode)
{
    if (!scene.header())
        return kneStatusWord::setError(E_EXPORT_NO_HEADER);
    FILE* f = openUtf8(path, "wb");
    scene.header()->writePathW = path;
    uint32_t r = writeEntryStream(scene, f, slot, mode);
    scene.header()->writePathW = nullptr;
    if (f && std::fclose(f) != 0 && r == 0)
        r = kneStatusWord::setError(E_WRITE);
    return r;
}
