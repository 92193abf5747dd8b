#pragma once
// The program's pictures: each one a file below the data folder with its
// size, its background and the routine that draws it.
//
// Pictures come in groups (the application icon, a window's tool bar, ...).
// A group is one source file defining one function of kgiPictures that
// returns its entries; kgiPictureSet::all() lists every group once. To add
// a picture, add an entry and its drawing routine to the group it belongs
// to; a new group also gets a line in all() and its file in CMakeLists.txt.
#include "kgiPicture.h"

#include <string>
#include <vector>

struct kgiPictureDef {
    const char* path;  // below the data folder, '/'-separated; ".ico": an icon file, else a BMP
    int width;
    int height;
    kgiRgb background;
    void (*draw)(kgiPicture&);
};

namespace kgiPictures {
// icons/app2.bmp and icons/app2.ico: the application icon, as a bitmap
// and as the icon file the video window shows.
std::vector<kgiPictureDef> application();
// icons/toolbar/: the main window's tool-bar and menu icons.
std::vector<kgiPictureDef> toolbar();
// icons/3d/: the time line's frame buttons and trash can.
std::vector<kgiPictureDef> timeline();
// icons/curve/: the curve editor's icons.
std::vector<kgiPictureDef> curveEditor();
// icons/3d/ and icons/3d/cam_jp/: the 3D canvas's tool-bar buttons.
std::vector<kgiPictureDef> canvasToolbar();
} // namespace kgiPictures

class kgiPictureSet {
public:
    // Every picture of every group, in a fixed order.
    static std::vector<kgiPictureDef> all();
    // The picture of one entry: its background, then its drawing.
    static kgiPicture render(const kgiPictureDef& def);
    // Writes every picture below `dataDir`, making the folders it needs.
    // An empty string on success, else what failed.
    static std::string writeAll(const std::string& dataDir);
};
