// The heads-up display and the area backdrop.
#pragma once

// Scores, the top score, magic, lives, the level items and the witch in the top corners.
void display();
// The backdrop of the current player's area (1 outdoors, 2 the dark wood, 3 the lair).
void draw_backdrop();
