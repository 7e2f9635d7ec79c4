// Monsters: creation, the twelve behaviours, drawing, movement, the one projectile each may have
// in flight, and the rule by which they hurt the hero.
#include <cmath>

#include "actors/monster_rules.h"
#include "game/media.h"
#include "game/events.h"
#include "game/game.h"

bool hero_dying() { return game.state == STATE_DEATH; }

void hurt_hero() {
    if (hero_dying()) return; // one death is enough: its kind, and its splash, stay as they are
    player_tag& p = current_player();
    if (p.power != 0) {
        play_sfx(snd_powerdwn);
        report_event(GameEvent::PowerLost);
        p.power = 0;
        game.invincible = 50;
    } else {
        game.pumkdeath = DEATH_MONSTER;
        game.state = STATE_DEATH;
    }
}

bool overlaps_hero(int frame, int x, int y) {
    const player_tag& p = current_player();
    return ImagesOverlap(sprite_sheet, x, y, frame, sprite_sheet, int(p.x), int(p.y), FRAME_HERO);
}

void monster_tag::Create(float x, float y, float xstp, float ystp, float xscale, float yscale, int typ) {
    monster_tag m;
    m.typ = typ;
    m.state = 1;
    m.x = m.sx = x;
    m.y = m.sy = y;
    m.xstp = xstp;
    m.ystp = ystp;
    m.xscale = xscale;
    m.yscale = yscale;
    if (typ == MONSTER_FIRE_BAR) {
        // A fire bar turns by a degree per update, its way given by the direction it was made with.
        m.xstp = 0.0f;
        if (xstp < 0.0f) {
            m.rstp = -22;
            m.frame = FRAME_FIREBALL_LEFT;
            m.frametmr = -1;
        }
        if (xstp > 0.0f) {
            m.rstp = 22;
            m.frame = FRAME_FIREBALL_RIGHT;
            m.frametmr = 1;
        }
    }
    monster_list.AddLast(m);
}

