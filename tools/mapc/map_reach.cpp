// Breadth-first search over the hero's states (position, vertical speed, jump flag, item taken).
#include "map_reach.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <unordered_set>
#include <utility>
#include <vector>

#include "game/kinds.h"

namespace mapc {

namespace {

struct State {
    int x;   // pixels; always a multiple of 4 away from the start
    int y10; // tenths of a pixel
    int v10; // tenths of a pixel per frame
    int jump;
    int item;
};

uint64_t key(const State& s) {
    return (uint64_t(s.x + 100) << 40) | (uint64_t(s.y10 + 20000) << 22) | (uint64_t(s.v10 + 1000) << 4) |
           (uint64_t(s.jump) << 1) | uint64_t(s.item);
}

constexpr float OVERLAP = 36.0f; // centres closer than this on both axes touch

} // namespace

ReachResult reach(const Grid& g) {
    ReachResult res;
    float sx = -1, sy = 0, cx = -1000, cy = -1000;
    std::vector<std::pair<float, float>> vlifts, hlifts;
    for (int i = 0; i < CELLS; ++i) {
        const float x = float(20 + 40 * (i % COLUMNS)), y = float(20 + 40 * (i / COLUMNS));
        const int t1 = g.tile1[i], t2 = g.tile2[i];
        if (t2 == OBJECT_START && t1 != TILE_BRICK && t1 != TILE_BONUS) {
            sx = x;
            sy = y;
        }
        if (t2 == OBJECT_CAULDRON) {
            cx = x;
            cy = y - 3.0f;
        }
        if (t2 == OBJECT_LIFT_VERTICAL) vlifts.push_back({x, y});
        if (t2 == OBJECT_LIFT_HORIZONTAL) hlifts.push_back({x, y});
    }
    if (sx < 0) return res;
    const bool third = g.area == 3;

    std::unordered_set<uint64_t> seen;
    std::deque<State> queue;
    const State start{int(sx), int(sy * 10), 0, 0, 0};
    queue.push_back(start);
    seen.insert(key(start));
    while (!queue.empty()) {
        const State s = queue.front();
        queue.pop_front();
        for (int dx : {4, 0}) {
            for (int want_jump : {0, 1}) {
                if (want_jump && s.jump) continue;
                // Jumps start just after a landing, at the top of a bounce or while falling: enough to
                // find every path without trying a jump in every frame.
                if (want_jump && !(s.v10 <= -30 || (s.v10 >= 0 && s.v10 % 10 == 0))) continue;
                float x = float(s.x + dx), y = s.y10 / 10.0f, v = s.v10 / 10.0f;
                int jump = s.jump, item = s.item;
                if (want_jump) {
                    jump = 1;
                    v = -7.0f;
                }
                bool dead = false;
                const int c0 = std::max(0, int(x) / 40 - 2), c1 = std::min(COLUMNS - 1, int(x) / 40 + 2);
                for (int r = 0; r < ROWS && !dead; ++r) {
                    for (int c = c0; c <= c1; ++c) {
                        const int i = r * COLUMNS + c, t1 = g.tile1[i], t2 = g.tile2[i];
                        const float ccx = float(20 + 40 * c), ccy = float(20 + 40 * r);
                        auto touches = [&] { return std::fabs(x - ccx) < OVERLAP && std::fabs(y - ccy) < OVERLAP; };
                        if (is_solid_tile(t1) && touches()) {
                            if (x < ccx && ccy - 20 < y && y < ccy + 20) x = ccx - 35;
                            if (x > ccx && ccy - 20 < y && y < ccy + 20) x = ccx + 35;
                        }
                        if (is_solid_tile(t1) && touches()) {
                            if (y < ccy - 18) {
                                v = t2 == OBJECT_SPRINGBOARD ? -10.0f : jump ? -4.0f : -3.0f;
                                jump = 0;
                                y = ccy - 40;
                            } else if (y > ccy + 18 && v <= 0 && ccx - 21 < x && x < ccx + 21) {
                                v = 2.0f;
                            }
                        }
                        if (t2 >= OBJECT_LEVEL_ITEM && t2 <= level_item_object(LEVEL_ITEMS) && touches()) item = 1;
                        if ((t1 == TILE_WATER || t1 == TILE_LAVA) && touches()) dead = true;
                    }
                }
                if (dead) continue;
                for (auto [lx, ly] : vlifts)
                    if (std::fabs(x - lx) < OVERLAP && y > 15 && y < 425 && v > 0) {
                        v = -3.0f;
                        jump = 0;
                    }
                for (auto [lx, ly] : hlifts)
                    if (x > lx - OVERLAP && x < lx + 560 + OVERLAP && std::fabs(y - (ly - 40)) < 6 && v > 0) {
                        y = ly - 40;
                        v = -3.0f;
                        jump = 0;
                    }
                y += v;
                v = std::min(v + 0.2f, 8.0f);
                if (y > 480.0f) continue;
                const State n{int(x), int(std::lround(y * 10)), int(std::lround(v * 10)), jump, item};
                if (!seen.insert(key(n)).second) continue;
                res.furthest_column = std::max(res.furthest_column, std::min(COLUMNS - 1, n.x / 40));
                res.item = res.item || n.item;
                if (std::fabs(x - cx) < 40 && std::fabs(y - cy) < 40 && (!third || n.item)) {
                    res.finished = true;
                    res.states = (long long)seen.size();
                    return res;
                }
                queue.push_back(n);
            }
        }
    }
    res.states = (long long)seen.size();
    return res;
}

} // namespace mapc
