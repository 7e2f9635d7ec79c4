// The attract demo's recordings: 1000 frames of controls in data\demodata.0N, each frame three
// signed 32-bit little-endian ints (direction, jump, turbo), 12000 bytes in all.
#include "game/demo.h"

#include "engine/engine.h"

demo_tag demo_frames[DEMO_FRAMES];
int demo_index = 0;
int demo_active = 0;
int demo_number = 1;
int demo_recording = 0;

void demo_tag::Create() {
    for (demo_tag& d : demo_frames) d = demo_tag{};
}

void demo_tag::reset() {
    for (demo_tag& d : demo_frames) d = demo_tag{};
}

void demo_tag::save(const std::string& suffix) {
    TStream out = OpenWrite("data\\demodata" + suffix);
    for (const demo_tag& d : demo_frames) {
        out.WriteInt(d.direction);
        out.WriteInt(d.jump);
        out.WriteInt(d.turbo);
    }
    out.Close();
}

void demo_tag::Load(const std::string& suffix) {
    // Missing bytes read as zeros (the title screen starts no demo whose file is missing).
    TStream in = OpenRead("data\\demodata" + suffix);
    for (demo_tag& d : demo_frames) {
        d.direction = in.ReadInt();
        d.jump = in.ReadInt();
        d.turbo = in.ReadInt();
    }
    in.Close();
}
