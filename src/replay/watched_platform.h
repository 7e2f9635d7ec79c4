// A host seen through a filter: every call goes to the real platform, a function runs after every
// presented frame, and the player's input can be narrowed while a recording is made or played
// back, so that what the screens between play frames do depends on the recording alone.
#pragma once

#include <functional>
#include <vector>

#include "engine/platform.h"

class WatchedPlatform : public Platform {
  public:
    enum class Input {
        All,      // everything passes
        Recording, // Escape closes; the screens between play frames do not see the skip keys or F2, F3
        Playback  // Escape closes; Space pauses in play; no other key, pointer or pad reaches the game
    };
    explicit WatchedPlatform(Platform& inner) : inner_(inner) {}

    std::function<void()> after_present;
    // While held, the host's events wait and the pads read as they last did: the game's input
    // stays as a recording read it for the whole of a play frame.
    void HoldInput(bool hold) { hold_ = hold; }
    std::function<void()> after_resume; // the game came back to the front (held keys were let go)
    Input input = Input::All;

    bool OpenWindow(const std::string& title, int width, int height, bool fullscreen, std::string& error) override {
        return inner_.OpenWindow(title, width, height, fullscreen, error);
    }
    void CloseWindow() override { inner_.CloseWindow(); }
    Renderer* GetRenderer() override { return inner_.GetRenderer(); }
    void Present(bool vsync) override;
    bool HasVsync() override { return inner_.HasVsync(); }
    bool PacesFrames() override { return inner_.PacesFrames(); }
    std::string Describe() override { return inner_.Describe(); }
    void PumpEvents(void (*sink)(const PlatformEvent&)) override;
    void MovePointer(int x, int y) override { inner_.MovePointer(x, y); }
    void HidePointer() override { inner_.HidePointer(); }
    void SetTitle(const std::string& title) override { inner_.SetTitle(title); }
    uint32_t Millis() override { return inner_.Millis(); }
    void Sleep(int ms) override { inner_.Sleep(ms); }
    uint32_t Micros() override { return inner_.Micros(); }
    void SleepMicros(int us) override { inner_.SleepMicros(us); }
    int JoystickCount() override { return input == Input::Playback ? 0 : inner_.JoystickCount(); }
    bool ReadJoystick(int index, JoystickState& out) override;
    bool ConfigurePads(const PadOptions& o) override { return inner_.ConfigurePads(o); }
    bool OpenAudio(int rate, int fragment_frames, AudioCallback cb, void* user) override {
        return inner_.OpenAudio(rate, fragment_frames, cb, user);
    }
    void CloseAudio() override { inner_.CloseAudio(); }

  private:
    Platform& inner_;
    bool hold_ = false;
    std::vector<PlatformEvent> held_events_;
    JoystickState last_pad_[4];
    bool last_pad_ok_[4] = {};
};

// True in the screens of a game between its play frames (intro, level end, death, game over,
// ending), where a skip key would change how many frames a screen shows.
bool InScreenBetweenPlay();
