// SDL key and mouse codes to the codes the engine's input uses: host virtual-key codes with the
// Shift, Control and Alt keys told apart per side, and mouse buttons 1 left, 2 right, 3 middle.
#pragma once

#include <SDL.h>

// 0 for keys the game has no code for.
int VirtualKeyFromSdl(SDL_Keycode sym, SDL_Scancode scancode);
// 0 for buttons other than left, right and middle.
int MouseButtonFromSdl(Uint8 button);
