#include "platform/portmap.h"

#include <cstdio>

namespace platform {

namespace {

const unsigned MAX_PORT = 16;
const size_t MAX_MAP_BYTES = 64 * 1024;

std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// "COM<n>" with n written in decimal without sign; 0 when it is not one.
unsigned portOfName(const std::string& name)
{
    if (name.size() < 4 || name.size() > 5) return 0;
    if ((name[0] != 'C' && name[0] != 'c') || (name[1] != 'O' && name[1] != 'o') ||
        (name[2] != 'M' && name[2] != 'm'))
        return 0;
    unsigned n = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        n = n * 10 + static_cast<unsigned>(name[i] - '0');
    }
    return n <= MAX_PORT ? n : 0;
}

bool usablePath(const std::string& p)
{
    if (p.empty() || p[0] != '/') return false;
    for (char c : p)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

} // namespace

std::string defaultSerialDevice(unsigned port)
{
    if (port < 1 || port > MAX_PORT) return std::string();
    return "/dev/ttyUSB" + std::to_string(port - 1);
}

std::string portMapLookup(const std::string& text, unsigned port)
{
    if (port < 1 || port > MAX_PORT) return std::string();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == '#') continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (portOfName(trim(line.substr(0, eq))) != port) continue;
        std::string path = trim(line.substr(eq + 1));
        if (usablePath(path)) return path;
    }
    return std::string();
}

std::string serialDevicePath(unsigned port, const std::string& mapFile)
{
    if (port < 1 || port > MAX_PORT) return std::string();
    std::string text;
    if (std::FILE* f = std::fopen(mapFile.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while (text.size() < MAX_MAP_BYTES && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, n);
        std::fclose(f);
        if (text.size() > MAX_MAP_BYTES) text.resize(MAX_MAP_BYTES);
    }
    std::string mapped = portMapLookup(text, port);
    return mapped.empty() ? defaultSerialDevice(port) : mapped;
}

} // namespace platform
