// The headless host: a software-rendered picture, a virtual clock that only sleeps move, input
// from a script keyed by frame number, an optional virtual joystick and audio run by hand.
#include "engine/platform/headless/headless_platform.h"

#include <cstring>

#include "engine/render/soft/soft_renderer.h"

HeadlessPlatform::HeadlessPlatform() = default;
HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::At(int frame, const PlatformEvent& ev) { script_.emplace(frame, ev); }

void HeadlessPlatform::AtTime(uint32_t ms, const PlatformEvent& ev) { timed_script_.emplace(ms, ev); }

void HeadlessPlatform::KeyPress(int frame, int code, int hold) {
    PlatformEvent down{PlatformEvent::KeyDown};
    down.code = code;
    PlatformEvent up{PlatformEvent::KeyUp};
    up.code = code;
    At(frame, down);
    At(frame + (hold > 0 ? hold : 1), up);
}

void HeadlessPlatform::MouseClick(int frame, int button, int hold) {
    PlatformEvent down{PlatformEvent::MouseDown};
    down.code = button;
    down.x = pointer_x;
    down.y = pointer_y;
    PlatformEvent up = down;
    up.type = PlatformEvent::MouseUp;
    At(frame, down);
    At(frame + (hold > 0 ? hold : 1), up);
}

void HeadlessPlatform::OnFrame(std::function<void(int frame)> fn) { on_frame_.push_back(std::move(fn)); }

void HeadlessPlatform::SetJoystick(const JoystickState& state) {
    has_joystick_ = true;
    joystick_ = state;
}

void HeadlessPlatform::SetJoystickAtTime(uint32_t ms, const JoystickState& state) {
    timed_joystick_.emplace(ms, state);
}

void HeadlessPlatform::MixAudio(int16_t* out, int frames) {
    if (audio_cb_)
        audio_cb_(audio_user_, out, frames);
    else
        std::memset(out, 0, size_t(frames) * 2 * sizeof(int16_t));
}

// The picture is always 640 x 480, whatever the game asks for.
bool HeadlessPlatform::OpenWindow(const std::string&, int, int, bool, std::string&) {
    soft_ = std::make_unique<SoftRenderer>(640, 480);
    return true;
}

void HeadlessPlatform::CloseWindow() { soft_.reset(); }

Renderer* HeadlessPlatform::GetRenderer() { return rendering_ ? soft_.get() : nullptr; }

// Counts the frame and runs the hooks; hooks may script more input or add hooks.
void HeadlessPlatform::Present(bool) {
    ++frames_;
    for (size_t i = 0; i < on_frame_.size(); ++i) on_frame_[i](frames_);
}

// Delivers every scripted event due by now, in frame order (events of one frame in the order
// they were scripted). They are taken out first so the sink may script more.
void HeadlessPlatform::PumpEvents(void (*sink)(const PlatformEvent&)) {
    std::vector<PlatformEvent> due;
    auto end = script_.upper_bound(frames_);
    for (auto it = script_.begin(); it != end; ++it) due.push_back(it->second);
    script_.erase(script_.begin(), end);
    auto timed_end = timed_script_.upper_bound(now_);
    for (auto it = timed_script_.begin(); it != timed_end; ++it) due.push_back(it->second);
    timed_script_.erase(timed_script_.begin(), timed_end);
    for (const PlatformEvent& ev : due) sink(ev);
}

void HeadlessPlatform::MovePointer(int x, int y) {
    pointer_x = x;
    pointer_y = y;
    PlatformEvent ev{PlatformEvent::MouseMove};
    ev.x = x;
    ev.y = y;
    At(frames_, ev);
}

void HeadlessPlatform::Sleep(int ms) {
    if (ms > 0) now_ += uint32_t(ms);
}

int HeadlessPlatform::JoystickCount() { return has_joystick_ ? 1 : 0; }

bool HeadlessPlatform::ReadJoystick(int index, JoystickState& out) {
    const auto due = timed_joystick_.upper_bound(now_);
    for (auto it = timed_joystick_.begin(); it != due; ++it) SetJoystick(it->second);
    timed_joystick_.erase(timed_joystick_.begin(), due);
    if (!has_joystick_ || index != 0) return false;
    out = joystick_;
    return true;
}

bool HeadlessPlatform::OpenAudio(int, int, AudioCallback cb, void* user) {
    if (!audio_enabled_) return false;
    audio_cb_ = cb;
    audio_user_ = user;
    return true;
}

void HeadlessPlatform::CloseAudio() {
    audio_cb_ = nullptr;
    audio_user_ = nullptr;
}
