// OpenGL 1.x back end: immediate-mode quads, one texture per image frame, fixed-function blending.
#include "engine/render/gl1/gl1_renderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

#include "engine/engine.h"

namespace {

int PowerOfTwo(int n) {
    int p = 1;
    while (p < n) p <<= 1;
    return p;
}

// Display generations: every renderer (and every ForgetTextures) gets a fresh one, so textures
// made for an earlier context are rebuilt. 0 means "rebuild" in TImage::seqs and is never used.
uint32_t g_generations = 0;
uint32_t NextGeneration() {
    if (++g_generations == 0) ++g_generations;
    return g_generations;
}

void SetTextureFilter(bool linear) {
    GLint f = linear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
}

} // namespace

struct Gl1Renderer::Frame : TImageFrame {
    std::shared_ptr<Context> context;
    GLuint tex = 0;
    int w = 0, h = 0;   // the frame's texels
    int tw = 0, th = 0; // power-of-two storage
    bool filtered = false;

    ~Frame() override {
        if (tex && context && context->alive) glDeleteTextures(1, &tex);
    }
};

Gl1Renderer::Gl1Renderer(int width, int height)
    : width_(width), height_(height), generation_(NextGeneration()), context_(std::make_shared<Context>()) {}

Gl1Renderer::~Gl1Renderer() {
    if (screen_tex_) glDeleteTextures(1, &screen_tex_);
    context_->alive = false;
}

