// The screen pictures: runs the real game headless (software back end, virtual clock) through
// every screen a player meets and saves each as a PNG: the logo, the title and its attract demo,
// an area's title card, play (the automatic player's recording of area 1.1), the level-end tally,
// a death, the game over, play in the witch's lair, and the ending. It plays in a folder of its
// own, so the top score in the player's data folder is never touched.
//
//   screens OUT_DIR
#include <cstdio>
#include <filesystem>
#include <string>

#include "replay/recording.h"
#include "support/scenario.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screens OUT_DIR\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path out = fs::absolute(argv[1]);
    const fs::path demos = fs::absolute("data"); // make screens runs in build/, which holds them
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

    Scenario sc("screens");
    // The attract demo's recordings, when the working folder has them.
    for (int n = 1; n <= 3; ++n) {
        const std::string name = "demodata.0" + std::to_string(n);
        if (fs::exists(demos / name)) fs::copy_file(demos / name, sc.Folder() / "data" / name, ec);
    }
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
    auto in_for = [&](int state, int frames) { return game.state == state && sc.FramesInState() >= frames; };

    // The recording plays while `replaying` is set, from the first play frame to the level end.
    bool replaying = false;
    size_t applied = 0;
    FrameInput held;
    sc.EveryFrame([&] {
        if (replaying && game.state == STATE_PLAY) {
            if (applied < rec.frames.size()) ApplyFrameInput(rec.frames[applied++], held);
        } else if (replaying && game.state == STATE_LEVELEND) {
            replaying = false;
        }
    });

    sc.When([&] { return in_for(0, 20); },
            [&] {
                shot("01-logo");
                sc.Press(KEY_LCONTROL);
            });
    sc.When([&] { return in_for(STATE_TITLE, 150); }, [&] { shot("02-title"); });
    // Left alone, the title plays its attract demo (when the recordings are there).
    sc.When([&] { return demo_active != 0 || in_for(STATE_TITLE, 260); }, [] {});
    sc.When([&] { return demo_active == 0 || in_for(STATE_TITLE, 330); },
            [&] {
                if (demo_active == 0) return;
                shot("02-title-demo");
                sc.Press(KEY_LCONTROL); // ends the demo
            });
    sc.When([] { return demo_active == 0; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return game.state == STATE_INTRO; },
            [&] {
                current_player().level = rec.level;
                current_player().area = rec.area;
                SeedRandom(rec.seed);
                replaying = true;
            });
    sc.When([&] { return in_for(STATE_INTRO, 60); }, [&] { shot("03-intro"); });
    sc.When([&] { return game.state == STATE_PLAY && applied >= 420; }, [&] { shot("04-play"); });
    sc.When([&] { return in_for(STATE_LEVELEND, 150); }, [&] { shot("05-level-end"); });
    sc.When([&] { return in_for(STATE_PLAY, 90); },
            [] { // caught by a monster, as its collision reports it
                game.pumkdeath = DEATH_MONSTER;
                game.state = STATE_DEATH;
            });
    sc.When([&] { return in_for(STATE_DEATH, 25); }, [&] { shot("06-death"); });
    sc.When([&] { return in_for(STATE_PLAY, 30); },
            [] { // the last life, lost by a fall
                current_player().lives = 1;
                current_player().y = 490.0f;
                current_player().ystp = 8.0f;
            });
    sc.When([&] { return in_for(STATE_GAMEOVER, 150); }, [&] { shot("07-game-over"); });
    sc.When([] { return game.state == STATE_TITLE; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return game.state == STATE_INTRO; },
            [] {
                current_player().level = 5;
                current_player().area = 3;
            });
    sc.When([&] { return in_for(STATE_PLAY, 200); },
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
            });
    sc.When([&] { return in_for(STATE_ENDING, 150); }, [&] { shot("09-ending-rising"); });
    sc.When([&] { return in_for(STATE_ENDING, 450); }, [&] { shot("10-ending-witch-vanishing"); });
    sc.When([&] { return in_for(STATE_ENDING, 800); }, [&] { shot("11-ending-payout"); });
    sc.When([] { return TextWasDrawn("** Press JUMP to continue. **"); },
            [&] {
                shot("12-ending-the-end");
                sc.Press(KEY_LCONTROL);
            });
    sc.When([] { return game.state == STATE_TITLE; }, [] {});

    const int code = sc.Run(30000);
    if (!sc.StepsDone()) {
        std::fprintf(stderr, "screens: the game never reached every screen (state %d at frame %d)\n", game.state,
                     sc.Frame());
        return 1;
    }
    std::printf("screens: %d pictures in %s\n", saved, out.c_str());
    return code == 0 && failed == 0 ? 0 : 1;
}
