// The OpenGL 1.x renderer: what players see. It draws the picture 1:1 into a picture-sized region
// at the bottom-left of the window's back buffer, with the same equations as the software
// renderer, and at present time shows that region scaled into the window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/renderer.h"

struct TPixmap;

class Gl1Renderer : public Renderer {
  public:
    // Needs a current OpenGL context for its whole life.
    Gl1Renderer(int width, int height);
    ~Gl1Renderer() override;
    // Checks the context can hold the picture in a drawable of the given size and sets up the
    // drawing state. False (with the reason in `error`) when it cannot.
    bool Init(int drawable_w, int drawable_h, std::string& error);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Clear(uint8_t r, uint8_t g, uint8_t b) override;
    void DrawTexturedQuad(TImage& img, int frame, const QuadVertex v[4], const DrawParams& p) override;
    void DrawColoredQuad(const QuadVertex v[4], const DrawParams& p) override;
    void ReadPixels(int x, int y, int w, int h, uint8_t* rgb) override;
    void ForgetTextures() override;

    // Presenting, around the platform's buffer swap: ShowScaled fills the whole drawable with the
    // picture scaled into the rectangle (x, y, w, h) (drawable pixels, y down); RestorePicture puts the picture back
    // into its region afterwards, so the back buffer keeps its contents from frame to frame.
    void ShowScaled(int drawable_w, int drawable_h, int x, int y, int w, int h);
    void RestorePicture();

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
    void SetBlend(int mode);
    void SetTexture(unsigned tex); // 0 = untextured
    void DrawQuad(const QuadVertex v[4], float su, float sv);

    int width_, height_;
    uint32_t generation_;
    std::shared_ptr<Context> context_;
    unsigned screen_tex_ = 0; // the picture copied at present time
    int screen_tw_ = 0, screen_th_ = 0;
    // State filtering: the renderer is the only user of its context.
    int blend_ = -1;
    unsigned bound_ = ~0u;
    bool textured_ = false;
    std::vector<uint8_t> scratch_;
};
