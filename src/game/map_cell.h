// One cell of the current area's map (140 x 12 cells of 40 x 40 pixels).
#pragma once

#include <string>

struct map_tag {
    float x = 0.0f, y = 0.0f;
    int tile1 = 0;
    int tile2 = 0;
    int rotation = 0;
    float xscale = 0.0f, yscale = 0.0f;
    int framectr = 0;
    int framedly = 0;
    int yoffset = 0;
    int objectid = 0;
    int multitmr = 0;
    int hidden = 0;
    int hiddenwall = 0;

    static void Create();
    static void reset();
    // Reads one of the game's own areas; false (said on stderr, the cells left as they were) when
    // its map is missing or short.
    static bool Load(int level, int area);
    // Reads the map from the embedded resource of that name (Load reads the game's own areas).
    static bool LoadResource(const std::string& name);
    static void initialize();
    void update(int scroll);

    bool operator==(const map_tag&) const = default;
};

constexpr int MAP_COLUMNS = 140;
constexpr int MAP_ROWS = 12;
constexpr int MAP_CELLS = MAP_COLUMNS * MAP_ROWS;
