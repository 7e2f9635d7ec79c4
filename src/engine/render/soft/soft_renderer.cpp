// The software renderer: quads rasterised at pixel centres with a top-left fill rule (a pixel is
// covered when its centre lies inside the quad, or on its top or left edge), nearest or bilinear
// sampling, colour and alpha modulation, and the five blend modes.
#include "engine/render/soft/soft_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/engine.h"
#include "engine/image.h"

namespace {

inline uint8_t Mul255(int a, int b) { return uint8_t((a * b + 127) / 255); }

// Writes one pixel of colour (r, g, b) and alpha a under the blend mode.
inline __attribute__((always_inline)) void Blend(uint8_t* d, int r, int g, int b, int a, int mode) {
    switch (mode) {
    case BLEND_MASK:
        if (a >= 128) {
            d[0] = uint8_t(r);
            d[1] = uint8_t(g);
            d[2] = uint8_t(b);
        }
        break;
    case BLEND_SOLID:
        d[0] = uint8_t(r);
        d[1] = uint8_t(g);
        d[2] = uint8_t(b);
        break;
    case BLEND_ALPHA:
        d[0] = uint8_t((r * a + d[0] * (255 - a) + 127) / 255);
        d[1] = uint8_t((g * a + d[1] * (255 - a) + 127) / 255);
        d[2] = uint8_t((b * a + d[2] * (255 - a) + 127) / 255);
        break;
    case BLEND_LIGHT:
        d[0] = uint8_t(std::min(255, d[0] + (r * a + 127) / 255));
        d[1] = uint8_t(std::min(255, d[1] + (g * a + 127) / 255));
        d[2] = uint8_t(std::min(255, d[2] + (b * a + 127) / 255));
        break;
    case BLEND_SHADE:
        d[0] = Mul255(r, d[0]);
        d[1] = Mul255(g, d[1]);
        d[2] = Mul255(b, d[2]);
        break;
    default: break;
    }
}

// A row of texels modulated by the colour and alpha, under one blend mode chosen once per row.
template <int mode> inline void BlendRow(uint8_t* d, const uint8_t* t, int n, const DrawParams& p) {
    for (int i = 0; i < n; ++i, t += 4, d += 4)
        Blend(d, Mul255(p.r, t[0]), Mul255(p.g, t[1]), Mul255(p.b, t[2]), Mul255(p.a, t[3]), mode);
}

// One row of a whole frame under any transform, sampled nearest: the texel under each pixel centre
// at (s, t), stepping by (ds, dt) per pixel. Texels that leave the pixel as it is are skipped.
template <int mode>
void NearestRow(uint8_t* d, int n, double s, double t, double ds, double dt, const TPixmap& pm, const DrawParams& p) {
    const int w = pm.width, h = pm.height, pitch = pm.pitch;
    const uint8_t* tex = pm.pixels.data();
    for (int i = 0; i < n; ++i, d += 4, s += ds, t += dt) {
        const int tx = std::clamp(int(s * w), 0, w - 1), ty = std::clamp(int(t * h), 0, h - 1);
        const uint8_t* px = tex + size_t(ty) * pitch + size_t(tx) * 4;
        const int a = Mul255(p.a, px[3]);
        if (mode == BLEND_MASK && a < 128) continue;
        if ((mode == BLEND_ALPHA || mode == BLEND_LIGHT) && a == 0) continue;
        Blend(d, Mul255(p.r, px[0]), Mul255(p.g, px[1]), Mul255(p.b, px[2]), a, mode);
    }
}

// The affine map of a parallelogram quad: screen point -> (s, t) in the quad's own 0..1 square,
// where corner 0 is (0, 0), corner 1 is (1, 0) and corner 3 is (0, 1).
struct QuadMap {
    double ox, oy; // corner 0
    double sx, sy; // d(s)/dx, d(s)/dy
    double tx, ty; // d(t)/dx, d(t)/dy
    bool ok = false;
    QuadMap(const QuadVertex v[4]) {
        const double ax = v[1].x - v[0].x, ay = v[1].y - v[0].y; // s direction
        const double bx = v[3].x - v[0].x, by = v[3].y - v[0].y; // t direction
        const double det = ax * by - ay * bx;
        ox = v[0].x;
        oy = v[0].y;
        for (int k = 0; k < 4; ++k)
            if (!std::isfinite(v[k].x) || !std::isfinite(v[k].y)) return;
        if (std::fabs(det) < 1e-9) return;
        sx = by / det;
        sy = -bx / det;
        tx = -ay / det;
        ty = ax / det;
        ok = true;
    }
};

// The span of pixel columns [x0, x1) on row y whose centres have 0 <= s < 1 and 0 <= t < 1.
bool RowSpan(const QuadMap& m, int y, int width, int& x0, int& x1) {
    const double cy = y + 0.5 - m.oy;
    double lo = -1e30, hi = 1e30;
    // s(x) = s0 + sx * (x + 0.5 - ox), the same for t; solve 0 <= s < 1.
    auto clip = [&](double base, double slope) {
        if (std::fabs(slope) < 1e-12) {
            if (!(base >= 0.0 && base < 1.0)) hi = -1e30;
            return;
        }
        double a = (0.0 - base) / slope, b = (1.0 - base) / slope; // x offsets where value is 0 and 1
        if (slope > 0) {
            lo = std::max(lo, a);
            hi = std::min(hi, b); // value < 1 -> offset < b
        } else {
            lo = std::max(lo, b); // value < 1 -> offset > b
            hi = std::min(hi, a);
        }
    };
    clip(m.sy * cy, m.sx);
    clip(m.ty * cy, m.tx);
    if (hi <= lo) return false;
    // Pixel centre x + 0.5 - ox in [lo, hi) for value >= 0 edges; strict on the far side.
    // Clamped to the screen in doubles first, so quads far off it cannot overflow an int.
    const double first = std::clamp(lo + m.ox - 0.5, -1.0, double(width) + 1.0);
    const double last = std::clamp(hi + m.ox - 0.5, -1.0, double(width) + 1.0);
    x0 = int(std::ceil(first - 1e-9));
    x1 = int(std::ceil(last - 1e-9));
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width);
    return x1 > x0;
}

