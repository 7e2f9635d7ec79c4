#include "main/recording.h"

#include <fstream>
#include <sstream>

#include "engine/engine.h"
#include "engine/platform/platform.h"

std::string Recording::ToText() const {
    std::ostringstream out;
    out << "# Pumko playthrough: the controls of every play frame, from the first one to the cauldron.\n";
    out << "area " << level << " " << area << "\n";
    out << "seed " << seed << "\n";
    out << "frames " << frames.size() << "\n";
    out << "score " << score << "\n";
    out << "checksum " << checksum << "\n";
    out << "inputs\n";
    size_t i = 0;
    while (i < frames.size()) {
        size_t j = i;
        while (j < frames.size() && frames[j] == frames[i]) ++j;
        const FrameInput& f = frames[i];
        std::string code = f.dir == 1 ? "L" : f.dir == 2 ? "R" : "N";
        if (f.jump) code += "J";
        if (f.fire) code += "F";
        out << code << " " << (j - i) << "\n";
        i = j;
    }
    return out.str();
}

bool Recording::FromText(const std::string& text, Recording& out, std::string& error) {
    std::istringstream in(text);
    std::string line;
    out = Recording{};
    size_t expected_frames = 0;
    bool in_inputs = false;
    int line_no = 0;
    while (std::getline(in, line)) {
        ++line_no;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        std::string key;
        ls >> key;
        if (!in_inputs) {
            if (key == "area")
                ls >> out.level >> out.area;
            else if (key == "seed")
                ls >> out.seed;
            else if (key == "frames")
                ls >> expected_frames;
            else if (key == "score")
                ls >> out.score;
            else if (key == "checksum")
                ls >> out.checksum;
            else if (key == "inputs")
                in_inputs = true;
            else {
                error = "line " + std::to_string(line_no) + ": unknown field '" + key + "'";
                return false;
            }
            if (ls.fail()) {
                error = "line " + std::to_string(line_no) + ": bad value";
                return false;
            }
            continue;
        }
        long count = 0;
        ls >> count;
        FrameInput f;
        bool ok = !key.empty() && count > 0 && count <= 1000000;
        for (size_t k = 0; ok && k < key.size(); ++k) {
            switch (key[k]) {
            case 'L':
                f.dir = 1;
                ok = k == 0;
                break;
            case 'R':
                f.dir = 2;
                ok = k == 0;
                break;
            case 'N':
                f.dir = 0;
                ok = k == 0;
                break;
            case 'J': f.jump = true; break;
            case 'F': f.fire = true; break;
            default: ok = false;
            }
        }
        if (!ok) {
            error = "line " + std::to_string(line_no) + ": bad input '" + line + "'";
            return false;
        }
        out.frames.insert(out.frames.end(), size_t(count), f);
    }
    if (!in_inputs || out.frames.size() != expected_frames) {
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
    key(in.dir == 1 ? PlatformEvent::KeyDown : PlatformEvent::KeyUp, 37);
    key(in.dir == 2 ? PlatformEvent::KeyDown : PlatformEvent::KeyUp, 39);
    if (in.jump) {
        key(PlatformEvent::KeyUp, 162);
        key(PlatformEvent::KeyDown, 162);
    }
    if (in.fire) {
        key(PlatformEvent::KeyUp, 164);
        key(PlatformEvent::KeyDown, 164);
    }
    held = in;
}
