// The game's window and how the picture reaches it: full screen at the desktop's resolution or a
// resizable window, switched at any time; the picture drawn at its own size by the OpenGL
// renderer or the software one, and shown scaled (sharp, integer or smooth) with its aspect kept;
// the frame-rate counter drawn over it at present time.
#pragma once

#include <functional>

#include <SDL.h>

#include <memory>
#include <string>

#include "engine/display_choice.h"
#include "engine/platform/frame_meter.h"
#include "engine/platform/sdl/letterbox.h"
#include "engine/render/overlay_text.h"
#include "engine/render/soft/picture_scaler.h"

class Renderer;
class Gl1Renderer;
class SoftRenderer;

class SdlDisplay {
  public:
    SdlDisplay();
    ~SdlDisplay();

    void SetChoices(const DisplayChoices& choices) { choices_ = choices; }
    const DisplayChoices& Choices() const { return choices_; }

    // Opens the window (full screen when both the game and the player want it). SDL's video must
    // be running. False with a one-line reason when neither renderer can show a picture.
    bool Open(const std::string& title, int width, int height, bool fullscreen, std::string& error);
    void Close();
    bool IsOpen() const { return window_ != nullptr; }
    SDL_Window* Window() const { return window_; }
    Renderer* GetRenderer();
    bool UsesOpenGl() const { return gl1_ != nullptr; }

    void Present(bool vsync);
    bool HasVsync() const { return window_ && has_vsync_; }
    std::string Describe() const;

    // Full screen or window, switched without touching the picture or the renderer.
    bool IsFullscreen() const { return fullscreen_; }
    void SetFullscreen(bool on);

    // The picture's place in window pixels (pointer mapping), kept up to date with the window.
    void UpdateBox();
    const Letterbox& Box() const { return box_; }
    // Window pixel to picture pixel; remembers the last one so a mode switch can put the pointer
    // back over the same picture pixel.
    void ToPicture(int wx, int wy, int& px, int& py);
    void MovePointer(int px, int py);

    const FrameMeter& Meter() const { return meter_; }
    // More text drawn over the picture at present time (never in the back buffer, so never in a
    // screen grab or a picture digest), asked for at every present.
    void SetExtraOverlay(std::function<std::vector<OverlayLine>()> lines) { extra_overlay_ = std::move(lines); }
    // The next frame presented is a frame of play (the meter sums play on its own).
    void MarkPlayFrame() { play_frame_ = true; }

  private:
    bool OpenGlPath(std::string& error);
    bool SoftwarePath(std::string& error);
    void DropGl();
    void DropSoftware();
    SDL_Window* MakeWindow(const std::string& title, Uint32 extra_flags);
    void WindowedSize(int& w, int& h) const;
    void PresentSoftware();
    std::string OverlayText();

    std::vector<OverlayRect> Overlay(const Letterbox& b);
    std::function<std::vector<OverlayLine>()> extra_overlay_;
    DisplayChoices choices_;
    int picture_w_ = 0, picture_h_ = 0;
    bool fullscreen_ = true;
    SDL_Window* window_ = nullptr;
    Letterbox box_;
    int pointer_x_ = 0, pointer_y_ = 0;

    // OpenGL path.
    SDL_GLContext gl_ = nullptr;
    std::unique_ptr<Gl1Renderer> gl1_;
    std::string gl_name_;         // the OpenGL renderer's name, also when it was passed over
    bool gl_passed_over_ = false; // auto chose the software path over a software OpenGL
    // Software path: the picture scaled on the CPU into one streaming texture.
    std::unique_ptr<SoftRenderer> soft_;
    SDL_Renderer* presenter_ = nullptr;
    SDL_Texture* shown_ = nullptr;
    int shown_w_ = 0, shown_h_ = 0;
    PictureScaler scaler_;

    int swap_interval_ = -1;
    bool has_vsync_ = false;
    FrameMeter meter_;
    bool play_frame_ = false;
};

// True for OpenGL renderers that draw on the CPU (Mesa's llvmpipe, softpipe and swrast), where
// the software renderer plus one texture is the faster way to the screen.
bool IsSoftwareOpenGl(const std::string& renderer_name);
