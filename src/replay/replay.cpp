#include "replay/replay.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "flow/main_loop.h"
#include "game/kinds.h"
#include "game/media.h"
#include "replay/headless_game.h"

uint32_t PictureDigest() {
    static std::vector<uint8_t> rgb(640 * 480 * 3);
    ReadBackBuffer(0, 0, 640, 480, rgb.data());
    uint32_t h = 2166136261u;
    for (uint8_t b : rgb) h = (h ^ b) * 16777619u;
    return h;
}

namespace {

std::string FrameText(int frame, int after = 0) {
    if (frame == Checkpoint::kAfterLevelEnd) return "after the last level end";
    if (after > 0) return "screen frame " + std::to_string(after) + " after play frame " + std::to_string(frame);
    return "frame " + std::to_string(frame);
}

std::string FrameText(const Checkpoint& c) { return FrameText(c.frame, c.after); }

// What differs between an expected checkpoint and the one just taken ("" when nothing does).
std::string Compare(const Checkpoint& expected, const Checkpoint& actual, const std::string& last_match, const std::string& name,
                    const std::string& picture_dir, bool pictures) {
    std::string what;
    if (expected.frame != actual.frame || expected.after != actual.after)
        return "a checkpoint at " + FrameText(actual) + " where the recording has one at " + FrameText(expected);
    if (!(expected.state == actual.state)) {
        what += "the state differs in";
        for (const std::string& f : DifferingFields(expected.state, actual.state)) {
            const std::string now = CurrentValue(f);
            what += " " + f + (now.empty() ? "" : " (now " + now + ")");
        }
    }
    if (pictures && expected.picture != actual.picture) {
        if (!what.empty()) what += "; ";
        what += "the picture differs";
        if (!picture_dir.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(picture_dir, ec);
            const std::string path =
                picture_dir + "/" + name + "-" +
                (actual.frame == Checkpoint::kAfterLevelEnd ? std::string("end") : std::to_string(actual.frame)) +
                (actual.after > 0 ? "-" + std::to_string(actual.after) : std::string()) + ".png";
            what += SaveBackBufferPNG(path) ? " (saved as " + path + ")" : " (could not save it as " + path + ")";
        }
    }
    if (what.empty()) return "";
    return FrameText(actual) + " (last match " + last_match + "): " + what;
}

} // namespace

void SendToRecordingStart(const Recording& rec) {
    if (rec.Own()) StartOwnGame(rec);
    // The game's own recordings were made without a top score (a scratch folder has none); a
    // window playing one back starts from the same, whatever the watcher's own is.
    game.topscore = rec.topscore;
    for (player_tag& p : player_slot) {
        p.level = rec.level;
        p.area = rec.area;
    }
    game.fireballmaxtmr = rec.witch;
    SeedRandom(rec.seed);
}

void StartOwnGame(const Recording& rec) {
    // What the title and start_new set stays; everything a game start does not reset is put back
    // to how a fresh program has it, so the game does not depend on what ran before it.
    game_tag g{};
    g.state = game.state;
    g.players = game.players;
    g.curplayer = game.curplayer;
    g.topscore = rec.topscore;
    g.sound = rec.effects;
    g.soundset = rec.effects;
    g.music = rec.music;
    g.autoturbo = game.autoturbo;
    g.fbflashstp = game.fbflashstp;
    g.fireballmaxtmr = game.fireballmaxtmr;
    g.scmx = 640;
    g.scmy = 200;
    game = g;
    for (player_tag& p : player_slot) {
        player_tag fresh{};
        fresh.rotation = 0;
        fresh.yscale = 1.0f;
        fresh.lives = p.lives;
        fresh.level = p.level;
        fresh.area = p.area;
        p = fresh;
    }
    fireball = fireball_tag{};
    music_channel.SetPaused(game.music != 0 ? 0 : 1);
}

ReplayDriver* ReplayDriver::current_ = nullptr;

