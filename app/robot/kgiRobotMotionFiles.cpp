// The robot's own text files: poses (".mdp"), motions (".mdm") and the
// import of the robot programming tool's scripts (".psf").
//
// Every reader takes a line as text of bounded length and keys or sets
// nothing from a part it cannot read whole. Each reads the whole file
// before it changes anything: a file of which no line reads is refused
// with an "Error" box naming it, and a file of which some lines do not
// read loads the others and then says how many were skipped and the number
// of the first. Every writer writes beside its target and replaces it only
// when all of the file is out.
#include "kgiRobotJointTable.h"

#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiKeyUndo.h"
#include "kgiKmmFile.h"
#include "kgiLangKeys.h"
#include "kgiLineScan.h"
#include "kgiNarrowString.h"
#include "kgiRobotSession.h"
#include "kgiWorld.h"
#include "ksgNode.h"
#include "kutPath.h"
#include "platform/files.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using FileHandle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

FileHandle openFile(const std::string& path, const char* mode)
{
    return FileHandle(std::fopen(path.c_str(), mode), &std::fclose);
}

// Characters a motion-file line is read with: room for the header and a
// pair of the longest name and value for every joint of a full table, so
// that every line the exporter writes is read whole. A longer line does not
// read.
constexpr std::size_t MOTION_LINE_CHARS = 32767;
// Pose-file lines are read as the joint file is.
constexpr std::size_t POSE_LINE_CHARS = kgiRobotJointTable::LINE_BUFFER - 1;
// Longest name and value of a motion line's name=value pair.
constexpr std::size_t PAIR_NAME_CHARS = 55;
constexpr std::size_t PAIR_VALUE_CHARS = 63;

// Script files: a header of fixed size, lines ended by a carriage return.
constexpr int SCRIPT_HEADER_BYTES = 55;
constexpr std::size_t SCRIPT_LINE_CHARS = 255;
// A MOVE line's servo field, and where its values start without "G24".
constexpr std::size_t SCRIPT_FIELD_CHARS = 11;
constexpr std::size_t SCRIPT_VALUES_AT = 7;
constexpr int SCRIPT_START_SPEED = 8;
// The speed number's scale: a step takes 50 / speed (whole) ms per degree
// of the largest change.
constexpr int SCRIPT_SPEED_SCALE = 50;
constexpr int SCRIPT_DEFAULT_DELAY_MS = 500;

// The last frame a key may take: the project's motion-key file holds no
// later one.
constexpr std::int64_t LAST_KEY_FRAME = kgiKmmFile::MAX_FRAMES - 1;

bool isValidKeyTime(std::int64_t t)
{
    return t >= 0 && t <= LAST_KEY_FRAME;
}

// The next line of a text file without its end ("\n" or "\r\n"): at most
// `limit` characters are kept, the rest of a longer line is passed over
// (then *cut is set). False at the end of the file.
bool readTextLine(std::FILE* f, std::string& line, std::size_t limit, bool* cut = nullptr)
{
    line.clear();
    char piece[256];
    bool any = false;
    bool full = false;
    while (std::fgets(piece, sizeof piece, f)) {
        any = true;
        std::size_t n = std::strlen(piece);
        const bool ended = n > 0 && piece[n - 1] == '\n';
        if (ended)
            --n;
        if (!full) {
            const std::size_t room = limit - line.size();
            full = n > room;
            line.append(piece, std::min(n, room));
        }
        if (ended)
            break;
    }
    if (!full && !line.empty() && line.back() == '\r')
        line.pop_back();
    if (cut)
        *cut = full;
    return any;
}

bool isBlankLine(const std::string& line)
{
    return std::all_of(line.begin(), line.end(), [](char ch) { return std::isspace(static_cast<unsigned char>(ch)); });
}

// The last character of the line that is not a blank; NUL for none.
char lastNonBlank(const std::string& line)
{
    const std::size_t at = line.find_last_not_of(" \t\r\n\f\v");
    return at == std::string::npos ? '\0' : line[at];
}

