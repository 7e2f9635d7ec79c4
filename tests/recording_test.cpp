// The recordings' text form: what is written reads back the same, and damaged files are refused
// with the line named rather than replayed as something else.
#include <gtest/gtest.h>

#include "replay/recording.h"

namespace {
Recording Sample() {
    Recording rec;
    rec.level = 3;
    rec.area = 2;
    rec.players = 2;
    rec.seed = 42;
    rec.witch = 500;
    rec.frames = {{2, false, false}, {2, false, false}, {2, true, false}, {0, false, true}, {1, true, true}};
    rec.events = {{"burn.hopper", 2}, {"turn.passed", 1}};
    rec.digest_layout = StateDigestLayoutId();
    game = game_tag{};
    monster_list.Clear();
    rec.checks.push_back({60, 0x12345678u, StateDigest::Capture()});
    game.state = STATE_DEATH;
    rec.checks.push_back({61, 0x0badcafeu, StateDigest::Capture(), 30}); // in the death screen
    game.state = STATE_LEVELEND;
    rec.checks.push_back({Checkpoint::kAfterLevelEnd, 0xfedcba98u, StateDigest::Capture()});
    return rec;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}
} // namespace

TEST(RecordingText, ReadsBackWhatItWrites) {
    const Recording rec = Sample();
    const std::string text = rec.ToText();
    EXPECT_NE(text.find("\nR 2\nRJ 1\nNF 1\nLJF 1\n"), std::string::npos) << text;
    Recording back;
    std::string error;
    ASSERT_TRUE(Recording::FromText(text, back, error)) << error;
    EXPECT_EQ(back.level, 3);
    EXPECT_EQ(back.area, 2);
    EXPECT_EQ(back.players, 2);
    EXPECT_EQ(back.seed, 42);
    EXPECT_EQ(back.witch, 500);
    EXPECT_EQ(back.frames, rec.frames);
    EXPECT_EQ(back.events, rec.events);
    EXPECT_EQ(back.digest_layout, rec.digest_layout);
    EXPECT_EQ(back.checks, rec.checks);
}

TEST(RecordingText, RefusesDamagedFiles) {
    const std::string good = Sample().ToText();
    const std::vector<std::pair<std::string, std::string>> damage = {
        {"frames 5", "frames 6"},   // the header disagrees with the inputs
        {"RJ 1", "JR 1"},           // the direction comes first
        {"LJF 1", "LX 1"},          // no such control
        {"NF 1", "NF 0"},           // an empty run
        {"players 2", "players 3"}, // one or two players only
        {"game:", "gaem:"},         // parts by name, in order
        {"\nend ", "\nlast "},      // a checkpoint is after a frame or after the level end
        {"\n61+30 ", "\n61+0 "},    // a screen frame after a play frame counts from 1
        {"\n61+30 ", "\n61+ "},
        {"12345678", "1234567g"},   // digests in hexadecimal
        {"\nwitch", "\nwizard"},    // no unknown header fields
    };
    for (const auto& [from, to] : damage) {
        Recording rec;
        std::string error;
        EXPECT_FALSE(Recording::FromText(Replace(good, from, to), rec, error)) << from << " -> " << to;
        EXPECT_FALSE(error.empty());
    }
    // A checkpoint cut short.
    Recording rec;
    std::string error;
    EXPECT_FALSE(Recording::FromText(good.substr(0, good.size() - 10) + "\n", rec, error));
    EXPECT_NE(error.find("line "), std::string::npos) << error;
}
