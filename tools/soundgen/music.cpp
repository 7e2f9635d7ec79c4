// The music: a spooky tune in A minor at 112 beats a minute, twelve sections of eight bars (about
// three and a half minutes), each with its own melody, lead voice, bass figure, drum groove and
// accompaniment. Everything is mixed into a stereo loop whose every write wraps round its end,
// and the reverb and the echo run into the start from the loop's own end, so the join has no seam.
#include "music.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

constexpr int kBeat = 23625; // samples a beat at 112 beats a minute
constexpr int kBar = 4 * kBeat;
constexpr int kSectionBars = 8;

double ramp(double t, double len) { return len > 0 ? std::min(1.0, std::max(0.0, t / len)) : 1.0; }
float random01() { return 0.5f * (noise() + 1.0f); }

// A sine by rotation: exact for a steady pitch and far cheaper than a sine a sample.
struct Phasor {
    double c = 1, s = 0, wc = 1, ws = 0;
    explicit Phasor(double hz) : wc(std::cos(2 * kPi * hz / kRate)), ws(std::sin(2 * kPi * hz / kRate)) {}
    double next() {
        const double v = s;
        const double c2 = c * wc - s * ws;
        s = s * wc + c * ws;
        c = c2;
        return v;
    }
};

// One cycle of a waveform made of harmonics, read at any pitch.
struct Wave {
    std::vector<float> v = std::vector<float>(4096);
    explicit Wave(const std::vector<double>& harmonics) {
        for (size_t i = 0; i < v.size(); ++i)
            for (size_t k = 0; k < harmonics.size(); ++k)
                v[i] += float(harmonics[k] * std::sin(2 * kPi * double(k + 1) * double(i) / double(v.size())));
    }
    float at(double phase) const {
        const double x = (phase - std::floor(phase)) * double(v.size());
        const size_t i = size_t(x);
        const float f = float(x - double(i));
        return v[i & 4095] * (1 - f) + v[(i + 1) & 4095] * f;
    }
};

// ---------------------------------------------------------------------------------------------
// Voices: each makes one note as a mono buffer, its loudest near 1.

// A theremin: a wavering, nearly pure tone that glides from the note before when played legato.
Buffer theremin(double from, double midi, double len) {
    Buffer b = make(len + 0.14);
    double phase = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double g = from > 0 ? ramp(t, 0.07) : 1.0;
        const double m = from > 0 ? from + (midi - from) * g * g * (3 - 2 * g) : midi;
        const double vib = 0.0065 * ramp(t - 0.1, 0.3) * std::sin(2 * kPi * 5.3 * t);
        phase += note_hz(m) * (1 + vib) / kRate;
        const double x = 2 * kPi * phase;
        const double v = std::sin(x) + 0.16 * std::sin(2 * x) + 0.05 * std::sin(3 * x);
        const double env = ramp(t, from > 0 ? 0.015 : 0.035) * (t < len ? 1.0 : std::max(0.0, 1 - (t - len) / 0.14)) *
                           (0.85 + 0.15 * std::exp(-t * 3));
        b[i] = float(v * env * 0.8);
    }
    return b;
}

// Struck bars and bells: partials at fixed ratios, each with its own decay.
struct Partial {
    double ratio, amp, decay;
};
Buffer struck(double midi, double seconds, const std::vector<Partial>& partials, double attack) {
    Buffer b = make(seconds);
    const double f = note_hz(midi);
    for (const Partial& p : partials) {
        if (f * p.ratio > kRate * 0.45) continue;
        Phasor osc(f * p.ratio);
        const double fall = std::exp(-p.decay / kRate);
        double a = p.amp;
        for (size_t i = 0; i < b.size(); ++i) {
            b[i] += float(osc.next() * a);
            a *= fall;
        }
    }
    const size_t rise = size_t(attack * kRate), fade = size_t(0.02 * kRate);
    for (size_t i = 0; i < b.size(); ++i) {
        if (i < rise) b[i] *= float(i) / float(rise);
        if (i + fade > b.size()) b[i] *= float(b.size() - i) / float(fade);
    }
    return b;
}
Buffer celesta(double midi) {
    return struck(midi, 1.6, {{1, 0.8, 2.8}, {2, 0.22, 5}, {4.1, 0.08, 11}, {7.3, 0.04, 25}}, 0.002);
}
Buffer xylophone(double midi) {
    Buffer b = struck(midi, 0.7, {{1, 0.8, 9}, {3.93, 0.28, 28}, {9.2, 0.1, 60}}, 0.001);
    for (size_t i = 0; i < 130; ++i) b[i] += noise() * 0.25f * float(130 - i) / 130.0f; // the mallet's knock
    return b;
}
// A plucked string: harmonics that fade the faster the higher they are.
Buffer harp(double midi, double len) {
    std::vector<Partial> p;
    for (int k = 1; k <= 8; ++k) p.push_back({double(k), 0.7 / std::pow(k, 1.4), 1.8 + 0.9 * k});
    Buffer b = struck(midi, std::min(len + 0.35, 2.0), p, 0.002);
    const size_t end = size_t(len * kRate), fade = size_t(0.3 * kRate);
    for (size_t i = end; i < b.size(); ++i) b[i] *= float(std::max<double>(0, 1 - double(i - end) / double(fade)));
    return b;
}
// The bass: a round plucked tone, bright as it is struck.
Buffer bass(double midi, double len) {
    std::vector<Partial> p;
    for (int k = 1; k <= 10; ++k) p.push_back({double(k), 0.7 / k, 0.8 + 1.8 * (k - 1)});
    Buffer b = struck(midi, len + 0.05, p, 0.004);
    const size_t end = size_t(len * kRate);
    for (size_t i = end; i < b.size(); ++i) b[i] *= float(b.size() - i) / float(b.size() - end);
    return b;
}
// Held tones from a waveform, with a slow swell and a gentle tremolo or vibrato.
Buffer held(const Wave& w, double midi, double len, double cents, double attack, double release, double wobble_hz,
            double tremolo, double vibrato) {
    Buffer b = make(len + release);
    const double f = note_hz(midi + cents / 100.0);
    double phase = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double lfo = std::sin(2 * kPi * wobble_hz * t);
        phase += f * (1 + vibrato * lfo) / kRate;
        const double env = ramp(t, attack) * (t < len ? 1.0 : std::max(0.0, 1 - (t - len) / release));
        b[i] = float(w.at(phase) * env * (1 - tremolo * (0.5 + 0.5 * lfo)));
    }
    return b;
}
const Wave& organ_wave() {
    static const Wave w({1, 0.55, 0.25, 0.3, 0, 0.1, 0, 0.08});
    return w;
}
// A choir's "oo": harmonics weighted by two formants, so the vowel stays put whatever the pitch.
Wave choir_wave(double midi) {
    const double f = note_hz(midi);
    std::vector<double> h;
    for (int k = 1; k <= 16 && k * f < 4000; ++k) {
        const double x = k * f;
        h.push_back(std::exp(-std::pow((x - 330) / 180, 2)) + 0.45 * std::exp(-std::pow((x - 850) / 260, 2)) + 0.03);
    }
    return Wave(h);
}

