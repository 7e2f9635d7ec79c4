// Pads on the real SDL host, driven by SDL's virtual joysticks: what a mapped pad and a raw device
// feed into the polled joystick state, plugging in and pulling out while the game runs, extra
// mappings from a file, and a whole game start played with a pad alone.
#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "engine/engine.h"
#include "engine/platform/sdl/sdl_platform.h"
#include "game/game.h"
#include "flow/main_loop.h"
#include "support/scenario.h"

namespace {

// A virtual device: a mapped pad (SDL maps virtual pads on its own) or a raw one, which SDL
// cannot map until it is given a mapping for it.
class VirtualPad {
  public:
    static VirtualPad Mapped() {
        SDL_VirtualJoystickDesc d = Desc(SDL_JOYSTICK_TYPE_GAMECONTROLLER, "Test pad");
        d.naxes = SDL_CONTROLLER_AXIS_MAX;
        d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        return VirtualPad(d);
    }
    // As common wired pads report themselves: six axes, fifteen buttons, one hat.
    static VirtualPad Raw(const char* name = "Test wired pad") {
        SDL_VirtualJoystickDesc d = Desc(SDL_JOYSTICK_TYPE_UNKNOWN, name);
        d.naxes = 6;
        d.nbuttons = 15;
        d.nhats = 1;
        d.vendor_id = 0x1234;
        d.product_id = 0x5678;
        return VirtualPad(d);
    }
    VirtualPad(VirtualPad&& o) noexcept : joystick_(o.joystick_) { o.joystick_ = nullptr; }
    ~VirtualPad() { Unplug(); }

    void Button(int b, bool down) { SDL_JoystickSetVirtualButton(joystick_, b, down ? 1 : 0); }
    void Axis(int a, int value) { SDL_JoystickSetVirtualAxis(joystick_, a, Sint16(value)); }
    void Hat(Uint8 value) { SDL_JoystickSetVirtualHat(joystick_, 0, value); }
    std::string Guid() const {
        char text[64];
        SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick_), text, sizeof text);
        return text;
    }
    void Unplug() {
        if (!joystick_) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
    }

  private:
    static SDL_VirtualJoystickDesc Desc(SDL_JoystickType type, const char* name) {
        SDL_VirtualJoystickDesc d{};
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = Uint16(type);
        d.name = name;
        return d;
    }
    explicit VirtualPad(const SDL_VirtualJoystickDesc& d) {
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        const int index = SDL_JoystickAttachVirtualEx(&d);
        EXPECT_GE(index, 0) << SDL_GetError();
        joystick_ = SDL_JoystickOpen(index);
    }
    SDL_Joystick* joystick_ = nullptr;
};

// The engine on the SDL host, without a window: the game's joystick queries go to the pads.
class SdlPads : public ::testing::Test {
  protected:
    void SetUp() override {
        EngineInit(&platform);
        EXPECT_EQ(CountJoysticks(), 1); // the one logical pad, even with nothing plugged in
    }
    void TearDown() override { EngineShutdown(); }
    SdlPlatform platform;
};

TEST_F(SdlPads, MappedPadSpeaksTheGameNumbering) {
    VirtualPad pad = VirtualPad::Mapped();
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(JoyButtonDown(0, 0), 1); // jump and confirm
    EXPECT_EQ(JoyButtonHit(0, 0), 1);
    pad.Button(SDL_CONTROLLER_BUTTON_A, false);
    pad.Button(SDL_CONTROLLER_BUTTON_B, true);
    EXPECT_EQ(JoyButtonHit(1, 0), 1); // fire
    pad.Button(SDL_CONTROLLER_BUTTON_B, false);
    pad.Button(SDL_CONTROLLER_BUTTON_X, true);
    EXPECT_EQ(JoyButtonHit(7, 0), 1);  // fire too
    EXPECT_EQ(JoyButtonDown(2, 0), 0); // not the pause
    pad.Button(SDL_CONTROLLER_BUTTON_X, false);
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_EQ(JoyButtonHit(2, 0), 1);  // pause
    EXPECT_EQ(JoyButtonDown(7, 0), 0); // not fire
    pad.Button(SDL_CONTROLLER_BUTTON_START, false);

    // Back is F1, as a key.
    pad.Button(SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_EQ(KeyWasHit(112), 1);
    EXPECT_EQ(KeyIsDown(112), 1);
    pad.Button(SDL_CONTROLLER_BUTTON_BACK, false);
    EXPECT_EQ(KeyIsDown(112), 0);
    EXPECT_EQ(JoyButtonDown(0, 0) + JoyButtonDown(1, 0) + JoyButtonDown(2, 0) + JoyButtonDown(7, 0), 0);

    // The d-pad reads full deflection, exactly as the game compares it.
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(JoyAxisX(0), -1.0f);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    EXPECT_EQ(JoyAxisY(0), 1.0f);
    EXPECT_EQ(JoyAxisX(0), 0.0f);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    EXPECT_EQ(JoyAxisY(0), 0.0f);

    // The left stick: a resting drift reads centred, the ends read exactly -1 and +1.
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 6000);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -6000);
    EXPECT_EQ(JoyAxisX(0), 0.0f);
    EXPECT_EQ(JoyAxisY(0), 0.0f);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    EXPECT_EQ(JoyAxisX(0), 1.0f);
    EXPECT_EQ(JoyAxisY(0), -1.0f);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 24000);
    EXPECT_GT(JoyAxisX(0), 0.5f);
    EXPECT_LT(JoyAxisX(0), 1.0f);
    // The d-pad wins over the stick.
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(JoyAxisX(0), -1.0f);
}

