// Polled input over a scripted host: press counting, auto-repeat, per-side keys, suspension,
// close requests, the pump's re-entry guard, the pointer and joystick sampling.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "engine/engine.h"
#include "engine/platform.h"

namespace {
// A host whose pending events and joystick are set by the test.
class ScriptedHost : public Platform {
  public:
    std::deque<PlatformEvent> pending;
    int pumps = 0;
    bool joystick_present = false;
    int joystick_reads = 0;
    JoystickState joystick;
    int moved_x = -1, moved_y = -1;
    // Called from inside the pump, as a host callback might.
    std::function<void()> during_pump;

    void Post(PlatformEvent::Type t, int code = 0, int x = 0, int y = 0) {
        PlatformEvent ev{t};
        ev.code = code;
        ev.x = x;
        ev.y = y;
        pending.push_back(ev);
    }

    bool OpenWindow(const std::string&, int, int, bool, std::string&) override { return false; }
    void CloseWindow() override {}
    Renderer* GetRenderer() override { return nullptr; }
    void Present(bool) override {}
    bool HasVsync() override { return false; }
    void PumpEvents(void (*sink)(const PlatformEvent&)) override {
        ++pumps;
        if (during_pump) during_pump();
        while (!pending.empty()) {
            PlatformEvent ev = pending.front();
            pending.pop_front();
            sink(ev);
        }
    }
    void MovePointer(int x, int y) override {
        moved_x = x;
        moved_y = y;
    }
    void HidePointer() override {}
    uint32_t Millis() override { return 0; }
    void Sleep(int) override {}
    int JoystickCount() override { return 4; }
    bool ReadJoystick(int index, JoystickState& out) override {
        ++joystick_reads;
        if (!joystick_present || index != 2) return false;
        out = joystick;
        return true;
    }
    bool OpenAudio(int, int, AudioCallback, void*) override { return false; }
    void CloseAudio() override {}
};

class Input : public ::testing::Test {
  protected:
    void SetUp() override {
        EngineInit(&host);
        InputReset();
    }
    void TearDown() override {
        InputReset();
        EngineShutdown();
    }
    ScriptedHost host;
};
} // namespace

TEST_F(Input, PressesAreCountedOnceEachAndRepeatsIgnored) {
    for (int i = 0; i < 2; ++i) {
        host.Post(PlatformEvent::KeyDown, 32);
        host.Post(PlatformEvent::KeyUp, 32);
    }
    EXPECT_EQ(KeyWasHit(32), 2);
    EXPECT_EQ(KeyWasHit(32), 0);

    host.Post(PlatformEvent::KeyDown, 37);
    host.Post(PlatformEvent::KeyRepeat, 37);
    host.Post(PlatformEvent::KeyRepeat, 37);
    host.Post(PlatformEvent::KeyDown, 37); // a held key reported down again
    EXPECT_EQ(KeyIsDown(37), 1);
    EXPECT_EQ(KeyWasHit(37), 1);
    host.Post(PlatformEvent::KeyUp, 37);
    EXPECT_EQ(KeyIsDown(37), 0);

    // The right-hand Control is its own key.
    host.Post(PlatformEvent::KeyDown, 163);
    EXPECT_EQ(KeyIsDown(162), 0);
    EXPECT_EQ(KeyWasHit(162), 0);
    EXPECT_EQ(KeyWasHit(163), 1);

    // Out-of-range codes are ignored rather than written past the tables.
    host.Post(PlatformEvent::KeyDown, 300);
    host.Post(PlatformEvent::KeyDown, -4);
    EXPECT_EQ(KeyWasHit(300), 0);
    EXPECT_EQ(KeyIsDown(-4), 0);

    host.Post(PlatformEvent::KeyDown, 40);
    FlushKeyboard(); // pumps first, so the pending press is flushed too
    EXPECT_EQ(KeyIsDown(40), 0);
    EXPECT_EQ(KeyWasHit(40), 0);
}

TEST_F(Input, MouseButtonsWheelAndPointer) {
    host.Post(PlatformEvent::MouseDown, 1);
    host.Post(PlatformEvent::MouseUp, 1);
    host.Post(PlatformEvent::MouseDown, 2);
    host.Post(PlatformEvent::MouseMove, 0, 300, 200);
    host.Post(PlatformEvent::Wheel, 0, -2);
    EXPECT_EQ(MouseWasHit(1), 1);
    EXPECT_EQ(MouseWasHit(1), 0);
    EXPECT_EQ(MouseIsDown(2), 1);
    EXPECT_EQ(PointerX(), 300);
    EXPECT_EQ(PointerY(), 200);
    EXPECT_EQ(PointerWheel(), -2);
    FlushPointer();
    EXPECT_EQ(MouseIsDown(2), 0);
    EXPECT_EQ(PointerWheel(), 0);

    MovePointer(320, 240);
    EXPECT_EQ(PointerY(), 240); // before the host reports anything
    EXPECT_EQ(host.moved_x, 320);
    EXPECT_EQ(host.moved_y, 240);
}

