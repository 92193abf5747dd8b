#include "kutPath.h"

#include "platform/path.h"

#include <utility>

namespace {

// Index of the dot that starts the file name's extension, or npos.
std::string::size_type extensionDot(const std::string& p)
{
    const std::string::size_type dot = p.find_last_of('.');
    if (dot == std::string::npos)
        return dot;
    const std::string::size_type sep = platform::lastPathSeparator(p);
    if (sep != std::string::npos && sep > dot)
        return std::string::npos;
    return dot;
}

} // namespace

std::string kutSeparator()
{
    return std::string(1, platform::pathSeparator());
}

std::string kutAppendPath(std::string a, std::string b)
{
    return platform::joinPath(a, b);
}

std::string kutPrependPath(std::string a, std::string b)
{
    return platform::joinPath(a, b);
}

std::string kutRemovePath(std::string p)
{
    const std::string::size_type sep = platform::lastPathSeparator(p);
    return sep == std::string::npos ? p : p.substr(sep + 1);
}

std::string kutExtractPath(std::string p)
{
    const std::string::size_type sep = platform::lastPathSeparator(p);
    return sep == std::string::npos ? std::string() : p.substr(0, sep);
}

std::string kutRemoveExt(std::string p)
{
    const std::string::size_type dot = extensionDot(p);
    if (dot != std::string::npos)
        p.erase(dot);
    return p;
}

std::string kutAppendExt(std::string p, std::string ext)
{
    p += '.';
    p += ext;
    return p;
}

std::string kutGetExt(std::string p)
{
    const std::string::size_type dot = extensionDot(p);
    if (dot == std::string::npos || p.size() - dot - 1 > 4)
        return std::string();
    return p.substr(dot + 1);
}
