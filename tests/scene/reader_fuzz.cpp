// Any bytes given to the scene reader end in a status code, never a crash;
// what it accepts can be walked, dumped and written.
#include "kneScene.h"
#include "kneSceneLog.h"
#include "kneSceneReader.h"
#include "kneSceneWriter.h"

#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kneScene scene;
    if (kneSceneReader::readBuffer(scene, data, size) & 0xFFFF)
        return 0;
    uint32_t count = 0;
    kneSceneEntry* e = scene.getEntries(count);
    for (uint32_t i = 0; i < count; ++i)
        if (e[i].sobj)
            e[i].sobj->getDataType(e[i].sobj->getDataCount());
    static FILE* sink = std::fopen("/dev/null", "w");
    if (sink) {
        kneSceneLog::setDumpStyle(int(size & 1));
        kneSceneLog::dumpScene(scene, sink);
    }
    std::vector<uint8_t> out;
    kneSceneWriter::writeBuffer(scene, out);
    return 0;
}
