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
// Raises the top score to any player's score (not during the attract demo). Play frames raise it
// as they go; this counts what comes after the last one: the level-end bonus of a player's own
// area, which goes back to the title, and a bonus awarded just before the program is closed.
void count_scores();
