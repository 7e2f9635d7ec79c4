// Program entry: the command line and the player's settings, then the real game on the SDL platform.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "editor/editor_screen.h"
#include "engine/engine.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/frame_meter.h"
#include "engine/platform/sdl/sdl_display.h"
#include "engine/platform/sdl/sdl_platform.h"
#include "engine/replace_file.h"
#include "game/game.h"
#include "main/custom_area_file.h"
#include "main/display_setup.h"
#include "main/options.h"
#include "main/player_settings.h"
#include "flow/main_loop.h"
#include "flow/present_frame.h"
#include "flow/states.h"
#include "flow/topscore.h"
#include "replay/game_recorder.h"
#include "replay/play_clock.h"
#include "replay/replay.h"
#include "replay/timedemo.h"
#include "replay/watched_platform.h"

namespace {
SdlDisplay* shown_display = nullptr; // for the play-frame cue, which takes no arguments
PlayClock* shown_clock = nullptr;
bool live_input = false; // the input display reads the devices
std::string input_text;

bool WriteRecording(const std::string& path, const Recording& rec) {
    const std::string text = rec.ToText();
    std::string reason;
    if (!ReplaceFile(path, text.data(), text.size(), reason)) {
        std::fprintf(stderr, "pumko: could not write the recording %s (%s)\n", path.c_str(), reason.c_str());
        return false;
    }
    return true;
}

bool ReadRecording(const char* option, const std::string& path, Recording& rec) {
    std::string error;
    if (Recording::Load(path, rec, error)) return true;
    std::fprintf(stderr, "pumko: %s: %s\n", option, error.c_str());
    return false;
}

SdlPlatform* the_platform = nullptr; // for the display-lost step, which takes none either
PlayerSettings* kept_settings = nullptr;

bool keep_top_score = true; // not while another player's recording plays back
GameRecorder* kept_recorder = nullptr; // --record: the game so far is written too
std::string kept_recording_path;

// The connection to the display is gone and the process ends at once: what the shutdown would
// have kept is kept now (the top score only once it has been read).
void KeepWhatTheShutdownWould() {
    count_scores();
    if (keep_top_score) topscore_file(1);
    if (kept_settings != nullptr) KeepPlayerSettings(*kept_settings, the_platform->IsFullscreen());
    if (kept_recorder != nullptr && kept_recorder->Started() && !kept_recorder->Ended())
        WriteRecording(kept_recording_path, kept_recorder->Snapshot());
}

// --help and --version: the text on stdout, and a failure to write it (a full disk, a closed pipe)
// said on stderr with exit 1.
int PrintOut(const std::string& text) {
    errno = 0;
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::fprintf(stderr, "pumko: cannot write to the standard output: %s\n",
                 errno != 0 ? std::strerror(errno) : "write error");
    return 1;
}
} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    switch (ParseOptions(argc, argv, options, error)) {
    case ParseOutcome::Help: return PrintOut(HelpText());
    case ParseOutcome::Version: return PrintOut(VersionText());
    case ParseOutcome::Error:
        std::fprintf(stderr, "pumko: %s\n%s\nTry 'pumko --help' for the options.\n", error.c_str(),
                     UsageLine().c_str());
        return EXIT_USAGE;
    case ParseOutcome::Run: break;
    }
    for (const std::string& note : options.notes) std::fprintf(stderr, "pumko: %s\n", note.c_str());
    SetupDataFolders(options.data_dir);
    if (!options.area.empty() && !UseCustomArea(options.area)) return 1;
    editor::OpenedArea edited;
    if (!options.edit.empty()) {
        std::vector<std::string> errors;
        if (!editor::OpenForEditing(options.edit, edited, errors)) {
            for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
            std::fprintf(stderr, "pumko: %s cannot be edited\n", options.edit.c_str());
            return 1;
        }
    }
    // A recording is read and checked whole before any display opens.
    Recording timedemo, demo;
    if (!options.timedemo.empty() && !ReadRecording("--timedemo", options.timedemo, timedemo)) return 1;
    if (!options.playdemo.empty()) {
        if (!ReadRecording("--playdemo", options.playdemo, demo)) return 1;
        const std::string why = WhyOutOfStep(demo, VersionNumber());
        if (!why.empty()) {
            std::fprintf(stderr, "pumko: --playdemo: %s cannot be played back in step: %s\n", options.playdemo.c_str(),
                         why.c_str());
            return 1;
        }
    }

    PlayerSettings settings = LoadPlayerSettings(options);
    SdlPlatform platform(ChooseDisplay(options, SavedDisplay(settings)));
    WatchedPlatform watched(platform);
    EngineInit(&watched);
    shown_display = &platform.Display();

    // The clock and the input display, drawn over the picture at present time.
    std::unique_ptr<PlayClock> clock;
    if (options.show_timer || settings.now.timer) clock = std::make_unique<PlayClock>(HostPath("data\\besttimes.txt"));
    shown_clock = clock.get();
    live_input = options.show_input && options.record.empty() && options.playdemo.empty();
    before_play_frame_shown = [] {
        shown_display->MarkPlayFrame();
        if (live_input) input_text = ControlsText(HeldControls());
    };
    auto clock_frame = [] { shown_clock->PlayFrame(); };
    if (clock) AddBeforePlayFrame(clock_frame);
    if (clock || options.show_input)
        platform.Display().SetExtraOverlay([&clock, &options] {
            std::vector<OverlayLine> lines;
            if (game.state == STATE_TITLE || game.state == 0) return lines;
            if (clock) {
                int y = 44;
                for (const std::string& l : clock->Lines()) {
                    lines.push_back({l, 636, y, true});
                    y += 10;
                }
            }
            if (options.show_input && !input_text.empty()) lines.push_back({input_text, 4, 436, false});
            return lines;
        });

    std::unique_ptr<GameRecorder> recorder;
    std::unique_ptr<ReplayDriver> driver;
    int presented = 0, release = 0;
    if (!options.record.empty()) {
        watched.input = WatchedPlatform::Input::Recording;
        recorder = std::make_unique<GameRecorder>(VersionNumber(), &watched);
        recorder->on_save = [&options](const Recording& rec, bool ended) {
            if (WriteRecording(options.record, rec) && ended)
                std::fprintf(stderr, "pumko: the game is recorded in %s (%zu play frames)\n", options.record.c_str(),
                             rec.frames.size());
        };
    } else if (!options.playdemo.empty()) {
        watched.input = WatchedPlatform::Input::Playback;
        driver = std::make_unique<ReplayDriver>(demo, options.playdemo, true);
        driver->compare_pictures = false; // the window's renderer draws them its own way
        watched.after_resume = [&driver] { driver->Resumed(); };
    }
    watched.after_present = [&] {
        if (clock) clock->AfterFrame();
        if (recorder) {
            recorder->AfterFrame();
            if (options.show_input) input_text = ControlsText(recorder->LastInput());
        }
        if (driver) {
            if (release != 0) { // a key the driver pressed is let go a frame later
                PlatformEvent up{};
                up.type = PlatformEvent::KeyUp;
                up.code = release;
                InjectInputEvent(up);
                release = 0;
            }
            const bool over = driver->AfterFrame(++presented, [&release](int code) {
                PlatformEvent down{};
                down.type = PlatformEvent::KeyDown;
                down.code = code;
                InjectInputEvent(down);
                release = code;
            });
            if (options.show_input) input_text = ControlsText(driver->Held());
            if (over || !driver->Progress().first_difference.empty()) { // at the end, or out of step
                PlatformEvent close{};
                close.type = PlatformEvent::Close;
                InjectInputEvent(close);
            }
        }
    };

    RunChoices choices = UsePlayerSettings(settings);
    if (driver) {
        // The recording sets the switches it was made with; the top score it reaches is not ours.
        choices.sound = choices.music = 1;
        choices.keep_top_score = false;
    }
    keep_top_score = choices.keep_top_score;
    kept_recorder = recorder.get();
    kept_recording_path = options.record;
    the_platform = &platform;
    if (options.timedemo.empty()) kept_settings = &settings;
    platform.OnDisplayLost(&KeepWhatTheShutdownWould);
    int code = 0;
    if (!options.edit.empty()) {
        code = editor::RunEditor(std::move(edited), choices);
    } else if (options.timedemo.empty()) {
        code = RunGame(choices);
    } else {
        try {
            code = RunTimedemo(options.timedemo, timedemo);
        } catch (const QuitRequested&) {
            // Closed during the area's intro, before the timed frames.
        }
    }
    before_play_frame_shown = nullptr;
    if (clock) RemoveBeforePlayFrame(clock_frame);
    watched.after_present = nullptr;
    kept_recorder = nullptr; // written below, and gone before the platform is
    if (options.show_fps && options.timedemo.empty()) {
        const FrameMeter& meter = platform.Display().Meter();
        std::fputs(DescribeFrameSummary(meter.SummarizePlay(), "in play").c_str(), stdout);
        std::fputs(DescribeFrameSummary(meter.Summarize(ProcessCpuMs()), "all frames").c_str(), stdout);
    }
    if (clock && !driver) clock->Save(); // a playback's times are not the watcher's own
    if (recorder) {
        // Ended by Escape, a close or SIGTERM in the middle of the game: kept as far as it went.
        if (recorder->Started() && !recorder->Ended()) {
            const Recording rec = recorder->Snapshot();
            if (WriteRecording(options.record, rec))
                std::fprintf(stderr, "pumko: the game is recorded in %s (%zu play frames)\n", options.record.c_str(),
                             rec.frames.size());
            else
                code = 1;
        } else if (!recorder->Started()) {
            std::fprintf(stderr, "pumko: no game was started, so %s was not written\n", options.record.c_str());
        }
    }
    if (driver) {
        const ReplayResult r = driver->Finish();
        if (driver->Finished() && r.first_difference.empty())
            std::printf("playdemo %s: %zu of %zu frames, every checkpoint matched\n", options.playdemo.c_str(),
                        r.frames_played, demo.frames.size());
        else if (!r.first_difference.empty() && driver->Progress().checks.size() > 0 &&
                 r.first_difference.rfind("the replay ended", 0) != 0) {
            std::printf("playdemo %s: out of step at %s\n", options.playdemo.c_str(), r.first_difference.c_str());
            code = 1;
        } else
            std::printf("playdemo %s: stopped after %zu of %zu frames\n", options.playdemo.c_str(), r.frames_played,
                        demo.frames.size());
    }
    driver.reset();
    recorder.reset();
    EngineShutdown();
    if (code == 0 && options.timedemo.empty() && options.playdemo.empty())
        KeepPlayerSettings(settings, platform.IsFullscreen());
    return code;
}
