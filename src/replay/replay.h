// Replays a recording through the real game on the headless platform: start-up, the title (one or
// two players), the first intro sent to the recording's area with its seed and witch interval,
// then the recorded controls in every play frame, through level ends, deaths and intros, to the
// end of the level-end screen after the last frame. Checkpoints of the state and the picture are
// taken as the recording defines them, and the game's events are counted.
#pragma once

#include <functional>
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
// The start of a player's recorded game (both when it is recorded and when it is played back):
// the controller values a game start does not reset are put back to a fresh program's, and the
// recording's top score and effects and music switches are set.
void StartOwnGame(const Recording& rec);

// Plays a recording through the real game on any platform: told of every presented frame, it
// sends the game through the logo and the title to the recording's start, sets each play frame's
// controls, takes the checkpoints and compares them. One at a time (it is told of each play frame
// through the main loop's AddBeforePlayFrame while it lives).
class ReplayDriver {
  public:
    ReplayDriver(const Recording& rec, const std::string& name, bool compare, const std::string& picture_dir = "");
    ~ReplayDriver();
    ReplayDriver(const ReplayDriver&) = delete;
    ReplayDriver& operator=(const ReplayDriver&) = delete;

    // After presented frame `frame`; `press` presses a key for one frame. True once the game
    // should be closed (the recording is over).
    bool AfterFrame(int frame, const std::function<void(int code)>& press);
    // The game came back to the front after a suspension.
    void Resumed();
    bool Finished() const { return finished_; }
    const FrameInput& Held() const { return held_; }
    size_t Applied() const { return applied_; }
    const ReplayResult& Progress() const { return r_; }
    // The result, with a shortfall against the recording's checkpoints named.
    ReplayResult Finish();
    // Off when the picture is drawn by another renderer than the one the digests came from.
    bool compare_pictures = true;

  private:
    void AfterGameFrame();
    void Checkpoint(int frame, int after = 0);
    void ApplySwitches(size_t frame);

    static void FrameStarts();
    static ReplayDriver* current_;
    const Recording& rec_;
    std::string name_;
    bool compare_;
    std::string picture_dir_;
    ReplayResult r_;
    size_t applied_ = 0, next_switch_ = 0;
    bool pending_ = false, finished_ = false, seeded_ = false, saw_title_ = false, frame_ran_ = false;
    // The display opens (and presents) before start-up resets the game, so the first frames may
    // still show the state a run before this one left: the recording's area is set only at an
    // intro that follows this run's own title.
    std::string last_match_ = "none";
    int screen_frames_ = 0; // frames shown since the last play frame, in the screens between
    int step_ = 0;          // the logo and title: 0 logo, 1 title, 2 playing, 3 done
    FrameInput held_;
};

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
