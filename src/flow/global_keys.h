// The keys that work in every state of the game.
#pragma once

// F1 back to the title, F2 effects on or off, F3 music on or off, Space (or the pad's pause
// button) pauses play until pressed again.
void key_inputs();
