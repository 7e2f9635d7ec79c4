// Lifts: a horizontal one waits until first landed on, then travels back and forth; a vertical
// one travels up and down between the top and the bottom of the screen. The hero bounces on
// both and is never carried sideways.
#include "game/media.h"
#include "game/events.h"
#include "game/game.h"

void elevator_tag::Create(float x, float y, int wide, int typ) {
    elevator_tag e;
    e.typ = typ;
    e.x = x;
    e.y = y;
    e.xscale = wide != 0 ? 2.0f : 1.0f;
    if (typ != LIFT_HORIZONTAL) {
        e.xstp = 0.0f;
        e.frame = FRAME_LIFT_VERTICAL;
        e.ystp = y > 240.0f ? 2.0f : -2.0f;
    } else {
        e.distctr = 1;
        e.dstp = 1;
        e.xstp = 0.0f;
        e.ystp = 0.0f;
        e.frame = FRAME_LIFT_HORIZONTAL;
    }
    elevator_list.AddLast(e);
}

void elevator_tag::update(int scroll) {
    x += float(scroll);

    SetDrawScale(xscale, 1.0f);
    SetBlend(BLEND_MASK);
    DrawImageFrame(sprite_sheet, x, y, frame);
    SetDrawScale(1.0f, 1.0f);

    // Lifts still to the right of the screen wait.
    if (x < 680.0f) {
        if (frame == FRAME_LIFT_VERTICAL) {
            for (int i = int(y - 32.0f); i > -20; i -= 22) DrawImageFrame(sprite_sheet, x, float(i), FRAME_LIFT_CABLE);
        } else if (frame == FRAME_LIFT_HORIZONTAL && xstp != 0.0f) {
            distctr += dstp;
            if (distctr > 280) {
                dstp = -1;
                xstp = -2.0f;
            }
            if (distctr < 1) {
                dstp = 1;
                xstp = 2.0f;
            }
        }
        x += xstp;
        y += ystp;
    }

    if (y < 55.0f)
        ystp = 2.0f;
    else if (y > 465.0f)
        ystp = -2.0f;

    // Removal leaves this record readable for the rest of the list walk.
    if (x < -80.0f) elevator_list.Remove(this);
}

void elevator_tag::collisions(int px, int py) {
    if (!ImagesOverlap(sprite_sheet, px, py, FRAME_HERO, sprite_sheet, int(x), int(y), frame)) return;
    player_tag& p = current_player();
    report_event(GameEvent::LiftLanding, typ == LIFT_HORIZONTAL ? LIFT_HORIZONTAL : LIFT_VERTICAL);
    game.jump = 0;
    play_sfx(snd_boing);
    p.y = y - 40.0f;
    p.rotation = 0;
    p.yscale = 0.5f;
    if (frame == FRAME_LIFT_HORIZONTAL && xstp == 0.0f) xstp = 2.0f;
    p.ystp = (frame == FRAME_LIFT_VERTICAL && ystp < 0.0f) ? -5.0f : -3.0f;
}
