// The curve editor window.
#include "kgiCurveWindow.h"

#include "kgiApp.h"
#include "kgiCurveCanvas.h"
#include "kgiKmdData.h"

#include "kmlEulerCurve.h"
#include "kmlTCCurve.h"
#include "ksgMotionController.h"
#include "ksgNode.h"
#include "ksgTransform.h"
#include "kutImg.h"
#include "kutPath.h"

#include <fxkeys.h>

#include <algorithm>

FXDEFMAP(kgiCurveWindow) kgiCurveWindowMap[] = {
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_CURVE_LIST, kgiCurveWindow::onCmdCurveList),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_FIT_X, kgiCurveWindow::onCmdFitX),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_FIT_Y, kgiCurveWindow::onCmdFitY),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_FIT_XY, kgiCurveWindow::onCmdFitXY),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_SMOOTH, kgiCurveWindow::onCmdSmooth),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_LINK_IO, kgiCurveWindow::onCmdLinkIO),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_UPDATE, kgiCurveWindow::onCmdUpdate),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_ALL, kgiCurveWindow::onCmdAll),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_LINEAR, kgiCurveWindow::onCmdLinear),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_DEFAULT, kgiCurveWindow::onCmdDefault),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_FAST, kgiCurveWindow::onCmdFast),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_SLOW, kgiCurveWindow::onCmdSlow),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_TANGENT_IN, kgiCurveWindow::onCmdTangentIn),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_TANGENT_OUT, kgiCurveWindow::onCmdTangentOut),
    FXMAPFUNC(FX::SEL_COMMAND, kgiCurveWindow::ID_TANGENT_INOUT, kgiCurveWindow::onCmdTangentInOut),
    FXMAPFUNC(FX::SEL_KEYPRESS, 0, kgiCurveWindow::onKeyPress),
    FXMAPFUNC(FX::SEL_KEYRELEASE, 0, kgiCurveWindow::onKeyRelease),
};

FXIMPLEMENT(kgiCurveWindow, FX::FXTopWindow, kgiCurveWindowMap, ARRAYNUMBER(kgiCurveWindowMap))

const kutRtti kgiCurveWindow::PCurveData::RTTI("kgiCurveWindow::PCurveData", &kutObject::RTTI);
const kutRtti kgiCurveWindow::RCurveData::RTTI("kgiCurveWindow::RCurveData", &kutObject::RTTI);

const char* const kgiCurveWindow::ICON_FILES[ICON_COUNT] = {
    "tree.bmp", "curver.bmp", "curveg.bmp", "curveb.bmp", "pos.bmp", "rot.bmp", "def.bmp", "fast.bmp",
    "slow.bmp", "lin.bmp", "fitx.bmp", "fity.bmp", "fitxy.bmp", "tin.bmp", "tout.bmp", "tinout.bmp",
};

namespace {

const FX::FXColor BLUE = FXRGB(0, 0, 255);
const FX::FXColor BLACK = FXRGB(0, 0, 0);
const FX::FXuint BUTTON_OPTS = FX::FRAME_LINE | FX::LAYOUT_FILL_Y;
const FX::FXuint TREE_LOOK = FX::TREELIST_SHOWS_LINES | FX::TREELIST_SHOWS_BOXES;
// The list is wide enough for a joint name and its channels.
constexpr int LIST_WIDTH = 150;
const char* const CHANNEL_NAMES[3] = {"X", "Y", "Z"};

} // namespace

kgiCurveWindow::kgiCurveWindow(FX::FXApp* app, const std::string& title, int x, int y, int w, int h)
    : FX::FXTopWindow(app, title.c_str(), nullptr, nullptr, FX::DECOR_ALL | FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y, x,
                      y, w, h, 0, 0, 0, 0, 0, 0) {
    kgiApp* application = kgiApp::instance();
    if (application) {
        if (FX::FXIcon* icon = application->getAppIcon()) setIcon(icon);
        application->addCurveWindow(this);
    }
    kgiFreedTreeNotice::subscribe(this);
    loadIcons();

    topDock = new FX::FXDockSite(this, FX::LAYOUT_SIDE_TOP | FX::LAYOUT_FILL_X);
    bottomDock = new FX::FXDockSite(this, FX::LAYOUT_SIDE_BOTTOM | FX::LAYOUT_FILL_X);
    leftDock = new FX::FXDockSite(this, FX::LAYOUT_SIDE_LEFT | FX::LAYOUT_FILL_Y);
    rightDock = new FX::FXDockSite(this, FX::LAYOUT_SIDE_RIGHT | FX::LAYOUT_FILL_Y);
    statusBar = new FX::FXStatusBar(this, FX::LAYOUT_SIDE_BOTTOM | FX::LAYOUT_FILL_X | FX::STATUSBAR_WITH_DRAGCORNER);

    buildToolBar();
    buildCurveList();
    buildCanvas();
}

