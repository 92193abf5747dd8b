#include "kneSceneLog.h"

#include "kneCacheBuilder.h"
#include "kneScene.h"
#include "kneStatusWord.h"
#include "platform/textconv.h"

#include <cinttypes>
#include <cstdarg>
#include <string>

namespace {

struct Outputs {
    FILE* system = nullptr;
    FILE* info = nullptr;
    FILE* messageA = nullptr;
    FILE* messageB = nullptr;
    FILE* dump = nullptr;
    kneSceneLog::Callback infoCb = nullptr;
    kneSceneLog::Callback messageACb = nullptr;
    kneSceneLog::Callback messageBCb = nullptr;
    int style = 0;
};
Outputs g_out;

constexpr uint32_t NONE = kneIdTable::NONE;
const char* const FRAME = "+-------------------------------------------------------+\n";

uintptr_t addr(const void* p) { return reinterpret_cast<uintptr_t>(p); }
const char* orNull(const char* s) { return s ? s : "(null)"; }

std::string wide(const std::optional<std::u16string>& s)
{
    return s ? platform::utf16ToUtf8(*s) : std::string("(null)");
}
const char* narrow(const std::optional<std::string>& s) { return s ? s->c_str() : "(null)"; }

bool isStandard(FILE* f) { return f == stdin || f == stdout || f == stderr; }

std::string vformat(const char* format, va_list ap)
{
    va_list copy;
    va_copy(copy, ap);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0)
        return std::string();
    std::string text(size_t(n) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, ap);
    text.resize(size_t(n));
    return text;
}

void message(FILE* stream, kneSceneLog::Callback cb, const std::string& text)
{
    if (stream) {
        std::fputs("\n##### ", stream);
        std::fputs(text.c_str(), stream);
        if (cb)
            std::fputs("\n<Pavik> ", stream);
    }
    if (cb)
        cb(text.c_str());
}

// Labels of a data type as the object dump (objects) or the sub-object dump
// prints them; null for a type the dump does not know.
const char* typeLabel(uint32_t type, bool isObject, bool shortForm)
{
    if (isObject) {
        static const char* const LONG[] = {"Model", "Light", "Camera"};
        static const char* const SHORT[] = {"oModel", "oLight", "oCamera"};
        if (type >= 1 && type <= 3)
            return shortForm ? SHORT[type - 1] : LONG[type - 1];
        if (type == kneDataEntry::SHAPE_MOTION && !shortForm)
            return "Sound Motion";
    }
    return shortForm ? kneDataEntry::shortLabel(type) : kneDataEntry::label(type);
}

void entryFields(FILE* out, const kneDataEntry& e, const char* indent)
{
    if (g_out.style == 0) {
        std::fprintf(out, "    %sdatatype :   %d\n", indent, e.getType());
        std::fprintf(out, "    %snbArray  :   %d\n", indent, int(e.getArrayCount()));
        std::fprintf(out, "    %snbEntry  :   %d\n", indent, e.getEntryCount());
        std::fprintf(out, "    %sdataId   :   %d\n", indent, e.getObjId());
    } else {
        std::fprintf(out, "    %sbdtype   :   %d\n", indent, e.getType());
        std::fprintf(out, "    %snbArray  :   %d\n", indent, int(e.getArrayCount()));
        std::fprintf(out, "    %snbEntry  :   %d\n", indent, e.getEntryCount());
        std::fprintf(out, "    %sobjId    :   %d\n", indent, e.getObjId());
        std::fprintf(out, "    %sbdlist_vp: 0x%x\n", indent, e.getElements());
        std::fprintf(out, "    %snext_vp  : 0x%x\n", indent, e.getNext());
        std::fprintf(out, "    %scash_wp  : 0x%x\n", indent, e.getCacheWord());
    }
}

void dataLine(FILE* out, uint32_t index, uint32_t count)
{
    std::fprintf(out, "\t--------------------------------------------\n");
    std::fprintf(out, "\t- DATA\t: entryId=%d nbData=%d\n", int(index), int(count));
}

