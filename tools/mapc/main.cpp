// mapc: compiles level sources into the game's map resources, refusing any area that breaks the
// rules every map must satisfy.
//
//   mapc -o OUTDIR SOURCE...                      write OUTDIR/pumkosahrimL.A for each source,
//                                                 its ground dressed with the overlays it is drawn with
//   mapc preview -o OUTDIR [--sheet PNG] [--backdrops DIR] SOURCE...
//                                                 write OUTDIR/L-A.png pictures of each area
//                                                 (installed, with the game's own art by default)
//   mapc reach SOURCE...                          search each area for a way from the start to
//                                                 the cauldron on its terrain; slow (seconds each)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "map_preview.h"
#include "map_reach.h"
#include "world/map_source.h"

namespace {

#ifndef PUMKO_INSTALLED_DATA
#define PUMKO_INSTALLED_DATA "../share/games/pumko"
#endif

// Installed, the game's sprite sheet and backdrops lie in graphx/ of the data folder beside this
// program; empty when they are not there (a build tree).
std::string installed_art() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const std::filesystem::path dir = (exe.parent_path() / PUMKO_INSTALLED_DATA / "graphx").lexically_normal();
    return std::filesystem::is_regular_file(dir / "pumkosahrim01.png", ec) ? dir.string() : std::string();
}

int usage() {
    std::cerr << "usage: mapc -o OUTDIR SOURCE...\n"
                 "       mapc preview -o OUTDIR [--sheet PNG] [--backdrops DIR] SOURCE...\n"
                 "       mapc reach SOURCE...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool preview = false, reach = false;
    std::string out_dir, sheet, backdrops;
    std::vector<std::string> sources;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i == 0 && a == "preview")
            preview = true;
        else if (i == 0 && a == "reach")
            reach = true;
        else if (a == "-o" && i + 1 < args.size())
            out_dir = args[++i];
        else if (a == "--sheet" && i + 1 < args.size())
            sheet = args[++i];
        else if (a == "--backdrops" && i + 1 < args.size())
            backdrops = args[++i];
        else if (!a.empty() && a[0] == '-')
            return usage();
        else
            sources.push_back(a);
    }
    if ((out_dir.empty() && !reach) || sources.empty()) return usage();
    if (preview && sheet.empty() && backdrops.empty()) {
        backdrops = installed_art();
        if (!backdrops.empty()) sheet = backdrops + "/pumkosahrim01.png";
    }

    std::vector<std::string> errors;
    std::vector<mapc::Grid> grids;
    std::set<std::pair<int, int>> seen;
    for (const std::string& path : sources) {
        std::string text, error;
        if (!mapc::read_level_file(path, text, error)) {
            errors.push_back(error);
            continue;
        }
        mapc::Grid g;
        if (!mapc::parse_source(text, path, g, errors)) continue;
        mapc::check_grid(g, errors, path);
        if (!seen.insert({g.level, g.area}).second)
            errors.push_back(path + ": a second source for area " + std::to_string(g.level) + "." +
                             std::to_string(g.area));
        grids.push_back(g);
    }
    if (!errors.empty()) {
        for (const std::string& e : errors) std::cerr << e << "\n";
        std::cerr << "mapc: " << errors.size() << " error(s); no maps written\n";
        return 1;
    }

    int unfinished = 0;
    for (const mapc::Grid& g : grids) {
        if (reach) {
            const mapc::ReachResult r = mapc::reach(g);
            std::cout << "area " << g.level << "." << g.area << ": "
                      << (r.finished ? "the cauldron can be reached" : "NO WAY to the cauldron");
            if (g.area == 3) std::cout << (r.item ? ", the item too" : ", NOT the item");
            std::cout << " (furthest column " << r.furthest_column << ", " << r.states << " positions)\n";
            unfinished += !r.finished;
            continue;
        }
        // What the game draws: the ground's overlays placed (the search needs only the terrain).
        mapc::Grid dressed = g;
        mapc::dress_ground(dressed);
        if (preview) {
            const std::string bd =
                backdrops.empty() ? "" : backdrops + "/pumkosahrim0" + std::to_string(g.area + 1) + ".png";
            const std::string out = out_dir + "/" + std::to_string(g.level) + "-" + std::to_string(g.area) + ".png";
            if (!mapc::write_preview(dressed, sheet, bd, out)) {
                std::cerr << out << ": cannot write\n";
                return 1;
            }
            continue;
        }
        const std::vector<uint8_t> bytes = mapc::encode(dressed);
        const std::string out = out_dir + "/" + mapc::resource_file_name(g.level, g.area);
        std::ofstream f(out, std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!f) {
            std::cerr << out << ": cannot write\n";
            return 1;
        }
    }
    return unfinished == 0 ? 0 : 1;
}
