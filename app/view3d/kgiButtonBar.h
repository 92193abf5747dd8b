#pragma once
// One canvas's tool-bar strip: a state per shared button (kgiButtonState.h)
// with its place, its value and its action, the strip's colour and
// margins, and the pointer's current state.
//
// Two coordinate systems meet here, both with x to the right from the
// strip's left edge. Drawing: y upwards from the strip's bottom edge (a
// pixel projection of the strip's own viewport). Hit testing: y downwards
// from the strip's top edge, as the canvas hands the pointer. Both use the
// same stored y (marginTop), so with equal top and bottom margins and
// buttons as high as the strip they agree.
#include <vector>

class kgiButtonState;

class kgiButtonBar {
public:
    kgiButtonBar(int spacingX, int spacingY, int marginLeft, int marginRight, int marginBottom,
                 int marginTop);
    // Deletes every state.
    ~kgiButtonBar();
    kgiButtonBar(const kgiButtonBar&) = delete;
    kgiButtonBar& operator=(const kgiButtonBar&) = delete;

    // Appends a state; the bar owns it.
    void addState(kgiButtonState* state);
    // Takes the state out of the list and deletes it; nothing for a state
    // the bar does not hold.
    void removeState(kgiButtonState* state);
    // Null outside the list.
    kgiButtonState* getState(int index) const;
    int getStateCount() const { return static_cast<int>(states.size()); }

    void setColor(float r, float g, float b);
    const float* getColor() const { return color; }

    // Sum of the states' widths, the spacing between them and both side
    // margins (the empty bar: marginLeft - spacingX + marginRight).
    int preferredWidth() const;
    // The highest state and the top and bottom margins.
    int preferredHeight() const;
    // Places the left-aligned states from the left edge and the
    // right-aligned ones from the right edge, both in list order. When the
    // strip is narrower than the preferred width, a side hides its first
    // state that does not fit and every later one of that side, even a
    // narrower one; otherwise everything shows (the sides may meet).
    void layoutButtons(int width, int height);
    // The strip (0, 0)-(width, height) in the bar colour, then each visible
    // state's picture, in the pixel projection of the strip's viewport.
    void draw() const;

    // Pointer handling; y downwards from the strip's top edge. Each answers
    // whether the strip needs drawing again.
    // The pointer left the current state (a hovered one goes back to normal).
    bool leave();
    // The pointer moved to (x, y): the first state under it becomes current.
    bool hover(int x, int y);
    // The current state was pressed or released, wherever the pointer is now.
    bool press();
    bool release();
    kgiButtonState* getCurrent() const { return current; }

    // Every state's value in list order (the vector is cleared first).
    void getStateValues(std::vector<int>& values) const;
    // Each state's setState with its entry, in list order, and so with its
    // actions; nothing unless there is exactly one value per state.
    void setStateValues(const std::vector<int>& values);
    // -1 outside the list.
    int getStateValue(int index) const;
    // Nothing outside the list.
    void setStateValue(int index, int value);
    void enableAll();

    int getWidth() const { return width; }
    void setWidth(int w) { width = w; }
    int getHeight() const { return height; }
    void setHeight(int h) { height = h; }
    int getMarginLeft() const { return marginLeft; }
    void setMarginLeft(int m) { marginLeft = m; }
    int getMarginRight() const { return marginRight; }
    void setMarginRight(int m) { marginRight = m; }
    int getMarginBottom() const { return marginBottom; }
    void setMarginBottom(int m) { marginBottom = m; }
    int getMarginTop() const { return marginTop; }
    void setMarginTop(int m) { marginTop = m; }
    int getSpacingX() const { return spacingX; }
    void setSpacingX(int s) { spacingX = s; }
    // Kept for callers; the layout does not use it.
    int getSpacingY() const { return spacingY; }
    void setSpacingY(int s) { spacingY = s; }

private:
    int height = 0;
    int width = 0;
    int marginLeft;
    int marginRight;
    int marginBottom;
    int marginTop;
    int spacingX;
    int spacingY;
    float color[3] = {0.0f, 0.0f, 0.0f};
    std::vector<kgiButtonState*> states;
    kgiButtonState* current = nullptr;
};
