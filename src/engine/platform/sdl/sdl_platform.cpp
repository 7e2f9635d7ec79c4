// The SDL2 host. The picture is drawn at its own size (640 x 480) and shown scaled into the
// window with its aspect kept; pointer positions are mapped between the two.
#include "engine/platform/sdl/sdl_platform.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "engine/platform/sdl/sdl_keys.h"
#include "engine/render/gl1/gl1_renderer.h"
#include "engine/render/soft/soft_renderer.h"

struct SdlPlatform::Impl {
    bool prefer_opengl = true;
    int picture_w = 0, picture_h = 0;
    SDL_Window* window = nullptr;
    Letterbox box; // window pixels

    // OpenGL path.
    SDL_GLContext gl = nullptr;
    std::unique_ptr<Gl1Renderer> gl1;
    // Software path.
    std::unique_ptr<SoftRenderer> soft;
    SDL_Renderer* presenter = nullptr;
    SDL_Texture* picture = nullptr;

    int swap_interval = -1;
    bool has_vsync = false;

    std::vector<SDL_Joystick*> joysticks;

    SDL_AudioDeviceID audio = 0;
    AudioCallback audio_cb = nullptr;
    void* audio_user = nullptr;

    bool OpenGlPath(std::string& error);
    bool SoftwarePath(std::string& error);
    void DropGl();
    void UpdateBox();
    void CloseJoysticks();
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

} // namespace

SdlPlatform::SdlPlatform(bool prefer_opengl) : impl_(std::make_unique<Impl>()) {
    impl_->prefer_opengl = prefer_opengl;
    SDL_Init(SDL_INIT_TIMER);
}

SdlPlatform::~SdlPlatform() {
    CloseAudio();
    CloseWindow();
    impl_->CloseJoysticks();
    SDL_Quit();
}

bool SdlPlatform::OpenWindow(const std::string& title, int width, int height, bool fullscreen, std::string& error) {
    CloseWindow();
    Impl& im = *impl_;
    if (!InitVideo(error)) return false;
    im.picture_w = width;
    im.picture_h = height;

    // Full screen covers the desktop at its own resolution. Without a window manager nobody
    // resizes a full-screen window, so it is made at the display's size and place to begin with.
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED, w = width, h = height;
    Uint32 flags = 0;
    if (fullscreen) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(0, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
            x = bounds.x;
            y = bounds.y;
            w = bounds.w;
            h = bounds.h;
        }
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    }

    std::string gl_error;
    if (im.prefer_opengl) {
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        im.window = SDL_CreateWindow(title.c_str(), x, y, w, h, flags | SDL_WINDOW_OPENGL);
        if (im.window && im.OpenGlPath(gl_error)) {
            im.UpdateBox();
            SDL_StopTextInput();
            return true;
        }
        im.DropGl();
        if (im.window) SDL_DestroyWindow(im.window);
        im.window = nullptr;
    }

    im.window = SDL_CreateWindow(title.c_str(), x, y, w, h, flags);
    if (!im.window) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    if (!im.SoftwarePath(error)) {
        CloseWindow();
        return false;
    }
    im.UpdateBox();
    SDL_StopTextInput();
    return true;
}

bool SdlPlatform::Impl::OpenGlPath(std::string& error) {
    gl = SDL_GL_CreateContext(window);
    if (!gl) {
        error = SDL_GetError();
        return false;
    }
    SDL_GL_MakeCurrent(window, gl);
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window, &dw, &dh);
    gl1 = std::make_unique<Gl1Renderer>(picture_w, picture_h);
    if (!gl1->Init(dw, dh, error)) return false;
    has_vsync = SDL_GL_SetSwapInterval(1) == 0;
    SDL_GL_SetSwapInterval(0);
    swap_interval = 0;
    return true;
}

void SdlPlatform::Impl::DropGl() {
    gl1.reset(); // deletes its textures while the context is still current
    if (gl) SDL_GL_DeleteContext(gl);
    gl = nullptr;
}

bool SdlPlatform::Impl::SoftwarePath(std::string& error) {
    presenter = SDL_CreateRenderer(window, -1, 0);
    if (presenter)
        picture =
            SDL_CreateTexture(presenter, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STREAMING, picture_w, picture_h);
    if (!presenter || !picture) {
        error = std::string("cannot present the picture: ") + SDL_GetError();
        return false;
    }
    SDL_SetTextureBlendMode(picture, SDL_BLENDMODE_NONE); // the fourth byte is padding
    soft = std::make_unique<SoftRenderer>(picture_w, picture_h);
    has_vsync = SDL_RenderSetVSync(presenter, 1) == 0;
    SDL_RenderSetVSync(presenter, 0);
    swap_interval = 0;
    return true;
}

void SdlPlatform::Impl::UpdateBox() {
    int w = 0, h = 0;
    if (window) SDL_GetWindowSize(window, &w, &h);
    box = FitLetterbox(w, h, picture_w, picture_h);
}

void SdlPlatform::CloseWindow() {
    Impl& im = *impl_;
    if (!im.window) return;
    im.DropGl();
    im.soft.reset();
    if (im.picture) SDL_DestroyTexture(im.picture);
    if (im.presenter) SDL_DestroyRenderer(im.presenter);
    im.picture = nullptr;
    im.presenter = nullptr;
    SDL_DestroyWindow(im.window);
    im.window = nullptr;
    im.box = Letterbox();
}

Renderer* SdlPlatform::GetRenderer() {
    if (impl_->gl1) return impl_->gl1.get();
    return impl_->soft.get();
}

bool SdlPlatform::UsesOpenGl() const { return impl_->gl1 != nullptr; }
const Letterbox& SdlPlatform::WindowBox() const { return impl_->box; }

