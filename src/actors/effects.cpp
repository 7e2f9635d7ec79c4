// Short-lived visual effects: after-images of the invincible hero, brick pieces, collected magic,
// splashes, score pop-ups and the sparkles round a powered hero.
#include "game/media.h"
#include "game/game.h"
#include "game/text.h"

void specialfx_tag::Create(float x, float y, int rotation, int rstp, float xstp, float ystp, float astp, int typ,
                           int clr) {
    specialfx_tag fx;
    fx.typ = typ;
    fx.x = x;
    fx.y = y;
    fx.xstp = xstp;
    fx.ystp = ystp;
    fx.rstp = rstp;
    fx.astp = astp;
    fx.rotation = rotation;
    if (clr != 0) fx.clr = clr;
    if (typ == 2) {
        fx.alpha = 1.0f;
        fx.xscale = fx.yscale = 1.8f;
    } else {
        fx.alpha = 0.8f;
        fx.xscale = fx.yscale = 1.2f;
    }
    if (typ == 4) {
        fx.xscale = 0.6f;
        fx.yscale = 0.8f;
        fx.point = game.setpoint;
    }
    if (typ == 5) fx.xscale = fx.yscale = float(RandomFloat(0.1, 1.0));
    specialfx_list.AddLast(fx);
}

void specialfx_tag::update(int scroll) {
    int f = 0;
    x += float(scroll);
    rotation += rstp;
    SetAlpha(alpha);
    SetBlend(BLEND_ALPHA);
    SetTransform(float(rotation), xscale, yscale);
    switch (typ) {
    case 0: {
        const float b = float(RandomFloat(255, 0));
        const float g = float(RandomFloat(255, 0));
        const float r = float(RandomFloat(255, 0));
        SetColor(int(r), int(g), int(b));
        xscale -= 0.01f;
        yscale -= 0.01f;
        f = 30;
        break;
    }
    case 1:
        ystp += 0.2f;
        f = 97;
        xscale -= 0.01f;
        yscale -= 0.01f;
        break;
    case 2:
        f = 28;
        xscale -= 0.1f;
        yscale -= 0.1f;
        if (xscale <= 0.0f) specialfx_list.Remove(this);
        break;
    case 3:
        frametmr += 1;
        if (frametmr > 12) {
            frametmr = 0;
            framectr += 1;
        }
        if (framectr == 4) specialfx_list.Remove(this);
        f = clr == 1 ? framectr + 113 : clr == 2 ? framectr + 118 : framectr + 42;
        break;
    case 5: f = 89 + current_player().power; break;
    default: break;
    }
    if (typ != 4)
        DrawImageFrame(sprite_sheet, x, y, f);
    else
        draw_shadow_text(int(x), int(y), 250, 250, 0, point, 0);
    SetAlpha(1.0f);
    SetTransform(0, 1, 1);
    SetColor(255, 255, 255);
    x += xstp;
    y += ystp;
    alpha -= astp;
    if (alpha <= 0.0f) specialfx_list.Remove(this);
}

void specialfx_tag::reset() { specialfx_list.Clear(); }
