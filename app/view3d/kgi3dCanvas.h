#pragma once
// The OpenGL widget in which the robot is seen and posed. A canvas owns its
// view of the world's scene with its own viewpoint, one manipulator that
// drags joints, the six kinematic controllers the mouse modes hand to it,
// and two text printers for its head-up display (the frame number or time
// at the top right, a lesson's course time at the top left). It draws the
// floor grid, the ghosts and the centre-of-gravity marks as its own
// switches say.
//
// A canvas registers with the application for its lifetime (redraw
// requests, drag steps from the idle pass) and keeps its manipulator and
// viewpoint in the world's lists. Everything that holds GL objects goes
// with the canvas's own context current. Until create() it has no view and
// draws nothing.
#include <fx.h>
#include <fx3d.h>

#include <memory>
#include <optional>

#include "kgiViewCanvas.h"
#include "kmlVec3.h"
#include "ksgVisualState.h"

class kgiAnimFKController;
class kgiButtonBar;
class kgiAnimIKController;
class kgiBodyFKController;
class kgiCanvasMouse;
class kgiGLTextPrinter;
class ksgAxisFKController;
class ksgCcdIKController;
class ksgManipulator;
class ksgNode;
class ksgTrackballFKController;
class ksgView;
class ksgViewpoint;
class ksgViewportState;

class kgi3dCanvas : public FX::FXGLCanvas, public kgiViewCanvas {
    FXDECLARE(kgi3dCanvas)
    // Binds the tool-bar states to the canvas's flags.
    friend class kgi3dViewToolbar;

public:
    // The joint commands (kgiCanvasPopupMenu.cpp), sent by the pop-up's
    // items; the reverse root, the whole-pose flip and the ankle levelling
    // have no item.
    enum {
        ID_SUBTREE_MIRROR = FX::FXGLCanvas::ID_LAST,
        ID_SET_REVERSE_ROOT,
        ID_FLIP_POSE,
        ID_HAND_OPEN,
        ID_HAND_CLOSE,
        ID_FOOT_LAND,
        ID_LEVEL_ANKLES,
        ID_ADJUST_PREV_KEY,
        ID_LAST
    };

    // Always fills its parent (LAYOUT_FILL_X | LAYOUT_FILL_Y), whatever
    // opts asked; registers with the application.
    kgi3dCanvas(FX::FXComposite* parent, FX::FXGLVisual* visual, FX::FXObject* target = nullptr,
                FX::FXSelector id = 0, FX::FXint x = 0, FX::FXint y = 0, FX::FXint w = 0,
                FX::FXint h = 0);
    ~kgi3dCanvas() override;

    // The window, then the manipulator with the CCD controller (chain mode
    // 1, mouse mode 2) and the view; the GL state, the printers and the
    // floor grid follow at the first paint, when the window has its size.
    void create() override;
    // The view's window follows the canvas (the scene above the tool-bar
    // strip).
    void layout() override;

    // 0 when the GL context cannot be made current; 1 otherwise (also
    // without a view, which draws and swaps nothing).
    long onPaint(FX::FXObject*, FX::FXSelector, void*);
    // Pointer handlers (kgiCanvasPointer.cpp, kgiCanvasMouseEvents.cpp):
    // rows below sceneHeight go to the tool-bar strip, whose left presses
    // end there wherever the button comes up; the scene's side goes to the
    // mouse (kgiCanvasMouse). Each answers 1, but onMotion 0 without a
    // view or viewport.
    long onMotion(FX::FXObject*, FX::FXSelector, void*);
    long onMouseWheel(FX::FXObject*, FX::FXSelector, void*);
    long onLeftBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onLeftBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    long onMiddleBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onMiddleBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    long onRightBtnPress(FX::FXObject*, FX::FXSelector, void*);
    long onRightBtnRelease(FX::FXObject*, FX::FXSelector, void*);
    long onLeave(FX::FXObject*, FX::FXSelector, void*);
    // The joint pop-up for node (kgiCanvasPopup's items) at the event's
    // root position, run modally until it closes. Under a lesson lock only
    // "The command is locked." on the diagnostic stream; nothing without a
    // node.
    void showPopup(ksgNode* node, FX::FXEvent* ev);
    // The picked node's character mirrors its pose from the limb of the
    // picked joint; 0 without a picked node.
    long onCmdSubtreeMirror(FX::FXObject*, FX::FXSelector, void*);
    // The picked joint (or the first one above it taking part in IK)
    // becomes the CCD reverse root, and the joint table toggles the part
    // holding it as the one kept fixed. No redraw.
    long onCmdSetReverseRoot(FX::FXObject*, FX::FXSelector, void*);
    // The picked node's character mirrors its whole pose; 0 without a
    // picked node.
    long onCmdFlipPose(FX::FXObject*, FX::FXSelector, void*);
    // The joint table's hand, foot and base-part commands on the picked
    // node (motion mode where they take it), then a redraw.
    long onCmdHandOpen(FX::FXObject*, FX::FXSelector, void*);
    long onCmdHandClose(FX::FXObject*, FX::FXSelector, void*);
    long onCmdFootLand(FX::FXObject*, FX::FXSelector, void*);
    long onCmdLevelAnkles(FX::FXObject*, FX::FXSelector, void*);
    long onCmdAdjustPrevKey(FX::FXObject*, FX::FXSelector, void*);

