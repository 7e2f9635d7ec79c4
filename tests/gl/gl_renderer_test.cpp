// The OpenGL renderer against the software one: the same scene drawn by both must come out the
// same pixel for pixel within a small tolerance. Runs under Xvfb (Mesa's software OpenGL).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/sdl/sdl_platform.h"
#include "engine/render/gl1/gl1_renderer.h"
#include "engine/render/soft/soft_renderer.h"

namespace {

constexpr int W = 640, H = 480;

std::vector<uint8_t> Grab(Renderer& r) {
    std::vector<uint8_t> rgb(size_t(W) * H * 3);
    r.ReadPixels(0, 0, W, H, rgb.data());
    return rgb;
}

// A sprite with hard transparent holes (as masking leaves them), coloured gradients, and a
// one-pixel checker in one corner so that sampling mistakes show.
std::unique_ptr<TImage> MakeSprite(int flags) {
    auto img = std::make_unique<TImage>();
    img->width = 40;
    img->height = 30;
    img->flags = flags;
    img->handle_x = 20;
    img->handle_y = 15;
    TPixmap pm;
    pm.width = 40;
    pm.height = 30;
    pm.pitch = 40 * 4;
    pm.pixels.resize(size_t(pm.pitch) * 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            uint8_t* p = &pm.pixels[size_t(y) * pm.pitch + size_t(x) * 4];
            int dx = x - 20, dy = y - 15;
            bool hole = dx * dx + dy * dy < 36 || (x < 4 && y > 25);
            bool checker = x < 8 && y < 8;
            p[0] = uint8_t(checker ? ((x + y) % 2) * 255 : 40 + x * 5);
            p[1] = uint8_t(checker ? ((x + y) % 2) * 255 : 30 + y * 7);
            p[2] = uint8_t(checker ? 128 : 250 - x * 3);
            p[3] = hole ? 0 : (x >= 32 ? uint8_t(100 + (y * 5)) : 255);
        }
    img->pixmaps.push_back(std::move(pm));
    img->frames.resize(1);
    img->seqs.assign(1, 0);
    return img;
}

// Corners of a frame drawn with its handle at (x, y) under rotation and scale, as the drawing
// code hands them to a renderer.
void Place(const TImage& img, float x, float y, float rot, float sx, float sy, QuadVertex q[4]) {
    double s = std::sin(rot * M_PI / 180.0), c = std::cos(rot * M_PI / 180.0);
    float ix = float(c * sx), iy = float(-s * sy), jx = float(s * sx), jy = float(c * sy);
    float x0 = -img.handle_x, y0 = -img.handle_y, x1 = x0 + img.width, y1 = y0 + img.height;
    const float cu[4] = {x0, x1, x1, x0}, cv[4] = {y0, y0, y1, y1};
    const float tu[4] = {0, 1, 1, 0}, tv[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) q[i] = {cu[i] * ix + cv[i] * iy + x, cu[i] * jx + cv[i] * jy + y, tu[i], tv[i]};
}

void Rect(float x, float y, float w, float h, QuadVertex q[4]) {
    q[0] = {x, y, 0, 0};
    q[1] = {x + w, y, 0, 0};
    q[2] = {x + w, y + h, 0, 0};
    q[3] = {x, y + h, 0, 0};
}

DrawParams Params(int blend, uint8_t r = 255, uint8_t g = 255, uint8_t b = 255, uint8_t a = 255) {
    DrawParams p;
    p.r = r;
    p.g = g;
    p.b = b;
    p.a = a;
    p.blend = blend;
    return p;
}

// The whole scene: every blend mode over a busy background, under rotation and scale, crisp
// and filtered, tinted and translucent, plus untextured rectangles.
void DrawScene(Renderer& r) {
    auto crisp = MakeSprite(IMG_MASKED);
    auto smooth = MakeSprite(IMG_MASKED | IMG_FILTERED);
    QuadVertex q[4];
    r.Clear(30, 60, 90);
    // Background stripes so that blending has something to work on.
    for (int i = 0; i < 8; ++i) {
        Rect(0, float(i * 60), W, 30, q);
        r.DrawColoredQuad(q, Params(BLEND_SOLID, uint8_t(20 + i * 30), uint8_t(200 - i * 20), 70));
    }
    Rect(160, 90, 335, 120, q);
    r.DrawColoredQuad(q, Params(BLEND_SOLID, 0, 0, 100));
    Rect(40, 300, 200, 50, q);
    r.DrawColoredQuad(q, Params(BLEND_ALPHA, 255, 128, 0, 127));

    for (int blend = BLEND_MASK; blend <= BLEND_SHADE; ++blend) {
        float x = 60.0f + (blend - 1) * 120.0f;
        Place(*crisp, x, 60, 0, 1, 1, q);
        r.DrawTexturedQuad(*crisp, 0, q, Params(blend));
        Place(*crisp, x, 150, 30, 2, 1.5f, q);
        r.DrawTexturedQuad(*crisp, 0, q, Params(blend, 200, 150, 255, 200));
        Place(*smooth, x, 260, -45, 2.5f, 2.5f, q);
        r.DrawTexturedQuad(*smooth, 0, q, Params(blend, 255, 255, 255, 160));
        Place(*smooth, x + 20, 380, 90, 1, 1, q);
        r.DrawTexturedQuad(*smooth, 0, q, Params(blend));
        Place(*crisp, x + 30, 440, 0, 3, 3, q);
        r.DrawTexturedQuad(*crisp, 0, q, Params(blend, 255, 64, 64, 90));
    }
    // Partly outside the picture: both must clip the same way.
    Place(*crisp, 630, 475, 10, 2, 2, q);
    r.DrawTexturedQuad(*crisp, 0, q, Params(BLEND_SOLID));
}

class GlRenderer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        DisplayChoices gl;
        gl.renderer = RendererChoice::OpenGl;
        platform_ = new SdlPlatform(gl);
        std::string error;
        ASSERT_TRUE(platform_->OpenWindow("gl test", W, H, true, error)) << error;
        ASSERT_TRUE(platform_->UsesOpenGl());
    }
    static void TearDownTestSuite() {
        delete platform_;
        platform_ = nullptr;
    }
    Renderer& Gl() { return *platform_->GetRenderer(); }
    static SdlPlatform* platform_;
};
SdlPlatform* GlRenderer::platform_ = nullptr;

