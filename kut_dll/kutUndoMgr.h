#pragma once
// Bounded undo/redo history of reference-counted edit records.
//
// Function mode: each record reverts (undo) and re-applies (redo) its own
// edit. State mode: each record is a snapshot of the state taken before its
// edit; the manager keeps one more snapshot, the initial record, of the
// newest state so that the last undo can be redone. A state-mode manager
// must override allocateInitialState, or it cannot undo.
#include "kutObject.h"

#include <vector>

// An edit record. The manager holds it by reference count: create it with
// new, hand it to add, and let the history release it.
class kutUndoEntry : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Revert the edit.
    virtual void undo() = 0;
    // Re-apply the edit.
    virtual void redo() = 0;
};

// A snapshot record for state mode.
class kutStateUndo : public kutUndoEntry {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Restore the state held in this record.
    void undo() override = 0;
    // Restoring a snapshot is re-applying it: calls undo.
    void redo() override;
    // Store the present state into this record.
    virtual void capture() = 0;
};

class kutUndoMgr : public kutObject {
public:
    // FUNCTION runs the records' own undo and redo; any other value is state
    // mode (fixed to int so that every such value is a valid ManageType).
    enum ManageType : int { STATE = 0, FUNCTION = 1 };

    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // A capacity below 1 is taken as 1.
    explicit kutUndoMgr(ManageType mode = FUNCTION, int capacity = 32);
    // A manager owns its records' holds and its initial record: it is never
    // copied.
    kutUndoMgr(const kutUndoMgr&) = delete;
    kutUndoMgr& operator=(const kutUndoMgr&) = delete;
    // Releases every record still in the ring and deletes the initial record.
    ~kutUndoMgr() override;

    // Records an edit that has already been made (add does not run it) and
    // takes a counted hold on it. The records that could have been redone
    // become unreachable; once the ring is full the oldest falls out. Null is
    // ignored.
    void add(kutUndoEntry* e);
    // One step back or forward; false when there is nothing to step over.
    bool undo();
    bool redo();

    // Releases every record; the initial record stays.
    void clear();
    // A new capacity (below 1 taken as 1) empties the history; the same
    // capacity keeps it.
    void resize(int capacity);

    // The record in the slot the next add fills (null when empty).
    kutUndoEntry* getCurrent() const;
    // The record just before that slot; null when the history is empty.
    kutUndoEntry* getLast() const;
    kutStateUndo* getInitial() const { return initial; }

protected:
    // State mode calls this on the first undo when there is no initial
    // record: create a record of the present state and pass it to setInitial.
    // The base creates nothing.
    virtual void allocateInitialState();
    // Takes ownership of s and deletes the previous initial record; null
    // changes nothing.
    void setInitial(kutStateUndo* s);

    // Cursor steps over the ring; false at either end of the history.
    bool next();
    bool prev();

    bool undoFunction();
    bool redoFunction();
    bool undoState();
    bool redoState();

private:
    // Puts e into a ring slot, releasing the former occupant.
    void store(int slot, kutUndoEntry* e);
    void makeRing(int capacity);

    ManageType mode;
    int capacity;
    int count;  // reachable records, 0..capacity
    int undone; // records stepped back over and not yet redone, 0..count
    int head;   // slot the next add fills; undo and redo move it
    std::vector<kutUndoEntry*> ring;
    kutStateUndo* initial;
};
