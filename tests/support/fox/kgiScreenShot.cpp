#include "support/fox/kgiScreenShot.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <fstream>
#include <ostream>
#include <thread>

void PrintTo(const kgiRgb& c, std::ostream* out)
{
    *out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

kgiScreenShot::kgiScreenShot(FX::FXApp* app, int x, int y, int width, int height)
{
    Display* d = static_cast<Display*>(app->getDisplay());
    Window root = DefaultRootWindow(d);
    int screen = DefaultScreen(d);
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > DisplayWidth(d, screen) ||
        y + height > DisplayHeight(d, screen))
        return;
    XImage* image = XGetImage(d, root, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image)
        return;
    w = width;
    h = height;
    pixels.reserve(size_t(w) * size_t(h));
    // A 24-bit TrueColor screen, as Xvfb and every desktop today.
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            unsigned long p = XGetPixel(image, col, row);
            pixels.push_back({int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)});
        }
    XDestroyImage(image);
}

kgiScreenShot kgiScreenShot::settle(FX::FXApp* app, int x, int y, int width, int height,
                                    const std::function<bool(const kgiScreenShot&)>& ready)
{
    for (int i = 0;; ++i) {
        app->runWhileEvents();
        app->repaint();
        app->flush(true);
        kgiScreenShot shot(app, x, y, width, height);
        if ((shot.valid() && ready(shot)) || i == 300)
            return shot;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int kgiScreenShot::count(int x, int y, int width, int height,
                         const std::function<bool(kgiRgb)>& test) const
{
    int n = 0;
    for (int row = y; row < y + height && row < h; ++row)
        for (int col = x; col < x + width && col < w; ++col)
            n += test(at(col, row)) ? 1 : 0;
    return n;
}

void kgiScreenShot::save(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << w << " " << h << "\n255\n";
    for (const kgiRgb& p : pixels)
        out << char(p.r) << char(p.g) << char(p.b);
}
