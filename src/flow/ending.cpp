// The ending: the hero rises from a huge cauldron, the witch vanishes, the five magic items circle
// the screen and every remaining life is paid out as a bonus.
#include <string>

#include "game/media.h"
#include "game/game.h"
#include "game/text.h"
#include "flow/hud.h"
#include "flow/present_frame.h"
#include "flow/ending.h"

namespace {
float rnd(float lo, float hi) { return float(RandomFloat(lo, hi)); }

// A flickering glow: random alpha, then random scale additions drawn y first.
void flickered(TImage* image, int frame, float x, float y, float sx, float sy, float spread) {
    SetAlpha(rnd(0.1f, 1.0f));
    const float ry = rnd(0.0f, spread);
    const float rx = rnd(0.0f, spread);
    SetDrawScale(sx + rx, sy + ry);
    DrawImageFrame(image, x, y, frame);
    SetAlpha(1.0f);
}
} // namespace

void draw_endbkgr() {
    Cls();
    SetColor(255, 255, 255);
    SetBlend(BLEND_MASK);
    SetTransform(0, 1, 1);
    DrawImageFrame(backdrop1, 0, 0, 0);
    for (int i = 0; i < 192; ++i)
        DrawImageFrame(sprite_sheet, float(20 + 40 * (i % 16)), float(20 + 40 * (i / 16)),
                       i < 176 ? FRAME_BLANK : FRAME_LAIR_GROUND);
    SetBlend(BLEND_ALPHA);
    SetAlpha(1.0f);

    game.cauldft += 1;
    if (game.cauldft > 11) {
        game.cauldft = 0;
        game.cauldfc += 1;
        if (game.cauldfc > 2) game.cauldfc = 0;
    }
    SetDrawScale(2.6f, 2.0f);
    DrawImageFrame(sprite_sheet, float(game.cauldx), float(game.cauldy), FRAME_CAULDRON + game.cauldfc);

    const float r = rnd(0.0f, 3.0f);
    SetDrawScale(1.5f + r, 1.5f + r);
    SetAlpha(0.2f);
    DrawImageFrame(sprite_sheet, 120, 200, FRAME_GLOW);
    DrawImageFrame(sprite_sheet, 520, 200, FRAME_GLOW);
    SetAlpha(1.0f);
    SetDrawScale(1.2f, 1.2f);
    DrawImageFrame(sprite_sheet, 120, 200, int(float(FRAME_TORCH) + rnd(0.0f, 3.0f)));
    DrawImageFrame(sprite_sheet, 520, 200, int(float(FRAME_TORCH) + rnd(0.0f, 3.0f)));
    SetDrawScale(1, 1);
}

