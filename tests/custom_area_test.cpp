// A player's own area (pumko --area): sources and compiled maps are checked before anything opens,
// a broken one is refused with its line, and a good one is played by the real main loop from the
// start of the run to its cauldron and back to the title.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/stream.h"
#include "flow_fixture.h"
#include "main/custom_area_file.h"
#include "support/scenario.h"
#include "world/map_source.h"

namespace fs = std::filesystem;

namespace {

const std::string kAreas = std::string(PUMKO_SOURCE_DIR) + "/tests/areas/";

class CustomArea : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("pumko_custom_" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        custom_area = {};
        fs::remove_all(dir_);
    }
    static std::string Joined(const std::vector<std::string>& lines) {
        std::string all;
        for (const std::string& l : lines) all += l + "\n";
        return all;
    }
    // The flat test area, compiled and written under `name`.
    std::string Compiled(const std::string& name) {
        std::ifstream in(kAreas + "flat.txt");
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        mapc::Grid g;
        std::vector<std::string> errors;
        EXPECT_TRUE(mapc::parse_source(text, "flat", g, errors));
        const std::vector<uint8_t> bytes = mapc::encode(g);
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return p.string();
    }
    fs::path dir_;
};

TEST_F(CustomArea, AGoodSourceIsHandedToTheGameAsItsCompiledMap) {
    std::vector<std::string> errors;
    ASSERT_TRUE(LoadCustomArea(kAreas + "flat.txt", errors)) << Joined(errors);
    EXPECT_EQ(custom_area.level, 1);
    EXPECT_EQ(custom_area.area, 2);
    const uint8_t* bytes = nullptr;
    int64_t size = 0;
    ASSERT_TRUE(FindEmbedded(custom_area.resource, &bytes, &size));
    ASSERT_EQ(size, mapc::BINARY_SIZE);
    mapc::Grid g;
    ASSERT_TRUE(mapc::decode(std::vector<uint8_t>(bytes, bytes + size), g));
    EXPECT_EQ(g.t2(3, 10), 30);   // the start
    EXPECT_EQ(g.t2(134, 10), 39); // the cauldron

    // A second area in the same run gets a resource of its own.
    const std::string first = custom_area.resource;
    ASSERT_TRUE(LoadCustomArea(Compiled("pumkosahrim1.1"), errors)) << Joined(errors);
    EXPECT_NE(custom_area.resource, first);
}

TEST_F(CustomArea, ABrokenSourceIsRefusedWithItsLineAndReason) {
    std::vector<std::string> errors;
    EXPECT_FALSE(LoadCustomArea(kAreas + "floating-cauldron.txt", errors));
    EXPECT_NE(Joined(errors).find("floating-cauldron.txt:15: area 1.2, cell (column 134, row 9): the cauldron must "
                                  "stand on row 10"),
              std::string::npos)
        << Joined(errors);
    EXPECT_EQ(custom_area.level, 0); // nothing handed to the game

    errors.clear();
    EXPECT_FALSE(LoadCustomArea((dir_ / "missing.txt").string(), errors));
    EXPECT_NE(Joined(errors).find("missing.txt: no such file"), std::string::npos) << Joined(errors);

    // A row one cell short is a parse error on its own line.
    std::ifstream in(kAreas + "flat.txt");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    text.erase(text.rfind("#|"), 1);
    std::ofstream(dir_ / "short.txt") << text;
    errors.clear();
    EXPECT_FALSE(LoadCustomArea((dir_ / "short.txt").string(), errors));
    EXPECT_NE(Joined(errors).find("short.txt:17: a map row must hold exactly 140 cells"), std::string::npos)
        << Joined(errors);
}

