#pragma once
// Left-right mirroring of a character: its pose, the keys of a frame range,
// or the limb on the other side of one joint. Gathers the joints' rest
// matrices, depths and types, samples the pose into the engine's buffer,
// mirrors it (kgiMotionFlip) and writes the result back into the nodes.
// Failures show one "Error - Flip" box and leave the nodes untouched.
//
// A joint is a node whose kgiKmdData type is neither 0 nor 5, taken in
// depth-first order; index i of every buffer is the joint with motion-file
// id i. Build a flipper for one flip and drop it.
#include <string>
#include <vector>

#include "kgiKmmFile.h"
#include "kgiMotionFlip.h"
#include "ksgVisitor.h"

class kgiCharacter;
class kgiPoseUndoMgr;
class ksgNode;
class ksgTransform;

class kgiPoseFlipper {
public:
    enum Mode {
        POSE = 0,     // the pose; `world` 1 mirrors the root too
        KEYS = 1,     // the keys of the frame range
        FROM_NODE = 2 // the partner limb of the node takes its mirror image
    };

    // What a flip reads of the world state: the character the node belongs
    // to, the frame range (key mode), the current time, the character's
    // pose history and the mirror-mode switch: pose flips record one pose
    // undo entry first, unless mirror mode is on or there is no history.
    struct Context {
        kgiCharacter* character = nullptr;
        float startFrame = 0.0f;
        float endFrame = 0.0f;
        float currentTime = 0.0f;
        bool mirrorMode = false;
        kgiPoseUndoMgr* poseUndo = nullptr;
    };

    // Gathers the joints' depths, types and rest matrices (the controller's
    // default, else the local matrix).
    class CollectFlipData : public ksgVisitor {
    public:
        explicit CollectFlipData(kgiPoseFlipper& flipper) : flipper(&flipper) {}
        ReturnType exec(ksgNode* node) override;

    private:
        kgiPoseFlipper* flipper;
        int index = 0;
    };

    // Writes the mirrored buffer back: as local matrices (pose), or as keys
    // at the frames of the range where the joint already has one.
    class UpdateFromFlipData : public ksgVisitor {
    public:
        UpdateFromFlipData(kgiKmmFile& buffer, int mode, int first, int last)
            : buffer(&buffer), mode(mode), first(first), last(last)
        {
        }
        ReturnType exec(ksgNode* node) override;

    private:
        kgiKmmFile* buffer;
        int mode;
        int first;
        int last;
        int index = 0;
    };

    kgiPoseFlipper() = default;
    kgiPoseFlipper(const kgiPoseFlipper&) = delete;
    kgiPoseFlipper& operator=(const kgiPoseFlipper&) = delete;

    // Mirrors the context's character, whose model holds `node` (Mode).
    // False, silently, when the node is not in that character's model or
    // the model root has no motion controller; false after a box for the
    // other failures.
    bool flipPose(ksgNode* node, int mode, int world, const Context& context);
    // The same with the context read from the world: the character whose
    // model holds the node, its pose history, the world's frame range,
    // current time and mirror mode.
    bool flipPose(ksgNode* node, int mode, int world);
    // That context, for the node's character (null character when no
    // character of the world holds the node).
    static Context worldContext(ksgNode* node);
    // Key mode over frames first..last of the character, whatever range the
    // world shows (undo of a key-range flip mirrors the range it recorded).
    // A range of less than one frame (last < first) gives false, silently.
    bool flipKeys(kgiCharacter* character, int first, int last);
    // Sizes the buffers and creates the engine's pose buffer for the model.
    bool flipPoseData(ksgTransform* root, int mode, const Context& context);

    int getJointCount() const { return jointCount; }
    const kgiMotionFlip& getEngine() const { return motionFlip; }

private:
    // The name of the node with a motion-file id, "" when none.
    static std::string nodeName(ksgNode* root, int id);
    void fail(const std::string& text) const;

    std::vector<int> types;
    std::vector<kgiKmmKey> restKeys;
    std::vector<int> depths;
    kgiMotionFlip motionFlip;
    int jointCount = 0;
    float firstFrame = 0.0f;
    float lastFrame = 0.0f;
};
