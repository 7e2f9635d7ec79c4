// A small world for the hero's tests: a headless display, a sprite sheet of our own (opaque
// squares for solid tiles, a round hero), an empty map laid out at its load positions and a
// fresh game controller.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "engine/platform/headless/headless_platform.h"
#include "game/media.h"
#include "game/game.h"

namespace world_test {


inline bool round_shape(int x, int y, float radius) {
    float dx = float(x) + 0.5f - 20.0f, dy = float(y) + 0.5f - 20.0f;
    return dx * dx + dy * dy <= radius * radius;
}

// 127 frames of 40 x 40 with centred handles. Blank: 0 (the blank cell) and the scenery frames;
// round: the hero (30) and the magic pickup (28); every other frame an opaque square.
inline TImage* test_sheet() {
    static TImage* sheet = nullptr;
    if (sheet) return sheet;
    sheet = CreateImage(40, 40, 127, 0);
    MidHandleImage(sheet);
    for (int f = 0; f < 127; ++f) {
        TPixmap pm = TPixmap::Make(40, 40, TPixmap::RGBA32);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                bool solid = true;
                if (f == 0 || (f >= 1 && f <= 3) || (f >= 15 && f <= 23)) solid = false;
                if (f == FRAME_HERO) solid = round_shape(x, y, 20.0f);
                if (f == FRAME_MAGIC) solid = round_shape(x, y, 12.0f);
                uint8_t* p = &pm.pixels[size_t(y) * pm.pitch + size_t(x) * 4];
                // Each frame its own colour, so pictures show which frame was drawn.
                p[0] = uint8_t(40 + f);
                p[1] = uint8_t(200 - f);
                p[2] = uint8_t(f * 2);
                p[3] = solid ? 255 : 0;
            }
        sheet->SetPixmap(f, std::move(pm));
    }
    return sheet;
}

// How many random values fn draws: the same seed again, then as many plain draws.
template <typename F> int random_draws(F&& fn) {
    SeedRandom(77);
    fn();
    const int32_t after = RandomState();
    SeedRandom(77);
    for (int n = 0; n < 10; ++n) {
        if (RandomState() == after) return n;
        RandomFloat(0, 1);
    }
    return -1;
}

class WorldTest : public ::testing::Test {
  protected:
    HeadlessPlatform platform;

    void SetUp() override {
        saved_game = game;
        saved_sheet = sprite_sheet;
        EngineInit(&platform);
        OpenDisplay(640, 480, 32, 60, 2);
        SeedRandom(1);
        sprite_sheet = test_sheet();
        SetTransform(0, 1, 1);
        ResetCollisionLayers(0);

        game = game_tag{};
        game.state = STATE_PLAY;
        game.fireballmaxtmr = 700;
        game.fbflashstp = 10;
        game.cauldx = 100000; // no cauldron in reach
        game.cauldy = 100000;
        player_tag::Create();
        for (player_tag& p : player_slot) {
            p.lives = 3;
            p.level = 1;
            p.area = 1;
        }
        fireball = fireball_tag{};
        elevator_list.Clear();
        specialfx_list.Clear();
        specialitem_list.Clear();
        monster_list.Clear();
        for (int i = 0; i < MAP_CELLS; ++i) {
            map_cells[i] = map_tag{};
            map_cells[i].x = float(20 + 40 * (i % MAP_COLUMNS));
            map_cells[i].y = float(20 + 40 * (i / MAP_COLUMNS));
            map_cells[i].multitmr = 1;
        }
        // A fresh joystick table (earlier tests may have left one naming other devices), and the
        // pointer resting in the middle band, where it does not steer.
        CountJoysticks();
        MovePointer(320, 0);
        PollSystem();
    }
    // Puts back the globals as they were, so tests of other parts start from a clean game.
    void TearDown() override {
        elevator_list.Clear();
        specialfx_list.Clear();
        specialitem_list.Clear();
        monster_list.Clear();
        for (map_tag& c : map_cells) c = map_tag{};
        for (player_tag& p : player_slot) p = player_tag{};
        fireball = fireball_tag{};
        game = saved_game;
        sprite_sheet = saved_sheet;
        SetTransform(0, 1, 1);
        ResetCollisionLayers(0);
        CloseDisplay();
        EngineShutdown();
    }

  private:
    game_tag saved_game;
    TImage* saved_sheet = nullptr;

  protected:
    static player_tag& hero() { return current_player(); }
    static map_tag& cell(int col, int row) { return map_cells[row * MAP_COLUMNS + col]; }
    static int index(int col, int row) { return row * MAP_COLUMNS + col; }
    static map_tag& put(int col, int row, int tile1, int tile2 = 0) {
        map_tag& c = cell(col, row);
        c.tile1 = tile1;
        c.tile2 = tile2;
        return c;
    }
    // Holds or releases a key from the next input query on.
    void key(int code, bool down) {
        platform.At(platform.FrameCount(), PlatformEvent{down ? PlatformEvent::KeyDown : PlatformEvent::KeyUp, code});
        PollSystem();
    }
    // The hero against every cell, in the play frame's order.
    static void collide_all() {
        for (int i = 0; i < MAP_CELLS; ++i) hero().collisions(i);
    }
};

} // namespace world_test
