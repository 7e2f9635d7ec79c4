// The art generator: draws every picture the game embeds, from code, and writes them as 8-bit RGB
// PNGs without alpha. Pure black (0, 0, 0) is the transparent colour of every masked picture, so
// outlines and shadows use near-black instead.
//
//   artgen OUTPUT_DIR FONT_FILE
//
// Art direction: a Halloween night. One palette across all pictures: deep night blues and
// purples behind, warm pumpkin orange and candle yellow for the hero and rewards, sickly greens
// and bone whites for the monsters, red and fire for what burns. Monsters wear a light rim, so
// they stand out from the dark backdrops; the witch's hazards burn green over crimson lava, so
// none of them is mistaken for the orange hero.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <string>

#include "canvas.h"
#include "engine/png_io.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Palette
const Col kInk = rgb(12, 10, 16); // outlines: near-black, never the transparent black
const Col kPumpkin = rgb(246, 140, 32), kPumpkinDark = rgb(176, 72, 14), kPumpkinLight = rgb(255, 196, 90);
const Col kCandle = rgb(255, 226, 110), kFlame = rgb(255, 150, 30);
const Col kStem = rgb(70, 110, 40);
const Col kNight = rgb(18, 20, 52), kNightHigh = rgb(58, 44, 104);
const Col kBone = rgb(232, 224, 196), kSlime = rgb(120, 210, 80), kSlimeDark = rgb(44, 110, 40);
const Col kPurple = rgb(120, 62, 160), kPurpleDark = rgb(62, 30, 90);
const Col kBlood = rgb(200, 30, 40), kFire = rgb(255, 110, 20);
const Col kStone = rgb(118, 112, 130), kStoneDark = rgb(64, 60, 78);
const Col kBrick = rgb(138, 58, 50), kBrickDark = rgb(82, 30, 30), kMortar = rgb(48, 36, 44);
const Col kEarth = rgb(92, 62, 40), kGrass = rgb(58, 118, 56);
const Col kWood = rgb(138, 92, 50), kWoodDark = rgb(84, 52, 28);
const Col kGold = rgb(250, 200, 60), kGoldDark = rgb(170, 110, 20);
// The witch's fire (leapers, her fireballs, fire bars, the fire the hero takes from her) and her
// lava.
const Col kWitchFire = rgb(110, 240, 120), kWitchFireDark = rgb(30, 150, 80), kWitchFireCore = rgb(225, 255, 200);
const Col kLava = rgb(230, 45, 88), kLavaDeep = rgb(96, 8, 46);
// Magic: a gold star, apart from every monster's colour.
const Col kMagic = rgb(255, 214, 70), kMagicCore = rgb(255, 252, 225);

auto flat(Col c) {
    return [c](float, float) { return c; };
}
// Light from the top left: shade a round shape by position.
auto shaded(Col base, float cx, float cy, float r) {
    return [=](float x, float y) {
        const float d = ((x - cx) * 0.6f + (y - cy)) / r; // -1 top left .. 1 bottom right
        return d < 0 ? mix(base, rgb(255, 255, 230), -d * 0.35f) : mix(base, kInk, d * 0.45f);
    };
}

// The game collides with the opaque pixels of a frame. A monster's light rim takes the place of a
// dark outline, and so that it never widens what the monster collides with, such a frame is drawn
// twice (see `keep_silhouette`): first with its outlines dark, which gives the silhouette, then in
// colour, of which only the silhouette's pixels are kept.
bool silhouette_pass = false;
Col rim(Col light, Col dark = kInk) { return silhouette_pass ? dark : light; }

void outlined_ellipse(Canvas& c, float cx, float cy, float rx, float ry, Col base, float line = 1.5f, Col edge = kInk) {
    c.Ellipse(cx, cy, rx * 1.05f + line, ry + line, edge); // the side lobes reach 1.05 rx
    c.Ellipse(cx, cy, rx, ry, shaded(base, cx, cy, std::max(rx, ry)));
}

void cell(Canvas& c, int k) { c.Clip(1 + 41 * (k % 15), 1 + 41 * (k / 15), 40, 40); }

// ---------------------------------------------------------------------------------------------
// Tiles (solid tiles fill their whole cell: the game collides with their pixels)

void brick_tile(Canvas& c) {
    c.Rect(0, 0, 40, 40, kMortar);
    for (int row = 0; row < 4; ++row) {
        const float y0 = row * 10 + 1, shift = (row % 2) ? 10 : 0;
        for (int b = -1; b < 3; ++b) {
            const float x0 = b * 20 + shift + 1;
            c.Rect(x0, y0, x0 + 18, y0 + 8, [=](float x, float y) {
                const float n = hash2(int(x / 3), int(y / 3), row * 7 + b) * 0.25f;
                const Col base = mix(kBrick, kBrickDark, (y - y0) / 10 + n);
                return x < x0 + 2 || y < y0 + 2 ? mix(base, rgb(200, 110, 90), 0.35f) : base;
            });
        }
    }
}

void block_tile(Canvas& c, Col face, Col dark, float glow) {
    c.Rect(0, 0, 40, 40, kInk);
    c.Rect(1, 1, 39, 39, [=](float x, float y) { return mix(face, dark, (x + y) / 80.0f); });
    c.Rect(2, 2, 38, 4, mix(face, rgb(255, 255, 240), 0.5f));
    c.Rect(2, 2, 4, 38, mix(face, rgb(255, 255, 240), 0.35f));
    c.Rect(4, 36, 38, 38, dark);
    for (float px : {5.0f, 33.0f})
        for (float py : {5.0f, 33.0f}) c.Ellipse(px + 1, py + 1, 1.6f, 1.6f, dark);
    if (glow > 0) c.Glow(20, 20, 16, kCandle, glow * 0.5f);
}

// The bonus block: a gold block with a glowing star rune; `pulse` 0..2 animates the rune.
void bonus_tile(Canvas& c, int pulse) {
    block_tile(c, kGold, kGoldDark, 0.2f + 0.25f * pulse);
    std::vector<float> star;
    for (int i = 0; i < 10; ++i) {
        const float a = i * 3.14159f / 5 - 3.14159f / 2, r = (i % 2) ? 5.5f : 12.0f + pulse;
        star.push_back(20 + r * std::cos(a));
        star.push_back(21 + r * std::sin(a));
    }
    std::vector<float> shadow = star;
    for (size_t i = 0; i < shadow.size(); ++i) shadow[i] += 1.2f;
    c.Poly(shadow, kGoldDark);
    c.Poly(star, mix(rgb(255, 250, 200), kCandle, 0.3f * pulse));
}

void used_tile(Canvas& c) { block_tile(c, rgb(120, 98, 84), rgb(66, 52, 46), 0); }

// Ground. The earth (frame 9) and the lair's rock (frame 25) are fills that join seamlessly with
// themselves on every side, so deep ground reads as one mass; the lair's ground top (24) is its
// rock under a mossy lip. Overlays, drawn over a ground cell by the map, add what its neighbours
// call for: grass where the earth meets the air above, a shaded rim where the ground ends at a
// side, a lip where it ends above a gap.
Col earth_at(float x, float y) {
    const float n = tiled_noise(x / 8, y / 8, 5, 3), m = tiled_noise(x / 4, y / 4, 10, 5);
    return mix(rgb(100, 68, 44), rgb(56, 37, 28), n * 0.75f + m * 0.3f);
}

void earth_fill(Canvas& c) {
    c.Rect(0, 0, 40, 40, earth_at);
    for (int i = 0; i < 5; ++i) { // pebbles, kept off the edges so that neighbouring cells join
        const float px = 5 + hash2(i, 1, 9) * 30, py = 5 + hash2(i, 2, 9) * 30, r = 1.6f + hash2(i, 3, 9);
        c.Ellipse(px + 0.6f, py + 0.6f, r + 0.4f, r * 0.75f + 0.4f, rgb(44, 29, 22));
        c.Ellipse(px, py, r, r * 0.75f, mix(rgb(126, 100, 76), rgb(92, 70, 52), hash2(i, 4, 9)));
    }
    for (int i = 0; i < 2; ++i) { // a root or two
        const float rx = 8 + 22 * hash2(i, 5, 9), ry = 10 + 18 * hash2(i, 6, 9);
        c.Line(rx, ry, rx + 5, ry + 3, 1.2f, rgb(70, 46, 30));
        c.Line(rx + 5, ry + 3, rx + 7, ry + 7, 1.0f, rgb(70, 46, 30));
    }
}

// Grass along the top of the cell, with blades hanging over the earth; on a corner it curls down
// the open side.
void grass_top(Canvas& c, bool left, bool right) {
    const Col light = rgb(120, 190, 84), dark = rgb(50, 104, 50);
    auto grass = [=](float x, float y) { return mix(light, dark, y / 9 + 0.25f * hash2(int(x), 0, 4)); };
    const float k = 3.14159f / 20; // one turn over the cell, so that cells in a row join
    c.Paint(
        0, 0, 40, 12,
        [k](float x, float y) { return y < 7 + 1.3f * std::sin(x * k * 3) + 0.7f * std::sin(x * k * 7 + 1); }, grass);
    for (int i = 0; i < 10; ++i) { // blades hanging over the earth, long dark ones and short light ones
        const float gx = i * 4 + 2, len = 11 + 4 * hash2(i, 5, 2), lean = 1.2f * (hash2(i, 6, 2) - 0.5f);
        c.Poly({gx - 1.8f, 6, gx + 1.8f, 6, gx + lean, len}, dark);
        c.Poly({gx + 0.2f, 6, gx + 3.2f, 6, gx + 1.7f - lean, len - 3}, mix(light, dark, 0.35f));
    }
    c.Rect(0, 0, 40, 1.5f, rgb(160, 220, 110)); // moonlight on the blades' tips
    for (int side = 0; side < 2; ++side) {
        if (!(side == 0 ? left : right)) continue;
        const float x0 = side == 0 ? 0 : 34, x1 = x0 + 6;
        c.Rect(x0, 0, x1, 10, grass);
        for (int i = 0; i < 3; ++i) { // tufts down the open side
            const float ty = 9 + i * 4, tx = side == 0 ? 0 : 40, d = side == 0 ? 1 : -1;
            c.Poly({tx, ty, tx, ty + 4, tx + d * (5 - i * 1.5f), ty + 5}, dark);
        }
    }
}

// The shaded rim where ground ends at a side: drawn over earth or rock alike.
void side_rim(Canvas& c, bool left, bool right, float from_y = 0) {
    for (int side = 0; side < 2; ++side) {
        if (!(side == 0 ? left : right)) continue;
        const float d = side == 0 ? 1 : -1, x0 = side == 0 ? 0 : 40;
        c.Paint(
            0, from_y, 40, 40,
            [=](float x, float y) {
                const float depth = d * (x - x0),
                            wave = 4.2f + 1.2f * std::sin(y * 0.55f + side) + 0.8f * std::sin(y * 1.7f);
                return depth >= 0 && depth < wave;
            },
            [=](float x, float) { return mix(rgb(30, 20, 24), rgb(54, 38, 40), d * (x - x0) / 5); });
        c.Paint(
            0, from_y, 40, 40, [=](float x, float) { return d * (x - x0) >= 0 && d * (x - x0) < 1.2f; },
            flat(rgb(20, 14, 18)));
    }
}

