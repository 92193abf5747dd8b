// Any bytes given to the model-data load end in a result, never a crash;
// what it accepts can be walked through its records.
#include "kgiModelData.h"
#include "kneBytes.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kgiModelData model;
    if (!model.loadBuffer(data, size))
        return 0;
    float sum = 0;
    for (const kgiModelEntry& m : model.models)
        for (const kgiMeshRecord& r : m.records) {
            for (int i = 0; i < r.vertexCount * kgiMeshRecord::VERTEX_FLOATS; ++i)
                sum += r.vertices[i];
            const int stride = r.polygonKind == 3 ? 4 : 3;
            for (int f = 0; f < r.polygonCount; ++f)
                for (int k = 0; k < 3; ++k)
                    sum += r.vertices[r.polygons[f * stride + k] * kgiMeshRecord::VERTEX_FLOATS];
            if (r.frames)
                for (int f = 0; f < r.frameCount; ++f)
                    sum += kneLE::f32(reinterpret_cast<const uint8_t*>(r.frames) +
                                      size_t(f) * size_t(r.frameStride));
        }
    for (const kgiCameraRecord& c : model.cameras)
        for (float a : c.angles)
            sum += a;
    model.setFrame(-7);
    model.selectVertexFrame(3);
    return sum == 12345.0f;
}
