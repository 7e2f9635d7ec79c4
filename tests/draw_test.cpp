// Drawing on the software renderer through the headless host: blend equations, colour and
// alpha modulation, the matrix, sampling and frame pacing, checked on back-buffer pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/render/soft/soft_renderer.h"

namespace {
using RGB = std::array<int, 3>;

class Draw : public ::testing::Test {
  protected:
    void SetUp() override {
        EngineInit(&host);
        ASSERT_TRUE(OpenDisplay(640, 480, 32, 60, 2));
    }
    void TearDown() override {
        CloseDisplay();
        EngineShutdown();
    }
    static RGB Px(int x, int y) {
        uint8_t p[3];
        ReadBackBuffer(x, y, 1, 1, p);
        return {p[0], p[1], p[2]};
    }
    // Fills the screen with one colour, leaving the drawing state as it was.
    static void Fill(int r, int g, int b) {
        const TDrawState s = DrawState();
        SetBlend(BLEND_SOLID);
        SetColor(r, g, b);
        DrawFilledRect(0, 0, 640, 480);
        SetBlend(s.blend_mode);
        SetColor(s.color_red, s.color_green, s.color_blue);
    }
    HeadlessPlatform host;
};

// An unmasked image whose texel (x, y) is (x * 6, y * 6, 77): every texel tells where it came from.
TImage* Gradient(int w, int h, int flags = 0) {
    TImage* img = CreateImage(w, h, 1, flags);
    TPixmap pm = TPixmap::Make(w, h, TPixmap::RGB24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &pm.pixels[size_t(y) * pm.pitch + size_t(x) * 3];
            p[0] = uint8_t(x * 6), p[1] = uint8_t(y * 6), p[2] = 77;
        }
    img->SetPixmap(0, pm);
    return img;
}

RGB Texel(int x, int y) { return {x * 6, y * 6, 77}; }

void ExpectNear(RGB got, RGB want, int tol = 1) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], tol) << "channel " << k;
}
} // namespace

TEST_F(Draw, OpenDisplayStartsBlackWithTheDefaultState) {
    const TDrawState& s = DrawState();
    EXPECT_EQ(s.blend_mode, BLEND_MASK);
    EXPECT_EQ(s.color_red + s.color_green + s.color_blue, 3 * 255);
    EXPECT_FLOAT_EQ(s.color_alpha, 1.0f);
    EXPECT_FLOAT_EQ(s.tform_ix, 1.0f);
    EXPECT_FLOAT_EQ(s.tform_jy, 1.0f);
    EXPECT_EQ(s.viewport_w, 640);
    EXPECT_EQ(Px(0, 0), (RGB{0, 0, 0}));
    EXPECT_EQ(Px(639, 479), (RGB{0, 0, 0}));
    EXPECT_EQ(host.pointer_x, 320);
    EXPECT_EQ(host.pointer_y, 240);
}

// Colour (200, 50, 0) over a destination of (100, 100, 100), alpha 0.5 (byte 127) unless stated.
TEST_F(Draw, FiveBlendEquations) {
    auto draw = [&](int mode, float alpha) {
        Fill(100, 100, 100);
        SetBlend(mode);
        SetColor(200, 50, 0);
        SetAlpha(alpha);
        DrawFilledRect(10, 10, 4, 4);
        return Px(11, 11);
    };
    // Mask: written unblended only when alpha reaches byte 128.
    EXPECT_EQ(draw(BLEND_MASK, 0.5f), (RGB{100, 100, 100}));
    EXPECT_EQ(draw(BLEND_MASK, 128.5f / 255.0f), (RGB{200, 50, 0}));
    // Solid: no test, no blending.
    EXPECT_EQ(draw(BLEND_SOLID, 0.0f), (RGB{200, 50, 0}));
    // Alpha: C * A + D * (1 - A) with A = 127 / 255.
    ExpectNear(draw(BLEND_ALPHA, 0.5f), {150, 75, 50});
    EXPECT_EQ(draw(BLEND_ALPHA, 0.0f), (RGB{100, 100, 100}));
    // Light: C * A + D, saturating.
    ExpectNear(draw(BLEND_LIGHT, 0.5f), {200, 125, 100});
    EXPECT_EQ(draw(BLEND_LIGHT, 1.0f), (RGB{255, 150, 100}));
    // Shade: C * D, alpha unused.
    ExpectNear(draw(BLEND_SHADE, 0.0f), {78, 20, 0});
    // Outside the rectangle nothing changed.
    EXPECT_EQ(Px(9, 11), (RGB{100, 100, 100}));
    EXPECT_EQ(Px(14, 11), (RGB{100, 100, 100}));
}

