#include "engine/platform/sdl/sdl_display.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/render/overlay_text.h"
#include "engine/render/gl1/gl1_renderer.h"
#include "engine/render/soft/soft_renderer.h"

namespace {
void* GlProc(const char* name) { return SDL_GL_GetProcAddress(name); }

// The display the window is on (the first one before there is a window).
SDL_Rect DisplayBounds(SDL_Window* window, bool usable) {
    int index = window ? SDL_GetWindowDisplayIndex(window) : 0;
    if (index < 0) index = 0;
    SDL_Rect r{0, 0, 0, 0};
    if ((usable ? SDL_GetDisplayUsableBounds(index, &r) : SDL_GetDisplayBounds(index, &r)) != 0 || r.w <= 0 || r.h <= 0)
        r = SDL_Rect{0, 0, 0, 0};
    return r;
}
} // namespace

bool IsSoftwareOpenGl(const std::string& name) {
    for (const char* cpu : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (name.find(cpu) != std::string::npos) return true;
    return false;
}

SdlDisplay::SdlDisplay() = default;
SdlDisplay::~SdlDisplay() { Close(); }

// The window's size in a window: the largest whole multiple of the picture that fits the
// desktop comfortably (nine tenths of it, leaving room for the title bar and panels).
void SdlDisplay::WindowedSize(int& w, int& h) const {
    const SDL_Rect r = DisplayBounds(window_, true);
    int k = std::min(r.w * 9 / 10 / picture_w_, r.h * 9 / 10 / picture_h_);
    k = std::max(k, 1);
    w = k * picture_w_;
    h = k * picture_h_;
}

// Full screen covers the desktop at its own resolution. Without a window manager nobody resizes a
// full-screen window, so it is made at the display's size and place to begin with.
SDL_Window* SdlDisplay::MakeWindow(const std::string& title, Uint32 extra_flags) {
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED, w = picture_w_, h = picture_h_;
    Uint32 flags = SDL_WINDOW_RESIZABLE | extra_flags;
    if (fullscreen_) {
        const SDL_Rect b = DisplayBounds(nullptr, false);
        if (b.w > 0) x = b.x, y = b.y, w = b.w, h = b.h;
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    } else {
        WindowedSize(w, h);
    }
    return SDL_CreateWindow(title.c_str(), x, y, w, h, flags);
}

bool SdlDisplay::Open(const std::string& title, int width, int height, bool fullscreen, std::string& error) {
    Close();
    picture_w_ = width;
    picture_h_ = height;
    fullscreen_ = fullscreen && choices_.fullscreen;
    gl_passed_over_ = false;
    gl_name_.clear();

    if (choices_.renderer != RendererChoice::Soft) {
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window_ = MakeWindow(title, SDL_WINDOW_OPENGL);
        std::string gl_error;
        if (window_ && OpenGlPath(gl_error)) {
            gl_passed_over_ = choices_.renderer == RendererChoice::Auto && IsSoftwareOpenGl(gl_name_);
            if (!gl_passed_over_) {
                UpdateBox();
                SDL_StopTextInput();
                return true;
            }
        }
        // Asked for by name, OpenGL's absence is worth a word; the game goes on without it.
        if (!gl_passed_over_ && choices_.renderer == RendererChoice::OpenGl)
            std::fprintf(stderr, "pumko: OpenGL is not available (%s); drawing with the software renderer\n",
                         window_ ? gl_error.c_str() : SDL_GetError());
        DropGl();
        if (window_) SDL_DestroyWindow(window_);
        window_ = nullptr;
    }

    window_ = MakeWindow(title, 0);
    if (!window_) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    if (!SoftwarePath(error)) {
        Close();
        return false;
    }
    UpdateBox();
    SDL_StopTextInput();
    return true;
}

bool SdlDisplay::OpenGlPath(std::string& error) {
    gl_ = SDL_GL_CreateContext(window_);
    if (!gl_) {
        error = SDL_GetError();
        return false;
    }
    SDL_GL_MakeCurrent(window_, gl_);
    gl1_ = std::make_unique<Gl1Renderer>(picture_w_, picture_h_);
    gl_name_ = gl1_->DriverName();
    if (!gl1_->Init(&GlProc, error)) return false;
    has_vsync_ = SDL_GL_SetSwapInterval(1) == 0;
    SDL_GL_SetSwapInterval(0);
    swap_interval_ = 0;
    return true;
}

void SdlDisplay::DropGl() {
    gl1_.reset(); // deletes its textures while the context is still current
    if (gl_) SDL_GL_DeleteContext(gl_);
    gl_ = nullptr;
}

// The software renderer's picture goes to the window through SDL's own software presenter: the
// scaling is done here, so the presenter only copies one texture and needs no OpenGL.
bool SdlDisplay::SoftwarePath(std::string& error) {
    // SDL would otherwise back the window's pixels with an OpenGL texture (the CPU rasteriser
    // again, where OpenGL is one); the window system's own shared-memory images are far cheaper.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    presenter_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!presenter_) {
        error = std::string("cannot present the picture: ") + SDL_GetError();
        return false;
    }
    soft_ = std::make_unique<SoftRenderer>(picture_w_, picture_h_);
    has_vsync_ = false; // the software presenter cannot wait for the vertical blank
    swap_interval_ = 0;
    return true;
}

