// Effects: lifetimes of each kind, pop-up texts, reset, and the brick pieces that stay.
#include "actors_fixture.h"

namespace actors_test {
namespace {

using SpecialFxTest = ActorsTest;

// Updates of a lone effect until it removes itself (0 if it outlives `limit`).
int lifetime(float astp, int typ, float ystp = 0.0f, int rstp = 0) {
    specialfx_list.Clear();
    specialfx_tag::Create(300.0f, 200.0f, 0, rstp, 0.0f, ystp, astp, typ, 0);
    for (int n = 1; n <= 2000; ++n) {
        specialfx_list.ForEach([](specialfx_tag& fx) { fx.update(0); });
        if (specialfx_list.Empty()) return n;
    }
    return 0;
}

TEST_F(SpecialFxTest, EachKindEndsInItsOwnUpdate) {
    EXPECT_EQ(lifetime(0.01f, EFFECT_SCORE, -1.0f), 81);          // score pop-up
    EXPECT_EQ(lifetime(0.03f, EFFECT_AFTERIMAGE), 27);            // afterimage
    EXPECT_EQ(lifetime(0.03f, EFFECT_SPARKLE, 0.0f, 5), 27);      // sparkle
    EXPECT_EQ(lifetime(0.02f, EFFECT_MAGIC, -4.0f, 15), 18);      // collected magic, by its scale
    EXPECT_EQ(lifetime(0.0f, EFFECT_SPLASH), 52);                 // splash, by its animation
    EXPECT_EQ(lifetime(0.0f, EFFECT_BRICK_PIECE, -6.0f, -10), 0); // brick pieces stay
}

TEST_F(SpecialFxTest, PopUpKeepsTheTextOfItsMomentAndRises) {
    game.setpoint = "150";
    specialfx_tag::Create(290.0f, 300.0f, 0, 0, 0.0f, -1.0f, 0.01f, EFFECT_SCORE, 0);
    game.setpoint = "1up";
    const specialfx_tag& fx = *specialfx_list.At(0);
    EXPECT_EQ(fx.xscale, 0.6f);
    EXPECT_EQ(fx.yscale, 0.8f);
    for (int i = 0; i < 10; ++i) effects_update(-2);
    EXPECT_EQ(fx.point, "150");
    EXPECT_EQ(fx.y, 290.0f);
    EXPECT_EQ(fx.x, 270.0f);
}

TEST_F(SpecialFxTest, ResetClearsEveryEffectButASplashMadeAfterItSurvives) {
    for (int typ = 0; typ < 6; ++typ)
        specialfx_tag::Create(100.0f, 100.0f, 0, 0, 0, 0, typ == EFFECT_BRICK_PIECE ? 0.0f : 0.01f, typ, 0);
    for (int i = 0; i < 10; ++i) effects_update();
    EXPECT_EQ(specialfx_list.Count(), 6u);
    specialfx_tag::reset();
    EXPECT_TRUE(specialfx_list.Empty());
    specialfx_tag::Create(100.0f, 100.0f, 0, 0, 0, 0, 0, EFFECT_SPLASH, SPLASH_WATER);
    effects_update();
    ASSERT_EQ(specialfx_list.Count(), 1u);
    EXPECT_EQ(specialfx_list.At(0)->typ, EFFECT_SPLASH);
    EXPECT_EQ(specialfx_list.At(0)->clr, 1);
}

TEST_F(SpecialFxTest, RandomDrawsOnlyForSparklesAndAfterimages) {
    using world_test::random_draws;
    EXPECT_EQ(random_draws([] { specialfx_tag::Create(0, 0, 0, 5, 0, 0, 0.03f, EFFECT_SPARKLE, 0); }), 1);
    const float scale = specialfx_list.At(0)->xscale;
    EXPECT_GE(scale, 0.1f);
    EXPECT_LT(scale, 1.0f);
    EXPECT_EQ(specialfx_list.At(0)->yscale, scale);
    EXPECT_EQ(random_draws([] { specialfx_tag::Create(0, 0, 0, 0, 0, 0, 0.03f, EFFECT_AFTERIMAGE, 0); }), 0);
    specialfx_tag after = *specialfx_list.At(1);
    EXPECT_EQ(random_draws([&] { after.update(0); }), 3);
    specialfx_tag sparkle = *specialfx_list.At(0);
    EXPECT_EQ(random_draws([&] { sparkle.update(0); }), 0);
}

} // namespace
} // namespace actors_test