// The lip where ground ends above a gap.
void underside(Canvas& c) {
    c.Paint(
        0, 28, 40, 40, [](float x, float y) { return y > 35 - 1.2f * std::sin(x * 0.7f) - 0.8f * std::sin(x * 1.9f); },
        [](float, float y) { return mix(rgb(54, 38, 40), rgb(24, 16, 20), (y - 33) / 7); });
}

Col rock_at(float x, float y) {
    const float n = tiled_noise(x / 5, y / 5, 8, 11), m = tiled_noise(x / 10, y / 10, 4, 12);
    return mix(rgb(92, 64, 80), rgb(34, 24, 38), 0.15f + n * 0.5f + m * 0.35f);
}

void lair_rock(Canvas& c) {
    c.Rect(0, 0, 40, 40, rock_at);
    c.Line(4, 13, 15, 18, 1.5f, rgb(26, 16, 26)); // cracks, off the edges
    c.Line(15, 18, 19, 24, 1.2f, rgb(26, 16, 26));
    c.Line(23, 30, 35, 26, 1.5f, rgb(26, 16, 26));
    c.Line(5, 14, 14, 18.5f, 0.8f, rgb(120, 90, 104)); // their lit edges
    c.Line(24, 31, 34, 27.5f, 0.8f, rgb(120, 90, 104));
}

// The lair's ground where it meets the air: its rock under a lit lip and hanging moss.
void lair_top(Canvas& c) {
    lair_rock(c);
    c.Paint(
        0, 0, 40, 10, [](float x, float y) { return y < 5 + 1.2f * std::sin(x * 0.9f); },
        [](float x, float y) { return mix(rgb(150, 118, 130), rgb(96, 70, 86), y / 6 + 0.2f * hash2(int(x), 3)); });
    c.Rect(0, 0, 40, 1.2f, rgb(190, 160, 170));
    for (int i = 0; i < 6; ++i) { // moss
        const float mx = 3 + i * 6.5f + 2 * hash2(i, 7), len = 6 + 5 * hash2(i, 8);
        c.Poly({mx - 2.5f, 3, mx + 2.5f, 3, mx, len}, rgb(60, 120, 80));
    }
}

void platform_tile(Canvas& c) {
    c.Rect(0, 0, 40, 40, kInk);
    for (int plank = 0; plank < 3; ++plank) {
        const float y0 = 1 + plank * 13;
        c.Rect(1, y0, 39, y0 + 12, [=](float x, float y) {
            const float grain = std::sin(x * 0.5f + plank * 2 + std::sin(y)) * 0.1f;
            return mix(kWood, kWoodDark, (y - y0) / 14 + grain);
        });
        c.Ellipse(6, y0 + 6, 1.4f, 1.4f, kInk);
        c.Ellipse(34, y0 + 6, 1.4f, 1.4f, kInk);
    }
}

// The springboard, drawn over the ground cell it stands in: a red plate on a steel coil, in a
// dark recess of the ground.
void springboard_overlay(Canvas& c) {
    c.Rect(7, 6, 33, 36, rgb(24, 16, 20));
    c.Rect(4, 31, 36, 37, kInk); // the base plate
    c.Rect(5, 32, 35, 36, rgb(90, 92, 108));
    const float xs[2] = {11, 29};
    for (int pass = 0; pass < 3; ++pass) // the coil: ink, steel, then the light on it
        for (int i = 0; i < 6; ++i) {
            const float ya = 31 - i * 4, yb = ya - 4;
            const float xa = xs[i % 2], xb = xs[(i + 1) % 2];
            const float w = pass == 0 ? 4.0f : pass == 1 ? 2.4f : 0.9f;
            const Col col = pass == 0 ? kInk : pass == 1 ? rgb(170, 176, 196) : rgb(240, 244, 255);
            c.Line(xa, ya - (pass == 2 ? 0.6f : 0), xb, yb - (pass == 2 ? 0.6f : 0), w, col);
        }
    c.Rect(1, 0, 39, 8, kInk); // the plate the hero lands on
    c.Rect(2, 1, 38, 7, [](float, float y) { return mix(rgb(240, 80, 70), rgb(150, 24, 30), (y - 1) / 6); });
    c.Rect(3, 1.5f, 37, 2.8f, rgb(255, 180, 160));
    for (float bx : {6.0f, 34.0f}) c.Ellipse(bx, 4.5f, 1.3f, 1.3f, rgb(255, 220, 120));
}

// A lift: a stone slab with iron bands (drawn twice as wide by the game).
void lift(Canvas& c, bool vertical) {
    c.Rect(0, 8, 40, 32, kInk);
    c.Rect(0, 9, 40, 31, [](float, float y) { return mix(kStone, kStoneDark, (y - 9) / 24); });
    c.Rect(0, 9, 40, 12, mix(kStone, rgb(255, 255, 255), 0.3f));
    for (float x : {6.0f, 20.0f, 34.0f}) c.Rect(x - 1.5f, 9, x + 1.5f, 31, rgb(70, 66, 80));
    if (vertical) {
        c.Ellipse(20, 9, 4, 4, kInk);
        c.Ellipse(20, 9, 2.5f, 2.5f, rgb(160, 150, 170));
    }
}

void cable(Canvas& c) {
    for (int i = 0; i < 4; ++i) {
        const float y = i * 11 + 5;
        c.Ellipse(20, y, 3, 5, kInk);
        c.Ellipse(20, y, 1.8f, 3.8f, rgb(150, 146, 160));
        c.Ellipse(20, y, 0.9f, 2.6f, kInk);
    }
}

void liquid(Canvas& c, Col top, Col deep, int seed) {
    c.Rect(0, 0, 40, 40, [=](float x, float y) {
        const float wave = std::sin(x * 0.3f + y * 0.2f + seed) * 0.08f + smooth_noise(x / 7, y / 7, seed) * 0.25f;
        return mix(top, deep, y / 44 + wave);
    });
    for (int i = 0; i < 5; ++i) {
        const float bx = 4 + hash2(i, seed, 1) * 32, by = 8 + hash2(i, seed, 2) * 28;
        c.Ellipse(bx, by, 2.5f, 2.5f, mix(top, rgb(255, 255, 230), 0.5f), 0.7f);
    }
    c.Rect(0, 0, 40, 3, mix(top, rgb(255, 255, 230), 0.45f));
}

// Passable scenery.
void bush(Canvas& c) { // also the shape walkers turn at when it hides an invisible wall
    for (int i = 0; i < 7; ++i) {
        const float bx = 6 + i * 4.6f, by = 22 + 6 * std::sin(i * 1.7f), r = 9 + 3 * hash2(i, 4);
        c.Ellipse(bx, by, r + 1.2f, r + 1.2f, kInk);
    }
    for (int i = 0; i < 7; ++i) {
        const float bx = 6 + i * 4.6f, by = 22 + 6 * std::sin(i * 1.7f), r = 9 + 3 * hash2(i, 4);
        c.Ellipse(bx, by, r, r, shaded(rgb(44, 92, 60), bx, by, r));
    }
    c.Rect(1, 30, 39, 40, rgb(36, 70, 46));
    for (int i = 0; i < 4; ++i) c.Ellipse(8 + i * 8, 18 + 4 * hash2(i, 6), 1.6f, 1.6f, kBlood);
}

void fence(Canvas& c) {
    c.Rect(0, 16, 40, 20, kWoodDark);
    c.Rect(0, 30, 40, 34, kWoodDark);
    for (float x : {6.0f, 20.0f, 34.0f}) {
        c.Poly({x - 4, 40, x - 4, 10, x, 4, x + 4, 10, x + 4, 40}, kInk);
        c.Poly({x - 3, 40, x - 3, 10.5f, x, 5.5f, x + 3, 10.5f, x + 3, 40}, kWood);
    }
}

void tombstone(Canvas& c) {
    c.Ellipse(20, 16, 12, 11, kInk);
    c.Rect(8, 16, 32, 40, kInk);
    c.Ellipse(20, 16, 11, 10, shaded(kStone, 20, 20, 14));
    c.Rect(9, 16, 31, 40, shaded(kStone, 20, 24, 16));
    c.Rect(18, 12, 22, 30, kStoneDark);
    c.Rect(14, 17, 26, 21, kStoneDark);
    c.Rect(4, 36, 36, 40, rgb(40, 70, 40));
}

void dead_tree(Canvas& c) {
    c.Line(20, 40, 20, 6, 6, kInk);
    c.Line(20, 40, 20, 6, 4, rgb(80, 60, 60));
    c.Line(20, 18, 8, 8, 3, rgb(80, 60, 60));
    c.Line(20, 14, 32, 4, 3, rgb(80, 60, 60));
    c.Line(9, 9, 4, 10, 2, rgb(80, 60, 60));
}

void window_tile(Canvas& c) {
    c.Rect(6, 4, 34, 36, kInk);
    c.Ellipse(20, 12, 14, 10, kInk);
    c.Rect(8, 12, 32, 34, rgb(255, 200, 90));
    c.Ellipse(20, 12, 12, 8, rgb(255, 220, 120));
    c.Rect(19, 4, 21, 34, kInk);
    c.Rect(8, 21, 32, 23, kInk);
}

void candle(Canvas& c) {
    c.Glow(20, 12, 14, kCandle, 0.5f);
    c.Rect(15, 18, 25, 40, kInk);
    c.Rect(16, 19, 24, 40, kBone);
    c.Ellipse(20, 12, 3.5f, 6, kFlame);
    c.Ellipse(20, 13, 2, 3.5f, kCandle);
}

void cross(Canvas& c) {
    c.Rect(16, 6, 24, 40, kInk);
    c.Rect(8, 13, 32, 21, kInk);
    c.Rect(17, 7, 23, 40, kStone);
    c.Rect(9, 14, 31, 20, kStone);
}

// The background fill of built-up areas: dark stone blocks, calm enough to sit behind everything.
void wall_fill(Canvas& c) {
    c.Rect(0, 0, 40, 40, rgb(26, 24, 40));
    for (int row = 0; row < 2; ++row)
        for (int b = -1; b < 2; ++b) {
            const float x0 = b * 40 + (row ? 20 : 0) + 1, y0 = row * 20 + 1;
            c.Rect(x0, y0, x0 + 38, y0 + 18, [=](float x, float y) {
                return mix(rgb(44, 40, 64), rgb(34, 30, 50), (y - y0) / 18 + 0.2f * smooth_noise(x / 4, y / 4, 21));
            });
        }
}

// Torch flames (three frames) and the glow drawn additively behind them.
void torch_flame(Canvas& c, int f) {
    c.Rect(18, 26, 22, 40, kWoodDark);
    c.Rect(15, 24, 25, 28, kStoneDark);
    const float sway = (f - 1) * 2.0f;
    c.Poly({13, 25, 27, 25, 22 + sway, 8 - f * 2.0f, 20 + sway * 0.5f, 3, 17, 12}, kFire);
    c.Poly({16, 25, 24, 25, 21 + sway, 12.0f - f, 19, 10}, kCandle);
}

