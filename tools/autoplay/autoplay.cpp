// The automatic player. It runs the real simulation headless and searches for the controls that
// take a new game from an area's start to its cauldron, collecting the level's magic item first in
// third areas, with the witch-fireball interval a player meets in that level. The search copies
// and restores the whole game state: a beam of the most advanced survivors, extended a few frames
// at a time by every sensible control, with dead ends dropped.
//
// Beside the fifteen area recordings it makes the recordings that use everything: plans with
// goals (events such as "burn.hoverer" or "item.invincibility" that must happen in an area before
// its cauldron), over one or more areas in a row, some with two players whose turns pass after
// scripted deaths. Each found recording is then replayed through the real main loop, which takes
// its checkpoints and counts its events, and written.
//
//   autoplay --prove DIR        every recording: the fifteen areas and the plans, into DIR
//   autoplay --areas DIR        the fifteen area recordings only
//   autoplay --only NAME DIR    one of them ("2-3", "4-2-powers", ...), or several: "1-3,2-3"
//
// For the fifteen areas it prints what each asks of a player (hazards, jumps, waits, the
// search's effort) and a difficulty figure, the one that should rise level by level.
//   autoplay --coverage DIR     the replay coverage report of the recordings in DIR
//   autoplay --demo DIR DATA    cut the title screen's three demo recordings (areas 1.1 to 1.3)
//                               from DIR into DATA/demodata.01 .. 03
//
// With AUTOPLAY_TRACE set in the environment, the searches print their best node every 80 frames.
#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/media.h"
#include "replay/event_log.h"
#include "replay/playthrough.h"
#include "replay/recording.h"
#include "replay/replay.h"

