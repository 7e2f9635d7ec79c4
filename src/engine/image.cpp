// Pixel buffers, masking and image frames.
#include <algorithm>

#include "engine/image.h"

TPixmap TPixmap::Make(int w, int h, Format f) {
    TPixmap p;
    p.width = std::max(w, 0);
    p.height = std::max(h, 0);
    p.format = f;
    p.pitch = p.width * int(f);
    p.pixels.assign(size_t(p.pitch) * p.height, 0);
    return p;
}

TPixmap MaskPixmap(const TPixmap& src) {
    if (src.format == TPixmap::RGBA32) return src;
    TPixmap out = TPixmap::Make(src.width, src.height, TPixmap::RGBA32);
    const int bpp = int(src.format);
    auto rgb = [&](int x, int y) { return &src.pixels[size_t(y) * src.pitch + size_t(x) * bpp]; };
    auto is_mask = [&](int x, int y) {
        if (bpp == 1) return src.pixels[size_t(y) * src.pitch + size_t(x)] == 0;
        const uint8_t* p = rgb(x, y);
        return p[0] == 0 && p[1] == 0 && p[2] == 0;
    };
    for (int y = 0; y < src.height; ++y) {
        for (int x = 0; x < src.width; ++x) {
            uint8_t* d = &out.pixels[size_t(y) * out.pitch + size_t(x) * 4];
            if (!is_mask(x, y)) {
                if (bpp == 1) {
                    d[0] = d[1] = d[2] = src.pixels[size_t(y) * src.pitch + size_t(x)];
                } else {
                    const uint8_t* p = rgb(x, y);
                    d[0] = p[0];
                    d[1] = p[1];
                    d[2] = p[2];
                }
                d[3] = 255;
                continue;
            }
            // Transparent: take the average colour of the non-black neighbours, so filtered
            // sampling does not bleed black into the edges.
            int sum[3] = {0, 0, 0}, n = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= src.width || ny >= src.height) continue;
                    if (is_mask(nx, ny)) continue;
                    if (bpp == 1) {
                        const int v = src.pixels[size_t(ny) * src.pitch + size_t(nx)];
                        sum[0] += v, sum[1] += v, sum[2] += v;
                    } else {
                        const uint8_t* p = rgb(nx, ny);
                        sum[0] += p[0], sum[1] += p[1], sum[2] += p[2];
                    }
                    ++n;
                }
            }
            for (int k = 0; k < 3; ++k) d[k] = uint8_t(n > 0 ? sum[k] / n : 0);
            d[3] = 0;
        }
    }
    return out;
}

// Frames are kept as RGBA32: masked when the image asks for it and the pixels carry no alpha,
// fully opaque otherwise.
void TImage::SetPixmap(int index, TPixmap pixmap) {
    if (index < 0 || index >= FrameCount()) return;
    TPixmap& slot = pixmaps[size_t(index)];
    if (pixmap.format == TPixmap::RGBA32) {
        slot = std::move(pixmap);
    } else if ((flags & IMG_MASKED) != 0) {
        slot = MaskPixmap(pixmap);
    } else {
        TPixmap out = TPixmap::Make(pixmap.width, pixmap.height, TPixmap::RGBA32);
        const int bpp = int(pixmap.format);
        for (int y = 0; y < pixmap.height; ++y)
            for (int x = 0; x < pixmap.width; ++x) {
                const uint8_t* p = &pixmap.pixels[size_t(y) * pixmap.pitch + size_t(x) * bpp];
                uint8_t* d = &out.pixels[size_t(y) * out.pitch + size_t(x) * 4];
                d[0] = p[0];
                d[1] = bpp >= 3 ? p[1] : p[0];
                d[2] = bpp >= 3 ? p[2] : p[0];
                d[3] = 255;
            }
        slot = std::move(out);
    }
    if (seqs.size() < pixmaps.size()) seqs.resize(pixmaps.size(), 0);
    seqs[size_t(index)] = 0;
}

uint32_t NewTextureGeneration() {
    static uint32_t generations = 0;
    if (++generations == 0) ++generations;
    return generations;
}
