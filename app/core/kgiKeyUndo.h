#pragma once
// Entries of a character's key-edit history (function undo). The caller of
// an edit builds the entry and hands it to kgiCharacter::addKeyUndo, which
// owns it from then on; the character refreshes its key-time list and pose
// after each undo or redo step.
//
// Entries of single-key and range edits are built before their edit runs:
// their snapshots must see the keys the edit will destroy (and, for add,
// duplicate and paste, the values it will write). An entry is pushed only
// when its edit succeeded (the character's key edits say whether they
// ran); an entry built for a refused edit is dropped, or its redo would
// run the edit that was refused. Entries that can replay
// their edit call the character's key-edit operation instead of keeping a
// snapshot. Times are frames as floats; replayed edits truncate them.
#include <vector>

#include "kgiPoseDumper.h"
#include "kutUndoMgr.h"

class kgiCharacter;

class kgiKeysUndo : public kutUndoEntry {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Snapshot flag words: what is sampled, restored as a key at the time.
    enum SnapshotFlags : unsigned short {
        KEYS_AT = 264,  // the keys at a time, only on nodes that have one
        POSE = 257,     // the pose on screen
        FRAME_AT = 260, // the evaluated frame at a time, key or not
        BUFFERS = 272   // the copy buffers
    };

    // The owner outlives the entry: its own history holds it.
    explicit kgiKeysUndo(kgiCharacter* owner) : owner(owner) {}
    kgiCharacter* getOwner() const { return owner; }

protected:
    // A snapshot of the owner's model taken with the flag word; empty
    // without an owner or a model.
    void takeSnapshot(kgiPoseDumper& d, unsigned short flags, float t1, float t2) const;

    kgiCharacter* owner;
};

// A key added at `time` from the pose on screen.
class kgiAddKeyUndo : public kgiKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiAddKeyUndo(kgiCharacter* owner, float time);
    // The key that was there comes back, or the added key goes.
    void undo() override;
    void redo() override;

private:
    kgiPoseDumper before, after;
    float time;
};

// The key at `time` deleted.
class kgiRemKeyUndo : public kgiKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiRemKeyUndo(kgiCharacter* owner, float time);
    void undo() override;
    void redo() override;

private:
    kgiPoseDumper snapshot;
    float time;
};

// The key at `time` cut into the copy buffers.
class kgiCutKeyUndo : public kgiKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiCutKeyUndo(kgiCharacter* owner, float time);
    void undo() override;
    // Cuts again, so the buffers take the key again.
    void redo() override;

private:
    kgiPoseDumper snapshot;
    float time;
};

// The frame at `from` (a key or the evaluated pose) copied to `to`.
class kgiDupKeyUndo : public kgiKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiDupKeyUndo(kgiCharacter* owner, float from, float to);
    void undo() override;
    void redo() override;

private:
    kgiPoseDumper before, after;
    float to;
};

// The copy buffers pasted as a key at `time`.
class kgiPasteKeyUndo : public kgiKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiPasteKeyUndo(kgiCharacter* owner, float time);
    void undo() override;
    void redo() override;

private:
    kgiPoseDumper before, after;
    float time;
};

// The keys of frames first..last (both included), one snapshot per frame.
class kgiRangeKeysUndo : public kgiKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiRangeKeysUndo(kgiCharacter* owner, float first, float last);
    size_t getSnapshotCount() const { return snapshots.size(); }

protected:
    // A range whose snapshots are taken later (LATER), by the kind itself.
    enum Taken { LATER };
    kgiRangeKeysUndo(kgiCharacter* owner, float first, float last, Taken)
        : kgiKeysUndo(owner), first(first), count(last - first + 1.0f)
    {
    }
    // Writes every snapshot back as keys, in frame order.
    void restoreAll();
    // Deletes the keys of the range.
    void deleteRange();
    // One snapshot of the keys of each frame of the range that holds a key
    // on every keyed node, in frame order (empty without a model).
    void snapshotRange(std::vector<kgiPoseDumper>& out) const;

    std::vector<kgiPoseDumper> snapshots;
    float first;
    float count;
};

// The keys of a range deleted (build it before deleting).
class kgiRemKeysUndo : public kgiRangeKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiRemKeysUndo(kgiCharacter* owner, float first, float last) : kgiRangeKeysUndo(owner, first, last) {}
    void undo() override { restoreAll(); }
    void redo() override { deleteRange(); }
};