namespace {

// One area of a plan: the events that must happen in it before its cauldron.
struct Stage {
    std::vector<std::string> goals;
    bool fire = false; // the controls include throwing fireballs
};

struct Plan {
    std::string name; // the recording's file name without ".txt"
    int level = 1, area = 1;
    int players = 1;
    int deaths = 0;                   // lives lost first, by running right without jumping
    std::vector<Stage> stages = {{}}; // one per area played, from (level, area) on
};

// The fifteen areas, then the plans that between them show every required event kind.
std::vector<Plan> AllPlans() {
    std::vector<Plan> plans;
    for (int level = 1; level <= 5; ++level)
        for (int area = 1; area <= 3; ++area)
            plans.push_back({.name = std::to_string(level) + "-" + std::to_string(area), .level = level, .area = area});
    // A life lost in the water by the start, then a power-up taken and lost to a monster instead
    // of a life.
    plans.push_back({.name = "3-2-hurt",
                     .level = 3,
                     .area = 2,
                     .deaths = 1,
                     .stages = {{.goals = {"item.power-up", "hurt.power-lost"}}}});
    // Two players: each loses a life in turn in the first lair's lava, then the first plays the
    // area through.
    plans.push_back({.name = "1-3-two-players", .level = 1, .area = 3, .players = 2, .deaths = 2});
    // Shell-makers stomped into shells, the shells kicked into other monsters.
    plans.push_back({.name = "1-2-shells",
                     .level = 1,
                     .area = 2,
                     .stages = {{.goals = {"stomp.walker", "stomp.shell-maker", "stomp.shell", "shell-hit.*"}}}});
    // Hoverers stomped and horizontal lifts ridden.
    plans.push_back(
        {.name = "2-2-lifts", .level = 2, .area = 2, .stages = {{.goals = {"stomp.hoverer", "lift.horizontal"}}}});
    // Fire power from the cannon field's two power-ups, then fireballs at its cannons, shooters,
    // spiky walkers, walkers and shell-makers; the power kept into 3.2 for its hoppers.
    plans.push_back({.name = "3-1-fire",
                     .level = 3,
                     .area = 1,
                     .stages = {{.goals = {"item.power-up", "item.fire-power", "burn.cannon", "burn.shooter",
                                           "burn.spiky-walker", "burn.walker", "burn.shell-maker"},
                                 .fire = true},
                                {.goals = {"burn.hopper"}, .fire = true}}});
    // Fire power from the high road's two power-ups at its start, for its throwers.
    plans.push_back({.name = "4-1-fire",
                     .level = 4,
                     .area = 1,
                     .stages = {{.goals = {"item.power-up", "item.fire-power", "burn.thrower"}, .fire = true}}});
    // Fire power in the climb, for its hoverers, kept into 5.2 to burn a shell there.
    plans.push_back({.name = "5-1-fire",
                     .level = 5,
                     .area = 1,
                     .stages = {{.goals = {"item.power-up", "item.fire-power", "burn.hoverer"}, .fire = true},
                                {.goals = {"stomp.shell-maker", "burn.shell"}, .fire = true}}});
    // The dense area's extra life and invincibility, with the invincible hero running through
    // monsters, and a hidden block opened.
    plans.push_back(
        {.name = "4-2-powers",
         .level = 4,
         .area = 2,
         .stages = {{.goals = {"item.extra-life", "item.invincibility", "invincible-hit.*", "hidden-block.*"}}}});
    return plans;
}

float WorldX() { return (20.0f - map_cells[0].x) + current_player().x; }

// The search's effort: segments of play tried, over every beam width a plan needed, and how many
// of them ended in a death.
long long g_segments_tried = 0, g_dead_ends = 0;

struct ItemSpot {
    bool present = false;
    float x = 0, y = 0; // world position
};

ItemSpot FindLevelItem() {
    ItemSpot s;
    for (const map_tag& c : map_cells) {
        if (c.tile2 >= OBJECT_LEVEL_ITEM && c.tile2 <= level_item_object(LEVEL_ITEMS)) {
            s.present = true;
            s.x = (20.0f - map_cells[0].x) + c.x;
            s.y = c.y;
        }
    }
    return s;
}

// Whether a monster or item kind ("hoverer", "*") matches the part of a goal after its dot.
bool KindMatches(const std::string& goal, const std::string& prefix, const std::string& kind) {
    return goal.compare(0, prefix.size(), prefix) == 0 &&
           (goal.compare(prefix.size(), std::string::npos, kind) == 0 || goal.compare(prefix.size(), 1, "*") == 0);
}

// What a pending goal offers on screen: the monster to stomp or burn, the block that holds the
// item wanted or the item itself once released, the lift to ride. Being near one is worth up to
// 600 px of progress times its weight; a wanted item out of its block is worth a great deal more.
float TargetBonus(const Stage& stage, uint64_t goals) {
    const player_tag& p = current_player();
    float best = 0.0f;
    // (x, y) is where to be; only things on screen (by their own x) count.
    auto consider = [&](float x, float y, float weight, float base = 0.0f, std::optional<float> thing_x = {}) {
        if (thing_x.value_or(x) <= 0.0f || thing_x.value_or(x) >= 640.0f) return;
        const float dist = std::abs(x - p.x) + std::abs(y - p.y);
        best = std::max(best, base + weight * std::max(0.0f, 600.0f - dist));
    };
    for (size_t g = 0; g < stage.goals.size(); ++g) {
        if (goals >> g & 1) continue;
        const std::string& goal = stage.goals[g];
        // A monster to burn is best faced from 150 px away at its height, one to stomp from above,
        // one to knock out touched.
        const char* const monster_goals[] = {"stomp.", "burn.", "invincible-hit.", "shell-hit."};
        for (const char* prefix : monster_goals) {
            if (goal.rfind(prefix, 0) != 0) continue;
            const bool burn = prefix[0] == 'b', stomp = prefix[0] == 's' && prefix[1] == 't';
            if (burn && p.power != 2) continue; // nothing to burn with yet
            monster_list.ForEach([&](const monster_tag& m) {
                if (m.state == 0 || monster_kind_name(m.typ) == nullptr ||
                    !KindMatches(goal, prefix, MonsterName(m.typ)))
                    return;
                if (burn)
                    consider(m.x + (p.x < m.x ? -150.0f : 150.0f), m.y, 0.5f, 0.0f, m.x);
                else
                    consider(m.x, stomp ? m.y - 40.0f : m.y, 0.5f);
            });
        }
        if (goal == "hurt.power-lost" && p.power != 0)
            monster_list.ForEach([&](const monster_tag& m) {
                if (m.state != 0 && m.typ != MONSTER_FIRE_BAR) consider(m.x, m.y, 0.5f);
            });
        if (goal.rfind("lift.", 0) == 0)
            elevator_list.ForEach([&](const elevator_tag& e) {
                if ((e.typ == LIFT_HORIZONTAL) == (goal == "lift.horizontal")) consider(e.x, e.y - 40.0f, 0.5f);
            });
        int holds = -1; // the objectid of blocks that release the goal's item
        if (goal == "item.power-up" || goal == "item.fire-power") holds = CONTENT_POWER_UP;
        if (goal == "item.extra-life") holds = CONTENT_EXTRA_LIFE;
        if (goal == "item.invincibility") holds = CONTENT_INVINCIBILITY;
        if (holds > 0) {
            const int typ =
                holds == CONTENT_POWER_UP ? (goal == "item.power-up" ? PICKUP_POWER_UP : PICKUP_FIRE_POWER) : holds;
            specialitem_list.ForEach([&](const specialitem_tag& it) {
                if (it.typ == typ) consider(it.x, it.y, 2.0f, 300000.0f);
            });
            for (const map_tag& c : map_cells)
                if (c.objectid == holds &&
                    (c.tile1 == TILE_BRICK || c.tile1 == TILE_BONUS || (c.tile1 < TILE_BRICK && c.hidden == 1)) &&
                    c.x > p.x - 30.0f)
                    consider(c.x, c.y + 60.0f, 0.5f); // under it, to bump it
        }
        if (goal.rfind("hidden-block.", 0) == 0)
            for (const map_tag& c : map_cells)
                if (c.tile1 < TILE_BRICK && c.hidden == 1 && c.x > p.x - 30.0f) consider(c.x, c.y + 60.0f, 0.5f);
    }
    return best;
}

// How far along a node is: towards the level item while it is still to collect, then rightwards.
// With goals, each one reached counts above any distance, a power above most, and what a pending
// goal offers on screen draws the beam aside for a while but not for ever.
float Progress(const ItemSpot& item, const Stage& stage, uint64_t goals) {
    const player_tag& p = current_player();
    const float wx = WorldX();
    float score = 100000.0f + wx;
    if (item.present && game.item == 0) score = -(std::abs(item.x - wx) + std::abs(item.y - p.y));
    if (stage.goals.empty()) return score;
    score += 1000000.0f * float(std::popcount(goals)) + 20000.0f * float(p.power);
    return score + TargetBonus(stage, goals);
}

// The controls of a search segment: the first frame's presses, then the direction held.
struct Segment {
    std::shared_ptr<const Segment> parent;
    FrameInput first;
    int frames = 0;
};

std::vector<FrameInput> Inputs(const std::shared_ptr<const Segment>& last) {
    std::vector<const Segment*> chain;
    for (const Segment* s = last.get(); s != nullptr; s = s->parent.get()) chain.push_back(s);
    std::vector<FrameInput> out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        for (int f = 0; f < (*it)->frames; ++f) {
            FrameInput in = (*it)->first;
            if (f > 0) in.jump = in.fire = false;
            out.push_back(in);
        }
    }
    return out;
}

