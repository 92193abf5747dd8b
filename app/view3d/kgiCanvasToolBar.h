#pragma once
// The 3D canvas's tool bar: twenty buttons along the canvas's bottom edge
// (add a key; IK and FK; the motion-mode switch; grid, ghost, centre of
// gravity and mirror; put on floor and initial pose; the top, side, front
// and perspective cameras; pose redo and undo), their pictures, and the
// canvas command each one calls.
//
// One instance serves the whole program (shared()): it starts empty, the
// first canvas fills it, and it lives until exit. Each canvas makes its own
// bar from it (createBar), with its own values bound to its own commands.
#include <string>

#include "kgiToolbar.h"

class kgi3dCanvas;

class kgi3dViewToolbar : public kgiToolbar<kgi3dCanvas> {
public:
    // Places in the list.
    enum Entry {
        KEY = 0,
        GAP_AFTER_KEY = 1,
        IK = 2,
        FK = 3,
        GAP_AFTER_FK = 4,
        MOTION_MODE = 5,
        GRID = 6,
        GHOST = 7,
        CENTRE_OF_GRAVITY = 8,
        MIRROR = 9,
        LANDING = 10,
        INITIALIZATION = 11,
        GAP_BEFORE_CAMERAS = 12,
        CAMERA_TOP = 13,
        CAMERA_SIDE = 14,
        CAMERA_FRONT = 15,
        CAMERA_PERSPECTIVE = 16,
        GAP_BEFORE_REDO = 17,
        REDO = 18,
        UNDO = 19,
        ENTRY_COUNT = 20
    };

    // The program's one tool bar, empty until a canvas fills it.
    static kgi3dViewToolbar& shared();

    // The twenty buttons with the pictures of imageFolder (a picture that
    // does not load stays empty and is not reported), then the camera
    // pictures as loadCameraButtonImages gives them for the application's
    // language (the plain ones without an application).
    void createButtons(const std::string& imageFolder) override;
    // A bar for canvas: one state per button, bound to the canvas's
    // commands and flags, grouped, grey, laid out for (width, height).
    kgiButtonBar* createBar(kgi3dCanvas* canvas, int width, int height, int spacingX, int spacingY,
                            int marginLeft, int marginRight, int marginBottom, int marginTop) override;

    // Reloads the pictures of the four camera buttons, in place, from
    // imageFolder, or from its "cam_jp" sub-folder for language 1
    // (Japanese). Entries the list does not have are skipped.
    void loadCameraButtonImages(const std::string& imageFolder, int language);

    // The folder of the canvas pictures under a base directory: icons/3d.
    static std::string imageFolderOf(const std::string& baseDir);
    // Spacer widths are multiples of this (pixels).
    static constexpr int SPACER_UNIT = 15;
    // The strip's grey.
    static constexpr float STRIP_GREY = 0.78f;
};