    // --- tool-bar commands (kgiCanvasToolCommands.cpp) ---
    // Mouse mode 2 (CCD IK), or 7 (animation IK) in motion mode.
    void selectIkMode();
    // Mouse mode 3 (axis FK), or 6 (animation FK) in motion mode.
    void selectFkMode();
    // After the motion-mode switch: 2 and 7, 3 and 6 follow the switch;
    // other modes stay.
    void applyMotionMode();
    // Key 'k': from an IK mode (1, 2, 7) to FK, from an FK mode (3, 6) to
    // IK, with the bar's IK and FK buttons following (the chosen one
    // pushed, the other back to normal); other modes change nothing. The
    // states are written back and the canvas redrawn; without a bar only
    // the mode changes.
    void toggleIkFk();
    // The switches themselves are the state: the next paint reads them.
    void onGridToggled() {}
    void onGhostToggled() {}
    void onCentreOfGravityToggled() {}
    // Outside a lesson, the mirror switch becomes the world's mirror mode.
    void applyMirrorMode();
    // Orthographic views along the axes (the viewpoint's base turned, the
    // grid into the plane facing the camera), and the perspective camera
    // (projection and grid plane only: no ortho update, no redraw). Nothing
    // without a view.
    void cameraTop();
    void cameraBottom();
    void cameraSideA();
    void cameraSideB();
    void cameraFront();
    void cameraBack();
    void cameraPerspective();
    // Pose undo and redo on the current character: its answer, false
    // without one; in a lesson true and nothing.
    bool onUndoPose();
    bool onRedoPose();
    void addKeyAtCurrentTime();
    void putOnFloor();
    void resetPose();
    // The camera buttons' pictures for the application's language (after a
    // language switch); the pictures are shared by every canvas.
    void loadCameraButtonImages();

    // --- kgiViewCanvas ---
    FX::FXWindow* window() override { return this; }
    bool isIkDragPending() const override;
    // One manipulator update towards the stored goal; clears the request.
    void stepIkDrag() override;
    // Drops the picked node, IK group members, the reverse root and the
    // manipulator's joint when they lie in the tree.
    void forgetTree(kgiCharacter* character, ksgNode* root) override;
    // Gives the manipulator the mode's controller (0 none, 1 and 2 CCD IK,
    // 3 axis FK, 4 trackball FK, 5 body FK, 6 animation FK, 7 animation
    // IK), after letting go of the present joint so that no controller
    // keeps a joint of an earlier mode. Any other value is only stored.
    // Nothing before create().
    void setMouseMode(int mode) override;
    void resetViewpoint() override;
    // Centres on the picked node's model, or on all characters; bounds from
    // the distance and the aspect; redrawn in any case.
    void fitView() override;
    void clearManipulatorTarget() override;
    ksgViewpoint* getViewpoint() const override { return viewpoint; }
    bool isButtonDown() const override { return buttonDown; }

    // Ignores null.
    void setViewpoint(ksgViewpoint* vp);
    ksgViewpoint* getOwnViewpoint() const { return ownViewpoint; }
    // The view's viewport state; null without a view.
    ksgViewportState* getViewport() const;
    ksgView* getView() const { return view; }
    // Deletes the scene's grid display list in the current context.
    void deleteGridList();

