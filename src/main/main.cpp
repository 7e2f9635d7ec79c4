// Program entry: the command line and the player's settings, then the real game on the SDL platform.
#include <cstdio>

#include "editor/editor_screen.h"
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
#include "replay/timedemo.h"

namespace {
SdlDisplay* shown_display = nullptr; // for the play-frame cue, which takes no arguments
}

int main(int argc, char** argv) {
    Options options;
    std::string error;
    switch (ParseOptions(argc, argv, options, error)) {
    case ParseOutcome::Help: std::fputs(HelpText().c_str(), stdout); return 0;
    case ParseOutcome::Version: std::fputs(VersionText().c_str(), stdout); return 0;
    case ParseOutcome::Error:
        std::fprintf(stderr, "pumko: %s\n%s\nTry 'pumko --help' for the options.\n", error.c_str(),
                     UsageLine().c_str());
        return EXIT_USAGE;
    case ParseOutcome::Run: break;
    }
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

    PlayerSettings settings = LoadPlayerSettings(options);
    SdlPlatform platform(ChooseDisplay(options, SavedDisplay(settings)));
    EngineInit(&platform);
    shown_display = &platform.Display();
    before_play_frame_shown = [] { shown_display->MarkPlayFrame(); };
    int code = !options.edit.empty()     ? editor::RunEditor(std::move(edited), UsePlayerSettings(settings))
               : options.timedemo.empty() ? RunGame(UsePlayerSettings(settings))
                                          : RunTimedemo(options.timedemo);
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
