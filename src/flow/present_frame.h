// The step that ends every frame of every screen loop, and the waits between frames.
#pragma once

// Present, then wait while the application is suspended.
void present_frame();
// ShowFrame as present_frame's first step alone.
void show_frame_only();
// Waits while `held` is true: a pad button or axis not yet let go.
void wait_for_release(bool (*held)());
// Thrown where the game waits without drawing (while suspended, or for a pad to be let go) when
// the window is closed or the program is told to end: the program ends at once, through the
// shutdown steps, instead of after the wait.
struct QuitRequested {};
