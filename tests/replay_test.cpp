// Regression playthroughs: every area's recording, found by the automatic player, replayed through
// the real main loop from the area's intro to the end of its level-end screen. Each must reach the
// cauldron on its last recorded frame with the recorded checksum of the game state. A change to the
// game's behaviour shows here; a deliberate one re-records (make prove) and says why.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/game_state.h"
#include "main/recording.h"
#include "main/scenario.h"

#ifndef PUMKO_SOURCE_DIR
#error "PUMKO_SOURCE_DIR must name the source tree"
#endif

namespace {
std::string RecordingPath(int level, int area) {
    return std::string(PUMKO_SOURCE_DIR) + "/assets/recordings/" + std::to_string(level) + "-" + std::to_string(area) +
           ".txt";
}
} // namespace

class Replay : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(Replay, ReachesTheCauldronWithTheRecordedState) {
    const auto [level, area] = GetParam();
    Recording rec;
    std::string error;
    if (!std::filesystem::exists(RecordingPath(level, area))) GTEST_SKIP() << "no recording yet";
    ASSERT_TRUE(Recording::Load(RecordingPath(level, area), rec, error)) << error;
    ASSERT_EQ(rec.level, level);
    ASSERT_EQ(rec.area, area);

    Scenario sc("replay" + std::to_string(level) + std::to_string(area));
    size_t applied = 0;
    FrameInput held;
    bool reached = false;
    size_t frames_at_cauldron = 0;
    uint32_t checksum = 0;
    int score = 0;
    sc.EveryFrame([&] {
        if (game.state == STATE_PLAY && !reached && applied < rec.frames.size()) {
            ApplyFrameInput(rec.frames[applied++], held);
        } else if (game.state == STATE_LEVELEND && !reached) {
            reached = true;
            frames_at_cauldron = applied;
            checksum = GameChecksum();
            score = current_player().score;
        }
    });
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return game.state == STATE_TITLE; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return game.state == STATE_INTRO; },
            [&] {
                current_player().level = level;
                current_player().area = area;
                SeedRandom(rec.seed);
            });
    sc.When([&] { return reached && game.state == STATE_INTRO; }, [] {});
    EXPECT_EQ(sc.Run(), 0);
    ASSERT_TRUE(reached) << "the hero never reached the cauldron (" << applied << " of " << rec.frames.size()
                         << " frames played, state " << game.state << ")";
    EXPECT_EQ(frames_at_cauldron, rec.frames.size());
    EXPECT_EQ(checksum, rec.checksum);
    EXPECT_EQ(score, rec.score);
}

INSTANTIATE_TEST_SUITE_P(Areas, Replay,
                         ::testing::Values(std::pair{1, 1}, std::pair{1, 2}, std::pair{1, 3}, std::pair{2, 1},
                                           std::pair{2, 2}, std::pair{2, 3}, std::pair{3, 1}, std::pair{3, 2},
                                           std::pair{3, 3}, std::pair{4, 1}, std::pair{4, 2}, std::pair{4, 3},
                                           std::pair{5, 1}, std::pair{5, 2}, std::pair{5, 3}),
                         [](const auto& info) {
                             return "Area" + std::to_string(info.param.first) + "_" + std::to_string(info.param.second);
                         });
