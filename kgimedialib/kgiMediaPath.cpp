#include "kgiMediaPath.h"

#include "platform/path.h"

#include <strings.h>

namespace kgi {

void kgiSplitMediaPath(const std::string& path, std::string* folder, std::string* name)
{
    std::string::size_type sep = platform::lastPathSeparator(path);
    if (sep == std::string::npos) {
        folder->clear();
        *name = path;
    } else {
        *folder = path.substr(0, sep + 1);
        *name = path.substr(sep + 1);
    }
}

bool kgiIsSoundFileName(const std::string& path)
{
    std::string folder, name;
    kgiSplitMediaPath(path, &folder, &name);
    std::string::size_type dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    const char* ext = name.c_str() + dot;
    for (const char* s : {".wav", ".mp3", ".ogg", ".aiff"})
        if (strcasecmp(ext, s) == 0)
            return true;
    return false;
}

} // namespace kgi
