#include "kneSceneReader.h"

#include "kneBytes.h"
#include "kneScene.h"
#include "kneStatusWord.h"
#include "platform/textconv.h"

#include <cstring>

namespace {

// Reads the rest of a stream, in steps so a pipe works as well as a file.
std::vector<uint8_t> slurp(FILE* stream)
{
    std::vector<uint8_t> bytes;
    size_t at = 0;
    for (;;) {
        bytes.resize(at + (size_t(1) << 16));
        size_t n = std::fread(bytes.data() + at, 1, bytes.size() - at, stream);
        at += n;
        if (at < bytes.size())
            break;
    }
    bytes.resize(at);
    return bytes;
}

uint32_t fail(uint16_t code) { return kneStatusWord::setError(code); }

} // namespace

bool kneSceneReader::readPathTable(const uint8_t* bytes, uint32_t size, uint32_t count,
                                   std::vector<std::string>& paths)
{
    std::vector<std::string> out;
    uint32_t at = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const void* nul = at < size ? std::memchr(bytes + at, 0, size - at) : nullptr;
        if (!nul)
            return false;
        uint32_t len = uint32_t(static_cast<const uint8_t*>(nul) - (bytes + at));
        out.emplace_back(reinterpret_cast<const char*>(bytes + at), len);
        at += len + 1;
    }
    paths = std::move(out);
    return true;
}

uint32_t kneSceneReader::parse(kneScene& scene, const uint8_t* data, size_t size, size_t& failAt)
{
    scene.reset();
    kneSceneHeader& h = *scene.header();
    size_t pos = 0;

    // Scene header: must be first.
    if (size < 4 || kneLE::u32(data) != KSCH)
        return fail(E_NOT_SCENE);
    if (size < CHUNK_HEAD_BYTES)
        return fail(E_TRUNCATED);
    uint32_t chunk = kneLE::u32(data + 4);
    if (chunk < SCENE_FIXED_BYTES)
        return fail(E_HEADER_SIZE);
    if (chunk > size - CHUNK_HEAD_BYTES)
        return fail(E_CHUNK_SIZE);
    const uint8_t* body = data + CHUNK_HEAD_BYTES;
    uint32_t version = kneLE::u32(body);
    h.stime = kneLE::f32(body + 4);
    h.etime = kneLE::f32(body + 8);
    h.nbFreeId = kneLE::u16(body + 12);
    h.soFreeId = kneLE::u16(body + 14);
    h.nbListId = kneLE::u16(body + 16);
    h.nbTexPath = kneLE::u16(body + 18);
    const uint8_t* name = body + SCENE_FIXED_BYTES;
    uint32_t nameBytes = chunk - SCENE_FIXED_BYTES;
    if (version & kneSceneHeader::WIDE_NAME) {
        std::u16string w;
        bool ended = false;
        for (uint32_t i = 0; i + 1 < nameBytes; i += 2) {
            char16_t c = char16_t(kneLE::u16(name + i));
            if (c == 0) {
                ended = true;
                break;
            }
            w += c;
        }
        if (!ended)
            return fail(E_SCENE_NAME);
        h.scenenameW = std::move(w);
    } else {
        const void* nul = std::memchr(name, 0, nameBytes);
        if (!nul)
            return fail(E_SCENE_NAME);
        h.scenename = std::string(reinterpret_cast<const char*>(name),
                                  size_t(static_cast<const uint8_t*>(nul) - name));
    }
    h.version = version;
    // A free slot must be one of the slots; object creation takes soFreeId.
    if (h.nbFreeId > h.nbListId || (h.nbFreeId != 0 && h.soFreeId >= h.nbListId))
        return fail(E_FREE_SLOTS);
    uint32_t slots = (h.nbListId + kneSceneHeader::SLOT_STEP - 1) / kneSceneHeader::SLOT_STEP *
                     kneSceneHeader::SLOT_STEP;
    h.entries.resize(slots);
    pos = CHUNK_HEAD_BYTES + chunk;

    // Next chunk head: false at the end of the file; 1 to 7 bytes left are a
    // truncated file, not the end of the scene.
    uint32_t code = 0;
    auto nextChunk = [&](uint16_t& error) {
        error = 0;
        if (pos == size)
            return false;
        if (size - pos < CHUNK_HEAD_BYTES) {
            error = E_TRUNCATED;
            return false;
        }
        code = kneLE::u32(data + pos);
        chunk = kneLE::u32(data + pos + 4);
        return true;
    };
    uint16_t error = 0;
    bool have = nextChunk(error);
    if (error)
        return fail(error);

    if (have && code == KCOM) {
        if (chunk > size - pos - CHUNK_HEAD_BYTES)
            return fail(E_CHUNK_SIZE);
        const uint8_t* text = data + pos + CHUNK_HEAD_BYTES;
        const void* nul = std::memchr(text, 0, chunk);
        if (!nul)
            return fail(E_COMMENT_TEXT);
        h.comment = std::string(reinterpret_cast<const char*>(text),
                                size_t(static_cast<const uint8_t*>(nul) - text));
        pos += CHUNK_HEAD_BYTES + chunk;
        have = nextChunk(error);
        if (error)
            return fail(error);
    }
    bool paths = false;
    if (have && code == KTPH) {
        if (chunk > MAX_PATH_TABLE)
            return fail(E_PATH_TABLE_SIZE);
        if (chunk > size - pos - CHUNK_HEAD_BYTES)
            return fail(E_CHUNK_SIZE);
        if (!readPathTable(data + pos + CHUNK_HEAD_BYTES, chunk, h.nbTexPath, h.texPaths))
            return fail(E_PATH_COUNT);
        paths = true;
        pos += CHUNK_HEAD_BYTES + chunk;
        have = nextChunk(error);
        if (error)
            return fail(error);
    }
    if (h.nbTexPath != 0 && !paths)
        return fail(E_PATH_COUNT);
    if (!have || (code != KOBJ && code != KSOB))
        return fail(E_NO_OBJECT);

    h.nbSubObject = 0;
    for (;;) {
        // The chunk's size field leaves out the id-table block's magic and
        // count; the lengths inside the body drive the reading.
        bool isObjectChunk = code == KOBJ;
        size_t at = pos + CHUNK_HEAD_BYTES;
        if (size - at < ENTRY_HEAD_BYTES)
            return fail(E_OBJECT_TRUNCATED);
        const uint8_t* e = data + at;
        uint16_t id = kneLE::u16(e);
        uint16_t ostatus = kneLE::u16(e + 2);
        uint16_t ref = kneLE::u16(e + 4);
        uint16_t nbAttach = kneLE::u16(e + 6);
        uint32_t nameHandle = kneLE::u32(e + 8);
        uint32_t head = kneLE::u32(e + 12);
        uint32_t tail = kneLE::u32(e + 16);
        if (id >= h.nbListId)
            return fail(E_OBJECT_ID);
        if (h.entries[id].sobj)
            return fail(E_DUPLICATE_ID);
        at += ENTRY_HEAD_BYTES;
        // The attach list is padded to a 4-byte boundary.
        size_t attachBytes = size_t(nbAttach) * 2 + ((nbAttach & 1) ? 2 : 0);
        if (size - at < attachBytes)
            return fail(E_OBJECT_TRUNCATED);
        std::vector<uint16_t> attach(nbAttach);
        for (uint16_t i = 0; i < nbAttach; ++i) {
            attach[i] = kneLE::u16(data + at + 2 * size_t(i));
            if (attach[i] >= h.nbListId)
                return fail(E_ATTACH_ID);
        }
        at += attachBytes;

        std::unique_ptr<kneSceneObject> obj(new kneSceneObject);
        size_t consumed = 0;
        switch (obj->getTable().readBlock(data + at, size - at, consumed)) {
        case kneIdTable::READ_OK: break;
        case kneIdTable::READ_NO_MAGIC:
            failAt = at;
            return fail(isObjectChunk ? E_OBJECT_BLOCK : E_SUBOBJECT_BLOCK);
        case kneIdTable::READ_TRUNCATED:
            if (size - at < 4) {
                failAt = at;
                return fail(isObjectChunk ? E_OBJECT_BLOCK : E_SUBOBJECT_BLOCK);
            }
            return fail(E_BLOCK_TRUNCATED);
        case kneIdTable::READ_BAD_PAGE_BITS: return fail(E_PAGE_BITS);
        case kneIdTable::READ_BAD_PAGES: return fail(E_PAGE_LAYOUT);
        case kneIdTable::READ_BAD_CURRENT: return fail(E_CURRENT_PAGE);
        }
        obj->setId(id);
        obj->setNameHandle(nameHandle);
        obj->setHead(head);
        obj->setTail(tail);
        if (nameHandle != kneIdTable::NONE && !obj->getName())
            return fail(E_OBJECT_NAME);
        if (!obj->getDataList().isValid(obj->getTable()))
            return fail(E_DATA_LIST);

        kneSceneEntry& slot = h.entries[id];
        slot.ostatus = ostatus;
        slot.ref = ref;
        slot.nbAttach = nbAttach;
        slot.attach = std::move(attach);
        slot.sobj = std::move(obj);
        ++h.nbSubObject;

        pos = at + consumed;
        if (!nextChunk(error))
            return error ? fail(error) : 0;
        if (code != KOBJ && code != KSOB)
            return fail(E_UNEXPECTED_CHUNK);
    }
}

