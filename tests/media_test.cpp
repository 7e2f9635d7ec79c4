// The media catalogue: the sprite sheet cut on its grid, the title pieces taken before the back
// buffer is cleared, masking, every frame the game draws holding a picture, and the art generator
// reproducing its files exactly.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "engine/png_io.h"
#include "game/media.h"
#include "game/game.h"
#include "replay/playthrough.h"
#include "real_sheet.h"

#ifndef PUMKO_BINARY_DIR
#error "PUMKO_BINARY_DIR must name the build folder"
#endif

namespace {
class Media : public ::testing::Test {
  protected:
    static HeadlessPlatform* platform;
    static TPixmap sheet; // the sprite sheet picture as stored
    static void SetUpTestSuite() {
        platform = new HeadlessPlatform;
        EngineInit(platform);
        ASSERT_TRUE(PrepareHeadlessGame());
        const uint8_t* bytes = nullptr;
        int64_t size = 0;
        ASSERT_TRUE(FindEmbedded("graphx\\pumkosahrim01.png", &bytes, &size));
        ASSERT_TRUE(DecodePNG(bytes, size_t(size), sheet));
    }
    static void TearDownTestSuite() {
        EngineShutdown();
        delete platform;
    }
    // Whether frame `f` of `img` holds exactly the sheet's pixels at (x, y), black as transparent.
    static bool CutFrom(const TImage* img, int f, int x, int y) {
        const TPixmap& pm = img->pixmaps[size_t(f)];
        for (int j = 0; j < img->height; ++j)
            for (int i = 0; i < img->width; ++i) {
                const uint8_t* s = &sheet.pixels[size_t(y + j) * sheet.pitch + size_t(x + i) * 3];
                const uint32_t p = pm.Pixel32(i, j);
                const bool black = s[0] == 0 && s[1] == 0 && s[2] == 0;
                if (black != ((p >> 24) == 0)) return false;
                if (!black && (p & 0xffffffu) != (uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16))
                    return false;
            }
        return true;
    }
    static int OpaquePixels(const TImage* img, int f) {
        int n = 0;
        const TPixmap& pm = img->pixmaps[size_t(f)];
        for (int j = 0; j < pm.height; ++j)
            for (int i = 0; i < pm.width; ++i) n += (pm.Pixel32(i, j) >> 24) != 0;
        return n;
    }
};
HeadlessPlatform* Media::platform = nullptr;
TPixmap Media::sheet;
} // namespace

TEST_F(Media, TheSheetIsCutOnItsGridAndTheTitlePiecesBeforeTheClear) {
    ASSERT_NE(sprite_sheet, nullptr);
    ASSERT_EQ(sprite_sheet->FrameCount(), 127);
    EXPECT_TRUE(CutFrom(sprite_sheet, 14, 575, 1));
    EXPECT_TRUE(CutFrom(sprite_sheet, 15, 1, 42));
    EXPECT_TRUE(CutFrom(sprite_sheet, 126, 247, 329));
    EXPECT_TRUE(CutFrom(sprite_sheet, 30, 1 + 41 * 0, 1 + 41 * 2));
    ASSERT_NE(title_banner, nullptr);
    EXPECT_TRUE(CutFrom(title_banner, 0, 358, 330));
    EXPECT_TRUE(CutFrom(title_footer, 0, 2, 408));
    EXPECT_GT(OpaquePixels(title_banner, 0), 275 * 126 / 4);
    EXPECT_FLOAT_EQ(sprite_sheet->handle_x, 20.0f); // automatic mid handles
    EXPECT_FLOAT_EQ(title_banner->handle_x, 137.5f);
    ASSERT_NE(ending_sheet, nullptr);
    EXPECT_EQ(ending_sheet->FrameCount(), 6);
    for (int f = 0; f < 6; ++f) EXPECT_GT(OpaquePixels(ending_sheet, f), 40) << "ending frame " << f;
}

TEST_F(Media, EveryFrameTheGameDrawsHoldsAPictureAndFrameZeroIsEmpty) {
    EXPECT_EQ(OpaquePixels(sprite_sheet, 0), 0);
    const int unused[] = {0, 31, 38}; // 31 and 38: map-editing markers the game never draws
    for (int f = 0; f < 127; ++f) {
        if (std::find(std::begin(unused), std::end(unused), f) != std::end(unused)) continue;
        EXPECT_GT(OpaquePixels(sprite_sheet, f), 20) << "frame " << f;
    }
    // Solid tiles and liquids collide by their pixels: they fill their whole cell.
    for (int f : {4, 5, 6, 7, 8, 9, 10, 24, 25, 94, 95}) EXPECT_EQ(OpaquePixels(sprite_sheet, f), 1600) << f;
    // The hero is at most 30 px wide, so a wall that pushes it 35 px away no longer touches it.
    const TPixmap& hero = sprite_sheet->pixmaps[30];
    for (int j = 0; j < 40; ++j)
        for (int i : {0, 1, 2, 3, 4, 35, 36, 37, 38, 39}) EXPECT_EQ(hero.Pixel32(i, j) >> 24, 0u) << i << "," << j;
}