// A glow drawn translucent by the game: bright at the centre, half as bright at its rim, so
// blending it never darkens what lies behind.
void glow_frame(Canvas& c, Col col) {
    c.Ellipse(20, 20, 19.5f, 19.5f, [col](float x, float y) {
        return mix(mix(col, rgb(255, 255, 240), 0.4f), scale(col, 0.55f), std::hypot(x - 20, y - 20) / 19.5f);
    });
}

// ---------------------------------------------------------------------------------------------
// The hero: a friendly carved pumpkin lantern, about 30 px wide so walls stop it.
void pumpkin(Canvas& c, float cx, float cy, float rx, float ry, Col body, bool face, bool lit) {
    c.Ellipse(cx, cy, rx + 1.5f, ry + 1.5f, kInk);
    for (int lobe = -1; lobe <= 1; ++lobe) {
        const float lx = cx + lobe * rx * 0.45f, lrx = rx * (lobe == 0 ? 0.62f : 0.6f);
        c.Ellipse(lx, cy, lrx, ry, shaded(lobe == 0 ? mix(body, rgb(255, 255, 200), 0.12f) : body, cx, cy, rx));
    }
    c.Rect(cx - 2, cy - ry - 4, cx + 2, cy - ry + 2, kInk);
    c.Rect(cx - 1.2f, cy - ry - 3.2f, cx + 1.2f, cy - ry + 1, kStem);
    if (!face) return;
    const Col hole = lit ? kCandle : rgb(60, 20, 10);
    const float e = rx * 0.32f;
    for (int side : {-1, 1}) {
        const float ex = cx + side * rx * 0.38f, ey = cy - ry * 0.22f;
        c.Poly({ex - e * 0.8f, ey + e * 0.5f, ex + e * 0.8f, ey + e * 0.5f, ex + side * 0.2f, ey - e * 0.7f}, hole);
    }
    // A wide, friendly grin with two teeth.
    const float my = cy + ry * 0.28f, mw = rx * 0.65f;
    c.Poly({cx - mw, my - 1.5f, cx + mw, my - 1.5f, cx + mw * 0.6f, my + ry * 0.3f, cx - mw * 0.6f, my + ry * 0.3f},
           hole);
    c.Rect(cx - mw * 0.35f, my - 1.6f, cx - mw * 0.12f, my + 1.2f, body);
    c.Rect(cx + mw * 0.12f, my - 1.6f, cx + mw * 0.35f, my + 1.2f, body);
    if (lit) c.Glow(cx, cy, rx * 0.9f, kCandle, 0.15f);
}

// At most 30 px wide (columns 5 to 34): a wall pushes the hero's centre 35 px from the wall
// cell's centre, and a wider hero would still touch the wall there and climb it.
void hero(Canvas& c) { pumpkin(c, 20, 21, 13, 13, kPumpkin, true, true); }

void splat(Canvas& c) { // the hero after a fall
    c.Ellipse(20, 30, 17, 7, kInk);
    c.Ellipse(20, 30, 16, 6, shaded(kPumpkin, 20, 30, 16));
    for (int i = 0; i < 6; ++i) {
        const float a = i * 1.05f, r = 15;
        c.Ellipse(20 + r * std::cos(a), 24 + 8 * std::sin(a) - 6, 3, 2.5f, kPumpkinDark);
    }
    c.Ellipse(14, 29, 2, 1.2f, kCandle);
    c.Ellipse(26, 29, 2, 1.2f, kCandle);
}

// ---------------------------------------------------------------------------------------------
// Pickups and effects
// A ball of the witch's fire: the fire bars' links, and what the hero throws once it has taken
// her fire.
void fireball(Canvas& c, bool right) {
    const float d = right ? -1 : 1; // the tail trails behind
    c.Poly({20 + d * 17, 20, 20, 11, 20, 29}, kWitchFire, 0.85f);
    c.Ellipse(20, 20, 10, 10, rim(rgb(190, 255, 180)));
    c.Ellipse(20, 20, 9, 9, [](float x, float y) {
        const float r = std::hypot(x - 18, y - 18) / 10;
        return mix(kWitchFireCore, kWitchFireDark, r);
    });
}

void magic(Canvas& c) { // a sparkling gold star
    std::vector<float> star;
    for (int i = 0; i < 8; ++i) {
        const float a = i * 3.14159f / 4, r = (i % 2) ? 6.0f : 14.0f;
        star.push_back(20 + r * std::cos(a));
        star.push_back(20 + r * std::sin(a));
    }
    std::vector<float> outline;
    for (int i = 0; i < 8; ++i) {
        const float a = i * 3.14159f / 4, r = (i % 2) ? 7.5f : 16.0f;
        outline.push_back(20 + r * std::cos(a));
        outline.push_back(20 + r * std::sin(a));
    }
    c.Poly(outline, rim(rgb(150, 90, 20)));
    c.Poly(star, [](float x, float y) { return mix(kMagicCore, kMagic, std::hypot(x - 18, y - 18) / 9); });
    c.Ellipse(17, 17, 2.5f, 2.5f, rgb(255, 255, 255));
}

void multi_magic(Canvas& c) {
    block_tile(c, kPurple, kPurpleDark, 0.2f);
    c.Ellipse(20, 20, 8, 8, kMagic);
    c.Ellipse(19, 19, 4, 4, kMagicCore);
}

void potion(Canvas& c, Col liquid_col) { // the power-up
    c.Rect(16, 5, 24, 14, kInk);
    c.Ellipse(20, 25, 13, 12, kInk);
    c.Rect(17, 6, 23, 14, rgb(200, 220, 230));
    c.Ellipse(20, 25, 11.5f, 10.5f, rgb(200, 220, 230));
    c.Ellipse(20, 27, 10, 8.5f, shaded(liquid_col, 20, 27, 10));
    c.Rect(15, 3, 25, 6, kWood);
    c.Ellipse(16, 23, 2.5f, 3, rgb(255, 255, 255), 0.8f);
}

void extra_life(Canvas& c) { // a small green pumpkin with a leaf: one more Pumko
    pumpkin(c, 20, 23, 13, 11, rgb(110, 200, 80), true, false);
    c.Ellipse(27, 9, 5, 2.5f, kStem);
}

void fire_power(Canvas& c, int f) { // the witch's fire caught in a lantern, flickering over four frames
    c.Rect(10, 8, 30, 36, kInk);
    c.Rect(11, 9, 29, 35, rgb(60, 40, 30));
    c.Rect(12, 11, 28, 33, rgb(190, 255, 190), 0.3f);
    const float s = 1 + 0.15f * std::sin(f * 1.6f);
    c.Poly({14, 31, 26, 31, 23.0f + f % 2, 31 - 16 * s, 20, 31 - 20 * s, 17.0f - f % 2, 31 - 13 * s}, kWitchFire);
    c.Poly({17, 31, 23, 31, 21, 31 - 10 * s, 19, 31 - 12 * s}, kWitchFireCore);
    c.Rect(8, 5, 32, 9, kStoneDark);
    c.Rect(8, 35, 32, 38, kStoneDark);
}

void cannonball(Canvas& c) { outlined_ellipse(c, 20, 20, 8, 8, rgb(96, 96, 114), 1.5f, rim(rgb(214, 216, 232))); }

void cauldron(Canvas& c, int f) {
    c.Glow(20, 12, 14, kSlime, 0.5f);
    c.Ellipse(20, 26, 17, 13, kInk);
    c.Ellipse(20, 26, 15.5f, 11.5f, shaded(rgb(50, 48, 60), 20, 26, 16));
    c.Rect(4, 12, 36, 17, kInk);
    c.Ellipse(20, 15, 14, 3.5f, rgb(90, 220, 80));
    for (int i = 0; i < 3; ++i) {
        const float bx = 10 + ((i * 7 + f * 5) % 20), by = 13 - ((i + f) % 3) * 3;
        c.Ellipse(bx, by, 2.5f, 2.5f, rgb(160, 255, 120));
    }
    c.Rect(8, 36, 12, 40, kInk);
    c.Rect(28, 36, 32, 40, kInk);
}

// Splashes: a crown of drops that rises and falls apart over five frames.
void splash(Canvas& c, int f, Col col) {
    const float t = f / 4.0f;
    if (f < 4) c.Ellipse(20, 34, 14 + 4 * t, 5, mix(col, kInk, 0.3f));
    for (int i = 0; i < 7; ++i) {
        const float a = 3.14159f * (0.1f + 0.8f * i / 6), r = 6 + 14 * t;
        const float dx = 20 + std::cos(a) * r, dy = 34 - std::sin(a) * (8 + 20 * t * (1 - t) * 2);
        const float s = f == 4 ? 1.5f : 3.0f - t;
        c.Ellipse(dx, dy, s, s * 1.3f, mix(col, rgb(255, 255, 255), 0.3f));
    }
    if (f < 3) c.Poly({14, 34, 26, 34, 20, 34 - 18 * (1 - t)}, col);
}

void sparkle(Canvas& c, Col col) {
    c.Poly({20, 6, 22.5f, 17.5f, 34, 20, 22.5f, 22.5f, 20, 34, 17.5f, 22.5f, 6, 20, 17.5f, 17.5f}, col);
    c.Ellipse(20, 20, 3, 3, rgb(255, 255, 255));
}

void brick_piece(Canvas& c) {
    c.Poly({11, 14, 27, 11, 30, 24, 13, 28}, kInk);
    c.Poly({12.5f, 15, 26, 12.5f, 28.5f, 23, 14, 26.5f}, kBrick);
}

