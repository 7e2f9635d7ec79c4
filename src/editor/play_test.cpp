// A play-test runs the game's own main loop pass over the area compiled as it is now; only the
// start differs: no title card, and the world is scrolled so the hero stands at the chosen column.
#include "editor/play_test.h"

#include <algorithm>
#include <deque>

#include "engine/engine.h"
#include "flow/main_loop.h"
#include "flow/present_frame.h"
#include "flow/states.h"
#include "game/game.h"
#include "game/kinds.h"

namespace editor {

namespace {

// The compiled maps of the play-tests so far: an embedded resource name is registered once, and
// its bytes must live for the rest of the run.
std::deque<std::vector<uint8_t>> played_maps;

bool Solid(int t1) { return (t1 >= TILE_BRICK && t1 <= TILE_PLATFORM) || t1 == TILE_LAIR_GROUND || t1 == TILE_LAIR_STONE; }

bool Deadly(int t1) { return t1 == TILE_WATER || t1 == TILE_LAVA; }

bool StandsAt(const mapc::Grid& g, int c, int r) {
    const int here = g.tile1[r * COLUMNS + c];
    return r + 1 < ROWS && !Solid(here) && !Deadly(here) && Solid(g.tile1[(r + 1) * COLUMNS + c]);
}

// The hero at (column, row), the world scrolled so that column is the fourth on screen (or as far
// as the area goes).
void PlaceHero(int column, int row) {
    const int shift = std::max(0, std::min(column - 3, COLUMNS - 16));
    const float dx = -40.0f * float(shift);
    for (map_tag& cell : map_cells) cell.x += dx;
    monster_list.ForEach([&](monster_tag& m) {
        m.x += dx;
        m.sx += dx;
        m.px += dx;
    });
    elevator_list.ForEach([&](elevator_tag& e) { e.x += dx; });
    game.cauldx += int(dx);
    player_tag& p = current_player();
    p.x = 20.0f + 40.0f * float(column - shift);
    p.y = 20.0f + 40.0f * float(row);
}

// The area's start, as the intro makes it but without its title card and fades.
void StartArea(const std::string& resource, int column, int row) {
    player_tag& p = current_player();
    if (p.area == 3) p.power = 0;
    game.item = 0;
    destroy_all();
    map_tag::LoadResource(resource);
    map_tag::initialize();
    PlaceHero(column, row);
    p.rotation = 0;
    FlushKeyboard();
    FlushPointer();
    game.state = STATE_PLAY;
}

} // namespace

bool StandingPlace(const mapc::Grid& g, int column, int row, int& out_column, int& out_row) {
    for (int d = 0; d < 12; ++d) {
        for (int c : {column + d, column - d}) {
            if (c < 0 || c >= COLUMNS) continue;
            for (int r = std::max(row, 0); r < ROWS; ++r)
                if (StandsAt(g, c, r)) return out_column = c, out_row = r, true;
            for (int r = 0; r < row && r < ROWS; ++r)
                if (StandsAt(g, c, r)) return out_column = c, out_row = r, true;
        }
    }
    return false;
}

bool PlayTest(const Area& area, int column, int row) {
    mapc::Grid grid = ToGrid(area);
    mapc::dress_ground(grid); // as a player's own area is dressed when it is played
    int c = column, r = row;
    if (!StandingPlace(grid, column, row, c, r)) r = 0;
    played_maps.push_back(mapc::encode(grid));
    const std::string name = "maps\\edited" + std::to_string(played_maps.size());
    RegisterEmbedded(name, played_maps.back().data(), int64_t(played_maps.back().size()));
    const custom_area_tag before = custom_area;
    custom_area = {area.level, area.area, name};

    bool open = true;
    try {
        start_game(0);
        while (true) {
            if (game.state == STATE_INTRO) StartArea(name, c, r); // at the start, and after a death
            RunMainLoopPass();
            if (KeyWasHit(KEY_ESCAPE) || game.state == STATE_TITLE) break;
            if (game.state == STATE_QUIT || CloseRequested()) {
                open = false;
                break;
            }
        }
    } catch (const QuitRequested&) {
        open = false;
    }
    destroy_all();
    custom_area = before;
    game.state = STATE_TITLE;
    FlushKeyboard();
    FlushPointer();
    return open;
}

} // namespace editor
