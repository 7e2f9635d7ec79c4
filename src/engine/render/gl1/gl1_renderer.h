// The OpenGL 1.x renderer: what players see. It draws the picture 1:1 into an offscreen picture
// (a framebuffer object), with the same equations as the software renderer, and at present time
// shows it scaled into the window in one step (two for sharp scaling).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/display_choice.h"
#include "engine/renderer.h"

struct OverlayRect;

struct TPixmap;

class Gl1Renderer : public Renderer {
  public:
    // Needs a current OpenGL context for its whole life.
    Gl1Renderer(int width, int height);
    ~Gl1Renderer() override;
    // Makes the offscreen picture and sets up the drawing state; `proc` finds OpenGL entry
    // points by name. False (with the reason in `error`) when the context cannot hold the picture
    // or has no framebuffer objects.
    bool Init(void* (*proc)(const char*), std::string& error);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Clear(uint8_t r, uint8_t g, uint8_t b) override;
    void DrawTexturedQuad(TImage& img, int frame, const QuadVertex v[4], const DrawParams& p) override;
    void DrawColoredQuad(const QuadVertex v[4], const DrawParams& p) override;
    void ReadPixels(int x, int y, int w, int h, uint8_t* rgb) override;
    void ForgetTextures() override;

    // Presenting, before the platform's buffer swap: fills the window's back buffer (drawable_w x
    // drawable_h) with black and the picture scaled into (x, y, w, h) (y down), then the overlay;
    // drawing goes back to the offscreen picture afterwards, which keeps its contents.
    void Show(int drawable_w, int drawable_h, int x, int y, int w, int h, ScaleMode mode,
              const std::vector<OverlayRect>& overlay);
    // The renderer's name as the driver gives it ("llvmpipe ...").
    std::string DriverName() const;

    // Shared by the textures this renderer made; cleared when it goes, so textures outliving
    // their context do not touch it.
    struct Context {
        bool alive = true;
    };

  private:
    struct Frame;
    Frame* TextureFor(TImage& img, int frame);
    void Build(Frame& tex, const TPixmap& pm);
    void SetPictureView();
    void SetView(int w, int h);
    bool MakeTarget(unsigned& fbo, unsigned& tex, int tw, int th);
    void DrawTexture(unsigned tex, float su, float sv, bool linear, float x, float y, float w, float h);
    void SetBlend(int mode);
    void SetTexture(unsigned tex); // 0 = untextured
    void DrawQuad(const QuadVertex v[4], float su, float sv);

    int width_, height_;
    uint32_t generation_;
    std::shared_ptr<Context> context_;
    // Framebuffer objects (core or EXT entry points).
    struct FboApi;
    std::unique_ptr<FboApi> fbo_api_;
    unsigned picture_fbo_ = 0, picture_tex_ = 0; // the picture, in power-of-two storage
    int picture_tw_ = 0, picture_th_ = 0;
    unsigned big_fbo_ = 0, big_tex_ = 0; // sharp scaling: the picture enlarged by whole numbers
    int big_k_ = 0, big_tw_ = 0, big_th_ = 0;
    int max_texture_ = 0;
    // State filtering: the renderer is the only user of its context.
    int blend_ = -1;
    unsigned bound_ = ~0u;
    bool textured_ = false;
    std::vector<uint8_t> scratch_;
};
