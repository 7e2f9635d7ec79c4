// The page's entry: the player's files from the browser's storage, an area file the player
// dropped onto the page, then the real game on the browser platform. The top score and the
// settings are written the moment they change (a page can be closed at any time) and handed to
// the page to keep.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/web/web_platform.h"
#include "engine/sound.h"
#include "flow/main_loop.h"
#include "flow/topscore.h"
#include "game/game.h"
#include "main/custom_area_file.h"
#include "main/display_setup.h"
#include "main/options.h"
#include "main/player_settings.h"
#include "web/page_replay.h"

bool WriteGameData(const std::string& folder); // generated with the embedded resources

namespace {
// clang-format off
EM_JS(void, page_keep_files, (), { PumkoPage.keepFiles(); });
EM_JS(void, page_message, (const char* text), { PumkoPage.message(UTF8ToString(text)); });
EM_JS(void, page_ended, (), { PumkoPage.ended(); });
EM_JS(int, page_test_frames, (), { return PumkoPage.testFrames(); });
EM_JS(int, page_music_whole, (), { return /[?&]music=whole/.test(location.search) ? 1 : 0; });
// clang-format on

// Where the page keeps things: the game's read-only data in memory, the player's files in the
// folder the page mounts on the browser's storage.
const char* const kGameData = "/pumko/data";
const char* const kSaved = "/save";

PlayerSettings* g_settings = nullptr;
int32_t g_kept_topscore = 0;
int g_kept_effects = -1, g_kept_music = -1;
PageReplay* g_replay = nullptr; // a recording the page's tests gave the page to play

int EffectsNow() { return demo_active != 0 ? game.soundset : game.sound; }

// After every picture: a new top score or switched effects or music go to storage at once.
void KeepChangedFiles() {
    bool changed = false;
    if (game.topscore != g_kept_topscore) {
        g_kept_topscore = game.topscore;
        topscore_file(1);
        changed = true;
    }
    if (g_settings && (EffectsNow() != g_kept_effects || game.music != g_kept_music)) {
        g_kept_effects = EffectsNow();
        g_kept_music = game.music;
        KeepPlayerSettings(*g_settings);
        changed = true;
    }
    if (changed) page_keep_files();
}
} // namespace

// What the page's tests read of the game: 0 its state, 1 and 2 the hero's place, 3 the score,
// 4 the top score, 5 whether the sound effects are on.
extern "C" EMSCRIPTEN_KEEPALIVE int pumko_web_probe(int what) {
    const player_tag& p = current_player();
    switch (what) {
    case 0: return game.state;
    case 1: return int(p.x);
    case 2: return int(p.y);
    case 3: return p.score;
    case 4: return game.topscore;
    case 5: return EffectsNow();
    default: return 0;
    }
}

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (ParseOptions(argc, argv, options, error) != ParseOutcome::Run) {
        page_message(("pumko: " + error).c_str());
        options = Options{};
    }
    std::error_code ec;
    std::filesystem::create_directories(kGameData, ec);
    std::filesystem::create_directories(std::string(kSaved) + "/data", ec);
    std::filesystem::create_directories(std::string(kSaved) + "/config", ec);
    if (!WriteGameData(kGameData)) std::fprintf(stderr, "pumko: cannot write the game's data in memory\n");
    setenv("XDG_CONFIG_HOME", (std::string(kSaved) + "/config").c_str(), 1);
    SetDataFolders({kGameData, std::string(kSaved) + "/data", true});

    if (!options.area.empty()) {
        std::vector<std::string> errors;
        if (!LoadCustomArea(options.area, errors)) {
            std::string text;
            for (const std::string& e : errors) text += e + "\n";
            std::fputs(text.c_str(), stderr);
            page_message(text.c_str());
        }
    }

    PlayerSettings settings = LoadPlayerSettings(options);
    WebPlatform platform(ChooseDisplay(options, SavedDisplay(settings)));
    EngineInit(&platform);
    const RunChoices choices = UsePlayerSettings(settings);
    g_settings = &settings;
    g_kept_effects = choices.sound;
    g_kept_music = choices.music;
    g_kept_topscore = -1; // set once the game has read the file
    PageReplay replay;
    const char* const test_recording = "/test/recording.txt";
    if (std::filesystem::exists(test_recording, ec)) {
        if (replay.Load(test_recording, size_t(page_test_frames()), error))
            g_replay = &replay;
        else
            page_message(("pumko: " + std::string(test_recording) + ": " + error).c_str());
    }
    // The music is decoded a quarter of a second of it a picture (well ahead of its playing):
    // the first picture need not wait for three minutes of it.
    // (?music=whole decodes it at once, as before, for measuring the difference.)
    SetDeferredSoundDecoding(page_music_whole() == 0);
    platform.SetAfterPresent([] {
        DecodeDeferredSounds(11025);
        if (g_replay) g_replay->AfterPresent();
        if (g_kept_topscore == -1) {
            if (game.state == 0) return; // still starting
            g_kept_topscore = game.topscore;
        }
        KeepChangedFiles();
    });
    const int code = RunGame(choices);
    platform.SetAfterPresent(nullptr);
    g_replay = nullptr;
    EngineShutdown();
    KeepPlayerSettings(settings);
    g_settings = nullptr;
    page_keep_files();
    page_ended();
    return code;
}
