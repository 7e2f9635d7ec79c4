// The cost of the game: load_media at start-up, and one play frame (game logic plus drawing on the
// software renderer) over every area's recorded playthrough, as median, 99th percentile and
// maximum per area, against the 16.7 ms budget of a 60 Hz frame. Wall-clock times count the time
// the machine gave to others; the thread's own CPU time per frame is printed beside them.
//
//   bench_frame_cost [RECORDINGS_DIR]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "game/game.h"
#include "replay/playthrough.h"
#include "replay/recording.h"

namespace {
using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6;
}
double At(const std::vector<double>& sorted, int percent) {
    return sorted[std::min(sorted.size() - 1, sorted.size() * size_t(percent) / 100)];
}
} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : std::string(PUMKO_SOURCE_DIR) + "/assets/recordings";
    HeadlessPlatform platform;
    EngineInit(&platform);
    const auto t0 = Clock::now();
    if (!PrepareHeadlessGame()) return 1;
    std::printf("load_media and start-up: %.1f ms\n", Ms(Clock::now() - t0));
    std::printf("play frame cost (logic + software drawing), budget 16.7 ms:\n");
    std::printf("  area  frames  median ms  p99 ms  max ms   CPU: median ms  p99 ms  max ms\n");
    double worst = 0, worst_cpu = 0;
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
            std::vector<double> times, cpu;
            times.reserve(rec.frames.size());
            cpu.reserve(rec.frames.size());
            for (const FrameInput& in : rec.frames) {
                const auto s = Clock::now();
                const double c = ThreadCpuMs();
                const int st = PlayOneFrame(in, held);
                cpu.push_back(ThreadCpuMs() - c);
                times.push_back(Ms(Clock::now() - s));
                if (st != STATE_PLAY) break;
            }
            std::sort(times.begin(), times.end());
            std::sort(cpu.begin(), cpu.end());
            worst = std::max(worst, times.back());
            worst_cpu = std::max(worst_cpu, cpu.back());
            std::printf("  %d.%d  %6zu  %9.3f  %6.3f  %6.3f        %9.3f  %6.3f  %6.3f\n", level, area, times.size(),
                        At(times, 50), At(times, 99), times.back(), At(cpu, 50), At(cpu, 99), cpu.back());
        }
    }
    std::printf("worst frame: %.3f ms (%.0f%% of the budget); by CPU time %.3f ms\n", worst, worst / 16.7 * 100.0,
                worst_cpu);
    EngineShutdown();
    return 0;
}
