#include "main/key_names.h"

#include <cctype>
#include <string_view>
#include <vector>

namespace {

struct Named {
    std::string name;
    int code;
};

const std::vector<Named>& Keys() {
    static const std::vector<Named> keys = [] {
        std::vector<Named> k = {{"Left", 37},         {"Right", 39},         {"Up", 38},       {"Down", 40},
                                {"LeftControl", 162}, {"RightControl", 163}, {"LeftAlt", 164}, {"RightAlt", 165},
                                {"LeftShift", 160},   {"RightShift", 161},   {"Space", 32},    {"Enter", 13},
                                {"Tab", 9},           {"Backspace", 8},      {"Escape", 27},   {"Insert", 45},
                                {"Delete", 46},       {"Home", 36},          {"End", 35},      {"PageUp", 33},
                                {"PageDown", 34}};
        for (char c = 'A'; c <= 'Z'; ++c) k.push_back({std::string(1, c), c});
        for (char c = '0'; c <= '9'; ++c) k.push_back({std::string(1, c), c});
        for (int f = 1; f <= 12; ++f) k.push_back({"F" + std::to_string(f), 111 + f});
        for (int n = 0; n <= 9; ++n) k.push_back({"Keypad" + std::to_string(n), 96 + n});
        const Named rest[] = {
            {"KeypadMultiply", 106}, {"KeypadPlus", 107}, {"KeypadMinus", 109},  {"KeypadPeriod", 110},
            {"KeypadDivide", 111},   {"Semicolon", 186},  {"Equals", 187},       {"Comma", 188},
            {"Minus", 189},          {"Period", 190},     {"Slash", 191},        {"Backquote", 192},
            {"LeftBracket", 219},    {"Backslash", 220},  {"RightBracket", 221}, {"Quote", 222}};
        k.insert(k.end(), std::begin(rest), std::end(rest));
        return k;
    }();
    return keys;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

int KeyCodeFromName(const std::string& name) {
    for (const Named& k : Keys())
        if (SameWord(k.name, name)) return k.code;
    return 0;
}

std::string KeyName(int code) {
    for (const Named& k : Keys())
        if (k.code == code) return k.name;
    return "";
}
