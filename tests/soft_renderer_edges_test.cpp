// Masked sprites cut by the screen's left and top edges on the software renderer's quick path.
// Also built into pumko_checked_tests with the standard library's bounds checks, where an index
// that strays outside the back buffer fails even when the pixels happen to come out right.
#include <gtest/gtest.h>

#include <array>

#include "engine/engine.h"
#include "engine/render/soft/soft_renderer.h"

namespace {
using RGB = std::array<int, 3>;

// A sprite with a transparent column every fourth one, so it is drawn as several opaque runs.
TImage* Sprite(int w, int h) {
    TImage* img = CreateImage(w, h, 1, 0);
    TPixmap pm = TPixmap::Make(w, h, TPixmap::RGBA32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &pm.pixels[size_t(y) * pm.pitch + size_t(x) * 4];
            p[0] = uint8_t(x), p[1] = uint8_t(y * 5), p[2] = 77, p[3] = x % 4 == 3 ? 0 : 255;
        }
    img->SetPixmap(0, pm);
    return img;
}
} // namespace

TEST(SoftRendererEdges, SpritesCutByTheLeftAndTopEdgesDrawOnlyTheirVisiblePart) {
    constexpr int kW = 60, kH = 40;
    SoftRenderer r(kW, kH);
    TImage* img = Sprite(200, 12);
    auto at = [&](int x, int y) {
        const uint8_t* p = r.Pixels() + (size_t(y) * kW + size_t(x)) * 4;
        return RGB{p[0], p[1], p[2]};
    };
    // Left of the top row; also above it; and on the second row from further left than a
    // whole row of the screen, so that even there the start lies before the back buffer.
    const struct { int x, y; } places[] = {{-5, 0}, {-7, -3}, {-130, 1}};
    for (const auto& at_place : places) {
        r.Clear(9, 8, 7);
        const float x = float(at_place.x), y = float(at_place.y);
        const QuadVertex v[4] = {{x, y, 0, 0}, {x + 200, y, 1, 0}, {x + 200, y + 12, 1, 1}, {x, y + 12, 0, 1}};
        r.DrawTexturedQuad(*img, 0, v, DrawParams());
        for (int sy = 0; sy < kH; ++sy)
            for (int sx = 0; sx < kW; ++sx) {
                const int tx = sx - at_place.x, ty = sy - at_place.y;
                const bool inside = tx >= 0 && tx < 200 && ty >= 0 && ty < 12 && tx % 4 != 3;
                ASSERT_EQ(at(sx, sy), inside ? (RGB{tx, ty * 5, 77}) : (RGB{9, 8, 7}))
                    << "sprite at " << at_place.x << "," << at_place.y << ", pixel " << sx << "," << sy;
            }
    }
    delete img;
}
