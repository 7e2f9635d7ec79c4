// Shadowed text, the way every text of the game is drawn.
#include "game/text.h"

#include "engine/engine.h"

void (*text_observer)(const std::string& text, int x, int y) = nullptr;

void draw_shadow_text(int x, int y, int red, int green, int blue, const std::string& text, int centre) {
    if (centre != 0) x = 320 - TextWidthOf(text) / 2;
    if (text_observer != nullptr) text_observer(text, x, y);
    SetColor(0, 0, 0);
    DrawString(text, float(x + 2), float(y + 2));
    SetColor(red, green, blue);
    DrawString(text, float(x), float(y));
    SetColor(255, 255, 255);
}
