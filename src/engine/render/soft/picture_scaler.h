// Enlarges the 640 x 480 picture to its size on the screen on the CPU, for the software path:
// sharp (each picture pixel a block of whole screen pixels, with only the one screen pixel that
// straddles a picture-pixel edge blended), integer (nearest, whole multiples) or smooth
// (bilinear). Separable: one table of taps per axis, rebuilt only when the sizes change.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/display_choice.h"

// One screen pixel along an axis: picture pixels i0 and i1, and the weight of i1 in 0..256.
struct ScaleTap {
    int i0 = 0, i1 = 0;
    int w = 0;
};

// The taps of `dst` screen pixels showing `src` picture pixels.
std::vector<ScaleTap> ScaleTaps(int src, int dst, ScaleMode mode);

class PictureScaler {
  public:
    // Scales `src` (sw x sh pixels, bytes R, G, B, X) into `dst` (dw x dh pixels, `pitch` bytes a
    // row). With `bgr` the output bytes are B, G, R, X (the usual window surface order).
    void Scale(const uint8_t* src, int sw, int sh, uint8_t* dst, int pitch, int dw, int dh, ScaleMode mode, bool bgr);

  private:
    int sw_ = 0, sh_ = 0, dw_ = 0, dh_ = 0;
    ScaleMode mode_ = ScaleMode::Sharp;
    std::vector<ScaleTap> xs_, ys_;
    std::vector<uint32_t> rows_; // the picture's rows scaled across, sh x dw
    std::vector<uint32_t> line_; // one picture row in the output's byte order
};
