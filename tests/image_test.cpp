// Images: masking, loading embedded PNGs, creating and grabbing frames.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/png_io.h"

namespace {
using RGB = std::array<int, 3>;

class Images : public ::testing::Test {
  protected:
    void SetUp() override {
        EngineInit(&host);
        ASSERT_TRUE(OpenDisplay(640, 480, 32, 60, 2));
        flags = DefaultImageFlags();
    }
    void TearDown() override {
        SetDefaultImageFlags(flags);
        SetAutoMidHandle(0);
        CloseDisplay();
        EngineShutdown();
    }
    static RGB Px(int x, int y) {
        uint8_t p[3];
        ReadBackBuffer(x, y, 1, 1, p);
        return {p[0], p[1], p[2]};
    }
    HeadlessPlatform host;
    int flags = 0;
};

TPixmap Rgb(int w, int h, std::initializer_list<int> bytes) {
    TPixmap pm = TPixmap::Make(w, h, TPixmap::RGB24);
    size_t i = 0;
    for (int b : bytes) pm.pixels[i++] = uint8_t(b);
    return pm;
}

const uint8_t* At(const TPixmap& pm, int x, int y) { return &pm.pixels[size_t(y) * pm.pitch + size_t(x) * 4]; }

// Encodes RGB pixels as PNG bytes (through a temporary file, as the engine only writes files).
std::string PngBytes(int w, int h, const uint8_t* rgb) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("pumko_image_test_" + std::to_string(::getpid()) + ".png")).string();
    EXPECT_TRUE(WritePNG(path, w, h, rgb));
    std::string data;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
        std::fclose(f);
    }
    std::remove(path.c_str());
    return data;
}
// Rewrites the width and height in a PNG's header chunk, with its checksum.
void PutHeaderSize(std::string& png, uint32_t w, uint32_t h) {
    auto put = [&](size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k) png[at + size_t(k)] = char(v >> (24 - 8 * k));
    };
    put(16, w);
    put(20, h);
    uint32_t crc = 0xFFFFFFFFu; // over the chunk type and data: bytes 12..28
    for (size_t i = 12; i < 29; ++i) {
        crc ^= uint8_t(png[i]);
        for (int b = 0; b < 8; ++b) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    put(29, ~crc);
}
} // namespace

TEST(Masking, BlackTakesTheAverageOfItsColouredNeighbours) {
    // 3 x 2: black in the middle of the top row, beside red, blue and (1, 1, 1) below.
    const TPixmap src = Rgb(3, 2,
                            {200, 0, 0, 0, 0, 0, 0, 0, 201, //
                             1, 1, 1, 0, 0, 0, 0, 0, 0});
    const TPixmap out = MaskPixmap(src);
    ASSERT_EQ(out.format, TPixmap::RGBA32);
    // (200 + 0 + 1) / 3, (0 + 0 + 1) / 3, (0 + 201 + 1) / 3, integer division.
    const uint8_t* m = At(out, 1, 0);
    EXPECT_EQ((RGB{m[0], m[1], m[2]}), (RGB{67, 0, 67}));
    EXPECT_EQ(m[3], 0);
    // Corner (2, 1): of its three neighbours only the blue one is coloured.
    const uint8_t* c = At(out, 2, 1);
    EXPECT_EQ((RGB{c[0], c[1], c[2]}), (RGB{0, 0, 201}));
    EXPECT_EQ(c[3], 0);
    // (1, 1, 1) is a colour, not the mask.
    const uint8_t* d = At(out, 0, 1);
    EXPECT_EQ((RGB{d[0], d[1], d[2]}), (RGB{1, 1, 1}));
    EXPECT_EQ(d[3], 255);
    EXPECT_EQ(At(out, 0, 0)[3], 255);

    // All black: transparent black.
    const TPixmap dark = MaskPixmap(Rgb(2, 2, {}));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(At(dark, i % 2, i / 2)[3], 0);
    EXPECT_EQ(At(dark, 1, 1)[0], 0);

    // Pixels that carry alpha are kept as they are.
    TPixmap rgba = TPixmap::Make(1, 1, TPixmap::RGBA32);
    rgba.pixels = {0, 0, 0, 255};
    EXPECT_EQ(MaskPixmap(rgba).pixels, rgba.pixels);
}

TEST_F(Images, EmbeddedPngBlackIsTransparentUnderMaskAndAlpha) {
    // 4 x 1: black, (1, 1, 1), white, black.
    const uint8_t rgb[] = {0, 0, 0, 1, 1, 1, 255, 255, 255, 0, 0, 0};
    static const std::string png = PngBytes(4, 1, rgb);
    ASSERT_FALSE(png.empty());
    RegisterEmbedded("graphx\\image_test.png", png.data(), int64_t(png.size()));
    TImage* img = LoadImageFile("incbin::graphx\\image_test.png", -1);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->width, 4);
    EXPECT_EQ(img->height, 1);
    EXPECT_EQ(img->flags, DefaultImageFlags());
    for (int mode : {BLEND_MASK, BLEND_ALPHA}) {
        SetBlend(BLEND_SOLID);
        SetColor(200, 0, 0);
        DrawFilledRect(0, 0, 10, 10);
        SetColor(255, 255, 255);
        SetBlend(mode);
        DrawImageFrame(img, 2, 2, 0);
        EXPECT_EQ(Px(2, 2), (RGB{200, 0, 0})) << "mode " << mode;
        EXPECT_EQ(Px(3, 2), (RGB{1, 1, 1})) << "mode " << mode;
        EXPECT_EQ(Px(4, 2), (RGB{255, 255, 255})) << "mode " << mode;
        EXPECT_EQ(Px(5, 2), (RGB{200, 0, 0})) << "mode " << mode;
    }
    // Without IMG_MASKED black is drawn.
    TImage* plain = LoadImageFile("incbin::graphx\\image_test.png", 0);
    ASSERT_NE(plain, nullptr);
    DrawImageFrame(plain, 2, 2, 0);
    EXPECT_EQ(Px(2, 2), (RGB{0, 0, 0}));
    delete img;
    delete plain;
}

