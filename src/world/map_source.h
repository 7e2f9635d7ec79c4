// Level sources: the text form of an area, its compiled binary form and the facts every area must
// satisfy. The game reads a player's own area with it (--area); the map compiler (tools/mapc), its
// preview and reach modes and the tests share it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/map_cell.h"

namespace mapc {

constexpr int COLUMNS = MAP_COLUMNS;
constexpr int ROWS = MAP_ROWS;
constexpr int CELLS = MAP_CELLS;
constexpr int BINARY_SIZE = 8 + CELLS * 8;

// One area as the game reads it: base tile and object number of every cell, row-major.
struct Grid {
    int level = 0;
    int area = 0;
    std::array<int, CELLS> tile1{};
    std::array<int, CELLS> tile2{};
    // The source line of each map row, for messages; 0 when the grid came from a compiled map.
    std::array<int, ROWS> lines{};

    int& t1(int column, int row) { return tile1[row * COLUMNS + column]; }
    int& t2(int column, int row) { return tile2[row * COLUMNS + column]; }
};

// A source character stands for a base tile and an object number.
struct Glyph {
    int tile1 = 0;
    int tile2 = 0;
};

// The characters every source may use; a source can add its own with a "legend" line.
// The character '&' stands for the level's magic item and is resolved per level.
const std::vector<std::pair<char, Glyph>>& default_legend();

// Parses a source. `name` is used in messages. On failure returns false and appends messages.
bool parse_source(const std::string& text, const std::string& name, Grid& out, std::vector<std::string>& errors);

// Checks the facts every area must satisfy; appends one message per broken rule and cell.
// Returns true when the grid passes. With a file name, each message starts "NAME:LINE: " (the
// line of the cell's map row, when known) or "NAME: ".
bool check_grid(const Grid& g, std::vector<std::string>& errors, const std::string& name = "");

// The frames drawn over ground cells so that ground reads as a mass: grass or the lair's lip where it
// meets the air, rims where it ends at a side, a lip where it ends above a gap. Cells whose object
// number is taken keep it; a dressed grid dresses to itself. The frames are drawn only: none is an
// object number the game acts on over a ground tile.
enum {
    OVERLAY_LAIR_TOP = 24,   // the lair's lip over its rock
    OVERLAY_LAIR_FILL = 25,  // the lair's rock, hiding the lip of a lair ground cell under ground
    OVERLAY_TOP = 32,        // grass
    OVERLAY_TOP_LEFT = 33,   // grass, open on the left
    OVERLAY_TOP_RIGHT = 34,  // grass, open on the right
    OVERLAY_TOP_BOTH = 35,   // grass, open on both sides
    OVERLAY_LEFT = 47,       // a rim on the left
    OVERLAY_RIGHT = 48,      // a rim on the right
    OVERLAY_BOTH_SIDES = 55, // rims on both sides
    OVERLAY_BELOW = 56,      // a lip above a gap
    OVERLAY_LEDGE = 93       // grass over a lip: ground one row deep
};
void dress_ground(Grid& g);
// The overlay dress_ground gives a ground cell of base tile `tile1` with these neighbours open
// (not solid); 0 for none.
int ground_overlay(int tile1, bool open_above, bool open_below, bool open_left, bool open_right);

// The binary resource: 140, 12, then tile1 and tile2 of each cell, all 32-bit little-endian.
std::vector<uint8_t> encode(const Grid& g);
// Reads a binary resource back; false when it is not 13448 bytes with the 140 x 12 header.
bool decode(const std::vector<uint8_t>& bytes, Grid& out);

// Whether `bytes` begin as a compiled map does (140 and 12, little-endian): no text source can,
// so a file is told apart by its content, whatever its length.
bool looks_compiled(const std::string& bytes);

// The most a level file (source or compiled) may hold; sources are a few kilobytes.
constexpr int64_t MAX_FILE_BYTES = int64_t(1) << 20;
// Reads a level file a player hands over: only a regular file, and at most MAX_FILE_BYTES of it.
// False with `error` ("PATH: is a folder, not an area file") when it cannot be used.
bool read_level_file(const std::string& path, std::string& bytes, std::string& error);

// "pumkosahrim1.1" for level 1, area 1.
std::string resource_file_name(int level, int area);

} // namespace mapc
