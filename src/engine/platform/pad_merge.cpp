#include "engine/platform/pad_merge.h"

#include <cmath>

namespace {
// Positions 0..2 * kHalf with the centre at kHalf: (kHalf * 2 / max) - 1 is exactly 0.
constexpr int kHalf = 32767;
} // namespace

float StickFromRaw(int raw) {
    if (raw <= -32768) return -1.0f;
    if (raw >= 32767) return 1.0f;
    return raw < 0 ? float(raw) / 32768.0f : float(raw) / 32767.0f;
}

float ApplyDeadZone(float value, float dead_zone) {
    if (dead_zone < 0.0f) dead_zone = 0.0f;
    if (dead_zone > 0.9f) dead_zone = 0.9f;
    const float size = std::fabs(value);
    if (size <= dead_zone) return 0.0f;
    const float spread = size >= 1.0f ? 1.0f : (size - dead_zone) / (1.0f - dead_zone);
    return value < 0.0f ? -spread : spread;
}

float DpadOrStick(bool negative, bool positive, float stick) {
    if (negative == positive) return negative ? 0.0f : stick;
    return positive ? 1.0f : -1.0f;
}

JoystickState MergePads(const std::vector<PadReading>& pads) {
    JoystickState out;
    out.axis_count = 6;
    for (int a = 0; a < 6; ++a) {
        float v = 0.0f;
        for (const PadReading& p : pads)
            if (std::fabs(p.axis[a]) > std::fabs(v)) v = p.axis[a];
        if (v < -1.0f) v = -1.0f;
        if (v > 1.0f) v = 1.0f;
        out.axis_min[a] = 0;
        out.axis_max[a] = 2 * kHalf;
        out.axis[a] = kHalf + int(std::lround(double(v) * kHalf));
    }
    for (const PadReading& p : pads) out.buttons |= p.buttons;
    return out;
}
