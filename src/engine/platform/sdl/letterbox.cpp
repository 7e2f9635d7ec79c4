#include "engine/platform/sdl/letterbox.h"

#include <algorithm>
#include <cstdint>

namespace {
// Floor division, for positions left of or above the picture.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
} // namespace

Letterbox FitLetterbox(int window_w, int window_h, int picture_w, int picture_h) {
    Letterbox box;
    box.picture_w = picture_w;
    box.picture_h = picture_h;
    if (window_w <= 0 || window_h <= 0 || picture_w <= 0 || picture_h <= 0) return box;
    // Integer comparison of the two scale factors so that rounding never picks the wrong side.
    if (int64_t(window_w) * picture_h <= int64_t(window_h) * picture_w) {
        box.w = window_w;
        box.h = int((int64_t(window_w) * picture_h + picture_w / 2) / picture_w);
    } else {
        box.h = window_h;
        box.w = int((int64_t(window_h) * picture_w + picture_h / 2) / picture_h);
    }
    box.x = (window_w - box.w) / 2;
    box.y = (window_h - box.h) / 2;
    return box;
}

void Letterbox::ToPicture(int wx, int wy, int& px, int& py) const {
    if (w <= 0 || h <= 0) {
        px = py = 0;
        return;
    }
    // The picture pixel under the window pixel's centre.
    px = int(std::clamp<int64_t>(FloorDiv((2 * int64_t(wx - x) + 1) * picture_w, 2 * int64_t(w)), 0, picture_w - 1));
    py = int(std::clamp<int64_t>(FloorDiv((2 * int64_t(wy - y) + 1) * picture_h, 2 * int64_t(h)), 0, picture_h - 1));
}

void Letterbox::ToWindow(int px, int py, int& wx, int& wy) const {
    if (picture_w <= 0 || picture_h <= 0) {
        wx = wy = 0;
        return;
    }
    wx = x + int(FloorDiv((2 * int64_t(px) + 1) * w, 2 * int64_t(picture_w)));
    wy = y + int(FloorDiv((2 * int64_t(py) + 1) * h, 2 * int64_t(picture_h)));
}

Letterbox PlacePicture(int window_w, int window_h, int picture_w, int picture_h, ScaleMode mode) {
    Letterbox box = FitLetterbox(window_w, window_h, picture_w, picture_h);
    if (mode != ScaleMode::Integer || box.w <= 0) return box;
    const int k = std::min(window_w / picture_w, window_h / picture_h);
    if (k < 1) return box;
    box.w = k * picture_w;
    box.h = k * picture_h;
    box.x = (window_w - box.w) / 2;
    box.y = (window_h - box.h) / 2;
    return box;
}
