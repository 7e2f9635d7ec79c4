// Loading an area: the binary resource read into the cells, and the object numbers turned into
// flags, contents, lifts, monsters, the start and the cauldron.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/stream.h"
#include "main/game.h"

namespace {

std::vector<uint8_t> le32(std::vector<int32_t> values) {
    std::vector<uint8_t> out;
    for (int32_t v : values)
        for (int k = 0; k < 4; ++k) out.push_back(uint8_t(uint32_t(v) >> (8 * k)));
    return out;
}

// Cell index of column c, row r.
int at(int c, int r) { return r * MAP_COLUMNS + c; }

class MapLoad : public ::testing::Test {
  protected:
    void SetUp() override {
        map_tag::Create();
        for (int i = 0; i < MAP_CELLS; ++i) {
            map_cells[i].x = float(20 + 40 * (i % MAP_COLUMNS));
            map_cells[i].y = float(20 + 40 * (i / MAP_COLUMNS));
        }
        monster_list.Clear();
        elevator_list.Clear();
        game = game_tag{};
        player_slot[0] = player_tag{};
        player_slot[1] = player_tag{};
    }
    void TearDown() override {
        monster_list.Clear();
        elevator_list.Clear();
    }
    map_tag& cell(int c, int r) { return map_cells[at(c, r)]; }
    void put(int c, int r, int t1, int t2) {
        cell(c, r).tile1 = t1;
        cell(c, r).tile2 = t2;
    }
};

// Whether monster_tag::Create appends to monster_list (it does once the monsters are built).
bool monsters_available() {
    monster_list.Clear();
    monster_tag::Create(0, 0, 0, 0, 1, 1, 0);
    const bool yes = monster_list.Count() == 1;
    monster_list.Clear();
    return yes;
}

std::vector<monster_tag> monsters() {
    std::vector<monster_tag> out;
    monster_list.ForEach([&](monster_tag& m) { out.push_back(m); });
    return out;
}

TEST_F(MapLoad, LoadReadsTheResourceAndLeavesOtherFieldsAlone) {
    // A resource with a recognisable value in every cell: tile1 = i % 96, tile2 = i % 109.
    std::vector<int32_t> words = {140, 12};
    for (int i = 0; i < MAP_CELLS; ++i) {
        words.push_back(i % 96);
        words.push_back(i % 109);
    }
    static const std::vector<uint8_t> bytes = le32(words);
    ASSERT_EQ(bytes.size(), 13448u);
    RegisterEmbedded("maps\\pumkosahrim9.8", bytes.data(), int64_t(bytes.size()));

    map_tag& c = cell(5, 3);
    c.x = -500.0f;
    c.objectid = 4;
    c.hidden = 1;
    c.hiddenwall = 1;
    c.yoffset = -7;
    c.rotation = 35;
    c.framectr = 2;
    c.multitmr = 90;
    map_tag::Load(9, 8);

    for (int i : {0, 1, 139, 140, at(5, 3), 1679}) {
        EXPECT_EQ(map_cells[i].tile1, i % 96) << i;
        EXPECT_EQ(map_cells[i].tile2, i % 109) << i;
        EXPECT_EQ(map_cells[i].x, float(20 + 40 * (i % 140))) << i;
        EXPECT_EQ(map_cells[i].y, float(20 + 40 * (i / 140))) << i;
    }
    EXPECT_EQ(c.x, 220.0f);
    EXPECT_EQ(c.y, 140.0f);
    EXPECT_EQ(c.objectid, 4);
    EXPECT_EQ(c.hidden, 1);
    EXPECT_EQ(c.hiddenwall, 1);
    EXPECT_EQ(c.yoffset, -7);
    EXPECT_EQ(c.rotation, 35);
    EXPECT_EQ(c.framectr, 2);
    EXPECT_EQ(c.multitmr, 90);
}

TEST_F(MapLoad, ResetClearsTheMapFieldsOnly) {
    map_tag& c = cell(7, 7);
    c = map_tag{1.0f, 2.0f, 5, 28, 10, 0.0f, 0.0f, 1, 2, -3, 2, 160, 1, 1};
    map_tag::reset();
    EXPECT_EQ(c.tile1, 0);
    EXPECT_EQ(c.tile2, 0);
    EXPECT_EQ(c.objectid, 0);
    EXPECT_EQ(c.hidden, 0);
    EXPECT_EQ(c.hiddenwall, 0);
    EXPECT_EQ(c.x, 1.0f);
    EXPECT_EQ(c.rotation, 10);
    EXPECT_EQ(c.multitmr, 160);
}

TEST_F(MapLoad, BlockContentsAndFreeMagic) {
    put(1, 1, 5, 30);  // block marked 30: an invincibility inside, not the start
    put(2, 1, 4, 28);  // magic in a brick
    put(3, 1, 0, 28);  // free magic in the air
    put(4, 1, 9, 28);  // free magic on solid ground stays a pickup
    put(5, 1, 4, 29);  // multi-magic brick
    put(6, 1, 5, 49);  // power-up
    put(7, 1, 4, 50);  // extra life
    player_slot[0].x = 77.0f;
    player_slot[0].y = 88.0f;
    map_tag::initialize();

    EXPECT_EQ(cell(1, 1).objectid, 5);
    EXPECT_EQ(cell(1, 1).tile2, 0);
    EXPECT_EQ(player_slot[0].x, 77.0f);
    EXPECT_EQ(player_slot[0].y, 88.0f);
    EXPECT_EQ(cell(2, 1).objectid, 1);
    EXPECT_EQ(cell(2, 1).tile2, 0);
    for (int c : {3, 4}) {
        EXPECT_EQ(cell(c, 1).tile2, 28) << c;
        EXPECT_EQ(cell(c, 1).objectid, 0) << c;
    }
    EXPECT_EQ(cell(5, 1).objectid, 2);
    EXPECT_EQ(cell(6, 1).objectid, 3);
    EXPECT_EQ(cell(7, 1).objectid, 4);
    for (int c = 1; c <= 7; ++c) EXPECT_EQ(cell(c, 1).hidden, 0) << c;
}

TEST_F(MapLoad, HiddenBlocksOnlyOnPassableTiles) {
    put(1, 2, 2, 29);  // hidden magic
    put(2, 2, 0, 49);  // hidden power-up
    put(3, 2, 3, 50);  // hidden extra life
    put(4, 2, 0, 55);  // hidden block worth 50 points: content 0 is real
    put(5, 2, 1, 56);  // hidden invincibility
    map_tag::initialize();
    const int expected[] = {1, 3, 4, 0, 5};
    for (int c = 1; c <= 5; ++c) {
        EXPECT_EQ(cell(c, 2).hidden, 1) << c;
        EXPECT_EQ(cell(c, 2).tile2, 0) << c;
        EXPECT_EQ(cell(c, 2).objectid, expected[c - 1]) << c;
    }
}

TEST_F(MapLoad, ContentNumbersOnOtherTilesStayAndAreOnlyDrawn) {
    put(1, 3, 6, 29);
    put(2, 3, 8, 49);
    put(3, 3, 10, 50);
    put(4, 3, 24, 29);
    put(5, 3, 4, 55);
    put(6, 3, 9, 56);
    map_tag::initialize();
    const int expected[] = {29, 49, 50, 29, 55, 56};
    for (int c = 1; c <= 6; ++c) {
        EXPECT_EQ(cell(c, 3).tile2, expected[c - 1]) << c;
        EXPECT_EQ(cell(c, 3).objectid, 0) << c;
        EXPECT_EQ(cell(c, 3).hidden, 0) << c;
    }
}

TEST_F(MapLoad, StartCauldronWallsAndAnimationState) {
    game.curplayer = 1;
    player_slot[0].x = 11.0f;
    put(4, 10, 0, 30);
    put(134, 10, 0, 39);
    cell(134, 10).x = 5380.9f; // truncated toward zero, after y - 3.0
    cell(134, 10).y = 420.5f;
    put(20, 9, 0, 38);
    map_cells[17].multitmr = 0;
    map_cells[17].framectr = 2;
    map_cells[17].framedly = 9;
    MovePointer(100, 100);
    map_tag::initialize();

    EXPECT_EQ(player_slot[1].x, 180.0f);
    EXPECT_EQ(player_slot[1].y, 420.0f);
    EXPECT_EQ(player_slot[0].x, 11.0f); // only the current player moves
    EXPECT_EQ(cell(4, 10).tile2, 0);
    EXPECT_EQ(game.cauldx, 5380);
    EXPECT_EQ(game.cauldy, 417);
    EXPECT_EQ(cell(134, 10).tile2, 0);
    EXPECT_EQ(cell(20, 9).hiddenwall, 1);
    EXPECT_EQ(cell(20, 9).tile2, 0);
    EXPECT_EQ(map_cells[17].multitmr, 1);
    EXPECT_EQ(map_cells[17].framectr, 0);
    EXPECT_EQ(map_cells[17].framedly, 0);
    EXPECT_EQ(PointerX(), 320);
    EXPECT_EQ(PointerY(), 0);
}

TEST_F(MapLoad, NoStartLeavesTheHeroWhereItWas) {
    put(3, 10, 9, 0);
    player_slot[0].x = 321.0f;
    player_slot[0].y = 123.0f;
    map_tag::initialize();
    EXPECT_EQ(player_slot[0].x, 321.0f);
    EXPECT_EQ(player_slot[0].y, 123.0f);
}

TEST_F(MapLoad, LiftsAreCreatedInCellOrder) {
    put(30, 8, 0, 13);
    put(10, 2, 0, 12);
    put(50, 9, 0, 13);
    map_tag::initialize();
    std::vector<elevator_tag> lifts;
    elevator_list.ForEach([&](elevator_tag& e) { lifts.push_back(e); });
    ASSERT_EQ(lifts.size(), 3u);
    EXPECT_EQ(lifts[0].frame, 12); // row 2 comes first
    EXPECT_EQ(lifts[0].x, 420.0f);
    EXPECT_EQ(lifts[0].xscale, 2.0f);
    EXPECT_EQ(lifts[1].frame, 13);
    EXPECT_EQ(lifts[1].x, 1220.0f);
    EXPECT_EQ(lifts[1].ystp, 2.0f); // y 340: lower half starts downwards
    EXPECT_EQ(lifts[2].x, 2020.0f);
    EXPECT_EQ(cell(30, 8).tile2, 0);
}

TEST_F(MapLoad, MonstersFromTheirNumbers) {
    if (!monsters_available()) GTEST_SKIP() << "monster_tag::Create is not built yet";
    // number, column, row
    const int placed[][3] = {{57, 1, 10}, {59, 2, 10}, {61, 3, 10}, {64, 4, 10}, {67, 5, 10}, {69, 6, 10},
                             {73, 7, 10}, {76, 8, 10}, {71, 9, 8},  {71, 10, 7}, {87, 11, 10}, {83, 12, 10}};
    for (const auto& p : placed) put(p[1], p[2], 0, p[0]);
    put(13, 11, 94, 81);
    put(14, 11, 95, 88);
    put(15, 5, 8, 26);
    put(16, 5, 8, 27);
    put(17, 5, 5, 30); // a block with content: never also a monster
    map_tag::initialize();
    std::vector<monster_tag> m = monsters();
    ASSERT_EQ(m.size(), 16u);

    // Cell order: row 5 first, then row 7, row 8, row 10, row 11.
    EXPECT_EQ(m[0].typ, 10);
    EXPECT_EQ(m[0].frame, 26);
    EXPECT_EQ(m[1].frame, 27);
    EXPECT_EQ(m[2].typ, 3); // row 7, y 300: below 320, starts upwards
    EXPECT_EQ(m[2].ystp, -4.0f);
    EXPECT_EQ(m[3].typ, 3); // row 8, y 340
    EXPECT_EQ(m[3].ystp, 4.0f);
    const int walker_types[] = {0, 0, 1, 1, 2, 2, 4, 4};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(m[4 + k].typ, walker_types[k]) << k;
        EXPECT_EQ(m[4 + k].xstp, k % 2 == 0 ? -1.0f : 1.0f) << k;
        EXPECT_EQ(m[4 + k].y, 420.0f) << k;
    }
    EXPECT_EQ(m[12].typ, 5);
    EXPECT_EQ(m[13].typ, 6);
    EXPECT_EQ(m[13].x, 500.0f - 20.0f);
    EXPECT_EQ(m[13].y, 420.0f - 16.0f);
    EXPECT_EQ(m[13].xscale, 1.4f);
    EXPECT_EQ(m[14].typ, 11);
    EXPECT_EQ(m[14].ystp, -8.0f);
    EXPECT_EQ(m[15].typ, 8);
    EXPECT_EQ(m[15].xscale, 1.5f);
    for (const auto& p : placed) EXPECT_EQ(cell(p[1], p[2]).tile2, 0) << p[0];
    EXPECT_EQ(cell(17, 5).objectid, 5);
}

} // namespace
