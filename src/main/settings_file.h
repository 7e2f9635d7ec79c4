// The settings file on disk: where it lives, reading it (it is written with the defaults on the
// first run), and keeping what changed. Every problem is reported on stderr and the game plays
// on: with the defaults for what could not be read, without saving what could not be written.
#pragma once

#include <filesystem>

#include "main/settings.h"

// $XDG_CONFIG_HOME/pumko/settings.conf, else ~/.config/pumko/settings.conf; empty when neither
// folder is known.
std::filesystem::path PlayerSettingsPath();

struct SettingsFile {
    std::filesystem::path path;
    Settings loaded;       // as read, with the defaults where the file had nothing usable
    bool writable = false; // false when the file could not be read (it is never overwritten then)
                           // and after a failed write (reported once)
};

// Reads the file, or creates it (and its folder) with the defaults when it does not exist.
SettingsFile OpenSettingsFile(const std::filesystem::path& path);
// Writes the values of `now` that differ from those loaded into the file as it is now, keeping
// every other line; nothing is written when nothing changed.
void SaveSettingsFile(SettingsFile& file, const Settings& now);
