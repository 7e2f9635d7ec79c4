// Per-frame update and drawing of one map cell.
// (Placeholder until its issue lands.)
#include "main/game.h"

void map_tag::update(int) {}
