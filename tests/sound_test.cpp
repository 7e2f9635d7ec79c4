// The mixer on rendered samples, through the headless platform's hand-run audio, and the decoding
// of the generated sound files.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/engine.h"
#include "engine/mixer.h"
#include "engine/platform/headless/headless_platform.h"

namespace {
// 20 ms at 44100 Hz: every voice starts this many frames into the stream.
constexpr int kDelay = 882;

TSound Constant(int16_t value, int frames, int rate = 44100, bool loop = false) {
    auto d = std::make_shared<SoundData>();
    d->pcm16.assign(size_t(frames), value);
    d->channels = 1;
    d->rate = rate;
    d->length = frames;
    d->loop = loop;
    TSound s;
    s.data = d;
    return s;
}

class Mixer : public ::testing::Test {
  protected:
    HeadlessPlatform platform;
    void SetUp() override {
        platform.EnableAudio(true);
        EngineInit(&platform);
        SoundReopen();
    }
    void TearDown() override {
        EngineShutdown();
        SoundReopen();
    }
    // The left channel of the next `frames` output frames.
    std::vector<int> Mix(int frames) {
        std::vector<int16_t> out(size_t(frames) * 2);
        platform.MixAudio(out.data(), frames);
        std::vector<int> left(static_cast<size_t>(frames), 0);
        for (int i = 0; i < frames; ++i) left[size_t(i)] = out[size_t(i) * 2];
        return left;
    }
};
} // namespace

TEST_F(Mixer, VoicesStartAfterTheirDelayAndOverlap) {
    TSound s = Constant(1000, 4000);
    s.Play();
    s.Play();
    const std::vector<int> out = Mix(2048);
    EXPECT_EQ(out[kDelay - 1], 0);
    EXPECT_EQ(out[kDelay], 2000); // two voices of one effect add up
    EXPECT_EQ(out[2047], 2000);
}

TEST_F(Mixer, AKeptChannelRestartsPausesAndResumesWhereItStopped) {
    TSound s = Constant(1000, 3000);
    TChannel ch = AllocChannel();
    ASSERT_NE(ch.handle, 0u);
    EXPECT_EQ(s.Play(ch).handle, ch.handle);
    EXPECT_TRUE(ch.Playing());
    Mix(kDelay + 1000); // 1000 frames played
    ch.SetPaused(1);
    EXPECT_FALSE(ch.Playing());
    EXPECT_EQ(Mix(512)[0], 0);
    ch.SetPaused(0);
    EXPECT_TRUE(ch.Playing());
    const std::vector<int> out = Mix(3000);
    EXPECT_EQ(out[1999], 1000); // the 2000 frames left play out
    EXPECT_EQ(out[2000], 0);
    EXPECT_FALSE(ch.Playing()); // ended on a kept channel: stopped
    s.Play(ch);
    EXPECT_TRUE(ch.Playing());
}

TEST_F(Mixer, VolumeCarriesOverAndAppliesAtOnceWhilePaused) {
    TSound s = Constant(1000, 20000);
    TChannel ch = AllocChannel();
    ch.SetVolume(0.5f);
    s.Play(ch);
    EXPECT_EQ(Mix(kDelay + 10).back(), 500);
    ch.SetPaused(1);
    Mix(512);
    ch.SetVolume(0.25f);
    Mix(512);
    ch.SetPaused(0);
    EXPECT_EQ(Mix(1)[0], 250); // no ramp after a change made while paused
    ch.SetVolume(1.0f);
    const std::vector<int> ramp = Mix(512);
    EXPECT_GT(ramp[256], 250);
    EXPECT_LT(ramp[256], 1000);
    EXPECT_EQ(Mix(1)[0], 1000);
}

TEST_F(Mixer, AStaleHandleDoesNotTouchTheSlotsNextOwner) {
    TSound s = Constant(1000, 100);
    TChannel first = s.Play();
    Mix(4096); // ends; its automatic slot is released
    EXPECT_FALSE(first.Playing());
    TChannel ch = AllocChannel();
    first.Stop();
    first.SetVolume(0.0f);
    s.Play(ch);
    EXPECT_EQ(Mix(kDelay + 1).back(), 1000);
}

TEST_F(Mixer, LoopingHalfRateAndClipping) {
    TSound loop = Constant(1000, 100, 44100, true);
    TChannel ch = loop.Play();
    const std::vector<int> out = Mix(kDelay + 1000);
    EXPECT_EQ(out.back(), 1000); // still going after ten times its length
    ch.Stop();
    EXPECT_FALSE(ch.Playing());

    TSound slow = Constant(1000, 100, 22050);
    slow.Play();
    const std::vector<int> s = Mix(kDelay + 400);
    EXPECT_EQ(s[kDelay + 198], 1000); // 100 frames at half the rate take 200 output frames
    EXPECT_EQ(s[kDelay + 201], 0);

    TSound loud = Constant(30000, 2000);
    for (int i = 0; i < 3; ++i) loud.Play();
    EXPECT_EQ(Mix(kDelay + 10).back(), 32767);
}

