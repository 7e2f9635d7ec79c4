// The map compiler: source parsing, the binary resource, and the rules every area must satisfy,
// including the fifteen real areas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "game/kinds.h"
#include "map_reach.h"
#include "world/map_source.h"

namespace {

using mapc::Grid;

// A minimal valid area: ground along the bottom, start, cauldron, and the item in a third area.
Grid valid(int level, int area) {
    Grid g;
    g.level = level;
    g.area = area;
    for (int c = 0; c < mapc::COLUMNS; ++c) g.t1(c, 11) = area == 3 ? TILE_LAIR_GROUND : TILE_GROUND;
    g.t2(3, 10) = OBJECT_START;
    g.t2(134, 10) = OBJECT_CAULDRON;
    if (area == 3) g.t2(60, 5) = level_item_object(level);
    return g;
}

// The rule messages for a grid; empty when it passes.
std::string broken(const Grid& g) {
    std::vector<std::string> errors;
    mapc::check_grid(g, errors);
    std::string all;
    for (const auto& e : errors) all += e + "\n";
    return all;
}

// The base tile and object number a source gave one cell.
void expect_cell(Grid& g, int column, int row, int tile1, int tile2) {
    EXPECT_EQ(g.t1(column, row), tile1) << "column " << column << ", row " << row;
    EXPECT_EQ(g.t2(column, row), tile2) << "column " << column << ", row " << row;
}

std::string row(const std::string& body) {
    std::string cells = body;
    cells.resize(mapc::COLUMNS, ' ');
    return "|" + cells + "|\n";
}

TEST(Mapc, ParsesAPictureWithLegendAndComments) {
    std::string text = "# a comment\narea 2.3\nlegend T 24 11\n";
    for (int r = 0; r < 10; ++r) text += row("");
    text += row("   @   T   &   oP?<j");
    text += row("XXXXXXXXXXXXXXXXXXX%");
    Grid g;
    std::vector<std::string> errors;
    ASSERT_TRUE(mapc::parse_source(text, "t.txt", g, errors)) << errors[0];
    EXPECT_EQ(g.level, 2);
    EXPECT_EQ(g.area, 3);
    EXPECT_EQ(g.t2(3, 10), OBJECT_START);
    expect_cell(g, 7, 10, TILE_LAIR_GROUND, OBJECT_SPRINGBOARD);
    EXPECT_EQ(g.t2(11, 10), level_item_object(2)); // '&' is the level's own item
    EXPECT_EQ(g.t2(15, 10), OBJECT_MAGIC);
    expect_cell(g, 16, 10, TILE_BONUS, OBJECT_POWER_UP);
    expect_cell(g, 18, 10, TILE_USED, OBJECT_FIRE_BAR_LEFT);
    EXPECT_EQ(g.t1(19, 11), TILE_LAVA);
    expect_cell(g, 19, 10, TILE_LAVA, OBJECT_LEAPER);
}

// A legend line may name a tile or an object by a character of the legend: hidden blocks in
// scenery, as the game allows.
TEST(Mapc, LegendLinesNameTilesAndObjectsByCharacter) {
    std::string text = "area 1.1\nlegend d '3' 'H'\nlegend e 1 '^'\nlegend f '2' 55 # a fence\n";
    for (int r = 0; r < 10; ++r) text += row("");
    text += row("   @   def                                                                                            "
                "                                C");
    text += row(std::string(140, '#'));
    Grid g;
    std::vector<std::string> errors;
    ASSERT_TRUE(mapc::parse_source(text, "t.txt", g, errors)) << errors[0];
    expect_cell(g, 7, 10, 3, 29); // a tombstone hiding a magic
    expect_cell(g, 8, 10, 1, 11);
    expect_cell(g, 9, 10, 2, 55); // a fence hiding a block
    EXPECT_EQ(broken(g), "");
    for (const char* bad : {"legend d '3' 'Z'\n", "legend d '3'\n", "legend d 3x 29\n", "legend d '&' 0\n"}) {
        errors.clear();
        EXPECT_FALSE(
            mapc::parse_source(std::string("area 1.1\n") + bad + text.substr(text.find('|')), "bad", g, errors))
            << bad;
    }
}

TEST(Mapc, RejectsMalformedSources) {
    std::vector<std::string> errors;
    Grid g;
    std::string rows;
    for (int r = 0; r < 12; ++r) rows += row("");
    EXPECT_FALSE(mapc::parse_source(rows, "noarea", g, errors));                          // no area line
    EXPECT_FALSE(mapc::parse_source("area 1.1\n" + rows + row(""), "13rows", g, errors)); // 13 rows
    std::string short_row = "area 1.1\n|   |\n" + rows.substr(rows.find('\n') + 1);
    EXPECT_FALSE(mapc::parse_source(short_row, "short", g, errors));
    std::string unknown = "area 1.1\n" + row("Z") + rows.substr(rows.find('\n') + 1);
    errors.clear();
    EXPECT_FALSE(mapc::parse_source(unknown, "unknown", g, errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("column 0"), std::string::npos) << errors[0];
    EXPECT_FALSE(mapc::parse_source("area 6.1\n" + rows, "level6", g, errors));
}

TEST(Mapc, EncodesTheBinaryResource) {
    Grid g = valid(1, 1);
    g.t1(139, 11) = 95;
    g.t2(0, 0) = 108;
    const std::vector<uint8_t> bytes = mapc::encode(g);
    ASSERT_EQ(bytes.size(), 13448u);
    const uint8_t header[8] = {0x8C, 0, 0, 0, 0x0C, 0, 0, 0};
    EXPECT_TRUE(std::equal(header, header + 8, bytes.begin()));
    EXPECT_EQ(bytes[12], 108); // tile2 of cell 0
    const size_t last = 8 + 8 * 1679;
    EXPECT_EQ(bytes[last], 95);
    Grid back;
    ASSERT_TRUE(mapc::decode(bytes, back));
    EXPECT_EQ(back.tile1, g.tile1);
    EXPECT_EQ(back.tile2, g.tile2);
    EXPECT_FALSE(mapc::decode(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1), back));
    EXPECT_EQ(mapc::resource_file_name(5, 3), "pumkosahrim5.3");
}

// The ground's overlays follow the shape of the ground: grass only where it meets the air, rims at
// its open sides, a lip over a gap, nothing inside; the map's edges count as ground.
TEST(Mapc, GroundIsDressedByItsShape) {
    Grid g = valid(1, 1);
    // A block three wide and three deep standing in the air, a one-row ledge, a brick on ground.
    const char* picture[] = {
        "         ", //
        " ###  ## ", //
        " ###     ", //
        " ###   B ", //
        "       # ", //
    };
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 9; ++c) {
            const char ch = picture[r][c];
            g.t1(c + 10, r + 2) = ch == '#' ? TILE_GROUND : ch == 'B' ? TILE_BRICK : TILE_EMPTY;
        }
    g.t1(20, 10) = TILE_GROUND; // a step on the floor, with a springboard beside it
    g.t1(21, 10) = TILE_GROUND;
    g.t2(21, 10) = OBJECT_SPRINGBOARD;
    Grid d = g;
    mapc::dress_ground(d);
    const int block[3][3] = {{mapc::OVERLAY_TOP_LEFT, mapc::OVERLAY_TOP, mapc::OVERLAY_TOP_RIGHT},
                             {mapc::OVERLAY_LEFT, 0, mapc::OVERLAY_RIGHT},
                             {mapc::OVERLAY_LEFT, mapc::OVERLAY_BELOW, mapc::OVERLAY_RIGHT}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(d.t2(11 + c, 3 + r), block[r][c]) << "column " << c << ", row " << r;
    EXPECT_EQ(d.t2(16, 3), mapc::OVERLAY_LEDGE);
    EXPECT_EQ(d.t2(17, 3), mapc::OVERLAY_LEDGE);
    EXPECT_EQ(d.t2(17, 6), mapc::OVERLAY_BOTH_SIDES); // under a brick: no grass
    EXPECT_EQ(d.t2(17, 5), OBJECT_NONE);              // the brick itself is no ground
    EXPECT_EQ(d.t2(20, 10), mapc::OVERLAY_TOP_LEFT);
    EXPECT_EQ(d.t2(21, 10), OBJECT_SPRINGBOARD); // a taken cell keeps its object
    EXPECT_EQ(d.t2(20, 11), OBJECT_NONE);        // under the step: fill
    EXPECT_EQ(d.t2(19, 11), mapc::OVERLAY_TOP);
    EXPECT_EQ(d.t2(0, 11), mapc::OVERLAY_TOP); // the edges are ground: no rim, no lip
    EXPECT_EQ(d.t2(139, 11), mapc::OVERLAY_TOP);
    EXPECT_EQ(d.t2(3, 10), OBJECT_START);
    EXPECT_EQ(d.tile1, g.tile1);

    // Dressed twice is dressed once, and the checker takes a dressed area.
    Grid again = d;
    mapc::dress_ground(again);
    EXPECT_EQ(again.tile2, d.tile2);
    EXPECT_EQ(broken(d), "");
}

TEST(Mapc, LairGroundIsDressedByItsShape) {
    Grid g = valid(2, 3);
    for (int c = 30; c < 33; ++c) g.t1(c, 10) = TILE_LAIR_GROUND; // a mound on the lair's floor
    g.t1(31, 9) = TILE_LAIR_GROUND;
    for (int c = 40; c < 43; ++c) g.t1(c, 0) = g.t1(c, 1) = TILE_LAIR_STONE; // a ceiling
    g.t1(45, 5) = TILE_LAIR_STONE;                                           // a floating stone
    g.t1(46, 5) = TILE_LAIR_STONE;
    g.t1(46, 4) = TILE_LAIR_STONE;
    Grid d = g;
    mapc::dress_ground(d);
    EXPECT_EQ(d.t2(31, 9), mapc::OVERLAY_BOTH_SIDES); // lair ground's own frame is its top
    EXPECT_EQ(d.t2(30, 10), mapc::OVERLAY_LEFT);
    EXPECT_EQ(d.t2(31, 10), mapc::OVERLAY_LAIR_FILL); // under ground, its lip is covered
    EXPECT_EQ(d.t2(29, 11), OBJECT_NONE);
    EXPECT_EQ(d.t2(31, 11), mapc::OVERLAY_LAIR_FILL);
    EXPECT_EQ(d.t2(41, 0), OBJECT_NONE); // rock against the top edge: fill
    EXPECT_EQ(d.t2(40, 0), mapc::OVERLAY_LEFT);
    EXPECT_EQ(d.t2(40, 1), mapc::OVERLAY_LEFT);
    EXPECT_EQ(d.t2(41, 1), mapc::OVERLAY_BELOW);
    EXPECT_EQ(d.t2(45, 5), mapc::OVERLAY_LAIR_TOP); // rock open above shows the lip
    EXPECT_EQ(d.t2(46, 4), mapc::OVERLAY_LAIR_TOP);
    EXPECT_EQ(d.t2(46, 5), mapc::OVERLAY_RIGHT);
}

TEST(Mapc, PlayerStartRules) {
    EXPECT_EQ(broken(valid(1, 1)), "");
    Grid none = valid(1, 1);
    none.t2(3, 10) = 0;
    EXPECT_NE(broken(none).find("no player start"), std::string::npos);
    Grid two = valid(1, 1);
    two.t2(5, 10) = 30;
    EXPECT_NE(broken(two).find("(column 5, row 10): a second player start"), std::string::npos);
    Grid far = valid(1, 1);
    far.t2(3, 10) = 0;
    far.t2(8, 10) = 30;
    EXPECT_NE(broken(far).find("columns 1 to 7"), std::string::npos);
    Grid edge = valid(1, 1);
    edge.t2(3, 10) = 0;
    edge.t2(0, 10) = 30;
    EXPECT_NE(broken(edge).find("columns 1 to 7"), std::string::npos);
    Grid in_block = valid(1, 1); // 30 in a block is a content, not a start
    in_block.t1(20, 7) = 5;
    in_block.t2(20, 7) = 30;
    EXPECT_EQ(broken(in_block), "");
}

TEST(Mapc, CauldronRules) {
    Grid none = valid(2, 1);
    none.t2(134, 10) = 0;
    EXPECT_NE(broken(none).find("no cauldron"), std::string::npos);
    Grid two = valid(2, 1);
    two.t2(133, 10) = 39;
    EXPECT_NE(broken(two).find("a second cauldron"), std::string::npos);
    Grid far = valid(2, 1);
    far.t2(134, 10) = 0;
    far.t2(137, 10) = 39;
    EXPECT_NE(broken(far).find("columns 132 to 136"), std::string::npos);
    Grid raised = valid(2, 1);
    raised.t2(134, 10) = 0;
    raised.t2(134, 6) = 39;
    EXPECT_NE(broken(raised).find("row 10"), std::string::npos);
    for (auto [level, area] : {std::pair{4, 1}, {5, 1}, {5, 2}}) {
        Grid ok = valid(level, area);
        ok.t2(134, 10) = 0;
        ok.t2(132, 6) = 39;
        EXPECT_EQ(broken(ok), "") << level << "." << area;
    }
}

TEST(Mapc, LevelItemRules) {
    EXPECT_EQ(broken(valid(5, 3)), "");
    Grid missing = valid(3, 3);
    missing.t2(60, 5) = 0;
    EXPECT_NE(broken(missing).find("magic item 104 is missing"), std::string::npos);
    Grid twice = valid(3, 3);
    twice.t2(61, 5) = 104;
    EXPECT_NE(broken(twice).find("a second magic item"), std::string::npos);
    Grid wrong = valid(3, 3);
    wrong.t2(61, 5) = 102;
    EXPECT_NE(broken(wrong).find("belongs to another level"), std::string::npos);
    Grid outside = valid(3, 2);
    outside.t2(61, 5) = 104;
    EXPECT_NE(broken(outside).find("outside a third area"), std::string::npos);
}

TEST(Mapc, ThirdAreaOnlyThingsAndLiquids) {
    for (int t2 : {OBJECT_FIRE_BAR_LEFT, OBJECT_FIRE_BAR_RIGHT, OBJECT_LEAPER}) {
        Grid g = valid(2, 2);
        g.t1(40, 11) = TILE_LAVA;
        g.t2(40, 11) = t2;
        EXPECT_NE(broken(g).find("third areas only"), std::string::npos) << t2;
    }
    for (int t1 : {TILE_LAIR_GROUND, TILE_LAIR_STONE, TILE_LAVA}) {
        Grid g = valid(2, 2);
        g.t1(40, 11) = t1;
        EXPECT_NE(broken(g).find("base tile " + std::to_string(t1) + " belongs in third areas only"),
                  std::string::npos);
    }
    Grid lair = valid(2, 3);
    lair.t1(40, 11) = TILE_LAVA;
    lair.t2(40, 11) = OBJECT_LEAPER;
    lair.t1(41, 11) = TILE_WATER;
    lair.t2(41, 11) = OBJECT_HOPPER;
    lair.t1(42, 5) = TILE_USED;
    lair.t2(42, 5) = OBJECT_FIRE_BAR_LEFT;
    EXPECT_EQ(broken(lair), "");
    Grid hopper = valid(1, 1);
    hopper.t1(40, 11) = TILE_GROUND;
    hopper.t2(40, 11) = OBJECT_HOPPER;
    EXPECT_NE(broken(hopper).find("liquid 94"), std::string::npos);
    Grid leaper = valid(1, 3);
    leaper.t1(40, 11) = TILE_WATER;
    leaper.t2(40, 11) = OBJECT_LEAPER;
    EXPECT_NE(broken(leaper).find("liquid 95"), std::string::npos);
}

TEST(Mapc, NoAnimatedOverlayOnABonusBlockAndNoHorizontalLiftInRowZero) {
    for (int t2 : {20, 100}) {
        Grid g = valid(1, t2 == 100 ? 3 : 1);
        g.t1(40, 5) = 5;
        g.t2(40, 5) = t2;
        EXPECT_NE(broken(g).find("an animated overlay (" + std::to_string(t2) + ") on a bonus block"),
                  std::string::npos)
            << t2;
        g.t1(40, 5) = 4; // on a brick it is only drawn
        EXPECT_EQ(broken(g).find("animated overlay"), std::string::npos) << t2;
    }
    Grid bonus = valid(1, 1);
    bonus.t1(40, 5) = 5;
    bonus.t2(40, 5) = 28; // contents, not an overlay
    EXPECT_EQ(broken(bonus), "");

    Grid lift = valid(1, 1);
    lift.t2(40, 0) = 12;
    EXPECT_NE(broken(lift).find("(column 40, row 0): a horizontal lift (12) in row 0"), std::string::npos);
    lift.t2(40, 0) = 13; // a vertical lift may start there
    lift.t2(41, 1) = 12;
    EXPECT_EQ(broken(lift), "");
}

// A hidden block of any content is refused in a blank cell and kept in a bush, a fence or a
// tombstone; the same numbers elsewhere (free magic, a block's contents) are not hidden blocks.
TEST(Mapc, HiddenBlocksOnlyInScenery) {
    for (int t2 :
         {OBJECT_MULTI_MAGIC, OBJECT_POWER_UP, OBJECT_EXTRA_LIFE, OBJECT_HIDDEN_BLOCK, OBJECT_HIDDEN_INVINCIBILITY}) {
        Grid g = valid(1, 2);
        g.t2(40, 7) = t2;
        EXPECT_NE(broken(g).find("(column 40, row 7): a hidden block (" + std::to_string(t2) + ") in a blank cell"),
                  std::string::npos)
            << t2;
        for (int scenery : {TILE_BUSH, TILE_FENCE, TILE_TOMBSTONE}) {
            g.t1(40, 7) = scenery;
            EXPECT_EQ(broken(g), "") << t2 << " in " << scenery;
        }
        g.t1(40, 7) = TILE_BONUS; // a block's contents
        EXPECT_EQ(broken(g), "") << t2;
    }
    Grid free_magic = valid(1, 2);
    free_magic.t2(40, 7) = OBJECT_MAGIC;
    EXPECT_EQ(broken(free_magic), "");
    // The message names the legend line that mends it.
    Grid life = valid(1, 2);
    life.t2(40, 7) = OBJECT_EXTRA_LIFE;
    EXPECT_NE(broken(life).find("legend d '3' 'Q'"), std::string::npos) << broken(life);
}

TEST(Mapc, UnknownTilesAndNumbers) {
    for (int t1 : {6, 7, 11, 21, 96, -1}) {
        Grid g = valid(1, 1);
        g.t1(40, 5) = t1;
        EXPECT_NE(broken(g).find("base tile " + std::to_string(t1) + " is not"), std::string::npos) << t1;
    }
    for (int t2 : {1, 10, 14, 31, 58, 101, 109, 200}) {
        Grid g = valid(1, 1);
        g.t2(40, 5) = t2;
        EXPECT_NE(broken(g).find("object number " + std::to_string(t2) + " is not"), std::string::npos) << t2;
    }
}

// A short course for the reach search: ground on row 11, start at column 2, cauldron at column 24.
Grid course() {
    Grid g;
    g.level = 1;
    g.area = 1;
    for (int c = 0; c < 30; ++c) g.t1(c, 11) = 9;
    g.t2(2, 10) = 30;
    g.t2(24, 10) = 39;
    return g;
}

TEST(MapReach, GapsTowersAndSpringboards) {
    EXPECT_TRUE(mapc::reach(course()).finished);

    Grid gap = course(); // five columns: one jump
    for (int c = 10; c < 15; ++c) gap.t1(c, 11) = 0;
    EXPECT_TRUE(mapc::reach(gap).finished);

    // Nine columns need a jump from the top of a bounce; thirteen are too far.
    Grid wide = course();
    for (int c = 10; c < 19; ++c) wide.t1(c, 11) = 0;
    EXPECT_TRUE(mapc::reach(wide).finished);
    Grid chasm = course();
    for (int c = 10; c < 23; ++c) chasm.t1(c, 11) = 0;
    const mapc::ReachResult r = mapc::reach(chasm);
    EXPECT_FALSE(r.finished);
    EXPECT_LT(r.furthest_column, 23);

    Grid lava = course(); // a liquid floor cannot be crossed on foot; a lift over it can be ridden
    for (int c = 8; c < 23; ++c) lava.t1(c, 11) = 94;
    EXPECT_FALSE(mapc::reach(lava).finished);
    lava.t2(15, 8) = 13;
    EXPECT_TRUE(mapc::reach(lava).finished);

    Grid high = course(); // a ledge six rows up: out of any jump's reach, not a springboard's
    high.t2(24, 10) = 0;
    for (int c = 16; c < 22; ++c) high.t1(c, 5) = 10;
    high.t2(20, 4) = 39;
    EXPECT_FALSE(mapc::reach(high).finished);
    high.t2(13, 11) = 11;
    EXPECT_TRUE(mapc::reach(high).finished);

    Grid step = course(); // two rows up is one jump
    for (int c = 14; c < 30; ++c) step.t1(c, 9) = step.t1(c, 10) = 9;
    step.t2(24, 10) = 0;
    step.t2(24, 8) = 39;
    EXPECT_TRUE(mapc::reach(step).finished);
}

TEST(MapReach, ThirdAreasNeedTheItemFirst) {
    Grid lair = course();
    lair.area = 3;
    EXPECT_FALSE(mapc::reach(lair).finished);
    lair.t2(12, 8) = 100;
    const mapc::ReachResult r = mapc::reach(lair);
    EXPECT_TRUE(r.finished);
    EXPECT_TRUE(r.item);
}

Grid read_area(int level, int area) {
    const std::string path =
        std::string(PUMKO_MAP_SOURCE_DIR) + "/" + std::to_string(level) + "-" + std::to_string(area) + ".txt";
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Grid g;
    std::vector<std::string> errors;
    EXPECT_TRUE(mapc::parse_source(text, path, g, errors)) << path;
    return g;
}

// How much two areas are the same cell for cell: of the cells where either holds anything, the
// share holding the same tile and object in both.
double sameness(const Grid& a, const Grid& b) {
    int either = 0, same = 0;
    for (int i = 0; i < mapc::CELLS; ++i) {
        if (a.tile1[i] == 0 && a.tile2[i] == 0 && b.tile1[i] == 0 && b.tile2[i] == 0) continue;
        ++either;
        if (a.tile1[i] == b.tile1[i] && a.tile2[i] == b.tile2[i]) ++same;
    }
    return either == 0 ? 1.0 : double(same) / either;
}

TEST(Mapc, SamenessCountsOnlyCellsInUse) {
    Grid a = valid(1, 3), b = valid(2, 3);
    // The same floor, start and cauldron; the items differ: 140 + 2 of 143 cells.
    EXPECT_NEAR(sameness(a, b), 142.0 / 143.0, 1e-9);
    for (int c = 0; c < 70; ++c) b.t1(c, 11) = TILE_LAIR_STONE;
    EXPECT_NEAR(sameness(a, b), 72.0 / 143.0, 1e-9);
    EXPECT_EQ(sameness(Grid{}, Grid{}), 1.0);
}

// The five lairs are five places: no two share more than a fifth of their cells. Prints the table.
TEST(Mapc, TheFiveLairsDiffer) {
    std::vector<Grid> lairs;
    for (int level = 1; level <= 5; ++level) lairs.push_back(read_area(level, 3));
    double same[5][5];
    for (int a = 0; a < 5; ++a)
        for (int b = 0; b < 5; ++b) same[a][b] = sameness(lairs[a], lairs[b]);
    std::printf("lairs the same cell for cell (%%)\n     ");
    for (int b = 0; b < 5; ++b) std::printf("  %d.3", b + 1);
    std::printf("\n");
    for (int a = 0; a < 5; ++a) {
        std::printf("%d.3  ", a + 1);
        for (int b = 0; b < 5; ++b) std::printf(" %4.0f", 100.0 * same[a][b]);
        std::printf("\n");
    }
    for (int a = 0; a < 5; ++a)
        for (int b = a + 1; b < 5; ++b) EXPECT_LE(same[a][b], 0.20) << a + 1 << ".3 and " << b + 1 << ".3";
}

// A crossing: a horizontal lift with, in the 12 columns after it, nothing to stand on at its
// height or below, so that no jump from the ground reaches the far side without a ride.
bool has_lift_crossing(Grid g) {
    for (int c = 0; c + 12 < mapc::COLUMNS; ++c)
        for (int r = 0; r < mapc::ROWS; ++r) {
            if (g.t2(c, r) != OBJECT_LIFT_HORIZONTAL) continue;
            bool open = true;
            for (int x = c + 1; x <= c + 12 && open; ++x)
                for (int y = r; y < mapc::ROWS && open; ++y) open = !is_solid_tile(g.t1(x, y));
            if (open) return true;
        }
    return false;
}

// Every outdoor area asks for a ride on a lift across a pit too wide to jump, and every area
// ends in a calm run-in: no monster within 12 columns of the cauldron.
TEST(Mapc, OutdoorAreasHaveALiftCrossingAndEveryCauldronACalmRunIn) {
    for (int level = 1; level <= 5; ++level)
        for (int area = 1; area <= 3; ++area) {
            Grid g = read_area(level, area);
            if (area < 3) {
                EXPECT_TRUE(has_lift_crossing(g)) << level << "." << area;
            }
            int cauldron = -1;
            for (int c = 0; c < mapc::COLUMNS; ++c)
                for (int r = 0; r < mapc::ROWS; ++r)
                    if (g.t2(c, r) == OBJECT_CAULDRON) cauldron = c;
            ASSERT_GE(cauldron, 0);
            for (int c = std::max(0, cauldron - 12); c < mapc::COLUMNS && c <= cauldron + 12; ++c)
                for (int r = 0; r < mapc::ROWS; ++r) {
                    const int o = g.t2(c, r);
                    const bool monster = (o >= OBJECT_WALKER_LEFT && o <= OBJECT_LEAPER) || o == OBJECT_FIRE_BAR_LEFT ||
                                         o == OBJECT_FIRE_BAR_RIGHT;
                    EXPECT_FALSE(monster) << level << "." << area << ": a monster at column " << c << ", row " << r;
                }
        }
}

TEST(Mapc, TheFifteenAreasPassTheChecker) {
    for (int level = 1; level <= 5; ++level)
        for (int area = 1; area <= 3; ++area) {
            const std::string path =
                std::string(PUMKO_MAP_SOURCE_DIR) + "/" + std::to_string(level) + "-" + std::to_string(area) + ".txt";
            std::ifstream in(path);
            ASSERT_TRUE(in) << path;
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            Grid g;
            std::vector<std::string> errors;
            ASSERT_TRUE(mapc::parse_source(text, path, g, errors)) << errors[0];
            EXPECT_EQ(g.level, level);
            EXPECT_EQ(g.area, area);
            EXPECT_EQ(broken(g), "") << path;
        }
}

} // namespace
