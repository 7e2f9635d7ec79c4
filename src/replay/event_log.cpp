#include "replay/event_log.h"

#include "game/kinds.h"

namespace {
std::string item(int typ) {
    const char* name = pickup_kind_name(typ);
    return name != nullptr ? name : "type" + std::to_string(typ);
}

std::string block_content(int objectid) {
    switch (objectid) {
    case CONTENT_NONE: return "empty";
    case CONTENT_MAGIC: return "magic";
    case CONTENT_MULTI_MAGIC: return "multi-magic";
    case CONTENT_POWER_UP: return "power-up";
    case CONTENT_EXTRA_LIFE: return "extra-life";
    case CONTENT_INVINCIBILITY: return "invincibility";
    default: return "object" + std::to_string(objectid);
    }
}

std::string magic_source(int from) {
    return from == MAGIC_FROM_BLOCK ? "block" : from == MAGIC_FREE ? "free" : "hidden";
}

std::string death(int kind) { return kind == DEATH_FALL ? "fall" : kind == DEATH_MONSTER ? "monster" : "liquid"; }
} // namespace

std::string MonsterName(int typ) {
    const char* name = monster_kind_name(typ);
    return name != nullptr ? name : "type" + std::to_string(typ);
}

std::string EventName(GameEvent event, int detail) {
    switch (event) {
    case GameEvent::ItemTaken: return "item." + item(detail);
    case GameEvent::MagicTaken: return "magic." + magic_source(detail);
    case GameEvent::LevelItemTaken: return "level-item";
    case GameEvent::FireballThrown: return "fireball.thrown";
    case GameEvent::FireballBurn: return "burn." + MonsterName(detail);
    case GameEvent::InvincibleHit: return "invincible-hit." + MonsterName(detail);
    case GameEvent::Stomp: return "stomp." + MonsterName(detail);
    case GameEvent::ShellHit: return "shell-hit." + MonsterName(detail);
    case GameEvent::PowerLost: return "hurt.power-lost";
    case GameEvent::Death: return "death." + death(detail);
    case GameEvent::TurnPassed: return "turn.passed";
    case GameEvent::LiftLanding: return detail == LIFT_HORIZONTAL ? "lift.horizontal" : "lift.vertical";
    case GameEvent::BonusBlockBumped: return "bonus-block." + block_content(detail);
    case GameEvent::HiddenBlockOpened: return "hidden-block." + block_content(detail);
    case GameEvent::BrickBroken: return "brick.broken";
    case GameEvent::Springboard: return "springboard";
    case GameEvent::WitchFireball: return "witch.fireball";
    case GameEvent::ExtraLifeFromMagic: return "magic.extra-life";
    case GameEvent::Count: break;
    }
    return "event" + std::to_string(int(event));
}

EventLog* EventLog::current_ = nullptr;

EventLog::EventLog() : previous_(current_), previous_observer_(event_observer) {
    current_ = this;
    event_observer = Observe;
}

EventLog::~EventLog() {
    current_ = previous_;
    event_observer = previous_observer_;
}

void EventLog::Observe(GameEvent event, int detail) {
    if (current_ != nullptr) current_->counts_[EventName(event, detail)] += 1;
}

const std::vector<std::string>& RequiredEvents() {
    static const std::vector<std::string> kinds = {
        "item.power-up",   "item.fire-power",  "item.extra-life",   "item.invincibility", "fireball.thrown",
        "burn.walker",     "burn.shell-maker", "burn.spiky-walker", "burn.hoverer",       "burn.shooter",
        "burn.cannon",     "burn.thrower",     "burn.shell",        "burn.hopper",        "invincible-hit.*",
        "hurt.power-lost", "stomp.walker",     "stomp.shell-maker", "stomp.hoverer",      "stomp.shell",
        "shell-hit.*",     "lift.horizontal",  "lift.vertical",     "bonus-block.*",      "hidden-block.*",
        "witch.fireball",  "turn.passed"};
    return kinds;
}

int CountOf(const EventCounts& counts, const std::string& kind) {
    if (kind.size() < 2 || kind.compare(kind.size() - 2, 2, ".*") != 0) {
        auto it = counts.find(kind);
        return it == counts.end() ? 0 : it->second;
    }
    const std::string prefix = kind.substr(0, kind.size() - 1); // keeps the dot
    int n = 0;
    for (const auto& [name, count] : counts)
        if (name.compare(0, prefix.size(), prefix) == 0) n += count;
    return n;
}