// Drums and the rest of the percussion.
Buffer kick() {
    Buffer b = make(0.4);
    double phase = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        phase += (45 + 110 * std::exp(-t * 30)) / kRate;
        b[i] = float(std::sin(2 * kPi * phase) * std::exp(-t * 8) + noise() * 0.3 * std::exp(-t * 400));
    }
    return b;
}
// Noise with its lows taken out (`keep`: how much of the spectrum below the cutoff stays out).
void bright_noise(Buffer& b, double decay, float amp, float cutoff, double attack = 0.0005) {
    float lp = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const float n = noise();
        lp += cutoff * (n - lp);
        b[i] += (n - lp) * amp * float(std::exp(-t * decay) * ramp(t, attack));
    }
}
Buffer snare() {
    Buffer b = make(0.25);
    tone(b, 0, 0.2, 190, 170, 0.5f, 0, 0.001, 25);
    bright_noise(b, 16, 0.8f, 0.25f);
    return b;
}
Buffer hat(bool open) {
    Buffer b = make(open ? 0.4 : 0.08);
    bright_noise(b, open ? 9 : 70, 0.9f, 0.7f);
    return b;
}
Buffer tom(double hz) {
    Buffer b = make(0.45);
    tone(b, 0, 0.45, hz, hz * 0.8, 0.9f, 0, 0.001, 7);
    bright_noise(b, 60, 0.15f, 0.3f);
    return b;
}
Buffer clack() { // a wooden knock, like bones
    Buffer b = make(0.08);
    Phasor a(1150), c(1780);
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        b[i] = float((a.next() + 0.6 * c.next()) * std::exp(-t * 70) * 0.7);
    }
    return b;
}
Buffer shaker() {
    Buffer b = make(0.1);
    bright_noise(b, 35, 0.7f, 0.5f, 0.008);
    return b;
}
Buffer crash() {
    Buffer b = make(1.6);
    bright_noise(b, 2.2, 0.6f, 0.6f, 0.002);
    return b;
}
// A deep church bell: a hum below the strike note and a minor third above it, fading slowly.
Buffer toll(double midi) {
    return struck(midi, 4.5,
                  {{0.5, 0.5, 0.8},
                   {1, 0.8, 1.2},
                   {1.19, 0.35, 1.6},
                   {1.5, 0.2, 2.0},
                   {2.0, 0.25, 2.6},
                   {2.52, 0.1, 3.5},
                   {3.01, 0.06, 4.5}},
                  0.003);
}
// Wind: noise through a band pass that wanders slowly, rising and falling.
Buffer wind(double seconds, double seed_phase) {
    Buffer b = make(seconds);
    double low = 0, band = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        const double t = double(i) / kRate;
        const double centre =
            500 + 350 * std::sin(2 * kPi * 0.11 * t + seed_phase) + 150 * std::sin(2 * kPi * 0.37 * t);
        const double f = 2 * std::sin(kPi * centre / kRate), q = 0.12;
        const double high = noise() - low - q * band;
        band += f * high;
        low += f * band;
        const double swell = 0.6 + 0.4 * std::sin(2 * kPi * 0.07 * t + seed_phase * 2);
        b[i] = float(band * swell * ramp(t, 1.5) * ramp(seconds - t, 1.5));
    }
    return b;
}

// ---------------------------------------------------------------------------------------------
// The mix: a dry stereo loop with reverb and echo sends. Every write wraps round the loop.
struct Mix {
    explicit Mix(size_t n) : l(n), r(n), reverb(n), echo(n) {}
    Buffer l, r, reverb, echo;
    void add(const Buffer& voice, double at, float pan, float gain, float to_reverb = 0, float to_echo = 0) {
        const size_t n = l.size();
        const double a = (pan + 1.0) * kPi / 4;
        const float gl = float(std::cos(a)) * gain, gr = float(std::sin(a)) * gain;
        size_t p = size_t(std::llround(at)) % n;
        for (float v : voice) {
            l[p] += v * gl;
            r[p] += v * gr;
            reverb[p] += v * gain * to_reverb;
            echo[p] += v * gain * to_echo;
            if (++p == n) p = 0;
        }
    }
};

