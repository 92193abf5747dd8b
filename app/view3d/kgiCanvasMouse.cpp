#include "kgiCanvasMouse.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiCollisionCheckParts.h"
#include "kgiCurveView.h"
#include "kgiKeyUndo.h"
#include "kgiKinematicControllers.h"
#include "kgiKmdData.h"
#include "kgiScene.h"
#include "kgiSceneNodeGroup.h"
#include "kgiWorld.h"
#include "kmlVec2.h"
#include "kmlVec4.h"
#include "ksgCcdIk.h"
#include "ksgManipulator.h"
#include "ksgTransform.h"
#include "ksgTransformController.h"
#include "ksgView.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"

#include <algorithm>
#include <iostream>
#include <vector>

namespace {

// Joints of the joint table a CCD drag with a reverse root may mirror from.
const int MIRROR_JOINTS = 20;

bool isInTree(ksgNode* node, ksgNode* root)
{
    for (ksgNode* n = node; n != nullptr; n = n->getParent())
        if (n == root)
            return true;
    return false;
}

// The node's transform (or its parent transform), moved up while it takes
// part in neither forward nor inverse kinematics; the top one stays.
ksgTransform* jointOf(ksgNode* node)
{
    ksgTransform* t = node->asTransform();
    if (t == nullptr)
        t = node->getParentTransform();
    while (t != nullptr && t->isFkIgnored() && t->isIkIgnored() && t->getParentTransform() != nullptr)
        t = t->getParentTransform();
    return t;
}

kmlVec3 xyz(const kmlVec4& v) { return kmlVec3(v.get(0), v.get(1), v.get(2)); }

} // namespace

kgiCanvasMouse::~kgiCanvasMouse() { dropKeyEntry(); }

void kgiCanvasMouse::clearTarget()
{
    if (parts.manipulator == nullptr)
        return;
    parts.manipulator->setTarget(nullptr);
    host.redraw();
}

bool kgiCanvasMouse::hover(int x, int y)
{
    ksgView* view = parts.view;
    if (view == nullptr || view->getViewport() == nullptr)
        return false;
    kgiWorld* world = kgiWorld::instance();
    ksgScene* scene = parts.scene != nullptr ? parts.scene : world->getScene();
    ksgView::HitList hits;
    view->pick(scene, x, y, hits, ksgView::NEAREST);

    kgiPartTable* table = kgiPartTable::installed();
    if (pickedNode != nullptr) {
        if (table != nullptr)
            table->clearPartMark(pickedNode);
        pickedNode = nullptr;
    }
    if (hits.size() == 1) {
        ksgNode* node = hits.front().second;
        if (kgiKmdData::of(node) != nullptr) {
            if (table != nullptr)
                table->selectPart(node);
        } else if (parts.manipulator != nullptr) {
            parts.manipulator->select(node);
        }
        pickedNode = node;
        if (world->findCharacterOfNode(node) != world->getCurrentCharacter()) {
            pickedNode = nullptr;
            clearTarget();
        }
    } else {
        clearTarget();
    }
    host.redraw();
    lastX = x;
    lastY = y;
    return true;
}

ksgTransform* kgiCanvasMouse::chooseTarget(ksgNode* node) const
{
    if (node == nullptr)
        return nullptr;
    if (mouseMode == 7)
        return node->getRoot()->asTransform();
    return jointOf(node);
}

void kgiCanvasMouse::frameRange(int& start, int& end) const
{
    kgiWorld* world = kgiWorld::instance();
    start = static_cast<int>(world->getStartFrame());
    end = static_cast<int>(world->getEndFrame());
}

