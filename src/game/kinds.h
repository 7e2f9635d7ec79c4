// Names for the numbers the game's rules are written in: game states, key codes, monster and item
// kinds, the map's base tiles and objects, and the sprite frames the code draws by number. The
// values are the game's own (recordings, maps and the state digest store them), so they are plain
// ints with names, not new types.
#pragma once

// Game states (game.state).
enum {
    STATE_PLAY = 1,
    STATE_INTRO = 2,
    STATE_GAMEOVER = 3,
    STATE_LEVELEND = 4,
    STATE_DEATH = 5,
    STATE_TITLE = 6,
    STATE_QUIT = 7,
    STATE_ENDING = 8
};

// Key codes the game reads (KeyWasHit, KeyDown); the platform's key map turns host keys into these.
enum {
    KEY_ESCAPE = 27,
    KEY_SPACE = 32,
    KEY_LEFT = 37,
    KEY_UP = 38,
    KEY_RIGHT = 39,
    KEY_DOWN = 40,
    KEY_F1 = 112,
    KEY_F2 = 113,
    KEY_F3 = 114,
    KEY_LCONTROL = 162,
    KEY_LALT = 164
};

// How the hero died (game.pumkdeath).
enum {
    DEATH_FALL = 0, // below the bottom of the screen
    DEATH_MONSTER = 1,
    DEATH_LIQUID = 2
};

// Where a collected magic came from (the detail of GameEvent::MagicTaken).
enum { MAGIC_FROM_BLOCK = 0, MAGIC_FREE = 1, MAGIC_FROM_HIDDEN_BLOCK = 2 };

// Monster kinds (monster_tag::typ). A monster's kind picks its behaviour, its frames and the rules
// that hurt it; actors/monster_spawn.cpp makes each kind from its map objects.
enum {
    MONSTER_WALKER = 0,         // walks; a stomp squashes it
    MONSTER_SHELL_MAKER = 1,    // walks; a stomp turns it into a shell
    MONSTER_SPIKY_WALKER = 2,   // walks; cannot be stomped
    MONSTER_HOVERER = 3,        // swings up and down
    MONSTER_SHOOTER = 4,        // walks; stops and shoots along its floor
    MONSTER_CANNON = 5,         // stands; fires cannonballs to the left
    MONSTER_THROWER = 6,        // paces and throws arcing objects
    MONSTER_SHELL = 7,          // a stomped shell-maker: slides and knocks out other monsters
    MONSTER_LEAPER = 8,         // leaps out of lava
    MONSTER_WITCH_FIREBALL = 9, // sent across third areas by the play state's timer
    MONSTER_FIRE_BAR = 10,      // six balls turning round a centre
    MONSTER_HOPPER = 11,        // leaps out of water, turning
    MONSTER_KINDS = 12
};

// A monster kind's name in event names and the automatic player's goals ("burn.hoverer");
// nullptr for a number that is no kind.
constexpr const char* monster_kind_name(int kind) {
    switch (kind) {
    case MONSTER_WALKER: return "walker";
    case MONSTER_SHELL_MAKER: return "shell-maker";
    case MONSTER_SPIKY_WALKER: return "spiky-walker";
    case MONSTER_HOVERER: return "hoverer";
    case MONSTER_SHOOTER: return "shooter";
    case MONSTER_CANNON: return "cannon";
    case MONSTER_THROWER: return "thrower";
    case MONSTER_SHELL: return "shell";
    case MONSTER_LEAPER: return "leaper";
    case MONSTER_WITCH_FIREBALL: return "witch-fireball";
    case MONSTER_FIRE_BAR: return "fire-bar";
    case MONSTER_HOPPER: return "hopper";
    default: return nullptr;
    }
}

// Pickup kinds (specialitem_tag::typ): what pops out of a bumped block.
enum {
    PICKUP_POWER_UP = 3,      // power 1
    PICKUP_EXTRA_LIFE = 4,    // one more life
    PICKUP_INVINCIBILITY = 5, // 600 frames of invincibility
    PICKUP_FIRE_POWER = 6     // power 2: the fireball (a power-up released to a hero with power)
};

// A pickup kind's name in event names ("item.fire-power"); nullptr for a number that is no kind.
constexpr const char* pickup_kind_name(int kind) {
    switch (kind) {
    case PICKUP_POWER_UP: return "power-up";
    case PICKUP_EXTRA_LIFE: return "extra-life";
    case PICKUP_INVINCIBILITY: return "invincibility";
    case PICKUP_FIRE_POWER: return "fire-power";
    default: return nullptr;
    }
}