namespace {

// Advances the two-frame walk or flap cycle: the drawn frame alternates every limit + 1 updates.
void cycle(monster_tag& m, int limit) {
    m.frametmr += 1;
    if (m.frametmr > limit) {
        m.frametmr = 0;
        m.framectr += 1;
    }
    if (m.framectr > 1) m.framectr = 0;
}

void fire_bar(monster_tag& m) {
    int bx = int(m.x), by = int(m.y);
    m.ctr1 += float(m.frametmr);
    const double a = double(m.ctr1) * 0.017453292519943295;
    for (int ball = 0; ball < 6; ++ball) {
        bx = int(bx + 20.0 * std::sin(a));
        by = int(by - 20.0 * std::cos(a));
        SetDrawRotation(float(m.rotation));
        DrawImageFrame(sprite_sheet, float(bx), float(by), m.frame);
        SetDrawRotation(0);
        // Each ball burns, invincible or not, until a shell knocks the bar out of play.
        if (m.state != 0 && overlaps_hero(m.frame, bx, by)) hurt_hero();
    }
}

void shoot(monster_tag& m, float pxstp, int pframe, int frame) {
    m.xstp = 0.0f;
    m.ctr1 = 50.0f;
    m.projectile = 1;
    m.px = m.x;
    m.py = m.y;
    m.pxstp = pxstp;
    m.pframe = pframe;
    m.frame = frame;
    play_sfx(snd_scorpshot);
}

// A walker shows the frames of the way it walks; standing still, it keeps its frame.
void face(monster_tag& m, int left, int right) {
    if (m.xstp < 0.0f)
        m.frame = left;
    else if (m.xstp > 0.0f)
        m.frame = right;
}

void walker(monster_tag& m) {
    if (m.deathtmr != 0) {
        if (m.typ == MONSTER_WALKER) { // squashed flat where it stood
            m.frame = FRAME_WALKER_LEFT;
            m.framectr = 0;
            m.ystp = 0.0f;
        }
        return;
    }
    cycle(m, 4);
    switch (m.typ) {
    case MONSTER_WALKER: face(m, FRAME_WALKER_LEFT, FRAME_WALKER_RIGHT); return;
    case MONSTER_SHELL_MAKER: face(m, FRAME_SHELL_MAKER_LEFT, FRAME_SHELL_MAKER_RIGHT); return;
    case MONSTER_SPIKY_WALKER: face(m, FRAME_SPIKY_WALKER_LEFT, FRAME_SPIKY_WALKER_RIGHT); return;
    default: break;
    }
    // The shooting walker fires along its floor at a hero on exactly its own height.
    const player_tag& p = current_player();
    if (m.xstp < 0.0f) {
        m.frame = FRAME_SHOOTER_LEFT;
        if (p.x < m.x && p.y == m.y && m.projectile == 0 && m.state != 0)
            shoot(m, -4.0f, FRAME_SHOT_LEFT, FRAME_SHOOTER_SHOOTING_LEFT);
    }
    if (m.xstp > 0.0f) {
        m.frame = FRAME_SHOOTER_RIGHT;
        if (p.x > m.x && p.y == m.y && m.projectile == 0 && m.state != 0)
            shoot(m, 4.0f, FRAME_SHOT_RIGHT, FRAME_SHOOTER_SHOOTING_RIGHT);
    }
    if (m.xstp == 0.0f && m.ctr1 != 0.0f) {
        // The pause after a shot, then on in the direction it fired.
        m.ctr1 -= 1.0f;
        m.framectr = 0;
        if (m.ctr1 == 1.0f) m.xstp = m.pframe == FRAME_SHOT_LEFT ? -1.0f : 1.0f;
    }
}

void thrower(monster_tag& m) {
    cycle(m, 5);
    if (m.ctr1 == -1.0f) m.xstp = -1.0f;
    if (m.ctr1 >= 0.0f) {
        m.frame = FRAME_THROWER;
    } else {
        m.frame = FRAME_THROWER_THROWING;
        m.framectr = 0;
    }
    m.ctr1 += 1.0f;
    if (m.ctr1 > 40.0f) {
        m.ctr1 = 0.0f;
        m.xstp = m.xstp - 2.0f * m.xstp; // turns round
    }
    if (m.xstp < 0.0f && m.ctr1 == 0.0f && m.x > 150.0f && m.projectile == 0 && m.state != 0) {
        m.xstp = 0.0f;
        m.ctr1 = -50.0f;
        m.projectile = 1;
        m.px = m.x - 10.0f;
        m.py = m.y - 10.0f;
        m.pxstp = -3.0f;
        m.pystp = -4.0f;
        m.pframe = FRAME_THROWN;
        play_sfx(snd_hbthrow);
    }
    if (m.frame != FRAME_THROWER_THROWING) { // the object it carries over its head
        SetDrawScale(1.4f, 1.4f);
        DrawImageFrame(sprite_sheet, m.x + 9.0f, m.y - 40.0f, FRAME_THROWN);
    }
}

void behave(monster_tag& m) {
    switch (m.typ) {
    case MONSTER_FIRE_BAR: fire_bar(m); break;
    case MONSTER_WALKER:
    case MONSTER_SHELL_MAKER:
    case MONSTER_SPIKY_WALKER:
    case MONSTER_SHOOTER: walker(m); break;
    case MONSTER_SHELL:
        if (m.state != 0) {
            m.framectr = 0;
            if (m.xstp < 0.0f)
                m.frame = FRAME_SHELL_LEFT;
            else if (m.xstp > 0.0f)
                m.frame = FRAME_SHELL_RIGHT;
            monster_tag::bscollisions(int(m.x), int(m.y), m.frame);
        }
        break;
    case MONSTER_HOVERER:
        if (m.state != 0) {
            cycle(m, 4);
            m.frame = FRAME_HOVERER;
            m.ystp += m.ctr1;
            if (m.ystp <= -4.0f)
                m.ctr1 = 0.1f;
            else if (m.ystp >= 4.0f)
                m.ctr1 = -0.1f;
        } else {
            m.frame = FRAME_HOVERER_KILLED;
            m.framectr = 0;
            m.ystp += 0.5f;
        }
        break;
    case MONSTER_HOPPER:
        if (m.state != 0) {
            m.ystp += 0.1f;
            m.rstp = -1;
            m.frame = FRAME_HOPPER;
            cycle(m, 2);
            if (m.y >= m.sy) {
                m.ystp = -8.0f;
                m.rotation = 0;
            }
        }
        break;
    case MONSTER_THROWER: thrower(m); break;
    case MONSTER_CANNON: m.frame = FRAME_CANNON; break;
    case MONSTER_WITCH_FIREBALL:
        m.rotation = 270;
        m.frame = FRAME_LEAPER;
        cycle(m, 1);
        break;
    case MONSTER_LEAPER: // leaps on whether alive or not
        m.ystp += 0.1f;
        m.frame = FRAME_LEAPER;
        cycle(m, 1);
        m.rotation = m.ystp > 0.0f ? 180 : 0;
        if (m.y >= m.sy) m.ystp = -8.0f;
        break;
    default: break;
    }
}

void move_projectile(monster_tag& m, int scroll) {
    m.px += float(scroll);
    // Masked like the bodies, also for a shooter not yet on screen, whose body step did not run.
    SetBlend(BLEND_MASK);
    if (m.pframe == FRAME_CANNONBALL) {
        SetTransform(float(m.prstp), 1.2f, 1.2f);
        m.prstp -= 5;
    }
    if (m.pframe == FRAME_THROWN) {
        SetTransform(float(m.prstp), 1.4f, 1.4f);
        m.prstp -= 22;
        m.pystp += 0.1f;
    }
    DrawImageFrame(sprite_sheet, m.px, m.py, m.pframe);
    SetTransform(0, 1, 1);
    m.px += m.pxstp;
    m.py += m.pystp;
    if (game.invincible == 0 && !hero_dying() && overlaps_hero(m.pframe, int(m.px), int(m.py))) {
        m.projectile = 0;
        specialfx_tag::reset();
        hurt_hero();
    }
    if (m.px < 0.0f || m.py > 480.0f) m.projectile = 0;
    if (m.pframe == FRAME_SHOT_RIGHT && m.px > 660.0f) m.projectile = 0;
}

} // namespace

