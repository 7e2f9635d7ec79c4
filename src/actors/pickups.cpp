// Pickups released from blocks: power-up, extra life, invincibility and fire power.
#include "game/media.h"
#include "game/events.h"
#include "game/game.h"

void specialitem_tag::Create(float x, float y, int typ) {
    specialitem_tag it;
    it.typ = typ;
    it.frame = typ == PICKUP_INVINCIBILITY ? FRAME_HERO
               : typ == PICKUP_POWER_UP    ? FRAME_POWER_UP
               : typ == PICKUP_EXTRA_LIFE  ? FRAME_EXTRA_LIFE
               : typ == PICKUP_FIRE_POWER  ? FRAME_FIRE_POWER
                                           : FRAME_BLANK;
    it.rstp = 22;
    it.yinc = 0.2f;
    it.x = x;
    it.y = y - 40.0f;
    it.ystp = -6.0f;
    specialitem_list.AddLast(it);
}

void specialitem_tag::update(int scroll) {
    x += float(scroll);
    rotation += rstp;
    SetDrawRotation(float(rotation));
    SetBlend(BLEND_MASK);
    if (frame == FRAME_HERO) { // the invincibility pickup flashes in random colours
        const float b = float(RandomFloat(255, 0));
        const float g = float(RandomFloat(255, 0));
        const float r = float(RandomFloat(255, 0));
        SetColor(int(r), int(g), int(b));
    }
    if (frame == FRAME_FIRE_POWER) {
        framedly += 1;
        if (framedly > 5) {
            framedly = 0;
            framectr += 1;
        }
        if (framectr > 3) framectr = 0;
    }
    DrawImageFrame(sprite_sheet, x, y, frame + framectr);
    x += xstp;
    y += ystp;
    ystp += yinc;
    if (y > 480.0f || x < 0.0f || x > 640.0f) specialitem_list.Remove(this);
    SetDrawRotation(0);
    SetColor(255, 255, 255);
}

namespace {
void popup(const std::string& text, float x, float y) {
    game.setpoint = text;
    specialfx_tag::Create(x, y, 0, 0, 0.0f, -1.0f, 0.01f, EFFECT_SCORE, 0);
}
} // namespace

void specialitem_tag::collisions() {
    player_tag& p = current_player();
    const int hx = int(p.x), hy = int(p.y);
    if (ImagesOverlap(sprite_sheet, int(x), int(y), frame, sprite_sheet, hx, hy, FRAME_HERO)) {
        report_event(GameEvent::ItemTaken, typ);
        switch (typ) {
        case PICKUP_POWER_UP:
            p.power = 1;
            play_sfx(snd_powerup);
            break;
        case PICKUP_FIRE_POWER:
            if (p.power == 2) {
                p.score += 1000;
                popup("1000", x - 15.0f, y - 40.0f);
            }
            p.power = 2;
            play_sfx(snd_powerup);
            break;
        case PICKUP_EXTRA_LIFE:
            p.lives += 1;
            play_sfx(snd_extralife);
            popup("1up", x - 10.0f, y - 40.0f);
            break;
        case PICKUP_INVINCIBILITY:
            game.invincible = 600;
            play_sfx(snd_invincible);
            p.score += 1500;
            break;
        default: break;
        }
        specialitem_list.Remove(this);
        return;
    }
    for (const map_tag& c : map_cells) {
        const int cx = int(c.x), cy = int(c.y), t = c.tile1;
        if (cx <= 0 || cx >= 640 || t < TILE_BRICK || t > TILE_PLATFORM) continue;
        if (!ImagesOverlap(sprite_sheet, int(x), int(y), frame, sprite_sheet, cx, cy, t)) continue;
        if (x > float(cx) && y > float(cy - 18) && y < float(cy + 18)) xstp = 2.0f;
        if (x < float(cx) && y > float(cy - 18) && y < float(cy + 18)) xstp = -2.0f;
        if (y < float(cy - 18)) { // resting on the block
            y = float(cy) - 35.0f;
            if (typ == PICKUP_INVINCIBILITY) {
                ystp = -3.0f;
                if (xstp == 0.0f) xstp = 2.0f;
            } else if (typ == PICKUP_FIRE_POWER) {
                yinc = 0.0f;
                rstp = 0;
                rotation = 0;
                y = float(cy) - 40.0f;
            } else if (typ == PICKUP_POWER_UP || typ == PICKUP_EXTRA_LIFE) {
                if (xstp == 0.0f) xstp = 2.0f;
                ystp = -1.0f;
                rstp = 0;
                rotation = 0;
            }
        }
        if (y > float(cy + 18)) { // under the block
            y = float(cy) + 40.0f;
            ystp = 2.0f;
        }
    }
}
