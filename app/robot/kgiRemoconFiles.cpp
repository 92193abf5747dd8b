// The remote-control entries: up to 32 motions kept as entry files
// ("name.obc", the motion code as decimal values, eight to a line) in the
// factory folder's "remocon" folder, and the list file "list.txt" whose line
// i + 1 ("%d:%s") names the file of entry i. The board plays entry i as
// motion slot i + 1 of the link.
//
// Names are code page 932 text, as the list file holds them; a name becomes
// a file name only as a plain name (no folder part) converted to UTF-8.
// Every file is written beside its target and renamed over it, so a failed
// write leaves the previous list or entry as it was.
#include "kgiRobotSession.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiLangKeys.h"
#include "kgiRobotLink.h"
#include "kutPath.h"
#include "platform/codepage.h"
#include "platform/files.h"

#include <cstdio>

namespace {

constexpr int END_MARK = 300;
constexpr int VALUES_PER_LINE = 8;

// False for a file that cannot be read, a folder among them (reading a
// folder through a stream buffer iterator throws).
bool readText(const std::string& path, std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    text.clear();
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// Lines with their line feeds (the last one may lack it).
std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string listLine(int i, const std::string& name)
{
    return std::to_string(i + 1) + ":" + name + "\n";
}

// The name of a list line as the line writer reads it: after the number
// and its colon, up to the first blank.
std::string nameAfterColon(const std::string& line)
{
    int number = 0;
    char name[kgiRobotSession::LINE_BYTES + 1] = {};
    if (std::sscanf(line.c_str(), "%d:%255s", &number, name) == 2) return name;
    return {};
}

bool writeFile(const std::string& path, const std::string& text)
{
    platform::ReplaceFile file;
    if (!file.open(path)) return false;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file.stream()) != text.size()) {
        file.abandon();
        return false;
    }
    return file.commit();
}

} // namespace

// --- names and folders ---------------------------------------------------------

std::string kgiRobotSession::entryFileName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos) return {};
    const std::string utf8 = platform::cp932ToUtf8(name);
    // The replacement character marks bytes that are not code page 932 text.
    if (utf8.find("\xEF\xBF\xBD") != std::string::npos) return {};
    if (utf8.find('/') != std::string::npos || utf8.find('\\') != std::string::npos) return {};
    return utf8;
}

void kgiRobotSession::setRemoconFolder(const std::string& folder, const std::string& listPath)
{
    folderSet = true;
    folderOverride = folder;
    listOverride = listPath;
}

std::string kgiRobotSession::remoconFolder() const
{
    if (folderSet) return folderOverride;
    const kgiApp* app = kgiApp::instance();
    return app ? kutAppendPath(app->getFactoryDir(), "remocon") : std::string();
}

std::string kgiRobotSession::remoconListPath() const
{
    if (folderSet) return listOverride;
    const kgiApp* app = kgiApp::instance();
    return app ? app->getRemoconListPath() : std::string();
}

// --- readers ----------------------------------------------------------------------

std::vector<int> kgiRobotSession::parseEntryValues(const std::string& text)
{
    std::vector<int> work;
    for (const std::string& line : splitLines(text)) {
        if (work.size() + VALUES_PER_LINE > size_t(ENTRY_READ_VALUES)) break;
        int v[VALUES_PER_LINE] = {};
        std::sscanf(line.c_str(), "%d,%d,%d,%d,%d,%d,%d,%d,", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6],
                    &v[7]);
        work.insert(work.end(), std::begin(v), std::end(v));
    }
    work.push_back(END_MARK);
    // The data ends at the first value that is not a byte (the end mark).
    size_t n = 0;
    while (n < work.size() && work[n] >= 0 && work[n] <= 255) ++n;
    work.resize(n);
    return work;
}

std::vector<std::string> kgiRobotSession::parseListNames(const std::string& text)
{
    std::vector<std::string> names;
    for (const std::string& line : splitLines(text)) {
        if (names.size() >= size_t(REMOCON_ENTRIES)) break;
        if (line.size() <= 2) continue;
        int number = 0;
        char name[LINE_BYTES + 1] = {};
        names.push_back(std::sscanf(line.c_str(), "%d: %255s \n", &number, name) == 2 ? name : "");
    }
    return names;
}

// --- operations -------------------------------------------------------------------

bool kgiRobotSession::editRemoconList(int n, int mode, const std::string& name)
{
    CallGuard guard(*this);
    if (mode == 0) return saveRemoconMotion(n, name);
    return writeRemoconListEntry(n, name, mode);
}

