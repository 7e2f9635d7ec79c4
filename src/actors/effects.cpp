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
    if (typ == EFFECT_MAGIC) {
        fx.alpha = 1.0f;
        fx.xscale = fx.yscale = 1.8f;
    } else {
        fx.alpha = 0.8f;
        fx.xscale = fx.yscale = 1.2f;
    }
    if (typ == EFFECT_SCORE) {
        fx.xscale = 0.6f;
        fx.yscale = 0.8f;
        fx.point = game.setpoint;
    }
    if (typ == EFFECT_SPARKLE) fx.xscale = fx.yscale = float(RandomFloat(0.1, 1.0));
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
    case EFFECT_AFTERIMAGE: {
        const float b = float(RandomFloat(255, 0));
        const float g = float(RandomFloat(255, 0));
        const float r = float(RandomFloat(255, 0));
        SetColor(int(r), int(g), int(b));
        xscale -= 0.01f;
        yscale -= 0.01f;
        f = FRAME_HERO;
        break;
    }
    case EFFECT_BRICK_PIECE:
        ystp += 0.2f;
        f = FRAME_BRICK_PIECE;
        xscale -= 0.01f;
        yscale -= 0.01f;
        break;
    case EFFECT_MAGIC:
        f = FRAME_MAGIC;
        xscale -= 0.1f;
        yscale -= 0.1f;
        if (xscale <= 0.0f) specialfx_list.Remove(this);
        break;
    case EFFECT_SPLASH:
        frametmr += 1;
        if (frametmr > 12) {
            frametmr = 0;
            framectr += 1;
        }
        if (framectr == 4) specialfx_list.Remove(this);
        f = framectr + (clr == SPLASH_WATER  ? FRAME_SPLASH_WATER
                        : clr == SPLASH_LAVA ? FRAME_SPLASH_LAVA
                                             : FRAME_SPLASH_CAULDRON);
        break;
    case EFFECT_SPARKLE: f = FRAME_SPARKLE + current_player().power; break;
    default: break;
    }
    if (typ != EFFECT_SCORE)
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
