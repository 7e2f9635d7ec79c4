// Frame pacing on displays of any refresh rate, with a host whose presents wait for blanks of a
// chosen rate on a virtual clock: the game advances 60 steps a second of host time whatever the
// rate, every present waits for a blank where the display has them, and at 60 Hz every blank
// shows a new frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/engine.h"
#include "engine/platform.h"

namespace {

class BlankHost : public Platform {
  public:
    explicit BlankHost(double hz, bool vsync = true, long long start_us = 5000, bool fine_clock = true)
        : hz_(hz), vsync_(vsync), fine_(fine_clock), now_us_(start_us) {}
    bool OpenWindow(const std::string&, int, int, bool, std::string&) override { return true; }
    void CloseWindow() override {}
    Renderer* GetRenderer() override { return nullptr; }
    void Present(bool vsync) override {
        if (vsync && vsync_) {
            // To the next blank (blank n falls at n / hz seconds).
            const long long next = static_cast<long long>(double(now_us_) * hz_ / 1e6) + 1;
            now_us_ = static_cast<long long>(double(next) * 1e6 / hz_ + 0.999);
        }
        shown.push_back({now_us_, vsync});
    }
    bool HasVsync() override { return vsync_; }
    void PumpEvents(void (*)(const PlatformEvent&)) override {}
    void MovePointer(int, int) override {}
    void HidePointer() override {}
    uint32_t Millis() override { return uint32_t(now_us_ / 1000); }
    void Sleep(int ms) override { now_us_ += ms * 1000LL; }
    // Without the fine clock, the millisecond clock and sleeps stand in, as on hosts that lack one.
    uint32_t Micros() override { return fine_ ? uint32_t(now_us_) : Platform::Micros(); }
    void SleepMicros(int us) override {
        if (fine_)
            now_us_ += us;
        else
            Platform::SleepMicros(us);
    }
    int JoystickCount() override { return 0; }
    bool ReadJoystick(int, JoystickState&) override { return false; }
    bool OpenAudio(int, int, AudioCallback, void*) override { return false; }
    void CloseAudio() override {}

    void Work(int us) { now_us_ += us; }
    long long Now() const { return now_us_; }
    int BlankOf(long long us) const { return int(double(us) * hz_ / 1e6 + 1e-6); }

    struct Shown {
        long long at_us;
        bool vsync;
    };
    std::vector<Shown> shown;

  private:
    double hz_;
    bool vsync_, fine_;
    long long now_us_;
};

// Plays `frames` frames of a few milliseconds' work each; returns the host time they took, in s.
double Play(BlankHost& host, int frames, int work_us) {
    host.shown.clear();
    const long long start = host.Now();
    for (int i = 0; i < frames; ++i) {
        host.Work(work_us);
        ShowFrame(-1);
    }
    return double(host.Now() - start) / 1e6;
}

TEST(Pacing, SixtyStepsASecondWhateverTheRefreshRate) {
    for (double hz : {60.0, 75.0, 120.0, 144.0, 50.0}) {
        BlankHost host(hz);
        EngineInit(&host);
        ASSERT_TRUE(OpenDisplay(640, 480, 32, 60, 2));
        const double seconds = Play(host, 1200, 3000);
        EXPECT_NEAR(1200 / seconds, 60.0, 0.1) << hz << " Hz";
        // Never faster than the game's own rate in any stretch of one second.
        for (size_t i = 60; i < host.shown.size(); ++i)
            EXPECT_GE(host.shown[i].at_us - host.shown[i - 60].at_us, 990000) << hz << " Hz, frame " << i;
        // Displays at 60 Hz or faster get every frame at a blank, so nothing tears.
        int torn = 0;
        for (const auto& s : host.shown) torn += !s.vsync;
        EXPECT_EQ(torn, hz >= 60 ? 0 : int(host.shown.size())) << hz << " Hz";
        CloseDisplay();
        EngineShutdown();
    }
}

TEST(Pacing, AtSixtyHertzEveryBlankShowsANewFrame) {
    BlankHost host(60.0);
    EngineInit(&host);
    ASSERT_TRUE(OpenDisplay(640, 480, 32, 60, 2));
    Play(host, 600, 9000);
    for (size_t i = 1; i < host.shown.size(); ++i)
        ASSERT_EQ(host.BlankOf(host.shown[i].at_us), host.BlankOf(host.shown[i - 1].at_us) + 1) << "frame " << i;
    CloseDisplay();
    EngineShutdown();
}

// Behind by more than a refresh period, the game starts again from the present: it does not rush
// through frames to catch up, at 60 Hz by the blank or faster by the clock.
TEST(Pacing, FallingBehindRestartsFromThePresent) {
    for (double hz : {60.0, 144.0}) {
        BlankHost host(hz);
        EngineInit(&host);
        ASSERT_TRUE(OpenDisplay(640, 480, 32, 60, 2));
        Play(host, 30, 2000);
        host.Work(300000); // a stall of 300 ms
        Play(host, 61, 2000);
        const double first_second = double(host.shown[60].at_us - host.shown[0].at_us) / 1e6;
        EXPECT_NEAR(first_second, 1.0, 0.02) << hz << " Hz";
        CloseDisplay();
        EngineShutdown();
    }
}

// The millisecond clock counts from the host's start and wraps to 0 after 2^32 ms; pacing carries
// on at 60 steps a second through the wrap and through the point where readings turn negative.
TEST(Pacing, CarriesOnAcrossTheClockWrap) {
    for (bool fine : {true, false})
        for (long long start_ms : {(1LL << 31) - 400, (1LL << 32) - 400})
            for (double hz : {60.0, 144.0, 50.0}) {
                BlankHost host(hz, true, start_ms * 1000, fine);
                EngineInit(&host);
                ASSERT_TRUE(OpenDisplay(640, 480, 32, 60, 2));
                const double seconds = Play(host, 600, 3000);
                EXPECT_NEAR(600 / seconds, 60.0, 0.2) << hz << " Hz from " << start_ms << " ms, fine " << fine;
                CloseDisplay();
                EngineShutdown();
            }
}

// Paced by the clock alone (no blanks to wait for), frames are as even as the host's clock is
// fine: within a microsecond of 1/60 s on a microsecond clock, 16 or 17 ms on a millisecond one.
TEST(Pacing, ByTheClockFramesAreEven) {
    for (bool fine : {true, false}) {
        BlankHost host(60.0, false, 5000, fine);
        EngineInit(&host);
        ASSERT_TRUE(OpenDisplay(640, 480, 32, 60, 2));
        Play(host, 600, 3000);
        long long shortest = 1LL << 40, longest = 0;
        for (size_t i = 1; i < host.shown.size(); ++i) {
            const long long d = host.shown[i].at_us - host.shown[i - 1].at_us;
            shortest = std::min(shortest, d);
            longest = std::max(longest, d);
        }
        EXPECT_NEAR(double(host.shown.size() - 1) / (double(host.shown.back().at_us - host.shown.front().at_us) / 1e6), 60.0, 0.05);
        EXPECT_GE(shortest, fine ? 16666 : 16000) << fine;
        EXPECT_LE(longest, fine ? 16667 : 17000) << fine;
        CloseDisplay();
        EngineShutdown();
    }
}

} // namespace