void SdlPlatform::Present(bool vsync) {
    Impl& im = *impl_;
    if (!im.window) return;
    int interval = vsync ? 1 : 0;
    if (im.gl1) {
        if (interval != im.swap_interval) SDL_GL_SetSwapInterval(interval);
        im.swap_interval = interval;
        int dw = 0, dh = 0;
        SDL_GL_GetDrawableSize(im.window, &dw, &dh);
        Letterbox b = FitLetterbox(dw, dh, im.picture_w, im.picture_h);
        im.gl1->ShowScaled(dw, dh, b.x, b.y, b.w, b.h);
        SDL_GL_SwapWindow(im.window);
        im.gl1->RestorePicture();
        return;
    }
    if (!im.soft) return;
    if (interval != im.swap_interval) SDL_RenderSetVSync(im.presenter, interval);
    im.swap_interval = interval;
    int ow = 0, oh = 0;
    SDL_GetRendererOutputSize(im.presenter, &ow, &oh);
    Letterbox b = FitLetterbox(ow, oh, im.picture_w, im.picture_h);
    bool whole = b.w % im.picture_w == 0 && b.h % im.picture_h == 0;
    SDL_SetTextureScaleMode(im.picture, whole ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_UpdateTexture(im.picture, nullptr, im.soft->Pixels(), im.picture_w * 4);
    SDL_SetRenderDrawColor(im.presenter, 0, 0, 0, 255);
    SDL_RenderClear(im.presenter);
    SDL_Rect dst{b.x, b.y, b.w, b.h};
    SDL_RenderCopy(im.presenter, im.picture, nullptr, &dst);
    SDL_RenderPresent(im.presenter);
}

bool SdlPlatform::HasVsync() { return impl_->window && impl_->has_vsync; }

std::string SdlPlatform::Describe() {
    Impl& im = *impl_;
    if (!im.window) return "no window";
    int w = 0, h = 0;
    SDL_GetWindowSize(im.window, &w, &h);
    std::string text = std::to_string(w) + "x" + std::to_string(h) +
                       ((SDL_GetWindowFlags(im.window) & SDL_WINDOW_FULLSCREEN) ? " full screen" : " window");
    text += ", picture " + std::to_string(im.box.w) + "x" + std::to_string(im.box.h);
    if (im.gl1) {
        const char* r = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        text += std::string(", OpenGL (") + (r ? r : "?") + ")";
    } else {
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(im.presenter, &info);
        text += std::string(", software renderer through SDL (") + (info.name ? info.name : "?") + ")";
    }
    return text;
}

void SdlPlatform::PumpEvents(void (*sink)(const PlatformEvent&)) {
    Impl& im = *impl_;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        PlatformEvent ev{PlatformEvent::Close};
        switch (e.type) {
        case SDL_QUIT: // the window's close button, and SIGINT or SIGTERM
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
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
            im.box.ToPicture(e.button.x, e.button.y, ev.x, ev.y);
            break;
        case SDL_MOUSEMOTION:
            ev.type = PlatformEvent::MouseMove;
            im.box.ToPicture(e.motion.x, e.motion.y, ev.x, ev.y);
            break;
        case SDL_MOUSEWHEEL:
            ev.type = PlatformEvent::Wheel;
            ev.x = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            if (!ev.x) continue;
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_FOCUS_LOST:
            case SDL_WINDOWEVENT_MINIMIZED: ev.type = PlatformEvent::Suspend; break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
            case SDL_WINDOWEVENT_RESTORED: ev.type = PlatformEvent::Resume; break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: im.UpdateBox(); continue;
            default: continue;
            }
            break;
        default: continue;
        }
        sink(ev);
    }
}

void SdlPlatform::MovePointer(int x, int y) {
    Impl& im = *impl_;
    if (!im.window) return;
    int wx = 0, wy = 0;
    im.box.ToWindow(x, y, wx, wy);
    SDL_WarpMouseInWindow(im.window, wx, wy);
}

void SdlPlatform::HidePointer() { SDL_ShowCursor(SDL_DISABLE); }

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

void SdlPlatform::Impl::CloseJoysticks() {
    for (SDL_Joystick* j : joysticks)
        if (j) SDL_JoystickClose(j);
    joysticks.clear();
}

// Opens every joystick afresh. Their state is read on demand, so their events are not queued.
int SdlPlatform::JoystickCount() {
    Impl& im = *impl_;
    im.CloseJoysticks();
    if (!SDL_WasInit(SDL_INIT_JOYSTICK) && SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return 0;
    SDL_JoystickEventState(SDL_IGNORE);
    int n = SDL_NumJoysticks();
    for (int i = 0; i < n; ++i)
        if (SDL_Joystick* j = SDL_JoystickOpen(i)) im.joysticks.push_back(j);
    return int(im.joysticks.size());
}

bool SdlPlatform::ReadJoystick(int index, JoystickState& out) {
    Impl& im = *impl_;
    if (index < 0 || index >= int(im.joysticks.size())) return false;
    SDL_Joystick* j = im.joysticks[size_t(index)];
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(j)) return false;
    out = JoystickState();
    int buttons = SDL_JoystickNumButtons(j);
    for (int b = 0; b < buttons && b < 32; ++b)
        if (SDL_JoystickGetButton(j, b)) out.buttons |= 1u << b;
    // SDL's -32768..32767 shifted to 0..65535, so full deflection reads exactly -1 and +1.
    int axes = SDL_JoystickNumAxes(j);
    out.axis_count = axes < 6 ? (axes > 0 ? axes : 0) : 6;
    for (int a = 0; a < out.axis_count; ++a) {
        out.axis[a] = int(SDL_JoystickGetAxis(j, a)) + 32768;
        out.axis_min[a] = 0;
        out.axis_max[a] = 65535;
    }
    return true;
}

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
