// TrueType fonts through FreeType: glyphs rendered once, at first use, as white images whose
// alpha is the glyph's coverage, so text draws in the current colour.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <memory>
#include <string>

#include "engine/engine.h"

void DrawGlyphImage(TImage* image, float x, float y); // draw.cpp

// Coverage of one bitmap pixel: 8-bit grey as rendered, or one bit per pixel from a face's
// embedded monochrome strike (anything else counts as empty rather than being misread).
static uint8_t Coverage(const FT_Bitmap& bm, int x, int y) {
    const unsigned char* row = bm.buffer + ptrdiff_t(y) * bm.pitch;
    if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) return row[x];
    if (bm.pixel_mode == FT_PIXEL_MODE_MONO) return (row[x >> 3] & (0x80 >> (x & 7))) != 0 ? 255 : 0;
    return 0;
}

struct FontFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::string data; // the face reads from this memory for its whole life
    ~FontFace() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

TImageFont* LoadFont(const std::string& path, int size, int style) {
    auto src = std::make_shared<FontFace>();
    src->data = ReadWhole(path);
    if (src->data.empty() || FT_Init_FreeType(&src->library) != 0) return nullptr;
    if (FT_New_Memory_Face(src->library, reinterpret_cast<const FT_Byte*>(src->data.data()), FT_Long(src->data.size()),
                           0, &src->face) != 0)
        return nullptr;
    // A face that refuses the size is asked for one pixel less, down to nothing.
    while (size > 0 && FT_Set_Pixel_Sizes(src->face, 0, FT_UInt(size)) != 0) --size;
    if (size <= 0) return nullptr;
    auto* font = new TImageFont;
    font->_src_font = src;
    font->_glyphs.resize(256);
    font->_imageFlags = (style & FONT_SMOOTH) != 0 ? (IMG_FILTERED | IMG_MIPMAPPED) : 0;
    font->size = size;
    const FT_Size_Metrics& m = src->face->size->metrics;
    font->height = int(m.height >> 6);
    font->ascend = int(m.ascender >> 6);
    font->descend = int(m.descender >> 6);
    return font;
}

TImageGlyph* TImageFont::Glyph(unsigned char c) {
    TImageGlyph& g = _glyphs[c];
    if (g.loaded) return &g;
    g.loaded = true;
    FT_Face face = _src_font ? _src_font->face : nullptr;
    if (!face) return &g;
    const FT_UInt index = FT_Get_Char_Index(face, c);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0 ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
        return &g;
    g.exists = true;
    const FT_GlyphSlot slot = face->glyph;
    g._advance = float(slot->advance.x >> 6);
    const FT_Bitmap& bm = slot->bitmap;
    const int pad = (_imageFlags & IMG_FILTERED) != 0 ? 1 : 0;
    g._x = slot->bitmap_left - pad;
    g._y = ascend - slot->bitmap_top - pad;
    g._w = int(bm.width) + 2 * pad;
    g._h = int(bm.rows) + 2 * pad;
    if (bm.width == 0 || bm.rows == 0) return &g;
    TPixmap pm = TPixmap::Make(g._w, g._h, TPixmap::RGBA32);
    for (int y = 0; y < int(bm.rows); ++y) {
        for (int x = 0; x < int(bm.width); ++x) {
            uint8_t* d = &pm.pixels[size_t(y + pad) * pm.pitch + size_t(x + pad) * 4];
            d[0] = d[1] = d[2] = 255;
            d[3] = Coverage(bm, x, y);
        }
    }
    for (int y = 0; y < g._h; ++y) // transparent padding stays white so filtering keeps the colour
        for (int x = 0; x < g._w; ++x) {
            uint8_t* d = &pm.pixels[size_t(y) * pm.pitch + size_t(x) * 4];
            d[0] = d[1] = d[2] = 255;
        }
    auto img = std::make_unique<TImage>();
    img->width = g._w;
    img->height = g._h;
    img->flags = _imageFlags;
    img->pixmaps.push_back(std::move(pm));
    img->frames.resize(1);
    img->seqs.assign(1, 0);
    g._image = std::move(img);
    return &g;
}

// The selected font, or the built-in one when none is (no font selected, or it failed to load).
static TImageFont* CurrentFont() {
    TImageFont* font = DrawState().image_font;
    return font ? font : BuiltinFont();
}

void DrawString(const std::string& text, float x, float y) {
    TImageFont* font = CurrentFont();
    const TDrawState& s = DrawState();
    float pen_x = x + s.origin_x + s.handle_x * s.tform_ix + s.handle_y * s.tform_iy;
    float pen_y = y + s.origin_y + s.handle_x * s.tform_jx + s.handle_y * s.tform_jy;
    for (unsigned char c : text) {
        TImageGlyph* g = font->Glyph(c);
        if (!g->exists) continue;
        if (g->_image) {
            const float gx = float(g->_x), gy = float(g->_y);
            DrawGlyphImage(g->_image.get(), pen_x + gx * s.tform_ix + gy * s.tform_iy,
                           pen_y + gx * s.tform_jx + gy * s.tform_jy);
        }
        pen_x += g->_advance * s.tform_ix;
        pen_y += g->_advance * s.tform_jx;
    }
}

int TextWidthOf(const std::string& text) {
    TImageFont* font = CurrentFont();
    float width = 0;
    for (unsigned char c : text) {
        TImageGlyph* g = font->Glyph(c);
        if (g->exists) width = std::trunc(width + g->_advance);
    }
    return int(width);
}
