// Ending the program from where the game waits without drawing (the window suspended, a pad still
// held), from every screen's own frame loop and from the attract demo: a close request (the
// window's, or SIGTERM's) ends the program at once and the top score is saved; Escape quits the
// demo at once, as the scroller says.
#include <gtest/gtest.h>

#include "flow_fixture.h"

using namespace flow_test;

namespace {
// The virtual clock's time by which a late resume or release would come: the program must have
// ended long before.
constexpr uint32_t kLate = 60000;

// A pad on port 0: buttons as given, the stick centred or at (full) y.
JoystickState Pad(uint32_t buttons, int y = 32768) {
    JoystickState js;
    js.buttons = buttons;
    js.axis_count = 2;
    js.axis[0] = 32768;
    js.axis[1] = y;
    js.axis_max[0] = js.axis_max[1] = 65535;
    return js;
}

// A close request `delay` ms from now on the virtual clock; returns its time.
uint32_t CloseIn(Scenario& sc, uint32_t delay) {
    const uint32_t at = sc.Platform().Millis() + delay;
    sc.Platform().AtTime(at, Event(PlatformEvent::Close));
    return at;
}

// Suspends the game now (another application takes the focus) and closes it a second later; the
// focus would come back only much later.
uint32_t SuspendThenClose(Scenario& sc) {
    sc.Platform().At(sc.Frame(), Event(PlatformEvent::Suspend));
    sc.Platform().AtTime(sc.Platform().Millis() + kLate, Event(PlatformEvent::Resume));
    game.topscore = 4242;
    return CloseIn(sc, 1000);
}

// Runs a scenario whose steps never finish: only the game can end it. `close_at` is set by a step.
void RunUntilTheGameEnds(Scenario& sc, const uint32_t& close_at) {
    sc.When([] { return false; }, [] {});
    EXPECT_EQ(sc.Run(20000), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_LT(sc.Platform().Millis(), close_at + 100) << "the program ended long after the close request";
}
} // namespace

TEST(Quitting, ACloseWhileSuspendedInPlayEndsTheProgramAtOnce) {
    Scenario sc("suspendplay");
    StartGame(sc);
    uint32_t close_at = 0;
    InPlay(sc, [&] { close_at = SuspendThenClose(sc); });
    RunUntilTheGameEnds(sc, close_at);
    EXPECT_EQ(ReadScoreFile(sc.Folder()), 4242);
}

TEST(Quitting, ACloseWhileSuspendedInAScreenLoopEndsTheProgramAtOnce) {
    Scenario sc("suspendcard");
    StartGame(sc);
    uint32_t close_at = 0;
    sc.When([] { return InState(STATE_INTRO) && TextWasDrawn("** Level: 1-1 **"); },
            [&] { close_at = SuspendThenClose(sc); });
    RunUntilTheGameEnds(sc, close_at);
    EXPECT_EQ(ReadScoreFile(sc.Folder()), 4242);
}

// The title waits for the pad's button to be let go after it starts a game, and for the stick to
// leave full deflection after it moves the selection; the game waits for the button after a death.
TEST(Quitting, ACloseWhileAPadButtonIsHeldAfterStartingAGameEndsTheProgramAtOnce) {
    Scenario sc("padbutton");
    sc.Platform().SetJoystick(Pad(0));
    uint32_t close_at = 0;
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return InState(STATE_TITLE); },
            [&] {
                sc.Platform().SetJoystick(Pad(1)); // pressed, and held
                sc.Platform().SetJoystickAtTime(sc.Platform().Millis() + kLate, Pad(0));
                game.topscore = 321;
                close_at = CloseIn(sc, 1000);
            });
    RunUntilTheGameEnds(sc, close_at);
    EXPECT_EQ(game.players, 0); // the game had started
    EXPECT_EQ(ReadScoreFile(sc.Folder()), 321);
}

TEST(Quitting, ACloseWhileThePadStickIsHeldDownOnTheTitleEndsTheProgramAtOnce) {
    Scenario sc("padstick");
    sc.Platform().SetJoystick(Pad(0));
    uint32_t close_at = 0;
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return InState(STATE_TITLE); },
            [&] {
                sc.Platform().SetJoystick(Pad(0, 65535)); // full down, held
                sc.Platform().SetJoystickAtTime(sc.Platform().Millis() + kLate, Pad(0));
                close_at = CloseIn(sc, 1000);
            });
    RunUntilTheGameEnds(sc, close_at);
    EXPECT_EQ(game.state, STATE_TITLE);
}

TEST(Quitting, ACloseWhileAPadButtonIsHeldAfterADeathEndsTheProgramAtOnce) {
    Scenario sc("paddeath");
    sc.Platform().SetJoystick(Pad(0));
    StartGame(sc);
    uint32_t close_at = 0;
    InPlay(sc, [&] {
        Fall();
        sc.Platform().SetJoystick(Pad(1)); // held through the whole death
        // After the death's animation (about 4.5 s) and the witch's laugh, in the wait.
        close_at = CloseIn(sc, 20000);
        sc.Platform().SetJoystickAtTime(close_at + kLate, Pad(0));
    });
    RunUntilTheGameEnds(sc, close_at);
    EXPECT_EQ(hero().lives, 2);
}

namespace {
// Waits on the title for the attract demo, then runs `act` once while it plays.
void InDemo(Scenario& sc, std::function<void()> act) {
    for (int n = 1; n <= 3; ++n) {
        const std::string name = "demodata.0" + std::to_string(n);
        std::filesystem::copy_file(std::filesystem::path(PUMKO_BINARY_DIR) / "data" / name,
                                   sc.Folder() / "data" / name);
    }
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return demo_active != 0; }, [] {});
    sc.When([] { return true; }, std::move(act)); // a few frames into it
}
} // namespace

