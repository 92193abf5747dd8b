#pragma once
// The lesson manager inside an application with every recording stand-in
// (tests/support/app), its clock in the test's hands. A process holds one
// application: run each rig in a child process (EXPECT_IN_CHILD), where a
// failed CHILD_CHECK or CASE_CHECK names itself on standard error.
#include "kgiLessonManager.h"

#include "kgiApp.h"

#include "support/app/kgiAppRig.h"

#include "core/child_process_test.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using Played = std::vector<std::pair<int, bool>>;

// Ends the child naming the case when cond fails.
#define CASE_CHECK(cond, name)                                                   \
    do {                                                                         \
        if (!(cond)) {                                                           \
            std::fprintf(stderr, "%s: check failed: %s\n", (name), #cond);      \
            std::_Exit(1);                                                       \
        }                                                                        \
    } while (0)

// An application with every stand-in and a manager of the test's own, the
// sound player made (the key click is sound 0) and a message host.
struct LessonRig {
    kgiAppRig rig;
    kgiLessonManager manager;
    float clock = 0.0f;
    // Added to the clock at every read: a lesson's introduction waits for
    // the clock to pass 2 s, which a still clock never does.
    float clockStep = 0.0f;

    LessonRig() {
        rig.app->setLessonManager(&manager);
        manager.setClock([this] { return clock += clockStep; });
        rig.app->createSoundPlayer();
        rig.app->createMsgWindowHost();
        clearRecords();
    }
    ~LessonRig() { rig.app->setLessonManager(nullptr); }

    kgiApp& app() { return *rig.app; }
    Played& played() { return rig.fakes.sound.played; }
    void clearRecords() {
        rig.fakes.sound.played.clear();
        rig.fakes.message.record.clear();
        rig.fakes.mainWindow.applied.clear();
    }
    // The texts the message window was given, in order.
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (const std::string& c : rig.fakes.message.record.calls)
            if (c.compare(0, 9, "showText(") == 0) out.push_back(c);
        return out;
    }
    void texts(const std::string& content, bool english = true) {
        std::FILE* f = fmemopen(const_cast<char*>(content.data()), content.size(), "r");
        manager.editTexts().clear();
        manager.editTexts().readStream(f, english);
        std::fclose(f);
    }
};

// The message window's record of a one-line text shown at (x, y) in a
// colour mode; English texts speak as they read.
inline std::string show(const std::string& line, int y, int colour = 0, bool spoken = true) {
    return "showText(" + line + "\n|" + (spoken ? line + "\n" : "") + "|350|" + std::to_string(y) + "|" +
           std::to_string(colour) + ")";
}
