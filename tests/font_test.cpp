// TrueType fonts: loading, glyph metrics, text width and drawing, on a system TrueType face.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"

namespace {
using RGB = std::array<int, 3>;
const char* kFace = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class Fonts : public ::testing::Test {
  protected:
    void SetUp() override {
        EngineInit(&host);
        ASSERT_TRUE(OpenDisplay(640, 480, 32, 60, 2));
        font = LoadFont(kFace, 22, FONT_SMOOTH);
        ASSERT_NE(font, nullptr) << "needs " << kFace << " (fonts-dejavu-core)";
        SelectFont(font);
    }
    void TearDown() override {
        SelectFont(nullptr);
        delete font;
        CloseDisplay();
        EngineShutdown();
    }
    // Counts the pixels of a box that differ from the background colour.
    static int Differing(int x0, int y0, int w, int h, RGB bg) {
        std::vector<uint8_t> px(size_t(w) * h * 3);
        ReadBackBuffer(x0, y0, w, h, px.data());
        int n = 0;
        for (size_t i = 0; i < px.size(); i += 3)
            if (RGB{px[i], px[i + 1], px[i + 2]} != bg) ++n;
        return n;
    }
    HeadlessPlatform host;
    TImageFont* font = nullptr;
};
} // namespace

TEST_F(Fonts, LoadingAndItsFailures) {
    EXPECT_EQ(font->size, 22);
    EXPECT_GT(font->ascend, 0);
    EXPECT_LT(font->descend, 0);
    EXPECT_EQ(font->_imageFlags, IMG_FILTERED | IMG_MIPMAPPED);
    TImageFont* plain = LoadFont(kFace, 22, 0);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->_imageFlags, 0);
    // A size that no face accepts fails; so do missing and broken files.
    EXPECT_EQ(LoadFont(kFace, 0, 0), nullptr);
    EXPECT_EQ(LoadFont(kFace, -4, 0), nullptr);
    EXPECT_EQ(LoadFont("/nonexistent/font.ttf", 22, 0), nullptr);
    static const char junk[] = "not a font at all";
    RegisterEmbedded("fonts\\junk.ttf", junk, sizeof junk);
    EXPECT_EQ(LoadFont("incbin::fonts\\junk.ttf", 22, 0), nullptr);

    // Smooth glyphs carry one transparent pixel of padding on every side.
    const TImageGlyph* a = plain->Glyph('A');
    const TImageGlyph* b = font->Glyph('A');
    ASSERT_TRUE(a->exists && a->_image);
    EXPECT_EQ(b->_w, a->_w + 2);
    EXPECT_EQ(b->_h, a->_h + 2);
    EXPECT_EQ(b->_x, a->_x - 1);
    EXPECT_EQ(b->_y, a->_y - 1);
    EXPECT_EQ(b->_advance, a->_advance);
    EXPECT_GT(a->_advance, 0.0f);
    const TPixmap& pm = b->_image->pixmaps[0];
    for (int x = 0; x < b->_w; ++x) EXPECT_EQ(pm.pixels[size_t(x) * 4 + 3], 0);
    // A space has an advance but no image.
    const TImageGlyph* space = font->Glyph(' ');
    EXPECT_TRUE(space->exists);
    EXPECT_EQ(space->_image, nullptr);
    EXPECT_GT(space->_advance, 0.0f);
    delete plain;
}

