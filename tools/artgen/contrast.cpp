// The contrast report: how well each monster frame stands out from the backdrops it walks over.
//
//   artcontrast GRAPHX_DIR [--check]
//
// For every monster frame of the sprite sheet it takes the rim, the opaque pixels within two
// pixels of a see-through one (what the eye reads as the creature's edge), averages its colour,
// and prints the contrast ratio of that colour (relative luminance, (L1 + 0.05) / (L2 + 0.05), as
// the web accessibility guidelines define it) against each backdrop's band where monsters walk
// (rows 2 to 10, y 80 to 439), and against the wall fill (sheet frame 23) that stands behind them
// in built-up stretches and lairs: against the average colour, and the share of the pixels it
// reaches 4.5:1 against. Then the lair's hazards beside the hero: the hue of each one's
// average colour and how far it lies from the hero's. With --check it exits with 1 if a monster
// falls under 4.5:1 against an average or a hazard lies within 45 degrees of the hero's hue.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/png_io.h"

namespace {
struct Rgb {
    double r = 0, g = 0, b = 0;
};

double linear(double c) {
    c /= 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double luminance(Rgb c) { return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b); }
double ratio(double la, double lb) { return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05); }
double hue(Rgb c) {
    const double mx = std::max({c.r, c.g, c.b}), mn = std::min({c.r, c.g, c.b}), d = mx - mn;
    if (d <= 0) return 0;
    double h = mx == c.r ? std::fmod((c.g - c.b) / d, 6.0) : mx == c.g ? (c.b - c.r) / d + 2 : (c.r - c.g) / d + 4;
    h *= 60;
    return h < 0 ? h + 360 : h;
}

bool load(const std::string& path, TPixmap& pm) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return DecodePNG(bytes.data(), bytes.size(), pm) && pm.format == TPixmap::RGB24;
}

Rgb px(const TPixmap& pm, int x, int y) {
    const uint8_t* p = &pm.pixels[size_t(y) * pm.pitch + size_t(x) * 3];
    return {double(p[0]), double(p[1]), double(p[2])};
}

// Whether pixel (i, j) of sheet frame k is opaque; outside the frame counts as see-through.
bool opaque(const TPixmap& sheet, int k, int i, int j) {
    if (i < 0 || j < 0 || i >= 40 || j >= 40) return false;
    const Rgb c = px(sheet, 1 + 41 * (k % 15) + i, 1 + 41 * (k / 15) + j);
    return c.r != 0 || c.g != 0 || c.b != 0;
}

// The average colour of frame k's rim, or of all its opaque pixels.
Rgb average(const TPixmap& sheet, int k, bool rim_only, int* count) {
    Rgb sum;
    int n = 0;
    for (int j = 0; j < 40; ++j)
        for (int i = 0; i < 40; ++i) {
            if (!opaque(sheet, k, i, j)) continue;
            bool edge = !rim_only;
            for (int dj = -2; dj <= 2 && !edge; ++dj)
                for (int di = -2; di <= 2 && !edge; ++di) edge = !opaque(sheet, k, i + di, j + dj);
            if (!edge) continue;
            const Rgb c = px(sheet, 1 + 41 * (k % 15) + i, 1 + 41 * (k / 15) + j);
            sum.r += c.r, sum.g += c.g, sum.b += c.b;
            ++n;
        }
    if (count) *count = n;
    if (n > 0) sum.r /= n, sum.g /= n, sum.b /= n;
    return sum;
}

struct Band {
    Rgb mean;
    std::vector<double> lum; // every pixel's luminance
};
Band band(const TPixmap& back) {
    Band b;
    for (int y = 80; y < 440; ++y)
        for (int x = 0; x < 640; ++x) {
            const Rgb c = px(back, x, y);
            b.mean.r += c.r, b.mean.g += c.g, b.mean.b += c.b;
            b.lum.push_back(luminance(c));
        }
    const double n = double(b.lum.size());
    b.mean.r /= n, b.mean.g /= n, b.mean.b /= n;
    return b;
}

// The background fill of built-up areas (sheet frame 23), which stands behind monsters in walls and
// lairs as the backdrops do elsewhere.
Band fill_band(const TPixmap& sheet) {
    Band b;
    for (int j = 0; j < 40; ++j)
        for (int i = 0; i < 40; ++i) {
            const Rgb c = px(sheet, 1 + 41 * (23 % 15) + i, 1 + 41 * (23 / 15) + j);
            b.mean.r += c.r, b.mean.g += c.g, b.mean.b += c.b;
            b.lum.push_back(luminance(c));
        }
    const double n = double(b.lum.size());
    b.mean.r /= n, b.mean.g /= n, b.mean.b /= n;
    return b;
}

