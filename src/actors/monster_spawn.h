// Monsters made from the map: the object numbers that stand for a monster, and what each makes.
#pragma once

// Makes the monster that map object `object` stands for, at the centre (x, y) of its cell, and
// returns true; returns false, making nothing, for an object that is no monster.
bool spawn_map_monster(int object, float x, float y);