TEST_F(Mixer, LoudChannelsClipInsteadOfWrappingAround) {
    TSound up = Constant(32000, 4000), down = Constant(-32000, 4000);
    TChannel a = AllocChannel(), b = AllocChannel();
    a.SetVolume(20.0f); // 32000 x 20 overflows 32 bits once scaled to the gain's fixed point
    up.Play(a);
    EXPECT_EQ(Mix(kDelay + 10).back(), 32767);
    a.Stop();
    b.SetVolume(1e12f);
    down.Play(b);
    EXPECT_EQ(Mix(kDelay + 600).back(), -32768);
}

// Panning lowers the far side only, a negative depth turns the right side over, and a sound
// slower than the output is interpolated between its frames.
TEST_F(Mixer, PanDepthAndInterpolation) {
    auto stereo = [&](int frames) {
        std::vector<int16_t> out(size_t(frames) * 2);
        platform.MixAudio(out.data(), frames);
        return out;
    };
    TChannel ch = Constant(1000, 4000).Play();
    ch.SetPan(0.5f);
    ch.SetDepth(-1.0f);
    std::vector<int16_t> out = stereo(kDelay + 10);
    EXPECT_EQ(out[size_t(kDelay + 5) * 2], 500);
    EXPECT_EQ(out[size_t(kDelay + 5) * 2 + 1], -1000);
    ch.SetPan(-0.5f);
    ch.SetDepth(1.0f);
    out = stereo(10);
    EXPECT_EQ(out[10], 1000);
    EXPECT_EQ(out[11], 500);
    ch.Stop();

    auto ramp = std::make_shared<SoundData>();
    ramp->pcm16 = {0, 1000, 2000, 3000};
    ramp->channels = 1;
    ramp->rate = 22050;
    ramp->length = 4;
    TSound slow;
    slow.data = ramp;
    slow.Play();
    const std::vector<int> left = Mix(kDelay + 6);
    EXPECT_EQ(left[kDelay], 0);
    EXPECT_EQ(left[kDelay + 1], 500);
    EXPECT_EQ(left[kDelay + 2], 1000);
    EXPECT_EQ(left[kDelay + 3], 1500);
}

TEST_F(Mixer, PlayOnAStaleChannelStartsNothing) {
    TSound s = Constant(1000, 4000);
    TChannel ch = AllocChannel();
    ch.Stop();
    const TChannel got = s.Play(ch);
    EXPECT_FALSE(got.Playing());
    EXPECT_FALSE(ch.Playing());
    EXPECT_EQ(Mix(kDelay + 100).back(), 0);
}

namespace {
// A host whose clock, when armed, runs the audio callback once: the mixer's own reading of the
// clock in Play then lands the audio thread's work in the middle of the Play.
class MidPlayAudio : public HeadlessPlatform {
  public:
    int armed_frames = 0;
    uint32_t Millis() override {
        if (armed_frames > 0) {
            std::vector<int16_t> out(size_t(armed_frames) * 2);
            armed_frames = 0;
            MixAudio(out.data(), int(out.size() / 2));
        }
        return HeadlessPlatform::Millis();
    }
};
} // namespace

// A sound started on a kept channel just as the one before it ends: the audio thread records the
// old sound's end while the new one is being started, and must not mark the new one as ended.
TEST(MixerRace, ASoundStartedOnAKeptChannelAsTheLastOneEndsStillPlays) {
    MidPlayAudio host;
    host.EnableAudio(true);
    EngineInit(&host);
    SoundReopen();
    TSound first = Constant(1000, 2000), next = Constant(500, 100000);
    TChannel ch = AllocChannel();
    first.Play(ch);
    std::vector<int16_t> out(size_t(kDelay + 1990) * 2);
    host.MixAudio(out.data(), kDelay + 1990); // ten frames of the first sound left
    host.armed_frames = 512;
    next.Play(ch);
    EXPECT_TRUE(ch.Playing());
    std::vector<int16_t> later(size_t(kDelay + 100) * 2);
    host.MixAudio(later.data(), kDelay + 100);
    EXPECT_EQ(later[later.size() - 2], 500);
    EXPECT_TRUE(ch.Playing());
    EngineShutdown();
    SoundReopen();
}

TEST(Sounds, GeneratedFilesDecodeAndMissingOnesAreHarmless) {
    TSound boing = TSound::Load("data\\boing.ogg", 0);
    ASSERT_TRUE(boing);
    EXPECT_EQ(boing.data->channels, 1);
    EXPECT_EQ(boing.data->rate, 44100);
    EXPECT_GT(boing.data->length, 1000);
    EXPECT_FALSE(boing.data->loop);
    TSound music = TSound::Load("data\\tilesong.ogg", 1);
    ASSERT_TRUE(music);
    EXPECT_TRUE(music.data->loop);
    EXPECT_EQ(music.data->channels, 2);
    EXPECT_GE(music.data->length, 180 * 44100); // a loop of three minutes at least, in stereo

    TSound missing = TSound::Load("data\\nothing-here.ogg", 0);
    EXPECT_FALSE(missing);
    EXPECT_FALSE(missing.Play().Playing());
    TChannel none;
    none.SetPaused(1);
    none.Stop();
    EXPECT_FALSE(none.Playing());
}
