// The global objects of the game, created once and never replaced.
#include "game/events.h"
#include "game/game.h"

game_tag game;
player_tag player_slot[2];
map_tag map_cells[MAP_CELLS];
fireball_tag fireball;
TList<monster_tag> monster_list;
TList<specialfx_tag> specialfx_list;
TList<specialitem_tag> specialitem_list;
TList<elevator_tag> elevator_list;

void (*event_observer)(GameEvent event, int detail) = nullptr;

int frame_sync = 0;
float joy_left_value = -1.0f;
float joy_right_value = 1.0f;
float joy_up_value = -1.0f;
float joy_down_value = 1.0f;

custom_area_tag custom_area;