TEST_F(SdlPads, TheDeadZoneIsTheSettingsOne) {
    VirtualPad pad = VirtualPad::Mapped();
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 6000);
    EXPECT_EQ(JoyAxisX(0), 0.0f);
    PadOptions options;
    options.dead_zone = 0.1f;
    EXPECT_TRUE(platform.ConfigurePads(options));
    EXPECT_GT(JoyAxisX(0), 0.0f);
}

TEST_F(SdlPads, UnmappedDeviceKeepsRawNumberingWithItsHatAsTheStick) {
    VirtualPad pad = VirtualPad::Raw();
    pad.Button(7, true);
    EXPECT_EQ(JoyButtonDown(7, 0), 1);
    EXPECT_EQ(JoyButtonDown(2, 0), 0);
    pad.Button(7, false);
    pad.Button(14, true);
    EXPECT_EQ(JoyButtonDown(14, 0), 1);
    pad.Button(14, false);

    pad.Hat(SDL_HAT_LEFTUP);
    EXPECT_EQ(JoyAxisX(0), -1.0f);
    EXPECT_EQ(JoyAxisY(0), -1.0f);
    pad.Hat(SDL_HAT_RIGHT);
    EXPECT_EQ(JoyAxisX(0), 1.0f);
    EXPECT_EQ(JoyAxisY(0), 0.0f);
    pad.Hat(SDL_HAT_CENTERED);
    pad.Axis(0, -32768);
    EXPECT_EQ(JoyAxisX(0), -1.0f);
    pad.Axis(0, 0);
    EXPECT_EQ(JoyAxisX(0), 0.0f);
}

