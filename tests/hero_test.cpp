// The hero's input and movement.
#include "world_fixture.h"

namespace world_test {
namespace {

class Player : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        game.autoturbo = 1;
        hero().x = 200.0f;
        hero().y = 300.0f;
    }
};

TEST_F(Player, StepsToTheMiddleThenScrollsTheWorld) {
    hero().x = 319.0f;
    key(KEY_RIGHT, true);
    EXPECT_EQ(player_tag::get_inputs(), 0);
    EXPECT_FLOAT_EQ(hero().x, 323.0f);
    EXPECT_EQ(player_tag::get_inputs(), -4);
    EXPECT_FLOAT_EQ(hero().x, 323.0f);
    EXPECT_EQ(game.curdir, 1);

    // Without turbo the step is 2.
    game.autoturbo = 0;
    EXPECT_EQ(player_tag::get_inputs(), -2);
    EXPECT_EQ(game.turbo, 0);
}

TEST_F(Player, StopsAtTheLeftEdge) {
    hero().x = 21.0f;
    key(KEY_LEFT, true);
    EXPECT_EQ(player_tag::get_inputs(), 0);
    EXPECT_FLOAT_EQ(hero().x, 17.0f);
    EXPECT_EQ(player_tag::get_inputs(), 0);
    EXPECT_FLOAT_EQ(hero().x, 17.0f);
    EXPECT_EQ(game.curdir, 0);
}

TEST_F(Player, RightBeatsLeft) {
    key(KEY_LEFT, true);
    key(KEY_RIGHT, true);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 204.0f);
    EXPECT_EQ(game.curdir, 1);
}

TEST_F(Player, MousePointerSteersOutsideTheMiddleBand) {
    auto pointer_at = [&](int x) {
        platform.At(platform.FrameCount(), PlatformEvent{PlatformEvent::MouseMove, 0, x, 200});
        PollSystem();
    };
    pointer_at(100);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 196.0f);
    pointer_at(500);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 200.0f);
    pointer_at(300);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 200.0f);
    // Steering by key recentres the pointer, so a pointer left in a band stops steering.
    pointer_at(100);
    key(KEY_RIGHT, true);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 204.0f);
    EXPECT_EQ(PointerX(), 320);
    key(KEY_RIGHT, false);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 204.0f);
}

TEST_F(Player, StickCountsOnlyAtFullDeflection) {
    JoystickState js;
    js.axis_count = 2;
    js.axis_max[0] = js.axis_max[1] = 65535;
    auto stick = [&](int pos, uint32_t buttons = 0) {
        js.axis[0] = pos;
        js.buttons = buttons;
        platform.SetJoystick(js);
    };
    stick(65535);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 204.0f);
    stick(65000); // nearly full right: not enough
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 204.0f);
    stick(0);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 200.0f);
    stick(32767, 1); // button 0 jumps
    player_tag::get_inputs();
    EXPECT_EQ(game.jump, 1);
    EXPECT_FLOAT_EQ(hero().x, 200.0f);
    // Leave the stick centred: its last reading outlives this test's platform.
    stick(32767);
    JoyAxisX(0);
}

TEST_F(Player, JumpFromTurboRisesAbout126PixelsIn35Frames) {
    key(KEY_LCONTROL, true);
    player_tag::get_inputs();
    EXPECT_EQ(game.jump, 1);
    EXPECT_FLOAT_EQ(hero().ystp, -7.0f);
    EXPECT_FLOAT_EQ(hero().yscale, 1.0f);
    float top = hero().y;
    int frames = 0;
    for (int f = 0; f < 80; ++f) {
        hero().update();
        if (hero().y < top) {
            top = hero().y;
            frames = f + 1;
        }
    }
    EXPECT_NEAR(300.0f - top, 126.0f, 0.5f);
    EXPECT_EQ(frames, 35);
    EXPECT_FLOAT_EQ(hero().ystp, 8.0f); // the fall is capped

    // Without turbo the jump starts at -6.0.
    game.autoturbo = 0;
    game.jump = 0;
    key(KEY_LCONTROL, false);
    key(KEY_LCONTROL, true);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().ystp, -6.0f);
}

TEST_F(Player, JumpIgnoredAfterAJumpButAllowedAfterABounce) {
    game.jump = 1;
    hero().ystp = -2.0f;
    key(KEY_LCONTROL, true);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().ystp, -2.0f);

    game.jump = 0; // a landing bounce clears it
    key(KEY_LCONTROL, false);
    key(KEY_LCONTROL, true);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().ystp, -7.0f);
    EXPECT_EQ(game.jump, 1);

    // A hit counts once: holding the key does not jump again after the next bounce.
    game.jump = 0;
    hero().ystp = -3.0f;
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().ystp, -3.0f);
}

TEST_F(Player, FireControlGivesTurboForOneFramePerPress) {
    game.autoturbo = 0;
    game.fbshoot = 1;
    key(KEY_LALT, true);
    key(KEY_RIGHT, true);
    player_tag::get_inputs();
    EXPECT_EQ(game.turbo, 1);
    EXPECT_FLOAT_EQ(hero().x, 204.0f);
    EXPECT_EQ(game.fbshoot, 1);
    player_tag::get_inputs();
    EXPECT_EQ(game.turbo, 0);
    EXPECT_EQ(game.fbshoot, 0); // a frame without a hit re-arms the throw
    EXPECT_FLOAT_EQ(hero().x, 206.0f);
}