struct Node {
    GameSnapshot state;
    std::shared_ptr<const Segment> path;
    float score = 0;
    uint64_t goals = 0;
    int column = 0; // the hero's map column
};

struct StageResult {
    bool found = false;
    std::vector<FrameInput> inputs;
    GameSnapshot end; // the state on reaching the cauldron
    uint64_t goals = 0;
    int deaths_avoided = 0;
    float furthest = 0;
};

uint64_t GoalsSeen(const Stage& stage, const EventCounts& counts) {
    uint64_t mask = 0;
    for (size_t g = 0; g < stage.goals.size(); ++g)
        if (CountOf(counts, stage.goals[g]) > 0) mask |= uint64_t(1) << g;
    return mask;
}

// Searches from the current state to the area's cauldron. Reaching it before every goal has
// happened keeps the best such ending in reserve while the search goes on for a while. With
// per_column set, the beam keeps at most that many nodes in any one map column, so that nodes
// that wait (for a lift to carry them, say) are not all crowded out by ones that ran on ahead
// and will fall.
StageResult SearchStage(const Stage& stage, int width, int segment, int max_frames, int per_column = 0) {
    StageResult r, reserve;
    const int area = current_player().area;
    const ItemSpot item = FindLevelItem();
    const uint64_t all = (uint64_t(1) << stage.goals.size()) - 1;
    std::vector<FrameInput> actions = {{2, false, false}, {2, true, false},  {0, false, false},
                                       {0, true, false},  {1, false, false}, {1, true, false}};
    if (stage.fire) actions.insert(actions.end(), {{2, false, true}, {0, false, true}, {1, false, true}});
    EventLog log;
    std::vector<Node> beam(1);
    beam[0].state = GameSnapshot::Capture();
    const int steps = max_frames / segment;
    int steps_after_reserve = 0, last_gain = 0;
    float best_so_far = -1e9f;
    for (int step = 0; step < steps && !beam.empty(); ++step) {
        if (reserve.found && ++steps_after_reserve > 60) break;
        // A beam that has not got further for a while is stuck: a wider one may not be. Plain
        // areas may have to wait long for a lift; goals are tried wide enough.
        if (beam[0].score > best_so_far + 1.0f) {
            best_so_far = beam[0].score;
            last_gain = step;
        } else if (step - last_gain > (stage.goals.empty() ? 300 : 150)) {
            break;
        }
        std::vector<Node> next;
        std::map<std::tuple<long long, uint64_t, int>, size_t> seen; // coarse position -> index in next
        for (const Node& node : beam) {
            for (const FrameInput& action : actions) {
                ++g_segments_tried;
                node.state.Restore();
                log.Clear();
                FrameInput held;
                bool dead = false, done = false;
                int played = 0;
                for (int f = 0; f < segment; ++f) {
                    FrameInput in = action;
                    if (f > 0) in.jump = in.fire = false; // one press per segment
                    const int st = PlayOneFrame(in, held);
                    ++played;
                    if (st == STATE_DEATH || st == STATE_GAMEOVER) {
                        dead = true;
                        break;
                    }
                    if (st == STATE_LEVELEND) {
                        if (area == 3 && game.item == 0)
                            dead = true; // the cauldron would send the hero back
                        else
                            done = true;
                        break;
                    }
                }
                r.furthest = std::max(r.furthest, WorldX());
                if (dead) {
                    ++r.deaths_avoided;
                    ++g_dead_ends;
                    continue;
                }
                const uint64_t goals = node.goals | GoalsSeen(stage, log.Counts());
                auto path = std::make_shared<const Segment>(Segment{node.path, action, played});
                if (done) {
                    StageResult& out = goals == all ? r : reserve;
                    if (goals == all || !reserve.found || std::popcount(goals) > std::popcount(reserve.goals)) {
                        out.found = true;
                        out.inputs = Inputs(path);
                        out.end = GameSnapshot::Capture();
                        out.goals = goals;
                    }
                    if (goals == all) return r;
                    continue;
                }
                Node n;
                n.goals = goals;
                n.score = Progress(item, stage, goals);
                n.column = int(WorldX() / 40.0f);
                const player_tag& p = current_player();
                const long long pos = (long long)(WorldX() / 6.0f) * 1000000LL + (long long)(p.y / 6.0f) * 100 +
                                      (p.ystp < 0 ? 10 : 0) + game.jump;
                const auto key = std::make_tuple(pos, goals, p.power);
                auto it = seen.find(key);
                if (it != seen.end() && next[it->second].score >= n.score) continue;
                n.state = GameSnapshot::Capture();
                n.path = std::move(path);
                if (it != seen.end()) {
                    next[it->second] = std::move(n);
                } else {
                    seen[key] = next.size();
                    next.push_back(std::move(n));
                }
            }
        }
        std::stable_sort(next.begin(), next.end(), [](const Node& a, const Node& b) { return a.score > b.score; });
        if (per_column > 0) {
            std::map<int, int> in_column;
            std::vector<Node> kept;
            for (Node& n : next)
                if (int(kept.size()) < width && ++in_column[n.column] <= per_column) kept.push_back(std::move(n));
            next = std::move(kept);
        }
        if (int(next.size()) > width) next.resize(width);
        if (std::getenv("AUTOPLAY_TRACE") != nullptr && step % 10 == 0 && !next.empty()) {
            next[0].state.Restore();
            std::printf("  step %d: %zu nodes, best wx %.0f y %.0f power %d goals %llx score %.0f x %.0f\n", step,
                        next.size(), WorldX(), current_player().y, current_player().power,
                        (unsigned long long)next[0].goals, next[0].score, current_player().x);
            std::fflush(stdout);
        }
        beam = std::move(next);
    }
    if (reserve.found) {
        reserve.deaths_avoided = r.deaths_avoided;
        reserve.furthest = r.furthest;
        return reserve;
    }
    return r;
}

