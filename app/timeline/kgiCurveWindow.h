#pragma once
// The curve editor window: a tool bar (fits, the Update, Smooth, Link I/O
// and All switches, the tangent choice and the tangent presets), the
// "Curve list" of the listed joint's channels in a dock bar, and the curve
// canvas. A pick in a 3D view lists the picked joint (fillCurveList); a
// click on a channel shows it on the canvas; each key edit is pushed into
// the joint's motion controller and, with Update on, into the 3D views.
// Curve edits keep no undo record.
//
// The window registers with the application while it exists; the
// application clears every open window's list before a character goes
// (the joint, its curves and keys are the character's, held here without
// owning them). Closing the window destroys it.
#include "kgiCurveView.h"
#include "kgiFreedTreeNotice.h"

#include "kutObject.h"

#include <fx.h>
#include <fx3d.h>

#include <array>
#include <string>
#include <vector>

class kgiCurveCanvas;
class kmlBaseCurve;
class ksgTransform;

class kgiCurveWindow : public FX::FXTopWindow, public kgiCurveView, private kgiFreedTreeListener {
    FXDECLARE(kgiCurveWindow)

public:
    enum {
        ID_CURVE_LIST = FX::FXTopWindow::ID_LAST,
        ID_CANVAS,
        ID_FIT_X,
        ID_FIT_Y,
        ID_FIT_XY,
        ID_SMOOTH,
        ID_LINK_IO,
        ID_UPDATE,
        ID_ALL,
        ID_LINEAR,
        ID_DEFAULT,
        ID_FAST,
        ID_SLOW,
        ID_TANGENT_IN,
        ID_TANGENT_OUT,
        ID_TANGENT_INOUT,
        ID_LAST
    };

    // The icons, in the order they are read from icons/curve below the base
    // directory; a bitmap that does not load leaves its icon null.
    enum Icon {
        ICON_JOINT, ICON_X, ICON_Y, ICON_Z, ICON_POSITION, ICON_ROTATION, ICON_DEF, ICON_FAST, ICON_SLOW,
        ICON_LIN, ICON_FIT_X, ICON_FIT_Y, ICON_FIT_XY, ICON_TIN, ICON_TOUT, ICON_TINOUT, ICON_COUNT
    };
    static const char* const ICON_FILES[ICON_COUNT];

    // What a channel item of the list carries: the curve (not owned) and the
    // channel, 0 X, 1 Y, 2 Z. The kind record tells position from rotation.
    class PCurveData : public kutObject {
    public:
        static const kutRtti RTTI;
        const kutRtti* getRtti() const override { return &RTTI; }
        PCurveData(kmlBaseCurve* c, int ch) : curve(c), channel(ch) {}
        ~PCurveData() override {}
        kmlBaseCurve* curve;
        int channel;
    };
    class RCurveData : public kutObject {
    public:
        static const kutRtti RTTI;
        const kutRtti* getRtti() const override { return &RTTI; }
        RCurveData(kmlBaseCurve* c, int ch) : curve(c), channel(ch) {}
        ~RCurveData() override {}
        kmlBaseCurve* curve;
        int channel;
    };

    // Builds the whole window (not yet created) and registers it as the
    // application's newest curve window.
    kgiCurveWindow(FX::FXApp* app, const std::string& title, int x, int y, int w, int h);
    // Unregisters, then frees the records and icons.
    ~kgiCurveWindow() override;

    // The window, its icons and the two floating shells.
    void create() override;

    // kgiCurveView
    bool shown() const override { return FX::FXTopWindow::shown() != 0; }
    void show() override { FX::FXTopWindow::show(); }
    void hide() override { FX::FXTopWindow::hide(); }
    FX::FXWindow* canvas() override;
    // Lists the joint of the node: the nearest transform at or above it
    // that is not both FK- and IK-ignored, with its position and rotation
    // channels when its motion controller has curves of those kinds. A null
    // node keeps what the list shows but forgets the joint, so edits no
    // longer reach the model.
    void fillCurveList(ksgNode* node) override;
    // Canvas, list and records emptied.
    void clearCurveList() override;

    // The listed joint's controller re-evaluates, its model root is updated
    // (relative time 0), and with Update on the 3D views are redrawn.
    void forceUpdate();
    // Ctrl held: the list selects several channels; else one.
    void setMultiSelect(bool on);
    bool isMultiSelect() const { return multiSelect; }

