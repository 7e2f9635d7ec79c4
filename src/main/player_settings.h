// The settings around one run of the game: read before anything opens, handed to the engine (key
// bindings, pads) and to the game (effects and music), and what the player switched while
// playing kept in the file when the run ends. The command line wins, for its run only.
#pragma once

#include <optional>

#include "main/options.h"
#include "flow/main_loop.h"
#include "main/settings_file.h"

struct PlayerSettings {
    SettingsFile file;
    Settings now; // in force: the file's values, then what the player switches while playing
    Options options;
};

// Reads the player's settings file, or the one named by --config.
PlayerSettings LoadPlayerSettings(const Options& options);
// The picture as the settings file has it (the command line goes over it: ChooseDisplay).
DisplayChoices SavedDisplay(const PlayerSettings& settings);
// Gives the key bindings to the engine and the pad settings (with the gamecontrollerdb.txt
// beside the settings file, when there is one) to its platform; returns what the run starts with.
RunChoices UsePlayerSettings(const PlayerSettings& settings);
// After the run: keeps the effects and music as the player left them (not when the command line
// chose them for this run), and full screen or window when the player switched it while playing.
void KeepPlayerSettings(PlayerSettings& settings, std::optional<bool> fullscreen_now = std::nullopt);