std::string Missing(const Stage& stage, uint64_t goals) {
    std::string out;
    for (size_t g = 0; g < stage.goals.size(); ++g)
        if (!(goals >> g & 1)) out += " " + stage.goals[g];
    return out;
}

// The search half of a plan: the controls, or an empty list with the reason printed.
std::vector<FrameInput> SearchPlan(const Plan& plan) {
    StartArea(plan.level, plan.area, kPlaythroughSeed, plan.players);
    std::vector<FrameInput> inputs;
    FrameInput held;
    for (int d = 0; d < plan.deaths; ++d) {
        const FrameInput run{2, false, false};
        int st = STATE_PLAY;
        for (int f = 0; f < 5000 && st == STATE_PLAY; ++f) {
            st = PlayOneFrame(run, held);
            inputs.push_back(run);
        }
        if (st != STATE_DEATH || !RunUntilPlay()) {
            std::printf("%s: the scripted death %d did not happen\n", plan.name.c_str(), d + 1);
            return {};
        }
    }
    for (size_t s = 0; s < plan.stages.size(); ++s) {
        const Stage& stage = plan.stages[s];
        const int level = current_player().level, area = current_player().area;
        const GameSnapshot start = GameSnapshot::Capture();
        StageResult r;
        // A plain area is found with a narrow beam; goals need a wide one.
        const std::vector<int> widths = stage.goals.empty() ? std::vector<int>{16, 64} : std::vector<int>{64, 256};
        for (int w : widths) {
            start.Restore();
            r = SearchStage(stage, w, 8, 6000);
            if (r.found && r.goals == (uint64_t(1) << stage.goals.size()) - 1) break;
        }
        if (!r.found) { // a last try with the widest beam, kept spread along the area
            start.Restore();
            r = SearchStage(stage, widths.back(), 8, 6000, 4);
        }
        if (!r.found) {
            std::printf("%s: area %d.%d NOT FOUND, stuck near x %.0f (column %d), %d deaths avoided\n",
                        plan.name.c_str(), level, area, r.furthest, int(r.furthest) / 40, r.deaths_avoided);
            return {};
        }
        const std::string missing = Missing(stage, r.goals);
        if (!missing.empty())
            std::printf("%s: area %d.%d reached without:%s\n", plan.name.c_str(), level, area, missing.c_str());
        inputs.insert(inputs.end(), r.inputs.begin(), r.inputs.end());
        r.end.Restore();
        if (s + 1 < plan.stages.size() && !RunUntilPlay()) {
            std::printf("%s: no play after area %d.%d\n", plan.name.c_str(), level, area);
            return {};
        }
    }
    return inputs;
}

