// The top score: one signed 32-bit little-endian int in data/hiscore.dat, read at start-up and
// written at exit.
#include <cstdio>
#include <filesystem>

#include "game/game.h"

static const char* const kScoreFile = "data\\hiscore.dat";
static const char* const kScoreTemp = "data\\hiscore.tmp";

static void load_topscore() {
    game.topscore = 0;
    // Only a regular file is read: a folder or an unreadable file of that name costs the score, not
    // the game.
    if (PathKind(kScoreFile) != 1) return;
    TStream in = OpenRead(kScoreFile);
    game.topscore = in.ReadInt();
    in.Close();
}

// Written to a temporary file and renamed over the old one, so an interrupted write never leaves a
// damaged score behind.
static void save_topscore() {
    std::error_code ec;
    std::filesystem::create_directories(HostPath("data"), ec);
    const std::string temp = HostPath(kScoreTemp), final_path = HostPath(kScoreFile);
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "pumko: could not save the top score: cannot write %s\n", temp.c_str());
        return;
    }
    const uint32_t v = uint32_t(game.topscore);
    const unsigned char bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    bool ok = std::fwrite(bytes, 1, 4, f) == 4;
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), final_path.c_str()) != 0) {
        std::remove(temp.c_str());
        std::fprintf(stderr, "pumko: could not save the top score to %s\n", final_path.c_str());
    }
}

void topscore_file(int save) {
    if (save == 0)
        load_topscore();
    else
        save_topscore();
}