// Filters with memory run over the loop from a few seconds before its start, so the state they
// start it with is the one its end leaves.
constexpr size_t kPreroll = size_t(6 * kRate);
template <class Fn> void round_loop(size_t n, Fn fn) {
    for (size_t k = 0; k < n + kPreroll; ++k) fn((k + n - kPreroll % n) % n, k >= kPreroll);
}

struct Comb {
    std::vector<float> buf;
    size_t i = 0;
    float store = 0;
    float run(float x, float feedback, float damp) {
        const float y = buf[i];
        store = y * (1 - damp) + store * damp;
        buf[i] = x + store * feedback;
        if (++i == buf.size()) i = 0;
        return y;
    }
};
struct Allpass {
    std::vector<float> buf;
    size_t i = 0;
    float run(float x) {
        const float b = buf[i];
        buf[i] = x + b * 0.5f;
        if (++i == buf.size()) i = 0;
        return b - x;
    }
};

// A room of eight combs and four all-passes a side, the right side's delays a little longer.
void add_reverb(Mix& m, float wet) {
    const size_t combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617}, passes[4] = {556, 441, 341, 225};
    std::vector<Comb> cl, cr;
    std::vector<Allpass> al, ar;
    for (size_t c : combs) {
        cl.push_back({std::vector<float>(c), 0, 0});
        cr.push_back({std::vector<float>(c + 23), 0, 0});
    }
    for (size_t a : passes) {
        al.push_back({std::vector<float>(a), 0});
        ar.push_back({std::vector<float>(a + 23), 0});
    }
    round_loop(m.l.size(), [&](size_t i, bool keep) {
        const float x = m.reverb[i] * 0.015f;
        float yl = 0, yr = 0;
        for (Comb& c : cl) yl += c.run(x, 0.85f, 0.25f);
        for (Comb& c : cr) yr += c.run(x, 0.85f, 0.25f);
        for (Allpass& a : al) yl = a.run(yl);
        for (Allpass& a : ar) yr = a.run(yr);
        if (keep) {
            m.l[i] += yl * wet;
            m.r[i] += yr * wet;
        }
    });
}

// A dark echo a dotted eighth late that bounces from side to side.
void add_echo(Mix& m, float feedback, float wet) {
    const size_t n = m.l.size(), delay = size_t(kBeat * 3 / 4);
    Buffer el(n), er(n);
    float sl = 0, sr = 0;
    round_loop(n, [&](size_t i, bool) {
        const size_t j = (i + n - delay) % n;
        sl += 0.45f * (m.echo[j] + feedback * er[j] - sl);
        sr += 0.45f * (feedback * el[j] - sr);
        el[i] = sl;
        er[i] = sr;
    });
    for (size_t i = 0; i < n; ++i) {
        m.l[i] += el[i] * wet;
        m.r[i] += er[i] * wet;
    }
}

// ---------------------------------------------------------------------------------------------
// The score.

enum Lead { NONE, THEREMIN, CELESTA, XYLOPHONE, HARP };
enum BassFigure { NO_BASS, ROOT_FIFTH, OCTAVES, WALKING, LONG, MARCH, SKIPPING };
enum Arpeggio { NO_ARP, EIGHTHS, SIXTEENTHS, OFFBEATS, QUARTERS };
enum Pads { NO_PAD = 0, ORGAN = 1, CHOIR = 2 };

// A drum groove: one line of sixteen steps an instrument ('X' accent, 'x' hit, 'g' ghost, 'o' an
// open hi-hat, '.' rest); an empty line is silent.
struct Groove {
    const char *kick, *snare, *hat, *clack, *shaker, *tom;
};
const Groove kGrooves[] = {
    // 0: the plain beat
    {"X.......X.x.....", "....X.......X...", "x.x.x.x.x.x.x.x.", "", "", ""},
    // 1: busier, with bones
    {"X.....x.X.x...x.", "....X..g....X...", "xxx.xxo.xxx.xxo.", "..........x....x", "", ""},
    // 2: a backbeat with a tom answer
    {"X..x....X..x....", "....X.......X..g", "x.x.x.x.x.x.x.x.", "", "", "..............x."},
    // 3: tick-tock, for the tune in the major
    {"X.......X.......", "............X...", "", "..x...x...x...x.", "xxxxxxxxxxxxxxxx", ""},
    // 4: half time
    {"X.........x.....", "........X.......", "x...x...x...x...", "", "..x...x...x...x.", ""},
    // 5: a march
    {"X...X...X...X...", "X.gxx.g.X.gxX.gg", "", "x.......x.......", "", ""},
    // 6: everything, for the last statement
    {"X..x..x.X.x..x..", "....X.......X.g.", "x.xox.x.x.xox.x.", "...x.......x....", "", ""},
    // 7: a light pulse for the introduction
    {"X.......x.......", "", "..x...x...x...x.", "", "x.x.x.x.x.x.x.x.", ""},
};
// Fills for a section's last bar.
struct Fill {
    const char *snare, *tom;
};
const Fill kFills[] = {
    {"....X...X.X.XXXX", ""},
    {"....X...........", "........X.X.X.X."},
    {"....X...xxxxXXXX", ""},
};

