// The palette's entries and names.
#include "editor/palette.h"

#include "editor/area.h"
#include "game/kinds.h"

namespace editor {

std::vector<PaletteEntry> Palette(int level) {
    std::vector<PaletteEntry> p = {
        {"empty", {TILE_EMPTY, OBJECT_NONE}},
        {"ground", {TILE_GROUND, OBJECT_NONE}},
        {"platform", {TILE_PLATFORM, OBJECT_NONE}},
        {"used block", {TILE_USED, OBJECT_NONE}},
        {"lair ground (third areas)", {TILE_LAIR_GROUND, OBJECT_NONE}},
        {"lair stone (third areas)", {TILE_LAIR_STONE, OBJECT_NONE}},
        {"water, deadly", {TILE_WATER, OBJECT_NONE}},
        {"lava, deadly (third areas)", {TILE_LAVA, OBJECT_NONE}},
        {"springboard on ground", {TILE_GROUND, OBJECT_SPRINGBOARD}},
        {"springboard on lair ground", {TILE_LAIR_GROUND, OBJECT_SPRINGBOARD}},
        {"bush", {TILE_BUSH, OBJECT_NONE}},
        {"fence", {TILE_FENCE, OBJECT_NONE}},
        {"tombstone", {TILE_TOMBSTONE, OBJECT_NONE}},
        {"window", {TILE_WINDOW, OBJECT_NONE}},
        {"dead tree", {TILE_DEAD_TREE, OBJECT_NONE}},
        {"cross", {TILE_CROSS, OBJECT_NONE}},
        {"candle", {TILE_CANDLE, OBJECT_NONE}},
        {"glowing tombstone", {TILE_GLOWING_TOMBSTONE, OBJECT_NONE}},
        {"background fill", {TILE_WALL_FILL, OBJECT_NONE}},
        {"torch", {TILE_EMPTY, OBJECT_TORCH}},
        {"torch on fill", {TILE_WALL_FILL, OBJECT_TORCH}},
        {"brick", {TILE_BRICK, OBJECT_NONE}},
        {"brick with a magic", {TILE_BRICK, OBJECT_MAGIC}},
        {"brick with multi-magic", {TILE_BRICK, OBJECT_MULTI_MAGIC}},
        {"brick with a power-up", {TILE_BRICK, OBJECT_POWER_UP}},
        {"brick with an extra life", {TILE_BRICK, OBJECT_EXTRA_LIFE}},
        {"brick with invincibility", {TILE_BRICK, OBJECT_START}},
        {"empty bonus block", {TILE_BONUS, OBJECT_NONE}},
        {"bonus block with a magic", {TILE_BONUS, OBJECT_MAGIC}},
        {"bonus block with multi-magic", {TILE_BONUS, OBJECT_MULTI_MAGIC}},
        {"bonus block with a power-up", {TILE_BONUS, OBJECT_POWER_UP}},
        {"bonus block with an extra life", {TILE_BONUS, OBJECT_EXTRA_LIFE}},
        {"bonus block with invincibility", {TILE_BONUS, OBJECT_START}},
    };
    const std::pair<int, const char*> scenery[] = {
        {TILE_BUSH, "bush"}, {TILE_FENCE, "fence"}, {TILE_TOMBSTONE, "tombstone"}};
    const std::pair<int, const char*> hidden[] = {{OBJECT_HIDDEN_BLOCK, "a hidden block (50 points)"},
                                                  {OBJECT_MULTI_MAGIC, "a hidden magic"},
                                                  {OBJECT_POWER_UP, "a hidden power-up"},
                                                  {OBJECT_EXTRA_LIFE, "a hidden extra life"},
                                                  {OBJECT_HIDDEN_INVINCIBILITY, "a hidden invincibility"}};
    for (const auto& [tile, tile_name] : scenery)
        for (const auto& [object, object_name] : hidden)
            p.push_back({std::string(tile_name) + " hiding " + object_name, {tile, object}});
    const std::vector<PaletteEntry> rest = {
        {"free magic", {TILE_EMPTY, OBJECT_MAGIC}},
        {"player start", {TILE_EMPTY, OBJECT_START}},
        {"cauldron (the area's end)", {TILE_EMPTY, OBJECT_CAULDRON}},
        {"this level's magic item (third areas)", {TILE_EMPTY, level_item_object(level)}},
        {"wall that only walkers see", {TILE_EMPTY, OBJECT_MONSTER_WALL}},
        {"horizontal lift", {TILE_EMPTY, OBJECT_LIFT_HORIZONTAL}},
        {"vertical lift", {TILE_EMPTY, OBJECT_LIFT_VERTICAL}},
        {"walker facing left", {TILE_EMPTY, OBJECT_WALKER_LEFT}},
        {"walker facing right", {TILE_EMPTY, OBJECT_WALKER_RIGHT}},
        {"shell-maker facing left", {TILE_EMPTY, OBJECT_SHELL_MAKER_LEFT}},
        {"shell-maker facing right", {TILE_EMPTY, OBJECT_SHELL_MAKER_RIGHT}},
        {"spiky walker facing left", {TILE_EMPTY, OBJECT_SPIKY_WALKER_LEFT}},
        {"spiky walker facing right", {TILE_EMPTY, OBJECT_SPIKY_WALKER_RIGHT}},
        {"shooting walker facing left", {TILE_EMPTY, OBJECT_SHOOTER_LEFT}},
        {"shooting walker facing right", {TILE_EMPTY, OBJECT_SHOOTER_RIGHT}},
        {"hoverer", {TILE_EMPTY, OBJECT_HOVERER}},
        {"cannon", {TILE_EMPTY, OBJECT_CANNON}},
        {"thrower", {TILE_EMPTY, OBJECT_THROWER}},
        {"fire bar turning left (third areas)", {TILE_USED, OBJECT_FIRE_BAR_LEFT}},
        {"fire bar turning right (third areas)", {TILE_USED, OBJECT_FIRE_BAR_RIGHT}},
        {"hopper in water", {TILE_WATER, OBJECT_HOPPER}},
        {"leaper in lava (third areas)", {TILE_LAVA, OBJECT_LEAPER}},
    };
    p.insert(p.end(), rest.begin(), rest.end());
    return p;
}

std::string CellName(const mapc::Glyph& g, int level) {
    for (const PaletteEntry& e : Palette(level))
        if (SameGlyph(e.glyph, g)) return e.name;
    if (g.tile2 == OBJECT_HIDDEN_BLOCK || g.tile2 == OBJECT_HIDDEN_INVINCIBILITY ||
        (g.tile1 == TILE_EMPTY && (g.tile2 == OBJECT_MULTI_MAGIC || g.tile2 == OBJECT_POWER_UP ||
                                   g.tile2 == OBJECT_EXTRA_LIFE)))
        return "hidden block in an empty cell (tile " + std::to_string(g.tile1) + ", object " +
               std::to_string(g.tile2) + ")";
    return "tile " + std::to_string(g.tile1) + ", object " + std::to_string(g.tile2);
}

} // namespace editor
