#include "replay/recording.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
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
std::string CheckpointLine(const Checkpoint& c, bool pictures) {
    std::string line = c.frame == Checkpoint::kAfterLevelEnd ? "end" : std::to_string(c.frame);
    if (c.after > 0) line += "+" + std::to_string(c.after);
    line += " " + (pictures ? Hex(c.picture, 8) : std::string("-"));
    const auto& layout = StateDigestLayout();
    for (size_t p = 0; p < c.state.parts.size() && p < layout.size(); ++p) {
        line += " " + layout[p].name + ":" + Hex(c.state.parts[p].digest, 8) + ":";
        for (uint8_t f : c.state.parts[p].fields) line += Hex(f, 2);
    }
    return line;
}

bool ParseCheckpoint(const std::string& line, Checkpoint& c, bool& has_picture, std::string& error) {
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
    has_picture = picture != "-";
    if (!has_picture)
        c.picture = 0;
    else if (!ParseHex(picture, c.picture)) {
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
    if (Own()) {
        out << "version " << version << "\n";
        for (const auto& [name, digest] : maps) out << "map " << name << " " << Hex(digest, 8) << "\n";
        out << "topscore " << topscore << "\n";
        out << "effects " << effects << "\n";
        out << "music " << music << "\n";
        for (const Switch& w : switches) out << "switch " << w.frame << (w.music ? " music " : " effects ") << w.on << "\n";
    }
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
    for (const Checkpoint& c : checks) out << CheckpointLine(c, pictures) << "\n";
    return out.str();
}

bool Recording::FromText(const std::string& text, Recording& out, std::string& error) {
    std::istringstream in(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text);
    std::string line;
    out = Recording{};
    int64_t expected_frames = -1;
    enum { Header, Inputs, Checks } section = Header;
    std::set<std::string> seen;
    int line_no = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(line_no) + ": " + what;
        return false;
    };
    // Whole numbers in a range, with nothing after them on the line.
    auto number = [](std::istringstream& ls, int64_t low, int64_t high, int64_t& v) {
        std::string word;
        if (!(ls >> word) || word.size() > 12 || word.find_first_not_of("-0123456789") != std::string::npos)
            return false;
        char* end = nullptr;
        const long long n = std::strtoll(word.c_str(), &end, 10);
        if (*end != '\0' || end == word.c_str() || n < low || n > high) return false;
        v = n;
        return true;
    };
    auto rest_empty = [](std::istringstream& ls) {
        std::string more;
        return !(ls >> more);
    };
    while (std::getline(in, line)) {
        ++line_no;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        std::string key;
        ls >> key;
        if (key == "checks") {
            if (section != Inputs) return fail("the checkpoints come after the inputs");
            std::string layout;
            ls >> layout;
            if (!ParseHex(layout, out.digest_layout) || !rest_empty(ls))
                return fail("bad digest layout '" + layout.substr(0, 40) + "'");
            section = Checks;
            continue;
        }
        if (section == Checks) {
            if (out.checks.size() >= kMaxCheckpoints)
                return fail("more than " + std::to_string(kMaxCheckpoints) + " checkpoints");
            Checkpoint c;
            std::string what;
            bool has_picture = true;
            if (!ParseCheckpoint(line, c, has_picture, what)) return fail(what);
            if (out.checks.empty()) out.pictures = has_picture;
            if (has_picture != out.pictures) return fail("some checkpoints have a picture digest and some not");
            out.checks.push_back(std::move(c));
            continue;
        }
        if (section == Header) {
            if (key != "event" && !seen.insert(key).second) return fail("'" + key + "' given twice");
            int64_t a = 0, b = 0;
            bool good = true;
            if (key == "area") {
                good = number(ls, 1, kLevels, a) && number(ls, 1, kAreasPerLevel, b);
                out.level = int(a);
                out.area = int(b);
                if (!good) return fail("the area must be a level 1 to " + std::to_string(kLevels) + " and an area 1 to " +
                                       std::to_string(kAreasPerLevel));
            } else if (key == "players") {
                good = number(ls, 1, 2, a);
                out.players = int(a);
                if (!good) return fail("players must be 1 or 2");
            } else if (key == "seed") {
                good = number(ls, INT32_MIN, INT32_MAX, a);
                out.seed = int32_t(a);
            } else if (key == "witch") {
                good = number(ls, kWitchFastest, kWitchSlowest, a);
                out.witch = int(a);
                if (!good) return fail("the witch's interval must be " + std::to_string(kWitchFastest) + " to " +
                                       std::to_string(kWitchSlowest) + " frames");
            } else if (key == "frames") {
                good = number(ls, 0, kMaxRecordingFrames, a);
                expected_frames = a;
                if (!good)
                    return fail("the frame count must be 0 to " + std::to_string(kMaxRecordingFrames) +
                                " (a recording holds at most " + std::to_string(kMaxRecordingFrames / 216000) +
                                " hours of play)");
            } else if (key == "event") {
                std::string name;
                good = bool(ls >> name) && number(ls, 0, INT32_MAX, a);
                out.events[name] = int(a);
            } else if (key == "version") {
                good = bool(ls >> out.version) && out.version.size() <= 40 &&
                       out.version.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.+-~_") ==
                           std::string::npos;
            } else if (key == "map") {
                std::string name, digest;
                uint32_t d = 0;
                ls >> name >> digest;
                const bool known = name.size() == 3 && name[1] == '.' && name[0] >= '1' && name[0] <= char('0' + kLevels) &&
                                   name[2] >= '1' && name[2] <= char('0' + kAreasPerLevel);
                for (const auto& m : out.maps)
                    if (m.first == name) return fail("area " + name + "'s map given twice");
                if (!known || !ParseHex(digest, d)) return fail("bad map line '" + line.substr(0, 80) + "'");
                out.maps.emplace_back(name, d);
                seen.erase("map");
            } else if (key == "topscore") {
                good = number(ls, 0, INT32_MAX, a);
                out.topscore = int(a);
            } else if (key == "effects" || key == "music") {
                good = number(ls, 0, 1, a);
                (key == "music" ? out.music : out.effects) = int(a);
            } else if (key == "switch") {
                std::string what;
                good = number(ls, 0, kMaxRecordingFrames, a) && ls >> what && (what == "music" || what == "effects") &&
                       number(ls, 0, 1, b);
                if (good && !out.switches.empty() && a < out.switches.back().frame)
                    return fail("the switches are out of order");
                if (out.switches.size() >= kMaxSwitches) return fail("more than " + std::to_string(kMaxSwitches) + " switches");
                if (good) out.switches.push_back({int(a), what == "music", int(b)});
                seen.erase("switch");
            } else if (key == "inputs") {
                for (const char* need : {"area", "seed", "witch", "frames"})
                    if (!seen.count(need)) return fail(std::string("the header has no '") + need + "' line");
                section = Inputs;
            } else
                return fail("unknown field '" + key.substr(0, 40) + "'");
            if (!good || !rest_empty(ls)) return fail("bad value in '" + line.substr(0, 80) + "'");
            continue;
        }
        int64_t count = 0;
        FrameInput f;
        if (!ParseInput(key, f) || !number(ls, 1, kMaxRecordingFrames, count) || !rest_empty(ls))
            return fail("bad input '" + line.substr(0, 80) + "'");
        // Never more frames than the header promised (itself capped), whatever the runs say.
        if (int64_t(out.frames.size()) + count > expected_frames)
            return fail("more frames than the header's " + std::to_string(expected_frames));
        out.frames.insert(out.frames.end(), size_t(count), f);
    }
    if (section == Header) {
        error = "no inputs: not a recording";
        return false;
    }
    if (section != Checks) {
        error = "no 'checks' line after the inputs";
        return false;
    }
    if (!out.switches.empty() && out.switches.back().frame >= expected_frames) {
        error = "a switch after the last frame";
        return false;
    }
    if (int64_t(out.frames.size()) != expected_frames) {
        error = "the recording holds " + std::to_string(out.frames.size()) + " frames, its header says " +
                std::to_string(expected_frames);
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
    // Checked before opening: a FIFO or a device would never end, a huge file would fill memory.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        error = "cannot read " + path + ": no such file";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = path + ": not a regular file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxRecordingBytes) {
        error = path + ": over " + std::to_string(kMaxRecordingBytes >> 20) + " MB, larger than any recording";
        return false;
    }
    // One byte more than the size: a file that grew meanwhile is noticed, and still read no further.
    std::string text(size_t(size) + 1, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    text.resize(size_t(in.gcount()));
    if (text.size() > size) {
        error = path + ": over " + std::to_string(kMaxRecordingBytes >> 20) + " MB, larger than any recording";
        return false;
    }
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return FromText(text, out, error);
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