// A source cut short is refused at its last line, saying what should have come there.
TEST_F(CustomArea, ATruncatedSourceIsRefusedAtItsLastLine) {
    std::ifstream in(kAreas + "flat.txt");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    auto refusal = [&](const std::string& name, const std::string& cut) {
        std::ofstream(dir_ / name, std::ios::binary) << cut;
        std::vector<std::string> errors;
        EXPECT_FALSE(LoadCustomArea((dir_ / name).string(), errors));
        return Joined(errors);
    };
    // Lines 1 to 10: the header and five map rows.
    size_t at = 0;
    for (int line = 0; line < 10; ++line) at = text.find('\n', at) + 1;
    std::string errors = refusal("five.txt", text.substr(0, at));
    EXPECT_NE(errors.find("five.txt:10: the file ends after map row 5 of 12: expected map row 6"), std::string::npos)
        << errors;
    EXPECT_EQ(errors.find("0 rows"), std::string::npos) << errors;
    // Cut inside the sixth row: that row is short, and the file ends there.
    errors = refusal("mid.txt", text.substr(0, at + 30));
    EXPECT_NE(errors.find("mid.txt:11: a map row must hold exactly 140 cells"), std::string::npos) << errors;
    EXPECT_NE(errors.find("mid.txt:11: the file ends after map row 6 of 12: expected map row 7"), std::string::npos)
        << errors;
    // The header alone, and nothing at all.
    errors = refusal("header.txt", text.substr(0, text.find("\n|") + 1));
    EXPECT_NE(errors.find("header.txt:5: the file ends before the map: expected its 12 rows"), std::string::npos)
        << errors;
    errors = refusal("empty.txt", "");
    EXPECT_NE(errors.find("empty.txt: the file is empty"), std::string::npos) << errors;
    // One row too many is named at that row.
    const std::string last_row = text.substr(text.rfind("\n|") + 1);
    errors = refusal("thirteen.txt", text + last_row);
    EXPECT_NE(errors.find("thirteen.txt:18: a 13th map row"), std::string::npos) << errors;
}

// An editor's byte-order mark before the first line is no part of it; a NUL in a map row is
// named without cutting the message short.
TEST_F(CustomArea, AByteOrderMarkIsSkippedAndANulIsQuoted) {
    std::ifstream in(kAreas + "flat.txt");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    std::ofstream(dir_ / "bom.txt", std::ios::binary) << "\xEF\xBB\xBF" << text;
    std::vector<std::string> errors;
    EXPECT_TRUE(LoadCustomArea((dir_ / "bom.txt").string(), errors)) << Joined(errors);

    text[text.find("|   @") + 2] = '\0';
    std::ofstream(dir_ / "nul.txt", std::ios::binary) << text;
    errors.clear();
    EXPECT_FALSE(LoadCustomArea((dir_ / "nul.txt").string(), errors));
    EXPECT_NE(Joined(errors).find("nul.txt:16: column 1: unknown character '\\x00'"), std::string::npos)
        << Joined(errors);
}

