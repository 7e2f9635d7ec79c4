#include "main/settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "main/key_names.h"

namespace {

// A float read and written exactly as from_chars and to_chars do (plain decimal, the shortest
// text that reads back the same). The browser build's C++ library has neither for floats.
bool ReadFloat(const std::string& v, float& x) {
#ifdef __EMSCRIPTEN__
    if (v.empty() || !(std::isdigit(static_cast<unsigned char>(v[0])) || v[0] == '-' || v[0] == '.')) return false;
    char* end = nullptr;
    x = std::strtof(v.c_str(), &end);
    return end == v.c_str() + v.size() && v.find_first_of("xXpPnN") == std::string::npos;
#else
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), x);
    return ec == std::errc() && end == v.data() + v.size();
#endif
}

std::string WriteFloat(float x) {
    char buf[32];
#ifdef __EMSCRIPTEN__
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, double(x));
        if (std::strtof(buf, nullptr) == x) break;
    }
    return buf;
#else
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x);
    return ec == std::errc() ? std::string(buf, end) : std::string("0.25");
#endif
}

// One setting as the file names it: reading a value (false when the text is not one) and writing
// the current one. The keys are read apart, since their clashes are judged on the whole file.
struct Field {
    std::string name;
    std::string takes; // what a value must be, for the report of a bad one
    std::function<bool(Settings&, const std::string&)> read;
    std::function<std::string(const Settings&)> write;
    const Action* key = nullptr; // the action, for a key
};

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

bool ReadSwitch(bool& field, const std::string& value) {
    const std::string v = Lower(value);
    const bool on = v == "on" || v == "yes" || v == "true" || v == "1";
    const bool off = v == "off" || v == "no" || v == "false" || v == "0";
    if (on || off) field = on;
    return on || off;
}

std::string KeyFieldName(Action a) { return std::string("key.") + ActionName(a); }

const std::vector<Field>& Fields() {
    static const std::vector<Field> fields = [] {
        std::vector<Field> f;
        for (Action a : kActions)
            f.push_back({KeyFieldName(a), "", nullptr, [a](const Settings& s) { return KeyName(s.keys[a]); },
                         &kActions[size_t(a)]});
        f.push_back({"effects", "on or off", [](Settings& s, const std::string& v) { return ReadSwitch(s.effects, v); },
                     [](const Settings& s) { return std::string(s.effects ? "on" : "off"); }});
        f.push_back({"music", "on or off", [](Settings& s, const std::string& v) { return ReadSwitch(s.music, v); },
                     [](const Settings& s) { return std::string(s.music ? "on" : "off"); }});
        f.push_back({"fullscreen", "yes or no",
                     [](Settings& s, const std::string& v) { return ReadSwitch(s.fullscreen, v); },
                     [](const Settings& s) { return std::string(s.fullscreen ? "yes" : "no"); }});
        f.push_back({"scale", "sharp, integer or smooth",
                     [](Settings& s, const std::string& v) {
                         const auto m = ParseScaleMode(Lower(v));
                         if (m) s.scale = *m;
                         return m.has_value();
                     },
                     [](const Settings& s) { return std::string(ScaleModeName(s.scale)); }});
        f.push_back({"renderer", "auto, gl or soft",
                     [](Settings& s, const std::string& v) {
                         const auto r = ParseRendererChoice(Lower(v));
                         if (r) s.renderer = *r;
                         return r.has_value();
                     },
                     [](const Settings& s) { return std::string(RendererChoiceName(s.renderer)); }});
        f.push_back({"pad.deadzone", "a number from 0 to 0.9",
                     [](Settings& s, const std::string& v) {
                         float x = -1.0f;
                         if (!ReadFloat(v, x) || !(x >= 0.0f && x <= 0.9f)) return false;
                         s.dead_zone = x;
                         return true;
                     },
                     [](const Settings& s) { return WriteFloat(s.dead_zone); }});
        f.push_back({"timer", "on or off", [](Settings& s, const std::string& v) { return ReadSwitch(s.timer, v); },
                     [](const Settings& s) { return std::string(s.timer ? "on" : "off"); }});
        return f;
    }();
    return fields;
}

const Field* FindField(const std::string& name) {
    for (const Field& f : Fields())
        if (f.name == name) return &f;
    return nullptr;
}

