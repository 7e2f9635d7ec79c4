// Names and counts of the game's events (game/events.h) over a replay or a search: what the
// recordings exercise, and the kinds every set of recordings must show at least once.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "game/events.h"

// "burn.hoverer", "item.fire-power", "turn.passed", ...
std::string EventName(GameEvent event, int detail);
// A monster kind's name in the event names ("hoverer"), or "typeN" for a number that is no kind.
std::string MonsterName(int typ);

using EventCounts = std::map<std::string, int>;

// Counts every event reported while it exists (one at a time; it restores the previous observer).
class EventLog {
  public:
    EventLog();
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;
    const EventCounts& Counts() const { return counts_; }
    void Clear() { counts_.clear(); }

  private:
    static void Observe(GameEvent event, int detail);
    static EventLog* current_;
    EventLog* previous_;
    void (*previous_observer_)(GameEvent, int);
    EventCounts counts_;
};

// The kinds the recordings must show between them. A name ending in ".*" stands for every
// detail of its kind together ("shell-hit.*": a shell knocking out any monster).
const std::vector<std::string>& RequiredEvents();
// How often a required kind happens in the counts (summing the details of a ".*" kind).
int CountOf(const EventCounts& counts, const std::string& kind);