void kgiCanvasMouse::leftPress(int x, int y, unsigned state, int clicks)
{
    kgiApp* app = kgiApp::instance();
    if (clicks >= 2) {
        host.fitView();
        lastX = x;
        lastY = y;
        return;
    }
    if (groupEditMode == 2) {
        toggleGroupMember(state);
        lastX = x;
        lastY = y;
        return;
    }
    // A new drag: its own pose entry, mirroring and key entry.
    dropKeyEntry();
    stepRan = false;
    mirrorStopped = false;

    ksgManipulator* m = parts.manipulator;
    if (pickedNode != nullptr && m != nullptr) {
        if (app != nullptr && app->isLessonMode()) {
            bool allowed = false;
            for (ksgNode* n = pickedNode; n != nullptr && !allowed; n = n->getParent())
                allowed = n->getName() == "RShoulder";
            app->playAnswerSound(allowed);
            if (!allowed) {
                lastX = x;
                lastY = y;
                return;
            }
        }
        ksgTransform* target = chooseTarget(pickedNode);
        m->setTarget(target);
        if (app != nullptr)
            if (kgiCurveView* curves = app->getCurveWindow())
                if (curves->shown() && target != nullptr)
                    curves->fillCurveList(target);
        poseUndoPending = true;
        if (app != nullptr)
            app->redrawTimeline();
    }

    ksgView* view = parts.view;
    ksgViewpoint* viewpoint = view != nullptr ? view->getViewpoint() : nullptr;
    const kmlMatrix4 eye = viewpoint != nullptr ? viewpoint->getMatrix() : kmlMatrix4();
    const kmlVec3 sight = xyz(eye * kmlVec4(0.0f, 0.0f, -1.0f, 0.0f));
    switch (mouseMode) {
    case 1:
    case 2:
    case 7:
        if (view != nullptr && view->getViewport() != nullptr) {
            float nx = 0.0f, ny = 0.0f;
            view->getViewport()->getNormalizedCoords(x, y, nx, ny);
            startGrab(nx, ny);
        }
        break;
    case 3:
        if (parts.axisFk != nullptr)
            parts.axisFk->setAxis(sight);
        break;
    case 4:
        if (parts.trackballFk != nullptr)
            parts.trackballFk->setOrigin(xyz(eye * kmlVec4(0.0f, 0.0f, 0.0f, 1.0f)));
        break;
    case 5:
        if (parts.bodyFk != nullptr)
            parts.bodyFk->setAxis(sight);
        break;
    case 6:
        if (parts.animFk != nullptr) {
            parts.animFk->setAxis(sight);
            int start = 0, end = 0;
            frameRange(start, end);
            parts.animFk->setRange(start, end);
        }
        break;
    default:
        break;
    }
    lastX = x;
    lastY = y;
}

void kgiCanvasMouse::startGrab(float nx, float ny)
{
    ksgNode* joint = parts.ik != nullptr ? parts.ik->getTarget() : nullptr;
    if (joint == nullptr && parts.animIk != nullptr) {
        joint = parts.animIk->getTarget();
        if (joint != nullptr) {
            int start = 0, end = 0;
            frameRange(start, end);
            parts.animIk->setRange(start, end);
        }
    }
    ksgViewpoint* viewpoint = parts.view->getViewpoint();
    if (joint == nullptr || viewpoint == nullptr)
        return;
    const kmlMatrix4 eye = viewpoint->getMatrix();
    const kmlVec3 p = xyz(joint->getWorld().getColumn(3));
    const kmlVec3 e = xyz(eye.getColumn(3));
    const kmlVec3 z = xyz(eye.getColumn(2));
    const kmlVec3 d = p - e;
    grabDepth = -(d.get(0) * z.get(0) + d.get(1) * z.get(1) + d.get(2) * z.get(2));
    const kmlVec3 q = xyz(eye * kmlVec4(parts.view->getViewport()->get3DPoint(nx, ny, grabDepth), 1.0f));
    grabOffset = p - q;
}

void kgiCanvasMouse::toggleGroupMember(unsigned state)
{
    if (pickedNode == nullptr)
        return;
    // The pointer is over a mesh part, which the group refuses: the joint
    // is found as a grab finds it (parts take part in neither kinematics).
    ksgTransform* joint = jointOf(pickedNode);
    if (joint == nullptr)
        return;
    kgiNodeGroup& group = kgiNodeGroup::ccdGroup();
    group.setMode((state & SHIFT) != 0 ? ksgNodeGroup::SUBTREE : ksgNodeGroup::SINGLE);
    group.markNodes(false);
    if (group.hasNode(joint))
        group.remNode(joint);
    else
        group.addNode(joint);
    group.markNodes(true);
    host.redraw();
}

void kgiCanvasMouse::setLastPosition(int x, int y)
{
    lastX = x;
    lastY = y;
}

void kgiCanvasMouse::zoom(float factor, float ly, float ny)
{
    float z = (ny - ly) * factor;
    if (kgiWorld::instance()->getViewpointMode() == 0)
        z = -z;
    parts.view->getViewpoint()->zoom(z);
    parts.view->updateOrtho();
}

void kgiCanvasMouse::pan(float lx, float ly, float nx, float ny)
{
    parts.view->getViewpoint()->translate(kmlVec2(-(nx - lx) * 30.0f, -(ny - ly) * 30.0f));
}

void kgiCanvasMouse::orbit(float lx, float ly, float nx, float ny)
{
    ksgViewpoint* vp = parts.view->getViewpoint();
    vp->incrYaw(-(nx - lx) * 100.0f);
    vp->incrPitch((ny - ly) * 100.0f);
    std::cerr << "Yaw= " << vp->getYaw() << "   Pitch= " << vp->getPitch() << "\n";
    std::cerr << "DistanceToBase= " << vp->getDistanceToBase() << "\n";
    host.setGridPlane(2);
}

