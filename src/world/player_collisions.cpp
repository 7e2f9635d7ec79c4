// The hero against one map cell.
// (Placeholder until its issue lands.)
#include "main/game.h"

void player_tag::collisions(int) {}
