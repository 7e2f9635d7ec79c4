// The SDL host under Xvfb: window geometry, event translation, pointer mapping, and what happens
// without a display. Key and letterbox arithmetic are checked without a window.
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "engine/platform/sdl/letterbox.h"
#include "engine/platform/sdl/sdl_keys.h"
#include "engine/platform/sdl/sdl_platform.h"

namespace {

// The codes the game reads, the per-side modifiers, and layout handling.
TEST(SdlKeys, VirtualKeyCodes) {
    const struct {
        SDL_Keycode sym;
        SDL_Scancode sc;
        int code;
    } keys[] = {{SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},
                {SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
                {SDLK_UP, SDL_SCANCODE_UP, 38},
                {SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
                {SDLK_F1, SDL_SCANCODE_F1, 112},
                {SDLK_F3, SDL_SCANCODE_F3, 114},
                {SDLK_a, SDL_SCANCODE_A, 65},
                {SDLK_0, SDL_SCANCODE_0, 48},
                {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 160},
                {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 161},
                {SDLK_LCTRL, SDL_SCANCODE_LCTRL, 162},
                {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 163},
                {SDLK_LALT, SDL_SCANCODE_LALT, 164},
                {SDLK_RALT, SDL_SCANCODE_RALT, 165},
                // Letters follow the layout; a key whose layout gives no Latin letter falls back
                // to its place; Escape stays Escape whatever the layout says.
                {SDLK_y, SDL_SCANCODE_Z, 'Y'},
                {0x3b1, SDL_SCANCODE_A, 'A'},
                {SDLK_a, SDL_SCANCODE_ESCAPE, 27},
                {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0}};
    for (const auto& k : keys) EXPECT_EQ(VirtualKeyFromSdl(k.sym, k.sc), k.code) << k.sym;
    EXPECT_EQ(MouseButtonFromSdl(SDL_BUTTON_LEFT), 1);
    EXPECT_EQ(MouseButtonFromSdl(SDL_BUTTON_RIGHT), 2);
    EXPECT_EQ(MouseButtonFromSdl(SDL_BUTTON_MIDDLE), 3);
    EXPECT_EQ(MouseButtonFromSdl(SDL_BUTTON_X1), 0);
}

TEST(Letterbox, FitsCentredWithAspectKept) {
    Letterbox b = FitLetterbox(1920, 1080, 640, 480); // wide: bars left and right
    EXPECT_EQ(b.x, 240);
    EXPECT_EQ(b.y, 0);
    EXPECT_EQ(b.w, 1440);
    EXPECT_EQ(b.h, 1080);
    b = FitLetterbox(1280, 1024, 640, 480); // tall: bars above and below
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.y, 32);
    EXPECT_EQ(b.w, 1280);
    EXPECT_EQ(b.h, 960);
    // Integer scaling: the largest whole multiple that fits both ways, centred.
    b = PlacePicture(1920, 1080, 640, 480, ScaleMode::Integer);
    EXPECT_EQ(b.w, 1280);
    EXPECT_EQ(b.h, 960);
    EXPECT_EQ(b.x, 320);
    EXPECT_EQ(b.y, 60);
    b = PlacePicture(1000, 2000, 640, 480, ScaleMode::Integer);
    EXPECT_EQ(b.w, 640);
    EXPECT_EQ(b.y, 760);
    b = PlacePicture(600, 400, 640, 480, ScaleMode::Integer); // no whole multiple fits: fitted
    EXPECT_EQ(b.w, 533);
    EXPECT_EQ(b.h, 400);
}

TEST(Letterbox, PointerMapsBothWays) {
    for (auto [ww, wh] : {std::pair{1920, 1080}, {1366, 768}, {1280, 1024}, {640, 480}, {1000, 700}}) {
        Letterbox b = FitLetterbox(ww, wh, 640, 480);
        for (int p = 0; p < 640; p += 7) {
            int wx, wy, px, py;
            b.ToWindow(p, p * 479 / 639, wx, wy);
            b.ToPicture(wx, wy, px, py);
            EXPECT_EQ(px, p) << ww << "x" << wh;
            EXPECT_EQ(py, p * 479 / 639) << ww << "x" << wh;
        }
        // Over the bars and off the window: held at the picture's edges.
        int px, py;
        b.ToPicture(-50, -50, px, py);
        EXPECT_EQ(px, 0);
        EXPECT_EQ(py, 0);
        b.ToPicture(ww + 50, wh + 50, px, py);
        EXPECT_EQ(px, 639);
        EXPECT_EQ(py, 479);
    }
}

std::vector<PlatformEvent> g_events;
void Collect(const PlatformEvent& ev) { g_events.push_back(ev); }

class SdlHost : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(platform.OpenWindow("Pumko test", 640, 480, true, error)) << error;
        platform.PumpEvents(Collect); // whatever the window system said on opening
        g_events.clear();
    }
    void Push(SDL_Event e) {
        e.common.timestamp = SDL_GetTicks();
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void Key(Uint32 type, SDL_Keycode sym, SDL_Scancode sc, int repeat = 0) {
        SDL_Event e{};
        e.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = Uint8(repeat);
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = sc;
        Push(e);
    }
    SdlPlatform platform;
};

TEST_F(SdlHost, TranslatesEvents) {
    const Letterbox& b = platform.WindowBox();
    Key(SDL_KEYDOWN, SDLK_LCTRL, SDL_SCANCODE_LCTRL);
    Key(SDL_KEYDOWN, SDLK_LCTRL, SDL_SCANCODE_LCTRL, 1);
    Key(SDL_KEYUP, SDLK_LCTRL, SDL_SCANCODE_LCTRL);
    Key(SDL_KEYDOWN, SDLK_RALT, SDL_SCANCODE_RALT);
    Key(SDL_KEYDOWN, SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN); // dropped
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = b.x + b.w / 2;
    e.button.y = b.y + b.h / 2;
    Push(e);
    e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = b.x + 3 * b.w / 4;
    e.motion.y = b.y / 2; // over the top bar
    Push(e);
    e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = -2;
    Push(e);
    e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    Push(e);
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    Push(e);
    e = {};
    e.type = SDL_QUIT;
    Push(e);

    platform.PumpEvents(Collect);
    struct Want {
        PlatformEvent::Type type;
        int code, x, y;
    };
    const Want want[] = {{PlatformEvent::KeyDown, 162, 0, 0},     {PlatformEvent::KeyRepeat, 162, 0, 0},
                         {PlatformEvent::KeyUp, 162, 0, 0},       {PlatformEvent::KeyDown, 165, 0, 0},
                         {PlatformEvent::MouseDown, 2, 320, 240}, {PlatformEvent::MouseMove, 0, 480, 0},
                         {PlatformEvent::Wheel, 0, -2, 0},        {PlatformEvent::Suspend, 0, 0, 0},
                         {PlatformEvent::Resume, 0, 0, 0},        {PlatformEvent::Close, 0, 0, 0}};
    ASSERT_EQ(g_events.size(), std::size(want));
    for (size_t i = 0; i < g_events.size(); ++i) {
        EXPECT_EQ(g_events[i].type, want[i].type) << i;
        EXPECT_EQ(g_events[i].code, want[i].code) << i;
        EXPECT_EQ(g_events[i].x, want[i].x) << i;
        EXPECT_EQ(g_events[i].y, want[i].y) << i;
    }
}

// The audio device calls back with whole stereo 16-bit fragments until it is closed. SDL's
// dummy driver stands in for a sound card.
struct AudioProbe {
    std::atomic<int> calls{0};
    std::atomic<int> frames{0};
};
void Probe(void* user, int16_t* out, int frames) {
    auto* probe = static_cast<AudioProbe*>(user);
    std::memset(out, 0, size_t(frames) * 4);
    probe->frames = frames;
    ++probe->calls;
}

TEST(SdlAudio, CallsBackInFragmentsUntilClosed) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    AudioProbe probe;
    {
        SdlPlatform platform;
        ASSERT_TRUE(platform.OpenAudio(44100, 512, Probe, &probe));
        for (int i = 0; i < 200 && probe.calls < 3; ++i) platform.Sleep(10);
        EXPECT_GE(probe.calls, 3);
        EXPECT_EQ(probe.frames, 512);
        platform.CloseAudio();
        int after = probe.calls;
        platform.Sleep(50);
        EXPECT_EQ(probe.calls, after);
    }
    unsetenv("SDL_AUDIODRIVER");
}

// The clock counts from the host's start, not from the program's: seeding the random numbers
// from it at start-up gives a different game each run.
TEST(SdlClock, CountsMillisecondsSinceTheHostStarted) {
    SdlPlatform platform;
    timespec boot{};
    ASSERT_EQ(clock_gettime(CLOCK_BOOTTIME, &boot), 0);
    const uint32_t expected = uint32_t(uint64_t(boot.tv_sec) * 1000u + uint64_t(boot.tv_nsec) / 1000000u);
    const int32_t apart = int32_t(platform.Millis() - expected);
    EXPECT_GE(apart, 0);
    EXPECT_LT(apart, 1000);
}

// Without any display the window cannot open, and the reason comes back in one line.
TEST(SdlNoDisplay, OpenWindowFailsWithAReason) {
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    {
        SdlPlatform platform;
        std::string error;
        EXPECT_FALSE(platform.OpenWindow("Pumko test", 640, 480, true, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_EQ(platform.GetRenderer(), nullptr);
    }
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
}

} // namespace
