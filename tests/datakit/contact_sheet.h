#pragma once
// A contact sheet of pictures for a person to look at: each enlarged with
// square pixels, in rows on a dark backdrop, saved as a PNG file.
#include "kgiPicture.h"

#include <string>
#include <vector>

// Writes the sheet; false when the file could not be written.
bool writeContactSheet(const std::vector<kgiPicture>& pictures, int scale, int perRow,
                       const std::string& path);