// The rows [ymin, ymax) a quad may touch, within the screen.
void RowRange(const QuadVertex v[4], int height, int& ymin, int& ymax) {
    double lo = v[0].y, hi = v[0].y;
    for (int k = 1; k < 4; ++k) {
        lo = std::min(lo, double(v[k].y));
        hi = std::max(hi, double(v[k].y));
    }
    ymin = int(std::floor(std::clamp(lo, 0.0, double(height))));
    ymax = int(std::ceil(std::clamp(hi, 0.0, double(height))));
}

} // namespace

// A frame's opaque runs (alpha >= 128) row by row: what a plain masked draw copies, so that
// transparent pixels cost nothing and opaque ones are copied a run at a time.
struct SoftRenderer::Spans : TImageFrame {
    std::vector<uint16_t> runs;   // start, end pairs
    std::vector<uint32_t> row_at; // index into runs of each row's first pair; one more at the end
};

SoftRenderer::SoftRenderer(int width, int height)
    : width_(width), height_(height), generation_(NewTextureGeneration()), pixels_(size_t(width) * height * 4, 0) {}

void SoftRenderer::ForgetTextures() { generation_ = NewTextureGeneration(); }

// Made on first use and after the pixmap changes, in the frame's texture slot.
const SoftRenderer::Spans& SoftRenderer::SpansOf(TImage& img, int frame) {
    if (img.frames.size() < img.pixmaps.size()) img.frames.resize(img.pixmaps.size());
    if (img.seqs.size() < img.pixmaps.size()) img.seqs.resize(img.pixmaps.size(), 0);
    std::unique_ptr<TImageFrame>& slot = img.frames[size_t(frame)];
    auto* spans = dynamic_cast<Spans*>(slot.get());
    if (spans && img.seqs[size_t(frame)] == generation_) return *spans;
    if (!spans) {
        auto made = std::make_unique<Spans>();
        spans = made.get();
        slot = std::move(made);
    }
    const TPixmap& pm = img.pixmaps[size_t(frame)];
    spans->runs.clear();
    spans->row_at.assign(size_t(pm.height) + 1, 0);
    for (int y = 0; y < pm.height; ++y) {
        spans->row_at[size_t(y)] = uint32_t(spans->runs.size());
        const uint8_t* t = &pm.pixels[size_t(y) * pm.pitch];
        for (int x = 0; x < pm.width;) {
            if (t[x * 4 + 3] < 128) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < pm.width && t[x * 4 + 3] >= 128) ++x;
            spans->runs.push_back(uint16_t(start));
            spans->runs.push_back(uint16_t(x));
        }
    }
    spans->row_at[size_t(pm.height)] = uint32_t(spans->runs.size());
    img.seqs[size_t(frame)] = generation_;
    return *spans;
}