// The five magic items: a wand, an amulet, a crystal ball, a spell book and a crown; `bright`
// is the collected look, the dim one the empty slot.
void magic_item(Canvas& c, int which, bool bright) {
    const float k = bright ? 1.0f : 0.45f;
    auto tone = [&](Col col) { return bright ? col : mix(scale(col, k), rgb(60, 60, 80), 0.4f); };
    // The collected look twinkles. No soft glow: the game draws these frames masked, where a glow's
    // faint edge would turn into a dark disc behind the item.
    if (bright)
        for (int i = 0; i < 4; ++i) {
            const float sx = i % 2 ? 34.5f : 5.5f, sy = i < 2 ? 6 : 33.5f, r = i == 1 || i == 2 ? 4.5f : 3.2f;
            c.Poly({sx, sy - r, sx + r * 0.28f, sy - r * 0.28f, sx + r, sy, sx + r * 0.28f, sy + r * 0.28f, sx, sy + r,
                    sx - r * 0.28f, sy + r * 0.28f, sx - r, sy, sx - r * 0.28f, sy - r * 0.28f},
                   i % 2 ? kCandle : rgb(255, 250, 220));
        }
    switch (which) {
    case 0: // wand
        c.Line(10, 32, 27, 13, 5, kInk);
        c.Line(10, 32, 27, 13, 3, tone(kWood));
        c.Poly({28, 4, 30.5f, 10.5f, 37, 12, 31.5f, 15.5f, 33, 22, 28, 18, 23, 22, 24.5f, 15.5f, 19, 12, 25.5f, 10.5f},
               kInk);
        c.Poly({28, 6, 30, 11.5f, 35, 12.5f, 31, 15.5f, 32, 20, 28, 17, 24, 20, 25, 15.5f, 21, 12.5f, 26, 11.5f},
               tone(rgb(240, 200, 255)));
        break;
    case 1: // amulet
        c.Line(12, 6, 20, 18, 2, tone(kGold));
        c.Line(28, 6, 20, 18, 2, tone(kGold));
        outlined_ellipse(c, 20, 25, 9, 10, tone(rgb(60, 200, 120)));
        c.Ellipse(20, 25, 4, 5, tone(rgb(200, 255, 220)));
        break;
    case 2: // crystal ball
        c.Rect(12, 30, 28, 36, kInk);
        c.Rect(13, 31, 27, 35, tone(kGoldDark));
        outlined_ellipse(c, 20, 19, 11, 11, tone(rgb(120, 160, 255)));
        c.Ellipse(16, 15, 3, 3, tone(rgb(255, 255, 255)));
        break;
    case 3: // spell book
        c.Rect(8, 9, 32, 33, kInk);
        c.Rect(9, 10, 31, 32, tone(rgb(150, 40, 60)));
        c.Rect(9, 29, 31, 32, tone(kBone));
        c.Ellipse(20, 19, 5, 5, tone(kGold));
        break;
    default: // crown
        c.Poly({7, 30, 7, 12, 13, 20, 20, 9, 27, 20, 33, 12, 33, 30}, kInk);
        c.Poly({8.5f, 29, 8.5f, 15, 13, 22, 20, 12, 27, 22, 31.5f, 15, 31.5f, 29}, tone(kGold));
        c.Ellipse(20, 25, 3, 3, tone(kBlood));
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Monsters. Stompable ones are round and soft (blob, beetle, bat); the ones that hurt to touch
// are spiky, armed or burning.
void eyes(Canvas& c, float x, float y, float dir, Col white = rgb(250, 250, 240)) {
    for (float s : {-1.0f, 1.0f}) {
        c.Ellipse(x + s * 4, y, 3, 3.5f, kInk);
        c.Ellipse(x + s * 4, y, 2.2f, 2.7f, white);
        c.Ellipse(x + s * 4 + dir * 1.0f, y + 0.5f, 1.1f, 1.4f, kInk);
    }
}

// Walkers take two steps: in the first (the frame the game collides with) they stand as they
// always have, in the second the body sways down or up as the feet change over.
void blob_walker(Canvas& c, bool right, int step) { // type 0: a green goblin blob
    const float d = right ? 1 : -1;
    const float feet = step ? 3 : -3, dy = step ? 1.6f : 0, squash = step ? 1.0f : 0;
    const Col body = rgb(112, 196, 70), dark = rgb(52, 110, 40), edge = rgb(206, 250, 160);
    for (float fx : {20 - feet, 20 + feet}) {
        c.Ellipse(fx, 36, 5, 3, rim(edge));
        c.Ellipse(fx, 36.4f, 3.6f, 1.8f, dark);
    }
    outlined_ellipse(c, 20, 23 + dy, 14 + squash, 12 - squash, body, 1.5f, rim(edge));
    eyes(c, 20 + d * 3, 20 + dy, d);
    c.Poly({13, 12 + dy, 10, 4 + dy, 17, 11 + dy}, rim(edge, kPurpleDark));
    c.Poly({13.5f, 11.5f + dy, 11.2f, 6.5f + dy, 16, 11 + dy}, dark);
    c.Poly({27, 12 + dy, 30, 4 + dy, 23, 11 + dy}, rim(edge, kPurpleDark));
    c.Poly({26.5f, 11.5f + dy, 28.8f, 6.5f + dy, 24, 11 + dy}, dark);
    const float mx = 20 + d * 3, my = 27.5f + dy; // a grin with a fang
    c.Paint(
        mx - 5, my, mx + 5, my + 4,
        [=](float x, float y) {
            const float dx = (x - mx) / 4.5f, dy2 = (y - my) / 3;
            return dx * dx + dy2 * dy2 <= 1;
        },
        flat(rgb(40, 70, 30)));
    c.Poly({mx + d * 1.2f, my, mx + d * 2.8f, my, mx + d * 2, my + 1.8f}, kBone);
}

void beetle(Canvas& c, bool right, int step, bool shell_only) { // type 1 and its shell: a bone beetle
    const float d = right ? 1 : -1;
    // The empty shell lies on the ground, as low in its frame as the walkers' feet, so it rests
    // on a block at the same height every frame.
    const float y = shell_only ? 4 : step ? -1.2f : 0;
    const Col edge = rgb(238, 226, 190), leg = rgb(200, 180, 140);
    if (!shell_only) {
        for (int leg_i = -1; leg_i <= 1; ++leg_i) {
            const float lx = 20 + leg_i * 8, sw = ((leg_i + step) % 2) ? 2.0f : -2.0f;
            c.Line(lx, 30, lx + sw, 38, 2.5f, rim(leg));
        }
        c.Ellipse(20 + d * 13, 26 + y, 6, 5.5f, rim(edge));
        c.Ellipse(20 + d * 13, 26 + y, 4.8f, 4.3f, rgb(96, 74, 60));
        c.Ellipse(20 + d * 15, 24.5f + y, 1.3f, 1.3f, kBlood);
    }
    c.Ellipse(20, 24 + y, 14, 11, rim(edge));
    c.Ellipse(20, 24 + y, 12.5f, 9.5f, shaded(rgb(214, 204, 176), 20, 24 + y, 13));
    c.Line(20, 15 + y, 20, 33 + y, 1.5f, rgb(90, 70, 60));
    c.Line(12, 20 + y, 16, 28 + y, 1.2f, rgb(150, 134, 110));
    c.Line(28, 20 + y, 24, 28 + y, 1.2f, rgb(150, 134, 110));
    c.Rect(7, 30 + y, 33, 33 + y, rim(rgb(120, 96, 76)));
}

void spiky(Canvas& c, bool right, int step) { // type 2: cannot be stomped
    const float d = right ? 1 : -1;
    const float dy = step ? 1.0f : 0, turn = step ? 0.06f : 0;
    for (int i = 0; i < 9; ++i) {
        const float a = 3.14159f * (0.05f + 0.9f * i / 8) + turn, r = 19;
        const float sx = 20 - std::cos(a) * r, sy = 26 + dy - std::sin(a) * r;
        c.Poly({20 - std::cos(a - 0.25f) * 10, 26 + dy - std::sin(a - 0.25f) * 10, sx, sy,
                20 - std::cos(a + 0.25f) * 10, 26 + dy - std::sin(a + 0.25f) * 10},
               rim(rgb(255, 210, 196)));
        c.Poly({20 - std::cos(a - 0.18f) * 11, 26 + dy - std::sin(a - 0.18f) * 11, 20 - std::cos(a) * (r - 1.5f),
                26 + dy - std::sin(a) * (r - 1.5f), 20 - std::cos(a + 0.18f) * 11, 26 + dy - std::sin(a + 0.18f) * 11},
               rgb(250, 110, 92));
    }
    outlined_ellipse(c, 20, 27 + dy, 12, 10 - dy * 0.5f, rgb(96, 50, 64), 1.5f, rim(rgb(255, 170, 160)));
    const float feet = step ? 3 : -3;
    c.Ellipse(15 + feet, 37, 4, 2.5f, rim(rgb(255, 170, 160)));
    c.Ellipse(25 - feet, 37, 4, 2.5f, rim(rgb(255, 170, 160)));
    eyes(c, 20 + d * 3, 26 + dy, d, rgb(255, 230, 90));
}

void bat(Canvas& c, int f, bool dead) { // type 3
    const float up = f == 0 ? -8 : 6;
    const Col edge = rgb(232, 220, 255);
    for (float s : {-1.0f, 1.0f}) {
        c.Poly({20 + s * 6, 20, 20 + s * 19, 20 + up, 20 + s * 15, 24 + up * 0.3f, 20 + s * 11, 22, 20 + s * 7, 27},
               rim(edge));
        c.Poly({20 + s * 7, 21, 20 + s * 17.5f, 20.5f + up, 20 + s * 14, 23.5f + up * 0.3f, 20 + s * 10.5f, 22.5f,
                20 + s * 7.5f, 25.5f},
               rgb(150, 110, 190));
    }
    outlined_ellipse(c, 20, 22, 7, 8, rgb(120, 86, 150), 1.5f, rim(edge));
    c.Poly({15, 15, 14, 9, 18, 14}, rim(edge));
    c.Poly({25, 15, 26, 9, 22, 14}, rim(edge));
    if (dead) {
        c.Line(15, 18, 19, 22, 1.5f, kInk);
        c.Line(19, 18, 15, 22, 1.5f, kInk);
        c.Line(21, 18, 25, 22, 1.5f, kInk);
        c.Line(25, 18, 21, 22, 1.5f, kInk);
    } else {
        eyes(c, 20, 20, 0, rgb(255, 240, 120));
    }
}

void scorpion(Canvas& c, bool right, int f, bool shooting) { // type 4: shoots along its floor
    const float d = right ? 1 : -1;
    const float dy = (f && !shooting) ? -1.0f : 0, sway = (f && !shooting) ? 1.5f : 0;
    const Col edge = rgb(255, 214, 130), body = rgb(214, 150, 56);
    // Tail curling over its back, the sting pointing ahead (lowered when it shoots).
    const float tip_y = (shooting ? 18 : 9) + dy;
    c.Line(20 - d * 11, 28 + dy, 20 - d * (14 + sway), 16 + dy, 5, rim(edge));
    c.Line(20 - d * (14 + sway), 16 + dy, 20 - d * 6, tip_y, 5, rim(edge));
    c.Line(20 - d * 11, 28 + dy, 20 - d * (14 + sway), 16 + dy, 3, body);
    c.Line(20 - d * (14 + sway), 16 + dy, 20 - d * 6, tip_y, 3, body);
    c.Poly({20 - d * 6, tip_y - 3, 20 - d * 6, tip_y + 3, 20 + d * (shooting ? 2 : -1), tip_y}, kBlood);
    for (int leg = 0; leg < 3; ++leg) {
        const float lx = 14 + leg * 6, sw = ((leg + f) % 2) ? 2.0f : -2.0f;
        c.Line(lx, 30, lx + sw, 38, 2, rim(edge));
    }
    c.Ellipse(20, 30 + dy, 12, 6, rim(edge));
    c.Ellipse(20, 30 + dy, 10.5f, 4.8f, shaded(body, 20, 30 + dy, 11));
    c.Ellipse(20 + d * 15, 28 + dy, 4, 3, rim(edge));
    c.Ellipse(20 + d * 15, 28 + dy, 3, 2, body);
    c.Ellipse(20 + d * 8, 27 + dy, 1.3f, 1.3f, kBlood);
}

void venom(Canvas& c, bool right) {
    const float d = right ? -1 : 1;
    c.Ellipse(20 + d * 6, 20, 7, 2.5f, rgb(120, 220, 90), 0.8f);
    outlined_ellipse(c, 20, 20, 5, 4, kSlime, 1.0f, rim(rgb(210, 255, 170)));
}

void hopper(Canvas& c, int f) { // type 11: a ghost fish that leaps from the water
    const float tail = f ? 4 : -4;
    const Col edge = rgb(220, 252, 255);
    c.Poly({30, 20, 39, 12 + tail, 39, 28 + tail}, rim(edge));
    c.Poly({31, 20, 38, 14 + tail, 38, 26 + tail}, rgb(120, 200, 220));
    outlined_ellipse(c, 18, 20, 13, 9, rgb(140, 220, 230), 1.5f, rim(edge));
    c.Poly({8, 22, 14, 22, 11, 27}, kBone);
    c.Ellipse(10, 17, 3, 3, kInk);
    c.Ellipse(10, 17, 1.6f, 1.6f, kBlood);
}

void imp(Canvas& c, int f, bool throwing) { // type 6: the thrower
    const float step = f ? 2 : -2, dy = (f && !throwing) ? -1.5f : 0;
    const Col edge = rgb(255, 170, 160);
    c.Line(16, 30 + dy, 16 + step, 39, 3, rim(edge));
    c.Line(24, 30 + dy, 24 - step, 39, 3, rim(edge));
    outlined_ellipse(c, 20, 24 + dy, 9, 9, rgb(190, 58, 70), 1.5f, rim(edge));
    outlined_ellipse(c, 20, 12 + dy, 7, 7, rgb(210, 70, 80), 1.5f, rim(edge));
    c.Poly({14, 8 + dy, 12, 1 + dy, 17, 6 + dy}, rim(kBone));
    c.Poly({26, 8 + dy, 28, 1 + dy, 23, 6 + dy}, rim(kBone));
    eyes(c, 18, 12 + dy, -1, rgb(255, 230, 90));
    if (throwing) {
        c.Line(12, 22, 5, 12, 3, rim(edge));
        c.Line(28, 22, 35, 12, 3, rim(edge));
    } else {
        c.Line(12, 22 + dy, 14, 4 + dy, 3, rim(edge));
        c.Line(28, 22 + dy, 26, 4 + dy, 3, rim(edge));
    }
}

void skull_bomb(Canvas& c) { // what the thrower throws
    outlined_ellipse(c, 20, 20, 9, 8, kBone, 1.5f, rim(rgb(255, 250, 230)));
    c.Ellipse(16.5f, 19, 2.5f, 2.5f, kInk);
    c.Ellipse(23.5f, 19, 2.5f, 2.5f, kInk);
    c.Rect(17, 25, 23, 28, kInk);
}

void cannon(Canvas& c) { // faces left
    const Col edge = rgb(200, 202, 220);
    c.Rect(3, 13, 30, 25, rim(edge));
    c.Rect(4, 14, 29, 24, [](float, float y) { return mix(rgb(120, 120, 142), rgb(46, 46, 60), (y - 14) / 10); });
    c.Rect(2, 11, 7, 27, rim(edge));
    c.Rect(3, 12, 6, 26, rgb(96, 96, 112));
    c.Poly({14, 40, 20, 22, 36, 22, 38, 40}, rim(rgb(226, 180, 120)));
    c.Poly({16, 39, 21, 24, 35, 24, 36.5f, 39}, kWood);
    c.Ellipse(27, 33, 5, 5, kInk);
    c.Ellipse(27, 33, 3.5f, 3.5f, kWoodDark);
}

void fire_spirit(Canvas& c, int f) { // type 8 leaper (and the witch's fireball when turned)
    const float w = f ? 2 : -2;
    c.Poly({8, 28, 32, 28, 28 + w, 12, 24, 17, 20 - w, 3, 16, 16, 12 + w, 10}, rim(kWitchFire, kBlood));
    c.Poly({11, 28, 29, 28, 26 + w, 15, 22, 20, 20 - w, 9, 17, 19, 14 + w, 14}, kWitchFireCore);
    outlined_ellipse(c, 20, 29, 10, 8, rgb(70, 200, 110), 1.2f, rim(rgb(190, 255, 180)));
    c.Ellipse(16.5f, 28, 2, 2.5f, kInk);
    c.Ellipse(23.5f, 28, 2, 2.5f, kInk);
    c.Poly({17, 33, 23, 33, 20, 35}, kInk);
}

// The witch in the display's top corners (drawn 1 x 1.4), facing inwards; laughing variants.
void witch_bust(Canvas& c, bool facing_right, bool laughing) {
    const float d = facing_right ? 1 : -1;
    c.Poly({4, 16, 36, 16, 20 - d * 4, 1}, kInk);
    c.Poly({6, 15, 34, 15, 20 - d * 4, 3}, rgb(50, 30, 70));
    c.Rect(2, 15, 38, 18, kInk);
    c.Ellipse(20, 26, 10, 11, kInk);
    c.Ellipse(20, 26, 9, 10, shaded(rgb(130, 190, 90), 20, 26, 10));
    c.Poly({20 + d * 8, 25, 20 + d * 15, 29, 20 + d * 7, 30}, rgb(110, 170, 80));
    c.Ellipse(20 + d * 3, 23, 2, 2, kInk);
    c.Ellipse(20 + d * 3, 23, 0.9f, 0.9f, rgb(255, 220, 60));
    if (laughing) {
        c.Ellipse(20 + d * 3, 32, 5, 3.5f, kInk);
        c.Rect(20 + d * 3 - 3, 30, 20 + d * 3 + 3, 31, kBone);
    } else {
        c.Line(20 + d * 0, 32, 20 + d * 6, 31, 1.2f, kInk);
    }
    c.Poly({8, 30, 12, 40, 4, 40}, rgb(60, 40, 40));
    c.Poly({32, 30, 36, 40, 28, 40}, rgb(60, 40, 40));
}

void cursor(Canvas& c) { // the menu cursor: a little pumpkin pointing right
    c.Poly({26, 13, 38, 20, 26, 27}, kInk);
    c.Poly({27, 15, 36, 20, 27, 25}, kCandle);
    pumpkin(c, 15, 20, 11, 10, kPumpkin, true, true);
}

void small_bat(Canvas& c, bool flip) {
    const float s = flip ? -1 : 1;
    c.Poly({20, 16, 20 + s * 18, 10, 20 + s * 14, 22, 20 + s * 9, 19, 20, 26, 20 - s * 9, 19, 20 - s * 14, 22,
            20 - s * 18, 10},
           rgb(40, 30, 56));
    c.Ellipse(20, 20, 4.5f, 5.5f, rgb(60, 44, 80));
    c.Ellipse(18.5f, 19, 1, 1, kCandle);
    c.Ellipse(21.5f, 19, 1, 1, kCandle);
}

// ---------------------------------------------------------------------------------------------
// Text through FreeType, painted with a colour function and an outline.
struct Font {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font() {
        if (face != nullptr) FT_Done_Face(face);
        if (lib != nullptr) FT_Done_FreeType(lib);
    }
    bool Open(const std::string& path) {
        return FT_Init_FreeType(&lib) == 0 && FT_New_Face(lib, path.c_str(), 0, &face) == 0;
    }
    float Width(const std::string& text, int px) {
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(px));
        float w = 0;
        for (unsigned char ch : text) {
            FT_Load_Char(face, ch, FT_LOAD_DEFAULT);
            w += float(face->glyph->advance.x >> 6);
        }
        return w;
    }
    template <typename Fill>
    void Draw(Canvas& c, const std::string& text, float x, float baseline, int px, Fill colour, float outline) {
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(px));
        for (int pass = 0; pass < 2; ++pass) {
            float pen = x;
            for (unsigned char ch : text) {
                if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0) continue;
                const FT_Bitmap& bm = face->glyph->bitmap;
                const int gx = int(pen) + face->glyph->bitmap_left, gy = int(baseline) - face->glyph->bitmap_top;
                for (int y = 0; y < int(bm.rows); ++y)
                    for (int xx = 0; xx < int(bm.width); ++xx) {
                        const float a = bm.buffer[y * bm.pitch + xx] / 255.0f;
                        if (a <= 0) continue;
                        if (pass == 0) {
                            const int r = int(std::ceil(outline));
                            for (int oy = -r; oy <= r; ++oy)
                                for (int ox2 = -r; ox2 <= r; ++ox2)
                                    if (ox2 * ox2 + oy * oy <= outline * outline)
                                        c.Blend(int(c.ox) + gx + xx + ox2, int(c.oy) + gy + y + oy, kInk, a);
                        } else {
                            c.Blend(int(c.ox) + gx + xx, int(c.oy) + gy + y, colour(float(gx + xx), float(gy + y)), a);
                        }
                    }
                pen += float(face->glyph->advance.x >> 6);
            }
        }
    }
};

