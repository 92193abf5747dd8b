#include "kgiCharacter.h"

#include "kgiCharacterServices.h"
#include "kgiKeyEdit.h"
#include "kgiProject.h"
#include "ksgNode.h"
#include "ksgTransform.h"
#include "ksgVisitor.h"
#include "kutPath.h"

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
    root = nullptr;
    builder.reset();
    frameCount = 0;
    keyCount = 0;
    keyTimes.clear();
}

bool kgiCharacter::load(const std::string& path)
{
    if (!builder.load(path, kgiModelBuilder::BUILD_TREE))
        return false;
    kgiCharacterServices::current().setFramesPerSecond(FRAMES_PER_SECOND);
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
    updateKeysInfo();
}

void kgiCharacter::setTime(float time)
{
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

void kgiCharacter::runEdit(ksgVisitor& visitor)
{
    if (!runVisitor(visitor))
        return;
    updateKeysInfo();
    refresh();
}

void kgiCharacter::warnKeysMax()
{
    kgiCharacterServices& services = kgiCharacterServices::current();
    services.showMessage("Warning - 153", services.text("Wr_Keys_Max"));
}

bool kgiCharacter::addKey(int frame)
{
    if (keyCount >= kgiCharacterServices::current().keysMax()) {
        warnKeysMax();
        return false;
    }
    if (!root)
        return false;
    kgiAddKey add{float(frame)};
    runEdit(add);
    return true;
}

void kgiCharacter::deleteKey(int frame)
{
    kgiDeleteKey v{float(frame)};
    runEdit(v);
}

void kgiCharacter::duplicateKey(int from, int to)
{
    kgiDuplicateKey v{float(from), float(to)};
    runEdit(v);
}

void kgiCharacter::duplicateKeys(int start, int count, int dest)
{
    kgiDuplicateKeys v{float(start), float(count), float(dest)};
    runEdit(v);
}

void kgiCharacter::deleteKeys(int start, int count)
{
    kgiDeleteKeys v{float(start), float(count)};
    runEdit(v);
}

void kgiCharacter::deleteFrames(int start, int count)
{
    kgiDeleteFrames v{float(start), float(count)};
    runEdit(v);
}

void kgiCharacter::insertFrames(int start, int count)
{
    kgiInsertFrames v{float(start), float(count)};
    runEdit(v);
}

void kgiCharacter::copyFrame()
{
    kgiCopyFrame v;
    runVisitor(v);
}

void kgiCharacter::cutKey(int frame)
{
    kgiCutKey v{float(frame)};
    runEdit(v);
}

void kgiCharacter::pasteKey(int frame)
{
    kgiPasteKey v{float(frame)};
    runEdit(v);
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
