// The hero's one fireball: thrown with fire power, it flies, falls, hops along floors and ends on
// the side of a block or off the screen.
#include "game/media.h"
#include "game/events.h"
#include "game/game.h"

void fireball_tag::Create(int x, int y) {
    report_event(GameEvent::FireballThrown);
    game.fbshoot = 1;
    fireball.state = 1;
    fireball.ystp = 2.0f;
    fireball.rotation = 0;
    fireball.x = float(x);
    fireball.y = float(y);
    if (game.curdir == 0) {
        fireball.xstp = -6.0f;
        fireball.frame = FRAME_FIREBALL_LEFT;
        fireball.rstp = -45;
    }
    if (game.curdir == 1) {
        fireball.xstp = 6.0f;
        fireball.frame = FRAME_FIREBALL_RIGHT;
        fireball.rstp = 45;
    }
    play_sfx(snd_fireball);
}

void fireball_tag::update(int scroll) {
    if (state == 0) return;
    x += float(scroll);
    ystp += 0.3f;
    rotation += rstp;
    // Drawn in the mode the hero's drawing left: masked.
    SetTransform(float(rotation), 0.8f, 1.0f);
    DrawImageFrame(sprite_sheet, x, y, frame);
    x += xstp;
    y += ystp;
    SetTransform(0, 1, 1);
    if (x < 0.0f || x > 640.0f || y > 480.0f) state = 0;
}

void fireball_tag::collisions(int i) {
    if (state == 0) return;
    const map_tag& c = map_cells[i];
    const int t = c.tile1, cx = int(c.x), cy = int(c.y);
    const bool solid = is_solid_tile(t);
    if (!solid || !ImagesOverlap(sprite_sheet, int(x), int(y), frame, sprite_sheet, cx, cy, t)) return;
    if (y > float(cy - 15) && int(x) != cx) { // met the block from the side
        state = 0;
        play_sfx(snd_bonk);
    }
    if (y < float(cy)) ystp = -4.0f; // bounces off the top
}
