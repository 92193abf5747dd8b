#include "kgiKeyUndo.h"

#include "kgiCharacter.h"
#include "kgiKeyEdit.h"
#include "kgiKmdData.h"
#include "kgiPoseFlip.h"
#include "ksgMotionController.h"
#include "ksgNode.h"

#include <utility>

const kutRtti kgiKeysUndo::RTTI("kgiKeysUndo", &kutUndoEntry::RTTI);
const kutRtti kgiAddKeyUndo::RTTI("kgiAddKeyUndo", &kgiKeysUndo::RTTI);
const kutRtti kgiRemKeyUndo::RTTI("kgiRemKeyUndo", &kgiKeysUndo::RTTI);
const kutRtti kgiCutKeyUndo::RTTI("kgiCutKeyUndo", &kgiKeysUndo::RTTI);
const kutRtti kgiDupKeyUndo::RTTI("kgiDupKeyUndo", &kgiKeysUndo::RTTI);
const kutRtti kgiPasteKeyUndo::RTTI("kgiPasteKeyUndo", &kgiKeysUndo::RTTI);
const kutRtti kgiRangeKeysUndo::RTTI("kgiRangeKeysUndo", &kgiKeysUndo::RTTI);
const kutRtti kgiRemKeysUndo::RTTI("kgiRemKeysUndo", &kgiRangeKeysUndo::RTTI);
const kutRtti kgiAddKeysUndo::RTTI("kgiAddKeysUndo", &kgiRangeKeysUndo::RTTI);
const kutRtti kgiRekeyRangeUndo::RTTI("kgiRekeyRangeUndo", &kgiRangeKeysUndo::RTTI);
const kutRtti kgiFlipKeysUndo::RTTI("kgiFlipKeysUndo", &kgiKeysUndo::RTTI);
const kutRtti kgiDupKeysUndo::RTTI("kgiDupKeysUndo", &kgiKeysUndo::RTTI);
const kutRtti kgiPreservativeKeysUndo::RTTI("kgiPreservativeKeysUndo", &kgiKeysUndo::RTTI);
const kutRtti kgiMoveKeyUndo::RTTI("kgiMoveKeyUndo", &kgiPreservativeKeysUndo::RTTI);
const kutRtti kgiPushKeysUndo::RTTI("kgiPushKeysUndo", &kgiPreservativeKeysUndo::RTTI);
const kutRtti kgiPullKeysUndo::RTTI("kgiPullKeysUndo", &kgiPreservativeKeysUndo::RTTI);

const kutRtti* kgiKeysUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiAddKeyUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiRemKeyUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiCutKeyUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiDupKeyUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiPasteKeyUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiRangeKeysUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiRemKeysUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiAddKeysUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiRekeyRangeUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiFlipKeysUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiDupKeysUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiPreservativeKeysUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiMoveKeyUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiPushKeysUndo::getRtti() const { return &RTTI; }
const kutRtti* kgiPullKeysUndo::getRtti() const { return &RTTI; }

namespace {

// Replayed edits take whole frames: truncation toward zero.
int frameOf(float t)
{
    return static_cast<int>(t);
}

} // namespace

void kgiKeysUndo::takeSnapshot(kgiPoseDumper& d, unsigned short flags, float t1, float t2) const
{
    d.setFlags(flags, t1, t2, -1);
    if (owner && owner->getRoot())
        d.dump(owner->getRoot());
}

kgiAddKeyUndo::kgiAddKeyUndo(kgiCharacter* owner, float time) : kgiKeysUndo(owner), time(time)
{
    takeSnapshot(before, KEYS_AT, time, time);
    takeSnapshot(after, POSE, -1.0f, time);
}

void kgiAddKeyUndo::undo()
{
    // No key was there before: the added key goes.
    if (!before.restore() && owner)
        owner->deleteKey(frameOf(time));
}

void kgiAddKeyUndo::redo()
{
    after.restore();
}

kgiRemKeyUndo::kgiRemKeyUndo(kgiCharacter* owner, float time) : kgiKeysUndo(owner), time(time)
{
    takeSnapshot(snapshot, KEYS_AT, time, time);
}

void kgiRemKeyUndo::undo()
{
    snapshot.restore();
}

void kgiRemKeyUndo::redo()
{
    if (owner)
        owner->deleteKey(frameOf(time));
}

kgiCutKeyUndo::kgiCutKeyUndo(kgiCharacter* owner, float time) : kgiKeysUndo(owner), time(time)
{
    takeSnapshot(snapshot, KEYS_AT, time, time);
}

void kgiCutKeyUndo::undo()
{
    snapshot.restore();
}

void kgiCutKeyUndo::redo()
{
    if (owner)
        owner->cutKey(frameOf(time));
}

kgiDupKeyUndo::kgiDupKeyUndo(kgiCharacter* owner, float from, float to) : kgiKeysUndo(owner), to(to)
{
    takeSnapshot(before, KEYS_AT, to, to);
    takeSnapshot(after, FRAME_AT, from, to);
}

void kgiDupKeyUndo::undo()
{
    if (!before.restore() && owner)
        owner->deleteKey(frameOf(to));
}

void kgiDupKeyUndo::redo()
{
    after.restore();
}

kgiPasteKeyUndo::kgiPasteKeyUndo(kgiCharacter* owner, float time) : kgiKeysUndo(owner), time(time)
{
    takeSnapshot(before, KEYS_AT, time, time);
    takeSnapshot(after, BUFFERS, -1.0f, time);
}

