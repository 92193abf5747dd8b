// An owned, time-ordered sequence of keys with the edits of the time line
// and the curve editor.
//
// The keys are kept in strictly ascending time order (no two at one time)
// and linked prev/next. Edits change key times through the key's virtual
// setTime. Any key removed by an edit is deleted at once: do not keep key
// pointers across edits, and do not change the time of a key in a curve
// other than through the curve. In smooth-edit mode (the default) the keys
// next to every edit recompute their tangents.
#ifndef KMLBASECURVE_H
#define KMLBASECURVE_H

#include <deque>
#include <vector>

#include "kmlBaseKey.h"

// Which keys shift moves along with the given key.
enum kmlCurveShiftType : int {
    KML_SHIFT_BEFORE = 0, // the key and every key before it
    KML_SHIFT_AFTER = 1,  // the key and every key after it
};

class kmlBaseCurve {
public:
    // timeStep: the spacing that shift keeps and the tolerance of
    // setKeysTime. The application uses one frame.
    explicit kmlBaseCurve(float timeStep = 0.001f);
    // Deep copies: each curve owns its keys.
    kmlBaseCurve(const kmlBaseCurve& o);
    kmlBaseCurve& operator=(const kmlBaseCurve& o);
    virtual ~kmlBaseCurve();

    // A new curve of the same kind with copies of the keys.
    virtual kmlBaseCurve* clone() const;
    // Replaces the keys by clones of src's (null or this changes nothing).
    // Kinds copy only from a curve of their own kind.
    virtual void copy(const kmlBaseCurve* src);
    // A new default key of this curve's kind.
    virtual kmlBaseKey* newKey() const;
    // Whether insert accepts the key (its kind matches the curve's).
    virtual bool validKey(kmlBaseKey* key) const;

    int getNumKeys() const { return static_cast<int>(keys.size()); }
    // Null outside 0..count-1.
    kmlBaseKey* getKey(int i) const;
    kmlBaseKey* getPrevKey(int i) const { return getKey(i - 1); }
    kmlBaseKey* getNextKey(int i) const { return getKey(i + 1); }
    float getMinTime() const { return minTime; }
    float getMaxTime() const { return maxTime; }
    float getTimeStep() const { return timeStep; }
    bool owns(const kmlBaseKey* key) const;
    bool hasKeyTime(float t) const { return getKeyIndex(t) != -1; }
    void getKeysTime(std::vector<float>& out) const;

    // Index of the key at exactly t, else -1.
    int getKeyIndex(float t) const;
    // Index of the last key before t, else -1.
    int getPrevKeyIndex(float t) const;
    // Index of the first key after t; the count when the last key is at t;
    // -1 when every key is before t.
    int getNextKeyIndex(float t) const;

    // Takes ownership of key and inserts it in time order, replacing (and
    // deleting) a key at the same time. False for a null key, a key of the
    // wrong kind, a key this curve already owns, or a non-finite time; the
    // caller keeps the key then.
    bool insert(kmlBaseKey* key);
    // Removes the key at t.
    bool remove(float t);
    // Removes the keys with t <= time < t + dt. True even when none lies
    // there; false when no key is at or after t.
    bool remove(float t, float dt);
    // Moves the key at from to time to; a key already at to takes over the
    // moved key's data. Moving a key to its own time changes nothing.
    bool move(float from, float to);
    // Moves the key at t together with the keys before (KML_SHIFT_BEFORE) or
    // after (KML_SHIFT_AFTER) it by dt. Towards the other keys the block stops
    // timeStep short of the next one. False when the block cannot move
    // without reaching a neighbour at float precision.
    bool shift(float t, float dt, kmlCurveShiftType type);
    // Copies the key at from to time to (onto a key already there).
    bool duplicate(float from, float to);
    // Copies the keys with t <= time < t + dt to start at dest; every key at
    // or after dest moves dt later to make room. dt < 0 is refused.
    bool duplicateRange(float t, float dt, float dest);
    // Gives the i-th key the i-th time when they differ by more than
    // timeStep. Applied only when there is one finite time per key and the
    // resulting times are strictly ascending; otherwise nothing changes and
    // the result is false.
    bool setKeysTime(const std::vector<float>& times);

    // Deletes every key.
    void clear();
    void smoothEdit(bool on) { smooth = on; }
    bool isSmoothEdit() const { return smooth; }
    // With true, the insertions that follow (insert and the edits that
    // insert copies) leave the tangent updates of smooth-edit mode until
    // false: each inserted key and its neighbours are then recomputed once.
    // The curve is the one the insertions one by one give, since a key's
    // tangents follow only from its neighbours' times and values; a batch
    // of n keys then costs n updates instead of three per key. Any other
    // edit first brings the deferred updates up to date; do not evaluate
    // the curve in between.
    void deferUpdates(bool on);
    bool isDeferringUpdates() const { return deferring; }
    // minTime and maxTime from the first and last key (0 and 0 when empty).
    void updateRange();
    // Recomputes the tangents of the key at t and of `before` keys before and
    // `after` keys after it (-1: all of them). Nothing for other values below
    // -1 or when no key is at t.
    void update(float t, int before, int after);

protected:
    void insertInternal(int i, kmlBaseKey* key);
    // Puts key in the place of key i (same time), deleting the old key.
    void replaceInternal(int i, kmlBaseKey* key);
    // Runs the tangent updates the insertions deferred.
    void flushDeferred();
    // Whether key, a live key, is one of this curve's keys.
    bool holdsLiveKey(const kmlBaseKey* key) const;
    void removeInternal(int i);
    void removeInternal(int a, int b);
    void moveInternal(int from, int to, float toTime, bool onto);
    bool shiftInternal(int start, int end, kmlCurveShiftType type, float dt);
    void duplicateInternal(int from, int to, float toTime, bool onto);
    bool duplicateRangeInternal(int first, int last, int dest, float t, float dt, float destTime);
    void updateInternal(int i, int before, int after);

    // Copies src's settings and clones of its keys (no kind check).
    void copyFrom(const kmlBaseCurve& src);
    // Index at which a key at time t goes: after every earlier key.
    int insertIndex(float t) const;
    // Index of the first key at or after t / after t (the count when none).
    int lowerIndex(float t) const;
    int upperIndex(float t) const;
    // Links keys[i] with its neighbours in the list.
    void relink(int i);
    // Gives dst the data of src but keeps dst's place in the curve.
    static void copyKeepingLinks(kmlBaseKey* dst, const kmlBaseKey* src);

    // The tangents an insertion leaves to deferUpdates(false): smooth-edit
    // mode with updates deferred.
    bool defersTangents() const { return smooth && deferring; }

    std::deque<kmlBaseKey*> keys;
    // Times of the keys inserted while updates are deferred.
    std::vector<float> deferredTimes;
    bool deferring = false;
    bool smooth;
    float minTime;
    float maxTime;
    float timeStep;
};

#endif
