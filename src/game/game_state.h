// The whole mutable game state as one copyable value: the controller, the two players, the map
// cells, the fireball, the four object lists and the random generator. Replays, regression
// playthroughs and the automatic player copy, restore and compare it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// A digest of the whole game state, part by part: the controller, each player, the map cells, the
// fireball, each object list and the random generator. Each part has a 32-bit digest of all its
// values and an 8-bit digest of each field (taken over every element of the map or a list, whose
// first field is the element count), so a replay that stops matching its recording can name the
// part and the fields that differ.
struct StateDigest {
    struct Part {
        uint32_t digest = 0;
        std::vector<uint8_t> fields; // in the order of StateDigestLayout()
        bool operator==(const Part&) const = default;
    };
    std::vector<Part> parts; // in the order of StateDigestLayout()

    static StateDigest Capture();
    bool operator==(const StateDigest&) const = default;
};

struct DigestPartLayout {
    std::string name;
    std::vector<std::string> fields;
};
// The parts and their field names, in digest order.
const std::vector<DigestPartLayout>& StateDigestLayout();
// A digest of the layout's names: recordings keep it to notice a state that gained or lost fields.
uint32_t StateDigestLayoutId();
// "part.field" for each field whose digest differs between two digests of the same layout, or
// "part" when the part differs but none of its 8-bit field digests tells which field.
std::vector<std::string> DifferingFields(const StateDigest& expected, const StateDigest& actual);
// The live value of "part.field" as text, for the parts that are one record (the controller, the
// players, the fireball, the random generator); "" for the map, the lists and unknown names.
std::string CurrentValue(const std::string& part_field);
