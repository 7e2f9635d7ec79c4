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