// ---------------------------------------------------------------------------------------------
// The pictures

// The title banner: the game's name over a big glowing pumpkin, 275 x 126.
void title_banner(Canvas& c, Font& font) {
    c.Clip(358, 330, 275, 126);
    pumpkin(c, 40, 70, 30, 27, kPumpkin, true, true);
    pumpkin(c, 236, 74, 24, 22, kPumpkinDark, true, true);
    auto orange = [](float, float y) { return mix(kCandle, kPumpkin, (y - 10) / 50); };
    const float w = font.Width("Pumko", 64);
    font.Draw(c, "Pumko", 137 - w / 2, 62, 64, orange, 3);
    const float w2 = font.Width("The Witch of Sahrim", 24);
    font.Draw(
        c, "The Witch of Sahrim", 137 - w2 / 2, 100, 24, [](float, float) { return rgb(190, 150, 240); }, 2);
}

void title_footer(Canvas& c, Font& font) {
    c.Clip(2, 408, 354, 32);
    c.Rect(
        0, 4, 354, 28, [](float x, float) { return mix(rgb(40, 24, 60), rgb(80, 40, 20), x / 354); }, 0.9f);
    c.Rect(0, 4, 354, 6, kGoldDark);
    c.Rect(0, 26, 354, 28, kGoldDark);
    const std::string text = "A Halloween night by the Pumko team";
    const float w = font.Width(text, 18);
    font.Draw(
        c, text, 177 - w / 2, 22, 18, [](float, float) { return rgb(240, 210, 150); }, 1.5f);
}

