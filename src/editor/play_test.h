// Play-testing the area being edited: the real game on it as it is now, from any column.
#pragma once

#include "editor/area.h"

namespace editor {

// Where the hero stands when a play-test starts at `column`: the first place at or below `row`
// (else from the top) with room for the hero above ground, in that column or the nearest one that
// has such a place. Returns false when no column near has ground.
bool StandingPlace(const mapc::Grid& g, int column, int row, int& out_column, int& out_row);

// Plays the area from `column` with the game's rules (the level's witch pace, the hero's three
// lives) until Escape, the cauldron, the last life or a close request. Returns false when the
// window was closed.
bool PlayTest(const Area& area, int column, int row);

} // namespace editor