void subList(FILE* out, kneIdTable& t, const kneDataList& list)
{
    list.walk(t, [&](kneDataEntry e, uint32_t k) {
        const char* label = g_out.style == 0 ? kneDataEntry::meshLabel(e.getType())
                                             : kneDataEntry::meshShortLabel(e.getType());
        if (!label) {
            kneStatusWord::setError(kneSceneLog::E_MESH_TYPE);
            return true;
        }
        std::fprintf(out, "\t\t#### %s(Id=%d) ####\n", label, int(k));
        entryFields(out, e, "\t\t");
        return true;
    });
}

void vector3(FILE* out, const char* label, const uint8_t* p)
{
    std::fprintf(out, "%s %f %f %f\n", label, kneLE::f32(p), kneLE::f32(p + 4), kneLE::f32(p + 8));
}

void records(FILE* out, kneIdTable& t, const kneNodeElement& node, uint32_t nbArray)
{
    uint32_t fbits = node.getFbits();
    uint32_t layout = fbits & 0x3FFFFF & ~(kneNodeElement::FLAG16 | kneNodeElement::FLAG32);
    uint32_t bytes = kneNodeElement::recordBytes(fbits);
    if (!bytes) {
        std::fprintf(out, "Model Dump: not support fbits\n");
        return;
    }
    uint64_t total = uint64_t(bytes) * nbArray;
    const uint8_t* p = total > 0xFFFFFFFFu ? nullptr : t.resolve(node.getData(), uint32_t(total));
    if (!p)
        return;
    for (uint32_t r = 0; r < nbArray; ++r, p += bytes) {
        switch (layout) {
        case kneNodeElement::TRS:
            vector3(out, "\t  Trans   :", p);
            vector3(out, "\t  Rot     :", p + 12);
            vector3(out, "\t  Scale   :", p + 24);
            break;
        case kneNodeElement::TR:
            vector3(out, "\t  Trans   :", p);
            vector3(out, "\t  Rot     :", p + 12);
            break;
        case kneNodeElement::MATRIX:
            for (int row = 0; row < 4; ++row) {
                const uint8_t* q = p + row * 16;
                std::fprintf(out, "\t  [ %f %f %f %f ]\n", kneLE::f32(q), kneLE::f32(q + 4),
                             kneLE::f32(q + 8), kneLE::f32(q + 12));
            }
            break;
        default: // the two layouts of four groups of three, the second with a scale
            for (int row = 0; row < 4; ++row) {
                const uint8_t* q = p + row * 12;
                std::fprintf(out, "\t  [ %f %f %f ]\n", kneLE::f32(q), kneLE::f32(q + 4),
                             kneLE::f32(q + 8));
            }
            if (layout == kneNodeElement::GROUPS_SCALE)
                vector3(out, "\t  Scale   :", p + 48);
            break;
        }
        const uint8_t* flag = p + kneNodeElement::recordFloats(layout) * 4;
        if (fbits & kneNodeElement::FLAG16) {
            unsigned v = kneLE::u16(flag);
            std::fprintf(out, "\t  AFlag16 : %d(0x%x)\n", int(v), v);
        } else if (fbits & kneNodeElement::FLAG32) {
            uint32_t v = kneLE::u32(flag);
            std::fprintf(out, "\t  AFlag32 : %d(0x%x)\n", int(v), v);
        }
    }
}

void modelNodes(FILE* out, kneIdTable& t, const kneDataEntry& e)
{
    uint8_t* nodes = e.elementArray(t, kneNodeElement::SIZE);
    if (!nodes)
        return;
    for (uint32_t j = 0; j < e.getEntryCount(); ++j) {
        kneNodeElement node(nodes + j * kneNodeElement::SIZE);
        kneDataList list = node.getSubList();
        dataLine(out, j, list.count(t));
        const char* name = orNull(t.resolveString(node.getName()));
        if (g_out.style == 0) {
            std::fprintf(out, "\t  depth   : %d\n", node.getDepth());
            std::fprintf(out, "\t  fbits   : 0x%x\n", node.getFbits());
            std::fprintf(out, "\t  name    : %s\n", name);
        } else {
            std::fprintf(out, "\t  depth   :   %d\n", node.getDepth());
            std::fprintf(out, "\t  btype   :   %d\n", node.getBType());
            std::fprintf(out, "\t  dtype   :   %d\n", node.getDType());
            std::fprintf(out, "\t  fbits   : 0x%x\n", node.getFbits());
            std::fprintf(out, "\t  name_vs : 0x%x(%s)\n", node.getName(), name);
        }
        if (node.getData() != NONE)
            records(out, t, node, e.getArrayCount());
        subList(out, t, list);
    }
}

