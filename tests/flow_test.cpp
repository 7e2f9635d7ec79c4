// Whole-game scenarios: the real main loop on the headless platform, driven by scripted input
// and by changes to the game state made between frames.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>

#include "flow_fixture.h"

using namespace flow_test;

TEST(GameFlow, NewGameGoesFromTitleThroughTheTitleCardToPlay) {
    Scenario sc("newgame");
    StartGame(sc);
    bool card_ok = false;
    sc.When([] { return InState(STATE_INTRO) && TextWasDrawn("** Level: 1-1 **"); },
            [&] { card_ok = TextWasDrawn("** Player: 1 **"); });
    int lives = 0, level = 0, area = 0;
    sc.When([] { return InState(STATE_PLAY); },
            [&] {
                lives = hero().lives;
                level = hero().level;
                area = hero().area;
            });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_TRUE(card_ok);
    EXPECT_EQ(lives, 3);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(area, 1);
    std::vector<int> expected = {STATE_TITLE, STATE_INTRO, STATE_PLAY};
    std::vector<int> seen;
    for (int s : sc.states_seen)
        if (s != 0) seen.push_back(s);
    EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 3), expected);
}

class DeathKinds : public ::testing::TestWithParam<int> {};

TEST_P(DeathKinds, EachDeathReturnsToTheIntroWithALifeAndTheLevelItemLost) {
    const int kind = GetParam();
    Scenario sc("death" + std::to_string(kind));
    StartGame(sc);
    InPlay(sc, [kind] {
        hero().power = 2;
        hero().magic = 42;
        hero().score = 1234;
        hero().item[4] = 1; // level 1's item
        hero().item[3] = 1; // level 2's item stays
        if (kind == 0) {
            Fall();
        } else { // a monster's touch or a liquid, as their collisions report it
            game.pumkdeath = kind;
            game.state = STATE_DEATH;
        }
    });
    player_tag after{};
    sc.When([] { return InState(STATE_INTRO); }, [&] { after = hero(); });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_EQ(after.lives, 2);
    EXPECT_EQ(after.magic, 0);
    EXPECT_EQ(after.power, 0);
    EXPECT_EQ(after.score, 1234);
    EXPECT_EQ(after.item[4], 0);
    EXPECT_EQ(after.item[3], 1);
    EXPECT_EQ(game.wlaugh, 0);
}
INSTANTIATE_TEST_SUITE_P(GameFlow, DeathKinds, ::testing::Values(0, 1, 2));

// A hero that falls into liquid while a monster touches it dies by the liquid, with its splash: the
// monster, later in the same frame, does not turn the death into another.
TEST(GameFlow, ADrowningIsNotTurnedIntoAnotherDeathInTheSameFrame) {
    Scenario sc("drowning");
    StartGame(sc);
    InPlay(sc, [] {
        for (map_tag& c : map_cells)
            if (std::abs(c.x - hero().x) < 20.0f && std::abs(c.y - hero().y) < 20.0f) c.tile1 = TILE_WATER;
        monster_tag::Create(hero().x, hero().y, -1.0f, 0.0f, 1.0f, 1.0f, 2);
        monster_list.At(monster_list.Count() - 1)->entered = 1;
    });
    int kind = -1;
    bool splash = false;
    sc.When([] { return InState(STATE_DEATH); },
            [&] {
                kind = game.pumkdeath;
                specialfx_list.ForEach([&](specialfx_tag& fx) { splash = splash || fx.typ == 3; });
            });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_EQ(kind, 2);
    EXPECT_TRUE(splash);
}

TEST(GameFlow, LastLifeLeadsToGameOverAndBackToTheTitle) {
    Scenario sc("gameover");
    StartGame(sc);
    InPlay(sc, [] {
        hero().lives = 1;
        Fall();
    });
    bool over_text = false;
    sc.When([] { return InState(STATE_GAMEOVER) && TextWasDrawn("** Game Over **"); }, [&] { over_text = true; });
    sc.When([] { return InState(STATE_TITLE); }, [] {});
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_TRUE(over_text);
    EXPECT_EQ(game.curplayer, 0);
    EXPECT_EQ(player_slot[0].lives, 0);
}

