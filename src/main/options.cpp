#include "main/options.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "engine/player_text.h"

#ifndef PUMKO_VERSION
#define PUMKO_VERSION "0"
#endif

namespace {

struct OptionEntry {
    const char* name;
    const char* value; // name of the value it takes, or nullptr for a switch
    const char* help;
    // Stores the value (or sets the switch); returns false, with a reason, for a bad value.
    std::function<bool(Options&, const std::string&, std::string&)> apply;
};

bool Switch(bool& field) {
    field = true;
    return true;
}

bool NonEmpty(std::string& field, const std::string& value, const char* what, std::string& error) {
    if (value.empty()) {
        error = std::string(what) + " must not be empty";
        return false;
    }
    field = value;
    return true;
}

const std::vector<OptionEntry>& Entries() {
    static const std::vector<OptionEntry> entries = {
        {"fullscreen", nullptr, "play full screen at the desktop's resolution (the default)",
         [](Options& o, const std::string&, std::string&) {
             o.fullscreen = true;
             return true;
         }},
        {"window", nullptr, "play in a resizable window",
         [](Options& o, const std::string&, std::string&) {
             o.fullscreen = false;
             return true;
         }},
        {"scale", "MODE",
         "how the picture is enlarged: sharp (blocks of whole screen pixels, only the pixel on each "
         "edge blended; the default), integer (whole multiples only) or smooth",
         [](Options& o, const std::string& v, std::string& error) {
             o.scale = ParseScaleMode(v);
             if (!o.scale) error = "--scale takes sharp, integer or smooth, not '" + QuotedPart(v) + "'";
             return o.scale.has_value();
         }},
        {"renderer", "NAME",
         "what draws the picture: gl (OpenGL), soft (software) or auto (the faster here; the default)",
         [](Options& o, const std::string& v, std::string& error) {
             o.renderer = ParseRendererChoice(v);
             if (!o.renderer) error = "--renderer takes gl, soft or auto, not '" + QuotedPart(v) + "'";
             return o.renderer.has_value();
         }},
        {"show-fps", nullptr, "show frames per second and the frame time in a corner, and a summary at exit",
         [](Options& o, const std::string&, std::string&) { return Switch(o.show_fps); }},
        {"timedemo", "FILE", "play a recording as fast as the machine can, print the frame rate and times, and exit",
         [](Options& o, const std::string& v, std::string& error) {
             return NonEmpty(o.timedemo, v, "--timedemo's file", error);
         }},
        {"record", "FILE",
         "play as usual and keep the game in FILE as a recording (written when the game ends: game over, "
         "the ending, F1, Escape or closing the window)",
         [](Options& o, const std::string& v, std::string& error) {
             return NonEmpty(o.record, v, "--record's file", error);
         }},
        {"playdemo", "FILE",
         "play a recording back in the window at the game's speed, with sound (Space pauses, Escape quits)",
         [](Options& o, const std::string& v, std::string& error) {
             return NonEmpty(o.playdemo, v, "--playdemo's file", error);
         }},
        {"show-timer", nullptr,
         "show the area's and the whole game's time in game steps (m:ss.hh), each area's time at its end, and "
         "best times (also the setting timer = on)",
         [](Options& o, const std::string&, std::string&) { return Switch(o.show_timer); }},
        {"show-input", nullptr, "show the controls held in each frame (left, right, jump, fire) in a corner",
         [](Options& o, const std::string&, std::string&) { return Switch(o.show_input); }},
        {"config", "FILE",
         "read and keep the settings in FILE instead of $XDG_CONFIG_HOME/pumko/settings.conf (by default "
         "~/.config/pumko/settings.conf)",
         [](Options& o, const std::string& v, std::string& error) {
             return NonEmpty(o.config, v, "--config's file", error);
         }},
        {"nosound", nullptr, "start with the sound effects off (this run only: the settings file keeps its choice)",
         [](Options& o, const std::string&, std::string&) { return Switch(o.nosound); }},
        {"nomusic", nullptr, "start with the music off (this run only: the settings file keeps its choice)",
         [](Options& o, const std::string&, std::string&) { return Switch(o.nomusic); }},
        {"data-dir", "DIR", "read the game's data from DIR and keep the top score there (this run only)",
         [](Options& o, const std::string& v, std::string& error) {
             return NonEmpty(o.data_dir, v, "--data-dir's folder", error);
         }},
        {"area", "FILE", "play one area from a level source or a compiled map, then return to the title",
         [](Options& o, const std::string& v, std::string& error) {
             return NonEmpty(o.area, v, "--area's file", error);
         }},
        {"edit", "FILE",
         "open a level source in the area editor (a new area when FILE does not exist yet): draw it, "
         "play-test it from any column, save it",
         [](Options& o, const std::string& v, std::string& error) {
             return NonEmpty(o.edit, v, "--edit's file", error);
         }},
    };
    return entries;
}

const OptionEntry* Find(std::string_view name) {
    for (const OptionEntry& s : Entries())
        if (name == s.name) return &s;
    return nullptr;
}

// One option's line: its name on the left, its help wrapped into a column beside it.
std::string Wrapped(std::string left, const std::string& help) {
    constexpr size_t kColumn = 22, kWidth = 79;
    left.resize(std::max(left.size() + 2, kColumn), ' ');
    std::string out = left;
    size_t col = left.size(), start = 0;
    bool line_start = true;
    while (start < help.size()) {
        size_t end = help.find(' ', start);
        if (end == std::string::npos) end = help.size();
        const std::string word = help.substr(start, end - start);
        start = end + 1;
        if (word.empty()) continue;
        if (!line_start && col + 1 + word.size() > kWidth) {
            out += "\n" + std::string(kColumn, ' ');
            col = kColumn;
            line_start = true;
        }
        if (!line_start) {
            out += ' ';
            ++col;
        }
        out += word;
        col += word.size();
        line_start = false;
    }
    return out + "\n";
}

} // namespace

