// What the window really shows, read back from the X server under Xvfb: the integer scale is the
// picture enlarged exactly, sharp scaling blends at most one screen pixel at each picture-pixel
// edge, and switching between window and full screen mid-play changes nothing in the game.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/platform/sdl/sdl_display.h"
#include "engine/platform/sdl/sdl_platform.h"
#include "engine/renderer.h"
#include "game/game_state.h"
#include "replay/playthrough.h"
#include "replay/recording.h"

// Last: Xlib's macros (KeyPress, None...) would clash with the names above.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Rgb = std::array<int, 3>;

// The window's pixels as the screen shows them (read from the root window, which is always
// viewable, at the window's place).
struct Shot {
    int w = 0, h = 0;
    std::vector<Rgb> px;
    Rgb At(int x, int y) const { return px[size_t(y) * w + x]; }
};

Shot ReadWindow(SdlPlatform& platform) {
    Shot shot;
    SDL_Window* window = platform.Display().Window();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return shot;
    Display* display = info.info.x11.display;
    XSync(display, False);
    XWindowAttributes attrs;
    Window child;
    int x = 0, y = 0;
    if (!XGetWindowAttributes(display, info.info.x11.window, &attrs) ||
        !XTranslateCoordinates(display, info.info.x11.window, attrs.root, 0, 0, &x, &y, &child))
        return shot;
    shot.w = attrs.width;
    shot.h = attrs.height;
    XImage* img = XGetImage(display, attrs.root, x, y, unsigned(shot.w), unsigned(shot.h), AllPlanes, ZPixmap);
    if (!img) return Shot();
    shot.px.resize(size_t(shot.w) * shot.h);
    for (int y = 0; y < shot.h; ++y)
        for (int x = 0; x < shot.w; ++x) {
            const unsigned long p = XGetPixel(img, x, y);
            shot.px[size_t(y) * shot.w + x] = {int((p >> 16) & 255), int((p >> 8) & 255), int(p & 255)};
        }
    XDestroyImage(img);
    return shot;
}

// Squares of many colours over stripes `stripe` pixels wide, so every enlargement mistake shows.
void DrawPattern(Renderer& r, int stripe, bool squares) {
    r.Clear(0, 0, 0);
    DrawParams p;
    p.blend = BLEND_SOLID;
    for (int x = 0; x < 640; ++x) {
        p.r = uint8_t(x / stripe % 2 ? 240 : 20);
        p.g = uint8_t((x * 7) % 256);
        p.b = 128;
        const QuadVertex q[4] = {
            {float(x), 0, 0, 0}, {float(x + 1), 0, 0, 0}, {float(x + 1), 480, 0, 0}, {float(x), 480, 0, 0}};
        r.DrawColoredQuad(q, p);
    }
    for (int i = 0; i < (squares ? 40 : 0); ++i) {
        p.r = uint8_t(i * 6), p.g = uint8_t(255 - i * 5), p.b = uint8_t(i * 37);
        const float x = float(13 + i * 15), y = float(7 + (i * 53) % 460);
        const QuadVertex q[4] = {{x, y, 0, 0}, {x + 9, y, 0, 0}, {x + 9, y + 5, 0, 0}, {x, y + 5, 0, 0}};
        r.DrawColoredQuad(q, p);
    }
}

DisplayChoices Choices(RendererChoice renderer, ScaleMode scale, bool fullscreen) {
    DisplayChoices c;
    c.renderer = renderer;
    c.scale = scale;
    c.fullscreen = fullscreen;
    return c;
}

class WindowPicture : public ::testing::TestWithParam<RendererChoice> {};

TEST_P(WindowPicture, IntegerScaleIsThePictureEnlargedExactly) {
    SdlPlatform platform(Choices(GetParam(), ScaleMode::Integer, true));
    std::string error;
    ASSERT_TRUE(platform.OpenWindow("Pumko test", 640, 480, true, error)) << error;
    ASSERT_EQ(platform.UsesOpenGl(), GetParam() == RendererChoice::OpenGl);
    Renderer& r = *platform.GetRenderer();
    DrawPattern(r, 1, true);
    std::vector<uint8_t> picture(size_t(640) * 480 * 3);
    r.ReadPixels(0, 0, 640, 480, picture.data());
    platform.Present(false);
    const Shot shot = ReadWindow(platform);
    ASSERT_EQ(shot.w, 1280);
    ASSERT_EQ(shot.h, 1024);
    const Letterbox& box = platform.WindowBox();
    ASSERT_EQ(box.w, 1280);
    ASSERT_EQ(box.y, 32);
    int wrong = 0;
    for (int y = 0; y < shot.h; ++y)
        for (int x = 0; x < shot.w; ++x) {
            Rgb want{0, 0, 0};
            if (y >= box.y && y < box.y + box.h) {
                const uint8_t* p = &picture[((size_t(y - box.y) / 2) * 640 + size_t(x) / 2) * 3];
                want = {p[0], p[1], p[2]};
            }
            if (shot.At(x, y) != want && ++wrong < 5)
                ADD_FAILURE() << "window pixel " << x << "," << y << " is " << shot.At(x, y)[0] << ","
                              << shot.At(x, y)[1] << "," << shot.At(x, y)[2];
        }
    EXPECT_EQ(wrong, 0);
}

