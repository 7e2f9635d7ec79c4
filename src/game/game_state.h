// The whole mutable game state as one copyable value: the controller, the two players, the map
// cells, the fireball, the four object lists and the random generator. Replays, regression
// playthroughs and the automatic player copy, restore and compare it.
#pragma once

#include <cstdint>

#include "game/game.h"

struct GameSnapshot {
    game_tag game;
    player_tag player_slot[2];
    map_tag map_cells[MAP_CELLS];
    fireball_tag fireball;
    TList<monster_tag> monster_list;
    TList<specialfx_tag> specialfx_list;
    TList<specialitem_tag> specialitem_list;
    TList<elevator_tag> elevator_list;
    int32_t random_state = 0;

    static GameSnapshot Capture();
    void Restore() const;
    bool operator==(const GameSnapshot&) const = default;
};

// A checksum of what a playthrough must reproduce: score, lives, magic, power, the hero's
// position, and every map cell.
uint32_t GameChecksum();