ParseOutcome ParseOptions(int argc, const char* const* argv, Options& out, std::string& error) {
    out = Options{};
    std::map<std::string, std::string> given; // each choice as last given on the line
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i] ? argv[i] : "";
        if (word == "--help" || word == "-h") return ParseOutcome::Help;
        if (word == "--version") return ParseOutcome::Version;
        if (word.rfind("--", 0) != 0 || word.size() == 2) {
            error = (word.empty() || word[0] != '-' ? "unexpected argument '" : "unknown option '") + QuotedPart(word) +
                    "'";
            return ParseOutcome::Error;
        }
        const size_t eq = word.find('=');
        const std::string name = word.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        const OptionEntry* entry = Find(name);
        if (!entry) {
            error = "unknown option '--" + QuotedPart(name) + "'";
            return ParseOutcome::Error;
        }
        std::string value;
        if (entry->value) {
            if (eq != std::string::npos) {
                value = word.substr(eq + 1);
            } else if (i + 1 < argc && argv[i + 1]) {
                value = argv[++i];
            } else {
                error = "--" + name + " needs a value (" + entry->value + ")";
                return ParseOutcome::Error;
            }
        } else if (eq != std::string::npos) {
            error = "--" + name + " takes no value";
            return ParseOutcome::Error;
        }
        if (!entry->apply(out, value, error)) return ParseOutcome::Error;
        // The last word of a choice given twice counts; --window and --fullscreen are one choice.
        const std::string choice = name == "window" ? "fullscreen" : name;
        const std::string shown = "--" + name + (entry->value ? " " + QuotedPart(value) : "");
        const auto earlier = given.find(choice);
        if (earlier != given.end() && earlier->second != shown)
            out.notes.push_back(earlier->second + " and then " + shown + " are given: the last, " + shown +
                                ", is used");
        given[choice] = shown;
    }
    if (!out.edit.empty() && (!out.area.empty() || !out.timedemo.empty() || !out.record.empty() || !out.playdemo.empty())) {
        error = "--edit opens the editor: it cannot be used with " +
                std::string(!out.area.empty() ? "--area" : !out.timedemo.empty() ? "--timedemo"
                                                          : !out.record.empty()   ? "--record"
                                                                                  : "--playdemo");
        return ParseOutcome::Error;
    }
    // One way to run: a recording is made, played back or timed, of the game's own areas.
    const std::pair<const char*, const std::string*> runs[] = {
        {"--record", &out.record}, {"--playdemo", &out.playdemo}, {"--timedemo", &out.timedemo}};
    for (size_t a = 0; a < 3; ++a)
        for (size_t b = a + 1; b < 3; ++b)
            if (!runs[a].second->empty() && !runs[b].second->empty()) {
                error = std::string(runs[a].first) + " and " + runs[b].first + " cannot be used together";
                return ParseOutcome::Error;
            }
    if (!out.area.empty() && (!out.record.empty() || !out.playdemo.empty())) {
        error = std::string(out.record.empty() ? "--playdemo" : "--record") +
                " plays the game's own areas and cannot be used with --area";
        return ParseOutcome::Error;
    }
    return ParseOutcome::Run;
}

std::string UsageLine() { return "usage: pumko [OPTION]..."; }

std::string VersionText() { return std::string("pumko ") + PUMKO_VERSION + "\n"; }

std::string VersionNumber() { return PUMKO_VERSION; }

std::string HelpText() {
    std::string text = UsageLine() + "\n\nPumko: The Witch of Sahrim. A platform arcade game for one player,\n"
                                     "or two taking turns.\n\nOptions:\n";
    for (const OptionEntry& s : Entries())
        text += Wrapped(std::string("  --") + s.name + (s.value ? std::string(" ") + s.value : ""), s.help);
    text += Wrapped("  --help", "show this help and exit");
    text += Wrapped("  --version", "show the version and exit");
    text += "\nControls:\n";
    const char* const controls[][2] = {
        {"move", "left / right arrows, pad d-pad or left stick, or the pointer near an edge"},
        {"jump, confirm", "left Control, pad A, left mouse button"},
        {"fire", "left Alt, pad B or X, right mouse button"},
        {"menu up / down", "up / down arrows, pad d-pad or left stick"},
        {"pause", "Space, pad Start"},
        {"back to the title", "F1, pad Back"},
        {"effects / music", "F2 / F3"},
        {"full screen / window", "Alt+Enter or F11"},
        {"quit", "Escape"},
    };
    for (const auto& c : controls) text += Wrapped(std::string("  ") + c[0], c[1]);
    text += "\nThe keys can be changed in the settings file, which also keeps the effects,\n"
            "music, picture and pad dead zone choices (see --config). A joystick SDL cannot\n"
            "map moves with its stick or first hat; button 0 jumps, 1 or 7 fires, 2 pauses.\n";
    return text;
}
