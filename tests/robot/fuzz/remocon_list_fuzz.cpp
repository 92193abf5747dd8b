// The list-file reader and writer on arbitrary bytes: no crash, at most 32
// names, and a list written back always has 32 lines, the edited one as
// given.
#include "kgiRobotSession.h"

#include "remocon_fuzz_folder.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const kgiRemoconFuzzFolder folder("remocon_list_fuzz");
    kgiRobotSession* session = folder.session;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (kgiRobotSession::parseListNames(text).size() > size_t(kgiRobotSession::REMOCON_ENTRIES)) std::abort();

    if (!folder.write("list.txt", data, size)) return 0;
    session->loadRemoconList();
    const int entry = size ? data[0] % 32 : 0;
    if (!session->writeRemoconListEntry(entry, "fuzzed", 2)) std::abort();
    std::ifstream in(folder.dir + "/list.txt", std::ios::binary);
    int lines = 0;
    std::string line;
    for (; std::getline(in, line); ++lines)
        if (lines == entry && line != std::to_string(entry + 1) + ":fuzzed") std::abort();
    if (lines < 32) std::abort();
    return 0;
}
