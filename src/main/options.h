// The command line: what a player can choose for one run. Parsed before anything opens, so
// --help, --version and a mistyped option never need a display.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/display_choice.h"

struct Options {
    // The picture. Unset values fall back to the settings file, then to the defaults.
    std::optional<bool> fullscreen;
    std::optional<ScaleMode> scale;
    std::optional<RendererChoice> renderer;
    bool show_fps = false;
    std::string timedemo; // a recording to play as fast as it can, then report the speed
    std::string record;   // where the game played is kept as a recording
    std::string playdemo; // a recording to play back in the window at the game's speed
    bool show_timer = false; // the area's and the game's time in game steps (also a setting)
    bool show_input = false; // the controls held this frame

    // Settings and sound, for this run only.
    std::string config; // another settings file instead of the player's own
    bool nosound = false;
    bool nomusic = false;

    // Where the game's data lives, and a custom area to play.
    std::string data_dir;
    std::string area;
    std::string edit; // an area source to open in the area editor

    // One line for each choice given twice with different values, saying which one is used.
    std::vector<std::string> notes;
};

enum class ParseOutcome {
    Run,     // play with these options
    Help,    // print HelpText() and exit 0
    Version, // print VersionText() and exit 0
    Error    // print the reason and UsageLine() on stderr and exit 2
};

// Parses argv[1] to argv[argc - 1]. Values follow their option as the next word or after '='
// ("--scale integer", "--scale=integer"). On Error, `error` holds a one-line reason.
ParseOutcome ParseOptions(int argc, const char* const* argv, Options& out, std::string& error);

std::string UsageLine();   // one line: how the program is called
std::string HelpText();    // the usage line, every option, the controls
std::string VersionText(); // program name and version
std::string VersionNumber(); // the version alone ("1.2.0"), as recordings keep it

// Exit codes of the program.
enum { EXIT_USAGE = 2 };
