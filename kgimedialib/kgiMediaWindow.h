#pragma once
// The media plug-in's single video window, in which movie tracks draw.
//
// Comes from CreateMediaWindow (kgiMediaLib.h) and is deleted only through
// DestroyMediaWindow. Positions and sizes are screen pixels. Every operation
// returns false when the window could not be made.

namespace kgi {

class kgiMediaWindow
{
public:
    kgiMediaWindow() = default;
    kgiMediaWindow(const kgiMediaWindow&) = default;
    kgiMediaWindow& operator=(const kgiMediaWindow&) = default;
    virtual ~kgiMediaWindow() = default;

    virtual bool show() = 0;
    virtual bool hide() = 0;
    // New top-left corner; the size is kept.
    virtual bool move(int x, int y) = 0;
    // New size; the top-left corner is kept.
    virtual bool resize(int width, int height) = 0;
    // Top-left corner; either pointer may be null.
    virtual bool getPosition(int* x, int* y) = 0;
    // Size; either pointer may be null.
    virtual bool getSize(int* width, int* height) = 0;
};

} // namespace kgi