// Keys brought into a range (build it after they are in). The keys are
// what the range holds whenever this entry is undone (every later key edit
// has been undone by then), so they are taken then, as the first undo
// deletes them: an import of many keys costs no copy of them until it is
// undone, and the history holds none for it until then.
class kgiAddKeysUndo : public kgiRangeKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiAddKeysUndo(kgiCharacter* owner, float first, float last) : kgiRangeKeysUndo(owner, first, last, LATER) {}
    void undo() override;
    void redo() override { restoreAll(); }

private:
    bool taken = false;
};

// The keys of a range rewritten in place, the key times unchanged (a drag
// in the motion modes, the foot and base-part tools). Build it before the
// first rewrite, which keeps the keys as they were; call takeAfter once the
// rewrite is done to keep them as they became. Undo writes the first set
// back, redo the second (nothing before takeAfter). The keys as they became
// are what the range holds when the entry is undone, so they are copied
// then, by the first undo after takeAfter.
class kgiRekeyRangeUndo : public kgiRangeKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiRekeyRangeUndo(kgiCharacter* owner, float first, float last) : kgiRangeKeysUndo(owner, first, last) {}
    // Keeps the keys of the range as they are now; a second call replaces
    // the set the first one took.
    void takeAfter();
    bool hasAfter() const { return afterTaken; }
    void undo() override;
    void redo() override;

private:
    std::vector<kgiPoseDumper> after;
    bool afterTaken = false;
    // takeAfter was called and its keys are still in the range.
    bool afterPending = false;
};

// The keys of a range mirrored left to right; mirroring again undoes it.
class kgiFlipKeysUndo : public kgiKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiFlipKeysUndo(kgiCharacter* owner, float first, float last);
    void undo() override;
    void redo() override;

private:
    float start;
    float count;
};

// The keys of first..last copied to dest, later keys moved out of the way.
// Undo deletes the copies and closes the gap, also at dest 0: the frames
// are removed on the controllers directly, since the user's deleteFrames
// refuses frame 0 (later keys would otherwise stay shifted).
class kgiDupKeysUndo : public kgiKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiDupKeysUndo(kgiCharacter* owner, float first, float last, float dest);
    void undo() override;
    void redo() override;

private:
    float start;
    float count;
    float dest;
};

// Edits of the key-time list itself: key `index` dragged from `from` to
// `to`. Each step checks that the key is still at its time (exactly) and
// otherwise leaves the list as it is; the list is written back to the
// nodes either way.
class kgiPreservativeKeysUndo : public kgiKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    kgiPreservativeKeysUndo(kgiCharacter* owner, int index, float from, float to)
        : kgiKeysUndo(owner), index(index), from(from), to(to)
    {
    }

    // The list edits on an ascending list; false (list untouched) when key
    // `index` is missing or not at `from`.
    // Move: the key alone, stopping one frame short of its neighbours.
    static bool moveKey(std::vector<float>& times, int index, float from, float to);
    // Push: the keys before a key moved earlier, or after a key moved later,
    // go with it; a list pushed below 0 is shifted back to start at 0.
    static bool pushKeys(std::vector<float>& times, int index, float from, float to);
    // Pull: the keys on the other side follow; the dragged key stays one
    // frame clear of its neighbour and never goes below 0.
    static bool pullKeys(std::vector<float>& times, int index, float from, float to);

protected:
    typedef bool (*ListEdit)(std::vector<float>&, int, float, float);
    // Runs an edit on the owner's list and writes the list to the nodes.
    void apply(ListEdit edit, float a, float b);

    int index;
    float from;
    float to;
};

class kgiMoveKeyUndo : public kgiPreservativeKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    using kgiPreservativeKeysUndo::kgiPreservativeKeysUndo;
    void undo() override { apply(moveKey, to, from); }
    void redo() override { apply(moveKey, from, to); }
};

class kgiPushKeysUndo : public kgiPreservativeKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    using kgiPreservativeKeysUndo::kgiPreservativeKeysUndo;
    // A pull with the times exchanged.
    void undo() override { apply(pullKeys, to, from); }
    void redo() override { apply(pushKeys, from, to); }
};

class kgiPullKeysUndo : public kgiPreservativeKeysUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    using kgiPreservativeKeysUndo::kgiPreservativeKeysUndo;
    // A push with the times exchanged.
    void undo() override { apply(pushKeys, to, from); }
    void redo() override { apply(pullKeys, from, to); }
};
