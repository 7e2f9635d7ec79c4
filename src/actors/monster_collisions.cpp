// Monsters against the hero's fireball, the map, the hero, and (for shells) each other.
#include <string>

#include "actors/monster_rules.h"
#include "game/media.h"
#include "game/events.h"
#include "game/game.h"

namespace {

void knock_out(monster_tag& m) {
    m.state = 0;
    m.rstp = -22;
    m.ystp = 5.0f;
    play_sfx(snd_edeath);
}

// Points with a pop-up that shows them rising from (ax, ay).
void award(int points, float ax, float ay) {
    game.setpoint = std::to_string(points);
    specialfx_tag::Create(ax - 10.0f, ay, 0, 0, 0.0f, -1.0f, 0.01f, EFFECT_SCORE, 0);
    current_player().score += points;
}

int points_for(const player_tag& p) { return 100 * p.level + 50 * p.area; }

bool walks_on_blocks(int typ) {
    return typ == MONSTER_WALKER || typ == MONSTER_SHELL_MAKER || typ == MONSTER_SPIKY_WALKER ||
           typ == MONSTER_SHOOTER || typ == MONSTER_SHELL;
}

// The walkers that turn at monster walls (the walker itself walks through them).
bool sees_monster_walls(int typ) {
    return typ == MONSTER_SHELL_MAKER || typ == MONSTER_SPIKY_WALKER || typ == MONSTER_SHOOTER;
}

void map_contacts(monster_tag& m) {
    for (const map_tag& c : map_cells) {
        const int t = c.tile1, cx = int(c.x), cy = int(c.y);
        // Invisible walls turn the walkers that respect them, one step ahead.
        if (c.hiddenwall == 1 && sees_monster_walls(m.typ) &&
            ImagesOverlap(sprite_sheet, int(m.x + m.xstp), int(m.y), m.frame, sprite_sheet, cx, cy, FRAME_BUSH))
            m.xstp = m.xstp - 2.0f * m.xstp;
        if (t >= TILE_BRICK && t <= TILE_PLATFORM && m.state != 0 && walks_on_blocks(m.typ)) {
            if (ImagesOverlap(sprite_sheet, int(m.x), int(m.y), m.frame, sprite_sheet, cx, cy, t)) {
                if (m.y < float(cy - 18)) {
                    m.ystp = 0.0f;
                    m.y = float(cy - 40);
                }
                if (m.y >= float(cy) && m.x < float(cx)) {
                    m.xstp = -1.0f;
                    m.x = float(cx - 40);
                }
                if (m.y >= float(cy) && m.x > float(cx)) {
                    m.xstp = 1.0f;
                    m.x = float(cx + 40);
                }
                if (m.typ == MONSTER_SHELL) {
                    if (m.y >= float(cy) && m.x < float(cx)) {
                        m.xstp = -4.0f;
                        m.x = float(cx - 40);
                        play_sfx(snd_bonk);
                    }
                    if (m.y >= float(cy) && m.x > float(cx)) {
                        m.xstp = 4.0f;
                        m.x = float(cx + 40);
                        play_sfx(snd_bonk);
                    }
                }
            } else {
                m.ystp = 4.0f; // nothing underfoot here: falls unless a later block holds it
            }
        }
    }
}

void stomp(monster_tag& m, player_tag& p, int hx) {
    report_event(GameEvent::Stomp, m.typ);
    game.jump = 1;
    if (m.typ == MONSTER_HOVERER) {
        m.ystp = 5.0f;
        m.rstp = -22;
        m.state = 0;
    }
    if (m.typ == MONSTER_WALKER) {
        m.xstp = 0.0f;
        m.y += 10.0f;
        m.yscale = 0.5f;
        m.deathtmr = 60;
        m.state = 0;
    }
    if (m.typ == MONSTER_SHELL) { // kicked away from the hero
        m.xstp = float(hx) <= m.x ? 4.0f : -4.0f;
        p.y -= 10.0f;
        play_sfx(snd_bonk);
    }
    if (m.typ == MONSTER_SHELL_MAKER) { // becomes a shell, lying still until the next stomp
        m.typ = MONSTER_SHELL;
        m.xstp = 0.0f;
        m.frame = m.frame == FRAME_SHELL_MAKER_LEFT ? FRAME_SHELL_LEFT : FRAME_SHELL_RIGHT;
        p.y -= 10.0f;
        play_sfx(snd_bonk);
    }
    p.ystp = -3.0f;
    play_sfx(m.typ == MONSTER_WALKER ? snd_splat : snd_edeath);
    award(points_for(p), m.x, m.y);
}

} // namespace

void monster_tag::collisions() {
    player_tag& p = current_player();
    const int hx = int(p.x), hy = int(p.y);
    if (entered == 0 || typ == MONSTER_FIRE_BAR) return;

    // The fireball's test does not look at the monster's state: one already knocked out or
    // squashed uses the fireball up and scores again.
    if (fireball.state == 1 && typ != MONSTER_LEAPER && typ != MONSTER_WITCH_FIREBALL &&
        ImagesOverlap(sprite_sheet, int(x), int(y), frame, sprite_sheet, int(fireball.x), int(fireball.y),
                      fireball.frame)) {
        fireball.state = 0;
        report_event(GameEvent::FireballBurn, typ);
        knock_out(*this);
        award(points_for(p), x, y);
    }

    map_contacts(*this);

    if (state != 0 && overlaps_hero(frame, int(x), int(y))) {
        if (game.invincible != 0) {
            report_event(GameEvent::InvincibleHit, typ);
            knock_out(*this);
            award(points_for(p), x, y);
            return;
        }
        const bool is_stomp = (game.jump != 0 || p.ystp > 5.0f) && y > float(hy - 5);
        if (is_stomp) {
            if (typ == MONSTER_WALKER || typ == MONSTER_SHELL_MAKER || typ == MONSTER_HOVERER || typ == MONSTER_SHELL)
                stomp(*this, p, hx);
            return; // a stomp on anything else does nothing at all
        }
        if (hero_dying()) return;
        specialfx_tag::reset();
        hurt_hero();
    }
}

void monster_tag::bscollisions(int x, int y, int frame) {
    const player_tag& p = current_player();
    monster_list.ForEach([&](monster_tag& m) {
        const int mx = int(m.x), my = int(m.y);
        if (m.state != 0 && mx != x && ImagesOverlap(sprite_sheet, x, y, frame, sprite_sheet, mx, my, m.frame)) {
            report_event(GameEvent::ShellHit, m.typ);
            knock_out(m);
            award(100 * p.level + 400, float(mx), float(my));
        }
    });
}
