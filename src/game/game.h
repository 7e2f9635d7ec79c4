// The game controller and the global objects every part of the game works on.
#pragma once

#include <string>

#include "game/effect.h"
#include "game/fireball.h"
#include "game/kinds.h"
#include "game/monster.h"
#include "game/pickup.h"
#include "engine/engine.h"
#include "game/lift.h"
#include "game/map_cell.h"
#include "game/player.h"


struct game_tag {
    int state = 0;
    int topscore = 0;
    int players = 0;
    int curplayer = 0;
    int jump = 0;
    int tracertmr = 0;
    int invincible = 0;
    int fbflashstp = 0;
    int fbflashctr = 0;
    int turbo = 0;
    int sound = 0;
    int cauldx = 0, cauldy = 0;
    int cauldfc = 0;
    int cauldft = 0;
    std::string setpoint;
    int curdir = 0;
    int fbshoot = 0;
    int cpflasher = 0;
    int pumkdeath = 0;
    int wlaugh = 0;
    int savesc = 0;
    int item = 0;
    int wltimer = 0;
    int scmx = 0, scmy = 0;
    int scmys = 0;
    int fireballtmr = 0;
    int fireballmaxtmr = 0;
    int autoturbo = 0;
    int music = 0;
    int soundset = 0;

    bool operator==(const game_tag&) const = default;
};

// Global objects, created once at start-up and never replaced.
extern game_tag game;
extern player_tag player_slot[2];
extern map_tag map_cells[1680];
extern fireball_tag fireball;
extern TList<monster_tag> monster_list;
extern TList<specialfx_tag> specialfx_list;
extern TList<specialitem_tag> specialitem_list;
extern TList<elevator_tag> elevator_list;

// Fixed settings.
extern int frame_sync;
extern float joy_left_value, joy_right_value, joy_up_value, joy_down_value;

// A player's own area, played instead of the game's levels for a whole run: every game starts
// at it and ends, back at the title, when it is finished or the lives run out. `resource` names
// its compiled map among the embedded resources; level 0 means the run plays the game's levels.
struct custom_area_tag {
    int level = 0;
    int area = 0;
    std::string resource;
};
extern custom_area_tag custom_area;

// The player whose turn it is.
inline player_tag& current_player() { return player_slot[game.curplayer]; }

// The attract demo's recorded controls (game/demo.h) are shared state too.
#include "game/demo.h"
