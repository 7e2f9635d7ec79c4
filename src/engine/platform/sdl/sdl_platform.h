// The SDL2 host: the window and its picture (sdl_display.h), events, pointer, joysticks, clock
// and the audio device.
#pragma once

#include <memory>

#include "engine/display_choice.h"
#include "engine/platform.h"
#include "engine/platform/sdl/letterbox.h"

class SdlDisplay;

class SdlPlatform : public Platform {
  public:
    explicit SdlPlatform(const DisplayChoices& choices = DisplayChoices());
    ~SdlPlatform() override;
    bool OpenWindow(const std::string& title, int width, int height, bool fullscreen, std::string& error) override;
    void CloseWindow() override;
    Renderer* GetRenderer() override;
    void Present(bool vsync) override;
    bool HasVsync() override;
    std::string Describe() override;
    void PumpEvents(void (*sink)(const PlatformEvent&)) override;
    void MovePointer(int x, int y) override;
    void HidePointer() override;
    void SetTitle(const std::string& title) override;
    uint32_t Millis() override;
    void Sleep(int ms) override;
    uint32_t Micros() override;
    void SleepMicros(int us) override;
    int JoystickCount() override;
    bool ReadJoystick(int index, JoystickState& out) override;
    bool ConfigurePads(const PadOptions& options) override;
    bool OpenAudio(int rate, int fragment_frames, AudioCallback cb, void* user) override;
    void CloseAudio() override;

    // The player's display choices; they take effect when the window opens.
    void SetDisplayChoices(const DisplayChoices& choices);
    // Full screen or window: Alt+Enter and F11 switch it, and so does SetFullscreen.
    bool IsFullscreen() const;
    void SetFullscreen(bool on);

    // Called when the connection to the display is lost, just before the process exits with 0
    // (a window destroyed from outside is a close request instead): the program's last step.
    void OnDisplayLost(void (*fn)());

    // What the open window ended up with.
    bool UsesOpenGl() const;
    const Letterbox& WindowBox() const; // the picture's place in window pixels
    SdlDisplay& Display();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
