// Polled input: the host's events become held/pressed state that the game asks for, and presses
// are counted so that none is lost between two polls. Every query first runs the host's event
// pump (never inside the pump itself), so the state only changes while the game is asking.
#include <cstring>
#include <vector>

#include "engine/engine.h"
#include "engine/platform.h"

namespace {
constexpr int kKeys = 256;
constexpr int kButtons = 4; // mouse buttons 1 left, 2 right, 3 middle
constexpr int kPorts = 16;
constexpr int kJoyButtons = 16; // presses are counted for buttons 0..15
constexpr int kMaxDevices = 256;

struct KeyboardMouse {
    int key_down[kKeys];
    int key_hits[kKeys];
    int mouse_down[kButtons];
    int mouse_hits[kButtons];
    int mouse_x, mouse_y, wheel;
    int suspended;
    int close_requested;
};

struct Joysticks {
    std::vector<int> devices; // system joystick ids in discovery order; port p uses entry p
    uint32_t buttons[kPorts];
    float axes[kPorts][16]; // x, y, z, r, u, v at 0..5
    int hits[kJoyButtons][kPorts];
};

KeyboardMouse g_in = {};
Joysticks g_joy = {};
bool g_in_pump = false;
std::array<int, kKeys> g_key_map;
bool g_key_map_set = false;

void ClearKeyboard() {
    std::memset(g_in.key_down, 0, sizeof g_in.key_down);
    std::memset(g_in.key_hits, 0, sizeof g_in.key_hits);
}

void ClearPointer() {
    std::memset(g_in.mouse_down, 0, sizeof g_in.mouse_down);
    std::memset(g_in.mouse_hits, 0, sizeof g_in.mouse_hits);
    g_in.wheel = 0;
}

bool ValidKey(int code) { return code >= 0 && code < kKeys; }
bool ValidButton(int button) { return button >= 0 && button < kButtons; }
bool ValidPort(int port) { return port >= 0 && port < kPorts; }

// A press counts once: a key already held (or an auto-repeat) adds nothing.
void Press(int* down, int* hits) {
    if (!*down) {
        *down = 1;
        ++*hits;
    }
}

void HandleEvent(const PlatformEvent& ev) {
    switch (ev.type) {
    case PlatformEvent::KeyDown:
        if (ValidKey(ev.code)) Press(&g_in.key_down[ev.code], &g_in.key_hits[ev.code]);
        break;
    case PlatformEvent::KeyUp:
        if (ValidKey(ev.code)) g_in.key_down[ev.code] = 0;
        break;
    case PlatformEvent::KeyRepeat: break;
    case PlatformEvent::MouseDown:
        if (ValidButton(ev.code)) Press(&g_in.mouse_down[ev.code], &g_in.mouse_hits[ev.code]);
        break;
    case PlatformEvent::MouseUp:
        if (ValidButton(ev.code)) g_in.mouse_down[ev.code] = 0;
        break;
    case PlatformEvent::MouseMove:
        g_in.mouse_x = ev.x;
        g_in.mouse_y = ev.y;
        break;
    case PlatformEvent::Wheel: g_in.wheel += ev.x; break;
    case PlatformEvent::Suspend:
    case PlatformEvent::Resume:
        // Keys held while switching away would otherwise stay down forever.
        ClearKeyboard();
        ClearPointer();
        g_in.suspended = ev.type == PlatformEvent::Suspend;
        break;
    case PlatformEvent::Close: g_in.close_requested = 1; break;
    }
}

// Events from the host: key codes go through the player's bindings first.
void HandleHostEvent(const PlatformEvent& ev) {
    if (g_key_map_set &&
        (ev.type == PlatformEvent::KeyDown || ev.type == PlatformEvent::KeyUp || ev.type == PlatformEvent::KeyRepeat)) {
        if (!ValidKey(ev.code) || g_key_map[size_t(ev.code)] == 0) return;
        PlatformEvent mapped = ev;
        mapped.code = g_key_map[size_t(ev.code)];
        HandleEvent(mapped);
        return;
    }
    HandleEvent(ev);
}

// Reads one port afresh; a device that does not answer leaves the last values in place.
void SampleJoystick(int port) {
    Platform* p = EnginePlatform();
    if (!p || !ValidPort(port)) return;
    int id = port < int(g_joy.devices.size()) ? g_joy.devices[size_t(port)] : 0;
    JoystickState js;
    if (!p->ReadJoystick(id, js)) return;
    uint32_t before = g_joy.buttons[port];
    g_joy.buttons[port] = js.buttons;
    for (int i = 0; i < js.axis_count && i < 6; ++i) {
        if (js.axis_max[i] == 0) continue; // a range the formula cannot use
        g_joy.axes[port][i] = float(double(js.axis[i] - js.axis_min[i]) * 2.0 / double(js.axis_max[i]) - 1.0);
    }
    for (int b = 0; b < kJoyButtons; ++b) {
        uint32_t bit = 1u << b;
        if (!(before & bit) && (js.buttons & bit)) ++g_joy.hits[b][port];
    }
}
} // namespace

