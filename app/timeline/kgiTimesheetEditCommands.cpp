// The main window's pose, key, view and tool commands and its keyboard.
// Key edits record an undo entry only when they changed a key: an entry
// for an edit that did nothing would make the next undo do nothing visible
// and drop the redo branch on its way in.
#include "kgiTimesheetWindow.h"

#include "kgiTimesheetCanvas.h"

#include "kgi3dWindow.h"
#include "kgiApp.h"
#include "kgiCanvasCommands.h"
#include "kgiCharacter.h"
#include "kgiCollisionCheckParts.h"
#include "kgiKeyUndo.h"
#include "kgiPoseFlip.h"
#include "kgiWorld.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

kgiCharacter* currentCharacter() { return kgiWorld::instance()->getCurrentCharacter(); }

// Whether a key lies in frames first..last.
bool holdsKey(const std::vector<float>& keys, int first, int last) {
    return std::any_of(keys.begin(), keys.end(),
                       [&](float t) { return t >= static_cast<float>(first) && t <= static_cast<float>(last); });
}

// Hands the entry to the character's history when its edit took effect;
// otherwise it is freed here.
void keepEntry(kgiCharacter* c, std::unique_ptr<kgiKeysUndo> entry, bool tookEffect) {
    if (tookEffect) c->addKeyUndo(entry.release());
}

} // namespace

long kgiTimesheetWindow::onCmdNothing(FX::FXObject*, FX::FXSelector, void*) { return 1; }

// --- poses ---

long kgiTimesheetWindow::onCmdPoseReset(FX::FXObject*, FX::FXSelector, void*) {
    // One pose undo step, the default pose, the model's initial pose and
    // the 3D views redrawn: as the 3D view's initialization button does.
    kgiCanvasCommands::resetPose();
    return 1;
}

long kgiTimesheetWindow::onCmdPoseStep(FX::FXObject*, FX::FXSelector sel, void*) {
    kgiCharacter* c = currentCharacter();
    if (!c) return 1;
    const bool stepped = FXSELID(sel) == ID_POSE_UNDO ? c->undoPose() : c->redoPose();
    if (stepped) application->redrawViews();
    return 1;
}

long kgiTimesheetWindow::onCmdPoseFlip(FX::FXObject*, FX::FXSelector sel, void*) {
    kgiCharacter* c = currentCharacter();
    if (!c || !c->getRoot()) return 1;
    // The flipper records the pose undo step itself (not in mirror mode).
    kgiPoseFlipper flipper;
    flipper.flipPose(c->getRoot(), kgiPoseFlipper::POSE, FXSELID(sel) == ID_POSE_WORLD_FLIP ? 1 : 0);
    application->redrawViews();
    return 1;
}

long kgiTimesheetWindow::onCmdMirrorMode(FX::FXObject*, FX::FXSelector, void*) {
    // The window builds no mirror-mode check; one added later would drive it.
    if (FX::FXMenuCheck* check = findMenuCheck(ID_MIRROR_MODE))
        kgiWorld::instance()->setMirrorMode(check->getCheck() != FALSE);
    return 1;
}

// --- keys ---

long kgiTimesheetWindow::onCmdKeysStep(FX::FXObject*, FX::FXSelector sel, void*) {
    kgiCharacter* c = currentCharacter();
    if (!c) return 1;
    if (FXSELID(sel) == ID_KEYS_UNDO)
        c->undoKeys();
    else
        c->redoKeys();
    application->redrawAll();
    return 1;
}

long kgiTimesheetWindow::onCmdKeysCopy(FX::FXObject*, FX::FXSelector, void*) {
    // Every node's pose into its copy buffer: no key changes, nothing to
    // undo or redraw.
    if (kgiCharacter* c = currentCharacter()) c->copyFrame();
    return 1;
}

