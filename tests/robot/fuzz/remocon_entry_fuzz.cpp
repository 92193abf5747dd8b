// The entry-file reader on arbitrary bytes: it must not crash, must hand the
// link only byte values, never more than it read, and a slot it fills must
// hold what the file's count says.
#include "kgiRobotLink.h"
#include "kgiRobotSession.h"

#include "remocon_fuzz_folder.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const kgiRemoconFuzzFolder folder("remocon_entry_fuzz");
    kgiRobotSession* session = folder.session;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<int> values = kgiRobotSession::parseEntryValues(text);
    if (values.size() > size_t(kgiRobotSession::ENTRY_READ_VALUES)) std::abort();
    for (int v : values)
        if (v < 0 || v > 255) std::abort();

    if (!folder.write("entry.obc", data, size)) return 0;
    kgiRobotLink& link = session->getLink();
    const int32_t before = link.slotLength[1][0];
    if (session->loadRemoconFile(0, "entry")) {
        const int count = values[15] * 256 + values[14];
        if (count > int(values.size()) || link.slotLength[1][0] != count - 89) std::abort();
    } else if (link.slotLength[1][0] != before) {
        std::abort();
    }
    return 0;
}