void meshElements(FILE* out, kneIdTable& t, const kneDataEntry& e)
{
    uint8_t* elems = e.elementArray(t, kneMeshElement::SIZE);
    if (!elems)
        return;
    for (uint32_t j = 0; j < e.getEntryCount(); ++j) {
        kneDataList list = kneMeshElement(elems + j * kneMeshElement::SIZE).getSubList();
        dataLine(out, j, list.count(t));
        subList(out, t, list);
    }
}

FILE* openUtf8(const char16_t* path, const char* mode)
{
    return std::fopen(platform::utf16ToUtf8(path).c_str(), mode);
}

uint32_t startLog(kneScene& scene, FILE* f)
{
    scene.header()->logStream = f;
    kneSceneLog::setAllOutputs(f);
    kneSceneLog::infoLog("=== start system log ===\n");
    return 0;
}

} // namespace

// --- outputs ---------------------------------------------------------------

void kneSceneLog::setSystemOutput(FILE* s) { g_out.system = s; }
void kneSceneLog::setInfoOutput(FILE* s) { g_out.info = s; }
void kneSceneLog::setMessageAOutput(FILE* s) { g_out.messageA = s; }
void kneSceneLog::setMessageBOutput(FILE* s) { g_out.messageB = s; }
void kneSceneLog::setDumpOutput(FILE* s) { g_out.dump = s; }
void kneSceneLog::setAllOutputs(FILE* s)
{
    g_out.system = g_out.info = g_out.messageA = g_out.messageB = g_out.dump = s;
}
FILE* kneSceneLog::getSystemOutput() { return g_out.system; }
FILE* kneSceneLog::getInfoOutput() { return g_out.info; }
FILE* kneSceneLog::getMessageAOutput() { return g_out.messageA; }
FILE* kneSceneLog::getMessageBOutput() { return g_out.messageB; }
FILE* kneSceneLog::getDumpOutput() { return g_out.dump; }
void kneSceneLog::setInfoCallback(Callback cb) { g_out.infoCb = cb; }
void kneSceneLog::setMessageACallback(Callback cb) { g_out.messageACb = cb; }
void kneSceneLog::setMessageBCallback(Callback cb) { g_out.messageBCb = cb; }
void kneSceneLog::setDumpStyle(int style) { g_out.style = style ? 1 : 0; }
int kneSceneLog::getDumpStyle() { return g_out.style; }

void kneSceneLog::systemLog(const char* format, ...)
{
    if (!g_out.system)
        return;
    va_list ap;
    va_start(ap, format);
    std::vfprintf(g_out.system, format, ap);
    va_end(ap);
}

void kneSceneLog::infoLog(const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    std::string text = vformat(format, ap);
    va_end(ap);
    if (g_out.info)
        std::fputs(text.c_str(), g_out.info);
    if (g_out.infoCb)
        g_out.infoCb(text.c_str());
}

void kneSceneLog::messageA(const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    std::string text = vformat(format, ap);
    va_end(ap);
    message(g_out.messageA, g_out.messageACb, text);
}

void kneSceneLog::messageB(const char* format, ...)
{
    va_list ap;
    va_start(ap, format);
    std::string text = vformat(format, ap);
    va_end(ap);
    message(g_out.messageB, g_out.messageBCb, text);
}

// --- log file --------------------------------------------------------------

