// Area preview: the cells drawn with the real frames over the backdrop, at half size.
#include "map_preview.h"

#include <png.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "game/kinds.h"

namespace mapc {

namespace {

struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba; // 4 bytes a pixel, row-major

    uint8_t* at(int x, int y) { return &rgba[(size_t(y) * w + x) * 4]; }
};

bool read_png(const std::string& path, Picture& pic) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
    img.format = PNG_FORMAT_RGBA;
    pic.w = int(img.width);
    pic.h = int(img.height);
    pic.rgba.assign(PNG_IMAGE_SIZE(img), 0);
    if (!png_image_finish_read(&img, nullptr, pic.rgba.data(), 0, nullptr)) {
        png_image_free(&img);
        return false;
    }
    return true;
}

bool write_png(const std::string& path, const Picture& pic) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = png_uint_32(pic.w);
    img.height = png_uint_32(pic.h);
    img.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&img, path.c_str(), 0, pic.rgba.data(), 0, nullptr) != 0;
}

// Full-size area canvas (5600 x 480) that frames are drawn into before it is shrunk.
class Canvas {
  public:
    Canvas(const Picture* sheet) : sheet_(sheet) {
        pic_.w = COLUMNS * 40;
        pic_.h = ROWS * 40;
        pic_.rgba.assign(size_t(pic_.w) * pic_.h * 4, 255);
    }

    void backdrop(const Picture* bd) {
        for (int y = 0; y < pic_.h; ++y)
            for (int x = 0; x < pic_.w; ++x) {
                uint8_t* d = pic_.at(x, y);
                if (bd && bd->w > 0) {
                    Picture& b = const_cast<Picture&>(*bd);
                    const uint8_t* s = b.at(x % b.w, y % b.h);
                    std::memcpy(d, s, 3);
                } else {
                    d[0] = 10;
                    d[1] = 12;
                    d[2] = uint8_t(30 + y / 12);
                }
                d[3] = 255;
            }
    }

    // Draws frame k with its top-left at (x, y), scaled by `scale` around that corner, stretched
    // horizontally by `xstretch`. Black pixels of the sheet are transparent.
    void frame(int k, int x, int y, double scale = 1.0, double xstretch = 1.0) {
        const int w = int(40 * scale * xstretch), h = int(40 * scale);
        for (int dy = 0; dy < h; ++dy)
            for (int dx = 0; dx < w; ++dx) {
                const int sx = int(dx / (scale * xstretch)), sy = int(dy / scale);
                uint8_t px[4];
                if (!sample(k, sx, sy, px)) continue;
                put(x + dx, y + dy, px);
            }
    }

    void outline(int x, int y, int size, const uint8_t colour[3]) {
        for (int d = 0; d < size; ++d) {
            const uint8_t px[4] = {colour[0], colour[1], colour[2], 255};
            put(x + d, y, px);
            put(x + d, y + size - 1, px);
            put(x, y + d, px);
            put(x + size - 1, y + d, px);
        }
    }

    // Halves the canvas and stacks its left and right halves: 2800 x 480 becomes 1400 x 484.
    Picture shrink_in_two_strips() const {
        Picture out;
        const int half_w = pic_.w / 2, strip_w = half_w / 2, strip_h = pic_.h / 2, gap = 4;
        out.w = strip_w;
        out.h = strip_h * 2 + gap;
        out.rgba.assign(size_t(out.w) * out.h * 4, 0);
        for (int y = 0; y < out.h; ++y)
            for (int x = 0; x < out.w; ++x) out.at(x, y)[3] = 255;
        for (int strip = 0; strip < 2; ++strip)
            for (int y = 0; y < strip_h; ++y)
                for (int x = 0; x < strip_w; ++x) {
                    int sum[3] = {0, 0, 0};
                    for (int k = 0; k < 4; ++k) {
                        const int sx = (strip * strip_w + x) * 2 + (k & 1), sy = y * 2 + (k >> 1);
                        const uint8_t* s = &pic_.rgba[(size_t(sy) * pic_.w + sx) * 4];
                        for (int c = 0; c < 3; ++c) sum[c] += s[c];
                    }
                    uint8_t* d = out.at(x, strip * (strip_h + gap) + y);
                    for (int c = 0; c < 3; ++c) d[c] = uint8_t(sum[c] / 4);
                }
        return out;
    }

