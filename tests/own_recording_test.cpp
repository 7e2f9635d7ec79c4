// A player's own recordings (--record, --playdemo) and the clock (--show-timer): a game recorded
// live replays with every checkpoint equal however it ended, a recording another program would
// play out of step is refused by name, and the clock counts game steps, not time.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "flow/main_loop.h"
#include "game/game.h"
#include "replay/game_recorder.h"
#include "replay/headless_game.h"
#include "replay/play_clock.h"
#include "replay/replay.h"

namespace {

enum class Stop { InPlay, InScreen };

// A scripted player: through the logo and the title, then running right with a jump now and then
// (a fire press and an F2 along the way), until `stop`.
Recording RecordScriptedGame(Stop stop, const std::string& name) {
    Recording made;
    bool saved_end = false;
    HeadlessGame run("own-" + name);
    GameRecorder recorder("9.9");
    recorder.on_save = [&](const Recording& r, bool ended) {
        if (ended) {
            made = r;
            saved_end = true;
        }
    };
    int step = 0, screen = 0;
    run.Run([&](int frame) {
        recorder.AfterFrame();
        if (step == 0 && game.state == 0 && frame >= 3) {
            run.Press(KEY_LCONTROL);
            step = 1;
        } else if (step == 1 && game.state == STATE_TITLE) {
            run.Press(KEY_LCONTROL);
            step = 2;
        } else if (step == 2 && game.state == STATE_PLAY) {
            run.Press(KEY_RIGHT, 1000000);
            step = 3;
        }
        const size_t played = recorder.FramesRecorded();
        if (step == 3 && game.state == STATE_PLAY) {
            if (frame % 37 == 0) run.Press(KEY_LCONTROL, 3);
            if (frame % 101 == 0) run.Press(KEY_LALT);
            if (played == 200) run.Press(KEY_F2);
            if (played == 400) run.Press(KEY_F2);
            if (played > 80 && frame % 23 == 0) run.Press(KEY_LEFT, 4); // now and then both held
        }
        screen = game.state == STATE_PLAY ? 0 : screen + 1;
        const bool done = stop == Stop::InPlay ? played >= 700 && game.state == STATE_PLAY
                                               : played >= 100 && screen == 45;
        if (done || saved_end || frame > 20000) run.RequestClose();
    });
    if (!saved_end) made = recorder.Snapshot(); // closed mid-game, as main keeps it
    return made;
}

} // namespace

TEST(OwnRecording, AScriptedGameRecordedPlaysBackWithEveryCheckpointEqual) {
    for (Stop stop : {Stop::InPlay, Stop::InScreen}) {
        const std::string name = stop == Stop::InPlay ? "play" : "screen";
        const Recording made = RecordScriptedGame(stop, name);
        ASSERT_GT(made.frames.size(), 100u) << name;
        ASSERT_FALSE(made.checks.empty()) << name;
        EXPECT_TRUE(made.Own());
        EXPECT_FALSE(made.pictures);
        EXPECT_EQ(made.maps.size(), 15u);
        if (stop == Stop::InPlay) {
            ASSERT_EQ(made.switches.size(), 2u); // F2 twice
            EXPECT_EQ(made.switches[0], (Recording::Switch{200, false, 0}));
        }
        // Through the text form, as the file is.
        Recording back;
        std::string error;
        ASSERT_TRUE(Recording::FromText(made.ToText(), back, error)) << error;
        EXPECT_EQ(back.frames, made.frames);
        EXPECT_EQ(back.checks, made.checks);
        EXPECT_EQ(back.switches, made.switches);
        const ReplayResult r = ReplayRecording(back, "own-" + name, true);
        EXPECT_EQ(r.first_difference, "") << name;
        EXPECT_EQ(r.checks.size(), made.checks.size()) << name;
        EXPECT_EQ(r.frames_played, made.frames.size()) << name;
        if (stop == Stop::InScreen) continue;
        // One control changed in the middle: the replay notices.
        Recording bent = back;
        FrameInput& f = bent.frames[bent.frames.size() / 2];
        f.jump = !f.jump;
        f.dir = f.dir == 2 ? 1 : 2;
        EXPECT_NE(ReplayRecording(bent, "own-bent", true).first_difference, "");
    }
}

TEST(OwnRecording, ARecordingThatWouldPlayOutOfStepIsRefusedByName) {
    Recording rec;
    rec.version = "1.0";
    rec.digest_layout = StateDigestLayoutId();
    rec.maps = MapDigests();
    EXPECT_EQ(WhyOutOfStep(rec, "1.0"), "");
    EXPECT_NE(WhyOutOfStep(rec, "1.1").find("recorded by pumko 1.0 and this is pumko 1.1"), std::string::npos);
    rec.maps[4].second ^= 1;
    EXPECT_EQ(WhyOutOfStep(rec, "1.0"), "the map of area 2.2 differs from this program's");
    rec.maps[14].second ^= 1;
    EXPECT_EQ(WhyOutOfStep(rec, "1.0"), "the map of areas 2.2, 5.3 differs from this program's");
    rec.maps = MapDigests();
    rec.digest_layout ^= 1;
    EXPECT_NE(WhyOutOfStep(rec, "1.0").find("another version's game state"), std::string::npos);
}

