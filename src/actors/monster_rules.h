// Rules the monster code shares between its update and its collisions.
#pragma once

// A powered hero loses the power and gets 50 frames of grace; an unpowered one dies. A hero
// already dying (in liquid, say) is not hurt again.
void hurt_hero();
// Whether the hero's death has begun in this frame.
bool hero_dying();
// Whether sprite frame `frame` at (x, y) touches the hero's frame where the hero stands.
bool overlaps_hero(int frame, int x, int y);
