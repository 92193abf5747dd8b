#include "scene_fixtures.h"

#include "kneScene.h"
#include "kneSceneWriter.h"

#include <cstring>

namespace scenefx {

std::vector<uint8_t> exampleFile()
{
    return {
        0x48, 0x43, 0x53, 0x4B, 22, 0, 0, 0,           // KSCH, size 22
        0x01, 0x03, 0x01, 0x00,                         // version
        0, 0, 0, 0, 0, 0, 0, 0,                         // stime, etime
        0, 0, 0, 0, 1, 0, 0, 0,                         // nbFreeId soFreeId nbListId nbTexPath
        'a', 0,                                         // scene name
        0x4A, 0x42, 0x4F, 0x4B, 44, 0, 0, 0,            // KOBJ, size 44
        0, 0, 1, 0, 0, 0, 0, 0,                         // id ostatus ref nbAttach
        0, 0, 0, 0,                                     // name handle
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // data head, tail
        0x4D, 0x56, 0x4E, 0x4B, 24, 0, 0, 0,            // KNVM, totalBytes
        0x3A, 0x71, 0x40, 0x00,                         // stamp
        0x2C, 0, 0, 0,                                  // page bits 12, one page
        0, 0, 0, 0,                                     // current page
        0x00, 0x10, 0, 0, 4, 0, 0, 0,                   // capacity 4096, used 4
        'n', 0, 0, 0,                                   // the name and its padding
    };
}

void buildModel(kneScene& scene, const ModelShape& desc)
{
    scene.setSceneName("robot scene");
    scene.setTimes(0.0f, float(desc.frames - 1));
    if (desc.rich) {
        scene.setSceneNameW(u"r\u00f6bot");
        scene.setComment("made by the tests");
        scene.addTexPath("tex\\body.bmp");
        scene.addTexPath("tex/arm.bmp");
        scene.addTexPath("");
    }
    kneSceneObject* model = scene.createObject("robot");
    kneIdTable& t = model->getTable();
    kneDataEntry nodes = kneScene::createObjectData(model, kneDataEntry::MODEL, desc.nodes, 1);
    uint8_t* elems = nodes.elementArray(t, kneNodeElement::SIZE);
    const uint32_t fbits = kneNodeElement::TRS | kneNodeElement::FLAG16;
    const uint32_t record = kneNodeElement::recordBytes(fbits);
    for (uint32_t i = 0; i < desc.nodes; ++i) {
        kneNodeElement node(elems + i * kneNodeElement::SIZE);
        node.setDepth(uint16_t(i == 0 ? 0 : 1 + (i % 3 == 2)));
        node.setFbits(fbits);
        std::string name = "node" + std::to_string(i);
        node.setName(t.storeString(name.c_str()));
        uint32_t data = t.alloc(record);
        uint8_t* p = t.resolve(data, record);
        for (int k = 0; k < 9; ++k)
            kneLE::putF32(p + 4 * k, k >= 6 ? 1.0f : float(i + k));
        kneLE::put16(p + 36, uint16_t(i % 8));
        node.setData(data);
        if (desc.verticesPerNode == 0)
            continue;
        kneDataList sub = node.getSubList();
        kneDataEntry verts = kneScene::createMeshData(model, sub, kneDataEntry::VERTEX_LIST,
                                                      desc.verticesPerNode, 1);
        uint32_t vbytes = desc.verticesPerNode * 24;
        uint32_t vh = t.alloc(vbytes);
        uint8_t* v = t.resolve(vh, vbytes);
        for (uint32_t k = 0; k < desc.verticesPerNode * 6; ++k)
            kneLE::putF32(v + 4 * k, float(k % 7) * 0.5f);
        kneLE::put32(verts.elementArray(t, 4), vh);
        kneDataEntry polys =
            kneScene::createMeshData(model, sub, kneDataEntry::POLYGON_LIST, 1, 1);
        uint32_t ph = t.alloc(6);
        std::memset(t.resolve(ph, 6), 0, 6);
        kneLE::put32(polys.elementArray(t, 4), ph);
    }
    kneSceneObject* motion = scene.createSubObject("robot motion");
    kneDataEntry frames = kneScene::createSubObjectData(motion, kneDataEntry::MODEL_MOTION,
                                                        desc.frames, desc.nodes);
    kneIdTable& mt = motion->getTable();
    uint8_t* fe = frames.elementArray(mt, 4);
    for (uint32_t i = 0; i < desc.nodes; ++i) {
        uint32_t bytes = desc.frames * record;
        uint32_t h = mt.alloc(bytes);
        std::memset(mt.resolve(h, bytes), int(i & 0x7F), bytes);
        kneLE::put32(fe + 4 * i, h);
    }
    scene.attach(model->getId(), motion->getId());
    if (desc.rich)
        scene.createSubObject("empty");
}

std::vector<uint8_t> write(kneScene& scene)
{
    std::vector<uint8_t> out;
    kneSceneWriter::writeBuffer(scene, out);
    return out;
}

} // namespace scenefx
