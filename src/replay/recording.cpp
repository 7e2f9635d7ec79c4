#include "replay/recording.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "engine/engine.h"
#include "engine/platform.h"

namespace {

std::string Hex(uint32_t v, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*x", digits, unsigned(v));
    return buf;
}

bool ParseHex(const std::string& s, uint32_t& out) {
    if (s.empty() || s.size() > 8) return false;
    out = 0;
    for (char c : s) {
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) return false;
        out = out << 4 | uint32_t(d);
    }
    return true;
}

std::string InputCode(const FrameInput& f) {
    std::string code = f.dir == 1 ? "L" : f.dir == 2 ? "R" : "N";
    if (f.jump) code += "J";
    if (f.fire) code += "F";
    return code;
}

bool ParseInput(const std::string& key, FrameInput& f) {
    if (key.empty()) return false;
    for (size_t k = 0; k < key.size(); ++k) {
        switch (key[k]) {
        case 'L': f.dir = 1; break;
        case 'R': f.dir = 2; break;
        case 'N': f.dir = 0; break;
        case 'J': f.jump = true; continue;
        case 'F': f.fire = true; continue;
        default: return false;
        }
        if (k != 0) return false; // the direction comes first
    }
    return true;
}

// "60 8c1f0a22 game:1a2b3c4d:0a1b... player1:...": the frame ("1304+30" in a screen after play
// frame 1304, "end" after the last level end), the picture, then each part of the state digest as
// its name, its digest and one byte per field.
std::string CheckpointLine(const Checkpoint& c) {
    std::string line = c.frame == Checkpoint::kAfterLevelEnd ? "end" : std::to_string(c.frame);
    if (c.after > 0) line += "+" + std::to_string(c.after);
    line += " " + Hex(c.picture, 8);
    const auto& layout = StateDigestLayout();
    for (size_t p = 0; p < c.state.parts.size() && p < layout.size(); ++p) {
        line += " " + layout[p].name + ":" + Hex(c.state.parts[p].digest, 8) + ":";
        for (uint8_t f : c.state.parts[p].fields) line += Hex(f, 2);
    }
    return line;
}

bool ParseCheckpoint(const std::string& line, Checkpoint& c, std::string& error) {
    std::istringstream in(line);
    std::string frame, picture, part;
    in >> frame >> picture;
    auto number = [](const std::string& t) {
        return !t.empty() && t.size() < 9 && t.find_first_not_of("0123456789") == std::string::npos;
    };
    const size_t plus = frame.find('+');
    const std::string play = frame.substr(0, plus), after = plus == std::string::npos ? "" : frame.substr(plus + 1);
    if (frame == "end")
        c.frame = Checkpoint::kAfterLevelEnd;
    else if (number(play) && (plus == std::string::npos || (number(after) && std::stoi(after) > 0))) {
        c.frame = std::stoi(play);
        c.after = plus == std::string::npos ? 0 : std::stoi(after);
    } else {
        error = "bad checkpoint frame '" + frame + "'";
        return false;
    }
    if (!ParseHex(picture, c.picture)) {
        error = "bad picture digest '" + picture + "'";
        return false;
    }
    const auto& layout = StateDigestLayout();
    size_t p = 0;
    while (in >> part) {
        const size_t a = part.find(':'), b = part.find(':', a + 1);
        StateDigest::Part d;
        if (p >= layout.size() || a == std::string::npos || b == std::string::npos ||
            part.substr(0, a) != layout[p].name || !ParseHex(part.substr(a + 1, b - a - 1), d.digest) ||
            part.size() - b - 1 != 2 * layout[p].fields.size()) {
            error = "bad state part '" + part.substr(0, 40) + "'";
            return false;
        }
        for (size_t f = 0; f < layout[p].fields.size(); ++f) {
            uint32_t v = 0;
            if (!ParseHex(part.substr(b + 1 + 2 * f, 2), v)) {
                error = "bad field digest in '" + part.substr(0, a) + "'";
                return false;
            }
            d.fields.push_back(uint8_t(v));
        }
        c.state.parts.push_back(std::move(d));
        ++p;
    }
    if (p != layout.size()) {
        error = "a checkpoint holds " + std::to_string(p) + " parts of " + std::to_string(layout.size());
        return false;
    }
    return true;
}

} // namespace

