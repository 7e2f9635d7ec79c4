// Pickups: what each one gives, how they move against blocks, where they leave the game.
#include "actors_fixture.h"

namespace actors_test {
namespace {

using SpecialItemTest = ActorsTest;

specialitem_tag& item_at_hero(int typ) {
    specialitem_tag::Create(0.0f, 0.0f, typ);
    specialitem_tag& it = *specialitem_list.At(specialitem_list.Count() - 1);
    it.x = current_player().x;
    it.y = current_player().y;
    return it;
}

TEST_F(SpecialItemTest, FirePowerGives1000PointsOnlyAtPower2) {
    hero().power = 2;
    item_at_hero(PICKUP_FIRE_POWER).collisions();
    EXPECT_EQ(hero().score, 1000);
    EXPECT_EQ(last_popup(), "1000");
    EXPECT_TRUE(specialitem_list.Empty());

    specialfx_list.Clear();
    for (int power : {0, 1}) {
        hero().power = power;
        item_at_hero(PICKUP_FIRE_POWER).collisions();
        EXPECT_EQ(hero().power, 2);
    }
    EXPECT_EQ(hero().score, 1000);
    EXPECT_TRUE(specialfx_list.Empty());
}

TEST_F(SpecialItemTest, PowerUpLifeAndInvincibility) {
    hero().power = 2;
    item_at_hero(PICKUP_POWER_UP).collisions();
    EXPECT_EQ(hero().power, 1); // also from power 2: the fire power is lost

    item_at_hero(PICKUP_EXTRA_LIFE).collisions();
    EXPECT_EQ(hero().lives, 4);
    EXPECT_EQ(last_popup(), "1up");
    EXPECT_EQ(specialfx_list.At(0)->y, 60.0f - 40.0f);

    specialfx_list.Clear();
    item_at_hero(PICKUP_INVINCIBILITY).collisions();
    EXPECT_EQ(game.invincible, 600);
    EXPECT_EQ(hero().score, 1500);
    EXPECT_TRUE(specialfx_list.Empty());
    EXPECT_TRUE(specialitem_list.Empty());
}

TEST_F(SpecialItemTest, BlocksTurnItsSidesPushItDownAndHoldIt) {
    put(8, 7, 9); // (340, 300)
    specialitem_tag::Create(0.0f, 0.0f, PICKUP_POWER_UP);
    specialitem_tag& it = *specialitem_list.At(0);
    it.x = 307.0f; // rolling towards the block at its own height: the potion's glass ends 12 px right
    it.y = 300.0f; // of its centre, one pixel short of the block
    it.xstp = 2.0f;
    it.collisions();
    EXPECT_EQ(it.xstp, 2.0f);
    it.x = 308.0f; // touching it
    it.y = 300.0f;
    it.xstp = 2.0f;
    it.collisions();
    EXPECT_EQ(it.xstp, -2.0f);

    it.x = 340.0f; // hitting it from below
    it.y = 325.0f;
    it.ystp = -4.0f;
    it.collisions();
    EXPECT_EQ(it.y, 340.0f);
    EXPECT_EQ(it.ystp, 2.0f);

    it.y = 275.0f; // landing on it: slides at 2.0, hopping
    it.xstp = 0.0f;
    it.collisions();
    EXPECT_EQ(it.y, 265.0f);
    EXPECT_EQ(it.xstp, 2.0f);
    EXPECT_EQ(it.ystp, -1.0f);
    EXPECT_EQ(it.rstp, 0);

    specialitem_tag::Create(0.0f, 0.0f, PICKUP_FIRE_POWER);
    specialitem_tag& fire = *specialitem_list.At(1);
    fire.x = 340.0f;
    fire.y = 275.0f;
    fire.ystp = 3.0f;
    fire.collisions();
    EXPECT_EQ(fire.y, 260.0f);
    EXPECT_EQ(fire.yinc, 0.0f);
    EXPECT_EQ(fire.xstp, 0.0f);
    items_frame(); // at rest: moved down by its old speed, put back on top
    EXPECT_EQ(fire.y, 260.0f);
}

TEST_F(SpecialItemTest, OnlyTheInvincibilityItemDrawsRandomColours) {
    using world_test::random_draws;
    specialitem_tag star, life;
    star.frame = FRAME_HERO;
    life.frame = FRAME_EXTRA_LIFE;
    EXPECT_EQ(random_draws([&] { star.update(0); }), 3);
    EXPECT_EQ(random_draws([&] { life.update(0); }), 0);
}

} // namespace
} // namespace actors_test
