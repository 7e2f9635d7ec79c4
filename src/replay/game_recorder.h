// pumko --record: the first game played in this run, from the title's choice to its end, kept as
// a recording that plays back the same (pumko --playdemo, or headless). The controls of every
// play frame are read once, as the hero reads them, and handed to the hero from the recording
// itself; the screens between play frames run without skips (the platform's filter sees to it),
// and checkpoints of the state are taken where a replay takes them.
#pragma once

#include <functional>
#include <string>

#include "replay/recording.h"

class WatchedPlatform;

class GameRecorder {
  public:
    // `version` is written in the recording; `gate`, when given, holds the host's input still
    // during each play frame. One recorder at a time (it reads each play frame's controls through the
    // main loop's AddBeforePlayFrame).
    explicit GameRecorder(std::string version, WatchedPlatform* gate = nullptr);
    ~GameRecorder();
    GameRecorder(const GameRecorder&) = delete;
    GameRecorder& operator=(const GameRecorder&) = delete;

    // After every presented frame.
    void AfterFrame();
    // Called when the recorded game has ended (back at the title, or at the ending), and at the
    // start of every area with the game so far, so that little is lost if the program is killed.
    std::function<void(const Recording&, bool ended)> on_save;

    bool Started() const { return started_; }
    size_t FramesRecorded() const { return rec_.frames.size(); }
    bool Ended() const { return ended_; }
    // The game so far as a whole recording, ending where the game is now.
    Recording Snapshot() const;
    // The controls of the last play frame (for the input display).
    const FrameInput& LastInput() const { return last_; }

  private:
    static void BeforePlayFrame();
    void ReadFrame();
    void Take(int frame, int after);
    void End();

    static GameRecorder* current_;
    WatchedPlatform* gate_;
    Recording rec_;
    bool saw_title_ = false, started_ = false, ended_ = false, pending_ = false;
    int screen_frames_ = 0, sound_ = 1, music_ = 1;
    FrameInput last_;
    // The last play frame's checkpoint when it does not fall on the interval (a replay takes one
    // on the recording's last frame), and where it would go among the checkpoints.
    Checkpoint last_frame_check_;
    size_t last_frame_at_ = 0;
    // The checkpoint a replay takes at the first frame of another screen after the last play
    // frame, when it ends there, and how many checkpoints came before it.
    bool have_end_ = false;
    Checkpoint end_check_;
    size_t end_at_ = 0;
};

// The digest of each area's map ("1.1" to "5.3") as this program has it.
std::vector<std::pair<std::string, uint32_t>> MapDigests();
// Why a recording cannot be played back in step by this program (`version`), in words naming
// what differs; empty when it can.
std::string WhyOutOfStep(const Recording& rec, const std::string& version);
// The controls held now (the hero's devices, not consumed), for the input display.
FrameInput HeldControls();
// "L R J F" with a '-' for each control not held.
std::string ControlsText(const FrameInput& in);
