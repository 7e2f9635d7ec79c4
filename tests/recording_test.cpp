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

// Files a player may hand over: every header field is checked, and no file can ask for more
// frames than the cap, whatever its runs say; nothing beyond the cap is ever allocated.
TEST(RecordingText, HostileHeadersAndRunsAreRefusedWithinTheCap) {
    const std::string dir = std::string(PUMKO_SOURCE_DIR) + "/tests/recordings/";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"runs-of-a-million.txt", "the frame count must be 0 to 648000"},
        {"area-int-min.txt", "the area must be a level 1 to 5 and an area 1 to 3"},
        {"area-missing.txt", "the area must be a level 1 to 5"},
        {"checks-only.txt", "the checkpoints come after the inputs"},
    };
    for (const auto& [name, reason] : files) {
        Recording rec;
        std::string error;
        EXPECT_FALSE(Recording::Load(dir + name, rec, error)) << name;
        EXPECT_NE(error.find(reason), std::string::npos) << name << ": " << error;
        EXPECT_TRUE(rec.frames.empty()) << name;
    }

    const std::string head = "area 1 1\nseed 1\nwitch 700\n";
    auto refused = [&](const std::string& body, const std::string& reason) {
        Recording rec;
        std::string error;
        EXPECT_FALSE(Recording::FromText(head + body, rec, error)) << body;
        EXPECT_NE(error.find(reason), std::string::npos) << body << ": " << error;
        EXPECT_LE(rec.frames.capacity(), size_t(kMaxRecordingFrames)) << body;
        return rec;
    };
    // Runs past the header's count stop at the first run too many, before it is stored.
    const Recording rec = refused("frames 648000\ninputs\nN 600000\nN 600000\nchecks 00000000\n", "more frames than");
    EXPECT_EQ(rec.frames.size(), 600000u);
    refused("frames 1000000\ninputs\nN 1000000\nchecks 00000000\n", "the frame count must be 0 to 648000");
    refused("frames 2\ninputs\nN 2\n", "no 'checks' line");
    refused("frames 1\ninputs\nR 1 2\nchecks 00000000\n", "bad input 'R 1 2'");
    refused("frames 1\nframes 1\ninputs\nR 1\nchecks 00000000\n", "'frames' given twice");
    refused("frames 1\nplayers 0\ninputs\nR 1\nchecks 00000000\n", "players must be 1 or 2");
    refused("frames 1\ninputs\nR 99999999999999\nchecks 00000000\n", "bad input");
    for (const std::string bad : {"area 1\n", "area 1 4\n", "area 0 1\n", "area 1 1 1\n", "area x 1\n"}) {
        Recording r;
        std::string error;
        EXPECT_FALSE(Recording::FromText(bad + "seed 1\nwitch 700\nframes 0\ninputs\nchecks 00000000\n", r, error)) << bad;
    }
    for (const std::string bad : {"witch 0\n", "witch 701\n", "seed 2147483648\n", "seed\n"}) {
        Recording r;
        std::string error;
        std::string text = "area 1 1\nseed 1\nwitch 700\nframes 0\ninputs\nchecks 00000000\n";
        const std::string key = bad.substr(0, bad.find(' ') == std::string::npos ? 4 : bad.find(' '));
        text.replace(text.find(key), text.find('\n', text.find(key)) - text.find(key) + 1, bad);
        EXPECT_FALSE(Recording::FromText(text, r, error)) << bad;
    }
    for (const char* missing : {"area", "seed", "witch", "frames"}) {
        std::string text = "area 1 1\nseed 1\nwitch 700\nframes 0\ninputs\nchecks 00000000\n";
        const size_t at = text.find(missing);
        text.erase(at, text.find('\n', at) - at + 1);
        Recording r;
        std::string error;
        EXPECT_FALSE(Recording::FromText(text, r, error)) << missing;
        EXPECT_NE(error.find(std::string("no '") + missing + "'"), std::string::npos) << error;
    }
    // The smallest whole recording still reads, with a byte-order mark and Windows line ends.
    Recording r;
    std::string error;
    EXPECT_TRUE(Recording::FromText("\xEF\xBB\xBF" "area 5 3\r\nseed -2147483648\r\nwitch 200\r\nframes 0\r\ninputs\r\nchecks 00000000\r\n", r, error)) << error;
    EXPECT_EQ(r.seed, INT32_MIN);
    EXPECT_FALSE(Recording::Load(dir, r, error)); // a folder
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}