TEST(Quitting, EscapeInTheAttractDemoQuitsAtOnce) {
    Scenario sc("demoescape");
    int pressed = 0;
    InDemo(sc, [&] {
        pressed = sc.Frame();
        sc.Press(KEY_ESCAPE);
    });
    sc.When([] { return false; }, [] {});
    EXPECT_EQ(sc.Run(5000), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_LE(sc.Frame() - pressed, 2);
    EXPECT_EQ(game.state, STATE_QUIT);
}

TEST(Quitting, ACloseInTheAttractDemoEndsTheProgramAtOnce) {
    Scenario sc("democlose");
    int closed = 0;
    InDemo(sc, [&] {
        closed = sc.Frame();
        sc.Platform().At(closed, Event(PlatformEvent::Close));
    });
    sc.When([] { return false; }, [] {});
    EXPECT_EQ(sc.Run(5000), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_LE(sc.Frame() - closed, 2);
}

namespace {
// Every screen runs a frame loop of its own (or waits between frames): a close request there ends
// the program within a frame, with the top score saved. `reach` sets up the steps that bring the
// game to the screen; `arrived` says when it is there.
struct ScreenCase {
    const char* name;
    std::function<void(Scenario&)> reach;
    std::function<bool(Scenario&)> arrived;
};

const std::vector<ScreenCase>& ScreenCases() {
    static const std::vector<ScreenCase> cases = {
        {"logo", [](Scenario&) {}, [](Scenario& sc) { return game.state == 0 && sc.Frame() >= 3; }},
        {"intro-wait", [](Scenario& sc) { StartGame(sc); }, [](Scenario&) { return InState(STATE_INTRO); }},
        {"intro-card", [](Scenario& sc) { StartGame(sc); },
         [](Scenario&) { return InState(STATE_INTRO) && TextWasDrawn("** Level: 1-1 **"); }},
        {"level-end",
         [](Scenario& sc) {
             StartGame(sc);
             InPlay(sc, [] { IntoCauldron(); });
         },
         [](Scenario& sc) { return InState(STATE_LEVELEND) && sc.FramesInState() > 20; }},
        {"death",
         [](Scenario& sc) {
             StartGame(sc);
             InPlay(sc, [] { Fall(); });
         },
         [](Scenario& sc) { return InState(STATE_DEATH) && sc.FramesInState() > 20; }},
        {"witch-laugh",
         [](Scenario& sc) {
             StartGame(sc);
             InPlay(sc, [] { Fall(); });
         },
         [](Scenario&) { return InState(STATE_DEATH) && game.wlaugh != 0; }},
        {"game-over",
         [](Scenario& sc) {
             StartGame(sc);
             InPlay(sc, [] {
                 hero().lives = 1;
                 Fall();
             });
         },
         [](Scenario& sc) { return InState(STATE_GAMEOVER) && sc.FramesInState() > 20; }},
        {"back-to-title-wait",
         [](Scenario& sc) {
             StartGame(sc);
             InPlay(sc, [&sc] { sc.Press(KEY_F1); });
         },
         [](Scenario&) { return true; }}, // the frame F1 shows before its second of black
        {"ending",
         [](Scenario& sc) {
             StartGame(sc);
             FinishTheLastLair(sc);
         },
         [](Scenario& sc) { return InState(STATE_ENDING) && sc.FramesInState() > 20; }},
    };
    return cases;
}
} // namespace

TEST(Quitting, ACloseOnAnyScreenEndsTheProgramWithinAFrameAndSavesTheTopScore) {
    for (const ScreenCase& c : ScreenCases()) {
        SCOPED_TRACE(c.name);
        Scenario sc(std::string("screen-") + c.name);
        // A score already kept, raised on the screen: the save must hold the raised one.
        std::ofstream(sc.Folder() / "data" / "hiscore.dat", std::ios::binary).write("\x88\x13\0\0", 4); // 5000
        c.reach(sc);
        uint32_t close_at = 0;
        int close_frame = 0, top = 0;
        sc.When([&] { return c.arrived(sc); },
                [&] {
                    top = ++game.topscore;             // 5001 unless play beat the 5000 read at start-up
                    top = std::max(top, hero().score); // a bonus not yet counted by a play frame
                    close_frame = sc.Frame();
                    close_at = CloseIn(sc, 1);
                });
        RunUntilTheGameEnds(sc, close_at);
        EXPECT_LE(sc.Frame() - close_frame, 1);
        EXPECT_GE(top, 5001);
        EXPECT_EQ(ReadScoreFile(sc.Folder()), top);
    }
}

// The bonus is counted when it is awarded: closing during the fade that follows keeps it.
TEST(Quitting, ACloseDuringTheLevelEndsFadeKeepsTheBonusInTheTopScore) {
    Scenario sc("bonusfade");
    StartGame(sc);
    InPlay(sc, [] { IntoCauldron(); });
    int score = 0;
    // The wait and the two zooms take 179 frames; the fade follows.
    sc.When([&] { return InState(STATE_LEVELEND) && sc.FramesInState() > 200; },
            [&] {
                score = hero().score;
                sc.Platform().At(sc.Frame(), Event(PlatformEvent::Close));
            });
    sc.When([] { return false; }, [] {});
    EXPECT_EQ(sc.Run(5000), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_GE(score, 1000);
    EXPECT_EQ(ReadScoreFile(sc.Folder()), score);
}
