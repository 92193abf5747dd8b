#include "platform/path.h"

namespace platform {

std::string::size_type lastPathSeparator(const std::string& p)
{
    return p.find_last_of("/\\");
}

std::string joinPath(const std::string& a, const std::string& b)
{
    std::string r;
    r.reserve(a.size() + 1 + b.size());
    r += a;
    r += pathSeparator();
    r += b;
    return r;
}

std::string toNativePath(const std::string& p)
{
    std::string r = p;
    for (char& c : r)
        if (c == '\\')
            c = '/';
    return r;
}

} // namespace platform