kgiCurveWindow::~kgiCurveWindow() {
    if (kgiApp* application = kgiApp::instance()) application->removeCurveWindow(this);
    kgiFreedTreeNotice::unsubscribe(this);
    // The items go before the records and icons they point to.
    if (tree) tree->clearItems(FALSE);
    deleteRecords();
    // The canvas before the visual it draws with.
    delete curveCanvas;
    curveCanvas = nullptr;
    delete visual;
    visual = nullptr;
    for (FX::FXIcon*& icon : icons) {
        delete icon;
        icon = nullptr;
    }
    delete toolShell;
    toolShell = nullptr;
    delete listShell;
    listShell = nullptr;
}

void kgiCurveWindow::loadIcons() {
    kgiApp* application = kgiApp::instance();
    const std::string base = application ? application->getBaseDir() : std::string();
    const std::string folder = kutAppendPath(kutAppendPath(base, "icons"), "curve");
    for (int i = 0; i < ICON_COUNT; ++i) {
        // The pixels go to the icon, which frees them; white is see-through.
        kutFoxImg bitmap(false);
        if (!bitmap.loadBitmap(kutPrependPath(folder, ICON_FILES[i]))) continue;
        icons[static_cast<size_t>(i)] =
            new FX::FXIcon(getApp(), reinterpret_cast<FX::FXColor*>(bitmap.getPixels()), FXRGB(255, 255, 255),
                           FX::IMAGE_ALPHACOLOR | FX::IMAGE_OWNED, bitmap.getWidth(), bitmap.getHeight());
    }
}

FX::FXButton* kgiCurveWindow::iconButton(FX::FXComposite* p, int icon, FX::FXSelector id) {
    return new FX::FXButton(p, FX::FXString(), icons[static_cast<size_t>(icon)], this, id, BUTTON_OPTS, 0, 0, 0, 0,
                            2, 2, 2, 2);
}

FX::FXButton* kgiCurveWindow::textButton(FX::FXComposite* p, const char* text, FX::FXSelector id) {
    return new FX::FXButton(p, text, nullptr, this, id, BUTTON_OPTS, 0, 0, 0, 0, 2, 2, 2, 2);
}

void kgiCurveWindow::buildToolBar() {
    toolShell = new FX::FXToolBarShell(this, FX::FRAME_RAISED);
    toolBar = new FX::FXToolBar(topDock, toolShell, FX::LAYOUT_DOCK_NEXT | FX::LAYOUT_SIDE_TOP | FX::LAYOUT_FILL_X |
                                                        FX::FRAME_RAISED);
    new FX::FXToolBarGrip(toolBar, toolBar, FX::FXToolBar::ID_TOOLBARGRIP, FX::TOOLBARGRIP_DOUBLE);
    const FX::FXuint group = FX::LAYOUT_FILL_Y;
    auto* fits = new FX::FXHorizontalFrame(toolBar, group, 0, 0, 0, 0, 0, 0, 0, 0);
    iconButton(fits, ICON_FIT_X, ID_FIT_X);
    iconButton(fits, ICON_FIT_Y, ID_FIT_Y);
    iconButton(fits, ICON_FIT_XY, ID_FIT_XY);
    new FX::FXVerticalSeparator(toolBar, FX::SEPARATOR_GROOVE | FX::LAYOUT_FILL_Y);

    auto* switches = new FX::FXHorizontalFrame(toolBar, group, 0, 0, 0, 0, 0, 0, 0, 0);
    updateButton = textButton(switches, "Update", ID_UPDATE);
    smoothButton = textButton(switches, "Smooth", ID_SMOOTH);
    linkButton = textButton(switches, "Link I/O", ID_LINK_IO);
    showToggle(updateButton, liveUpdate);
    new FX::FXVerticalSeparator(toolBar, FX::SEPARATOR_GROOVE | FX::LAYOUT_FILL_Y);

    auto* tangents = new FX::FXHorizontalFrame(toolBar, group, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0);
    auto* allGroup = new FX::FXHorizontalFrame(tangents, group, 0, 0, 0, 0, 0, 0, 0, 0);
    allButton = textButton(allGroup, "All", ID_ALL);
    auto* choice = new FX::FXHorizontalFrame(tangents, group, 0, 0, 0, 0, 0, 0, 0, 0);
    tangentButtons[0] = iconButton(choice, ICON_TIN, ID_TANGENT_IN);
    tangentButtons[1] = iconButton(choice, ICON_TOUT, ID_TANGENT_OUT);
    tangentButtons[2] = iconButton(choice, ICON_TINOUT, ID_TANGENT_INOUT);
    chooseTangent(2);
    auto* presets = new FX::FXHorizontalFrame(tangents, group, 0, 0, 0, 0, 0, 0, 0, 0);
    iconButton(presets, ICON_DEF, ID_DEFAULT);
    iconButton(presets, ICON_LIN, ID_LINEAR);
    iconButton(presets, ICON_SLOW, ID_SLOW);
    iconButton(presets, ICON_FAST, ID_FAST);
}