// Only fire power throws: a fresh press of the fire control with power 0 or 1 gives turbo alone.
TEST_F(Player, OnlyFirePowerThrows) {
    game.autoturbo = 0;
    for (int power : {0, 1, 2}) {
        hero().power = power;
        fireball.state = 0;
        game.fbshoot = 0;
        key(KEY_LALT, false);
        key(KEY_LALT, true);
        player_tag::get_inputs();
        EXPECT_EQ(game.turbo, 1) << "power " << power;
        EXPECT_EQ(fireball.state, power == 2 ? 1 : 0) << "power " << power;
    }
}

// The fire control asks the keyboard, then joystick buttons 1 and 7, then the mouse, and stops at
// the first hit: with all four pressed at once, each frame uses up one of them, in that order.
TEST_F(Player, FireSourcesAreAskedInOrder) {
    game.autoturbo = 0;
    JoystickState js;
    js.axis_count = 2;
    js.axis[0] = js.axis[1] = 32767;
    js.axis_max[0] = js.axis_max[1] = 65535;
    auto buttons = [&](uint32_t b) {
        js.buttons = b;
        platform.SetJoystick(js);
        JoyButtonDown(0, 0); // sampled now
    };
    for (int frames = 1; frames <= 4; ++frames) {
        key(KEY_LALT, false);
        buttons(0);
        platform.At(platform.FrameCount(), PlatformEvent{PlatformEvent::MouseUp, 2, 320, 0});
        PollSystem();
        key(KEY_LALT, true);
        buttons((1u << 1) | (1u << 7));
        platform.At(platform.FrameCount(), PlatformEvent{PlatformEvent::MouseDown, 2, 320, 0});
        PollSystem();
        for (int f = 0; f < frames; ++f) {
            player_tag::get_inputs();
            EXPECT_EQ(game.turbo, 1);
        }
        // What is still pending: the sources after the ones used up.
        EXPECT_EQ(KeyWasHit(KEY_LALT) != 0, frames < 1) << frames;
        EXPECT_EQ(JoyButtonHit(1, 0) != 0, frames < 2) << frames;
        EXPECT_EQ(JoyButtonHit(7, 0) != 0, frames < 3) << frames;
        EXPECT_EQ(MouseWasHit(2) != 0, frames < 4) << frames;
    }
    buttons(0); // the joystick's last reading outlives this test's platform
}

// A demo reads no device: the held arrow keys neither steer nor recentre the pointer.
TEST_F(Player, ADemoReadsNoDevice) {
    demo_frames[0] = demo_tag{};
    demo_frames[0].direction = 2;
    demo_index = 0;
    demo_active = 1;
    platform.At(platform.FrameCount(), PlatformEvent{PlatformEvent::MouseMove, 0, 100, 200});
    PollSystem();
    key(KEY_LEFT, true);
    key(KEY_RIGHT, true);
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 204.0f);
    EXPECT_EQ(PointerX(), 100);
    demo_frames[0].direction = 1;
    player_tag::get_inputs();
    EXPECT_FLOAT_EQ(hero().x, 200.0f);
    EXPECT_EQ(PointerX(), 100);
    demo_active = 0;
    demo_frames[0] = demo_tag{};
}

TEST_F(Player, FallingOffTheScreenEndsTheLife) {
    hero().y = 479.0f;
    hero().ystp = 0.5f;
    hero().update();
    EXPECT_EQ(game.state, STATE_PLAY);
    hero().update();
    EXPECT_EQ(game.state, STATE_DEATH);
    EXPECT_GT(hero().y, 480.0f);
}

TEST_F(Player, GlowTintAndInvincibleColoursDrawTheirRandomValues) {
    EXPECT_EQ(random_draws([] { hero().update(); }), 0);
    hero().power = 1;
    EXPECT_EQ(random_draws([] { hero().update(); }), 3); // glow scale x, y and alpha
    hero().power = 2;
    EXPECT_EQ(random_draws([] { hero().update(); }), 3);
    game.invincible = 20;
    EXPECT_EQ(random_draws([] { hero().update(); }), 3); // random colours only, no glow
    EXPECT_EQ(DrawState().color_red, 255);               // colour put back
    EXPECT_EQ(DrawState().tform_rot, 0.0f);
}

TEST_F(Player, HeroIsDrawnSquashedAtItsPosition) {
    Cls();
    hero().x = 100.0f;
    hero().y = 100.0f;
    hero().ystp = 0.0f;
    hero().yscale = 0.45f; // grows to 0.5 before drawing: 20 px tall about the centre
    hero().update();
    uint8_t rgb[3];
    ReadBackBuffer(100, 100, 1, 1, rgb);
    EXPECT_EQ(rgb[0], 40 + 30);
    ReadBackBuffer(100, 88, 1, 1, rgb);
    EXPECT_EQ(rgb[0], 0);
}

} // namespace
} // namespace world_test
