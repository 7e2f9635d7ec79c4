// The step that ends every frame of every screen loop, and the waits between frames.
#pragma once

// Present, then wait while the application is suspended. A close request ends the program
// (QuitRequested, with the state set to quit).
void present_frame();
// ShowFrame as present_frame's first step alone.
void show_frame_only();
// DelayMs(ms) that a close request ends at once, as present_frame does.
void wait_ms(int ms);
// Waits while `held` is true: a pad button or axis not yet let go.
void wait_for_release(bool (*held)());
// Thrown at the end of a screen's frame or inside a wait (suspended, a pad not let go, a timed
// pause) when the window is closed or the program is told to end: the program ends at once,
// through the shutdown steps, instead of after the screen or the wait.
struct QuitRequested {};
