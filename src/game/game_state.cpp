#include "game/game_state.h"

#include <cstring>

GameSnapshot GameSnapshot::Capture() {
    GameSnapshot s;
    s.game = ::game;
    for (int i = 0; i < 2; ++i) s.player_slot[i] = ::player_slot[i];
    for (int i = 0; i < MAP_CELLS; ++i) s.map_cells[i] = ::map_cells[i];
    s.fireball = ::fireball;
    s.monster_list = ::monster_list;
    s.specialfx_list = ::specialfx_list;
    s.specialitem_list = ::specialitem_list;
    s.elevator_list = ::elevator_list;
    s.random_state = RandomState();
    return s;
}

void GameSnapshot::Restore() const {
    ::game = game;
    for (int i = 0; i < 2; ++i) ::player_slot[i] = player_slot[i];
    for (int i = 0; i < MAP_CELLS; ++i) ::map_cells[i] = map_cells[i];
    ::fireball = fireball;
    ::monster_list = monster_list;
    ::specialfx_list = specialfx_list;
    ::specialitem_list = specialitem_list;
    ::elevator_list = elevator_list;
    SetRandomState(random_state);
}

namespace {
// FNV-1a over the bytes of plain values.
struct Hasher {
    uint32_t h = 2166136261u;
    void Bytes(const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 16777619u;
    }
    void Int(int32_t v) { Bytes(&v, sizeof v); }
    void Float(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Bytes(&bits, sizeof bits);
    }
};
} // namespace

uint32_t GameChecksum() {
    Hasher h;
    const player_tag& p = current_player();
    h.Int(p.score);
    h.Int(p.lives);
    h.Int(p.magic);
    h.Int(p.power);
    h.Float(p.x);
    h.Float(p.y);
    for (const map_tag& c : map_cells) {
        h.Float(c.x);
        h.Float(c.y);
        h.Int(c.tile1);
        h.Int(c.tile2);
        h.Int(c.objectid);
        h.Int(c.multitmr);
        h.Int(c.hidden);
    }
    return h.h;
}
