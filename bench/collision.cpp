// The cost of one play frame's collision work: the hero against every map cell (the pass the
// play state makes each frame), and single ImagesOverlap calls, rejected and rasterised.
// Uses area 1.1 when its map is embedded, else a synthetic dense grid. Prints its figures.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/platform/headless/headless_platform.h"
#include "flow/media.h"
#include "main/game.h"

namespace {

using Clock = std::chrono::steady_clock;

double us_since(Clock::time_point t0) {
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

// 127 frames of 40 x 40: a round hero (30), round magic (28), blank scenery, solid squares.
TImage* make_sheet() {
    TImage* sheet = CreateImage(40, 40, 127, 0);
    MidHandleImage(sheet);
    for (int f = 0; f < 127; ++f) {
        TPixmap pm = TPixmap::Make(40, 40, TPixmap::RGBA32);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                float dx = x + 0.5f - 20.0f, dy = y + 0.5f - 20.0f;
                bool solid = !(f == 0 || (f >= 1 && f <= 3) || (f >= 15 && f <= 23));
                if (f == 30) solid = dx * dx + dy * dy <= 400.0f;
                if (f == 28) solid = dx * dx + dy * dy <= 144.0f;
                pm.pixels[size_t(y) * pm.pitch + size_t(x) * 4 + 3] = solid ? 255 : 0;
                pm.pixels[size_t(y) * pm.pitch + size_t(x) * 4 + 0] = 200;
            }
        sheet->SetPixmap(f, std::move(pm));
    }
    return sheet;
}

// Every other row ground, bricks, bonus blocks and magic: far denser than any real area.
void synthetic_grid() {
    const int tiles[] = {9, 4, 5, 0, 24, 8, 0, 10};
    for (int i = 0; i < MAP_CELLS; ++i) {
        map_tag& c = map_cells[i];
        c = map_tag{};
        int col = i % MAP_COLUMNS, row = i / MAP_COLUMNS;
        c.x = float(20 + 40 * col);
        c.y = float(20 + 40 * row);
        c.multitmr = 1;
        c.tile1 = (row % 2 == 1) ? tiles[(col + row) % 8] : 0;
        c.tile2 = (row % 2 == 0 && col % 3 == 0) ? 28 : 0;
    }
}

} // namespace

int main() {
    HeadlessPlatform platform;
    EngineInit(&platform);
    OpenDisplay(640, 480, 32, 60, 2);
    sprite_sheet = make_sheet();
    SeedRandom(1);
    game.curplayer = 0;
    player_tag::Create();

    const char* source = "area 1.1";
    map_tag::Load(1, 1);
    int filled = 0;
    for (const map_tag& c : map_cells) filled += c.tile1 != 0;
    if (filled == 0) {
        synthetic_grid();
        source = "synthetic dense grid";
    } else {
        map_tag::initialize();
    }
    const std::vector<map_tag> saved(map_cells, map_cells + MAP_CELLS);

    // Hero positions spread over the screen: the scroll keeps the hero left of x 320.
    std::vector<std::pair<float, float>> spots;
    for (int y = 30; y < 470; y += 17)
        for (int x = 20; x <= 320; x += 23) spots.emplace_back(float(x), float(y));

    player_tag& hero = current_player();
    const int frames = 2000;
    long overlaps = 0;
    double restore_us = 0.0;
    auto t0 = Clock::now();
    for (int f = 0; f < frames; ++f) {
        auto tr = Clock::now();
        std::copy(saved.begin(), saved.end(), map_cells);
        restore_us += us_since(tr);
        auto [x, y] = spots[size_t(f) % spots.size()];
        hero.x = x;
        hero.y = y;
        hero.ystp = (f % 2) ? -3.0f : 3.0f;
        game.jump = f % 3 == 0;
        game.state = STATE_PLAY;
        for (int i = 0; i < MAP_CELLS; ++i) hero.collisions(i);
        ResetCollisionLayers(0);
    }
    double pass_us = (us_since(t0) - restore_us) / frames;

    // Single tests: boxes apart (rejected by the box test) and fully overlapping (rasterised).
    const int calls = 200000;
    t0 = Clock::now();
    for (int i = 0; i < calls; ++i)
        overlaps += ImagesOverlap(sprite_sheet, 100, 100, 30, sprite_sheet, 100 + 41 + (i & 7), 100, 4);
    double reject_ns = us_since(t0) * 1000.0 / calls;
    t0 = Clock::now();
    for (int i = 0; i < calls; ++i)
        overlaps += ImagesOverlap(sprite_sheet, 100, 100, 30, sprite_sheet, 100 + (i & 7), 100 + 30, 28);
    double miss_ns = us_since(t0) * 1000.0 / calls; // boxes overlap, shapes do not
    t0 = Clock::now();
    for (int i = 0; i < calls; ++i)
        overlaps += ImagesOverlap(sprite_sheet, 100, 100, 4, sprite_sheet, 100 + (i & 7), 100 + 39, 4);
    double edge_ns = us_since(t0) * 1000.0 / calls; // one shared row
    t0 = Clock::now();
    for (int i = 0; i < calls; ++i)
        overlaps += ImagesOverlap(sprite_sheet, 100, 100, 28, sprite_sheet, 100 + 28, 100 + (i & 7), 28);
    double near_ns = us_since(t0) * 1000.0 / calls; // round shapes, boxes overlap, shapes apart

    std::printf("collision bench (%s)\n", source);
    std::printf("  hero against all %d cells, one play frame: %.1f us (%.2f%% of a 16.7 ms frame)\n", MAP_CELLS,
                pass_us, pass_us / 166.67);
    std::printf("  ImagesOverlap, boxes apart:               %.0f ns\n", reject_ns);
    std::printf("  ImagesOverlap, boxes overlap, no contact: %.0f ns\n", miss_ns);
    std::printf("  ImagesOverlap, contact on one row:        %.0f ns\n", edge_ns);
    std::printf("  ImagesOverlap, round shapes 28 px apart:  %.0f ns\n", near_ns);
    std::printf("  (%ld overlaps counted)\n", overlaps);
    CloseDisplay();
    EngineShutdown();
    return 0;
}