    int getMouseMode() const;
    // The scene's mouse: picking, drags, group editing.
    kgiCanvasMouse& getMouse() const { return *mouse; }
    ksgNode* getPickedNode() const;
    // Mode 2 (CCD IK), 4 (trackball FK), 5 (body FK); no button uses them.
    void selectIkMode2();
    void selectTrackballMode();
    void selectBodyFkMode();
    // 0 or 1: IK works on the IK group when it has members; 2: left clicks
    // edit the group. Others store 0.
    void setGroupEditMode(int m);
    // setGroupEditMode(2) with the group-edit toggle set, else 0.
    void applyGroupEditToggle();
    void setGroupEditToggle(bool on);
    // Unmarks and empties the IK group, redrawn.
    void clearIkGroup();
    // The motion-mode switch of the tool bar: edits act on the keys of the
    // frame range.
    bool isMotionMode() const { return motionMode; }
    ksgManipulator* getManipulator() const { return manipulator; }
    ksgCcdIKController* getIkController() const { return ikController; }
    ksgAxisFKController* getAxisFkController() const { return axisFkController; }
    ksgTrackballFKController* getTrackballFkController() const { return trackballFkController; }
    kgiAnimIKController* getAnimIkController() const { return animIkController; }
    kgiAnimFKController* getAnimFkController() const { return animFkController; }
    kgiBodyFKController* getBodyFkController() const { return bodyFkController; }

    // What the scene draws for this canvas.
    void setGridVisible(bool on) { gridVisible = on; }
    bool isGridVisible() const { return gridVisible; }
    void setGhostVisible(bool on) { ghostVisible = on; }
    bool isGhostVisible() const { return ghostVisible; }
    void setCentreOfGravityVisible(bool on) { centreOfGravityVisible = on; }
    bool isCentreOfGravityVisible() const { return centreOfGravityVisible; }
    // 0..2: the plane the floor grid is turned into (2 the ground).
    void setGridPlane(int p) { gridPlane = p; }
    int getGridPlane() const { return gridPlane; }
    int getToolbarHeight() const { return toolbarHeight; }
    // This canvas's tool-bar strip; null without one.
    kgiButtonBar* getToolbar() const { return toolbar; }
    bool isMirrorMode() const { return mirrorMode; }
    int getSceneHeight() const { return sceneHeight; }
    // Paints finished so far (a test's way to see a redraw happen).
    long getPaintCount() const { return paintCount; }

protected:
    // For the toolkit's class factory.
    kgi3dCanvas();

private:
    void initView();
    // The GL state, the text printers and the grid list, at the first paint.
    void initGL();
    void compileGridList();
    void drawToolbar();
    void drawHud();
    // The lesson course's stopwatch when a course runs.
    bool courseTime(float& seconds) const;
    // Deletes what holds GL objects or restores GL state, with this
    // canvas's context current when it has one.
    void releaseGL();
    // The application redraws this canvas at its next pass.
    void requestRedraw();
    // An orthographic camera preset.
    void cameraOrtho(float pitch, float yaw, float roll, int plane);
    // A window row as the view's viewport takes it (kgiCanvasMouseEvents.cpp).
    int viewRow(int winY) const;
    // Hands the view, manipulator and controllers to the mouse.
    void updateMouseParts();
    // The scene's side of the pointer handlers.
    long sceneMotion(FX::FXEvent* ev);
    void sceneLeftPress(FX::FXEvent* ev);
    void sceneLeftRelease(FX::FXEvent* ev);
    void sceneLeave();

    int gridPlane = 2;
    std::optional<ksgVisualState> visualState;
    ksgView* view = nullptr;
    ksgViewpoint* ownViewpoint = nullptr;
    ksgViewpoint* viewpoint = nullptr;
    ksgManipulator* manipulator = nullptr;
    ksgCcdIKController* ikController = nullptr;
    ksgAxisFKController* axisFkController = nullptr;
    ksgTrackballFKController* trackballFkController = nullptr;
    kgiAnimIKController* animIkController = nullptr;
    kgiAnimFKController* animFkController = nullptr;
    kgiBodyFKController* bodyFkController = nullptr;
    class MouseHost;
    std::unique_ptr<MouseHost> mouseHost;
    std::unique_ptr<kgiCanvasMouse> mouse;
    bool buttonDown = false;
    bool gridVisible = true;
    bool ghostVisible = false;
    bool centreOfGravityVisible = false;
    bool motionMode = false;
    bool mirrorMode = false;
    // The in-canvas tool bar along the bottom edge; without it the scene
    // fills the canvas.
    kgiButtonBar* toolbar = nullptr;
    // The left button went down in the strip and has not come up.
    bool stripPress = false;
    int toolbarHeight = 0;
    int sceneHeight = 0;
    int fullHeight = 0;
    kgiGLTextPrinter* hudPrinter = nullptr;
    kgiGLTextPrinter* courseTimePrinter = nullptr;
    bool registered = false;
    bool ghostAcquired = false;
    long paintCount = 0;
    bool glReady = false;
};
