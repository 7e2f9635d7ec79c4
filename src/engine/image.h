// Images, pixel buffers and fonts as the engine keeps them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum { IMG_MASKED = 1, IMG_FILTERED = 2, IMG_MIPMAPPED = 4, IMG_DYNAMIC = 8 };

// One frame's pixels. Frames the game draws are always RGBA32 (bytes R, G, B, A in memory, so a
// pixel read as a little-endian uint32 has its alpha in the top byte).
struct TPixmap {
    enum Format { A8 = 1, RGB24 = 3, RGBA32 = 4 };
    int width = 0, height = 0, pitch = 0;
    Format format = RGBA32;
    std::vector<uint8_t> pixels;

    bool HasAlpha() const { return format == RGBA32 || format == A8; }
    uint32_t Pixel32(int x, int y) const {
        const uint8_t* p = &pixels[size_t(y) * pitch + size_t(x) * 4];
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    static TPixmap Make(int w, int h, Format f);
};

// A renderer's texture for one frame; owned by the renderer that made it.
struct TImageFrame {
    virtual ~TImageFrame() = default;
};

// A fresh display generation for a renderer's textures (never 0, which TImage::seqs uses for
// "rebuild"): textures made under another generation are rebuilt from their pixmaps.
uint32_t NewTextureGeneration();

struct TImage {
    int width = 0, height = 0;
    int flags = 0;
    int mask_r = 0, mask_g = 0, mask_b = 0;
    float handle_x = 0.0f, handle_y = 0.0f;
    std::vector<TPixmap> pixmaps;                     // one per frame: the authority
    std::vector<std::unique_ptr<TImageFrame>> frames; // textures, made lazily by the renderer
    std::vector<uint32_t> seqs;                       // display generation of each texture, 0 = rebuild

    int FrameCount() const { return int(pixmaps.size()); }
    // Replaces a frame's pixels, masking black when IMG_MASKED is set, and marks its texture stale.
    void SetPixmap(int index, TPixmap pixmap);
};

// Masking: black pixels become transparent, taking the average colour of their non-black
// neighbours so filtered sampling does not bleed black into edges. Returns an RGBA32 pixmap.
TPixmap MaskPixmap(const TPixmap& src);

struct TImageGlyph {
    std::unique_ptr<TImage> _image; // null for blank glyphs such as space
    float _advance = 0.0f;
    int _x = 0, _y = 0, _w = 0, _h = 0;
    bool loaded = false;
    bool exists = false; // false when the face has no glyph for the character
};

struct FontFace; // FreeType face, private to the font code

struct TImageFont {
    std::shared_ptr<FontFace> _src_font;
    std::vector<TImageGlyph> _glyphs; // indexed by character code 0..255, filled lazily
    int _imageFlags = 0;
    int size = 0;
    int height = 0, ascend = 0, descend = 0;
    TImageGlyph* Glyph(unsigned char c);
};