ReplayDriver::ReplayDriver(const Recording& rec, const std::string& name, bool compare, const std::string& picture_dir)
    : rec_(rec), name_(name), compare_(compare), picture_dir_(picture_dir) {
    current_ = this;
    AddBeforePlayFrame(&ReplayDriver::FrameStarts);
}

ReplayDriver::~ReplayDriver() {
    RemoveBeforePlayFrame(&ReplayDriver::FrameStarts);
    if (current_ == this) current_ = nullptr;
}

void ReplayDriver::FrameStarts() {
    if (current_ != nullptr) current_->frame_ran_ = true;
}

void ReplayDriver::Checkpoint(int frame, int after) {
    ::Checkpoint c;
    c.frame = frame;
    c.after = after;
    const bool pictures = rec_.pictures && compare_pictures;
    c.picture = pictures ? PictureDigest() : 0;
    c.state = StateDigest::Capture();
    if (compare_ && r_.first_difference.empty()) {
        const size_t i = r_.checks.size();
        if (i >= rec_.checks.size())
            r_.first_difference = FrameText(c) + ": a checkpoint the recording does not have";
        else {
            r_.first_difference = Compare(rec_.checks[i], c, last_match_, name_, picture_dir_, pictures);
            if (r_.first_difference.empty()) last_match_ = FrameText(c);
        }
    }
    r_.checks.push_back(std::move(c));
}

void ReplayDriver::ApplySwitches(size_t frame) {
    while (next_switch_ < rec_.switches.size() && size_t(rec_.switches[next_switch_].frame) <= frame) {
        const Recording::Switch& w = rec_.switches[next_switch_++];
        if (w.music) {
            game.music = w.on;
            music_channel.SetPaused(w.on != 0 ? 0 : 1);
        } else {
            game.sound = w.on;
        }
    }
}

void ReplayDriver::AfterGameFrame() {
    const size_t total = rec_.frames.size();
    if (finished_) return;
    if (game.state == STATE_TITLE) saw_title_ = true;
    if (!seeded_ && saw_title_ && game.state == STATE_INTRO) { // the title's last frame: the intro has not loaded its area yet
        SendToRecordingStart(rec_);
        seeded_ = true;
        return;
    }
    if (pending_) { // the frame whose controls were set last has just been played
        if (!frame_ran_) return; // a pause showed a frame without playing one
        pending_ = false;
        r_.frames_played = applied_;
        if (applied_ == total) r_.reached_cauldron = game.state == STATE_LEVELEND;
        if (applied_ % kCheckpointInterval == 0 || applied_ == total) Checkpoint(int(applied_));
    } else if (seeded_ && game.state != STATE_PLAY) {
        if (++screen_frames_ % kScreenCheckpointInterval == 0) Checkpoint(int(applied_), screen_frames_);
    }
    if (game.state == STATE_TITLE && !r_.first_difference.empty()) { // a game lost early: no more to see
        finished_ = true;
        return;
    }
    // A player's recording ends where its last checkpoint is: the game may have been closed in
    // the middle of a screen.
    if (rec_.Own() && seeded_ && applied_ == total && r_.checks.size() >= rec_.checks.size()) {
        finished_ = true;
        return;
    }
    if (applied_ < total) {
        if (seeded_ && game.state == STATE_PLAY && demo_active == 0) { // never the title's attract demo
            ApplySwitches(applied_);
            ApplyFrameInput(rec_.frames[applied_++], held_);
            pending_ = true;
            frame_ran_ = false;
            screen_frames_ = 0;
        }
        return;
    }
    // After the last frame: the level-end screen (or a death) plays out, then one more check.
    if (game.state == STATE_LEVELEND || game.state == STATE_DEATH) return;
    if (game.state != STATE_PLAY) Checkpoint(Checkpoint::kAfterLevelEnd);
    finished_ = true;
}

