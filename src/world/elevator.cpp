// Lifts.
// (Placeholder until its issue lands.)
#include "main/game.h"

void elevator_tag::Create(float, float, int, int) {}
void elevator_tag::update(int) {}
void elevator_tag::collisions(int, int) {}