// The next line of a script: the bytes up to its carriage return, at most
// SCRIPT_LINE_CHARS of them kept; the line feed after a carriage return
// starts the next line. False when no carriage return follows (text after
// the last one is not used).
bool readScriptLine(std::FILE* f, std::string& line)
{
    line.clear();
    for (int ch = std::fgetc(f); ch != EOF; ch = std::fgetc(f)) {
        if (ch == '\r') {
            // A line is text: it ends at a NUL byte.
            line.resize(std::strlen(line.c_str()));
            return true;
        }
        if (line.size() < SCRIPT_LINE_CHARS)
            line.push_back(char(ch));
    }
    return false;
}

// printf's "%.3f" in the C notation, whatever the locale.
void appendFixed(std::string& out, float v)
{
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 3);
    out.append(text, r.ptr);
}

void appendPlacement(std::string& out, const float p[6], const char* separator)
{
    static const char* const labels[6] = {"px=", "py=", "pz=", "rx=", "ry=", "rz="};
    for (int i = 0; i < 6; ++i) {
        if (i > 0)
            out += separator;
        out += labels[i];
        appendFixed(out, p[i]);
    }
}

bool allFinite(const float* v, int n)
{
    return std::all_of(v, v + n, [](float x) { return std::isfinite(x); });
}

// "walk" and "walk.txt" become "walk.<ext>"; a dot in a folder name stays.
std::string outputPath(const std::string& path, const char* ext)
{
    return kutAppendExt(kutRemoveExt(path), ext);
}

// Writes text over the file at path through a temporary file; false, with
// any earlier file kept, when a write or the close failed.
bool replaceFileWith(const std::string& path, const std::string& text)
{
    platform::ReplaceFile out;
    if (!out.open(path))
        return false;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), out.stream()) != text.size()) {
        out.abandon();
        return false;
    }
    return out.commit();
}

kgiCharacter* currentModel()
{
    kgiCharacter* c = kgiWorld::instance()->getCurrentCharacter();
    return c && c->getRoot() ? c : nullptr;
}

void showBox(const char* caption, const char* key)
{
    kgiCharacterServices& services = kgiCharacterServices::current();
    services.showMessage(caption, services.text(key));
}

// What a reader found in a file: the lines that read and those that did
// not, with the number (from 1) of the first of them. Blank lines are
// neither.
struct LineTally {
    long long read = 0;
    long long skipped = 0;
    long long firstSkipped = 0;

    void skip(long long number)
    {
        if (skipped++ == 0)
            firstSkipped = number;
    }
};

// The path as a message box shows it (its bytes are the file system's).
std::string shownPath(const std::string& path)
{
    return kgiNarrowString::toNarrowText(FX::FXString(path.c_str()));
}

// A file of which no line reads (or that does not open): nothing changed.
void refuseFile(const std::string& path)
{
    kgiCharacterServices& services = kgiCharacterServices::current();
    services.showMessage("Error", services.text(kgiLangKey::Er_Robot_File) + "\n" + shownPath(path));
}

void replaceAll(std::string& text, const std::string& mark, const std::string& by)
{
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, mark.size(), by);
}

// After a load that passed over lines: how many, and the first one's number
// ("%1" and "%2" of the language text).
void reportSkipped(const std::string& path, const LineTally& tally)
{
    if (tally.skipped == 0)
        return;
    kgiCharacterServices& services = kgiCharacterServices::current();
    std::string text = services.text(kgiLangKey::Wr_Lines_Skipped);
    replaceAll(text, "%1", std::to_string(tally.skipped));
    replaceAll(text, "%2", std::to_string(tally.firstSkipped));
    services.showMessage("Warning - 170", text + "\n" + shownPath(path));
}

