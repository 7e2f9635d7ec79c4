// The keys a player can rebind: each action's key, and the key map that turns the chosen keys
// into the codes the game reads (so the game's own code never learns of the bindings).
#pragma once

#include <array>
#include <string>
#include <vector>

enum class Action { Left, Right, Up, Down, Jump, Fire, Pause };
constexpr int kActionCount = 7;
constexpr Action kActions[kActionCount] = {Action::Left, Action::Right, Action::Up,   Action::Down,
                                           Action::Jump, Action::Fire,  Action::Pause};

// "left", "right", "up", "down", "jump", "fire", "pause".
const char* ActionName(Action action);
// The code the game reads for the action, which is also its default key.
int GameCode(Action action);

struct KeyBindings {
    std::array<int, kActionCount> key; // key code per action, in the order of kActions
    KeyBindings();                     // the defaults: the game's own keys
    int& operator[](Action a) { return key[size_t(a)]; }
    int operator[](Action a) const { return key[size_t(a)]; }
    bool operator==(const KeyBindings&) const = default;
};

// What a fixed key does ("going back to the title", ...), or empty when the key may be bound.
std::string FixedKeyUse(int code);

// A player's choice of key for an action, from a line of the settings file.
struct BindingChoice {
    Action action;
    int code;
    int line;
};
struct BindingRefusal {
    int line;
    Action action;
    std::string text;
};
// The defaults with the player's choices over them. Where two actions would share a key, the
// choice on the later line is refused (with the other action named) and its action keeps its
// default; so swapping two keys works, and a chosen key never takes another action's key.
KeyBindings ResolveBindings(const std::vector<BindingChoice>& choices, std::vector<BindingRefusal>& refused);

// Host key code to game code: each bound key gives its action's code, an action's default key
// that is bound elsewhere gives nothing, every other key is itself.
std::array<int, 256> KeyMapFor(const KeyBindings& bindings);