TEST_F(GlRenderer, MatchesSoftwareRenderer) {
    SoftRenderer soft(W, H);
    DrawScene(soft);
    DrawScene(Gl());
    std::vector<uint8_t> a = Grab(soft), b = Grab(Gl());

    // Colour rounding may differ by a step; an edge pixel of a rotated or filtered shape may land
    // on the other side of a tie, so a very few are allowed to differ more.
    int worst = 0, off = 0;
    long total = 0;
    for (size_t i = 0; i < a.size(); i += 3) {
        int d = 0;
        for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int(a[i + c]) - int(b[i + c])));
        worst = std::max(worst, d);
        total += d;
        if (d > 2) ++off;
    }
    if (off > W * H / 2000 || std::getenv("PUMKO_GL_DUMP")) {
        // Side by side for a look: software left, OpenGL right.
        FILE* f = std::fopen("gl_vs_soft.ppm", "wb");
        if (f) {
            std::fprintf(f, "P6 %d %d 255\n", W * 2, H);
            for (int y = 0; y < H; ++y) {
                std::fwrite(&a[size_t(y) * W * 3], 1, size_t(W) * 3, f);
                std::fwrite(&b[size_t(y) * W * 3], 1, size_t(W) * 3, f);
            }
            std::fclose(f);
        }
    }
    EXPECT_LE(worst, 64);
    EXPECT_LE(off, W * H / 2000) << "pixels differing by more than 2: " << off << ", worst " << worst << ", mean "
                                 << double(total) / (W * H);
}

