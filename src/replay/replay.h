// Replays a recording through the real game on the headless platform: start-up, the title (one or
// two players), the first intro sent to the recording's area with its seed and witch interval,
// then the recorded controls in every play frame, through level ends, deaths and intros, to the
// end of the level-end screen after the last frame. Checkpoints of the state and the picture are
// taken as the recording defines them, and the game's events are counted.
#pragma once

#include <string>

#include "replay/recording.h"

struct ReplayResult {
    size_t frames_played = 0;
    bool reached_cauldron = false; // the last recorded frame reached a cauldron
    std::vector<Checkpoint> checks;
    EventCounts events;
    // Against an expected recording: the first checkpoint that differs, with the fields that
    // differ and where a differing picture was saved; empty when every checkpoint matched.
    std::string first_difference;
};

// Plays `rec`. When `compare` is set, each checkpoint is compared with the recording's as it is
// taken, and the picture of the first one whose picture differs is saved as a PNG in
// `picture_dir` (made when needed), named after `name` and the frame.
ReplayResult ReplayRecording(const Recording& rec, const std::string& name, bool compare,
                             const std::string& picture_dir = "");

// Sends the game a new game's title has just started to the recording's area, with its witch pace
// and seed: called on the title's last frame, before the first intro loads the area.
void SendToRecordingStart(const Recording& rec);

// A digest of the 640 x 480 picture in the back buffer.
uint32_t PictureDigest();

struct NamedRecording {
    std::string name; // the file name without ".txt"
    Recording rec;
};
// Every recording (*.txt) in a folder, by name; a file that cannot be read is reported in
// `errors` and left out.
std::vector<NamedRecording> LoadRecordings(const std::string& dir, std::vector<std::string>& errors);

// The replay coverage report: how often each event kind happens over all the recordings (the
// counts their replays confirm), the required kinds first, each with the recordings that show
// it. Required kinds that never happen are added to `missing`.
std::string CoverageReport(const std::vector<NamedRecording>& recordings, std::vector<std::string>& missing);