bool Gl1Renderer::Init(int drawable_w, int drawable_h, std::string& error) {
    if (drawable_w < width_ || drawable_h < height_) {
        error = "the OpenGL drawable is smaller than the picture";
        return false;
    }
    GLint max_size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
    screen_tw_ = PowerOfTwo(width_);
    screen_th_ = PowerOfTwo(height_);
    if (max_size < screen_tw_ || max_size < screen_th_) {
        error = "OpenGL textures are too small for the picture";
        return false;
    }

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_FLAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glAlphaFunc(GL_GEQUAL, 0.5f);
    glReadBuffer(GL_BACK);
    glDrawBuffer(GL_BACK);

    glGenTextures(1, &screen_tex_);
    glBindTexture(GL_TEXTURE_2D, screen_tex_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    SetTextureFilter(false);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, screen_tw_, screen_th_, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    bound_ = screen_tex_;
    textured_ = false;
    blend_ = -1;
    SetBlend(BLEND_MASK);
    SetPictureView();
    Clear(0, 0, 0);
    if (glGetError() != GL_NO_ERROR) {
        error = "OpenGL set-up failed";
        return false;
    }
    return true;
}

// The picture's region: bottom-left of the drawable, one unit per pixel, y down, clipped to it.
void Gl1Renderer::SetPictureView() {
    glViewport(0, 0, width_, height_);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width_, height_, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScissor(0, 0, width_, height_);
    glEnable(GL_SCISSOR_TEST);
}

void Gl1Renderer::SetBlend(int mode) {
    if (mode == blend_) return;
    blend_ = mode;
    switch (mode) {
    case BLEND_SOLID:
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        break;
    case BLEND_ALPHA:
        glDisable(GL_ALPHA_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BLEND_LIGHT:
        glDisable(GL_ALPHA_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    case BLEND_SHADE:
        glDisable(GL_ALPHA_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        break;
    default: // BLEND_MASK
        glDisable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
        break;
    }
}

void Gl1Renderer::SetTexture(unsigned tex) {
    if (tex == 0) {
        if (textured_) glDisable(GL_TEXTURE_2D);
        textured_ = false;
        return;
    }
    if (!textured_) glEnable(GL_TEXTURE_2D);
    textured_ = true;
    if (bound_ != tex) glBindTexture(GL_TEXTURE_2D, tex);
    bound_ = tex;
}

void Gl1Renderer::Clear(uint8_t r, uint8_t g, uint8_t b) {
    glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void Gl1Renderer::ForgetTextures() { generation_ = NextGeneration(); }

// The frame's texture, made or rebuilt from its pixmap when it is missing, stale (seqs 0 after
// a new pixmap) or from another display generation. Null when the frame has no pixels.
Gl1Renderer::Frame* Gl1Renderer::TextureFor(TImage& img, int frame) {
    if (frame < 0 || frame >= img.FrameCount()) return nullptr;
    const TPixmap& pm = img.pixmaps[size_t(frame)];
    if (pm.width <= 0 || pm.height <= 0 || pm.pixels.empty()) return nullptr;
    if (img.frames.size() < img.pixmaps.size()) img.frames.resize(img.pixmaps.size());
    if (img.seqs.size() < img.pixmaps.size()) img.seqs.resize(img.pixmaps.size(), 0);

    std::unique_ptr<TImageFrame>& slot = img.frames[size_t(frame)];
    Frame* tex = dynamic_cast<Frame*>(slot.get());
    bool stale = img.seqs[size_t(frame)] != generation_;
    if (!tex || tex->context != context_) {
        auto made = std::make_unique<Frame>();
        made->context = context_;
        glGenTextures(1, &made->tex);
        tex = made.get();
        slot = std::move(made);
        stale = true;
    }
    bool filtered = (img.flags & IMG_FILTERED) != 0;
    if (stale) {
        tex->filtered = filtered;
        Build(*tex, pm);
        img.seqs[size_t(frame)] = generation_;
    } else if (tex->filtered != filtered) {
        tex->filtered = filtered;
        SetTexture(tex->tex);
        SetTextureFilter(filtered);
    }
    return tex;
}

// Uploads a pixmap into power-of-two storage. The last column and row are repeated into the
// padding so that filtered sampling at the right and bottom edges sees only the frame's texels,
// as clamping does at the left and top.
void Gl1Renderer::Build(Frame& tex, const TPixmap& pm) {
    tex.w = pm.width;
    tex.h = pm.height;
    tex.tw = PowerOfTwo(pm.width);
    tex.th = PowerOfTwo(pm.height);
    scratch_.resize(size_t(tex.tw) * tex.th * 4);
    for (int y = 0; y < tex.h; ++y) {
        uint8_t* out = &scratch_[size_t(y) * tex.tw * 4];
        const uint8_t* in = &pm.pixels[size_t(y) * pm.pitch];
        switch (pm.format) {
        case TPixmap::RGBA32: std::memcpy(out, in, size_t(tex.w) * 4); break;
        case TPixmap::RGB24:
            for (int x = 0; x < tex.w; ++x) {
                out[x * 4 + 0] = in[x * 3 + 0];
                out[x * 4 + 1] = in[x * 3 + 1];
                out[x * 4 + 2] = in[x * 3 + 2];
                out[x * 4 + 3] = 255;
            }
            break;
        case TPixmap::A8:
            for (int x = 0; x < tex.w; ++x) {
                out[x * 4 + 0] = out[x * 4 + 1] = out[x * 4 + 2] = 255;
                out[x * 4 + 3] = in[x];
            }
            break;
        }
        for (int x = tex.w; x < tex.tw; ++x) std::memcpy(out + x * 4, out + (tex.w - 1) * 4, 4);
    }
    for (int y = tex.h; y < tex.th; ++y)
        std::memcpy(&scratch_[size_t(y) * tex.tw * 4], &scratch_[size_t(tex.h - 1) * tex.tw * 4], size_t(tex.tw) * 4);

    SetTexture(tex.tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    SetTextureFilter(tex.filtered);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tex.tw, tex.th, 0, GL_RGBA, GL_UNSIGNED_BYTE, scratch_.data());
}

void Gl1Renderer::DrawQuad(const QuadVertex v[4], float su, float sv) {
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(v[i].u * su, v[i].v * sv);
        glVertex2f(v[i].x, v[i].y);
    }
    glEnd();
}

void Gl1Renderer::DrawTexturedQuad(TImage& img, int frame, const QuadVertex v[4], const DrawParams& p) {
    Frame* tex = TextureFor(img, frame);
    if (!tex) return;
    SetTexture(tex->tex);
    SetBlend(p.blend);
    glColor4ub(p.r, p.g, p.b, p.a);
    DrawQuad(v, float(tex->w) / float(tex->tw), float(tex->h) / float(tex->th));
}

void Gl1Renderer::DrawColoredQuad(const QuadVertex v[4], const DrawParams& p) {
    SetTexture(0);
    SetBlend(p.blend);
    glColor4ub(p.r, p.g, p.b, p.a);
    DrawQuad(v, 0.0f, 0.0f);
}

// Reads from the picture's region; parts of the rectangle outside the picture read as black.
void Gl1Renderer::ReadPixels(int x, int y, int w, int h, uint8_t* rgb) {
    if (w <= 0 || h <= 0) return;
    int x0 = std::max(x, 0), y0 = std::max(y, 0);
    int x1 = std::min(x + w, width_), y1 = std::min(y + h, height_);
    if (x0 > x || y0 > y || x1 < x + w || y1 < y + h) std::memset(rgb, 0, size_t(w) * h * 3);
    if (x0 >= x1 || y0 >= y1) return;
    int cw = x1 - x0, ch = y1 - y0;
    scratch_.resize(size_t(cw) * ch * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // GL rows run bottom-up: picture row y1-1 is GL row height-y1.
    glReadPixels(x0, height_ - y1, cw, ch, GL_RGB, GL_UNSIGNED_BYTE, scratch_.data());
    for (int row = 0; row < ch; ++row) {
        const uint8_t* src = &scratch_[size_t(ch - 1 - row) * cw * 3];
        uint8_t* dst = rgb + (size_t(y0 - y + row) * w + (x0 - x)) * 3;
        std::memcpy(dst, src, size_t(cw) * 3);
    }
}

void Gl1Renderer::ShowScaled(int drawable_w, int drawable_h, int x, int y, int w, int h) {
    SetTexture(screen_tex_);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width_, height_);

    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, drawable_w, drawable_h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, drawable_w, drawable_h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    // Whole-number scales stay crisp; others are smoothed so pixels do not come out uneven.
    bool whole = w % width_ == 0 && h % height_ == 0;
    SetTextureFilter(!whole);
    SetBlend(BLEND_SOLID);
    glColor4ub(255, 255, 255, 255);
    // The texture holds the picture bottom row first.
    float su = float(width_) / float(screen_tw_), sv = float(height_) / float(screen_th_);
    QuadVertex q[4] = {{float(x), float(y), 0, 1},
                       {float(x + w), float(y), 1, 1},
                       {float(x + w), float(y + h), 1, 0},
                       {float(x), float(y + h), 0, 0}};
    DrawQuad(q, su, sv);
}

void Gl1Renderer::RestorePicture() {
    SetPictureView();
    SetTexture(screen_tex_);
    SetTextureFilter(false);
    SetBlend(BLEND_SOLID);
    glColor4ub(255, 255, 255, 255);
    float su = float(width_) / float(screen_tw_), sv = float(height_) / float(screen_th_);
    QuadVertex q[4] = {
        {0, 0, 0, 1}, {float(width_), 0, 1, 1}, {float(width_), float(height_), 1, 0}, {0, float(height_), 0, 0}};
    DrawQuad(q, su, sv);
}
