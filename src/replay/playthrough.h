// Playing an area without the main loop's screens: the automatic player, the benchmarks and the
// tools start an area exactly as a new game's intro does and then run play frames one by one.
#pragma once

#include "replay/recording.h"

// Sets up the engine on an already initialised platform the way start-up does, without the logo
// and title: resources, display, globals and media. Returns false when the display cannot open.
bool PrepareHeadlessGame();
// The witch-fireball interval a player meets in level L after finishing the levels before it:
// 700 frames in level 1, 100 fewer for each level after, never below 200.
int WitchInterval(int level);
// A new game of one or two players sent to the area, seeded, with the level's witch interval and
// its intro played.
void StartArea(int level, int area, int32_t seed, int players = 1);
// One pass of the main loop in the play state, without presenting: returns the game state after.
int PlayOneFrame(const FrameInput& in, FrameInput& held);
// Passes of the main loop (level end, death, game over, intro) until play resumes. Returns false
// when the game leaves play for good instead (title, ending, quit).
bool RunUntilPlay();
