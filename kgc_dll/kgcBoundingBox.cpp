#include "kgcBoundingBox.h"

#include <GL/gl.h>

#include <initializer_list>

const unsigned char kgcBoundingBox::CORNER_CODES[8] = {21, 25, 26, 22, 37, 41, 42, 38};

kgcBoundingBox::kgcBoundingBox() : color{0, 0, 0} {}

kgcBoundingBox::kgcBoundingBox(const kgcBoundingBox& other)
    : intersection(other.intersection), color{other.color[0], other.color[1], other.color[2]}
{
}

kgcBoundingBox& kgcBoundingBox::operator=(const kgcBoundingBox& other)
{
    intersection = other.intersection;
    for (int i = 0; i < 3; ++i)
        color[i] = other.color[i];
    return *this;
}

kgcBoundingBox::~kgcBoundingBox() = default;

void kgcBoundingBox::setColor(float r, float g, float b)
{
    color[0] = r;
    color[1] = g;
    color[2] = b;
}

void kgcBoundingBox::draw() const
{
    const GLboolean lit = glIsEnabled(GL_LIGHTING);
    glDisable(GL_LIGHTING);
    glColor3fv(color);
    kmlVec3 k[8];
    for (int i = 0; i < 8; ++i)
        k[i] = getCorner(i);
    auto vertex = [&k](int i) { glVertex3f(k[i][0], k[i][1], k[i][2]); };
    glBegin(GL_LINE_LOOP);
    for (int i : {6, 7, 3, 2, 6})
        vertex(i);
    glEnd();
    glBegin(GL_LINE_LOOP);
    for (int i : {5, 4, 0, 1, 5})
        vertex(i);
    glEnd();
    glBegin(GL_LINES);
    for (int i : {6, 5, 7, 4, 3, 0, 2, 1})
        vertex(i);
    glEnd();
    if (lit)
        glEnable(GL_LIGHTING);
}
