#include "kgiCanvasToolBar.h"

#include "kgi3dCanvas.h"
#include "kgiApp.h"
#include "kgiButtonBar.h"
#include "kgiButtonState.h"
#include "kutPath.h"

namespace {

enum Kind { TRIGGER, SPACER, BISTABLE, TRISTABLE, BOOLEAN };

struct ButtonDef {
    Kind kind;
    int alignRight;
    int spacerUnits;  // spacers only
    // Pictures for the values 0 (normal), 1 (under the pointer), 2 (pushed)
    // and 3 (the other pushed look of a camera button). The names are the
    // files' own, spelling and case included.
    const char* images[4];
};

const ButtonDef BUTTONS[kgi3dViewToolbar::ENTRY_COUNT] = {
    {TRIGGER, 0, 0, {"key_normal.bmp", "key_onMouse.bmp", "key_pushed.bmp", nullptr}},
    {SPACER, 0, 1, {nullptr, nullptr, nullptr, nullptr}},
    {BISTABLE, 0, 0, {"SIK_normal.bmp", "SIK_onMouse.bmp", "SIK_pushed.bmp", nullptr}},
    {BISTABLE, 0, 0, {"FK-subtree2_normal.bmp", "FK-subtree2_onMouse.bmp", "FK-subtree2_pushed.bmp", nullptr}},
    {SPACER, 0, 2, {nullptr, nullptr, nullptr, nullptr}},
    {BOOLEAN, 0, 0, {"FK-body_normal.bmp", "MotionMode_onMouse.bmp", "MotionMode2_pushed.bmp", nullptr}},
    {BOOLEAN, 1, 0, {"grid_normal.bmp", "grid_onMouse.bmp", "grid_pushed.bmp", nullptr}},
    {BOOLEAN, 1, 0, {"ghost_normal.bmp", "ghost_onMouse.bmp", "ghost_pushed.bmp", nullptr}},
    {BOOLEAN, 1, 0,
     {"CenterOfGravity_normal.bmp", "CenterOfGravity_onMouse.bmp", "CenterOfGravity_pushed.bmp", nullptr}},
    {BOOLEAN, 1, 0, {"mirrorMode_normal.bmp", "mirrorMode_onMouse.bmp", "mirrorMode_pushed.bmp", nullptr}},
    // Landing and initial pose look like switches but act as push buttons
    // (their states are triggers).
    {BOOLEAN, 1, 0, {"landing_normal.bmp", "landing_onMouse.bmp", "landing_pushed.bmp", nullptr}},
    {BOOLEAN, 1, 0,
     {"Initialization_normal.bmp", "Initialization_onMouse.bmp", "Initialization_pushed.bmp", nullptr}},
    {SPACER, 1, 1, {nullptr, nullptr, nullptr, nullptr}},
    {TRISTABLE, 1, 0, {"top_normal.bmp", "top_onMouse.bmp", "top_pushed.bmp", "top_pushed_T.bmp"}},
    {TRISTABLE, 1, 0, {"side_normal.bmp", "side_onMouse.bmp", "side_pushed.bmp", "side_pushed_T.bmp"}},
    {TRISTABLE, 1, 0, {"front_normal.bmp", "front_onMouse.bmp", "front_pushed.bmp", "front_pushed_T.bmp"}},
    {BISTABLE, 1, 0, {"cam_normal.bmp", "cam_onMouse.bmp", "cam_pushed.bmp", nullptr}},
    {SPACER, 1, 1, {nullptr, nullptr, nullptr, nullptr}},
    // "nomal" is how these two files are named.
    {TRIGGER, 1, 0, {"redo_nomal.bmp", "redo_onMouse.bmp", "redo_pushed.bmp", nullptr}},
    {TRIGGER, 1, 0, {"undo_nomal.bmp", "undo_onMouse.bmp", "undo_pushed.bmp", nullptr}},
};

kgiToolbarButton* makeButton(const ButtonDef& def)
{
    switch (def.kind) {
    case TRIGGER: return new kgiTriggerButton;
    case BISTABLE: return new kgiBistableButton;
    case TRISTABLE: return new kgiTristableButton;
    case BOOLEAN: return new kgiBooleanButton;
    case SPACER: break;
    }
    auto* spacer = new kgiSpacerButton;
    spacer->setWidth(def.spacerUnits * kgi3dViewToolbar::SPACER_UNIT);
    return spacer;
}

void loadImages(kgiToolbarButton* button, const ButtonDef& def, const std::string& folder)
{
    for (int i = 0; i < button->getImageCount() && i < 4; ++i)
        if (def.images[i] != nullptr)
            button->loadImage(i, kutPrependPath(folder, def.images[i]));
}

} // namespace

kgi3dViewToolbar& kgi3dViewToolbar::shared()
{
    static kgi3dViewToolbar instance;
    return instance;
}

