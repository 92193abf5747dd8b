#include "kneFileName.h"

#include "platform/path.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// Position of the last dot of the file-name part, or npos.
std::string::size_type suffixPos(const std::string& path)
{
    std::string::size_type sep = platform::lastPathSeparator(path);
    std::string::size_type start = sep == std::string::npos ? 0 : sep + 1;
    std::string::size_type dot = path.rfind('.');
    return dot != std::string::npos && dot >= start ? dot : std::string::npos;
}

} // namespace

std::string::size_type kneSetSuffix(std::string& path, const std::string& suffix)
{
    std::string::size_type at = suffixPos(path);
    if (at == std::string::npos)
        at = path.size();
    path.replace(at, std::string::npos, suffix);
    return at;
}

std::string::size_type kneSetSuffixChecked(std::string& path, const std::string& suffix)
{
    std::string::size_type at = suffixPos(path);
    if (at != std::string::npos && path.compare(at, std::string::npos, suffix) != 0)
        std::fputs("Warning : Mismatch suffix\n", stderr);
    return kneSetSuffix(path, suffix);
}

std::string::size_type kneStripSuffix(std::string& path)
{
    std::string::size_type at = suffixPos(path);
    if (at != std::string::npos)
        path.erase(at);
    return at;
}

const char* kneFileNamePart(const char* path)
{
    if (!path)
        return nullptr;
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (platform::isPathSeparator(*p))
            name = p + 1;
    return name;
}

const char* kneSuffixOf(const char* path)
{
    const char* name = kneFileNamePart(path);
    return name ? std::strrchr(name, '.') : nullptr;
}

std::string& kneCutToFolder(std::string& path)
{
    std::string::size_type sep = platform::lastPathSeparator(path);
    if (sep != std::string::npos)
        path.erase(sep);
    return path;
}

int kneChangeDir(const char* path)
{
    if (!path)
        return 0;
    std::error_code ec;
    std::filesystem::current_path(path, ec);
    return ec ? 0 : 1;
}
