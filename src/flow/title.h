// The logo at start-up and the title screen with its menu, scroller and attract demo.
#pragma once

void show_logo();
// The title screen's loop; leaves with the game state set (a new game's intro, or quit).
void title_screen();
// The welcome text scrolling across the screen.
void update_scroller();
