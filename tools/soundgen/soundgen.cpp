// The sound synthesiser: makes the music and the 25 effects from code and encodes them as Ogg
// Vorbis.
//
//   soundgen OUTPUT_DIR [--describe]
//
// The levels are set for play, where the music channel plays at 0.4: the music (-17 dB RMS in
// the file, so about -25 dB in play) stays audible under the effects, the bounce that every
// landing makes sits about level with it, the other effects a few dB above, and their peaks stay
// low enough that several at once over the music do not reach full scale. --describe prints the
// music's sections and the longest run of bars that repeat whole; a score that repeats one bar
// more than four times running fails the build.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "music.h"
#include "synth.h"

namespace {

// Scales an effect so that its loudest 50 ms has an RMS of `loudest_db` dB below full scale,
// unless its peak would then pass `peak`.
void set_level(Buffer& b, double loudest_db, float peak) {
    const size_t span = std::min<size_t>(b.size(), kRate / 20);
    double window = 0, loudest = 0;
    float top = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        window += double(b[i]) * b[i];
        if (i >= span) window -= double(b[i - span]) * b[i - span];
        if (i + 1 >= span) loudest = std::max(loudest, window);
        top = std::max(top, std::fabs(b[i]));
    }
    if (loudest <= 0) return;
    float gain = float(std::pow(10.0, loudest_db / 20) / std::sqrt(loudest / double(span)));
    gain = std::min(gain, peak / top);
    for (float& v : b) v *= gain;
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
// Ogg Vorbis encoding at 44100 Hz: mono, or stereo when `right` is given.
bool encode(const Buffer& pcm, const Buffer* right, const std::string& path, float quality) {
    const int channels = right ? 2 : 1;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, kRate, quality) != 0) {
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
            if (right)
                for (size_t i = 0; i < n; ++i) buffer[1][i] = (*right)[pos + i];
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
        std::fprintf(stderr, "usage: soundgen OUTPUT_DIR [--describe]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool describe = argc > 2 && std::strcmp(argv[2], "--describe") == 0;
    // Each effect's loudest 50 ms, in dB below full scale: the bounce about level with the music
    // in play, what happens often 6 to 8 dB above it, the rare and important a little more.
    struct Effect {
        const char* name;
        Buffer (*make)();
        double loudest_db;
    };
    const Effect effects[] = {{"boing", boing, -24},         {"jump", jump, -18},
                              {"magic", magic, -19},         {"bonk", bonk, -19},
                              {"bash", bash, -18},           {"powerup", powerup, -16},
                              {"popout", popout, -19},       {"runestone", runestone, -18},
                              {"extralife", extralife, -16}, {"invincible", invincible, -16},
                              {"hidden", hidden, -17},       {"fireball", fireball, -19},
                              {"bonus", bonus, -18},         {"wiskin", wiskin, -16},
                              {"splash", splash, -18},       {"pdeath1", pdeath1, -16},
                              {"pdeath2", pdeath2, -16},     {"witch", witch, -16},
                              {"edeath", edeath, -18},       {"splat", splat, -18},
                              {"powerdwn", powerdwn, -16},   {"scorpshot", scorpshot, -20},
                              {"cannon", cannon, -18},       {"hbthrow", hbthrow, -20},
                              {"efireball", efireball, -18}};
    bool ok = true;
    for (const Effect& e : effects) {
        noise_state = 12345;
        Buffer b = e.make();
        set_level(b, e.loudest_db, 0.3f);
        ok = encode(b, nullptr, dir + "/" + e.name + ".ogg", 0.3f) && ok;
    }
    noise_state = 777;
    const Music m = make_music(0.141f, 0.5f); // -17 dB RMS, peaks rounded off under -6 dB
    // A browser downloads the music: this quality keeps it under 2 MB.
    ok = encode(m.left, &m.right, dir + "/tilesong.ogg", 0.0f) && ok;
    if (describe) {
        for (const std::string& s : m.sections) std::printf("%s\n", s.c_str());
        std::printf("%d bars, %.1f s; the longest run of one bar repeated whole: %d\n", m.bars,
                    double(m.left.size()) / kRate, m.longest_repeat);
    }
    if (!ok) std::fprintf(stderr, "soundgen: could not write every sound to %s\n", dir.c_str());
    // A score with a misshapen bar, or one bar played more than four times running, is refused.
    if (m.score_errors > 0 || m.longest_repeat > 4) {
        std::fprintf(stderr, "soundgen: the score has %d misshapen lines or bars and repeats a bar %d times running\n",
                     m.score_errors, m.longest_repeat);
        ok = false;
    }
    return ok ? 0 : 1;
}
