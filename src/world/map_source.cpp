// Level sources: parsing, the rules every area must satisfy, and the binary resource.
#include "world/map_source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "engine/player_text.h"
#include "game/kinds.h"

namespace mapc {

namespace {

constexpr char LEVEL_ITEM_GLYPH = '&';

std::string where(const Grid& g, int column, int row) {
    std::ostringstream s;
    s << "area " << g.level << "." << g.area << ", cell (column " << column << ", row " << row << "): ";
    return s.str();
}

bool is_third_area_object(int t2) {
    return t2 == OBJECT_FIRE_BAR_LEFT || t2 == OBJECT_FIRE_BAR_RIGHT || t2 == OBJECT_LEAPER;
}
// The objects that make a cell of base tile 0 to 3 a hidden block, and their default characters.
bool is_hidden_content(int t2) {
    return t2 == OBJECT_MULTI_MAGIC || t2 == OBJECT_POWER_UP || t2 == OBJECT_EXTRA_LIFE || t2 == OBJECT_HIDDEN_BLOCK ||
           t2 == OBJECT_HIDDEN_INVINCIBILITY;
}
std::string hidden_glyph(int t2) {
    for (const auto& [glyph, cell] : default_legend())
        if (cell.tile1 == TILE_EMPTY && cell.tile2 == t2) return std::string(1, glyph);
    return "h";
}
bool is_level_item(int t2) { return t2 >= OBJECT_LEVEL_ITEM && t2 <= level_item_object(LEVEL_ITEMS) + 1; }

const std::set<int>& known_tile1() {
    static const std::set<int> s = {
        TILE_EMPTY,  TILE_BUSH,      TILE_FENCE,       TILE_TOMBSTONE,  TILE_BRICK, TILE_BONUS,  TILE_USED,
        TILE_GROUND, TILE_PLATFORM,  TILE_WINDOW,      TILE_DEAD_TREE,  TILE_CROSS, TILE_CANDLE, TILE_GLOWING_TOMBSTONE,
        TILE_TORCH,  TILE_WALL_FILL, TILE_LAIR_GROUND, TILE_LAIR_STONE, TILE_WATER, TILE_LAVA};
    return s;
}

// The objects of the legend, the level items, and the tile frames a cell may draw over its base
// tile (drawn only).
const std::set<int>& known_tile2() {
    static const std::set<int> s = [] {
        std::set<int> known = {TILE_BRICK,     TILE_USED,  TILE_GROUND, TILE_WINDOW,
                               TILE_DEAD_TREE, TILE_CROSS, TILE_CANDLE, TILE_GLOWING_TOMBSTONE};
        known.insert({OVERLAY_LAIR_TOP, OVERLAY_LAIR_FILL, OVERLAY_TOP, OVERLAY_TOP_LEFT, OVERLAY_TOP_RIGHT,
                      OVERLAY_TOP_BOTH, OVERLAY_LEFT, OVERLAY_RIGHT, OVERLAY_BOTH_SIDES, OVERLAY_BELOW, OVERLAY_LEDGE});
        for (const auto& entry : default_legend()) known.insert(entry.second.tile2);
        for (int level = 1; level <= LEVEL_ITEMS; ++level) known.insert(level_item_object(level));
        return known;
    }();
    return s;
}

void put_le32(std::vector<uint8_t>& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int k = 0; k < 4; ++k) out.push_back(uint8_t(u >> (8 * k)));
}

// A legend entry's tile or object: a number, or a quoted character of the legend so far standing
// for its tile (or its object).
bool legend_value(const std::map<char, Glyph>& legend, const std::string& word, bool object, int& out) {
    if (word.size() == 3 && word[0] == '\'' && word[2] == '\'') {
        const auto it = legend.find(word[1]);
        if (it == legend.end()) return false;
        out = object ? it->second.tile2 : it->second.tile1;
        return true;
    }
    std::istringstream in(word);
    return (in >> out) && in.peek() == std::char_traits<char>::eof();
}

int32_t get_le32(const std::vector<uint8_t>& in, size_t at) {
    uint32_t u = 0;
    for (int k = 0; k < 4; ++k) u |= uint32_t(in[at + k]) << (8 * k);
    return static_cast<int32_t>(u);
}

} // namespace

