#include "kgiPicture.h"

#include "platform/files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const double PI = 3.14159265358979323846;

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// Whether (x, y) lies inside the ellipse of radii rx, ry around the origin;
// the radii grow by half a pixel so a radius of r spans 2r + 1 pixels.
bool inEllipse(int x, int y, int rx, int ry) {
    const double a = rx + 0.5;
    const double b = ry + 0.5;
    const double u = x / a;
    const double v = y / b;
    return u * u + v * v <= 1.0;
}

} // namespace

kgiPicture::kgiPicture(int w, int h, kgiRgb background)
    : width(std::max(w, 1)), height(std::max(h, 1)),
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background) {}

kgiRgb kgiPicture::at(int x, int y) const {
    if (!contains(x, y)) return kgiRgb();
    return pixels[static_cast<std::size_t>(y) * width + x];
}

void kgiPicture::set(int x, int y, kgiRgb c) {
    if (contains(x, y)) pixels[static_cast<std::size_t>(y) * width + x] = c;
}

void kgiPicture::fill(kgiRgb c) {
    std::fill(pixels.begin(), pixels.end(), c);
}

void kgiPicture::fillRect(int x0, int y0, int x1, int y1, kgiRgb c) {
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    for (int y = std::max(y0, 0); y <= std::min(y1, height - 1); ++y)
        for (int x = std::max(x0, 0); x <= std::min(x1, width - 1); ++x) set(x, y, c);
}

void kgiPicture::frameRect(int x0, int y0, int x1, int y1, kgiRgb c) {
    line(x0, y0, x1, y0, c);
    line(x1, y0, x1, y1, c);
    line(x1, y1, x0, y1, c);
    line(x0, y1, x0, y0, c);
}

void kgiPicture::line(int x0, int y0, int x1, int y1, kgiRgb c) {
    // Bresenham: integer steps only, so every run draws the same pixels.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        set(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void kgiPicture::polyline(const std::vector<kgiPoint>& points, kgiRgb c, bool closed) {
    for (std::size_t i = 1; i < points.size(); ++i)
        line(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, c);
    if (closed && points.size() > 2)
        line(points.back().x, points.back().y, points.front().x, points.front().y, c);
    if (points.size() == 1) set(points[0].x, points[0].y, c);
}

void kgiPicture::fillPolygon(const std::vector<kgiPoint>& points, kgiRgb c) {
    if (points.empty()) return;
    int top = points[0].y, bottom = points[0].y;
    for (const kgiPoint& p : points) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    std::vector<double> crossings;
    for (int y = std::max(top, 0); y <= std::min(bottom, height - 1); ++y) {
        crossings.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const kgiPoint& a = points[i];
            const kgiPoint& b = points[(i + 1) % points.size()];
            if (a.y == b.y) continue;
            // Half-open in y, so a vertex shared by two edges counts once.
            const int lo = std::min(a.y, b.y);
            const int hi = std::max(a.y, b.y);
            if (y < lo || y >= hi) continue;
            crossings.push_back(a.x + static_cast<double>(y - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const int x0 = static_cast<int>(std::ceil(crossings[i]));
            const int x1 = static_cast<int>(std::floor(crossings[i + 1]));
            for (int x = x0; x <= x1; ++x) set(x, y, c);
        }
    }
    polyline(points, c, true);
}

void kgiPicture::fillEllipse(int cx, int cy, int rx, int ry, kgiRgb c) {
    for (int y = -ry; y <= ry; ++y)
        for (int x = -rx; x <= rx; ++x)
            if (inEllipse(x, y, rx, ry)) set(cx + x, cy + y, c);
}

void kgiPicture::frameEllipse(int cx, int cy, int rx, int ry, kgiRgb c) {
    // The inside pixels that touch the outside across an edge.
    for (int y = -ry; y <= ry; ++y)
        for (int x = -rx; x <= rx; ++x) {
            if (!inEllipse(x, y, rx, ry)) continue;
            if (!inEllipse(x - 1, y, rx, ry) || !inEllipse(x + 1, y, rx, ry) ||
                !inEllipse(x, y - 1, rx, ry) || !inEllipse(x, y + 1, rx, ry))
                set(cx + x, cy + y, c);
        }
}

void kgiPicture::arc(int cx, int cy, int r, double a0, double a1, kgiRgb c) {
    if (a1 < a0) std::swap(a0, a1);
    const int steps = std::max(8, static_cast<int>(std::ceil((a1 - a0) / 360.0 * 8.0 * (r + 1))));
    int lastX = 0, lastY = 0;
    for (int i = 0; i <= steps; ++i) {
        const double a = (a0 + (a1 - a0) * i / steps) * PI / 180.0;
        const int x = cx + static_cast<int>(std::lround(r * std::cos(a)));
        const int y = cy - static_cast<int>(std::lround(r * std::sin(a)));
        if (i == 0) set(x, y, c);
        else line(lastX, lastY, x, y, c);
        lastX = x;
        lastY = y;
    }
}

void kgiPicture::arrowHead(int tipX, int tipY, int fromX, int fromY, int length, kgiRgb c) {
    double dx = tipX - fromX;
    double dy = tipY - fromY;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0.0 || length < 1) {
        set(tipX, tipY, c);
        return;
    }
    dx /= d;
    dy /= d;
    // Base centre one length back from the tip, half a length to each side.
    const double bx = tipX - dx * length;
    const double by = tipY - dy * length;
    const double half = length / 2.0;
    const kgiPoint left{static_cast<int>(std::lround(bx - dy * half)),
                        static_cast<int>(std::lround(by + dx * half))};
    const kgiPoint right{static_cast<int>(std::lround(bx + dy * half)),
                         static_cast<int>(std::lround(by - dx * half))};
    fillPolygon({{tipX, tipY}, left, right}, c);
}

