// The settings file as the game meets it: read at start-up (every bad line reported, the defaults
// kept for it), then saved with what the player changed in the game, keeping every other line.
// Whatever the file held, reading it again gives back exactly what was saved.
#include <cstdint>
#include <string>

#include "fuzz_file.h"
#include "main/settings_file.h"

namespace {

// What a player may change from the game's menus and keys, picked by the input's own bytes.
Settings Changed(Settings s, const uint8_t* data, size_t size) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
    if (h & 1) s.effects = !s.effects;
    if (h & 2) s.music = !s.music;
    if (h & 4) s.fullscreen = !s.fullscreen;
    if (h & 8) s.scale = ScaleMode((int(s.scale) + 1) % 3);
    if (h & 16) s.renderer = RendererChoice((int(s.renderer) + 1) % 3);
    if (h & 32) s.dead_zone = s.dead_zone == 0.5f ? 0.1f : 0.5f;
    if (h & 64) std::swap(s.keys.key[0], s.keys.key[1]);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz::WriteScratch(data, size, ".conf");
    SettingsFile file = OpenSettingsFile(path);
    if (!file.writable) fuzz::Fail("a regular file's settings cannot be kept");
    const Settings now = Changed(file.loaded, data, size);
    SaveSettingsFile(file, now);
    if (!file.writable || !(file.loaded == now)) fuzz::Fail("the changed settings were not saved");
    if (!(OpenSettingsFile(path).loaded == now)) fuzz::Fail("the saved settings read back different");
    return 0;
}
