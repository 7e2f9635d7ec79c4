// The sound synthesiser: makes the music and the 25 effects from code and encodes them as Ogg
// Vorbis.
//
//   soundgen OUTPUT_DIR
//
// Effects are short and bright, normalised to the same loudness; the music is a spooky loop in A
// minor (melody, bass, organ and drums) that joins seamlessly and sits well below the effects.
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
using Buffer = std::vector<float>;

Buffer make(double seconds) { return Buffer(size_t(seconds * kRate), 0.0f); }
double note_hz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

uint32_t noise_state = 12345;
float noise() {
    noise_state = noise_state * 1664525u + 1013904223u;
    return float(noise_state >> 8) / 8388608.0f - 1.0f;
}

// Adds a tone with a pitch that may glide, an envelope and a waveform, starting at `at` seconds.
// `wave`: 0 sine, 1 square-ish (soft), 2 triangle, 3 bell (sine with an inharmonic partial).
void tone(Buffer& b, double at, double len, double f0, double f1, float amp, int wave, double attack = 0.005,
          double decay_rate = 0.0, double vibrato = 0.0) {
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

// Filtered noise: `cutoff` sweeps from c0 to c1 (0..1, one-pole low pass), with a decay.
void hiss(Buffer& b, double at, double len, float amp, double c0, double c1, double decay_rate, double attack = 0.003) {
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

void normalise(Buffer& b, float peak) {
    float m = 0;
    for (float v : b) m = std::max(m, std::fabs(v));
    if (m > 0)
        for (float& v : b) v *= peak / m;
}

// ---------------------------------------------------------------------------------------------
// The effects

Buffer boing() { // every landing: soft and short
    Buffer b = make(0.16);
    tone(b, 0, 0.16, 180, 330, 0.7f, 0, 0.004, 18);
    tone(b, 0, 0.16, 360, 660, 0.15f, 2, 0.004, 25);
    return b;
}
Buffer jump() {
    Buffer b = make(0.2);
    tone(b, 0, 0.2, 280, 820, 0.5f, 1, 0.004, 8);
    return b;
}
Buffer magic() { // a sparkling chime
    Buffer b = make(0.5);
    const int notes[] = {88, 91, 96};
    for (int i = 0; i < 3; ++i)
        tone(b, i * 0.045, 0.45 - i * 0.045, note_hz(notes[i]), note_hz(notes[i]), 0.4f, 3, 0.002, 7);
    return b;
}
Buffer bonk() {
    Buffer b = make(0.15);
    tone(b, 0, 0.15, 170, 90, 0.9f, 0, 0.002, 25);
    hiss(b, 0, 0.03, 0.6f, 0.6, 0.3, 60);
    return b;
}
Buffer bash() { // a brick breaking
    Buffer b = make(0.4);
    hiss(b, 0, 0.4, 1.0f, 0.5, 0.1, 9);
    for (int i = 0; i < 6; ++i) hiss(b, 0.03 + i * 0.05, 0.04, 0.5f, 0.8, 0.5, 40);
    tone(b, 0, 0.12, 120, 60, 0.6f, 0, 0.002, 20);
    return b;
}
Buffer powerup() {
    Buffer b = make(0.7);
    const int notes[] = {60, 64, 67, 72, 76, 79, 84};
    for (int i = 0; i < 7; ++i) tone(b, i * 0.08, 0.14, note_hz(notes[i]), note_hz(notes[i]), 0.35f, 1, 0.004, 6);
    return b;
}
Buffer popout() {
    Buffer b = make(0.14);
    tone(b, 0, 0.14, 220, 1300, 0.6f, 2, 0.002, 10);
    return b;
}
Buffer runestone() { // the springboard: a twanging launch
    Buffer b = make(0.45);
    tone(b, 0, 0.45, 140, 700, 0.7f, 2, 0.003, 4, 0.06);
    tone(b, 0, 0.45, 280, 1400, 0.2f, 0, 0.003, 6, 0.06);
    return b;
}
Buffer extralife() { // a short fanfare
    Buffer b = make(1.1);
    const int notes[] = {72, 76, 79, 84};
    const double times[] = {0, 0.12, 0.24, 0.36};
    for (int i = 0; i < 4; ++i) {
        const double len = i == 3 ? 0.7 : 0.14;
        tone(b, times[i], len, note_hz(notes[i]), note_hz(notes[i]), 0.35f, 1, 0.005, i == 3 ? 3 : 4,
             i == 3 ? 0.01 : 0);
        tone(b, times[i], len, note_hz(notes[i] - 12), note_hz(notes[i] - 12), 0.2f, 2, 0.005, 3);
    }
    return b;
}
Buffer invincible() {
    Buffer b = make(0.9);
    const int notes[] = {76, 79, 83, 88};
    for (int i = 0; i < 12; ++i) {
        const int n = notes[i % 4] + (i / 4) * 2;
        tone(b, i * 0.065, 0.12, note_hz(n), note_hz(n), 0.3f, 3, 0.002, 10);
    }
    return b;
}
Buffer hidden() { // a secret found
    Buffer b = make(0.5);
    tone(b, 0, 0.25, note_hz(76), note_hz(76), 0.4f, 3, 0.002, 6);
    tone(b, 0.12, 0.38, note_hz(83), note_hz(83), 0.4f, 3, 0.002, 5);
    return b;
}
Buffer fireball() { // a whoosh of fire
    Buffer b = make(0.3);
    hiss(b, 0, 0.3, 1.0f, 0.08, 0.5, 6, 0.03);
    tone(b, 0, 0.3, 500, 250, 0.2f, 2, 0.01, 8);
    return b;
}
Buffer bonus() {
    Buffer b = make(0.45);
    tone(b, 0, 0.08, note_hz(83), note_hz(83), 0.4f, 1, 0.002, 4);
    tone(b, 0.08, 0.37, note_hz(88), note_hz(88), 0.4f, 1, 0.002, 6);
    return b;
}
Buffer wiskin() { // the area is done: a short, happy tune
    Buffer b = make(1.3);
    const int notes[] = {67, 72, 76, 79, 84};
    for (int i = 0; i < 5; ++i) {
        const double len = i == 4 ? 0.6 : 0.16;
        tone(b, i * 0.15, len, note_hz(notes[i]), note_hz(notes[i]), 0.35f, 3, 0.003, i == 4 ? 3 : 5);
    }
    return b;
}
Buffer splash() {
    Buffer b = make(0.6);
    hiss(b, 0, 0.6, 1.0f, 0.3, 0.05, 5, 0.01);
    for (int i = 0; i < 5; ++i) tone(b, 0.08 + i * 0.07, 0.06, 500 + i * 90, 900 + i * 120, 0.25f, 0, 0.002, 30);
    return b;
}
Buffer pdeath1() { // falling away
    Buffer b = make(1.2);
    tone(b, 0, 1.2, 900, 90, 0.6f, 2, 0.01, 1.2, 0.02);
    return b;
}
Buffer pdeath2() { // caught by a monster
    Buffer b = make(0.9);
    const int notes[] = {72, 69, 66, 63, 60};
    for (int i = 0; i < 5; ++i) tone(b, i * 0.12, 0.2, note_hz(notes[i]), note_hz(notes[i] - 1), 0.4f, 1, 0.004, 5);
    hiss(b, 0, 0.15, 0.3f, 0.4, 0.2, 20);
    return b;
}
Buffer witch() { // a cackle: falling "ha"s with a nasal edge
    Buffer b = make(1.5);
    for (int i = 0; i < 6; ++i) {
        const double at = i * 0.2, f = 820 - i * 50;
        tone(b, at, 0.16, f, f * 0.85, 0.45f, 1, 0.01, 8, 0.05);
        tone(b, at, 0.16, f * 2.01, f * 1.7, 0.15f, 0, 0.01, 10);
        hiss(b, at, 0.05, 0.2f, 0.5, 0.3, 30);
    }
    return b;
}
Buffer edeath() { // an enemy knocked out
    Buffer b = make(0.32);
    tone(b, 0, 0.32, 700, 140, 0.5f, 1, 0.003, 5);
    return b;
}
Buffer splat() { // a stomp
    Buffer b = make(0.22);
    hiss(b, 0, 0.22, 1.0f, 0.2, 0.04, 15);
    tone(b, 0, 0.18, 160, 70, 0.5f, 0, 0.002, 18);
    return b;
}
Buffer powerdwn() {
    Buffer b = make(0.6);
    const int notes[] = {79, 74, 71, 67};
    for (int i = 0; i < 4; ++i) tone(b, i * 0.11, 0.16, note_hz(notes[i]), note_hz(notes[i]), 0.35f, 1, 0.004, 6);
    return b;
}
Buffer scorpshot() {
    Buffer b = make(0.16);
    tone(b, 0, 0.16, 1300, 380, 0.45f, 1, 0.002, 10);
    return b;
}
Buffer cannon() {
    Buffer b = make(0.7);
    tone(b, 0, 0.7, 90, 40, 1.0f, 0, 0.002, 6);
    hiss(b, 0, 0.5, 0.8f, 0.3, 0.03, 8);
    return b;
}
Buffer hbthrow() {
    Buffer b = make(0.22);
    hiss(b, 0, 0.22, 0.8f, 0.1, 0.4, 8, 0.02);
    tone(b, 0, 0.2, 300, 600, 0.2f, 2, 0.01, 8);
    return b;
}
Buffer efireball() { // the witch's fireball roaring in
    Buffer b = make(0.8);
    hiss(b, 0, 0.8, 1.0f, 0.04, 0.25, 2.5, 0.15);
    tone(b, 0, 0.8, 110, 70, 0.4f, 2, 0.1, 3, 0.04);
    return b;
}

// ---------------------------------------------------------------------------------------------
// The music: 32 bars in A minor at 112 beats a minute, about 69 seconds. Every note's tail that
// runs past the end is wrapped to the start, so the loop joins without a seam.
Buffer music() {
    const double beat = 60.0 / 112.0, bar = beat * 4;
    const int bars = 32;
    Buffer b = make(bar * bars);
    Buffer tail = make(4.0);
    auto add = [&](double at, double len, double f0, double f1, float amp, int wave, double atk, double dec,
                   double vib) {
        Buffer one = make(len);
        tone(one, 0, len, f0, f1, amp, wave, atk, dec, vib);
        for (size_t i = 0; i < one.size(); ++i) {
            const size_t p = size_t(at * kRate) + i;
            b[p % b.size()] += one[i];
        }
    };
    auto drum = [&](double at, int kind) {
        Buffer one = make(0.3);
        if (kind == 0) tone(one, 0, 0.25, 110, 45, 0.9f, 0, 0.001, 14);
        if (kind == 1) hiss(one, 0, 0.2, 0.55f, 0.5, 0.3, 18);
        if (kind == 2) hiss(one, 0, 0.05, 0.25f, 0.9, 0.9, 60);
        for (size_t i = 0; i < one.size(); ++i) b[(size_t(at * kRate) + i) % b.size()] += one[i];
    };
    // Chords (root notes) per bar: Am F Dm E, twice per 8 bars, with a darker turn in the middle.
    const int roots[8] = {57, 53, 50, 52, 57, 53, 55, 52};
    const int turn[8] = {57, 60, 53, 52, 50, 53, 52, 52};
    // A creeping melody, one phrase per 4 bars (MIDI notes, 0 = rest), in eighths.
    const int phrase_a[32] = {69, 0,  72, 71, 69, 0,  64, 0,  65, 0, 69, 68, 65, 0,  62, 0,
                              62, 65, 69, 0,  74, 72, 71, 69, 68, 0, 64, 0,  68, 71, 76, 0};
    const int phrase_b[32] = {76, 0, 77, 76, 72, 0, 69, 0,  72, 71, 69, 0, 65, 0,  64, 0,
                              62, 0, 65, 69, 72, 0, 71, 69, 68, 71, 74, 0, 71, 68, 64, 0};
    for (int k = 0; k < bars; ++k) {
        const double at = k * bar;
        const int section = k / 8;
        const int root = (section == 2 ? turn : roots)[k % 8];
        // Bass: root on the beats, fifth on the off-beat.
        for (int q = 0; q < 4; ++q) {
            const int n = (q % 2 == 0) ? root - 12 : root - 5;
            add(at + q * beat, beat * 0.9, note_hz(n), note_hz(n), 0.32f, 2, 0.01, 2.5, 0);
        }
        // Organ: a soft minor or major triad held across the bar.
        const bool major = root == 52 || root == 60;
        for (int iv : {0, major ? 4 : 3, 7})
            add(at, bar, note_hz(root + iv), note_hz(root + iv), 0.05f, 0, 0.2, 0.4, 0.004);
        // Drums: kick on 1 and 3, snare on 2 and 4, hats on eighths (the intro bars stay bare).
        if (k >= 2) {
            drum(at, 0);
            drum(at + 2 * beat, 0);
            drum(at + beat, 1);
            drum(at + 3 * beat, 1);
            for (int e = 0; e < 8; ++e) drum(at + e * beat / 2, 2);
        }
        // Melody from bar 4, a theremin-like wavering tone.
        if (k >= 4) {
            const int* phrase = (section % 2 == 0) ? phrase_a : phrase_b;
            for (int e = 0; e < 8; ++e) {
                const int n = phrase[(k % 4) * 8 + e];
                if (n == 0) continue;
                add(at + e * beat / 2, beat * 0.9, note_hz(n), note_hz(n), 0.2f, 3, 0.02, 2.0, 0.012);
            }
        }
    }
    (void)tail;
    return b;
}

// ---------------------------------------------------------------------------------------------
// Ogg Vorbis encoding, mono 44100 Hz.
bool encode(const Buffer& pcm, const std::string& path, float quality) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 1, kRate, quality) != 0) {
        std::fclose(f);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "ENCODER", "pumko soundgen");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 20261208);
    ogg_packet header, header_comm, header_code;
    vorbis_analysis_headerout(&vd, &vc, &header, &header_comm, &header_code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &header_comm);
    ogg_stream_packetin(&os, &header_code);
    ogg_page og;
    while (ogg_stream_flush(&os, &og) != 0) {
        std::fwrite(og.header, 1, size_t(og.header_len), f);
        std::fwrite(og.body, 1, size_t(og.body_len), f);
    }
    size_t pos = 0;
    bool eos = false;
    while (!eos) {
        const size_t n = std::min<size_t>(4096, pcm.size() - pos);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, int(n));
            for (size_t i = 0; i < n; ++i) buffer[0][i] = pcm[pos + i];
            vorbis_analysis_wrote(&vd, int(n));
            pos += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (!eos && ogg_stream_pageout(&os, &og) != 0) {
                    std::fwrite(og.header, 1, size_t(og.header_len), f);
                    std::fwrite(og.body, 1, size_t(og.body_len), f);
                    if (ogg_page_eos(&og)) eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: soundgen OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    struct Effect {
        const char* name;
        Buffer (*make)();
    };
    const Effect effects[] = {{"boing", boing},         {"jump", jump},
                              {"magic", magic},         {"bonk", bonk},
                              {"bash", bash},           {"powerup", powerup},
                              {"popout", popout},       {"runestone", runestone},
                              {"extralife", extralife}, {"invincible", invincible},
                              {"hidden", hidden},       {"fireball", fireball},
                              {"bonus", bonus},         {"wiskin", wiskin},
                              {"splash", splash},       {"pdeath1", pdeath1},
                              {"pdeath2", pdeath2},     {"witch", witch},
                              {"edeath", edeath},       {"splat", splat},
                              {"powerdwn", powerdwn},   {"scorpshot", scorpshot},
                              {"cannon", cannon},       {"hbthrow", hbthrow},
                              {"efireball", efireball}};
    bool ok = true;
    for (const Effect& e : effects) {
        noise_state = 12345;
        Buffer b = e.make();
        // The bounce plays on every landing: keep it gentle.
        normalise(b, std::string(e.name) == "boing" ? 0.45f : 0.8f);
        ok = encode(b, dir + "/" + e.name + ".ogg", 0.3f) && ok;
    }
    noise_state = 777;
    Buffer m = music();
    normalise(m, 0.42f);
    ok = encode(m, dir + "/tilesong.ogg", 0.2f) && ok;
    if (!ok) std::fprintf(stderr, "soundgen: could not write every sound to %s\n", dir.c_str());
    return ok ? 0 : 1;
}
