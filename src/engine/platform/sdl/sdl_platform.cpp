// The SDL2 host. The window and the picture are SdlDisplay's; this file holds the events, the
// pointer, the clock, the joysticks and the audio device.
#include "engine/platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/platform/sdl/sdl_display.h"
#include "engine/platform/sdl/sdl_keys.h"
#include "engine/platform/sdl/sdl_pads.h"
#include "engine/platform/sdl/x11_watch.h"

struct SdlPlatform::Impl {
    SdlDisplay display;

    SdlPads pads;

    SDL_AudioDeviceID audio = 0;
    AudioCallback audio_cb = nullptr;
    void* audio_user = nullptr;

    bool hangup_forwarded = false;

    static void Feed(void* user, Uint8* stream, int len);
};

namespace {

// SDL's offscreen and dummy drivers have no screen; landing on one without having asked for it
// means there is no display to be had.
bool NoScreenDriver(const char* driver) {
    if (!driver) return true;
    if (SDL_strcasecmp(driver, "offscreen") != 0 && SDL_strcasecmp(driver, "dummy") != 0) return false;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return !asked || SDL_strcasestr(asked, driver) == nullptr;
}

// Starts SDL's video once per platform (a reopened window reuses the connection). A display
// server can refuse a connection now and then, so a failed or screenless start is tried again
// a few times before it counts as no display.
bool InitVideo(std::string& error) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (attempt) SDL_Delay(50);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            error = std::string("no display: ") + SDL_GetError();
            continue;
        }
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!NoScreenDriver(driver) && SDL_GetNumVideoDisplays() >= 1) return true;
        error = std::string("no display: SDL has only its '") + (driver ? driver : "?") + "' video driver";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        // With no display named at all, trying again cannot help.
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) break;
    }
    return false;
}

// Alt+Enter and F11 switch between full screen and window; the game never sees them.
bool DisplayKey(const SDL_KeyboardEvent& key, SdlDisplay& display) {
    const SDL_Keycode sym = key.keysym.sym;
    const bool alt_enter = (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT);
    if (sym != SDLK_F11 && !alt_enter) return false;
    if (key.type == SDL_KEYDOWN && !key.repeat) display.SetFullscreen(!display.IsFullscreen());
    return true;
}

// A closed terminal or a lost session ends a program with SIGHUP: it is passed on as SIGTERM, so
// it does whatever SIGTERM does at the time (once SDL's events run, a close request).
void ForwardHangup(int) { raise(SIGTERM); }

} // namespace

SdlPlatform::SdlPlatform(const DisplayChoices& choices) : impl_(std::make_unique<Impl>()) {
    impl_->display.SetChoices(choices);
    SDL_Init(SDL_INIT_TIMER);
    // A hangup the program was started to ignore (nohup) stays ignored.
    struct sigaction hup {};
    if (sigaction(SIGHUP, nullptr, &hup) == 0 && hup.sa_handler == SIG_DFL) {
        hup.sa_handler = &ForwardHangup;
        sigemptyset(&hup.sa_mask);
        hup.sa_flags = SA_RESTART;
        impl_->hangup_forwarded = sigaction(SIGHUP, &hup, nullptr) == 0;
    }
}

SdlPlatform::~SdlPlatform() {
    CloseAudio();
    CloseWindow();
    impl_->pads.Stop();
    SDL_Quit();
    if (impl_->hangup_forwarded) signal(SIGHUP, SIG_DFL);
}

bool SdlPlatform::OpenWindow(const std::string& title, int width, int height, bool fullscreen, std::string& error) {
    CloseWindow();
    if (!InitVideo(error)) return false;
    if (!impl_->display.Open(title, width, height, fullscreen, error)) return false;
    x11_watch::Watch(impl_->display.Window());
    return true;
}

void SdlPlatform::CloseWindow() {
    x11_watch::Unwatch();
    impl_->display.Close();
}

void SdlPlatform::OnDisplayLost(void (*fn)()) { x11_watch::OnConnectionLost(fn); }
Renderer* SdlPlatform::GetRenderer() { return impl_->display.GetRenderer(); }
void SdlPlatform::Present(bool vsync) { impl_->display.Present(vsync); }
bool SdlPlatform::HasVsync() { return impl_->display.HasVsync(); }
std::string SdlPlatform::Describe() { return impl_->display.Describe(); }

void SdlPlatform::SetDisplayChoices(const DisplayChoices& choices) { impl_->display.SetChoices(choices); }
bool SdlPlatform::IsFullscreen() const { return impl_->display.IsFullscreen(); }
void SdlPlatform::SetFullscreen(bool on) { impl_->display.SetFullscreen(on); }
bool SdlPlatform::UsesOpenGl() const { return impl_->display.UsesOpenGl(); }
const Letterbox& SdlPlatform::WindowBox() const { return impl_->display.Box(); }
SdlDisplay& SdlPlatform::Display() { return impl_->display; }