// The first word of a line: after leading blanks, up to a blank, ":" or
// "=".
std::string firstWord(const std::string& line)
{
    const std::size_t from = line.find_first_not_of(" \t");
    if (from == std::string::npos)
        return std::string();
    const std::size_t to = line.find_first_of(" \t\r\n:=", from);
    return line.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

// The fields of a motion-file line before its pairs.
struct MotionLine {
    int frame = 0;
    float placement[6] = {0, 0, 0, 0, 0, 0};
    std::string pairs;
};

// Whether the line is a motion line that keys: its frame and placement
// read, the placement is finite, the frame and key time are not negative
// and the line is whole (it ends with the ";" after its pairs: a line cut
// short does not read). t is the key time.
bool readMotionLine(const std::string& line, int start, MotionLine& out, std::int64_t& t)
{
    std::string rootName;
    float* p = out.placement;
    out.pairs.clear();
    const int read =
        kgiLineScan::scan(line.c_str(), "F%d [ %s px=%f, py=%f, pz=%f, rx=%f, ry=%f, rz=%f ] %s;", &out.frame,
                          &rootName, &p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &out.pairs);
    if (read < 8 || !allFinite(p, 6) || out.frame < 0 || lastNonBlank(line) != ';')
        return false;
    t = std::int64_t(out.frame) + start;
    return isValidKeyTime(t);
}

// The integer of a whole number of degrees, clamped to int.
int wholeDegrees(double v)
{
    if (!(v == v))
        return 0;
    return int(std::clamp(std::trunc(v), double(INT32_MIN), double(INT32_MAX)));
}

// Frames a pause of ms milliseconds takes at the world's frame rate,
// truncated; 0 for a frame rate that gives no whole number.
std::int64_t framesOfMs(std::int64_t ms)
{
    const float msPerFrame = 1000.0f / kgiWorld::instance()->getFps();
    const float frames = float(ms) / msPerFrame;
    if (!(frames >= 0.0f) || !std::isfinite(frames))
        return 0;
    return std::int64_t(std::min(frames, float(LAST_KEY_FRAME + 1)));
}

// The servo values of a MOVE line into servo[0..count-1]: with "G24" they
// start after the first ",", else at character 7. Fields ended by "," are
// the values in servo order; an empty field, one ending in a blank and one
// too long to be a value leave their servo as it was, and the text after
// the last "," is not used.
void readMoveValues(const std::string& line, int* servo, int count)
{
    std::size_t at = SCRIPT_VALUES_AT;
    if (line.find("G24") != std::string::npos) {
        const std::size_t comma = line.find(',');
        at = comma == std::string::npos ? line.size() : comma + 1;
    }
    for (int s = 0; s < count && at < line.size(); ++s) {
        const std::size_t end = line.find(',', at);
        if (end == std::string::npos)
            return;
        const std::string field = line.substr(at, end - at);
        int v = 0;
        if (!field.empty() && field.size() <= SCRIPT_FIELD_CHARS && field.back() != ' ' && field.back() != '\t' &&
            kgiLineScan::scan(field.c_str(), " %d", &v) == 1)
            servo[s] = v;
        at = end + 1;
    }
}

// Where a MOVE line's values start (see readMoveValues); npos for none.
std::size_t moveValuesAt(const std::string& line)
{
    if (line.find("G24") == std::string::npos)
        return SCRIPT_VALUES_AT < line.size() ? SCRIPT_VALUES_AT : std::string::npos;
    const std::size_t comma = line.find(',');
    return comma == std::string::npos ? comma : comma + 1;
}

// A field that is a whole number: blanks, a sign, digits, nothing after.
bool isWholeNumberText(const std::string& field)
{
    std::size_t i = field.find_first_not_of(" \t");
    if (i == std::string::npos)
        return false;
    if (field[i] == '+' || field[i] == '-')
        ++i;
    return i < field.size() &&
           std::all_of(field.begin() + std::ptrdiff_t(i), field.end(),
                       [](char ch) { return ch >= '0' && ch <= '9'; });
}

// Whether a MOVE line reads: it has a value field, and each field ended by
// "," is empty, ends in a blank (both keep their servo's value) or is a
// whole number (one too long to be a value keeps it too).
bool isReadableMove(const std::string& line)
{
    std::size_t at = moveValuesAt(line);
    if (at == std::string::npos || line.find(',', at) == std::string::npos)
        return false;
    for (std::size_t end = line.find(',', at); end != std::string::npos; end = line.find(',', at)) {
        const std::string field = line.substr(at, end - at);
        if (!field.empty() && field.back() != ' ' && field.back() != '\t' && !isWholeNumberText(field))
            return false;
        at = end + 1;
    }
    return true;
}

// The lines of a script that the import uses. Lines with none of the
// words are other commands of the programming tool: they are passed over
// and are not counted.
enum class ScriptStep { OTHER, UNREADABLE, MOVE, SPEED, DELAY };

ScriptStep scriptStepOf(const std::string& line)
{
    if (line.find("MOVE") != std::string::npos)
        return isReadableMove(line) ? ScriptStep::MOVE : ScriptStep::UNREADABLE;
    if (line.find("SPEED") != std::string::npos) {
        int n = 0;
        // A speed below 1 would divide by zero or step backwards.
        return kgiLineScan::scan(line.c_str(), " SPEED%d", &n) == 1 && n >= 1 ? ScriptStep::SPEED
                                                                             : ScriptStep::UNREADABLE;
    }
    if (line.find("DELAY") != std::string::npos) {
        // Without a number the pause is the default one; a pause does not
        // go back in time.
        int ms = SCRIPT_DEFAULT_DELAY_MS;
        kgiLineScan::scan(line.c_str(), " DELAY%d", &ms);
        return ms >= 0 ? ScriptStep::DELAY : ScriptStep::UNREADABLE;
    }
    return ScriptStep::OTHER;
}

// Text after a script's last carriage return that is more than blanks and
// control bytes (an end-of-file mark): a line cut short.
bool isCutScriptLine(const std::string& tail)
{
    return std::any_of(tail.begin(), tail.end(), [](char ch) {
        const unsigned char b = static_cast<unsigned char>(ch);
        return b > ' ' && b != 0x7f;
    });
}

// A script as the import uses it: its steps in order with their lines.
struct ScriptFile {
    struct Line {
        ScriptStep step;
        std::string text;
    };
    std::vector<Line> lines;
    LineTally tally;
};

// Reads a script whole (after its header); lines are numbered from the
// first after the header. A file that does not open, or is no longer than
// its header, has no line.
ScriptFile readScriptFile(const std::string& path)
{
    ScriptFile out;
    FileHandle file = openFile(path, "rb");
    char header[SCRIPT_HEADER_BYTES];
    if (!file || std::fread(header, 1, sizeof header, file.get()) != sizeof header)
        return out;
    std::string line;
    long long number = 1;
    for (; readScriptLine(file.get(), line); ++number) {
        const ScriptStep step = scriptStepOf(line);
        if (step == ScriptStep::OTHER)
            continue;
        if (step == ScriptStep::UNREADABLE) {
            out.tally.skip(number);
            continue;
        }
        ++out.tally.read;
        out.lines.push_back({step, line});
    }
    if (isCutScriptLine(line))
        out.tally.skip(number);
    return out;
}

} // namespace

