#include "kmlBaseCurve.h"

#include <algorithm>
#include <cmath>

namespace {
bool finite(float x) { return std::isfinite(x); }

bool strictlyAscending(const std::vector<float>& t)
{
    for (size_t i = 0; i < t.size(); ++i) {
        if (!finite(t[i])) return false;
        if (i > 0 && !(t[i - 1] < t[i])) return false;
    }
    return true;
}
} // namespace

kmlBaseCurve::kmlBaseCurve(float step) : smooth(true), minTime(0.0f), maxTime(0.0f), timeStep(step) {}

kmlBaseCurve::kmlBaseCurve(const kmlBaseCurve& o)
    : smooth(o.smooth), minTime(0.0f), maxTime(0.0f), timeStep(o.timeStep)
{
    copyFrom(o);
}

kmlBaseCurve& kmlBaseCurve::operator=(const kmlBaseCurve& o)
{
    if (this != &o) copyFrom(o);
    return *this;
}

kmlBaseCurve::~kmlBaseCurve()
{
    clear();
}

kmlBaseCurve* kmlBaseCurve::clone() const
{
    kmlBaseCurve* c = new kmlBaseCurve(timeStep);
    c->copy(this);
    return c;
}

void kmlBaseCurve::copy(const kmlBaseCurve* src)
{
    if (!src || src == this) return;
    copyFrom(*src);
}

void kmlBaseCurve::copyFrom(const kmlBaseCurve& src)
{
    clear();
    smooth = src.smooth;
    minTime = src.minTime;
    maxTime = src.maxTime;
    timeStep = src.timeStep;
    for (const kmlBaseKey* k : src.keys) {
        keys.push_back(k->clone());
        relink(static_cast<int>(keys.size()) - 1);
    }
    if (smooth)
        for (kmlBaseKey* k : keys) k->update();
}

kmlBaseKey* kmlBaseCurve::newKey() const
{
    return new kmlBaseKey();
}

bool kmlBaseCurve::validKey(kmlBaseKey* key) const
{
    return key != nullptr;
}

kmlBaseKey* kmlBaseCurve::getKey(int i) const
{
    if (i < 0 || i >= getNumKeys()) return nullptr;
    return keys[i];
}

bool kmlBaseCurve::owns(const kmlBaseKey* key) const
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

void kmlBaseCurve::getKeysTime(std::vector<float>& out) const
{
    out.clear();
    out.reserve(keys.size());
    for (const kmlBaseKey* k : keys) out.push_back(k->getTime());
}

// The searches are binary: with strictly ascending times they give the same
// index as a scan for the first match from key 0. A NaN time matches nothing.
// They halve index ranges (std::lower_bound and std::upper_bound over the
// keys, without the cost of stepping deque iterators).