void SdlDisplay::DropSoftware() {
    soft_.reset();
    if (shown_) SDL_DestroyTexture(shown_);
    if (presenter_) SDL_DestroyRenderer(presenter_);
    shown_ = nullptr;
    presenter_ = nullptr;
    shown_w_ = shown_h_ = 0;
}

void SdlDisplay::Close() {
    if (!window_) return;
    DropGl();
    DropSoftware();
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    box_ = Letterbox();
}

Renderer* SdlDisplay::GetRenderer() {
    if (gl1_) return gl1_.get();
    return soft_.get();
}

void SdlDisplay::UpdateBox() {
    int w = 0, h = 0;
    if (window_) SDL_GetWindowSize(window_, &w, &h);
    box_ = PlacePicture(w, h, picture_w_, picture_h_, choices_.scale);
}

void SdlDisplay::ToPicture(int wx, int wy, int& px, int& py) {
    box_.ToPicture(wx, wy, px, py);
    pointer_x_ = px;
    pointer_y_ = py;
}

void SdlDisplay::MovePointer(int px, int py) {
    if (!window_) return;
    pointer_x_ = px;
    pointer_y_ = py;
    int wx = 0, wy = 0;
    box_.ToWindow(px, py, wx, wy);
    SDL_WarpMouseInWindow(window_, wx, wy);
}

void SdlDisplay::SetFullscreen(bool on) {
    if (!window_ || on == fullscreen_) return;
    fullscreen_ = on;
    if (on) {
        const SDL_Rect b = DisplayBounds(window_, false);
        SDL_SetWindowBordered(window_, SDL_FALSE);
        if (b.w > 0) {
            SDL_SetWindowPosition(window_, b.x, b.y);
            SDL_SetWindowSize(window_, b.w, b.h);
        }
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowBordered(window_, SDL_TRUE);
        int w = 0, h = 0;
        WindowedSize(w, h);
        SDL_SetWindowSize(window_, w, h);
        const int index = std::max(SDL_GetWindowDisplayIndex(window_), 0);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(index), SDL_WINDOWPOS_CENTERED_DISPLAY(index));
    }
    UpdateBox();
    // The pointer stays over the same picture pixel, so the switch moves nothing in the game.
    if (SDL_GetMouseFocus() == window_) MovePointer(pointer_x_, pointer_y_);
}

std::string SdlDisplay::OverlayText() {
    meter_.Frame(SteadyMs(), play_frame_);
    return FrameRateText(meter_.RecentFps(), meter_.RecentFrameMs());
}

std::vector<OverlayRect> SdlDisplay::Overlay(const Letterbox& b) {
    std::vector<OverlayRect> overlay;
    if (choices_.show_fps) overlay = OverlayTextRects(OverlayText(), b.x + 4, b.y + 4, std::max(2, b.h / 240));
    if (extra_overlay_) {
        const std::vector<OverlayRect> more = OverlayLinesRects(extra_overlay_(), b.x, b.y, b.w, b.h);
        overlay.insert(overlay.end(), more.begin(), more.end());
    }
    return overlay;
}

