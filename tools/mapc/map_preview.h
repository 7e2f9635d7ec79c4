// Renders an area to a picture for checking a layout by eye.
#pragma once

#include <string>

#include "world/map_source.h"

namespace mapc {

// Draws the whole 5600 x 480 area at half size, cut into two strips of 70 columns stacked one above
// the other. `sheet` is the sprite sheet (frames on the 41-pixel grid, black transparent) and
// `backdrop` the area's backdrop; either may be missing, in which case coloured squares and a plain
// night sky stand in. Returns false if the picture could not be written.
bool write_preview(const Grid& g, const std::string& sheet, const std::string& backdrop, const std::string& out_png);

} // namespace mapc
