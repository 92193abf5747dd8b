#pragma once
// The frame buttons: go to start, play or stop, go to end, three pictures
// side by side that sit over the middle of the play range. The group's
// width is three times the width of "s_begin.bmp".
#include "kgiGLWidget.h"

#include "kutImg.h"

class kgiGLFrameButtons : public kgiGLWidget {
public:
    // Loads the pictures from "icons/3d" under the host's base directory; a
    // missing picture stays empty (width 0).
    kgiGLFrameButtons(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);

    // The group's left end at px, kept inside the widget: not left of x
    // and not right of x + width - 2 * halfWidth.
    void placeGroup(int px);
    int getGroupX() const { return groupX; }
    int getHalfWidth() const { return halfWidth; }
    // The button under the pointer, 0 to 2, or -1.
    int getHover() const { return hover; }

protected:
    kutGLImg beginImage;
    kutGLImg playImage;
    kutGLImg stopImage;
    kutGLImg endImage;
    int groupX;
    int halfWidth = 0;
    int hover = -1;
};