TEST_F(Images, UnreadableFilesLoadAsNull) {
    EXPECT_EQ(LoadImageFile("incbin::graphx\\no_such.png", -1), nullptr);
    EXPECT_EQ(LoadImageFile("/nonexistent/folder/x.png", -1), nullptr);
    static const char junk[] = "\x89PNG\r\n\x1a\nthis is not a png";
    RegisterEmbedded("graphx\\junk.png", junk, sizeof junk);
    EXPECT_EQ(LoadImageFile("incbin::graphx\\junk.png", -1), nullptr);
    // A valid PNG cut short.
    const uint8_t rgb[12 * 12 * 3] = {};
    static const std::string png = PngBytes(12, 12, rgb);
    static const std::string cut = png.substr(0, png.size() / 2);
    RegisterEmbedded("graphx\\cut.png", cut.data(), int64_t(cut.size()));
    EXPECT_EQ(LoadImageFile("incbin::graphx\\cut.png", -1), nullptr);
    // A header claiming a picture far too large to hold is refused rather than allocated.
    for (uint32_t side : {100000u, 16000u}) {
        std::string* big = new std::string(png); // registered resources must stay alive
        PutHeaderSize(*big, side, side);
        const std::string name = "graphx\\big" + std::to_string(side) + ".png";
        RegisterEmbedded(name, big->data(), int64_t(big->size()));
        EXPECT_EQ(LoadImageFile("incbin::" + name, -1), nullptr) << side;
    }
}

TEST_F(Images, CreateImageFlagsAndHandles) {
    SetDefaultImageFlags(9);
    SetDefaultImageFlags(-1); // leaves it
    EXPECT_EQ(DefaultImageFlags(), 9);
    TImage* a = CreateImage(40, 40, 3, -1);
    EXPECT_EQ(a->flags, 9);
    EXPECT_EQ(a->FrameCount(), 3);
    EXPECT_EQ(a->handle_x, 0.0f);
    TImage* b = CreateImage(41, 7, 1, IMG_FILTERED);
    EXPECT_EQ(b->flags, IMG_FILTERED | IMG_DYNAMIC);
    MidHandleImage(b);
    EXPECT_FLOAT_EQ(b->handle_x, 20.5f);
    EXPECT_FLOAT_EQ(b->handle_y, 3.5f);
    SetAutoMidHandle(1);
    TImage* c = CreateImage(40, 30, 1, 0);
    EXPECT_FLOAT_EQ(c->handle_x, 20.0f);
    EXPECT_FLOAT_EQ(c->handle_y, 15.0f);
    // Blank frames draw nothing.
    DrawImageFrame(a, 100, 100, 2);
    EXPECT_EQ(Px(110, 110), (RGB{0, 0, 0}));
    delete a;
    delete b;
    delete c;
}

TEST_F(Images, GrabbingIntoAMaskedImageLetsThePictureBelowShowThrough) {
    // A white square on black, grabbed whole.
    SetColor(255, 255, 255);
    DrawFilledRect(10, 10, 20, 20);
    SetColor(1, 1, 1);
    DrawFilledRect(30, 10, 5, 5);
    SetColor(255, 255, 255);
    TImage* masked = CreateImage(40, 40, 2, IMG_MASKED);
    TImage* solid = CreateImage(40, 40, 1, 0);
    GrabImage(masked, 0, 0, 1);
    GrabImage(solid, 0, 0, 0);
    // Over green: the black of the grab is transparent, the white and (1, 1, 1) are drawn.
    SetBlend(BLEND_SOLID);
    SetColor(0, 150, 0);
    DrawFilledRect(0, 0, 640, 480);
    SetColor(255, 255, 255);
    SetBlend(BLEND_MASK);
    DrawImageFrame(masked, 100, 0, 1);
    EXPECT_EQ(Px(102, 2), (RGB{0, 150, 0}));
    EXPECT_EQ(Px(115, 15), (RGB{255, 255, 255}));
    EXPECT_EQ(Px(131, 11), (RGB{1, 1, 1}));
    DrawImageFrame(solid, 200, 0, 0);
    EXPECT_EQ(Px(202, 2), (RGB{0, 0, 0}));
    EXPECT_EQ(Px(215, 15), (RGB{255, 255, 255}));

    // Grabbing again replaces the frame; parts off the screen come back black.
    GrabImage(masked, 620, 0, 1);
    SetBlend(BLEND_SOLID);
    SetColor(50, 50, 50);
    DrawFilledRect(0, 0, 640, 480);
    SetColor(255, 255, 255);
    SetBlend(BLEND_MASK);
    DrawImageFrame(masked, 0, 0, 1);
    EXPECT_EQ(Px(5, 5), (RGB{0, 150, 0}));   // grabbed green, x 625
    EXPECT_EQ(Px(25, 5), (RGB{50, 50, 50})); // beyond the right edge: black, so transparent
    delete masked;
    delete solid;
}
