// Text with a black shadow, the way every text of the game is drawn.
#pragma once

#include <string>

// A black copy 2 px right and down, then the text in its colour; centre != 0 centres it on x = 320.
void draw_shadow_text(int x, int y, int red, int green, int blue, const std::string& text, int centre);
// Optional observer of every text drawn with draw_shadow_text (screen checks in tests and tools).
extern void (*text_observer)(const std::string& text, int x, int y);
