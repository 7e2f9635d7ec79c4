// Monsters: creation and per-frame behaviour.
// (Placeholder until its issue lands.)
#include "main/game.h"

void monster_tag::Create(float, float, float, float, float, float, int) {}
void monster_tag::update(int) {}
