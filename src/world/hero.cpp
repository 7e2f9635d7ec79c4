// The hero's input, movement and drawing.
#include "game/media.h"
#include "game/game.h"

namespace {

// Each control asks its sources in order and stops at the first that answers, so a later
// source's pending hit stays pending for another frame.
bool fire_hit() { return KeyWasHit(KEY_LALT) || JoyButtonHit(1, 0) || JoyButtonHit(7, 0) || MouseWasHit(2); }
bool left_held() { return KeyIsDown(KEY_LEFT) || JoyAxisX(0) == joy_left_value || PointerX() < 260; }
bool right_held() { return KeyIsDown(KEY_RIGHT) || JoyAxisX(0) == joy_right_value || PointerX() > 460; }
bool jump_hit() { return KeyWasHit(KEY_LCONTROL) || JoyButtonHit(0, 0) || MouseWasHit(1); }

} // namespace

void player_tag::Create() {
    for (player_tag& p : player_slot) {
        p = player_tag{};
        p.rotation = 0;
        p.yscale = 1.0f;
    }
}

int player_tag::get_inputs() {
    player_tag& p = current_player();
    int scroll = 0, bonus = 0, dir = 0;
    bool jump = false, turbo = false;

    if (demo_active != 0) {
        // The attract demo plays recorded controls instead of the devices', always running fast.
        const demo_tag& rec = demo_frames[demo_index];
        turbo = true;
        if (rec.direction == 1 || rec.direction == 2) dir = rec.direction;
        jump = rec.jump != 0;
    } else {
        turbo = fire_hit();
        if (left_held()) dir = 1;
        if (right_held()) dir = 2; // right wins over left
        jump = jump_hit();
    }

    if (turbo) {
        game.turbo = 1;
        bonus = 2;
        if (p.power == 2 && fireball.state == 0 && game.fbshoot == 0) fireball_tag::Create(int(p.x), int(p.y));
    } else {
        game.turbo = 0;
        game.fbshoot = 0;
    }
    if (game.autoturbo != 0 && demo_active == 0) {
        game.turbo = 1;
        bonus = 2;
    }

    if (dir == 2) {
        game.curdir = 1;
        // Steering by key or stick recentres the pointer so an off-centre mouse does not steer;
        // a demo reads no device at all.
        if (demo_active == 0 && (KeyIsDown(KEY_RIGHT) || JoyAxisX(0) == joy_right_value)) MovePointer(320, 0);
        if (game.turbo != 0) p.rotation += 10;
        // Past the middle of the screen the world scrolls instead of the hero moving.
        if (p.x < 320.0f)
            p.x += float(2 + bonus);
        else
            scroll = -2 - bonus;
        if (game.jump != 0) p.rotation += 5;
    }
    if (dir == 1) {
        game.curdir = 0;
        if (demo_active == 0 && (KeyIsDown(KEY_LEFT) || JoyAxisX(0) == joy_left_value)) MovePointer(320, 0);
        if (p.x > 20.0f) p.x -= float(2 + bonus);
        if (game.turbo != 0) p.rotation -= 10;
        if (game.jump != 0) {
            p.rotation -= 5;
            if (p.rotation < 0) p.rotation = 360;
        }
    }

    if (jump && game.jump == 0) {
        game.jump = 1;
        p.yscale = 1.0f;
        p.ystp = game.turbo != 0 ? -7.0f : -6.0f;
        play_sfx(snd_jump);
    }
    return scroll;
}

void player_tag::update() {
    y += ystp;
    ystp += 0.2f;
    if (ystp > 8.0f) ystp = 8.0f;
    if (yscale < 1.0f) yscale += 0.05f;

    // Below the screen: the life ends, but the frame goes on.
    if (y > 480.0f) game.state = STATE_DEATH;

    if (power >= 1 && game.invincible == 0) {
        float sx = float(RandomFloat(1.0, 1.5));
        float sy = float(RandomFloat(1.0, 1.5));
        SetDrawScale(sx, sy);
        SetDrawRotation(float(rotation));
        SetAlpha(float(RandomFloat(0.2, 1.0)));
        SetBlend(BLEND_ALPHA);
        DrawImageFrame(sprite_sheet, x, y, power == 1 ? FRAME_POWER_GLOW : FRAME_FIRE_GLOW);
        SetAlpha(1.0f);
    }

    // Fire power: the hero pulses between white and red.
    if (power == 2 && game.invincible == 0) {
        game.fbflashctr += game.fbflashstp;
        if (game.fbflashctr > 255) {
            game.fbflashstp = -10;
            game.fbflashctr = 255;
        }
        if (game.fbflashctr < 0) {
            game.fbflashstp = 10;
            game.fbflashctr = 0;
        }
        SetColor(255, game.fbflashctr, game.fbflashctr);
    }

    if (game.invincible != 0) {
        int r = int(RandomFloat(255, 0));
        int g = int(RandomFloat(255, 0));
        int b = int(RandomFloat(255, 0));
        SetColor(r, g, b);
    }

    SetTransform(float(rotation), 1.0f, yscale);
    SetBlend(BLEND_MASK);
    DrawImageFrame(sprite_sheet, x, y, FRAME_HERO);
    SetTransform(0.0f, 1.0f, 1.0f);
    SetColor(255, 255, 255);
}
