// A timed key of an animation curve. The owning curve links neighbouring
// keys through prev/next; a key outside a curve has null links. Times are in
// the caller's unit (frames in this system).
#ifndef KMLBASEKEY_H
#define KMLBASEKEY_H

class kmlBaseKey {
public:
    kmlBaseKey() : time(0.0f), prev(nullptr), next(nullptr) {}
    explicit kmlBaseKey(float t) : time(t), prev(nullptr), next(nullptr) {}
    // Copies the time only: the copy is in no curve.
    kmlBaseKey(const kmlBaseKey& k) : time(k.time), prev(nullptr), next(nullptr) {}
    virtual ~kmlBaseKey() {}

    // Copies the time and clears both links (a key in a curve must get its
    // links back from the curve).
    kmlBaseKey& operator=(const kmlBaseKey& k)
    {
        if (this != &k) {
            time = k.time;
            prev = next = nullptr;
        }
        return *this;
    }

    // Kinds override this to drop cached data; a key inside a curve must be
    // moved in time through the curve, which keeps the keys in order.
    virtual void setTime(float t) { time = t; }
    // A new key of the same kind with the same data, unlinked.
    virtual kmlBaseKey* clone() const { return new kmlBaseKey(*this); }
    // Assigns from k (null changes nothing). Kinds copy their values too, and
    // only from a key of their own kind. Clears the links like assignment.
    virtual void copy(const kmlBaseKey* k)
    {
        if (k) *this = *k;
    }
    // Recomputes tangent data from the neighbours.
    virtual void update() {}
    // Adjusts the key's own value to its neighbours; runs on insertion,
    // before update.
    virtual void adapt() {}

    float getTime() const { return time; }
    kmlBaseKey* getPrev() const { return prev; }
    kmlBaseKey* getNext() const { return next; }
    void setPrev(kmlBaseKey* k) { prev = k; }
    void setNext(kmlBaseKey* k) { next = k; }

    // Comparisons of the times.
    bool operator<(const kmlBaseKey& k) const { return time < k.time; }
    bool operator>(const kmlBaseKey& k) const { return time > k.time; }
    bool operator==(const kmlBaseKey& k) const { return time == k.time; }
    bool operator!=(const kmlBaseKey& k) const { return time != k.time; }
    bool operator<=(const kmlBaseKey& k) const { return time <= k.time; }
    bool operator>=(const kmlBaseKey& k) const { return time >= k.time; }

protected:
    float time;
    kmlBaseKey* prev;
    kmlBaseKey* next;
};

#endif
