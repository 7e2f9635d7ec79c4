// Monsters: entering the screen, the cannon, the shooting walker, the fire bar, projectiles,
// the thrower, the shells' removal and the leaper that survives being knocked out.
#include "actors_fixture.h"

namespace actors_test {
namespace {

using MonsterTest = ActorsTest;

TEST_F(MonsterTest, FrozenAndHarmlessUntilScrolledInThenMovesTheUpdateAfter) {
    monster_tag& m = add(700.0f, 300.0f, -1.0f, MONSTER_WALKER);
    hero_at(700.0f, 300.0f); // right on top of it, but it has not entered
    for (int i = 0; i < 3; ++i) monsters_frame();
    EXPECT_EQ(m.x, 700.0f);
    EXPECT_EQ(m.entered, 0);
    EXPECT_EQ(game.state, STATE_PLAY);

    hero().x = 100.0f;
    monsters_frame(-41); // the scroll alone brings it to 659: it enters, but does not walk yet
    EXPECT_EQ(m.x, 659.0f);
    EXPECT_EQ(m.entered, 1);
    monsters_frame();
    EXPECT_EQ(m.x, 658.0f);
    EXPECT_EQ(m.frame, FRAME_WALKER_LEFT);
}

TEST_F(MonsterTest, CannonFiresUnseenFromUpTo900AtAHeroOnItsLeft) {
    hero().y = 300.0f;
    monster_tag& near = add(800.0f, 300.0f, 0.0f, MONSTER_CANNON);
    monster_tag& far = add(950.0f, 300.0f, 0.0f, MONSTER_CANNON);
    monsters_update();
    EXPECT_EQ(near.entered, 0);
    EXPECT_EQ(near.projectile, 1);
    EXPECT_EQ(near.pframe, FRAME_CANNONBALL);
    EXPECT_EQ(near.px, 770.0f);
    EXPECT_EQ(near.py, 295.0f);
    EXPECT_EQ(far.projectile, 0);
    monsters_update();
    EXPECT_EQ(near.px, 766.0f); // flies in from the right at 4.0

    monster_list.Clear();
    hero().x = 500.0f;
    monster_tag& behind = add(400.0f, 300.0f, 0.0f, MONSTER_CANNON);
    monsters_update();
    EXPECT_EQ(behind.projectile, 0);
}

TEST_F(MonsterTest, ShootingWalkerFiresOnlyAtItsOwnHeightTowardsItsWalkingSide) {
    monster_tag& left = add(400.0f, 300.0f, -1.0f, MONSTER_SHOOTER);
    monster_tag& right = add(450.0f, 300.0f, 1.0f, MONSTER_SHOOTER);
    monsters_update(); // both enter
    hero_at(200.0f, 301.0f);
    monsters_update();
    EXPECT_EQ(left.projectile, 0);

    hero().y = 300.0f;
    monsters_update();
    EXPECT_EQ(left.projectile, 1);
    EXPECT_EQ(left.pframe, FRAME_SHOT_LEFT);
    EXPECT_EQ(left.pxstp, -4.0f);
    EXPECT_EQ(left.frame, FRAME_SHOOTER_SHOOTING_LEFT);
    EXPECT_EQ(left.xstp, 0.0f);
    EXPECT_EQ(right.projectile, 0); // the hero is behind it

    // Out of the line of fire, it stands for the pause and then walks on the way it shot.
    hero().y = 100.0f;
    for (int i = 0; i < 47; ++i) monsters_update();
    EXPECT_EQ(left.xstp, 0.0f);
    monsters_update();
    EXPECT_EQ(left.xstp, -1.0f);
    EXPECT_EQ(left.ctr1, 1.0f);
}

TEST_F(MonsterTest, FireBarTurnsADegreePerUpdateInItsDirection) {
    monster_tag& ccw = add(300.0f, 300.0f, -1.0f, MONSTER_FIRE_BAR);
    monster_tag& cw = add(300.0f, 100.0f, 1.0f, MONSTER_FIRE_BAR);
    EXPECT_EQ(ccw.xstp, 0.0f);
    hero().x = 600.0f;                             // well clear of both
    for (int i = 0; i < 4; ++i) monsters_update(); // the first only enters
    EXPECT_EQ(ccw.ctr1, -3.0f);
    EXPECT_EQ(cw.ctr1, 3.0f);
    EXPECT_EQ(ccw.rotation, -66);
    EXPECT_EQ(cw.x, 300.0f);
}

TEST_F(MonsterTest, FireBarBallsHurtThroughInvincibilityOncePerBall) {
    add(300.0f, 300.0f, 1.0f, MONSTER_FIRE_BAR);
    monsters_update(); // enters
    // After the next update the bar points straight up: balls at y 280, 260, ..., 180.
    hero_at(300.0f, 160.0f); // touches only the top ball
    hero().power = 1;
    game.invincible = 30;
    monsters_update();
    EXPECT_EQ(hero().power, 0);
    EXPECT_EQ(game.invincible, 50);
    EXPECT_EQ(game.state, STATE_PLAY);

    monster_list.Clear();
    add(300.0f, 300.0f, 1.0f, MONSTER_FIRE_BAR);
    monsters_update();
    hero().y = 240.0f; // touches three balls: the first takes the power, the second kills
    hero().power = 1;
    monsters_update();
    EXPECT_EQ(hero().power, 0);
    EXPECT_EQ(game.state, STATE_DEATH);
    EXPECT_EQ(game.pumkdeath, DEATH_MONSTER);
}

TEST_F(MonsterTest, ProjectilePassesThroughAnInvincibleHeroAndHurtsOtherwise) {
    hero_at(400.0f, 295.0f);
    hero().power = 1;
    game.invincible = 1000;
    monster_tag& cannon = add(600.0f, 300.0f, 0.0f, MONSTER_CANNON);
    bool passed = false;
    for (int i = 0; i < 80 && !passed; ++i) {
        monsters_update();
        passed = cannon.projectile == 1 && cannon.px < 340.0f;
    }
    EXPECT_TRUE(passed);
    EXPECT_EQ(hero().power, 1);

    game.invincible = 0;
    monster_list.Clear();
    specialfx_list.AddLast(specialfx_tag{});
    monster_tag& again = add(600.0f, 300.0f, 0.0f, MONSTER_CANNON);
    for (int i = 0; i < 80 && hero().power != 0; ++i) monsters_update();
    EXPECT_EQ(hero().power, 0);
    EXPECT_EQ(game.invincible, 50);
    EXPECT_TRUE(specialfx_list.Empty());
    EXPECT_EQ(again.px, 570.0f); // the ball was spent and a new one fired at once
}

TEST_F(MonsterTest, ThrowerThrowsWhenTurningLeftButNotLeftOf150) {
    monster_tag& east = add(400.0f, 300.0f, 1.0f, MONSTER_THROWER);
    monster_tag& west = add(60.0f, 300.0f, 1.0f, MONSTER_THROWER);
    hero_at(600.0f, 60.0f);
    bool thrown = false;
    for (int i = 0; i < 300; ++i) {
        monsters_update();
        thrown = thrown || east.projectile == 1;
        EXPECT_EQ(west.projectile, 0);
    }
    EXPECT_TRUE(thrown);
}

// Removal sweeps the list when a walk ends, so monsters are looked up afresh after each frame.
TEST_F(MonsterTest, ShellsLeaveOnTheRightAt680ButOnTheLeftOnlyPast100) {
    add_entered(679.0f, 300.0f, 4.0f, MONSTER_SHELL, FRAME_SHELL_RIGHT); // a shell leaving on the right: gone past 680
    add_entered(-90.0f, 300.0f, -4.0f, MONSTER_SHELL, FRAME_SHELL_LEFT); // a shell on the left: gone only past -100
    add_entered(300.0f, 478.0f, 0.0f, MONSTER_SPIKY_WALKER, FRAME_SPIKY_WALKER_LEFT).ystp =
        4.0f; // and one falling below 480
    monsters_update();
    ASSERT_EQ(monster_list.Count(), 1u);
    EXPECT_EQ(monster_list.At(0)->x, -94.0f);
    monsters_update();
    monsters_update();
    EXPECT_TRUE(monster_list.Empty());
}

// A fire bar knocked out by a shell falls out of play turning; its balls burn no more.
TEST_F(MonsterTest, AKnockedOutFireBarNoLongerBurns) {
    monster_tag& bar = add(300.0f, 300.0f, 1.0f, MONSTER_FIRE_BAR);
    monsters_update();       // enters
    hero_at(300.0f, 200.0f); // where its balls will be
    bar.state = 0;
    bar.ystp = 5.0f;
    bar.rstp = -22;
    for (int i = 0; i < 20; ++i) monsters_update();
    EXPECT_EQ(game.state, STATE_PLAY);
    EXPECT_EQ(hero().power, 0);
}

TEST_F(MonsterTest, KnockedOutLeaperLeapsOnHarmlessly) {
    monster_tag& leaper = add(300.0f, 400.0f, 0.0f, MONSTER_LEAPER, -8.0f);
    leaper.state = 0; // knocked out
    leaper.ystp = 5.0f;
    leaper.rstp = -22;
    hero_at(300.0f, 300.0f);
    float top = 400.0f;
    for (int i = 0; i < 600; ++i) {
        monsters_frame();
        top = std::min(top, leaper.y);
    }
    EXPECT_TRUE(monster_list.Contains(&leaper));
    EXPECT_LT(top, 150.0f);
    EXPECT_EQ(game.state, STATE_PLAY);
}

} // namespace
} // namespace actors_test
