// The hero's fireball.
// (Placeholder until its issue lands.)
#include "main/game.h"

void fireball_tag::Create(int, int) {}
void fireball_tag::update(int) {}
void fireball_tag::collisions(int) {}