void SdlPlatform::PumpEvents(void (*sink)(const PlatformEvent&)) {
    Impl& im = *impl_;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        PlatformEvent ev{PlatformEvent::Close};
        switch (e.type) {
        case SDL_QUIT: // the window's close button, and SIGINT, SIGTERM or SIGHUP
            break;
        case SDL_SYSWMEVENT: x11_watch::HandleEvent(e); continue;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (DisplayKey(e.key, im.display)) continue;
            ev.code = VirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode);
            if (ev.code <= 0 || ev.code > 255) continue;
            ev.type = e.type == SDL_KEYUP ? PlatformEvent::KeyUp
                      : e.key.repeat      ? PlatformEvent::KeyRepeat
                                          : PlatformEvent::KeyDown;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            ev.code = MouseButtonFromSdl(e.button.button);
            if (!ev.code) continue;
            ev.type = e.type == SDL_MOUSEBUTTONDOWN ? PlatformEvent::MouseDown : PlatformEvent::MouseUp;
            im.display.ToPicture(e.button.x, e.button.y, ev.x, ev.y);
            break;
        case SDL_MOUSEMOTION:
            ev.type = PlatformEvent::MouseMove;
            im.display.ToPicture(e.motion.x, e.motion.y, ev.x, ev.y);
            break;
        case SDL_MOUSEWHEEL:
            ev.type = PlatformEvent::Wheel;
            ev.x = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            if (!ev.x) continue;
            break;
        case SDL_JOYDEVICEADDED:
        case SDL_JOYDEVICEREMOVED:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: im.pads.HandleEvent(e, sink); continue;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_FOCUS_LOST:
            case SDL_WINDOWEVENT_MINIMIZED: ev.type = PlatformEvent::Suspend; break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
            case SDL_WINDOWEVENT_RESTORED: ev.type = PlatformEvent::Resume; break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: im.display.UpdateBox(); continue;
            default: continue;
            }
            break;
        default: continue;
        }
        sink(ev);
    }
    im.pads.SyncBack(sink);
    // A window destroyed from outside asks to close on every pump until the program has ended.
    if (x11_watch::WindowGone()) sink(PlatformEvent{PlatformEvent::Close});
}

void SdlPlatform::MovePointer(int x, int y) { impl_->display.MovePointer(x, y); }

void SdlPlatform::HidePointer() { SDL_ShowCursor(SDL_DISABLE); }

void SdlPlatform::SetTitle(const std::string& title) {
    if (impl_->display.Window() != nullptr) SDL_SetWindowTitle(impl_->display.Window(), title.c_str());
}

// Milliseconds since the host started, wrapping at 32 bits: the start-up seed differs from run to
// run, where SDL's own count (since the library started) would give nearly the same seed each time.
uint32_t SdlPlatform::Millis() {
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

void SdlPlatform::Sleep(int ms) {
    if (ms > 0) SDL_Delay(Uint32(ms));
}

uint32_t SdlPlatform::Micros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u);
}

// The kernel's high-resolution sleep wakes within a few tens of microseconds, where a
// millisecond sleep can land most of a millisecond late and make an uneven frame.
void SdlPlatform::SleepMicros(int us) {
    if (us <= 0) return;
    timespec ts{us / 1000000, long(us % 1000000) * 1000};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

// One logical joystick, port 0's device: every pad plugged in, merged. It answers even with no pad
// attached (all released), so a pad pulled out while held never leaves anything held.
int SdlPlatform::JoystickCount() { return impl_->pads.Start() ? 1 : 0; }

bool SdlPlatform::ReadJoystick(int index, JoystickState& out) {
    if (index != 0 || !impl_->pads.Start()) return false;
    out = impl_->pads.Read();
    return true;
}

bool SdlPlatform::ConfigurePads(const PadOptions& options) { return impl_->pads.Configure(options); }

void SdlPlatform::Impl::Feed(void* user, Uint8* stream, int len) {
    Impl* im = static_cast<Impl*>(user);
    im->audio_cb(im->audio_user, reinterpret_cast<int16_t*>(stream), len / 4);
}

bool SdlPlatform::OpenAudio(int rate, int fragment_frames, AudioCallback cb, void* user) {
    CloseAudio();
    Impl& im = *impl_;
    if (!cb) return false;
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    im.audio_cb = cb;
    im.audio_user = user;
    SDL_AudioSpec want{}, have{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = Uint16(fragment_frames);
    want.callback = &Impl::Feed;
    want.userdata = &im;
    // No changes allowed: SDL converts to whatever the device really takes.
    im.audio = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!im.audio) {
        im.audio_cb = nullptr;
        im.audio_user = nullptr;
        return false;
    }
    SDL_PauseAudioDevice(im.audio, 0);
    return true;
}

void SdlPlatform::CloseAudio() {
    Impl& im = *impl_;
    if (im.audio) SDL_CloseAudioDevice(im.audio); // returns once the callback has finished
    im.audio = 0;
    im.audio_cb = nullptr;
    im.audio_user = nullptr;
}