void SdlDisplay::Present(bool vsync) {
    struct Unmark {
        bool& play;
        ~Unmark() { play = false; }
    } unmark{play_frame_};
    if (!window_) return;
    const int interval = vsync ? 1 : 0;
    if (gl1_) {
        if (interval != swap_interval_) SDL_GL_SetSwapInterval(interval);
        swap_interval_ = interval;
        int dw = 0, dh = 0;
        SDL_GL_GetDrawableSize(window_, &dw, &dh);
        const Letterbox b = PlacePicture(dw, dh, picture_w_, picture_h_, choices_.scale);
        const std::vector<OverlayRect> overlay = Overlay(b);
        gl1_->Show(dw, dh, b.x, b.y, b.w, b.h, choices_.scale, overlay);
        SDL_GL_SwapWindow(window_);
        return;
    }
    if (soft_) PresentSoftware();
}

void SdlDisplay::PresentSoftware() {
    int ow = 0, oh = 0;
    SDL_GetRendererOutputSize(presenter_, &ow, &oh);
    const Letterbox b = PlacePicture(ow, oh, picture_w_, picture_h_, choices_.scale);
    if (b.w <= 0 || b.h <= 0) return;
    if (!shown_ || shown_w_ != b.w || shown_h_ != b.h) {
        if (shown_) SDL_DestroyTexture(shown_);
        shown_ = SDL_CreateTexture(presenter_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, b.w, b.h);
        shown_w_ = b.w;
        shown_h_ = b.h;
        if (!shown_) return;
        SDL_SetTextureBlendMode(shown_, SDL_BLENDMODE_NONE);
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(shown_, nullptr, &pixels, &pitch) != 0) return;
    scaler_.Scale(soft_->Pixels(), picture_w_, picture_h_, static_cast<uint8_t*>(pixels), pitch, b.w, b.h,
                  choices_.scale, true);
    SDL_UnlockTexture(shown_);

    // Black bars around the picture (only they need clearing), then the picture.
    SDL_SetRenderDrawBlendMode(presenter_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(presenter_, 0, 0, 0, 255);
    const SDL_Rect bars[4] = {
        {0, 0, ow, b.y}, {0, b.y + b.h, ow, oh - b.y - b.h}, {0, b.y, b.x, b.h}, {b.x + b.w, b.y, ow - b.x - b.w, b.h}};
    for (const SDL_Rect& r : bars)
        if (r.w > 0 && r.h > 0) SDL_RenderFillRect(presenter_, &r);
    const SDL_Rect dst{b.x, b.y, b.w, b.h};
    SDL_RenderCopy(presenter_, shown_, nullptr, &dst);
    const std::vector<OverlayRect> overlay = Overlay(b);
    if (!overlay.empty()) {
        SDL_SetRenderDrawBlendMode(presenter_, SDL_BLENDMODE_BLEND);
        for (const OverlayRect& r : overlay) {
            if (r.dark)
                SDL_SetRenderDrawColor(presenter_, 0, 0, 0, 160);
            else
                SDL_SetRenderDrawColor(presenter_, 255, 255, 96, 255);
            const SDL_Rect rect{r.x, r.y, r.w, r.h};
            SDL_RenderFillRect(presenter_, &rect);
        }
    }
    SDL_RenderPresent(presenter_);
}

std::string SdlDisplay::Describe() const {
    if (!window_) return "no window";
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    std::string text = std::to_string(w) + "x" + std::to_string(h) + (fullscreen_ ? " full screen" : " window");
    text += ", picture " + std::to_string(box_.w) + "x" + std::to_string(box_.h) + " " + ScaleModeName(choices_.scale);
    if (gl1_) return text + ", OpenGL (" + gl_name_ + ")";
    text += ", software renderer";
    if (gl_passed_over_) text += " (OpenGL is " + gl_name_ + ", on the CPU)";
    return text;
}
