// The step that ends every frame of every screen loop, and the waits between frames.
#include "game/media.h"
#include "game/game.h"
#include "flow/present_frame.h"

void show_frame_only() { ShowFrame(frame_sync != 0 ? 1 : -1); }

void present_frame() {
    show_frame_only();
    if (AppIsSuspended()) {
        if (game.music != 0) music_channel.SetPaused(1);
        // Nothing is drawn and nothing advances while another application has the focus, or the
        // window is minimised; closing it (or SIGTERM) meanwhile ends the program.
        while (AppIsSuspended()) {
            if (CloseRequested()) throw QuitRequested{};
            DelayMs(1);
        }
        if (game.music != 0) music_channel.SetPaused(0);
    }
}

void wait_for_release(bool (*held)()) {
    while (held()) {
        if (CloseRequested()) throw QuitRequested{};
        DelayMs(1);
    }
}
