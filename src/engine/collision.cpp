// Pixel-exact collision of image frames. A frame is turned into a quad exactly where
// DrawImageFrame would draw it (the drawing state's matrix and origin), quads are kept in 32
// layers, and two quads collide when a scanline rasteriser finds a screen pixel on which both
// frames have a solid texel (alpha 128 or more). Everything lives in fixed storage that only
// grows: a test allocates nothing once the pools have warmed up.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/engine.h"

namespace {

constexpr int kLayers = 32;
constexpr int kNone = -1;

struct TQuad {
    int link = kNone;              // next quad in the same layer or in the free list
    const void* id = nullptr;      // caller's object (unused by the game)
    const TPixmap* mask = nullptr; // null: solid everywhere
    int frame = 0;
    float minx = 0, miny = 0, maxx = 0, maxy = 0;
    float xyuv[16] = {}; // per corner: x, y, u, v
};

std::vector<TQuad> g_quads; // pool; indices stay valid when it grows
int g_free = kNone;
int g_layer[kLayers] = {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
                        kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
                        kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
std::vector<uint8_t> g_span; // one entry per pixel of the widest span seen

int AllocQuad() {
    if (g_free != kNone) {
        int q = g_free;
        g_free = g_quads[size_t(q)].link;
        return q;
    }
    g_quads.emplace_back();
    return int(g_quads.size()) - 1;
}

void ClearLayer(int k) {
    int q = g_layer[k];
    while (q != kNone) {
        TQuad& quad = g_quads[size_t(q)];
        int next = quad.link;
        quad.mask = nullptr;
        quad.id = nullptr;
        quad.link = g_free;
        g_free = q;
        q = next;
    }
    g_layer[k] = kNone;
}

// Builds the quad of one frame placed at (x, y) under the current transform.
void BuildQuad(TQuad& q, TImage* img, int x, int y, int frame) {
    const TDrawState& ds = DrawState();
    const float ix = ds.tform_ix, iy = ds.tform_iy, jx = ds.tform_jx, jy = ds.tform_jy;
    const float px = float(x) + ds.origin_x, py = float(y) + ds.origin_y;
    const float hx0 = -img->handle_x, hy0 = -img->handle_y;
    const float hx1 = float(img->width) + hx0, hy1 = float(img->height) + hy0;
    const float hx[4] = {hx0, hx1, hx1, hx0};
    const float hy[4] = {hy0, hy0, hy1, hy1};
    const float uu[4] = {0, 1, 1, 0};
    const float vv[4] = {0, 0, 1, 1};
    for (int c = 0; c < 4; ++c) {
        float cx = px + hx[c] * ix + hy[c] * iy;
        float cy = py + hx[c] * jx + hy[c] * jy;
        q.xyuv[c * 4 + 0] = cx;
        q.xyuv[c * 4 + 1] = cy;
        q.xyuv[c * 4 + 2] = uu[c];
        q.xyuv[c * 4 + 3] = vv[c];
        if (c == 0) {
            q.minx = q.maxx = cx;
            q.miny = q.maxy = cy;
        } else {
            q.minx = std::min(q.minx, cx);
            q.maxx = std::max(q.maxx, cx);
            q.miny = std::min(q.miny, cy);
            q.maxy = std::max(q.maxy, cy);
        }
    }
    q.frame = frame;
    q.mask = nullptr;
    if (frame >= 0 && frame < img->FrameCount()) {
        const TPixmap& pm = img->pixmaps[size_t(frame)];
        if (pm.HasAlpha() && pm.width > 0 && pm.height > 0) q.mask = &pm;
    }
}

// ---------------------------------------------------------------------------------------------
// Scanline rasteriser over convex polygons with per-corner values (x, y, u, v).

constexpr int kChannels = 4;
constexpr int kCorners = 4;

struct RPoly {
    const TPixmap* texture = nullptr;
    float data[kCorners * kChannels];
    int ty[kCorners]; // corner heights truncated to whole rows
    float ldat[kChannels], ladd[kChannels];
    float rdat[kChannels], radd[kChannels];
    int left = 0, right = 0;
    int top = 0;
    int state = 0; // 0 not yet reached, 1 active, 2 finished
};

inline bool Solid(const TPixmap& pm, int col, int row) {
    const uint8_t* p = pm.pixels.data() + size_t(row) * size_t(pm.pitch);
    if (pm.format == TPixmap::A8) return p[col] >= 128;
    return p[size_t(col) * 4 + 3] >= 128;
}

// The span test of one row: marks the solid pixels of each polygon in the shared span and
// reports a hit when a pixel is marked twice.
bool SpanHit(RPoly* const* active, int count) {
    if (count < 2) return false;
    const RPoly& p = *active[0];
    const RPoly& q = *active[1];
    int pl = int(p.ldat[0]), pr = int(p.rdat[0]);
    int ql = int(q.ldat[0]), qr = int(q.rdat[0]);
    if (ql >= pr || pl >= qr) return false;
    int s = std::max(pl, ql), e = std::min(pr, qr);
    int n = e - s;
    if (n <= 0) return false;
    if (g_span.size() < size_t(n)) g_span.resize(size_t(n));
    uint8_t* buf = g_span.data();
    std::fill(buf, buf + n, uint8_t(0));

    for (int a = 0; a < count; ++a) {
        const RPoly& poly = *active[a];
        if (!poly.texture) {
            for (int k = 0; k < n; ++k) {
                if (buf[k]) return true;
                buf[k] = 1;
            }
            continue;
        }
        int l = int(poly.ldat[0]), rr = int(poly.rdat[0]);
        if (rr - l < 1) continue;
        const TPixmap& tex = *poly.texture;
        float du = (poly.rdat[2] - poly.ldat[2]) / float(rr - l);
        float dv = (poly.rdat[3] - poly.ldat[3]) / float(rr - l);
        float u = poly.ldat[2] + (float(s - l) + 0.5f) * du;
        float v = poly.ldat[3] + (float(s - l) + 0.5f) * dv;
        const int lastc = tex.width - 1, lastr = tex.height - 1;
        for (int k = 0; k < n; ++k) {
            float cu = u < 0.0f ? 0.0f : (u > 1.0f ? 1.0f : u);
            float cv = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
            int col = std::min(int(cu * float(tex.width)), lastc);
            int row = std::min(int(cv * float(tex.height)), lastr);
            if (Solid(tex, col, row)) {
                if (buf[k]) return true;
                buf[k] = 1;
            }
            u += du;
            v += dv;
        }
    }
    return false;
}

// Sets up the next left (dir = -1) or right (dir = +1) edge from corner `from` for row r.
// Returns false when the polygon has no edge left below r.
bool WalkEdge(RPoly& p, int& from, int dir, int r, float* dat, float* add) {
    int s = from;
    int e = (s + dir + kCorners) % kCorners;
    while (e != from && p.ty[e] <= r) {
        s = e;
        e = (e + dir + kCorners) % kCorners;
    }
    if (e == from) return false;
    int dy = p.ty[e] - p.ty[s];
    if (dy < 1) return false;
    const float* vs = &p.data[s * kChannels];
    const float* ve = &p.data[e * kChannels];
    for (int c = 0; c < kChannels; ++c) {
        add[c] = (ve[c] - vs[c]) / float(dy);
        dat[c] = vs[c] + add[c] * 0.5f;
    }
    from = e;
    return true;
}

void InitPoly(RPoly& p, const TQuad& q) {
    p.texture = q.mask;
    // A quad whose corners all turn the same way as a mirrored frame is reversed, so that the
    // left edge is always walked backwards through the corners.
    bool allNonNeg = true;
    const float* d = q.xyuv;
    for (int k = 1; k <= kCorners - 2; ++k) {
        float x0 = d[0], y0 = d[1];
        float xk = d[k * 4], yk = d[k * 4 + 1];
        float xk1 = d[(k + 1) * 4], yk1 = d[(k + 1) * 4 + 1];
        float val = (xk1 - xk) * (yk - y0) - (xk - x0) * (yk1 - yk);
        if (std::trunc(val) < 0.0f) allNonNeg = false;
    }
    for (int c = 0; c < kCorners; ++c) {
        int src = allNonNeg ? (kCorners - 1 - c) : c;
        for (int ch = 0; ch < kChannels; ++ch) p.data[c * kChannels + ch] = d[src * 4 + ch];
        p.ty[c] = int(p.data[c * kChannels + 1]);
    }
    p.top = p.ty[0];
    p.left = 0;
    for (int c = 1; c < kCorners; ++c)
        if (p.ty[c] < p.top) {
            p.top = p.ty[c];
            p.left = c;
        }
    p.right = p.left;
    p.state = 0;
}

bool QuadsCollide(const TQuad& a, const TQuad& b) {
    if (!(a.maxx >= b.minx && a.maxy >= b.miny && a.minx <= b.maxx && a.miny <= b.maxy)) return false;

    RPoly polys[2];
    InitPoly(polys[0], a);
    InitPoly(polys[1], b);
    int first = std::min(polys[0].top, polys[1].top);
    int end = polys[0].ty[0];
    for (const RPoly& p : polys)
        for (int c = 0; c < kCorners; ++c) end = std::max(end, p.ty[c]);

    RPoly* active[2];
    int nactive = 0;
    for (int r = first; r < end; ++r) {
        for (RPoly& p : polys) {
            if (p.state == 2 || (p.state == 0 && r < p.top)) continue;
            bool ok = true;
            if (r >= p.ty[p.left]) ok = WalkEdge(p, p.left, -1, r, p.ldat, p.ladd);
            if (ok && r >= p.ty[p.right]) ok = WalkEdge(p, p.right, +1, r, p.rdat, p.radd);
            if (!ok) {
                if (p.state == 1) {
                    int w = 0;
                    for (int i = 0; i < nactive; ++i)
                        if (active[i] != &p) active[w++] = active[i];
                    nactive = w;
                }
                p.state = 2;
                continue;
            }
            if (p.state == 0) {
                p.state = 1;
                active[nactive++] = &p;
            }
        }
        if (nactive > 0 && SpanHit(active, nactive)) return true;
        for (int i = 0; i < nactive; ++i) {
            RPoly& p = *active[i];
            for (int c = 0; c < kChannels; ++c) {
                p.ldat[c] += p.ladd[c];
                p.rdat[c] += p.radd[c];
            }
        }
    }
    return false;
}

// The screen extent of an image's frames relative to their drawing position under one
// transform, cached for the few images the game tests (usually just the sprite sheet). It lets
// far-apart pairs be rejected with a handful of compares before any quad is built.
struct Extent {
    const TImage* img = nullptr;
    int width = 0, height = 0;
    float handle_x = 0, handle_y = 0;
    float ix = 0, iy = 0, jx = 0, jy = 0, ox = 0, oy = 0;
    float minx = 0, miny = 0, maxx = 0, maxy = 0;
};
Extent g_extents[4];
int g_next_extent = 0;

const Extent& ExtentOf(const TImage* img, const TDrawState& ds) {
    for (const Extent& e : g_extents)
        if (e.img == img && e.width == img->width && e.height == img->height && e.handle_x == img->handle_x &&
            e.handle_y == img->handle_y && e.ix == ds.tform_ix && e.iy == ds.tform_iy && e.jx == ds.tform_jx &&
            e.jy == ds.tform_jy && e.ox == ds.origin_x && e.oy == ds.origin_y)
            return e;
    Extent& e = g_extents[g_next_extent];
    g_next_extent = (g_next_extent + 1) % 4;
    e.img = img;
    e.width = img->width;
    e.height = img->height;
    e.handle_x = img->handle_x;
    e.handle_y = img->handle_y;
    e.ix = ds.tform_ix;
    e.iy = ds.tform_iy;
    e.jx = ds.tform_jx;
    e.jy = ds.tform_jy;
    e.ox = ds.origin_x;
    e.oy = ds.origin_y;
    const float hx0 = -img->handle_x, hy0 = -img->handle_y;
    const float hx[4] = {hx0, float(img->width) + hx0, float(img->width) + hx0, hx0};
    const float hy[4] = {hy0, hy0, float(img->height) + hy0, float(img->height) + hy0};
    for (int c = 0; c < 4; ++c) {
        float cx = ds.origin_x + hx[c] * ds.tform_ix + hy[c] * ds.tform_iy;
        float cy = ds.origin_y + hx[c] * ds.tform_jx + hy[c] * ds.tform_jy;
        e.minx = c ? std::min(e.minx, cx) : cx;
        e.maxx = c ? std::max(e.maxx, cx) : cx;
        e.miny = c ? std::min(e.miny, cy) : cy;
        e.maxy = c ? std::max(e.maxy, cy) : cy;
    }
    return e;
}

// True when the two frames' boxes are clearly apart. The margin covers the rounding by which
// these boxes may differ from the exact quads, so the answer never differs from the full test.
bool ClearlyApart(TImage* img1, int x1, int y1, TImage* img2, int x2, int y2) {
    const TDrawState& ds = DrawState();
    // A copy: looking up the second image may reuse the cache entry the first one came from.
    const Extent a = ExtentOf(img1, ds);
    const Extent& b = ExtentOf(img2, ds);
    constexpr float margin = 1.0f;
    const float dx = float(x2 - x1), dy = float(y2 - y1);
    return a.maxx + margin < b.minx + dx || b.maxx + dx + margin < a.minx || a.maxy + margin < b.miny + dy ||
           b.maxy + dy + margin < a.miny;
}

} // namespace

void ResetCollisionLayers(uint32_t mask) {
    for (int k = 0; k < kLayers; ++k)
        if (mask == 0 || (mask & (uint32_t(1) << k))) ClearLayer(k);
}

bool ImagesOverlap(TImage* img1, int x1, int y1, int f1, TImage* img2, int x2, int y2, int f2) {
    if (!img1 || !img2) return false;
    ClearLayer(31);
    if (ClearlyApart(img1, x1, y1, img2, x2, y2)) return false;
    int stored = AllocQuad();
    BuildQuad(g_quads[size_t(stored)], img1, x1, y1, f1);
    g_quads[size_t(stored)].link = g_layer[31];
    g_layer[31] = stored;

    TQuad probe;
    BuildQuad(probe, img2, x2, y2, f2);
    for (int q = g_layer[31]; q != kNone; q = g_quads[size_t(q)].link)
        if (QuadsCollide(probe, g_quads[size_t(q)])) return true;
    return false;
}
