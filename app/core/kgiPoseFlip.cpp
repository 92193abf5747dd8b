#include "kgiPoseFlip.h"

#include <string>

#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiKeyEdit.h"
#include "kgiKmdData.h"
#include "kgiPoseUndo.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"
#include "ksgTransform.h"

namespace {

const char* const CAPTION = "Error - Flip";

// A node that the motion-key file holds: kgiKmdData of a type other than
// 0 and 5.
const kgiKmdData* jointData(ksgNode* node)
{
    const kgiKmdData* d = kgiKmdData::of(node);
    return d && kgiIsMotionFileNode(node) ? d : nullptr;
}

} // namespace

void kgiPoseFlipper::fail(const std::string& text) const
{
    kgiCharacterServices::current().showMessage(CAPTION, text);
}

std::string kgiPoseFlipper::nodeName(ksgNode* root, int id)
{
    kgiGetNodeByKmmID finder(id);
    ksgNullVisitor leave;
    root->depthVisit(finder, leave);
    return finder.found ? finder.found->getName() : std::string();
}

bool kgiPoseFlipper::flipKeys(kgiCharacter* character, int first, int last)
{
    if (!character || !character->getRoot())
        return false;
    Context context;
    context.character = character;
    context.startFrame = float(first);
    context.endFrame = float(last);
    return flipPose(character->getRoot(), KEYS, 0, context);
}

bool kgiPoseFlipper::flipPose(ksgNode* node, int mode, int world, const Context& context)
{
    kgiCharacter* character = context.character;
    if (!node || !character || !character->getRoot())
        return false;
    ksgTransform* root = node->getRoot()->asTransform();
    if (!root || root != character->getRoot())
        return false;
    if (!flipPoseData(root, mode, context))
        return false;

    CollectFlipData collect(*this);
    ksgNullVisitor leave;
    if (!root->depthVisit(collect, leave)) {
        fail("Couldn't collect symetry data");
        return false;
    }

    kgiKmmFile& buffer = motionFlip.getMotion();
    kgiDumpKmm sampler(&buffer, mode == KEYS ? 1 : 0, mode == KEYS ? int(firstFrame) : -1, true, true);
    if (!root->depthVisit(sampler, leave) || !sampler.succeeded()) {
        fail("Couldn't get pose(s) data");
        return false;
    }

    float half[3];
    character->getBounds().getExtents(half);
    if (!motionFlip.setup(jointCount, depths.data(), types.data(), restKeys.data(), 2.0f * half[0],
                          2.0f * half[1], 2.0f * half[2])) {
        fail("Error creating flip data: " + nodeName(root, motionFlip.getErrorNode()));
        return false;
    }

    int kind = kgiMotionFlip::KEY_RANGE;
    int startJoint = -1;
    if (mode == FROM_NODE) {
        kind = kgiMotionFlip::FROM_JOINT;
        kgiGetNodeKmmID id(node);
        root->depthVisit(id, leave);
        startJoint = id.id;
    } else if (mode != KEYS) {
        kind = world ? kgiMotionFlip::WORLD_POSE : kgiMotionFlip::LOCAL_POSE;
    }
    if (!motionFlip.compute(kind, startJoint)) {
        std::string text = "Error computing flip data";
        const std::string name = nodeName(root, motionFlip.getErrorNode());
        if (!name.empty())
            text += ": " + name;
        fail(text);
        return false;
    }

    if (mode == KEYS) {
        UpdateFromFlipData update(buffer, 1, int(firstFrame), int(lastFrame));
        root->depthVisit(update, leave);
    } else {
        if (!context.mirrorMode && context.poseUndo)
            context.poseUndo->add(new kgiPoseUndoEntry(root));
        UpdateFromFlipData update(buffer, 0, 0, 0);
        root->depthVisit(update, leave);
    }
    // Re-evaluate at the time the model shows: controllers skip an update
    // at an unchanged time, so the written local matrices stay.
    root->update(0.0f, false, true);
    kgiCharacterServices::current().checkCollisions();
    return true;
}

bool kgiPoseFlipper::flipPoseData(ksgTransform* root, int mode, const Context& context)
{
    ksgMotionController* rootMotion = getMotionController(root);
    if (!rootMotion)
        return false;

    kgiCountNode counter(3); // types 5 and 0 are no joints
    ksgNullVisitor leave;
    root->depthVisit(counter, leave);
    jointCount = counter.count;
    types.assign(size_t(jointCount), 0);
    restKeys.assign(size_t(jointCount), kgiKmmKey());
    depths.assign(size_t(jointCount), 0);

    int frameCount = 1;
    int keyCount = 0;
    if (mode == KEYS) {
        firstFrame = context.startFrame;
        lastFrame = context.endFrame;
        const float frames = lastFrame - firstFrame + 1.0f;
        // A range of less than one frame has nothing to mirror.
        if (!(frames >= 1.0f))
            return false;
        // Beyond the buffer's frame limit create fails and says so.
        frameCount = frames > float(kgiKmmFile::MAX_FRAMES) ? kgiKmmFile::MAX_FRAMES + 1 : int(frames);
        for (float t = firstFrame; t < lastFrame; t += 1.0f)
            if (rootMotion->hasKeyTime(t, -1))
                ++keyCount;
    } else if (rootMotion->hasKeyTime(context.currentTime, -1)) {
        keyCount = 1;
    }
    if (!motionFlip.createMotion(jointCount, frameCount, keyCount)) {
        fail("Couldn't create pose(s) buffer");
        return false;
    }
    return true;
}

ksgVisitor::ReturnType kgiPoseFlipper::CollectFlipData::exec(ksgNode* node)
{
    const kgiKmdData* d = jointData(node);
    if (!d || index >= flipper->jointCount)
        return DESCEND;
    const size_t i = size_t(index);
    ksgMotionController* mc = getMotionController(node);
    const kmlMatrix4 rest = mc ? mc->getDefault() : node->getLocal();
    for (int k = 0; k < 16; ++k)
        flipper->restKeys[i].matrix[k] = rest[k];
    flipper->depths[i] = node->getDepth();
    flipper->types[i] = d->getType();
    ++index;
    return DESCEND;
}

ksgVisitor::ReturnType kgiPoseFlipper::UpdateFromFlipData::exec(ksgNode* node)
{
    if (!jointData(node))
        return DESCEND;
    ksgTransform* t = node->asTransform();
    const kgiKmmNode* record = buffer->getNode(index);
    if (!t || !record) {
        ++index;
        return DESCEND;
    }
    ksgMotionController* mc = getMotionController(node);
    if (mode == 0 || !mc) {
        const kgiKmmKey* key = record->getKey(0);
        if (key)
            t->setLocal(kmlMatrix4(key->matrix));
    } else {
        ksgMotionFrame* frame = mc->newFrame();
        int k = 0;
        for (int f = first; f <= last; ++f, ++k) {
            if (!mc->hasKeyTime(float(f), -1) || k >= int(record->keys.size()))
                continue;
            frame->setTime(float(f));
            frame->fromMatrix(kmlMatrix4(record->keys[size_t(k)].matrix));
            mc->addFrame(frame, -1);
        }
        delete frame;
    }
    ++index;
    return DESCEND;
}