void PollSystem() {
    Platform* p = EnginePlatform();
    if (!p || g_in_pump) return;
    g_in_pump = true;
    p->PumpEvents(&HandleHostEvent);
    g_in_pump = false;
}

// Does not pump: events the host already holds (a scripted press at frame 0) still count.
void InputReset() {
    ClearKeyboard();
    ClearPointer();
    g_in.suspended = 0;
    g_in.close_requested = 0;
    std::memset(g_joy.buttons, 0, sizeof g_joy.buttons);
    std::memset(g_joy.axes, 0, sizeof g_joy.axes);
    std::memset(g_joy.hits, 0, sizeof g_joy.hits);
}

int KeyWasHit(int code) {
    PollSystem();
    if (!ValidKey(code)) return 0;
    int n = g_in.key_hits[code];
    g_in.key_hits[code] = 0;
    return n;
}

int KeyIsDown(int code) {
    PollSystem();
    return ValidKey(code) ? g_in.key_down[code] : 0;
}

void FlushKeyboard() {
    PollSystem();
    ClearKeyboard();
}

int MouseWasHit(int button) {
    PollSystem();
    if (!ValidButton(button)) return 0;
    int n = g_in.mouse_hits[button];
    g_in.mouse_hits[button] = 0;
    return n;
}

int MouseIsDown(int button) {
    PollSystem();
    return ValidButton(button) ? g_in.mouse_down[button] : 0;
}

void FlushPointer() {
    PollSystem();
    ClearPointer();
}

int PointerX() {
    PollSystem();
    return g_in.mouse_x;
}

int PointerY() {
    PollSystem();
    return g_in.mouse_y;
}

int PointerWheel() {
    PollSystem();
    return g_in.wheel;
}

// The polled position changes at once, so the game reads back where it put the pointer even
// before the host reports the move.
void MovePointer(int x, int y) {
    g_in.mouse_x = x;
    g_in.mouse_y = y;
    if (Platform* p = EnginePlatform()) p->MovePointer(x, y);
}

void HidePointer() {
    if (Platform* p = EnginePlatform()) p->HidePointer();
}

int AppIsSuspended() {
    PollSystem();
    return g_in.suspended;
}

int CloseRequested() {
    PollSystem();
    int r = g_in.close_requested;
    g_in.close_requested = 0;
    return r;
}

int CountJoysticks() {
    PollSystem();
    g_joy.devices.clear();
    Platform* p = EnginePlatform();
    if (!p) return 0;
    int slots = p->JoystickCount();
    JoystickState js;
    for (int id = 0; id < slots && int(g_joy.devices.size()) < kMaxDevices; ++id)
        if (p->ReadJoystick(id, js)) g_joy.devices.push_back(id);
    return int(g_joy.devices.size());
}

int JoyButtonDown(int button, int port) {
    PollSystem();
    SampleJoystick(port);
    if (!ValidPort(port)) return 0;
    return int((g_joy.buttons[port] >> (unsigned(button) & 31u)) & 1u);
}

int JoyButtonHit(int button, int port) {
    PollSystem();
    SampleJoystick(port);
    if (!ValidPort(port) || button < 0 || button >= kJoyButtons) return 0;
    int n = g_joy.hits[button][port];
    g_joy.hits[button][port] = 0;
    return n;
}

float JoyAxisX(int port) {
    PollSystem();
    SampleJoystick(port);
    return ValidPort(port) ? g_joy.axes[port][0] : 0.0f;
}

float JoyAxisY(int port) {
    PollSystem();
    SampleJoystick(port);
    return ValidPort(port) ? g_joy.axes[port][1] : 0.0f;
}

void InjectInputEvent(const PlatformEvent& ev) { HandleEvent(ev); }

void SetKeyMap(const std::array<int, 256>& map) {
    g_key_map = map;
    g_key_map_set = true;
}

void ClearKeyMap() { g_key_map_set = false; }

bool KeyMapInUse(std::array<int, 256>& out) {
    if (g_key_map_set) out = g_key_map;
    return g_key_map_set;
}

int MappedKeyCode(int host_code) {
    if (!ValidKey(host_code)) return 0;
    return g_key_map_set ? g_key_map[size_t(host_code)] : host_code;
}