TEST_F(Draw, ColourClampsAndAlphaTruncatesToAByte) {
    SetColor(300, -5, 128);
    EXPECT_EQ(DrawState().color_red, 255);
    EXPECT_EQ(DrawState().color_green, 0);
    SetAlpha(1.5f);
    EXPECT_FLOAT_EQ(DrawState().color_alpha, 1.0f);
    SetAlpha(-1.0f);
    EXPECT_FLOAT_EQ(DrawState().color_alpha, 0.0f);

    // trunc(alpha * 255) shows under light blending over black: the byte itself comes out.
    SetBlend(BLEND_LIGHT);
    SetColor(255, 255, 255);
    const float alphas[] = {0.999f, 0.5f, 1.5f, -1.0f};
    const int bytes[] = {254, 127, 255, 0};
    for (int i = 0; i < 4; ++i) {
        Cls();
        SetAlpha(alphas[i]);
        DrawFilledRect(0, 0, 2, 2);
        EXPECT_EQ(Px(0, 0)[0], bytes[i]) << "alpha " << alphas[i];
    }
}

TEST_F(Draw, TexelsAreModulatedByColourAndAlpha) {
    TImage* img = Gradient(40, 40);
    SetColor(128, 255, 0);
    DrawImageFrame(img, 0, 0, 0);
    // Texel (30, 20) is (180, 120, 77); times (128, 255, 0) / 255.
    ExpectNear(Px(30, 20), {90, 120, 0});

    // Texel alpha (255) times the current alpha decides the mask test.
    SetColor(255, 255, 255);
    Fill(9, 9, 9);
    SetAlpha(0.5f);
    DrawImageFrame(img, 0, 0, 0);
    EXPECT_EQ(Px(30, 20), (RGB{9, 9, 9}));
    SetAlpha(0.503f);
    DrawImageFrame(img, 0, 0, 0);
    EXPECT_EQ(Px(30, 20), Texel(30, 20));
    delete img;
}

TEST_F(Draw, UnrotatedFrameLandsWithItsHandleOnThePosition) {
    TImage* img = Gradient(40, 40);
    img->handle_x = 20, img->handle_y = 20;
    DrawImageFrame(img, 100, 100, 0);
    for (int y = 78; y < 122; ++y)
        for (int x = 78; x < 122; ++x) {
            const bool in = x >= 80 && x < 120 && y >= 80 && y < 120;
            ASSERT_EQ(Px(x, y), in ? Texel(x - 80, y - 80) : (RGB{0, 0, 0})) << x << "," << y;
        }
    delete img;
}

TEST_F(Draw, QuarterTurnCoversTheSameSquareTurnedClockwise) {
    TImage* img = Gradient(40, 40);
    img->handle_x = 20, img->handle_y = 20;
    SetTransform(90, 1, 1);
    DrawImageFrame(img, 100, 100, 0);
    EXPECT_EQ(Px(119, 80), Texel(0, 0)); // the top-left texel at the top-right corner
    for (int y = 78; y < 122; ++y)
        for (int x = 78; x < 122; ++x) {
            const bool in = x >= 80 && x < 120 && y >= 80 && y < 120;
            // Texel (tx, ty) lands on (119 - ty, 80 + tx).
            ASSERT_EQ(Px(x, y), in ? Texel(y - 80, 119 - x) : (RGB{0, 0, 0})) << x << "," << y;
        }
    delete img;
}

TEST_F(Draw, DoubleScaleGrowsAboutTheHandle) {
    TImage* img = Gradient(40, 40);
    auto covered = [&](int x0, int y0, int size) {
        for (int y = x0 - 2; y < y0 + size + 2; ++y)
            for (int x = x0 - 2; x < x0 + size + 2; ++x) {
                const bool in = x >= x0 && x < x0 + size && y >= y0 && y < y0 + size;
                const RGB want = in ? Texel((x - x0) / 2, (y - y0) / 2) : RGB{0, 0, 0};
                if (Px(x, y) != want) return false;
            }
        return true;
    };
    SetDrawScale(2, 2);
    MidHandleImage(img);
    DrawImageFrame(img, 100, 100, 0);
    EXPECT_TRUE(covered(60, 60, 80)); // about its centre
    Cls();
    img->handle_x = img->handle_y = 0;
    DrawImageFrame(img, 300, 100, 0);
    EXPECT_TRUE(covered(300, 100, 80)); // right and down from the position
    SetTransform(0, 1, 1);
    EXPECT_FLOAT_EQ(DrawState().tform_ix, 1.0f);
    EXPECT_FLOAT_EQ(DrawState().tform_iy, 0.0f);
    delete img;
}

