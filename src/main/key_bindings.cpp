#include "main/key_bindings.h"

#include "main/key_names.h"

const char* ActionName(Action action) {
    switch (action) {
    case Action::Left: return "left";
    case Action::Right: return "right";
    case Action::Up: return "up";
    case Action::Down: return "down";
    case Action::Jump: return "jump";
    case Action::Fire: return "fire";
    case Action::Pause: return "pause";
    }
    return "";
}

int GameCode(Action action) {
    switch (action) {
    case Action::Left: return 37;
    case Action::Right: return 39;
    case Action::Up: return 38;
    case Action::Down: return 40;
    case Action::Jump: return 162;
    case Action::Fire: return 164;
    case Action::Pause: return 32;
    }
    return 0;
}

KeyBindings::KeyBindings() {
    for (Action a : kActions) (*this)[a] = GameCode(a);
}

std::string FixedKeyUse(int code) {
    switch (code) {
    case 112: return "going back to the title";
    case 113: return "sound effects on and off";
    case 114: return "music on and off";
    case 27: return "quitting";
    case 122: return "switching between window and full screen";
    case 13: return "Alt+Enter, switching between window and full screen";
    default: return "";
    }
}

KeyBindings ResolveBindings(const std::vector<BindingChoice>& choices, std::vector<BindingRefusal>& refused) {
    // The last line naming an action is the one that counts.
    const BindingChoice* chosen[kActionCount] = {};
    for (const BindingChoice& c : choices) chosen[size_t(c.action)] = &c;

    KeyBindings keys;
    for (const BindingChoice* c : chosen)
        if (c) keys[c->action] = c->code;
    // Undo the latest clashing choice until no two actions share a key. Defaults never clash with
    // each other, so this ends.
    while (true) {
        const BindingChoice* latest = nullptr;
        Action other = Action::Left;
        for (Action a : kActions)
            for (Action b : kActions) {
                const BindingChoice* c = chosen[size_t(a)];
                if (a == b || keys[a] != keys[b] || !c) continue;
                if (!latest || c->line > latest->line) {
                    latest = c;
                    other = b;
                }
            }
        if (!latest) break;
        const Action a = latest->action;
        refused.push_back({latest->line, a,
                           KeyName(latest->code) + " is already the key for " + ActionName(other) + "; using " +
                               KeyName(GameCode(a))});
        keys[a] = GameCode(a);
        chosen[size_t(a)] = nullptr;
    }
    return keys;
}

std::array<int, 256> KeyMapFor(const KeyBindings& bindings) {
    std::array<int, 256> map;
    for (int i = 0; i < 256; ++i) map[size_t(i)] = i;
    for (Action a : kActions) map[size_t(GameCode(a))] = 0;
    for (Action a : kActions)
        if (bindings[a] > 0 && bindings[a] < 256) map[size_t(bindings[a])] = GameCode(a);
    return map;
}
