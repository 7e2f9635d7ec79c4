// The screen pictures: runs the real game headless (software back end, virtual clock) through
// every screen a player meets and saves each as a PNG: the logo, the title and its attract demo,
// an area's title card, play (the automatic player's recording of area 1.1), the level-end tally,
// a death, the game over, play in the witch's lair, and the ending. It plays in a folder of its
// own, so the top score in the player's data folder is never touched.
//
//   screens OUT_DIR
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "main/game.h"
#include "main/recording.h"

namespace {
enum { KEY_ESCAPE = 27, KEY_LCONTROL = 162 };

struct Step {
    std::function<bool()> when;
    std::function<void()> act;
};

bool In(int state) { return game.state == state; }
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screens OUT_DIR\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path out = fs::absolute(argv[1]);
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec) {
        std::fprintf(stderr, "screens: cannot make %s: %s\n", out.c_str(), ec.message().c_str());
        return 1;
    }
    Recording rec;
    std::string error;
    const std::string rec_path = std::string(PUMKO_SOURCE_DIR) + "/assets/recordings/1-1.txt";
    if (!Recording::Load(rec_path, rec, error)) {
        std::fprintf(stderr, "screens: %s: %s\n", rec_path.c_str(), error.c_str());
        return 1;
    }
    const fs::path work = fs::temp_directory_path() / ("pumko-screens-" + std::to_string(::getpid()));
    fs::create_directories(work / "data");
    const fs::path old_cwd = fs::current_path();
    // The attract demo's recordings, when the working folder has them (make screens runs in build/).
    for (int n = 1; n <= 3; ++n) {
        const fs::path demo = fs::path("data") / ("demodata.0" + std::to_string(n));
        if (fs::exists(demo)) fs::copy_file(demo, work / demo, fs::copy_options::overwrite_existing, ec);
    }
    fs::current_path(work);

    HeadlessPlatform platform;
    int saved = 0, failed = 0;
    auto shot = [&](const char* name) {
        const std::string path = (out / (std::string(name) + ".png")).string();
        if (SaveBackBufferPNG(path)) {
            std::printf("%s\n", path.c_str());
            ++saved;
        } else {
            std::fprintf(stderr, "screens: cannot write %s\n", path.c_str());
            ++failed;
        }
    };
    auto press = [&](int code) { platform.KeyPress(platform.FrameCount(), code, 1); };
    // How long the game has been in its current state.
    int state_seen = -1, entered = 0;
    auto in_for = [&](int state, int frames) {
        return game.state == state && platform.FrameCount() - entered >= frames;
    };

    // Replaying the recording while `replaying` is set.
    bool replaying = false;
    size_t applied = 0;
    FrameInput held;

    static bool jump_prompt = false;
    text_observer = [](const std::string& text, int, int) {
        if (text == "** Press JUMP to continue. **") jump_prompt = true;
    };

    std::vector<Step> steps = {
        {[&] { return in_for(0, 20); },
         [&] {
             shot("01-logo");
             press(KEY_LCONTROL);
         }},
        {[&] { return in_for(STATE_TITLE, 150); }, [&] { shot("02-title"); }},
        // Left alone, the title plays its attract demo (when the recordings are there).
        {[&] { return demo_active != 0 || in_for(STATE_TITLE, 260); }, [&] {}},
        {[&] { return demo_active == 0 || in_for(STATE_TITLE, 330); },
         [&] {
             if (demo_active == 0) return;
             shot("02-title-demo");
             press(KEY_LCONTROL); // ends the demo
         }},
        {[&] { return demo_active == 0; }, [&] { press(KEY_LCONTROL); }},
        {[&] { return In(STATE_INTRO); },
         [&] {
             current_player().level = rec.level;
             current_player().area = rec.area;
             SeedRandom(rec.seed);
             replaying = true;
         }},
        {[&] { return in_for(STATE_INTRO, 60); }, [&] { shot("03-intro"); }},
        {[&] { return In(STATE_PLAY) && applied >= 420; }, [&] { shot("04-play"); }},
        {[&] { return in_for(STATE_LEVELEND, 150); }, [&] { shot("05-level-end"); }},
        {[&] { return in_for(STATE_PLAY, 90); },
         [&] { // caught by a monster, as its collision reports it
             game.pumkdeath = 1;
             game.state = STATE_DEATH;
         }},
        {[&] { return in_for(STATE_DEATH, 25); }, [&] { shot("06-death"); }},
        {[&] { return in_for(STATE_PLAY, 30); },
         [&] { // the last life, lost by a fall
             current_player().lives = 1;
             current_player().y = 490.0f;
             current_player().ystp = 8.0f;
         }},
        {[&] { return in_for(STATE_GAMEOVER, 150); }, [&] { shot("07-game-over"); }},
        {[&] { return In(STATE_TITLE); }, [&] { press(KEY_LCONTROL); }},
        {[&] { return In(STATE_INTRO); },
         [&] {
             current_player().level = 5;
             current_player().area = 3;
         }},
        {[&] { return in_for(STATE_PLAY, 200); },
         [&] {
             shot("08-lair");
             // Straight into the cauldron with the level's item: the ending follows.
             game.item = 1;
             current_player().item[0] = 1;
             map_tag::reset();
             game.cauldx = 300;
             game.cauldy = 400;
             current_player().x = 300.0f;
             current_player().y = 400.0f;
         }},
        {[&] { return in_for(STATE_ENDING, 150); }, [&] { shot("09-ending-rising"); }},
        {[&] { return in_for(STATE_ENDING, 450); }, [&] { shot("10-ending-witch-vanishing"); }},
        {[&] { return in_for(STATE_ENDING, 800); }, [&] { shot("11-ending-payout"); }},
        {[&] { return jump_prompt; },
         [&] {
             shot("12-ending-the-end");
             press(KEY_LCONTROL);
         }},
        {[&] { return In(STATE_TITLE); }, [&] {}},
    };
    size_t next = 0;
    bool closing = false;
    constexpr int kFrameLimit = 30000;
    platform.OnFrame([&](int frame) {
        if (replaying && In(STATE_PLAY)) {
            if (applied < rec.frames.size()) ApplyFrameInput(rec.frames[applied++], held);
        } else if (replaying && In(STATE_LEVELEND)) {
            replaying = false;
        }
        if (game.state != state_seen) {
            state_seen = game.state;
            entered = frame;
        }
        if (next < steps.size() && steps[next].when()) steps[next++].act();
        if ((next >= steps.size() || frame >= kFrameLimit) && !closing) {
            closing = true;
            PlatformEvent ev{};
            ev.type = PlatformEvent::Close;
            platform.At(frame, ev);
        }
    });
    EngineInit(&platform);
    const int code = RunGame();
    EngineShutdown();
    fs::current_path(old_cwd);
    fs::remove_all(work, ec);
    if (next < steps.size()) {
        std::fprintf(stderr, "screens: stopped at step %zu of %zu (state %d)\n", next + 1, steps.size(), game.state);
        return 1;
    }
    std::printf("screens: %d pictures in %s\n", saved, out.c_str());
    return code == 0 && failed == 0 ? 0 : 1;
}
