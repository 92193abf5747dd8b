#pragma once
// The 3D canvas's mouse without a display, as its tests and its benchmark
// drive it: a view of its own (WIDTH x HEIGHT pixels, 56-degree
// perspective) looking at a character, and the controllers a canvas hands
// its mouse. The caller keeps the character, the manipulator, the host and
// the mouse.
#include <cmath>
#include <memory>
#include <utility>

#include "kgiCanvasMouse.h"
#include "kgiCharacter.h"
#include "kgiKinematicControllers.h"
#include "kmlVec3.h"
#include "kmlVec4.h"
#include "ksgCcdIk.h"
#include "ksgManipulator.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "ksgTransformController.h"
#include "ksgView.h"
#include "ksgViewpoint.h"
#include "ksgViewportState.h"
#include "ksgVisualState.h"

struct kgiCanvasMouseRig {
    static constexpr int WIDTH = 640;
    static constexpr int HEIGHT = 450;
    static constexpr float FOV = 56.0f;

    ksgScene scene;
    ksgVisualState visual;
    ksgViewpoint viewpoint;
    std::unique_ptr<ksgView> view;
    ksgCcdIKController ik;
    ksgAxisFKController axisFk;
    ksgTrackballFKController trackballFk;
    kgiBodyFKController bodyFk;
    kgiAnimFKController animFk;
    kgiAnimIKController animIk;

    // The character's tree in the scene and the view centred on its bounds;
    // then the mouse gets the view, the scene, the manipulator and the
    // controllers, in mouse mode 2 with the CCD controller in chain mode 1
    // (a canvas's start).
    void attach(kgiCharacter* character, ksgManipulator& manipulator, kgiCanvasMouse& mouse)
    {
        scene.addRoot(character->getRoot()->asTransform());
        view = std::make_unique<ksgView>(visual);
        view->setViewpoint(&viewpoint);
        ksgViewportState* port = view->getViewport();
        port->setPlanes(0.1f, 1000.0f);
        port->setFov(FOV);
        port->setWindow(0, 0, WIDTH, HEIGHT);
        port->setProjMode(ksgViewportState::PERSPECTIVE);
        viewpoint.center(character->getBounds());

        ik.setMode(1);
        kgiCanvasMouse::Parts p;
        p.view = view.get();
        p.scene = &scene;
        p.manipulator = &manipulator;
        p.ik = &ik;
        p.axisFk = &axisFk;
        p.trackballFk = &trackballFk;
        p.bodyFk = &bodyFk;
        p.animFk = &animFk;
        p.animIk = &animIk;
        mouse.setParts(p);
        mouse.setMouseMode(2);
    }

    // The pixel a world point shows at.
    std::pair<int, int> pixelOf(const kmlVec3& p) const
    {
        const kmlVec4 e = viewpoint.getMatrix().getInverse() * kmlVec4(p, 1.0f);
        const float depth = -e.get(2);
        const float t = std::tan(FOV / 2.0f * 3.14159265f / 180.0f) * depth;
        const float nx = e.get(0) / (t * view->getViewport()->getAspect());
        const float ny = e.get(1) / t;
        return {int(std::lround((nx + 1.0f) * WIDTH / 2.0f)), int(std::lround(HEIGHT - (ny + 1.0f) * HEIGHT / 2.0f))};
    }

    // The pixel the named joint's origin shows at.
    std::pair<int, int> pixelOfJoint(kgiCharacter* character, const char* name) const
    {
        const kmlVec4 c = character->findNode(name)->getWorld().getColumn(3);
        return pixelOf(kmlVec3(c.get(0), c.get(1), c.get(2)));
    }
};
