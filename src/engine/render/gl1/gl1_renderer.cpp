// OpenGL 1.x back end: immediate-mode quads, one texture per image frame, fixed-function blending.
#include "engine/render/gl1/gl1_renderer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/render/overlay_text.h"

#include "engine/engine.h"

namespace {

int PowerOfTwo(int n) {
    int p = 1;
    while (p < n) p <<= 1;
    return p;
}

// Every renderer (and every ForgetTextures) gets a fresh generation, so textures made for an
// earlier context are rebuilt.
uint32_t NextGeneration() { return NewTextureGeneration(); }

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

struct Gl1Renderer::FboApi {
    PFNGLGENFRAMEBUFFERSPROC gen = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC del = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bind = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC texture = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC status = nullptr;

    // The core entry points from OpenGL 3.0 or the ARB extension, else the EXT ones (same
    // signatures and constants).
    bool Load(void* (*proc)(const char*)) {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const char* ext = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        const bool core =
            (version && std::atoi(version) >= 3) || (ext && std::strstr(ext, "GL_ARB_framebuffer_object"));
        const bool with_ext = ext && std::strstr(ext, "GL_EXT_framebuffer_object");
        if (!proc || (!core && !with_ext)) return false;
        const char* suffix = core ? "" : "EXT";
        auto get = [&](const char* name) { return proc((std::string(name) + suffix).c_str()); };
        gen = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(get("glGenFramebuffers"));
        del = reinterpret_cast<PFNGLDELETEFRAMEBUFFERSPROC>(get("glDeleteFramebuffers"));
        bind = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(get("glBindFramebuffer"));
        texture = reinterpret_cast<PFNGLFRAMEBUFFERTEXTURE2DPROC>(get("glFramebufferTexture2D"));
        status = reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(get("glCheckFramebufferStatus"));
        return gen && del && bind && texture && status;
    }
};

Gl1Renderer::Gl1Renderer(int width, int height)
    : width_(width), height_(height), generation_(NextGeneration()), context_(std::make_shared<Context>()) {}

Gl1Renderer::~Gl1Renderer() {
    if (fbo_api_) {
        fbo_api_->bind(GL_FRAMEBUFFER, 0);
        for (unsigned* fbo : {&picture_fbo_, &big_fbo_})
            if (*fbo) fbo_api_->del(1, fbo);
    }
    for (unsigned* tex : {&picture_tex_, &big_tex_})
        if (*tex) glDeleteTextures(1, tex);
    context_->alive = false;
}

// A texture of tw x th texels with a framebuffer object drawing into it, left bound.
bool Gl1Renderer::MakeTarget(unsigned& fbo, unsigned& tex, int tw, int th) {
    glGenTextures(1, &tex);
    SetTexture(tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    SetTextureFilter(false);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    fbo_api_->gen(1, &fbo);
    fbo_api_->bind(GL_FRAMEBUFFER, fbo);
    fbo_api_->texture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tex, 0);
    return fbo_api_->status(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool Gl1Renderer::Init(void* (*proc)(const char*), std::string& error) {
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture_);
    picture_tw_ = PowerOfTwo(width_);
    picture_th_ = PowerOfTwo(height_);
    if (max_texture_ < picture_tw_ || max_texture_ < picture_th_) {
        error = "OpenGL textures are too small for the picture";
        return false;
    }
    auto api = std::make_unique<FboApi>();
    if (!api->Load(proc)) {
        error = "OpenGL has no framebuffer objects";
        return false;
    }
    fbo_api_ = std::move(api);

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
    textured_ = false;
    bound_ = ~0u;
    if (!MakeTarget(picture_fbo_, picture_tex_, picture_tw_, picture_th_)) {
        error = "OpenGL cannot draw into a texture";
        return false;
    }
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

std::string Gl1Renderer::DriverName() const {
    const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name ? name : "";
}

// One unit per pixel over a w x h target, y down.
void Gl1Renderer::SetView(int w, int h) {
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// The offscreen picture, clipped to the picture's own pixels of its power-of-two storage.
void Gl1Renderer::SetPictureView() {
    fbo_api_->bind(GL_FRAMEBUFFER, picture_fbo_);
    SetView(width_, height_);
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

// Draws the bottom-left su x sv fraction of a texture whose rows run bottom-up (as every target
// here holds its picture) upright over (x, y, w, h) of the current y-down view.
void Gl1Renderer::DrawTexture(unsigned tex, float su, float sv, bool linear, float x, float y, float w, float h) {
    SetTexture(tex);
    SetTextureFilter(linear);
    QuadVertex q[4] = {{x, y, 0, 1}, {x + w, y, 1, 1}, {x + w, y + h, 1, 0}, {x, y + h, 0, 0}};
    DrawQuad(q, su, sv);
}

void Gl1Renderer::Show(int drawable_w, int drawable_h, int x, int y, int w, int h, ScaleMode mode,
                       const std::vector<OverlayRect>& overlay) {
    glDisable(GL_SCISSOR_TEST);
    SetBlend(BLEND_SOLID);
    glColor4ub(255, 255, 255, 255);
    const bool whole = w % width_ == 0 && h % height_ == 0 && w / width_ == h / height_;

    // Sharp: enlarge by the smallest whole number that reaches the final size (nearest), then
    // shrink smoothly in one step, so that only the screen pixel straddling a picture-pixel edge
    // is blended.
    unsigned tex = picture_tex_;
    float su = float(width_) / float(picture_tw_), sv = float(height_) / float(picture_th_);
    int k = 1;
    if (mode == ScaleMode::Sharp && !whole && w > width_ && h > height_) {
        k = std::max((w + width_ - 1) / width_, (h + height_ - 1) / height_);
        while (k > 1 && (PowerOfTwo(k * width_) > max_texture_ || PowerOfTwo(k * height_) > max_texture_)) --k;
    }
    if (k > 1) {
        if (big_k_ != k) {
            if (big_fbo_) fbo_api_->del(1, &big_fbo_);
            if (big_tex_) glDeleteTextures(1, &big_tex_);
            big_fbo_ = big_tex_ = 0;
            big_tw_ = PowerOfTwo(k * width_);
            big_th_ = PowerOfTwo(k * height_);
            big_k_ = MakeTarget(big_fbo_, big_tex_, big_tw_, big_th_) ? k : 0;
        }
        if (big_k_ == k) {
            fbo_api_->bind(GL_FRAMEBUFFER, big_fbo_);
            SetView(k * width_, k * height_);
            DrawTexture(picture_tex_, su, sv, false, 0, 0, float(k * width_), float(k * height_));
            tex = big_tex_;
            su = float(k * width_) / float(big_tw_);
            sv = float(k * height_) / float(big_th_);
        }
    }
    const bool linear = tex != picture_tex_ || mode == ScaleMode::Smooth || !whole;

    fbo_api_->bind(GL_FRAMEBUFFER, 0);
    SetView(drawable_w, drawable_h);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawTexture(tex, su, sv, linear, float(x), float(y), float(w), float(h));

    if (!overlay.empty()) {
        SetTexture(0);
        SetBlend(BLEND_ALPHA);
        for (const OverlayRect& r : overlay) {
            if (r.dark)
                glColor4ub(0, 0, 0, 160);
            else
                glColor4ub(255, 255, 96, 255);
            const float x0 = float(r.x), y0 = float(r.y), x1 = float(r.x + r.w), y1 = float(r.y + r.h);
            QuadVertex q[4] = {{x0, y0, 0, 0}, {x1, y0, 0, 0}, {x1, y1, 0, 0}, {x0, y1, 0, 0}};
            DrawQuad(q, 0, 0);
        }
    }
    SetPictureView();
}