const std::vector<std::pair<char, Glyph>>& default_legend() {
    static const std::vector<std::pair<char, Glyph>> legend = {
        // terrain
        {' ', {TILE_EMPTY, OBJECT_NONE}},
        {'#', {TILE_GROUND, OBJECT_NONE}},
        {'=', {TILE_PLATFORM, OBJECT_NONE}},
        {'X', {TILE_LAIR_GROUND, OBJECT_NONE}},
        {'Y', {TILE_LAIR_STONE, OBJECT_NONE}},
        {'~', {TILE_WATER, OBJECT_NONE}},
        {'%', {TILE_LAVA, OBJECT_NONE}},
        {'u', {TILE_USED, OBJECT_NONE}},
        {'1', {TILE_BUSH, OBJECT_NONE}},
        {'2', {TILE_FENCE, OBJECT_NONE}},
        {'3', {TILE_TOMBSTONE, OBJECT_NONE}},
        {'5', {TILE_WINDOW, OBJECT_NONE}},
        {'6', {TILE_DEAD_TREE, OBJECT_NONE}},
        {'7', {TILE_CROSS, OBJECT_NONE}},
        {'8', {TILE_CANDLE, OBJECT_NONE}},
        {'9', {TILE_GLOWING_TOMBSTONE, OBJECT_NONE}},
        {',', {TILE_WALL_FILL, OBJECT_NONE}},
        {'*', {TILE_EMPTY, OBJECT_TORCH}},
        {'+', {TILE_WALL_FILL, OBJECT_TORCH}},
        {'^', {TILE_GROUND, OBJECT_SPRINGBOARD}},
        // blocks and what they hold
        {'B', {TILE_BRICK, OBJECT_NONE}},
        {'b', {TILE_BRICK, OBJECT_MAGIC}},
        {'m', {TILE_BRICK, OBJECT_MULTI_MAGIC}},
        {'p', {TILE_BRICK, OBJECT_POWER_UP}},
        {'l', {TILE_BRICK, OBJECT_EXTRA_LIFE}},
        {'s', {TILE_BRICK, OBJECT_START}}, // in a block: invincibility
        {'!', {TILE_BONUS, OBJECT_NONE}},
        {'?', {TILE_BONUS, OBJECT_MAGIC}},
        {'M', {TILE_BONUS, OBJECT_MULTI_MAGIC}},
        {'P', {TILE_BONUS, OBJECT_POWER_UP}},
        {'L', {TILE_BONUS, OBJECT_EXTRA_LIFE}},
        {'S', {TILE_BONUS, OBJECT_START}},
        // hidden blocks
        {'h', {TILE_EMPTY, OBJECT_HIDDEN_BLOCK}},
        {'H', {TILE_EMPTY, OBJECT_MULTI_MAGIC}}, // hidden: a magic
        {'q', {TILE_EMPTY, OBJECT_POWER_UP}},
        {'Q', {TILE_EMPTY, OBJECT_EXTRA_LIFE}},
        {'x', {TILE_EMPTY, OBJECT_HIDDEN_INVINCIBILITY}},
        // pickups, start, cauldron, monster-only walls, lifts
        {'o', {TILE_EMPTY, OBJECT_MAGIC}},
        {'@', {TILE_EMPTY, OBJECT_START}},
        {'C', {TILE_EMPTY, OBJECT_CAULDRON}},
        {':', {TILE_EMPTY, OBJECT_MONSTER_WALL}},
        {'-', {TILE_EMPTY, OBJECT_LIFT_HORIZONTAL}},
        {'I', {TILE_EMPTY, OBJECT_LIFT_VERTICAL}},
        // monsters
        {'w', {TILE_EMPTY, OBJECT_WALKER_LEFT}},
        {'W', {TILE_EMPTY, OBJECT_WALKER_RIGHT}},
        {'a', {TILE_EMPTY, OBJECT_SHELL_MAKER_LEFT}},
        {'A', {TILE_EMPTY, OBJECT_SHELL_MAKER_RIGHT}},
        {'k', {TILE_EMPTY, OBJECT_SPIKY_WALKER_LEFT}},
        {'K', {TILE_EMPTY, OBJECT_SPIKY_WALKER_RIGHT}},
        {'g', {TILE_EMPTY, OBJECT_SHOOTER_LEFT}},
        {'G', {TILE_EMPTY, OBJECT_SHOOTER_RIGHT}},
        {'v', {TILE_EMPTY, OBJECT_HOVERER}},
        {'c', {TILE_EMPTY, OBJECT_CANNON}},
        {'t', {TILE_EMPTY, OBJECT_THROWER}},
        {'<', {TILE_USED, OBJECT_FIRE_BAR_LEFT}},
        {'>', {TILE_USED, OBJECT_FIRE_BAR_RIGHT}},
        {'J', {TILE_WATER, OBJECT_HOPPER}},
        {'j', {TILE_LAVA, OBJECT_LEAPER}},
    };
    return legend;
}

