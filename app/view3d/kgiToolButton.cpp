#include "kgiToolButton.h"

#include <algorithm>

kgiToolbarButton::kgiToolbarButton() : kind(PLAIN) {}

// Every picture owns its pixels: the buttons keep them for the program's life.
kgiToolbarButton::kgiToolbarButton(int kind, int imageCount)
    : images(static_cast<size_t>(std::max(imageCount, 0)), kutGLImg(true)), kind(kind)
{
}

kgiToolbarButton::~kgiToolbarButton() = default;

bool kgiToolbarButton::loadImage(int index, const std::string& path)
{
    if (index < 0 || index >= getImageCount())
        return false;
    if (!images[static_cast<size_t>(index)].loadBitmap(path))
        return false;
    width = 0;
    height = 0;
    for (const kutGLImg& img : images) {
        width = std::max(width, img.getWidth());
        height = std::max(height, img.getHeight());
    }
    return true;
}

void kgiToolbarButton::drawImage(int index, int x, int y) const
{
    if (index >= 0 && index < getImageCount())
        images[static_cast<size_t>(index)].draw(x, y);
}

void kgiToolbarButton::setWidth(int w)
{
    if (images.empty())
        width = w;
}