    kgiCurveCanvas* getCanvas() const { return curveCanvas; }
    FX::FXTreeList* getTree() const { return tree; }
    ksgTransform* getPickedTransform() const { return pickedTransform; }
    FX::FXIcon* getIcon(int i) const { return i >= 0 && i < ICON_COUNT ? icons[static_cast<size_t>(i)] : nullptr; }
    FX::FXButton* getUpdateButton() const { return updateButton; }
    FX::FXButton* getTangentButton(int i) const { return tangentButtons[static_cast<size_t>(i)]; }
    // The mask the presets get: 1 tin, 2 tout, 3 tinout.
    int tangentMask() const;

    long onCmdCurveList(FX::FXObject*, FX::FXSelector, void*);
    long onCmdFitX(FX::FXObject*, FX::FXSelector, void*);
    long onCmdFitY(FX::FXObject*, FX::FXSelector, void*);
    long onCmdFitXY(FX::FXObject*, FX::FXSelector, void*);
    long onCmdSmooth(FX::FXObject*, FX::FXSelector, void*);
    long onCmdLinkIO(FX::FXObject*, FX::FXSelector, void*);
    long onCmdUpdate(FX::FXObject*, FX::FXSelector, void*);
    long onCmdAll(FX::FXObject*, FX::FXSelector, void*);
    long onCmdLinear(FX::FXObject*, FX::FXSelector, void*);
    long onCmdDefault(FX::FXObject*, FX::FXSelector, void*);
    long onCmdFast(FX::FXObject*, FX::FXSelector, void*);
    long onCmdSlow(FX::FXObject*, FX::FXSelector, void*);
    long onCmdTangentIn(FX::FXObject*, FX::FXSelector, void*);
    long onCmdTangentOut(FX::FXObject*, FX::FXSelector, void*);
    long onCmdTangentInOut(FX::FXObject*, FX::FXSelector, void*);
    long onKeyPress(FX::FXObject*, FX::FXSelector, void*);
    long onKeyRelease(FX::FXObject*, FX::FXSelector, void*);

protected:
    // For the toolkit's class factory only.
    kgiCurveWindow() {}

private:
    void loadIcons();
    void buildToolBar();
    void buildCurveList();
    void buildCanvas();
    FX::FXButton* iconButton(FX::FXComposite* p, int icon, FX::FXSelector id);
    FX::FXButton* textButton(FX::FXComposite* p, const char* text, FX::FXSelector id);
    void deleteRecords();
    bool isRecord(const void* data) const;
    // The switch flipped; its button shows it (blue and down when on).
    static void showToggle(FX::FXButton* b, bool on);
    void chooseTangent(int index);
    void afterPreset();
    void treeFreed(kgiCharacter* character, ksgNode* root) override;

    FX::FXTreeList* tree = nullptr;
    kgiCurveCanvas* curveCanvas = nullptr;
    bool multiSelect = false;
    bool all = false;
    bool smooth = false;
    bool linkIO = false;
    bool liveUpdate = true;
    kmlBaseCurve* rotationCurve = nullptr;
    kmlBaseCurve* positionCurve = nullptr;
    std::vector<RCurveData*> rotationRecords;
    std::vector<PCurveData*> positionRecords;
    ksgTransform* pickedTransform = nullptr;
    // The joint the list shows (also without a controller): its tree going
    // empties the list.
    ksgNode* listedJoint = nullptr;
    std::array<FX::FXIcon*, ICON_COUNT> icons{};
    FX::FXButton* updateButton = nullptr;
    FX::FXButton* smoothButton = nullptr;
    FX::FXButton* linkButton = nullptr;
    FX::FXButton* allButton = nullptr;
    std::array<FX::FXButton*, 3> tangentButtons{};
    FX::FXDockSite* topDock = nullptr;
    FX::FXDockSite* bottomDock = nullptr;
    FX::FXDockSite* leftDock = nullptr;
    FX::FXDockSite* rightDock = nullptr;
    FX::FXToolBarShell* listShell = nullptr;
    FX::FXDockBar* listBar = nullptr;
    FX::FXStatusBar* statusBar = nullptr;
    FX::FXToolBarShell* toolShell = nullptr;
    FX::FXToolBar* toolBar = nullptr;
    FX::FXGLVisual* visual = nullptr;
};
