// Cost of a busy play frame on the display back ends: a full-screen backdrop, all 1680 map cells
// as 40 x 40 sprites, 60 blended sprites, then present. Run under a display (xvfb-run with Mesa's
// software OpenGL gives a floor, not what a graphics card does).
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/engine.h"
#include "engine/platform/sdl/sdl_platform.h"
#include "engine/render/soft/soft_renderer.h"
#include "flow/hud.h"

namespace {

std::unique_ptr<TImage> MakeImage(int w, int h, int flags) {
    auto img = std::make_unique<TImage>();
    img->width = w;
    img->height = h;
    img->flags = flags;
    TPixmap pm;
    pm.width = w;
    pm.height = h;
    pm.pitch = w * 4;
    pm.pixels.resize(size_t(pm.pitch) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &pm.pixels[size_t(y) * pm.pitch + size_t(x) * 4];
            p[0] = uint8_t(x * 7);
            p[1] = uint8_t(y * 5);
            p[2] = uint8_t(x ^ y);
            p[3] = (x + y) % 9 == 0 ? 0 : 255;
        }
    img->pixmaps.push_back(std::move(pm));
    img->frames.resize(1);
    img->seqs.assign(1, 0);
    return img;
}

void Quad(float x, float y, float w, float h, QuadVertex q[4]) {
    q[0] = {x, y, 0, 0};
    q[1] = {x + w, y, 1, 0};
    q[2] = {x + w, y + h, 1, 1};
    q[3] = {x, y + h, 0, 1};
}

void DrawFrame(Renderer& r, TImage& backdrop, TImage& tile, int frame) {
    QuadVertex q[4];
    DrawParams solid;
    solid.blend = BLEND_SOLID;
    DrawParams mask;
    DrawParams alpha;
    alpha.blend = BLEND_ALPHA;
    alpha.a = 160;
    r.Clear(0, 0, 0);
    Quad(0, 0, 640, 480, q);
    r.DrawTexturedQuad(backdrop, 0, q, solid);
    float scroll = -float(frame % 40);
    for (int cell = 0; cell < 1680; ++cell) {
        Quad(scroll + float(cell % 140) * 40, float(cell / 140) * 40, 40, 40, q);
        r.DrawTexturedQuad(tile, 0, q, mask);
    }
    for (int i = 0; i < 60; ++i) {
        Quad(float((i * 97 + frame * 3) % 600), float((i * 53) % 440), 40, 40, q);
        r.DrawTexturedQuad(tile, 0, q, alpha);
    }
}

double MsPerFrame(Renderer& r, Platform* platform, int frames) {
    auto backdrop = MakeImage(640, 480, 0);
    auto tile = MakeImage(40, 40, IMG_MASKED);
    DrawFrame(r, *backdrop, *tile, 0); // textures made outside the timing
    auto t0 = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; ++f) {
        DrawFrame(r, *backdrop, *tile, f);
        if (platform) platform->Present(false);
    }
    uint8_t rgb[3];
    r.ReadPixels(0, 0, 1, 1, rgb); // waits for the drawing to finish
    std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - t0;
    return ms.count() / frames;
}

} // namespace

int main() {
    SoftRenderer soft(640, 480);
    std::printf("software renderer, draw only:   %.2f ms/frame\n", MsPerFrame(soft, nullptr, 60));

    SdlPlatform platform;
    std::string error;
    if (!platform.OpenWindow("bench", 640, 480, true, error)) {
        std::printf("no display (%s): run under xvfb-run\n", error.c_str());
        return 0;
    }
    const Letterbox& box = platform.WindowBox();
    std::printf("window picture %dx%d at %d,%d, %s\n", box.w, box.h, box.x, box.y,
                platform.UsesOpenGl() ? "OpenGL" : "software through SDL");
    Renderer& r = *platform.GetRenderer();
    std::printf("window back end, draw only:     %.2f ms/frame\n", MsPerFrame(r, nullptr, 60));
    std::printf("window back end, draw + present: %.2f ms/frame\n", MsPerFrame(r, &platform, 60));
    return 0;
}
