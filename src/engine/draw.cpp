// The display and 2D drawing: the drawing state and its matrix, images, the back buffer, and
// presenting with the frame-pacing rule.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/platform.h"
#include "engine/png_io.h"
#include "engine/renderer.h"

namespace {
TDrawState g_state;
int g_alpha_byte = 255;
int g_default_flags = IMG_MASKED | IMG_FILTERED;
bool g_auto_mid_handle = false;
bool g_open = false;
bool g_fullscreen = false;

// Frame pacing.
bool g_software_pacing = true;
double g_blank_ms = 0; // the refresh period of a display faster than the game, 0 when none
int g_hz = 60, g_period_us = 16666, g_remainder_us = 40, g_accumulator = 0;
uint32_t g_next_us = 0; // on the platform's wrapping microsecond clock

std::vector<uint8_t> g_grab; // reused by GrabImage

Renderer* R() {
    Platform* p = EnginePlatform();
    return (p && g_open) ? p->GetRenderer() : nullptr;
}

void UpdateMatrix() {
    const double s = SinDeg(g_state.tform_rot), c = CosDeg(g_state.tform_rot);
    g_state.tform_ix = float(c * g_state.tform_scale_x);
    g_state.tform_iy = float(-s * g_state.tform_scale_y);
    g_state.tform_jx = float(s * g_state.tform_scale_x);
    g_state.tform_jy = float(c * g_state.tform_scale_y);
}

DrawParams Params() {
    DrawParams p;
    p.r = uint8_t(g_state.color_red);
    p.g = uint8_t(g_state.color_green);
    p.b = uint8_t(g_state.color_blue);
    p.a = uint8_t(g_alpha_byte);
    p.blend = g_state.blend_mode;
    return p;
}

// The quad from (x0, y0) to (x1, y1) in shape coordinates, through the matrix, placed at (tx, ty).
void Corners(float x0, float y0, float x1, float y1, float tx, float ty, QuadVertex v[4]) {
    const TDrawState& s = g_state;
    const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
    for (int k = 0; k < 4; ++k) {
        v[k].x = xs[k] * s.tform_ix + ys[k] * s.tform_iy + tx;
        v[k].y = xs[k] * s.tform_jx + ys[k] * s.tform_jy + ty;
        v[k].u = us[k];
        v[k].v = vs[k];
    }
}

void ResetState(int width, int height) {
    TImageFont* font = g_state.image_font;
    g_state = TDrawState{};
    g_state.viewport_w = width;
    g_state.viewport_h = height;
    g_state.image_font = font;
    g_alpha_byte = 255;
}

void PresentRaw(bool vsync) {
    if (Platform* p = EnginePlatform()) p->Present(vsync);
}

// Three presents in a row that each take one 60 Hz period mean the vertical blank paces us. A
// display refreshing faster (75, 120, 144 Hz...) shows as presents of another steady length: the
// clock then paces the game and every present still waits for a blank, so nothing tears. Slower
// displays cannot show 60 frames a second with a wait, so they get the clock alone.
void MeasureVerticalBlank(int hz) {
    g_software_pacing = true;
    g_blank_ms = 0;
    Platform* p = EnginePlatform();
    if (hz == 0) {
        g_software_pacing = false;
        return;
    }
    if (!p || !p->HasVsync()) return;
    if (p->PacesFrames()) {
        g_software_pacing = false;
        return;
    }
    const int start = MilliTime();
    int good = 0, steady = 0, previous = -1, steady_start = 0;
    while (MilliSince(start) < 1000) {
        const int t0 = MilliTime();
        PresentRaw(true);
        const int took = MilliSince(t0);
        const int d = took - 1000 / hz;
        if (d >= -1 && d <= 1) {
            if (++good == 3) {
                g_software_pacing = false;
                return;
            }
        } else {
            good = 0;
        }
        if (took >= 3 && took < 1000 / hz - 1 && previous >= 0 && std::abs(took - previous) <= 1) {
            if (steady++ == 0) steady_start = int(uint32_t(t0) - uint32_t(previous));
            if (steady == 8) {
                g_blank_ms = double(MilliSince(steady_start)) / 9.0;
                return;
            }
        } else {
            steady = 0;
        }
        previous = took;
    }
}
} // namespace

