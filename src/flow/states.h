// The game states that make up a game: new game, area intro, the play frame, area end, the hero's
// death and game over.
#pragma once

// Empties the four object lists between areas.
void destroy_all();
void start_new();
void start_game(int two_players);
void level_intro();
// One frame of play.
void play_game();
void end_level();
void pumko_death();
void game_over();
