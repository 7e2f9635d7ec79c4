// Per-frame update and drawing of one map cell: scroll, the multi-magic timer, the bump, the
// animated bonus block, torches with their glow, spinning magic and flickering level items.
#include "game/media.h"
#include "game/game.h"

void map_tag::update(int scroll) {
    x += float(scroll);

    // A running multi-magic timer counts down to 2 and stays there, on screen or not.
    if (multitmr > 1) {
        multitmr -= 1;
        if (multitmr < 2) multitmr = 2;
    }

    SetBlend(BLEND_MASK);
    if (!(x > -40.0f && x < 680.0f)) return;

    // A bumped block leaves a blank under it while it rises and settles back.
    if (yoffset < 0) {
        DrawImageFrame(sprite_sheet, x, y, FRAME_BLANK);
        yoffset += 1;
    }

    const float ty = y + float(yoffset);
    if (tile1 == TILE_BONUS) {
        if (++framedly > 10) {
            framedly = 0;
            if (++framectr > 2) framectr = 0;
        }
        DrawImageFrame(sprite_sheet, x, ty, FRAME_BONUS + framectr);
    } else {
        DrawImageFrame(sprite_sheet, x, ty, tile1);
    }

    if (tile2 == OBJECT_NONE) return;

    if (tile2 == OBJECT_TORCH) {
        if (++framedly > 2) {
            framedly = 0;
            if (++framectr > 2) framectr = 0;
        }
        float glow = float(RandomFloat(0.1, 0.3));
        SetAlpha(glow);
        SetBlend(BLEND_LIGHT);
        float stretch = float(RandomFloat(1.2, 2.8));
        SetDrawScale(1.0f, stretch);
        DrawImageFrame(sprite_sheet, x, y - 10.0f, FRAME_GLOW);
        SetAlpha(1.0f);
        SetDrawScale(1.0f, 1.0f);
        SetBlend(BLEND_MASK);
    } else if (tile2 == OBJECT_MAGIC) {
        rotation += 5;
        float s = float(RandomFloat(0.5, 1.5));
        SetTransform(float(rotation), s, s);
    }

    if (tile2 >= OBJECT_LEVEL_ITEM && tile2 <= level_item_object(LEVEL_ITEMS)) {
        if (++framedly > 4) {
            framedly = 0;
            if (++framectr > 1) framectr = 0;
        }
    }

    DrawImageFrame(sprite_sheet, x, ty, tile2 + framectr);
    SetTransform(0.0f, 1.0f, 1.0f);
}
