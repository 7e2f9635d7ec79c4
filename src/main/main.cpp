// Program entry: the command line and the player's settings, then the real game on the SDL platform.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/platform/data_folders.h"
#include "engine/platform/frame_meter.h"
#include "engine/platform/sdl/sdl_display.h"
#include "engine/platform/sdl/sdl_platform.h"
#include "game/game.h"
#include "main/custom_area_file.h"
#include "main/display_setup.h"
#include "main/options.h"
#include "main/player_settings.h"
#include "flow/main_loop.h"
#include "flow/present_frame.h"
#include "flow/states.h"
#include "flow/topscore.h"
#include "replay/timedemo.h"

namespace {
SdlDisplay* shown_display = nullptr; // for the play-frame cue, which takes no arguments
SdlPlatform* the_platform = nullptr; // for the display-lost step, which takes none either
PlayerSettings* kept_settings = nullptr;

// The connection to the display is gone and the process ends at once: what the shutdown would
// have kept is kept now (the top score only once it has been read).
void KeepWhatTheShutdownWould() {
    count_scores();
    topscore_file(1);
    if (kept_settings != nullptr) KeepPlayerSettings(*kept_settings, the_platform->IsFullscreen());
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

    PlayerSettings settings = LoadPlayerSettings(options);
    SdlPlatform platform(ChooseDisplay(options, SavedDisplay(settings)));
    EngineInit(&platform);
    shown_display = &platform.Display();
    the_platform = &platform;
    if (options.timedemo.empty()) kept_settings = &settings;
    platform.OnDisplayLost(&KeepWhatTheShutdownWould);
    before_play_frame_shown = [] { shown_display->MarkPlayFrame(); };
    int code = 0;
    if (options.timedemo.empty()) {
        code = RunGame(UsePlayerSettings(settings));
    } else {
        try {
            code = RunTimedemo(options.timedemo);
        } catch (const QuitRequested&) {
            // Closed during the area's intro, before the timed frames.
        }
    }
    before_play_frame_shown = nullptr;
    if (options.show_fps && options.timedemo.empty()) {
        const FrameMeter& meter = platform.Display().Meter();
        std::fputs(DescribeFrameSummary(meter.SummarizePlay(), "in play").c_str(), stdout);
        std::fputs(DescribeFrameSummary(meter.Summarize(ProcessCpuMs()), "all frames").c_str(), stdout);
    }
    EngineShutdown();
    if (code == 0 && options.timedemo.empty()) KeepPlayerSettings(settings, platform.IsFullscreen());
    return code;
}
