// A compiled map as `pumko --area FILE` meets it: told from a source by its first bytes, read,
// checked, and when playable loaded into the game's cells and turned into live objects (monsters,
// lifts, the start and the cauldron), as the area's intro does.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/stream.h"
#include "fuzz_file.h"
#include "game/game.h"
#include "world/map_source.h"

namespace {

// The map handed to the game: one embedded resource, rewritten in place for every input.
uint8_t resource[mapc::BINARY_SIZE];
const char* const kName = "maps\\fuzz";

void ClearWorld() {
    monster_list.Clear();
    elevator_list.Clear();
    specialfx_list.Clear();
    specialitem_list.Clear();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = RegisterEmbedded(kName, resource, sizeof resource) == 1;
    if (!registered) fuzz::Fail("the map resource could not be registered");

    const std::string& path = fuzz::WriteScratch(data, size, ".map");
    std::string bytes, error;
    if (!mapc::read_level_file(path, bytes, error) || !mapc::looks_compiled(bytes)) return 0;
    mapc::Grid grid;
    if (!mapc::decode(std::vector<uint8_t>(bytes.begin(), bytes.end()), grid)) {
        if (bytes.size() == size_t(mapc::BINARY_SIZE)) fuzz::Fail("a whole compiled map refused");
        return 0;
    }
    std::vector<std::string> errors;
    if (!mapc::check_grid(grid, errors, path)) {
        if (errors.empty()) fuzz::Fail("an area refused by the checker without a message");
        return 0;
    }
    const std::vector<uint8_t> encoded = mapc::encode(grid);
    if (encoded.size() != sizeof resource) fuzz::Fail("the compiled map has the wrong size");
    std::memcpy(resource, encoded.data(), sizeof resource);

    ClearWorld();
    game = game_tag{};
    player_slot[0] = player_tag{};
    player_slot[1] = player_tag{};
    map_tag::Create();
    if (!map_tag::LoadResource(kName)) fuzz::Fail("a checked map does not load");
    for (int i = 0; i < MAP_CELLS; ++i)
        if (map_cells[i].tile1 != grid.tile1[size_t(i)] || map_cells[i].tile2 != grid.tile2[size_t(i)])
            fuzz::Fail("the loaded cells differ from the map");
    map_tag::initialize();
    ClearWorld();
    return 0;
}