namespace {
// Replays a recording with the clock running; `pause_at` pauses the game (Space) for 5 s of the
// virtual clock before that play frame, `slow` makes every frame take 50 ms.
PlayClock ClockedReplay(const Recording& rec, const std::string& path, int pause_at, bool slow, std::string& diff) {
    static PlayClock* clock_now = nullptr;
    PlayClock clock(path);
    clock_now = &clock;
    HeadlessGame run("clock");
    ReplayDriver driver(rec, "clock", true);
    auto count = [] { clock_now->PlayFrame(); };
    AddBeforePlayFrame(count);
    bool paused = false;
    run.Run([&](int frame) {
        clock.AfterFrame();
        if (!paused && pause_at >= 0 && game.state == STATE_PLAY && int(driver.Applied()) == pause_at) {
            PlatformEvent ev{};
            ev.type = PlatformEvent::KeyDown;
            ev.code = KEY_SPACE;
            run.Platform().At(run.Frame(), ev);
            ev.type = PlatformEvent::KeyUp;
            run.Platform().At(run.Frame() + 1, ev);
            ev.type = PlatformEvent::KeyDown;
            run.Platform().AtTime(run.Platform().Millis() + 5000, ev);
            ev.type = PlatformEvent::KeyUp;
            run.Platform().AtTime(run.Platform().Millis() + 5100, ev);
            paused = true;
        }
        if (slow) run.Platform().Sleep(50);
        if (driver.AfterFrame(frame, [&](int code) { run.Press(code); })) run.RequestClose();
    });
    RemoveBeforePlayFrame(count);
    diff = driver.Finish().first_difference;
    return clock;
}
} // namespace

TEST(PlayClock, AnAreaFinishedByARecordingTakesTheSameStepsOnEveryRunPausedOrSlow) {
    Recording rec;
    std::string error;
    ASSERT_TRUE(Recording::Load(std::string(PUMKO_SOURCE_DIR) + "/assets/recordings/1-1.txt", rec, error)) << error;
    const std::string path = (std::filesystem::temp_directory_path() / "pumko-clock-best.txt").string();
    std::filesystem::remove(path);
    std::string diff;
    const PlayClock plain = ClockedReplay(rec, path, -1, false, diff);
    EXPECT_EQ(diff, "");
    ASSERT_EQ(plain.Finished().size(), 1u);
    EXPECT_EQ(plain.Finished()[0], (std::pair<std::string, int64_t>{"1.1", int64_t(rec.frames.size())}));
    const PlayClock paused = ClockedReplay(rec, path, int(rec.frames.size() / 2), false, diff);
    EXPECT_EQ(diff, ""); // the pause did not put the replay out of step either
    const PlayClock slow = ClockedReplay(rec, path, -1, true, diff);
    EXPECT_EQ(diff, "");
    for (const PlayClock* c : {&paused, &slow}) {
        ASSERT_EQ(c->Finished().size(), 1u);
        EXPECT_EQ(c->Finished()[0], plain.Finished()[0]);
        EXPECT_EQ(c->GameSteps(), plain.GameSteps());
    }
    std::filesystem::remove(path);
}

namespace {
// The clock told of a game by hand: the title, an intro, `play` frames (with a paused frame
// among them), then the cauldron of area 1.1.
void FinishArea(PlayClock& clock, int play) {
    game = game_tag{};
    player_slot[0].level = 1;
    player_slot[0].area = 1;
    auto frame = [&](int state, bool played) {
        game.state = state;
        if (played) clock.PlayFrame();
        clock.AfterFrame();
    };
    frame(STATE_TITLE, false);
    for (int i = 0; i < 10; ++i) frame(STATE_INTRO, false);
    for (int i = 0; i < play; ++i) frame(STATE_PLAY, true);
    frame(STATE_PLAY, false); // a pause shows a frame and plays none
    frame(STATE_LEVELEND, false);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
} // namespace

TEST(PlayClock, BestTimesSurviveARestartAndADamagedFileIsLeftAlone) {
    EXPECT_EQ(StepsAsTime(0), "0:00.00");
    EXPECT_EQ(StepsAsTime(59), "0:00.98");
    EXPECT_EQ(StepsAsTime(60 * 75 + 30), "1:15.50");
    EXPECT_EQ(StepsAsTime(60 * 3600), "60:00.00");

    const std::string path = (std::filesystem::temp_directory_path() / "pumko-best-times.txt").string();
    std::filesystem::remove(path);
    {
        PlayClock clock(path);
        FinishArea(clock, 600);
        EXPECT_EQ(clock.Finished().size(), 1u);
        EXPECT_EQ(clock.GameSteps(), 10 + 600 + 1);
        ASSERT_FALSE(clock.Lines().empty());
        EXPECT_NE(clock.Lines().back().find("AREA 1.1 0:10.00 NEW BEST"), std::string::npos) << clock.Lines().back();
        clock.Save();
    }
    {
        PlayClock again(path); // a restart
        EXPECT_EQ(again.Best().areas.at("1.1"), 600);
        FinishArea(again, 700); // slower: the best stays
        EXPECT_NE(again.Lines().back().find("BEST 0:10.00"), std::string::npos);
        again.Save();
        FinishArea(again, 590);
        EXPECT_NE(again.Lines().back().find("BEST WAS 0:10.00 NEW BEST"), std::string::npos) << again.Lines().back();
        again.Save();
    }
    EXPECT_EQ(PlayClock(path).Best().areas.at("1.1"), 590);

    for (const std::string damaged : {"area 1.1 six hundred\n", "area 9.9 100\n", "game 5\ngame 6\n", "\x01\x02"}) {
        { std::ofstream(path, std::ios::binary) << damaged; }
        PlayClock clock(path);
        EXPECT_TRUE(clock.Best().areas.empty());
        FinishArea(clock, 100);
        clock.Save();
        EXPECT_EQ(ReadAll(path), damaged); // left as it was
    }
    std::filesystem::remove(path);
    game = game_tag{};
}
