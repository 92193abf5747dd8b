#pragma once
// A rectangle of the screen as the X server shows it, for tests that look
// at what a window really draws (whatever draws it: the toolkit, a video
// sink, OpenGL).
#include <fx.h>

#include <functional>
#include <string>
#include <vector>

struct kgiRgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const kgiRgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const kgiRgb& o) const { return !(*this == o); }
};
// How GoogleTest prints a colour.
void PrintTo(const kgiRgb& c, std::ostream* out);

class kgiScreenShot {
public:
    // Reads the root window's pixels in (x, y, width, height); invalid when
    // the rectangle is not on the screen.
    kgiScreenShot(FX::FXApp* app, int x, int y, int width, int height);

    // Lets the toolkit and the server draw, then reads the rectangle until
    // `ready` holds of it, or once more after a generous bound (a test
    // then fails on what it sees instead of hanging).
    static kgiScreenShot settle(FX::FXApp* app, int x, int y, int width, int height,
                                const std::function<bool(const kgiScreenShot&)>& ready);

    bool valid() const { return !pixels.empty(); }
    int width() const { return w; }
    int height() const { return h; }
    // The pixel at (x, y) of the rectangle.
    kgiRgb at(int x, int y) const { return pixels[size_t(y * w + x)]; }
    // How many pixels of (x, y, width, height) within the shot satisfy `test`.
    int count(int x, int y, int width, int height, const std::function<bool(kgiRgb)>& test) const;
    // True when every pixel of that rectangle satisfies `test`.
    bool all(int x, int y, int width, int height, const std::function<bool(kgiRgb)>& test) const
    {
        return count(x, y, width, height, test) == width * height;
    }
    // Writes the shot as a binary PPM, for a person to look at.
    void save(const std::string& path) const;

private:
    int w = 0;
    int h = 0;
    std::vector<kgiRgb> pixels;
};
