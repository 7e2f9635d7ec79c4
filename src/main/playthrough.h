// Playing an area without the main loop's screens: the automatic player, the benchmarks and the
// tools start an area exactly as a new game's intro does and then run play frames one by one.
#pragma once

#include "main/recording.h"

// Sets up the engine on an already initialised platform the way start-up does, without the logo
// and title: resources, display, globals and media. Returns false when the display cannot open.
bool PrepareHeadlessGame();
// A new one-player game sent to the area, seeded, with its intro played.
void StartArea(int level, int area, int32_t seed);
// One pass of the main loop in the play state, without presenting: returns the game state after.
int PlayOneFrame(const FrameInput& in, FrameInput& held);
