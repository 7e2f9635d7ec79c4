// Map cell update and drawing.
#include "world_fixture.h"

namespace world_test {
namespace {

using MapUpdate = WorldTest;

int draws_made(map_tag& c) {
    return random_draws([&] { c.update(0); });
}

TEST_F(MapUpdate, AnimatesOnlyInsideTheVisibleBand) {
    const float inside[] = {-39.9f, 679.9f, 300.0f};
    const float outside[] = {-40.0f, 680.0f, -500.0f};
    for (float x : inside) {
        map_tag c;
        c.x = x;
        c.tile1 = TILE_BONUS;
        c.update(0);
        EXPECT_EQ(c.framedly, 1) << x;
    }
    for (float x : outside) {
        map_tag c;
        c.x = x;
        c.tile1 = TILE_BONUS;
        c.tile2 = OBJECT_TORCH;
        c.yoffset = -10;
        EXPECT_EQ(draws_made(c), 0) << x;
        EXPECT_EQ(c.framedly, 0) << x;
        EXPECT_EQ(c.yoffset, -10) << x;
    }
}

TEST_F(MapUpdate, MultiMagicTimerRunsDownTo2OnOrOffScreen) {
    map_tag c;
    c.x = 5000.0f;
    c.multitmr = 160;
    for (int i = 0; i < 157; ++i) c.update(0);
    EXPECT_EQ(c.multitmr, 3);
    c.update(0);
    EXPECT_EQ(c.multitmr, 2);
    for (int i = 0; i < 5; ++i) c.update(0);
    EXPECT_EQ(c.multitmr, 2);
    for (int idle : {0, 1}) {
        c.multitmr = idle;
        c.update(0);
        EXPECT_EQ(c.multitmr, idle);
    }
}

TEST_F(MapUpdate, BonusBlockCyclesEvery11FramesUntilUsed) {
    map_tag c;
    c.x = 100.0f;
    c.y = 100.0f;
    c.tile1 = TILE_BONUS;
    std::vector<int> seen;
    for (int i = 0; i < 33; ++i) {
        c.update(0);
        seen.push_back(c.framectr);
    }
    EXPECT_EQ(seen[9], 0);
    EXPECT_EQ(seen[10], 1);
    EXPECT_EQ(seen[21], 2);
    EXPECT_EQ(seen[32], 0);
    c.tile1 = TILE_USED;
    int ctr = c.framectr, dly = c.framedly;
    for (int i = 0; i < 20; ++i) c.update(0);
    EXPECT_EQ(c.framectr, ctr);
    EXPECT_EQ(c.framedly, dly);
}

TEST_F(MapUpdate, TorchesMagicAndItemsAnimate) {
    map_tag torch;
    torch.x = 100.0f;
    torch.tile2 = OBJECT_TORCH;
    EXPECT_EQ(draws_made(torch), 2); // glow alpha and stretch
    torch.update(0);
    torch.update(0);
    EXPECT_EQ(torch.framectr, 1); // every third frame
    EXPECT_EQ(DrawState().blend_mode, BLEND_MASK);
    EXPECT_EQ(DrawState().tform_scale_y, 1.0f);

    map_tag magic;
    magic.x = 100.0f;
    magic.tile2 = OBJECT_MAGIC;
    EXPECT_EQ(draws_made(magic), 1); // pulse
    EXPECT_EQ(magic.rotation, 5);
    EXPECT_EQ(DrawState().tform_rot, 0.0f);
    EXPECT_EQ(DrawState().tform_scale_x, 1.0f);

    map_tag item;
    item.x = 100.0f;
    item.tile2 = level_item_object(3);
    std::vector<int> seen;
    for (int i = 0; i < 10; ++i) {
        item.update(0);
        seen.push_back(item.framectr);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1, 1, 0}));

    map_tag plain;
    plain.x = 100.0f;
    plain.tile1 = TILE_BRICK;
    plain.tile2 = OBJECT_SPRINGBOARD;
    EXPECT_EQ(draws_made(plain), 0);
}

uint8_t red_at(int x, int y) {
    uint8_t rgb[3];
    ReadBackBuffer(x, y, 1, 1, rgb);
    return rgb[0];
}

TEST_F(MapUpdate, BumpedBlockRisesWithItsOverlayAndSettles) {
    map_tag c;
    c.x = 100.0f;
    c.y = 100.0f;
    c.tile1 = TILE_BRICK;
    c.tile2 = OBJECT_SPRINGBOARD;
    c.yoffset = -10;
    Cls();
    c.update(0);
    EXPECT_EQ(c.yoffset, -9);
    // Drawn 9 px up: rows 71..110, with the blank frame 0 under it.
    EXPECT_EQ(red_at(100, 71), 40 + 11);
    EXPECT_EQ(red_at(100, 111), 0);
    for (int i = 0; i < 9; ++i) c.update(0);
    EXPECT_EQ(c.yoffset, 0);
    c.update(0);
    EXPECT_EQ(c.yoffset, 0);
}

} // namespace
} // namespace world_test
