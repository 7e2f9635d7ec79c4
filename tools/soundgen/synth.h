// The synthesiser's building blocks, shared by the effects and the music: mono float buffers at
// 44100 Hz, tones with gliding pitch and envelopes, and filtered noise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
using Buffer = std::vector<float>;

inline Buffer make(double seconds) { return Buffer(size_t(seconds * kRate), 0.0f); }
double note_hz(double midi);

// A deterministic noise source in -1..1; `noise_state` restarts it.
extern uint32_t noise_state;
float noise();

// Adds a tone with a pitch that may glide, an envelope and a waveform, starting at `at` seconds.
// `wave`: 0 sine, 1 square-ish (soft), 2 triangle, 3 bell (sine with an inharmonic partial).
void tone(Buffer& b, double at, double len, double f0, double f1, float amp, int wave, double attack = 0.005,
          double decay_rate = 0.0, double vibrato = 0.0);

// Filtered noise: `cutoff` sweeps from c0 to c1 (0..1, two one-pole low passes), with a decay.
void hiss(Buffer& b, double at, double len, float amp, double c0, double c1, double decay_rate, double attack = 0.003);
