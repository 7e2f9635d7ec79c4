// The frame-rate figures players read with --show-fps and --timedemo: play summed apart from the
// screens between, whose pauses are deliberate, and the main loop's cue for a frame of play.
#include <gtest/gtest.h>

#include "engine/platform/frame_meter.h"
#include "flow_fixture.h"

using namespace flow_test;

TEST(FrameMeter, SumsPlayApartFromTheScreensBetween) {
    FrameMeter meter;
    meter.Start(0.0, ProcessCpuMs());
    double now = 0.0;
    for (int i = 0; i < 99; ++i) meter.Frame(now += 16.0, true);
    meter.Frame(now += 1000.0); // a one-second pause between areas
    meter.Frame(now += 20.0, true);
    const FrameMeter::Summary play = meter.SummarizePlay();
    EXPECT_EQ(play.frames, 100u);
    EXPECT_NEAR(play.seconds, (99 * 16.0 + 20.0) / 1000.0, 1e-6);
    EXPECT_FLOAT_EQ(play.median_ms, 16.0f);
    EXPECT_FLOAT_EQ(play.p99_ms, 16.0f);
    EXPECT_FLOAT_EQ(play.worst_ms, 20.0f);
    EXPECT_NEAR(play.fps, 100 / play.seconds, 1e-9);

    const FrameMeter::Summary all = meter.Summarize(ProcessCpuMs());
    EXPECT_EQ(all.frames, 101u);
    EXPECT_FLOAT_EQ(all.worst_ms, 1000.0f);
    EXPECT_NEAR(all.seconds, now / 1000.0, 1e-6);
    EXPECT_GE(play.cpu_ms_per_frame, 0.0);
    EXPECT_LE(play.cpu_ms_per_frame * double(play.frames), all.cpu_ms_per_frame * double(all.frames) + 1e-9);

    const std::string text = DescribeFrameSummary(play, "in play");
    EXPECT_EQ(text.rfind("in play: 100 frames in 1.60 s: 62.3 frames per second\n", 0), 0u) << text;
}

namespace {
int cues = 0;
}

// The cue comes once for each presented frame of play, and never in the screens between.
TEST(FrameMeter, TheMainLoopCuesEachFrameOfPlayOnly) {
    Scenario sc("play-cue");
    cues = 0;
    before_play_frame_shown = [] { ++cues; };
    int play_frames = 0, other_cues = 0, last = 0;
    sc.EveryFrame([&] {
        if (cues != last && game.state != STATE_PLAY) ++other_cues;
        if (game.state == STATE_PLAY) ++play_frames;
        last = cues;
    });
    StartGame(sc);
    InPlay(sc, [] {});
    sc.When([&] { return play_frames >= 100; }, [] { Fall(); });
    sc.When([] { return InState(STATE_DEATH); }, [] {});
    sc.When([] { return InState(STATE_PLAY); }, [] {});
    EXPECT_EQ(sc.Run(4000), 0);
    before_play_frame_shown = nullptr;
    EXPECT_GE(play_frames, 100);
    EXPECT_EQ(other_cues, 0);
    // Each of the two intros shows the first frame of play itself: those two are not cued.
    EXPECT_EQ(cues, play_frames - 2);
}
