// Monsters against the fireball, the map, the hero and shells.
// (Placeholder until its issue lands.)
#include "main/game.h"

void monster_tag::collisions() {}
void monster_tag::bscollisions(int, int, int) {}
