// The step that ends every frame of every screen loop, and the waits between frames.
#include <algorithm>

#include "game/media.h"
#include "game/game.h"
#include "flow/present_frame.h"

void show_frame_only() { ShowFrame(frame_sync != 0 ? 1 : -1); }

// A close request (the window's, SIGTERM's or SIGHUP's) ends the program from any screen loop
// or wait: through the shutdown, which saves the top score.
[[noreturn]] static void quit_now() {
    game.state = STATE_QUIT;
    throw QuitRequested{};
}

void present_frame() {
    show_frame_only();
    if (CloseRequested()) quit_now();
    if (AppIsSuspended()) {
        if (game.music != 0) music_channel.SetPaused(1);
        // Nothing is drawn and nothing advances while another application has the focus, or the
        // window is minimised; closing it (or SIGTERM) meanwhile ends the program.
        while (AppIsSuspended()) {
            if (CloseRequested()) quit_now();
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

void wait_ms(int ms) {
    const int start = MilliTime();
    while (true) {
        if (CloseRequested()) quit_now();
        const int left = ms - MilliSince(start);
        if (left <= 0) return;
        DelayMs(std::min(left, 5));
    }
}