struct Section {
    const char* name;
    const char* chords; // eight bars; "Dm:E" splits a bar, "Am/G" puts G in the bass
    const char* melody; // bars split by '|', `steps` notes a bar: "a4", "c#5", "-" holds, "." rests
    int steps;
    Lead lead, second; // the second voice doubles the lead `shift` semitones away, softer
    int shift;
    const char* counter; // a second line, eighths, or nullptr
    Lead counter_voice;
    int transpose;
    BassFigure bass;
    Arpeggio arp;
    Lead arp_voice;
    int groove; // -1: no drums
    int drums_from;
    int pads;
    int fill; // -1: none
    bool wind, toll;
    bool breath = false; // the last bar's second half rests, but for the tune's last note
};

const Section kScore[] = {
    {"introduction: a music box over the organ", "Am F Dm E Am F Dm E",
     "a5 . e5 . c5 . e5 . | a5 . f5 . c5 . f5 . | a5 . f5 . d5 . f5 . | g#5 . e5 . b4 . e5 . |"
     "a4 c5 e5 d#5 e5 - . . | a4 c5 f5 e5 f5 - . . | a4 d5 f5 e5 f5 - e5 d5 | b4 - g#4 - e4 - . .",
     8, CELESTA, NONE, 0, nullptr, NONE, 0, LONG, NO_ARP, NONE, 7, 4, ORGAN, 2, true, true},
    {"the theme on the theremin", "Am E:Am Dm E Am F Dm:E Am",
     "a4 c5 e5 d#5 e5 - c5 a4 | b4 - g#4 - a4 - - . | d5 f5 a5 g#5 a5 - f5 d5 | e5 - - d5 c5 - b4 - |"
     "a4 c5 e5 d#5 e5 - a5 - | g5 f5 e5 - f5 - c5 - | d5 - f5 e5 d5 - b4 g#4 | a4 - - - . . e4 g#4",
     8, THEREMIN, NONE, 0, nullptr, NONE, 0, ROOT_FIFTH, OFFBEATS, HARP, 0, 0, ORGAN, 0, false, false},
    {"the theme again, climbing, with the xylophone", "Am E Dm E Am F E E7",
     "a4 c5 e5 d#5 e5 - c5 a4 | b4 c5 d5 c5 b4 - g#4 - | d5 f5 a5 g#5 a5 - f5 d5 | e5 - g#5 - b5 - a5 g#5 |"
     "a5 - e5 - c6 - b5 a5 | g5 f5 e5 - f5 - a5 - | g#5 - f5 - e5 - d5 - | e5 - - - - - . .",
     8, THEREMIN, XYLOPHONE, 0, nullptr, NONE, 0, OCTAVES, EIGHTHS, CELESTA, 1, 0, ORGAN, 1, false, false},
    {"a second tune on the celesta over the choir", "F G Em Am Dm G C E",
     "c6 - a5 - f5 - a5 c6 | b5 - g5 - d5 - - . | b5 - g5 - e5 - g5 b5 | a5 - - - e5 - . . |"
     "f5 e5 d5 e5 f5 - a5 - | g5 f5 d5 f5 g5 - b5 - | c6 b5 a5 g5 e5 - c5 - | b4 - e5 - g#5 - b5 -",
     8, CELESTA, THEREMIN, -12, nullptr, NONE, 0, WALKING, NO_ARP, NONE, 2, 0, CHOIR, 0, false, false},
    {"a skipping tune in C major on the xylophone", "C Am F G C Em F G",
     "c5 e5 g5 e5 c6 - g5 - | a5 - e5 - c5 e5 a5 - | f5 a5 c6 a5 f5 - a5 - | g5 - b5 - d6 - b5 - |"
     "e6 - d6 c6 g5 - e5 - | g5 - b5 - e5 - g5 - | a5 g5 f5 e5 d5 - c5 - | d5 - g5 - b4 - d5 -",
     8, XYLOPHONE, HARP, -12, nullptr, NONE, 0, SKIPPING, QUARTERS, CELESTA, 3, 0, ORGAN, 2, false, false},
    {"a breakdown: the bass creeps down under long notes", "Am Am/G# Am/G D/F# Dm/F Am/E E A7",
     "e5 - - - - - d5 c5 | b4 - - - - - . . | c5 - - - e5 - - - | f#5 - - - - - e5 d5 |"
     "f5 - - - - - e5 d5 | e5 - - - - - - - | g#5 - - - b5 - - - | c#6 - - - g5 - e5 -",
     8, THEREMIN, NONE, 0, nullptr, NONE, 0, LONG, QUARTERS, HARP, 4, 0, CHOIR, 2, true, false},
    {"the theme in D minor on the xylophone", "Am E:Am Dm E Am F Dm:E Am",
     "a4 c5 e5 d#5 e5 - c5 a4 | b4 - g#4 - a4 c5 b4 a4 | d5 f5 a5 g#5 a5 - f5 d5 | e5 - - d5 c5 - b4 - |"
     "a4 c5 e5 d#5 e5 - a5 - | g5 f5 e5 - f5 - c5 - | d5 - f5 e5 d5 - b4 g#4 | a4 - e4 - a4 - . .",
     8, XYLOPHONE, THEREMIN, -12, nullptr, NONE, 5, ROOT_FIFTH, SIXTEENTHS, HARP, 1, 0, ORGAN, 1, false, false},
    {"the second tune on the theremin, the celesta a third below", "F G Em Am Dm G Am:F E",
     "c6 - a5 - f5 - a5 c6 | b5 - g5 - d5 - - . | b5 - g5 - e5 - g5 b5 | a5 - - - e5 - . . |"
     "f5 e5 d5 e5 f5 - a5 - | g5 f5 d5 f5 g5 - b5 - | c6 b5 a5 g5 f5 e5 d5 c5 | b4 - - - g#4 - - -",
     8, THEREMIN, NONE, 0,
     "a5 - f5 - c5 - f5 a5 | g5 - d5 - b4 - - . | g5 - e5 - b4 - e5 g5 | e5 - - - c5 - . . |"
     "d5 c5 a4 c5 d5 - f5 - | d5 - b4 - d5 - g5 - | a5 g5 f5 e5 d5 c5 b4 a4 | g#4 - - - e4 - - -",
     CELESTA, 0, OCTAVES, NO_ARP, NONE, 6, 0, ORGAN | CHOIR, 0, false, false},
    {"the skeletons' march", "E F E F Dm E F E7",
     "e5 . e5 f5 e5 . b4 . | f5 . f5 g5 f5 . c5 . | e5 . e5 f5 e5 d5 c5 b4 | a4 - c5 - f5 - . . |"
     "d5 . d5 e5 f5 . a5 . | g#5 . g#5 a5 g#5 f5 e5 d5 | c5 d5 e5 f5 g5 a5 b5 c6 | b5 - - - g#5 - e5 -",
     8, XYLOPHONE, NONE, 0, nullptr, NONE, 0, MARCH, OFFBEATS, HARP, 5, 0, NO_PAD, 1, false, true},
    {"quiet: the theme at half speed", "Am Am E Am Dm Dm E E",
     "a4 c5 e5 d#5 | e5 - c5 a4 | b4 - g#4 - | a4 - - - | d5 f5 a5 g#5 | a5 - f5 d5 | e5 - - d5 | c5 - b4 -", 4,
     THEREMIN, NONE, 0, nullptr, NONE, 0, LONG, QUARTERS, CELESTA, -1, 0, ORGAN, 2, true, false},
    {"the theme with everything", "Am E:Am Dm E Am F Dm:E Am:G",
     "a4 c5 e5 d#5 e5 - c5 a4 | b4 - g#4 - a4 - c5 e5 | d5 f5 a5 g#5 a5 - f5 d5 | e5 - - d5 c5 - b4 - |"
     "a4 c5 e5 d#5 e5 - a5 - | c6 b5 a5 - f5 - c5 - | d5 - f5 e5 d5 - b4 g#4 | a4 - c5 - b4 - g4 -",
     8, THEREMIN, XYLOPHONE, 0, nullptr, NONE, 0, OCTAVES, SIXTEENTHS, HARP, 6, 0, ORGAN | CHOIR, 0, false, false},
    {"the major tune on the harp, bells above, turning home",
     "C Am F G C Em Am:Dm E7",
     "c5 e5 g5 e5 c6 - g5 - | a5 - e5 - c5 e5 a5 - | f5 a5 c6 a5 f5 - a5 - | g5 - b5 - d6 - b5 - |"
     "e6 - d6 c6 g5 - e5 - | g5 a5 b5 - e6 - b5 - | c6 - a5 - d6 - b5 - | g#5 - b5 - e6 - - -",
     8,
     HARP,
     CELESTA,
     12,
     nullptr,
     NONE,
     0,
     SKIPPING,
     EIGHTHS,
     XYLOPHONE,
     3,
     0,
     ORGAN,
     -1,
     false,
     false,
     true},
};

