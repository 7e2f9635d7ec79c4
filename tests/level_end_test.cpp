// The end of an area and the pace of the witch: Escape skipping the level-end screen's phases, and
// the interval between the witch's fireballs in the lair of every level.
#include <gtest/gtest.h>

#include "flow_fixture.h"
#include "replay/playthrough.h"

using namespace flow_test;

namespace {
// Plays area 1.1 into its cauldron; `during` runs after every frame of the level-end screen with
// the number of frames it has shown. Returns how many frames the screen showed.
int LevelEnd(const std::string& name, std::function<void(Scenario&, int)> during, int* score = nullptr) {
    Scenario sc(name);
    StartGame(sc);
    InPlay(sc, [] { IntoCauldron(); });
    int frames = 0;
    sc.EveryFrame([&] {
        if (InState(STATE_LEVELEND)) during(sc, ++frames);
    });
    sc.When([] { return InState(STATE_INTRO); },
            [&] {
                if (score) *score = hero().score;
                EXPECT_EQ(hero().area, 2);
            });
    EXPECT_EQ(sc.Run(3000), 0);
    EXPECT_FALSE(sc.TimedOut());
    return frames;
}
} // namespace

// After the play frame that touched the cauldron, the screen waits 101 frames, zooms its title in
// for 37, the bonus for 41, shows the award for one and fades for 101. Escape ends the zoom of the
// title, the zoom of the bonus and the fade at once, each time going on to the next phase, never
// quitting; the bonus is paid either way.
TEST(LevelEnd, EscapeSkipsToTheNextPhase) {
    constexpr int touch = 1, wait = 101, award = 1;
    int score = 0;
    EXPECT_EQ(LevelEnd(
                  "levelend", [](Scenario&, int) {}, &score),
              touch + wait + 37 + 41 + award + 101);
    EXPECT_EQ(score, 1000);

    // Escape during the wait is kept for the title's zoom, which it ends on its first frame; then
    // Escape after 5 frames of the bonus's zoom and after 10 frames of the fade.
    const int skipped = LevelEnd(
        "levelendescape",
        [](Scenario& sc, int frame) {
            if (frame == 50 || frame == touch + wait + 5 || frame == touch + wait + 5 + award + 10)
                sc.Press(KEY_ESCAPE);
        },
        &score);
    EXPECT_EQ(skipped, touch + wait + 5 + award + 10);
    EXPECT_EQ(score, 1000);
}

namespace {
// The frames from the first play frame of a lair to its first witch fireball, for `lairs` lairs in
// a row: each lair is finished (with its item) into the next level, whose intro is sent to its lair.
std::vector<int> LairIntervals(
    const std::string& name, int lairs, std::function<void()> first = [] {}) {
    Scenario sc(name);
    std::vector<int> intervals;
    int entered = 0;
    sc.EveryFrame([] { game.invincible = 1000; }); // nothing but the witch's pace matters here
    StartGame(sc);
    for (int n = 0; n < lairs; ++n) {
        sc.When([] { return InState(STATE_INTRO); },
                [&, n] {
                    hero().area = 3;
                    if (n == 0) first();
                });
        InPlay(sc, [&] { entered = sc.Frame(); });
        sc.When(
            [] {
                bool witch = false;
                monster_list.ForEach([&](monster_tag& m) { witch = witch || m.typ == 9; });
                return witch;
            },
            [&] {
                intervals.push_back(sc.Frame() - entered); // the frame before the first play frame
                game.item = 1;
                IntoCauldron();
            });
    }
    EXPECT_EQ(sc.Run(20000), 0);
    EXPECT_FALSE(sc.TimedOut());
    return intervals;
}
} // namespace

// The witch throws her first fireball in a lair after 700 frames in level 1, 100 fewer in each
// level after, and never fewer than 200.
TEST(WitchFireballs, ComeFasterInEachLevel) {
    const std::vector<int> met = LairIntervals("witch", 5);
    EXPECT_EQ(met, (std::vector<int>{700, 600, 500, 400, 300}));
    // The automatic player and the recordings meet the witch at the same pace.
    for (int level = 1; level <= int(met.size()); ++level) EXPECT_EQ(WitchInterval(level), met[level - 1]) << level;
    // After five levels (the second player of two plays on at that pace): 200, and 200 again.
    EXPECT_EQ(LairIntervals("witchfloor", 2, [] { game.fireballmaxtmr = 300; }), (std::vector<int>{300, 200}));
}
