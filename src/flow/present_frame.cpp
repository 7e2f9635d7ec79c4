// The step that ends every frame of every screen loop.
#include "flow/media.h"
#include "game/game.h"

void show_frame_only() { ShowFrame(frame_sync != 0 ? 1 : -1); }

void present_frame() {
    show_frame_only();
    if (AppIsSuspended()) {
        if (game.music != 0) music_channel.SetPaused(1);
        // Nothing is drawn and nothing advances while another application has the focus.
        while (AppIsSuspended()) DelayMs(1);
        if (game.music != 0) music_channel.SetPaused(0);
    }
}