struct Chord {
    int root = 9, bass = 9; // pitch classes
    std::vector<int> tones; // semitones above the root
};

// A note letter with its sharp or flat ("C#", "eb"), read from s[i] on.
int pitch_class(const std::string& s, size_t& i) {
    static const int letters[7] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    const char letter = char(s[i] | 0x20);
    ++i;
    int pc = letter >= 'a' && letter <= 'g' ? letters[letter - 'a'] : 0;
    if (i < s.size() && s[i] == '#') {
        ++pc;
        ++i;
    } else if (i < s.size() && s[i] == 'b') {
        --pc;
        ++i;
    }
    return (pc + 12) % 12;
}

Chord parse_chord(const std::string& s, int transpose) {
    Chord c;
    size_t i = 0;
    c.root = (pitch_class(s, i) + transpose) % 12;
    c.bass = c.root;
    const std::string rest = s.substr(i, s.find('/') == std::string::npos ? std::string::npos : s.find('/') - i);
    if (rest == "m")
        c.tones = {0, 3, 7};
    else if (rest == "7")
        c.tones = {0, 4, 7, 10};
    else if (rest == "m7")
        c.tones = {0, 3, 7, 10};
    else
        c.tones = {0, 4, 7};
    if (const size_t slash = s.find('/'); slash != std::string::npos) {
        size_t j = slash + 1;
        c.bass = (pitch_class(s, j) + transpose) % 12;
    }
    return c;
}

// A note name with its octave ("c#5") as a MIDI number.
int parse_note(const std::string& s) {
    size_t i = 0;
    const int pc = pitch_class(s, i);
    const int octave = std::atoi(s.c_str() + i);
    // B#/Cb would cross the octave; the score never writes them.
    return 12 * (octave + 1) + pc;
}