uint32_t kneSceneLog::openLog(kneScene& scene, const char* path)
{
    if (!path) {
        setAllOutputs(nullptr);
        return 0;
    }
    FILE* f = std::fopen(path, "w");
    if (!f)
        return kneStatusWord::setError(E_OPEN);
    return startLog(scene, f);
}

uint32_t kneSceneLog::openLogW(kneScene& scene, const char16_t* path)
{
    if (!path) {
        setAllOutputs(nullptr);
        return 0;
    }
    FILE* f = openUtf8(path, "w");
    if (!f)
        return kneStatusWord::setError(E_OPEN);
    return startLog(scene, f);
}

uint32_t kneSceneLog::closeLog(kneScene& scene, FILE* stream)
{
    FILE*& log = scene.header()->logStream;
    if (log && !isStandard(log))
        std::fclose(log);
    log = nullptr;
    setAllOutputs(stream);
    return 0;
}

uint32_t kneSceneLog::closeLogDefault(kneScene& scene)
{
    FILE*& log = scene.header()->logStream;
    if (log && !isStandard(log)) {
        std::fclose(log);
        log = nullptr;
        g_out.system = stdout;
        g_out.info = g_out.messageA = g_out.messageB = g_out.dump = stderr;
    }
    return kneStatusWord::error();
}

// --- scene dumps -----------------------------------------------------------

void kneSceneLog::dumpObject(FILE* out, kneSceneObject& object, bool isObject)
{
    kneIdTable& t = object.getTable();
    std::fprintf(out, "  =================================================\n");
    std::fprintf(out, "  + %s : \"%s\" Id=%d name=%s nbData=%d\n",
                 g_out.style == 0 ? "LIST" : "OBJECT DUMP", isObject ? "Object" : "SubObject",
                 object.getId(), orNull(object.getName()), int(object.getDataCount()));
    object.getDataList().walk(t, [&](kneDataEntry e, uint32_t i) {
        const char* label = typeLabel(e.getType(), isObject, g_out.style == 1);
        if (!label) {
            kneStatusWord::setError(isObject ? E_OBJECT_TYPE : E_SUBOBJECT_TYPE);
            return true;
        }
        if (g_out.style == 0)
            std::fprintf(out, "  = %s(Id=%d) =\n", label, int(i));
        else
            std::fprintf(out, "  = %s(Id=%d) %" PRIxPTR " =\n", label, int(i), addr(e.bytes()));
        entryFields(out, e, "");
        if (isObject && e.getType() == kneDataEntry::MODEL)
            modelNodes(out, t, e);
        else if (e.getType() == kneDataEntry::MESH)
            meshElements(out, t, e);
        return true;
    });
}