TEST_F(Draw, NearestSamplingIsCrispAndBilinearBlends) {
    // Two texels, 40 and 240, stretched to 80 pixels.
    auto draw = [&](int flags) {
        TImage* img = CreateImage(2, 1, 1, flags);
        TPixmap pm = TPixmap::Make(2, 1, TPixmap::RGB24);
        pm.pixels = {40, 40, 40, 240, 240, 240};
        img->SetPixmap(0, pm);
        Cls();
        SetDrawScale(40, 40);
        DrawImageFrame(img, 0, 0, 0);
        SetDrawScale(1, 1);
        delete img;
        std::vector<int> row;
        for (int x = 0; x < 80; ++x) row.push_back(Px(x, 20)[0]);
        return row;
    };
    const std::vector<int> nearest = draw(0);
    for (int x = 0; x < 80; ++x) ASSERT_EQ(nearest[size_t(x)], x < 40 ? 40 : 240) << x;
    const std::vector<int> bilinear = draw(IMG_FILTERED);
    EXPECT_EQ(bilinear[0], 40); // clamped at the edges: only the frame's own texels
    EXPECT_EQ(bilinear[79], 240);
    EXPECT_NEAR(bilinear[40], 142, 3); // half way between the texel centres
    for (int x = 1; x < 80; ++x) ASSERT_GE(bilinear[size_t(x)], bilinear[size_t(x - 1)]) << x;
}

TEST_F(Draw, FilledRectCoversItsPixels) {
    SetColor(0, 0, 100);
    DrawFilledRect(160, 90, 335, 120);
    EXPECT_EQ(Px(160, 90), (RGB{0, 0, 100}));
    EXPECT_EQ(Px(494, 209), (RGB{0, 0, 100}));
    EXPECT_EQ(Px(159, 90), (RGB{0, 0, 0}));
    EXPECT_EQ(Px(495, 209), (RGB{0, 0, 0}));
    EXPECT_EQ(Px(160, 210), (RGB{0, 0, 0}));
    // Half-pixel edges: a centre on the top or left edge is in, on the bottom or right edge out,
    // so quads that share an edge never both cover a pixel.
    Cls();
    DrawFilledRect(10.5f, 10.5f, 2, 2);
    EXPECT_EQ(Px(10, 10), (RGB{0, 0, 100}));
    EXPECT_EQ(Px(11, 11), (RGB{0, 0, 100}));
    EXPECT_EQ(Px(12, 12), (RGB{0, 0, 0}));
    EXPECT_EQ(Px(9, 9), (RGB{0, 0, 0}));
}

