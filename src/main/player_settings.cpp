#include "main/player_settings.h"

#include <cstdio>

#include "engine/engine.h"
#include "engine/platform.h"
#include "game/game.h"
#include "main/display_setup.h"

PlayerSettings LoadPlayerSettings(const Options& options) {
    PlayerSettings s;
    s.options = options;
    s.file = OpenSettingsFile(options.config.empty() ? PlayerSettingsPath() : std::filesystem::path(options.config));
    s.now = s.file.loaded;
    return s;
}

DisplayChoices SavedDisplay(const PlayerSettings& s) {
    DisplayChoices d;
    d.fullscreen = s.now.fullscreen;
    d.scale = s.now.scale;
    d.renderer = s.now.renderer;
    return d;
}

RunChoices UsePlayerSettings(const PlayerSettings& s) {
    SetKeyMap(KeyMapFor(s.now.keys));
    PadOptions pads;
    pads.dead_zone = s.now.dead_zone;
    if (!s.file.path.empty()) {
        const std::filesystem::path db = s.file.path.parent_path() / "gamecontrollerdb.txt";
        std::error_code ec;
        if (std::filesystem::is_regular_file(db, ec)) pads.mapping_file = db.string();
    }
    Platform* platform = EnginePlatform();
    if (platform && !platform->ConfigurePads(pads))
        std::fprintf(stderr, "pumko: cannot read the pad mappings in %s\n", pads.mapping_file.c_str());
    RunChoices run;
    run.sound = s.now.effects && !s.options.nosound ? 1 : 0;
    run.music = s.now.music && !s.options.nomusic ? 1 : 0;
    return run;
}

void KeepPlayerSettings(PlayerSettings& s, std::optional<bool> fullscreen_now) {
    // A window mode the command line chose stays out of the file unless the player switched it.
    const bool started_fullscreen = ChooseDisplay(s.options, SavedDisplay(s)).fullscreen;
    if (fullscreen_now && *fullscreen_now != started_fullscreen) s.now.fullscreen = *fullscreen_now;
    // While the attract demo plays the effects are muted and the player's setting waits aside.
    const int effects = demo_active != 0 ? game.soundset : game.sound;
    if (!s.options.nosound) s.now.effects = effects != 0;
    if (!s.options.nomusic) s.now.music = game.music != 0;
    SaveSettingsFile(s.file, s.now);
}
