#pragma once
// The collision check of the current character: run whenever the 3D views
// are marked for redraw, it colours the colliding parts and keeps the frame
// times at which collisions were found, which the time line marks. The
// pairing of parts belongs to the robot joint table (kgiPartTable), which
// calls checkPair for each pair it tests.
#include <array>
#include <vector>

#include "kgcOrientedBox.h"
#include "kgiCollisionCheckParts.h"

class ksgModel;
class ksgNode;

class kgiCollisionCheck {
public:
    // One frame time at which the last check of that time found a
    // collision, with the node ids of the parts that collided then.
    struct HitRecord {
        std::vector<int> parts;
        float time = 0.0f;
    };

    static kgiCollisionCheck* instance();

    // Checks the current character at the world's current time. Replaces
    // the record of that time (kept in place) or drops it when nothing
    // collides, and marks the time line for redraw. With the application's
    // collisionDetail setting off, only the parts' hit colour is cleared.
    // False without a current character (the records stay).
    bool check();
    // The same with the detail setting given rather than read from the
    // application's settings.
    bool check(bool detail);

    // In the order they were first recorded, not sorted by time.
    const std::vector<HitRecord>& getHits() const { return hits; }
    void clearHits() { hits.clear(); }

    // Tests two parts' mesh boxes: as a whole (coarse), then child mesh by
    // child mesh (fine). On a collision sets flags at both parts' node ids
    // (ids below kgiPartTable::FLAG_COUNT only), colours both parts, writes
    // "Collision Hit: a & b" to stderr and returns true. Null parts or flags
    // test nothing.
    bool checkPair(ksgNode* a, ksgNode* b, unsigned char* flags);

    // Child i's mesh box as an oriented box: moved by the child's world
    // matrix when toWorld is true, else in the child's own frame (as the
    // centre-of-gravity computation wants it). False when that child
    // carries no mesh (its first child is no model with a mesh).
    static bool childPartBox(ksgNode* node, int i, bool toWorld, kgcOrientedBox& box);
    // The model that draws a part child (its first child), or null.
    static ksgModel* partModel(ksgNode* node);

    // Sets or clears the hit colour (setHit) of the model of every child of
    // node that has one, walking on below those children; children without
    // a model are skipped with their subtrees.
    static void setSubtreeHit(ksgNode* node, bool on);
    // The same walk for the second collision mark (setHit2).
    static void setSubtreeMark(ksgNode* node, bool on);

    // Writes "startframe: s" and "  endframe: e" lines to stderr; true.
    bool printFrameRange() const;
    // True when the ids differ and the node with the larger id has the
    // other among its ancestors.
    static bool isRelated(ksgNode* a, ksgNode* b);

    kgiCollisionCheck(const kgiCollisionCheck&) = delete;
    kgiCollisionCheck& operator=(const kgiCollisionCheck&) = delete;

private:
    kgiCollisionCheck() = default;

    std::array<unsigned char, kgiPartTable::FLAG_COUNT> flags{};
    std::vector<HitRecord> hits;
};
