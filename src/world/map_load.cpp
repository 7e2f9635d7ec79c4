// Loading an area into the map cells and turning its object numbers into live objects.
#include <cstdio>
#include <string>

#include "actors/monster_spawn.h"
#include "engine/stream.h"
#include "game/game.h"

namespace {

bool is_block(const map_tag& c) { return c.tile1 == TILE_BRICK || c.tile1 == TILE_BONUS; }

// Scenery (or an empty cell) that can hide a block.
bool can_hide(const map_tag& c) { return c.tile1 < TILE_BRICK; }

// Object numbers that become flags, contents, lifts, the start or the cauldron.
void apply_object(map_tag& c) {
    switch (c.tile2) {
    case OBJECT_LIFT_HORIZONTAL:
        elevator_tag::Create(c.x, c.y, 1, LIFT_HORIZONTAL);
        c.tile2 = 0;
        break;
    case OBJECT_LIFT_VERTICAL:
        elevator_tag::Create(c.x, c.y, 1, LIFT_VERTICAL);
        c.tile2 = 0;
        break;
    case OBJECT_MAGIC:
        // Off a block it stays: a free magic pickup.
        if (is_block(c)) {
            c.objectid = CONTENT_MAGIC;
            c.tile2 = 0;
        }
        break;
    case OBJECT_MULTI_MAGIC:
        if (can_hide(c)) {
            c.hidden = 1;
            c.objectid = CONTENT_MAGIC;
            c.tile2 = 0;
        } else if (is_block(c)) {
            c.objectid = CONTENT_MULTI_MAGIC;
            c.tile2 = 0;
        }
        break;
    case OBJECT_START:
        if (is_block(c)) {
            c.objectid = CONTENT_INVINCIBILITY;
        } else {
            current_player().x = c.x;
            current_player().y = c.y;
        }
        c.tile2 = 0;
        break;
    case OBJECT_MONSTER_WALL:
        c.hiddenwall = 1;
        c.tile2 = 0;
        break;
    case OBJECT_CAULDRON:
        game.cauldx = int(c.x);
        game.cauldy = int(c.y - 3.0f);
        c.tile2 = 0;
        break;
    case OBJECT_POWER_UP:
    case OBJECT_EXTRA_LIFE:
        if (can_hide(c) || is_block(c)) {
            if (can_hide(c)) c.hidden = 1;
            c.objectid = c.tile2 == OBJECT_POWER_UP ? CONTENT_POWER_UP : CONTENT_EXTRA_LIFE;
            c.tile2 = 0;
        }
        break;
    case OBJECT_HIDDEN_BLOCK:
    case OBJECT_HIDDEN_INVINCIBILITY:
        if (can_hide(c)) {
            c.hidden = 1;
            c.objectid = c.tile2 == OBJECT_HIDDEN_BLOCK ? CONTENT_NONE : CONTENT_INVINCIBILITY;
            c.tile2 = 0;
        }
        break;
    default: break;
    }
}

} // namespace

void map_tag::Create() {
    for (map_tag& c : map_cells) c = map_tag{};
}

void map_tag::reset() {
    for (map_tag& c : map_cells) {
        c.tile1 = 0;
        c.tile2 = 0;
        c.objectid = 0;
        c.hidden = 0;
        c.hiddenwall = 0;
    }
}

bool map_tag::Load(int level, int area) {
    return LoadResource("maps\\pumkosahrim" + std::to_string(level) + "." + std::to_string(area));
}

// A missing or short map would read as zeros: an empty area where the hero falls again and again.
// It is refused instead.
bool map_tag::LoadResource(const std::string& name) {
    constexpr int64_t kBytes = 8 + int64_t(MAP_CELLS) * 8;
    TStream s = OpenRead("incbin::" + name);
    if (!s || s.Size() < kBytes) {
        if (!s)
            std::fprintf(stderr, "pumko: the map %s is missing\n", name.c_str());
        else
            std::fprintf(stderr, "pumko: the map %s is %lld bytes long; a map has %lld\n", name.c_str(),
                         static_cast<long long>(s.Size()), static_cast<long long>(kBytes));
        return false;
    }
    s.ReadInt();
    s.ReadInt();
    for (int i = 0; i < MAP_CELLS; ++i) {
        map_tag& c = map_cells[i];
        c.tile1 = s.ReadInt();
        c.tile2 = s.ReadInt();
        c.x = float(20 + 40 * (i % MAP_COLUMNS));
        c.y = float(20 + 40 * (i / MAP_COLUMNS));
    }
    s.Close();
    return true;
}

void map_tag::initialize() {
    for (map_tag& c : map_cells) {
        c.multitmr = 1;
        c.framectr = 0;
        c.framedly = 0;
        apply_object(c);
        // Monster objects are tested after the table above, so one cell never yields both.
        if (spawn_map_monster(c.tile2, c.x, c.y)) c.tile2 = 0;
    }
    MovePointer(320, 0);
}
