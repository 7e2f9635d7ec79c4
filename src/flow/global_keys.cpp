// The keys that work in every state: F1 back to the title, F2 effects, F3 music, Space pause.
#include "flow/global_keys.h"

#include "flow/present_frame.h"
#include "game/game.h"
#include "game/media.h"
#include "game/text.h"

void key_inputs() {
    if (KeyWasHit(KEY_F1)) { // F1: back to the title
        Cls();
        show_frame_only();
        wait_ms(1000);
        Cls();
        game.scmx = 640;
        game.scmy = 200;
        game.curplayer = 0;
        game.state = STATE_TITLE;
        demo_index = 0;
        demo_number = 1;
        demo_active = 0;
    }
    // F2: effects (not while a demo plays with the sound muted)
    if (KeyWasHit(KEY_F2) && demo_active == 0) game.sound = game.sound != 0 ? 0 : 1;
    if (KeyWasHit(KEY_F3)) { // F3: music
        game.music = game.music != 0 ? 0 : 1;
        music_channel.SetPaused(game.music != 0 ? 0 : 1);
    }
    const bool pause_hit = KeyWasHit(KEY_SPACE) || JoyButtonHit(2, 0);
    if (pause_hit && game.state == STATE_PLAY) {
        draw_shadow_text(0, 200, 0, 255, 0, "** Paused **", 1);
        show_frame_only();
        while (true) {
            if (KeyWasHit(KEY_SPACE) || JoyButtonHit(0, 0) || JoyButtonHit(2, 0)) break;
            if (CloseRequested()) {
                game.state = STATE_QUIT;
                break;
            }
            DelayMs(1);
        }
    }
}
