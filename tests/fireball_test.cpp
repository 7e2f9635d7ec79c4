// The hero's fireball: launch and the blocks that end or bounce it.
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
    EXPECT_EQ(fireball.frame, FRAME_FIREBALL_RIGHT);
    fireball.update(-2);
    EXPECT_FLOAT_EQ(fireball.ystp, 2.3f); // gravity comes before the move
    EXPECT_FLOAT_EQ(fireball.y, 202.3f);
    EXPECT_EQ(fireball.x, 104.0f);
    EXPECT_EQ(fireball.rotation, 45);
}

TEST_F(FireballTest, SideHitsEndItTopHitsBounceIt) {
    for (int t : {4, 10, 24, 25}) {
        put(5, 5, t); // centre (220, 220)
        fireball = fireball_tag{};
        fireball.state = 1;
        fireball.frame = FRAME_FIREBALL_RIGHT;
        fireball.x = 195.0f; // from the side
        fireball.y = 222.0f;
        fireball.collisions(index(5, 5));
        EXPECT_EQ(fireball.state, 0) << "tile " << t;

        fireball.state = 1;
        fireball.x = 200.0f; // from above, not centred: bounces (its orb's lowest row sits 9 px below
        fireball.y = 195.0f; // its centre)
        fireball.ystp = 3.0f;
        fireball.collisions(index(5, 5));
        EXPECT_EQ(fireball.state, 1) << "tile " << t;
        EXPECT_EQ(fireball.ystp, -4.0f) << "tile " << t;

        // A side hit needs the centre lower than 15 px above the block's: at 15 it bounces.
        fireball.y = 205.0f;
        fireball.collisions(index(5, 5));
        EXPECT_EQ(fireball.state, 1) << "tile " << t;
        fireball.y = 205.5f;
        fireball.collisions(index(5, 5));
        EXPECT_EQ(fireball.state, 0) << "tile " << t;
        fireball.state = 1;

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

} // namespace
} // namespace actors_test
