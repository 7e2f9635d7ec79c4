// The software path's enlargement of the picture: integer is the picture enlarged exactly, sharp
// blends only the one screen pixel that straddles a picture-pixel edge, smooth blends throughout.
#include <gtest/gtest.h>

#include <vector>

#include "engine/render/soft/picture_scaler.h"

namespace {

// A picture of single-pixel stripes (every column a different colour) so every edge shows.
std::vector<uint8_t> Stripes(int w, int h) {
    std::vector<uint8_t> px(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &px[(size_t(y) * w + x) * 4];
            p[0] = uint8_t(x % 2 ? 250 : 10);
            p[1] = uint8_t(y % 2 ? 200 : 20);
            p[2] = uint8_t((x * 37 + y * 11) % 256);
            p[3] = 0;
        }
    return px;
}

std::vector<uint32_t> Scaled(const std::vector<uint8_t>& src, int sw, int sh, int dw, int dh, ScaleMode mode,
                             bool bgr = false) {
    std::vector<uint32_t> out(size_t(dw) * dh);
    PictureScaler scaler;
    scaler.Scale(src.data(), sw, sh, reinterpret_cast<uint8_t*>(out.data()), dw * 4, dw, dh, mode, bgr);
    return out;
}

uint32_t Source(const std::vector<uint8_t>& src, int sw, int x, int y) {
    const uint8_t* p = &src[(size_t(y) * sw + x) * 4];
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | 0xFF000000u;
}

TEST(PictureScaler, IntegerIsThePictureEnlargedExactly) {
    const auto src = Stripes(64, 48);
    for (ScaleMode mode : {ScaleMode::Integer, ScaleMode::Sharp}) {
        const auto out = Scaled(src, 64, 48, 192, 144, mode);
        for (int y = 0; y < 144; ++y)
            for (int x = 0; x < 192; ++x)
                ASSERT_EQ(out[size_t(y) * 192 + x], Source(src, 64, x / 3, y / 3)) << x << "," << y;
    }
    // Window byte order: red and blue swapped, nothing else.
    const auto bgr = Scaled(src, 64, 48, 64, 48, ScaleMode::Integer, true);
    const uint32_t s = Source(src, 64, 1, 0);
    EXPECT_EQ(bgr[1], (s & 0xFF00FF00u) | ((s >> 16) & 0xFF) | ((s & 0xFF) << 16));
}

// Along either axis: each picture pixel shows as a run of pure screen pixels (at least k - 1 of
// them, k the whole part of the scale, as a pixel may start and end part-way through screen
// pixels), and between two picture pixels at most one screen pixel mixes them.
TEST(PictureScaler, SharpBlendsOnlyTheScreenPixelOnAnEdge) {
    for (auto [src, dst] : {std::pair{640, 1440}, {480, 1080}, {640, 1366}, {480, 768}, {640, 1000}, {64, 150}}) {
        const auto taps = ScaleTaps(src, dst, ScaleMode::Sharp);
        std::vector<int> pure(size_t(src), 0), mixed(size_t(src), 0);
        for (const ScaleTap& t : taps) {
            if (t.w == 0) {
                ++pure[size_t(t.i0)];
                continue;
            }
            ASSERT_EQ(t.i1, t.i0 + 1) << src << " -> " << dst;
            ++mixed[size_t(t.i0)];
        }
        for (int i = 0; i < src; ++i) {
            EXPECT_GE(pure[size_t(i)], dst / src - 1) << src << " -> " << dst << ", picture pixel " << i;
            EXPECT_LE(mixed[size_t(i)], 1) << src << " -> " << dst << ", picture pixel " << i;
        }
    }
    // The same on a whole picture: a screen row crosses 64 stripes with at most 63 mixed pixels.
    const auto src = Stripes(64, 48);
    const auto out = Scaled(src, 64, 48, 144, 108, ScaleMode::Sharp);
    int mixed = 0;
    for (int x = 0; x < 144; ++x) {
        const uint32_t r = out[size_t(144) * 4 + x] & 0xFF;
        mixed += r != 250 && r != 10;
    }
    EXPECT_LE(mixed, 63);
    EXPECT_GT(mixed, 0);

    // An edge pixel mixes its two picture pixels by how much of each it covers: the middle of
    // three screen pixels over two picture pixels is half and half; over 4 -> 5 the second screen
    // pixel covers 0.2 of the first picture pixel and 0.6 of the next, three quarters of it.
    EXPECT_EQ(ScaleTaps(2, 3, ScaleMode::Sharp)[1].w, 128);
    EXPECT_EQ(ScaleTaps(4, 5, ScaleMode::Sharp)[1].w, 192);
}

TEST(PictureScaler, SmoothBlendsAndIntegerFallsBackWhenNoMultipleFits) {
    const auto src = Stripes(64, 48);
    auto blended = [&](const std::vector<uint32_t>& out, int dw) {
        int n = 0;
        for (int x = 0; x < dw; ++x) {
            const uint32_t r = out[size_t(dw) * 10 + x] & 0xFF;
            n += r != 250 && r != 10;
        }
        return n;
    };
    EXPECT_GT(blended(Scaled(src, 64, 48, 144, 108, ScaleMode::Smooth), 144), 100);
    EXPECT_LT(blended(Scaled(src, 64, 48, 144, 108, ScaleMode::Sharp), 144), 64);
    // Smaller than the picture: shrunk smoothly in every mode, never cut off.
    for (ScaleMode mode : {ScaleMode::Integer, ScaleMode::Sharp, ScaleMode::Smooth}) {
        const auto taps = ScaleTaps(64, 40, mode);
        EXPECT_EQ(taps.front().i0, 0);
        EXPECT_GE(taps.back().i1, 62);
    }
}

} // namespace