// What an area asks of a player, measured on the controls the search found: the hazards met
// (the monsters of the area, the witch's fireballs sent while it is played and the pits and
// liquid stretches in the way), the jumps, the play frames spent not running right, the waits
// (each stretch of such frames) and the search's effort (segments of play tried, and the share
// of them that ended in a death). The difficulty figure weighs them: a hazard counts one, a wait
// two, a jump a half, and the share of tries that die up to 40, so an area where most moves
// kill ranks above one that is merely long.
struct Figures {
    int monsters = 0, fireballs = 0, pits = 0, jumps = 0, still = 0, waits = 0;
    long long effort = 0, dead_ends = 0;
    int hazards() const { return monsters + fireballs + pits; }
    double deadly() const { return effort > 0 ? double(dead_ends) / double(effort) : 0.0; }
    double difficulty() const { return hazards() + 2.0 * waits + 0.5 * jumps + 40.0 * deadly(); }
};

Figures MeasureArea(const Plan& plan, const std::vector<FrameInput>& inputs, long long effort, long long dead_ends) {
    Figures f;
    f.effort = effort;
    f.dead_ends = dead_ends;
    StartArea(plan.level, plan.area, kPlaythroughSeed, plan.players);
    // The pits: stretches of columns between the start and the cauldron with no ground in the
    // bottom row.
    const float left = map_cells[0].x - 20.0f;
    const int start_col = int((current_player().x - left) / 40.0f),
              cauldron_col = int((float(game.cauldx) - left) / 40.0f);
    bool in_pit = false;
    for (int c = start_col; c < cauldron_col && c < 140; ++c) {
        const bool pit = !is_solid_tile(map_cells[11 * 140 + c].tile1);
        if (pit && !in_pit) ++f.pits;
        in_pit = pit;
    }
    monster_list.ForEach([&](const monster_tag& m) {
        if (m.x < float(game.cauldx)) ++f.monsters;
    });
    FrameInput held;
    int fireballs_before = 0;
    bool was_still = false;
    for (const FrameInput& in : inputs) {
        f.jumps += in.jump ? 1 : 0;
        const bool still = in.dir != 2;
        f.still += still ? 1 : 0;
        if (still && !was_still) ++f.waits;
        was_still = still;
        PlayOneFrame(in, held);
        int fireballs = 0;
        monster_list.ForEach([&](const monster_tag& m) { fireballs += m.typ == MONSTER_WITCH_FIREBALL ? 1 : 0; });
        if (fireballs > fireballs_before) f.fireballs += fireballs - fireballs_before;
        fireballs_before = fireballs;
    }
    return f;
}

