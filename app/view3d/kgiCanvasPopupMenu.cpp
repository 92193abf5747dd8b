// The 3D canvas's joint pop-up and the commands its items send to the
// canvas. What the menu holds and which joints the commands act on is
// kgiCanvasPopup's; the joint table carries out the hand, foot and base-part
// commands.
#include "kgi3dCanvas.h"

#include <cstdio>
#include <functional>

#include "kgiApp.h"
#include "kgiCanvasPopup.h"
#include "kgiCharacter.h"
#include "kgiCollisionCheckParts.h"
#include "kgiWorld.h"
#include "ksgCcdIk.h"
#include "ksgNode.h"
#include "ksgTransform.h"

static_assert(int(kgi3dCanvas::ID_SUBTREE_MIRROR) == int(kgiCanvasPopup::SUBTREE_MIRROR) &&
                  int(kgi3dCanvas::ID_ADJUST_PREV_KEY) == int(kgiCanvasPopup::ADJUST_PREV_KEY),
              "the pop-up's commands are the canvas's identifiers");

namespace {

kgiCharacter* characterOf(ksgNode* node)
{
    return node != nullptr ? kgiWorld::instance()->findCharacterOfNode(node) : nullptr;
}

// A joint-table command on the picked node, then the canvas redrawn. The
// table decides what a node outside its lists means; without a table there
// is only the redraw.
long jointTableCommand(kgi3dCanvas* canvas, const std::function<void(kgiPartTable&, ksgNode*)>& call)
{
    if (kgiPartTable* table = kgiPartTable::installed())
        call(*table, canvas->getPickedNode());
    if (kgiApp* app = kgiApp::instance())
        app->redrawCanvas(canvas);
    return 1;
}

} // namespace

void kgi3dCanvas::showPopup(ksgNode* node, FX::FXEvent* ev)
{
    kgiApp* app = kgiApp::instance();
    if (app != nullptr && !app->isViewEditAllowed(false)) {
        std::fputs("The command is locked.\n", stderr);
        return;
    }
    if (node == nullptr || ev == nullptr)
        return;
    FX::FXMenuPane pane(this);
    for (const kgiCanvasPopup::Item& item : kgiCanvasPopup::items(node, kgiPartTable::installed())) {
        const FX::FXString label = app != nullptr ? app->languageText(item.labelKey) : FX::FXString(item.labelKey);
        new FX::FXMenuCommand(&pane, label, nullptr, this, static_cast<FX::FXSelector>(item.command));
    }
    pane.create();
    pane.popup(nullptr, ev->root_x, ev->root_y);
    getApp()->runModalWhileShown(&pane);
    buttonDown = false;
}

long kgi3dCanvas::onCmdSubtreeMirror(FX::FXObject*, FX::FXSelector, void*)
{
    ksgNode* picked = getPickedNode();
    if (picked == nullptr)
        return 0;
    ksgNode* joint = kgiCanvasPopup::mirrorJoint(picked);
    kgiCharacter* c = characterOf(picked);
    if (joint != nullptr && c != nullptr) {
        c->mirrorPose(joint);
        if (kgiApp* app = kgiApp::instance())
            app->redrawCanvas(this);
    }
    return 1;
}

long kgi3dCanvas::onCmdSetReverseRoot(FX::FXObject*, FX::FXSelector, void*)
{
    ksgNode* picked = getPickedNode();
    if (picked == nullptr)
        return 1;
    if (ksgTransform* joint = kgiCanvasPopup::reverseRootJoint(picked))
        if (ikController != nullptr)
            ikController->setReverseRoot(joint);
    if (kgiPartTable* table = kgiPartTable::installed())
        table->toggleSelectedPart(picked);
    return 1;
}

long kgi3dCanvas::onCmdFlipPose(FX::FXObject*, FX::FXSelector, void*)
{
    kgiCharacter* c = characterOf(getPickedNode());
    if (c == nullptr)
        return 0;
    c->flipPose();
    if (kgiApp* app = kgiApp::instance())
        app->redrawCanvas(this);
    return 1;
}

long kgi3dCanvas::onCmdHandOpen(FX::FXObject*, FX::FXSelector, void*)
{
    return jointTableCommand(this, [](kgiPartTable& t, ksgNode* n) { t.setHand(n, false); });
}

long kgi3dCanvas::onCmdHandClose(FX::FXObject*, FX::FXSelector, void*)
{
    return jointTableCommand(this, [](kgiPartTable& t, ksgNode* n) { t.setHand(n, true); });
}

long kgi3dCanvas::onCmdFootLand(FX::FXObject*, FX::FXSelector, void*)
{
    const bool allKeys = motionMode;
    return jointTableCommand(this, [allKeys](kgiPartTable& t, ksgNode* n) { t.levelFootOverKeys(n, allKeys); });
}

long kgi3dCanvas::onCmdLevelAnkles(FX::FXObject*, FX::FXSelector, void*)
{
    return jointTableCommand(this, [](kgiPartTable& t, ksgNode* n) { t.levelAnkles(n); });
}

long kgi3dCanvas::onCmdAdjustPrevKey(FX::FXObject*, FX::FXSelector, void*)
{
    const bool appended = motionMode;
    return jointTableCommand(this, [appended](kgiPartTable& t, ksgNode* n) { t.alignBasePart(n, appended); });
}
