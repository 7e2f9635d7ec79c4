// Pads read as one joystick: each connected pad's reading, already in the game's numbering, is
// merged into the one state that joystick port 0 reports, so any pad drives the player.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/platform.h"

// One pad: button bits in the game's numbering, axes from -1 to 1 (x, y, z, r, u, v).
struct PadReading {
    uint32_t buttons = 0;
    float axis[6] = {};
};

// A signed 16-bit position (-32768..32767) as -1..1, both ends exact and 0 at 0.
float StickFromRaw(int raw);
// Inside the dead zone the stick reads 0; the rest of the travel is spread over 0..1, so full
// deflection stays exactly -1 or +1.
float ApplyDeadZone(float value, float dead_zone);
// A d-pad or hat pressed one way wins over the stick; both ways at once cancel.
float DpadOrStick(bool negative, bool positive, float stick);
// Buttons held on any pad; each axis from the pad that pushes it furthest (the first on a tie).
// With no pads everything reads released and centred. The positions read back through the
// joystick formula exactly: 0 centred, -1 and +1 at the ends.
JoystickState MergePads(const std::vector<PadReading>& pads);
