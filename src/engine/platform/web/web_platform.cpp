// The browser host. Everything the page does (canvas, scaling, keys, pads, audio node, the step
// clock) lives in web/page.js as the object PumkoPage; these imports are its whole interface.
#include "engine/platform/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cstring>

#include "engine/platform/pad_merge.h"
#include "engine/render/soft/soft_renderer.h"

namespace {
WebPlatform* g_platform = nullptr; // the audio node's way back in

// clang-format off
EM_JS(void, page_open, (int width, int height, int scale_mode), { PumkoPage.open(width, height, scale_mode); });
EM_JS(void, page_show, (const uint8_t* rgba, int width, int height), { PumkoPage.show(rgba, width, height); });
EM_JS(int, page_next_event, (int* out), { return PumkoPage.nextEvent(out); });
EM_JS(void, page_hide_pointer, (), { PumkoPage.hidePointer(); });
EM_JS(int, page_step_due, (), { return PumkoPage.stepDue(); });
// Sleeps (through Asyncify) until the browser's next animation frame brings a step due, or the
// page is hidden.
EM_JS(void, page_wait_step, (), { Asyncify.handleSleep(function(wakeUp) { PumkoPage.waitStep(wakeUp); }); });
EM_JS(int, page_read_pads, (float* axes, int max_pads), { return PumkoPage.readPads(axes, max_pads); });
EM_JS(int, page_open_audio, (int rate, int frames), { return PumkoPage.openAudio(rate, frames); });
EM_JS(void, page_close_audio, (), { PumkoPage.closeAudio(); });
EM_JS(double, page_epoch_ms, (), { return Date.now() - performance.now(); });
// clang-format on
} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* pumko_web_audio_fill(int frames) {
    return g_platform ? g_platform->FillAudio(frames) : nullptr;
}

WebPlatform::WebPlatform(const DisplayChoices& choices) : choices_(choices) { g_platform = this; }

WebPlatform::~WebPlatform() {
    CloseAudio();
    if (g_platform == this) g_platform = nullptr;
}

bool WebPlatform::OpenWindow(const std::string&, int width, int height, bool, std::string&) {
    soft_ = std::make_unique<SoftRenderer>(width, height);
    shown_.assign(size_t(width) * size_t(height) * 4, 255);
    page_open(width, height, int(choices_.scale));
    return true;
}

void WebPlatform::CloseWindow() { soft_.reset(); }

Renderer* WebPlatform::GetRenderer() { return soft_.get(); }

void WebPlatform::Present(bool vsync) {
    if (!soft_) return;
    // The back buffer's fourth byte is not alpha; the canvas wants it opaque.
    const uint8_t* src = soft_->Pixels();
    const size_t n = size_t(soft_->Width()) * size_t(soft_->Height());
    uint8_t* dst = shown_.data();
    for (size_t i = 0; i < n; ++i, src += 4, dst += 4) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
    page_show(shown_.data(), soft_->Width(), soft_->Height());
    if (after_present_) after_present_();
    // A step already due (a display slower than 60 Hz, or a late frame) goes on at once; otherwise
    // the game waits for the browser's frame that brings the next one.
    if (vsync && !page_step_due()) page_wait_step();
}

void WebPlatform::PumpEvents(void (*sink)(const PlatformEvent&)) {
    int e[4];
    while (page_next_event(e)) {
        PlatformEvent ev{PlatformEvent::Type(e[0])};
        ev.code = e[1];
        ev.x = e[2];
        ev.y = e[3];
        sink(ev);
    }
}

void WebPlatform::HidePointer() { page_hide_pointer(); }

// Milliseconds on the wall clock's scale (the start-up seed differs from visit to visit), steady
// as the page's performance clock.
uint32_t WebPlatform::Millis() {
    static const double epoch = page_epoch_ms();
    return uint32_t(uint64_t(epoch + emscripten_get_now()));
}

uint32_t WebPlatform::Micros() { return uint32_t(uint64_t(emscripten_get_now() * 1000.0)); }

// Every wait gives the browser its turn: a page that never yields never draws or hears a key.
void WebPlatform::Sleep(int ms) { emscripten_sleep(unsigned(std::max(ms, 0))); }

void WebPlatform::SleepMicros(int us) { emscripten_sleep(unsigned(std::max(us, 0) / 1000)); }

// The page reports each pad already in the game's numbering (buttons, then six axes from -1 to
// 1, with the d-pad folded into the stick); the dead zone and the merging are the desktop's.
bool WebPlatform::ReadJoystick(int index, JoystickState& out) {
    if (index != 0) return false;
    constexpr int kMaxPads = 4;
    float raw[kMaxPads * 7] = {};
    const int count = std::clamp(page_read_pads(raw, kMaxPads), 0, kMaxPads);
    std::vector<PadReading> pads(static_cast<size_t>(count));
    for (int p = 0; p < count; ++p) {
        const float* r = raw + p * 7;
        pads[size_t(p)].buttons = uint32_t(r[0]);
        for (int a = 0; a < 6; ++a) pads[size_t(p)].axis[a] = r[1 + a];
        pads[size_t(p)].axis[0] = ApplyDeadZone(pads[size_t(p)].axis[0], dead_zone_);
        pads[size_t(p)].axis[1] = ApplyDeadZone(pads[size_t(p)].axis[1], dead_zone_);
    }
    out = MergePads(pads);
    return true;
}

bool WebPlatform::ConfigurePads(const PadOptions& options) {
    dead_zone_ = options.dead_zone;
    return true; // the browser maps pads itself; mapping files do not apply
}

bool WebPlatform::OpenAudio(int rate, int fragment_frames, AudioCallback cb, void* user) {
    CloseAudio();
    if (!cb) return false;
    audio_cb_ = cb;
    audio_user_ = user;
    if (!page_open_audio(rate, fragment_frames)) {
        audio_cb_ = nullptr;
        audio_user_ = nullptr;
        return false;
    }
    return true;
}

void WebPlatform::CloseAudio() {
    if (audio_cb_) page_close_audio();
    audio_cb_ = nullptr;
    audio_user_ = nullptr;
}

const int16_t* WebPlatform::FillAudio(int frames) {
    audio_buf_.resize(size_t(std::max(frames, 0)) * 2);
    if (audio_cb_)
        audio_cb_(audio_user_, audio_buf_.data(), frames);
    else
        std::fill(audio_buf_.begin(), audio_buf_.end(), int16_t(0));
    return audio_buf_.data();
}
