// The cauldron at the end of every area.
#pragma once

// Moves the cauldron by the scroll step, animates and draws it, and ends the area when the hero
// touches it.
void update_cauldron(int scroll);
