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
    specialfx_tag::Create(ax - 10.0f, ay, 0, 0, 0.0f, -1.0f, 0.01f, 4, 0);
    current_player().score += points;
}

int points_for(const player_tag& p) { return 100 * p.level + 50 * p.area; }

bool walks_on_blocks(int typ) { return typ == 0 || typ == 1 || typ == 2 || typ == 4 || typ == 7; }

void map_contacts(monster_tag& m) {
    for (const map_tag& c : map_cells) {
        const int t = c.tile1, cx = int(c.x), cy = int(c.y);
        // Invisible walls turn the walkers that respect them, one step ahead.
        if (c.hiddenwall == 1 && (m.typ == 1 || m.typ == 2 || m.typ == 4) &&
            ImagesOverlap(sprite_sheet, int(m.x + m.xstp), int(m.y), m.frame, sprite_sheet, cx, cy, 1))
            m.xstp = m.xstp - 2.0f * m.xstp;
        if (t >= 4 && t <= 10 && m.state != 0 && walks_on_blocks(m.typ)) {
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
                if (m.typ == 7) {
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
    if (m.typ == 3) {
        m.ystp = 5.0f;
        m.rstp = -22;
        m.state = 0;
    }
    if (m.typ == 0) {
        m.xstp = 0.0f;
        m.y += 10.0f;
        m.yscale = 0.5f;
        m.deathtmr = 60;
        m.state = 0;
    }
    if (m.typ == 7) { // kicked away from the hero
        m.xstp = float(hx) <= m.x ? 4.0f : -4.0f;
        p.y -= 10.0f;
        play_sfx(snd_bonk);
    }
    if (m.typ == 1) { // becomes a shell, lying still until the next stomp
        m.typ = 7;
        m.xstp = 0.0f;
        m.frame = m.frame == 61 ? 63 : 66;
        p.y -= 10.0f;
        play_sfx(snd_bonk);
    }
    p.ystp = -3.0f;
    play_sfx(m.typ == 0 ? snd_splat : snd_edeath);
    award(points_for(p), m.x, m.y);
}

} // namespace

void monster_tag::collisions() {
    player_tag& p = current_player();
    const int hx = int(p.x), hy = int(p.y);
    if (entered == 0 || typ == 10) return;

    // A monster already knocked out or squashed lets the fireball pass.
    if (fireball.state == 1 && state != 0 && typ != 8 && typ != 9 &&
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
            if (typ == 0 || typ == 1 || typ == 3 || typ == 7) stomp(*this, p, hx);
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
