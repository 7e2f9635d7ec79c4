// The area being edited: reading a source into cells and layout, and writing it back.
#include "editor/area.h"

#include <sstream>

#include "game/kinds.h"

namespace editor {

namespace {

constexpr char LEVEL_ITEM_CHAR = '&';
// Characters a new legend entry may take: none of the default table's, none that the format
// reserves ('|', '&'), none that a reader could mistake for another (quotes, spaces).
constexpr const char* SPARE_CHARS = "TDEFNORUVZdefinryz04{}[]()/$;_.`\\";

const mapc::Glyph* DefaultGlyph(char ch) {
    for (const auto& entry : mapc::default_legend())
        if (entry.first == ch) return &entry.second;
    return nullptr;
}

const mapc::Glyph* OwnGlyph(const Area& a, char ch) {
    for (auto it = a.legend.rbegin(); it != a.legend.rend(); ++it)
        if (it->first == ch) return &it->second;
    return nullptr;
}

bool Defined(const Area& a, char ch) {
    return ch == LEVEL_ITEM_CHAR || OwnGlyph(a, ch) != nullptr || DefaultGlyph(ch) != nullptr;
}

// A legend word: a number, or a character of the legend so far in quotes.
bool LegendValue(const Area& a, const std::string& word, bool object, int& out) {
    if (word.size() == 3 && word[0] == '\'' && word[2] == '\'') {
        if (word[1] == LEVEL_ITEM_CHAR || !Defined(a, word[1])) return false;
        const mapc::Glyph g = GlyphOf(a, word[1]);
        out = object ? g.tile2 : g.tile1;
        return true;
    }
    std::istringstream in(word);
    return (in >> out) && in.peek() == std::char_traits<char>::eof();
}

std::string Ruler(bool tens) {
    std::string s = "#";
    for (int c = 0; c < COLUMNS; ++c) s += tens ? (c % 10 == 0 ? char('0' + c / 10 % 10) : ' ') : char('0' + c % 10);
    return s;
}

std::string AreaLine(int level, int area) { return "area " + std::to_string(level) + "." + std::to_string(area); }

} // namespace

bool ParseArea(const std::string& text, const std::string& name, Area& out, std::vector<std::string>& errors) {
    mapc::Grid grid;
    if (!mapc::parse_source(text, name, grid, errors)) return false;
    out = Area{};
    out.level = grid.level;
    out.area = grid.area;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) out.lines.push_back(line);
    out.final_newline = text.empty() || text.back() == '\n';
    int row = 0;
    for (int i = 0; i < int(out.lines.size()); ++i) {
        const std::string& l = out.lines[i];
        if (!l.empty() && l[0] == '|') {
            out.row_line[row] = i;
            out.rows[row] = l.substr(1, COLUMNS);
            out.row_rest[row] = l.substr(COLUMNS + 2);
            ++row;
            continue;
        }
        std::istringstream words(l);
        std::string word;
        if (!(words >> word)) continue;
        if (word == "area") {
            out.area_line = i;
        } else if (word == "legend") {
            std::string glyph, tile, object;
            mapc::Glyph g;
            words >> glyph >> tile >> object;
            LegendValue(out, tile, false, g.tile1);
            LegendValue(out, object, true, g.tile2);
            if (glyph.size() == 3) glyph = glyph.substr(1, 1);
            out.legend.emplace_back(glyph[0], g);
        }
    }
    return true;
}

std::string WriteArea(const Area& a) {
    std::vector<std::string> lines = a.lines;
    for (int r = 0; r < ROWS; ++r) lines[a.row_line[r]] = "|" + a.rows[r] + "|" + a.row_rest[r];
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || a.final_newline) text += '\n';
    }
    return text;
}

Area BlankArea(int level, int area) {
    Area a;
    a.level = level;
    a.area = area;
    const bool third = area == 3;
    a.lines = {"# Area " + std::to_string(level) + "." + std::to_string(area) + ", made with pumko --edit",
               AreaLine(level, area), "#", Ruler(true), Ruler(false)};
    a.area_line = 1;
    for (int r = 0; r < ROWS; ++r) {
        a.row_line[r] = int(a.lines.size());
        a.lines.emplace_back();
        a.rows[r] = std::string(COLUMNS, r == ROWS - 1 ? (third ? 'X' : '#') : ' ');
    }
    a.rows[10][2] = '@';
    a.rows[10][134] = 'C';
    a.rows[10][70] = third ? '&' : ' ';
    return a;
}

mapc::Glyph GlyphOf(const Area& a, char ch) {
    if (ch == LEVEL_ITEM_CHAR) return {TILE_EMPTY, level_item_object(a.level)};
    if (const mapc::Glyph* g = OwnGlyph(a, ch)) return *g;
    if (const mapc::Glyph* g = DefaultGlyph(ch)) return *g;
    return {};
}

char CharFor(Area& a, const mapc::Glyph& g) {
    if (SameGlyph(g, GlyphOf(a, LEVEL_ITEM_CHAR))) return LEVEL_ITEM_CHAR;
    for (const auto& entry : mapc::default_legend())
        if (SameGlyph(GlyphOf(a, entry.first), g)) return entry.first;
    for (const auto& entry : a.legend)
        if (SameGlyph(GlyphOf(a, entry.first), g)) return entry.first;
    for (const char* p = SPARE_CHARS; *p; ++p) {
        if (Defined(a, *p)) continue;
        // The new line goes after the last legend line, else after the area line.
        int at = a.area_line + 1;
        for (int i = 0; i < int(a.lines.size()); ++i) {
            std::istringstream words(a.lines[i]);
            std::string word;
            if ((words >> word) && word == "legend") at = i + 1;
        }
        a.lines.insert(a.lines.begin() + at,
                       "legend " + std::string(1, *p) + " " + std::to_string(g.tile1) + " " + std::to_string(g.tile2));
        for (int& line : a.row_line)
            if (line >= at) ++line;
        if (a.area_line >= at) ++a.area_line;
        a.legend.emplace_back(*p, g);
        return *p;
    }
    return '\0';
}

void SetLevelArea(Area& a, int level, int area) {
    if (a.level == level && a.area == area) return;
    a.level = level;
    a.area = area;
    if (a.area_line < 0) {
        a.lines.insert(a.lines.begin(), AreaLine(level, area));
        a.area_line = 0;
        for (int& line : a.row_line) ++line;
    } else {
        a.lines[a.area_line] = AreaLine(level, area);
    }
}

mapc::Grid ToGrid(const Area& a) {
    mapc::Grid g;
    g.level = a.level;
    g.area = a.area;
    for (int r = 0; r < ROWS; ++r) {
        g.lines[r] = a.row_line[r] + 1;
        for (int c = 0; c < COLUMNS; ++c) {
            const mapc::Glyph glyph = GlyphOf(a, a.rows[r][c]);
            g.t1(c, r) = glyph.tile1;
            g.t2(c, r) = glyph.tile2;
        }
    }
    return g;
}

} // namespace editor