void PrintFigures(const std::vector<std::pair<std::string, Figures>>& figures) {
    std::printf(
        "area  hazards = monsters + fireballs + pits  jumps  frames not right  waits  tries  dying  difficulty\n");
    for (const auto& [name, f] : figures)
        std::printf("%-4s  %7d = %8d + %9d + %4d  %5d  %16d  %5d  %5lld  %4.0f%%  %10.1f\n", name.c_str(), f.hazards(),
                    f.monsters, f.fireballs, f.pits, f.jumps, f.still, f.waits, f.effort, 100.0 * f.deadly(),
                    f.difficulty());
    // With all fifteen measured, say where the curve fails to rise: an area at or below the same
    // area of the level before, or a lair that is not its level's peak.
    std::map<std::string, double> by_name;
    for (const auto& [name, f] : figures) by_name[name] = f.difficulty();
    auto at = [&](int level, int area) { return by_name.find(std::to_string(level) + "-" + std::to_string(area)); };
    std::string breaks;
    for (int level = 1; level <= 5; ++level)
        for (int area = 1; area <= 3; ++area) {
            const auto here = at(level, area);
            if (here == by_name.end()) return;
            const auto before = at(level - 1, area);
            if (before != by_name.end() && here->second <= before->second)
                breaks += " " + here->first + " not above " + before->first + ";";
            if (area < 3 && at(level, 3) != by_name.end() && here->second >= at(level, 3)->second)
                breaks += " " + here->first + " not below its lair;";
        }
    if (breaks.empty())
        std::printf("the difficulty rises level by level, and each lair is its level's peak\n");
    else
        std::printf("the difficulty curve breaks:%s\n", breaks.c_str());
}

