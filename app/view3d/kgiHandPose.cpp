#include "kgiHandPose.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <locale>
#include <ostream>
#include <sstream>

#include "kgiApp.h"
#include "kgiTextFile.h"
#include "kutPath.h"
#include "platform/files.h"
#include "platform/path.h"

namespace {

const char* headerOf(int side)
{
    return side == kgiHandSet::RIGHT ? "MHR0" : "MHL0";
}

// The whole file when it opens and holds at most KGI_HAND_FILE_MAX bytes.
bool readSmallFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > KGI_HAND_FILE_MAX)
            return false;
    }
    if (in.bad())
        return false;
    out.swap(text);
    return true;
}

// The file's lines without their line ends ("\n" or "\r\n").
std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string trim(const std::string& s)
{
    const char* blanks = " \t";
    const std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// A cursor over one line of a pose file.
class LineReader {
public:
    explicit LineReader(const std::string& line) : p(line.data()), end(line.data() + line.size()) {}

    void skipBlanks()
    {
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
    }
    bool expect(const char* word)
    {
        skipBlanks();
        for (; *word; ++word, ++p) {
            if (p >= end || *p != *word)
                return false;
        }
        return true;
    }
    // A finite float in the C notation.
    bool number(float& value)
    {
        skipBlanks();
        const std::from_chars_result r = std::from_chars(p, end, value);
        if (r.ec != std::errc() || !std::isfinite(value))
            return false;
        p = r.ptr;
        return true;
    }
    bool atEnd()
    {
        skipBlanks();
        return p == end;
    }

private:
    const char* p;
    const char* end;
};

// "(matrix3 [a,b,c] [d,e,f] [g,h,i])", the rotation row by row.
bool parseMatrixLine(const std::string& line, kmlMatrix3& m)
{
    LineReader in(line);
    if (!in.expect("(matrix3"))
        return false;
    for (int row = 0; row < 3; ++row) {
        if (!in.expect("["))
            return false;
        for (int col = 0; col < 3; ++col) {
            float v = 0.0f;
            if ((col > 0 && !in.expect(",")) || !in.number(v))
                return false;
            m.set(row, col, v);
        }
        if (!in.expect("]"))
            return false;
    }
    return in.expect(")") && in.atEnd();
}

// A list entry as a path below `folder`; false for an absolute name or one
// with a ".." part.
bool entryPath(const std::string& folder, const std::string& line, std::string& path)
{
    const std::string name = platform::toNativePath(trim(line));
    if (name.empty() || name[0] == '/')
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    path = folder.empty() ? name : platform::joinPath(folder, name);
    return true;
}

} // namespace

std::string formatHandPose(const kgiHandPose& pose)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << headerOf(pose.side) << "\n";
    for (const kmlMatrix3& m : pose.rotations) {
        out << "(matrix3";
        for (int row = 0; row < 3; ++row)
            out << " [" << m(row, 0) << "," << m(row, 1) << "," << m(row, 2) << "]";
        out << ")\n";
    }
    out << "\n";
    return out.str();
}

bool parseHandPose(const std::string& text, int side, int joints, std::vector<kmlMatrix3>& rotations)
{
    if (joints < 0)
        return false;
    const std::vector<std::string> lines = splitLines(text);
    if (lines.empty() || trim(lines[0]) != headerOf(side))
        return false;
    if (lines.size() - 1 < static_cast<std::size_t>(joints))
        return false;
    std::vector<kmlMatrix3> read(static_cast<std::size_t>(joints));
    for (int i = 0; i < joints; ++i) {
        if (!parseMatrixLine(lines[static_cast<std::size_t>(i) + 1], read[static_cast<std::size_t>(i)]))
            return false;
    }
    rotations.swap(read);
    return true;
}

bool writeHandPose(const std::string& path, const kgiHandPose& pose)
{
    kgiTextFile file;
    if (!file.create(path.c_str()))
        return false;
    file.put(formatHandPose(pose));
    return file.commit();
}

bool readHandPose(const std::string& path, const kgiHandDesc& desc, kgiHandPose& pose)
{
    std::string text;
    return readSmallFile(path, text) && parseHandPose(text, pose.side, desc.getNumJoints(), pose.rotations);
}

int kgiHandPoseListSide(const std::string& path)
{
    if (path.size() < 4)
        return -1;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".lsl")
        return kgiHandSet::LEFT;
    if (ext == ".lsr")
        return kgiHandSet::RIGHT;
    return -1;
}

bool readHandPoseList(const std::string& path, const kgiHandDesc& desc, std::vector<kgiNamedHandPose>& poses)
{
    const int side = kgiHandPoseListSide(path);
    std::string text;
    if (side < 0 || !readSmallFile(path, text))
        return false;
    const std::string folder = kutExtractPath(path);
    std::vector<kgiNamedHandPose> read;
    for (const std::string& line : splitLines(text)) {
        if (trim(line).empty())
            continue;
        std::string posePath;
        if (!entryPath(folder, line, posePath))
            return false;
        kgiNamedHandPose entry;
        entry.name = kutRemovePath(posePath);
        entry.pose.side = side;
        if (!readHandPose(posePath, desc, entry.pose))
            return false;
        read.push_back(std::move(entry));
    }
    poses.insert(poses.end(), read.begin(), read.end());
    return true;
}

// --- kgiHandDB ---

kgiHandDB& kgiHandDB::instance()
{
    static kgiHandDB db(kgiApp::instance() ? kgiApp::instance()->getBaseDir() : std::string());
    return db;
}

kgiHandDB::kgiHandDB(const std::string& baseDir)
    : folder(baseDir.empty() ? std::string("MHandDB") : platform::joinPath(baseDir, "MHandDB"))
{
}

bool kgiHandDB::load(const kgiHandDesc& left, const kgiHandDesc& right)
{
    std::string text;
    if (!platform::isDirectory(folder) || !readSmallFile(platform::joinPath(folder, "MHandDB.lst"), text))
        return false;
    Side read[2];
    read[0].desc = left;
    read[1].desc = right;
    for (const std::string& line : splitLines(text)) {
        if (trim(line).empty())
            continue;
        std::string listPath;
        if (!entryPath(folder, line, listPath))
            return false;
        const int side = kgiHandPoseListSide(listPath);
        if (side < 0)
            return false;
        Side& s = read[index(side)];
        if (!readHandPoseList(listPath, s.desc, s.poses))
            return false;
    }
    hands[0] = std::move(read[0]);
    hands[1] = std::move(read[1]);
    loaded = true;
    return true;
}

void kgiHandDB::dump(std::ostream& out) const
{
    out << "Hands database informations\n";
    if (!loaded) {
        out << "Not loaded\n";
        return;
    }
    out << "Loaded - (" << hands[0].poses.size() << " left, " << hands[1].poses.size()
        << " right poses)\n";
    out << "\t Left hand:\n";
    hands[0].desc.dump(out);
    out << "\t Right hand:\n";
    hands[1].desc.dump(out);
}
