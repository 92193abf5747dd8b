#include "kgiDocPath.h"

#include "platform/path.h"

std::string kgiDocPath::sub(const std::string& dir, const std::string& name)
{
    if (name.empty())
        return dir;
    if (dir.empty())
        return platform::toNativePath(name);
    return platform::joinPath(dir, platform::toNativePath(name));
}

std::string kgiDocPath::trimSeparators(std::string path)
{
    while (path.size() > 1 && platform::isPathSeparator(path.back()))
        path.pop_back();
    return path;
}

std::string kgiDocPath::folderOf(const std::string& path)
{
    const auto sep = platform::lastPathSeparator(path);
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

std::string kgiDocPath::withoutExtension(const std::string& name)
{
    const auto sep = platform::lastPathSeparator(name);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep))
        return name;
    return name.substr(0, dot);
}