  private:
    bool sample(int k, int sx, int sy, uint8_t px[4]) const {
        if (sheet_) {
            const int x = 1 + 41 * (k % 15) + sx, y = 1 + 41 * (k / 15) + sy;
            if (x >= sheet_->w || y >= sheet_->h) return false;
            const uint8_t* s = &sheet_->rgba[(size_t(y) * sheet_->w + x) * 4];
            if (s[3] < 128 || (s[0] == 0 && s[1] == 0 && s[2] == 0)) return false;
            std::memcpy(px, s, 4);
            return true;
        }
        // No art yet: a square in a colour that tells the kind of frame, with a dark rim.
        if (k == FRAME_BLANK) return false;
        const bool rim = sx < 2 || sy < 2 || sx > 37 || sy > 37;
        uint8_t r, g, b;
        if (k >= TILE_BRICK && k <= TILE_USED) {
            r = 190;
            g = k == TILE_BRICK ? 90 : 200;
            b = k == TILE_USED ? 120 : 40;
        } else if (k == TILE_GROUND || k == TILE_PLATFORM || k == TILE_LAIR_GROUND || k == TILE_LAIR_STONE) {
            r = 110;
            g = 80;
            b = 50;
        } else if (k == TILE_WATER || k == TILE_LAVA) {
            r = 30;
            g = 90;
            b = k == TILE_LAVA ? 30 : 200;
        } else if (k == FRAME_MAGIC) {
            r = 120;
            g = 255;
            b = 120;
        } else if (k == FRAME_HERO) {
            r = 255;
            g = 140;
            b = 0;
        } else if (k >= FRAME_LEVEL_ITEM) {
            r = 255;
            g = 0;
            b = 255;
        } else if (k >= FRAME_WALKER_LEFT || k == FRAME_FIREBALL_LEFT || k == FRAME_FIREBALL_RIGHT) { // monsters
            r = 220;
            g = 30;
            b = 30;
        } else {
            r = uint8_t(60 + (k * 37) % 150);
            g = uint8_t(60 + (k * 71) % 150);
            b = uint8_t(60 + (k * 13) % 150);
        }
        if (rim) {
            r /= 2;
            g /= 2;
            b /= 2;
        }
        if ((k == FRAME_MAGIC || k >= FRAME_WALKER_LEFT) && (sx - 20) * (sx - 20) + (sy - 20) * (sy - 20) > 16 * 16)
            return false;
        px[0] = r;
        px[1] = g;
        px[2] = b;
        px[3] = 255;
        return true;
    }

    void put(int x, int y, const uint8_t px[4]) {
        if (x < 0 || y < 0 || x >= pic_.w || y >= pic_.h) return;
        std::memcpy(pic_.at(x, y), px, 3);
    }

    const Picture* sheet_;
    Picture pic_;
};

bool holds_content(int t1, int t2) {
    const bool block = t1 == TILE_BRICK || t1 == TILE_BONUS;
    return block && (t2 == OBJECT_MAGIC || t2 == OBJECT_MULTI_MAGIC || t2 == OBJECT_START || t2 == OBJECT_POWER_UP ||
                     t2 == OBJECT_EXTRA_LIFE);
}

bool is_hidden(int t1, int t2) {
    return t1 < TILE_BRICK && (t2 == OBJECT_MULTI_MAGIC || t2 == OBJECT_POWER_UP || t2 == OBJECT_EXTRA_LIFE ||
                               t2 == OBJECT_HIDDEN_BLOCK || t2 == OBJECT_HIDDEN_INVINCIBILITY);
}

} // namespace

bool write_preview(const Grid& g, const std::string& sheet_path, const std::string& backdrop_path,
                   const std::string& out_png) {
    Picture sheet, bd;
    const bool have_sheet = !sheet_path.empty() && read_png(sheet_path, sheet);
    const bool have_bd = !backdrop_path.empty() && read_png(backdrop_path, bd);
    Canvas canvas(have_sheet ? &sheet : nullptr);
    canvas.backdrop(have_bd ? &bd : nullptr);

    static const uint8_t hidden_colour[3] = {255, 255, 0};
    static const uint8_t wall_colour[3] = {255, 0, 255};
    static const uint8_t tick_colour[3] = {255, 255, 255};
    for (int r = 0; r < ROWS; ++r)
        for (int c = 0; c < COLUMNS; ++c) {
            const int i = r * COLUMNS + c, t1 = g.tile1[i], t2 = g.tile2[i];
            const int x = c * 40, y = r * 40;
            canvas.frame(t1, x, y);
            if (t2 == OBJECT_NONE) continue;
            if (holds_content(t1, t2)) {
                // What a block holds, small in its corner (the start in a block is the invincibility).
                canvas.frame(t2 == OBJECT_MULTI_MAGIC ? FRAME_MAGIC : t2, x + 20, y, 0.5);
            } else if (is_hidden(t1, t2)) {
                canvas.outline(x + 4, y + 4, 32, hidden_colour);
                if (t2 != OBJECT_HIDDEN_BLOCK)
                    canvas.frame(t2 == OBJECT_MULTI_MAGIC            ? FRAME_MAGIC
                                 : t2 == OBJECT_HIDDEN_INVINCIBILITY ? FRAME_HERO
                                                                     : t2,
                                 x + 10, y + 10, 0.5);
            } else if (t2 == OBJECT_MONSTER_WALL) {
                canvas.outline(x + 14, y + 4, 12, wall_colour);
            } else if (t2 == OBJECT_LIFT_HORIZONTAL || t2 == OBJECT_LIFT_VERTICAL) {
                canvas.frame(t2, x - 20, y, 1.0, 2.0); // lifts are drawn double width
            } else if (t2 == OBJECT_THROWER) {
                canvas.frame(t2, x - 40, y - 36, 1.0); // the thrower stands left of and above its cell
            } else {
                canvas.frame(t2, x, y);
            }
        }
    // Ticks every ten columns along the top edge, a longer one every fifty.
    for (int c = 0; c <= COLUMNS; c += 10) canvas.outline(c * 40, 0, c % 50 == 0 ? 24 : 10, tick_colour);
    return write_png(out_png, canvas.shrink_in_two_strips());
}

} // namespace mapc