void the_ending() {
    game.cauldx = 280;
    game.cauldy = 402;
    music_channel.SetVolume(1.0f);
    player_tag& p = current_player();

    int hero_phase = 0, witch_phase = 0, counter = 0;
    float hero_y = 0.0f, hero_step = -2.0f, witch_y = 0.0f, witch_step = 0.0f;
    float s1 = 0.0f, s2 = 0.0f;
    int spin = 0, item_spin = 0;
    int item_angle[5] = {0, 72, 144, 216, 288};
    bool prompt_shown = false; // the jump prompt was on the last frame presented

    while (true) {
        draw_endbkgr();
        SetBlend(BLEND_ALPHA);
        SetAlpha(1.0f);

        // The witch.
        if (witch_phase == 0) {
            SetDrawScale(2.0f, 2.6f);
            DrawImageFrame(ending_sheet, 400, 388, 3);
        } else if (witch_phase == 1) { // vanishing in a flash
            flickered(ending_sheet, 0, 400, 388, s1, s1 + 0.6f, 0.3f);
            const float ry = rnd(0.0f, 0.3f);
            const float rx = rnd(0.0f, 0.3f);
            SetTransform(float(spin), s1 + rx, s1 + ry);
            DrawImageFrame(ending_sheet, 400, 388, 3);
            spin += 15;
            s1 -= 0.01f;
            if (s1 < 0.1f) {
                witch_phase = 2;
                witch_y = 400.0f;
                witch_step = 2.0f;
                s1 = 1.2f;
            }
        } else { // what she has become hops about
            flickered(ending_sheet, 5, 400, witch_y, 1.2f, s1 + 0.1f, 0.5f);
            SetDrawScale(1.2f, s1);
            DrawImageFrame(ending_sheet, 400, witch_y, 4);
            witch_y += witch_step;
            if (s1 < 1.2f) s1 += 0.1f;
            if (witch_y < 370.0f) witch_step = 2.0f;
            if (witch_y > 420.0f) {
                witch_step = -2.0f;
                s1 = 0.3f;
            }
        }
        SetTransform(0, 1, 1);

        // The hero.
        if (hero_phase == 0) {
            counter += 1;
            if (counter > 200) {
                hero_phase = 1;
                hero_y = 350.0f;
                hero_step = -0.2f;
            }
        } else if (hero_phase == 1) { // rising out of the cauldron
            SetAlpha(rnd(0.1f, 1.0f));
            const float ry = rnd(0.0f, 1.2f);
            const float rx = rnd(0.0f, 1.2f);
            SetTransform(float(spin), 1.2f + rx, 1.2f + ry);
            DrawImageFrame(sprite_sheet, 280, hero_y, FRAME_POWER_GLOW);
            SetAlpha(1.0f);
            SetTransform(float(spin), 1.2f, 1.2f);
            DrawImageFrame(sprite_sheet, 280, hero_y, FRAME_HERO);
            spin += 10;
            hero_y -= 1.0f;
            if (hero_y < 180.0f) {
                hero_phase = 2;
                witch_phase = 1;
                s2 = 0.1f;
                s1 = 2.0f;
            }
        } else if (hero_phase == 2) { // changing form
            flickered(ending_sheet, 2, 280, 180, s2, s2 + 0.6f, 0.3f);
            const float ry = rnd(0.0f, 0.3f);
            const float rx = rnd(0.0f, 0.3f);
            SetTransform(float(spin), s2 + rx, s2 + ry);
            DrawImageFrame(ending_sheet, 280, 180, 1);
            spin += 15;
            s2 += 0.01f;
            if (s2 > 2.0f) {
                hero_phase = 3;
                hero_step = -0.5f;
            }
        } else { // floating, restored
            flickered(ending_sheet, 2, 280, hero_y, 2.0f, 2.6f, 0.3f);
            SetDrawScale(2.0f, 2.6f);
            DrawImageFrame(ending_sheet, 280, hero_y, 1);
            hero_y += hero_step;
            if (hero_y > 180.0f) hero_step = -0.5f;
            if (hero_y < 160.0f) hero_step = 0.5f;
        }

        // The five magic items circle the screen.
        for (int m = 0; m < 5; ++m) {
            const int f = int(rnd(0.0f, 2.0f));
            const int x = int(320 + 250 * CosDeg(item_angle[m]));
            const int y = int(240 + 250 * SinDeg(item_angle[m]));
            SetTransform(float(item_spin), 1.5f, 1.5f);
            DrawImageFrame(sprite_sheet, float(x), float(y), FRAME_LEVEL_ITEM + 2 * m + f);
            item_spin += 1;
            item_angle[m] += 1;
            if (item_angle[m] > 360) item_angle[m] = 0;
        }
        SetTransform(0, 1, 1);

        const int blue = int(rnd(0.0f, 255.0f));
        const int green = int(rnd(0.0f, 255.0f));
        const int red = int(rnd(0.0f, 255.0f));
        bool prompt = false;
        if (hero_phase == 3 && witch_phase == 2) {
            draw_shadow_text(200, 60, red, green, blue, "**  T H E   E N D !  **", 0);
            if (p.lives > 0) {
                counter += 1;
                draw_shadow_text(120, 280, 250, 250, 0, "** BONUS: Lives remaining x 5,000 **", 0);
                if (counter > 100) {
                    counter = 0;
                    p.lives -= 1;
                    p.score += 5000;
                    // Play frames raise the top score, and none follow the ending: count the payout.
                    if (p.score > game.topscore) game.topscore = p.score;
                    play_sfx(snd_bonus);
                    play_sfx(snd_magic);
                }
            }
            if (p.lives <= 0) {
                draw_shadow_text(160, 280, 10, 250, 10, "** Press JUMP to continue. **", 0);
                prompt = true;
                if (prompt_shown && (KeyWasHit(KEY_LCONTROL) || JoyButtonHit(0, 0) || MouseWasHit(1))) break;
            }
        } else {
            draw_shadow_text(200, 60, red, green, blue, "** Congradulations! **", 0);
        }
        // Only a press made while the prompt is on screen counts: one made earlier (during the last
        // level-end screen or the scene itself) is dropped.
        if (!prompt_shown) {
            KeyWasHit(KEY_LCONTROL);
            JoyButtonHit(0, 0);
            MouseWasHit(1);
        }
        display();
        present_frame(); // a close request ends the program here: the wait for JUMP never holds it up
        prompt_shown = prompt;
    }

    // Spin the last picture away.
    SetBlend(BLEND_SOLID);
    SetColor(255, 255, 255);
    static TImage* still = nullptr;
    if (still == nullptr) still = CreateImage(640, 480, 1, -1);
    GrabImage(still, 0, 0, 0);
    MidHandleImage(still);
    {
        int angle = 0;
        float z = 1.0f;
        do {
            Cls();
            SetTransform(float(angle), z, z);
            DrawImageFrame(still, 320, 240, 0);
            angle += 5;
            z -= 0.006f;
            present_frame();
        } while (z > 0.0f);
    }
    Cls();
    show_frame_only();
    wait_ms(500);
    SetBlend(BLEND_MASK);
    SetTransform(0, 1, 1);
    FlushKeyboard();
    FlushPointer();
    wait_for_release([] { return JoyButtonDown(0, 0) != 0 || JoyButtonHit(0, 0) != 0; });

    p.lives = 0;
    if (game.players != 0) { // the other player carries on alone
        game.players = 0;
        game.curplayer += 1;
        if (game.curplayer > 1) game.curplayer = 0;
        game.state = STATE_INTRO;
        music_channel.SetVolume(0.4f);
    } else {
        game.state = STATE_TITLE;
        game.scmx = 640;
        game.scmy = 200;
        game.curplayer = 0;
    }
}