// One solid colour at a picture position, read back.
std::array<int, 3> At(Renderer& r, int x, int y) {
    uint8_t rgb[3];
    r.ReadPixels(x, y, 1, 1, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

TEST_F(GlRenderer, ReadsTopRowFirstAndBlackOutsideThePicture) {
    QuadVertex q[4];
    Gl().Clear(0, 0, 255);
    Rect(0, 0, 10, 2, q);
    Gl().DrawColoredQuad(q, Params(BLEND_SOLID, 255, 0, 0));
    uint8_t rgb[4 * 4 * 3];
    Gl().ReadPixels(-2, -1, 4, 4, rgb);
    auto px = [&](int x, int y) {
        return std::array<int, 3>{rgb[(y * 4 + x) * 3], rgb[(y * 4 + x) * 3 + 1], rgb[(y * 4 + x) * 3 + 2]};
    };
    EXPECT_EQ(px(0, 0), (std::array<int, 3>{0, 0, 0})); // left of and above the picture
    EXPECT_EQ(px(1, 2), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(px(2, 1), (std::array<int, 3>{255, 0, 0})); // picture row 0
    EXPECT_EQ(px(3, 2), (std::array<int, 3>{255, 0, 0})); // picture row 1
    EXPECT_EQ(px(2, 3), (std::array<int, 3>{0, 0, 255})); // picture row 2
}

// The back buffer keeps the picture from one frame to the next, as the software one does, and
// the window shows it scaled into the middle with black bars.
TEST_F(GlRenderer, PicturePersistsAndIsShownLetterboxed) {
    QuadVertex q[4];
    Gl().Clear(0, 128, 0);
    Rect(W - 20, H - 20, 20, 20, q);
    Gl().DrawColoredQuad(q, Params(BLEND_SOLID, 255, 255, 0));
    platform_->Present(false);
    platform_->Present(false);
    EXPECT_EQ(At(Gl(), 5, 5), (std::array<int, 3>{0, 128, 0}));
    EXPECT_EQ(At(Gl(), W - 1, H - 1), (std::array<int, 3>{255, 255, 0}));

    // The full-screen window covers the test's 1280 x 1024 screen, the picture at 1280 x 960 with
    // 32-pixel bars above and below.
    const Letterbox& box = platform_->WindowBox();
    EXPECT_EQ(box.x, 0);
    EXPECT_EQ(box.y, 32);
    EXPECT_EQ(box.w, 1280);
    EXPECT_EQ(box.h, 960);
}

void Fill(TImage& img, uint8_t r, uint8_t g, uint8_t b) {
    TPixmap& pm = img.pixmaps[0];
    for (size_t i = 0; i < pm.pixels.size(); i += 4) {
        pm.pixels[i] = r;
        pm.pixels[i + 1] = g;
        pm.pixels[i + 2] = b;
        pm.pixels[i + 3] = 255;
    }
}

// Textures follow their pixmaps: rebuilt when marked stale, after ForgetTextures, and for a new
// window; an image may outlive the window that drew it.
TEST_F(GlRenderer, TexturesAreRebuiltFromPixmaps) {
    auto img = MakeSprite(0);
    Fill(*img, 200, 10, 10);
    QuadVertex q[4];
    Place(*img, 100, 100, 0, 1, 1, q);
    Gl().DrawTexturedQuad(*img, 0, q, Params(BLEND_SOLID));
    EXPECT_EQ(At(Gl(), 100, 100), (std::array<int, 3>{200, 10, 10}));

    Fill(*img, 10, 200, 10);
    img->seqs[0] = 0;
    Gl().DrawTexturedQuad(*img, 0, q, Params(BLEND_SOLID));
    EXPECT_EQ(At(Gl(), 100, 100), (std::array<int, 3>{10, 200, 10}));

    Fill(*img, 10, 10, 200);
    Gl().ForgetTextures();
    Gl().DrawTexturedQuad(*img, 0, q, Params(BLEND_SOLID));
    EXPECT_EQ(At(Gl(), 100, 100), (std::array<int, 3>{10, 10, 200}));

    std::string error;
    platform_->CloseWindow();
    ASSERT_TRUE(platform_->OpenWindow("gl test", W, H, true, error)) << error;
    ASSERT_TRUE(platform_->UsesOpenGl());
    Fill(*img, 90, 90, 90);
    Gl().DrawTexturedQuad(*img, 0, q, Params(BLEND_SOLID));
    EXPECT_EQ(At(Gl(), 100, 100), (std::array<int, 3>{90, 90, 90}));

    auto orphan = MakeSprite(0);
    Gl().DrawTexturedQuad(*orphan, 0, q, Params(BLEND_SOLID));
    platform_->CloseWindow();
    orphan.reset(); // its texture's context is gone: nothing to free, nothing to crash on
    ASSERT_TRUE(platform_->OpenWindow("gl test", W, H, true, error)) << error;
}

} // namespace
