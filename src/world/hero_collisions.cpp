// The hero against one map cell: hidden blocks, walls, landings and head hits, level items,
// free magic and liquid. The tests run in this order and each sees what the earlier ones left,
// so a correction against one cell is what the following cells see.
#include <string>

#include "game/media.h"
#include "game/events.h"
#include "game/game.h"

namespace {

void score_text(const map_tag& c, float rise) {
    specialfx_tag::Create(c.x - 10.0f, c.y - rise, 0, 0, 0.0f, -1.0f, 0.01f, EFFECT_SCORE, 0);
}

void magic_sparkle(float x, float y) { specialfx_tag::Create(x, y, 0, 15, 0.0f, -4.0f, 0.02f, EFFECT_MAGIC, 0); }

// A brick or bonus block hit from below: break it, empty it or bump it, then release what it holds.
void head_hit(player_tag& p, map_tag& c) {
    if (c.tile1 == TILE_BONUS) report_event(GameEvent::BonusBlockBumped, c.objectid);
    if (p.power >= 1 && c.objectid == CONTENT_NONE) {
        if (c.tile1 == TILE_BONUS) {
            int points = 100 * RandomInt(1, 5);
            c.tile1 = TILE_USED;
            c.yoffset = -10;
            play_sfx(snd_hidden);
            game.setpoint = std::to_string(points);
            p.score += points;
            score_text(c, 40.0f);
        } else {
            const int cx = int(c.x), cy = int(c.y);
            c.tile1 = TILE_EMPTY;
            play_sfx(snd_bash);
            report_event(GameEvent::BrickBroken);
            game.setpoint = "50";
            p.score += 50;
            const float pieces[4][2] = {{2.0f, -6.0f}, {2.0f, -2.0f}, {-2.0f, -6.0f}, {-2.0f, -2.0f}};
            for (const auto& d : pieces)
                specialfx_tag::Create(float(cx), float(cy), 0, -10, d[0], d[1], 0.0f, EFFECT_BRICK_PIECE, 0);
            score_text(c, 20.0f);
        }
    } else {
        c.yoffset = -10;
        if (c.tile1 == TILE_BONUS && c.objectid == CONTENT_NONE) {
            c.tile1 = TILE_USED;
            play_sfx(snd_hidden);
        }
    }

    switch (c.objectid) {
    case CONTENT_MAGIC:
        c.tile1 = TILE_USED;
        game.setpoint = "100";
        p.score += 100;
        p.magic += 1;
        report_event(GameEvent::MagicTaken, MAGIC_FROM_BLOCK);
        c.objectid = 0;
        score_text(c, 40.0f);
        magic_sparkle(c.x, c.y - 40.0f);
        play_sfx(snd_magic);
        break;
    case CONTENT_MULTI_MAGIC:
        // Pays on every hit; the first hit after the timer has run out pays once more and ends it.
        game.setpoint = "100";
        p.magic += 1;
        p.score += 100;
        report_event(GameEvent::MagicTaken, MAGIC_FROM_BLOCK);
        if (c.multitmr == 1)
            c.multitmr = 160;
        else if (c.multitmr == 2) {
            c.multitmr = 0;
            c.tile1 = TILE_USED;
        }
        score_text(c, 40.0f);
        magic_sparkle(c.x, c.y - 40.0f);
        play_sfx(snd_magic);
        break;
    case CONTENT_POWER_UP:
        play_sfx(snd_popout);
        c.tile1 = TILE_USED;
        specialitem_tag::Create(c.x, c.y, p.power >= 1 ? PICKUP_FIRE_POWER : PICKUP_POWER_UP);
        break;
    case CONTENT_EXTRA_LIFE:
    case CONTENT_INVINCIBILITY:
        c.tile1 = TILE_USED;
        play_sfx(snd_popout);
        specialitem_tag::Create(c.x, c.y, c.objectid);
        break;
    default: break;
    }
}

} // namespace

