// Pixel-exact collision of image frames.
#include <gtest/gtest.h>

#include <functional>

#include "engine/engine.h"

namespace {

// A one-frame RGBA image, mid-handled, whose pixel (x, y) is opaque where solid(x, y) holds.
TImage MakeImage(int w, int h, const std::function<bool(int, int)>& solid) {
    TImage img;
    img.width = w;
    img.height = h;
    img.flags = IMG_MASKED;
    img.handle_x = w * 0.5f;
    img.handle_y = h * 0.5f;
    TPixmap pm;
    pm.width = w;
    pm.height = h;
    pm.pitch = w * 4;
    pm.format = TPixmap::RGBA32;
    pm.pixels.assign(size_t(w) * h * 4, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (solid(x, y)) {
                uint8_t* p = &pm.pixels[size_t(y) * pm.pitch + size_t(x) * 4];
                p[0] = p[1] = p[2] = 200;
                p[3] = 255;
            }
    img.pixmaps.push_back(std::move(pm));
    img.frames.resize(1);
    img.seqs.resize(1);
    return img;
}

TImage Opaque(int w = 40, int h = 40) {
    return MakeImage(w, h, [](int, int) { return true; });
}

// The same shape with no alpha channel: collides as a solid rectangle whatever its pixels.
TImage Maskless(int w = 40, int h = 40) {
    TImage img = MakeImage(w, h, [](int, int) { return false; });
    TPixmap& pm = img.pixmaps[0];
    pm.format = TPixmap::RGB24;
    pm.pitch = w * 3;
    pm.pixels.assign(size_t(w) * h * 3, 0);
    return img;
}

bool Overlap(TImage& a, int ax, int ay, TImage& b, int bx, int by) {
    bool ab = ImagesOverlap(&a, ax, ay, 0, &b, bx, by, 0);
    bool ba = ImagesOverlap(&b, bx, by, 0, &a, ax, ay, 0);
    EXPECT_EQ(ab, ba) << "the test must not depend on argument order";
    return ab;
}

class Collision : public ::testing::Test {
  protected:
    void SetUp() override {
        SetTransform(0, 1, 1);
        ResetCollisionLayers(0);
    }
    void TearDown() override { SetTransform(0, 1, 1); }
};

TEST_F(Collision, OpaqueBoxesTouchingButNotSharingAColumnDoNotCollide) {
    TImage a = Opaque(), b = Opaque();
    EXPECT_FALSE(Overlap(a, 0, 0, b, 40, 0));
    EXPECT_TRUE(Overlap(a, 0, 0, b, 39, 0));
    EXPECT_FALSE(Overlap(a, 0, 0, b, 0, 40));
    EXPECT_TRUE(Overlap(a, 0, 0, b, 0, 39));
    EXPECT_TRUE(Overlap(a, 100, 100, b, 61, 139)); // one shared corner pixel
    EXPECT_FALSE(Overlap(a, 100, 100, b, 60, 139));
    EXPECT_TRUE(Overlap(a, 100, 100, b, 100, 100));
}

TEST_F(Collision, OnlySolidTexelsCount) {
    // Rightmost column of a and leftmost column of b transparent: one shared column, no contact.
    TImage a = MakeImage(40, 40, [](int x, int) { return x < 39; });
    TImage b = MakeImage(40, 40, [](int x, int) { return x > 0; });
    EXPECT_FALSE(Overlap(a, 0, 0, b, 39, 0));
    EXPECT_FALSE(Overlap(a, 0, 0, b, 38, 0));
    EXPECT_TRUE(Overlap(a, 0, 0, b, 37, 0));

    // A ring and a dot inside its hole never touch; the dot on the ring does.
    TImage ring = MakeImage(40, 40, [](int x, int y) { return x < 4 || x > 35 || y < 4 || y > 35; });
    TImage dot = MakeImage(4, 4, [](int, int) { return true; });
    EXPECT_FALSE(Overlap(ring, 200, 200, dot, 200, 200));
    EXPECT_TRUE(Overlap(ring, 200, 200, dot, 200 - 17, 200));
}

TEST_F(Collision, ShapesWithoutAlphaAreSolidRectangles) {
    TImage a = Maskless(), b = MakeImage(40, 40, [](int x, int) { return x > 0; });
    EXPECT_FALSE(Overlap(a, 0, 0, b, 40, 0));
    EXPECT_FALSE(Overlap(a, 0, 0, b, 39, 0)); // b's first column is clear
    EXPECT_TRUE(Overlap(a, 0, 0, b, 38, 0));
    TImage c = Maskless();
    EXPECT_TRUE(Overlap(a, 0, 0, c, 39, 39));
}

TEST_F(Collision, FollowsTheDrawingTransform) {
    TImage a = Opaque(), b = Opaque();
    // 60 px apart: apart at scale 1, overlapping at scale 2 (each grows to 80 px about its centre).
    EXPECT_FALSE(Overlap(a, 100, 100, b, 160, 100));
    SetDrawScale(2, 2);
    EXPECT_TRUE(Overlap(a, 100, 100, b, 160, 100));
    EXPECT_FALSE(Overlap(a, 100, 100, b, 180, 100));
    SetTransform(0, 1, 1);
    EXPECT_FALSE(Overlap(a, 100, 100, b, 160, 100));

    // A thin bar turned by 90 degrees stands upright.
    TImage bar = Opaque(40, 4), dot = Opaque(2, 2);
    EXPECT_FALSE(Overlap(bar, 100, 100, dot, 100, 115));
    SetTransform(90, 1, 1);
    EXPECT_TRUE(Overlap(bar, 100, 100, dot, 100, 115));
    EXPECT_FALSE(Overlap(bar, 100, 100, dot, 115, 100));

    // A mirrored frame (negative scale) still collides, with its texels mirrored.
    TImage half = MakeImage(40, 40, [](int x, int) { return x < 20; });
    SetTransform(0, 1, 1);
    EXPECT_FALSE(Overlap(half, 100, 100, dot, 110, 100));
    SetDrawScale(-1, 1);
    EXPECT_TRUE(Overlap(half, 100, 100, dot, 110, 100));
    EXPECT_FALSE(Overlap(half, 100, 100, dot, 90, 100));
}

TEST_F(Collision, DegenerateAndStaggeredQuads) {
    TImage a = Opaque(), b = Opaque();
    SetDrawScale(0, 0);
    EXPECT_FALSE(Overlap(a, 100, 100, b, 100, 100));
    SetTransform(0, 1, 1);
    // Boxes that touch pass the pre-test, but rows where only one quad is present never count.
    TImage tall = Opaque(4, 40), flat = Opaque(40, 2);
    EXPECT_FALSE(Overlap(tall, 100, 100, flat, 100, 121));
    EXPECT_TRUE(Overlap(tall, 100, 100, flat, 100, 120));
}

// The cheap pre-test keeps the boxes of the last few images it met. With that store full, the
// second image of a test takes the place the first image's box came from; the first box must
// still be its own, or a real overlap of a large and a small image is missed.
TEST_F(Collision, ThePreTestNeverMixesUpTwoImagesBoxes) {
    TImage big = Opaque(600, 400), small = Opaque(20, 20);
    TImage fillers[3] = {Opaque(7, 7), Opaque(9, 9), Opaque(13, 13)};
    for (int round = 0; round < 4; ++round) { // whatever place in the store the big image lands on
        EXPECT_FALSE(ImagesOverlap(&big, 0, 0, 0, &big, 5000, 0, 0));
        for (TImage& f : fillers) EXPECT_FALSE(ImagesOverlap(&f, 0, 0, 0, &f, 5000, 0, 0));
        EXPECT_TRUE(ImagesOverlap(&big, 320, 240, 0, &small, 400, 300, 0)) << "round " << round;
    }
}

} // namespace