std::vector<std::string> split(const std::string& s, char by) {
    std::vector<std::string> out;
    std::string cur;
    for (char ch : s) {
        if (ch == by) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    out.push_back(cur);
    return out;
}
std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

struct Note {
    int start, length, midi; // in steps from the section's start
};

int score_errors = 0;

// The notes of a line, `steps` a bar for eight bars.
std::vector<Note> parse_line(const char* text, int steps, int transpose) {
    std::vector<Note> notes;
    const std::vector<std::string> bars = split(text, '|');
    if (bars.size() != kSectionBars) {
        std::fprintf(stderr, "soundgen: a line of %zu bars in the score\n", bars.size());
        ++score_errors;
    }
    int at = 0;
    for (const std::string& bar : bars) {
        const std::vector<std::string> tokens = words(bar);
        if (int(tokens.size()) != steps) {
            std::fprintf(stderr, "soundgen: a bar of %zu steps in the score: %s\n", tokens.size(), bar.c_str());
            ++score_errors;
        }
        for (const std::string& t : tokens) {
            if (t == "-" && !notes.empty() && notes.back().start + notes.back().length == at)
                ++notes.back().length;
            else if (t != "-" && t != ".")
                notes.push_back({at, 1, parse_note(t) + transpose});
            ++at;
        }
    }
    return notes;
}

// Plays the score into the mix; `signature` collects, bar by bar, every note and drum played,
// so bars that repeat whole can be found.
class Player {
  public:
    Player(Mix& mix, std::vector<std::string>& signature) : mix_(mix), signature_(signature) {}

    void section(const Section& s, int first_bar, int index) {
        const double at0 = double(first_bar) * kBar;
        std::vector<std::vector<Chord>> chords; // per bar: one or two chords
        for (const std::string& bar : words(s.chords)) {
            std::vector<Chord> halves;
            for (const std::string& c : split(bar, ':')) halves.push_back(parse_chord(c, s.transpose));
            chords.push_back(halves);
        }
        // The melody, its double and the counter line.
        const double step = double(kBar) / s.steps;
        const std::vector<Note> melody = parse_line(s.melody, s.steps, s.transpose);
        line(melody, s.lead, 0, at0, step, first_bar, s.steps, 1.0f);
        if (s.second != NONE) line(melody, s.second, s.shift, at0, step, first_bar, s.steps, 0.42f);
        if (s.counter)
            line(parse_line(s.counter, 8, s.transpose), s.counter_voice, 0, at0, kBar / 8.0, first_bar, 8, 0.5f);

        for (int b = 0; b < kSectionBars; ++b) {
            const int bar = first_bar + b;
            const double at = at0 + double(b) * kBar;
            const std::vector<Chord>& cs = chords[size_t(std::min<size_t>(size_t(b), chords.size() - 1))];
            const Chord& next = chords[size_t(std::min<size_t>(size_t(b + 1), chords.size() - 1))][0];
            // The loop's last bar: everything stops halfway, and the reverb alone fades into the join.
            const bool breath = s.breath && b == kSectionBars - 1;
            for (size_t h = 0; h < cs.size(); ++h) {
                const double from = at + double(h) * kBar / double(cs.size()), len = double(kBar) / double(cs.size());
                pads(s.pads, cs[h], from, breath ? len / 2 : len, bar);
                arpeggio(s.arp, s.arp_voice, cs[h], from, breath ? len / 2 : len, bar, int(h) * 16 / int(cs.size()));
            }
            if (breath)
                bass_note(40 + (cs[0].root - 4 + 12) % 12, at, kBar / 2.0, 1.0f, bar, 0);
            else
                bass_bar(s.bass, cs, next, at, bar);
            if (s.groove >= 0 && b >= s.drums_from) {
                const bool fill = b == kSectionBars - 1 && s.fill >= 0;
                drums(kGrooves[s.groove], fill ? &kFills[s.fill] : nullptr, at, bar, breath ? 8 : 16);
                if (b == s.drums_from && index > 0) hit(crash(), at, 0.35f, 0.1f, bar, "crash", 0);
            } else if (b == kSectionBars - 1 && s.fill >= 0) { // a roll that leads in the drums
                for (int k = 0; k < 16; ++k)
                    hit(snare(), at + (kBar / 2.0) + k * (kBar / 32.0), 0.05f, 0.05f + 0.02f * k, bar, "roll", k);
            }
        }
        if (s.wind) {
            const double len = double(kSectionBars * kBar) / kRate;
            mix_.add(wind(len, index), at0, -0.8f, 0.05f, 0.3f);
            mix_.add(wind(len, index + 1.7), at0, 0.8f, 0.05f, 0.3f);
        }
        if (s.toll) {
            mix_.add(toll(45 + s.transpose), at0, 0.0f, 0.22f, 0.6f);
            mark(first_bar, "toll");
        }
    }

  private:
    Mix& mix_;
    std::vector<std::string>& signature_;

    void mark(int bar, const std::string& what) { signature_[size_t(bar) % signature_.size()] += what + ";"; }

    void voice(Lead v, double from_midi, double midi, double at, double len, float gain) {
        switch (v) {
        case THEREMIN: mix_.add(theremin(from_midi, midi, len), at, -0.1f, 0.30f * gain, 0.35f, 0.28f); break;
        case CELESTA: mix_.add(celesta(midi), at, 0.25f, 0.30f * gain, 0.45f, 0.3f); break;
        case XYLOPHONE: mix_.add(xylophone(midi), at, -0.2f, 0.34f * gain, 0.25f, 0.15f); break;
        case HARP: mix_.add(harp(midi, len), at, 0.15f, 0.34f * gain, 0.3f, 0.15f); break;
        case NONE: break;
        }
    }

    void line(const std::vector<Note>& notes, Lead v, int shift, double at0, double step, int first_bar, int steps,
              float gain) {
        for (size_t i = 0; i < notes.size(); ++i) {
            const Note& n = notes[i];
            const bool legato = i > 0 && notes[i - 1].start + notes[i - 1].length == n.start;
            const double from = legato ? notes[i - 1].midi + shift : 0;
            // Quieter notes on the weak steps, so the line breathes.
            const float accent = n.start % 2 == 0 ? 1.0f : 0.85f;
            voice(v, from, n.midi + shift, at0 + n.start * step, n.length * step / kRate * 0.95, gain * accent);
            mark(first_bar + n.start / steps, "L" + std::to_string(int(v)) + "@" + std::to_string(n.start % steps) +
                                                  ":" + std::to_string(n.midi + shift) + "/" +
                                                  std::to_string(n.length));
        }
    }

    // The organ and the choir hold the chord, voiced close above G3.
    void pads(int which, const Chord& c, double at, double len, int bar) {
        if (which == NO_PAD) return;
        const double seconds = len / kRate;
        for (int t : c.tones) {
            const int midi = 55 + (c.root + t - 7 + 24) % 12;
            if (which & ORGAN) {
                mix_.add(held(organ_wave(), midi, seconds, -4, 0.08, 0.25, 5.5, 0.12, 0), at, -0.6f, 0.05f, 0.3f);
                mix_.add(held(organ_wave(), midi, seconds, 4, 0.08, 0.25, 5.9, 0.12, 0), at, 0.6f, 0.05f, 0.3f);
            }
            if (which & CHOIR) {
                const Wave w = choir_wave(midi + 12);
                mix_.add(held(w, midi + 12, seconds, -7, 0.35, 0.5, 4.8, 0, 0.004), at, -0.7f, 0.06f, 0.55f);
                mix_.add(held(w, midi + 12, seconds, 7, 0.35, 0.5, 5.2, 0, 0.004), at, 0.7f, 0.06f, 0.55f);
            }
            mark(bar, "P" + std::to_string(which) + ":" + std::to_string(midi));
        }
    }

    // Broken chords in the octave below the tune; notes alternate sides.
    void arpeggio(Arpeggio a, Lead v, const Chord& c, double at, double len, int bar, int first_step) {
        if (a == NO_ARP) return;
        const int base = 57 + (c.root - 9 + 12) % 12;
        std::vector<int> tones;
        for (int t : c.tones) tones.push_back(base + t);
        tones.push_back(base + 12);
        static const int eighths[8] = {0, 1, 2, 3, 2, 1, 2, 3},
                         sixteenths[16] = {0, 2, 1, 3, 2, 1, 3, 2, 0, 2, 1, 3, 2, 3, 1, 2}, quarters[4] = {3, 2, 1, 2};
        const int per_bar = a == SIXTEENTHS ? 16 : a == QUARTERS ? 4 : 8;
        const int count = int(std::lround(per_bar * len / kBar));
        const double step = double(kBar) / per_bar;
        for (int k = 0; k < count; ++k) {
            const double t = at + k * step;
            const int slot = first_step * per_bar / 16 + k;
            if (a == OFFBEATS) {
                if (k % 2 == 0) continue;
                for (size_t i = 0; i + 1 < tones.size(); ++i)
                    mix_.add(harp(tones[i], step / kRate), t, 0.3f, 0.08f, 0.2f);
                mark(bar, "O" + std::to_string(slot) + ":" + std::to_string(base));
                continue;
            }
            const int idx = a == SIXTEENTHS ? sixteenths[slot % 16]
                            : a == QUARTERS ? quarters[slot % 4]
                                            : eighths[slot % 8];
            const int midi = tones[size_t(idx) % tones.size()];
            const float pan = k % 2 == 0 ? -0.45f : 0.45f;
            const float gain = a == SIXTEENTHS ? 0.09f : 0.12f;
            switch (v) {
            case CELESTA: mix_.add(celesta(midi + 12), t, pan, gain, 0.4f, 0.1f); break;
            case XYLOPHONE: mix_.add(xylophone(midi + 12), t, pan, gain, 0.2f); break;
            default: mix_.add(harp(midi, step / kRate * 1.5), t, pan, gain * 1.2f, 0.25f); break;
            }
            mark(bar, "A" + std::to_string(int(v)) + "@" + std::to_string(slot) + ":" + std::to_string(midi));
        }
    }

    void bass_note(int midi, double at, double len_samples, float gain, int bar, int slot) {
        mix_.add(bass(midi, len_samples / kRate), at, 0.0f, 0.42f * gain, 0.04f);
        mark(bar, "B@" + std::to_string(slot) + ":" + std::to_string(midi));
    }

    void bass_bar(BassFigure f, const std::vector<Chord>& cs, const Chord& next, double at, int bar) {
        auto low = [](int pc) { return 40 + (pc - 4 + 12) % 12; }; // E2 up to D#3
        const double q = kBeat, e = kBeat / 2.0;
        for (size_t h = 0; h < cs.size(); ++h) {
            const Chord& c = cs[h];
            const int r = low(c.bass), root = low(c.root);
            const double from = at + double(h) * kBar / double(cs.size());
            const int beats = 4 / int(cs.size());
            const int slot0 = int(h) * 8 / int(cs.size());
            switch (f) {
            case ROOT_FIFTH:
                for (int k = 0; k < beats; ++k)
                    bass_note(k % 2 == 0 ? r : root + 7 - 12 * (root + 7 > 52), from + k * q, q * 0.85, 1.0f, bar,
                              slot0 + k);
                break;
            case OCTAVES:
                for (int k = 0; k < beats * 2; ++k)
                    bass_note(r + (k % 2) * 12, from + k * e, e * 0.8, k % 2 ? 0.75f : 1.0f, bar, slot0 + k);
                break;
            case WALKING: {
                const int third = c.tones.size() > 1 ? c.tones[1] : 4;
                const int walk[4] = {r, root + third, root + 7, low(next.root) - 1};
                for (int k = 0; k < beats; ++k) bass_note(walk[k], from + k * q, q * 0.9, 1.0f, bar, slot0 + k);
                break;
            }
            case LONG: bass_note(r, from, double(kBar) / double(cs.size()) * 0.95, 0.9f, bar, slot0); break;
            case MARCH: {
                static const int up[8] = {0, 0, 12, 0, 7, 0, 12, 0};
                for (int k = 0; k < beats * 2; ++k)
                    bass_note(r + up[k % 8], from + k * e, e * 0.6, k % 2 ? 0.7f : 1.0f, bar, slot0 + k);
                break;
            }
            case SKIPPING: {
                const double when[4] = {0, 1.5, 2, 3};
                const int what[4] = {r, root + 7, root + 12, root + 7};
                const double len[4] = {1.4, 0.45, 0.9, 0.9};
                for (int k = 0; k < 4; ++k)
                    if (when[k] < beats)
                        bass_note(what[k], from + when[k] * q, len[k] * q, k == 0 ? 1.0f : 0.8f, bar, slot0 + k);
                break;
            }
            case NO_BASS: break;
            }
        }
    }

    void hit(const Buffer& b, double at, float pan, float gain, int bar, const char* what, int step,
             float reverb = 0.1f) {
        mix_.add(b, at, pan, gain * (0.92f + 0.08f * random01()), reverb);
        mark(bar, std::string(what) + "@" + std::to_string(step));
    }

    void drums(const Groove& g, const Fill* fill, double at, int bar, int steps) {
        const double sixteenth = kBar / 16.0;
        auto level = [](char c) { return c == 'X' ? 1.0f : c == 'x' || c == 'o' ? 0.7f : c == 'g' ? 0.3f : 0.0f; };
        const std::string snare_line = fill ? fill->snare : g.snare, tom_line = fill ? fill->tom : g.tom;
        for (int k = 0; k < steps; ++k) {
            const double t = at + k * sixteenth;
            auto at_step = [k](const std::string& line) { return k < int(line.size()) ? line[size_t(k)] : '.'; };
            if (const char c = at_step(g.kick); c != '.') hit(kick(), t, 0.0f, 0.6f * level(c), bar, "k", k, 0.03f);
            if (const char c = at_step(snare_line); c != '.')
                hit(snare(), t, 0.05f, 0.34f * level(c), bar, "s", k, 0.2f);
            if (const char c = at_step(g.hat); c != '.')
                hit(hat(c == 'o'), t, 0.3f, (c == 'o' ? 0.09f : 0.11f) * level(c == 'o' ? 'x' : c), bar, "h", k, 0.05f);
            if (const char c = at_step(g.clack); c != '.')
                hit(clack(), t, -0.35f, 0.14f * level(c), bar, "c", k, 0.15f);
            if (const char c = at_step(g.shaker); c != '.')
                hit(shaker(), t, 0.45f, 0.06f * (k % 4 == 0 ? 1.0f : 0.6f), bar, "m", k, 0.05f);
            if (const char c = at_step(tom_line); c != '.') {
                const double hz = 150 - 12.0 * (k % 8);
                hit(tom(hz), t, -0.4f + 0.1f * float(k % 8), 0.32f * level(c), bar, "t", k, 0.2f);
            }
        }
    }
};

float rms_of(const Buffer& l, const Buffer& r) {
    double sum = 0;
    for (size_t i = 0; i < l.size(); ++i) sum += double(l[i]) * l[i] + double(r[i]) * r[i];
    return float(std::sqrt(sum / double(2 * l.size())));
}

// Rounds peaks off above `knee` so nothing passes `ceiling`; below the knee the sound is untouched.
float soft_limit(float x, float knee, float ceiling) {
    const float a = std::fabs(x);
    if (a <= knee) return x;
    const float room = ceiling - knee;
    return std::copysign(knee + room * std::tanh((a - knee) / room), x);
}

} // namespace

