// The host interface: the only code that talks to the window system, the clock, the audio
// device and the joysticks implements this (platform/sdl for the program, platform/headless for
// tests and tools).
#pragma once

#include <cstdint>
#include <string>

class Renderer;

struct PlatformEvent {
    enum Type { KeyDown, KeyUp, KeyRepeat, MouseDown, MouseUp, MouseMove, Wheel, Suspend, Resume, Close };
    Type type;
    int code = 0;     // key code (virtual-key with per-side modifiers) or mouse button 1..3
    int x = 0, y = 0; // pointer position in 640 x 480 picture coordinates; wheel notches in x
};

struct JoystickState {
    uint32_t buttons = 0;
    int axis_count = 0;
    int axis[6] = {};     // raw positions
    int axis_min[6] = {}; // ranges the device reports
    int axis_max[6] = {};
};

// How pads are read: the stick's dead zone as a fraction of its travel (a stick resting inside it
// reads centred; full deflection still reads exactly -1 or +1), and a file of extra pad mappings
// to read (empty for none).
struct PadOptions {
    float dead_zone = 0.25f;
    std::string mapping_file;
};

// Called on the audio thread to fill `frames` stereo 16-bit frames.
using AudioCallback = void (*)(void* user, int16_t* out, int frames);

class Platform {
  public:
    virtual ~Platform() = default;

    // Window and picture. OpenWindow makes the picture-sized back buffer and its renderer;
    // it returns false, with a one-line reason in `error`, when no display can be had.
    virtual bool OpenWindow(const std::string& title, int width, int height, bool fullscreen, std::string& error) = 0;
    virtual void CloseWindow() = 0;
    virtual Renderer* GetRenderer() = 0;
    // Shows the back buffer; waits for the vertical blank when vsync is true and the host can.
    virtual void Present(bool vsync) = 0;
    // True when Present(true) really waits for the vertical blank.
    virtual bool HasVsync() = 0;
    // True when Present(true) itself holds the game at 60 frames a second on any display (a
    // browser's animation frames): the engine then neither measures the blank nor keeps a clock.
    virtual bool PacesFrames() { return false; }
    // What shows the picture, in a few words (timed runs print it).
    virtual std::string Describe() { return {}; }

    // Hands every pending event to `sink` without waiting.
    virtual void PumpEvents(void (*sink)(const PlatformEvent&)) = 0;
    virtual void MovePointer(int x, int y) = 0; // picture coordinates
    // A new caption for the open window; hosts without one ignore it.
    virtual void SetTitle(const std::string&) {}
    virtual void HidePointer() = 0;

    // Clock and sleep (a virtual clock in the headless platform).
    virtual uint32_t Millis() = 0;
    virtual void Sleep(int ms) = 0;
    // A finer clock for frame pacing, in microseconds, wrapping at 32 bits, and a sleep of that
    // grain. Hosts without them fall back on the millisecond clock and whole-millisecond sleeps.
    virtual uint32_t Micros() { return Millis() * 1000u; }
    virtual void SleepMicros(int us) { Sleep((us + 999) / 1000); }

    // Joysticks: number of devices, and a fresh reading of one (false when it does not answer).
    virtual int JoystickCount() = 0;
    virtual bool ReadJoystick(int index, JoystickState& out) = 0;
    // Hosts without real pads ignore it. False when the mapping file cannot be read.
    virtual bool ConfigurePads(const PadOptions&) { return true; }

    // Audio output: 44100 Hz, 16-bit stereo, fed by `cb` in fragments of `fragment_frames`.
    // Returns false when no device can be opened.
    virtual bool OpenAudio(int rate, int fragment_frames, AudioCallback cb, void* user) = 0;
    virtual void CloseAudio() = 0;
};