// What a block or hidden block holds (map_tag::objectid), released when the hero hits it from below.
enum {
    CONTENT_NONE = 0,          // nothing; a hidden block holding nothing is worth 50 points
    CONTENT_MAGIC = 1,         // one magic
    CONTENT_MULTI_MAGIC = 2,   // a magic on every hit while its timer runs
    CONTENT_POWER_UP = 3,      // a power-up, or fire power for a hero with power
    CONTENT_EXTRA_LIFE = 4,    // the pickup of the same number
    CONTENT_INVINCIBILITY = 5, // the pickup of the same number
};
static_assert(int(CONTENT_EXTRA_LIFE) == int(PICKUP_EXTRA_LIFE) &&
                  int(CONTENT_INVINCIBILITY) == int(PICKUP_INVINCIBILITY),
              "blocks release these pickups by their own number");

// Effect kinds (specialfx_tag::typ), and the colours of a splash (specialfx_tag::clr).
enum {
    EFFECT_AFTERIMAGE = 0, // of the invincible hero
    EFFECT_BRICK_PIECE = 1,
    EFFECT_MAGIC = 2, // collected magic flying up
    EFFECT_SPLASH = 3,
    EFFECT_SCORE = 4,  // a score pop-up showing game.setpoint
    EFFECT_SPARKLE = 5 // round the powered hero
};
enum {
    SPLASH_CAULDRON = 0,
    SPLASH_WATER = 1, // TILE_WATER
    SPLASH_LAVA = 2   // TILE_LAVA
};

// Lift kinds (elevator_tag::typ).
enum {
    LIFT_HORIZONTAL = 0, // waits until first landed on, then travels back and forth
    LIFT_VERTICAL = 1    // travels up and down
};

// Base tiles of the map (map_tag::tile1). A cell draws the sprite frame of its base tile's number.
enum {
    TILE_EMPTY = 0,
    TILE_BUSH = 1, // scenery 1 to 3: the only base tiles that can hide a hidden block
    TILE_FENCE = 2,
    TILE_TOMBSTONE = 3,
    TILE_BRICK = 4, // solid from TILE_BRICK to TILE_PLATFORM
    TILE_BONUS = 5, // animated over frames 5, 6, 7
    TILE_USED = 8,  // what bonus, hidden and emptied blocks become
    TILE_GROUND = 9,
    TILE_PLATFORM = 10,
    TILE_WINDOW = 15, // scenery 15 to 19
    TILE_DEAD_TREE = 16,
    TILE_CROSS = 17,
    TILE_CANDLE = 18,
    TILE_GLOWING_TOMBSTONE = 19,
    TILE_TORCH = 20,       // the torch's frame as scenery, unlit
    TILE_WALL_FILL = 23,   // background fill
    TILE_LAIR_GROUND = 24, // solid, third areas only
    TILE_LAIR_STONE = 25,  // solid, third areas only
    TILE_WATER = 94,       // deadly
    TILE_LAVA = 95         // deadly, third areas only
};

// Whether a base tile is solid for the hero: the blocks, ground and platforms, and the lair's rock.
constexpr bool is_solid_tile(int t) {
    return (t >= TILE_BRICK && t <= TILE_PLATFORM) || t == TILE_LAIR_GROUND || t == TILE_LAIR_STONE;
}

// Object numbers of the map (map_tag::tile2 as loaded). Map_tag::initialize turns most of them into
// objects, flags and contents; the rest stay and are drawn as the frame of their number.
enum {
    OBJECT_NONE = 0,
    OBJECT_SPRINGBOARD = 11,
    OBJECT_LIFT_HORIZONTAL = 12,
    OBJECT_LIFT_VERTICAL = 13,
    OBJECT_TORCH = 20,
    OBJECT_FIRE_BAR_LEFT = 26,  // turns counter-clockwise
    OBJECT_FIRE_BAR_RIGHT = 27, // turns clockwise
    OBJECT_MAGIC = 28,          // in a block: a magic inside; elsewhere a free magic pickup
    OBJECT_MULTI_MAGIC = 29,    // in a block: multi-magic; on scenery: a hidden magic
    OBJECT_START = 30,          // in a block: invincibility inside; elsewhere the player start
    OBJECT_MONSTER_WALL = 38,   // a wall only walkers see
    OBJECT_CAULDRON = 39,
    OBJECT_POWER_UP = 49,     // in a block, or hidden in scenery
    OBJECT_EXTRA_LIFE = 50,   // in a block, or hidden in scenery
    OBJECT_HIDDEN_BLOCK = 55, // hidden in scenery, holding nothing (50 points)
    OBJECT_HIDDEN_INVINCIBILITY = 56,
    OBJECT_WALKER_LEFT = 57, // a monster object's first number faces left, the second right
    OBJECT_WALKER_RIGHT = 59,
    OBJECT_SHELL_MAKER_LEFT = 61,
    OBJECT_SHELL_MAKER_RIGHT = 64,
    OBJECT_SPIKY_WALKER_LEFT = 67,
    OBJECT_SPIKY_WALKER_RIGHT = 69,
    OBJECT_HOVERER = 71,
    OBJECT_SHOOTER_LEFT = 73,
    OBJECT_SHOOTER_RIGHT = 76,
    OBJECT_HOPPER = 81, // stands in water
    OBJECT_THROWER = 83,
    OBJECT_CANNON = 87,
    OBJECT_LEAPER = 88,     // stands in lava
    OBJECT_LEVEL_ITEM = 100 // level L's magic item is OBJECT_LEVEL_ITEM + 2 * (L - 1), up to 108
};
constexpr int LEVEL_ITEMS = 5;
constexpr int level_item_object(int level) { return OBJECT_LEVEL_ITEM + 2 * (level - 1); }

