// The whole program: start-up, main loop and shutdown.
#pragma once

// Runs the game on the engine's current platform. Returns the exit code.
int RunGame();
