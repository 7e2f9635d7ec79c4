// The X11 side of the window's life: the window destroyed by another program, a request that
// fails on it, and the connection to the X server lost. By default Xlib ends the program on any
// of these (exit 1) without the game's shutdown; here the first two become a close request and
// the last calls the program's own last step before it exits.
#pragma once

union SDL_Event;
struct SDL_Window;

namespace x11_watch {

// Watches `window` when it is an X11 window (nothing happens on other video drivers).
void Watch(SDL_Window* window);
// What runs when the X connection is gone; the process then exits with 0.
void OnConnectionLost(void (*fn)());
// Stops watching the window (before it is destroyed by the program itself).
void Unwatch();
// True once the watched window was destroyed from outside or an X request failed.
bool WindowGone();
// Takes the window system's own events (SDL_SYSWMEVENT): a DestroyNotify of the watched window.
void HandleEvent(const SDL_Event& e);

} // namespace x11_watch
