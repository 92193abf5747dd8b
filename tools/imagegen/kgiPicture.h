#pragma once
// A small RGB raster for the program's icons and window bitmaps, with the
// few drawing primitives they are made of, and its file form: the
// uncompressed 24-bit BMP that kutImg::loadBitmap reads (bottom row first,
// rows padded to 4 bytes), or the same image inside an icon file.
//
// Coordinates are pixels, x to the right and y downwards from the top-left
// corner, as one reads a picture. Every primitive clips to the picture, so a
// drawing may run off its edge. Nothing is anti-aliased: icons keep exact
// colours, which the key-colour transparency of the windows relies on.
#include <cstdint>
#include <string>
#include <vector>

struct kgiRgb {
    std::uint8_t r = 0, g = 0, b = 0;

    constexpr kgiRgb() = default;
    constexpr kgiRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
        : r(red), g(green), b(blue) {}
    bool operator==(const kgiRgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const kgiRgb& o) const { return !(*this == o); }
};

struct kgiPoint {
    int x = 0, y = 0;
};

class kgiPicture {
public:
    // A width x height picture filled with `background`; sides below 1
    // count as 1.
    kgiPicture(int width, int height, kgiRgb background);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // The pixel at (x, y); a point outside gives black.
    kgiRgb at(int x, int y) const;
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    // --- primitives ---
    void set(int x, int y, kgiRgb c);
    void fill(kgiRgb c);
    // Rectangles by their inclusive corners, in either order.
    void fillRect(int x0, int y0, int x1, int y1, kgiRgb c);
    void frameRect(int x0, int y0, int x1, int y1, kgiRgb c);
    // A one-pixel line including both end points.
    void line(int x0, int y0, int x1, int y1, kgiRgb c);
    // Lines through the points in order; `closed` joins the last to the first.
    void polyline(const std::vector<kgiPoint>& points, kgiRgb c, bool closed = false);
    // Every pixel whose centre lies inside the polygon (even-odd rule), then
    // its outline, so thin polygons keep their edges.
    void fillPolygon(const std::vector<kgiPoint>& points, kgiRgb c);
    // Ellipses and circles by centre and radii; the outline is one pixel.
    void fillEllipse(int cx, int cy, int rx, int ry, kgiRgb c);
    void frameEllipse(int cx, int cy, int rx, int ry, kgiRgb c);
    void fillCircle(int cx, int cy, int r, kgiRgb c) { fillEllipse(cx, cy, r, r, c); }
    void frameCircle(int cx, int cy, int r, kgiRgb c) { frameEllipse(cx, cy, r, r, c); }
    // The arc of a circle from angle a0 to a1 in degrees (0 to the right,
    // 90 upwards on screen), drawn counter-clockwise, one pixel thick.
    void arc(int cx, int cy, int r, double a0, double a1, kgiRgb c);
    // A filled triangular head with its tip at (tipX, tipY), pointing away
    // from (fromX, fromY), `length` pixels long and as wide.
    void arrowHead(int tipX, int tipY, int fromX, int fromY, int length, kgiRgb c);
    // Replaces every pixel of exactly `from` with `to`.
    void replace(kgiRgb from, kgiRgb to);
    // Mirrors the picture left to right, for pairs such as undo and redo.
    void flipHorizontal();

    // --- file form ---
    // The BMP file's bytes.
    std::vector<std::uint8_t> bmpBytes() const;
    // Writes the BMP through a temporary file renamed over `path` (the
    // folder must exist). An empty string on success, else what failed.
    std::string writeBmp(const std::string& path) const;
    // The picture as a Windows icon file holding one opaque 24-bit image
    // (the form window managers and the toolkit's ICO reader take), at most
    // 256 pixels a side.
    std::vector<std::uint8_t> icoBytes() const;
    // Writes the icon as writeBmp() writes the bitmap.
    std::string writeIco(const std::string& path) const;

private:
    int width;
    int height;
    std::vector<kgiRgb> pixels;  // top row first
};