uint32_t kneSceneLog::dumpScene(kneScene& scene, FILE* out)
{
    if (!out)
        return kneStatusWord::setError(E_NO_STREAM);
    if (kneStatusWord::error()) {
        std::fprintf(out, "Error: w=%d e=%d\n", kneStatusWord::warning(), kneStatusWord::error());
        return kneStatusWord::get();
    }
    kneSceneHeader* h = scene.header();
    if (!h || h->active != 1)
        return kneStatusWord::setError(E_NO_HEADER);
    std::fputs(FRAME, out);
    std::fputs("|                     = SCENE DUMP =                    |\n", out);
    std::fputs(FRAME, out);
    std::fprintf(out, "scenenameW : %s\n", wide(h->scenenameW).c_str());
    std::fprintf(out, "scenename  : %s\n", narrow(h->scenename));
    std::fprintf(out, "version    : %08x\n", h->version);
    std::fprintf(out, "comments   : %s\n", narrow(h->comment));
    if (g_out.style == 0) {
        std::fprintf(out, "time       : stime=%f etime=%f\n", h->stime, h->etime);
        std::fprintf(out, "ecode      : warning=%d error=%d\n", kneStatusWord::warning(),
                     kneStatusWord::error());
        std::fprintf(out, "nbList     : %d\n", int(h->nbSubObject));
        std::fprintf(out, "nbListId   : %d (%d, %d)\n", int(h->nbListId), h->nbFreeId, h->soFreeId);
        for (uint32_t i = 0; i < h->nbListId; ++i) {
            const kneSceneEntry& e = h->entries[i];
            std::fprintf(out, "  < %d > ", int(i));
            if (!e.sobj) {
                std::fputs(" -- skip --\n", out);
                continue;
            }
            std::fprintf(out, "status=%x ref=%d nbAttach=%d : ", e.ostatus, e.ref, e.nbAttach);
            for (uint16_t a : e.attach)
                std::fprintf(out, " %d", a);
            std::fputs("\n", out);
        }
    } else {
        std::fprintf(out, "nbTexPath  : %d\n", h->nbTexPath);
        for (size_t i = 0; i < h->texPaths.size(); ++i)
            std::fprintf(out, "\t i %d %s\n", int(i), h->texPaths[i].c_str());
        std::fprintf(out, "time       : stime=%f etime=%f\n", h->stime, h->etime);
        std::fprintf(out, "nbFreeId   : %d (%d)\n", h->nbFreeId, h->soFreeId);
        std::fprintf(out, "ecode      : warning=%d error=%d\n", kneStatusWord::warning(),
                     kneStatusWord::error());
        std::fprintf(out, "nbSubObject: %d\n", int(h->nbSubObject));
        std::fprintf(out, "nbListId   : %d\n", int(h->nbListId));
        for (uint32_t i = 0; i < h->nbListId; ++i) {
            const kneSceneEntry& e = h->entries[i];
            std::fprintf(out, "<<<<< SubObj i=%d >>>>>\n", int(i));
            if (!e.sobj) {
                std::fputs(" -- skip --\n", out);
                continue;
            }
            std::fprintf(out, "\t sobj %" PRIxPTR " ostatus %x ref %d\n", addr(e.sobj.get()),
                         e.ostatus, e.ref);
            std::fprintf(out, "\t nbAttach %d : ", e.nbAttach);
            for (uint16_t a : e.attach)
                std::fprintf(out, "%d ", a);
            std::fputs("\n", out);
        }
    }
    for (uint32_t i = 0; i < h->nbListId; ++i) {
        kneSceneEntry& e = h->entries[i];
        if (e.sobj)
            dumpObject(out, *e.sobj, e.isObject());
    }
    std::fputs(FRAME, out);
    std::fputs("|                 = SCENE DUMP END =                    |\n", out);
    std::fputs(FRAME, out);
    std::fflush(out);
    return kneStatusWord::error();
}

uint32_t kneSceneLog::dumpSceneFile(kneScene& scene, const char* path)
{
    if (!path)
        return dumpScene(scene, stdout);
    FILE* f = std::fopen(path, "w");
    if (!f)
        return kneStatusWord::setError(E_OPEN);
    uint32_t r = dumpScene(scene, f);
    std::fclose(f);
    return r;
}

uint32_t kneSceneLog::dumpSceneFileW(kneScene& scene, const char16_t* path)
{
    if (!path)
        return dumpScene(scene, stdout);
    FILE* f = openUtf8(path, "w");
    if (!f)
        return kneStatusWord::setError(E_OPEN_W);
    uint32_t r = dumpScene(scene, f);
    std::fclose(f);
    return r;
}

// --- dumps to the dump output ----------------------------------------------

