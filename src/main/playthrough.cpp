#include "main/playthrough.h"

#include "flow/media.h"
#include "game/game.h"

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
    game.load_media();
    game.soundset = 1;
    game.autoturbo = 1;
    return true;
}

void StartArea(int level, int area, int32_t seed) {
    game.curplayer = 0;
    game.players = 0;
    game.start_new();
    current_player().level = level;
    current_player().area = area;
    SeedRandom(seed);
    game.state = STATE_INTRO;
    game.level_intro();
}

int PlayOneFrame(const FrameInput& in, FrameInput& held) {
    ApplyFrameInput(in, held);
    Cls();
    ResetCollisionLayers(0);
    game.key_inputs();
    game.play_game();
    game.display();
    return game.state;
}
