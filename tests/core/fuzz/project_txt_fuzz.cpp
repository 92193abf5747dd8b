// The "project.txt" reader on arbitrary bytes: it must not crash and must
// leave the convention record with values the builder knows.
#include "kgiModelBuilder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/kgi_project_txt_fuzz_" + std::to_string(::getpid()) + ".txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    kgiModelBuilder b;
    if (!b.readAxisConvention(path))
        std::abort();
    std::remove(path.c_str());
    const kgiAxisConvention& c = b.getAxisConvention();
    if (c.modeler != kgiAxisConvention::MAX && c.modeler != kgiAxisConvention::MAYA &&
        c.modeler != kgiAxisConvention::NOT_STATED)
        std::abort();
    if (c.controllerKind != kgiAxisConvention::QUATERNION)
        std::abort();
    return 0;
}
