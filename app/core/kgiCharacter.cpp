#include "kgiCharacter.h"

#include "kgiCharacterServices.h"
#include "kgiCollisionCheckParts.h"
#include "kgiFreedTreeNotice.h"
#include "kgiKeyEdit.h"
#include "kgiKeyUndo.h"
#include "kgiKmdData.h"
#include "kgiLangKeys.h"
#include "kgiModelData.h"
#include "kgiModelParts.h"
#include "kgiPoseFlip.h"
#include "kgiProject.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"
#include "ksgNode.h"
#include "ksgTransform.h"
#include "ksgVisitor.h"
#include "kutPath.h"

#include <cmath>
#include <memory>

const kutRtti kgiCharacter::RTTI("kgiCharacter", &kutObject::RTTI);

const kutRtti* kgiCharacter::getRtti() const
{
    return &RTTI;
}

kgiCharacter::kgiCharacter() : keyUndo(kutUndoMgr::FUNCTION, UNDO_CAPACITY)
{
    bounds.reset();
}

kgiCharacter::~kgiCharacter()
{
    reset();
}

void kgiCharacter::reset()
{
    // The key entries' snapshots hold the nodes of the tree that goes now:
    // an undo after a reload would write into freed nodes. A character
    // without a model keeps its history (nothing in it points anywhere).
    if (root) {
        // Listeners drop their pointers into the tree while it still stands.
        kgiFreedTreeNotice::raise(this, root);
        keyUndo.clear();
    }
    // The hand set's joints are nodes of that tree as well.
    delete handSet;
    handSet = nullptr;
    root = nullptr;
    // Before the builder frees the tree the snapshots point into.
    poseUndo.setRoot(nullptr);
    builder.reset();
    frameCount = 0;
    keyCount = 0;
    keyTimes.clear();
}

bool kgiCharacter::load(const std::string& path)
{
    // The builder frees its previous tree as it starts, even when the load
    // then fails: a model of its own must not be kept past that.
    if (root && root == builder.getRoot())
        reset();
    if (!builder.load(path, kgiModelBuilder::BUILD_TREE))
        return false;
    kgiCharacterServices::current().setFramesPerSecond(FRAMES_PER_SECOND);
    delete handSet;
    handSet = nullptr;
    root = builder.getRoot();
    updateBounds();
    ownName = false;
    return true;
}

void kgiCharacter::attachRoot(ksgNode* node)
{
    reset();
    root = node;
    name = node ? node->getName() : std::string();
    updateBounds();
    ownName = true;
}

std::string kgiCharacter::getName() const
{
    if (ownName)
        return name;
    if (const kgiProject* p = builder.getProject())
        return kutRemovePath(p->getTsPath().empty() ? p->getTsName() : p->getTsPath());
    return "";
}

bool kgiCharacter::saveMotion(const std::string& path)
{
    return builder.saveMotion(path);
}

void kgiCharacter::updateBounds()
{
    if (!root)
        return;
    bounds = root->getBounds();
    // Only a new tree: the history is dropped with it.
    if (poseUndo.getRoot() != root)
        poseUndo.setRoot(root);
    updateKeysInfo();
}

void kgiCharacter::setTime(float time)
{
    if (root)
        root->update(time, true, true);
}

void kgiCharacter::refresh()
{
    if (!root)
        return;
    root->update(0.0f, false, true);
    kgiCharacterServices::current().checkCollisions();
}

ksgNode* kgiCharacter::findNode(const std::string& n) const
{
    return root ? root->find(n) : nullptr;
}

void kgiCharacter::updateKeysInfo()
{
    updateKeysInfoFrom(root);
}

void kgiCharacter::updateKeysInfoFrom(ksgNode* node)
{
    ksgTransform* from = node ? node->asTransform() : nullptr;
    kgiGetKeysInfo info(-1);
    if (from) {
        ksgNullVisitor leave;
        from->depthVisit(info, leave);
    } else if (node) {
        return;
    }
    keyTimes = info.times;
    keyCount = int(keyTimes.size());
    frameCount = keyTimes.empty() ? 0 : int(keyTimes.back() + 1.0f);
}

