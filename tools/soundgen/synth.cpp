#include "synth.h"

#include <algorithm>
#include <cmath>

double note_hz(double midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

uint32_t noise_state = 12345;
float noise() {
    noise_state = noise_state * 1664525u + 1013904223u;
    return float(noise_state >> 8) / 8388608.0f - 1.0f;
}

void tone(Buffer& b, double at, double len, double f0, double f1, float amp, int wave, double attack, double decay_rate,
          double vibrato) {
    const size_t start = size_t(at * kRate), n = size_t(len * kRate);
    double phase = 0, phase2 = 0;
    for (size_t i = 0; i < n && start + i < b.size(); ++i) {
        const double t = double(i) / kRate, u = t / len;
        const double f = (f0 * std::pow(f1 / f0, u)) * (1.0 + vibrato * std::sin(2 * kPi * 6.0 * t));
        phase += f / kRate;
        phase2 += f * 2.76 / kRate;
        double v;
        switch (wave) {
        case 1: v = std::tanh(4.0 * std::sin(2 * kPi * phase)) * 0.8; break;
        case 2: v = 2.0 * std::fabs(2.0 * (phase - std::floor(phase + 0.5))) - 1.0; break;
        case 3: v = std::sin(2 * kPi * phase) + 0.4 * std::sin(2 * kPi * phase2) * std::exp(-t * 8); break;
        default: v = std::sin(2 * kPi * phase);
        }
        double env = std::min(1.0, t / attack) * std::min(1.0, (len - t) / 0.01);
        if (decay_rate > 0) env *= std::exp(-t * decay_rate);
        b[start + i] += float(v * env * amp);
    }
}

void hiss(Buffer& b, double at, double len, float amp, double c0, double c1, double decay_rate, double attack) {
    const size_t start = size_t(at * kRate), n = size_t(len * kRate);
    float lp = 0, lp2 = 0;
    for (size_t i = 0; i < n && start + i < b.size(); ++i) {
        const double t = double(i) / kRate, u = t / len;
        const float c = float(c0 + (c1 - c0) * u);
        lp += c * (noise() - lp);
        lp2 += c * (lp - lp2);
        const double env = std::min(1.0, t / attack) * std::exp(-t * decay_rate) * std::min(1.0, (len - t) / 0.01);
        b[start + i] += float(lp2 * env * amp * 2.0);
    }
}