// Sprite-sheet frames the code draws or tests by number (the base tiles and the overlays left in the
// map are drawn as the frame of their own number).
enum {
    FRAME_BLANK = 0,
    FRAME_BUSH = 1,  // the shape walkers turn at when it is a monster wall
    FRAME_BRICK = 4, // the full block shape the hero's floors and ceilings are tested against
    FRAME_BONUS = 5, // and the next two
    FRAME_USED = 8,
    FRAME_LIFT_HORIZONTAL = 12,
    FRAME_LIFT_VERTICAL = 13,
    FRAME_LIFT_CABLE = 14,
    FRAME_TORCH = 20, // and the next two
    FRAME_LAIR_GROUND = 24,
    FRAME_FIREBALL_LEFT = 26, // also the fire bar's balls
    FRAME_FIREBALL_RIGHT = 27,
    FRAME_MAGIC = 28,
    FRAME_HERO = 30, // also the invincibility pickup and the afterimages
    FRAME_GLOW = 36, // of a torch
    FRAME_CANNONBALL = 37,
    FRAME_CAULDRON = 39,        // and the next two
    FRAME_SPLASH_CAULDRON = 42, // five frames each
    FRAME_POWER_UP = 49,
    FRAME_EXTRA_LIFE = 50,
    FRAME_FIRE_POWER = 51,  // and the next three
    FRAME_WALKER_LEFT = 57, // a walking monster's frames: this one and the next
    FRAME_WALKER_RIGHT = 59,
    FRAME_SHELL_MAKER_LEFT = 61,
    FRAME_SHELL_LEFT = 63,
    FRAME_SHELL_MAKER_RIGHT = 64,
    FRAME_SHELL_RIGHT = 66,
    FRAME_SPIKY_WALKER_LEFT = 67,
    FRAME_SPIKY_WALKER_RIGHT = 69,
    FRAME_HOVERER = 71,
    FRAME_HOVERER_KILLED = 72,
    FRAME_SHOOTER_LEFT = 73,
    FRAME_SHOOTER_SHOOTING_LEFT = 75,
    FRAME_SHOOTER_RIGHT = 76,
    FRAME_SHOOTER_SHOOTING_RIGHT = 78,
    FRAME_SHOT_LEFT = 79,
    FRAME_SHOT_RIGHT = 80,
    FRAME_HOPPER = 81,
    FRAME_THROWER = 83,
    FRAME_THROWER_THROWING = 85,
    FRAME_THROWN = 86,
    FRAME_CANNON = 87,
    FRAME_LEAPER = 88,     // also the witch's fireball, turned
    FRAME_SPARKLE = 89,    // plus the hero's power
    FRAME_FIRE_GLOW = 92,  // round a hero with fire power
    FRAME_POWER_GLOW = 96, // round a hero with power 1, and the hero rising in the ending
    FRAME_BRICK_PIECE = 97,
    FRAME_WITCH = 98,           // the heads-up display's corners: left, and right the next
    FRAME_LEVEL_ITEM = 100,     // level L's item: 100 + 2 * (L - 1), the next frame lit (found)
    FRAME_HERO_SPLAT = 110,     // the hero after a fall
    FRAME_WITCH_LAUGHING = 111, // and the next
    FRAME_SPLASH_WATER = 113,   // five frames
    FRAME_SPLASH_LAVA = 118,    // five frames
    FRAME_CURSOR = 123,
    FRAME_SCROLLER_LEFT = 124, // the title scroller's decorations
    FRAME_SCROLLER_PUMPKIN = 125,
    FRAME_SCROLLER_RIGHT = 126
};
