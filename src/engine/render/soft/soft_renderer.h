// The software renderer: the reference implementation of the drawing equations. Used headless
// and, on a host without OpenGL, presented through an SDL texture.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/image.h"
#include "engine/renderer.h"

class SoftRenderer : public Renderer {
  public:
    SoftRenderer(int width, int height);
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Clear(uint8_t r, uint8_t g, uint8_t b) override;
    void DrawTexturedQuad(TImage& img, int frame, const QuadVertex v[4], const DrawParams& p) override;
    void DrawColoredQuad(const QuadVertex v[4], const DrawParams& p) override;
    void ReadPixels(int x, int y, int w, int h, uint8_t* rgb) override;

    // The back buffer: width * height pixels, bytes R, G, B, X.
    const uint8_t* Pixels() const {
        ApplyClear();
        return pixels_.data();
    }

    void ForgetTextures() override;

  private:
    struct Spans;
    const Spans& SpansOf(TImage& img, int frame);
    bool DrawAligned(TImage& img, int frame, const QuadVertex v[4], const DrawParams& p);
    // A clear is kept pending until something draws or reads, so that a frame that starts with a
    // whole-screen picture fills the back buffer once instead of twice.
    void ApplyClear() const;
    int width_, height_;
    uint32_t generation_;
    mutable std::vector<uint8_t> pixels_;
    mutable bool clear_pending_ = false;
    uint32_t clear_word_ = 0;
};