void SoftRenderer::Clear(uint8_t r, uint8_t g, uint8_t b) {
    const uint8_t px[4] = {r, g, b, 255};
    std::memcpy(&clear_word_, px, 4);
    clear_pending_ = true;
}

void SoftRenderer::ApplyClear() const {
    if (!clear_pending_) return;
    clear_pending_ = false;
    uint32_t* d = reinterpret_cast<uint32_t*>(pixels_.data());
    std::fill(d, d + pixels_.size() / 4, clear_word_);
}

// Axis-aligned, unscaled, unflipped quads sampled nearest (map cells, sprites, backdrops: nearly
// everything in a frame) show texel (i - first_x, j - first_y) at pixel (i, j), where the first
// covered pixel is the one whose centre is on or right of / below the quad's top-left corner.
// Filtered sampling gives the same at whole-pixel positions, where every pixel centre falls on a
// texel centre (glyphs of smooth fonts). Returns false for any other quad, which then takes the
// general path.
bool SoftRenderer::DrawAligned(TImage& img, int frame, const QuadVertex v[4], const DrawParams& p) {
    const TPixmap& pm = img.pixmaps[size_t(frame)];
    if ((img.flags & IMG_FILTERED) && (v[0].x != std::floor(v[0].x) || v[0].y != std::floor(v[0].y))) return false;
    const int w = pm.width, h = pm.height;
    const float dx = v[1].x - v[0].x, dy = v[3].y - v[0].y;
    if (v[1].y != v[0].y || v[3].x != v[0].x || v[2].x != v[1].x || v[2].y != v[3].y) return false;
    if (std::fabs(dx - float(w)) > 1e-3f || std::fabs(dy - float(h)) > 1e-3f) return false;
    if (v[0].u != 0 || v[0].v != 0 || v[1].u != 1 || v[1].v != 0 || v[3].u != 0 || v[3].v != 1) return false;
    if (std::fabs(v[0].x) > 1e7f || std::fabs(v[0].y) > 1e7f) return true; // nowhere near the screen
    const int fx = int(std::ceil(v[0].x - 0.5f)), fy = int(std::ceil(v[0].y - 0.5f));
    const int x0 = std::max(fx, 0), x1 = std::min(fx + w, width_);
    const int y0 = std::max(fy, 0), y1 = std::min(fy + h, height_);
    if (x0 >= x1 || y0 >= y1) return true;
    const int n = x1 - x0;
    const bool plain = p.r == 255 && p.g == 255 && p.b == 255 && p.a == 255;
    const Spans* spans = plain && p.blend == BLEND_MASK ? &SpansOf(img, frame) : nullptr;
    if (spans && clear_pending_ && x0 == 0 && y0 == 0 && x1 == width_ && y1 == height_) {
        // A whole-screen masked picture right after a clear: one pass writes its opaque runs and
        // the clear colour between them.
        clear_pending_ = false;
        for (int y = 0; y < height_; ++y) {
            const uint8_t* row = &pm.pixels[size_t(y - fy) * pm.pitch];
            uint8_t* out = &pixels_[size_t(y) * width_ * 4];
            uint32_t* words = reinterpret_cast<uint32_t*>(out);
            int filled = 0; // screen columns done so far
            for (uint32_t r = spans->row_at[size_t(y - fy)]; r < spans->row_at[size_t(y - fy) + 1]; r += 2) {
                const int a = std::max(int(spans->runs[r]) + fx, 0), b = std::min(int(spans->runs[r + 1]) + fx, width_);
                if (a >= b) continue;
                std::fill(words + filled, words + a, clear_word_);
                std::memcpy(out + size_t(a) * 4, row + size_t(a - fx) * 4, size_t(b - a) * 4);
                filled = b;
            }
            std::fill(words + filled, words + width_, clear_word_);
        }
        return true;
    }
    ApplyClear();
    for (int y = y0; y < y1; ++y) {
        const uint8_t* t = &pm.pixels[size_t(y - fy) * pm.pitch + size_t(x0 - fx) * 4];
        uint8_t* d = &pixels_[(size_t(y) * width_ + x0) * 4];
        if (plain && p.blend == BLEND_SOLID) {
            for (int i = 0; i < n; ++i, t += 4, d += 4) d[0] = t[0], d[1] = t[1], d[2] = t[2];
        } else if (plain && p.blend == BLEND_MASK) {
            // Opaque runs copied whole (the fourth byte of the back buffer is padding). Texel column
            // a lands on screen column fx + a, which the clipping keeps within the row even when
            // the frame starts left of the screen.
            const int lo = x0 - fx, hi = x1 - fx;
            const uint8_t* row = &pm.pixels[size_t(y - fy) * pm.pitch];
            uint8_t* out = &pixels_[size_t(y) * width_ * 4];
            for (uint32_t r = spans->row_at[size_t(y - fy)]; r < spans->row_at[size_t(y - fy) + 1]; r += 2) {
                const int a = std::max<int>(spans->runs[r], lo), b = std::min<int>(spans->runs[r + 1], hi);
                if (a < b) std::memcpy(out + size_t(fx + a) * 4, row + size_t(a) * 4, size_t(b - a) * 4);
            }
        } else {
            switch (p.blend) {
            case BLEND_MASK: BlendRow<BLEND_MASK>(d, t, n, p); break;
            case BLEND_SOLID: BlendRow<BLEND_SOLID>(d, t, n, p); break;
            case BLEND_ALPHA: BlendRow<BLEND_ALPHA>(d, t, n, p); break;
            case BLEND_LIGHT: BlendRow<BLEND_LIGHT>(d, t, n, p); break;
            case BLEND_SHADE: BlendRow<BLEND_SHADE>(d, t, n, p); break;
            default: break;
            }
        }
    }
    return true;
}

