// The joint file reader on arbitrary bytes: it must not crash, must keep
// within its 255 node entries, and every record it keeps must be usable
// (finite numbers, a scale other than 0, the order of its axis).
#include "kgiRobotJointTable.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = "/tmp/kgi_model_ini_fuzz_" + std::to_string(::getpid());
    static const bool made = std::filesystem::create_directories(dir + "/character") || true;
    (void)made;
    FILE* f = std::fopen((dir + "/character/model.ini").c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    kgiRobotJointTable table;
    if (!table.loadModelIni(dir + "/model.ts", nullptr))
        std::abort();
    if (table.getNodeCount() < 1 || table.getNodeCount() > kgiRobotJointTable::MAX_NODES)
        std::abort();
    if (int(table.getJoints().size()) > table.getNodeCount() - 1)
        std::abort();
    for (const auto& j : table.getJoints()) {
        const kgiJointRecord& r = j.second;
        if (j.first.empty() || !std::isfinite(r.minAngle) || !std::isfinite(r.maxAngle) ||
            !std::isfinite(r.scale) || !std::isfinite(r.offset) || r.scale == 0.0f ||
            r.eulerOrder != kgiJointRecord::orderOfAxis(r.axis))
            std::abort();
    }
    for (int i = 0; i <= kgiRobotJointTable::MAX_NODES; ++i)
        if (table.getNode(i))
            std::abort(); // no character: no node
    return 0;
}