TEST_F(CustomArea, ACompiledMapPlaysAsTheAreaItsNameEndsWith) {
    std::vector<std::string> errors;
    ASSERT_TRUE(LoadCustomArea(Compiled("pumkosahrim3.2"), errors)) << Joined(errors);
    EXPECT_EQ(custom_area.level, 3);
    EXPECT_EQ(custom_area.area, 2);
    ASSERT_TRUE(LoadCustomArea(Compiled("mine.map"), errors)) << Joined(errors);
    EXPECT_EQ(custom_area.level, 1);
    EXPECT_EQ(custom_area.area, 1);
    // Checked like a source: as a third area it lacks the level's magic item.
    EXPECT_FALSE(LoadCustomArea(Compiled("pumkosahrim2.3"), errors));
    EXPECT_NE(Joined(errors).find("pumkosahrim2.3: area 2.3: the level's magic item 102 is missing"), std::string::npos)
        << Joined(errors);
    // A compiled map one byte short is called short, not read as text.
    const std::string whole = Compiled("whole.map");
    std::string bytes;
    {
        std::ifstream in(whole, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    bytes.pop_back();
    std::ofstream(dir_ / "short.map", std::ios::binary) << bytes;
    errors.clear();
    EXPECT_FALSE(LoadCustomArea((dir_ / "short.map").string(), errors));
    EXPECT_NE(Joined(errors).find("short.map: a compiled map of 13447 bytes, not 13448"), std::string::npos)
        << Joined(errors);
}

// What a player may hand over instead of an area: each refused with a reason, nothing read past the
// limit, and a source that happens to be as long as a compiled map still read as a source.
TEST_F(CustomArea, FoldersDevicesAndHugeFilesAreRefusedAndAnySizeOfSourceIsText) {
    std::vector<std::string> errors;
    EXPECT_FALSE(LoadCustomArea(dir_.string(), errors));
    EXPECT_NE(Joined(errors).find(": is a folder, not an area file"), std::string::npos) << Joined(errors);

    errors.clear();
    EXPECT_FALSE(LoadCustomArea("/dev/zero", errors));
    EXPECT_NE(Joined(errors).find("/dev/zero: not a regular file"), std::string::npos) << Joined(errors);

    errors.clear();
    {
        std::ofstream big(dir_ / "big.txt", std::ios::binary);
        big << std::string(size_t(mapc::MAX_FILE_BYTES) + 1, '#');
    }
    EXPECT_FALSE(LoadCustomArea((dir_ / "big.txt").string(), errors));
    EXPECT_NE(Joined(errors).find("too large for an area"), std::string::npos) << Joined(errors);

    std::ifstream in(kAreas + "flat.txt");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    ASSERT_LT(text.size() + 2, size_t(mapc::BINARY_SIZE));
    text += "#" + std::string(size_t(mapc::BINARY_SIZE) - text.size() - 2, ' ') + "\n";
    ASSERT_EQ(text.size(), size_t(mapc::BINARY_SIZE));
    std::ofstream(dir_ / "exact.txt", std::ios::binary) << text;
    errors.clear();
    EXPECT_TRUE(LoadCustomArea((dir_ / "exact.txt").string(), errors)) << Joined(errors);
}

TEST_F(CustomArea, AGoodAreaIsPlayedFromTheStartToItsCauldronThenTheTitle) {
    std::vector<std::string> errors;
    ASSERT_TRUE(LoadCustomArea(kAreas + "flat.txt", errors)) << Joined(errors);
    Scenario sc("custom-area");
    int level = 0, area = 0, score_at_start = -1, score_at_title = -1, top_at_title = -1;
    // Skip the logo; the area's title card comes next, with no menu before it.
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return game.state == STATE_INTRO && TextWasDrawn("** Level: 1-2 **"); },
            [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return game.state == STATE_PLAY; },
            [&] {
                level = current_player().level;
                area = current_player().area;
                score_at_start = current_player().score;
                sc.Press(KEY_RIGHT, 5000);
            });
    sc.When([] { return game.state == STATE_TITLE; },
            [&] {
                score_at_title = player_slot[0].score;
                top_at_title = game.topscore;
            });
    EXPECT_EQ(sc.Run(12000), 0);
    EXPECT_FALSE(sc.TimedOut());
    EXPECT_EQ(level, 1);
    EXPECT_EQ(area, 2);
    std::vector<int> seen;
    for (int s : sc.states_seen)
        if (s != 0) seen.push_back(s);
    const std::vector<int> expected = {STATE_INTRO, STATE_PLAY, STATE_LEVELEND, STATE_TITLE};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(score_at_title - score_at_start, 1100); // the area's bonus: 1000 per level, 100 per area after the first
    // No play frame follows the area's end: the bonus still reaches the top score, and the file.
    EXPECT_EQ(top_at_title, score_at_title);
    EXPECT_EQ(flow_test::ReadScoreFile(sc.Folder()), score_at_title);
}

TEST_F(CustomArea, AnAreaOfALaterLevelPlaysWithThatLevelsWitchPace) {
    std::vector<std::string> errors;
    ASSERT_TRUE(LoadCustomArea(Compiled("pumkosahrim4.2"), errors)) << Joined(errors);
    Scenario sc("custom-pace");
    int pace = 0, level = 0;
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return game.state == STATE_INTRO; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return game.state == STATE_PLAY; },
            [&] {
                pace = game.fireballmaxtmr;
                level = current_player().level;
            });
    EXPECT_EQ(sc.Run(3000), 0);
    EXPECT_EQ(level, 4);
    EXPECT_EQ(pace, 400); // 700 at level 1, 100 frames sooner each level after
}
} // namespace
