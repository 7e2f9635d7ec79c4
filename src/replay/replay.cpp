#include "replay/replay.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "game/kinds.h"
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
                    const std::string& picture_dir) {
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
    if (expected.picture != actual.picture) {
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
    for (player_tag& p : player_slot) {
        p.level = rec.level;
        p.area = rec.area;
    }
    game.fireballmaxtmr = rec.witch;
    SeedRandom(rec.seed);
}

ReplayResult ReplayRecording(const Recording& rec, const std::string& name, bool compare,
                             const std::string& picture_dir) {
    ReplayResult r;
    EventLog log;
    HeadlessGame run("replay-" + name);
    const size_t total = rec.frames.size();
    size_t applied = 0;
    bool pending = false, finished = false, seeded = false;
    std::string last_match = "none";
    int screen_frames = 0; // frames shown since the last play frame, in the screens between
    FrameInput held;

    auto checkpoint = [&](int frame, int after = 0) {
        Checkpoint c;
        c.frame = frame;
        c.after = after;
        c.picture = PictureDigest();
        c.state = StateDigest::Capture();
        if (compare && r.first_difference.empty()) {
            const size_t i = r.checks.size();
            if (i >= rec.checks.size())
                r.first_difference = FrameText(c) + ": a checkpoint the recording does not have";
            else {
                r.first_difference = Compare(rec.checks[i], c, last_match, name, picture_dir);
                if (r.first_difference.empty()) last_match = FrameText(c);
            }
        }
        r.checks.push_back(std::move(c));
    };

    // The display opens (and presents) before start-up resets the game, so the first frames may
    // still show the state a run before this one left: the recording's area is set only at an
    // intro that follows this run's own title.
    bool saw_title = false;
    auto after_frame = [&] {
        if (finished) return;
        if (game.state == STATE_TITLE) saw_title = true;
        if (!seeded && saw_title && game.state == STATE_INTRO) { // the title's last frame: the intro has not loaded its area yet
            SendToRecordingStart(rec);
            seeded = true;
            return;
        }
        if (pending) { // the frame whose controls were set last has just been played
            pending = false;
            r.frames_played = applied;
            if (applied == total) r.reached_cauldron = game.state == STATE_LEVELEND;
            if (applied % kCheckpointInterval == 0 || applied == total) checkpoint(int(applied));
        } else if (seeded && game.state != STATE_PLAY) {
            if (++screen_frames % kScreenCheckpointInterval == 0) checkpoint(int(applied), screen_frames);
        }
        if (game.state == STATE_TITLE && !r.first_difference.empty()) { // a game lost early: no more to see
            finished = true;
            return;
        }
        if (applied < total) {
            if (seeded && game.state == STATE_PLAY && demo_active == 0) { // never the title's attract demo
                ApplyFrameInput(rec.frames[applied++], held);
                pending = true;
                screen_frames = 0;
            }
            return;
        }
        // After the last frame: the level-end screen (or a death) plays out, then one more check.
        if (game.state == STATE_LEVELEND || game.state == STATE_DEATH) return;
        if (game.state != STATE_PLAY) checkpoint(Checkpoint::kAfterLevelEnd);
        finished = true;
    };
    // Through the logo and the title's menu, then the recording's frames until it is finished.
    int step = 0;
    const int frame_limit = int(total) * 2 + 20000;
    run.Run([&](int frame) {
        after_frame();
        if (step == 0 && game.state == 0 && run.Frame() >= 3) { // one step a frame at most
            run.Press(KEY_LCONTROL);
            step = 1;
        } else if (step == 1 && game.state == STATE_TITLE) {
            if (rec.players == 2) run.Press(KEY_DOWN);
            run.Press(KEY_LCONTROL);
            step = 2;
        } else if (step == 2 && finished) {
            step = 3;
        }
        if (step == 3 || frame >= frame_limit) run.RequestClose();
    });
    r.events = log.Counts();
    if (compare && r.first_difference.empty() && r.checks.size() < rec.checks.size())
        r.first_difference = "the replay ended after " + std::to_string(r.frames_played) + " of " +
                             std::to_string(total) + " frames, before " + FrameText(rec.checks[r.checks.size()]);
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