// --- pose files ---

bool kgiRobotJointTable::exportPoseMdp(const std::string& path)
{
    kgiCharacter* c = currentModel();
    if (!c || path.empty())
        return false;
    std::string text;
    if (FileHandle ini = openFile(modelIniPath, "r")) {
        std::string line;
        while (readTextLine(ini.get(), line, LINE_BUFFER - 2)) {
            int number = 0;
            std::string jointName;
            float initial = 0.0f;
            // The line's "\n" counts in the length, as the reader counts it.
            if (line.size() + 1 >= 4 &&
                kgiLineScan::scan(line.c_str(), "%d : %s = %f", &number, &jointName, &initial) == 3) {
                text += jointName;
                text += " = ";
                appendFixed(text, getJointAngleByName(c, jointName));
            }
            text += '\n';
        }
    }
    text += '\n';
    float p[6] = {0, 0, 0, 0, 0, 0};
    ksgNode* root = c->getRoot();
    getNodePose(root, p[0], p[1], p[2], p[3], p[4], p[5]);
    text += root->getName();
    text += " : ";
    appendPlacement(text, p, ", ");
    text += '\n';
    return replaceFileWith(outputPath(path, "mdp"), text);
}

namespace {

// A pose-file line that reads: a joint's value, or the root's placement.
struct PoseLine {
    bool isRoot = false;
    std::string joint;
    float value = 0.0f;
    float placement[6] = {0, 0, 0, 0, 0, 0};
};

// Whether the line reads as a pose line: it has an "=", and either its
// first word is the root's name and its placement reads, finite, or its
// joint name and value read and the value is finite.
bool readPoseLine(const std::string& line, const ksgNode* root, PoseLine& out)
{
    if (line.find('=') == std::string::npos)
        return false;
    out.isRoot = firstWord(line) == root->getName();
    if (out.isRoot) {
        std::string rootName;
        float* p = out.placement;
        return kgiLineScan::scan(line.c_str(), "%s : px=%f, py=%f, pz=%f, rx=%f, ry=%f, rz=%f", &rootName, &p[0],
                                 &p[1], &p[2], &p[3], &p[4], &p[5]) == 7 &&
               allFinite(p, 6);
    }
    return kgiLineScan::scan(line.c_str(), "%s = %f :", &out.joint, &out.value) >= 2 && std::isfinite(out.value);
}

// Lines of at most this many characters (with their line end) are passed
// over, as are blank ones.
constexpr std::size_t POSE_SHORT_LINE = 3;

} // namespace

