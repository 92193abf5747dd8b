#pragma once
// The frame buttons: go to start, play or stop, go to end, three pictures
// side by side that sit over the middle of the play range. The group's
// width is three times the width of "s_begin.bmp".
//
// A left press on a button acts at once (the manager does not capture the
// widget):
//   0 go to start   lesson permission B; only while stopped
//   1 play / stop   lesson permission A; with the robot following
//                   playback, starting first writes the motions to the
//                   robot and asks the user to hold it (no: nothing plays)
//   2 go to end     refused in a lesson (not-good sound); only while stopped
#include "kgiGLWidget.h"

#include "kutImg.h"

class kgiGLFrameButtons : public kgiGLWidget {
public:
    enum { BUTTON_BEGIN = 0, BUTTON_PLAY = 1, BUTTON_END = 2 };

    // Loads the pictures from "icons/3d" under the host's base directory; a
    // missing picture stays empty (width 0).
    kgiGLFrameButtons(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);

    // The button under the pointer.
    void onMotion(int px, int py) override;
    // A left press on a button (the one under the press) does what the
    // button does: true when it acted, false for everything else.
    bool onMouse(int button, int action, int modifier, int px, int py) override;
    // The row, the three pictures (stop in the middle while playing), a red
    // box around the middle one while playing, a green box around the one
    // under the pointer (not the middle one while playing).
    void draw() override;

    // The group's left end at px, kept inside the widget: not left of x
    // and not right of x + width - 2 * halfWidth.
    void placeGroup(int px);
    int getGroupX() const { return groupX; }
    int getHalfWidth() const { return halfWidth; }
    // The button under the pointer, 0 to 2, or -1.
    int getHover() const { return hover; }
    // Bottom row of the pictures + 1 (their lower edge), in canvas rows.
    int getPictureBottom() const { return y + beginImage.getHeight() + 2; }

protected:
    // The button at (px, py), 0 to 2, or -1.
    int buttonAt(int px, int py) const;
    bool goToStart();
    bool playOrStop();
    bool goToEnd();

    kutGLImg beginImage;
    kutGLImg playImage;
    kutGLImg stopImage;
    kutGLImg endImage;
    int groupX;
    int halfWidth = 0;
    int hover = -1;
};
