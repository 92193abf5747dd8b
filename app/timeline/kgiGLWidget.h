#pragma once
// The base of the time line's widgets: a rectangle in canvas pixels (origin
// at the top left, y growing downwards, as the time-line canvas projects)
// with a fill colour and a few virtual operations. The widgets get plain
// calls instead of toolkit events:
//   button   0 left, 1 middle, 2 right
//   action   0 press, 1 release
//   modifier 0 Shift, 1 Control, 2 Alt, 3 double click, -1 none
// Only draw() touches OpenGL (and needs a current context); everything else
// runs without a display.
#include <array>
#include <string>

class kgiTimelineHost;

class kgiGLWidget {
public:
    enum { BUTTON_LEFT = 0, BUTTON_MIDDLE = 1, BUTTON_RIGHT = 2 };
    enum { ACTION_PRESS = 0, ACTION_RELEASE = 1 };
    enum { MOD_NONE = -1, MOD_SHIFT = 0, MOD_CONTROL = 1, MOD_ALT = 2, MOD_DOUBLE = 3 };

    // host null: the application's.
    kgiGLWidget(int x, int y, int w, int h, kgiTimelineHost* host = nullptr);
    virtual ~kgiGLWidget() = default;
    kgiGLWidget(const kgiGLWidget&) = delete;
    kgiGLWidget& operator=(const kgiGLWidget&) = delete;

    virtual void setPosition(int px, int py);
    virtual void setSize(int w, int h);
    // Pointer moved to (px, py); nothing here.
    virtual void onMotion(int px, int py);
    // Stores the five arguments as the last event and answers false (not
    // handled). Subclasses that handle an event answer true.
    virtual bool onMouse(int button, int action, int modifier, int px, int py);
    // Fills the rectangle with the colour.
    virtual void draw();
    // Re-reads the world state and the character; nothing here.
    virtual void update();

    // Strictly inside: points on the border are outside.
    bool isInside(int px, int py) const { return x < px && px < x + width && y < py && py < y + height; }

    // The time axis of a widget that shows frames (or units): first is the
    // frame at the left edge x, scale its pixels per frame (above 0).
    // Frame f starts at this column and covers scale columns.
    static int columnOf(int f, int left, int first, int scale) { return left + (f - first) * scale; }
    // The frame under column px, rounded towards minus infinity, so the
    // columns left of the edge belong to the frames before first.
    static int frameAt(int px, int left, int first, int scale);

    int getX() const { return x; }
    int getY() const { return y; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    const std::array<float, 3>& getColor() const { return color; }
    void setColor(float r, float g, float b) { color = {r, g, b}; }

    int getLastButton() const { return lastButton; }
    int getLastAction() const { return lastAction; }
    int getLastModifier() const { return lastModifier; }
    int getLastX() const { return lastX; }
    int getLastY() const { return lastY; }

    // What the widget asks of the application; the application's own host
    // unless one was set. Never null.
    kgiTimelineHost* getHost() const { return host; }
    void setHost(kgiTimelineHost* h);

protected:
    // The folder of the widgets' pictures: "icons/3d" under the host's base
    // directory (relative to the working directory without one).
    std::string pictureFolder() const;

    // Drawing helpers for the subclasses; vertices are whole pixels.
    static void useColor(const std::array<float, 3>& c);
    static void useColor(float r, float g, float b);
    static void beginQuads();
    static void beginTriangles();
    static void beginLines();
    static void endShape();
    // Inside beginQuads: the corners (x1, y1), (x1, y2), (x2, y2), (x2, y1).
    static void rect(int x1, int y1, int x2, int y2);
    // Inside beginTriangles.
    static void triangle(int x1, int y1, int x2, int y2, int x3, int y3);
    // Inside beginLines.
    static void line(int x1, int y1, int x2, int y2);

    int x;
    int y;
    int width;
    int height;
    std::array<float, 3> color{{1.0f, 1.0f, 1.0f}};
    int lastButton = -1;
    int lastAction = -1;
    int lastModifier = -1;
    int lastX = 0;
    int lastY = 0;

private:
    kgiTimelineHost* host;
};
