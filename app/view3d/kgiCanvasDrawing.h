#pragma once
// The numbers a 3D canvas draws with, as plain code: the head-up texts and
// where they go, the floor grid's lines and the matrix that turns it, and
// the view's first projection. The canvas only hands them to OpenGL.
#include <string>
#include <vector>

#include "kmlMatrix4.h"
#include "kmlVec3.h"

class kgiCanvasDrawing {
public:
    // The head-up display's face size (pixels): the baseline lies one face
    // size below the top edge.
    static constexpr int HUD_FACE_SIZE = 30;
    // Course times above this are shown as this.
    static constexpr float MAX_COURSE_TIME = 999.99f;

    // The top-right text: with drawNo 1 the time in seconds ("%.2f" of
    // time / fps), else the frame number counted from 1 ("%d" of
    // (int)(time + 1.0)).
    static std::string frameText(float time, float fps, int drawNo);
    // The top-left lesson course time ("%.2f", capped at MAX_COURSE_TIME);
    // empty (nothing shown) without a course or for a time of -1.0 or less.
    static std::string courseText(bool hasCourseTime, float seconds);
    // The dark box behind the course time, so its white figures stay
    // readable over the robot's white parts and the light floor: from 4
    // pixels left of the text's left edge x to 4 right of its end, and from
    // 6 below the baseline (the figures have no descenders) to 4 below the
    // view's top edge. Corners in the HUD's pixels, y up.
    struct Box {
        float x0, y0, x1, y1;
    };
    static Box courseBackingBox(float x, float baseline, float textWidth)
    {
        return {x - 4.0f, baseline - 6.0f, x + textWidth + 4.0f, baseline + static_cast<float>(HUD_FACE_SIZE) - 4.0f};
    }
    // Its black's opacity: enough that white on it stands out over white.
    static constexpr float COURSE_BACKING_ALPHA = 0.6f;
    // Left edge of the right-aligned text: width - textWidth - 5.
    static float rightAlignedX(int width, float textWidth) { return static_cast<float>(width) - textWidth - 5.0f; }
    static float baselineY(int height) { return static_cast<float>(height - HUD_FACE_SIZE); }

    struct Line {
        kmlVec3 from;
        kmlVec3 to;
    };
    // The floor grid at height level: lines along z at x = -width/2 + i *
    // spacing for i = 0..width/spacing, then lines along x likewise over
    // depth. No lines for a spacing below 1.
    static std::vector<Line> gridLines(float level, int spacing, int width, int depth);
    // The origin mark's triangle between the +x and +z axes at that level.
    static void originMark(float level, kmlVec3 corners[3]);
    static const float ORIGIN_MARK_COLOUR[3];
    // The grid's model matrix: with up axis 0 first -90 degrees about x;
    // then gridPlane 0 turns it 90 degrees about z, 1 90 degrees about x,
    // 2 leaves it as built.
    static kmlMatrix4 gridMatrix(int upAxis, int gridPlane);

    // The view's projection when a canvas is created.
    struct Projection {
        float nearPlane = 0.1f;
        float farPlane = 1000.0f;
        float fov = 56.0f;
        // Bounds are set only for a canvas with a width.
        bool hasBounds = false;
        float left = 0, right = 0, bottom = 0, top = 0;
        int x = 0, y = 0, width = 0, height = 0;
    };
    // d = distance * 0.66 and a = (height - stripHeight) / width as floats:
    // bounds (-d, d, -d*a, d*a); the window is the canvas above the strip.
    static Projection initialProjection(float distance, int width, int height, int stripHeight);
};
