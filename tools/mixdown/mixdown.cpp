// The mixdown: plays each of the game's sound files through the game's own mixer (headless, by
// hand) and writes what comes out as a 16-bit stereo WAV, then prints its length and levels. The
// music is played twice round its loop so the join can be heard, and the largest step between
// neighbouring samples at the join is printed beside the largest anywhere else: a click at the
// join shows as a step far above the rest.
//
//   mixdown DATA_DIR OUT_DIR
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/mixer.h"
#include "engine/platform/headless/headless_platform.h"

namespace {
constexpr int kRate = 44100;
constexpr int kFragment = 512;

void Put32(std::FILE* f, uint32_t v) {
    const unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::fwrite(b, 1, 4, f);
}
void Put16(std::FILE* f, uint16_t v) {
    const unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& stereo) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const uint32_t bytes = uint32_t(stereo.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    Put32(f, 36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    Put32(f, 16);
    Put16(f, 1); // PCM
    Put16(f, 2);
    Put32(f, kRate);
    Put32(f, kRate * 4);
    Put16(f, 4);
    Put16(f, 16);
    std::fwrite("data", 1, 4, f);
    Put32(f, bytes);
    for (int16_t s : stereo) Put16(f, uint16_t(s));
    const bool ok = std::ferror(f) == 0;
    return std::fclose(f) == 0 && ok;
}

double Db(double v) { return v > 0 ? 20.0 * std::log10(v / 32768.0) : -999.0; }

struct Levels {
    double peak = 0, rms = 0;
    int clipped = 0;
};

Levels Measure(const std::vector<int16_t>& s) {
    Levels l;
    double sum = 0;
    for (int16_t v : s) {
        const double a = std::abs(double(v));
        l.peak = std::max(l.peak, a);
        sum += a * a;
        if (v == 32767 || v == -32768) ++l.clipped;
    }
    l.rms = s.empty() ? 0 : std::sqrt(sum / double(s.size()));
    return l;
}

// Mixes fragment by fragment until the channel stops or `max_frames` are out.
std::vector<int16_t> Render(HeadlessPlatform& platform, const TChannel& ch, size_t max_frames) {
    std::vector<int16_t> out;
    std::vector<int16_t> frag(kFragment * 2);
    // The first fragment holds the start delay; stop once the voice has played and ended.
    while (out.size() / 2 < max_frames) {
        platform.MixAudio(frag.data(), kFragment);
        out.insert(out.end(), frag.begin(), frag.end());
        if (out.size() / 2 > size_t(kRate / 20) && !ch.Playing()) break;
    }
    // Drop the start delay's silence, so the file starts with the sound.
    size_t first = 0;
    while (first < out.size() && out[first] == 0) ++first;
    out.erase(out.begin(), out.begin() + long(first & ~size_t(1)));
    return out;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: mixdown DATA_DIR OUT_DIR\n");
        return 2;
    }
    const std::string in = argv[1], out = argv[2];
    static const char* const effects[] = {
        "boing",      "jump",   "magic",    "bonk",      "bash",   "powerup", "popout",   "runestone", "extralife",
        "invincible", "hidden", "fireball", "bonus",     "wiskin", "splash",  "pdeath1",  "pdeath2",   "witch",
        "edeath",     "splat",  "powerdwn", "scorpshot", "cannon", "hbthrow", "efireball"};

    HeadlessPlatform platform;
    platform.EnableAudio(true);
    EngineInit(&platform);
    SoundReopen();
    int failures = 0;
    std::printf("%-11s %7s %9s %9s %8s\n", "sound", "seconds", "peak dB", "rms dB", "clipped");
    for (const char* name : effects) {
        TSound s = TSound::Load(in + "/" + name + ".ogg", 0);
        if (!s) {
            std::printf("%-11s missing or broken\n", name);
            ++failures;
            continue;
        }
        TChannel ch = AllocChannel();
        s.Play(ch);
        const std::vector<int16_t> mixed = Render(platform, ch, size_t(kRate) * 10);
        const Levels l = Measure(mixed);
        std::printf("%-11s %7.2f %9.1f %9.1f %8d\n", name, double(s.data->length) / s.data->rate, Db(l.peak), Db(l.rms),
                    l.clipped);
        if (!WriteWav(out + "/" + name + ".wav", mixed)) ++failures;
        ch.Stop();
    }

    TSound music = TSound::Load(in + "/tilesong.ogg", 1) /* looping */;
    if (!music) {
        std::printf("tilesong    missing or broken\n");
        return 1;
    }
    const double seconds = double(music.data->length) / music.data->rate;
    TChannel ch = AllocChannel();
    music.Play(ch);
    const size_t loop_frames = size_t(double(music.data->length) * kRate / music.data->rate);
    const std::vector<int16_t> mixed = Render(platform, ch, loop_frames * 2 + kRate);
    ch.Stop();
    const Levels l = Measure(mixed);
    std::printf("%-11s %7.2f %9.1f %9.1f %8d\n", "tilesong", seconds, Db(l.peak), Db(l.rms), l.clipped);

    // The step between neighbouring left samples at the join, against the largest step anywhere.
    auto step = [&](size_t frame) { return std::abs(int(mixed[frame * 2]) - int(mixed[frame * 2 - 2])); };
    int join = 0, elsewhere = 0;
    for (size_t f = loop_frames - 4; f <= loop_frames + 4 && f * 2 < mixed.size(); ++f) join = std::max(join, step(f));
    for (size_t f = 1; f < loop_frames - 8; ++f) elsewhere = std::max(elsewhere, step(f));
    std::printf("loop join: largest step %d at the join, %d elsewhere\n", join, elsewhere);
    if (!WriteWav(out + "/tilesong.wav", mixed)) ++failures;
    EngineShutdown();
    return failures == 0 ? 0 : 1;
}
