// Lifts.
#include "world_fixture.h"

namespace world_test {
namespace {

using Lifts = WorldTest;

elevator_tag& last_lift() { return *elevator_list.At(elevator_list.Count() - 1); }

void frame(int scroll = 0) {
    elevator_list.ForEach([&](elevator_tag& e) {
        e.update(scroll);
        e.collisions(int(current_player().x), int(current_player().y));
    });
}

TEST_F(Lifts, VerticalLiftTravelsBetweenTopAndBottom) {
    elevator_tag::Create(100, 240, 1, LIFT_VERTICAL);
    EXPECT_FLOAT_EQ(last_lift().ystp, -2.0f); // exactly at the middle: upwards
    elevator_tag::Create(100, 240.5f, 1, LIFT_VERTICAL);
    EXPECT_FLOAT_EQ(last_lift().ystp, 2.0f);
    elevator_tag::Create(300, 100, 1, LIFT_VERTICAL);
    elevator_tag& e = last_lift();
    for (int i = 0; i < 23; ++i) e.update(0);
    EXPECT_FLOAT_EQ(e.y, 54.0f);
    EXPECT_FLOAT_EQ(e.ystp, 2.0f);
    for (int i = 0; i < 206; ++i) e.update(0);
    EXPECT_FLOAT_EQ(e.y, 466.0f);
    EXPECT_FLOAT_EQ(e.ystp, -2.0f);
}

TEST_F(Lifts, LiftRightOfTheScreenIsDrawnButStill) {
    elevator_tag::Create(700, 300, 1, LIFT_VERTICAL);
    elevator_tag& e = last_lift();
    Cls();
    e.update(0);
    EXPECT_FLOAT_EQ(e.y, 300.0f);
    e.update(-19);
    EXPECT_FLOAT_EQ(e.y, 300.0f); // x 681
    e.update(-2);
    EXPECT_FLOAT_EQ(e.y, 302.0f); // x 679: moves
    uint8_t rgb[3];
    ReadBackBuffer(639, 300, 1, 1, rgb); // drawn double width, it reaches into the picture
    EXPECT_EQ(rgb[0], 40 + 13);
}

TEST_F(Lifts, HorizontalLiftStartsOnFirstLandingAndTurnsAfter280) {
    elevator_tag::Create(50, 400, 1, LIFT_HORIZONTAL);
    elevator_tag& e = last_lift();
    for (int i = 0; i < 10; ++i) e.update(0);
    EXPECT_FLOAT_EQ(e.x, 50.0f);

    hero().x = 50.0f;
    hero().y = 365.0f;
    hero().ystp = 4.0f;
    game.jump = 1;
    e.collisions(int(hero().x), int(hero().y));
    EXPECT_FLOAT_EQ(e.xstp, 2.0f);
    EXPECT_FLOAT_EQ(hero().y, 360.0f);
    EXPECT_FLOAT_EQ(hero().ystp, -3.0f);
    EXPECT_FLOAT_EQ(hero().yscale, 0.5f);
    EXPECT_EQ(game.jump, 0);

    for (int i = 0; i < 279; ++i) e.update(0);
    EXPECT_EQ(e.distctr, 280);
    EXPECT_FLOAT_EQ(e.x, 50.0f + 2.0f * 279);
    e.update(0);
    EXPECT_FLOAT_EQ(e.xstp, -2.0f);
    // Landing on a travelling lift does not turn it.
    hero().x = e.x;
    hero().y = e.y - 35.0f;
    e.collisions(int(hero().x), int(hero().y));
    EXPECT_FLOAT_EQ(e.xstp, -2.0f);
    for (int i = 0; i < 280; ++i) e.update(0);
    EXPECT_FLOAT_EQ(e.xstp, -2.0f);
    e.update(0);
    EXPECT_FLOAT_EQ(e.xstp, 2.0f);
    EXPECT_EQ(e.distctr, 0);
}

TEST_F(Lifts, AnyOverlapPutsTheHeroOnTop) {
    elevator_tag::Create(300, 200, 1, LIFT_VERTICAL); // rising
    elevator_tag& e = last_lift();
    e.y = 300.0f;
    hero().x = 300.0f;
    hero().y = 330.0f; // from below
    e.collisions(300, 330);
    EXPECT_FLOAT_EQ(hero().y, 260.0f);
    EXPECT_FLOAT_EQ(hero().ystp, -5.0f);
    e.ystp = 2.0f;
    e.collisions(300, 270);
    EXPECT_FLOAT_EQ(hero().ystp, -3.0f);
    // Only the middle 40 pixels of a wide lift carry the hero.
    hero().ystp = 1.0f;
    e.collisions(300 + 41, 262);
    EXPECT_FLOAT_EQ(hero().ystp, 1.0f);
}

TEST_F(Lifts, LiftRemovesItselfDuringTheWalk) {
    elevator_tag::Create(-78, 300, 1, LIFT_VERTICAL);
    elevator_tag::Create(200, 300, 1, LIFT_VERTICAL);
    hero().x = -78.0f;
    hero().y = 265.0f;
    frame(-4);
    EXPECT_EQ(elevator_list.Count(), 1u);
    EXPECT_FLOAT_EQ(hero().y, 300.0f + 2.0f - 40.0f); // the removed lift still collided
    EXPECT_FLOAT_EQ(elevator_list.At(0)->x, 196.0f);  // the walk went on
    frame(-4);
    EXPECT_FLOAT_EQ(elevator_list.At(0)->x, 192.0f);
}

} // namespace
} // namespace world_test
