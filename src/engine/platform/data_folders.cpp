// The data-folder rule: which host folder answers the game's data\NAME paths.
#include "engine/platform/data_folders.h"

#include "engine/stream.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef PUMKO_INSTALLED_DATA
#define PUMKO_INSTALLED_DATA "../share/games/pumko"
#endif

namespace fs = std::filesystem;

namespace {

DataFolders current;

// The files in data/ that are the player's own rather than the game's.
const char* const kPlayerFiles[] = {"hiscore.dat", "besttimes.txt"};

bool IsFolder(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

bool Exists(const std::string& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

// $XDG_DATA_HOME/pumko when it is set to an absolute path (relative ones are to be ignored),
// else $HOME/.local/share/pumko; empty when neither can be had. A relative HOME is no home: it
// would put the score somewhere new in every folder the game is started from.
std::string PlayerFolder(const char* xdg, const char* home) {
    if (xdg && xdg[0] == '/') return (fs::path(xdg) / "pumko").string();
    if (home && home[0] == '/') return (fs::path(home) / ".local/share/pumko").string();
    return {};
}

} // namespace

DataFolders ChooseDataFolders(const DataFolderHost& host, std::string& note) {
    note.clear();
    if (!host.data_dir.empty()) return {host.data_dir, host.data_dir, false};
    if (host.exe_dir.empty() || host.installed_data.empty()) return {};
    const fs::path game = (fs::path(host.exe_dir) / host.installed_data).lexically_normal();
    if (!IsFolder(game)) return {}; // not installed: the build folder's way
    std::string user = PlayerFolder(host.xdg_data_home, host.home);
    if (user.empty()) {
        note = "neither XDG_DATA_HOME nor HOME is set to an absolute folder: the top score is kept in data/ under the "
               "working folder";
        user = "data";
    }
    std::string game_dir = game.string();
    while (game_dir.size() > 1 && game_dir.back() == '/') game_dir.pop_back();
    return {game_dir, user, true};
}

void SetDataFolders(const DataFolders& folders) {
    current = folders;
    SetDataPathRule(MapDataPath);
}

const DataFolders& CurrentDataFolders() { return current; }

std::string MapDataPath(const std::string& path) {
    if (current.game.empty() && current.user.empty()) return path;
    if (path.rfind("data", 0) != 0 || (path.size() > 4 && path[4] != '/')) return path;
    const size_t start = path.find_first_not_of('/', 4);
    if (start == std::string::npos) return current.user;
    const std::string name = path.substr(start);
    const std::string mine = current.user + "/" + name, shipped = current.game + "/" + name;
    if (Exists(mine)) return mine;
    if (Exists(shipped)) return shipped;
    return mine;
}

bool CarryOverPlayerFiles(const DataFolders& folders, const std::string& old_data_folder) {
    if (!folders.installed || folders.user.empty()) return false;
    std::error_code ec;
    if (fs::equivalent(folders.user, old_data_folder, ec)) return false;
    bool carried = false;
    for (const char* name : kPlayerFiles) {
        const fs::path old_file = fs::path(old_data_folder) / name, mine = fs::path(folders.user) / name;
        if (!fs::is_regular_file(old_file, ec) || fs::exists(mine, ec)) continue;
        fs::create_directories(folders.user, ec);
        // Copied beside its final name first, so an interrupted copy never looks like a saved score.
        const fs::path part = fs::path(folders.user) / (std::string(name) + ".part");
        if (!fs::copy_file(old_file, part, fs::copy_options::overwrite_existing, ec)) continue;
        fs::rename(part, mine, ec);
        if (ec) {
            fs::remove(part, ec);
            continue;
        }
        carried = true;
    }
    return carried;
}

void SetupDataFolders(const std::string& data_dir_option) {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    const DataFolderHost host{data_dir_option, ec ? std::string() : exe.parent_path().string(), PUMKO_INSTALLED_DATA,
                              std::getenv("XDG_DATA_HOME"), std::getenv("HOME")};
    std::string note;
    const DataFolders folders = ChooseDataFolders(host, note);
    if (!note.empty()) std::fprintf(stderr, "pumko: %s\n", note.c_str());
    SetDataFolders(folders);
    CarryOverPlayerFiles(folders, "data");
}
