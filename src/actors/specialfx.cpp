// Visual effects.
// (Placeholder until its issue lands.)
#include "main/game.h"

void specialfx_tag::Create(float, float, int, int, float, float, float, int, int) {}
void specialfx_tag::update(int) {}
void specialfx_tag::reset() {}