// In a window of an odd size the picture is enlarged x 1.46: along a row, stripes three picture
// pixels wide come out as runs of pure colour with at most one mixed screen pixel between two.
TEST_P(WindowPicture, SharpScaleBlendsAtMostOnePixelAtAnEdge) {
    SdlPlatform platform(Choices(GetParam(), ScaleMode::Sharp, false));
    std::string error;
    ASSERT_TRUE(platform.OpenWindow("Pumko test", 640, 480, true, error)) << error;
    SDL_SetWindowSize(platform.Display().Window(), 1000, 700);
    SDL_SetWindowPosition(platform.Display().Window(), 0, 0);
    for (int i = 0; i < 20; ++i) { // until the window system has resized the window
        platform.PumpEvents([](const PlatformEvent&) {});
        SDL_Delay(10);
    }
    DrawPattern(*platform.GetRenderer(), 3, false);
    platform.Present(false);
    platform.Present(false);
    const Shot shot = ReadWindow(platform);
    ASSERT_EQ(shot.w, 1000);
    const Letterbox& box = platform.WindowBox();
    ASSERT_EQ(box.h, 700);
    ASSERT_EQ(box.w, 933);
    for (int y = box.y + 40; y < box.y + box.h; y += 97) {
        int mixed_run = 0, worst = 0, pure = 0;
        for (int x = box.x; x < box.x + box.w; ++x) {
            const int red = shot.At(x, y)[0];
            if (red == 240 || red == 20) {
                ++pure;
                mixed_run = 0;
            } else {
                worst = std::max(worst, ++mixed_run);
            }
        }
        EXPECT_LE(worst, 1) << "row " << y;
        EXPECT_GT(pure, box.w - 214) << "row " << y; // 213 stripe edges
    }
}

INSTANTIATE_TEST_SUITE_P(Renderers, WindowPicture, ::testing::Values(RendererChoice::OpenGl, RendererChoice::Soft),
                         [](const auto& info) { return std::string(RendererChoiceName(info.param)); });

// The first frames of area 1.1's recording on a host; on the SDL one, F11 switches the mode
// twice on the way, and the pointer is checked to map onto the picture in each mode.
StateDigest PlayArea(Platform& host, SdlPlatform* sdl) {
    Recording rec;
    std::string error;
    EXPECT_TRUE(Recording::Load(std::string(PUMKO_SOURCE_DIR) + "/assets/recordings/1-1.txt", rec, error)) << error;
    EngineInit(&host);
    EXPECT_TRUE(PrepareHeadlessGame());
    StartArea(rec.level, rec.area, rec.seed);
    FrameInput held;
    for (size_t i = 0; i < 300 && i < rec.frames.size(); ++i) {
        if (sdl && (i == 100 || i == 200)) {
            const bool was = sdl->IsFullscreen();
            SDL_Event e{};
            e.type = SDL_KEYDOWN;
            e.key.keysym.sym = SDLK_F11;
            e.key.keysym.scancode = SDL_SCANCODE_F11;
            SDL_PushEvent(&e);
            e.type = SDL_KEYUP;
            SDL_PushEvent(&e);
            PollSystem();
            EXPECT_NE(sdl->IsFullscreen(), was);
            EXPECT_EQ(KeyWasHit(122), 0); // the game never sees F11
            int wx = 0, wy = 0;
            sdl->WindowBox().ToWindow(100, 200, wx, wy);
            e = {};
            e.type = SDL_MOUSEMOTION;
            e.motion.x = wx;
            e.motion.y = wy;
            SDL_PushEvent(&e);
            EXPECT_EQ(PointerX(), 100);
            EXPECT_EQ(PointerY(), 200);
            MovePointer(320, 0); // back where the game keeps it
        }
        PlayOneFrame(rec.frames[i], held);
        ShowFrame(0);
    }
    const StateDigest sum = StateDigest::Capture();
    CloseDisplay();
    EngineShutdown();
    return sum;
}

TEST(ModeSwitch, MidPlayTheGameGoesOnAsHeadless) {
    HeadlessPlatform headless;
    const StateDigest want = PlayArea(headless, nullptr);
    for (RendererChoice r : {RendererChoice::OpenGl, RendererChoice::Soft}) {
        SdlPlatform sdl(Choices(r, ScaleMode::Sharp, true));
        EXPECT_TRUE(PlayArea(sdl, &sdl) == want) << RendererChoiceName(r);
    }
}

} // namespace
