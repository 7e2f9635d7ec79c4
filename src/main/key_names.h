// The keys a player can name in the settings file, and the codes the game's input gives them
// (host virtual-key codes, with Shift, Control and Alt told apart per side).
#pragma once

#include <string>

// 0 when no key has that name. Names are matched without regard to case.
int KeyCodeFromName(const std::string& name);
// The name as the settings file writes it; empty for a code without one.
std::string KeyName(int code);
