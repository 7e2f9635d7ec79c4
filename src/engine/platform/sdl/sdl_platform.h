// The SDL2 host: full-screen window, OpenGL 1.x context (or the software renderer through an
// SDL texture), events, pointer, joysticks, clock and the audio device.
#pragma once

#include <memory>

#include "engine/platform/platform.h"

class SdlPlatform : public Platform {
  public:
    SdlPlatform();
    ~SdlPlatform() override;
    bool OpenWindow(const std::string& title, int width, int height, bool fullscreen, std::string& error) override;
    void CloseWindow() override;
    Renderer* GetRenderer() override;
    void Present(bool vsync) override;
    bool HasVsync() override;
    void PumpEvents(void (*sink)(const PlatformEvent&)) override;
    void MovePointer(int x, int y) override;
    void HidePointer() override;
    uint32_t Millis() override;
    void Sleep(int ms) override;
    int JoystickCount() override;
    bool ReadJoystick(int index, JoystickState& out) override;
    bool OpenAudio(int rate, int fragment_frames, AudioCallback cb, void* user) override;
    void CloseAudio() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
