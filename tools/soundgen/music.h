// The music: one stereo loop, written as a score of sections and played by the synthesiser.
#pragma once

#include <string>
#include <vector>

#include "synth.h"

struct Music {
    Buffer left, right;
    int bars = 0;
    // The longest run of bars that repeat one another whole (every note and drum alike), counted
    // round the loop's join too.
    int longest_repeat = 0;
    int score_errors = 0; // lines or bars of the wrong length (each reported)
    // One line a section: its bars, its key and what plays in it.
    std::vector<std::string> sections;
};

// Plays the whole score; `rms` and `ceiling` set the level (RMS over the loop, both sides) and the
// soft ceiling its peaks are rounded off under.
Music make_music(float rms, float ceiling);
