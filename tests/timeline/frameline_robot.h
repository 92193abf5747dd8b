#pragma once
// The factory robot as the world's current character, with the keys a test
// asks for, for the frame-line tests.
#include "core/pose_robot_fixture_test.h"

#include "kgiCharacter.h"
#include "kgiKeyUndo.h"
#include "kgiWorld.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kgiTestFrameline {

typedef std::vector<float> Times;

// Loads the factory robot into a new character and makes it current; null
// (after a failed assertion) when it does not load.
inline kgiCharacter* loadCurrentRobot() {
    kgiWorld* world = kgiWorld::instance();
    const int id = world->createCharacter();
    world->setCurrentCharacter(id);
    kgiCharacter* c = world->getCurrentCharacter();
    EXPECT_NE(c, nullptr);
    if (!c) return nullptr;
    EXPECT_TRUE(c->load(kgiTestRobot::projectPath())) << kgiTestRobot::projectPath();
    return c->getRoot() ? c : nullptr;
}

// Keys on every joint at exactly these frames (each the pose at that
// moment), with an empty key history.
inline void keysAt(kgiCharacter* c, const Times& frames) {
    c->deleteKeys(0, 1000000);
    for (float f : frames) EXPECT_TRUE(c->addKey(int(f))) << f;
    c->getKeyUndo().clear();
}

// The key times the nodes hold (read again from them, not the live list).
inline Times nodeKeys(kgiCharacter* c) {
    const Times live = c->getKeyTimes();
    c->updateKeysInfo();
    const Times nodes = c->getKeyTimes();
    c->editKeyTimes() = live;
    return nodes;
}

// The fields of a key-list entry, which keeps them to itself.
struct EntryFields : kgiPreservativeKeysUndo {
    static std::string of(const kutUndoEntry* e) {
        const auto* p = static_cast<const kgiPreservativeKeysUndo*>(
            e ? e->cast(&kgiPreservativeKeysUndo::RTTI) : nullptr);
        if (!p) return e ? e->getRtti()->getName() : "none";
        return std::string(e->getRtti()->getName()) + "(" + std::to_string(p->*(&EntryFields::index)) + ", " +
               std::to_string(int(p->*(&EntryFields::from))) + ", " + std::to_string(int(p->*(&EntryFields::to))) + ")";
    }
};

// The last entry of the character's key history, as "class(index, from,
// to)" for a key-list entry, the class name for others, "none".
inline std::string lastEntry(kgiCharacter* c) {
    return EntryFields::of(c->getKeyUndo().getLast());
}

} // namespace kgiTestFrameline
