#pragma once
// A trash can of its own: a widget a key can be dropped on to delete it.
// The time line's own trash is the lower frame line's strip; this one is
// offered for a drop target elsewhere and nothing makes one yet. Hidden at
// construction; it draws nothing until shown.
#include "kgiGLWidget.h"

#include "kutImg.h"

class kgiGLGarbage : public kgiGLWidget {
public:
    // Loads "b_trash.bmp" and "b_trash2.bmp" (under the pointer) from
    // "icons/3d" under the host's base directory; a missing picture stays
    // empty.
    kgiGLGarbage(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);

    // Place and size are fixed; the events and the world are not its
    // business (the owner decides what a drop is).
    void setPosition(int px, int py) override;
    void setSize(int w, int h) override;
    void onMotion(int px, int py) override;
    bool onMouse(int button, int action, int modifier, int px, int py) override;
    void update() override;
    // Nothing while hidden; else the rectangle and the can with its lower
    // left corner at (x + imageOffset, y + the picture's height): the
    // closed can while a key is held over it (frame not -1), else the open
    // one.
    void draw() override;

    // Deletes the key at `frame` from the current character (no undo
    // entry); nothing when frame is -1 or no character is current. True
    // when the deletion ran (kgiCharacter::deleteKey).
    bool dropKey();

    void setHidden(bool on) { hidden = on; }
    bool isHidden() const { return hidden; }
    // The frame of the key held over the can, -1 for none.
    void setFrame(int f) { frame = f; }
    int getFrame() const { return frame; }
    void setImageOffset(int dx) { imageOffset = dx; }
    int getImageOffset() const { return imageOffset; }

protected:
    kutGLImg trashImage;
    kutGLImg trashHotImage;
    bool hidden = true;
    int frame = -1;
    int imageOffset = 0;
};