const TDrawState& DrawState() { return g_state; }

bool OpenDisplay(int width, int height, int depth, int hz, int /*flags*/) {
    Platform* p = EnginePlatform();
    if (!p) {
        std::fprintf(stderr, "pumko: no platform to open a display on\n");
        return false;
    }
    if (g_open) CloseDisplay();
    std::string error;
    g_fullscreen = depth != 0;
    if (!p->OpenWindow(AppTitle(), width, height, g_fullscreen, error)) {
        std::fprintf(stderr, "pumko: cannot open the display: %s\n", error.empty() ? "unknown reason" : error.c_str());
        return false;
    }
    g_open = true;
    ResetState(width, height);
    InputReset();
    Cls();
    PresentRaw(false);
    Cls();
    PresentRaw(false);
    MeasureVerticalBlank(hz);
    g_hz = hz > 0 ? hz : 60;
    g_period_us = 1000000 / g_hz;
    g_remainder_us = 1000000 - g_period_us * g_hz;
    g_accumulator = 0;
    g_next_us = p->Micros();
    if (g_fullscreen) MovePointer(width / 2, height / 2);
    return true;
}

void CloseDisplay() {
    if (!g_open) return;
    g_open = false;
    if (Platform* p = EnginePlatform()) p->CloseWindow();
}

bool DisplayIsOpen() { return g_open; }

void ShowFrame(int sync) {
    if (!g_open) return;
    if (sync == 1) {
        PresentRaw(true);
        return;
    }
    if (sync == 0) {
        PresentRaw(false);
        return;
    }
    if (!g_software_pacing) {
        PresentRaw(true);
        return;
    }
    // 60 frames in every second: 16666 us frames with one more microsecond 40 times a second.
    g_next_us += uint32_t(g_period_us);
    g_accumulator += g_remainder_us;
    if (g_accumulator >= g_hz) {
        g_accumulator -= g_hz;
        g_next_us += 1;
    }
    Platform* p = EnginePlatform();
    if (!p) return;
    const uint32_t now = p->Micros();
    const int wait = int(g_next_us - now);
    // A present that waits for the blank may end up to one refresh period late; only more than
    // that (or a millisecond, whichever is more) counts as falling behind.
    const int slack = std::max(1000, int(std::ceil(g_blank_ms * 1000.0)));
    if (wait > 0)
        p->SleepMicros(wait);
    else if (-wait > slack)
        g_next_us = now; // fallen behind: start again from now, no catching up
    PresentRaw(g_blank_ms > 0);
}

void Cls() {
    if (Renderer* r = R())
        r->Clear(uint8_t(g_state.clscolor_red), uint8_t(g_state.clscolor_green), uint8_t(g_state.clscolor_blue));
}

void SetColor(int r, int g, int b) {
    g_state.color_red = std::clamp(r, 0, 255);
    g_state.color_green = std::clamp(g, 0, 255);
    g_state.color_blue = std::clamp(b, 0, 255);
}

void SetAlpha(float alpha) {
    g_state.color_alpha = alpha >= 0.0f ? std::min(alpha, 1.0f) : 0.0f; // NaN counts as 0
    g_alpha_byte = int(g_state.color_alpha * 255.0f);
}

void SetBlend(int mode) {
    if (mode == g_state.blend_mode) return;
    if (mode < BLEND_MASK || mode > BLEND_SHADE) return;
    g_state.blend_mode = mode;
}

void SetDrawRotation(float degrees) {
    g_state.tform_rot = degrees;
    UpdateMatrix();
}

void SetDrawScale(float sx, float sy) {
    g_state.tform_scale_x = sx;
    g_state.tform_scale_y = sy;
    UpdateMatrix();
}

void SetTransform(float degrees, float sx, float sy) {
    g_state.tform_rot = degrees;
    g_state.tform_scale_x = sx;
    g_state.tform_scale_y = sy;
    UpdateMatrix();
}

