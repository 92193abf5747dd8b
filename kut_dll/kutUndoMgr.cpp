#include "kutUndoMgr.h"

#include <algorithm>

const kutRtti kutUndoEntry::RTTI("kutUndoEntry", &kutObject::RTTI);
const kutRtti kutStateUndo::RTTI("kutStateUndo", &kutUndoEntry::RTTI);
const kutRtti kutUndoMgr::RTTI("kutUndoMgr", &kutObject::RTTI);

const kutRtti* kutUndoEntry::getRtti() const
{
    return &RTTI;
}

const kutRtti* kutStateUndo::getRtti() const
{
    return &RTTI;
}

void kutStateUndo::redo()
{
    undo();
}

const kutRtti* kutUndoMgr::getRtti() const
{
    return &RTTI;
}

kutUndoMgr::kutUndoMgr(ManageType mode_, int capacity_)
    : mode(mode_), capacity(0), count(0), undone(0), head(0), initial(nullptr)
{
    makeRing(capacity_);
}

kutUndoMgr::~kutUndoMgr()
{
    clear();
    delete initial;
}

void kutUndoMgr::makeRing(int n)
{
    // The ring index arithmetic divides by the capacity.
    capacity = std::max(1, n);
    ring.assign(static_cast<size_t>(capacity), nullptr);
    count = undone = head = 0;
}

void kutUndoMgr::store(int slot, kutUndoEntry* e)
{
    kutUndoEntry*& s = ring[static_cast<size_t>(slot)];
    if (s == e)
        return;
    // Hold the new record before releasing the old one.
    if (e)
        e->incRef();
    kutUndoEntry* old = s;
    s = e;
    if (old)
        old->decRef();
}

void kutUndoMgr::add(kutUndoEntry* e)
{
    if (!e)
        return;
    store(head, e);
    head = (head + 1) % capacity;
    count = count - undone + 1;
    undone = 0;
    if (count > capacity)
        count = capacity;
}

bool kutUndoMgr::undo()
{
    return mode == FUNCTION ? undoFunction() : undoState();
}

bool kutUndoMgr::redo()
{
    return mode == FUNCTION ? redoFunction() : redoState();
}

void kutUndoMgr::clear()
{
    for (int i = 0; i < capacity; ++i)
        store(i, nullptr);
    count = undone = head = 0;
}

void kutUndoMgr::resize(int n)
{
    n = std::max(1, n);
    if (n == capacity)
        return;
    clear();
    makeRing(n);
}

kutUndoEntry* kutUndoMgr::getCurrent() const
{
    return ring[static_cast<size_t>(head)];
}

kutUndoEntry* kutUndoMgr::getLast() const
{
    if (count == 0)
        return nullptr;
    const int slot = head == 0 ? capacity - 1 : head - 1;
    return ring[static_cast<size_t>(slot)];
}

void kutUndoMgr::allocateInitialState() {}

void kutUndoMgr::setInitial(kutStateUndo* s)
{
    if (!s || s == initial)
        return;
    delete initial;
    initial = s;
}

bool kutUndoMgr::next()
{
    if (undone == 0)
        return false;
    --undone;
    head = (head + 1) % capacity;
    return true;
}

bool kutUndoMgr::prev()
{
    if (undone == count)
        return false;
    ++undone;
    head = head == 0 ? capacity - 1 : head - 1;
    return true;
}

bool kutUndoMgr::undoFunction()
{
    if (count < 1 || !prev())
        return false;
    ring[static_cast<size_t>(head)]->undo();
    return true;
}

bool kutUndoMgr::redoFunction()
{
    if (count < 1)
        return false;
    kutUndoEntry* e = ring[static_cast<size_t>(head)];
    if (!next())
        return false;
    e->redo();
    return true;
}

bool kutUndoMgr::undoState()
{
    if (count < 1)
        return false;
    if (undone == 0) {
        // First undo since the last edit: keep the present state so that the
        // last undo can be redone.
        if (!initial)
            allocateInitialState();
        if (!initial)
            return false;
        initial->capture();
    }
    if (!prev())
        return false;
    ring[static_cast<size_t>(head)]->undo();
    return true;
}

bool kutUndoMgr::redoState()
{
    if (count < 1 || !next())
        return false;
    // The state after the redone edit is in the record after it, or, for the
    // newest edit, in the initial record.
    if (next()) {
        prev();
        ring[static_cast<size_t>(head)]->redo();
    } else if (initial) {
        initial->redo();
    }
    return true;
}
