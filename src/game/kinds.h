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