std::string Recording::ToText() const {
    std::ostringstream out;
    out << "# Pumko recording: a new game's controls in every play frame, from the first intro to the\n"
           "# last cauldron, the events the play shows, and checkpoints of the whole game state.\n";
    out << "area " << level << " " << area << "\n";
    out << "players " << players << "\n";
    out << "seed " << seed << "\n";
    out << "witch " << witch << "\n";
    out << "frames " << frames.size() << "\n";
    for (const auto& [name, count] : events) out << "event " << name << " " << count << "\n";
    out << "inputs\n";
    size_t i = 0;
    while (i < frames.size()) {
        size_t j = i;
        while (j < frames.size() && frames[j] == frames[i]) ++j;
        out << InputCode(frames[i]) << " " << (j - i) << "\n";
        i = j;
    }
    out << "checks " << Hex(digest_layout, 8) << "\n";
    out << "# after play frame N (or the level end): picture, then each part of the state as\n"
           "# name:digest:one byte per field\n";
    for (const Checkpoint& c : checks) out << CheckpointLine(c) << "\n";
    return out.str();
}

bool Recording::FromText(const std::string& text, Recording& out, std::string& error) {
    std::istringstream in(text);
    std::string line;
    out = Recording{};
    size_t expected_frames = 0;
    enum { Header, Inputs, Checks } section = Header;
    int line_no = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(line_no) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        ++line_no;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        std::string key;
        ls >> key;
        if (key == "checks") {
            std::string layout;
            ls >> layout;
            if (!ParseHex(layout, out.digest_layout)) return fail("bad digest layout '" + layout + "'");
            section = Checks;
            continue;
        }
        if (section == Checks) {
            Checkpoint c;
            std::string what;
            if (!ParseCheckpoint(line, c, what)) return fail(what);
            out.checks.push_back(std::move(c));
            continue;
        }
        if (section == Header) {
            if (key == "area")
                ls >> out.level >> out.area;
            else if (key == "players")
                ls >> out.players;
            else if (key == "seed")
                ls >> out.seed;
            else if (key == "witch")
                ls >> out.witch;
            else if (key == "frames")
                ls >> expected_frames;
            else if (key == "event") {
                std::string name;
                int count = 0;
                ls >> name >> count;
                out.events[name] = count;
            } else if (key == "inputs")
                section = Inputs;
            else
                return fail("unknown field '" + key + "'");
            if (ls.fail()) return fail("bad value");
            continue;
        }
        long count = 0;
        ls >> count;
        FrameInput f;
        if (!ParseInput(key, f) || count <= 0 || count > 1000000) return fail("bad input '" + line + "'");
        out.frames.insert(out.frames.end(), size_t(count), f);
    }
    if (section == Header || out.frames.size() != expected_frames) {
        error = "the recording holds " + std::to_string(out.frames.size()) + " frames, its header says " +
                std::to_string(expected_frames);
        return false;
    }
    if (out.players != 1 && out.players != 2) {
        error = "players must be 1 or 2";
        return false;
    }
    return true;
}

bool Recording::Save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out << ToText();
    return bool(out);
}

bool Recording::Load(const std::string& path, Recording& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    return FromText(ss.str(), out, error);
}

// The held keys are set outright (a repeated press of a held key counts nothing), so the result
// does not depend on what was held before: searches restore states freely.
void ApplyFrameInput(const FrameInput& in, FrameInput& held) {
    auto key = [](PlatformEvent::Type type, int code) {
        PlatformEvent ev{};
        ev.type = type;
        ev.code = code;
        InjectInputEvent(ev);
    };
    key(in.dir == 1 ? PlatformEvent::KeyDown : PlatformEvent::KeyUp, KEY_LEFT);
    key(in.dir == 2 ? PlatformEvent::KeyDown : PlatformEvent::KeyUp, KEY_RIGHT);
    if (in.jump) {
        key(PlatformEvent::KeyUp, KEY_LCONTROL);
        key(PlatformEvent::KeyDown, KEY_LCONTROL);
    }
    if (in.fire) {
        key(PlatformEvent::KeyUp, KEY_LALT);
        key(PlatformEvent::KeyDown, KEY_LALT);
    }
    held = in;
}
