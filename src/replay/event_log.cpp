#include "replay/event_log.h"

namespace {
const char* const kMonsters[] = {"walker",  "shell-maker", "spiky-walker", "hoverer",        "shooter",  "cannon",
                                 "thrower", "shell",       "leaper",       "witch-fireball", "fire-bar", "hopper"};

std::string monster(int typ) { return typ >= 0 && typ < 12 ? kMonsters[typ] : "type" + std::to_string(typ); }

std::string item(int typ) {
    switch (typ) {
    case 3: return "power-up";
    case 4: return "extra-life";
    case 5: return "invincibility";
    case 6: return "fire-power";
    default: return "type" + std::to_string(typ);
    }
}

std::string block_content(int objectid) {
    switch (objectid) {
    case 0: return "empty";
    case 1: return "magic";
    case 2: return "multi-magic";
    case 3: return "power-up";
    case 4: return "extra-life";
    case 5: return "invincibility";
    default: return "object" + std::to_string(objectid);
    }
}
} // namespace

std::string EventName(GameEvent event, int detail) {
    switch (event) {
    case GameEvent::ItemTaken: return "item." + item(detail);
    case GameEvent::MagicTaken: return detail == 0 ? "magic.block" : detail == 1 ? "magic.free" : "magic.hidden";
    case GameEvent::LevelItemTaken: return "level-item";
    case GameEvent::FireballThrown: return "fireball.thrown";
    case GameEvent::FireballBurn: return "burn." + monster(detail);
    case GameEvent::InvincibleHit: return "invincible-hit." + monster(detail);
    case GameEvent::Stomp: return "stomp." + monster(detail);
    case GameEvent::ShellHit: return "shell-hit." + monster(detail);
    case GameEvent::PowerLost: return "hurt.power-lost";
    case GameEvent::Death: return detail == 0 ? "death.fall" : detail == 1 ? "death.monster" : "death.liquid";
    case GameEvent::TurnPassed: return "turn.passed";
    case GameEvent::LiftLanding: return detail == 0 ? "lift.horizontal" : "lift.vertical";
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
