#include "engine/render/soft/picture_scaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

std::vector<ScaleTap> ScaleTaps(int src, int dst, ScaleMode mode) {
    std::vector<ScaleTap> taps(size_t(std::max(dst, 0)));
    if (src <= 0 || dst <= 0) return taps;
    const bool whole = dst % src == 0;
    for (int i = 0; i < dst; ++i) {
        ScaleTap& t = taps[size_t(i)];
        if (mode == ScaleMode::Smooth || (mode == ScaleMode::Sharp && dst < src) ||
            (mode == ScaleMode::Integer && !whole)) {
            // Bilinear between the two picture pixels whose centres surround the screen pixel's.
            const double c = (i + 0.5) * src / dst - 0.5;
            const int i0 = int(std::floor(c));
            t.i0 = std::clamp(i0, 0, src - 1);
            t.i1 = std::clamp(i0 + 1, 0, src - 1);
            t.w = int((c - i0) * 256.0 + 0.5);
        } else {
            // The screen pixel covers [i, i + 1) * src / dst of the picture: one picture pixel, or
            // the end of one and the start of the next, weighed by how much of each it covers.
            const int64_t left = int64_t(i) * src, right = int64_t(i + 1) * src; // in 1/dst units
            const int64_t s0 = left / dst, edge = (s0 + 1) * dst;
            t.i0 = int(s0);
            t.i1 = int(std::min<int64_t>(s0 + 1, src - 1));
            t.w = right > edge ? int(((right - edge) * 256 + src / 2) / src) : 0;
        }
        if (t.i1 == t.i0) t.w = 0;
    }
    return taps;
}

namespace {
// Two pixels mixed, all four bytes at once: a * (256 - w) + b * w, over 256.
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t w) {
    const uint32_t rb = ((a & 0x00FF00FFu) * (256 - w) + (b & 0x00FF00FFu) * w) >> 8;
    const uint32_t ga = ((a >> 8) & 0x00FF00FFu) * (256 - w) + ((b >> 8) & 0x00FF00FFu) * w;
    return (rb & 0x00FF00FFu) | (ga & 0xFF00FF00u);
}

inline uint32_t Swap(uint32_t v) { return (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16); }
} // namespace

void PictureScaler::Scale(const uint8_t* src, int sw, int sh, uint8_t* dst, int pitch, int dw, int dh, ScaleMode mode,
                          bool bgr) {
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    if (sw != sw_ || sh != sh_ || dw != dw_ || dh != dh_ || mode != mode_) {
        sw_ = sw, sh_ = sh, dw_ = dw, dh_ = dh, mode_ = mode;
        xs_ = ScaleTaps(sw, dw, mode);
        ys_ = ScaleTaps(sh, dh, mode);
        rows_.assign(size_t(sh) * dw, 0);
    }
    // Across: every picture row once, in the output's byte order, opaque.
    std::vector<uint32_t>& line = line_;
    line.resize(size_t(sw));
    for (int y = 0; y < sh; ++y) {
        std::memcpy(line.data(), src + size_t(y) * sw * 4, size_t(sw) * 4);
        for (uint32_t& v : line) v = (bgr ? Swap(v) : v) | 0xFF000000u;
        uint32_t* out = &rows_[size_t(y) * dw];
        for (int x = 0; x < dw; ++x) {
            const ScaleTap& t = xs_[size_t(x)];
            out[x] = t.w ? Mix(line[size_t(t.i0)], line[size_t(t.i1)], uint32_t(t.w)) : line[size_t(t.i0)];
        }
    }
    // Down: each screen row a copy of one scaled row, or two of them mixed.
    for (int y = 0; y < dh; ++y) {
        const ScaleTap& t = ys_[size_t(y)];
        uint32_t* out = reinterpret_cast<uint32_t*>(dst + size_t(y) * pitch);
        const uint32_t* a = &rows_[size_t(t.i0) * dw];
        if (!t.w) {
            std::memcpy(out, a, size_t(dw) * 4);
            continue;
        }
        const uint32_t* b = &rows_[size_t(t.i1) * dw];
        for (int x = 0; x < dw; ++x) out[x] = Mix(a[x], b[x], uint32_t(t.w));
    }
}
