// The logo and the title screen as players meet them: how long the logo shows and what skips it,
// the menu moved by keys, by the mouse and by a pad, and the scroller's motion.
#include <gtest/gtest.h>

#include "flow_fixture.h"
#include "game/text.h"

using namespace flow_test;

namespace {
// The frame at which the title first shows, with `skip` run at frame `at` of the logo.
int TitleFrame(Scenario& sc, int at, std::function<void()> skip) {
    int title = 0;
    if (skip) sc.When([&sc, at] { return sc.Frame() >= at; }, std::move(skip));
    sc.When([] { return InState(STATE_TITLE); }, [&] { title = sc.Frame(); });
    EXPECT_EQ(sc.Run(2000), 0);
    return title;
}
} // namespace

// Undisturbed, the logo shows for 60 frames and fades over 50 more, then one black frame, and the
// title's first frame follows (after the two the display shows as it opens). Left Control, mouse
// button 1 or pad button 0 end it after the current frame; nothing else does, and an Escape made
// meanwhile is forgotten, not acted on by the title.
TEST(Logo, ShowsFor110FramesUnlessAJumpPressSkipsIt) {
    {
        Scenario sc("logo");
        EXPECT_EQ(TitleFrame(sc, 0, nullptr), 2 + 110 + 1 + 1);
        EXPECT_GE(sc.Platform().Millis(), 1000u + 110u * 50u + 1000u); // with its waits
    }
    {
        Scenario sc("logoctrl");
        EXPECT_EQ(TitleFrame(sc, 10, [&] { sc.Press(KEY_LCONTROL); }), 10 + 1 + 1);
    }
    {
        Scenario sc("logomouse");
        EXPECT_EQ(TitleFrame(sc, 20, [&] { sc.Click(1); }), 20 + 1 + 1);
    }
    {
        Scenario sc("logopad");
        JoystickState pad;
        sc.Platform().SetJoystick(pad);
        EXPECT_EQ(TitleFrame(sc, 30,
                             [&] {
                                 JoystickState pressed;
                                 pressed.buttons = 1;
                                 sc.Platform().SetJoystick(pressed);
                             }),
                  30 + 1 + 1);
    }
    {
        Scenario sc("logoother");
        EXPECT_EQ(TitleFrame(sc, 10,
                             [&] {
                                 sc.Press(KEY_ESCAPE);
                                 sc.Press(KEY_SPACE);
                                 sc.Press(163); // the right Control key
                                 sc.Click(2);
                             }),
                  2 + 110 + 1 + 1);
    }
}

namespace {
// What the title's menu led to: a game of one or two players, or the program's end.
enum Outcome { ONE_PLAYER, TWO_PLAYERS, QUIT, NOTHING };

// Skips the logo, makes `moves` on the title one frame after another, then chooses with
// `choose`; returns what the choice started.
Outcome Menu(
    const std::string& name, const std::vector<std::function<void(Scenario&)>>& moves,
    std::function<void(Scenario&)> choose = [](Scenario& sc) { sc.Press(KEY_LCONTROL); }, int* pointer_y = nullptr) {
    Scenario sc(name);
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return InState(STATE_TITLE); }, [] {});
    for (const auto& move : moves) sc.When([] { return true; }, [&] { move(sc); });
    sc.When([] { return true; },
            [&] {
                if (pointer_y) *pointer_y = sc.Platform().pointer_y;
                choose(sc);
            });
    Outcome out = NOTHING;
    sc.When([] { return !InState(STATE_TITLE); },
            [&] { out = InState(STATE_INTRO) ? (game.players ? TWO_PLAYERS : ONE_PLAYER) : QUIT; });
    EXPECT_EQ(sc.Run(2000), 0);
    if (out == NOTHING && game.state == STATE_QUIT) out = QUIT; // the program ended with the choice
    return out;
}

std::function<void(Scenario&)> KeyMove(int code) {
    return [code](Scenario& sc) { sc.Press(code); };
}

std::function<void(Scenario&)> PointerTo(int y) {
    return [y](Scenario& sc) {
        PlatformEvent move = Event(PlatformEvent::MouseMove);
        move.x = 320;
        move.y = y;
        sc.Platform().At(sc.Frame(), move);
    };
}

// A pad whose stick reads `y` (the raw position, 0 to 65535) and whose button 0 is as given.
JoystickState PadAt(int y, bool button = false) {
    JoystickState js;
    js.buttons = button ? 1u : 0u;
    js.axis_count = 2;
    js.axis[0] = 32768;
    js.axis[1] = y;
    js.axis_max[0] = js.axis_max[1] = 65535;
    return js;
}
} // namespace

// Down and Up move the selection one entry at a time within the three entries and put the hidden
// pointer at the top of the entry's band; left Control chooses.
TEST(TitleMenu, KeysMoveTheSelection) {
    const int D = KEY_DOWN, U = KEY_UP;
    const struct {
        std::vector<int> keys;
        Outcome out;
    } cases[] = {{{}, ONE_PLAYER},         {{D}, TWO_PLAYERS}, {{D, D}, QUIT},         {{D, D, D}, QUIT},
                 {{D, D, U}, TWO_PLAYERS}, {{U}, ONE_PLAYER},  {{D, U, U}, ONE_PLAYER}};
    int n = 0;
    for (const auto& c : cases) {
        std::vector<std::function<void(Scenario&)>> moves;
        for (int k : c.keys) moves.push_back(KeyMove(k));
        int pointer_y = -1;
        EXPECT_EQ(Menu("menukeys" + std::to_string(n++), moves, KeyMove(KEY_LCONTROL), &pointer_y), c.out)
            << c.keys.size() << " keys";
        const int selected = c.out == ONE_PLAYER ? 0 : c.out == TWO_PLAYERS ? 1 : 2;
        if (!c.keys.empty()) {
            EXPECT_EQ(pointer_y, 160 * selected);
        }
    }
}

