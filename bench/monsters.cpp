// The cost of the monsters' work in one play frame: every monster's update (behaviour, drawing on
// the software renderer, projectile) and its collisions (fireball, all 1680 cells, hero), on the
// busiest screen of any area: the 640 px window holding the most monsters. The crowd is put back
// every 30 frames so it stays busy. Prints median, 99th percentile and maximum per frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "game/media.h"
#include "game/game.h"
#include "replay/playthrough.h"

namespace {

using Clock = std::chrono::steady_clock;
double Us(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

struct Busiest {
    int level = 0, area = 0, offset = 0, count = 0;
};

int monsters_in_window(int offset) {
    int n = 0;
    monster_list.ForEach([&](const monster_tag& m) {
        if (m.x >= float(offset) - 20.0f && m.x < float(offset) + 660.0f) ++n;
    });
    return n;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

} // namespace

int main() {
    HeadlessPlatform platform;
    EngineInit(&platform);
    if (!PrepareHeadlessGame()) return 1;
    game.sound = 0;

    Busiest best;
    for (int level = 1; level <= 5; ++level)
        for (int area = 1; area <= 3; ++area) {
            StartArea(level, area, 1);
            for (int offset = 0; offset <= MAP_COLUMNS * 40 - 640; offset += 40) {
                const int n = monsters_in_window(offset);
                if (n > best.count) best = {level, area, offset, n};
            }
        }
    if (best.count == 0) {
        std::printf("monsters bench: no monsters in any area\n");
        return 0;
    }

    // The busiest window scrolled into view, its monsters already entered.
    StartArea(best.level, best.area, 1);
    for (map_tag& c : map_cells) c.x -= float(best.offset);
    monster_list.ForEach([&](monster_tag& m) {
        m.x -= float(best.offset);
        m.sx -= float(best.offset);
        if (m.x < 660.0f) m.entered = 1;
    });
    const TList<monster_tag> crowd = monster_list;
    player_tag& hero = current_player();
    hero.x = 100.0f;
    hero.y = -100.0f; // out of reach: every test runs, none ends the frame's play
    hero.power = 2;

    const int frames = 3000;
    std::vector<double> update_us, collide_us, total_us;
    size_t busy = 0;
    for (int f = 0; f < frames; ++f) {
        if (f % 30 == 0) monster_list = crowd;
        game.state = STATE_PLAY;
        game.invincible = 0;
        Cls();
        ResetCollisionLayers(0);
        busy += monster_list.Count();
        double up = 0.0, co = 0.0;
        const auto t0 = Clock::now();
        monster_list.ForEach([&](monster_tag& m) {
            const auto a = Clock::now();
            m.update(0);
            const auto b = Clock::now();
            m.collisions();
            up += Us(b - a);
            co += Us(Clock::now() - b);
        });
        total_us.push_back(Us(Clock::now() - t0));
        update_us.push_back(up);
        collide_us.push_back(co);
    }

    std::printf("monsters bench: area %d.%d, window from x %d, %d monsters in it (%zu in the area)\n", best.level,
                best.area, best.offset, best.count, crowd.Count());
    std::printf("  %.1f monsters updated per frame on average over %d frames\n", double(busy) / frames, frames);
    std::printf("  per frame        median us   p99 us   max us\n");
    std::printf("  update+draw      %9.1f %8.1f %8.1f\n", percentile(update_us, 0.5), percentile(update_us, 0.99),
                percentile(update_us, 1.0));
    std::printf("  collisions       %9.1f %8.1f %8.1f\n", percentile(collide_us, 0.5), percentile(collide_us, 0.99),
                percentile(collide_us, 1.0));
    std::printf("  all              %9.1f %8.1f %8.1f  (%.2f%% of a 16.7 ms frame at the median)\n",
                percentile(total_us, 0.5), percentile(total_us, 0.99), percentile(total_us, 1.0),
                percentile(total_us, 0.5) / 166.67);
    CloseDisplay();
    EngineShutdown();
    return 0;
}