long kgiTimesheetWindow::onCmdKeyEdit(FX::FXObject*, FX::FXSelector sel, void*) {
    kgiCharacter* c = currentCharacter();
    if (!c) return 1;
    // The edit and its entry at the whole frame: the entries' snapshots
    // look for keys at their time exactly, and keys stand on whole frames.
    const int frame = static_cast<int>(kgiWorld::instance()->getCurrentTime());
    const float at = static_cast<float>(frame);
    // Read before the edit: cut and delete change something only where a
    // key stands. The entries are built before the edit too, so that their
    // snapshots see the key the edit takes away.
    const bool held = holdsKey(c->getKeyTimes(), frame, frame);
    switch (FXSELID(sel)) {
    case ID_KEYS_CUT: {
        std::unique_ptr<kgiKeysUndo> entry(new kgiCutKeyUndo(c, at));
        keepEntry(c, std::move(entry), c->cutKey(frame) && held);
        break;
    }
    case ID_KEYS_PASTE: {
        // A paste always writes a key (the buffers, or the pose they were
        // left with).
        std::unique_ptr<kgiKeysUndo> entry(new kgiPasteKeyUndo(c, at));
        keepEntry(c, std::move(entry), c->pasteKey(frame));
        break;
    }
    default: {
        std::unique_ptr<kgiKeysUndo> entry(new kgiRemKeyUndo(c, at));
        keepEntry(c, std::move(entry), c->deleteKey(frame) && held);
        break;
    }
    }
    application->redrawAll();
    return 1;
}

long kgiTimesheetWindow::onCmdRangeEdit(FX::FXObject*, FX::FXSelector sel, void*) {
    kgiCharacter* c = currentCharacter();
    if (!c) return 1;
    kgiWorld* world = kgiWorld::instance();
    const float start = world->getStartFrame();
    const float end = world->getEndFrame();
    const float now = world->getCurrentTime();
    // The edits take a first frame and a count: start..end, both included.
    const int first = static_cast<int>(start);
    const int count = static_cast<int>(end - start + 1.0f);
    const bool held = holdsKey(c->getKeyTimes(), first, first + count - 1);
    switch (FXSELID(sel)) {
    case ID_KEYS_COPY_RANGE: {
        std::unique_ptr<kgiKeysUndo> entry(new kgiDupKeysUndo(c, start, end, now));
        keepEntry(c, std::move(entry), c->duplicateKeys(first, count, static_cast<int>(now)) && held);
        application->redrawAll();
        break;
    }
    case ID_KEYS_DELETE_RANGE: {
        std::unique_ptr<kgiKeysUndo> entry(new kgiRemKeysUndo(c, start, end));
        const bool deleted = c->deleteKeys(first, count) && held;
        keepEntry(c, std::move(entry), deleted);
        // A model left without keys shows its initial pose. Only after a
        // delete that took keys away: a pose being set up before the first
        // key stays as it is.
        kgiPartTable* table = kgiPartTable::installed();
        if (deleted && table && c->getKeyTimes().empty()) table->applyInitialPose(c);
        application->redrawAll();
        break;
    }
    default: {
        std::unique_ptr<kgiKeysUndo> entry(new kgiFlipKeysUndo(c, start, end));
        keepEntry(c, std::move(entry), held && c->flipKeys(first, count));
        application->redrawViews();
        application->redrawCurves();
        break;
    }
    }
    return 1;
}

// --- views and tools ---

long kgiTimesheetWindow::onCmdViewNew(FX::FXObject*, FX::FXSelector, void*) {
    // Owned by this window (the destructor deletes it); it deletes itself
    // when closed.
    auto* view = new kgi3dWindow(this, "3D View", 20, 280, 640, 512);
    view->create();
    return 1;
}

long kgiTimesheetWindow::onCmdViewAxes(FX::FXObject*, FX::FXSelector sel, void*) {
    kgiWorld* world = kgiWorld::instance();
    const int id = static_cast<int>(FXSELID(sel));
    // Each pair marks the check of the chosen command and clears the
    // other's; the window builds none of these checks.
    int pair = 0;
    if (id == ID_UP_AXIS_1 || id == ID_UP_AXIS_0) {
        world->setUpAxis(id == ID_UP_AXIS_1 ? 1 : 0);
        pair = id == ID_UP_AXIS_1 ? ID_UP_AXIS_0 : ID_UP_AXIS_1;
    } else {
        world->setViewpointMode(id == ID_VIEWPOINT_MODE_1 ? 1 : 0);
        pair = id == ID_VIEWPOINT_MODE_1 ? ID_VIEWPOINT_MODE_0 : ID_VIEWPOINT_MODE_1;
    }
    if (FX::FXMenuCheck* chosen = findMenuCheck(id)) chosen->setCheck(TRUE);
    if (FX::FXMenuCheck* other = findMenuCheck(pair)) other->setCheck(FALSE);
    application->redrawViews();
    return 1;
}

