#include "replay/game_recorder.h"

#include "engine/engine.h"
#include "flow/main_loop.h"
#include "game/game.h"
#include "replay/replay.h"
#include "replay/watched_platform.h"

GameRecorder* GameRecorder::current_ = nullptr;

GameRecorder::GameRecorder(std::string version, WatchedPlatform* gate) : gate_(gate) {
    rec_.version = std::move(version);
    rec_.pictures = false;
    rec_.digest_layout = StateDigestLayoutId();
    current_ = this;
    AddBeforePlayFrame(&GameRecorder::BeforePlayFrame);
}

GameRecorder::~GameRecorder() {
    RemoveBeforePlayFrame(&GameRecorder::BeforePlayFrame);
    if (current_ == this) current_ = nullptr;
}

void GameRecorder::BeforePlayFrame() {
    if (current_ != nullptr) current_->ReadFrame();
}

namespace {
// A press the hero will find, leaving the key held or not as it was.
void Hit(int code) {
    const bool was_down = KeyIsDown(code) != 0;
    PlatformEvent ev{};
    ev.code = code;
    ev.type = PlatformEvent::KeyUp;
    InjectInputEvent(ev);
    ev.type = PlatformEvent::KeyDown;
    InjectInputEvent(ev);
    if (!was_down) {
        ev.type = PlatformEvent::KeyUp;
        InjectInputEvent(ev);
    }
}
} // namespace

void GameRecorder::ReadFrame() {
    if (!started_ || ended_ || demo_active != 0) return;
    // The hero's own reading of the devices, in its order: each control stops at the first
    // source that answers, so another source's press waits for a later frame as it would.
    FrameInput f;
    f.fire = KeyWasHit(KEY_LALT) || JoyButtonHit(1, 0) || JoyButtonHit(7, 0) || MouseWasHit(2);
    const bool left = KeyIsDown(KEY_LEFT) || JoyAxisX(0) == joy_left_value || PointerX() < 260;
    const bool right = KeyIsDown(KEY_RIGHT) || JoyAxisX(0) == joy_right_value || PointerX() > 460;
    f.dir = right ? 2 : left ? 1 : 0;
    f.jump = KeyWasHit(KEY_LCONTROL) || JoyButtonHit(0, 0) || MouseWasHit(1);
    if (gate_ != nullptr) gate_->HoldInput(true);
    if (f.fire) Hit(KEY_LALT);
    if (f.jump) Hit(KEY_LCONTROL);
    // F2 and F3 during play were read just before this frame.
    if (game.sound != sound_) rec_.switches.push_back({int(rec_.frames.size()), false, game.sound});
    if (game.music != music_) rec_.switches.push_back({int(rec_.frames.size()), true, game.music});
    sound_ = game.sound;
    music_ = game.music;
    rec_.frames.push_back(f);
    last_ = f;
    pending_ = true;
    screen_frames_ = 0;
}

void GameRecorder::Take(int frame, int after) {
    Checkpoint c;
    c.frame = frame;
    c.after = after;
    c.state = StateDigest::Capture();
    rec_.checks.push_back(std::move(c));
}

