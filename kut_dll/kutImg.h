#pragma once
// Uncompressed 24-bit BMP pictures as 32-bit pixel buffers: kutGLImg for
// OpenGL raster drawing, kutFoxImg for the GUI toolkit's icons.
//
// Pixel buffers come from malloc: an image made with owner = false hands its
// buffer to a taker (a toolkit icon created as owner of its pixels) that
// releases it with free().
#include <string>

class kutImg {
public:
    // Largest width or height accepted; the program's pictures are icons and
    // tool-bar images of a few dozen pixels.
    static constexpr int MAX_SIDE = 16384;

    // No pixels, 0 x 0. An owner frees its buffer when destroyed or reloaded;
    // a non-owner leaves it to whoever took it.
    explicit kutImg(bool owner = true);
    // A copy of an owner gets its own buffer; a copy of a non-owner points at
    // the same buffer and owns it no more than its source does.
    kutImg(const kutImg& other);
    kutImg& operator=(const kutImg& other);
    virtual ~kutImg();

    bool isOwner() const { return owner; }
    void setOwner(bool o) { owner = o; }
    // Size in pixels; 0 for an empty image.
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // width x height x 4 bytes, or null; valid until the image is reloaded or
    // destroyed (if it owns the buffer).
    unsigned char* getPixels() { return pixels; }
    const unsigned char* getPixels() const { return pixels; }

    // Reads an uncompressed 24-bit BMP file, bottom-up or top-down. On any
    // failure (unreadable, not such a BMP, sizes out of range, short file,
    // no memory) returns false and leaves the image empty.
    bool loadBitmap(std::string path);

protected:
    // Converts the file's pixel rows into `pixels`. `data` holds `height`
    // rows, the bottom row of the picture first, each 3 x width bytes of
    // B, G, R followed by `rowPadding` bytes.
    virtual void readData(const unsigned char* data, int rowPadding) = 0;
    // Allocates `pixels` for width x height; false when out of memory.
    virtual bool allocateData() = 0;

    // malloc of width x height x 4 bytes into `pixels`; false when it fails.
    bool allocatePixels();
    // Frees `pixels` when the image owns it; empties the pointer either way.
    void freeData();
    // Frees `pixels` whoever owns it.
    void forceFreeData();

    unsigned char* pixels;
    int width;
    int height;
    bool owner;

private:
    void copyFrom(const kutImg& other);
};

// RGBA bytes, bottom row first: the order glDrawPixels draws upwards from
// the raster position.
class kutGLImg : public kutImg {
public:
    explicit kutGLImg(bool owner = true);

    // Every pixel of exactly this colour becomes fully transparent (alpha 0),
    // for the key colour of tool-bar pictures.
    void setAlpha(unsigned char r, unsigned char g, unsigned char b);
    // Draws the picture with its lower-left corner at the raster position
    // (x, y) of the current projection; nothing for an empty image. The
    // current GL context must be set.
    void draw(int x, int y) const;

protected:
    void readData(const unsigned char* data, int rowPadding) override;
    bool allocateData() override;
};

// The toolkit's 32-bit colours, top row first, each row left to right: the
// bytes R, G, B, A of each pixel in that order in memory, which is the
// toolkit's colour layout on either byte order.
class kutFoxImg : public kutImg {
public:
    explicit kutFoxImg(bool owner = true);

protected:
    void readData(const unsigned char* data, int rowPadding) override;
    bool allocateData() override;
};