struct Named {
    int frame;
    const char* name;
};
const Named kMonsters[] = {
    {26, "fire bar ball (left)"},
    {27, "fire bar ball (right)"},
    {37, "cannonball"},
    {57, "walker L1"},
    {58, "walker L2"},
    {59, "walker R1"},
    {60, "walker R2"},
    {61, "shell-maker L1"},
    {62, "shell-maker L2"},
    {63, "shell (L)"},
    {64, "shell-maker R1"},
    {65, "shell-maker R2"},
    {66, "shell (R)"},
    {67, "spiky L1"},
    {68, "spiky L2"},
    {69, "spiky R1"},
    {70, "spiky R2"},
    {71, "hoverer"},
    {72, "hoverer, knocked out"},
    {73, "shooter L1"},
    {74, "shooter L2"},
    {75, "shooter L, shooting"},
    {76, "shooter R1"},
    {77, "shooter R2"},
    {78, "shooter R, shooting"},
    {79, "shot (L)"},
    {80, "shot (R)"},
    {81, "hopper 1"},
    {82, "hopper 2"},
    {83, "thrower 1"},
    {84, "thrower 2"},
    {85, "thrower, throwing"},
    {86, "thrown skull"},
    {87, "cannon"},
    {88, "leaper / witch fireball 1"},
    {89, "leaper / witch fireball 2"},
};
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: artcontrast GRAPHX_DIR [--check]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool check = argc > 2 && std::string(argv[2]) == "--check";
    TPixmap sheet, back[3];
    if (!load(dir + "/pumkosahrim01.png", sheet) || !load(dir + "/pumkosahrim02.png", back[0]) ||
        !load(dir + "/pumkosahrim03.png", back[1]) || !load(dir + "/pumkosahrim04.png", back[2])) {
        std::fprintf(stderr, "artcontrast: cannot read the pictures in %s\n", dir.c_str());
        return 1;
    }
    constexpr int kBands = 4;
    Band bands[kBands];
    const char* band_names[kBands] = {"fields", "wood", "lair", "wall"};
    std::printf("Backdrop bands where monsters walk (y 80-439), and the wall fill (frame 23): average colour,\n"
                "luminance\n");
    for (int b = 0; b < kBands; ++b) {
        bands[b] = b < 3 ? band(back[b]) : fill_band(sheet);
        std::vector<double> sorted = bands[b].lum;
        std::sort(sorted.begin(), sorted.end());
        std::printf("  %-6s (%3.0f, %3.0f, %3.0f)  L %.4f  (median %.4f, 95th percentile %.4f)\n", band_names[b],
                    bands[b].mean.r, bands[b].mean.g, bands[b].mean.b, luminance(bands[b].mean),
                    sorted[sorted.size() / 2], sorted[sorted.size() * 95 / 100]);
    }
    std::printf("\nMonster rims (opaque pixels within 2 px of the edge): contrast against each band's\n"
                "average colour, and the share of the band's pixels it reaches 4.5:1 against\n");
    std::printf("%-5s %-27s %-17s %-15s %-15s %-15s %-15s\n", "frame", "monster", "rim colour", "fields", "wood",
                "lair", "wall");
    double worst = 1e9;
    int below = 0;
    for (const Named& m : kMonsters) {
        int n = 0;
        const Rgb rim = average(sheet, m.frame, true, &n);
        if (n == 0) continue;
        const double lr = luminance(rim);
        std::printf("%-5d %-27s (%3.0f, %3.0f, %3.0f)  ", m.frame, m.name, rim.r, rim.g, rim.b);
        for (int b = 0; b < kBands; ++b) {
            const double r = ratio(lr, luminance(bands[b].mean));
            int ok = 0;
            for (double l : bands[b].lum) ok += ratio(lr, l) >= 4.5;
            std::printf("%5.2f:1 %5.1f%%  ", r, 100.0 * ok / double(bands[b].lum.size()));
            worst = std::min(worst, r);
            below += r < 4.5;
        }
        std::printf("\n");
    }
    std::printf("lowest ratio %.2f:1; %d monster/backdrop pairs below 4.5:1\n", worst, below);

    std::printf("\nThe lair's hazards beside the hero (average colour of all opaque pixels)\n");
    const Named hazards[] = {
        {30, "hero"}, {88, "leaper / witch fireball"}, {26, "fire bar ball"}, {95, "lava"}, {120, "lava splash"}};
    const double hero_hue = hue(average(sheet, 30, false, nullptr));
    int near_hero = 0;
    for (const Named& h : hazards) {
        const Rgb c = average(sheet, h.frame, false, nullptr);
        double d = std::fabs(hue(c) - hero_hue);
        d = std::min(d, 360 - d);
        near_hero += h.frame != 30 && d < 45;
        std::printf("  %-3d %-24s (%3.0f, %3.0f, %3.0f)  hue %5.1f  %5.1f degrees from the hero's\n", h.frame, h.name,
                    c.r, c.g, c.b, hue(c), d);
    }
    if (check && (below > 0 || near_hero > 0)) {
        std::fprintf(stderr, "artcontrast: %d monster/backdrop pairs under 4.5:1, %d hazards near the hero's hue\n",
                     below, near_hero);
        return 1;
    }
    return 0;
}
