// A search over the hero's moves that tells whether an area can be finished on its terrain alone:
// from the start to the cauldron, through the level's item first in third areas. It follows the
// hero's own physics (4 px a frame, bounces on every landing, jumps of -7, gravity 0.2 capped at 8,
// walls and head hits as the collision code does them) with each cell a full 40 x 40 square and
// the hero a 36 x 36 one. Monsters and hidden blocks are left out; a lift is taken as being
// wherever the hero meets its path. A failure is a sure sign of an impassable spot; a success
// still needs a player.
#pragma once

#include <string>

#include "world/map_source.h"

namespace mapc {

struct ReachResult {
    bool finished = false;   // the cauldron was reached (with the item, in a third area)
    bool item = false;       // the level's item was reached
    int furthest_column = 0; // the furthest column the hero got to
    long long states = 0;    // positions searched
};

ReachResult reach(const Grid& g);

} // namespace mapc