TEST(GameFlow, TwoPlayersTakeTurnsAfterDeathsButNeverToAPlayerWithoutLives) {
    Scenario sc("twoplayers");
    StartGame(sc, 2);
    std::vector<int> turns;
    int players_after_second_out = -1;
    // Player 1 dies: the turn passes to player 2.
    InPlay(sc, [&] {
        turns.push_back(game.curplayer);
        Fall();
    });
    // Player 2 loses the last life: game over for player 2, player 1 plays on alone.
    InPlay(sc, [&] {
        turns.push_back(game.curplayer);
        hero().lives = 1;
        Fall();
    });
    InPlay(sc, [&] {
        turns.push_back(game.curplayer);
        players_after_second_out = game.players;
        Fall();
    });
    InPlay(sc, [&] { turns.push_back(game.curplayer); });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_EQ(turns, (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(players_after_second_out, 0);
    EXPECT_EQ(player_slot[0].lives, 1);
    EXPECT_EQ(player_slot[1].lives, 0);
}

TEST(GameFlow, TheCauldronEndsTheAreaWithItsBonus) {
    Scenario sc("areaend");
    StartGame(sc);
    int score_before = 0;
    InPlay(sc, [&] {
        score_before = hero().score;
        IntoCauldron();
    });
    bool bonus_text = false;
    sc.When([] { return InState(STATE_LEVELEND) && TextWasDrawn("** Bonus: 1000 **"); }, [&] { bonus_text = true; });
    player_tag after{};
    sc.When([] { return InState(STATE_INTRO); }, [&] { after = hero(); });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_TRUE(bonus_text);
    EXPECT_EQ(after.score, score_before + 1000);
    EXPECT_EQ(after.level, 1);
    EXPECT_EQ(after.area, 2);
}

TEST(GameFlow, ALairLeftWithoutItsItemRollsBackAndRestarts) {
    Scenario sc("forgotten");
    StartGame(sc);
    // Send the game to area 1.3 before its intro loads it, with fire power that the lair takes.
    sc.When([] { return InState(STATE_INTRO); },
            [] {
                hero().area = 3;
                hero().power = 2;
            });
    int power_in_lair = -1;
    InPlay(sc, [&] {
        power_in_lair = hero().power;
        for (map_tag& c : map_cells) c.x -= 400.0f; // as if scrolled along
        IntoCauldron();
    });
    player_tag after{};
    sc.When([] { return InState(STATE_INTRO); }, [&] { after = hero(); });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_EQ(power_in_lair, 0);
    EXPECT_TRUE(TextWasDrawn("** You forgot the magic item! **"));
    EXPECT_GE(map_cells[0].x, 0.0f);
    EXPECT_EQ(after.level, 1);
    EXPECT_EQ(after.area, 3);
    EXPECT_EQ(after.score, 0);
}

TEST(GameFlow, FinishingTheLastLairLeadsToTheEndingAndItsLifePayout) {
    Scenario sc("ending");
    StartGame(sc);
    FinishTheLastLair(sc);
    int score_at_ending = -1;
    sc.When([] { return InState(STATE_ENDING); }, [&] { score_at_ending = hero().score; });
    sc.When([] { return TextWasDrawn("** Press JUMP to continue. **"); }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return InState(STATE_TITLE); }, [] {});
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_EQ(score_at_ending, 5200);
    EXPECT_EQ(player_slot[0].score, 5200 + 3 * 5000);
    EXPECT_EQ(player_slot[0].lives, 0);
    EXPECT_TRUE(TextWasDrawn("** Congradulations! **"));
    EXPECT_TRUE(TextWasDrawn("**  T H E   E N D !  **"));
}

// Jump presses made before the final prompt (on the last level-end screen, during the scene) do not
// skip it; the first press while it shows does.
TEST(GameFlow, OnlyAJumpPressWhileTheEndingsPromptShowsEndsIt) {
    Scenario sc("endingpress");
    StartGame(sc);
    FinishTheLastLair(sc);
    sc.When([] { return InState(STATE_LEVELEND); }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([&] { return InState(STATE_ENDING) && sc.FramesInState() > 300; },
            [&] {
                sc.Press(KEY_LCONTROL);
                sc.Click(1);
            });
    int prompt_frame = 0;
    bool still_prompting = false;
    sc.When([] { return TextWasDrawn("** Press JUMP to continue. **"); }, [&] { prompt_frame = sc.Frame(); });
    sc.When([&] { return sc.Frame() > prompt_frame + 50; }, [] { DrawnTexts().clear(); });
    sc.When([&] { return sc.Frame() > prompt_frame + 60; },
            [&] {
                still_prompting = InState(STATE_ENDING) && TextWasDrawn("** Press JUMP to continue. **");
                sc.Press(KEY_LCONTROL);
            });
    int frames_to_leave = 0;
    sc.When([] { return !InState(STATE_ENDING); }, [&] { frames_to_leave = sc.Frame() - prompt_frame - 61; });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_TRUE(still_prompting);
    EXPECT_LE(frames_to_leave, 2 + 170); // the press ends the scene: it spins away
}

// An area whose map cannot be read is not played (it would be empty): the game goes back to the
// title, and says why.
TEST(GameFlow, AnAreaWithoutItsMapIsNotPlayed) {
    Scenario sc("nomap");
    StartGame(sc);
    sc.When([] { return InState(STATE_INTRO); }, [] { hero().level = 7; });
    sc.When([] { return InState(STATE_TITLE); }, [] {});
    testing::internal::CaptureStderr();
    EXPECT_EQ(sc.Run(3000), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_EQ(std::count(sc.states_seen.begin(), sc.states_seen.end(), STATE_PLAY), 0);
    EXPECT_NE(said.find("pumkosahrim7.1 is missing"), std::string::npos) << said;
}

TEST(GameFlow, AHundredMagicInOneFrameGiveExactlyOneLife) {
    Scenario sc("magic");
    StartGame(sc);
    InPlay(sc, [] { hero().magic = 150; });
    int lives = 0, magic = -1;
    sc.When([] { return InState(STATE_PLAY) && hero().magic < 100; },
            [&] {
                lives = hero().lives;
                magic = hero().magic;
            });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(magic, 0);
}

TEST(GameFlow, GlobalKeysActOnlyWhereTheyAreRead) {
    Scenario sc("keys");
    StartGame(sc);
    // F2 during the title card is forgotten: the intro flushes the keyboard when it ends.
    sc.When([] { return InState(STATE_INTRO) && TextWasDrawn("** Level: 1-1 **"); }, [&] { sc.Press(KEY_F2); });
    int sound_in_play = -1, sound_after_f2 = -1, music_after_f3 = -1;
    InPlay(sc, [&] {
        sound_in_play = game.sound;
        sc.Press(KEY_F2);
        sc.Press(KEY_F3);
    });
    int start = 0;
    sc.When([] { return true; }, [&] { start = sc.Frame(); });
    sc.When([&] { return sc.Frame() > start + 2; },
            [&] {
                sound_after_f2 = game.sound;
                music_after_f3 = game.music;
                sc.Press(KEY_F1); // back to the title, where the effects setting is restored
            });
    int sound_on_title = -1;
    sc.When([] { return InState(STATE_TITLE); }, [&] { sound_on_title = game.sound; });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_EQ(sound_in_play, 1);
    EXPECT_EQ(sound_after_f2, 0);
    EXPECT_EQ(music_after_f3, 0);
    EXPECT_EQ(sound_on_title, 1);
}

TEST(GameFlow, TopScoreStartsAtZeroIsRaisedOnlyByAGreaterScoreAndIsSaved) {
    Scenario sc("topscore");
    StartGame(sc);
    int top_at_start = -1, top_after_equal = -1, top_after_greater = -1;
    InPlay(sc, [&] {
        top_at_start = game.topscore;
        game.topscore = 700;
        hero().score = 700;
    });
    sc.When([] { return true; },
            [&] {
                top_after_equal = game.topscore;
                hero().score = 701;
            });
    sc.When([] { return true; }, [&] { top_after_greater = game.topscore; });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_EQ(top_at_start, 0);
    EXPECT_EQ(top_after_equal, 700);
    EXPECT_EQ(top_after_greater, 701);
    EXPECT_EQ(ReadScoreFile(sc.Folder()), 701);
    EXPECT_FALSE(std::filesystem::exists(sc.Folder() / "data" / "hiscore.tmp"));
}

TEST(GameFlow, ShortTopScoreFileReadsMissingBytesAsZero) {
    Scenario sc("shortscore");
    {
        std::ofstream out(sc.Folder() / "data" / "hiscore.dat", std::ios::binary);
        out.write("\x34\x12", 2);
    }
    int top = -1;
    sc.When([] { return InState(STATE_TITLE); }, [&] { top = game.topscore; });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_EQ(top, 0x1234);
    EXPECT_EQ(ReadScoreFile(sc.Folder()), 0x1234);
}

namespace {
// Runs the rest of a test as an unprivileged user where the tests run as root, so that file
// permissions hold; the scenario's folders are opened to everyone first.
class Unprivileged {
  public:
    explicit Unprivileged(const std::filesystem::path& folder) {
        using std::filesystem::perms;
        std::filesystem::permissions(folder, perms::all);
        std::filesystem::permissions(folder / "data", perms::all);
        if (::geteuid() == 0) dropped_ = ::seteuid(65534) == 0;
    }
    ~Unprivileged() {
        if (dropped_) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }

  private:
    bool dropped_ = false;
};

void WriteScoreFile(const std::filesystem::path& folder, int32_t value) {
    std::ofstream out(folder / "data" / "hiscore.dat", std::ios::binary);
    const uint32_t v = uint32_t(value);
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.write(b, 4);
}
} // namespace

// A score file that exists but cannot be read may hold a better score: it is left as it is, and
// the game says so, rather than replacing it with this run's.
TEST(GameFlow, AnUnreadableTopScoreFileIsLeftAsItIs) {
    Scenario sc("unreadablescore");
    WriteScoreFile(sc.Folder(), 98765);
    std::filesystem::permissions(sc.Folder() / "data" / "hiscore.dat", std::filesystem::perms::none);
    int top = -1;
    sc.When([] { return InState(STATE_TITLE); }, [&] { top = game.topscore; });
    testing::internal::CaptureStderr();
    {
        Unprivileged as_player(sc.Folder());
        EXPECT_EQ(sc.Run(), 0);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(top, 0);
    EXPECT_EQ(ReadScoreFile(sc.Folder()), 98765);
    EXPECT_NE(said.find("cannot read the top score"), std::string::npos) << said;
    EXPECT_NE(said.find("left as it is"), std::string::npos) << said;
}

namespace {
// Runs the scenario with every file it writes limited to `bytes`, which a save sees as a full disk
// (writing past the limit fails with EFBIG once SIGXFSZ is ignored). Its stderr is caught in a
// pipe, which the limit does not touch; returns it.
std::string RunOnAFullDisk(Scenario& sc, rlim_t bytes) {
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    std::fflush(stderr);
    const int saved_stderr = ::dup(2);
    ::dup2(fds[1], 2);
    ::close(fds[1]);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{}, limited{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    limited = old;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    EXPECT_EQ(sc.Run(), 0);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, old_handler);
    std::fflush(stderr);
    ::dup2(saved_stderr, 2);
    ::close(saved_stderr);
    std::string said;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) said.append(buf, size_t(n));
    ::close(fds[0]);
    return said;
}
} // namespace

// A write that fails (a full disk) is reported and never taken for a save: the old score stays,
// and no temporary file is left behind.
TEST(GameFlow, AFailedTopScoreWriteKeepsTheOldScore) {
    Scenario sc("fullscore");
    WriteScoreFile(sc.Folder(), 4321);
    StartGame(sc);
    InPlay(sc, [] { hero().score = 5000; });
    sc.When([] { return true; }, [] {}); // one play frame raises the top score
    const std::string said = RunOnAFullDisk(sc, 3);
    EXPECT_EQ(game.topscore, 5000);
    EXPECT_EQ(ReadScoreFile(sc.Folder()), 4321);
    for (const auto& entry : std::filesystem::directory_iterator(sc.Folder() / "data"))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    EXPECT_NE(said.find("could not save the top score to data/hiscore.dat (" + std::string(std::strerror(EFBIG)) + ")"),
              std::string::npos)
        << said;
}

TEST(GameFlow, EscapeOnTheTitleQuitsAndAnUnwritableDataFolderCostsOnlyTheScore) {
    Scenario sc("escape");
    std::filesystem::remove_all(sc.Folder() / "data");
    { std::ofstream blocker(sc.Folder() / "data"); } // a file where the folder should be
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return InState(STATE_TITLE); }, [&] { sc.Press(KEY_ESCAPE); });
    sc.When([] { return false; }, [] {}); // never done: the game must end by itself
    EXPECT_EQ(sc.Run(2000), 0);
    EXPECT_FALSE(sc.TimedOut());
}

TEST(GameFlow, SpacePausesPlayUntilPressedAgain) {
    Scenario sc("pause");
    StartGame(sc);
    int frame_paused = 0;
    InPlay(sc, [&] {
        // Both the release and the second press arrive while the game waits in the pause,
        // presenting nothing.
        frame_paused = sc.Frame();
        const uint32_t now = sc.Platform().Millis();
        sc.Platform().At(frame_paused, Key(PlatformEvent::KeyDown, KEY_SPACE));
        sc.Platform().AtTime(now + 50, Key(PlatformEvent::KeyUp, KEY_SPACE));
        sc.Platform().AtTime(now + 500, Key(PlatformEvent::KeyDown, KEY_SPACE));
        sc.Platform().AtTime(now + 550, Key(PlatformEvent::KeyUp, KEY_SPACE));
    });
    int state_after = 0;
    sc.When([&] { return sc.Frame() > frame_paused + 3; }, [&] { state_after = game.state; });
    EXPECT_EQ(sc.Run(), 0);
    EXPECT_TRUE(TextWasDrawn("** Paused **"));
    EXPECT_EQ(state_after, STATE_PLAY);
}

TEST(GameFlow, ACloseRequestWhilePausedEndsTheProgram) {
    Scenario sc("pauseclose");
    StartGame(sc);
    InPlay(sc, [&] {
        sc.Platform().At(sc.Frame(), Key(PlatformEvent::KeyDown, KEY_SPACE));
        PlatformEvent close{};
        close.type = PlatformEvent::Close;
        sc.Platform().AtTime(sc.Platform().Millis() + 300, close);
    });
    sc.When([] { return false; }, [] {});
    EXPECT_EQ(sc.Run(5000), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_EQ(game.state, STATE_QUIT);
}

TEST(GameFlow, ACloseRequestWhileTheEndingWaitsForJumpEndsTheProgramAndKeepsTheScore) {
    Scenario sc("endingclose");
    StartGame(sc);
    sc.When([] { return InState(STATE_INTRO); },
            [] {
                hero().level = 6; // as if area 5.3 were just finished
                hero().area = 1;
                hero().score = 777;
            });
    sc.When([] { return TextWasDrawn("** Press JUMP to continue. **"); },
            [&] {
                PlatformEvent close{};
                close.type = PlatformEvent::Close;
                sc.Platform().At(sc.Frame(), close);
            });
    sc.When([] { return false; }, [] {});
    EXPECT_EQ(sc.Run(20000), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_EQ(game.state, STATE_QUIT);
    EXPECT_EQ(ReadScoreFile(sc.Folder()), 777 + 3 * 5000);
}

// The attract demo: the title left alone for 200 frames plays the recordings of areas 1.1, 1.2
// and 1.3 in turn, muted, without touching the scores; a jump press ends one without starting a game.
TEST(GameFlow, TheAttractDemoPlaysInTurnMutedAndLeavesTheScoresAlone) {
    Scenario sc("demo");
    for (int n = 1; n <= 3; ++n) {
        const std::string name = "demodata.0" + std::to_string(n);
        std::filesystem::copy_file(std::filesystem::path(PUMKO_BINARY_DIR) / "data" / name,
                                   sc.Folder() / "data" / name);
    }
    {
        std::ofstream top(sc.Folder() / "data" / "hiscore.dat", std::ios::binary);
        const unsigned char b[4] = {0xf4, 0x01, 0, 0}; // 500
        top.write(reinterpret_cast<const char*>(b), 4);
    }
    int title_frame = 0, waited = 0, sound_in_demo = -1, first_area = 0, second_area = 0;
    bool banner = false;
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return InState(STATE_TITLE); }, [&] { title_frame = sc.Frame(); });
    sc.When([] { return demo_active != 0; },
            [&] {
                waited = sc.Frame() - title_frame;
                sound_in_demo = game.sound;
                first_area = hero().area;
            });
    sc.When([] { return TextWasDrawn("DEMO - Press JUMP to exit"); }, [&] { banner = true; });
    int sound_after = -1;
    sc.When([] { return demo_active == 0; }, [] {});
    sc.When([] { return true; }, [&] { sound_after = game.sound; });
    sc.When([] { return demo_active != 0; }, [&] { second_area = hero().area; });
    sc.When([&] { return true; }, [&] { sc.Press(KEY_LCONTROL); }); // jump ends the demo
    int state_after_jump = -1;
    sc.When([] { return demo_active == 0; }, [] {});
    sc.When([&] { return true; }, [&] { state_after_jump = game.state; });
    sc.When([&] { return sc.Frame() > 5; }, [&] { sc.Press(KEY_ESCAPE); });
    sc.When([] { return false; }, [] {});
    EXPECT_EQ(sc.Run(8000), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_GE(waited, 200);
    EXPECT_LE(waited, 205);
    EXPECT_EQ(sound_in_demo, 0);
    EXPECT_EQ(sound_after, 1);
    EXPECT_TRUE(banner);
    // The second demo plays the map of area 1.2, but player 1's area is a new game's: it picks
    // the backdrop and keeps the witch away.
    EXPECT_EQ(first_area, 1);
    EXPECT_EQ(second_area, 1);
    EXPECT_EQ(state_after_jump, STATE_TITLE);
    EXPECT_EQ(game.topscore, 500);
    EXPECT_EQ(ReadScoreFile(sc.Folder()), 500);
    EXPECT_EQ(player_slot[0].score, 0);
}
