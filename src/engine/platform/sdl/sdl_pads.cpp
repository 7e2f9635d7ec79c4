#include "engine/platform/sdl/sdl_pads.h"

#include <algorithm>
#include <filesystem>

namespace {

constexpr int kF1 = 112;

// A mapped pad's buttons as the game numbers them: 0 jumps and confirms, 1 and 7 fire, 2 pauses.
constexpr struct {
    SDL_GameControllerButton button;
    int bit;
} kButtons[] = {{SDL_CONTROLLER_BUTTON_A, 0},
                {SDL_CONTROLLER_BUTTON_B, 1},
                {SDL_CONTROLLER_BUTTON_X, 7},
                {SDL_CONTROLLER_BUTTON_START, 2}};

void SendKey(void (*sink)(const PlatformEvent&), PlatformEvent::Type type, int code) {
    if (!sink) return;
    PlatformEvent ev{type};
    ev.code = code;
    sink(ev);
}

} // namespace

bool SdlPads::Start() {
    if (started_) return true;
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    // Arrivals, removals and Back come as events; everything else is read when the game asks.
    SDL_JoystickEventState(SDL_ENABLE);
    SDL_GameControllerEventState(SDL_ENABLE);
    started_ = true;
    Refresh(nullptr);
    return true;
}

void SdlPads::Stop() {
    for (Pad& p : pads_) Close(p, nullptr);
    pads_.clear();
}

bool SdlPads::Configure(const PadOptions& options) {
    dead_zone_ = options.dead_zone;
    if (options.mapping_file.empty()) return true;
    // An empty file holds no mappings; SDL would call it unreadable.
    std::error_code ec;
    if (std::filesystem::is_regular_file(options.mapping_file, ec) &&
        std::filesystem::file_size(options.mapping_file, ec) == 0 && !ec)
        return true;
    if (!Start()) return false;
    const bool read = SDL_GameControllerAddMappingsFromFile(options.mapping_file.c_str()) >= 0;
    // Devices opened raw before their mapping was known are opened again through it.
    Stop();
    Refresh(nullptr);
    return read;
}

void SdlPads::Close(Pad& pad, void (*sink)(const PlatformEvent&)) {
    SetBack(pad, false, sink);
    if (pad.controller)
        SDL_GameControllerClose(pad.controller);
    else if (pad.joystick)
        SDL_JoystickClose(pad.joystick);
    pad.controller = nullptr;
    pad.joystick = nullptr;
}

// Drops pads that are gone and opens every device not yet open.
void SdlPads::Refresh(void (*sink)(const PlatformEvent&)) {
    if (!started_) return;
    for (Pad& p : pads_)
        if (!SDL_JoystickGetAttached(p.joystick)) Close(p, sink);
    pads_.erase(std::remove_if(pads_.begin(), pads_.end(), [](const Pad& p) { return !p.joystick; }), pads_.end());
    const int n = SDL_NumJoysticks();
    for (int i = 0; i < n; ++i) {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        if (id < 0 || std::any_of(pads_.begin(), pads_.end(), [id](const Pad& p) { return p.id == id; })) continue;
        Pad pad;
        pad.id = id;
        if (SDL_IsGameController(i) && (pad.controller = SDL_GameControllerOpen(i)))
            pad.joystick = SDL_GameControllerGetJoystick(pad.controller);
        else
            pad.joystick = SDL_JoystickOpen(i);
        if (pad.joystick) pads_.push_back(pad);
    }
}

void SdlPads::SetBack(Pad& pad, bool down, void (*sink)(const PlatformEvent&)) {
    if (!pad.controller || pad.back_down == down) return;
    pad.back_down = down;
    SendKey(sink, down ? PlatformEvent::KeyDown : PlatformEvent::KeyUp, kF1);
}

void SdlPads::HandleEvent(const SDL_Event& e, void (*sink)(const PlatformEvent&)) {
    switch (e.type) {
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED: Refresh(sink); break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (e.cbutton.button != SDL_CONTROLLER_BUTTON_BACK) break;
        for (Pad& p : pads_)
            if (p.id == e.cbutton.which) SetBack(p, e.type == SDL_CONTROLLERBUTTONDOWN, sink);
        break;
    default: break;
    }
}

// The events carry quick taps; this catches a Back already held when its pad was opened.
void SdlPads::SyncBack(void (*sink)(const PlatformEvent&)) {
    for (Pad& p : pads_)
        if (p.controller) SetBack(p, SDL_GameControllerGetButton(p.controller, SDL_CONTROLLER_BUTTON_BACK), sink);
}

PadReading SdlPads::ReadOne(const Pad& pad) const {
    PadReading r;
    if (SDL_GameController* c = pad.controller) {
        for (const auto& b : kButtons)
            if (SDL_GameControllerGetButton(c, b.button)) r.buttons |= 1u << b.bit;
        auto axis = [c](SDL_GameControllerAxis a) { return StickFromRaw(SDL_GameControllerGetAxis(c, a)); };
        auto held = [c](SDL_GameControllerButton b) { return SDL_GameControllerGetButton(c, b) != 0; };
        r.axis[0] = DpadOrStick(held(SDL_CONTROLLER_BUTTON_DPAD_LEFT), held(SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
                                ApplyDeadZone(axis(SDL_CONTROLLER_AXIS_LEFTX), dead_zone_));
        r.axis[1] = DpadOrStick(held(SDL_CONTROLLER_BUTTON_DPAD_UP), held(SDL_CONTROLLER_BUTTON_DPAD_DOWN),
                                ApplyDeadZone(axis(SDL_CONTROLLER_AXIS_LEFTY), dead_zone_));
        r.axis[2] = axis(SDL_CONTROLLER_AXIS_RIGHTX);
        r.axis[3] = axis(SDL_CONTROLLER_AXIS_RIGHTY);
        r.axis[4] = axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT);
        r.axis[5] = axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
        return r;
    }
    SDL_Joystick* j = pad.joystick;
    const int buttons = std::min(SDL_JoystickNumButtons(j), 32);
    for (int b = 0; b < buttons; ++b)
        if (SDL_JoystickGetButton(j, b)) r.buttons |= 1u << b;
    const int axes = std::min(SDL_JoystickNumAxes(j), 6);
    for (int a = 0; a < axes; ++a) r.axis[a] = StickFromRaw(SDL_JoystickGetAxis(j, a));
    r.axis[0] = ApplyDeadZone(r.axis[0], dead_zone_);
    r.axis[1] = ApplyDeadZone(r.axis[1], dead_zone_);
    if (SDL_JoystickNumHats(j) > 0) {
        const Uint8 hat = SDL_JoystickGetHat(j, 0);
        r.axis[0] = DpadOrStick(hat & SDL_HAT_LEFT, hat & SDL_HAT_RIGHT, r.axis[0]);
        r.axis[1] = DpadOrStick(hat & SDL_HAT_UP, hat & SDL_HAT_DOWN, r.axis[1]);
    }
    return r;
}

JoystickState SdlPads::Read() {
    std::vector<PadReading> readings;
    if (started_) {
        SDL_JoystickUpdate();
        for (const Pad& p : pads_)
            if (SDL_JoystickGetAttached(p.joystick)) readings.push_back(ReadOne(p));
    }
    return MergePads(readings);
}
