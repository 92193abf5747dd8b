#pragma once
// Key-edit visitors. A key at frame t means that every node's motion
// controller holds a base-curve key at t: each visitor makes one
// controller call per node, and the character runs it depth-first over the
// whole model (root->depthVisit(visitor, nullVisitor)) so that all nodes
// stay in step. Nodes without a motion controller are passed over.
//
// Times are frames as floats. A visitor whose arguments are out of range
// stops the walk at the first node, so nothing changes (negative times;
// frame 0 for deleting and inserting frames).
#include "ksgVisitor.h"

#include <vector>

class ksgMotionController;

// Common base: finds the node's controller and checks the arguments once.
class kgiKeyVisitor : public ksgVisitor {
public:
    ReturnType exec(ksgNode* node) override;
    // Whether the arguments let the walk run (the edit then runs).
    bool accepts() const { return valid(); }

protected:
    // Whether the walk may run at all.
    virtual bool valid() const { return true; }
    // The edit on one node that has a controller.
    virtual ReturnType apply(ksgNode* node, ksgMotionController* mc) = 0;
};

// Adds a key at `time` from the node's present local matrix (the pose on
// screen), replacing a key there.
class kgiAddKey : public kgiKeyVisitor {
public:
    explicit kgiAddKey(float time = -1.0f) : time(time) {}
    float time;

protected:
    bool valid() const override { return time >= 0.0f; }
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// Removes the key at `time`.
class kgiDeleteKey : public kgiKeyVisitor {
public:
    explicit kgiDeleteKey(float time = -1.0f) : time(time) {}
    float time;

protected:
    bool valid() const override { return time >= 0.0f; }
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// Copies the key at `from` to `to` (replacing a key there); a node without
// a key at `from` is left alone.
class kgiDuplicateKey : public kgiKeyVisitor {
public:
    kgiDuplicateKey(float from = -1.0f, float to = -1.0f) : from(from), to(to) {}
    float from;
    float to;

protected:
    bool valid() const override { return from >= 0.0f && to >= 0.0f; }
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// Moves every key at or after `dest` `count` frames later, then inserts
// copies of the keys of start .. start + count at dest onwards. A count
// below one frame does nothing.
class kgiDuplicateKeys : public kgiKeyVisitor {
public:
    kgiDuplicateKeys(float start = -1.0f, float count = 0.0f, float dest = -1.0f)
        : start(start), count(count), dest(dest)
    {
    }
    float start;
    float count;
    float dest;

protected:
    bool valid() const override;
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// Removes the keys with start <= time < start + count.
class kgiDeleteKeys : public kgiKeyVisitor {
public:
    kgiDeleteKeys(float start = -1.0f, float count = 0.0f) : start(start), count(count) {}
    float start;
    float count;

protected:
    bool valid() const override { return start >= 0.0f && count > 0.0f; }
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// Closes a gap: the first key after `start` and every later key move
// `count` frames earlier. No key is removed; frame 0 is refused.
class kgiDeleteFrames : public kgiKeyVisitor {
public:
    kgiDeleteFrames(float start = -1.0f, float count = 0.0f) : start(start), count(count) {}
    float start;
    float count;

protected:
    bool valid() const override { return start > 0.0f && count != 0.0f; }
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// Opens a gap: the first key after `start` and every later key move
// `count` frames later; frame 0 is refused.
class kgiInsertFrames : public kgiKeyVisitor {
public:
    kgiInsertFrames(float start = -1.0f, float count = 0.0f) : start(start), count(count) {}
    float start;
    float count;

protected:
    bool valid() const override { return start > 0.0f && count != 0.0f; }
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// Each node's present local matrix into its controller's copy buffer.
class kgiCopyFrame : public kgiKeyVisitor {
protected:
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// The base curves' value at `time` into the copy buffer, then the key at
// `time` is removed (a time without a key only fills the buffer).
class kgiCutKey : public kgiKeyVisitor {
public:
    explicit kgiCutKey(float time = -1.0f) : time(time) {}
    float time;

protected:
    bool valid() const override { return time >= 0.0f; }
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// A key at `time` from the copy buffer (whatever it holds, also before any
// copy).
class kgiPasteKey : public kgiKeyVisitor {
public:
    explicit kgiPasteKey(float time = -1.0f) : time(time) {}
    float time;

protected:
    bool valid() const override { return time >= 0.0f; }
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// Collects the key times of the first transform, depth first, whose
// controller has any key on `layer` (-1 the base), and stops there: all
// nodes keep their keys at the same times, so one node stands for all.
class kgiGetKeysInfo : public kgiKeyVisitor {
public:
    explicit kgiGetKeysInfo(int layer = -1) : layer(layer) {}
    int layer;
    std::vector<float> times;

protected:
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// Writes key times to every transform's controller: key i takes time i on
// each curve whose key count equals the list's size; other curves keep
// their times.
class kgiSetKeysInfo : public kgiKeyVisitor {
public:
    kgiSetKeysInfo(int layer = -1, bool snap = false) : layer(layer), snap(snap) {}
    int layer;
    bool snap;
    std::vector<float> times;

protected:
    ReturnType apply(ksgNode* node, ksgMotionController* mc) override;
};

// Counts the nodes carrying a kgiKmdData. Flags: 1 skip type 5, 2 skip
// type 0, 4 only Euler-rotation controllers, 8 (without 4) only
// quaternion controllers. Flags 3 count the nodes of a motion-key file.
class kgiCountNode : public ksgVisitor {
public:
    explicit kgiCountNode(unsigned char flags = 0) : flags(flags) {}
    ReturnType exec(ksgNode* node) override;
    bool reset()
    {
        count = 0;
        return true;
    }

    int count = 0;
    unsigned char flags;
};
