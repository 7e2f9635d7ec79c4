// The browser host (Emscripten): the software renderer's picture shown in the page's canvas, the
// page's keys, pointer and pads (the Gamepad API), Web Audio, and frames paced by the browser's
// animation frames at 60 game steps a second whatever the display's rate. The page's own script
// (web/page.js) owns the canvas, the scaling and the event queue this reads.
#pragma once

#include <memory>
#include <vector>

#include "engine/display_choice.h"
#include "engine/platform.h"

class SoftRenderer;

class WebPlatform : public Platform {
  public:
    explicit WebPlatform(const DisplayChoices& choices = DisplayChoices());
    ~WebPlatform() override;
    bool OpenWindow(const std::string& title, int width, int height, bool fullscreen, std::string& error) override;
    void CloseWindow() override;
    Renderer* GetRenderer() override;
    void Present(bool vsync) override;
    bool HasVsync() override { return true; }
    bool PacesFrames() override { return true; }
    std::string Describe() override { return "software renderer in a browser canvas"; }
    void PumpEvents(void (*sink)(const PlatformEvent&)) override;
    void MovePointer(int, int) override {} // a page cannot move the pointer
    void HidePointer() override;
    uint32_t Millis() override;
    void Sleep(int ms) override;
    uint32_t Micros() override;
    void SleepMicros(int us) override;
    int JoystickCount() override { return 1; }
    bool ReadJoystick(int index, JoystickState& out) override;
    bool ConfigurePads(const PadOptions& options) override;
    bool OpenAudio(int rate, int fragment_frames, AudioCallback cb, void* user) override;
    void CloseAudio() override;

    // Called after every picture shown (the page keeps the player's files up to date from it).
    void SetAfterPresent(void (*fn)()) { after_present_ = fn; }
    // Fills `frames` stereo frames from the game's mixer (silence when no audio is open); the
    // page's audio node calls it through pumko_web_audio_fill.
    const int16_t* FillAudio(int frames);

  private:
    DisplayChoices choices_;
    std::unique_ptr<SoftRenderer> soft_;
    std::vector<uint8_t> shown_; // the picture as the canvas takes it: R, G, B, opaque alpha
    float dead_zone_ = 0.25f;
    AudioCallback audio_cb_ = nullptr;
    void* audio_user_ = nullptr;
    std::vector<int16_t> audio_buf_;
    void (*after_present_)() = nullptr;
};