int kmlBaseCurve::lowerIndex(float t) const
{
    int first = 0;
    int count = getNumKeys();
    while (count > 0) {
        const int half = count / 2;
        if (keys[first + half]->getTime() < t) {
            first += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    return first;
}

int kmlBaseCurve::upperIndex(float t) const
{
    int first = 0;
    int count = getNumKeys();
    while (count > 0) {
        const int half = count / 2;
        if (!(t < keys[first + half]->getTime())) {
            first += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    return first;
}

int kmlBaseCurve::getKeyIndex(float t) const
{
    const int i = lowerIndex(t);
    if (i == getNumKeys() || !(keys[i]->getTime() == t)) return -1;
    return i;
}

int kmlBaseCurve::getPrevKeyIndex(float t) const
{
    return lowerIndex(t) - 1;
}

int kmlBaseCurve::getNextKeyIndex(float t) const
{
    const int i = upperIndex(t);
    if (i < getNumKeys()) return i;
    if (!keys.empty() && keys.back()->getTime() == t) return getNumKeys();
    return -1;
}

int kmlBaseCurve::insertIndex(float t) const
{
    int i = getNextKeyIndex(t);
    return i < 0 ? getNumKeys() : i;
}

void kmlBaseCurve::relink(int i)
{
    kmlBaseKey* k = keys[i];
    kmlBaseKey* p = i > 0 ? keys[i - 1] : nullptr;
    kmlBaseKey* n = i + 1 < getNumKeys() ? keys[i + 1] : nullptr;
    k->setPrev(p);
    k->setNext(n);
    if (p) p->setNext(k);
    if (n) n->setPrev(k);
}

void kmlBaseCurve::copyKeepingLinks(kmlBaseKey* dst, const kmlBaseKey* src)
{
    kmlBaseKey* p = dst->getPrev();
    kmlBaseKey* n = dst->getNext();
    dst->copy(src);
    dst->setPrev(p);
    dst->setNext(n);
}

void kmlBaseCurve::updateInternal(int i, int before, int after)
{
    int n = getNumKeys();
    int start;
    if (before == -1) {
        start = 0;
        before = i;
    } else {
        if (before > i) before = i;
        start = i - before;
    }
    if (start < 0 || start >= n) return;
    if (after == -1 || i + after >= n) after = n - i - 1;
    kmlBaseKey* k = keys[start];
    for (int j = 0; j < before + after + 1 && k; ++j) {
        k->update();
        k = k->getNext();
    }
}

void kmlBaseCurve::update(float t, int before, int after)
{
    flushDeferred();
    if (before < -1 || after < -1) return;
    int i = getKeyIndex(t);
    if (i < 0) return;
    updateInternal(i, before, after);
}

void kmlBaseCurve::insertInternal(int i, kmlBaseKey* key)
{
    int n = getNumKeys();
    if (i < 0) i = 0;
    if (i > n) i = n;
    keys.insert(keys.begin() + i, key);
    relink(i);
    // The value adapts to its neighbours before the tangents are computed
    // from it.
    key->adapt();
    if (defersTangents()) {
        deferredTimes.push_back(key->getTime());
    } else {
        key->update();
        if (smooth) updateInternal(i, 1, 1);
    }
    updateRange();
}

void kmlBaseCurve::deferUpdates(bool on)
{
    if (!on) flushDeferred();
    deferring = on;
}

void kmlBaseCurve::flushDeferred()
{
    if (deferredTimes.empty()) return;
    // Each inserted key still in the curve and its neighbours, once each, in
    // curve order. Every other edit flushes first, so the keys are where
    // their insertions left them.
    std::sort(deferredTimes.begin(), deferredTimes.end());
    const int n = getNumKeys();
    int next = 0; // the first key not updated yet
    int from = 0; // no deferred key lies before this one
    for (float t : deferredTimes) {
        // Times ascend: search on from the last one found, in steps that
        // double, so a run of neighbouring keys costs a step or two each.
        int step = 1;
        int hi = from;
        while (hi < n && keys[hi]->getTime() < t) {
            from = hi + 1;
            hi += step;
            step *= 2;
        }
        if (hi > n) hi = n;
        while (from < hi) {
            const int mid = from + (hi - from) / 2;
            if (keys[mid]->getTime() < t)
                from = mid + 1;
            else
                hi = mid;
        }
        if (from == n || !(keys[from]->getTime() == t)) continue;
        for (int j = std::max(from - 1, next); j <= from + 1 && j < n; ++j) keys[j]->update();
        next = std::max(next, from + 2);
    }
    deferredTimes.clear();
}

void kmlBaseCurve::removeInternal(int i)
{
    removeInternal(i, i);
}

void kmlBaseCurve::removeInternal(int a, int b)
{
    if (a < 0 || b < a || b >= getNumKeys()) return;
    kmlBaseKey* p = keys[a]->getPrev();
    kmlBaseKey* n = keys[b]->getNext();
    if (p) {
        p->setNext(n);
        if (smooth) p->update();
    }
    if (n) {
        n->setPrev(p);
        if (smooth) n->update();
    }
    for (int j = a; j <= b; ++j) delete keys[j];
    keys.erase(keys.begin() + a, keys.begin() + b + 1);
    updateRange();
}

bool kmlBaseCurve::holdsLiveKey(const kmlBaseKey* key) const
{
    // A key of this curve is linked to its neighbours, or is the only key.
    // An unlinked key is therefore ours only as the sole key; a linked one
    // (rare: a key of this or another curve handed back) is looked for.
    if (!key->getPrev() && !key->getNext()) return keys.size() == 1 && keys.front() == key;
    return owns(key);
}

bool kmlBaseCurve::insert(kmlBaseKey* key)
{
    if (!key || !validKey(key) || !finite(key->getTime()) || holdsLiveKey(key)) return false;
    const float t = key->getTime();
    // Keys mostly come in time order: a key after the last one goes to the
    // end without a search.
    const int i = keys.empty() || keys.back()->getTime() < t ? getNumKeys() : lowerIndex(t);
    if (i < getNumKeys() && keys[i]->getTime() == t)
        replaceInternal(i, key);
    else
        insertInternal(i, key);
    updateRange();
    return true;
}

void kmlBaseCurve::replaceInternal(int i, kmlBaseKey* key)
{
    // The same outcome as removing the old key and inserting the new one at
    // its place, without moving the keys after it: the neighbours' tangents
    // are recomputed from their final links below, whatever a removal would
    // have computed for them in between.
    kmlBaseKey* old = keys[i];
    keys[i] = key;
    relink(i);
    delete old;
    key->adapt();
    if (defersTangents()) {
        deferredTimes.push_back(key->getTime());
        return;
    }
    // In smooth-edit mode the pass over the key and its neighbours
    // computes the key's tangents too.
    if (smooth)
        updateInternal(i, 1, 1);
    else
        key->update();
}

bool kmlBaseCurve::remove(float t)
{
    flushDeferred();
    int i = getKeyIndex(t);
    if (i < 0) return false;
    removeInternal(i);
    return true;
}

bool kmlBaseCurve::remove(float t, float dt)
{
    flushDeferred();
    if (!finite(t) || !finite(dt)) return false;
    int first = getKeyIndex(t);
    if (first < 0) first = getNextKeyIndex(t);
    if (first < 0) return false;
    float end = t + dt;
    int last = getKeyIndex(end);
    if (last == 0) return false;
    if (last > 0)
        last -= 1;
    else
        last = getPrevKeyIndex(end);
    if (first == last)
        removeInternal(first);
    else
        removeInternal(first, last);
    return true;
}

bool kmlBaseCurve::move(float from, float to)
{
    flushDeferred();
    if (!finite(to)) return false;
    int f = getKeyIndex(from);
    if (f < 0) return false;
    if (to == from) return true;
    int target = getKeyIndex(to);
    moveInternal(f, target, to, target >= 0);
    return true;
}

void kmlBaseCurve::moveInternal(int from, int to, float toTime, bool onto)
{
    if (onto) {
        copyKeepingLinks(keys[to], keys[from]);
        keys[to]->setTime(toTime);
        removeInternal(from);
    } else {
        kmlBaseKey* c = keys[from]->clone();
        removeInternal(from);
        c->setTime(toTime);
        insertInternal(insertIndex(toTime), c);
    }
    updateRange();
}

bool kmlBaseCurve::shift(float t, float dt, kmlCurveShiftType type)
{
    flushDeferred();
    if (!finite(dt)) return false;
    if (type != KML_SHIFT_BEFORE && type != KML_SHIFT_AFTER) return false;
    int k = getKeyIndex(t);
    if (k < 0) return false;
    if (type == KML_SHIFT_BEFORE) return shiftInternal(0, k, type, dt);
    return shiftInternal(k, getNumKeys() - 1, type, dt);
}

bool kmlBaseCurve::shiftInternal(int start, int end, kmlCurveShiftType type, float dt)
{
    int n = getNumKeys();
    if (type == KML_SHIFT_BEFORE && dt >= 0.0f && end + 1 < n) {
        float gap = keys[end + 1]->getTime() - keys[end]->getTime();
        if (gap - dt < timeStep) dt = gap - timeStep;
    }
    if (type == KML_SHIFT_AFTER && dt < 0.0f && start > 0) {
        float gap = keys[start]->getTime() - keys[start - 1]->getTime();
        if (gap + dt < timeStep) dt = timeStep - gap;
    }
    // Far from 0 a float step can exceed timeStep, and the shifted keys could
    // then round onto their neighbours: check the outcome before changing it.
    std::vector<float> result;
    result.reserve(n);
    for (int j = 0; j < n; ++j) {
        float tj = keys[j]->getTime();
        result.push_back(j >= start && j <= end ? tj + dt : tj);
    }
    if (!strictlyAscending(result)) return false;
    for (int j = start; j <= end; ++j) keys[j]->setTime(result[j]);
    if (smooth) {
        updateInternal(start, 1, 0);
        updateInternal(end, 0, 1);
    }
    updateRange();
    return true;
}

bool kmlBaseCurve::duplicate(float from, float to)
{
    flushDeferred();
    if (!finite(to)) return false;
    int f = getKeyIndex(from);
    if (f < 0) return false;
    int target = getKeyIndex(to);
    duplicateInternal(f, target, to, target >= 0);
    return true;
}

void kmlBaseCurve::duplicateInternal(int from, int to, float toTime, bool onto)
{
    if (onto) {
        if (to != from) copyKeepingLinks(keys[to], keys[from]);
        keys[to]->setTime(toTime);
        if (smooth) updateInternal(to, 1, 1);
    } else {
        kmlBaseKey* c = keys[from]->clone();
        c->setTime(toTime);
        insertInternal(insertIndex(toTime), c);
    }
    updateRange();
}

bool kmlBaseCurve::duplicateRange(float t, float dt, float dest)
{
    flushDeferred();
    if (!finite(t) || !finite(dt) || !finite(dest) || dt < 0.0f) return false;
    int first = getKeyIndex(t);
    if (first < 0) first = getNextKeyIndex(t);
    if (first < 0) return false;
    // Half-open [t, t + dt): a key at t + dt would be copied onto the key
    // that moves there from t + dt itself.
    int last = getPrevKeyIndex(t + dt);
    if (last < 0 || last < first) return false;
    int d = getKeyIndex(dest);
    if (d < 0) d = getNextKeyIndex(dest);
    if (d < 0) d = getNumKeys();
    return duplicateRangeInternal(first, last, d, t, dt, dest);
}

bool kmlBaseCurve::duplicateRangeInternal(int first, int last, int dest, float t, float dt, float destTime)
{
    int n = getNumKeys();
    int m = last - first + 1;
    std::vector<float> offsets(m), result;
    for (int i = 0; i < m; ++i) offsets[i] = keys[first + i]->getTime() - t;
    result.reserve(n + m);
    for (int j = 0; j < dest; ++j) result.push_back(keys[j]->getTime());
    for (int i = 0; i < m; ++i) result.push_back(destTime + offsets[i]);
    for (int j = dest; j < n; ++j) result.push_back(keys[j]->getTime() + dt);
    if (!strictlyAscending(result)) return false;

    std::vector<kmlBaseKey*> clones(m);
    for (int i = 0; i < m; ++i) clones[i] = keys[first + i]->clone();
    for (int j = dest; j < n; ++j) keys[j]->setTime(result[m + j]);
    for (int i = 0; i < m; ++i) {
        clones[i]->setTime(result[dest + i]);
        insertInternal(dest + i, clones[i]);
    }
    if (smooth) {
        updateInternal(dest, 1, 0);
        updateInternal(dest + m - 1, 0, 1);
    }
    updateRange();
    return true;
}

bool kmlBaseCurve::setKeysTime(const std::vector<float>& times)
{
    flushDeferred();
    int n = getNumKeys();
    bool ok = static_cast<int>(times.size()) == n;
    std::vector<float> result;
    std::vector<bool> changed;
    if (ok) {
        result.resize(n);
        changed.resize(n);
        for (int i = 0; i < n; ++i) {
            float own = keys[i]->getTime();
            changed[i] = std::fabs(times[i] - own) > timeStep;
            result[i] = changed[i] ? times[i] : own;
        }
        ok = strictlyAscending(result);
    }
    if (ok) {
        for (int i = 0; i < n; ++i) {
            if (!changed[i]) continue;
            keys[i]->setTime(result[i]);
            if (smooth) keys[i]->update();
        }
    }
    updateRange();
    return ok;
}

void kmlBaseCurve::clear()
{
    for (kmlBaseKey* k : keys) delete k;
    keys.clear();
    minTime = maxTime = 0.0f;
}

void kmlBaseCurve::updateRange()
{
    if (keys.empty()) {
        minTime = maxTime = 0.0f;
    } else {
        minTime = keys.front()->getTime();
        maxTime = keys.back()->getTime();
    }
}
