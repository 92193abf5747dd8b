#include "kgiButtonState.h"

#include <algorithm>

#include "kgiToolButton.h"

kgiButtonState::kgiButtonState(kgiToolbarButton* button)
    : width(button ? button->getWidth() : 0), height(button ? button->getHeight() : 0),
      button(button)
{
}

kgiButtonState::~kgiButtonState() = default;

void kgiButtonState::onRelease() {}

void kgiButtonState::setGroup(std::vector<kgiButtonState*>) {}

void kgiButtonState::setState(int v)
{
    value = v;
}

void kgiButtonState::fire(const kutCallback0& cb) const
{
    if (cb && enabled)
        cb();
}

bool kgiButtonState::hitTest(int px, int py, kgiButtonState*& current)
{
    if (!visible || !button)
        return false;
    // The button's present size: camera pictures may have been reloaded
    // since the state was made.
    if (!(px > x && px < x + button->getWidth() && py > y && py < y + button->getHeight()))
        return false;
    if (current && current->getValue() == HOVER)
        current->setState(NORMAL);
    if (value == NORMAL)
        value = HOVER;
    current = this;
    return true;
}

void kgiButtonState::draw() const
{
    if (visible && button)
        button->drawImage(value, x, y);
}

// --- trigger ---------------------------------------------------------------

kgiTriggerState::kgiTriggerState(kgiToolbarButton* button, kutCallback0 action)
    : kgiButtonState(button), action(action)
{
}

void kgiTriggerState::setState(int v)
{
    const int next = (v == PUSHED_ALT || v == SPACER) ? NORMAL : v;
    if (next == PUSHED && getValue() != PUSHED)
        fire(action);
    kgiButtonState::setState(next);
}

void kgiTriggerState::onPress()
{
    setState(PUSHED);
}

void kgiTriggerState::onRelease()
{
    setState(HOVER);
}

// --- group -----------------------------------------------------------------

void kgiGroupState::setGroup(std::vector<kgiButtonState*> list)
{
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    members = std::move(list);
}

void kgiGroupState::setState(int v)
{
    if (v == PUSHED || v == PUSHED_ALT)
        for (kgiButtonState* m : members)
            if (m)
                m->setValue(NORMAL);
    kgiButtonState::setState(v);
}

// --- bistable --------------------------------------------------------------

kgiBistableState::kgiBistableState(kgiToolbarButton* button, kutCallback0 action)
    : kgiGroupState(button), action(action)
{
}

void kgiBistableState::setState(int v)
{
    const int next = (v == PUSHED_ALT || v == SPACER) ? NORMAL : v;
    if (next == PUSHED && getValue() != PUSHED)
        fire(action);
    kgiGroupState::setState(next);
}

void kgiBistableState::onPress()
{
    if (getValue() == HOVER)
        setState(PUSHED);
}

// --- tristable -------------------------------------------------------------

kgiTristableState::kgiTristableState(kgiToolbarButton* button, kutCallback0 actionPushed,
                                     kutCallback0 actionPushedAlt)
    : kgiGroupState(button), actionPushed(actionPushed), actionPushedAlt(actionPushedAlt)
{
}

void kgiTristableState::setState(int v)
{
    const int next = v == SPACER ? NORMAL : v;
    if (next == PUSHED && getValue() != PUSHED)
        fire(actionPushed);
    else if (next == PUSHED_ALT && getValue() != PUSHED_ALT)
        fire(actionPushedAlt);
    kgiGroupState::setState(next);
}

void kgiTristableState::onPress()
{
    switch (getValue()) {
    case HOVER: setState(PUSHED); break;
    case PUSHED: setState(PUSHED_ALT); break;
    case PUSHED_ALT: setState(PUSHED); break;
    default: break;
    }
}

// --- boolean ---------------------------------------------------------------

kgiBooleanState::kgiBooleanState(kgiToolbarButton* button, bool* flag, kutCallback0 action)
    : kgiButtonState(button), flag(flag), action(action)
{
}

void kgiBooleanState::setState(int v)
{
    if (flag)
        *flag = v == PUSHED;
    kgiButtonState::setState(v == PUSHED ? PUSHED : NORMAL);
}

void kgiBooleanState::onPress()
{
    setState(flag && *flag ? NORMAL : PUSHED);
    fire(action);
}

// --- spacer ----------------------------------------------------------------

void kgiSpacerState::setState(int)
{
    kgiButtonState::setState(SPACER);
}