bool kgiCanvasMouse::drag(int x, int y, unsigned state, int button)
{
    ksgView* view = parts.view;
    ksgViewportState* port = view != nullptr ? view->getViewport() : nullptr;
    if (port == nullptr || view->getViewpoint() == nullptr)
        return false;
    float lx = 0.0f, ly = 0.0f, nx = 0.0f, ny = 0.0f;
    port->getNormalizedCoords(lastX, lastY, lx, ly);
    port->getNormalizedCoords(x, y, nx, ny);
    ksgManipulator* m = parts.manipulator;

    switch (button) {
    case LEFT:
        if ((state & RIGHT_HELD) != 0) {
            zoom(30.0f, ly, ny);
            host.redraw();
        } else if (groupEditMode != 2 && m != nullptr && m->getTarget() != nullptr) {
            if (poseUndoPending) {
                if (kgiCharacter* c = kgiWorld::instance()->findCharacterOfNode(m->getTarget()))
                    c->addPoseUndo();
                poseUndoPending = false;
            }
            if (mouseMode == 1 || mouseMode == 2 || mouseMode == 7) {
                const kmlMatrix4 eye = view->getViewpoint()->getMatrix();
                dragGoal = xyz(eye * kmlVec4(port->get3DPoint(nx, ny, grabDepth), 1.0f)) + grabOffset;
                goalIsDelta = false;
                dragPending = true;
            } else if (mouseMode >= 3 && mouseMode <= 6) {
                const kmlVec3 delta((nx - lx) * 250.0f, (ny - ly) * 250.0f, 0.0f);
                // Turns the step has not taken yet add up: each motion's
                // share reaches the joint.
                if (dragPending && goalIsDelta)
                    dragGoal += delta;
                else
                    dragGoal = delta;
                goalIsDelta = true;
                dragPending = true;
            }
        } else {
            pan(lx, ly, nx, ny);
            host.redraw();
        }
        break;
    case MIDDLE:
        if ((state & CONTROL) != 0)
            zoom(30.0f, ly, ny);
        else
            pan(lx, ly, nx, ny);
        host.redraw();
        break;
    case RIGHT:
        if ((state & LEFT_HELD) != 0)
            zoom(30.0f, ly, ny);
        else
            orbit(lx, ly, nx, ny);
        host.redraw();
        break;
    default:
        break;
    }
    lastX = x;
    lastY = y;
    return true;
}

void kgiCanvasMouse::leftRelease()
{
    if (keyEntry != nullptr) {
        kgiRekeyRangeUndo* entry = keyEntry;
        keyEntry = nullptr;
        if (stepRan && entry->getOwner() != nullptr) {
            entry->takeAfter();
            entry->getOwner()->addKeyUndo(entry);
        } else {
            delete entry;
        }
    }
    stepRan = false;
    mirrorStopped = false;
    clearTarget();
}

void kgiCanvasMouse::wheel(int amount)
{
    kgiApp* app = kgiApp::instance();
    if (app != nullptr && app->isLessonMode())
        return;
    kgiWorld* world = kgiWorld::instance();
    world->setCurrentTime(world->getCurrentTime() + (amount < 0 ? 1.0f : -1.0f));
    if (app != nullptr)
        app->redrawAll();
}

void kgiCanvasMouse::leave()
{
    if (pickedNode != nullptr)
        if (kgiPartTable* table = kgiPartTable::installed())
            table->clearPartMark(pickedNode);
    pickedNode = nullptr;
    host.redraw();
}

void kgiCanvasMouse::beginKeyEntry(kgiCharacter* c)
{
    if (keyEntry != nullptr || c == nullptr || (mouseMode != 6 && mouseMode != 7))
        return;
    int start = 0, end = 0;
    frameRange(start, end);
    if (start > end)
        return;
    keyEntry = new kgiRekeyRangeUndo(c, static_cast<float>(start), static_cast<float>(end));
}

void kgiCanvasMouse::dropKeyEntry()
{
    delete keyEntry;
    keyEntry = nullptr;
}

