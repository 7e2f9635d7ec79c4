// The game's one pseudo-random generator, the millisecond clock, sleeps, and degree-based
// sine and cosine. The generator is a Park-Miller style multiplicative congruential generator
// (multiplier 48271, modulus 2^31 - 1) stepped with Schrage's method so it never needs more than
// 32-bit arithmetic; every random value consumes exactly two steps, so replays stay in lock-step.
#include <chrono>
#include <cmath>
#include <thread>

#include "engine/engine.h"
#include "engine/platform.h"

namespace {
constexpr int32_t kModulus = 2147483647;
constexpr int32_t kMultiplier = 48271;
constexpr int32_t kQuotient = 44488; // kModulus / kMultiplier
constexpr int32_t kRemainder = 3399; // kModulus % kMultiplier
constexpr int32_t kDefaultState = 4660;

int32_t g_state = kDefaultState;

int32_t Step() {
    int32_t s = (g_state % kQuotient) * kMultiplier - (g_state / kQuotient) * kRemainder;
    if (s < 0) s += kModulus;
    g_state = s;
    return s;
}

// A value in [0, 1) built from two steps: 27 bits from the first, the top 26 of the second
// below them.
double UnitValue() {
    int32_t a = Step() & 0x1FFFFFFC;
    int32_t b = Step() & 0x1FFFFFF8;
    return (double(a) + double(b) / 134217728.0) / 536870912.0;
}

// The fallback clock when no platform is set: a steady clock counted from first use.
uint32_t SteadyMillis() {
    static const auto start = std::chrono::steady_clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return uint32_t(ms.count());
}
} // namespace

void SeedRandom(int32_t seed) {
    int32_t s = seed & 0x7FFFFFFF;
    g_state = (s == 0 || s == kModulus) ? kDefaultState : s;
}

double RandomFloat(double lo, double hi) {
    double r = UnitValue();
    return hi > lo ? lo + r * (hi - lo) : hi + r * (lo - hi);
}

int RandomInt(int lo, int hi) {
    double r = UnitValue();
    // The span in 64 bits so that extreme bounds cannot overflow.
    int64_t d = int64_t(hi) - int64_t(lo);
    if (d > 0) return int(lo + int64_t(r * double(d + 1)));
    return int(hi + int64_t(r * double(1 - d)));
}

int32_t RandomState() { return g_state; }

// Restores a saved state; values outside 1 .. 2^31 - 2 would stall or break the generator, so
// they fall back to the default state as seeding does.
void SetRandomState(int32_t state) { g_state = (state <= 0 || state >= kModulus) ? kDefaultState : state; }

int MilliTime() {
    Platform* p = EnginePlatform();
    return int(p ? p->Millis() : SteadyMillis());
}

int MilliSince(int earlier) { return int(uint32_t(MilliTime()) - uint32_t(earlier)); }

void DelayMs(int ms) {
    if (ms < 0) return;
    if (Platform* p = EnginePlatform()) {
        p->Sleep(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double SinDeg(double degrees) { return std::sin(degrees * 0.017453292519943295); }
double CosDeg(double degrees) { return std::cos(degrees * 0.017453292519943295); }
