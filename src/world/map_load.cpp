// Loading an area into the map cells and turning its object numbers into live objects.
#include <cstdio>
#include <string>

#include "engine/stream.h"
#include "game/game.h"

namespace {

bool is_block(const map_tag& c) { return c.tile1 == 4 || c.tile1 == 5; }

// Object numbers that become flags, contents, lifts, the start or the cauldron.
void apply_object(map_tag& c) {
    switch (c.tile2) {
    case 12:
        elevator_tag::Create(c.x, c.y, 1, 0);
        c.tile2 = 0;
        break;
    case 13:
        elevator_tag::Create(c.x, c.y, 1, 1);
        c.tile2 = 0;
        break;
    case 28:
        // Off a block it stays: a free magic pickup.
        if (is_block(c)) {
            c.objectid = 1;
            c.tile2 = 0;
        }
        break;
    case 29:
        if (c.tile1 < 4) {
            c.hidden = 1;
            c.objectid = 1;
            c.tile2 = 0;
        } else if (is_block(c)) {
            c.objectid = 2;
            c.tile2 = 0;
        }
        break;
    case 30:
        if (is_block(c)) {
            c.objectid = 5;
        } else {
            current_player().x = c.x;
            current_player().y = c.y;
        }
        c.tile2 = 0;
        break;
    case 38:
        c.hiddenwall = 1;
        c.tile2 = 0;
        break;
    case 39:
        game.cauldx = int(c.x);
        game.cauldy = int(c.y - 3.0f);
        c.tile2 = 0;
        break;
    case 49:
    case 50:
        if (c.tile1 < 4 || is_block(c)) {
            if (c.tile1 < 4) c.hidden = 1;
            c.objectid = c.tile2 == 49 ? 3 : 4;
            c.tile2 = 0;
        }
        break;
    case 55:
    case 56:
        if (c.tile1 <= 3) {
            c.hidden = 1;
            c.objectid = c.tile2 == 55 ? 0 : 5;
            c.tile2 = 0;
        }
        break;
    default: break;
    }
}

// Monster numbers: checked after the object table, so one cell never yields both.
void apply_monster(map_tag& c) {
    const float x = c.x, y = c.y;
    switch (c.tile2) {
    case 26: monster_tag::Create(x, y, -1.0f, 0.0f, 1.0f, 1.0f, 10); break;
    case 27: monster_tag::Create(x, y, 1.0f, 0.0f, 1.0f, 1.0f, 10); break;
    case 57: monster_tag::Create(x, y, -1.0f, 0.0f, 1.0f, 1.0f, 0); break;
    case 59: monster_tag::Create(x, y, 1.0f, 0.0f, 1.0f, 1.0f, 0); break;
    case 61: monster_tag::Create(x, y, -1.0f, 0.0f, 1.0f, 1.0f, 1); break;
    case 64: monster_tag::Create(x, y, 1.0f, 0.0f, 1.0f, 1.0f, 1); break;
    case 67: monster_tag::Create(x, y, -1.0f, 0.0f, 1.0f, 1.0f, 2); break;
    case 69: monster_tag::Create(x, y, 1.0f, 0.0f, 1.0f, 1.0f, 2); break;
    case 71: monster_tag::Create(x, y, 0.0f, y >= 320.0f ? 4.0f : -4.0f, 1.0f, 1.0f, 3); break;
    case 73: monster_tag::Create(x, y, -1.0f, 0.0f, 1.0f, 1.0f, 4); break;
    case 76: monster_tag::Create(x, y, 1.0f, 0.0f, 1.0f, 1.0f, 4); break;
    case 81: monster_tag::Create(x, y, 0.0f, -8.0f, 1.0f, 1.0f, 11); break;
    case 83: monster_tag::Create(x - 20.0f, y - 16.0f, 1.0f, 0.0f, 1.4f, 1.8f, 6); break;
    case 87: monster_tag::Create(x, y, 0.0f, 0.0f, 1.0f, 1.0f, 5); break;
    case 88: monster_tag::Create(x, y, 0.0f, -8.0f, 1.5f, 1.0f, 8); break;
    default: return;
    }
    c.tile2 = 0;
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
        apply_monster(c);
    }
    MovePointer(320, 0);
}
