#pragma once
// The per-canvas behaviour of a tool-bar button: where it sits, whether it
// shows, which picture it shows, and what a press does. Each canvas's bar
// owns one state per shared button (kgiToolButton.h).
//
// State values (also the index of the picture drawn):
//   0 normal, 1 under the pointer, 2 pushed, 3 second pushed look,
//   4 spacer; as an argument of setState, 4 means "back to normal without
//   any action".
// A callback fires only when it is bound and the state is enabled; the
// new value is stored after the callback has returned.
#include <vector>

#include "kutCallback.h"

class kgiToolbarButton;

class kgiButtonState {
public:
    enum Value { NORMAL = 0, HOVER = 1, PUSHED = 2, PUSHED_ALT = 3, SPACER = 4 };

    // Takes the button's present size; the button is not owned and must
    // outlive the state.
    explicit kgiButtonState(kgiToolbarButton* button);
    virtual ~kgiButtonState();
    kgiButtonState(const kgiButtonState&) = delete;
    kgiButtonState& operator=(const kgiButtonState&) = delete;

    // A mouse press or release on the button.
    virtual void onPress() = 0;
    virtual void onRelease();
    // Members of an exclusive group; only group states keep them.
    virtual void setGroup(std::vector<kgiButtonState*> members);
    // Moves to a value through the class's rules, firing its action where
    // they say so.
    virtual void setState(int v);

    // Stores a value with no action and no flag write (hover, groups).
    void setValue(int v) { value = v; }
    int getValue() const { return value; }

    int getX() const { return x; }
    int getY() const { return y; }
    void setX(int v) { x = v; }
    void setY(int v) { y = v; }
    // Size of the button when the state was made (used for layout).
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getAlignRight() const { return alignRight; }
    void setAlignRight(int a) { alignRight = a ? 1 : 0; }
    bool isVisible() const { return visible; }
    void setVisible(bool v) { visible = v; }
    bool isEnabled() const { return enabled; }
    void setEnabled(bool e) { enabled = e; }
    kgiToolbarButton* getButton() const { return button; }

    // Whether the pointer at (x, y) is strictly inside the button's present
    // size at the state's place (the left and bottom edges miss). On a hit
    // the state under the pointer until now (`current`, value 1) goes back
    // to normal, this state shows hover when it was normal, and becomes
    // `current`. An invisible state never hits; a miss changes nothing.
    bool hitTest(int px, int py, kgiButtonState*& current);
    // The button's picture for the value at (x, y), when visible.
    void draw() const;

protected:
    // Calls cb when it is bound and the state is enabled.
    void fire(const kutCallback0& cb) const;

private:
    int x = -1;
    int y = -1;
    int width;
    int height;
    int value = NORMAL;
    int alignRight = 0;
    bool visible = true;
    kgiToolbarButton* button;
    bool enabled = true;
};

// A push button: the action runs once per press.
class kgiTriggerState : public kgiButtonState {
public:
    kgiTriggerState(kgiToolbarButton* button, kutCallback0 action);
    void onPress() override;
    void onRelease() override;
    // 3 and 4 mean normal; entering 2 fires.
    void setState(int v) override;

private:
    kutCallback0 action;
};

// Base of exclusive choices: pushing one returns the others to normal
// quietly (their actions do not run).
class kgiGroupState : public kgiButtonState {
public:
    explicit kgiGroupState(kgiToolbarButton* button) : kgiButtonState(button) {}
    // Keeps every entry except this state itself. The members are not owned.
    void setGroup(std::vector<kgiButtonState*> list) override;
    void setState(int v) override;
    const std::vector<kgiButtonState*>& getMembers() const { return members; }

private:
    std::vector<kgiButtonState*> members;
};

// One of a set of exclusive choices; a pushed one ignores presses.
class kgiBistableState : public kgiGroupState {
public:
    kgiBistableState(kgiToolbarButton* button, kutCallback0 action);
    void onPress() override;
    void setState(int v) override;

private:
    kutCallback0 action;
};

// A choice with two directions: the first press selects the main one,
// each further press swaps to the other and back.
class kgiTristableState : public kgiGroupState {
public:
    kgiTristableState(kgiToolbarButton* button, kutCallback0 actionPushed,
                      kutCallback0 actionPushedAlt);
    void onPress() override;
    void setState(int v) override;

private:
    kutCallback0 actionPushed;
    kutCallback0 actionPushedAlt;
};

// An on/off switch bound to a flag of the target. The flag, not the value,
// decides which way a press toggles; every press fires the action.
class kgiBooleanState : public kgiButtonState {
public:
    // flag belongs to the target and must outlive the state.
    kgiBooleanState(kgiToolbarButton* button, bool* flag, kutCallback0 action);
    void onPress() override;
    // Writes flag = (v == 2) and shows pushed or normal; no action.
    void setState(int v) override;

private:
    bool* flag;
    kutCallback0 action;
};

// A gap: always value 4, presses do nothing.
class kgiSpacerState : public kgiButtonState {
public:
    explicit kgiSpacerState(kgiToolbarButton* button) : kgiButtonState(button) {}
    void onPress() override {}
    void setState(int v) override;
};