// The ground's overlays cover only the part of a cell their name says, so the ground under them
// shows: grass along the top, rims down the sides, a lip along the bottom.
TEST_F(Media, GroundOverlaysLeaveTheGroundUnderThemShowing) {
    auto opaque_in = [&](int f, int x0, int y0, int x1, int y1) {
        const TPixmap& pm = sprite_sheet->pixmaps[size_t(f)];
        int n = 0;
        for (int j = y0; j < y1; ++j)
            for (int i = x0; i < x1; ++i) n += (pm.Pixel32(i, j) >> 24) != 0;
        return n;
    };
    const int middle = opaque_in(32, 8, 18, 32, 40) + opaque_in(47, 10, 0, 40, 40) + opaque_in(48, 0, 0, 30, 40) +
                       opaque_in(55, 10, 0, 30, 40) + opaque_in(56, 0, 0, 40, 26) + opaque_in(93, 0, 18, 40, 26);
    EXPECT_EQ(middle, 0);
    EXPECT_GT(opaque_in(32, 0, 0, 40, 4), 120); // a top all along
    EXPECT_GT(opaque_in(33, 0, 10, 3, 40), 40); // and down the open side
    EXPECT_GT(opaque_in(34, 37, 10, 40, 40), 40);
    EXPECT_GT(opaque_in(56, 0, 37, 40, 40), 100);
}

// Walkers stand on blocks only if their pictures reach within 4 px of their frame's bottom (they
// sink 4 px and must touch the block to be put back); the actors' tests cut the sheet the same way.
TEST_F(Media, WalkersReachTheBottomOfTheirFramesAndTheTestsCutTheSameSheet) {
    for (int f : {57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 73, 74, 75, 76, 77, 78}) {
        const TPixmap& pm = sprite_sheet->pixmaps[size_t(f)];
        int lowest = -1;
        for (int j = 0; j < 40; ++j)
            for (int i = 0; i < 40; ++i)
                if (pm.Pixel32(i, j) >> 24) lowest = j;
        EXPECT_GE(lowest, 36) << "frame " << f;
    }
    TImage* cut = real_sheet();
    ASSERT_NE(cut, nullptr);
    for (int f = 0; f < 127; ++f)
        EXPECT_EQ(cut->pixmaps[size_t(f)].pixels, sprite_sheet->pixmaps[size_t(f)].pixels) << "frame " << f;
}

TEST_F(Media, MaskingAndTheBackdrops) {
    for (TImage* b : {backdrop1, backdrop2, backdrop3}) {
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->width, 640);
        EXPECT_EQ(b->height, 480);
        EXPECT_EQ(OpaquePixels(b, 0), 640 * 480); // nothing see-through in a backdrop
    }
    // Near-black outlines stay; pure black is transparent with a neighbour-average colour.
    TImage* img = CreateImage(3, 1, 1, -1);
    TPixmap pm = TPixmap::Make(3, 1, TPixmap::RGB24);
    const uint8_t px[9] = {10, 10, 14, 0, 0, 0, 30, 30, 40};
    std::copy(px, px + 9, pm.pixels.begin());
    img->SetPixmap(0, pm);
    EXPECT_EQ(img->pixmaps[0].Pixel32(0, 0), 0xff0e0a0au);
    EXPECT_EQ(img->pixmaps[0].Pixel32(1, 0), 0x001b1414u); // (10+30)/2, (10+30)/2, (14+40)/2
    delete img;
}

TEST(ArtGenerator, ReproducesIdenticalFiles) {
    const std::filesystem::path out = std::filesystem::temp_directory_path() / "pumko-artgen-again";
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    const std::string built = std::string(PUMKO_BINARY_DIR) + "/assets/graphx";
    const std::string cmd = std::string(PUMKO_BINARY_DIR) + "/tools/artgen/artgen " + out.string() +
                            " /usr/share/fonts/opentype/kaushanscript/KaushanScript-Regular.otf";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    auto read = [](const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    };
    for (const char* f : {"pumkosahrim01.png", "pumkosahrim02.png", "pumkosahrim03.png", "pumkosahrim04.png",
                          "pumko_02.png", "vxlogo.png"}) {
        const std::string a = read(out / f), b = read(std::filesystem::path(built) / f);
        EXPECT_FALSE(a.empty()) << f;
        EXPECT_TRUE(a == b) << f << " differs from the built one";
    }
    std::filesystem::remove_all(out);
}

// The shipped data as the build leaves it loads whole; a sound taken away or spoilt is named, once
// each, with what is wrong, and the rest still loads.
TEST_F(Media, WhatCannotBeLoadedIsNamed) {
    EXPECT_EQ(load_media(), std::vector<std::string>{});

    namespace fs = std::filesystem;
    const fs::path old_cwd = fs::current_path();
    const fs::path scratch = fs::temp_directory_path() / ("pumko-media-" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "data");
    for (const auto& entry : fs::directory_iterator(old_cwd / "data"))
        if (entry.path().extension() == ".ogg" && entry.path().filename() != "jump.ogg")
            fs::copy_file(entry.path(), scratch / "data" / entry.path().filename());
    {
        std::ofstream spoilt(scratch / "data" / "magic.ogg", std::ios::binary | std::ios::trunc);
        spoilt << "not a sound at all";
    }
    fs::current_path(scratch);
    const std::vector<std::string> missing = load_media();
    fs::current_path(old_cwd);
    fs::remove_all(scratch);

    ASSERT_EQ(missing.size(), 2u);
    EXPECT_EQ(missing[0].rfind("data\\jump.ogg: ", 0), 0u) << missing[0];
    EXPECT_EQ(missing[1], "data\\magic.ogg: not an Ogg Vorbis file");
    EXPECT_FALSE(snd_jump);
    EXPECT_TRUE(snd_boing);
    load_media(); // as the other tests expect
}
