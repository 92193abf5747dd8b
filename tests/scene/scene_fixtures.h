#pragma once
// Scenes and files shared by the scene tests and the benchmark.
#include <cstdint>
#include <string>
#include <vector>

class kneScene;

namespace scenefx {

// The smallest file: scene "a" with one object "n", no data.
std::vector<uint8_t> exampleFile();

// A scene with one model object of nodes model nodes (frame records of
// Trans/Rot/Scale with a 16-bit flag), each with a vertex list of
// verticesPerNode vertices and a polygon list, and a sub-object holding
// frames frames of model motion, attached to the model. Optional comment,
// texture paths and a wide name make it exercise every chunk.
struct ModelShape {
    uint32_t nodes = 3;
    uint32_t verticesPerNode = 4;
    uint32_t frames = 2;
    bool rich = true; // comment, 3 texture paths, wide name, an empty object
};
void buildModel(kneScene& scene, const ModelShape& desc);

// Bytes the writer makes of a scene.
std::vector<uint8_t> write(kneScene& scene);

} // namespace scenefx
