#pragma once
// One loaded robot model: the node tree built from a project file, the
// frames that hold keys, and the key-edit history. Every key edit of the
// program goes through a character, which runs the key-edit visitors over
// its whole model so that all nodes keep their keys at the same frames.
//
// Frames handed to the edits are whole numbers; they become float times
// for the visitors and the motion controllers. Edits on a character
// without a model (before a successful load) do nothing.
#include "kgcAxisAlignedBox.h"
#include "kgiModelBuilder.h"
#include "kgiPoseFlip.h"
#include "kgiPoseUndo.h"
#include "kutObject.h"
#include "kutUndoMgr.h"

#include <string>
#include <vector>

class kgiHandSet;
class kgiKeyVisitor;
class ksgNode;
class ksgVisitor;

class kgiCharacter : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Entries each undo history keeps.
    static const int UNDO_CAPACITY = 32;
    // Frames per second of a loaded robot motion.
    static constexpr float FRAMES_PER_SECOND = 33.333f;

    kgiCharacter();
    ~kgiCharacter() override;
    kgiCharacter(const kgiCharacter&) = delete;
    kgiCharacter& operator=(const kgiCharacter&) = delete;

    // Drops the model and the key-time list. Both histories lose what they
    // recorded on a dropped model: their snapshots point into the freed tree.
    // With a model, the freed-tree notice (kgiFreedTreeNotice.h) goes out
    // first, while the tree still stands.
    void reset();
    // Builds the model from a project (".ts"). On failure the builder has
    // shown its message and the character is unchanged.
    bool load(const std::string& path);
    // Takes a tree made elsewhere as the model; its name becomes the
    // character's. The character does not free it.
    void attachRoot(ksgNode* node);
    // The character's own name, else the project's file name, else "".
    std::string getName() const;
    // Writes the keys into the project's motion-key file and saves the
    // project (kgiModelBuilder::saveMotion).
    bool saveMotion(const std::string& path);

    // Bounds of the model (refreshed by updateBounds), then the pose
    // history's root and the key-time list.
    void updateBounds();
    const kgcAxisAlignedBox& getBounds() const { return bounds; }
    // Evaluates the model at an absolute time in frames; nothing without a
    // model.
    void setTime(float time);
    // Re-evaluates the model at the controllers' present time and runs the
    // collision check; every edit ends with it.
    void refresh();
    // Depth-first search by exact name; null when absent.
    ksgNode* findNode(const std::string& name) const;

    ksgNode* getRoot() const { return root; }
    kgiModelBuilder& getBuilder() { return builder; }
    const kgiModelBuilder& getBuilder() const { return builder; }

    // Key-time list: the frames that hold keys, ascending, as the first
    // node with keys reports them.
    void updateKeysInfo();
    void updateKeysInfoFrom(ksgNode* node);
    // Writes keyTimes (edited in place by the caller) to every node, then
    // refreshes. Use it after a move, push or pull of the list.
    void applyKeysInfo();
    const std::vector<float>& getKeyTimes() const { return keyTimes; }
    std::vector<float>& editKeyTimes() { return keyTimes; }
    int getKeyCount() const { return keyCount; }
    // Last key time + 1, truncated; 0 without keys.
    int getFrameCount() const { return frameCount; }

    // Key edits over the whole model. Each refreshes the key-time list and
    // the pose afterwards (copyFrame excepted: it changes no key) and
    // returns whether it ran: false without a model, or when its arguments
    // are refused (a negative frame, frame 0 for deleteFrames and
    // insertFrames, an empty range). A caller pushes its undo entry only
    // when the edit ran. addKey also refuses, with the "Warning - 153" box,
    // once the key-time list has reached the Keys_MAX setting.
    bool addKey(int frame);
    // addKey at a time that need not be a whole frame (the re-keying tools
    // key a fractional key at its own time); a negative or non-finite time
    // is refused.
    bool addKeyAt(float time);
    bool deleteKey(int frame);
    bool duplicateKey(int from, int to);
    bool duplicateKeys(int start, int count, int dest);
    bool deleteKeys(int start, int count);
    bool deleteFrames(int start, int count);
    bool insertFrames(int start, int count);
    bool copyFrame();
    bool cutKey(int frame);
    bool pasteKey(int frame);

    // Brings the keys of another project's motion in at frame `at`: the
    // keys of at .. at + its last key frame are deleted first (one
    // kgiRemKeysUndo), then every scene object whose name is that of a
    // joint of the installed kgiPartTable gives that joint its keys,
    // shifted by `at` (one kgiAddKeysUndo). Keys at or past `limit` are
    // left out unless limit < at (callers pass -1: everything). The joints
    // are walked up to the table's count and past its null entries, so a
    // joint the model lacks does not end the import; a joint node without
    // a transform or controller, and a key frame the object does not hold,
    // are skipped. False when the file cannot be loaded or holds no keys
    // (nothing changed), and after the "Warning - 153" box when the keys
    // would pass Keys_MAX: the deleted range then stays deleted, with its
    // undo entry.
    bool importMotion(const std::string& path, int at, int limit);
    // The same from a file already read by readMotion, for callers that
    // look at the keys before anything changes.
    bool importMotion(const kgiModelBuilder& source, int at, int limit);
    // Reads a motion-key project for importMotion; false when it cannot be
    // loaded (after the reader's box).
    static bool readMotion(const std::string& path, kgiModelBuilder& source);
    // The key count of the first model of a read motion; 0 without keys.
    static int motionKeyCount(const kgiModelBuilder& source);

    // Key edits made while a batch is open leave the key-time list and the
    // refreshed pose to the batch's end, once (nested batches: the
    // outermost): for a run of re-keys at the keys' own times, which change
    // no key time. The edits themselves run as they come.
    class KeyBatch {
    public:
        explicit KeyBatch(kgiCharacter* character);
        ~KeyBatch();
        KeyBatch(const KeyBatch&) = delete;
        KeyBatch& operator=(const KeyBatch&) = delete;

    private:
        kgiCharacter* character;
    };

    // The key-edit history (function undo, 32 entries). The history takes
    // the entry and frees it when it falls out; adding does not run it.
    void addKeyUndo(kutUndoEntry* entry);
    // One step; the key-time list and the pose are refreshed when a step ran.
    bool undoKeys();
    bool redoKeys();
    kutUndoMgr& getKeyUndo() { return keyUndo; }

    // The pose-edit history (state undo, 32 entries). addPoseUndo records
    // the present pose; call it before the pose changes. undoPose/redoPose
    // refresh the model when a step ran and return whether one did.
    void addPoseUndo();
    bool undoPose();
    bool redoPose();
    kgiPoseUndoMgr& getPoseUndo() { return poseUndo; }

    // Left-right mirroring (kgiPoseFlipper), each then refreshing the model.
    // The world supplies the current time, the frame range and the mirror
    // mode; the pose flips record a pose undo entry unless mirror mode is
    // on. False without a model or when the flip failed (after its box).
    // flipPose mirrors the whole pose, mirrorPose gives the limb on the
    // other side of `from` the mirror image of from's limb.
    bool flipPose();
    bool mirrorPose(ksgNode* from);
    // Mirrors the keys of frames start .. start + count - 1 (the range-flip
    // command passes the world's range and records it in its
    // kgiFlipKeysUndo). No refresh: the key history refreshes after a step.
    bool flipKeys(int start, int count);
    // Builds and drops a flipper; true.
    bool checkFlipper();

    void emptyOperation(int) {}

    // Hands: with a model and no hand set held, looks for the finger joints
    // of the model's hands (kgiFindHS) and keeps the set it finds. Whether a
    // set is held. Both are defined with the hand rig in the 3D view; reset,
    // a load and the destructor drop the set, whose nodes belong to the tree.
    bool findHands();
    kgiHandSet* getHandSet() const;

private:
    // Runs a key visitor depth-first over the model; false without one.
    bool runVisitor(ksgVisitor& visitor);
    // runVisitor, then the key-time list and the pose; false when there is
    // no model or the visitor refused its arguments.
    bool runEdit(kgiKeyVisitor& visitor);
    void warnKeysMax();
    // The flipper's context: the world's times, this character's history.
    kgiPoseFlipper::Context flipContext();

    kgiModelBuilder builder;
    int frameCount = 0;
    int keyCount = 0;
    std::vector<float> keyTimes;
    bool ownName = true;
    ksgNode* root = nullptr; // the builder's tree, or an attached one
    std::string name;
    kgcAxisAlignedBox bounds;
    kgiPoseUndoMgr poseUndo;
    kutUndoMgr keyUndo;
    // A kgiHandSet (owned), held by its base so that the core deletes it
    // without the rig's code.
    kutObject* handSet = nullptr;
    // Open key batches, and whether an edit ran in them.
    int batchDepth = 0;
    bool batchEdited = false;
};
