// Things that happen in play, told to an optional observer: the replays count them to show what
// their recordings exercise, and the automatic player searches for them. The game itself never
// reads them back; with no observer set (the real game) each report is one null test.
#pragma once

enum class GameEvent {
    ItemTaken,          // detail: the item's typ (3 power-up, 4 extra life, 5 invincibility, 6 fire power)
    MagicTaken,         // detail: 0 from a block, 1 free magic, 2 from a hidden block
    LevelItemTaken,     // the level's magic item
    FireballThrown,     //
    FireballBurn,       // detail: the burnt monster's typ
    InvincibleHit,      // a monster knocked out by the invincible hero; detail: its typ
    Stomp,              // detail: the stomped monster's typ before the stomp (0, 1, 3, 7)
    ShellHit,           // a monster knocked out by a shell; detail: its typ
    PowerLost,          // the hero hurt with a power, which it loses instead of a life
    Death,              // detail: game.pumkdeath (0 fall, 1 monster, 2 liquid)
    TurnPassed,         // the other player's turn after a death
    LiftLanding,        // detail: the lift's typ (0 horizontal, 1 vertical)
    BonusBlockBumped,   // a bonus block hit from below; detail: its objectid (what it holds)
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