bool parse_source(const std::string& text, const std::string& name, Grid& out, std::vector<std::string>& errors) {
    std::map<char, Glyph> legend(default_legend().begin(), default_legend().end());
    const size_t errors_before = errors.size();
    std::vector<std::string> rows;
    std::vector<int> row_lines;
    out = Grid{};

    std::istringstream in(std::string(WithoutByteOrderMark(text)));
    std::string line;
    int line_no = 0;
    size_t map_lines = 0; // lines that start as map rows, whether or not they are good ones
    auto fail = [&](const std::string& msg) { errors.push_back(name + ":" + std::to_string(line_no) + ": " + msg); };
    while (std::getline(in, line)) {
        ++line_no;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '|') {
            ++map_lines;
            if (line.size() < COLUMNS + 2 || line[COLUMNS + 1] != '|' ||
                line.find_first_not_of(" \t", COLUMNS + 2) != std::string::npos) {
                fail("a map row must hold exactly 140 cells between two '|'");
                continue;
            }
            rows.push_back(line.substr(1, COLUMNS));
            row_lines.push_back(line_no);
            if (rows.size() <= ROWS) out.lines[rows.size() - 1] = line_no;
            continue;
        }
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word[0] == '#') continue;
        if (word == "area") {
            char dot = 0;
            if (!(words >> out.level >> dot >> out.area) || dot != '.' || out.level < 1 || out.level > 5 ||
                out.area < 1 || out.area > 3)
                fail("expected \"area L.A\" with level 1 to 5 and area 1 to 3");
        } else if (word == "legend") {
            // legend <character> <base tile> <object number>; the character may be quoted ('x'). The
            // tile or the object may be given as a quoted character already in the legend, standing
            // for its tile or its object: legend d '3' 'H' is a tombstone hiding a magic.
            std::string glyph, tile, object;
            Glyph g;
            if (!(words >> glyph >> tile >> object) || !legend_value(legend, tile, false, g.tile1) ||
                !legend_value(legend, object, true, g.tile2)) {
                fail("expected \"legend C TILE OBJECT\" (numbers, or characters of the legend in quotes)");
                continue;
            }
            if (glyph.size() == 3 && glyph[0] == '\'' && glyph[2] == '\'') glyph = glyph.substr(1, 1);
            if (glyph.size() != 1 || glyph[0] == '|' || glyph[0] == LEVEL_ITEM_GLYPH) {
                fail("a legend entry names one character other than '|' and '&'");
                continue;
            }
            legend[glyph[0]] = g;
        } else {
            fail("unknown line (comments start with '#', map rows with '|')");
        }
    }
    if (line_no == 0) { // nothing at all
        errors.push_back(name + ": the file is empty: expected an \"area L.A\" line and the 12 map rows");
        return false;
    }
    if (out.level == 0) errors.push_back(name + ": missing \"area L.A\" line");
    // A map cut short is named at the file's last line, with what should have come next.
    const std::string at_end = name + ":" + std::to_string(line_no) + ": ";
    if (map_lines == 0)
        errors.push_back(at_end + "the file ends before the map: expected its 12 rows, each '|', 140 cells and '|'");
    else if (map_lines < ROWS)
        errors.push_back(at_end + "the file ends after map row " + std::to_string(map_lines) +
                         " of 12: expected map row " + std::to_string(map_lines + 1) + " ('|', 140 cells, '|')");
    else if (rows.size() > ROWS)
        errors.push_back(name + ":" + std::to_string(row_lines[ROWS]) + ": a 13th map row: an area has 12 rows");
    if (errors.size() != errors_before) return false;

    const int item = level_item_object(out.level);
    for (int r = 0; r < ROWS; ++r) {
        for (int c = 0; c < COLUMNS; ++c) {
            const char ch = rows[r][c];
            if (ch == LEVEL_ITEM_GLYPH) {
                out.t1(c, r) = 0;
                out.t2(c, r) = item;
                continue;
            }
            auto it = legend.find(ch);
            if (it == legend.end()) {
                line_no = row_lines[r];
                fail("column " + std::to_string(c) + ": unknown character '" + QuotedByte(ch) + "'");
                continue;
            }
            out.t1(c, r) = it->second.tile1;
            out.t2(c, r) = it->second.tile2;
        }
    }
    return errors.size() == errors_before;
}

