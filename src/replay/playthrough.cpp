#include "replay/playthrough.h"

#include <algorithm>

#include "game/media.h"
#include "game/game.h"
#include "flow/main_loop.h"
#include "flow/global_keys.h"
#include "flow/hud.h"
#include "flow/states.h"

void RegisterGameResources();

bool PrepareHeadlessGame() {
    RegisterGameResources();
    SetAppTitle("Pumko: The Witch of Sahrim");
    if (!OpenDisplay(640, 480, 32, 60, 2)) return false;
    SetDefaultImageFlags(9);
    game = game_tag{};
    fireball = fireball_tag{};
    map_tag::Create();
    player_tag::Create();
    game.sound = 0;
    game.music = 0;
    load_media();
    game.soundset = 1;
    game.autoturbo = 1;
    return true;
}

int WitchInterval(int level) { return std::max(700 - 100 * (level - 1), 200); }

void StartArea(int level, int area, int32_t seed, int players) {
    game.curplayer = 0;
    game.players = players - 1;
    start_new();
    for (player_tag& p : player_slot) {
        p.level = level;
        p.area = area;
    }
    game.fireballmaxtmr = WitchInterval(level);
    SeedRandom(seed);
    game.state = STATE_INTRO;
    level_intro();
}

int PlayOneFrame(const FrameInput& in, FrameInput& held) {
    ApplyFrameInput(in, held);
    Cls();
    ResetCollisionLayers(0);
    key_inputs();
    play_game();
    display();
    return game.state;
}

bool RunUntilPlay() {
    while (game.state != STATE_PLAY) {
        if (game.state != STATE_LEVELEND && game.state != STATE_DEATH && game.state != STATE_GAMEOVER &&
            game.state != STATE_INTRO)
            return false;
        RunMainLoopPass();
    }
    return true;
}
