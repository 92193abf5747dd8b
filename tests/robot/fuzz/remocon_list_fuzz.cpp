// The list-file reader and writer on arbitrary bytes: no crash, at most 32
// names, and a list written back always has 32 lines, the edited one as
// given.
#include "kgiRobotSession.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = "/tmp/kgi_remocon_list_fuzz_" + std::to_string(::getpid());
    static const bool made = std::filesystem::create_directories(dir) || true;
    (void)made;
    static kgiRobotSession* session = [] {
        kgiRobotSession* s = new kgiRobotSession;
        s->setRemoconFolder(dir, dir + "/list.txt");
        return s;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (kgiRobotSession::parseListNames(text).size() > size_t(kgiRobotSession::REMOCON_ENTRIES)) std::abort();

    FILE* f = std::fopen((dir + "/list.txt").c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    session->loadRemoconList();
    const int entry = size ? data[0] % 32 : 0;
    if (!session->writeRemoconListEntry(entry, "fuzzed", 2)) std::abort();
    std::ifstream in(dir + "/list.txt", std::ios::binary);
    int lines = 0;
    std::string line;
    for (; std::getline(in, line); ++lines)
        if (lines == entry && line != std::to_string(entry + 1) + ":fuzzed") std::abort();
    if (lines < 32) std::abort();
    return 0;
}
