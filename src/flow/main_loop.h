// The whole program: start-up, main loop and shutdown.
#pragma once

#include <string>

// What a run starts with: the sound effects and the music on (1) or off (0). F2 and F3 switch
// them while playing; the title screen puts the effects back to how the run started.
struct RunChoices {
    int sound = 1;
    int music = 1;
    // Whether a picture or sound that cannot be loaded is named on stderr at start-up (headless
    // runs in a scratch folder have no sound files, on purpose).
    bool report_missing_media = true;
    // Whether the top score is written at exit (a recording played back raises it, but it is not
    // the watcher's own).
    bool keep_top_score = true;
};

// Runs the game on the engine's current platform. Returns the exit code.
int RunGame(const RunChoices& choices = {});
// What every session in the game's window starts with (the game, the area editor): the display
// opened under `title`, the game's state fresh, the media loaded. False when no display opens.
bool OpenGameSession(const std::string& title, const RunChoices& choices);
// One pass of the main loop: the handler of the current game state (one play frame, or a whole
// screen of any other state) between the frame's clearing and its presenting.
void RunMainLoopPass();
// Called (when set) just before a pass that was one frame of play is presented: the frame-rate
// meter tells play from the screens between.
extern void (*before_play_frame_shown)();
// Functions called in a pass of the play state after the global keys and just before the play
// frame runs, in the order added: recordings read or set the frame's controls there, the clock
// counts the frame (a pause or F1 runs no frame).
void AddBeforePlayFrame(void (*fn)());
void RemoveBeforePlayFrame(void (*fn)());
