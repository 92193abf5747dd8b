// The media-list reader on arbitrary bytes: no crash, no more items than
// lines, no path with a line end, and every path it gives comes back whole
// from a line in the written form.
#include "kgiMediaHost.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<kgiMediaListItem> items = kgiMediaHost::parseMediaList(text);
    size_t lines = 1;
    for (char c : text) lines += c == '\n';
    if (items.size() > lines) std::abort();
    for (const kgiMediaListItem& item : items) {
        if (item.path.find('\n') != std::string::npos) std::abort();
        const std::string line = "[ " + item.path + " ], [ " + std::to_string(item.startFrame) + ", " +
                                 std::to_string(item.endFrame) + " ], [ " + std::to_string(item.offsetMs) +
                                 " ]\n";
        const std::vector<kgiMediaListItem> again = kgiMediaHost::parseMediaList(line);
        if (again.size() != 1 || again[0].path != item.path || again[0].startFrame != item.startFrame ||
            again[0].endFrame != item.endFrame || again[0].offsetMs != item.offsetMs)
            std::abort();
    }
    return 0;
}
