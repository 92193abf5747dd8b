#include "kgiCanvasCommands.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCollisionCheck.h"
#include "kgiCollisionCheckParts.h"
#include "kgiKeyUndo.h"
#include "kgiWorld.h"
#include "ksgNode.h"
#include "ksgTransform.h"

ksgVisitor::ReturnType kgiResetPose::exec(ksgNode* node)
{
    if (ksgTransform* t = node->asTransform())
        t->setDefault();
    return DESCEND;
}

bool kgiCanvasCommands::addKeyAtCurrentTime()
{
    if (kgiWorld::instance()->getCurrentCharacter() == nullptr)
        return false;
    if (kgiApp* app = kgiApp::instance())
        app->lessonActionDone();
    return addKeyAtCurrentFrame();
}

bool kgiCanvasCommands::addKeyAtCurrentFrame()
{
    kgiWorld* world = kgiWorld::instance();
    kgiCharacter* c = world->getCurrentCharacter();
    if (c == nullptr)
        return false;
    kgiApp* app = kgiApp::instance();
    // The key goes to the whole frame (playback leaves the time between
    // frames), and so does its entry: at the fractional time its undo would
    // find no earlier key to give back and delete the frame's key instead,
    // and its redo would write a key between frames.
    const int frame = static_cast<int>(world->getCurrentTime());
    // Built before the add: its snapshots must see the keys as they were.
    // Pushed only when the key went in, or its redo would write the key the
    // limit refused and the push would drop the redo branch for nothing.
    auto* entry = new kgiAddKeyUndo(c, static_cast<float>(frame));
    const bool added = c->addKey(frame);
    if (added) {
        c->addKeyUndo(entry);
        if (app != nullptr)
            app->playSound(kgiApp::KEYSET_SOUND, false);
        kgiCollisionCheck::instance()->printFrameRange();
    } else {
        delete entry;
    }
    if (app != nullptr)
        app->redrawAll();
    return added;
}

bool kgiCanvasCommands::resetPose()
{
    kgiCharacter* c = kgiWorld::instance()->getCurrentCharacter();
    if (c == nullptr)
        return false;
    c->addPoseUndo();
    if (ksgNode* root = c->getRoot()) {
        kgiResetPose reset;
        ksgNullVisitor leave;
        root->depthVisit(reset, leave);
        root->update(0.0f, false, true);
    }
    if (kgiPartTable* table = kgiPartTable::installed())
        table->applyInitialPose(c);
    if (kgiApp* app = kgiApp::instance())
        app->redrawViews();
    return true;
}

void kgiCanvasCommands::putOnFloor(bool motionMode)
{
    if (kgiPartTable* table = kgiPartTable::installed())
        table->putOnFloor(motionMode);
    if (kgiApp* app = kgiApp::instance())
        app->redrawViews();
}
