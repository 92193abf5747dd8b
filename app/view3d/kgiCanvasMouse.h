#pragma once
// The scene side of a 3D canvas's mouse: what the pointer picks, how the
// mouse modes turn a left drag into joint motion through the canvas's one
// manipulator, and how the other buttons and the wheel move the camera or
// the time. No toolkit here: the canvas feeds it the events (button, state
// bits, position, click count) of the rows above its tool-bar strip, after
// its own part (the button-down flag, the lesson lock, the pointer grab, the
// strip); tests feed it the same way.
//
// A drag never poses the model inside an event: the motion stores a goal
// (IK modes: an absolute point, the last one wins) or a delta (FK modes:
// summed until the step takes it) and asks for a step; the application's
// idle pass then runs step() once, which hands it to the manipulator.
//
// Mouse modes and the controller each gives the manipulator: 0 none, 1 and
// 2 CCD IK, 3 axis FK, 4 trackball FK, 5 body FK, 6 animation FK (the body's
// keys over the frame range turn too), 7 animation IK (the model root
// moves, with its keys over the range).
#include "kmlVec3.h"

class kgiAnimFKController;
class kgiAnimIKController;
class kgiBodyFKController;
class kgiCharacter;
class kgiRekeyRangeUndo;
class ksgAxisFKController;
class ksgCcdIKController;
class ksgManipulator;
class ksgNode;
class ksgScene;
class ksgTrackballFKController;
class ksgTransform;
class ksgView;

class kgiCanvasMouse {
public:
    // Event state bits (other bits, such as Num Lock's 0x10, are ignored).
    enum StateBits : unsigned { SHIFT = 0x1, CONTROL = 0x4, LEFT_HELD = 0x100, RIGHT_HELD = 0x400 };
    enum Button { LEFT = 1, MIDDLE = 2, RIGHT = 3 };

    // What the canvas owns and lends (none owned here). Without a view
    // nothing is picked and drags do nothing; without a manipulator no mode
    // takes. scene null: the world's scene.
    struct Parts {
        ksgView* view = nullptr;
        ksgScene* scene = nullptr;
        ksgManipulator* manipulator = nullptr;
        ksgCcdIKController* ik = nullptr;
        ksgAxisFKController* axisFk = nullptr;
        ksgTrackballFKController* trackballFk = nullptr;
        kgiBodyFKController* bodyFk = nullptr;
        kgiAnimFKController* animFk = nullptr;
        kgiAnimIKController* animIk = nullptr;
    };

    // What the canvas does for it.
    class Host {
    public:
        virtual ~Host() = default;
        // The canvas is drawn again at the next pass.
        virtual void redraw() = 0;
        // Centres the view on the picked model, or on the world.
        virtual void fitView() = 0;
        // The plane the floor grid is turned into (2 the ground).
        virtual void setGridPlane(int plane) = 0;
        // The canvas's mirror switch.
        virtual bool isMirrorMode() const = 0;
    };

    explicit kgiCanvasMouse(Host& host) : host(host) {}
    ~kgiCanvasMouse();
    kgiCanvasMouse(const kgiCanvasMouse&) = delete;
    kgiCanvasMouse& operator=(const kgiCanvasMouse&) = delete;

    void setParts(const Parts& p) { parts = p; }
    const Parts& getParts() const { return parts; }

    // --- events (window pixels, y downward, rows of the scene) ---
    // The pointer moves with no button down. False without a view or
    // viewport (nothing done).
    bool hover(int x, int y);
    // The left button goes down in the scene; clicks is the click count.
    void leftPress(int x, int y, unsigned state, int clicks);
    // Middle or right press (and the strip's hover): the position is
    // remembered.
    void setLastPosition(int x, int y);
    // The pointer moves with a button down; button is the event's button.
    // False without a view, viewport or viewpoint (nothing done).
    bool drag(int x, int y, unsigned state, int button);
    // The left button comes up after a press in the scene: the manipulator
    // lets go; the drag's key entry (modes 6 and 7) goes to its character's
    // history when a step ran; mirroring comes back on.
    void leftRelease();
    // The wheel: one frame forward for a negative amount, else one back;
    // nothing in a lesson.
    void wheel(int amount);
    // The pointer left the canvas with no button down.
    void leave();

    // --- the drag step, from the idle pass ---
    bool isStepPending() const { return dragPending; }
    // Runs at most one manipulator update towards the stored goal; nothing
    // while the world plays (the request waits).
    void step();

    // --- modes ---
    // Gives the manipulator the mode's controller after letting go of the
    // present joint; any other value is only stored. Nothing without a
    // manipulator. Clears a waiting step.
    void setMouseMode(int mode);
    int getMouseMode() const { return mouseMode; }
    // 0 or 1: the IK controller works on the IK group when it has members
    // (CCD mode 2), else mode 1; 2: left clicks add joints to the group or
    // take them out. Other values store 0 and do nothing else.
    void setGroupEditMode(int mode);
    int getGroupEditMode() const { return groupEditMode; }
    void setGroupEditToggle(bool on) { groupEditToggle = on; }
    bool getGroupEditToggle() const { return groupEditToggle; }
    // setGroupEditMode(2) when the toggle is set, else 0.
    void applyGroupEditToggle();
    // Unmarks and empties the IK group.
    void clearIkGroup();

    // A tree is about to be freed: every pointer into it goes (the picked
    // node, without touching it; IK group members; the CCD reverse root;
    // the manipulator's joint; a pending key entry of its character).
    void forgetTree(kgiCharacter* character, ksgNode* root);

    ksgNode* getPickedNode() const { return pickedNode; }
    int getLastX() const { return lastX; }
    int getLastY() const { return lastY; }
    const kmlVec3& getDragGoal() const { return dragGoal; }
    bool isGoalDelta() const { return goalIsDelta; }
    float getGrabDepth() const { return grabDepth; }
    const kmlVec3& getGrabOffset() const { return grabOffset; }
    bool isPoseUndoPending() const { return poseUndoPending; }

    // The joint a left press grabs under the pointer's node: in mode 7 the
    // model root; else the node's transform (or its parent transform),
    // moved up while both FK- and IK-ignored. Null for null.
    ksgTransform* chooseTarget(ksgNode* node) const;
    // Where a drag step mirrors the pose from in the present mode; null
    // for no mirroring.
    ksgNode* mirrorStart() const;

private:
    void clearTarget();
    void startGrab(float nx, float ny);
    void toggleGroupMember(unsigned state);
    void zoom(float factor, float ly, float ny);
    void pan(float lx, float ly, float nx, float ny);
    void orbit(float lx, float ly, float nx, float ny);
    // The world's range as whole frames.
    void frameRange(int& start, int& end) const;
    // A key entry for the keys the step will rewrite (modes 6 and 7).
    void beginKeyEntry(kgiCharacter* c);
    void dropKeyEntry();

    Host& host;
    Parts parts;
    ksgNode* pickedNode = nullptr;
    kmlVec3 grabOffset;
    kmlVec3 dragGoal;
    float grabDepth = 0.0f;
    int mouseMode = 1;
    int groupEditMode = 0;
    bool groupEditToggle = false;
    bool dragPending = false;
    bool goalIsDelta = true;
    bool poseUndoPending = false;
    int lastX = 0;
    int lastY = 0;
    // The drag so far: a step turned something; a mirror failed (no more
    // mirroring, and no more boxes, until the release); a step is running.
    bool stepRan = false;
    bool mirrorStopped = false;
    bool stepping = false;
    kgiRekeyRangeUndo* keyEntry = nullptr;
};
