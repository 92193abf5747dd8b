// The flipper's link to the world state, kept apart so that the flipper
// itself can be driven by a context of the caller's (undo entries, tests).
#include "kgiCharacter.h"
#include "kgiPoseFlip.h"
#include "kgiWorld.h"

kgiPoseFlipper::Context kgiPoseFlipper::worldContext(ksgNode* node)
{
    const kgiWorld* world = kgiWorld::instance();
    Context context;
    context.character = node ? world->findCharacterOfNode(node) : nullptr;
    context.startFrame = world->getStartFrame();
    context.endFrame = world->getEndFrame();
    context.currentTime = world->getCurrentTime();
    context.mirrorMode = world->getMirrorMode();
    if (context.character)
        context.poseUndo = &context.character->getPoseUndo();
    return context;
}

bool kgiPoseFlipper::flipPose(ksgNode* node, int mode, int world)
{
    return flipPose(node, mode, world, worldContext(node));
}
