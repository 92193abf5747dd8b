#include "kgiCrossManipulator.h"

#include <GL/gl.h>

#include "kgcCylinderMesh.h"
#include "kgcEllipseMesh.h"
#include "ksgModel.h"
#include "ksgState.h"
#include "ksgStateParam.h"
#include "ksgTransform.h"

const kutRtti kgiCrossManipulator::RTTI("kgiCrossManipulator", &ksgManipulator::RTTI);

const kutRtti* kgiCrossManipulator::getRtti() const
{
    return &RTTI;
}

namespace {

// Model units of the default cross: arms 1 long, 0.1 thick; cones 0.3 long
// with a 0.2 base; a ball of radius 0.2. Eight stacks and slices each.
const float ARM_LENGTH = 1.0f;
const float ARM_RADIUS = 0.1f;
const float TIP_RADIUS = 0.2f;
const float TIP_HEIGHT = 0.3f;
const float CENTRE_SIZE = 0.2f;
const int STACKS = 8;
const int SLICES = 8;

// A state that draws its subtree in one flat colour through the lit
// material (colour material on).
ksgState* colourState(float r, float g, float b)
{
    const float colour[4] = {r, g, b, 1.0f};
    ksgState* state = new ksgState;
    state->setMode(GL_COLOR_MATERIAL, true);
    state->addParam(new ksgColorMaterialParam);
    state->addParam(new ksgColorParam(colour, true));
    return state;
}

kmlMatrix4 translationY(float y)
{
    kmlMatrix4 m;
    m.setTranslation(kmlVec3(0.0f, y, 0.0f));
    return m;
}

} // namespace

kgiCrossManipulator::kgiCrossManipulator() = default;

kgiCrossManipulator::~kgiCrossManipulator() = default;

void kgiCrossManipulator::init()
{
    // Attaching the manipulator to a target runs init again: the cross is
    // built only once.
    if (centreModel)
        return;

    centreMesh = new kgcEllipseMesh(CENTRE_SIZE, CENTRE_SIZE, CENTRE_SIZE, STACKS, SLICES);
    centreModel = new ksgModel;
    centreModel->setMesh(centreMesh);
    centreModel->setState(colourState(0.0f, 0.0f, 0.0f));
    attachChild(centreModel);

    // Each arm is built along +y and turned onto its axis: x by -90 degrees
    // about z, z by 90 degrees about x.
    struct Setup {
        float r, g, b;
        float angle;
        kmlVec3 axis;
    };
    const Setup setups[3] = {{1.0f, 0.0f, 0.0f, -90.0f, kmlVec3(0.0f, 0.0f, 1.0f)},
                             {0.0f, 1.0f, 0.0f, 0.0f, kmlVec3(0.0f, 0.0f, 1.0f)},
                             {0.0f, 0.0f, 1.0f, 90.0f, kmlVec3(1.0f, 0.0f, 0.0f)}};
    for (int i = 0; i < 3; ++i) {
        Arm& arm = arms[i];
        arm.armMesh = new kgcCylinderMesh(ARM_RADIUS, ARM_RADIUS, ARM_LENGTH, STACKS, SLICES);
        arm.tipMesh = new kgcCylinderMesh(TIP_RADIUS, 0.0f, TIP_HEIGHT, STACKS, SLICES);
        arm.armModel = new ksgModel;
        arm.armModel->setMesh(arm.armMesh);
        arm.tipModel = new ksgModel;
        arm.tipModel->setMesh(arm.tipMesh);

        arm.tipNode = new ksgTransform;
        arm.tipNode->setLocal(translationY(ARM_LENGTH));
        arm.tipNode->attachChild(arm.tipModel);

        arm.armNode = new ksgTransform;
        kmlMatrix4 turn;
        if (setups[i].angle != 0.0f)
            turn.setRotation(setups[i].angle, setups[i].axis);
        arm.armNode->setLocal(turn);
        arm.armNode->setState(colourState(setups[i].r, setups[i].g, setups[i].b));
        arm.armNode->attachChild(arm.armModel);
        arm.armNode->attachChild(arm.tipNode);
        attachChild(arm.armNode);
    }
}

void kgiCrossManipulator::select(ksgNode* node)
{
    selected = NONE;
    if (!owns(node))
        return;
    for (int i = 0; i < 3; ++i) {
        if (node == arms[i].armModel || node == arms[i].tipModel) {
            selected = i;
            return;
        }
    }
    if (node == centreModel)
        selected = CENTRE;
}

kmlVec3 kgiCrossManipulator::armDirection(int i) const
{
    // Column i of the world frame is the arm's axis times the frame's scale
    // along it; only the direction counts.
    const kmlMatrix4 world = getWorld();
    kmlVec3 a(world(0, i), world(1, i), world(2, i));
    if (!a.unit())
        a.setZero();
    return a;
}

bool kgiCrossManipulator::update(const kmlVec3& input, bool isDelta)
{
    const bool onArm = inRange(selected);
    const kmlVec3 a = onArm ? armDirection(selected) : kmlVec3();
    if (isDelta) {
        kmlVec3 delta = input;
        if (onArm)
            delta = input.dot(a) * a;
        return ksgManipulator::update(delta, true);
    }
    const ksgTransform* target = getTarget();
    if (!target)
        return false;
    const kmlMatrix4 world = target->getWorld();
    const kmlVec3 p(world(0, 3), world(1, 3), world(2, 3));
    kmlVec3 goal = p;
    if (onArm)
        goal = p + (input - p).dot(a) * a;
    return ksgManipulator::update(goal, false);
}

void kgiCrossManipulator::refresh()
{
    // The models keep the box of the mesh they were given; the meshes were
    // rebuilt in place. Then a plain re-evaluation of the node, not the
    // manipulator's input update.
    for (Arm& arm : arms) {
        arm.armModel->updateMeshBox();
        arm.tipModel->updateMeshBox();
    }
    centreModel->updateMeshBox();
    ksgNode::update(0.0f, false, true);
}

void kgiCrossManipulator::setArmLength(float len)
{
    if (!centreModel)
        return;
    for (Arm& arm : arms) {
        arm.armMesh->setHeight(len);
        arm.armMesh->compute();
        arm.tipNode->setLocal(translationY(len));
    }
    refresh();
}

void kgiCrossManipulator::setArmRadius(float r)
{
    if (!centreModel)
        return;
    for (Arm& arm : arms) {
        arm.armMesh->setBaseRadius(r);
        arm.armMesh->setTopRadius(r);
        arm.armMesh->compute();
    }
    refresh();
}

void kgiCrossManipulator::setTipRadius(float r)
{
    if (!centreModel)
        return;
    for (Arm& arm : arms) {
        arm.tipMesh->setBaseRadius(r);
        arm.tipMesh->compute();
    }
    refresh();
}

void kgiCrossManipulator::setCentreSize(float s)
{
    if (!centreModel)
        return;
    centreMesh->setLengthX(s);
    centreMesh->setLengthY(s);
    centreMesh->setLengthZ(s);
    centreMesh->compute();
    refresh();
}
