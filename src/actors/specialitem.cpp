// Pickups released from blocks.
// (Placeholder until its issue lands.)
#include "main/game.h"

void specialitem_tag::Create(float, float, int) {}
void specialitem_tag::update(int) {}
void specialitem_tag::collisions() {}
