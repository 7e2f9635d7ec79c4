// The cost of the game: load_media at start-up, and one play frame (game logic plus drawing on the
// software renderer) over every area's recorded playthrough, as median, 99th percentile and
// maximum per area, against the 16.7 ms budget of a 60 Hz frame.
//
//   bench_frame_cost [RECORDINGS_DIR]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "game/game.h"
#include "main/playthrough.h"
#include "main/recording.h"

namespace {
using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : std::string(PUMKO_SOURCE_DIR) + "/assets/recordings";
    HeadlessPlatform platform;
    EngineInit(&platform);
    const auto t0 = Clock::now();
    if (!PrepareHeadlessGame()) return 1;
    std::printf("load_media and start-up: %.1f ms\n", Ms(Clock::now() - t0));
    std::printf("play frame cost (logic + software drawing), budget 16.7 ms:\n");
    std::printf("  area  frames  median ms  p99 ms  max ms\n");
    double worst = 0;
    for (int level = 1; level <= 5; ++level) {
        for (int area = 1; area <= 3; ++area) {
            Recording rec;
            std::string error;
            if (!Recording::Load(dir + "/" + std::to_string(level) + "-" + std::to_string(area) + ".txt", rec, error)) {
                std::printf("  %d.%d   no recording (%s)\n", level, area, error.c_str());
                continue;
            }
            StartArea(level, area, rec.seed);
            FrameInput held;
            std::vector<double> times;
            times.reserve(rec.frames.size());
            for (const FrameInput& in : rec.frames) {
                const auto s = Clock::now();
                const int st = PlayOneFrame(in, held);
                times.push_back(Ms(Clock::now() - s));
                if (st != STATE_PLAY) break;
            }
            std::sort(times.begin(), times.end());
            const double med = times[times.size() / 2];
            const double p99 = times[std::min(times.size() - 1, times.size() * 99 / 100)];
            worst = std::max(worst, times.back());
            std::printf("  %d.%d  %6zu  %9.3f  %6.3f  %6.3f\n", level, area, times.size(), med, p99, times.back());
        }
    }
    std::printf("worst frame: %.3f ms (%.0f%% of the budget)\n", worst, worst / 16.7 * 100.0);
    EngineShutdown();
    return 0;
}
