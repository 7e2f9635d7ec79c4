#include "web/page_replay.h"

#include <emscripten.h>

#include "game/game.h"
#include "game/kinds.h"
#include "replay/replay.h"

namespace {
// clang-format off
EM_JS(void, page_push_key, (int down, int code), { PumkoPage.pushKey(down, code); });
EM_JS(void, page_checkpoint, (int frame, int after), { PumkoPage.checkpoint(frame, after); });
EM_JS(void, page_replay_done, (int frames), { PumkoPage.replayDone(frames); });
// clang-format on

// One play frame's controls as key events, as the desktop's replay runner sends them.
void PushControls(const FrameInput& in) {
    page_push_key(in.dir == 1, KEY_LEFT);
    page_push_key(in.dir == 2, KEY_RIGHT);
    if (in.jump) {
        page_push_key(0, KEY_LCONTROL);
        page_push_key(1, KEY_LCONTROL);
    }
    if (in.fire) {
        page_push_key(0, KEY_LALT);
        page_push_key(1, KEY_LALT);
    }
}
} // namespace

bool PageReplay::Load(const std::string& path, size_t frame_limit, std::string& error) {
    if (!Recording::Load(path, rec_, error)) return false;
    limit_ = frame_limit > 0 && frame_limit < rec_.frames.size() ? frame_limit : rec_.frames.size();
    return true;
}

void PageReplay::Checkpoint(int frame, int after) { page_checkpoint(frame, after); }

// The desktop's replay runner step for step: the recording's area and seed at the intro that
// follows this run's title, a checkpoint every so many play frames and screen frames, the
// controls of one play frame after each play frame shown.
void PageReplay::AfterPresent() {
    if (done_) return;
    ++frames_shown_;
    if (release_) {
        page_push_key(0, release_);
        release_ = 0;
    }
    if (step_ == 0 && game.state == 0 && frames_shown_ >= 3) { // jump leaves the logo
        page_push_key(1, KEY_LCONTROL);
        release_ = KEY_LCONTROL;
        step_ = 1;
    } else if (step_ == 1 && game.state == STATE_TITLE && rec_.players == 1) { // a one-player game
        page_push_key(1, KEY_LCONTROL);
        release_ = KEY_LCONTROL;
        step_ = 2;
    }
    if (game.state == STATE_TITLE) saw_title_ = true;
    if (!seeded_ && saw_title_ && game.state == STATE_INTRO) {
        SendToRecordingStart(rec_);
        seeded_ = true;
        return;
    }
    if (pending_) {
        pending_ = false;
        if (applied_ % kCheckpointInterval == 0 || applied_ == rec_.frames.size()) Checkpoint(int(applied_), 0);
    } else if (seeded_ && game.state != STATE_PLAY) {
        if (++screen_frames_ % kScreenCheckpointInterval == 0) Checkpoint(int(applied_), screen_frames_);
    }
    if (applied_ >= limit_) {
        page_push_key(0, KEY_LEFT);
        page_push_key(0, KEY_RIGHT);
        page_replay_done(int(applied_));
        done_ = true;
        return;
    }
    if (seeded_ && game.state == STATE_PLAY && demo_active == 0) {
        PushControls(rec_.frames[applied_++]);
        pending_ = true;
        screen_frames_ = 0;
    }
}
