// The player's settings as plain values, and the text of the settings file: read line by line
// (a line it cannot use is reported and that setting keeps its default), written whole on the
// first run, and afterwards changed only where a value changed, keeping every other line.
#pragma once

#include <string>
#include <vector>

#include "engine/display_choice.h"
#include "main/key_bindings.h"

struct Settings {
    KeyBindings keys;
    bool effects = true; // F2
    bool music = true;   // F3
    bool fullscreen = true;
    ScaleMode scale = ScaleMode::Sharp;
    RendererChoice renderer = RendererChoice::Auto;
    float dead_zone = 0.25f; // of the stick's travel
    bool timer = false;      // the clock over the picture, as --show-timer
    bool operator==(const Settings&) const = default;
};

struct SettingsProblem {
    int line;
    std::string text;
};

// Reads a settings file's text. Blank lines and lines starting with '#' are skipped.
Settings ParseSettings(const std::string& text, std::vector<SettingsProblem>& problems);
// The file as first written: every setting, commented.
std::string SettingsFileText(const Settings& settings);
// `text` with the line of every setting that differs between `before` and `now` set to its value
// in `now` (added at the end when the file has no line for it); all other lines as they were.
std::string UpdateSettingsText(const std::string& text, const Settings& before, const Settings& now);
