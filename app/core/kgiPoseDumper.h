#pragma once
// A snapshot of the pose of a node tree, one entry per transform, put back
// later as local matrices or as key frames at a chosen time. Key undo, pose
// undo and the onion-skin ghosts all work through it.
#include <utility>
#include <vector>

#include "kmlMatrix4.h"
#include "ksgVisitor.h"

class ksgMotionFrame;
class ksgNode;

// One node's sampled pose: a frame of the node's motion controller (null
// when the node has none) and a local matrix. Copies clone the frame.
struct kgiPoseEntry {
    ksgMotionFrame* frame = nullptr;
    kmlMatrix4 local;

    kgiPoseEntry() = default;
    kgiPoseEntry(const kgiPoseEntry& other);
    kgiPoseEntry& operator=(const kgiPoseEntry& other);
    // A move takes the frame over; the source is left without one.
    kgiPoseEntry(kgiPoseEntry&& other) noexcept;
    kgiPoseEntry& operator=(kgiPoseEntry&& other) noexcept;
    ~kgiPoseEntry();
};

// A snapshot's entries by node, kept in the order of the nodes' addresses
// (a map's order) in one block: a snapshot of a tree costs one allocation
// for its entries instead of one for each.
class kgiPoseSnapshot {
public:
    // The node's entry; null when it has none.
    kgiPoseEntry* find(ksgNode* node);
    const kgiPoseEntry* find(ksgNode* node) const;
    // The node's entry becomes entry (added or replaced).
    void assign(ksgNode* node, kgiPoseEntry&& entry);
    // Adds the entry of a node after every node held (nodes given in the
    // order of their addresses).
    void append(ksgNode* node, kgiPoseEntry&& entry) { entries.emplace_back(node, std::move(entry)); }
    // Puts entries appended in any order, one a node, into the nodes' order.
    void sortByNode();
    void reserve(size_t n) { entries.reserve(n); }
    void clear() { entries.clear(); }
    bool empty() const { return entries.empty(); }
    size_t size() const { return entries.size(); }

private:
    std::vector<std::pair<ksgNode*, kgiPoseEntry>> entries;
};

class kgiPoseDumper : public ksgVisitor {
public:
    // One sample bit and one restore bit make the flag word. Values in use:
    // 65 (local matrices both ways), 257 (local matrix, restored as a key),
    // 264 (keys only, restored as keys), 516 (evaluated frame, never restored).
    enum Flag : unsigned short {
        SAMPLE_LOCAL = 0x1,    // the node's local matrix
        SAMPLE_FRAME = 0x4,    // the controller's frame at time1
        SAMPLE_KEY = 0x8,      // as SAMPLE_FRAME, only where a key is at time1
        SAMPLE_BUFFER = 0x10,  // the controller's copy buffer
        SAMPLE_DEFAULT = 0x20, // the controller's default matrix
        RESTORE_LOCAL = 0x40,  // set each node's local matrix
        RESTORE_KEY = 0x100,   // add each entry as a key at time2 on the layer
        RESTORE_NONE = 0x200,  // restoring fails
        RESTORE_MASK = 0x1C0
    };
    enum : unsigned short { DEFAULT_FLAGS = SAMPLE_LOCAL | RESTORE_LOCAL };

    typedef kgiPoseSnapshot Snapshot;

    // Writes a snapshot back over the tree it walks; nodes without an entry
    // are passed over.
    class RestorePose : public ksgVisitor {
    public:
        RestorePose(Snapshot& snapshot, float time2, unsigned short flags, int layer)
            : snapshot(&snapshot), time2(time2), flags(flags), layer(layer)
        {
        }
        ReturnType exec(ksgNode* node) override;

    private:
        Snapshot* snapshot;
        float time2;
        unsigned short flags;
        int layer;
    };

    // Empty, flags 65, layer -1, both times -1.
    kgiPoseDumper();
    kgiPoseDumper(const kgiPoseDumper& other) = default;
    kgiPoseDumper& operator=(const kgiPoseDumper& other) = default;
    // A move takes the entries over without copying their frames.
    kgiPoseDumper(kgiPoseDumper&& other) noexcept = default;
    kgiPoseDumper& operator=(kgiPoseDumper&& other) noexcept = default;
    ~kgiPoseDumper() override = default;

    // Keeps one sample choice (the first of 4, 8, 16, 32 present, else 1)
    // and one restore choice (0x100 over 0x40, else 0x200); t1 is kept only
    // for the frame samples and t2 only for restoring as keys.
    void setFlags(unsigned short flags, float t1, float t2, int layer);
    unsigned short getFlags() const { return flags; }
    float getTime1() const { return time1; }
    float getTime2() const { return time2; }
    int getLayer() const { return layer; }

    // Remembers the tree to restore into; false for null.
    bool setRoot(ksgNode* node);
    ksgNode* getRoot() const { return root; }

    // Samples every transform of the subtree (and its later siblings, as
    // every depth walk does). Adds to or replaces earlier entries: clear
    // first for a fresh snapshot. With SAMPLE_KEY the walk stops at the
    // first node without a key at time1 and returns false, keeping the
    // entries taken before it.
    bool dump(ksgNode* node);
    // The snapshots of the keys at ascending times: for each time, the
    // dumper that setFlags(SAMPLE_KEY | RESTORE_KEY, t, t, -1) and dump(node)
    // give when the dump succeeds, appended to out in time order (a time at
    // which a node with a motion controller holds no key gives none). One
    // walk of the tree and one look at each key of the span, where dumps
    // time by time walk the tree and search every curve at every time.
    static void dumpKeys(ksgNode* node, const std::vector<float>& times, std::vector<kgiPoseDumper>& out);
    // Writes the entries back into the remembered tree; false when there is
    // no entry or no root, or when a node refused (entries written before
    // it stay written). The tree must still be alive.
    bool restore();

    // The entry's frame as a matrix, or its local matrix when it has no
    // frame; false when the node has no entry.
    bool getEntryMatrix(ksgNode* node, kmlMatrix4& out) const;

    // Frees the entries and returns to the constructor's state; true.
    bool clear();
    // Frees the entries only; root, flags and times stay.
    void clearEntries() { snapshot.clear(); }
    bool isEmpty() const { return snapshot.empty(); }
    size_t getEntryCount() const { return snapshot.size(); }

    ReturnType exec(ksgNode* node) override;

private:
    bool sample(ksgNode* node, kgiPoseEntry& entry) const;

    Snapshot snapshot;
    ksgNode* root;
    unsigned short flags;
    int layer;
    float time1;
    float time2;
    // A dump into an empty snapshot appends as it walks (a walk meets each
    // node once) and puts the entries in order once at the end.
    bool appendWalk = false;
};
