// The heads-up display, the cauldron, the global keys, shadowed text and the area backdrop.
#include <string>

#include "flow/media.h"
#include "game/game.h"

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

void game_tag::display() {
    const player_tag& p = current_player();

    // The witch in the top corners; she laughs after every death.
    int f = 98;
    if (wlaugh != 0) {
        wltimer += 1;
        if (wltimer >= 10) wltimer = 0;
        f = wltimer < 5 ? 98 : 111;
    }
    SetDrawScale(1.0f, 1.4f);
    DrawImageFrame(sprite_sheet, 20, 28, f);
    DrawImageFrame(sprite_sheet, 620, 28, f + 1);
    SetDrawScale(1, 1);

    if (state != STATE_TITLE) cpflasher += 1;
    if (cpflasher < 29) draw_shadow_text(70, 2, 0, 255, 255, curplayer == 0 ? "1up:" : "2up:", 0);
    draw_shadow_text(118, 2, 255, 255, 255, std::to_string(p.score), 0);

    // Positions follow character counts, not measured widths.
    const std::string top = std::to_string(topscore);
    const int t = 310 - 4 * int(("Top: " + top).size());
    draw_shadow_text(t, 2, 255, 255, 0, "Top:", 0);
    draw_shadow_text(t + 53, 2, 255, 255, 255, top, 0);
    if (state == STATE_TITLE) {
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
    DrawImageFrame(sprite_sheet, 12, 465, 30);
    SetColor(255, 255, 255);
    DrawImageFrame(sprite_sheet, 10, 463, 30);
    SetDrawScale(1, 1);
    draw_shadow_text(22, 452, 255, 255, 0, "x" + std::to_string(p.lives), 0);

    for (int i = 0; i < 5; ++i) {
        const int x = 620 - 30 * i;
        SetColor(1, 1, 1);
        DrawImageFrame(sprite_sheet, float(x + 2), 462, 108 - 2 * i);
        SetColor(255, 255, 255);
        DrawImageFrame(sprite_sheet, float(x), 460, p.item[i] != 0 ? 109 - 2 * i : 108 - 2 * i);
    }

    if (cpflasher > 59) cpflasher = 0;
}

void game_tag::update_cauldron(int scroll) {
    cauldx += scroll;
    if (!(cauldx > -40 && cauldx < 680)) return;

    cauldft += 1;
    if (cauldft > 11) {
        cauldft = 0;
        cauldfc += 1;
        if (cauldfc > 2) cauldfc = 0;
    }
    const int frame = 39 + cauldfc;

    player_tag& p = current_player();
    if (ImagesOverlap(sprite_sheet, int(p.x), int(p.y), 30, sprite_sheet, cauldx, cauldy, 39)) {
        p.x = 0.0f;
        play_sfx(snd_splash);
        specialfx_tag::Create(float(cauldx), float(cauldy - 42), 0, 0, 0.0f, 0.0f, 0.0f, 3, 0);
        state = STATE_LEVELEND;
    }
    SetDrawScale(1.6f, 1.2f);
    DrawImageFrame(sprite_sheet, float(cauldx), float(cauldy), frame);
    SetDrawScale(1, 1);
}

void game_tag::key_inputs() {
    if (KeyWasHit(112)) { // F1: back to the title
        Cls();
        show_frame_only();
        DelayMs(1000);
        Cls();
        scmx = 640;
        scmy = 200;
        curplayer = 0;
        state = STATE_TITLE;
        demo_index = 0;
        demo_number = 1;
        demo_active = 0;
    }
    // F2: effects (not while a demo plays with the sound muted)
    if (KeyWasHit(113) && demo_active == 0) sound = sound != 0 ? 0 : 1;
    if (KeyWasHit(114)) { // F3: music
        music = music != 0 ? 0 : 1;
        music_channel.SetPaused(music != 0 ? 0 : 1);
    }
    const bool pause_hit = KeyWasHit(32) || JoyButtonHit(2, 0);
    if (pause_hit && state == STATE_PLAY) {
        draw_shadow_text(0, 200, 0, 255, 0, "** Paused **", 1);
        show_frame_only();
        while (true) {
            if (KeyWasHit(32) || JoyButtonHit(0, 0) || JoyButtonHit(2, 0)) break;
            if (CloseRequested()) {
                state = STATE_QUIT;
                break;
            }
            DelayMs(1);
        }
    }
}
