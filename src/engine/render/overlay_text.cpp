#include "engine/render/overlay_text.h"

#include <algorithm>
#include <cstdio>

namespace {
// Rows of three dots, top first; bit 4 is the left dot.
const unsigned char* Glyph(char c) {
    static const unsigned char digits[10][5] = {{7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7},
                                                {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1},
                                                {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};
    static const unsigned char dot[5] = {0, 0, 0, 0, 2}, dash[5] = {0, 0, 7, 0, 0}, blank[5] = {0, 0, 0, 0, 0};
    static const unsigned char f[5] = {3, 4, 7, 4, 4}, p[5] = {7, 5, 7, 4, 4}, s[5] = {3, 4, 2, 1, 6},
                               m[5] = {0, 7, 7, 5, 5};
    // Capitals, three dots wide like the digits.
    static const unsigned char capitals[26][5] = {
        {2, 5, 7, 5, 5}, {6, 5, 6, 5, 6}, {3, 4, 4, 4, 3}, {6, 5, 5, 5, 6}, {7, 4, 6, 4, 7}, {7, 4, 6, 4, 4},
        {3, 4, 5, 5, 3}, {5, 5, 7, 5, 5}, {7, 2, 2, 2, 7}, {1, 1, 1, 5, 2}, {5, 5, 6, 5, 5}, {4, 4, 4, 4, 7},
        {5, 7, 7, 5, 5}, {6, 5, 5, 5, 5}, {2, 5, 5, 5, 2}, {6, 5, 6, 4, 4}, {2, 5, 5, 6, 3}, {6, 5, 6, 5, 5},
        {3, 4, 2, 1, 6}, {7, 2, 2, 2, 2}, {5, 5, 5, 5, 7}, {5, 5, 5, 5, 2}, {5, 5, 7, 7, 5}, {5, 5, 2, 5, 5},
        {5, 5, 2, 2, 2}, {7, 1, 2, 4, 7}};
    static const unsigned char colon[5] = {0, 2, 0, 2, 0};
    if (c >= '0' && c <= '9') return digits[c - '0'];
    if (c >= 'A' && c <= 'Z') return capitals[c - 'A'];
    if (c == ':') return colon;
    switch (c) {
    case '.': return dot;
    case '-': return dash;
    case 'f': return f;
    case 'p': return p;
    case 's': return s;
    case 'm': return m;
    default: return blank;
    }
}
} // namespace

std::vector<OverlayRect> OverlayTextRects(const std::string& text, int x, int y, int dot) {
    std::vector<OverlayRect> rects;
    if (text.empty() || dot <= 0) return rects;
    const int advance = 4 * dot;
    rects.push_back({x, y, int(text.size()) * advance + dot, 7 * dot, true});
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char* g = Glyph(text[i]);
        const int gx = x + dot + int(i) * advance;
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (g[row] & (4 >> col)) rects.push_back({gx + col * dot, y + dot + row * dot, dot, dot, false});
    }
    return rects;
}

std::string FrameRateText(double fps, double frame_ms) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f fps %.1f ms", fps, frame_ms);
    return buf;
}

std::vector<OverlayRect> OverlayLinesRects(const std::vector<OverlayLine>& lines, int bx, int by, int bw, int bh) {
    std::vector<OverlayRect> rects;
    if (bw <= 0 || bh <= 0) return rects;
    const int dot = std::max(2, bh / 240);
    for (const OverlayLine& l : lines) {
        const int width = int(l.text.size()) * 4 * dot + dot;
        int x = bx + l.x * bw / 640;
        if (l.from_right) x -= width;
        const int y = by + l.y * bh / 480;
        const std::vector<OverlayRect> one = OverlayTextRects(l.text, x, y, dot);
        rects.insert(rects.end(), one.begin(), one.end());
    }
    return rects;
}
