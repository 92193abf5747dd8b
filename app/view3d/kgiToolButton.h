#pragma once
// The look of an in-canvas tool-bar button: one picture per state value
// (normal, under the pointer, pushed, and for three-state buttons a second
// pushed look) and the size they need. Buttons are loaded once and shared
// by every canvas; what a press does lives in the per-canvas button state
// (kgiButtonState.h).
#include <string>
#include <vector>

#include "kutImg.h"

class kgiToolbarButton {
public:
    // Recorded for the tool bar's bookkeeping only; no behaviour reads it.
    enum Kind { TRIGGER = 0, BISTABLE = 1, TRISTABLE = 2, BOOLEAN = 3, SPACER = 4, PLAIN = 5 };

    // A plain button without pictures.
    kgiToolbarButton();
    virtual ~kgiToolbarButton();
    kgiToolbarButton(const kgiToolbarButton&) = delete;
    kgiToolbarButton& operator=(const kgiToolbarButton&) = delete;

    // Reads picture `index` (the state value it is drawn for) from a BMP
    // file. False for an index outside the pictures or an unreadable file;
    // the size is then left alone. On success the size becomes the largest
    // width and height over all pictures.
    bool loadImage(int index, const std::string& path);
    // Draws picture `index` with its lower-left corner at window pixel
    // (x, y). An index without a picture (a spacer's value 4) draws nothing.
    void drawImage(int index, int x, int y) const;

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getImageCount() const { return static_cast<int>(images.size()); }
    bool hasNoImages() const { return images.empty(); }
    // Only a button without pictures (a spacer) takes a width this way.
    void setWidth(int w);
    int getKind() const { return kind; }

protected:
    kgiToolbarButton(int kind, int imageCount);

private:
    std::vector<kutGLImg> images;
    int width = 0;
    int height = 0;
    int kind;
};

// Fires once per press; normal, under-pointer and pushed pictures.
class kgiTriggerButton : public kgiToolbarButton {
public:
    kgiTriggerButton() : kgiToolbarButton(TRIGGER, 3) {}
};

// One of a group of exclusive choices; three pictures.
class kgiBistableButton : public kgiToolbarButton {
public:
    kgiBistableButton() : kgiToolbarButton(BISTABLE, 3) {}
};

// A choice with two pushed looks (a camera preset and its opposite).
class kgiTristableButton : public kgiToolbarButton {
public:
    kgiTristableButton() : kgiToolbarButton(TRISTABLE, 4) {}
};

// An on/off switch; three pictures.
class kgiBooleanButton : public kgiToolbarButton {
public:
    kgiBooleanButton() : kgiToolbarButton(BOOLEAN, 3) {}
};

// A gap in the bar: no pictures, a width set by the tool bar.
class kgiSpacerButton : public kgiToolbarButton {
public:
    kgiSpacerButton() : kgiToolbarButton(SPACER, 0) {}
};