uint32_t kneSceneReader::readBuffer(kneScene& scene, const uint8_t* data, size_t size)
{
    size_t failAt = 0;
    static const uint8_t EMPTY = 0;
    return parse(scene, data ? data : &EMPTY, data ? size : 0, failAt);
}

uint32_t kneSceneReader::readStream(kneScene& scene, FILE* stream)
{
    if (!stream)
        return fail(E_NO_STREAM);
    long start = std::ftell(stream);
    std::vector<uint8_t> bytes = slurp(stream);
    size_t failAt = 0;
    static const uint8_t EMPTY = 0;
    uint32_t r = parse(scene, bytes.empty() ? &EMPTY : bytes.data(), bytes.size(), failAt);
    uint16_t code = uint16_t(r & 0xFFFF);
    if ((code == E_OBJECT_BLOCK || code == E_SUBOBJECT_BLOCK) && start >= 0)
        std::fseek(stream, start + long(failAt), SEEK_SET);
    return r;
}

uint32_t kneSceneReader::readFile(kneScene& scene, const char* path)
{
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    uint32_t r = readStream(scene, f);
    if (f)
        std::fclose(f);
    return r;
}

uint32_t kneSceneReader::readFileW(kneScene& scene, const char16_t* path)
{
    FILE* f = path ? std::fopen(platform::utf16ToUtf8(path).c_str(), "rb") : nullptr;
    uint32_t r = readStream(scene, f);
    if (f)
        std::fclose(f);
    return r;
}
