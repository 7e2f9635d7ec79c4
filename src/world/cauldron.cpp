// The cauldron at the end of every area: its bubbling, and the hero jumping in ends the area.
#include "world/cauldron.h"

#include "game/game.h"
#include "game/media.h"

void update_cauldron(int scroll) {
    game.cauldx += scroll;
    if (!(game.cauldx > -40 && game.cauldx < 680)) return;

    game.cauldft += 1;
    if (game.cauldft > 11) {
        game.cauldft = 0;
        game.cauldfc += 1;
        if (game.cauldfc > 2) game.cauldfc = 0;
    }
    const int frame = FRAME_CAULDRON + game.cauldfc;

    player_tag& p = current_player();
    if (ImagesOverlap(sprite_sheet, int(p.x), int(p.y), FRAME_HERO, sprite_sheet, game.cauldx, game.cauldy,
                      FRAME_CAULDRON)) {
        p.x = 0.0f;
        play_sfx(snd_splash);
        specialfx_tag::Create(float(game.cauldx), float(game.cauldy - 42), 0, 0, 0.0f, 0.0f, 0.0f, EFFECT_SPLASH,
                              SPLASH_CAULDRON);
        game.state = STATE_LEVELEND;
    }
    SetDrawScale(1.6f, 1.2f);
    DrawImageFrame(sprite_sheet, float(game.cauldx), float(game.cauldy), frame);
    SetDrawScale(1, 1);
}
