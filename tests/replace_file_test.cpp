// Saving over what the player set up: a symbolic link is saved through to its file and stays a
// link, a file keeps its permissions, a read-only one is refused with a word saying so, and a
// leftover file or link where a temporary file might go is never written through. The top score
// and the settings save this way.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/replace_file.h"
#include "flow_fixture.h"
#include "main/settings_file.h"

namespace fs = std::filesystem;

namespace {
class Replacing : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("pumko_replace_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "mine");
        fs::create_directories(dir_ / "elsewhere");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string P(const std::string& name) const { return (dir_ / name).string(); }
    static void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    static std::string Get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static unsigned Mode(const std::string& path) {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 ? unsigned(st.st_mode & 07777) : 0u;
    }
    // Entries of a folder, links included.
    static int Entries(const std::string& folder) {
        return int(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    bool Save(const std::string& path, const std::string& text, std::string& reason) {
        return ReplaceFile(path, text.data(), text.size(), reason);
    }
    fs::path dir_;
};
} // namespace

TEST_F(Replacing, ALinkIsSavedThroughToItsFileAndStaysALink) {
    Put(P("elsewhere/real.conf"), "old");
    fs::create_symlink("../elsewhere/real.conf", P("mine/second"));
    fs::create_symlink("second", P("mine/settings.conf")); // a link to a link, both relative
    std::string reason = "stale";
    ASSERT_TRUE(Save(P("mine/settings.conf"), "new", reason)) << reason;
    EXPECT_EQ(reason, "");
    EXPECT_TRUE(fs::is_symlink(P("mine/settings.conf")));
    EXPECT_TRUE(fs::is_symlink(P("mine/second")));
    EXPECT_EQ(Get(P("elsewhere/real.conf")), "new");
    EXPECT_EQ(Entries(P("mine")), 2); // no temporary file left beside either
    EXPECT_EQ(Entries(P("elsewhere")), 1);

    // A link to nothing yet makes the file it names.
    fs::create_symlink(P("elsewhere/later.dat"), P("mine/hiscore.dat"));
    ASSERT_TRUE(Save(P("mine/hiscore.dat"), "1234", reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(P("mine/hiscore.dat")));
    EXPECT_EQ(Get(P("elsewhere/later.dat")), "1234");

    // A loop of links is refused.
    fs::create_symlink("loop2", P("mine/loop1"));
    fs::create_symlink("loop1", P("mine/loop2"));
    EXPECT_FALSE(Save(P("mine/loop1"), "x", reason));
    EXPECT_EQ(reason, std::strerror(ELOOP));
}

TEST_F(Replacing, AFileKeepsItsPermissionsAndANewOneGetsTheUsualOnes) {
    Put(P("mine/private"), "old");
    fs::permissions(P("mine/private"), fs::perms::owner_read | fs::perms::owner_write);
    Put(P("mine/shared"), "old");
    fs::permissions(P("mine/shared"), fs::perms(0664));
    std::string reason;
    ASSERT_TRUE(Save(P("mine/private"), "new", reason)) << reason;
    ASSERT_TRUE(Save(P("mine/shared"), "new", reason)) << reason;
    EXPECT_EQ(Mode(P("mine/private")), 0600u);
    EXPECT_EQ(Mode(P("mine/shared")), 0664u);
    EXPECT_EQ(Get(P("mine/private")), "new");

    const mode_t old_mask = ::umask(022);
    ASSERT_TRUE(Save(P("mine/fresh"), "new", reason)) << reason;
    ::umask(old_mask);
    EXPECT_EQ(Mode(P("mine/fresh")), 0644u);
}

TEST_F(Replacing, AReadOnlyFileOrOneThatIsNoFileIsRefused) {
    Put(P("mine/hiscore.dat"), "keep");
    fs::permissions(P("mine/hiscore.dat"), fs::perms(0444));
    std::string reason;
    EXPECT_FALSE(Save(P("mine/hiscore.dat"), "lost", reason));
    EXPECT_EQ(reason, "it is read-only");
    EXPECT_EQ(Get(P("mine/hiscore.dat")), "keep");
    EXPECT_EQ(Mode(P("mine/hiscore.dat")), 0444u);
    EXPECT_EQ(Entries(P("mine")), 1);

    // Through a link, the reason names the file itself.
    fs::create_symlink(P("mine/hiscore.dat"), P("elsewhere/link"));
    EXPECT_FALSE(Save(P("elsewhere/link"), "lost", reason));
    EXPECT_EQ(reason, P("mine/hiscore.dat") + " is read-only");

    fs::create_symlink("/dev/null", P("mine/device"));
    EXPECT_FALSE(Save(P("mine/device"), "x", reason));
    EXPECT_EQ(reason, "/dev/null is not a regular file");
    fs::create_directories(P("mine/folder"));
    EXPECT_FALSE(Save(P("mine/folder"), "x", reason));
    EXPECT_EQ(reason, "it is not a regular file");
}

// Leftovers of an older save (a temporary file's usual name taken by a link to someone else's
// file, or by a folder) change nothing: the temporary file has a fresh name of its own.
TEST_F(Replacing, ALeftoverTemporaryNameIsNeverWrittenThrough) {
    Put(P("elsewhere/victim"), "untouched");
    Put(P("mine/settings.conf"), "old");
    fs::create_symlink(P("elsewhere/victim"), P("mine/settings.conf.tmp"));
    fs::create_directories(P("mine/hiscore.tmp"));
    std::string reason;
    ASSERT_TRUE(Save(P("mine/settings.conf"), "new", reason)) << reason;
    EXPECT_EQ(Get(P("mine/settings.conf")), "new");
    EXPECT_FALSE(fs::is_symlink(P("mine/settings.conf")));
    EXPECT_EQ(Get(P("elsewhere/victim")), "untouched");
    EXPECT_TRUE(fs::is_symlink(P("mine/settings.conf.tmp")));
    EXPECT_EQ(Entries(P("mine")), 3);
}

TEST_F(Replacing, TheSettingsAreSavedThroughALinkAndARefusalIsTold) {
    const fs::path path = dir_ / "mine" / "settings.conf";
    Put(P("elsewhere/settings.conf"), "effects = on\n");
    fs::permissions(P("elsewhere/settings.conf"), fs::perms(0600));
    fs::create_symlink(P("elsewhere/settings.conf"), path);
    ::testing::internal::CaptureStderr();
    SettingsFile file = OpenSettingsFile(path);
    Settings now = file.loaded;
    now.effects = false;
    SaveSettingsFile(file, now);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(Get(P("elsewhere/settings.conf")), "effects = off\n");
    EXPECT_EQ(Mode(P("elsewhere/settings.conf")), 0600u);

    fs::permissions(P("elsewhere/settings.conf"), fs::perms(0444));
    now.effects = true;
    ::testing::internal::CaptureStderr();
    SaveSettingsFile(file, now);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "pumko: cannot keep the settings in " + path.string() + ": " +
                                                            P("elsewhere/settings.conf") + " is read-only\n");
    EXPECT_EQ(Get(P("elsewhere/settings.conf")), "effects = off\n");
}

namespace {
// Plays to a score of 5000 with data/hiscore.dat a link to a score of 100 in another folder, made
// with the given permissions. Returns what the game said on stderr.
std::string PlayWithALinkedScore(unsigned mode, int32_t& saved, bool& still_a_link, unsigned& mode_after) {
    using namespace flow_test;
    Scenario sc("linkedscore");
    const fs::path kept = sc.Folder() / "kept";
    fs::create_directories(kept);
    { std::ofstream(kept / "score", std::ios::binary).write("\x64\0\0\0", 4); }
    fs::permissions(kept / "score", fs::perms(mode));
    fs::create_symlink(kept / "score", sc.Folder() / "data" / "hiscore.dat");
    StartGame(sc);
    InPlay(sc, [] { hero().score = 5000; });
    sc.When([] { return true; }, [] {}); // one play frame raises the top score
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(sc.Run(), 0);
    const std::string said = ::testing::internal::GetCapturedStderr();
    saved = ReadScoreFile(sc.Folder());
    still_a_link = fs::is_symlink(sc.Folder() / "data" / "hiscore.dat");
    struct stat st;
    mode_after = ::stat((kept / "score").c_str(), &st) == 0 ? unsigned(st.st_mode & 0777) : 0u;
    return said;
}
} // namespace

TEST(ReplacingTopScore, TheTopScoreIsSavedThroughALinkAndARefusalIsTold) {
    int32_t saved = 0;
    bool link = false;
    unsigned mode = 0;
    PlayWithALinkedScore(0600, saved, link, mode);
    EXPECT_EQ(saved, 5000);
    EXPECT_TRUE(link);
    EXPECT_EQ(mode, 0600u);

    // Made read-only by the player: kept as it is, and the player is told which file and why.
    const std::string said = PlayWithALinkedScore(0444, saved, link, mode);
    EXPECT_EQ(saved, 100);
    EXPECT_TRUE(link);
    EXPECT_EQ(mode, 0444u);
    EXPECT_NE(said.find("could not save the top score to "), std::string::npos) << said;
    EXPECT_NE(said.find("kept/score is read-only"), std::string::npos) << said;
}
