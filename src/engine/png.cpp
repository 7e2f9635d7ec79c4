// PNG decoding (from memory) and encoding (to a file) through libpng.
#include "engine/png_io.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace {
constexpr uint32_t kMaxSide = 16384;
constexpr uint64_t kMaxPixels = uint64_t(1) << 26; // 256 MB as RGBA

struct MemReader {
    const uint8_t* data;
    size_t size, pos;
};

// Errors end the decode quietly (the caller sees a null image); warnings are ignored.
[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void Ignore(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* r = static_cast<MemReader*>(png_get_io_ptr(png));
    if (r->pos + count > r->size) png_error(png, "truncated PNG");
    std::memcpy(out, r->data + r->pos, count);
    r->pos += count;
}
} // namespace

bool DecodePNG(const uint8_t* data, size_t size, TPixmap& out) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Ignore);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    MemReader reader{data, size, 0};
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    // Sizes far beyond any picture of ours are refused before their pixels are allocated.
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    if (uint64_t(png_get_image_width(png, info)) * png_get_image_height(png, info) > kMaxPixels) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    const int color_type = png_get_color_type(png, info);
    const int bit_depth = png_get_bit_depth(png, info);
    if (bit_depth == 16) png_set_strip_16(png);
    if (color_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (color_type == PNG_COLOR_TYPE_GRAY && bit_depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (color_type == PNG_COLOR_TYPE_GRAY || color_type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    const bool has_alpha = (color_type & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int w = int(png_get_image_width(png, info)), h = int(png_get_image_height(png, info));
    out = TPixmap::Make(w, h, has_alpha ? TPixmap::RGBA32 : TPixmap::RGB24);
    rows.resize(size_t(h));
    for (int y = 0; y < h; ++y) rows[size_t(y)] = out.pixels.data() + size_t(y) * out.pitch;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool WritePNG(const std::string& path, int width, int height, const uint8_t* rgb, bool alpha) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    const size_t channels = alpha ? 4 : 3;
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rgb + size_t(y) * size_t(width) * channels));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}
