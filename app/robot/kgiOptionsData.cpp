#include "kgiOptionsData.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>

#include "platform/codepage.h"
#include "platform/files.h"
#include "kgiLineScan.h"

namespace kgiOptionsData {

namespace {

std::string bounded(const char* text)
{
    std::string s(text);
    if (s.size() > INFO_TEXT_MAX)
        s.resize(INFO_TEXT_MAX);
    return s;
}

template <typename... A> std::string format(const char* fmt, A... args)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return bounded(buf);
}

// A float that truncates to an int without overflow.
bool fitsInt(float v)
{
    return std::isfinite(v) && v > -2147483648.0f - 1.0f && v < 2147483648.0f;
}

std::string withoutBreak(std::string line)
{
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

} // namespace

std::array<std::string, INFO_ROWS> infoTexts(const std::uint32_t* w)
{
    using ull = unsigned long long;
    std::array<std::string, INFO_ROWS> t;
    t[0] = format("%u", w[0]);
    t[1] = format("%u.%u", w[1], w[2]);
    t[2] = format("%u", w[3]);
    t[3] = format("%u", w[4]);
    t[4] = format("%u", w[5]);
    t[5] = format("%X%X", w[6], w[7]);
    std::string kind;
    for (int i = 8; i < 16 && w[i] != 0; ++i)
        kind += static_cast<char>(w[i] & 0xFFu);
    t[6] = kind.compare(0, 7, "REMOCON") == 0 && kind.size() >= 7 ? kind : "OTHER FILE";
    t[7] = format("20%02u/%u/%u", w[16], w[17], w[18]);
    t[8] = format("%u:%u:%u", w[19], w[20], w[21]);
    t[9] = format("%llu", static_cast<ull>(w[23]) * 256ull + static_cast<ull>(w[22]));
    return t;
}

int frameCount(float lastKeyTime)
{
    if (!fitsInt(lastKeyTime))
        return 0;
    const int t = static_cast<int>(lastKeyTime);
    return t > 0 && t < std::numeric_limits<int>::max() ? t + 1 : t;
}

bool servoText(float angle, const kgiJointRecord& record, std::string& text)
{
    float v = angle * record.scale + record.offset;
    if (v > 360.0f)
        v -= 360.0f;
    const float r = v + 0.5f;
    if (!fitsInt(r))
        return false;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(r));
    text = buf;
    return true;
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return lines;
    std::string cur;
    char c;
    while (in.get(c)) {
        if (c == '\r' && in.peek() == '\n')
            continue;
        cur += c;
        if (c == '\n' || cur.size() >= MAX_LINE) {
            lines.push_back(cur);
            cur.clear();
        }
    }
    if (!cur.empty())
        lines.push_back(cur);
    return lines;
}

std::vector<std::string> readSampleNames(const std::string& path)
{
    std::vector<std::string> names;
    for (const std::string& line : readLines(path))
        if (line.size() >= 3)
            names.push_back(platform::cp932ToUtf8(withoutBreak(line)));
    return names;
}

std::vector<std::string> readRemoconItems(const std::string& path)
{
    std::ifstream probe(path, std::ios::binary);
    std::vector<std::string> items;
    if (!probe) {
        for (int i = 1; i <= REMOCON_SLOTS; ++i)
            items.push_back(std::to_string(i) + ":");
        return items;
    }
    probe.close();
    for (const std::string& line : readLines(path))
        if (line.size() >= 3)
            items.push_back(platform::cp932ToUtf8(withoutBreak(line)));
    return items;
}

int readNameHeads(const std::string& path, std::array<std::string, MAX_JOINT_ROWS>& names,
                  bool toUtf8)
{
    int used = 0;
    for (const std::string& line : readLines(path)) {
        if (line.size() < 4 || used >= MAX_JOINT_ROWS)
            continue;
        int index = -1;
        std::string name;
        if (kgiLineScan::scan(line.c_str(), "%d : %s =", &index, &name) < 2)
            continue;
        if (index < 0 || index >= MAX_JOINT_ROWS || name.empty())
            continue;
        names[static_cast<std::size_t>(index)] = toUtf8 ? platform::cp932ToUtf8(name) : name;
        ++used;
    }
    return used;
}

std::string motorNamesText(const std::vector<std::string>& names)
{
    std::string text;
    char head[16];
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::snprintf(head, sizeof head, "%02d : ", static_cast<int>(i));
        text += head;
        // A line break inside a name would start a row of its own.
        for (char c : names[i])
            text += (c == '\n' || c == '\r') ? ' ' : c;
        text += '\n';
    }
    return text;
}

bool writeMotorNames(const std::string& path, const std::vector<std::string>& names)
{
    platform::ReplaceFile file;
    if (!file.open(path))
        return false;
    const std::string text = motorNamesText(names);
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file.stream()) != text.size()) {
        file.abandon();
        return false;
    }
    return file.commit();
}

} // namespace kgiOptionsData
