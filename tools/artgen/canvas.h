// A small painting canvas for the art generator: shapes given by an inside test, painted with
// 4 x 4 supersampled coverage (anti-aliased edges) in a colour that may vary across the shape.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

struct Col {
    float r = 0, g = 0, b = 0;
};
inline Col rgb(float r, float g, float b) { return {r, g, b}; }
inline Col mix(Col a, Col b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Col scale(Col a, float k) { return {a.r * k, a.g * k, a.b * k}; }

struct Canvas {
    int w, h;
    std::vector<float> px; // r, g, b in 0..255
    // Painting is clipped to this rectangle (a sprite cell, or the whole canvas).
    int cx0 = 0, cy0 = 0, cx1 = 0, cy1 = 0;
    // Offset of local coordinates (the current cell's top-left corner).
    float ox = 0, oy = 0;

    Canvas(int width, int height) : w(width), h(height), px(size_t(width) * height * 3, 0.0f) { Unclip(); }
    void Unclip() {
        cx0 = 0, cy0 = 0, cx1 = w, cy1 = h;
        ox = oy = 0;
    }
    void Clip(int x, int y, int cw, int ch) {
        cx0 = std::max(0, x), cy0 = std::max(0, y), cx1 = std::min(w, x + cw), cy1 = std::min(h, y + ch);
        ox = float(x), oy = float(y);
    }
    void Blend(int x, int y, Col c, float a) {
        if (x < cx0 || y < cy0 || x >= cx1 || y >= cy1 || a <= 0) return;
        float* p = &px[(size_t(y) * w + x) * 3];
        a = std::min(a, 1.0f);
        p[0] += (c.r - p[0]) * a;
        p[1] += (c.g - p[1]) * a;
        p[2] += (c.b - p[2]) * a;
    }
    Col Get(int x, int y) const {
        const float* p = &px[(size_t(y) * w + x) * 3];
        return {p[0], p[1], p[2]};
    }

    // Paints every pixel of the box whose samples fall inside(x, y) (local coordinates), in
    // colour(x, y), with opacity `alpha`.
    template <typename In, typename Fill>
    void Paint(float x0, float y0, float x1, float y1, In inside, Fill colour, float alpha = 1.0f) {
        const int ix0 = std::max(cx0, int(std::floor(x0 + ox))), iy0 = std::max(cy0, int(std::floor(y0 + oy)));
        const int ix1 = std::min(cx1, int(std::ceil(x1 + ox)) + 1), iy1 = std::min(cy1, int(std::ceil(y1 + oy)) + 1);
        for (int y = iy0; y < iy1; ++y)
            for (int x = ix0; x < ix1; ++x) {
                int n = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        if (inside(x - ox + (sx + 0.5f) / 4.0f, y - oy + (sy + 0.5f) / 4.0f)) ++n;
                if (n == 0) continue;
                const float lx = x - ox + 0.5f, ly = y - oy + 0.5f;
                Blend(x, y, colour(lx, ly), alpha * float(n) / 16.0f);
            }
    }

    // Common shapes, each with a flat colour or a colour function.
    template <typename Fill> void Ellipse(float cx, float cy, float rx, float ry, Fill colour, float alpha = 1) {
        Paint(
            cx - rx, cy - ry, cx + rx, cy + ry,
            [=](float x, float y) {
                const float dx = (x - cx) / rx, dy = (y - cy) / ry;
                return dx * dx + dy * dy <= 1.0f;
            },
            colour, alpha);
    }
    void Ellipse(float cx, float cy, float rx, float ry, Col c, float alpha = 1) {
        Ellipse(
            cx, cy, rx, ry, [c](float, float) { return c; }, alpha);
    }
    template <typename Fill> void Rect(float x0, float y0, float x1, float y1, Fill colour, float alpha = 1) {
        Paint(
            x0, y0, x1, y1, [=](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }, colour, alpha);
    }
    void Rect(float x0, float y0, float x1, float y1, Col c, float alpha = 1) {
        Rect(
            x0, y0, x1, y1, [c](float, float) { return c; }, alpha);
    }
    // A polygon (even-odd rule).
    template <typename Fill> void Poly(const std::vector<float>& xy, Fill colour, float alpha = 1) {
        float x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
        for (size_t i = 0; i < xy.size(); i += 2) {
            x0 = std::min(x0, xy[i]), x1 = std::max(x1, xy[i]);
            y0 = std::min(y0, xy[i + 1]), y1 = std::max(y1, xy[i + 1]);
        }
        const size_t n = xy.size() / 2;
        Paint(
            x0, y0, x1, y1,
            [&xy, n](float x, float y) {
                bool in = false;
                for (size_t i = 0, j = n - 1; i < n; j = i++) {
                    const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
                    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
                }
                return in;
            },
            colour, alpha);
    }
    void Poly(const std::vector<float>& xy, Col c, float alpha = 1) {
        Poly(
            xy, [c](float, float) { return c; }, alpha);
    }
    // A thick line with round ends.
    void Line(float xa, float ya, float xb, float yb, float width, Col c, float alpha = 1) {
        const float r = width / 2;
        Paint(
            std::min(xa, xb) - r, std::min(ya, yb) - r, std::max(xa, xb) + r, std::max(ya, yb) + r,
            [=](float x, float y) {
                const float dx = xb - xa, dy = yb - ya, len2 = dx * dx + dy * dy;
                float t = len2 > 0 ? ((x - xa) * dx + (y - ya) * dy) / len2 : 0;
                t = std::clamp(t, 0.0f, 1.0f);
                const float ex = xa + t * dx - x, ey = ya + t * dy - y;
                return ex * ex + ey * ey <= r * r;
            },
            [c](float, float) { return c; }, alpha);
    }
    // A soft radial glow, strongest at the centre.
    void Glow(float cx, float cy, float r, Col c, float strength = 1) { Glow(cx, cy, r, r, c, strength); }
    // The same glow stretched to an ellipse, so that it can fade out inside a picture that is
    // wider than it is tall.
    void Glow(float cx, float cy, float rx, float ry, Col c, float strength) {
        const int ix0 = std::max(cx0, int(cx - rx + ox)), iy0 = std::max(cy0, int(cy - ry + oy));
        const int ix1 = std::min(cx1, int(cx + rx + ox) + 1), iy1 = std::min(cy1, int(cy + ry + oy) + 1);
        for (int y = iy0; y < iy1; ++y)
            for (int x = ix0; x < ix1; ++x) {
                const float dx = (x - ox + 0.5f - cx) / rx, dy = (y - oy + 0.5f - cy) / ry;
                const float d = std::sqrt(dx * dx + dy * dy);
                if (d < 1) Blend(x, y, c, strength * (1 - d) * (1 - d));
            }
    }
};

// Deterministic noise for textures: the same inputs always give the same value in [0, 1).
inline float hash2(int x, int y, int seed = 0) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float((h ^ (h >> 16)) & 0xffffff) / 16777216.0f;
}
inline float smooth_noise(float x, float y, int seed = 0) {
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const float fx = x - ix, fy = y - iy;
    const float a = hash2(ix, iy, seed), b = hash2(ix + 1, iy, seed), c = hash2(ix, iy + 1, seed),
                d = hash2(ix + 1, iy + 1, seed);
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

// Noise that repeats every `period` lattice steps in both directions: a texture painted with it
// joins seamlessly with the same texture in the next cell.
inline float tiled_noise(float x, float y, int period, int seed = 0) {
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const float fx = x - ix, fy = y - iy;
    auto at = [&](int i, int j) {
        return hash2(((i % period) + period) % period, ((j % period) + period) % period, seed);
    };
    const float a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}