// A line as "name = value"; false for blank lines, comments and lines without '='.
bool SplitLine(const std::string& line, std::string& name, std::string& value) {
    const std::string t = Trim(line);
    const size_t eq = t.find('=');
    if (t.empty() || t[0] == '#' || eq == std::string::npos) return false;
    name = Lower(Trim(t.substr(0, eq)));
    value = Trim(t.substr(eq + 1));
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace

Settings ParseSettings(const std::string& text, std::vector<SettingsProblem>& problems) {
    Settings s;
    const Settings defaults;
    std::vector<BindingChoice> choices;
    const std::vector<std::string> lines = Lines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int n = int(i) + 1;
        std::string name, value;
        if (!SplitLine(lines[i], name, value)) {
            const std::string t = Trim(lines[i]);
            if (!t.empty() && t[0] != '#') problems.push_back({n, "'" + t + "' is not 'name = value'"});
            continue;
        }
        const Field* field = FindField(name);
        if (!field) {
            problems.push_back({n, "there is no setting called '" + name + "'"});
            continue;
        }
        if (field->key) {
            const Action a = *field->key;
            const std::string keeps = "; using " + KeyName(GameCode(a));
            const int code = KeyCodeFromName(value);
            const std::string use = FixedKeyUse(code);
            if (code == 0)
                problems.push_back({n, name + ": no key is called '" + value + "'" + keeps});
            else if (!use.empty())
                problems.push_back({n, name + ": " + KeyName(code) + " is kept for " + use + keeps});
            else
                choices.push_back({a, code, n});
            continue;
        }
        if (!field->read(s, value))
            problems.push_back(
                {n, name + ": '" + value + "' is not " + field->takes + "; using " + field->write(defaults)});
    }
    std::vector<BindingRefusal> refused;
    s.keys = ResolveBindings(choices, refused);
    for (const BindingRefusal& r : refused) problems.push_back({r.line, KeyFieldName(r.action) + ": " + r.text});
    std::stable_sort(problems.begin(), problems.end(),
                     [](const SettingsProblem& a, const SettingsProblem& b) { return a.line < b.line; });
    return s;
}

std::string SettingsFileText(const Settings& s) {
    auto line = [&s](const std::string& name) { return name + " = " + FindField(name)->write(s) + "\n"; };
    std::string t = "# Pumko settings. Each line is \"name = value\"; lines starting with # are comments.\n"
                    "# The game changes the effects, music and fullscreen lines when you switch them while\n"
                    "# playing (F2, F3, Alt+Enter or F11) and leaves every other line as you wrote it.\n"
                    "\n"
                    "# Keys for the game's actions (up and down move through the title menu). Key names:\n"
                    "# Left Right Up Down, LeftControl RightControl LeftAlt RightAlt LeftShift RightShift,\n"
                    "# Space Tab Backspace Insert Delete Home End PageUp PageDown, A to Z, 0 to 9,\n"
                    "# F4 to F10, F12, Keypad0 to Keypad9, KeypadPlus KeypadMinus KeypadMultiply\n"
                    "# KeypadDivide KeypadPeriod, Semicolon Equals Comma Minus Period Slash Backquote\n"
                    "# LeftBracket Backslash RightBracket Quote. F1, F2, F3, Escape, F11 and Enter keep\n"
                    "# their own uses, and two actions cannot share a key.\n";
    for (Action a : kActions) t += line(KeyFieldName(a));
    t += "\n# Sound effects and music: on or off (F2 and F3 switch them while playing).\n";
    t += line("effects") + line("music");
    t += "\n# The picture: full screen (yes) or in a window (no); how it is enlarged: sharp (whole-\n"
         "# number enlargement, then one smooth step), integer (whole multiples only) or smooth;\n"
         "# what draws it: auto, gl (OpenGL) or soft (software).\n";
    t += line("fullscreen") + line("scale") + line("renderer");
    t += "\n# Pads: how far the stick must move before it counts, from 0 to 0.9 of its travel.\n"
         "# Mappings for pads SDL does not know are read from gamecontrollerdb.txt beside this file.\n";
    t += line("pad.deadzone");
    t += "\n# The clock: the area's and the game's time over the picture (as --show-timer), on or off.\n";
    t += line("timer");
    return t;
}

std::string UpdateSettingsText(const std::string& text, const Settings& before, const Settings& now) {
    std::vector<std::string> lines = Lines(text);
    for (const Field& f : Fields()) {
        const std::string value = f.write(now);
        if (f.write(before) == value) continue;
        const std::string replacement = f.name + " = " + value;
        bool found = false;
        for (size_t i = lines.size(); i-- > 0 && !found;) {
            std::string name, old;
            if (SplitLine(lines[i], name, old) && name == f.name) {
                lines[i] = replacement;
                found = true;
            }
        }
        if (!found) lines.push_back(replacement);
    }
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}
