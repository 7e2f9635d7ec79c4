// The world of the hero's tests with a sprite sheet where every frame but the blank one (0) is
// an opaque 40 x 40 square and the hero (30) is round, so monsters, shots, items and invisible
// walls (frame 1) all have bodies. Helpers add monsters and run their part of a play frame.
#pragma once

#include "world_fixture.h"

namespace actors_test {

inline TImage* actors_sheet() {
    static TImage* sheet = nullptr;
    if (sheet) return sheet;
    sheet = CreateImage(40, 40, 127, 0);
    MidHandleImage(sheet);
    for (int f = 0; f < 127; ++f) {
        TPixmap pm = TPixmap::Make(40, 40, TPixmap::RGBA32);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                bool solid = f != 0;
                if (f == 30) solid = world_test::round_shape(x, y, 20.0f);
                uint8_t* p = &pm.pixels[size_t(y) * pm.pitch + size_t(x) * 4];
                p[0] = uint8_t(40 + f);
                p[1] = uint8_t(200 - f);
                p[2] = uint8_t(f * 2);
                p[3] = solid ? 255 : 0;
            }
        sheet->SetPixmap(f, std::move(pm));
    }
    return sheet;
}

class ActorsTest : public world_test::WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        sprite_sheet = actors_sheet();
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
            if (fx.typ == 4) text = fx.point;
        });
        return text;
    }
};

} // namespace actors_test
