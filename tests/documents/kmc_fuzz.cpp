// Curve reader: any bytes must give a status, never a crash or an
// out-of-bounds access; a written copy of what was read must read back.
#include "kgiKmcFile.h"

#include "fuzz_input_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static kgiFuzzInputFile input(".kmc");
    const std::string path = input.hold(data, size);
    kgiKmcFile f;
    const bool ok = f.read(path.c_str());
    f.close();
    if (!kgiKmcFile::statusMessage(f.getStatus()))
        std::abort();
    for (int n = 0; n < f.getNodeCount(); ++n) {
        float v, x, y;
        for (int k = 0; k < f.getKeyCount(); ++k)
            for (int ch = 0; ch < 6; ++ch)
                if (f.getValue(n, k, ch, v) != f.getInHandle(n, k, ch, x, y))
                    std::abort();
    }
    // Names with blanks or delimiters cannot come back, but whatever the
    // writer puts out must never crash the reader.
    if (ok && f.write(path.c_str())) {
        kgiKmcFile again;
        again.read(path.c_str());
    }
    return 0;
}
