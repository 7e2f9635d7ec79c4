// Where the fixed-size picture lands in a window: scaled with its aspect kept, centred, with
// black bars around it; and pointer positions between window and picture coordinates.
#pragma once

#include "engine/display_choice.h"

struct Letterbox {
    int x = 0, y = 0, w = 0, h = 0; // in window pixels, y down
    int picture_w = 0, picture_h = 0;

    // The picture pixel under a window pixel, held inside the picture (the pointer over a bar
    // reads as the nearest edge, as it could never leave a full-screen picture).
    void ToPicture(int wx, int wy, int& px, int& py) const;
    // The window pixel at the centre of a picture pixel, so that ToPicture gives it back.
    void ToWindow(int px, int py, int& wx, int& wy) const;
};

Letterbox FitLetterbox(int window_w, int window_h, int picture_w, int picture_h);
// The picture's place for a scale mode: integer keeps to whole multiples (while one fits), the
// others fill the window's width or height.
Letterbox PlacePicture(int window_w, int window_h, int picture_w, int picture_h, ScaleMode mode);
