// The mixdown: plays each of the game's sound files through the game's own mixer (headless, by
// hand) and writes what comes out as a 16-bit stereo WAV, then prints its length and levels. The
// music is played twice round its loop so the join can be heard, and the largest step between
// neighbouring samples at the join is printed beside the largest anywhere else: a click at the
// join shows as a step far above the rest. Each effect's level is also set against the music's as
// play has it (the music channel at 0.4): its RMS and its loudest 50 ms, in dB above the music.
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
    double peak = 0, rms = 0, loudest = 0; // loudest: the RMS of the loudest 50 ms
    int clipped = 0;
};

Levels Measure(const std::vector<int16_t>& s) {
    Levels l;
    double sum = 0, window = 0;
    const size_t span = size_t(kRate / 20) * 2;
    for (size_t i = 0; i < s.size(); ++i) {
        const double a = std::abs(double(s[i]));
        l.peak = std::max(l.peak, a);
        sum += a * a;
        window += a * a;
        if (i >= span) window -= double(s[i - span]) * double(s[i - span]);
        if (i + 1 >= std::min(span, s.size())) l.loudest = std::max(l.loudest, window);
        if (s[i] == 32767 || s[i] == -32768) ++l.clipped;
    }
    l.rms = s.empty() ? 0 : std::sqrt(sum / double(s.size()));
    l.loudest = std::sqrt(l.loudest / double(std::max<size_t>(1, std::min(span, s.size()))));
    return l;
}

// The music channel's volume in play.
constexpr double kMusicInPlay = 0.4;

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

    TSound music = TSound::Load(in + "/tilesong.ogg", 1) /* looping */;
    if (!music) {
        std::printf("tilesong    missing or broken\n");
        return 1;
    }
    const double seconds = double(music.data->length) / music.data->rate;
    TChannel ch = AllocChannel();
    music.Play(ch);
    const size_t loop_frames = size_t(double(music.data->length) * kRate / music.data->rate);
    const std::vector<int16_t> song = Render(platform, ch, loop_frames * 2 + kRate);
    ch.Stop();
    const Levels m = Measure(song);
    const double music_in_play = Db(m.rms * kMusicInPlay);

    std::printf("%-11s %7s %9s %9s %9s %14s %8s\n", "sound", "seconds", "peak dB", "rms dB", "50 ms dB",
                "over music dB", "clipped");
    for (const char* name : effects) {
        TSound s = TSound::Load(in + "/" + name + ".ogg", 0);
        if (!s) {
            std::printf("%-11s missing or broken\n", name);
            ++failures;
            continue;
        }
        TChannel fx = AllocChannel();
        s.Play(fx);
        const std::vector<int16_t> mixed = Render(platform, fx, size_t(kRate) * 10);
        const Levels l = Measure(mixed);
        std::printf("%-11s %7.2f %9.1f %9.1f %9.1f %6.1f / %5.1f %8d\n", name, double(s.data->length) / s.data->rate,
                    Db(l.peak), Db(l.rms), Db(l.loudest), Db(l.rms) - music_in_play, Db(l.loudest) - music_in_play,
                    l.clipped);
        if (!WriteWav(out + "/" + name + ".wav", mixed)) ++failures;
        fx.Stop();
    }
    std::printf("%-11s %7.2f %9.1f %9.1f %9.1f %14s %8d\n", "tilesong", seconds, Db(m.peak), Db(m.rms), Db(m.loudest),
                "", m.clipped);
    std::printf("tilesong: %d channel%s, %d Hz; in play (volume %.1f) its RMS is %.1f dB\n", music.data->channels,
                music.data->channels == 1 ? "" : "s", music.data->rate, kMusicInPlay, music_in_play);

    // The step between neighbouring samples of either side at the join, against the largest step
    // anywhere else.
    auto step = [&](size_t frame, int c) {
        return std::abs(int(song[frame * 2 + size_t(c)]) - int(song[frame * 2 - 2 + size_t(c)]));
    };
    // What a click must stand out from is the sound just around it: the steps within 50 ms of
    // the join (the join's own nine frames left out) show how the music moves there.
    int join = 0, elsewhere = 0, around = 0;
    const size_t near = size_t(kRate / 20);
    for (int c = 0; c < 2; ++c) {
        for (size_t f = loop_frames - 4; f <= loop_frames + 4 && f * 2 + 1 < song.size(); ++f)
            join = std::max(join, step(f, c));
        for (size_t f = 1; f < loop_frames - 8; ++f) elsewhere = std::max(elsewhere, step(f, c));
        for (size_t f = loop_frames - near; f <= loop_frames + near && f * 2 + 1 < song.size(); ++f)
            if (f + 4 < loop_frames || f > loop_frames + 4) around = std::max(around, step(f, c));
    }
    std::printf("loop join: largest step %d at the join, %d within 50 ms of it, %d elsewhere\n", join, around,
                elsewhere);
    if (!WriteWav(out + "/tilesong.wav", song)) ++failures;
    EngineShutdown();
    return failures == 0 ? 0 : 1;
}
