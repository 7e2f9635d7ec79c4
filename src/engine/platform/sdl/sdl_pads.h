// Pads through SDL's game controller layer, taken in as players plug them in and dropped as they
// pull them out, and read together as joystick port 0. A mapped pad speaks the game's numbering
// (A jumps, B or X fires, Start pauses, Back is F1, d-pad and left stick move); a device SDL
// cannot map keeps its raw numbering, with its first hat acting as the stick.
#pragma once

#include <SDL.h>

#include <vector>

#include "engine/platform/pad_merge.h"
#include "engine/platform.h"

class SdlPads {
  public:
    SdlPads() = default;
    SdlPads(const SdlPads&) = delete;
    SdlPads& operator=(const SdlPads&) = delete;
    ~SdlPads() { Stop(); }

    // Starts SDL's pad layer once and takes in what is plugged in. False when SDL cannot.
    bool Start();
    // Closes every pad (before SDL shuts down).
    void Stop();
    // Sets the dead zone and reads extra mappings; false when the mapping file cannot be read.
    bool Configure(const PadOptions& options);
    // Device arrivals and removals, and a mapped pad's Back (sent to `sink` as F1). Key events for
    // a pad pulled out while its Back is held release it.
    void HandleEvent(const SDL_Event& e, void (*sink)(const PlatformEvent&));
    // After the events of a pump: Back as the pads hold it now.
    void SyncBack(void (*sink)(const PlatformEvent&));
    // Every attached pad merged; all released and centred when none is.
    JoystickState Read();
    int Count() const { return int(pads_.size()); }

  private:
    struct Pad {
        SDL_Joystick* joystick = nullptr;
        SDL_GameController* controller = nullptr; // null for a device SDL cannot map
        SDL_JoystickID id = -1;
        bool back_down = false;
    };
    void Refresh(void (*sink)(const PlatformEvent&));
    void Close(Pad& pad, void (*sink)(const PlatformEvent&));
    void SetBack(Pad& pad, bool down, void (*sink)(const PlatformEvent&));
    PadReading ReadOne(const Pad& pad) const;

    std::vector<Pad> pads_;
    float dead_zone_ = PadOptions().dead_zone;
    bool started_ = false;
};