// Replays found controls through the real main loop and writes the recording with its
// checkpoints and events. Returns false when the replay does not end at the cauldron.
bool Record(const Plan& plan, const std::vector<FrameInput>& inputs, const std::string& dir) {
    Recording rec;
    rec.level = plan.level;
    rec.area = plan.area;
    rec.players = plan.players;
    rec.seed = kPlaythroughSeed;
    rec.witch = WitchInterval(plan.level);
    rec.frames = inputs;
    const ReplayResult r = ReplayRecording(rec, plan.name, false);
    if (!r.reached_cauldron || r.frames_played != inputs.size()) {
        std::printf("%s: the real main loop does not play it out (%zu of %zu frames, cauldron %s)\n", plan.name.c_str(),
                    r.frames_played, inputs.size(), r.reached_cauldron ? "reached" : "missed");
        return false;
    }
    rec.events = r.events;
    rec.checks = r.checks;
    rec.digest_layout = StateDigestLayoutId();
    const std::string path = dir + "/" + plan.name + ".txt";
    if (!rec.Save(path)) {
        std::fprintf(stderr, "autoplay: cannot write %s\n", path.c_str());
        return false;
    }
    std::string goals;
    for (const Stage& stage : plan.stages)
        for (const std::string& g : stage.goals)
            if (CountOf(r.events, g) > 0)
                goals += " " + g;
            else
                goals += " (no " + g + ")";
    std::printf("%s: found, %zu frames, witch every %d frames, score %d%s%s\n", plan.name.c_str(), inputs.size(),
                rec.witch, current_player().score, goals.empty() ? "" : ",", goals.c_str());
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

int Coverage(const std::string& dir) {
    std::vector<std::string> errors, missing;
    const std::vector<NamedRecording> recordings = LoadRecordings(dir, errors);
    for (const std::string& e : errors) std::printf("autoplay: %s\n", e.c_str());
    std::fputs(CoverageReport(recordings, missing).c_str(), stdout);
    return errors.empty() && missing.empty() ? 0 : 1;
}

// Takes every recording's checkpoints and events again from its own controls, for a change that
// alters the state's layout or the pictures but not the play: the controls stay as they are, and
// a recording that no longer reaches its cauldron is reported and left untouched.
int Recheck(const std::string& dir) {
    // Only the controls are read: the old checkpoints may be of a state layout that is gone.
    std::vector<std::string> errors;
    std::vector<NamedRecording> recordings;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".txt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        std::string body = text.str();
        // Kept: the 'checks' line itself (a recording must have one), without the checkpoints under it.
        const size_t checks = body.find("\nchecks ");
        if (checks != std::string::npos) {
            const size_t line_end = body.find('\n', checks + 1);
            if (line_end != std::string::npos) body.resize(line_end + 1);
        }
        NamedRecording named{file.stem().string(), {}};
        std::string error;
        if (!Recording::FromText(body, named.rec, error))
            errors.push_back(file.filename().string() + ": " + error);
        else
            recordings.push_back(std::move(named));
    }
    for (const std::string& e : errors) std::printf("autoplay: %s\n", e.c_str());
    int done = 0;
    for (NamedRecording& named : recordings) {
        Recording& rec = named.rec;
        const ReplayResult r = ReplayRecording(rec, named.name, false);
        if (!r.reached_cauldron || r.frames_played != rec.frames.size()) {
            std::printf("%s: no longer plays out (%zu of %zu frames): left as it was\n", named.name.c_str(),
                        r.frames_played, rec.frames.size());
            continue;
        }
        rec.events = r.events;
        rec.checks = r.checks;
        rec.digest_layout = StateDigestLayoutId();
        if (!rec.Save(dir + "/" + named.name + ".txt")) {
            std::fprintf(stderr, "autoplay: cannot write %s/%s.txt\n", dir.c_str(), named.name.c_str());
            continue;
        }
        done += 1;
    }
    std::printf("%d/%zu recordings re-checked\n", done, recordings.size());
    return errors.empty() && done == int(recordings.size()) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--demo") == 0) {
        int written = 0;
        for (int area = 1; area <= 3; ++area) written += WriteDemo(argv[2], area, argv[3]) ? 1 : 0;
        std::printf("autoplay: %d demo recordings written to %s\n", written, argv[3]);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "--coverage") == 0) return Coverage(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "--recheck") == 0) return Recheck(argv[2]);

    std::vector<Plan> plans;
    std::string dir;
    if (argc >= 3 && std::strcmp(argv[1], "--prove") == 0) {
        plans = AllPlans();
        dir = argv[2];
    } else if (argc >= 3 && std::strcmp(argv[1], "--areas") == 0) {
        for (const Plan& p : AllPlans())
            if (p.name.size() == 3) plans.push_back(p);
        dir = argv[2];
    } else if (argc >= 4 && std::strcmp(argv[1], "--only") == 0) {
        // One name, or several separated by commas.
        const std::string names = "," + std::string(argv[2]) + ",";
        for (const Plan& p : AllPlans())
            if (names.find("," + p.name + ",") != std::string::npos) plans.push_back(p);
        dir = argv[3];
        if (plans.empty()) {
            std::fprintf(stderr, "autoplay: no recording is called %s\n", argv[2]);
            return 2;
        }
    } else {
        std::fprintf(stderr, "usage: autoplay --prove DIR | --areas DIR | --only NAME[,NAME...] DIR | --recheck DIR | "
                             "--coverage DIR | --demo DIR DATA\n");
        return 2;
    }

    // First every search, on a platform that draws nothing (the search needs the game's rules, not
    // its pictures); then the replays, each on a headless platform of its own that draws.
    std::vector<std::vector<FrameInput>> found;
    std::vector<std::pair<std::string, Figures>> figures;
    {
        HeadlessPlatform platform;
        EngineInit(&platform);
        if (!PrepareHeadlessGame()) return 1;
        platform.SetRendering(false);
        for (const Plan& plan : plans) {
            const auto start = std::chrono::steady_clock::now();
            g_segments_tried = g_dead_ends = 0;
            found.push_back(SearchPlan(plan));
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            std::printf("%s: searched in %.1f s\n", plan.name.c_str(), took.count());
            std::fflush(stdout);
            if (plan.name.size() == 3 && !found.back().empty())
                figures.emplace_back(plan.name, MeasureArea(plan, found.back(), g_segments_tried, g_dead_ends));
        }
        EngineShutdown();
    }
    int areas = 0, areas_done = 0, extras = 0, extras_done = 0;
    for (size_t i = 0; i < plans.size(); ++i) {
        const bool is_area = plans[i].name.size() == 3;
        (is_area ? areas : extras) += 1;
        if (!found[i].empty() && Record(plans[i], found[i], dir)) (is_area ? areas_done : extras_done) += 1;
        std::fflush(stdout);
    }
    if (!figures.empty()) PrintFigures(figures);
    if (areas > 0) std::printf("%d/%d areas completed\n", areas_done, areas);
    if (extras > 0) std::printf("%d/%d further recordings made\n", extras_done, extras);
    return areas_done == areas && extras_done == extras ? 0 : 1;
}
