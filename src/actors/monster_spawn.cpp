// The monster each map object makes: its kind, the way it faces, its start speed and its scale.
// A pair of objects makes one kind facing left (-1) or right (+1).
#include "actors/monster_spawn.h"

#include "game/game.h"

bool spawn_map_monster(int object, float x, float y) {
    switch (object) {
    case OBJECT_FIRE_BAR_LEFT: monster_tag::Create(x, y, -1.0f, 0.0f, 1.0f, 1.0f, MONSTER_FIRE_BAR); break;
    case OBJECT_FIRE_BAR_RIGHT: monster_tag::Create(x, y, 1.0f, 0.0f, 1.0f, 1.0f, MONSTER_FIRE_BAR); break;
    case OBJECT_WALKER_LEFT: monster_tag::Create(x, y, -1.0f, 0.0f, 1.0f, 1.0f, MONSTER_WALKER); break;
    case OBJECT_WALKER_RIGHT: monster_tag::Create(x, y, 1.0f, 0.0f, 1.0f, 1.0f, MONSTER_WALKER); break;
    case OBJECT_SHELL_MAKER_LEFT: monster_tag::Create(x, y, -1.0f, 0.0f, 1.0f, 1.0f, MONSTER_SHELL_MAKER); break;
    case OBJECT_SHELL_MAKER_RIGHT: monster_tag::Create(x, y, 1.0f, 0.0f, 1.0f, 1.0f, MONSTER_SHELL_MAKER); break;
    case OBJECT_SPIKY_WALKER_LEFT: monster_tag::Create(x, y, -1.0f, 0.0f, 1.0f, 1.0f, MONSTER_SPIKY_WALKER); break;
    case OBJECT_SPIKY_WALKER_RIGHT: monster_tag::Create(x, y, 1.0f, 0.0f, 1.0f, 1.0f, MONSTER_SPIKY_WALKER); break;
    // A hoverer starts towards the middle of the screen.
    case OBJECT_HOVERER:
        monster_tag::Create(x, y, 0.0f, y >= 320.0f ? 4.0f : -4.0f, 1.0f, 1.0f, MONSTER_HOVERER);
        break;
    case OBJECT_SHOOTER_LEFT: monster_tag::Create(x, y, -1.0f, 0.0f, 1.0f, 1.0f, MONSTER_SHOOTER); break;
    case OBJECT_SHOOTER_RIGHT: monster_tag::Create(x, y, 1.0f, 0.0f, 1.0f, 1.0f, MONSTER_SHOOTER); break;
    case OBJECT_HOPPER: monster_tag::Create(x, y, 0.0f, -8.0f, 1.0f, 1.0f, MONSTER_HOPPER); break;
    // The thrower, drawn tall, stands left of and above its cell.
    case OBJECT_THROWER: monster_tag::Create(x - 20.0f, y - 16.0f, 1.0f, 0.0f, 1.4f, 1.8f, MONSTER_THROWER); break;
    case OBJECT_CANNON: monster_tag::Create(x, y, 0.0f, 0.0f, 1.0f, 1.0f, MONSTER_CANNON); break;
    case OBJECT_LEAPER: monster_tag::Create(x, y, 0.0f, -8.0f, 1.5f, 1.0f, MONSTER_LEAPER); break;
    default: return false;
    }
    return true;
}