bool kgiRobotJointTable::importPoseMdp(const std::string& path, bool applyRoot)
{
    kgiCharacter* c = currentModel();
    if (!c)
        return false;
    // The whole file first: a line reads when it reads as a pose line and,
    // for a joint, the model has that joint.
    std::vector<PoseLine> lines;
    LineTally tally;
    if (FileHandle file = openFile(path, "r")) {
        std::string line;
        bool cut = false;
        for (long long number = 1; readTextLine(file.get(), line, POSE_LINE_CHARS, &cut); ++number) {
            if (line.size() + 1 <= POSE_SHORT_LINE || isBlankLine(line))
                continue;
            PoseLine pose;
            if (!cut && readPoseLine(line, c->getRoot(), pose) && (pose.isRoot || c->findNode(pose.joint))) {
                lines.push_back(pose);
                ++tally.read;
            } else {
                tally.skip(number);
            }
        }
    }
    if (lines.empty()) {
        refuseFile(path);
        return false;
    }
    // The pose before the load stays one undo step away.
    c->addPoseUndo();
    bool ok = tally.skipped == 0;
    for (const PoseLine& pose : lines) {
        if (pose.isRoot) {
            const float* p = pose.placement;
            if (applyRoot && !setNodePose(c->getRoot(), p[0], p[1], p[2], p[3], p[4], p[5]))
                ok = false;
        } else if (!setJointAngleByName(c, pose.joint, pose.value)) {
            ok = false;
        }
    }
    c->refresh();
    reportSkipped(path, tally);
    return ok;
}

bool kgiRobotJointTable::applyPoseLine(const std::string& line, kgiCharacter* c, bool applyRoot)
{
    ksgNode* root = c ? c->getRoot() : nullptr;
    if (!root)
        return false;
    PoseLine pose;
    if (!readPoseLine(line, root, pose)) {
        showBox("Warning - 170", kgiLangKey::Wr_Load_fail);
        return false;
    }
    if (!pose.isRoot)
        return setJointAngleByName(c, pose.joint, pose.value);
    const float* p = pose.placement;
    return !applyRoot || setNodePose(root, p[0], p[1], p[2], p[3], p[4], p[5]);
}

// --- motion files ---

bool kgiRobotJointTable::exportMotionMdm(const std::string& path)
{
    kgiCharacter* c = currentModel();
    if (!c || path.empty())
        return false;
    ksgNode* root = c->getRoot();
    std::string text;
    for (float k : c->getKeyTimes()) {
        text += 'F';
        text += std::to_string(int(k));
        text += " [ ";
        text += root->getName();
        text += ' ';
        float p[6] = {0, 0, 0, 0, 0, 0};
        getNodePoseAt(root, k, p[0], p[1], p[2], p[3], p[4], p[5]);
        appendPlacement(text, p, ", ");
        text += " ] ";
        for (int i = 1; i < nodeCount && i < MAX_NODES; ++i) {
            ksgNode* node = nodes[std::size_t(i)];
            if (!node)
                continue;
            text += node->getName();
            text += '=';
            appendFixed(text, getJointAngleAt(node, k));
            text += ',';
        }
        // The last comma, or the blank after "]" without joints, ends the
        // line.
        text.back() = ';';
        text += '\n';
    }
    return replaceFileWith(outputPath(path, "mdm"), text);
}

