// The step engine: what each step of each lesson mode shows, unlocks and
// waits for. No mode's steps are written yet, so every mode is one the
// engine does not know: the lesson ends at its first run, and the editor is
// unlocked. What start set for the courses (the course kind) and for the
// start signal stays, so a course still loads with a new scene and its
// stopwatch runs.
#include "kgiLessonManager.h"

void kgiLessonManager::runStep() {
    repeatDelay = REPEAT_DELAY;
    reset();
}