bool check_grid(const Grid& g, std::vector<std::string>& errors, const std::string& name) {
    const size_t errors_before = errors.size();
    auto file_prefix = [&](int row) {
        if (name.empty()) return std::string();
        return row >= 0 && g.lines[row] > 0 ? name + ":" + std::to_string(g.lines[row]) + ": " : name + ": ";
    };
    const bool third = g.area == 3;
    const bool raised_cauldron = (g.level == 4 && g.area == 1) || (g.level == 5 && (g.area == 1 || g.area == 2));
    const int item = level_item_object(g.level);
    int starts = 0, cauldrons = 0, items = 0;

    for (int r = 0; r < ROWS; ++r) {
        for (int c = 0; c < COLUMNS; ++c) {
            const int i = r * COLUMNS + c;
            const int t1 = g.tile1[i], t2 = g.tile2[i];
            auto fail = [&](const std::string& msg) { errors.push_back(file_prefix(r) + where(g, c, r) + msg); };

            if (!known_tile1().count(t1)) fail("base tile " + std::to_string(t1) + " is not one the game knows");
            if (!known_tile2().count(t2)) fail("object number " + std::to_string(t2) + " is not one the game knows");

            const bool block = t1 == TILE_BRICK || t1 == TILE_BONUS;
            if (t2 == OBJECT_START && !block) {
                ++starts;
                if (starts > 1) fail("a second player start");
                if (c < 1 || c > 7) fail("the player start must lie in columns 1 to 7");
            }
            if (t2 == OBJECT_CAULDRON) {
                ++cauldrons;
                if (cauldrons > 1) fail("a second cauldron");
                if (c < 132 || c > 136) fail("the cauldron must lie in columns 132 to 136");
                if (!raised_cauldron && r != 10) fail("the cauldron must stand on row 10 in this area");
            }
            if (is_level_item(t2)) {
                if (!third) {
                    fail("a magic item outside a third area");
                } else if (t2 != item) {
                    fail("magic item " + std::to_string(t2) + " belongs to another level (this level's is " +
                         std::to_string(item) + ")");
                } else if (++items > 1) {
                    fail("a second magic item");
                }
            }
            if (!third) {
                if (is_third_area_object(t2))
                    fail("object number " + std::to_string(t2) + " belongs in third areas only");
                if (t1 == TILE_LAVA || t1 == TILE_LAIR_GROUND || t1 == TILE_LAIR_STONE)
                    fail("base tile " + std::to_string(t1) + " belongs in third areas only");
            }
            // A bonus block and its overlay would share one animation counter, stepped twice a frame.
            if (t1 == TILE_BONUS && (t2 == OBJECT_TORCH || is_level_item(t2)))
                fail("an animated overlay (" + std::to_string(t2) + ") on a bonus block");
            // Every lift above y 55 is sent down: in row 0 a horizontal lift would move vertically.
            if (t2 == OBJECT_LIFT_HORIZONTAL && r == 0) fail("a horizontal lift (12) in row 0 would move up and down");
            // Only scenery hides a block: a hidden block in a blank cell is one no player looks for.
            if (t1 == TILE_EMPTY && is_hidden_content(t2))
                fail("a hidden block (" + std::to_string(t2) +
                     ") in a blank cell: hide it in scenery (base tile 1 to 3), e.g. legend d '3' '" +
                     hidden_glyph(t2) + "'");
            if (t2 == OBJECT_HOPPER && t1 != TILE_WATER) fail("a hopper (81) must stand in liquid 94");
            if (t2 == OBJECT_LEAPER && t1 != TILE_LAVA) fail("a leaper (88) must stand in liquid 95");
        }
    }
    const std::string area = file_prefix(-1) + "area " + std::to_string(g.level) + "." + std::to_string(g.area) + ": ";
    if (starts == 0) errors.push_back(area + "no player start");
    if (cauldrons == 0) errors.push_back(area + "no cauldron");
    if (third && items == 0) errors.push_back(area + "the level's magic item " + std::to_string(item) + " is missing");
    return errors.size() == errors_before;
}

