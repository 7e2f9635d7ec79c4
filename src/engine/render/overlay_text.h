// The frame-rate counter's lettering: a tiny built-in 3 x 5 dot font, turned into filled
// rectangles in window pixels, so any back end can draw it at present time over the picture.
#pragma once

#include <string>
#include <vector>

struct OverlayRect {
    int x, y, w, h;
    bool dark; // the backing panel (dark) or a dot of the lettering (light)
};

// The text's panel and dots with its top-left corner at (x, y), each dot `dot` pixels square.
// Knows digits, '.', ':', ' ', '-', the capital letters and the letters of "fps ms"; anything
// else is a blank.
std::vector<OverlayRect> OverlayTextRects(const std::string& text, int x, int y, int dot);

// The counter's text: "60.0 fps 16.7 ms".
std::string FrameRateText(double fps, double frame_ms);

// A line of overlay text placed in picture pixels (640 x 480): its top-left corner, or its
// top-right one when `from_right` is set.
struct OverlayLine {
    std::string text;
    int x = 0, y = 0;
    bool from_right = false;
};
// The lines' panels and dots in window pixels, for a picture shown at (bx, by) in a bw x bh box.
std::vector<OverlayRect> OverlayLinesRects(const std::vector<OverlayLine>& lines, int bx, int by, int bw, int bh);