bool ReplayDriver::AfterFrame(int frame, const std::function<void(int code)>& press) {
    AfterGameFrame();
    // Through the logo and the title's menu, then the recording's frames until it is finished.
    if (step_ == 0 && game.state == 0 && frame >= 3) { // one step a frame at most
        press(KEY_LCONTROL);
        step_ = 1;
    } else if (step_ == 1 && game.state == STATE_TITLE) {
        if (rec_.players == 2) press(KEY_DOWN);
        press(KEY_LCONTROL);
        step_ = 2;
    } else if (step_ == 2 && finished_) {
        step_ = 3;
    }
    return step_ == 3 || frame >= int(rec_.frames.size()) * 2 + 20000;
}

void ReplayDriver::Resumed() {
    // The held keys were let go when the game lost the front: the controls set for the frame
    // to come are set again.
    if (pending_) ApplyFrameInput(held_, held_);
}

ReplayResult ReplayDriver::Finish() {
    if (compare_ && r_.first_difference.empty() && r_.checks.size() < rec_.checks.size())
        r_.first_difference = "the replay ended after " + std::to_string(r_.frames_played) + " of " +
                              std::to_string(rec_.frames.size()) + " frames, before " +
                              FrameText(rec_.checks[r_.checks.size()]);
    return r_;
}

ReplayResult ReplayRecording(const Recording& rec, const std::string& name, bool compare,
                             const std::string& picture_dir) {
    EventLog log;
    HeadlessGame run("replay-" + name);
    ReplayDriver driver(rec, name, compare, picture_dir);
    run.Run([&](int frame) {
        if (driver.AfterFrame(frame, [&](int code) { run.Press(code); })) run.RequestClose();
    });
    ReplayResult r = driver.Finish();
    r.events = log.Counts();
    return r;
}

std::vector<NamedRecording> LoadRecordings(const std::string& dir, std::vector<std::string>& errors) {
    namespace fs = std::filesystem;
    std::vector<fs::path> paths;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.path().extension() == ".txt") paths.push_back(entry.path());
    if (ec) errors.push_back(dir + ": " + ec.message());
    std::sort(paths.begin(), paths.end());
    std::vector<NamedRecording> out;
    for (const fs::path& p : paths) {
        NamedRecording n{p.stem().string(), {}};
        std::string error;
        if (Recording::Load(p.string(), n.rec, error))
            out.push_back(std::move(n));
        else
            errors.push_back(p.filename().string() + ": " + error);
    }
    return out;
}

std::string CoverageReport(const std::vector<NamedRecording>& recordings, std::vector<std::string>& missing) {
    EventCounts total;
    for (const NamedRecording& n : recordings)
        for (const auto& [kind, count] : n.rec.events) total[kind] += count;
    char line[256];
    std::string text = "Replay coverage: events over " + std::to_string(recordings.size()) + " recordings\n";
    auto row = [&](const std::string& kind, int count, bool required) {
        std::string where;
        int shown = 0;
        for (const NamedRecording& n : recordings) {
            if (CountOf(n.rec.events, kind) == 0) continue;
            if (shown++ < 4) where += (where.empty() ? "" : " ") + n.name;
        }
        if (shown > 4) where += " +" + std::to_string(shown - 4);
        std::snprintf(line, sizeof line, "  %-26s %6d  %s%s\n", kind.c_str(), count,
                      required && count == 0 ? "NEVER HAPPENS" : "", where.c_str());
        text += line;
    };
    text += "required:\n";
    for (const std::string& kind : RequiredEvents()) {
        const int count = CountOf(total, kind);
        if (count == 0) missing.push_back(kind);
        row(kind, count, true);
    }
    text += "also seen:\n";
    for (const auto& [kind, count] : total) {
        bool listed = false;
        for (const std::string& r : RequiredEvents()) listed = listed || r == kind;
        if (!listed) row(kind, count, false);
    }
    if (!missing.empty()) text += std::to_string(missing.size()) + " required kinds never happen\n";
    return text;
}
