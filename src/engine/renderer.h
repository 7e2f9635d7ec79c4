// The drawing back-end interface. The engine's drawing code (draw.cpp) turns every draw into
// quads in 640 x 480 screen pixels; a renderer rasterises them into its back buffer. The software
// renderer is the reference for the equations; the OpenGL 1.x renderer must match it.
#pragma once

#include <cstdint>

struct TImage;

struct QuadVertex {
    float x, y; // screen position
    float u, v; // texture coordinate, 0..1 over the frame
};

struct DrawParams {
    uint8_t r = 255, g = 255, b = 255; // current colour
    uint8_t a = 255;                   // trunc(alpha * 255)
    int blend = 1;                     // BLEND_MASK .. BLEND_SHADE
};

class Renderer {
  public:
    virtual ~Renderer() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Fills the whole back buffer with one colour.
    virtual void Clear(uint8_t r, uint8_t g, uint8_t b) = 0;
    // Draws frame `frame` of `img` over the quad v[0..3] (corners: top-left, top-right,
    // bottom-right, bottom-left of the frame). Sampling is bilinear when the image has
    // IMG_FILTERED, else nearest.
    virtual void DrawTexturedQuad(TImage& img, int frame, const QuadVertex v[4], const DrawParams& p) = 0;
    // Draws an untextured quad in the current colour.
    virtual void DrawColoredQuad(const QuadVertex v[4], const DrawParams& p) = 0;
    // Reads a rectangle of the back buffer as RGB bytes, top row first.
    virtual void ReadPixels(int x, int y, int w, int h, uint8_t* rgb) = 0;
    // Called when the display generation changes: every texture must be rebuilt on next use.
    virtual void ForgetTextures() {}
};