void monster_tag::update(int scroll) {
    x += float(scroll);
    sx += float(scroll);
    if (entered != 0 || typ == MONSTER_WITCH_FIREBALL) {
        behave(*this);
        SetBlend(BLEND_MASK);
        SetTransform(float(rotation), xscale, yscale);
        DrawImageFrame(sprite_sheet, x, y, frame + framectr);
        SetTransform(0, 1, 1);
        if (deathtmr != 0) {
            deathtmr -= 1;
            if (deathtmr == 1) {
                deathtmr = 0;
                monster_list.Remove(this);
            }
        }
        x += xstp;
        y += ystp;
        rotation += rstp;
        if (typ == MONSTER_SHELL && x > 680.0f) monster_list.Remove(this);
        if (y > 480.0f || x < -100.0f) monster_list.Remove(this);
    }
    if (projectile != 0) move_projectile(*this, scroll);
    // A cannon fires at a hero on its left even before it is on screen.
    const player_tag& p = current_player();
    if (typ == MONSTER_CANNON && x < 900.0f && p.x < x && projectile == 0 && state != 0) {
        projectile = 1;
        px = x - 30.0f;
        py = y - 5.0f;
        pxstp = -4.0f;
        pframe = FRAME_CANNONBALL;
        play_sfx(snd_cannon);
    }
    if (ystp > 6.0f) ystp = 6.0f;
    if (x < 660.0f) entered = 1;
}
