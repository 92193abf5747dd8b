// Motion-key reader: any bytes must give a status, never a crash or an
// out-of-bounds access; what was read must stay consistent.
#include "kgiKmmFile.h"

#include "fuzz_input_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static kgiFuzzInputFile input(".kmm");
    const std::string path = input.hold(data, size);
    kgiKmmFile f;
    if (f.open(path.c_str()) && f.readHeader())
        f.readBody();
    f.close();
    for (int n = 0; n < f.getNodeCount(); ++n) {
        const kgiKmmNode* node = f.getNode(n);
        if (node->keyCount > static_cast<int>(node->keys.size())
            || node->name.size() > static_cast<size_t>(kgiKmmFile::MAX_NAME_LENGTH))
            std::abort();
        if (const kgiKmmKey* key = node->getKey(node->keyCount))
            (void)key->matrix[15];
    }
    return 0;
}
