// The SDL2 host: full-screen window, OpenGL 1.x context (or the software renderer through an
// SDL texture), events, pointer, joysticks, clock and the audio device.
#pragma once

#include <memory>

#include "engine/platform/platform.h"
#include "engine/platform/sdl/letterbox.h"

class SdlPlatform : public Platform {
  public:
    // prefer_opengl false skips OpenGL and presents the software renderer (tests compare both).
    explicit SdlPlatform(bool prefer_opengl = true);
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
    uint32_t Millis() override;
    void Sleep(int ms) override;
    int JoystickCount() override;
    bool ReadJoystick(int index, JoystickState& out) override;
    bool OpenAudio(int rate, int fragment_frames, AudioCallback cb, void* user) override;
    void CloseAudio() override;

    // What the open window ended up with.
    bool UsesOpenGl() const;
    const Letterbox& WindowBox() const; // the picture's place in window pixels

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