TEST_F(Fonts, TextWidthIsTheTruncatedSumOfAdvances) {
    EXPECT_EQ(TextWidthOf(""), 0);
    // Control characters have no glyph in the face: no width, nothing drawn.
    const std::string missing = "\x01\x02\x03";
    ASSERT_FALSE(font->Glyph(1)->exists);
    EXPECT_EQ(TextWidthOf(missing), 0);
    DrawString(missing, 100, 100);
    EXPECT_EQ(Differing(90, 90, 100, 50, {0, 0, 0}), 0);

    int sum = 0;
    for (char c : std::string("Pumko 1")) sum = int(float(sum) + font->Glyph(uint8_t(c))->_advance);
    EXPECT_EQ(TextWidthOf("Pumko 1"), sum);
    EXPECT_EQ(TextWidthOf("Pu\x01mko\x02 1"), sum); // glyph-less characters are skipped
    // Scale and rotation do not change the measured width.
    SetTransform(30, 2, 2);
    EXPECT_EQ(TextWidthOf("Pumko 1"), sum);
    SetTransform(0, 1, 1);
}

TEST_F(Fonts, TextDrawsInTheCurrentColourFromTheTopOfTheLine) {
    SetColor(255, 0, 0);
    SetBlend(BLEND_MASK);
    const int w = TextWidthOf("HH");
    DrawString("HH", 100, 100);
    // Under the mask test every drawn pixel is exactly the colour; nothing lands above the line
    // or beyond the line's width and height.
    EXPECT_GT(Differing(100, 100, w, font->height, {0, 0, 0}), 20);
    std::vector<uint8_t> px(size_t(w) * font->height * 3);
    ReadBackBuffer(100, 100, w, font->height, px.data());
    for (size_t i = 0; i < px.size(); i += 3)
        ASSERT_TRUE((px[i] == 0 || px[i] == 255) && px[i + 1] == 0 && px[i + 2] == 0);
    EXPECT_EQ(Differing(0, 0, 640, 100, {0, 0, 0}), 0);
    EXPECT_EQ(Differing(0, 100 + font->height, 640, 100, {0, 0, 0}), 0);
    EXPECT_EQ(Differing(100 + w + 1, 100, 100, font->height, {0, 0, 0}), 0);

    // Under alpha blending the anti-aliased edges blend with what is below.
    Cls();
    SetBlend(BLEND_ALPHA);
    DrawString("HH", 100, 100);
    ReadBackBuffer(100, 100, w, font->height, px.data());
    int partial = 0;
    for (size_t i = 0; i < px.size(); i += 3)
        if (px[i] > 0 && px[i] < 255) ++partial;
    EXPECT_GT(partial, 0);
    SetBlend(BLEND_MASK);
    SetColor(255, 255, 255);
}

// With no font selected (or the game's failed to load) text still shows, in the built-in font.
TEST_F(Fonts, NoFontSelectedDrawsWithTheBuiltInFont) {
    SelectFont(LoadFont("/nonexistent/font.ttf", 22, FONT_SMOOTH));
    EXPECT_EQ(TextWidthOf(""), 0);
    EXPECT_EQ(TextWidthOf("Pumko 1"), 7 * 12);
    SetColor(255, 0, 0);
    DrawString("Pumko 1", 100, 100);
    const int line = BuiltinFont()->height;
    EXPECT_GT(Differing(100, 100, 7 * 12, line, {0, 0, 0}), 100);
    EXPECT_EQ(Differing(0, 0, 640, 100, {0, 0, 0}), 0);
    EXPECT_EQ(Differing(0, 100 + line, 640, 100, {0, 0, 0}), 0);
    // Its "I" is a bar with serifs: the middle column is set on every row, its neighbours only
    // at the top and the bottom.
    Cls();
    DrawString("I", 0, 0);
    std::vector<uint8_t> px(size_t(12) * line * 3);
    ReadBackBuffer(0, 0, 12, line, px.data());
    auto red = [&](int x, int y) { return px[(size_t(y) * 12 + size_t(x)) * 3] == 255; };
    for (int y = 2; y < 16; ++y) EXPECT_TRUE(red(4, y)) << y;
    EXPECT_TRUE(red(2, 2));
    EXPECT_FALSE(red(2, 8));
    EXPECT_FALSE(red(4, 1));
    EXPECT_FALSE(red(4, 16));
    SetColor(255, 255, 255);
}
