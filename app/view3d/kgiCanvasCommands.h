#pragma once
// The editing commands of the 3D view that act on the world rather than on
// one canvas: the key button and Space, the initialization button and 'h',
// the landing button and 'l'. The canvases, their tool bars and the 3D
// window's keys call them; each asks the current character of the world
// and does nothing without one.
#include "ksgVisitor.h"

class ksgNode;

// Puts every transform it visits back to its default local matrix. Walk it
// with depthVisit from a model root (and a ksgNullVisitor on leaving), then
// update the root so the world matrices follow.
class kgiResetPose : public ksgVisitor {
public:
    ReturnType exec(ksgNode* node) override;
};

class kgiCanvasCommands {
public:
    // A key at the current time (truncated to a whole frame) from the pose
    // on screen, with its undo entry, the key sound and the frame range on
    // the diagnostic stream. The lesson hears of the action in any case; a
    // key the character refuses (at its key limit) leaves the key history
    // as it was. Whether a key was added.
    static bool addKeyAtCurrentTime();
    // The same without the lesson's report (the main window's Space).
    static bool addKeyAtCurrentFrame();
    // The default pose of every joint, then the model's initial pose, as
    // one pose undo step. False without a character.
    static bool resetPose();
    // The joint table puts the model on the floor (with motionMode at every
    // key of the frame range). The views are redrawn.
    static void putOnFloor(bool motionMode);
};