void kgiPicture::replace(kgiRgb from, kgiRgb to) {
    std::replace(pixels.begin(), pixels.end(), from, to);
}

void kgiPicture::flipHorizontal() {
    for (int y = 0; y < height; ++y) {
        auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * width;
        std::reverse(row, row + width);
    }
}

std::vector<std::uint8_t> kgiPicture::bmpBytes() const {
    const unsigned FILE_HEADER = 14;
    const unsigned INFO_HEADER = 40;
    const unsigned padding = (4 - (3 * width) % 4) % 4;
    const std::uint32_t dataSize = (3u * width + padding) * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out;
    out.reserve(FILE_HEADER + INFO_HEADER + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, FILE_HEADER + INFO_HEADER + dataSize);
    put32(out, 0);  // reserved
    put32(out, FILE_HEADER + INFO_HEADER);
    put32(out, INFO_HEADER);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));  // positive: bottom row first
    put16(out, 1);   // planes
    put16(out, 24);  // bits per pixel
    put32(out, 0);   // no compression
    put32(out, dataSize);
    put32(out, 2835);  // 72 dots per inch, in dots per metre
    put32(out, 2835);
    put32(out, 0);  // no palette
    put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const kgiRgb p = at(x, y);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        for (unsigned i = 0; i < padding; ++i) out.push_back(0);
    }
    return out;
}

std::vector<std::uint8_t> kgiPicture::icoBytes() const {
    const unsigned DIRECTORY = 6 + 16;  // the header and one entry
    const unsigned FILE_HEADER = 14;
    // The icon's image is the BMP without its file header, twice as high
    // as the picture: the colours, then a 1-bit mask (all 0: opaque).
    std::vector<std::uint8_t> image = bmpBytes();
    image.erase(image.begin(), image.begin() + FILE_HEADER);
    const std::uint32_t doubled = 2u * static_cast<std::uint32_t>(height);
    for (int i = 0; i < 4; ++i) image[8 + i] = static_cast<std::uint8_t>(doubled >> (8 * i));
    const unsigned maskRow = ((static_cast<unsigned>(width) + 31) / 32) * 4;
    image.insert(image.end(), maskRow * static_cast<unsigned>(height), 0);
    const std::uint32_t colourAndMask = static_cast<std::uint32_t>(image.size()) - 40;
    for (int i = 0; i < 4; ++i) image[20 + i] = static_cast<std::uint8_t>(colourAndMask >> (8 * i));

    std::vector<std::uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon, not a cursor
    put16(out, 1);  // one image
    out.push_back(static_cast<std::uint8_t>(width >= 256 ? 0 : width));  // 0 means 256
    out.push_back(static_cast<std::uint8_t>(height >= 256 ? 0 : height));
    out.push_back(0);  // no palette
    out.push_back(0);  // reserved
    put16(out, 1);     // planes
    put16(out, 24);    // bits per pixel
    put32(out, static_cast<std::uint32_t>(image.size()));
    put32(out, DIRECTORY);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

namespace {

std::string writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    platform::ReplaceFile file;
    if (!file.open(path)) return path + ": " + std::strerror(file.lastError());
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size()) {
        file.abandon();
        return path + ": write failed";
    }
    if (!file.commit()) return path + ": " + std::strerror(file.lastError());
    return std::string();
}

} // namespace

std::string kgiPicture::writeBmp(const std::string& path) const {
    return writeBytes(path, bmpBytes());
}

std::string kgiPicture::writeIco(const std::string& path) const {
    return writeBytes(path, icoBytes());
}
