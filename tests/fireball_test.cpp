// The hero's fireball: launch, flight, the blocks that end or bounce it, the screen edges.
#include "actors_fixture.h"

namespace actors_test {
namespace {

using FireballTest = ActorsTest;

TEST_F(FireballTest, LaunchFollowsTheHerosFacing) {
    game.curdir = 1;
    fireball_tag::Create(100, 200);
    EXPECT_EQ(game.fbshoot, 1);
    EXPECT_EQ(fireball.state, 1);
    EXPECT_EQ(fireball.xstp, 6.0f);
    EXPECT_EQ(fireball.frame, 27);
    fireball.update(-2);
    EXPECT_FLOAT_EQ(fireball.ystp, 2.3f); // gravity comes before the move
    EXPECT_FLOAT_EQ(fireball.y, 202.3f);
    EXPECT_EQ(fireball.x, 104.0f);
    EXPECT_EQ(fireball.rotation, 45);

    game.curdir = 0;
    fireball_tag::Create(100, 200);
    EXPECT_EQ(fireball.xstp, -6.0f);
    EXPECT_EQ(fireball.rstp, -45);
    EXPECT_EQ(fireball.frame, 26);
    EXPECT_EQ(fireball.rotation, 0);
}

TEST_F(FireballTest, SideHitsEndItTopHitsBounceIt) {
    for (int t : {9, 4, 10, 24, 25}) {
        put(5, 5, t); // centre (220, 220)
        fireball = fireball_tag{};
        fireball.state = 1;
        fireball.frame = 27;
        fireball.x = 195.0f; // from the side
        fireball.y = 222.0f;
        fireball.collisions(index(5, 5));
        EXPECT_EQ(fireball.state, 0) << "tile " << t;

        fireball.state = 1;
        fireball.x = 200.0f; // from above, not centred: bounces
        fireball.y = 190.0f;
        fireball.ystp = 3.0f;
        fireball.collisions(index(5, 5));
        EXPECT_EQ(fireball.state, 1) << "tile " << t;
        EXPECT_EQ(fireball.ystp, -4.0f) << "tile " << t;

        fireball.x = 220.0f; // exactly centred, low enough to count as a side hit otherwise
        fireball.y = 210.0f;
        fireball.ystp = 3.0f;
        fireball.collisions(index(5, 5));
        EXPECT_EQ(fireball.state, 1) << "tile " << t;
        EXPECT_EQ(fireball.ystp, -4.0f) << "tile " << t;
    }
    put(5, 5, 11); // not solid
    fireball.x = 195.0f;
    fireball.y = 222.0f;
    fireball.collisions(index(5, 5));
    EXPECT_EQ(fireball.state, 1);
}

TEST_F(FireballTest, EndsAtTheScreenEdges) {
    struct Case {
        float x, y, xstp;
    } cases[] = {{3.0f, 200.0f, -6.0f}, {637.0f, 200.0f, 6.0f}, {300.0f, 479.0f, 6.0f}};
    for (const Case& c : cases) {
        fireball = fireball_tag{};
        fireball.state = 1;
        fireball.frame = 27;
        fireball.x = c.x;
        fireball.y = c.y;
        fireball.xstp = c.xstp;
        fireball.ystp = 2.0f;
        fireball.update(0);
        EXPECT_EQ(fireball.state, 0) << c.x << "," << c.y;
        const float x = fireball.x;
        fireball.update(0); // idle: not moved any more
        EXPECT_EQ(fireball.x, x);
    }
}

} // namespace
} // namespace actors_test