Music make_music(float rms, float ceiling) {
    const int sections = int(sizeof kScore / sizeof kScore[0]);
    Music out;
    out.bars = sections * kSectionBars;
    Mix mix(size_t(out.bars) * kBar);
    std::vector<std::string> signature(size_t(out.bars));
    Player player(mix, signature);
    for (int s = 0; s < sections; ++s) {
        player.section(kScore[s], s * kSectionBars, s);
        char line[160];
        std::snprintf(line, sizeof line, "bars %2d-%2d: %s", s * kSectionBars + 1, (s + 1) * kSectionBars,
                      kScore[s].name);
        out.sections.push_back(line);
    }
    out.score_errors = score_errors;
    add_echo(mix, 0.38f, 0.55f);
    add_reverb(mix, 0.9f);

    // The longest run of equal bars, round the join too.
    int run = 1;
    out.longest_repeat = 1;
    for (int i = 1; i < 2 * out.bars; ++i) {
        run = signature[size_t(i % out.bars)] == signature[size_t((i - 1) % out.bars)] ? run + 1 : 1;
        out.longest_repeat = std::max(out.longest_repeat, std::min(run, out.bars));
    }

    // The file starts half a beat before the first bar, in the hush the last bar leaves, so the
    // encoder meets no sudden sound at either end of the file.
    const float gain = rms / std::max(1e-9f, rms_of(mix.l, mix.r));
    const float knee = ceiling * 0.7f;
    const size_t n = mix.l.size(), lead_in = kBeat / 2;
    out.left.resize(n);
    out.right.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const size_t from = (i + n - lead_in) % n;
        out.left[i] = soft_limit(mix.l[from] * gain, knee, ceiling);
        out.right[i] = soft_limit(mix.r[from] * gain, knee, ceiling);
    }
    return out;
}
