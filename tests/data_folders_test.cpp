// The data-folder rule: the build folder's way, an installed layout, --data-dir, the player's folder
// from XDG_DATA_HOME or HOME, which copy of a file answers, missing and unwritable player folders,
// and an old top score carried over. The top score goes through the game's own load and save.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "engine/platform/data_folders.h"
#include "engine/stream.h"
#include "game/game.h"
#include "flow/topscore.h"

namespace fs = std::filesystem;

namespace {

class DataFoldersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        old_cwd_ = fs::current_path();
        root_ = fs::temp_directory_path() / ("pumko_folders_" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "work");
        fs::current_path(root_ / "work");
    }
    void TearDown() override {
        SetDataFolders({});
        fs::current_path(old_cwd_);
        fs::remove_all(root_);
    }
    // An installed tree: ROOT/usr/bin and ROOT/usr/share/games/pumko holding one sound.
    DataFolderHost Installed(const char* xdg, const char* home) {
        fs::create_directories(root_ / "usr/bin");
        fs::create_directories(root_ / "usr/share/games/pumko");
        Put(root_ / "usr/share/games/pumko/jump.ogg", "OggS");
        exe_dir_ = (root_ / "usr/bin").string();
        return {"", exe_dir_, "../share/games/pumko", xdg, home};
    }
    static void Put(const fs::path& p, const std::string& bytes) {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    static std::string Get(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::string Score(int32_t v) {
        const uint32_t u = uint32_t(v);
        return std::string{char(u), char(u >> 8), char(u >> 16), char(u >> 24)};
    }
    fs::path old_cwd_, root_;
    std::string exe_dir_;
    std::string note_;
};

TEST_F(DataFoldersTest, OutsideAnInstalledLayoutTheWorkingFolderServesEverything) {
    fs::create_directories(root_ / "build");
    const DataFolders f =
        ChooseDataFolders({"", (root_ / "build").string(), "../share/games/pumko", "/x", "/h"}, note_);
    EXPECT_EQ(f, DataFolders{});
    SetDataFolders(f);
    EXPECT_EQ(HostPath("data\\hiscore.dat"), "data/hiscore.dat");
    EXPECT_EQ(HostPath("data\\tilesong.ogg"), "data/tilesong.ogg");
    EXPECT_EQ(HostPath("data"), "data");
    EXPECT_TRUE(note_.empty());
}

TEST_F(DataFoldersTest, InstalledReadsShippedDataBesideTheProgramAndKeepsPlayerFilesPerUser) {
    const std::string xdg = (root_ / "xdg").string(), home = (root_ / "home").string();
    DataFolders f = ChooseDataFolders(Installed(xdg.c_str(), home.c_str()), note_);
    EXPECT_TRUE(f.installed);
    EXPECT_EQ(f.game, (root_ / "usr/share/games/pumko").string());
    EXPECT_EQ(f.user, xdg + "/pumko");
    // No XDG_DATA_HOME, or a relative one: the fallback under HOME.
    EXPECT_EQ(ChooseDataFolders(Installed(nullptr, home.c_str()), note_).user, home + "/.local/share/pumko");
    EXPECT_EQ(ChooseDataFolders(Installed("rel/xdg", home.c_str()), note_).user, home + "/.local/share/pumko");
    EXPECT_TRUE(note_.empty());

    SetDataFolders(f);
    EXPECT_EQ(HostPath("data\\jump.ogg"), f.game + "/jump.ogg");
    EXPECT_EQ(PathKind("data\\jump.ogg"), 1);
    // What exists nowhere is made in the player's folder; so is the folder itself.
    EXPECT_EQ(HostPath("data\\hiscore.dat"), f.user + "/hiscore.dat");
    EXPECT_EQ(HostPath("data"), f.user);
    // The player's own copy of a file comes first.
    Put(f.user + "/jump.ogg", "mine");
    EXPECT_EQ(HostPath("data\\jump.ogg"), f.user + "/jump.ogg");
    // Only the data folder is redirected.
    EXPECT_EQ(HostPath("database\\x"), "database/x");
    EXPECT_EQ(HostPath("graphx\\x.png"), "graphx/x.png");
}

TEST_F(DataFoldersTest, DataDirServesBothForOneRun) {
    const std::string xdg = (root_ / "xdg").string();
    DataFolderHost host = Installed(xdg.c_str(), nullptr);
    host.data_dir = (root_ / "mine").string();
    const DataFolders f = ChooseDataFolders(host, note_);
    EXPECT_EQ(f.game, host.data_dir);
    EXPECT_EQ(f.user, host.data_dir);
    // Not installed either.
    host.exe_dir = (root_ / "nowhere").string();
    EXPECT_EQ(ChooseDataFolders(host, note_).user, host.data_dir);
}

TEST_F(DataFoldersTest, NoHomeAtAllKeepsTheScoreInTheWorkingFolderWithOneNote) {
    const DataFolders f = ChooseDataFolders(Installed(nullptr, nullptr), note_);
    EXPECT_EQ(f.user, "data");
    EXPECT_NE(note_.find("HOME"), std::string::npos);
    EXPECT_EQ(ChooseDataFolders(Installed("", ""), note_).user, "data");
    // A relative HOME is no home either (the settings file's rule too): not a folder under
    // whichever folder the game is started from.
    EXPECT_EQ(ChooseDataFolders(Installed(nullptr, "rel/home"), note_).user, "data");
    EXPECT_NE(note_.find("absolute"), std::string::npos) << note_;
}

TEST_F(DataFoldersTest, TopScoreIsSavedInAPlayerFolderMadeOnFirstSaveAndReadBack) {
    const std::string xdg = (root_ / "xdg").string();
    const DataFolders f = ChooseDataFolders(Installed(xdg.c_str(), nullptr), note_);
    SetDataFolders(f);
    game.topscore = 0;
    topscore_file(0);
    EXPECT_EQ(game.topscore, 0);
    EXPECT_FALSE(fs::exists(f.user)); // nothing made before the first save
    game.topscore = 123456;
    topscore_file(1);
    EXPECT_EQ(Get(f.user + "/hiscore.dat"), Score(123456));
    EXPECT_FALSE(fs::exists("data")); // never in the working folder
    EXPECT_FALSE(fs::exists(f.game + "/hiscore.dat"));
    game.topscore = 0;
    topscore_file(0);
    EXPECT_EQ(game.topscore, 123456);
}

TEST_F(DataFoldersTest, AnUnwritablePlayerFolderCostsOnlyThisRunsSaveWithOneMessage) {
    // A plain file where a folder should be: nothing can be made below it, even by root.
    Put(root_ / "xdg", "not a folder");
    const std::string xdg = (root_ / "xdg").string();
    SetDataFolders(ChooseDataFolders(Installed(xdg.c_str(), nullptr), note_));
    topscore_file(0);
    EXPECT_EQ(game.topscore, 0);
    EXPECT_EQ(PathKind("data\\jump.ogg"), 1); // the game's data is still there
    game.topscore = 500;
    testing::internal::CaptureStderr();
    topscore_file(1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("top score"), std::string::npos) << err;
    EXPECT_EQ(Get(root_ / "xdg"), "not a folder");
}

TEST_F(DataFoldersTest, AReadOnlyPlayerScoreIsReadAndLeftWhole) {
    // The player's folder exists but its score is read-only: the score is still read, and the
    // save leaves it as it was.
    const std::string xdg = (root_ / "xdg").string();
    const DataFolders f = ChooseDataFolders(Installed(xdg.c_str(), nullptr), note_);
    Put(f.user + "/hiscore.dat", Score(777));
    fs::permissions(f.user + "/hiscore.dat", fs::perms(0444));
    SetDataFolders(f);
    topscore_file(0);
    EXPECT_EQ(game.topscore, 777);
    game.topscore = 900;
    testing::internal::CaptureStderr();
    topscore_file(1);
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
    EXPECT_EQ(Get(f.user + "/hiscore.dat"), Score(777));
}

TEST_F(DataFoldersTest, AnOldTopScoreIsCarriedOverOnceAndNeverLost) {
    Put("data/hiscore.dat", Score(4242));
    Put("data/besttimes.txt", "area 1-1 1234\n");
    const std::string xdg = (root_ / "xdg").string();
    const DataFolders f = ChooseDataFolders(Installed(xdg.c_str(), nullptr), note_);
    EXPECT_TRUE(CarryOverPlayerFiles(f, "data"));
    EXPECT_EQ(Get(f.user + "/hiscore.dat"), Score(4242));
    EXPECT_EQ(Get(f.user + "/besttimes.txt"), "area 1-1 1234\n"); // the best times go with it
    EXPECT_EQ(Get("data/hiscore.dat"), Score(4242)); // the old file stays
    EXPECT_FALSE(fs::exists(f.user + "/hiscore.dat.part"));
    SetDataFolders(f);
    topscore_file(0);
    EXPECT_EQ(game.topscore, 4242);

    // The player's own score is never replaced by an old one.
    Put(f.user + "/hiscore.dat", Score(9000));
    EXPECT_FALSE(CarryOverPlayerFiles(f, "data"));
    EXPECT_EQ(Get(f.user + "/hiscore.dat"), Score(9000));
    // Nothing is carried over for a build-folder run or with --data-dir.
    fs::remove(f.user + "/hiscore.dat");
    EXPECT_FALSE(CarryOverPlayerFiles(DataFolders{}, "data"));
    EXPECT_FALSE(CarryOverPlayerFiles({f.user, f.user, false}, "data"));
    EXPECT_FALSE(fs::exists(f.user + "/hiscore.dat"));
}

// The top score is four bytes, least significant first, every one of them read and written.
TEST_F(DataFoldersTest, TheTopScoreKeepsAllFourBytes) {
    const int32_t saved_top = game.topscore;
    Put("data/hiscore.dat", std::string{'\x78', '\x56', '\x34', '\x12'});
    topscore_file(0);
    EXPECT_EQ(game.topscore, 0x12345678);
    game.topscore = -2;
    topscore_file(1);
    EXPECT_EQ(Get("data/hiscore.dat"), Score(-2));
    game.topscore = saved_top;
}

} // namespace