TEST_F(SdlPads, PadsPluggedInLaterAreTakenInAndTwoPadsBothWork) {
    EXPECT_EQ(JoyButtonDown(0, 0), 0);
    EXPECT_EQ(JoyAxisX(0), 0.0f);
    VirtualPad first = VirtualPad::Mapped();
    first.Button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(JoyButtonHit(0, 0), 1);

    VirtualPad second = VirtualPad::Raw("Second pad");
    second.Hat(SDL_HAT_RIGHT);
    EXPECT_EQ(JoyAxisX(0), 1.0f);
    EXPECT_EQ(JoyButtonDown(0, 0), 1); // the first pad still holds A
    first.Button(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(JoyButtonDown(0, 0), 0);
    first.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(JoyAxisX(0), -1.0f); // equal pushes: the pad plugged in first
}

// A pad pulled out while held used to leave its last reading in place: the hero walked on alone.
TEST_F(SdlPads, PadPulledOutWhileHeldReleasesEverything) {
    VirtualPad pad = VirtualPad::Mapped();
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Button(SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_EQ(JoyAxisX(0), 1.0f);
    EXPECT_EQ(JoyButtonDown(0, 0), 1);
    EXPECT_EQ(KeyIsDown(112), 1);

    pad.Unplug();
    EXPECT_EQ(JoyAxisX(0), 0.0f);
    EXPECT_EQ(JoyAxisY(0), 0.0f);
    EXPECT_EQ(JoyButtonDown(0, 0), 0);
    EXPECT_EQ(KeyIsDown(112), 0);

    // Plugged in again, it works again.
    VirtualPad again = VirtualPad::Mapped();
    again.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(JoyAxisX(0), -1.0f);
}

// A wired pad SDL does not know reports Start as button 7 (fire) and X as 2 (pause); a line for
// it in a mapping file puts its buttons where the game expects them.
TEST_F(SdlPads, AMappingFileMakesAnUnknownPadSpeakTheGameNumbering) {
    VirtualPad pad = VirtualPad::Raw();
    pad.Button(7, true);
    EXPECT_EQ(JoyButtonDown(7, 0), 1);
    pad.Button(7, false);

    const std::filesystem::path file = std::filesystem::temp_directory_path() / "pumko-test-gamecontrollerdb.txt";
    {
        std::ofstream out(file);
        out << "# one pad\n"
            << pad.Guid()
            << ",Test wired pad,a:b0,b:b1,x:b2,y:b3,back:b6,start:b7,leftx:a0,lefty:a1,"
               "dpup:h0.1,dpright:h0.2,dpdown:h0.4,dpleft:h0.8,platform:Linux,\n";
    }
    PadOptions options;
    options.mapping_file = file.string();
    EXPECT_TRUE(platform.ConfigurePads(options));
    std::filesystem::remove(file);

    pad.Button(7, true); // Start
    EXPECT_EQ(JoyButtonDown(2, 0), 1);
    EXPECT_EQ(JoyButtonDown(7, 0), 0);
    pad.Button(7, false);
    pad.Button(2, true); // X
    EXPECT_EQ(JoyButtonDown(7, 0), 1);
    EXPECT_EQ(JoyButtonDown(2, 0), 0);
    pad.Button(2, false);
    pad.Hat(SDL_HAT_DOWN);
    EXPECT_EQ(JoyAxisY(0), 1.0f);

    options.mapping_file = "/nonexistent/gamecontrollerdb.txt";
    EXPECT_FALSE(platform.ConfigurePads(options));
    // An empty file holds no mappings, and is no unreadable one.
    std::ofstream{file};
    options.mapping_file = file.string();
    EXPECT_TRUE(platform.ConfigurePads(options));
    std::filesystem::remove(file);
}

// Mappings from the environment are SDL's own; they reach the game the same way.
TEST(SdlPadMappings, TheEnvironmentsMappingsAreUsed) {
    std::string guid;
    {
        SdlPlatform probe;
        VirtualPad pad = VirtualPad::Raw();
        guid = pad.Guid();
    }
    const std::string mapping = guid + ",Test wired pad,a:b0,b:b1,x:b2,start:b7,platform:Linux,";
    setenv("SDL_GAMECONTROLLERCONFIG", mapping.c_str(), 1);
    {
        SdlPlatform platform;
        EngineInit(&platform);
        CountJoysticks();
        VirtualPad pad = VirtualPad::Raw();
        pad.Button(7, true);
        EXPECT_EQ(JoyButtonDown(2, 0), 1);
        EngineShutdown();
    }
    unsetenv("SDL_GAMECONTROLLERCONFIG");
}

// The real game on the SDL host with a virtual pad and nothing else: the logo skipped with A, the
// menu moved with the d-pad, a game started with A, the title card skipped, a walk to the right
// with the d-pad, a jump, and a pause with Start that Start ends.
class PadDrivenHost : public Platform {
  public:
    explicit PadDrivenHost(Platform& real) : real_(real) {}
    std::function<void()> after_present, on_sleep;
    int frames = 0;

    bool OpenWindow(const std::string& t, int w, int h, bool f, std::string& e) override {
        return real_.OpenWindow(t, w, h, f, e);
    }
    void CloseWindow() override { real_.CloseWindow(); }
    Renderer* GetRenderer() override { return real_.GetRenderer(); }
    void Present(bool vsync) override {
        real_.Present(vsync);
        ++frames;
        if (after_present) after_present();
    }
    bool HasVsync() override { return real_.HasVsync(); }
    void PumpEvents(void (*sink)(const PlatformEvent&)) override { real_.PumpEvents(sink); }
    void MovePointer(int x, int y) override { real_.MovePointer(x, y); }
    void HidePointer() override { real_.HidePointer(); }
    uint32_t Millis() override { return real_.Millis(); }
    void Sleep(int ms) override {
        real_.Sleep(ms);
        if (on_sleep) on_sleep();
    }
    int JoystickCount() override { return real_.JoystickCount(); }
    bool ReadJoystick(int index, JoystickState& out) override { return real_.ReadJoystick(index, out); }
    bool OpenAudio(int, int, AudioCallback, void*) override { return false; }
    void CloseAudio() override {}

  private:
    Platform& real_;
};

TEST(SdlGame, AWholeGameStartWithAPadAlone) {
    // The game writes its top score under its working folder: give it one of its own.
    const std::filesystem::path old_cwd = std::filesystem::current_path();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "pumko-pad-game";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "data");
    std::filesystem::current_path(folder);
    DrawnTexts().clear();

    SdlPlatform sdl;
    PadDrivenHost host(sdl);
    EngineInit(&host);
    VirtualPad pad = VirtualPad::Mapped();

    // Each step waits for its condition after a presented frame, then acts; a button pressed by a
    // step is released a few frames later.
    struct Step {
        std::function<bool()> when;
        std::function<void()> act;
    };
    // A pressed button is let go after a few frames, or once the game has slept many times without
    // presenting a frame: it waits, as the title does while the d-pad or A is held.
    std::map<int, int> held; // button, frame at which it is let go
    int step_frame = 0, sleeps = 0, sleeps_since_frame = 0;
    auto press = [&](int button, int frames = 4) {
        pad.Button(button, true);
        held[button] = host.frames + frames;
    };
    auto release = [&](bool all) {
        for (auto it = held.begin(); it != held.end();) {
            if (all || host.frames >= it->second) {
                pad.Button(it->first, false);
                it = held.erase(it);
            } else {
                ++it;
            }
        }
    };
    auto quit = [] {
        SDL_Event e{};
        e.type = SDL_QUIT;
        SDL_PushEvent(&e);
    };
    // Walking right moves the hero toward the middle of the screen, then scrolls the world.
    float walked = 0;
    int pointer_after_down = -1, pointer_after_up = -1, jump_seen = 0, frames_paused = 0, sleeps_paused = 0;
    bool resumed = false;
    auto in = [](int state) { return [state] { return game.state == state; }; };
    auto after = [&](int n) { return [&step_frame, &host, n] { return host.frames >= step_frame + n; }; };
    std::vector<Step> steps = {
        {[&] { return host.frames >= 2; }, [&] { press(SDL_CONTROLLER_BUTTON_A); }}, // the logo
        {in(STATE_TITLE), [&] { press(SDL_CONTROLLER_BUTTON_DPAD_DOWN); }},
        {after(10), [&] { pointer_after_down = PointerY(); }},
        {after(1), [&] { press(SDL_CONTROLLER_BUTTON_DPAD_UP); }},
        {after(10), [&] { pointer_after_up = PointerY(); }},
        {after(1), [&] { press(SDL_CONTROLLER_BUTTON_A); }}, // "Start 1 player game"
        {in(STATE_INTRO), [&] { press(SDL_CONTROLLER_BUTTON_A); }},
        {in(STATE_PLAY),
         [&] {
             walked = -current_player().x + float(game.cauldx);
             press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 40);
         }},
        {after(45),
         [&] {
             walked += current_player().x - float(game.cauldx);
             press(SDL_CONTROLLER_BUTTON_A);
         }},
        {after(2), [&] { jump_seen = game.jump; }},
        {after(60), [&] { press(SDL_CONTROLLER_BUTTON_START); }},
        {after(1), [&] { frames_paused = host.frames; }},
    };
    size_t next = 0;
    host.after_present = [&] {
        sleeps_since_frame = 0;
        release(false);
        if (next < steps.size() && steps[next].when()) {
            step_frame = host.frames;
            steps[next++].act();
        }
        if (next == steps.size() && frames_paused > 0 && host.frames > frames_paused + 1) resumed = true;
        if (resumed || host.frames > 4000) quit();
    };
    // While paused no frame is presented: the pause waits, polling, until Start is pressed again.
    host.on_sleep = [&] {
        if (++sleeps_since_frame >= 20) release(true);
        if (++sleeps > 200000) quit(); // a wait that never ends
        if (next < steps.size() || frames_paused == 0 || host.frames != frames_paused) return;
        ++sleeps_paused;
        if (sleeps_paused == 100) press(SDL_CONTROLLER_BUTTON_START);
    };

    const int code = RunGame();
    EngineShutdown();
    std::filesystem::current_path(old_cwd);
    std::filesystem::remove_all(folder);

    EXPECT_EQ(code, 0);
    EXPECT_EQ(next, steps.size()) << "stopped before step " << next;
    EXPECT_EQ(pointer_after_down, 160); // the second entry
    EXPECT_EQ(pointer_after_up, 0);     // back on the first
    EXPECT_GE(walked, 100.0f);          // 40 frames at 4 pixels
    EXPECT_EQ(jump_seen, 1);
    EXPECT_TRUE(TextWasDrawn("** Paused **"));
    EXPECT_GE(sleeps_paused, 100);
    EXPECT_TRUE(resumed);
}

} // namespace