void kgiPasteKeyUndo::undo()
{
    if (!before.restore() && owner)
        owner->deleteKey(frameOf(time));
}

void kgiPasteKeyUndo::redo()
{
    after.restore();
}

kgiRangeKeysUndo::kgiRangeKeysUndo(kgiCharacter* owner, float first, float last)
    : kgiKeysUndo(owner), first(first), count(last - first + 1.0f)
{
    snapshotRange(snapshots);
}

namespace {

// The base key times in [from, to) of the first transform with a motion
// controller, the first node a snapshot of the keys reads: a time can only
// be taken where that node holds a key. found stays false in a tree
// without controllers.
class FirstKeyTimes : public ksgVisitor {
public:
    FirstKeyTimes(float from, float to) : from(from), to(to) {}
    ReturnType exec(ksgNode* node) override
    {
        if (!node->asTransform())
            return DESCEND;
        ksgMotionController* mc = getMotionController(node);
        if (!mc)
            return DESCEND;
        mc->getKeysTime(times, from, to, -1);
        while (!times.empty() && !(times.back() < to))
            times.pop_back();
        found = true;
        return STOP;
    }

    std::vector<float> times;
    bool found = false;

private:
    float from;
    float to;
};

} // namespace

void kgiRangeKeysUndo::snapshotRange(std::vector<kgiPoseDumper>& out) const
{
    out.clear();
    if (!owner || !owner->getRoot())
        return;
    // The frames to take: the key times of the range, found by search, so
    // the cost follows the keys there (and a key between whole frames is
    // taken too). A tree without controllers takes every whole frame.
    FirstKeyTimes keyed(first, first + count);
    ksgNullVisitor leave;
    owner->getRoot()->depthVisit(keyed, leave);
    if (keyed.found) {
        kgiPoseDumper::dumpKeys(owner->getRoot(), keyed.times, out);
        return;
    }
    std::vector<float> times;
    for (float t = first; t < first + count; t += 1.0f)
        times.push_back(t);
    kgiPoseDumper work;
    for (float t : times) {
        work.setFlags(KEYS_AT, t, t, -1);
        if (work.dump(owner->getRoot())) {
            out.push_back(std::move(work));
            work.clear();
        } else {
            // A frame where only some nodes hold a key leaves entries behind;
            // kept, they would be written at the next frame's time.
            work.clearEntries();
        }
    }
}

void kgiRangeKeysUndo::restoreAll()
{
    for (kgiPoseDumper& d : snapshots)
        d.restore();
}

void kgiRangeKeysUndo::deleteRange()
{
    if (owner)
        owner->deleteKeys(frameOf(first), frameOf(count));
}

void kgiAddKeysUndo::undo()
{
    if (!taken) {
        snapshotRange(snapshots);
        taken = true;
    }
    deleteRange();
}

void kgiRekeyRangeUndo::takeAfter()
{
    after.clear();
    afterTaken = true;
    afterPending = true;
}

void kgiRekeyRangeUndo::undo()
{
    if (afterPending) {
        snapshotRange(after);
        afterPending = false;
    }
    restoreAll();
}

void kgiRekeyRangeUndo::redo()
{
    for (kgiPoseDumper& d : after)
        d.restore();
}

kgiFlipKeysUndo::kgiFlipKeysUndo(kgiCharacter* owner, float first, float last)
    : kgiKeysUndo(owner), start(first), count(last - first + 1.0f)
{
}

void kgiFlipKeysUndo::undo()
{
    // Mirroring is its own inverse only over the same frames: the recorded
    // range is mirrored, whatever range the time line shows now.
    if (owner) {
        kgiPoseFlipper flipper;
        flipper.flipKeys(owner, frameOf(start), frameOf(start) + frameOf(count) - 1);
    }
}

void kgiFlipKeysUndo::redo()
{
    undo();
}

kgiDupKeysUndo::kgiDupKeysUndo(kgiCharacter* owner, float first, float last, float dest)
    : kgiKeysUndo(owner), start(first), count(last - first + 1.0f), dest(dest)
{
}

namespace {

// Closes the gap a range copy opened, frame 0 included (the user's
// deleteFrames refuses frame 0, which only the undo of a copy to frame 0
// needs).
class CloseGap : public kgiKeyVisitor {
public:
    CloseGap(float start, float count) : start(start), count(count) {}

protected:
    bool valid() const override { return start >= 0.0f && count > 0.0f; }
    ReturnType apply(ksgNode*, ksgMotionController* mc) override
    {
        mc->removeFrames(start, count, -1);
        return DESCEND;
    }

private:
    float start;
    float count;
};

} // namespace

void kgiDupKeysUndo::undo()
{
    if (!owner || !owner->getRoot())
        return;
    owner->deleteKeys(frameOf(dest), frameOf(count));
    CloseGap close(float(frameOf(dest)), float(frameOf(count)));
    ksgNullVisitor leave;
    owner->getRoot()->depthVisit(close, leave);
}

void kgiDupKeysUndo::redo()
{
    if (owner)
        owner->duplicateKeys(frameOf(start), frameOf(count), frameOf(dest));
}

void kgiPreservativeKeysUndo::apply(ListEdit edit, float a, float b)
{
    if (!owner)
        return;
    std::vector<float> times = owner->getKeyTimes();
    edit(times, index, a, b);
    owner->editKeyTimes() = times;
    owner->applyKeysInfo();
}