void sprite_sheet(Canvas& c, Font& font) {
    using F = void (*)(Canvas&);
    auto at = [&](int k, auto&& draw) {
        cell(c, k);
        draw();
    };
    // A monster's frame, drawn twice: the silhouette that the game collides with, then the colours
    // kept inside it.
    auto keep_silhouette = [&](int k, auto&& draw) {
        cell(c, k);
        silhouette_pass = true;
        draw();
        silhouette_pass = false;
        bool inside[40][40];
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                float* p = &c.px[(size_t(c.cy0 + y) * c.w + size_t(c.cx0 + x)) * 3];
                inside[y][x] = std::max({p[0], p[1], p[2]}) >= 5.5f; // what `write` keeps opaque
                p[0] = p[1] = p[2] = 0;
            }
        draw();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                float* p = &c.px[(size_t(c.cy0 + y) * c.w + size_t(c.cx0 + x)) * 3];
                if (!inside[y][x])
                    p[0] = p[1] = p[2] = 0;
                else if (std::max({p[0], p[1], p[2]}) < 5.5f)
                    p[0] = kInk.r, p[1] = kInk.g, p[2] = kInk.b;
            }
    };
    at(1, [&] { bush(c); });
    at(2, [&] { fence(c); });
    at(3, [&] { tombstone(c); });
    at(4, [&] { brick_tile(c); });
    for (int f = 0; f < 3; ++f) at(5 + f, [&] { bonus_tile(c, f); });
    at(8, [&] { used_tile(c); });
    at(9, [&] { earth_fill(c); });
    at(10, [&] { platform_tile(c); });
    at(11, [&] { springboard_overlay(c); });
    at(12, [&] { lift(c, false); });
    at(13, [&] { lift(c, true); });
    at(14, [&] { cable(c); });
    at(15, [&] { window_tile(c); });
    at(16, [&] { dead_tree(c); });
    at(17, [&] { cross(c); });
    at(18, [&] { candle(c); });
    at(19, [&] {
        tombstone(c);
        c.Glow(20, 20, 18, kSlime, 0.3f);
    });
    for (int f = 0; f < 3; ++f) at(20 + f, [&] { torch_flame(c, f); });
    at(23, [&] { wall_fill(c); });
    at(24, [&] { lair_top(c); });
    at(25, [&] { lair_rock(c); });
    // The ground's overlays (see earth_fill).
    at(32, [&] { grass_top(c, false, false); });
    at(33, [&] { side_rim(c, true, false, 6), grass_top(c, true, false); });
    at(34, [&] { side_rim(c, false, true, 6), grass_top(c, false, true); });
    at(35, [&] { side_rim(c, true, true, 6), grass_top(c, true, true); });
    at(47, [&] { side_rim(c, true, false); });
    at(48, [&] { side_rim(c, false, true); });
    at(55, [&] { side_rim(c, true, true); });
    at(56, [&] { underside(c); });
    at(93, [&] { grass_top(c, false, false), underside(c); });
    keep_silhouette(26, [&] { fireball(c, false); });
    keep_silhouette(27, [&] { fireball(c, true); });
    keep_silhouette(28, [&] { magic(c); });
    at(29, [&] { multi_magic(c); });
    at(30, [&] { hero(c); });
    at(36, [&] { glow_frame(c, rgb(255, 170, 60)); });
    keep_silhouette(37, [&] { cannonball(c); });
    for (int f = 0; f < 3; ++f) at(39 + f, [&] { cauldron(c, f); });
    for (int f = 0; f < 5; ++f) {
        at(42 + f, [&] { splash(c, f, rgb(110, 230, 90)); });
        at(113 + f, [&] { splash(c, f, rgb(80, 210, 200)); });
        at(118 + f, [&] { splash(c, f, rgb(240, 70, 120)); });
    }
    at(49, [&] { potion(c, kBlood); });
    at(50, [&] { extra_life(c); });
    for (int f = 0; f < 4; ++f) at(51 + f, [&] { fire_power(c, f); });
    for (int s = 0; s < 2; ++s) {
        keep_silhouette(57 + s, [&] { blob_walker(c, false, s); });
        keep_silhouette(59 + s, [&] { blob_walker(c, true, s); });
        keep_silhouette(61 + s, [&] { beetle(c, false, s, false); });
        keep_silhouette(64 + s, [&] { beetle(c, true, s, false); });
        keep_silhouette(67 + s, [&] { spiky(c, false, s); });
        keep_silhouette(69 + s, [&] { spiky(c, true, s); });
        keep_silhouette(73 + s, [&] { scorpion(c, false, s, false); });
        keep_silhouette(76 + s, [&] { scorpion(c, true, s, false); });
        keep_silhouette(81 + s, [&] { hopper(c, s); });
        keep_silhouette(83 + s, [&] { imp(c, s, false); });
        keep_silhouette(88 + s, [&] { fire_spirit(c, s); });
    }
    keep_silhouette(63, [&] { beetle(c, false, 0, true); });
    keep_silhouette(66, [&] { beetle(c, true, 0, true); });
    keep_silhouette(71, [&] { bat(c, 0, false); });
    keep_silhouette(72, [&] { bat(c, 1, true); });
    keep_silhouette(75, [&] { scorpion(c, false, 0, true); });
    keep_silhouette(78, [&] { scorpion(c, true, 0, true); });
    keep_silhouette(79, [&] { venom(c, false); });
    keep_silhouette(80, [&] { venom(c, true); });
    keep_silhouette(85, [&] { imp(c, 0, true); });
    keep_silhouette(86, [&] { skull_bomb(c); });
    keep_silhouette(87, [&] { cannon(c); });
    at(90, [&] { sparkle(c, kCandle); });
    at(91, [&] { sparkle(c, rgb(255, 120, 60)); });
    at(92, [&] { glow_frame(c, rgb(255, 70, 30)); });
    at(94, [&] { liquid(c, rgb(70, 200, 190), rgb(20, 70, 90), 4); });
    at(95, [&] { liquid(c, kLava, kLavaDeep, 9); });
    at(96, [&] { glow_frame(c, rgb(255, 220, 90)); });
    at(97, [&] { brick_piece(c); });
    at(98, [&] { witch_bust(c, true, false); });
    at(99, [&] { witch_bust(c, false, false); });
    at(111, [&] { witch_bust(c, true, true); });
    at(112, [&] { witch_bust(c, false, true); });
    for (int i = 0; i < 5; ++i) {
        at(100 + 2 * i, [&] { magic_item(c, i, false); });
        at(101 + 2 * i, [&] { magic_item(c, i, true); });
    }
    at(110, [&] { splat(c); });
    at(123, [&] { cursor(c); });
    at(124, [&] { small_bat(c, false); });
    at(125, [&] { pumpkin(c, 20, 21, 12, 11, kPumpkin, true, true); });
    at(126, [&] { small_bat(c, true); });
    // Map-editing markers in frames the game never draws.
    at(31, [&] { c.Rect(4, 4, 36, 36, rgb(255, 0, 255), 0.5f); });
    at(38, [&] { c.Rect(16, 0, 24, 40, rgb(255, 255, 0), 0.5f); });
    (void)sizeof(F);
    c.Unclip();
    title_banner(c, font);
    title_footer(c, font);
    c.Unclip();
}

// Backdrops: moody but calm, so tiles and monsters stand out against them.
void backdrop_fields(Canvas& c) { // areas numbered 1, the title and the ending: a moonlit field
    c.Rect(0, 0, 640, 480, [](float x, float y) {
        const float n = smooth_noise(x / 90, y / 60, 7) * 0.12f;
        return mix(kNight, kNightHigh, y / 480 + n);
    });
    for (int i = 0; i < 140; ++i) {
        const float sx = hash2(i, 1, 5) * 640, sy = hash2(i, 2, 5) * 300, b = 120 + 135 * hash2(i, 3, 5);
        c.Ellipse(sx, sy, 0.8f, 0.8f, rgb(b, b, b * 0.9f));
    }
    c.Glow(480, 110, 150, rgb(150, 150, 200), 0.35f);
    c.Ellipse(480, 110, 52, 52, [](float x, float y) {
        return mix(rgb(250, 245, 215), rgb(200, 195, 170), smooth_noise(x / 9, y / 9, 2) * 0.6f);
    });
    c.Ellipse(462, 96, 9, 7, rgb(210, 205, 180));
    c.Ellipse(497, 125, 12, 9, rgb(215, 210, 185));
    for (int layer = 0; layer < 2; ++layer) { // rolling hills, far then near
        const Col hill = layer ? rgb(24, 22, 46) : rgb(38, 34, 70);
        c.Paint(
            0, 240, 640, 480,
            [=](float x, float y) { return y > 330 - layer * -40 + 40 * std::sin(x / (110 - 30 * layer) + layer * 2); },
            flat(hill));
    }
    for (int t = 0; t < 4; ++t) { // bare trees on the near hill
        const float tx = 60 + t * 170 + 30 * hash2(t, 8), ty = 372;
        c.Line(tx, ty + 40, tx, ty - 40, 7, rgb(20, 16, 34));
        c.Line(tx, ty - 10, tx - 24, ty - 40, 3, rgb(20, 16, 34));
        c.Line(tx, ty - 20, tx + 22, ty - 52, 3, rgb(20, 16, 34));
    }
}

void backdrop_wood(Canvas& c) { // areas numbered 2: the haunted wood and its graveyard
    c.Rect(0, 0, 640, 480, [](float x, float y) {
        return mix(rgb(16, 30, 36), rgb(36, 52, 48), y / 480 + smooth_noise(x / 70, y / 50, 9) * 0.15f);
    });
    c.Glow(120, 70, 90, rgb(170, 200, 170), 0.25f);
    c.Ellipse(120, 70, 26, 26, rgb(200, 220, 190));
    for (int t = 0; t < 9; ++t) { // twisted trunks
        const float tx = 30 + t * 72 + 20 * hash2(t, 2, 3);
        const Col trunk = t % 2 ? rgb(14, 22, 26) : rgb(22, 32, 34);
        c.Paint(
            tx - 14, 0, tx + 14, 480,
            [=](float x, float y) { return std::fabs(x - tx - 6 * std::sin(y / 40 + t)) < 7 + y / 120; }, flat(trunk));
        c.Line(tx, 120 + t * 10, tx + 40 * (t % 2 ? 1 : -1), 60 + t * 8, 4, trunk);
    }
    for (int g = 0; g < 7; ++g) { // distant graves
        const float gx = 40 + g * 95, gy = 400;
        c.Ellipse(gx, gy, 10, 9, rgb(50, 62, 62));
        c.Rect(gx - 10, gy, gx + 10, gy + 20, rgb(50, 62, 62));
    }
    for (int f = 0; f < 3; ++f) // fog bands
        c.Rect(0, 300 + f * 50, 640, 340 + f * 50, rgb(120, 150, 140), 0.08f);
}

void backdrop_lair(Canvas& c) { // areas numbered 3: the witch's lair
    c.Rect(0, 0, 640, 480, [](float x, float y) {
        const float n = smooth_noise(x / 40, y / 40, 13);
        return mix(rgb(44, 16, 30), rgb(18, 8, 16), 0.3f + n * 0.5f + (240 - std::fabs(y - 240)) / 900);
    });
    for (int i = 0; i < 16; ++i) { // stalactites
        const float sx = i * 42 + 20 * hash2(i, 3), len = 40 + 70 * hash2(i, 4);
        c.Poly({sx - 14, 0, sx + 14, 0, sx + 2, len}, rgb(30, 12, 22));
    }
    // The glow of the lava below, crimson as the lava is.
    c.Rect(0, 400, 640, 480, [](float, float y) { return mix(rgb(30, 10, 18), rgb(110, 14, 48), (y - 400) / 80); });
    c.Glow(320, 480, 300, rgb(190, 30, 80), 0.35f);
    for (int ch = 0; ch < 3; ++ch) { // hanging chains
        const float cx = 120 + ch * 200;
        for (int l = 0; l < 8; ++l) c.Ellipse(cx, 10 + l * 16, 4, 7, rgb(40, 30, 40));
    }
    for (int b = 0; b < 6; ++b) { // potion shelves' glints
        c.Glow(60 + b * 105, 260 + 20 * hash2(b, 5), 30, rgb(120, 200, 90), 0.15f);
    }
}

