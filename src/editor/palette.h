// The palette: every base tile and every object the area format knows, each with its name.
#pragma once

#include <string>
#include <vector>

#include "world/map_source.h"

namespace editor {

struct PaletteEntry {
    std::string name;
    mapc::Glyph glyph;
};

// The entries for an area of `level` (the magic item is the level's own).
std::vector<PaletteEntry> Palette(int level);

// The name of what a cell holds ("brick with a power-up", "walker facing left"); a cell the
// palette does not list is named by its numbers.
std::string CellName(const mapc::Glyph& g, int level);

} // namespace editor
