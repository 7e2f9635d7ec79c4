// The headless platform: no window, no devices, a virtual clock that sleeps advance instantly,
// and input scripted by frame number. Frames are drawn by the software renderer and can be
// saved as PNG. Tests and tools run the real game through it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "engine/platform.h"

class SoftRenderer;

class HeadlessPlatform : public Platform {
  public:
    HeadlessPlatform();
    ~HeadlessPlatform() override;

    // --- scripting (tests and tools) ---
    // Queues an event for delivery by the first pump after `frame` frames have been presented.
    void At(int frame, const PlatformEvent& ev);
    // Queues an event for delivery by the first pump once the virtual clock reaches `ms` (for
    // input that arrives while the game waits without presenting frames, as in the pause).
    void AtTime(uint32_t ms, const PlatformEvent& ev);
    // Key pressed at `frame` and released `hold` frames later.
    void KeyPress(int frame, int code, int hold = 1);
    void MouseClick(int frame, int button, int hold = 1);
    // Called after every present with the number of frames presented so far.
    void OnFrame(std::function<void(int frame)> fn);
    int FrameCount() const { return frames_; }
    SoftRenderer* Soft() { return soft_.get(); }
    // With rendering off nothing is drawn (the game runs the same; automatic players run faster).
    void SetRendering(bool on) { rendering_ = on; }
    // A virtual joystick on port 0 (absent until set).
    void SetJoystick(const JoystickState& state);
    // Sets the virtual joystick once the virtual clock reaches `ms` (a pad let go while the game
    // waits without presenting frames).
    void SetJoystickAtTime(uint32_t ms, const JoystickState& state);
    // Audio: off unless enabled; then OpenAudio succeeds and MixAudio runs the callback by hand.
    void EnableAudio(bool on) { audio_enabled_ = on; }
    void MixAudio(int16_t* out, int frames);

    // --- Platform ---
    bool OpenWindow(const std::string& title, int width, int height, bool fullscreen, std::string& error) override;
    void CloseWindow() override;
    Renderer* GetRenderer() override;
    void Present(bool vsync) override;
    bool HasVsync() override { return false; }
    void PumpEvents(void (*sink)(const PlatformEvent&)) override;
    void MovePointer(int x, int y) override;
    void HidePointer() override {}
    uint32_t Millis() override { return now_; }
    void Sleep(int ms) override;
    int JoystickCount() override;
    bool ReadJoystick(int index, JoystickState& out) override;
    bool OpenAudio(int rate, int fragment_frames, AudioCallback cb, void* user) override;
    void CloseAudio() override;

    int pointer_x = 0, pointer_y = 0;

  private:
    std::unique_ptr<SoftRenderer> soft_;
    std::multimap<int, PlatformEvent> script_;
    std::multimap<uint32_t, PlatformEvent> timed_script_;
    std::multimap<uint32_t, JoystickState> timed_joystick_;
    std::vector<std::function<void(int)>> on_frame_;
    int frames_ = 0;
    uint32_t now_ = 0;
    bool has_joystick_ = false;
    JoystickState joystick_;
    bool audio_enabled_ = false;
    bool rendering_ = true;
    AudioCallback audio_cb_ = nullptr;
    void* audio_user_ = nullptr;
};
