#include "kgiButtonBar.h"

#include <GL/gl.h>

#include <algorithm>

#include "kgiButtonState.h"

kgiButtonBar::kgiButtonBar(int spacingX, int spacingY, int marginLeft, int marginRight,
                           int marginBottom, int marginTop)
    : marginLeft(marginLeft), marginRight(marginRight), marginBottom(marginBottom),
      marginTop(marginTop), spacingX(spacingX), spacingY(spacingY)
{
}

kgiButtonBar::~kgiButtonBar()
{
    current = nullptr;
    for (kgiButtonState* s : states)
        delete s;
}

void kgiButtonBar::addState(kgiButtonState* state)
{
    if (state != nullptr)
        states.push_back(state);
}

void kgiButtonBar::removeState(kgiButtonState* state)
{
    const auto at = std::find(states.begin(), states.end(), state);
    if (at == states.end())
        return;
    states.erase(at);
    // The pointer may not keep a deleted state.
    if (current == state)
        current = nullptr;
    // Group members keep pointers to each other: none may keep this one.
    for (kgiButtonState* s : states)
        if (auto* g = dynamic_cast<kgiGroupState*>(s)) {
            std::vector<kgiButtonState*> members = g->getMembers();
            members.erase(std::remove(members.begin(), members.end(), state), members.end());
            g->setGroup(members);
        }
    delete state;
}

kgiButtonState* kgiButtonBar::getState(int index) const
{
    return index >= 0 && index < getStateCount() ? states[static_cast<size_t>(index)] : nullptr;
}

void kgiButtonBar::setColor(float r, float g, float b)
{
    color[0] = r;
    color[1] = g;
    color[2] = b;
}

int kgiButtonBar::preferredWidth() const
{
    int sum = 0;
    for (const kgiButtonState* s : states)
        sum += s->getWidth();
    return sum + (getStateCount() - 1) * spacingX + marginLeft + marginRight;
}

int kgiButtonBar::preferredHeight() const
{
    int highest = 0;
    for (const kgiButtonState* s : states)
        highest = std::max(highest, s->getHeight());
    return highest + marginBottom + marginTop;
}

void kgiButtonBar::layoutButtons(int w, int h)
{
    const bool overflow = preferredWidth() > w;
    int left = marginLeft;
    int right = w - marginRight;
    bool leftFull = false;
    bool rightFull = false;
    for (kgiButtonState* s : states) {
        s->setY(marginTop);
        const int sw = s->getWidth();
        if (s->getAlignRight()) {
            if (rightFull) {
                s->setVisible(false);
            } else if (overflow && right - sw < left + spacingX) {
                s->setVisible(false);
                rightFull = true;
            } else {
                right -= sw;
                s->setX(right);
                s->setVisible(true);
                right -= spacingX;
            }
        } else {
            if (leftFull) {
                s->setVisible(false);
            } else if (overflow && sw + left > right - spacingX) {
                s->setVisible(false);
                leftFull = true;
            } else {
                s->setX(left);
                s->setVisible(true);
                left += sw + spacingX;
            }
        }
    }
    width = w;
    height = h;
}

void kgiButtonBar::draw() const
{
    glColor3fv(color);
    glBegin(GL_QUADS);
    glVertex2i(0, 0);
    glVertex2i(width, 0);
    glVertex2i(width, height);
    glVertex2i(0, height);
    glEnd();
    for (const kgiButtonState* s : states)
        s->draw();
}

bool kgiButtonBar::leave()
{
    if (current == nullptr)
        return false;
    if (current->getValue() == kgiButtonState::HOVER)
        current->setState(kgiButtonState::NORMAL);
    current = nullptr;
    return true;
}

bool kgiButtonBar::hover(int x, int y)
{
    const bool changed = leave();
    for (kgiButtonState* s : states)
        if (s->hitTest(x, y, current))
            return true;
    return changed;
}

bool kgiButtonBar::press()
{
    if (current == nullptr)
        return false;
    current->onPress();
    return true;
}

bool kgiButtonBar::release()
{
    if (current == nullptr)
        return false;
    current->onRelease();
    return true;
}

void kgiButtonBar::getStateValues(std::vector<int>& values) const
{
    values.clear();
    for (const kgiButtonState* s : states)
        values.push_back(s->getValue());
}

void kgiButtonBar::setStateValues(const std::vector<int>& values)
{
    if (values.size() != states.size())
        return;
    for (size_t i = 0; i < states.size(); ++i)
        states[i]->setState(values[i]);
}

int kgiButtonBar::getStateValue(int index) const
{
    const kgiButtonState* s = getState(index);
    return s != nullptr ? s->getValue() : -1;
}

void kgiButtonBar::setStateValue(int index, int value)
{
    if (kgiButtonState* s = getState(index))
        s->setState(value);
}

void kgiButtonBar::enableAll()
{
    for (kgiButtonState* s : states)
        s->setEnabled(true);
}