void kgiCurveWindow::buildCurveList() {
    listShell = new FX::FXToolBarShell(this, FX::FRAME_RAISED | FX::FRAME_THICK);
    listBar = new FX::FXDockBar(leftDock, listShell, FX::LAYOUT_FILL_Y | FX::LAYOUT_SIDE_LEFT, 0, 0, 0, 0, 2, 2, 2, 2,
                                2, 2);
    listBar->allowedSides(FX::FXDockBar::ALLOW_LEFT | FX::FXDockBar::ALLOW_RIGHT);
    new FX::FXDockTitle(listBar, "Curve list", listBar, FX::FXToolBar::ID_TOOLBARGRIP,
                        FX::LAYOUT_FILL_X | FX::FRAME_SUNKEN | FX::JUSTIFY_CENTER_X);
    auto* frame = new FX::FXVerticalFrame(listBar, FX::FRAME_SUNKEN | FX::LAYOUT_FILL_Y | FX::LAYOUT_FIX_WIDTH, 0, 0,
                                          LIST_WIDTH, 0, 0, 0, 0, 0);
    tree = new FX::FXTreeList(frame, this, ID_CURVE_LIST,
                              FX::TREELIST_SINGLESELECT | TREE_LOOK | FX::HSCROLLING_OFF | FX::LAYOUT_FILL_X |
                                  FX::LAYOUT_FILL_Y);
}

void kgiCurveWindow::buildCanvas() {
    auto* frame = new FX::FXHorizontalFrame(this, FX::FRAME_SUNKEN | FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y, 0, 0, 0, 0,
                                            0, 0, 0, 0);
    visual = new FX::FXGLVisual(getApp(), FX::VISUAL_DOUBLEBUFFER);
    curveCanvas = new kgiCurveCanvas(frame, visual, this, ID_CANVAS);
}

void kgiCurveWindow::create() {
    FX::FXTopWindow::create();
    for (FX::FXIcon* icon : icons)
        if (icon) icon->create();
    toolShell->create();
    listShell->create();
}

FX::FXWindow* kgiCurveWindow::canvas() {
    return curveCanvas;
}

// --- the list ---

void kgiCurveWindow::deleteRecords() {
    for (RCurveData* r : rotationRecords) delete r;
    rotationRecords.clear();
    for (PCurveData* p : positionRecords) delete p;
    positionRecords.clear();
}