ksgNode* kgiCanvasMouse::mirrorStart() const
{
    ksgManipulator* m = parts.manipulator;
    switch (mouseMode) {
    case 1:
    case 2:
        if (parts.ik == nullptr)
            return nullptr;
        if (parts.ik->getMode() == 3) {
            kgiPartTable* table = kgiPartTable::installed();
            if (table == nullptr)
                return nullptr;
            const int count = std::min(MIRROR_JOINTS, table->getNodeCount());
            for (ksgNode* n = pickedNode; n != nullptr; n = n->getParent())
                for (int i = 0; i < count; ++i)
                    if (table->getNode(i) == n)
                        return n;
            return nullptr;
        }
        return parts.ik->getRoot();
    case 3:
    case 4: {
        ksgNode* n = m != nullptr ? m->getTarget() : nullptr;
        while (n != nullptr && n->getParent() != nullptr) {
            const kgiKmdData* data = kgiKmdData::of(n);
            if (data == nullptr || data->getType() != kgiKmdData::MIRROR_HELPER)
                break;
            n = n->getParent();
        }
        if (n == nullptr || n->getParent() == nullptr)
            return nullptr;
        return n;
    }
    default:
        return nullptr;
    }
}

void kgiCanvasMouse::step()
{
    if (!dragPending || stepping || kgiWorld::instance()->isPlaying())
        return;
    // Cleared first: a box opened below runs idle passes inside its own
    // loop, and they must not run this step again.
    dragPending = false;
    stepping = true;
    ksgManipulator* m = parts.manipulator;
    kgiCharacter* c = nullptr;
    if (m != nullptr) {
        c = kgiWorld::instance()->findCharacterOfNode(m->getTarget());
        beginKeyEntry(c);
        if (m->update(dragGoal, goalIsDelta))
            stepRan = true;
    }
    if (goalIsDelta)
        dragGoal = kmlVec3();
    if ((mouseMode == 1 || mouseMode == 2) && parts.ik != nullptr && parts.ik->getMode() == 3)
        if (kgiPartTable* table = kgiPartTable::installed())
            table->keepBasePartFixed();
    if (c != nullptr && !mirrorStopped && host.isMirrorMode()) {
        if (ksgNode* from = mirrorStart()) {
            // A failed mirror has shown its box: once per drag.
            if (!c->mirrorPose(from))
                mirrorStopped = true;
        }
    }
    stepping = false;
}

void kgiCanvasMouse::setMouseMode(int mode)
{
    ksgManipulator* m = parts.manipulator;
    if (m == nullptr)
        return;
    ksgTransformController* controllers[] = {nullptr,      parts.ik,          parts.ik,
                                             parts.axisFk, parts.trackballFk, parts.bodyFk,
                                             parts.animFk, parts.animIk};
    if (mode >= 0 && mode <= 7) {
        // The joint goes first, while the present controller still holds it:
        // the manipulator hands a new controller its target but never takes
        // it back from the old one.
        m->setTarget(nullptr);
        m->setController(controllers[mode]);
    }
    mouseMode = mode;
    dragPending = false;
}

void kgiCanvasMouse::setGroupEditMode(int mode)
{
    if (mode < 0 || mode > 2) {
        groupEditMode = 0;
        return;
    }
    groupEditMode = mode;
    if (mode == 2) {
        clearTarget();
        return;
    }
    if (parts.ik == nullptr)
        return;
    kgiNodeGroup& group = kgiNodeGroup::ccdGroup();
    if (group.getNumNodes() > 0) {
        parts.ik->setGroup(group);
        parts.ik->setMode(2);
    } else {
        parts.ik->setMode(1);
    }
}

void kgiCanvasMouse::applyGroupEditToggle() { setGroupEditMode(groupEditToggle ? 2 : 0); }

void kgiCanvasMouse::clearIkGroup()
{
    kgiNodeGroup& group = kgiNodeGroup::ccdGroup();
    group.markNodes(false);
    group.reset();
    host.redraw();
}

void kgiCanvasMouse::forgetTree(kgiCharacter* character, ksgNode* root)
{
    if (root == nullptr)
        return;
    if (isInTree(pickedNode, root))
        pickedNode = nullptr;
    kgiNodeGroup& group = kgiNodeGroup::ccdGroup();
    std::vector<ksgNode*> gone;
    for (unsigned i = 0; i < group.getNumNodes(); ++i)
        if (isInTree(group[i], root))
            gone.push_back(group[i]);
    if (!gone.empty()) {
        // One by one: the group's subtree mode would reach below each.
        const ksgNodeGroup::Mode mode = group.getMode();
        group.setMode(ksgNodeGroup::SINGLE);
        for (ksgNode* n : gone)
            group.remNode(n);
        group.setMode(mode);
        // The chain keeps its own copy of the group.
        if (parts.ik != nullptr)
            parts.ik->setGroup(group);
    }
    if (parts.ik != nullptr && isInTree(parts.ik->getReverseRoot(), root))
        parts.ik->clearReverseRoot();
    if (parts.manipulator != nullptr && isInTree(parts.manipulator->getTarget(), root))
        parts.manipulator->setTarget(nullptr);
    if (keyEntry != nullptr && keyEntry->getOwner() == character)
        dropKeyEntry();
}
