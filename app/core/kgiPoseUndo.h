#pragma once
// Undo of pose edits by state: each record is a snapshot of the local
// matrices of a whole model, taken before the edit. Key frames are never
// touched; key edits have their own history.
#include "kgiPoseDumper.h"
#include "kutUndoMgr.h"

class ksgNode;

class kgiPoseUndoEntry : public kutStateUndo {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Snapshots the subtree of root at once (nothing for null).
    explicit kgiPoseUndoEntry(ksgNode* root);
    kgiPoseUndoEntry(const kgiPoseUndoEntry& other);

    // Puts the stored local matrices back; the tree must still be alive.
    void undo() override;
    // Samples the present pose of the stored root again.
    void capture() override;
    // Empties the snapshot and remembers another root, without sampling.
    void setRoot(ksgNode* root);

    const kgiPoseDumper& getSnapshot() const { return snapshot; }

private:
    kgiPoseDumper snapshot;
};

class kgiPoseUndoMgr : public kutUndoMgr {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // A capacity of 32 pose edits.
    static constexpr int CAPACITY = 32;

    // State mode, no root.
    kgiPoseUndoMgr();

    // Tells the history that the model root was replaced (a load). Call it
    // only when the tree changes: the recorded snapshots refer to the nodes
    // of the old tree, which may already be freed, so they are dropped, and
    // the initial record moves to the new root. Null also drops them (the
    // tree is gone and nothing can be restored).
    void setRoot(ksgNode* root);
    ksgNode* getRoot() const { return root; }

protected:
    void allocateInitialState() override;

private:
    ksgNode* root;
};