void kgiCurveWindow::fillCurveList(ksgNode* node) {
    pickedTransform = nullptr;
    if (!node) return;
    curveCanvas->clearCurves();
    tree->clearItems(FALSE);
    deleteRecords();
    positionCurve = rotationCurve = nullptr;
    listedJoint = nullptr;

    // The joint: the nearest transform that some kinematics moves.
    ksgTransform* t = node->asTransform();
    if (!t) t = node->getParentTransform();
    while (t && t->isFkIgnored() && t->isIkIgnored()) t = t->getParentTransform();
    if (!t) return;
    listedJoint = t;
    FX::FXTreeItem* jointItem =
        tree->appendItem(nullptr, t->getName().c_str(), icons[ICON_JOINT], icons[ICON_JOINT], t, FALSE);
    ksgMotionController* m = getMotionController(t);
    if (!m) return;
    pickedTransform = t;

    if (m->hasPosition())
        if (auto* curve = dynamic_cast<kmlTCCurve<3>*>(m->getBasePosition())) {
            positionCurve = curve;
            FX::FXTreeItem* item =
                tree->appendItem(jointItem, "Position", icons[ICON_POSITION], icons[ICON_POSITION], m, FALSE);
            for (int ch = 0; ch < 3; ++ch) {
                positionRecords.push_back(new PCurveData(curve, ch));
                FX::FXIcon* icon = icons[static_cast<size_t>(ICON_X + ch)];
                tree->appendItem(item, CHANNEL_NAMES[ch], icon, icon, positionRecords.back(), FALSE);
            }
            tree->expandTree(item, FALSE);
        }
    if (m->hasRotation())
        if (auto* curve = dynamic_cast<kmlEulerCurve*>(m->getBaseRotation())) {
            rotationCurve = curve;
            FX::FXTreeItem* item =
                tree->appendItem(jointItem, "Rotation", icons[ICON_ROTATION], icons[ICON_ROTATION], m, FALSE);
            for (int ch = 0; ch < 3; ++ch) {
                rotationRecords.push_back(new RCurveData(curve, ch));
                FX::FXIcon* icon = icons[static_cast<size_t>(ICON_X + ch)];
                tree->appendItem(item, CHANNEL_NAMES[ch], icon, icon, rotationRecords.back(), FALSE);
            }
            tree->expandTree(item, FALSE);
        }
    tree->expandTree(jointItem, FALSE);
    if (positionCurve || rotationCurve) update();
}

void kgiCurveWindow::clearCurveList() {
    curveCanvas->clearCurves();
    tree->clearItems(FALSE);
    deleteRecords();
    positionCurve = rotationCurve = nullptr;
    // The joint may be about to go with its character: nothing edits it
    // any more.
    pickedTransform = nullptr;
    listedJoint = nullptr;
}

void kgiCurveWindow::treeFreed(kgiCharacter*, ksgNode* root) {
    // Any other way a listed joint's tree is freed (a reload in place).
    if (listedJoint && listedJoint->getRoot() == root) clearCurveList();
}

bool kgiCurveWindow::isRecord(const void* data) const {
    return std::find(positionRecords.begin(), positionRecords.end(), data) != positionRecords.end() ||
           std::find(rotationRecords.begin(), rotationRecords.end(), data) != rotationRecords.end();
}

long kgiCurveWindow::onCmdCurveList(FX::FXObject*, FX::FXSelector, void* ptr) {
    auto* item = static_cast<FX::FXTreeItem*>(ptr);
    if (!item) return 0;
    void* data = item->getData();
    if (!data) {
        tree->deselectItem(item, FALSE);
        return 1;
    }
    // The joint, "Position" and "Rotation" carry no record: they only
    // clear the canvas (without Ctrl).
    auto* object = isRecord(data) ? static_cast<kutObject*>(data) : nullptr;
    auto* p = object && object->isKind(&PCurveData::RTTI) ? static_cast<PCurveData*>(object) : nullptr;
    auto* r = object && object->isKind(&RCurveData::RTTI) ? static_cast<RCurveData*>(object) : nullptr;
    if (!multiSelect) curveCanvas->clearCurves();
    if (item->isSelected()) {
        if (p) curveCanvas->addPositionCurve(p->curve, p->channel);
        if (r) curveCanvas->addRotationCurve(r->curve, r->channel);
    } else if (multiSelect) {
        if (p) curveCanvas->removePositionCurve(p->curve, p->channel);
        if (r) curveCanvas->removeRotationCurve(r->curve, r->channel);
    }
    return 1;
}

// --- tool bar ---

long kgiCurveWindow::onCmdFitX(FX::FXObject*, FX::FXSelector, void*) {
    curveCanvas->fitTime();
    curveCanvas->update();
    return 1;
}

long kgiCurveWindow::onCmdFitY(FX::FXObject*, FX::FXSelector, void*) {
    curveCanvas->fitValue();
    curveCanvas->update();
    return 1;
}