void SoftRenderer::DrawTexturedQuad(TImage& img, int frame, const QuadVertex v[4], const DrawParams& p) {
    if (frame < 0 || frame >= img.FrameCount()) return;
    const TPixmap& pm = img.pixmaps[size_t(frame)];
    if (pm.width <= 0 || pm.height <= 0 || pm.format != TPixmap::RGBA32) return;
    const QuadMap m(v);
    if (!m.ok) return;
    const bool filtered = (img.flags & IMG_FILTERED) != 0;
    if (DrawAligned(img, frame, v, p)) return;
    ApplyClear();
    int ymin, ymax;
    RowRange(v, height_, ymin, ymax);
    // Texture coordinates vary with (s, t) from the corners' u, v.
    const double u0 = v[0].u, du_s = v[1].u - v[0].u, du_t = v[3].u - v[0].u;
    const double v0 = v[0].v, dv_s = v[1].v - v[0].v, dv_t = v[3].v - v[0].v;
    const int w = pm.width, h = pm.height;
    const uint8_t* tex = pm.pixels.data();
    const int pitch = pm.pitch;

    // Frames drawn whole (every DrawImageFrame) map (s, t) straight to (u, v).
    const bool whole_frame = u0 == 0 && du_s == 1 && du_t == 0 && v0 == 0 && dv_s == 0 && dv_t == 1;

    for (int y = ymin; y < ymax; ++y) {
        int x0, x1;
        if (!RowSpan(m, y, width_, x0, x1)) continue;
        const double cy = y + 0.5 - m.oy;
        double s = m.sx * (x0 + 0.5 - m.ox) + m.sy * cy;
        double t = m.tx * (x0 + 0.5 - m.ox) + m.ty * cy;
        uint8_t* d = &pixels_[(size_t(y) * width_ + x0) * 4];
        if (whole_frame && !filtered) {
            switch (p.blend) {
            case BLEND_MASK: NearestRow<BLEND_MASK>(d, x1 - x0, s, t, m.sx, m.tx, pm, p); break;
            case BLEND_SOLID: NearestRow<BLEND_SOLID>(d, x1 - x0, s, t, m.sx, m.tx, pm, p); break;
            case BLEND_ALPHA: NearestRow<BLEND_ALPHA>(d, x1 - x0, s, t, m.sx, m.tx, pm, p); break;
            case BLEND_LIGHT: NearestRow<BLEND_LIGHT>(d, x1 - x0, s, t, m.sx, m.tx, pm, p); break;
            case BLEND_SHADE: NearestRow<BLEND_SHADE>(d, x1 - x0, s, t, m.sx, m.tx, pm, p); break;
            default: break;
            }
            continue;
        }
        for (int x = x0; x < x1; ++x, d += 4, s += m.sx, t += m.tx) {
            const double u = u0 + du_s * s + du_t * t;
            const double vv = v0 + dv_s * s + dv_t * t;
            int r, g, b, a;
            if (!filtered) {
                int tx = int(u * w), ty = int(vv * h);
                tx = std::clamp(tx, 0, w - 1);
                ty = std::clamp(ty, 0, h - 1);
                const uint8_t* px = tex + size_t(ty) * pitch + size_t(tx) * 4;
                r = px[0];
                g = px[1];
                b = px[2];
                a = px[3];
            } else {
                // Bilinear between the four nearest texel centres, clamped at the edges.
                const double fx = u * w - 0.5, fy = vv * h - 0.5;
                const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
                const double ax = fx - ix, ay = fy - iy;
                const int xa = std::clamp(ix, 0, w - 1), xb = std::clamp(ix + 1, 0, w - 1);
                const int ya = std::clamp(iy, 0, h - 1), yb = std::clamp(iy + 1, 0, h - 1);
                const uint8_t* p00 = tex + size_t(ya) * pitch + size_t(xa) * 4;
                const uint8_t* p10 = tex + size_t(ya) * pitch + size_t(xb) * 4;
                const uint8_t* p01 = tex + size_t(yb) * pitch + size_t(xa) * 4;
                const uint8_t* p11 = tex + size_t(yb) * pitch + size_t(xb) * 4;
                int c[4];
                for (int k = 0; k < 4; ++k) {
                    const double top = p00[k] * (1 - ax) + p10[k] * ax;
                    const double bot = p01[k] * (1 - ax) + p11[k] * ax;
                    c[k] = int(top * (1 - ay) + bot * ay + 0.5);
                }
                r = c[0];
                g = c[1];
                b = c[2];
                a = c[3];
            }
            Blend(d, Mul255(p.r, r), Mul255(p.g, g), Mul255(p.b, b), Mul255(p.a, a), p.blend);
        }
    }
}

void SoftRenderer::DrawColoredQuad(const QuadVertex v[4], const DrawParams& p) {
    const QuadMap m(v);
    if (!m.ok) return;
    ApplyClear();
    int ymin, ymax;
    RowRange(v, height_, ymin, ymax);
    for (int y = ymin; y < ymax; ++y) {
        int x0, x1;
        if (!RowSpan(m, y, width_, x0, x1)) continue;
        uint8_t* d = &pixels_[(size_t(y) * width_ + x0) * 4];
        for (int x = x0; x < x1; ++x, d += 4) Blend(d, p.r, p.g, p.b, p.a, p.blend);
    }
}

void SoftRenderer::ReadPixels(int x, int y, int w, int h, uint8_t* rgb) {
    ApplyClear();
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const int sx = x + col, sy = y + row;
            uint8_t* out = rgb + (size_t(row) * w + col) * 3;
            if (sx < 0 || sy < 0 || sx >= width_ || sy >= height_) {
                out[0] = out[1] = out[2] = 0;
                continue;
            }
            const uint8_t* in = &pixels_[(size_t(sy) * width_ + sx) * 4];
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
}
