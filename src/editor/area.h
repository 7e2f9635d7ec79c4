// The area being edited: its 140 x 12 cells as the characters of its source, its own legend, its
// level and area, and every other line of the source as it was read, so that writing it back keeps
// the header, the ruler lines and the legend where they were. A plain value: the undo history
// keeps whole copies.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "world/map_source.h"

namespace mapc {
inline bool operator==(const Glyph& a, const Glyph& b) { return a.tile1 == b.tile1 && a.tile2 == b.tile2; }
} // namespace mapc

namespace editor {

constexpr int COLUMNS = mapc::COLUMNS;
constexpr int ROWS = mapc::ROWS;

struct Area {
    int level = 1;
    int area = 1;
    std::array<std::string, ROWS> rows; // 140 characters each, top row first

    // The source's layout: every line as read (without its '\n'); the map rows' lines are
    // rewritten from `rows` (the text after the closing '|' kept), the rest written back as read.
    std::vector<std::string> lines;
    std::array<int, ROWS> row_line{};       // index in `lines` of each map row
    std::array<std::string, ROWS> row_rest; // what followed a row's closing '|' ("\r", spaces)
    int area_line = -1;                     // index in `lines` of the "area L.A" line
    bool final_newline = true;
    // The file's own legend entries, in the order of their lines (a later one wins).
    std::vector<std::pair<char, mapc::Glyph>> legend;

    bool operator==(const Area&) const = default;
};

// Reads a source. The messages are the game's own (mapc::parse_source): a file the game cannot
// read cannot be edited either. A file that parses but breaks the area rules is read: its faults
// are shown while it is edited.
bool ParseArea(const std::string& text, const std::string& name, Area& out, std::vector<std::string>& errors);

// The source text: the lines as read, with the map rows and the area line as they are now.
std::string WriteArea(const Area& a);

// A new area: ground along the bottom row, the start in column 2 and the cauldron in
// column 134, both on row 10, under a header and the column rulers of the game's own sources.
Area BlankArea(int level, int area);

// The tile and object a character stands for in this area ('&' is the level's magic item).
mapc::Glyph GlyphOf(const Area& a, char ch);
// The character that stands for a tile and object: a character of the default table or the file's
// legend when one does, else a new legend line with a character of its own. '\0' when no
// character is left for a new entry.
char CharFor(Area& a, const mapc::Glyph& g);

// Sets the level and the area, rewriting the "area" line.
void SetLevelArea(Area& a, int level, int area);

// The cells as the game reads them, with each map row's source line for messages.
mapc::Grid ToGrid(const Area& a);

inline bool SameGlyph(const mapc::Glyph& x, const mapc::Glyph& y) { return x.tile1 == y.tile1 && x.tile2 == y.tile2; }

} // namespace editor