namespace {

// Keys a motion line read by readMotionLine at t: the root's placement,
// then each name=value pair of the list.
void keyMotionLine(kgiRobotJointTable& table, const MotionLine& m, kgiCharacter* c, float t)
{
    const float* p = m.placement;
    kgiRobotJointTable::addNodePoseKey(c->getRoot(), t, p[0], p[1], p[2], p[3], p[4], p[5]);
    std::string jointName;
    std::string token;
    bool named = false;
    for (char ch : m.pairs) {
        if (ch == '=') {
            named = token.size() <= PAIR_NAME_CHARS;
            jointName = token;
            token.clear();
        } else if (ch == ',' || ch == ';') {
            float value = 0.0f;
            if (named && token.size() <= PAIR_VALUE_CHARS &&
                kgiLineScan::scan(token.c_str(), "%f", &value) == 1 && std::isfinite(value))
                table.addJointKeyByName(c, jointName, t, value);
            // Each pair names its own joint.
            named = false;
            token.clear();
        } else {
            token += ch;
        }
    }
}

// A motion file read whole: its lines that key, with their key times.
struct MotionFile {
    struct Line {
        MotionLine m;
        std::int64_t t = 0;
    };
    std::vector<Line> lines;
    LineTally tally;
};

MotionFile readMotionFile(const std::string& path, int start)
{
    MotionFile out;
    FileHandle file = openFile(path, "r");
    if (!file)
        return out;
    std::string text;
    bool cut = false;
    for (long long number = 1; readTextLine(file.get(), text, MOTION_LINE_CHARS, &cut); ++number) {
        if (isBlankLine(text))
            continue;
        MotionFile::Line line;
        if (!cut && readMotionLine(text, start, line.m, line.t)) {
            out.lines.push_back(std::move(line));
            ++out.tally.read;
        } else {
            out.tally.skip(number);
        }
    }
    return out;
}

} // namespace

bool kgiRobotJointTable::applyMotionLine(const std::string& line, kgiCharacter* c, int start)
{
    MotionLine m;
    std::int64_t t = 0;
    if (!c || !c->getRoot() || !readMotionLine(line, start, m, t))
        return false;
    keyMotionLine(*this, m, c, float(t));
    return true;
}

bool kgiRobotJointTable::checkMotionMdm(const std::string& path)
{
    if (!currentModel())
        return false;
    if (readMotionFile(path, 0).lines.empty()) {
        refuseFile(path);
        return false;
    }
    return true;
}

bool kgiRobotJointTable::importMotionMdm(const std::string& path, int start)
{
    kgiCharacter* c = currentModel();
    if (!c)
        return false;
    const MotionFile motion = readMotionFile(path, start);
    if (motion.lines.empty()) {
        refuseFile(path);
        return false;
    }
    const long long keysBefore = c->getKeyCount();
    const int keysMax = kgiCharacterServices::current().keysMax();
    long long count = 0;
    std::int64_t lastKeyed = 0;
    bool full = false;
    for (const MotionFile::Line& line : motion.lines) {
        const std::int64_t t = line.t;
        if (keysMax < keysBefore + 1 + count) {
            full = true;
            break;
        }
        keyMotionLine(*this, line.m, c, float(t));
        lastKeyed = count++ ? std::max(lastKeyed, t) : t;
    }
    if (count > 0) {
        c->updateKeysInfo();
        // Up to the last frame the file keyed: a key of the motion beyond
        // it is not the import's to take back.
        c->addKeyUndo(new kgiAddKeysUndo(c, float(start), float(lastKeyed)));
        c->refresh();
    }
    if (full) {
        showBox("Warning - 153", kgiLangKey::Wr_Keys_Max);
        return false;
    }
    reportSkipped(path, motion.tally);
    return count > 0;
}

// --- scripts ---

