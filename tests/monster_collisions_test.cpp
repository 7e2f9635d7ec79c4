// Monster collisions: blocks and walls, stomps of each kind, shells, the fireball and the hero's
// invincibility.
#include "actors_fixture.h"

namespace actors_test {
namespace {

using MonsterCollisionsTest = ActorsTest;

TEST_F(MonsterCollisionsTest, OnlyTiles4To10HoldMonsters) {
    put(0, 0, 9); // a block far off, first in index order: not standing on it means falling
    for (int t : {4, 5, 6, 7, 8, 9, 10, 24, 25}) {
        put(7, 8, t); // centre (300, 340)
        monster_tag& m = add_entered(300.0f, 305.0f, -1.0f, MONSTER_WALKER, FRAME_WALKER_LEFT);
        m.collisions();
        const bool holds = t <= 10;
        EXPECT_EQ(m.y, holds ? 300.0f : 305.0f) << "tile " << t;
        EXPECT_EQ(m.ystp, holds ? 0.0f : 4.0f) << "tile " << t;
        monster_list.Clear();
    }
}

// Each frame a walker stands on, the next update moves it 4 px down into the block and its
// collisions put it back on top: it is drawn at the same height every frame, still or walking,
// shell or not, as long as its picture reaches low enough in its frame.
TEST_F(MonsterCollisionsTest, WalkersAndShellsStandLevelOnABlock) {
    for (int c = 0; c < 16; ++c) put(c, 8, TILE_BRICK); // a brick floor, tops at y 320
    const struct {
        int typ, frame;
    } walkers[] = {{MONSTER_WALKER, FRAME_WALKER_LEFT},
                   {MONSTER_WALKER, FRAME_WALKER_RIGHT},
                   {MONSTER_SHELL_MAKER, FRAME_SHELL_MAKER_LEFT},
                   {MONSTER_SHELL_MAKER, FRAME_SHELL_MAKER_RIGHT},
                   {MONSTER_SPIKY_WALKER, FRAME_SPIKY_WALKER_LEFT},
                   {MONSTER_SPIKY_WALKER, FRAME_SPIKY_WALKER_RIGHT},
                   {MONSTER_SHOOTER, FRAME_SHOOTER_LEFT},
                   {MONSTER_SHOOTER, FRAME_SHOOTER_RIGHT},
                   {MONSTER_SHELL, FRAME_SHELL_LEFT},
                   {MONSTER_SHELL, FRAME_SHELL_RIGHT}};
    for (const auto& w : walkers)
        for (float xstp : {0.0f, 1.0f}) {
            monster_list.Clear();
            monster_tag& m = add_entered(300.0f, 300.0f, w.typ == MONSTER_SHELL ? 4.0f * xstp : xstp, w.typ, w.frame);
            m.frame = w.frame;
            hero_at(100.0f, 60.0f);
            std::vector<float> drawn_at;
            for (int i = 0; i < 12; ++i) {
                drawn_at.push_back(m.y);
                monsters_frame();
            }
            EXPECT_EQ(drawn_at, std::vector<float>(12, 300.0f)) << "frame " << w.frame << ", xstp " << xstp;
        }
}

TEST_F(MonsterCollisionsTest, InvisibleWallsTurnTypes1To4OneStepAheadButNotType0) {
    cell(8, 7).hiddenwall = 1; // (340, 300): two pixels beyond the walkers' next step
    monster_tag& shellmaker = add_entered(301.0f, 300.0f, 1.0f, MONSTER_SHELL_MAKER, FRAME_SHELL_MAKER_RIGHT);
    monster_tag& squasher = add_entered(301.0f, 300.0f, 1.0f, MONSTER_WALKER, FRAME_WALKER_RIGHT);
    monster_tag& far = add_entered(299.0f, 300.0f, 1.0f, MONSTER_SHOOTER, FRAME_SHOOTER_RIGHT);
    shellmaker.collisions();
    squasher.collisions();
    far.collisions();
    EXPECT_EQ(shellmaker.xstp, -1.0f);
    EXPECT_EQ(squasher.xstp, 1.0f);
    EXPECT_EQ(far.xstp, 1.0f);
}

// With the game's art a hero falling straight onto a shell-maker first touches it 22 px above
// its centre; an empty shell, lower in its frame, 17 px above.
TEST_F(MonsterCollisionsTest, StompedShellMakerBecomesStillShellThatTheNextStompKicks) {
    hero().level = 2;
    hero().area = 3;
    monster_tag& m = add_entered(300.0f, 300.0f, -1.0f, MONSTER_SHELL_MAKER, FRAME_SHELL_MAKER_LEFT);
    hero_at(300.0f, 277.0f);
    game.jump = 1;
    m.collisions(); // one pixel short
    EXPECT_EQ(m.typ, MONSTER_SHELL_MAKER);
    hero_at(300.0f, 278.0f);
    m.collisions();
    EXPECT_EQ(m.typ, MONSTER_SHELL);
    EXPECT_EQ(m.frame, FRAME_SHELL_LEFT);
    EXPECT_EQ(m.xstp, 0.0f);
    EXPECT_EQ(hero().y, 268.0f);
    EXPECT_EQ(hero().ystp, -3.0f);
    EXPECT_EQ(hero().score, 350);
    EXPECT_EQ(last_popup(), "350");

    // Falling onto it from the left, faster than 5.0, with no jump under way; the shell lies
    // lower in its frame than the shell-maker stood.
    game.jump = 0;
    hero_at(290.0f, 282.0f);
    hero().ystp = 5.5f;
    m.collisions();
    EXPECT_EQ(m.xstp, 0.0f);
    hero_at(290.0f, 283.0f);
    m.collisions();
    EXPECT_EQ(m.xstp, 4.0f);
    EXPECT_EQ(game.jump, 1);
    EXPECT_EQ(hero().score, 700);

    // From the right it goes left.
    hero_at(310.0f, 283.0f);
    m.collisions();
    EXPECT_EQ(m.xstp, -4.0f);
    EXPECT_EQ(game.state, STATE_PLAY);
}

TEST_F(MonsterCollisionsTest, WalkingIntoAStillShellOrAnyWalkerHurts) {
    add_entered(300.0f, 300.0f, 0.0f, MONSTER_SHELL, FRAME_SHELL_LEFT);
    specialfx_tag::Create(10, 10, 0, 0, 0, 0, 0, EFFECT_BRICK_PIECE, 0);
    hero_at(273.0f, 300.0f); // the hero's right edge against the shell's left one
    hero().power = 2;
    monsters_frame();
    EXPECT_EQ(hero().power, 0);
    EXPECT_EQ(game.invincible, 50);
    EXPECT_TRUE(specialfx_list.Empty());

    // The hero's centre 5 px or more below the monster's is no stomp, even in a jump.
    monster_list.Clear();
    game.invincible = 0;
    game.jump = 1;
    monster_tag& m = add_entered(300.0f, 300.0f, -1.0f, MONSTER_WALKER, FRAME_WALKER_LEFT);
    hero_at(300.0f, 305.0f);
    m.collisions();
    EXPECT_EQ(game.state, STATE_DEATH);
    EXPECT_EQ(m.state, 1);
}

TEST_F(MonsterCollisionsTest, StompsOnOtherTypesDoNothing) {
    hero_at(300.0f, 280.0f); // its feet in the spiky walker's spikes
    game.jump = 1;
    for (int t : {MONSTER_SPIKY_WALKER, MONSTER_SHOOTER, MONSTER_CANNON, MONSTER_THROWER, MONSTER_LEAPER,
                  MONSTER_WITCH_FIREBALL, MONSTER_HOPPER}) {
        monster_tag& m = add_entered(300.0f, 300.0f, -1.0f, t, FRAME_SPIKY_WALKER_LEFT);
        m.collisions();
        EXPECT_EQ(m.state, 1) << "type " << t;
        EXPECT_EQ(hero().ystp, 0.0f) << "type " << t;
        monster_list.Clear();
    }
    EXPECT_EQ(hero().score, 0);
    EXPECT_EQ(game.state, STATE_PLAY);
}

TEST_F(MonsterCollisionsTest, SquashedWalkerStaysFlatAndIsGone59UpdatesLater) {
    monster_tag& m = add_entered(300.0f, 300.0f, -1.0f, MONSTER_WALKER, FRAME_WALKER_LEFT);
    hero_at(300.0f, 272.0f);
    game.jump = 1;
    m.collisions();
    EXPECT_EQ(m.state, 0);
    EXPECT_EQ(m.deathtmr, 60);
    EXPECT_EQ(m.y, 310.0f);
    EXPECT_EQ(m.yscale, 0.5f);
    EXPECT_EQ(hero().score, 150);
    for (int i = 0; i < 58; ++i) monsters_frame();
    EXPECT_TRUE(monster_list.Contains(&m));
    EXPECT_EQ(m.y, 310.0f);
    EXPECT_EQ(m.x, 300.0f);
    monsters_frame();
    EXPECT_FALSE(monster_list.Contains(&m));
}

TEST_F(MonsterCollisionsTest, MovingShellKnocksOutOthersButNotOneAtItsOwnTruncatedX) {
    hero().level = 3;
    monster_tag& shell = add_entered(300.0f, 300.0f, 4.0f, MONSTER_SHELL, FRAME_SHELL_RIGHT);
    monster_tag& ahead = add_entered(330.0f, 300.0f, -1.0f, MONSTER_SPIKY_WALKER, FRAME_SPIKY_WALKER_LEFT);
    monster_tag& level = add_entered(300.7f, 300.0f, -1.0f, MONSTER_SPIKY_WALKER, FRAME_SPIKY_WALKER_LEFT);
    monster_tag& unseen = add(310.0f, 290.0f, 1.0f, MONSTER_FIRE_BAR); // fire bars and monsters not yet in too
    unseen.frame = FRAME_FIREBALL_RIGHT;
    shell.update(0);
    EXPECT_EQ(ahead.state, 0);
    EXPECT_EQ(ahead.ystp, 5.0f);
    EXPECT_EQ(unseen.state, 0);
    EXPECT_EQ(level.state, 1);
    EXPECT_EQ(hero().score, 2 * 700);
    EXPECT_EQ(last_popup(), "700");
    EXPECT_EQ(shell.x, 304.0f);
    monster_list.Remove(&level);
    // Knocked-out monsters are not hit again. The update runs inside a walk, as the game's does:
    // the shell's own walk of the list would otherwise sweep out the removed monster and move the
    // shell while it is being updated.
    monster_list.ForEach([&](monster_tag& m) {
        if (&m == &shell) m.update(0);
    });
    EXPECT_EQ(hero().score, 2 * 700);
}

// The fireball passes through leapers, enemy fireballs and fire bars; a monster already knocked
// out or squashed uses it up and scores again, knocked out once more.
TEST_F(MonsterCollisionsTest, FireballTargets) {
    fireball.x = fireball.y = 300.0f;
    fireball.state = 1;
    fireball.frame = FRAME_FIREBALL_RIGHT;
    for (int t : {MONSTER_LEAPER, MONSTER_WITCH_FIREBALL, MONSTER_FIRE_BAR})
        add_entered(300.0f, 300.0f, 0.0f, t, FRAME_LEAPER).collisions();
    EXPECT_EQ(fireball.state, 1);

    fireball.x = 310.0f;
    monster_tag& out = add_entered(300.0f, 290.0f, 0.0f, MONSTER_SPIKY_WALKER, FRAME_SPIKY_WALKER_LEFT);
    out.state = 0;
    out.rstp = 0;
    out.collisions();
    EXPECT_EQ(fireball.state, 0);
    EXPECT_EQ(out.rstp, -22);
    EXPECT_EQ(hero().score, 150);
    EXPECT_EQ(last_popup(), "150");
    EXPECT_EQ(specialfx_list.At(0)->x, 290.0f);

    fireball.state = 1;
    monster_tag& squashed = add_entered(300.0f, 290.0f, 0.0f, MONSTER_WALKER, FRAME_WALKER_LEFT);
    squashed.state = 0;
    squashed.deathtmr = 30;
    squashed.collisions();
    EXPECT_EQ(fireball.state, 0);
    EXPECT_EQ(squashed.ystp, 5.0f); // knocked out again: it falls
    EXPECT_EQ(hero().score, 300);

    fireball.state = 1;
    monster_tag& live = add_entered(300.0f, 290.0f, 0.0f, MONSTER_SPIKY_WALKER, FRAME_SPIKY_WALKER_LEFT);
    live.collisions();
    EXPECT_EQ(fireball.state, 0);
    EXPECT_EQ(live.state, 0);
    EXPECT_EQ(hero().score, 450);
}

// A hero already dying (it fell into liquid earlier in the frame) is not caught again: the death
// stays a drowning, with its splash, whatever touches the hero afterwards.
TEST_F(MonsterCollisionsTest, AHeroAlreadyDyingIsNotHurtAgain) {
    hero_at(300.0f, 300.0f);
    game.pumkdeath = DEATH_LIQUID;
    game.state = STATE_DEATH;
    specialfx_tag::Create(300.0f, 290.0f, 0, 0, 0.0f, 0.0f, 0.0f, EFFECT_SPLASH, SPLASH_WATER); // the splash
    add_entered(300.0f, 300.0f, -1.0f, MONSTER_SPIKY_WALKER, FRAME_SPIKY_WALKER_LEFT).collisions();
    monster_tag& shooter = add_entered(500.0f, 300.0f, 0.0f, MONSTER_SHOOTER, FRAME_SHOOTER_LEFT);
    shooter.projectile = 1;
    shooter.pframe = FRAME_SHOT_LEFT;
    shooter.px = 300.0f;
    shooter.py = 300.0f;
    shooter.update(0);
    monster_tag& bar = add(300.0f, 340.0f, 1.0f, MONSTER_FIRE_BAR);
    bar.entered = 1;
    bar.update(0);
    EXPECT_EQ(game.pumkdeath, DEATH_LIQUID);
    EXPECT_EQ(specialfx_list.Count(), 1u);
    EXPECT_EQ(game.state, STATE_DEATH);
}

TEST_F(MonsterCollisionsTest, InvincibleHeroKnocksOutWhatItTouchesExceptFireBars) {
    game.invincible = 20;
    hero_at(300.0f, 300.0f);
    monster_tag& m = add_entered(300.0f, 300.0f, -1.0f, MONSTER_SHOOTER, FRAME_SHOOTER_LEFT);
    monster_tag& bar = add_entered(300.0f, 300.0f, 0.0f, MONSTER_FIRE_BAR, FRAME_FIREBALL_RIGHT);
    m.collisions();
    bar.collisions();
    EXPECT_EQ(m.state, 0);
    EXPECT_EQ(m.ystp, 5.0f);
    EXPECT_EQ(bar.state, 1);
    EXPECT_EQ(hero().score, 150);
    EXPECT_EQ(game.state, STATE_PLAY);
}

} // namespace
} // namespace actors_test
