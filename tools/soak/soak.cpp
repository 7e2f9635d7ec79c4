// The soak: runs the real game headless for a given number of frames of random input (arrows,
// jump, fire, pause, F1/F2/F3, menu moves, two-player games), sending each new area's intro to a
// random level and area so late areas and the ending are reached too, and playing the automatic
// player's recordings now and then. Built with the sanitizers (make soak) it must finish without a
// finding.
//
//   soak [FRAMES] [SEED] [RECORDINGS_DIR]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "game/game.h"
#include "flow/main_loop.h"
#include "replay/recording.h"

namespace {
uint32_t rng_state = 1;
uint32_t Next() {
    rng_state ^= rng_state << 13;
    rng_state ^= rng_state >> 17;
    rng_state ^= rng_state << 5;
    return rng_state;
}
bool Chance(uint32_t per_thousand) { return Next() % 1000 < per_thousand; }

PlatformEvent Ev(PlatformEvent::Type type, int code = 0) {
    PlatformEvent ev{};
    ev.type = type;
    ev.code = code;
    return ev;
}
} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 50000;
    rng_state = argc > 2 ? uint32_t(std::strtoul(argv[2], nullptr, 10)) | 1u : 2026u;
    const std::string rec_dir = argc > 3 ? argv[3] : "";

    std::map<std::pair<int, int>, Recording> recordings;
    if (!rec_dir.empty()) {
        for (int l = 1; l <= 5; ++l)
            for (int a = 1; a <= 3; ++a) {
                Recording r;
                std::string error;
                const std::string path = rec_dir + "/" + std::to_string(l) + "-" + std::to_string(a) + ".txt";
                if (std::filesystem::exists(path) && Recording::Load(path, r, error)) recordings[{l, a}] = r;
            }
    }

    HeadlessPlatform platform;
    std::map<int, long> frames_in_state;
    int last_state = -1;
    const Recording* playing = nullptr;
    size_t rec_pos = 0;
    FrameInput held;
    bool closing = false;
    uint32_t pause_keys_until = 0;
    // A watchdog: the game presents frames all the time, so a minute without one means it hangs.
    std::atomic<int> frames_seen{0};
    std::atomic<bool> finished{false};
    std::thread watchdog([&] {
        int last = -1;
        while (!finished) {
            for (int i = 0; i < 600 && !finished; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const int now = frames_seen;
            if (!finished && now == last) {
                std::fprintf(stderr,
                             "soak: no frame presented for a minute after frame %d (state %d): the game hangs\n", now,
                             game.state);
                std::_Exit(3);
            }
            last = now;
        }
    });

    platform.OnFrame([&](int frame) {
        frames_seen = frame;
        frames_in_state[game.state] += 1;
        const bool new_state = game.state != last_state;
        last_state = game.state;
        if (frame >= frames) {
            if (!closing) platform.At(frame, Ev(PlatformEvent::Close));
            closing = true;
            return;
        }
        // A new area: send it somewhere random, and sometimes play its recording.
        if (new_state && game.state == STATE_INTRO) {
            player_tag& p = current_player();
            if (Chance(600)) {
                p.level = 1 + int(Next() % 5);
                p.area = 1 + int(Next() % 3);
            } else if (Chance(50)) { // as if area 5.3 were just finished: the ending
                p.level = 6;
                p.area = 1;
            }
            playing = nullptr;
            auto it = recordings.find({p.level, p.area});
            if (it != recordings.end() && Chance(500)) {
                playing = &it->second;
                rec_pos = 0;
                SeedRandom(playing->seed);
            }
        }
        if (game.state == STATE_PLAY && playing != nullptr && rec_pos < playing->frames.size()) {
            ApplyFrameInput(playing->frames[rec_pos++], held);
            return;
        }
        // Random input.
        if (Chance(30)) platform.KeyPress(frame, 37, 1 + int(Next() % 30));
        if (Chance(60)) platform.KeyPress(frame, 39, 1 + int(Next() % 60));
        if (Chance(40)) platform.KeyPress(frame, 162, 1 + int(Next() % 4));
        if (Chance(20)) platform.KeyPress(frame, 164, 1);
        if (Chance(10)) platform.KeyPress(frame, 38, 1);
        if (Chance(10)) platform.KeyPress(frame, 40, 1);
        if (Chance(3)) platform.KeyPress(frame, 113, 1); // F2
        if (Chance(3)) platform.KeyPress(frame, 114, 1); // F3
        const bool to_title = Chance(1);
        if (to_title) platform.KeyPress(frame, 112, 1); // F1
        if (Chance(5)) platform.MouseClick(frame, 1 + int(Next() % 2), 1);
        if (Chance(5)) {
            PlatformEvent move = Ev(PlatformEvent::MouseMove);
            move.x = int(Next() % 640);
            move.y = int(Next() % 480);
            platform.At(frame, move);
        }
        // Pause, resumed a moment later. Only while playing, where the first press is sure to
        // pause, and never while the last pause's keys are still due: a press the game ignores (or
        // one that lands while Space is still held) would leave the second one pausing for good.
        if (game.state == STATE_PLAY && !to_title && platform.Millis() > pause_keys_until && Chance(2)) {
            platform.At(frame, Ev(PlatformEvent::KeyDown, 32));
            const uint32_t now = platform.Millis();
            platform.AtTime(now + 20, Ev(PlatformEvent::KeyUp, 32));
            platform.AtTime(now + 200, Ev(PlatformEvent::KeyDown, 32));
            platform.AtTime(now + 220, Ev(PlatformEvent::KeyUp, 32));
            pause_keys_until = now + 250;
        }
        if (Chance(1)) { // switching away and back
            platform.At(frame, Ev(PlatformEvent::Suspend));
            platform.AtTime(platform.Millis() + 100, Ev(PlatformEvent::Resume));
        }
    });

    EngineInit(&platform);
    int runs = 0, code = 0;
    // The game may quit by itself (Escape is never pressed, but the menu's last entry quits):
    // start it again until the frames are spent.
    while (platform.FrameCount() < frames && code == 0) {
        code = RunGame();
        ++runs;
    }
    EngineShutdown();
    finished = true;
    watchdog.join();
    std::printf("soak: %d frames in %d runs, exit code %d\n", platform.FrameCount(), runs, code);
    static const char* const names[] = {"none",  "play",  "intro", "game over", "level end",
                                        "death", "title", "quit",  "ending"};
    for (const auto& [state, count] : frames_in_state)
        std::printf("  %-10s %ld frames\n", state >= 0 && state <= 8 ? names[state] : "other", count);
    return code;
}