// The ending shows the restored hero and the witch stretched 2 x 2.6. They are drawn at the size
// they are seen, 80 x 104, and reduced into their 40 x 40 frames (frame k of the ending sheet), so
// that the stretch gives back their proportions and the detail drawn for that size.
template <typename Draw> void drawn_at_size(Canvas& c, int k, Draw draw) {
    Canvas big(80, 104);
    draw(big);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            Col sum;
            for (int sy = 0; sy < 8; ++sy)
                for (int sx = 0; sx < 8; ++sx) {
                    const Col p = big.Get(int((x + (sx + 0.5f) / 8) * 2.0f), int((y + (sy + 0.5f) / 8) * 2.6f));
                    sum.r += p.r, sum.g += p.g, sum.b += p.b;
                }
            c.Blend(1 + 41 * k + x, 1 + y, scale(sum, 1.0f / 64), 1);
        }
}

// The hero restored: a child in a blue tunic, holding up the pumpkin lantern it was.
void restored_hero(Canvas& c) {
    const Col skin = rgb(250, 206, 172), hair = rgb(120, 66, 32), tunic = rgb(70, 112, 206), ink = kInk;
    for (float lx : {33.0f, 47.0f}) { // legs and shoes
        c.Rect(lx - 5, 82, lx + 5, 99, ink);
        c.Rect(lx - 3.5f, 82, lx + 3.5f, 98, rgb(60, 48, 70));
        c.Ellipse(lx + (lx < 40 ? -1.5f : 1.5f), 99.5f, 7.5f, 4.2f, ink);
        c.Ellipse(lx + (lx < 40 ? -1.5f : 1.5f), 99.2f, 6, 3, rgb(110, 64, 36));
    }
    c.Line(27, 52, 19, 77, 10, ink); // the arm hanging down
    c.Line(27, 52, 19, 77, 6.5f, tunic);
    c.Ellipse(19, 79, 4.6f, 4.6f, ink);
    c.Ellipse(19, 79, 3.2f, 3.2f, skin);
    c.Poly({24, 45, 56, 45, 63, 88, 17, 88}, ink); // the tunic
    c.Poly({26, 47, 54, 47, 60.5f, 86, 19.5f, 86}, shaded(tunic, 40, 64, 26));
    c.Rect(20, 70, 60, 75, rgb(110, 64, 36)); // its belt
    c.Rect(37, 70, 43, 75, kGold);
    c.Poly({33, 47, 47, 47, 40, 55}, rgb(240, 236, 220)); // collar
    c.Line(53, 52, 64, 60, 10, ink);                      // the arm holding the lantern up
    c.Line(53, 52, 64, 60, 6.5f, tunic);
    c.Ellipse(65, 61, 4.6f, 4.6f, ink);
    c.Ellipse(65, 61, 3.2f, 3.2f, skin);
    c.Line(65, 61, 66, 68, 1.6f, rgb(90, 90, 100)); // the lantern's handle
    pumpkin(c, 66, 77, 10, 8.5f, kPumpkin, true, true);
    c.Ellipse(40, 29, 16.5f, 17.5f, ink); // the head
    c.Ellipse(40, 29, 15, 16, shaded(skin, 40, 29, 16));
    c.Ellipse(24.5f, 30, 3, 4, ink);
    c.Ellipse(24.5f, 30, 2, 3, skin);
    c.Ellipse(55.5f, 30, 3, 4, ink);
    c.Ellipse(55.5f, 30, 2, 3, skin);
    c.Paint(
        22, 9, 58, 26,
        [](float x, float y) { // the hair, with a fringe over the brow
            const float dx = (x - 40) / 17, dy = (y - 24) / 15;
            return dx * dx + dy * dy <= 1 && y < 20 + 3 * std::fabs(std::sin(x * 0.45f));
        },
        shaded(hair, 40, 18, 16));
    for (float ex : {33.5f, 46.5f}) { // eyes
        c.Ellipse(ex, 30.5f, 2.4f, 3.2f, rgb(250, 250, 245));
        c.Ellipse(ex + 0.4f, 31, 1.9f, 2.6f, rgb(40, 60, 120));
        c.Ellipse(ex - 0.3f, 29.8f, 0.8f, 0.9f, rgb(255, 255, 255));
        c.Line(ex - 3, 24.5f, ex + 3, 24, 1.4f, mix(hair, ink, 0.4f));
    }
    c.Ellipse(40, 35.5f, 1.4f, 1.1f, mix(skin, ink, 0.3f)); // nose
    c.Ellipse(30, 37, 3, 2, rgb(250, 150, 140), 0.6f);      // cheeks
    c.Ellipse(50, 37, 3, 2, rgb(250, 150, 140), 0.6f);
    c.Paint(
        34, 38, 46, 44,
        [](float x, float y) { // a smile
            const float dx = (x - 40) / 5, dy = (y - 39) / 3.2f;
            return dx * dx + dy * dy <= 1 && y > 39.6f;
        },
        flat(rgb(150, 50, 50)));
}

// The witch, standing with her broom, at the size the ending shows her.
void witch_full(Canvas& c) {
    const Col robe = rgb(70, 40, 98), robe_dark = rgb(36, 20, 54), skin = rgb(130, 190, 90), ink = kInk;
    c.Line(71, 12, 63, 92, 5.5f, ink); // the broom behind her
    c.Line(71, 12, 63, 92, 3, kWood);
    c.Poly({57, 104, 60, 88, 67, 88, 71, 104}, ink);
    c.Poly({58.5f, 103, 61, 89.5f, 66, 89.5f, 69.5f, 103}, rgb(206, 170, 90));
    c.Rect(59, 88, 68, 92, rgb(120, 70, 40));
    c.Poly({27, 49, 53, 49, 67, 104, 13, 104}, ink); // the robe
    c.Poly({28.5f, 51, 51.5f, 51, 64.5f, 103, 15.5f, 103},
           [=](float x, float y) { return mix(robe, robe_dark, (y - 51) / 70 + std::fabs(x - 40) / 60); });
    for (int i = 0; i < 6; ++i) // its ragged hem
        c.Poly({16.0f + i * 8, 103, 20.0f + i * 8, 97, 24.0f + i * 8, 103}, robe_dark);
    c.Rect(25, 70, 55, 74, rgb(30, 16, 40));
    c.Rect(37, 69, 43, 75, kGold);
    c.Line(49, 56, 62, 64, 10, ink); // the arm that holds the broom
    c.Line(49, 56, 62, 64, 6.5f, robe);
    c.Ellipse(64, 64, 5, 4.5f, ink);
    c.Ellipse(64, 64, 3.6f, 3.2f, skin);
    c.Line(31, 56, 23, 78, 10, ink); // the other, a claw raised at the hero
    c.Line(31, 56, 23, 78, 6.5f, robe);
    c.Ellipse(22, 80, 4.6f, 4.2f, ink);
    c.Ellipse(22, 80, 3.2f, 3, skin);
    for (int i = 0; i < 5; ++i) // straggling grey hair
        c.Line(29 + (i > 2 ? 22 : 0) + (i % 3) * 2, 32, 26 + (i > 2 ? 26 : 0) + (i % 3) * 3, 56 - (i % 3) * 4, 2.2f,
               rgb(150, 150, 166));
    c.Ellipse(40, 41, 12.5f, 14.5f, ink); // the face
    c.Ellipse(40, 41, 11, 13, shaded(skin, 40, 41, 13));
    c.Poly({38, 38, 52, 49, 49, 51, 39, 46}, ink); // the hooked nose
    c.Poly({39, 39.5f, 50, 48.8f, 48.5f, 49.6f, 39.5f, 45}, mix(skin, rgb(255, 255, 220), 0.15f));
    c.Ellipse(47, 45, 1.2f, 1.2f, rgb(80, 120, 50)); // a wart
    for (float ex : {35.0f, 44.5f}) {
        c.Ellipse(ex, 37, 3.2f, 2.6f, ink);
        c.Ellipse(ex, 37, 2.4f, 1.8f, rgb(255, 220, 60));
        c.Rect(ex - 0.5f, 35.4f, ex + 0.5f, 38.6f, ink);
    }
    c.Line(31.5f, 32.5f, 38, 34.5f, 1.6f, ink); // frowning brows
    c.Line(48, 32.5f, 42, 34.5f, 1.6f, ink);
    c.Paint(
        32, 47, 48, 54,
        [](float x, float y) { // a wicked grin, one tooth
            const float dx = (x - 39) / 7, dy = (y - 48) / 5;
            return dx * dx + dy * dy <= 1 && y > 48.5f;
        },
        flat(rgb(60, 20, 30)));
    c.Rect(36, 48.5f, 38, 51, kBone);
    c.Ellipse(40, 28, 31, 5.5f, ink); // the hat: its brim, its bent cone, its band
    c.Ellipse(40, 28, 29.5f, 4.2f, robe);
    c.Poly({23, 27, 57, 27, 51, 12, 62, 2, 45, 6, 40, 8}, ink);
    c.Poly({25, 25.8f, 55, 25.8f, 49.5f, 12.5f, 58.5f, 4, 45.5f, 7.6f, 41, 9.5f},
           [=](float x, float) { return mix(mix(robe, rgb(255, 255, 255), 0.12f), robe_dark, (x - 25) / 34); });
    c.Rect(26, 20, 54, 24.5f, rgb(130, 60, 150));
    c.Rect(37, 19.5f, 43, 25, kGold);
    c.Rect(38.8f, 21, 41.2f, 23.5f, rgb(130, 60, 150));
}

// The ending's six frames on one row: 3 the witch, 0 her vanishing flash, 1 the hero restored
// (a child holding a lantern) and 2 its glow, 4 the toad she becomes and 5 its glow.
void ending_sheet(Canvas& c) {
    auto at = [&](int k, auto&& draw) {
        c.Clip(1 + 41 * k, 1, 40, 40);
        draw();
    };
    at(0, [&] {
        c.Glow(20, 20, 20, rgb(255, 250, 220), 1.0f);
        c.Poly({20, 0, 24, 16, 40, 20, 24, 24, 20, 40, 16, 24, 0, 20, 16, 16}, rgb(255, 255, 230));
    });
    at(1, [&] { drawn_at_size(c, 1, restored_hero); });
    at(2, [&] { glow_frame(c, rgb(255, 230, 140)); });
    at(3, [&] { drawn_at_size(c, 3, witch_full); });
    at(4, [&] {
        outlined_ellipse(c, 20, 28, 14, 10, rgb(100, 170, 70));
        outlined_ellipse(c, 13, 18, 5, 5, rgb(100, 170, 70));
        outlined_ellipse(c, 27, 18, 5, 5, rgb(100, 170, 70));
        c.Ellipse(13, 18, 2, 2, kInk);
        c.Ellipse(27, 18, 2, 2, kInk);
        c.Line(13, 31, 27, 31, 1.5f, kInk);
        c.Poly({14, 10, 26, 10, 24, 4, 20, 7, 16, 4}, kGold);
    });
    at(5, [&] { glow_frame(c, rgb(140, 230, 120)); });
    c.Unclip();
}