int ground_overlay(int tile1, bool above, bool below, bool left, bool right) {
    const int sides = left && right ? OVERLAY_BOTH_SIDES : left ? OVERLAY_LEFT : right ? OVERLAY_RIGHT : 0;
    switch (tile1) {
    case TILE_GROUND:
        if (above) {
            if (below) return OVERLAY_LEDGE;
            return left && right ? OVERLAY_TOP_BOTH : left ? OVERLAY_TOP_LEFT : right ? OVERLAY_TOP_RIGHT : OVERLAY_TOP;
        }
        return sides ? sides : below ? OVERLAY_BELOW : 0;
    case TILE_LAIR_GROUND: // its own frame is the lip: under ground it is covered with plain rock
        if (above) return sides;
        return OVERLAY_LAIR_FILL;
    case TILE_LAIR_STONE:
        if (above) return OVERLAY_LAIR_TOP;
        return sides ? sides : below ? OVERLAY_BELOW : 0;
    default: return 0;
    }
}

void dress_ground(Grid& g) {
    const Grid base = g;
    // Beyond the map's edges counts as ground, so the edges show no rims.
    auto open = [&](int c, int r) {
        if (c < 0 || c >= COLUMNS || r < 0 || r >= ROWS) return false;
        return !is_solid_tile(base.tile1[r * COLUMNS + c]);
    };
    for (int r = 0; r < ROWS; ++r)
        for (int c = 0; c < COLUMNS; ++c) {
            const int i = r * COLUMNS + c;
            if (g.tile2[i] != OBJECT_NONE) continue;
            g.tile2[i] = ground_overlay(g.tile1[i], open(c, r - 1), open(c, r + 1), open(c - 1, r), open(c + 1, r));
        }
}

std::vector<uint8_t> encode(const Grid& g) {
    std::vector<uint8_t> out;
    out.reserve(BINARY_SIZE);
    put_le32(out, COLUMNS);
    put_le32(out, ROWS);
    for (int i = 0; i < CELLS; ++i) {
        put_le32(out, g.tile1[i]);
        put_le32(out, g.tile2[i]);
    }
    return out;
}

bool decode(const std::vector<uint8_t>& bytes, Grid& out) {
    if (bytes.size() != BINARY_SIZE || get_le32(bytes, 0) != COLUMNS || get_le32(bytes, 4) != ROWS) return false;
    for (int i = 0; i < CELLS; ++i) {
        out.tile1[i] = get_le32(bytes, 8 + 8 * i);
        out.tile2[i] = get_le32(bytes, 12 + 8 * i);
    }
    return true;
}

bool looks_compiled(const std::string& bytes) {
    static const unsigned char header[8] = {COLUMNS, 0, 0, 0, ROWS, 0, 0, 0};
    return bytes.size() >= 8 && std::memcmp(bytes.data(), header, 8) == 0;
}

bool read_level_file(const std::string& path, std::string& bytes, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) {
        error = path + ": no such file";
        return false;
    }
    if (fs::is_directory(st)) {
        error = path + ": is a folder, not an area file";
        return false;
    }
    if (!fs::is_regular_file(st)) {
        error = path + ": not a regular file";
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        error = path + ": cannot read this file (" + std::strerror(errno) + ")";
        return false;
    }
    bytes.clear();
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.append(buffer, n);
        if (int64_t(bytes.size()) > MAX_FILE_BYTES) break;
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        error = path + ": cannot read this file";
        return false;
    }
    if (int64_t(bytes.size()) > MAX_FILE_BYTES) {
        error = path + ": larger than " + std::to_string(MAX_FILE_BYTES) + " bytes, too large for an area";
        bytes.clear();
        return false;
    }
    return true;
}

std::string resource_file_name(int level, int area) {
    return "pumkosahrim" + std::to_string(level) + "." + std::to_string(area);
}

} // namespace mapc
