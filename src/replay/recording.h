// Recordings of play: the controls of every play frame from a new game's first intro to a
// cauldron, with checkpoints of the whole game state and of the drawn picture, and the events the
// play shows. Found by the automatic player, kept in the repository and replayed by the tests to
// guard the game's behaviour frame by frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "replay/event_log.h"

// One play frame's controls.
struct FrameInput {
    uint8_t dir = 0; // 0 none, 1 left, 2 right
    bool jump = false;
    bool fire = false;
    bool operator==(const FrameInput&) const = default;
};

// The state and the picture after `frame` play frames, or (frame kAfterLevelEnd) once the
// level-end screen that follows the last frame is over. A checkpoint with `after` above 0 falls in
// a screen between play frames (an intro, a death, a level end, a game over): `after` frames of it
// shown since play frame `frame`, so what those screens move and draw is checked too.
struct Checkpoint {
    static constexpr int kAfterLevelEnd = -1;
    int frame = 0;
    uint32_t picture = 0; // digest of the drawn 640 x 480 picture
    StateDigest state;
    int after = 0;
    bool operator==(const Checkpoint&) const = default;
};

// Checkpoints fall after every this many play frames, on the last frame, and after the level end;
// in the screens between play frames, every kScreenCheckpointInterval frames shown.
constexpr int kCheckpointInterval = 60;
constexpr int kScreenCheckpointInterval = 30;

// What a recording may hold, so that a small file cannot ask for much memory: three hours of play
// (a whole game takes well under one), at most 32 MB of text and a checkpoint every 30 frames.
constexpr int64_t kMaxRecordingFrames = int64_t(3) * 60 * 60 * 60;
constexpr uintmax_t kMaxRecordingBytes = uintmax_t(32) << 20;
constexpr size_t kMaxCheckpoints = size_t(kMaxRecordingFrames / kScreenCheckpointInterval);
// The areas and witch intervals a game can start in.
constexpr int kLevels = 5, kAreasPerLevel = 3;
constexpr int kWitchFastest = 200, kWitchSlowest = 700;
constexpr size_t kMaxSwitches = 10000;

struct Recording {
    int level = 1, area = 1;        // the area the game starts in
    int players = 1;                // 1 or 2 (turns pass after each death)
    int32_t seed = 20261208;        // the random generator's seed at the first intro
    int witch = 700;                // game.fireballmaxtmr at the first intro
    std::vector<FrameInput> frames; // from the first play frame to the one that reaches the last cauldron
    EventCounts events;             // what the play shows, counted over the whole recording
    uint32_t digest_layout = 0;     // StateDigestLayoutId() when the checkpoints were taken
    std::vector<Checkpoint> checks;

    // A player's own recording (pumko --record) also holds the program's version and the digest
    // of every area's map, so that a game that would play out of step is refused; the top score
    // and the effects and music switches it started with and each switch during play; and
    // checkpoints of the state alone, since the picture depends on the renderer that drew it. Its
    // game starts from the same controller values whatever ran before it (the title's scroller,
    // the witch's and the cauldron's animation phases, a previous game's leftovers).
    std::string version; // empty for the game's own recordings
    std::vector<std::pair<std::string, uint32_t>> maps; // "1.1" and the map's digest
    int topscore = 0;
    int effects = 1, music = 1;
    struct Switch {
        int frame = 0;      // set before this play frame (counted from 0)
        bool music = false; // the music, or else the effects
        int on = 0;
        bool operator==(const Switch&) const = default;
    };
    std::vector<Switch> switches;
    bool pictures = true; // false when the checkpoints hold no picture digests
    bool Own() const { return !version.empty(); }

    // Text form: a header, the inputs (one line per run of equal inputs: "R 12", "RJ 1", "N 3",
    // "LJF 1"), then one line per checkpoint.
    std::string ToText() const;
    static bool FromText(const std::string& text, Recording& out, std::string& error);
    bool Save(const std::string& path) const;
    static bool Load(const std::string& path, Recording& out, std::string& error);
};

// The seed every playthrough of an area starts from.
constexpr int32_t kPlaythroughSeed = 20261208;

// Sets the controls for the next play frame directly in the polled input state (no devices).
void ApplyFrameInput(const FrameInput& in, FrameInput& held);
