// The automatic player. It runs the real simulation headless and searches, area by area, for the
// controls that take a fresh hero (3 lives, no power, no magic) from the start of the area to the
// cauldron, collecting the level's magic item first in third areas. The search copies and restores
// the whole game state: a beam of the most advanced survivors, extended a few frames at a time by
// every sensible control, with dead ends dropped.
//
//   autoplay --prove DIR        search all fifteen areas, write DIR/L-A.txt, print a line per area
//   autoplay --area L A DIR     the same for one area
//   autoplay --demo DIR DATA    cut the title screen's three demo recordings (areas 1.1 to 1.3)
//                               from DIR into DATA/demodata.01 .. 03
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "flow/media.h"
#include "game/game.h"
#include "game/game_state.h"
#include "main/playthrough.h"
#include "main/recording.h"

namespace {

float WorldX() { return (20.0f - map_cells[0].x) + current_player().x; }

struct ItemSpot {
    bool present = false;
    float x = 0, y = 0; // world position
};

ItemSpot FindLevelItem() {
    ItemSpot s;
    for (const map_tag& c : map_cells) {
        if (c.tile2 >= 100 && c.tile2 <= 108) {
            s.present = true;
            s.x = (20.0f - map_cells[0].x) + c.x;
            s.y = c.y;
        }
    }
    return s;
}

struct Node {
    GameSnapshot state;
    FrameInput held;
    std::vector<FrameInput> inputs;
    float score = 0;
};

float Score(const ItemSpot& item) {
    const player_tag& p = current_player();
    const float wx = WorldX();
    if (item.present && game.item == 0) {
        const float dx = item.x - wx, dy = item.y - p.y;
        return -(std::abs(dx) + std::abs(dy));
    }
    return 100000.0f + wx;
}

struct Result {
    bool found = false;
    std::vector<FrameInput> inputs;
    int deaths_avoided = 0;
    int score = 0;
    float furthest = 0;
    uint32_t checksum = 0;
};

const FrameInput kActions[] = {
    {2, false, false}, {2, true, false}, {0, false, false}, {0, true, false}, {1, false, false}, {1, true, false},
};

Result Search(int level, int area, int width, int segment, int max_frames) {
    Result r;
    StartArea(level, area, kPlaythroughSeed);
    const ItemSpot item = FindLevelItem();
    std::vector<Node> beam(1);
    beam[0].state = GameSnapshot::Capture();
    const int steps = max_frames / segment;
    for (int step = 0; step < steps && !beam.empty(); ++step) {
        std::vector<Node> next;
        std::map<long long, size_t> seen; // coarse position -> index in next
        for (const Node& node : beam) {
            for (const FrameInput& action : kActions) {
                node.state.Restore();
                FrameInput held = node.held;
                std::vector<FrameInput> inputs = node.inputs;
                bool dead = false, done = false;
                for (int f = 0; f < segment; ++f) {
                    FrameInput in = action;
                    if (f > 0) in.jump = false; // one press per segment
                    inputs.push_back(in);
                    const int st = PlayOneFrame(in, held);
                    if (st == STATE_DEATH || st == STATE_GAMEOVER) {
                        dead = true;
                        break;
                    }
                    if (st == STATE_LEVELEND) {
                        if (area == 3 && game.item == 0) {
                            dead = true; // the cauldron would send the hero back
                        } else {
                            done = true;
                        }
                        break;
                    }
                }
                r.furthest = std::max(r.furthest, WorldX());
                if (dead) {
                    ++r.deaths_avoided;
                    continue;
                }
                if (done) {
                    r.found = true;
                    r.inputs = inputs;
                    r.score = current_player().score;
                    r.checksum = GameChecksum();
                    return r;
                }
                Node n;
                n.held = held;
                n.score = Score(item);
                const player_tag& p = current_player();
                const long long key = (long long)(WorldX() / 6.0f) * 1000000LL + (long long)(p.y / 6.0f) * 100 +
                                      (p.ystp < 0 ? 10 : 0) + game.jump;
                auto it = seen.find(key);
                if (it != seen.end() && next[it->second].score >= n.score) continue;
                n.state = GameSnapshot::Capture();
                n.inputs = std::move(inputs);
                if (it != seen.end()) {
                    next[it->second] = std::move(n);
                } else {
                    seen[key] = next.size();
                    next.push_back(std::move(n));
                }
            }
        }
        std::sort(next.begin(), next.end(), [](const Node& a, const Node& b) { return a.score > b.score; });
        if (int(next.size()) > width) next.resize(width);
        beam = std::move(next);
    }
    return r;
}

bool Prove(int level, int area, const std::string& dir) {
    Result r;
    const int widths[] = {16, 64};
    for (int w : widths) {
        r = Search(level, area, w, 8, 6000);
        if (r.found) break;
    }
    if (!r.found) {
        std::printf("area %d.%d: NOT FOUND, stuck near x %.0f (column %d), %d deaths avoided\n", level, area,
                    r.furthest, int(r.furthest) / 40, r.deaths_avoided);
        return false;
    }
    Recording rec;
    rec.level = level;
    rec.area = area;
    rec.seed = kPlaythroughSeed;
    rec.frames = r.inputs;
    rec.checksum = r.checksum;
    rec.score = r.score;
    const std::string path = dir + "/" + std::to_string(level) + "-" + std::to_string(area) + ".txt";
    if (!rec.Save(path)) std::fprintf(stderr, "autoplay: cannot write %s\n", path.c_str());
    std::printf("area %d.%d: found, %zu frames, %d deaths avoided, score %d\n", level, area, r.inputs.size(),
                r.deaths_avoided, r.score);
    return true;
}

// The first 1000 frames of a recording as demo records (direction, jump, turbo), the last one
// marked as the end. Returns false when the recording cannot be read.
bool WriteDemo(const std::string& dir, int area, const std::string& data) {
    Recording rec;
    std::string error;
    if (!Recording::Load(dir + "/1-" + std::to_string(area) + ".txt", rec, error)) return false;
    demo_tag::reset();
    const size_t n = std::min<size_t>(rec.frames.size(), DEMO_FRAMES);
    for (size_t i = 0; i < n; ++i) {
        demo_frames[i].direction = rec.frames[i].dir;
        demo_frames[i].jump = rec.frames[i].jump ? 1 : 0;
        demo_frames[i].turbo = 1;
    }
    if (n > 0) demo_frames[n - 1].direction = 3;
    TStream out = OpenWrite(data + "/demodata.0" + std::to_string(area));
    if (!out) return false;
    for (const demo_tag& d : demo_frames) {
        out.WriteInt(d.direction);
        out.WriteInt(d.jump);
        out.WriteInt(d.turbo);
    }
    out.Close();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--demo") == 0) {
        int written = 0;
        for (int area = 1; area <= 3; ++area) written += WriteDemo(argv[2], area, argv[3]) ? 1 : 0;
        std::printf("autoplay: %d demo recordings written to %s\n", written, argv[3]);
        return 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: autoplay --prove DIR | --area LEVEL AREA DIR\n");
        return 2;
    }
    HeadlessPlatform platform;
    EngineInit(&platform);
    if (!PrepareHeadlessGame()) return 1;
    platform.SetRendering(false); // the search needs the game's rules, not its pictures

    int found = 0, tried = 0;
    if (std::strcmp(argv[1], "--prove") == 0) {
        for (int level = 1; level <= 5; ++level)
            for (int area = 1; area <= 3; ++area) {
                ++tried;
                found += Prove(level, area, argv[2]) ? 1 : 0;
                std::fflush(stdout);
            }
    } else if (std::strcmp(argv[1], "--area") == 0 && argc >= 5) {
        ++tried;
        found += Prove(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]) ? 1 : 0;
    } else {
        std::fprintf(stderr, "autoplay: unknown command %s\n", argv[1]);
        return 2;
    }
    std::printf("%d/%d areas completed\n", found, tried);
    EngineShutdown();
    return found == tried ? 0 : 1;
}