bool kgiRobotJointTable::importPellScript(const std::string& path)
{
    constexpr int SERVOS = kgiRobotSession::SERVOS;
    kgiCharacter* c = currentModel();
    if (!c)
        return false;
    const ScriptFile script = readScriptFile(path);
    if (script.tally.read == 0) {
        refuseFile(path);
        return false;
    }
    ksgNode* root = c->getRoot();

    // The old motion goes with one entry, built before it goes; it joins
    // the history only when the import completes.
    kgiRemKeysUndo* removal = nullptr;
    if (c->getKeyCount() > 0) {
        const float last = c->getKeyTimes().back();
        removal = new kgiRemKeysUndo(c, 0.0f, last + 1.0f);
        c->deleteKeys(0, int(last + 1.0f));
    }

    // The servos' joints, records and angles (whole degrees), starting
    // from the default pose at frame 0 with the root where it stands.
    bool mapped[SERVOS];
    ksgNode* joint[SERVOS];
    kgiJointRecord record[SERVOS];
    int servo[SERVOS];
    int angle[SERVOS];
    int prev[SERVOS];
    float r[6] = {0, 0, 0, 0, 0, 0};
    getNodePose(root, r[0], r[1], r[2], r[3], r[4], r[5]);
    for (int s = 0; s < SERVOS; ++s) {
        const std::string jointName = jointNameByServo(s);
        mapped[s] = jointName != NO_JOINT;
        joint[s] = mapped[s] ? c->findNode(jointName) : nullptr;
        record[s] = findJointByServo(s);
        servo[s] = kgiRobotSession::DEFAULT_POSE[s];
        angle[s] = prev[s] = wholeDegrees((double(servo[s]) - record[s].offset) / record[s].scale);
    }
    auto keyPose = [&](std::int64_t frame) {
        if (!isValidKeyTime(frame))
            return;
        addNodePoseKey(root, float(frame), r[0], r[1], r[2], r[3], r[4], r[5]);
        for (int s = 0; s < SERVOS; ++s)
            if (joint[s])
                addJointKey(joint[s], float(frame), float(angle[s]));
    };
    keyPose(0);

    const int keysMax = kgiCharacterServices::current().keysMax();
    std::int64_t frame = -1;
    int speed = SCRIPT_START_SPEED;
    long long moves = 0;
    bool full = false;
    for (const ScriptFile::Line& line : script.lines) {
        if (line.step == ScriptStep::MOVE) {
            if (keysMax < ++moves) {
                full = true;
                break;
            }
            ++frame;
            readMoveValues(line.text, servo, SERVOS);
            std::int64_t change = 0;
            for (int s = 0; s < SERVOS; ++s) {
                if (!mapped[s])
                    continue;
                angle[s] = wholeDegrees((double(servo[s]) - record[s].offset) / record[s].scale);
                const std::int64_t d = std::int64_t(angle[s]) - prev[s];
                change = std::max(change, d < 0 ? -d : d);
            }
            frame += framesOfMs(std::int64_t(SCRIPT_SPEED_SCALE / speed) * change);
            keyPose(frame);
            std::copy(angle, angle + SERVOS, prev);
        } else if (line.step == ScriptStep::SPEED) {
            kgiLineScan::scan(line.text.c_str(), " SPEED%d", &speed);
        } else if (line.step == ScriptStep::DELAY) {
            int ms = SCRIPT_DEFAULT_DELAY_MS;
            kgiLineScan::scan(line.text.c_str(), " DELAY%d", &ms);
            frame += framesOfMs(ms);
            keyPose(frame);
        }
    }
    c->updateKeysInfo();

    if (full) {
        // Exactly the import is taken back: its keys go, the old motion
        // comes back from the held entry, and the history is as before.
        if (c->getKeyCount() > 0)
            c->deleteKeys(0, int(c->getKeyTimes().back()) + 1);
        if (removal) {
            removal->undo();
            delete removal;
        }
        c->updateKeysInfo();
        c->refresh();
        showBox("Warning - 153", kgiLangKey::Wr_Keys_Max);
        return false;
    }
    if (removal)
        c->addKeyUndo(removal);
    c->addKeyUndo(new kgiAddKeysUndo(c, 0.0f, c->getKeyCount() > 0 ? c->getKeyTimes().back() : 0.0f));
    c->refresh();
    reportSkipped(path, script.tally);
    return true;
}