void player_tag::collisions(int index) {
    map_tag& c = map_cells[index];
    const int cx = int(c.x), cy = int(c.y);
    if (cx < 0 || cx > 640) return;

    auto touches = [&](int frame) {
        return ImagesOverlap(sprite_sheet, int(x), int(y), FRAME_HERO, sprite_sheet, cx, cy, frame);
    };

    // Hidden block, opened only by a rising jump from below.
    if (c.tile1 < TILE_BRICK && c.hidden == 1 && y > float(cy + 18) && ystp < 0.0f && game.jump == 1 &&
        touches(FRAME_USED)) {
        c.yoffset = -10;
        report_event(GameEvent::HiddenBlockOpened, c.objectid);
        switch (c.objectid) {
        case CONTENT_NONE:
            c.tile1 = TILE_USED;
            score += 50;
            play_sfx(snd_hidden);
            break;
        case CONTENT_MAGIC:
            c.tile1 = TILE_USED;
            game.setpoint = "100";
            magic += 1;
            score += 100;
            report_event(GameEvent::MagicTaken, MAGIC_FROM_HIDDEN_BLOCK);
            score_text(c, 40.0f);
            magic_sparkle(c.x, c.y - 40.0f);
            play_sfx(snd_magic);
            break;
        case CONTENT_POWER_UP:
            c.tile1 = TILE_USED;
            play_sfx(snd_popout);
            specialitem_tag::Create(c.x, c.y, power >= 1 ? PICKUP_FIRE_POWER : PICKUP_POWER_UP);
            break;
        case CONTENT_EXTRA_LIFE:
        case CONTENT_INVINCIBILITY:
            c.tile1 = TILE_USED;
            play_sfx(snd_popout);
            specialitem_tag::Create(c.x, c.y, c.objectid);
            break;
        default: break;
        }
    }

    // Walls push the hero out sideways.
    if (is_solid_tile(c.tile1) && touches(c.tile1)) {
        if (x < float(cx) && y > float(cy - 20) && y < float(cy + 20)) x = float(cx - 35);
        if (x > float(cx) && y > float(cy - 20) && y < float(cy + 20)) x = float(cx + 35);
    }

    // Floors and ceilings, tested against the full block shape.
    if (is_solid_tile(c.tile1) && touches(FRAME_BRICK)) {
        if (y < float(cy - 18)) {
            // Every landing is a bounce.
            ystp = game.jump == 1 ? -4.0f : -3.0f;
            game.jump = 0;
            y = c.y - 40.0f;
            yscale = 0.5f;
            rotation = 0;
            if (c.tile2 == OBJECT_SPRINGBOARD) {
                ystp = -10.0f;
                c.yoffset = -10;
                play_sfx(snd_runestone);
                report_event(GameEvent::Springboard);
            } else {
                play_sfx(snd_boing);
            }
        }
        if (y > float(cy + 18) && ystp <= 0.0f && x > float(cx - 21) && x < float(cx + 21)) {
            play_sfx(snd_bonk);
            ystp = 2.0f;
            yscale = 0.5f;
            rotation = 0;
            if (c.tile1 == TILE_BRICK || c.tile1 == TILE_BONUS) head_hit(*this, c);
        }
    }

    // The level's magic item.
    if (c.tile2 >= OBJECT_LEVEL_ITEM && c.tile2 <= level_item_object(LEVEL_ITEMS) && touches(c.tile2)) {
        item[LEVEL_ITEMS - 1 - (c.tile2 - OBJECT_LEVEL_ITEM) / 2] = 1;
        game.item = 1;
        c.tile2 = OBJECT_NONE;
        report_event(GameEvent::LevelItemTaken);
        play_sfx(snd_magic);
    }

    // Free magic.
    if (c.tile2 == OBJECT_MAGIC && touches(FRAME_MAGIC)) {
        c.tile2 = OBJECT_NONE;
        game.setpoint = "100";
        magic += 1;
        score += 100;
        report_event(GameEvent::MagicTaken, MAGIC_FREE);
        magic_sparkle(c.x, c.y);
        score_text(c, 40.0f);
        play_sfx(snd_magic);
    }

    // Liquid kills whatever the hero's power or invincibility.
    if ((c.tile1 == TILE_WATER || c.tile1 == TILE_LAVA) && touches(c.tile1)) {
        game.pumkdeath = DEATH_LIQUID;
        power = 0;
        specialfx_tag::reset();
        play_sfx(snd_splash);
        specialfx_tag::Create(x, y - 10.0f, 0, 0, 0.0f, 0.0f, 0.0f, EFFECT_SPLASH,
                              c.tile1 == TILE_WATER ? SPLASH_WATER : SPLASH_LAVA);
        game.state = STATE_DEATH;
    }
}
