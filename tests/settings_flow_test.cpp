// The player's settings around whole runs of the real game (headless): a rebound key jumps where
// the old one no longer does, and F2 and F3 survive a restart; the command line's choices do not.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/mixer.h"
#include "game/media.h"
#include "main/player_settings.h"
#include "support/scenario.h"

namespace fs = std::filesystem;

namespace {

bool InState(int s) { return game.state == s; }

std::string Slurp(const fs::path& p) {
    std::ifstream in(p);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// A settings file of the test's own, through --config, as the program would be started.
class SettingsRun : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pumko-settings-run-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        options.config = (dir / "settings.conf").string();
    }
    void TearDown() override {
        ClearKeyMap();
        fs::remove_all(dir);
    }
    fs::path dir;
    Options options;
};

} // namespace

TEST_F(SettingsRun, ARebindingMakesAnotherKeyJump) {
    std::ofstream(options.config) << "key.jump = Z\n";
    PlayerSettings settings = LoadPlayerSettings(options);
    Scenario sc("rebound");
    sc.choices = UsePlayerSettings(settings);
    // Z does all that left Control did: it skips the logo, picks the menu entry, skips the card.
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press('Z'); });
    sc.When([] { return InState(STATE_TITLE); }, [&] { sc.Press('Z'); });
    sc.When([] { return InState(STATE_INTRO); }, [&] { sc.Press('Z'); });
    int start = 0, jump_after_control = -1, jump_after_z = -1;
    sc.When([] { return InState(STATE_PLAY) && game.jump == 0; },
            [&] {
                start = sc.Frame();
                sc.Press(KEY_LCONTROL);
            });
    sc.When([&] { return sc.Frame() >= start + 3; },
            [&] {
                jump_after_control = game.jump;
                sc.Press('Z');
            });
    sc.When([&] { return sc.Frame() >= start + 6; }, [&] { jump_after_z = game.jump; });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_EQ(jump_after_control, 0);
    EXPECT_EQ(jump_after_z, 1);
}

// Runs the game with the settings file as the program does, switching effects and music on the
// title screen as asked; returns the effects and music the run started with.
std::pair<int, int> PlayOnce(const Options& options, bool press_f2, bool press_f3, bool* music_started = nullptr) {
    PlayerSettings settings = LoadPlayerSettings(options);
    Scenario sc("restart");
    sc.choices = UsePlayerSettings(settings);
    // The music comes from the data folder; with a mixer to play it, the channel says whether it plays.
    fs::copy_file(fs::path(PUMKO_BINARY_DIR) / "data" / "tilesong.ogg", sc.Folder() / "data" / "tilesong.ogg");
    sc.Platform().EnableAudio(true);
    SoundReopen();
    std::pair<int, int> at_start{-1, -1};
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return InState(STATE_TITLE); },
            [&] {
                at_start = {game.sound, game.music};
                if (press_f2) sc.Press(KEY_F2);
                if (press_f3) sc.Press(KEY_F3);
            });
    sc.When([&] { return sc.FramesInState() > 5; },
            [&] {
                if (music_started) *music_started = music_channel.Playing();
            });
    EXPECT_EQ(sc.Run(), 0);
    KeepPlayerSettings(settings);
    SoundReopen();
    return at_start;
}

TEST_F(SettingsRun, EffectsAndMusicSurviveARestart) {
    // The first run writes the defaults; F2 and F3 turn both off, and the file keeps that.
    EXPECT_EQ(PlayOnce(options, true, true), std::make_pair(1, 1));
    std::vector<SettingsProblem> problems;
    Settings saved = ParseSettings(Slurp(options.config), problems);
    EXPECT_FALSE(saved.effects);
    EXPECT_FALSE(saved.music);
    EXPECT_TRUE(problems.empty());

    // The next run starts with both off. The music, cued paused, starts when F3 turns it on.
    bool music_started = false;
    EXPECT_EQ(PlayOnce(options, false, true, &music_started), std::make_pair(0, 0));
    EXPECT_TRUE(music_started);
    saved = ParseSettings(Slurp(options.config), problems);
    EXPECT_FALSE(saved.effects);
    EXPECT_TRUE(saved.music);

    // --nosound and --nomusic hold for their run only: the file keeps the player's choice, even
    // when F2 and F3 are pressed during that run.
    Options once = options;
    once.nosound = true;
    once.nomusic = true;
    EXPECT_EQ(PlayOnce(once, true, true), std::make_pair(0, 0));
    saved = ParseSettings(Slurp(options.config), problems);
    EXPECT_FALSE(saved.effects);
    EXPECT_TRUE(saved.music);
    EXPECT_EQ(PlayOnce(options, false, false), std::make_pair(0, 1));
}

TEST_F(SettingsRun, TheWindowIsKeptOnlyWhenThePlayerSwitchedIt) {
    auto run = [&](const Options& o, bool fullscreen_at_exit) {
        PlayerSettings settings = LoadPlayerSettings(o);
        game.sound = game.soundset = game.music = 1;
        demo_active = 0;
        KeepPlayerSettings(settings, fullscreen_at_exit);
        std::vector<SettingsProblem> problems;
        return ParseSettings(Slurp(options.config), problems).fullscreen;
    };
    Options window = options;
    window.fullscreen = false;
    EXPECT_TRUE(run(window, false));   // --window alone stays out of the file
    EXPECT_FALSE(run(options, false)); // full screen as the file says, then Alt+Enter: kept
    EXPECT_FALSE(run(options, false));
    window.fullscreen = true;
    EXPECT_FALSE(run(window, false)); // --fullscreen, then back to a window: the same as the file
    EXPECT_TRUE(run(options, true));
}

// The attract demo mutes the effects while it plays; quitting from it keeps the player's own
// setting in the file, not the demo's silence.
TEST_F(SettingsRun, QuittingDuringTheAttractDemoKeepsTheEffectsOn) {
    PlayerSettings settings = LoadPlayerSettings(options);
    Scenario sc("demo-quit");
    sc.choices = UsePlayerSettings(settings);
    for (int n = 1; n <= 3; ++n)
        fs::copy_file(fs::path(PUMKO_BINARY_DIR) / "data" / ("demodata.0" + std::to_string(n)),
                      sc.Folder() / "data" / ("demodata.0" + std::to_string(n)));
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return demo_active != 0 && game.sound == 0; }, [&] { sc.Press(KEY_ESCAPE); });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_FALSE(sc.TimedOut());
    KeepPlayerSettings(settings);
    std::vector<SettingsProblem> problems;
    EXPECT_TRUE(ParseSettings(Slurp(options.config), problems).effects);
}
