#include "kgiPoseUndo.h"

const kutRtti kgiPoseUndoEntry::RTTI("kgiPoseUndoEntry", &kutStateUndo::RTTI);
const kutRtti kgiPoseUndoMgr::RTTI("kgiPoseUndoMgr", &kutUndoMgr::RTTI);

const kutRtti* kgiPoseUndoEntry::getRtti() const
{
    return &RTTI;
}

kgiPoseUndoEntry::kgiPoseUndoEntry(ksgNode* root)
{
    snapshot.setFlags(kgiPoseDumper::DEFAULT_FLAGS, -1.0f, -1.0f, -1);
    snapshot.setRoot(root);
    if (root)
        snapshot.dump(root);
}

kgiPoseUndoEntry::kgiPoseUndoEntry(const kgiPoseUndoEntry& other)
    : kutStateUndo(other), snapshot(other.snapshot)
{
}

void kgiPoseUndoEntry::undo()
{
    snapshot.restore();
}

void kgiPoseUndoEntry::capture()
{
    snapshot.clearEntries();
    if (snapshot.getRoot())
        snapshot.dump(snapshot.getRoot());
}

void kgiPoseUndoEntry::setRoot(ksgNode* root)
{
    snapshot.clearEntries();
    snapshot.setRoot(root);
}

const kutRtti* kgiPoseUndoMgr::getRtti() const
{
    return &RTTI;
}

kgiPoseUndoMgr::kgiPoseUndoMgr() : kutUndoMgr(kutUndoMgr::STATE, CAPACITY), root(nullptr) {}

void kgiPoseUndoMgr::setRoot(ksgNode* r)
{
    kutStateUndo* init = getInitial();
    if (init && init->isKind(&kgiPoseUndoEntry::RTTI))
        static_cast<kgiPoseUndoEntry*>(init)->setRoot(r);
    // Snapshots of the previous tree would write into freed nodes.
    clear();
    root = r;
}

void kgiPoseUndoMgr::allocateInitialState()
{
    setInitial(new kgiPoseUndoEntry(root));
}