void kgiCharacter::applyKeysInfo()
{
    if (!root)
        return;
    kgiSetKeysInfo set(-1, false);
    set.times = keyTimes;
    runVisitor(set);
    refresh();
}

bool kgiCharacter::runVisitor(ksgVisitor& visitor)
{
    if (!root)
        return false;
    ksgNullVisitor leave;
    root->depthVisit(visitor, leave);
    return true;
}

bool kgiCharacter::runEdit(kgiKeyVisitor& visitor)
{
    if (!visitor.accepts() || !runVisitor(visitor))
        return false;
    if (batchDepth > 0) {
        batchEdited = true;
        return true;
    }
    updateKeysInfo();
    refresh();
    return true;
}

kgiCharacter::KeyBatch::KeyBatch(kgiCharacter* character) : character(character)
{
    if (character)
        ++character->batchDepth;
}

kgiCharacter::KeyBatch::~KeyBatch()
{
    if (!character || --character->batchDepth > 0 || !character->batchEdited)
        return;
    character->batchEdited = false;
    character->updateKeysInfo();
    character->refresh();
}

void kgiCharacter::warnKeysMax()
{
    kgiCharacterServices& services = kgiCharacterServices::current();
    services.showMessage("Warning - 153", services.text(kgiLangKey::Wr_Keys_Max));
}

bool kgiCharacter::addKey(int frame)
{
    return addKeyAt(float(frame));
}

bool kgiCharacter::addKeyAt(float time)
{
    if (keyCount >= kgiCharacterServices::current().keysMax()) {
        warnKeysMax();
        return false;
    }
    kgiAddKey add{std::isfinite(time) ? time : -1.0f};
    return runEdit(add);
}

bool kgiCharacter::deleteKey(int frame)
{
    kgiDeleteKey v{float(frame)};
    return runEdit(v);
}

bool kgiCharacter::duplicateKey(int from, int to)
{
    kgiDuplicateKey v{float(from), float(to)};
    return runEdit(v);
}

bool kgiCharacter::duplicateKeys(int start, int count, int dest)
{
    kgiDuplicateKeys v{float(start), float(count), float(dest)};
    return runEdit(v);
}

bool kgiCharacter::deleteKeys(int start, int count)
{
    kgiDeleteKeys v{float(start), float(count)};
    return runEdit(v);
}

bool kgiCharacter::deleteFrames(int start, int count)
{
    kgiDeleteFrames v{float(start), float(count)};
    return runEdit(v);
}

bool kgiCharacter::insertFrames(int start, int count)
{
    kgiInsertFrames v{float(start), float(count)};
    return runEdit(v);
}

bool kgiCharacter::copyFrame()
{
    kgiCopyFrame v;
    return runVisitor(v);
}

bool kgiCharacter::cutKey(int frame)
{
    kgiCutKey v{float(frame)};
    return runEdit(v);
}

bool kgiCharacter::pasteKey(int frame)
{
    kgiPasteKey v{float(frame)};
    return runEdit(v);
}

bool kgiCharacter::readMotion(const std::string& path, kgiModelBuilder& source)
{
    return source.load(path, kgiModelBuilder::KEEP_MODEL_DATA);
}

int kgiCharacter::motionKeyCount(const kgiModelBuilder& source)
{
    const kgiModelData* data = source.getModelData();
    if (!data || data->models.empty())
        return 0;
    const kgiModelEntry& entry = data->models[0];
    return entry.keyFrames ? entry.keyCount : 0;
}

bool kgiCharacter::importMotion(const std::string& path, int at, int limit)
{
    kgiModelBuilder source;
    return readMotion(path, source) && importMotion(source, at, limit);
}

