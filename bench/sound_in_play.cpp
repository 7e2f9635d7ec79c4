// What a player hears in play: replays recordings headless with the sound files of DATA_DIR, mixes
// what the game plays through its own mixer as the virtual clock runs, and prints the levels of
// the frames of play. Each recording is played three times (music and effects, music alone,
// effects alone; the simulation is the same each time), so the effects can be set against the
// music heard at the same moment.
//
//   bench_sound_in_play DATA_DIR [WAV_OUT] [RECORDING_NAME...]
//
// Without names, every recording in assets/recordings. WAV_OUT ("-" for none) receives what the
// first recording's play sounds like with music and effects.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/mixer.h"
#include "replay/recording.h"
#include "replay/replay.h"
#include "support/scenario.h"

namespace {

constexpr int kRate = 44100;
constexpr int kWindow = kRate / 20; // 50 ms

struct Played {
    double seconds = 0;            // of play
    long clipped = 0;              // samples at full scale in play
    double sum_sq = 0, peak = 0;   // over play, both channels
    std::vector<double> window_ms; // mean square of each 50 ms window of play
    std::vector<int16_t> wav;      // play, stereo (when asked)
};

double Db(double mean_square) { return mean_square > 0 ? 10.0 * std::log10(mean_square) - 90.309 : -200.0; }

Played Play(const std::string& data_dir, const Recording& rec, bool effects, bool music, bool keep_wav) {
    namespace fs = std::filesystem;
    Played out;
    SoundReopen();
    Scenario sc("sound-in-play");
    for (const auto& entry : fs::directory_iterator(data_dir))
        if (entry.path().extension() == ".ogg")
            fs::copy_file(entry.path(), sc.Folder() / "data" / entry.path().filename());
    sc.choices.sound = effects ? 1 : 0;
    sc.choices.music = music ? 1 : 0;
    sc.Platform().EnableAudio(true);

    size_t applied = 0;
    bool titled = false, seeded = false, finished = false; // the game's state lingers from the last run
    FrameInput held;
    uint64_t mixed = 0;
    std::vector<int16_t> frag(512 * 2);
    double window_sum = 0;
    int window_fill = 0;
    sc.EveryFrame([&] {
        // Everything due by the virtual clock, counted as play when the frame just shown was one.
        const bool in_play = seeded && game.state == STATE_PLAY;
        const uint64_t due = uint64_t(sc.Platform().Millis()) * kRate / 1000;
        while (mixed + 512 <= due) {
            sc.Platform().MixAudio(frag.data(), 512);
            mixed += 512;
            if (!in_play) continue;
            for (int i = 0; i < 512; ++i) {
                for (int c = 0; c < 2; ++c) {
                    const int16_t v = frag[size_t(i * 2 + c)];
                    const double a = std::abs(double(v));
                    out.peak = std::max(out.peak, a);
                    out.sum_sq += a * a;
                    window_sum += a * a;
                    if (v == 32767 || v == -32768) ++out.clipped;
                }
                if (++window_fill == kWindow) {
                    out.window_ms.push_back(window_sum / (2.0 * kWindow));
                    window_sum = 0;
                    window_fill = 0;
                }
            }
            out.seconds += 512.0 / kRate;
            if (keep_wav) out.wav.insert(out.wav.end(), frag.begin(), frag.end());
        }
        if (finished) return;
        titled = titled || game.state == STATE_TITLE;
        if (titled && !seeded && game.state == STATE_INTRO) { // as the replays: the intro has not loaded its area yet
            SendToRecordingStart(rec);
            seeded = true;
            // The media are loaded (cutting the sprite sheet needs the renderer); play does not draw.
            sc.Platform().SetRendering(false);
            return;
        }
        if (applied < rec.frames.size()) {
            if (seeded && game.state == STATE_PLAY && demo_active == 0) ApplyFrameInput(rec.frames[applied++], held);
            return;
        }
        if (game.state != STATE_LEVELEND && game.state != STATE_DEATH) finished = true;
    });
    sc.When([&] { return game.state == 0 && sc.Frame() >= 3; }, [&] { sc.Press(KEY_LCONTROL); });
    sc.When([] { return game.state == STATE_TITLE; },
            [&] {
                if (rec.players == 2) sc.Press(KEY_DOWN);
                sc.Press(KEY_LCONTROL);
            });
    sc.When([&] { return finished; }, [] {});
    sc.Run(int(rec.frames.size()) * 2 + 20000);
    return out;
}

void Put(std::FILE* f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) std::fputc(int((v >> (8 * i)) & 0xff), f);
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& stereo) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const uint32_t bytes = uint32_t(stereo.size() * 2);
    std::fputs("RIFF", f);
    Put(f, 36 + bytes, 4);
    std::fputs("WAVEfmt ", f);
    Put(f, 16, 4);
    Put(f, 1, 2);
    Put(f, 2, 2);
    Put(f, kRate, 4);
    Put(f, kRate * 4, 4);
    Put(f, 4, 2);
    Put(f, 16, 2);
    std::fputs("data", f);
    Put(f, bytes, 4);
    for (int16_t s : stereo) Put(f, uint16_t(s), 2);
    return std::fclose(f) == 0;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_sound_in_play DATA_DIR [WAV_OUT] [RECORDING_NAME...]\n");
        return 2;
    }
    const std::string data_dir = fs::absolute(argv[1]).string();
    const std::string wav_out = argc > 2 && std::string(argv[2]) != "-" ? fs::absolute(argv[2]).string() : "";
    std::vector<std::string> names;
    for (int i = 3; i < argc; ++i) names.push_back(argv[i]);
    std::vector<std::string> errors;
    std::vector<NamedRecording> all = LoadRecordings(std::string(PUMKO_SOURCE_DIR) + "/assets/recordings", errors);
    for (const std::string& e : errors) std::fprintf(stderr, "bench_sound_in_play: %s\n", e.c_str());
    std::vector<NamedRecording> chosen;
    for (NamedRecording& n : all)
        if (names.empty() || std::find(names.begin(), names.end(), n.name) != names.end()) chosen.push_back(n);
    if (chosen.empty()) {
        std::fprintf(stderr, "bench_sound_in_play: no recordings\n");
        return 1;
    }

    std::printf("%-16s %7s %9s %9s %9s %9s %9s %8s\n", "recording", "seconds", "music dB", "fx dB", "both dB",
                "peak dB", "fx-music", "clipped");
    double seconds = 0, music_sq = 0, fx_sq = 0, both_sq = 0, peak = 0;
    long clipped = 0;
    std::vector<double> over; // effects above the music, dB, in each 50 ms window where effects sound
    for (size_t k = 0; k < chosen.size(); ++k) {
        const Recording& rec = chosen[k].rec;
        Played both = Play(data_dir, rec, true, true, k == 0 && !wav_out.empty());
        const Played music = Play(data_dir, rec, false, true, false);
        const Played fx = Play(data_dir, rec, true, false, false);
        const size_t windows = std::min({both.window_ms.size(), music.window_ms.size(), fx.window_ms.size()});
        std::vector<double> here;
        for (size_t w = 0; w < windows; ++w)
            if (Db(fx.window_ms[w]) > -60.0) here.push_back(Db(fx.window_ms[w]) - Db(music.window_ms[w]));
        over.insert(over.end(), here.begin(), here.end());
        const double n = std::max(1.0, both.seconds * kRate * 2);
        std::printf("%-16s %7.1f %9.1f %9.1f %9.1f %9.1f %9.1f %8ld\n", chosen[k].name.c_str(), both.seconds,
                    Db(music.sum_sq / n), Db(fx.sum_sq / n), Db(both.sum_sq / n), Db(both.peak * both.peak),
                    Percentile(here, 0.5), both.clipped);
        seconds += both.seconds;
        music_sq += music.sum_sq;
        fx_sq += fx.sum_sq;
        both_sq += both.sum_sq;
        peak = std::max(peak, both.peak);
        clipped += both.clipped;
        if (!both.wav.empty() && !WriteWav(wav_out, both.wav))
            std::fprintf(stderr, "bench_sound_in_play: cannot write %s\n", wav_out.c_str());
    }
    const double n = std::max(1.0, seconds * kRate * 2);
    std::printf("%-16s %7.1f %9.1f %9.1f %9.1f %9.1f %9.1f %8ld\n", "all", seconds, Db(music_sq / n), Db(fx_sq / n),
                Db(both_sq / n), Db(peak * peak), Percentile(over, 0.5), clipped);
    std::printf("clipped samples per minute of play: %.1f\n", seconds > 0 ? clipped * 60.0 / seconds : 0.0);
    std::printf("effects above the music in the 50 ms windows where effects sound (%zu): median %.1f dB, "
                "90th percentile %.1f dB, loudest %.1f dB\n",
                over.size(), Percentile(over, 0.5), Percentile(over, 0.9), Percentile(over, 1.0));
    return 0;
}