// The pointer's height picks the entry, a band of 160 pixels each; mouse button 1 chooses.
TEST(TitleMenu, TheMouseMovesTheSelection) {
    const struct {
        int y;
        Outcome out;
    } cases[] = {{0, ONE_PLAYER}, {159, ONE_PLAYER}, {160, TWO_PLAYERS}, {319, TWO_PLAYERS}, {320, QUIT}, {479, QUIT}};
    for (const auto& c : cases)
        EXPECT_EQ(Menu("menumouse" + std::to_string(c.y), {PointerTo(c.y)}, [](Scenario& sc) { sc.Click(1); }), c.out)
            << "pointer at y " << c.y;
}

// The pad's stick moves the selection only at full deflection, one entry per push: the title
// waits, drawing nothing, until the stick is let go. Button 0 chooses.
TEST(TitleMenu, APadMovesTheSelectionAtFullDeflection) {
    // A push of the stick to raw position y, let go 100 ms later (while the title may be waiting).
    auto push = [](int y) {
        return [y](Scenario& sc) {
            sc.Platform().SetJoystick(PadAt(y));
            sc.Platform().SetJoystickAtTime(sc.Platform().Millis() + 100, PadAt(32768));
        };
    };
    // Button 0 pressed, and let go 100 ms later (the game waits for that before the intro).
    const auto choose = [](Scenario& sc) {
        sc.Platform().SetJoystick(PadAt(32768, true));
        sc.Platform().SetJoystickAtTime(sc.Platform().Millis() + 100, PadAt(32768));
    };
    {
        Scenario sc("menupadheld");
        sc.Platform().SetJoystick(PadAt(32768));
        int pushed_at = 0, next_frame = 0;
        uint32_t pushed_ms = 0, next_ms = 0;
        sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
        sc.When([] { return InState(STATE_TITLE); },
                [&] {
                    pushed_at = sc.Frame();
                    pushed_ms = sc.Platform().Millis();
                    sc.Platform().SetJoystick(PadAt(65535)); // full down, held for three seconds
                    sc.Platform().SetJoystickAtTime(pushed_ms + 3000, PadAt(32768));
                });
        sc.When([] { return true; },
                [&] {
                    next_frame = sc.Frame();
                    next_ms = sc.Platform().Millis();
                    choose(sc);
                });
        sc.When([] { return InState(STATE_INTRO); }, [] {});
        EXPECT_EQ(sc.Run(2000), 0);
        EXPECT_EQ(next_frame, pushed_at + 1); // no frame while the stick was held
        EXPECT_GE(next_ms, pushed_ms + 3000);
        EXPECT_EQ(game.players, 1); // one entry down, not three
    }
    EXPECT_EQ(Menu("menupadnear", {push(65535 - 328), push(65535 - 328)}, choose), ONE_PLAYER); // down at 0.99
    EXPECT_EQ(Menu("menupadup", {push(0)}, choose), ONE_PLAYER);                                // up on the first
    EXPECT_EQ(Menu("menupaddown", {push(65535), push(65535), push(65535), push(0)}, choose), TWO_PLAYERS);
}

// The scroller runs left 2 pixels a frame (4 while Space is held), bobs between y 200 and 220 a
// pixel a frame, and starts again from the right edge once its text has gone past the left.
TEST(Title, TheScrollerRunsBobsAndWraps) {
    static std::vector<std::pair<int, int>> at; // where the scroller's text was drawn, frame by frame
    static int width = 0;
    at.clear();
    Scenario sc("scroller");
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return InState(STATE_TITLE); },
            [] {
                text_observer = [](const std::string& text, int x, int y) {
                    if (text.rfind("** Welcome", 0) == 0) {
                        at.push_back({x, y});
                        width = TextWidthOf(text);
                    }
                };
            });
    sc.When([] { return at.size() >= 60; },
            [&] { sc.Platform().At(sc.Frame(), Event(PlatformEvent::KeyDown, KEY_SPACE)); });
    sc.When([] { return at.size() >= 70; },
            [&] {
                sc.Platform().At(sc.Frame(), Event(PlatformEvent::KeyUp, KEY_SPACE));
                game.scmx = -(width + 80) + 1; // the text's end just past the left edge
            });
    sc.When([] { return at.size() >= 80; }, [] {});
    EXPECT_EQ(sc.Run(2000), 0);
    text_observer = nullptr;
    ASSERT_GE(at.size(), 80u);
    int lowest = 1000, highest = -1000;
    for (size_t i = 1; i < 60; ++i) {
        EXPECT_EQ(at[i - 1].first - at[i].first, 2) << i;
        EXPECT_EQ(std::abs(at[i].second - at[i - 1].second), 1) << i;
        lowest = std::min(lowest, at[i].second);
        highest = std::max(highest, at[i].second);
    }
    EXPECT_EQ(lowest, 200 - 10);
    EXPECT_EQ(highest, 220 - 10);
    for (size_t i = 62; i < 70; ++i) EXPECT_EQ(at[i - 1].first - at[i].first, 4) << "space held, " << i;
    bool wrapped = false;
    for (size_t i = 71; i < at.size(); ++i) wrapped = wrapped || at[i].first == 640 + 45;
    EXPECT_TRUE(wrapped);
}
