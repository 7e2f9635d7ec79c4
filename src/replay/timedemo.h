// The game's own benchmark: a recorded area played through the real window as fast as the
// machine can, then a report of the frame rate, the frame times and the CPU time per frame.
#pragma once

#include <string>

#include "replay/recording.h"

// Plays `rec` (read from `path`, which the report names) on the engine's current platform and
// prints the report on stdout. Returns the exit code: 0 after a run, 1 when the display fails or
// the recording's area cannot be played.
int RunTimedemo(const std::string& path, const Recording& rec);