long kgiTimesheetWindow::onCmdRobotCom(FX::FXObject*, FX::FXSelector, void*) {
    if (FX::FXMenuCheck* check = findMenuCheck(ID_ROBOT_COM)) application->setRobotCommunication(check->getCheck() != FALSE);
    return 1;
}

long kgiTimesheetWindow::onCmdZoom(FX::FXObject*, FX::FXSelector, void*) {
    if (canvas) canvas->zoom();
    application->redrawTimeline();
    application->lessonActionDone();
    return 1;
}

long kgiTimesheetWindow::onCmdRepeat(FX::FXObject*, FX::FXSelector, void*) {
    if (FX::FXMenuCheck* check = findMenuCheck(ID_REPEAT)) kgiWorld::instance()->setLoop(check->getCheck() != FALSE);
    return 1;
}

long kgiTimesheetWindow::onCmdAutoReturn(FX::FXObject*, FX::FXSelector, void*) {
    if (FX::FXMenuCheck* check = findMenuCheck(ID_AUTO_RETURN))
        kgiWorld::instance()->setAutoReturn(check->getCheck() != FALSE);
    return 1;
}

// --- keyboard ---

long kgiTimesheetWindow::onKeyPress(FX::FXObject*, FX::FXSelector, void* ptr) {
    const auto* event = static_cast<const FX::FXEvent*>(ptr);
    if (!event) return 1;
    const unsigned code = static_cast<unsigned>(event->code);
    const bool latched = keyLatch.press(code, event->time);
    const kgiTimesheetKeys::Result r = kgiTimesheetKeys::dispatch(code, event->state, latched, shortcutsEnabled != 0);
    keyLatch.set(r.latch);
    runKeyAction(r);
    return 1;
}

long kgiTimesheetWindow::onKeyRelease(FX::FXObject*, FX::FXSelector, void* ptr) {
    const auto* event = static_cast<const FX::FXEvent*>(ptr);
    keyLatch.release(event ? static_cast<unsigned>(event->code) : 0, event ? event->time : 0);
    return 0;
}

void kgiTimesheetWindow::runKeyAction(const kgiTimesheetKeys::Result& r) {
    kgiWorld* world = kgiWorld::instance();
    switch (r.action) {
    case kgiTimesheetKeys::NONE:
        break;
    case kgiTimesheetKeys::SKIPPED:
        std::fputs("Skipping ky down event\n", stderr);
        break;
    case kgiTimesheetKeys::REFRESH_TIMELINE:
        refreshTimeline(true);
        break;
    case kgiTimesheetKeys::LOCKED:
        application->playAnswerSound(false);
        std::fputs("The command is locked.\n", stderr);
        break;
    case kgiTimesheetKeys::SEND_COMMAND:
        // Through the message map, as the menu entry sends it.
        handle(this, FXSEL(FX::SEL_COMMAND, r.command), nullptr);
        break;
    case kgiTimesheetKeys::ADD_KEY:
        kgiCanvasCommands::addKeyAtCurrentFrame();
        break;
    case kgiTimesheetKeys::TOGGLE_PLAY:
        world->setPlaying(!world->isPlaying());
        application->redrawTimeline();
        break;
    case kgiTimesheetKeys::PAGE_FORWARD:
        if (canvas) canvas->pageForward();
        break;
    case kgiTimesheetKeys::PAGE_BACK:
        if (canvas) canvas->pageBack();
        break;
    case kgiTimesheetKeys::GO_TO_START:
        if (canvas) canvas->goToStart();
        break;
    case kgiTimesheetKeys::GO_TO_END:
        if (canvas) canvas->goToEnd();
        break;
    case kgiTimesheetKeys::NEXT_FRAME:
    case kgiTimesheetKeys::PREV_FRAME:
        // The world keeps frame 0 as the floor.
        world->setCurrentTime(world->getCurrentTime() + (r.action == kgiTimesheetKeys::NEXT_FRAME ? 1.0f : -1.0f));
        application->redrawAll();
        break;
    }
}
