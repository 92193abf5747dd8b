// The port map is the one file that names device paths: whatever it holds,
// a lookup must return either nothing or an absolute path without control
// characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/portmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (unsigned port = 0; port <= 17; ++port) {
        const std::string path = platform::portMapLookup(text, port);
        if (path.empty()) continue;
        if (port < 1 || port > 16 || path[0] != '/') std::abort();
        for (char c : path)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
    }
    return 0;
}