void GameRecorder::AfterFrame() {
    if (gate_ != nullptr) gate_->HoldInput(false);
    if (ended_) return;
    if (game.state == STATE_TITLE) {
        if (started_) End(); // game over, F1 or the end of a player's own area
        saw_title_ = true;
        return;
    }
    if (!started_) {
        if (saw_title_ && game.state == STATE_INTRO) { // the title's last frame, as a replay seeds
            rec_.level = player_slot[0].level;
            rec_.area = player_slot[0].area;
            rec_.players = game.players + 1;
            rec_.witch = game.fireballmaxtmr;
            rec_.seed = int32_t(uint32_t(MilliTime()) * 2654435761u);
            rec_.topscore = game.topscore;
            rec_.effects = game.sound;
            rec_.music = game.music;
            rec_.maps = MapDigests();
            SendToRecordingStart(rec_);
            sound_ = game.sound;
            music_ = game.music;
            started_ = true;
        }
        return;
    }
    const int played = int(rec_.frames.size());
    if (pending_) {
        pending_ = false;
        have_end_ = false;
        if (played % kCheckpointInterval == 0) {
            Take(played, 0);
        } else {
            last_frame_check_ = Checkpoint{played, 0, StateDigest::Capture()};
            last_frame_at_ = rec_.checks.size();
        }
        return;
    }
    if (game.state == STATE_PLAY) return; // a pause or F1 showed a frame without playing one
    if (++screen_frames_ % kScreenCheckpointInterval == 0) Take(played, screen_frames_);
    if (!have_end_ && game.state != STATE_LEVELEND && game.state != STATE_DEATH) {
        have_end_ = true;
        end_check_ = Checkpoint{Checkpoint::kAfterLevelEnd, 0, StateDigest::Capture()};
        end_at_ = rec_.checks.size();
        if (game.state == STATE_INTRO && on_save) on_save(Snapshot(), false);
    }
    if (game.state == STATE_ENDING) End();
}

Recording GameRecorder::Snapshot() const {
    Recording out = rec_;
    const int played = int(out.frames.size());
    if (played > 0 && played % kCheckpointInterval != 0)
        out.checks.insert(out.checks.begin() + long(last_frame_at_), last_frame_check_);
    if (have_end_) {
        out.checks.resize(end_at_ + (played > 0 && played % kCheckpointInterval != 0 ? 1 : 0));
        out.checks.push_back(end_check_);
    }
    return out;
}

void GameRecorder::End() {
    ended_ = true;
    if (on_save) on_save(Snapshot(), true);
}

void RegisterGameResources(); // generated by the build from the embedded assets

std::vector<std::pair<std::string, uint32_t>> MapDigests() {
    RegisterGameResources(); // the maps are embedded; registering again changes nothing
    std::vector<std::pair<std::string, uint32_t>> out;
    for (int level = 1; level <= kLevels; ++level)
        for (int area = 1; area <= kAreasPerLevel; ++area) {
            const std::string name = std::to_string(level) + "." + std::to_string(area);
            const std::string bytes = ReadWhole("incbin::maps\\pumkosahrim" + name);
            uint32_t h = 2166136261u;
            for (char b : bytes) h = (h ^ uint8_t(b)) * 16777619u;
            out.emplace_back(name, h);
        }
    return out;
}

std::string WhyOutOfStep(const Recording& rec, const std::string& version) {
    if (rec.Own() && rec.version != version)
        return "it was recorded by pumko " + rec.version + " and this is pumko " + version +
               ": another version may play it differently";
    if (rec.digest_layout != StateDigestLayoutId())
        return "its checkpoints describe another version's game state";
    std::string differ;
    for (const auto& [name, digest] : MapDigests())
        for (const auto& [rname, rdigest] : rec.maps)
            if (rname == name && rdigest != digest) differ += (differ.empty() ? "" : ", ") + name;
    if (!differ.empty())
        return "the map of area" + std::string(differ.find(',') != std::string::npos ? "s " : " ") + differ +
               " differs from this program's";
    return "";
}

FrameInput HeldControls() {
    FrameInput f;
    const bool left = KeyIsDown(KEY_LEFT) || JoyAxisX(0) == joy_left_value || PointerX() < 260;
    const bool right = KeyIsDown(KEY_RIGHT) || JoyAxisX(0) == joy_right_value || PointerX() > 460;
    f.dir = right ? 2 : left ? 1 : 0;
    f.jump = KeyIsDown(KEY_LCONTROL) || JoyButtonDown(0, 0) || MouseIsDown(1);
    f.fire = KeyIsDown(KEY_LALT) || JoyButtonDown(1, 0) || JoyButtonDown(7, 0) || MouseIsDown(2);
    return f;
}

std::string ControlsText(const FrameInput& in) {
    std::string t = in.dir == 1 ? "L " : "- ";
    t += in.dir == 2 ? "R " : "- ";
    t += in.jump ? "J " : "- ";
    t += in.fire ? "F" : "-";
    return t;
}