void kneSceneLog::dumpIdTable(const kneIdTable& table)
{
    FILE* out = g_out.dump;
    if (!out)
        return;
    const kneIdArena& a = table.arena();
    std::fprintf(out, "<Info>\n");
    std::fprintf(out, "pageShift=%d cnkbit=%x addrMask=%x pageBytes=%d fillBytes=%d\n",
                 int(a.pageShift), a.cnkbit, a.addrMask, int(a.pageBytes), int(a.fillBytes));
    std::fprintf(out, "currentId=%d nbPage=%d nbList=%d padBytes=%d\n", int(a.currentId),
                 int(a.nbPage), int(a.nbList), int(a.padBytes));
    std::fprintf(out, "totalBytes %d\n", int(a.totalBytes));
    for (uint32_t i = 0; i < a.nbPage; ++i) {
        const uint8_t* page = table.page(i);
        uint32_t used = table.pageUsed(i);
        std::fprintf(out, "i %d pageaddr %" PRIxPTR " pageBytes %d nbBytes %d\n", int(i),
                     addr(page), int(table.pageCapacity(i)), int(used));
        std::fprintf(out, "============== page ===================\n");
        uint32_t n = kneIdTable::PAGE_HEAD_BYTES + used;
        for (uint32_t k = 0; k < n; ++k) {
            std::fprintf(out, "%02X", page[k]);
            if ((k + 1) % 24 == 0)
                std::fputs("\n", out);
        }
        if (n % 24 != 0)
            std::fputs("\n", out);
        std::fprintf(out, "============== page end ===================\n");
    }
}

void kneSceneLog::dumpStatus(const kneScene& scene)
{
    FILE* out = g_out.dump;
    const kneSceneHeader* h = scene.header();
    if (!out || !h)
        return;
    std::fprintf(out, "************* SCENE STATUS *************\n");
    std::fprintf(out, "version %x\n", h->version);
    std::fprintf(out, "active %d stime %f etame %f\n", int(h->active), h->stime, h->etime);
    std::fprintf(out, "scenename_s \"%s\"\ncomment_s \"%s\"\n", narrow(h->scenename),
                 narrow(h->comment));
    std::fprintf(out, "scenename_ws \"%s\"\n", wide(h->scenenameW).c_str());
    std::fprintf(out, "nbFreeId %d soFreeId %d nbListId %d nbSubObject %d nbTexPath %d\n",
                 h->nbFreeId, h->soFreeId, int(h->nbListId), int(h->nbSubObject), h->nbTexPath);
    for (uint32_t i = 0; i < h->nbListId; ++i) {
        const kneSceneEntry& e = h->entries[i];
        if (!e.sobj) {
            std::fprintf(out, "i %d -- skip --\n", int(i));
            continue;
        }
        std::fprintf(out, "i %d sobj %" PRIxPTR " ostatus %x ref %d nbAttach %d : ", int(i),
                     addr(e.sobj.get()), e.ostatus, e.ref, e.nbAttach);
        for (uint16_t a : e.attach)
            std::fprintf(out, "%d ", a);
        std::fputs("\n", out);
    }
    for (size_t i = 0; i < h->texPaths.size(); ++i)
        std::fprintf(out, "i %d tpath %s\n", int(i), h->texPaths[i].c_str());
    std::fprintf(out, "************* SCENE STATUS END *************\n");
}

void kneSceneLog::dumpCache() { kneCacheBuilder::dump(g_out.dump); }

void kneSceneLog::dumpDataEntry(const kneDataEntry& e)
{
    FILE* out = g_out.dump;
    if (!out || !e)
        return;
    std::fprintf(out, "[KNEDChainDebug]:");
    std::fprintf(out,
                 "dc_p %" PRIxPTR " bdtype %d nbArray %d nbEntry %d objId %d bdlist_vp %d "
                 "next_vp %d cash_wp %x\n",
                 addr(e.bytes()), e.getType(), int(e.getArrayCount()), e.getEntryCount(),
                 e.getObjId(), int(e.getElements()), int(e.getNext()), e.getCacheWord());
}

void kneSceneLog::dumpMatrix43(const float* m)
{
    FILE* out = g_out.dump;
    if (!out || !m)
        return;
    for (int r = 0; r < 4; ++r)
        std::fprintf(out, "%d[ %f %f %f ]\n", r, m[r * 3], m[r * 3 + 1], m[r * 3 + 2]);
}

void kneSceneLog::dumpMatrix44(const float* m)
{
    FILE* out = g_out.dump;
    if (!out || !m)
        return;
    for (int r = 0; r < 4; ++r)
        std::fprintf(out, "%d[ %f %f %f %f ]\n", r, m[r * 4], m[r * 4 + 1], m[r * 4 + 2],
                     m[r * 4 + 3]);
}
