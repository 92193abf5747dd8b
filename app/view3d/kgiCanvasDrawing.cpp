#include "kgiCanvasDrawing.h"

#include <cstdio>

const float kgiCanvasDrawing::ORIGIN_MARK_COLOUR[3] = {0.99f, 0.86f, 0.023f};

std::string kgiCanvasDrawing::frameText(float time, float fps, int drawNo)
{
    char text[64];
    if (drawNo == 1)
        std::snprintf(text, sizeof text, "%.2f", static_cast<double>(time / fps));
    else
        std::snprintf(text, sizeof text, "%d", static_cast<int>(time + 1.0f));
    return text;
}

std::string kgiCanvasDrawing::courseText(bool hasCourseTime, float seconds)
{
    if (!hasCourseTime || !(seconds > -1.0f))
        return std::string();
    if (seconds > MAX_COURSE_TIME)
        seconds = MAX_COURSE_TIME;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(seconds));
    return text;
}

std::vector<kgiCanvasDrawing::Line> kgiCanvasDrawing::gridLines(float level, int spacing, int width,
                                                                int depth)
{
    std::vector<Line> lines;
    if (spacing < 1 || width < 0 || depth < 0)
        return lines;
    const float x0 = -static_cast<float>(width) / 2.0f;
    const float z0 = -static_cast<float>(depth) / 2.0f;
    const float s = static_cast<float>(spacing);
    lines.reserve(static_cast<size_t>(width / spacing + depth / spacing + 2));
    float x = x0;
    for (int i = 0; i <= width / spacing; ++i, x += s)
        lines.push_back({kmlVec3(x, level, z0), kmlVec3(x, level, z0 + static_cast<float>(depth))});
    float z = z0;
    for (int j = 0; j <= depth / spacing; ++j, z += s)
        lines.push_back({kmlVec3(x0, level, z), kmlVec3(x0 + static_cast<float>(width), level, z)});
    return lines;
}

void kgiCanvasDrawing::originMark(float level, kmlVec3 corners[3])
{
    corners[0] = kmlVec3(0.01f, level, 0.01f);
    corners[1] = kmlVec3(1.0f, level, 0.01f);
    corners[2] = kmlVec3(0.01f, level, 1.0f);
}

kmlMatrix4 kgiCanvasDrawing::gridMatrix(int upAxis, int gridPlane)
{
    kmlMatrix4 m;
    if (upAxis == 0)
        m.rotate(-90.0f, kmlVec3(1, 0, 0));
    if (gridPlane == 0)
        m.rotate(90.0f, kmlVec3(0, 0, 1));
    else if (gridPlane == 1)
        m.rotate(90.0f, kmlVec3(1, 0, 0));
    return m;
}

kgiCanvasDrawing::Projection kgiCanvasDrawing::initialProjection(float distance, int width, int height,
                                                                 int stripHeight)
{
    Projection p;
    const int sceneHeight = height - stripHeight;
    p.x = 0;
    p.y = stripHeight;
    p.width = width;
    p.height = sceneHeight;
    if (width > 0) {
        const float d = distance * 0.66f;
        const float a = static_cast<float>(sceneHeight) / static_cast<float>(width);
        p.hasBounds = true;
        p.left = -d;
        p.right = d;
        p.bottom = -d * a;
        p.top = d * a;
    }
    return p;
}