std::string kgi3dViewToolbar::imageFolderOf(const std::string& baseDir)
{
    return kutAppendPath(kutAppendPath(baseDir, "icons"), "3d");
}

void kgi3dViewToolbar::createButtons(const std::string& imageFolder)
{
    for (const ButtonDef& def : BUTTONS) {
        kgiToolbarButton* button = makeButton(def);
        loadImages(button, def, imageFolder);
        addButton(button, def.alignRight);
    }
    const kgiApp* app = kgiApp::instance();
    loadCameraButtonImages(imageFolder, app != nullptr ? app->getSettings().language : 0);
}

void kgi3dViewToolbar::loadCameraButtonImages(const std::string& imageFolder, int language)
{
    const std::string folder = language == 1 ? kutAppendPath(imageFolder, "cam_jp") : imageFolder;
    for (int entry : {CAMERA_TOP, CAMERA_SIDE, CAMERA_FRONT, CAMERA_PERSPECTIVE})
        if (entry < getButtonCount())
            loadImages(getButton(entry), BUTTONS[entry], folder);
}

kgiButtonBar* kgi3dViewToolbar::createBar(kgi3dCanvas* canvas, int width, int height, int spacingX,
                                          int spacingY, int marginLeft, int marginRight,
                                          int marginBottom, int marginTop)
{
    auto* bar = new kgiButtonBar(spacingX, spacingY, marginLeft, marginRight, marginBottom, marginTop);
    auto call = [canvas](auto command) { return kutMakeCallback0(canvas, command); };
    std::vector<kgiButtonState*> made;
    for (int i = 0; i < getButtonCount(); ++i) {
        kgiToolbarButton* b = getButton(i);
        kgiButtonState* s = nullptr;
        switch (i) {
        case KEY: s = new kgiTriggerState(b, call(&kgi3dCanvas::addKeyAtCurrentTime)); break;
        case IK: s = new kgiBistableState(b, call(&kgi3dCanvas::selectIkMode)); break;
        case FK: s = new kgiBistableState(b, call(&kgi3dCanvas::selectFkMode)); break;
        case MOTION_MODE:
            s = new kgiBooleanState(b, &canvas->motionMode, call(&kgi3dCanvas::applyMotionMode));
            break;
        case GRID: s = new kgiBooleanState(b, &canvas->gridVisible, call(&kgi3dCanvas::onGridToggled)); break;
        case GHOST:
            s = new kgiBooleanState(b, &canvas->ghostVisible, call(&kgi3dCanvas::onGhostToggled));
            break;
        case CENTRE_OF_GRAVITY:
            s = new kgiBooleanState(b, &canvas->centreOfGravityVisible,
                                    call(&kgi3dCanvas::onCentreOfGravityToggled));
            break;
        case MIRROR:
            s = new kgiBooleanState(b, &canvas->mirrorMode, call(&kgi3dCanvas::applyMirrorMode));
            break;
        case LANDING: s = new kgiTriggerState(b, call(&kgi3dCanvas::putOnFloor)); break;
        case INITIALIZATION: s = new kgiTriggerState(b, call(&kgi3dCanvas::resetPose)); break;
        case CAMERA_TOP:
            s = new kgiTristableState(b, call(&kgi3dCanvas::cameraTop), call(&kgi3dCanvas::cameraBottom));
            break;
        case CAMERA_SIDE:
            s = new kgiTristableState(b, call(&kgi3dCanvas::cameraSideA), call(&kgi3dCanvas::cameraSideB));
            break;
        case CAMERA_FRONT:
            s = new kgiTristableState(b, call(&kgi3dCanvas::cameraFront), call(&kgi3dCanvas::cameraBack));
            break;
        case CAMERA_PERSPECTIVE: s = new kgiBistableState(b, call(&kgi3dCanvas::cameraPerspective)); break;
        case REDO: s = new kgiTriggerState(b, call(&kgi3dCanvas::onRedoPose)); break;
        case UNDO: s = new kgiTriggerState(b, call(&kgi3dCanvas::onUndoPose)); break;
        default: s = new kgiSpacerState(b); break;
        }
        s->setAlignRight(getAlignRight(i));
        bar->addState(s);
        made.push_back(s);
    }
    if (made.size() > FK) {
        const std::vector<kgiButtonState*> groupA = {made[IK], made[FK]};
        for (kgiButtonState* s : groupA)
            s->setGroup(groupA);
    }
    if (made.size() > CAMERA_PERSPECTIVE) {
        const std::vector<kgiButtonState*> groupB = {made[CAMERA_TOP], made[CAMERA_SIDE],
                                                     made[CAMERA_FRONT], made[CAMERA_PERSPECTIVE]};
        for (kgiButtonState* s : groupB)
            s->setGroup(groupB);
    }
    bar->setColor(STRIP_GREY, STRIP_GREY, STRIP_GREY);
    bar->layoutButtons(width, height);
    return bar;
}