bool kgiCharacter::importMotion(const kgiModelBuilder& source, int at, int limit)
{
    const int keys = motionKeyCount(source);
    if (keys < 1)
        return false;
    const kgiModelEntry& entry = source.getModelData()->models[0];
    const uint16_t* frames = entry.keyFrames.get();
    const int last = frames[keys - 1];

    kgiRemKeysUndo* removed = new kgiRemKeysUndo(this, float(at), float(at + last));
    if (!deleteKeys(at, last + 1)) {
        // Nothing was deleted (no model, or a negative frame): nothing to
        // import into either.
        delete removed;
        return false;
    }
    addKeyUndo(removed);
    if (keyCount > kgiCharacterServices::current().keysMax() - keys) {
        warnKeysMax();
        return false;
    }

    kgiPartTable* table = kgiPartTable::installed();
    const int joints = table ? table->getNodeCount() : 0;
    for (const kgiMeshRecord& object : entry.records) {
        for (int j = 0; j < joints; ++j) {
            ksgNode* node = table->getNode(j);
            if (!node || node->getName() != object.name)
                continue;
            ksgTransform* t = node->asTransform();
            ksgMotionController* mc = t ? getMotionController(t) : nullptr;
            if (!mc)
                continue;
            std::unique_ptr<ksgMotionFrame> frame(mc->newFrame());
            // The keys come in time order: their tangents are computed
            // once, after the last.
            mc->deferKeyUpdates(true);
            for (int k = 0; k < keys; ++k) {
                const int f = frames[k];
                if (limit >= at && at + f >= limit)
                    continue;
                if (!object.frames || f >= object.frameCount)
                    continue;
                frame->setTime(float(at + f));
                frame->fromMatrix(kgiRecordFrameMatrix(&object, f));
                mc->addFrame(frame.get(), 1);
            }
            mc->deferKeyUpdates(false);
            t->update(0.0f, false, true);
        }
    }
    updateKeysInfo();
    addKeyUndo(new kgiAddKeysUndo(this, float(at), float(at + last)));
    return true;
}

void kgiCharacter::addKeyUndo(kutUndoEntry* entry)
{
    keyUndo.add(entry);
}

bool kgiCharacter::undoKeys()
{
    if (!keyUndo.undo())
        return false;
    updateKeysInfo();
    refresh();
    return true;
}

bool kgiCharacter::redoKeys()
{
    if (!keyUndo.redo())
        return false;
    updateKeysInfo();
    refresh();
    return true;
}

void kgiCharacter::addPoseUndo()
{
    if (!root)
        return;
    poseUndo.add(new kgiPoseUndoEntry(root));
}

bool kgiCharacter::undoPose()
{
    if (!poseUndo.undo())
        return false;
    refresh();
    return true;
}

bool kgiCharacter::redoPose()
{
    if (!poseUndo.redo())
        return false;
    refresh();
    return true;
}

kgiPoseFlipper::Context kgiCharacter::flipContext()
{
    // The world's times and mirror mode, but this character and its history
    // whether or not the world holds it.
    kgiPoseFlipper::Context context = kgiPoseFlipper::worldContext(nullptr);
    context.character = this;
    context.poseUndo = &poseUndo;
    return context;
}

bool kgiCharacter::flipPose()
{
    if (!root)
        return false;
    kgiPoseFlipper flipper;
    const bool done = flipper.flipPose(root, kgiPoseFlipper::POSE, 0, flipContext());
    refresh();
    return done;
}

bool kgiCharacter::mirrorPose(ksgNode* from)
{
    if (!root || !from)
        return false;
    kgiPoseFlipper flipper;
    const bool done = flipper.flipPose(from, kgiPoseFlipper::FROM_NODE, 0, flipContext());
    refresh();
    return done;
}

bool kgiCharacter::flipKeys(int start, int count)
{
    if (!root)
        return false;
    kgiPoseFlipper flipper;
    return flipper.flipKeys(this, start, start + count - 1);
}

bool kgiCharacter::checkFlipper()
{
    kgiPoseFlipper flipper;
    return true;
}
