// The world of the hero's tests with the game's own sprite sheet, so that monsters, shots, items
// and the hero collide with the shapes players see. Helpers add monsters and run their part of a
// play frame.
#pragma once

#include "real_sheet.h"
#include "world_fixture.h"

namespace actors_test {

class ActorsTest : public world_test::WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        sprite_sheet = real_sheet();
        hero().x = 100.0f;
        hero().y = 60.0f;
    }

    static void hero_at(float x, float y) {
        current_player().x = x;
        current_player().y = y;
    }
    static monster_tag& add(float x, float y, float xstp, int typ, float ystp = 0.0f) {
        monster_tag::Create(x, y, xstp, ystp, 1.0f, 1.0f, typ);
        return *monster_list.At(monster_list.Count() - 1);
    }
    // An entered monster that shows `frame`, as if it had been walking on screen.
    static monster_tag& add_entered(float x, float y, float xstp, int typ, int frame) {
        monster_tag& m = add(x, y, xstp, typ);
        m.entered = 1;
        m.frame = frame;
        return m;
    }
    // The monsters' part of a play frame: update, then collisions, for each in list order.
    static void monsters_frame(int scroll = 0) {
        monster_list.ForEach([&](monster_tag& m) {
            m.update(scroll);
            m.collisions();
        });
    }
    static void monsters_update(int scroll = 0) {
        monster_list.ForEach([&](monster_tag& m) { m.update(scroll); });
    }
    static void effects_update(int scroll = 0) {
        specialfx_list.ForEach([&](specialfx_tag& fx) { fx.update(scroll); });
    }
    static void items_frame(int scroll = 0) {
        specialitem_list.ForEach([&](specialitem_tag& it) {
            it.update(scroll);
            it.collisions();
        });
    }
    // A score pop-up is the only effect the monsters' and items' awards create.
    static std::string last_popup() {
        std::string text;
        specialfx_list.ForEach([&](specialfx_tag& fx) {
            if (fx.typ == EFFECT_SCORE) text = fx.point;
        });
        return text;
    }
};

} // namespace actors_test
