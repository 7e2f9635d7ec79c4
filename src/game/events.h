// Things that happen in play, told to an optional observer: the replays count them to show what
// their recordings exercise, and the automatic player searches for them. The game itself never
// reads them back; with no observer set (the real game) each report is one null test.
#pragma once

enum class GameEvent {
    ItemTaken,          // detail: the pickup's kind (PICKUP_...)
    MagicTaken,         // detail: where from (MAGIC_...)
    LevelItemTaken,     // the level's magic item
    FireballThrown,     //
    FireballBurn,       // detail: the burnt monster's kind (MONSTER_...)
    InvincibleHit,      // a monster knocked out by the invincible hero; detail: its kind
    Stomp,              // detail: the stomped monster's kind before the stomp
    ShellHit,           // a monster knocked out by a shell; detail: its kind
    PowerLost,          // the hero hurt with a power, which it loses instead of a life
    Death,              // detail: game.pumkdeath (DEATH_...)
    TurnPassed,         // the other player's turn after a death
    LiftLanding,        // detail: the lift's kind (LIFT_...)
    BonusBlockBumped,   // a bonus block hit from below; detail: its objectid (CONTENT_...)
    HiddenBlockOpened,  // detail: the block's objectid
    BrickBroken,        //
    Springboard,        //
    WitchFireball,      // a witch fireball sent across a third area
    ExtraLifeFromMagic, // 100 magic turned into a life
    Count
};

extern void (*event_observer)(GameEvent event, int detail);

inline void report_event(GameEvent event, int detail = 0) {
    if (event_observer != nullptr) event_observer(event, detail);
}