long kgiCurveWindow::onCmdFitXY(FX::FXObject*, FX::FXSelector, void*) {
    curveCanvas->fitTime();
    curveCanvas->fitValue();
    curveCanvas->update();
    return 1;
}

void kgiCurveWindow::showToggle(FX::FXButton* b, bool on) {
    b->setTextColor(on ? BLUE : BLACK);
    b->setState(on ? FX::STATE_DOWN : FX::STATE_UP);
}

long kgiCurveWindow::onCmdSmooth(FX::FXObject*, FX::FXSelector, void*) {
    smooth = !smooth;
    showToggle(smoothButton, smooth);
    curveCanvas->setSmooth(smooth);
    return 1;
}

long kgiCurveWindow::onCmdLinkIO(FX::FXObject*, FX::FXSelector, void*) {
    linkIO = !linkIO;
    showToggle(linkButton, linkIO);
    curveCanvas->setLinkIO(linkIO);
    return 1;
}

long kgiCurveWindow::onCmdUpdate(FX::FXObject*, FX::FXSelector, void*) {
    liveUpdate = !liveUpdate;
    showToggle(updateButton, liveUpdate);
    curveCanvas->setLiveUpdate(liveUpdate);
    return 1;
}

long kgiCurveWindow::onCmdAll(FX::FXObject*, FX::FXSelector, void*) {
    all = !all;
    showToggle(allButton, all);
    curveCanvas->setAll(all);
    return 1;
}

void kgiCurveWindow::chooseTangent(int index) {
    for (int i = 0; i < 3; ++i)
        tangentButtons[static_cast<size_t>(i)]->setState(i == index ? FX::STATE_DOWN : FX::STATE_UP);
}

int kgiCurveWindow::tangentMask() const {
    if (tangentButtons[0]->getState() == FX::STATE_DOWN) return 1;
    if (tangentButtons[1]->getState() == FX::STATE_DOWN) return 2;
    return 3;
}

long kgiCurveWindow::onCmdTangentIn(FX::FXObject*, FX::FXSelector, void*) {
    chooseTangent(0);
    return 1;
}

long kgiCurveWindow::onCmdTangentOut(FX::FXObject*, FX::FXSelector, void*) {
    chooseTangent(1);
    return 1;
}

long kgiCurveWindow::onCmdTangentInOut(FX::FXObject*, FX::FXSelector, void*) {
    chooseTangent(2);
    return 1;
}

void kgiCurveWindow::afterPreset() {
    curveCanvas->update();
    forceUpdate();
}

long kgiCurveWindow::onCmdLinear(FX::FXObject*, FX::FXSelector, void*) {
    curveCanvas->setLinear(tangentMask());
    afterPreset();
    return 1;
}

long kgiCurveWindow::onCmdDefault(FX::FXObject*, FX::FXSelector, void*) {
    curveCanvas->setDefault(static_cast<FX::FXbool>(tangentMask()));
    afterPreset();
    return 1;
}

long kgiCurveWindow::onCmdFast(FX::FXObject*, FX::FXSelector, void*) {
    curveCanvas->setFast(tangentMask());
    afterPreset();
    return 1;
}

long kgiCurveWindow::onCmdSlow(FX::FXObject*, FX::FXSelector, void*) {
    curveCanvas->setSlow(tangentMask());
    afterPreset();
    return 1;
}

// --- the model and the keys ---

void kgiCurveWindow::forceUpdate() {
    if (!pickedTransform) return;
    if (ksgMotionController* m = getMotionController(pickedTransform)) m->forceUpdate();
    if (ksgNode* root = pickedTransform->getRoot()) root->update(0.0f, false, true);
    if (!liveUpdate) return;
    if (kgiApp* application = kgiApp::instance()) application->redrawViews();
}

void kgiCurveWindow::setMultiSelect(bool on) {
    multiSelect = on;
    tree->setListStyle((on ? FX::TREELIST_MULTIPLESELECT : FX::TREELIST_SINGLESELECT) | TREE_LOOK);
}

long kgiCurveWindow::onKeyPress(FX::FXObject*, FX::FXSelector, void* ptr) {
    const auto* event = static_cast<const FX::FXEvent*>(ptr);
    if (event && event->code == FX::KEY_Control_L) setMultiSelect(true);
    return 1;
}

long kgiCurveWindow::onKeyRelease(FX::FXObject*, FX::FXSelector, void*) {
    setMultiSelect(false);
    return 1;
}