bool kgiRobotSession::saveRemoconMotion(int i, const std::string& name)
{
    CallGuard guard(*this);
    if (i < 0 || i >= REMOCON_ENTRIES) return false;
    const std::string fileName = entryFileName(name);
    const std::string folder = remoconFolder();
    if (fileName.empty() || folder.empty() || listLine(i, name).size() > size_t(LINE_BYTES)) return false;

    setDefaultPose();
    kgiCharacter* c = currentCharacter();
    if (!c || c->getKeyTimes().empty()) {
        showBox("Warning - 150", languageText(kgiLangKey::Wr_No_Data));
        return false;
    }
    const std::vector<int> code = compileCode(c->getKeyTimes(), true, 0, false);
    if (code.empty()) {
        showBox("Error", languageText(kgiLangKey::Wr_Motion_TooLong));
        return false;
    }
    std::string text;
    char line[128];
    for (size_t k = 0; k < code.size(); k += VALUES_PER_LINE) {
        int v[VALUES_PER_LINE] = {};
        for (size_t j = 0; j < size_t(VALUES_PER_LINE) && k + j < code.size(); ++j) v[j] = code[k + j];
        std::snprintf(line, sizeof line, "%d,%d,%d,%d,%d,%d,%d,%d,\n", v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                      v[7]);
        text += line;
    }
    if (!writeFile(kutAppendPath(folder, fileName) + ".obc", text)) return false;
    // An entry the list does not name is not saved as far as the user and
    // the robot's list are concerned.
    return writeRemoconListEntry(i, name, 0);
}

bool kgiRobotSession::writeRemoconListEntry(int i, const std::string& name, int mode)
{
    CallGuard guard(*this);
    if (i < 0 || i >= REMOCON_ENTRIES) return false;
    const std::string folder = remoconFolder();
    const std::string listPath = kutAppendPath(folder, "list.txt");
    const std::string newLine = listLine(i, name);
    if (folder.empty() || newLine.size() > size_t(LINE_BYTES)) return false;

    std::vector<std::string> texts(REMOCON_ENTRIES);
    for (int j = 0; j < REMOCON_ENTRIES; ++j) texts[j] = listLine(j, "");
    std::string old;
    if (readText(listPath, old)) {
        // The first 32 lines are the list; lines the file lacks are empty
        // entries, so the list always keeps 32.
        const std::vector<std::string> lines = splitLines(old);
        for (size_t j = 0; j < lines.size() && j < texts.size(); ++j) {
            texts[j] = lines[j];
            if (texts[j].back() != '\n') texts[j] += '\n';
        }
        if (mode == 1) {
            const std::string fileName = entryFileName(nameAfterColon(texts[i]));
            if (!fileName.empty()) std::remove((kutAppendPath(folder, fileName) + ".obc").c_str());
        }
    }
    texts[i] = newLine;
    std::string text;
    for (const std::string& t : texts) text += t;
    return writeFile(listPath, text);
}

bool kgiRobotSession::loadRemoconFile(int j, const std::string& name)
{
    CallGuard guard(*this);
    const std::string fileName = entryFileName(name);
    const std::string folder = remoconFolder();
    if (fileName.empty() || folder.empty()) return false;
    std::string text;
    if (!readText(kutAppendPath(folder, fileName) + ".obc", text)) return false;
    const std::vector<int> values = parseEntryValues(text);
    // The link copies by the header's count: a file shorter than its count
    // would hand it the values of an earlier file.
    if (values.size() < 16) return false;
    const size_t count = size_t(values[15]) * 256 + size_t(values[14]);
    if (count > values.size()) return false;
    int32_t* buffer = link->fileBuffer[CHANNEL];
    std::fill(buffer, buffer + kgiRobotLink::SLOT_VALUES, 0);
    std::copy(values.begin(), values.end(), buffer);
    return link->setMotionSlot(static_cast<uint32_t>(j + 1), 0, CHANNEL) == 1;
}

bool kgiRobotSession::loadRemoconList()
{
    CallGuard guard(*this);
    std::string text;
    if (!readText(remoconListPath(), text)) return false;
    const std::vector<std::string> names = parseListNames(text);
    for (size_t j = 0; j < names.size(); ++j) {
        if (!names[j].empty()) {
            loadRemoconFile(int(j), names[j]);
        } else if (j + 1 < size_t(REMOCON_ENTRIES)) {
            // An entry the user deleted must not be downloaded again; slot 32
            // is the compiled motion's.
            if (link->slotLength[CHANNEL][j] != 0) link->setMotionSlot(uint32_t(j + 1), 1, CHANNEL);
        }
    }
    return names.size() >= size_t(REMOCON_ENTRIES - 1);
}