TEST_F(Input, SuspensionFlushesAndCloseIsReadOnce) {
    host.Post(PlatformEvent::KeyDown, 39);
    host.Post(PlatformEvent::MouseDown, 1);
    EXPECT_EQ(KeyIsDown(39), 1);
    host.Post(PlatformEvent::Suspend);
    EXPECT_EQ(AppIsSuspended(), 1);
    EXPECT_EQ(KeyIsDown(39), 0);
    EXPECT_EQ(KeyWasHit(39), 0);
    EXPECT_EQ(MouseIsDown(1), 0);
    EXPECT_EQ(AppIsSuspended(), 1);
    host.Post(PlatformEvent::Resume);
    EXPECT_EQ(AppIsSuspended(), 0);

    EXPECT_EQ(CloseRequested(), 0);
    host.Post(PlatformEvent::Close);
    EXPECT_EQ(CloseRequested(), 1);
    EXPECT_EQ(CloseRequested(), 0);
}

TEST_F(Input, QueriesInsideThePumpDoNotPumpAgain) {
    int inner_hits = -1;
    host.during_pump = [&] { inner_hits = KeyWasHit(32); };
    host.Post(PlatformEvent::KeyDown, 32);
    int before = host.pumps;
    EXPECT_EQ(KeyWasHit(32), 1);
    EXPECT_EQ(host.pumps, before + 1);
    EXPECT_EQ(inner_hits, 0); // the event was still pending when asked from inside
}

TEST_F(Input, JoystickAxesButtonsAndHitsAtSamples) {
    // No device answers: the initial values, no hits, nothing reported.
    EXPECT_EQ(CountJoysticks(), 0);
    EXPECT_EQ(JoyAxisX(0), 0.0f);
    EXPECT_EQ(JoyButtonHit(0, 0), 0);

    host.joystick_present = true;
    EXPECT_EQ(CountJoysticks(), 1); // device 2 is the only one answering: port 0 uses it
    JoystickState& js = host.joystick;
    js.axis_count = 2;
    js.axis_max[0] = js.axis_max[1] = 65535;
    js.axis[0] = 0;
    js.axis[1] = 65535;
    EXPECT_EQ(JoyAxisX(0), -1.0f);
    EXPECT_EQ(JoyAxisY(0), 1.0f);
    js.axis[0] = 32767;
    EXPECT_LT(JoyAxisX(0), 0.0f);
    EXPECT_GT(JoyAxisX(0), -0.001f);

    // Hits are counted at samples: a press seen by one sample counts once however often asked.
    int reads = host.joystick_reads;
    js.buttons = 0x81; // buttons 0 and 7
    EXPECT_EQ(JoyButtonDown(7, 0), 1);
    EXPECT_EQ(JoyButtonDown(7 + 32, 0), 1); // button numbers wrap at 32
    EXPECT_EQ(JoyButtonHit(0, 0), 1);
    EXPECT_EQ(JoyButtonHit(0, 0), 0);
    EXPECT_EQ(JoyButtonHit(7, 0), 1);
    EXPECT_EQ(host.joystick_reads, reads + 5); // every query samples afresh
    js.buttons = 0;
    JoyButtonDown(0, 0);
    js.buttons = 1;
    JoyButtonDown(0, 0);
    EXPECT_EQ(JoyButtonHit(0, 0), 1);
    js.buttons = 0; // pressed and released with no sample in between: not seen
    js.buttons = 1;
    js.buttons = 0;
    EXPECT_EQ(JoyButtonHit(0, 0), 0);

    // Unplugged: the last values stay.
    js.axis[0] = 65535;
    JoyAxisX(0);
    host.joystick_present = false;
    EXPECT_EQ(JoyAxisX(0), 1.0f);
    EXPECT_EQ(JoyButtonHit(3, 99), 0); // a port out of range is harmless
}

TEST_F(Input, KeyMapTurnsTheHostsKeysIntoTheGamesCodes) {
    std::array<int, 256> map;
    for (int i = 0; i < 256; ++i) map[size_t(i)] = i;
    map['Z'] = 162; // Z jumps
    map[162] = 0;   // left Control no longer does
    SetKeyMap(map);
    InputReset(); // the bindings outlive the state

    host.Post(PlatformEvent::KeyDown, 'Z');
    EXPECT_EQ(KeyIsDown(162), 1);
    EXPECT_EQ(KeyWasHit(162), 1);
    EXPECT_EQ(KeyWasHit('Z'), 0);
    host.Post(PlatformEvent::KeyUp, 'Z');
    EXPECT_EQ(KeyIsDown(162), 0);
    host.Post(PlatformEvent::KeyDown, 162);
    host.Post(PlatformEvent::KeyDown, 32); // unbound keys pass unchanged
    EXPECT_EQ(KeyWasHit(162), 0);
    EXPECT_EQ(KeyWasHit(32), 1);

    // Injected events already carry the game's codes.
    PlatformEvent ev{PlatformEvent::KeyDown};
    ev.code = 162;
    InjectInputEvent(ev);
    EXPECT_EQ(KeyWasHit(162), 1);

    ClearKeyMap();
    host.Post(PlatformEvent::KeyUp, 162);
    host.Post(PlatformEvent::KeyDown, 162);
    EXPECT_EQ(KeyWasHit(162), 1);
}
