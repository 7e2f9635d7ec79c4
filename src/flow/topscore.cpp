// The top score: one signed 32-bit little-endian int in data/hiscore.dat, read at start-up and
// written at exit.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "engine/replace_file.h"
#include "game/game.h"
#include "flow/topscore.h"

static const char* const kScoreFile = "data\\hiscore.dat";

// Set when a score file exists but could not be read: it may hold a better score than this run
// knows of, so it is not overwritten at exit.
static bool g_unreadable = false;
// Set once the file has been read: a score never read is never written (a program ended before
// start-up read it would put 0 over the player's best).
static bool g_read = false;

static void load_topscore() {
    game.topscore = 0;
    g_unreadable = false;
    g_read = true;
    // Only a regular file is read: a folder of that name costs the score, not the game.
    if (PathKind(kScoreFile) != 1) return;
    const std::string path = HostPath(kScoreFile);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    unsigned char bytes[4] = {0, 0, 0, 0}; // a short file reads its missing bytes as 0
    if (f != nullptr) {
        (void)std::fread(bytes, 1, 4, f);
        if (std::ferror(f)) errno = EIO;
    }
    if (f == nullptr || std::ferror(f)) {
        std::fprintf(stderr, "pumko: cannot read the top score in %s (%s); it will be left as it is\n", path.c_str(),
                     std::strerror(errno));
        g_unreadable = true;
    } else {
        game.topscore =
            int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
    }
    if (f != nullptr) std::fclose(f);
}

// Written to a temporary file, put on the disk and renamed over the old one, so an interrupted
// write or a crash never leaves a damaged score behind.
static void save_topscore() {
    if (!g_read) return;
    const std::string final_path = HostPath(kScoreFile);
    if (g_unreadable) {
        std::fprintf(stderr, "pumko: the top score was not saved: %s could not be read and is left as it is\n",
                     final_path.c_str());
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(final_path).parent_path(), ec);
    const uint32_t v = uint32_t(game.topscore);
    const unsigned char bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::string reason;
    if (!ReplaceFile(final_path, bytes, 4, reason))
        std::fprintf(stderr, "pumko: could not save the top score to %s (%s)\n", final_path.c_str(), reason.c_str());
    else if (!reason.empty())
        std::fprintf(stderr, "pumko: the top score was saved, but %s\n", reason.c_str());
}

void topscore_file(int save) {
    if (save == 0)
        load_topscore();
    else
        save_topscore();
}
