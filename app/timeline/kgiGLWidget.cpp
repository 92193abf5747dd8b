// The time-line widget base.
#include "kgiGLWidget.h"

#include "kgiTimelineHost.h"

#include "kutPath.h"

#include <GL/gl.h>

kgiGLWidget::kgiGLWidget(int x, int y, int w, int h, kgiTimelineHost* host)
    : x(x), y(y), width(w), height(h), host(host ? host : kgiTimelineHost::application()) {}

void kgiGLWidget::setHost(kgiTimelineHost* h) {
    host = h ? h : kgiTimelineHost::application();
}

std::string kgiGLWidget::pictureFolder() const {
    const std::string base = host->baseDir();
    const std::string icons = base.empty() ? std::string("icons") : kutAppendPath(base, "icons");
    return kutAppendPath(icons, "3d");
}

void kgiGLWidget::setPosition(int px, int py) {
    x = px;
    y = py;
}

void kgiGLWidget::setSize(int w, int h) {
    width = w;
    height = h;
}

void kgiGLWidget::onMotion(int, int) {}

bool kgiGLWidget::onMouse(int button, int action, int modifier, int px, int py) {
    lastButton = button;
    lastAction = action;
    lastModifier = modifier;
    lastX = px;
    lastY = py;
    return false;
}

void kgiGLWidget::draw() {
    useColor(color);
    beginQuads();
    rect(x, y, x + width, y + height);
    endShape();
}

void kgiGLWidget::update() {}

int kgiGLWidget::frameAt(int px, int left, int first, int scale) {
    const int d = px - left;
    // Integer division truncates toward zero; step down for the negative
    // columns that are not an exact multiple, so the result is the floor.
    int q = d / scale;
    if (d % scale != 0 && d < 0) --q;
    return first + q;
}

void kgiGLWidget::useColor(const std::array<float, 3>& c) {
    glColor3f(c[0], c[1], c[2]);
}

void kgiGLWidget::useColor(float r, float g, float b) {
    glColor3f(r, g, b);
}

void kgiGLWidget::beginQuads() {
    glBegin(GL_QUADS);
}

void kgiGLWidget::beginTriangles() {
    glBegin(GL_TRIANGLES);
}

void kgiGLWidget::beginLines() {
    glBegin(GL_LINES);
}

void kgiGLWidget::endShape() {
    glEnd();
}

void kgiGLWidget::rect(int x1, int y1, int x2, int y2) {
    glVertex2i(x1, y1);
    glVertex2i(x1, y2);
    glVertex2i(x2, y2);
    glVertex2i(x2, y1);
}

void kgiGLWidget::triangle(int x1, int y1, int x2, int y2, int x3, int y3) {
    glVertex2i(x1, y1);
    glVertex2i(x2, y2);
    glVertex2i(x3, y3);
}

void kgiGLWidget::line(int x1, int y1, int x2, int y2) {
    glVertex2i(x1, y1);
    glVertex2i(x2, y2);
}
