// The attract demo's recordings, played back on the title screen after 200 idle frames: the
// controls of each frame, and where playback stands. The hero's input reads them while a demo plays.
#pragma once

#include <string>

struct demo_tag {
    int direction = 0; // 0 none, 1 left, 2 right, 3 end of the recording
    int jump = 0;
    int turbo = 0;

    static void Create();
    static void reset();
    static void save(const std::string& suffix);
    static void Load(const std::string& suffix);
};
constexpr int DEMO_FRAMES = 1000;
extern demo_tag demo_frames[DEMO_FRAMES];
extern int demo_index;  // playback position, and the title's idle counter
extern int demo_active; // 1 while a demo plays
extern int demo_number; // the recording the next demo plays: 1, 2 or 3
extern int demo_recording;
