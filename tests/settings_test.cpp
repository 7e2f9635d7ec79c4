// The settings file: every field read back as written, bad lines reported by number with the
// defaults used, clashing keys refused, the player's own lines kept when values change, and a
// file that cannot be written or read leaving the game playable with one message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "main/settings_file.h"

namespace fs = std::filesystem;

namespace {

Settings Parse(const std::string& text, std::vector<SettingsProblem>& problems) {
    problems.clear();
    return ParseSettings(text, problems);
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void Spill(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

// A folder of its own for each test, removed afterwards.
class SettingsFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pumko-settings-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

} // namespace

TEST(Settings, EveryFieldIsReadBackAsWritten) {
    std::vector<SettingsProblem> problems;
    EXPECT_EQ(Parse(SettingsFileText(Settings{}), problems), Settings{});
    EXPECT_TRUE(problems.empty());

    Settings s;
    s.keys[Action::Left] = 'A';
    s.keys[Action::Right] = 'D';
    s.keys[Action::Up] = 'W';
    s.keys[Action::Down] = 'S';
    s.keys[Action::Jump] = 'K';
    s.keys[Action::Fire] = 'J';
    s.keys[Action::Pause] = 'P';
    s.effects = false;
    s.music = false;
    s.fullscreen = false;
    s.scale = ScaleMode::Integer;
    s.renderer = RendererChoice::Soft;
    s.dead_zone = 0.4f;
    EXPECT_EQ(Parse(SettingsFileText(s), problems), s);
    EXPECT_TRUE(problems.empty());

    // Names and words in any case, spaces anywhere around them, the other spellings of a switch.
    s = Parse("  KEY.Jump=space\nkey.pause = F4\neffects = No\nmusic=0\nfullscreen = off\nscale = SMOOTH\n"
              "renderer = GL\npad.deadzone = 0\n",
              problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(s.keys[Action::Jump], 32);
    EXPECT_EQ(s.keys[Action::Pause], 115);
    EXPECT_FALSE(s.effects || s.music || s.fullscreen);
    EXPECT_EQ(s.scale, ScaleMode::Smooth);
    EXPECT_EQ(s.renderer, RendererChoice::OpenGl);
    EXPECT_EQ(s.dead_zone, 0.0f);
    s = Parse("effects = YES\nmusic = 1\nfullscreen = true\n", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(s.effects && s.music && s.fullscreen);
}

TEST(Settings, BadLinesAreReportedByNumberAndTheirDefaultsUsed) {
    std::vector<SettingsProblem> problems;
    const Settings s = Parse("# a comment\n"
                             "\n"
                             "effects = off\n"       // 3: fine
                             "music = loud\n"        // 4
                             "just some words\n"     // 5
                             "colour = green\n"      // 6
                             "key.jump = Ctrl\n"     // 7
                             "key.fire = F1\n"       // 8
                             "key.pause = Enter\n"   // 9
                             "scale = huge\n"        // 10
                             "pad.deadzone = 0.95\n" // 11
                             "pad.deadzone = -0.1\n" // 12
                             "pad.deadzone = 0.3x\n" // 13
                             "renderer = \n"         // 14
                             "key.left = A\n",       // 15: fine
                             problems);
    // Lines 12 and 13 also say that they set the dead zone again.
    const std::vector<int> lines = {4, 5, 6, 7, 8, 9, 10, 11, 12, 12, 13, 13, 14};
    ASSERT_EQ(problems.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(problems[i].line, lines[i]) << problems[i].text;
    EXPECT_EQ(problems[0].text, "music: 'loud' is not on or off; using on");
    EXPECT_EQ(problems[3].text, "key.jump: no key is called 'Ctrl'; using LeftControl");
    EXPECT_EQ(problems[4].text, "key.fire: F1 is kept for going back to the title; using LeftAlt");
    EXPECT_NE(problems[5].text.find("Alt+Enter"), std::string::npos);

    Settings expected;
    expected.effects = false;
    expected.keys[Action::Left] = 'A';
    EXPECT_EQ(s, expected);
}

TEST(Settings, AKeyAnotherActionHasIsRefusedNamingIt) {
    std::vector<SettingsProblem> problems;
    // Against a default: the chosen key is refused.
    Settings s = Parse("key.pause = LeftAlt\n", problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 1);
    EXPECT_EQ(problems[0].text, "key.pause: LeftAlt is already the key for fire; using Space");
    EXPECT_EQ(s.keys, KeyBindings{});

    // Swapping two keys is no clash.
    s = Parse("key.jump = LeftAlt\nkey.fire = LeftControl\n", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(s.keys[Action::Jump], 164);
    EXPECT_EQ(s.keys[Action::Fire], 162);

    // Two choices of one key: the later line is refused, and so is a choice that then clashes
    // with the default it gave back.
    s = Parse("key.jump = Z\nkey.fire = Z\nkey.pause = LeftAlt\n", problems);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_EQ(problems[0].text, "key.fire: Z is already the key for jump; using LeftAlt");
    EXPECT_EQ(problems[1].line, 3);
    EXPECT_EQ(problems[1].text, "key.pause: LeftAlt is already the key for fire; using Space");
    EXPECT_EQ(s.keys[Action::Jump], 'Z');
    EXPECT_EQ(s.keys[Action::Fire], 164);
    EXPECT_EQ(s.keys[Action::Pause], 32);

    // The last line for an action counts, and says so.
    s = Parse("key.jump = Z\nkey.jump = X\n", problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].text, "key.jump is set on line 1 too; this later line is the one used");
    EXPECT_EQ(s.keys[Action::Jump], 'X');
}

TEST(Settings, TheKeyMapSendsTheChosenKeysAsTheGamesCodes) {
    KeyBindings keys;
    keys[Action::Jump] = 'Z';
    keys[Action::Pause] = 162; // left Control now pauses
    const std::array<int, 256> map = KeyMapFor(keys);
    EXPECT_EQ(map['Z'], 162);
    EXPECT_EQ(map[162], 32);
    EXPECT_EQ(map[32], 0); // Space no longer pauses
    EXPECT_EQ(map[164], 164);
    EXPECT_EQ(map[112], 112);
    EXPECT_EQ(map['X'], 'X');
}

TEST(Settings, ChangedValuesReplaceTheirLinesAndEveryOtherLineStays) {
    const std::string text = "# my keys\n"
                             "key.jump = Z   \n"
                             "effects = on\n"
                             "something = odd\n"
                             "effects = yes\n" // the line that counts
                             "\n"
                             "# end\n";
    Settings before;
    before.keys[Action::Jump] = 'Z';
    Settings now = before;
    EXPECT_EQ(UpdateSettingsText(text, before, now), text);

    now.effects = false;
    now.music = false; // no line for it: added at the end
    EXPECT_EQ(UpdateSettingsText(text, before, now), "# my keys\n"
                                                     "key.jump = Z   \n"
                                                     "effects = on\n"
                                                     "something = odd\n"
                                                     "effects = off\n"
                                                     "\n"
                                                     "# end\n"
                                                     "music = off\n");
}

// A refused line kept as the player wrote it must not change what a later save reads back: here
// pause's refused Left would clash with right's new Left and undo the swap.
TEST_F(SettingsFolder, ASavedChangeReadsBackAsMadeWhateverRefusedLinesTheFileHolds) {
    const fs::path path = dir / "settings.conf";
    Spill(path, "key.pause = Left\n");
    testing::internal::CaptureStderr();
    SettingsFile file = OpenSettingsFile(path);
    Settings now = file.loaded;
    std::swap(now.keys[Action::Left], now.keys[Action::Right]);
    SaveSettingsFile(file, now);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("written anew"), std::string::npos);
    std::vector<SettingsProblem> problems;
    EXPECT_EQ(ParseSettings(Slurp(path), problems), now);
    EXPECT_TRUE(problems.empty());
}

TEST_F(SettingsFolder, AMissingFileIsWrittenWithTheDefaults) {
    const fs::path path = dir / "deeper" / "settings.conf";
    testing::internal::CaptureStderr();
    SettingsFile file = OpenSettingsFile(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(file.loaded, Settings{});
    ASSERT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ(Slurp(path), SettingsFileText(Settings{}));

    // Nothing changed: nothing written. A change: the file holds it, with no temporary left over.
    Spill(path, Slurp(path) + "# mine\n");
    SaveSettingsFile(file, file.loaded);
    EXPECT_NE(Slurp(path).find("# mine"), std::string::npos);
    Settings now = file.loaded;
    now.music = false;
    SaveSettingsFile(file, now);
    std::vector<SettingsProblem> problems;
    EXPECT_FALSE(ParseSettings(Slurp(path), problems).music);
    EXPECT_NE(Slurp(path).find("# mine"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(SettingsFolder, BadLinesGoToStderrWithTheFileAndLine) {
    const fs::path path = dir / "settings.conf";
    Spill(path, "effects = off\nmusic = loud\n");
    testing::internal::CaptureStderr();
    SettingsFile file = OpenSettingsFile(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "pumko: " + path.string() + ":2: music: 'loud' is not on or off; using on\n");
    EXPECT_FALSE(file.loaded.effects);
    EXPECT_TRUE(file.loaded.music);
    // The player's bad line stays until the game itself changes that value.
    Settings now = file.loaded;
    now.effects = true;
    SaveSettingsFile(file, now);
    EXPECT_EQ(Slurp(path), "effects = on\nmusic = loud\n");
}

TEST_F(SettingsFolder, AFolderThatCannotBeWrittenLeavesTheGamePlayableWithOneMessage) {
    Spill(dir / "file", "not a folder");
    const fs::path path = dir / "file" / "pumko" / "settings.conf";
    testing::internal::CaptureStderr();
    SettingsFile file = OpenSettingsFile(path);
    Settings now = file.loaded;
    now.effects = false;
    SaveSettingsFile(file, now);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(file.loaded, Settings{});
    EXPECT_NE(err.find("cannot keep the settings"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(SettingsFolder, AFileThatCannotBeReadIsNeverOverwritten) {
    const fs::path path = dir / "settings.conf";
    fs::create_directories(path); // a folder where the file should be
    testing::internal::CaptureStderr();
    SettingsFile file = OpenSettingsFile(path);
    Settings now = file.loaded;
    now.music = false;
    SaveSettingsFile(file, now);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("cannot read the settings in " + path.string()), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_TRUE(fs::is_directory(path));
}

TEST(Settings, TheFileLivesInTheUsersConfigFolder) {
    const char* old_xdg = std::getenv("XDG_CONFIG_HOME");
    const char* old_home = std::getenv("HOME");
    const std::string xdg = old_xdg ? old_xdg : "", home = old_home ? old_home : "";
    setenv("HOME", "/home/player", 1);
    setenv("XDG_CONFIG_HOME", "/elsewhere/config", 1);
    EXPECT_EQ(PlayerSettingsPath(), fs::path("/elsewhere/config/pumko/settings.conf"));
    setenv("XDG_CONFIG_HOME", "relative/config", 1); // not absolute: ignored
    EXPECT_EQ(PlayerSettingsPath(), fs::path("/home/player/.config/pumko/settings.conf"));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(PlayerSettingsPath(), fs::path("/home/player/.config/pumko/settings.conf"));
    unsetenv("HOME");
    EXPECT_TRUE(PlayerSettingsPath().empty());
    setenv("HOME", "rel/home", 1); // a relative HOME is as good as none
    EXPECT_TRUE(PlayerSettingsPath().empty());
    unsetenv("HOME");
    if (old_xdg) setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    if (old_home) setenv("HOME", home.c_str(), 1);
}

TEST(Settings, TheReadmesExampleIsAGoodFile) {
    const std::string readme = Slurp(fs::path(PUMKO_SOURCE_DIR) / "README.md");
    const size_t start = readme.find("```\n# Z jumps");
    ASSERT_NE(start, std::string::npos);
    const size_t end = readme.find("```", start + 3);
    std::vector<SettingsProblem> problems;
    const Settings s = Parse(readme.substr(start + 4, end - start - 4), problems);
    EXPECT_TRUE(problems.empty()) << problems[0].line << ": " << problems[0].text;
    EXPECT_EQ(s.keys[Action::Jump], 'Z');
    EXPECT_FALSE(s.music);
}

// Files as editors and accidents make them: a byte-order mark at the start is no part of the
// first line, a NUL or a megabyte line is quoted in part and safely, and a setting given twice
// says which line counts (the last, and its default when the last is bad).
TEST(Settings, HostileTextIsReadAndQuotedSafely) {
    std::vector<SettingsProblem> problems;
    Settings s = Parse("\xEF\xBB\xBFmusic = off\n", problems);
    EXPECT_TRUE(problems.empty()) << problems[0].text;
    EXPECT_FALSE(s.music);
    // The mark stays where the player's editor put it, and the first line still changes.
    Settings louder = s;
    louder.music = true;
    EXPECT_EQ(UpdateSettingsText("\xEF\xBB\xBFmusic = off\n", s, louder), "\xEF\xBB\xBFmusic = on\n");

    Parse(std::string("scale = sh\0arp\n", 15), problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].text, "scale: 'sh\\x00arp' is not sharp, integer or smooth; using sharp");

    Parse(std::string(100000, 'x') + "\nscale = " + std::string(5000, 'y') + "\n", problems);
    ASSERT_EQ(problems.size(), 2u);
    for (const SettingsProblem& p : problems) {
        EXPECT_LT(p.text.size(), 160u) << p.text.substr(0, 200);
        EXPECT_NE(p.text.find(std::string(80, p.line == 1 ? 'x' : 'y') + "..."), std::string::npos);
    }
}

TEST(Settings, ASettingGivenTwiceSaysTheLastLineCounts) {
    std::vector<SettingsProblem> problems;
    Settings s = Parse("scale = smooth\n# a comment\nscale = integer\n", problems);
    EXPECT_EQ(s.scale, ScaleMode::Integer);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 3);
    EXPECT_EQ(problems[0].text, "scale is set on line 1 too; this later line is the one used");

    // A bad last line gives the default, as its message says, not the earlier line's value.
    s = Parse("music = off\nmusic = banana\n", problems);
    EXPECT_TRUE(s.music);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[1].text.find("using on"), std::string::npos) << problems[1].text;
    s = Parse("key.jump = Z\nkey.jump = Nothing\n", problems);
    EXPECT_EQ(s.keys[Action::Jump], GameCode(Action::Jump));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].text.find("line 1 too"), std::string::npos) << problems[0].text;
    EXPECT_NE(problems[1].text.find("using LeftControl"), std::string::npos) << problems[1].text;
}
