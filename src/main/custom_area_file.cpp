// Reading and checking a player's own area, then handing its map to the game as bytes.
#include "main/custom_area_file.h"

#include <cstdio>
#include <deque>
#include <regex>

#include "engine/stream.h"
#include "game/game.h"
#include "world/map_source.h"

namespace {

// The compiled maps handed to the game. Each load gets a resource name of its own, since an
// embedded name is never registered twice, and its bytes live for the rest of the run.
std::deque<std::vector<uint8_t>> loaded_maps;

// "pumkosahrim2.3", "2.3": the area a compiled map stands for, by the end of its file name.
void AreaFromFileName(const std::string& path, mapc::Grid& g) {
    static const std::regex tail("([1-5])\\.([1-3])$");
    std::smatch m;
    g.level = 1;
    g.area = 1;
    if (std::regex_search(path, m, tail)) {
        g.level = std::stoi(m[1]);
        g.area = std::stoi(m[2]);
    }
}

} // namespace

bool LoadCustomArea(const std::string& path, std::vector<std::string>& errors) {
    std::string text, error;
    if (!mapc::read_level_file(path, text, error)) {
        errors.push_back(error);
        return false;
    }
    mapc::Grid grid;
    const size_t before = errors.size();
    if (mapc::looks_compiled(text)) {
        if (!mapc::decode(std::vector<uint8_t>(text.begin(), text.end()), grid)) {
            errors.push_back(path + ": a compiled map of " + std::to_string(text.size()) + " bytes, not " +
                             std::to_string(mapc::BINARY_SIZE));
            return false;
        }
        AreaFromFileName(path, grid);
    } else if (!mapc::parse_source(text, path, grid, errors)) {
        return false;
    }
    if (!mapc::check_grid(grid, errors, path) || errors.size() != before) return false;

    mapc::dress_ground(grid); // a compiled map already dressed stays as it is
    loaded_maps.push_back(mapc::encode(grid));
    const std::vector<uint8_t>& bytes = loaded_maps.back();
    const std::string name = "maps\\custom" + std::to_string(loaded_maps.size());
    RegisterEmbedded(name, bytes.data(), int64_t(bytes.size()));
    custom_area = {grid.level, grid.area, name};
    return true;
}

bool UseCustomArea(const std::string& path) {
    std::vector<std::string> errors;
    if (LoadCustomArea(path, errors)) return true;
    for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
    std::fprintf(stderr, "pumko: %s is not a playable area\n", path.c_str());
    return false;
}
