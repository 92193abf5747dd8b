#include "kgiGridNode.h"

#include <GL/gl.h>

#include "kgcGridMesh.h"
#include "ksgModel.h"
#include "ksgState.h"
#include "ksgStateParam.h"

kgiGrid::kgiGrid(float width, float depth, float step) : width(width), depth(depth), step(step) {}

void kgiGrid::init()
{
    // init also runs when the grid is attached to a parent; the grid and its
    // model child are built only once.
    if (!mesh) {
        mesh = new kgcGridMesh(width, depth, step);
        ksgState* state = new ksgState;
        colorParam = new ksgColorParam(color, true);
        polygonMode = new ksgPolygonModeParam(GL_FRONT_AND_BACK, GL_LINE);
        state->setMode(GL_LIGHTING, false);
        state->setMode(GL_CULL_FACE, false);
        state->setMode(GL_COLOR_MATERIAL, true);
        state->addParam(colorParam);
        state->addParam(polygonMode);
        state->addParam(new ksgShadeModelParam(GL_FLAT));
        setState(state);
        ksgModel* model = new ksgModel;
        model->setMesh(mesh);
        attachChild(model);
    }
    ksgTransform::init();
}

void kgiGrid::setSize(float w, float d, float s)
{
    if (!mesh)
        return;
    // The mesh counts cells with the step it has when width and depth are
    // set, so the step goes first.
    mesh->setStep(s);
    mesh->setDepth(d);
    mesh->setWidth(w);
    mesh->compute();
}

void kgiGrid::getSize(float* w, float* d, float* s) const
{
    if (!mesh)
        return;
    if (w)
        *w = mesh->getWidth();
    if (d)
        *d = mesh->getDepth();
    if (s)
        *s = mesh->getStep();
}

void kgiGrid::setColor(float r, float g, float b, float a)
{
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
    if (colorParam)
        colorParam->setColor(color);
}

void kgiGrid::setWireframe(bool lines)
{
    ksgState* state = getState();
    if (!state || !polygonMode)
        return;
    state->setMode(GL_LIGHTING, !lines);
    polygonMode->setMode(lines ? GL_LINE : GL_FILL);
}
