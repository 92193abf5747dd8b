#include "kgiMotionFlipConsole.h"

#include "kgiKmdData.h"
#include "kgiKmmFile.h"
#include "kgiModelData.h"
#include "kgiModelParts.h"
#include "kgiMotionFlip.h"
#include "kmlMatrix4.h"
#include "kmlVec3.h"

#include <algorithm>
#include <vector>

namespace {

bool isJoint(const kgiMeshRecord& r)
{
    return r.jointKind != kgiKmdData::NONE && r.jointKind != kgiKmdData::PART;
}

// Extent of the model at rest per axis: every vertex of every record placed
// by the rest matrices of the record and its ancestors.
void restExtent(const kgiModelEntry& entry, float size[3])
{
    std::vector<kmlMatrix4> worldAt; // by depth, the chain being walked
    kmlVec3 lo(1e30f, 1e30f, 1e30f), hi(-1e30f, -1e30f, -1e30f);
    bool any = false;
    for (const kgiMeshRecord& r : entry.records) {
        const size_t d = size_t(std::max(r.depth, 0));
        worldAt.resize(d + 1);
        const kmlMatrix4 local = kgiRecordLocalMatrix(&r, entry.frameLayout);
        worldAt[d] = d == 0 ? local : worldAt[d - 1] * local;
        for (int v = 0; r.vertices && v < r.vertexCount; ++v) {
            const float* p = r.vertices + size_t(v) * kgiMeshRecord::VERTEX_FLOATS;
            const kmlMatrix4& m = worldAt[d];
            for (int a = 0; a < 3; ++a) {
                const float w = m(a, 0) * p[0] + m(a, 1) * p[1] + m(a, 2) * p[2] + m(a, 3);
                lo[a] = std::min(lo[a], w);
                hi[a] = std::max(hi[a], w);
            }
            any = true;
        }
    }
    for (int a = 0; a < 3; ++a)
        size[a] = any ? hi[a] - lo[a] : 0.0f;
}

bool readInt(FILE* in, int& value)
{
    return std::fscanf(in, "%d", &value) == 1;
}

} // namespace

std::string kgiMotionFlipOutputPath(const std::string& motionPath)
{
    const size_t slash = motionPath.find_last_of('/');
    const size_t dot = motionPath.find_last_of('.');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExt ? motionPath.substr(0, dot) : motionPath) + "_flip.kmm";
}

int kgiRunMotionFlipConsole(const std::string& scenePath, const std::string& motionPath, FILE* in, FILE* out)
{
    std::fprintf(out, "=======  MotionFlip Test ========\n");
    kgiModelData scene;
    if (!scene.load(scenePath.c_str()) || scene.models.empty()) {
        std::fprintf(out, "cannot read the scene %s\n", scenePath.c_str());
        return 1;
    }
    kgiKmmFile motion;
    if (!motion.open(motionPath.c_str()) || !motion.readHeader() || !motion.readBody()) {
        std::fprintf(out, "cannot read the motion %s (status %d)\n", motionPath.c_str(), motion.getStatus());
        return 1;
    }
    motion.close();

    const kgiModelEntry& entry = scene.models[0];
    std::vector<int> depths;
    std::vector<int> types;
    std::vector<kgiKmmKey> rest;
    for (const kgiMeshRecord& r : entry.records) {
        if (!isJoint(r))
            continue;
        depths.push_back(r.depth);
        types.push_back(r.jointKind);
        kgiKmmKey key;
        const kmlMatrix4 m = kgiRecordLocalMatrix(&r, entry.frameLayout);
        for (int k = 0; k < 16; ++k)
            key.matrix[k] = m[k];
        rest.push_back(key);
    }
    const int joints = int(depths.size());
    if (joints < 1 || motion.getNodeCount() != joints || motion.getFrameCount() < 1) {
        std::fprintf(out, "the motion holds %d nodes, the scene %d joints\n", motion.getNodeCount(), joints);
        return 1;
    }

    const int last = motion.getFrameCount() - 1;
    std::fprintf(out, "Input frame Number (Max = %d)\n", last);
    int first = 0;
    int end = 0;
    std::fprintf(out, "First frame Number\n");
    const bool gotFirst = readInt(in, first);
    std::fprintf(out, "Last frame Number\n");
    if (!gotFirst || !readInt(in, end) || first < 0 || end < first || end > last) {
        std::fprintf(out, "frames 0 to %d only\n", last);
        return 1;
    }

    kgiMotionFlip flip;
    const int frames = end - first + 1;
    if (!flip.createMotion(joints, frames, 0)) {
        std::fprintf(out, "cannot make the buffer\n");
        return 1;
    }
    kgiKmmFile& buffer = flip.getMotion();
    for (int j = 0; j < joints; ++j) {
        const kgiKmmNode* node = motion.getNode(j);
        buffer.setNodeName(j, node->name.c_str());
        buffer.setNodeType(j, types[size_t(j)]);
        buffer.setNodeDepth(j, depths[size_t(j)]);
        for (int f = 0; f < frames; ++f)
            buffer.setKey(j, f, node->getKey(first + f)->matrix);
    }

    float size[3];
    restExtent(entry, size);
    if (!flip.setup(joints, depths.data(), types.data(), rest.data(), size[0], size[1], size[2]) ||
        !flip.compute(kgiMotionFlip::KEY_RANGE, -1)) {
        std::fprintf(out, "!!! Error !!! \n");
        std::fprintf(out, "ecode= %d   errNodeID= %d  \n", flip.getErrorCode(), flip.getErrorNode());
        return 2;
    }

    for (int j = 0; j < joints; ++j)
        for (int f = 0; f < frames; ++f)
            motion.setKey(j, first + f, buffer.getNode(j)->getKey(f)->matrix);
    const std::string target = kgiMotionFlipOutputPath(motionPath);
    if (!motion.writeMatrices(target.c_str())) {
        std::fprintf(out, "cannot write %s (status %d)\n", target.c_str(), motion.getStatus());
        return 1;
    }
    std::fprintf(out, "%s\n", target.c_str());
    return 0;
}