// Our logo, shown at start: a lantern-lit name.
void logo(Canvas& c, Font& font) {
    c.Glow(200, 104, 196, 103, rgb(120, 50, 10), 0.6f); // fades out inside the picture
    pumpkin(c, 200, 70, 46, 40, kPumpkin, true, true);
    const std::string name = "PUMKO TEAM";
    const float w = font.Width(name, 40);
    font.Draw(
        c, name, 200 - w / 2, 166, 40, [](float, float y) { return mix(kCandle, kPumpkin, (y - 130) / 40); }, 2.5f);
    const float w2 = font.Width("presents", 20);
    font.Draw(
        c, "presents", 200 - w2 / 2, 192, 20, [](float, float) { return rgb(190, 170, 230); }, 1.5f);
}

bool write(const Canvas& c, const std::string& path) {
    std::vector<uint8_t> rgb8(size_t(c.w) * c.h * 3);
    for (size_t i = 0; i < rgb8.size(); ++i) rgb8[i] = uint8_t(std::clamp(int(std::lround(c.px[i])), 0, 255));
    // The faintest edge pixels become the transparent black rather than an opaque near-black.
    for (size_t i = 0; i < rgb8.size(); i += 3)
        if (std::max({rgb8[i], rgb8[i + 1], rgb8[i + 2]}) < 6) rgb8[i] = rgb8[i + 1] = rgb8[i + 2] = 0;
    if (!WritePNG(path, c.w, c.h, rgb8.data())) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// Which frames a ground cell is drawn with, from which of its neighbours are open, holding nothing
// solid (in an area, the map compiler's choice; here, the contact sheet's): the base tile, and the
// overlay (0 for none) for a cell open above (`up`), to its left, to its right or below.
int ground_tile(bool lair, bool up) { return lair ? (up ? 24 : 25) : 9; }
int ground_overlay(bool lair, bool up, bool left, bool right, bool down) {
    if (up && !lair) return left && right ? 35 : left ? 33 : right ? 34 : down ? 93 : 32;
    return left && right ? 55 : left ? 47 : right ? 48 : down && !up ? 56 : 0;
}

// The contact sheet for review: every frame enlarged twice on a checkerboard (so see-through
// shows), numbered, then each backdrop at half size with a row of tiles and sprites over it.
int contact_sheet(const std::string& out, const std::string& graphx, Font& font) {
    auto load = [&](const std::string& name, TPixmap& pm) {
        std::FILE* f = std::fopen((graphx + "/" + name).c_str(), "rb");
        if (!f) return false;
        std::vector<uint8_t> bytes;
        uint8_t buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
        return DecodePNG(bytes.data(), bytes.size(), pm);
    };
    TPixmap sheet, back[3];
    if (!load("pumkosahrim01.png", sheet) || !load("pumkosahrim02.png", back[0]) ||
        !load("pumkosahrim03.png", back[1]) || !load("pumkosahrim04.png", back[2])) {
        std::fprintf(stderr, "artgen: cannot read the pictures in %s\n", graphx.c_str());
        return 1;
    }
    const int per_row = 13, cellw = 96, cellh = 104, rows = (127 + per_row - 1) / per_row;
    Canvas c(per_row * cellw, rows * cellh + 3 * 250);
    c.Rect(0, 0, float(c.w), float(c.h), rgb(40, 40, 48));
    auto sheet_px = [&](int x, int y) {
        const uint8_t* p = &sheet.pixels[size_t(y) * sheet.pitch + size_t(x) * 3];
        return rgb(p[0], p[1], p[2]);
    };
    for (int k = 0; k < 127; ++k) {
        const int ox = (k % per_row) * cellw + 8, oy = (k / per_row) * cellh + 4;
        const int sx = 1 + 41 * (k % 15), sy = 1 + 41 * (k / 15);
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 80; ++x) {
                Col col = sheet_px(sx + x / 2, sy + y / 2);
                if (col.r == 0 && col.g == 0 && col.b == 0)
                    col = ((x / 8 + y / 8) % 2) ? rgb(70, 70, 80) : rgb(90, 90, 100);
                c.Blend(ox + x, oy + y, col, 1);
            }
        font.Draw(
            c, std::to_string(k), float(ox + 30), float(oy + 96), 14, [](float, float) { return rgb(240, 240, 240); },
            1);
    }
    // Over each backdrop, a stretch of ground as an area would lay it out (tops, fills, edges,
    // corners, a floating ledge, a springboard), with the monsters walking on it.
    const char* scene[6] = {
        "                   ", "          ####     ", "                   ",
        "  B?B            ##", "#######   #^#   ###", "#######   ###~~####",
    };
    const int walkers[][3] = {{57, 0, 3},  {61, 5, 3}, {67, 6, 3},  {71, 8, 1}, {73, 11, 0}, {81, 14, 4}, {83, 15, 2},
                              {87, 17, 2}, {88, 8, 4}, {30, 11, 2}, {28, 9, 2}, {26, 14, 2}, {59, 12, 0}};
    auto blit = [&](int k, int x0, int y0) {
        const int sx = 1 + 41 * (k % 15), sy = 1 + 41 * (k / 15);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const Col col = sheet_px(sx + x, sy + y);
                if (col.r != 0 || col.g != 0 || col.b != 0) c.Blend(x0 + x, y0 + y, col, 1);
            }
    };
    for (int b = 0; b < 3; ++b) {
        const int oy = rows * cellh + b * 250;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const uint8_t* p = &back[b].pixels[size_t(y * 2) * back[b].pitch + size_t(x * 2) * 3];
                c.Blend(8 + x, oy + y, rgb(p[0], p[1], p[2]), 1);
            }
        // The same picture at full size behind the scene, as play shows them.
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 760 && 340 + x < c.w; ++x) {
                const uint8_t* p = &back[b].pixels[size_t(y + 200) * back[b].pitch + size_t((x % 640)) * 3];
                c.Blend(340 + x, oy + y, rgb(p[0], p[1], p[2]), 1);
            }
        const bool lair = b == 2;
        // A neighbour counts as open when nothing solid stands there; beyond the edges is ground.
        auto ground = [&](int col, int row) {
            if (col < 0 || col > 18 || row < 0 || row > 5) return true;
            return std::string("#^B?").find(scene[row][col]) != std::string::npos;
        };
        for (int row = 0; row < 6; ++row)
            for (int col = 0; col < 19; ++col) {
                const char ch = scene[row][col];
                const int x0 = 340 + col * 40, y0 = oy + row * 40;
                if (ch == 'B') blit(4, x0, y0);
                if (ch == '?') blit(5, x0, y0);
                if (ch == '~') blit(lair ? 95 : 94, x0, y0);
                if (ch != '#' && ch != '^') continue;
                const bool up = !ground(col, row - 1), left = !ground(col - 1, row), right = !ground(col + 1, row),
                           down = !ground(col, row + 1);
                const int t = ground_tile(lair, up),
                          overlay = ch == '^' ? 11 : ground_overlay(lair, up, left, right, down);
                blit(t, x0, y0);
                if (overlay) blit(overlay, x0, y0);
            }
        for (const auto& w : walkers) blit(w[0], 340 + w[1] * 40, oy + w[2] * 40);
    }
    return write(c, out) ? 0 : 1;
}

// The program's icon: the hero's face filling a square of `size` pixels, on a transparent ground.
// Drawn twice, over black and over white: how far each pixel follows the ground gives its
// coverage, and the colour over black divided by that coverage its own colour.
void icon_face(Canvas& c, float size) {
    const float rx = size * 0.40f, ry = rx * 0.92f, cx = size * 0.5f, cy = size * 0.55f;
    // The sprite's outline, stem and teeth are a few pixels, right for 40 px only: here they
    // grow with the icon.
    const float line = std::max(1.5f, size * 0.025f), sw = std::max(2.0f, size * 0.07f);
    const float top = cy - ry - size * 0.13f;
    c.Ellipse(cx, cy, rx * 1.05f + line, ry + line, kInk); // the side lobes reach 1.05 rx
    pumpkin(c, cx, cy, rx, ry, kPumpkin, true, true);
    const float edge = std::max(1.2f, line * 0.5f);
    c.Rect(cx - sw - edge, top - edge, cx + sw + edge, cy - ry + sw, kInk);
    c.Rect(cx - sw, top, cx + sw, cy - ry + sw - edge, kStem);
    const float my = cy + ry * 0.28f, mw = rx * 0.65f, tooth = std::max(1.6f, ry * 0.11f);
    c.Rect(cx - mw * 0.35f, my - 1.6f, cx - mw * 0.12f, my + tooth, kPumpkin);
    c.Rect(cx + mw * 0.12f, my - 1.6f, cx + mw * 0.35f, my + tooth, kPumpkin);
}

bool write_icon(int size, const std::string& path) {
    Canvas black(size, size), white(size, size);
    white.Rect(0, 0, float(size), float(size), rgb(255, 255, 255));
    icon_face(black, float(size));
    icon_face(white, float(size));
    std::vector<uint8_t> rgba(size_t(size) * size * 4);
    for (size_t i = 0, n = size_t(size) * size; i < n; ++i) {
        const float* b = &black.px[i * 3];
        const float* w = &white.px[i * 3];
        const float a = std::clamp(1.0f - ((w[0] - b[0]) + (w[1] - b[1]) + (w[2] - b[2])) / (3 * 255.0f), 0.0f, 1.0f);
        for (int k = 0; k < 3; ++k)
            rgba[i * 4 + k] = a > 0 ? uint8_t(std::clamp(int(std::lround(b[k] / a)), 0, 255)) : 0;
        rgba[i * 4 + 3] = uint8_t(std::lround(a * 255));
    }
    if (!WritePNG(path, size, size, rgba.data(), true)) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// The icon in the sizes desktops look for: OUTDIR/pumko_N.png.
int icons(const std::string& out) {
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = write_icon(size, out + "/pumko_" + std::to_string(size) + ".png") && ok;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons") return icons(argv[2]);
    if (argc >= 5 && std::string(argv[1]) == "--contact") {
        Font font;
        if (!font.Open(argv[4])) return 1;
        return contact_sheet(argv[2], argv[3], font);
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: artgen OUTPUT_DIR FONT_FILE | artgen --contact OUT.png GRAPHX_DIR FONT_FILE | "
                             "artgen --icons OUTPUT_DIR\n");
        return 2;
    }
    const std::string out = argv[1];
    Font font;
    if (!font.Open(argv[2])) {
        std::fprintf(stderr, "artgen: cannot open the font %s\n", argv[2]);
        return 1;
    }
    bool ok = true;
    {
        Canvas c(640, 480);
        sprite_sheet(c, font);
        ok = write(c, out + "/pumkosahrim01.png") && ok;
    }
    {
        Canvas c(640, 480);
        backdrop_fields(c);
        ok = write(c, out + "/pumkosahrim02.png") && ok;
    }
    {
        Canvas c(640, 480);
        backdrop_wood(c);
        ok = write(c, out + "/pumkosahrim03.png") && ok;
    }
    {
        Canvas c(640, 480);
        backdrop_lair(c);
        ok = write(c, out + "/pumkosahrim04.png") && ok;
    }
    {
        Canvas c(247, 42);
        ending_sheet(c);
        ok = write(c, out + "/pumko_02.png") && ok;
    }
    {
        Canvas c(400, 210);
        logo(c, font);
        ok = write(c, out + "/vxlogo.png") && ok;
    }
    return ok ? 0 : 1;
}
