#include "replay/watched_platform.h"

#include "engine/engine.h"
#include "game/game.h"

bool InScreenBetweenPlay() {
    return game.state == STATE_INTRO || game.state == STATE_LEVELEND || game.state == STATE_DEATH ||
           game.state == STATE_GAMEOVER || game.state == STATE_ENDING;
}

void WatchedPlatform::Present(bool vsync) {
    inner_.Present(vsync);
    if (after_present) after_present();
}

namespace {
void (*g_sink)(const PlatformEvent&) = nullptr;
WatchedPlatform* g_self = nullptr;

void Filtered(const PlatformEvent& ev) {
    const WatchedPlatform::Input mode = g_self->input;
    const bool key = ev.type == PlatformEvent::KeyDown || ev.type == PlatformEvent::KeyUp ||
                     ev.type == PlatformEvent::KeyRepeat;
    const int code = key ? MappedKeyCode(ev.code) : 0;
    if (ev.type == PlatformEvent::Close || ev.type == PlatformEvent::Suspend || ev.type == PlatformEvent::Resume) {
        g_sink(ev);
        if (ev.type == PlatformEvent::Resume && g_self->after_resume) g_self->after_resume();
        return;
    }
    if (key && code == KEY_ESCAPE) { // quits at once: a level end would take it as a skip
        if (ev.type == PlatformEvent::KeyDown) {
            PlatformEvent close{};
            close.type = PlatformEvent::Close;
            g_sink(close);
        }
        return;
    }
    if (mode == WatchedPlatform::Input::Playback) {
        // Space as the player pressed it, whatever it is bound to: the pause of play alone.
        if (key && ev.code == KEY_SPACE && (game.state == STATE_PLAY || ev.type == PlatformEvent::KeyUp)) {
            PlatformEvent space = ev;
            space.code = KEY_SPACE;
            InjectInputEvent(space);
        }
        return;
    }
    if (InScreenBetweenPlay() && ev.type != PlatformEvent::KeyUp && ev.type != PlatformEvent::MouseUp &&
        ev.type != PlatformEvent::MouseMove) {
        if (key && (code == KEY_LCONTROL || code == KEY_F2 || code == KEY_F3)) return;
        if (ev.type == PlatformEvent::MouseDown) return;
    }
    g_sink(ev);
}

std::vector<PlatformEvent>* g_queue = nullptr;
void Queue(const PlatformEvent& ev) { g_queue->push_back(ev); }
} // namespace

void WatchedPlatform::PumpEvents(void (*sink)(const PlatformEvent&)) {
    if (hold_) {
        g_queue = &held_events_;
        inner_.PumpEvents(&Queue);
        return;
    }
    g_sink = sink;
    g_self = this;
    std::vector<PlatformEvent> waiting;
    waiting.swap(held_events_);
    for (const PlatformEvent& ev : waiting) input == Input::All ? sink(ev) : Filtered(ev);
    inner_.PumpEvents(input == Input::All ? sink : &Filtered);
}

bool WatchedPlatform::ReadJoystick(int index, JoystickState& out) {
    if (input == Input::Playback) return false;
    const size_t slot = size_t(index) < 4 ? size_t(index) : 3;
    if (hold_) {
        out = last_pad_[slot];
        return last_pad_ok_[slot];
    }
    last_pad_ok_[slot] = inner_.ReadJoystick(index, last_pad_[slot]);
    out = last_pad_[slot];
    if (!last_pad_ok_[slot]) return false;
    if (input == Input::Recording && InScreenBetweenPlay()) out.buttons &= ~1u; // button 0 skips screens
    return true;
}
