// The headless host: virtual time, scripted input by frame, frame hooks, the pointer, the
// virtual joystick and hand-run audio, seen through the engine's own calls.
#include <gtest/gtest.h>

#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/renderer.h"

namespace {
class Headless : public ::testing::Test {
  protected:
    void SetUp() override { EngineInit(&host); }
    void TearDown() override { EngineShutdown(); }
    HeadlessPlatform host;
};

void Tone(void* user, int16_t* out, int frames) {
    ++*static_cast<int*>(user);
    for (int i = 0; i < frames * 2; ++i) out[i] = 1000;
}
} // namespace

TEST_F(Headless, SleepsAdvanceTheVirtualClockOnly) {
    int t0 = MilliTime();
    DelayMs(1000);
    DelayMs(-3);
    DelayMs(17);
    EXPECT_EQ(MilliTime() - t0, 1017);
    host.Present(true); // presenting takes no time
    EXPECT_EQ(MilliTime() - t0, 1017);
}

TEST_F(Headless, ScriptedEventsArriveWithTheFirstPumpAfterTheirFrame) {
    host.KeyPress(0, 162, 2);
    host.KeyPress(3, 32);
    PlatformEvent close{PlatformEvent::Close};
    host.At(3, close);
    std::vector<int> seen;
    host.OnFrame([&](int frame) { seen.push_back(frame); });

    EXPECT_EQ(KeyWasHit(162), 1);
    host.Present(true);
    EXPECT_EQ(KeyIsDown(162), 1);
    host.Present(true);
    EXPECT_EQ(KeyIsDown(162), 0);
    host.Present(true);
    EXPECT_EQ(host.FrameCount(), 3);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(KeyWasHit(32), 1);
    EXPECT_EQ(CloseRequested(), 1);
}

TEST_F(Headless, PointerWindowJoystickAndAudio) {
    MovePointer(100, 50);
    EXPECT_EQ(host.pointer_x, 100);
    EXPECT_EQ(PointerX(), 100);
    EXPECT_EQ(PointerY(), 50);

    std::string error;
    ASSERT_TRUE(host.OpenWindow("t", 640, 480, true, error));
    ASSERT_NE(host.GetRenderer(), nullptr);
    EXPECT_EQ(host.GetRenderer()->Width(), 640);
    EXPECT_EQ(host.GetRenderer()->Height(), 480);
    host.CloseWindow();
    EXPECT_EQ(host.GetRenderer(), nullptr);

    EXPECT_EQ(CountJoysticks(), 0);
    JoystickState js;
    js.buttons = 2;
    js.axis_count = 2;
    js.axis_max[0] = js.axis_max[1] = 65535;
    js.axis[0] = 65535;
    host.SetJoystick(js);
    EXPECT_EQ(CountJoysticks(), 1);
    EXPECT_EQ(JoyAxisX(0), 1.0f);
    EXPECT_EQ(JoyAxisY(0), -1.0f);
    EXPECT_EQ(JoyButtonHit(1, 0), 1);

    int calls = 0;
    EXPECT_FALSE(host.OpenAudio(44100, 220, &Tone, &calls));
    host.EnableAudio(true);
    EXPECT_TRUE(host.OpenAudio(44100, 220, &Tone, &calls));
    int16_t buf[8] = {};
    host.MixAudio(buf, 4);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(buf[7], 1000);
    host.CloseAudio();
    host.MixAudio(buf, 4);
    EXPECT_EQ(buf[7], 0);
}
