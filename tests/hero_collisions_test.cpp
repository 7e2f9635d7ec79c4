// The hero against the map cells.
#include "world_fixture.h"
#include "flow/states.h"

namespace world_test {
namespace {

class HeroCollisions : public WorldTest {
  protected:
    // The hero just under cell (col, row), rising.
    void below(int col, int row, float dx = 0.0f, float ystp = -5.0f) {
        hero().x = cell(col, row).x + dx;
        hero().y = cell(col, row).y + 39.0f;
        hero().ystp = ystp;
    }
};

TEST_F(HeroCollisions, LandingsAlwaysBounce) {
    put(5, 10, TILE_GROUND);
    hero().x = cell(5, 10).x;
    hero().y = cell(5, 10).y - 39.0f;
    hero().ystp = 5.0f;
    hero().rotation = 70;
    game.jump = 1;
    hero().collisions(index(5, 10));
    EXPECT_FLOAT_EQ(hero().ystp, -4.0f); // the end of a jump
    EXPECT_FLOAT_EQ(hero().y, cell(5, 10).y - 40.0f);
    EXPECT_EQ(game.jump, 0);
    EXPECT_EQ(hero().rotation, 0);
    EXPECT_FLOAT_EQ(hero().yscale, 0.5f);

    hero().y = cell(5, 10).y - 39.0f;
    hero().collisions(index(5, 10));
    EXPECT_FLOAT_EQ(hero().ystp, -3.0f); // the end of a bounce
}

// A landing needs the hero's centre more than 18 pixels above the cell's: at exactly 18 the
// overlap changes nothing.
TEST_F(HeroCollisions, LandingNeedsTheCentreMoreThan18PixelsAbove) {
    put(5, 10, TILE_GROUND);
    hero().x = cell(5, 10).x;
    hero().y = cell(5, 10).y - 18.0f;
    hero().ystp = 5.0f;
    hero().collisions(index(5, 10));
    EXPECT_FLOAT_EQ(hero().ystp, 5.0f);
    EXPECT_FLOAT_EQ(hero().y, cell(5, 10).y - 18.0f);

    hero().y = cell(5, 10).y - 18.5f;
    hero().collisions(index(5, 10));
    EXPECT_FLOAT_EQ(hero().ystp, -3.0f);
    EXPECT_FLOAT_EQ(hero().y, cell(5, 10).y - 40.0f);
}

TEST_F(HeroCollisions, SpringboardLaunchesAndBumps) {
    put(5, 10, TILE_GROUND, OBJECT_SPRINGBOARD);
    hero().x = cell(5, 10).x;
    hero().y = cell(5, 10).y - 39.0f;
    hero().collisions(index(5, 10));
    EXPECT_FLOAT_EQ(hero().ystp, -10.0f);
    EXPECT_EQ(cell(5, 10).yoffset, -10);
}

TEST_F(HeroCollisions, JumpFromAFloorBumpsTheBlockAbove) {
    for (int col = 0; col < 16; ++col) put(col, 11, 9);
    map_tag& block = put(2, 7, TILE_BONUS);
    block.objectid = CONTENT_MAGIC;
    hero().x = cell(2, 7).x;
    hero().y = 380.0f;
    for (int f = 0; f < 20; ++f) play_game();
    key(KEY_LCONTROL, true);
    for (int f = 0; f < 80; ++f) play_game();
    EXPECT_EQ(block.tile1, TILE_USED);
    EXPECT_EQ(hero().magic, 1);
    EXPECT_EQ(hero().score, 100);
    EXPECT_EQ(game.jump, 0); // landed again
    EXPECT_EQ(game.state, STATE_PLAY);
}

TEST_F(HeroCollisions, WallsPushTheHeroOut) {
    put(5, 8, TILE_GROUND);
    hero().x = cell(5, 8).x - 30.0f;
    hero().y = cell(5, 8).y + 5.0f;
    hero().ystp = 1.0f;
    hero().collisions(index(5, 8));
    EXPECT_FLOAT_EQ(hero().x, cell(5, 8).x - 35.0f);
    hero().x = cell(5, 8).x + 30.0f;
    hero().collisions(index(5, 8));
    EXPECT_FLOAT_EQ(hero().x, cell(5, 8).x + 35.0f);
    EXPECT_FLOAT_EQ(hero().ystp, 1.0f);
}

TEST_F(HeroCollisions, HiddenBlockOpensOnlyInARisingJump) {
    map_tag& c = put(5, 6, TILE_EMPTY);
    c.hidden = 1;
    c.objectid = CONTENT_NONE;
    below(5, 6);
    game.jump = 0; // rising from a bounce
    hero().collisions(index(5, 6));
    EXPECT_EQ(c.tile1, TILE_EMPTY);
    game.jump = 1;
    hero().ystp = 1.0f; // falling
    hero().collisions(index(5, 6));
    EXPECT_EQ(c.tile1, TILE_EMPTY);

    hero().ystp = -5.0f;
    hero().collisions(index(5, 6));
    EXPECT_EQ(c.tile1, TILE_USED);
    EXPECT_EQ(c.yoffset, -10);
    EXPECT_EQ(hero().score, 50);
    // The new used block is solid at once: the same test goes on to the head hit.
    EXPECT_FLOAT_EQ(hero().ystp, 2.0f);
}

TEST_F(HeroCollisions, HeadHitOnlyNearTheBlockCentre) {
    map_tag& c = put(5, 6, TILE_BRICK);
    c.objectid = CONTENT_MAGIC;
    below(5, 6, 21.0f);
    hero().collisions(index(5, 6));
    EXPECT_EQ(c.tile1, TILE_BRICK);
    EXPECT_FLOAT_EQ(hero().ystp, -5.0f);
    below(5, 6, -21.0f);
    hero().collisions(index(5, 6));
    EXPECT_EQ(c.tile1, TILE_BRICK);

    below(5, 6, 20.0f);
    hero().collisions(index(5, 6));
    EXPECT_FLOAT_EQ(hero().ystp, 2.0f);
    EXPECT_FLOAT_EQ(hero().yscale, 0.5f);
    EXPECT_EQ(c.tile1, TILE_USED);
    EXPECT_EQ(c.objectid, CONTENT_NONE);
    EXPECT_EQ(hero().magic, 1);
}

TEST_F(HeroCollisions, PoweredHeroBreaksOnlyEmptyBricks) {
    hero().power = 1;
    map_tag& empty = put(5, 6, TILE_BRICK);
    below(5, 6);
    hero().collisions(index(5, 6));
    EXPECT_EQ(empty.tile1, TILE_EMPTY);
    EXPECT_EQ(hero().score, 50);
    EXPECT_EQ(game.setpoint, "50");

    map_tag& full = put(8, 6, TILE_BRICK);
    full.objectid = CONTENT_MAGIC;
    below(8, 6);
    hero().collisions(index(8, 6));
    EXPECT_EQ(full.tile1, TILE_USED);
    EXPECT_EQ(full.yoffset, -10);
    EXPECT_EQ(hero().score, 150);
    EXPECT_EQ(hero().magic, 1);
}

TEST_F(HeroCollisions, PlainHeroOnlyBumpsBricks) {
    map_tag& brick = put(5, 6, TILE_BRICK);
    below(5, 6);
    hero().collisions(index(5, 6));
    EXPECT_EQ(brick.tile1, TILE_BRICK);
    EXPECT_EQ(brick.yoffset, -10);
    EXPECT_EQ(hero().score, 0);
}

TEST_F(HeroCollisions, BonusBlockPaysOnlyAPoweredHero) {
    map_tag& a = put(5, 6, TILE_BONUS);
    below(5, 6);
    hero().collisions(index(5, 6));
    EXPECT_EQ(a.tile1, TILE_USED);
    EXPECT_EQ(hero().score, 0);

    hero().power = 1;
    map_tag& b = put(8, 6, TILE_BONUS);
    below(8, 6);
    hero().collisions(index(8, 6));
    EXPECT_EQ(b.tile1, TILE_USED);
    EXPECT_EQ(b.yoffset, -10);
    EXPECT_GE(hero().score, 100);
    EXPECT_LE(hero().score, 500);
    EXPECT_EQ(hero().score % 100, 0);
    EXPECT_EQ(game.setpoint, std::to_string(hero().score));
}

TEST_F(HeroCollisions, MultiMagicPaysUntilTheFirstHitAfterItsTimer) {
    map_tag& c = put(5, 6, TILE_BRICK);
    c.objectid = CONTENT_MULTI_MAGIC;
    int hits = 0;
    auto hit = [&] {
        below(5, 6);
        hero().collisions(index(5, 6));
        ++hits;
    };
    hit();
    EXPECT_EQ(c.multitmr, 160);
    for (int f = 0; f < 157; ++f) {
        c.update(0);
        if (f % 40 == 0) hit();
    }
    EXPECT_EQ(c.tile1, TILE_BRICK); // timer at 3: still paying
    c.update(0);
    EXPECT_EQ(c.multitmr, 2);
    EXPECT_EQ(c.tile1, TILE_BRICK);
    hit();
    EXPECT_EQ(c.tile1, TILE_USED);
    EXPECT_EQ(c.multitmr, 0);
    EXPECT_EQ(hero().magic, hits);
    EXPECT_EQ(hero().score, 100 * hits);
    hit(); // a used block pays nothing
    EXPECT_EQ(hero().magic, hits - 1);
}

TEST_F(HeroCollisions, LevelItemAndFreeMagicAreCollected) {
    put(5, 6, TILE_EMPTY, level_item_object(3));
    hero().x = cell(5, 6).x;
    hero().y = cell(5, 6).y;
    hero().collisions(index(5, 6));
    EXPECT_EQ(hero().item[2], 1);
    EXPECT_EQ(game.item, 1);
    EXPECT_EQ(cell(5, 6).tile2, OBJECT_NONE);

    put(6, 6, TILE_GROUND, OBJECT_MAGIC); // also on solid ground
    hero().x = cell(6, 6).x + 25.0f; // touches the box but not the round magic
    hero().collisions(index(6, 6));
    EXPECT_EQ(cell(6, 6).tile2, OBJECT_MAGIC);
    hero().x = cell(6, 6).x;
    hero().y = cell(6, 6).y;
    hero().collisions(index(6, 6));
    EXPECT_EQ(cell(6, 6).tile2, OBJECT_NONE);
    EXPECT_EQ(hero().magic, 1);
    EXPECT_EQ(hero().score, 100);
}

TEST_F(HeroCollisions, LiquidKillsEvenAnInvinciblePoweredHero) {
    put(5, 11, TILE_LAVA);
    hero().power = 2;
    game.invincible = 40;
    hero().x = cell(5, 11).x;
    hero().y = cell(5, 11).y - 30.0f;
    hero().collisions(index(5, 11));
    EXPECT_EQ(game.state, STATE_DEATH);
    EXPECT_EQ(game.pumkdeath, DEATH_LIQUID);
    EXPECT_EQ(hero().power, 0);
}

TEST_F(HeroCollisions, OnlyCellsOnScreenAreTested) {
    map_tag& c = put(5, 11, TILE_WATER);
    c.x = -1.0f;
    hero().x = 5.0f;
    hero().y = c.y;
    hero().collisions(index(5, 11));
    EXPECT_EQ(game.state, STATE_PLAY);
    c.x = 0.9f; // truncates to 0: tested
    hero().collisions(index(5, 11));
    EXPECT_EQ(game.state, STATE_DEATH);
}

} // namespace
} // namespace world_test
