// The heads-up display (scores, magic, lives, the level items, the witch in the corners) and the
// area backdrop.
#include <string>

#include "flow/hud.h"

#include "game/game.h"
#include "game/media.h"
#include "game/text.h"

void draw_backdrop() {
    SetColor(255, 255, 255);
    SetBlend(BLEND_MASK);
    SetAlpha(1.0f);
    switch (current_player().area) {
    case 1: DrawImageFrame(backdrop1, 0, 0, 0); break;
    case 2: DrawImageFrame(backdrop2, 0, 0, 0); break;
    case 3: DrawImageFrame(backdrop3, 0, 0, 0); break;
    default: break;
    }
}

void display() {
    const player_tag& p = current_player();

    // The witch in the top corners; she laughs after every death.
    int f = FRAME_WITCH;
    if (game.wlaugh != 0) {
        game.wltimer += 1;
        if (game.wltimer >= 10) game.wltimer = 0;
        f = game.wltimer < 5 ? FRAME_WITCH : FRAME_WITCH_LAUGHING;
    }
    SetDrawScale(1.0f, 1.4f);
    DrawImageFrame(sprite_sheet, 20, 28, f);
    DrawImageFrame(sprite_sheet, 620, 28, f + 1);
    SetDrawScale(1, 1);

    if (game.state != STATE_TITLE) game.cpflasher += 1;
    if (game.cpflasher < 29) draw_shadow_text(70, 2, 0, 255, 255, game.curplayer == 0 ? "1up:" : "2up:", 0);
    draw_shadow_text(118, 2, 255, 255, 255, std::to_string(p.score), 0);

    // Positions follow character counts, not measured widths.
    const std::string top = std::to_string(game.topscore);
    const int t = 310 - 4 * int(("Top: " + top).size());
    draw_shadow_text(t, 2, 255, 255, 0, "Top:", 0);
    draw_shadow_text(t + 53, 2, 255, 255, 255, top, 0);
    if (game.state == STATE_TITLE) {
        const std::string score2 = std::to_string(player_slot[1].score);
        const int u = 545 - 8 * int(("2up: " + score2).size());
        draw_shadow_text(u, 2, 0, 255, 255, "2up:", 0);
        draw_shadow_text(u + 50, 2, 255, 255, 255, score2, 0);
    } else {
        const std::string magic = std::to_string(p.magic);
        const int u = 545 - 8 * int(("Magic: " + magic).size());
        draw_shadow_text(u, 2, 0, 255, 255, "Magic:", 0);
        draw_shadow_text(u + 75, 2, 255, 255, 255, magic, 0);
    }

    SetDrawScale(0.7f, 0.9f);
    SetColor(1, 1, 1);
    DrawImageFrame(sprite_sheet, 12, 465, FRAME_HERO);
    SetColor(255, 255, 255);
    DrawImageFrame(sprite_sheet, 10, 463, FRAME_HERO);
    SetDrawScale(1, 1);
    draw_shadow_text(22, 452, 255, 255, 0, "x" + std::to_string(p.lives), 0);

    // The slots from the right: level 5's item first; a found item shows its lit frame.
    for (int i = 0; i < LEVEL_ITEMS; ++i) {
        const int x = 620 - 30 * i;
        const int slot = FRAME_LEVEL_ITEM + 2 * (LEVEL_ITEMS - 1 - i);
        SetColor(1, 1, 1);
        DrawImageFrame(sprite_sheet, float(x + 2), 462, slot);
        SetColor(255, 255, 255);
        DrawImageFrame(sprite_sheet, float(x), 460, p.item[i] != 0 ? slot + 1 : slot);
    }

    if (game.cpflasher > 59) game.cpflasher = 0;
}