void SetDefaultImageFlags(int flags) {
    if (flags != -1) g_default_flags = flags;
}

int DefaultImageFlags() { return g_default_flags; }

void SetAutoMidHandle(int on) { g_auto_mid_handle = on != 0; }

static TImage* NewImage(int width, int height, int frames, int flags) {
    auto* img = new TImage;
    img->width = width;
    img->height = height;
    img->flags = flags;
    img->pixmaps.assign(size_t(std::max(frames, 0)), TPixmap::Make(width, height, TPixmap::RGBA32));
    img->frames.resize(img->pixmaps.size());
    img->seqs.assign(img->pixmaps.size(), 0);
    if (g_auto_mid_handle) MidHandleImage(img);
    return img;
}

TImage* LoadImageFile(const std::string& path, int flags) {
    const std::string data = ReadWhole(path);
    if (data.empty()) return nullptr;
    TPixmap pm;
    if (!DecodePNG(reinterpret_cast<const uint8_t*>(data.data()), data.size(), pm)) return nullptr;
    TImage* img = NewImage(pm.width, pm.height, 1, flags == -1 ? g_default_flags : flags);
    img->SetPixmap(0, std::move(pm));
    return img;
}

TImage* CreateImage(int width, int height, int frames, int flags) {
    return NewImage(width, height, frames, (flags == -1 ? g_default_flags : flags) | IMG_DYNAMIC);
}

void GrabImage(TImage* image, int x, int y, int frame) {
    Renderer* r = R();
    if (!image || !r || frame < 0 || frame >= image->FrameCount()) return;
    TPixmap pm = TPixmap::Make(image->width, image->height, TPixmap::RGB24);
    r->ReadPixels(x, y, image->width, image->height, pm.pixels.data());
    image->SetPixmap(frame, std::move(pm));
}

void MidHandleImage(TImage* image) {
    if (!image) return;
    image->handle_x = float(image->width) * 0.5f;
    image->handle_y = float(image->height) * 0.5f;
}

void DrawImageFrame(TImage* image, float x, float y, int frame) {
    Renderer* r = R();
    if (!image || !r || frame < 0 || frame >= image->FrameCount()) return;
    QuadVertex v[4];
    const float hx = -image->handle_x, hy = -image->handle_y;
    Corners(hx, hy, hx + float(image->width), hy + float(image->height), x + g_state.origin_x, y + g_state.origin_y, v);
    r->DrawTexturedQuad(*image, frame, v, Params());
}

void DrawFilledRect(float x, float y, float w, float h) {
    Renderer* r = R();
    if (!r) return;
    QuadVertex v[4];
    Corners(g_state.handle_x, g_state.handle_y, g_state.handle_x + w, g_state.handle_y + h, x + g_state.origin_x,
            y + g_state.origin_y, v);
    r->DrawColoredQuad(v, Params());
}

// Draws a glyph's image as the quad (0, 0)-(w, h) placed at (x, y); used by the font code.
void DrawGlyphImage(TImage* image, float x, float y) {
    Renderer* r = R();
    if (!image || !r || image->FrameCount() == 0) return;
    QuadVertex v[4];
    Corners(0, 0, float(image->width), float(image->height), x, y, v);
    r->DrawTexturedQuad(*image, 0, v, Params());
}

void ReadBackBuffer(int x, int y, int w, int h, uint8_t* rgb) {
    if (Renderer* r = R())
        r->ReadPixels(x, y, w, h, rgb);
    else
        std::fill(rgb, rgb + size_t(w) * h * 3, uint8_t(0));
}

bool SaveBackBufferPNG(const std::string& path) {
    Renderer* r = R();
    if (!r) return false;
    std::vector<uint8_t> rgb(size_t(r->Width()) * r->Height() * 3);
    r->ReadPixels(0, 0, r->Width(), r->Height(), rgb.data());
    return WritePNG(path, r->Width(), r->Height(), rgb.data());
}

void SelectFont(TImageFont* font) { g_state.image_font = font; }