TEST_F(Draw, NullImagesAndBadFramesDrawNothing) {
    Fill(5, 6, 7);
    TImage* img = Gradient(4, 4);
    DrawImageFrame(nullptr, 10, 10, 0);
    DrawImageFrame(img, 10, 10, 1);
    DrawImageFrame(img, 10, 10, -1);
    GrabImage(nullptr, 0, 0, 0);
    MidHandleImage(nullptr);
    // Far off screen and degenerate quads are harmless too.
    DrawImageFrame(img, 1e9f, -1e9f, 0);
    SetDrawScale(0, 0);
    DrawImageFrame(img, 10, 10, 0);
    SetDrawScale(1, 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(Px(x, y), (RGB{5, 6, 7}));
    delete img;
}

TEST_F(Draw, SoftwarePacingGivesSixtyFramesASecond) {
    const int start = MilliTime();
    int last = start;
    for (int i = 0; i < 60; ++i) {
        ShowFrame(-1);
        const int d = MilliTime() - last;
        EXPECT_TRUE(d == 16 || d == 17) << "frame " << i << " took " << d;
        last = MilliTime();
    }
    // Pacing runs from the clock reading taken when the display opened.
    EXPECT_EQ(MilliTime() - start, 1000);
    const int t = MilliTime();
    for (int i = 0; i < 600; ++i) ShowFrame(-1);
    EXPECT_EQ(MilliTime() - t, 10000); // exactly 60 frames per 1000 ms

    // After a long stall the next frame goes at once, and pacing runs on from there.
    DelayMs(500);
    const int stalled = MilliTime();
    ShowFrame(-1);
    EXPECT_EQ(MilliTime(), stalled);
    ShowFrame(-1);
    const int d = MilliTime() - stalled;
    EXPECT_TRUE(d == 16 || d == 17) << d;
}

// The renderer's quick path for axis-aligned unscaled quads must agree with its general path,
// which a quad tilted by a hair's breadth takes, at any sub-pixel position and in every mode.
TEST(SoftRendererPaths, AlignedQuadsMatchTheGeneralPath) {
    TImage* img = Gradient(40, 30);
    TPixmap& pm = img->pixmaps[0];
    for (int x = 0; x < 40; x += 3) pm.pixels[size_t(x) * 4 + 3] = uint8_t(x * 6); // varied alpha
    SoftRenderer quick(120, 100), general(120, 100);
    // The fourth byte of each pixel is padding; only colours are compared.
    auto same = [&] {
        for (size_t i = 0; i < size_t(120) * 100 * 4; ++i)
            if (i % 4 != 3 && quick.Pixels()[i] != general.Pixels()[i]) return false;
        return true;
    };
    const float offsets[] = {0.0f, 0.25f, 0.3f, 0.7f, -0.2f};
    for (int flags : {0, int(IMG_FILTERED)})
        for (int mode = BLEND_MASK; mode <= BLEND_SHADE; ++mode)
            for (float fx : offsets)
                for (float fy : offsets) {
                    // Filtered sampling takes the quick path only at whole pixels; elsewhere the
                    // hair's-breadth tilt changes its weights.
                    if (flags && (fx != 0 || fy != 0)) continue;
                    img->flags = flags;
                    quick.Clear(90, 60, 30);
                    general.Clear(90, 60, 30);
                    const float x = 50.0f + fx - (fx < 0 ? 60 : 0), y = 20.0f + fy;
                    QuadVertex v[4] = {{x, y, 0, 0}, {x + 40, y, 1, 0}, {x + 40, y + 30, 1, 1}, {x, y + 30, 0, 1}};
                    DrawParams p;
                    p.blend = mode;
                    if (fy == 0.3f) p.r = 128, p.a = 200;
                    quick.DrawTexturedQuad(*img, 0, v, p);
                    v[1].y += 1e-4f, v[2].y += 1e-4f;
                    general.DrawTexturedQuad(*img, 0, v, p);
                    ASSERT_TRUE(same()) << "flags " << flags << ", mode " << mode << " at " << x << "," << y;
                }
    // A new pixmap is drawn as it is now, not as it was.
    img->flags = 0;
    for (size_t i = 3; i < pm.pixels.size(); i += 4) pm.pixels[i] = 0;
    img->SetPixmap(0, pm);
    quick.Clear(90, 60, 30);
    QuadVertex v[4] = {{50, 20, 0, 0}, {90, 20, 1, 0}, {90, 50, 1, 1}, {50, 50, 0, 1}};
    quick.DrawTexturedQuad(*img, 0, v, DrawParams());
    EXPECT_EQ(quick.Pixels()[(25 * 120 + 60) * 4], 90);
    delete img;
}

// A clear waits for the next draw; a whole-screen masked picture drawn next writes the clear colour
// into its transparent holes in the same pass. Either way the result is the clear, then the picture.
TEST(SoftRendererPaths, ClearThenWholeScreenPictureLeavesTheClearColourInItsHoles) {
    SoftRenderer r(60, 40);
    TImage* img = Gradient(64, 40); // wider than the screen: placed from x = -2
    TPixmap& pm = img->pixmaps[0];
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x)
            if ((x / 5 + y / 3) % 3 == 0) pm.pixels[(size_t(y) * 64 + size_t(x)) * 4 + 3] = 0; // holes
    auto at = [&](int x, int y) {
        const uint8_t* p = r.Pixels() + (size_t(y) * 60 + size_t(x)) * 4;
        return RGB{p[0], p[1], p[2]};
    };
    auto expect_picture = [&] {
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x) {
                const bool hole = ((x + 2) / 5 + y / 3) % 3 == 0;
                ASSERT_EQ(at(x, y), hole ? (RGB{9, 8, 7}) : (RGB{uint8_t((x + 2) * 6), y * 6, 77})) << x << "," << y;
            }
    };
    QuadVertex v[4] = {{-2, 0, 0, 0}, {62, 0, 1, 0}, {62, 40, 1, 1}, {-2, 40, 0, 1}};
    r.Clear(200, 100, 50);
    r.Clear(9, 8, 7); // the last clear counts
    r.DrawTexturedQuad(*img, 0, v, DrawParams());
    expect_picture();

    // The same picture over an earlier one, without a clear, keeps what lay under the holes.
    r.DrawTexturedQuad(*img, 0, v, DrawParams());
    expect_picture();

    // A clear with nothing drawn after it is what a read sees; a small draw keeps the rest cleared.
    r.Clear(1, 2, 3);
    EXPECT_EQ(at(59, 39), (RGB{1, 2, 3}));
    r.Clear(4, 5, 6);
    QuadVertex small[4] = {{10, 10, 0, 0}, {74, 10, 1, 0}, {74, 50, 1, 1}, {10, 50, 0, 1}};
    r.DrawTexturedQuad(*img, 0, small, DrawParams());
    EXPECT_EQ(at(5, 5), (RGB{4, 5, 6}));
    EXPECT_EQ(at(16, 10), Texel(6, 0));
    uint8_t rgb[3];
    r.Clear(7, 7, 7);
    r.ReadPixels(30, 30, 1, 1, rgb);
    EXPECT_EQ(rgb[0], 7);
    delete img;
}
