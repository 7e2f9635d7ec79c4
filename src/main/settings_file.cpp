#include "main/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "engine/replace_file.h"

namespace {

void Report(const std::string& text) { std::fprintf(stderr, "pumko: %s\n", text.c_str()); }

enum class ReadResult { Read, Missing, Failed };

ReadResult ReadText(const std::filesystem::path& path, std::string& text, std::string& error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return ReadResult::Missing;
    if (ec || status.type() != std::filesystem::file_type::regular) {
        error = ec ? ec.message() : "not a regular file";
        return ReadResult::Failed;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    if (in.is_open()) all << in.rdbuf(); // an empty file reads as no text
    if (!in.is_open() || in.bad()) {
        error = std::strerror(errno);
        return ReadResult::Failed;
    }
    text = all.str();
    return ReadResult::Read;
}

bool Write(SettingsFile& file, const std::string& text) {
    std::error_code ec;
    std::filesystem::create_directories(file.path.parent_path(), ec);
    const std::string path = file.path.string();
    std::string reason;
    if (!ec && ReplaceFile(path, text.data(), text.size(), reason)) return true;
    if (ec) reason = "cannot make the folder " + file.path.parent_path().string() + ": " + ec.message();
    Report("cannot keep the settings in " + path + ": " + reason);
    file.writable = false;
    return false;
}

} // namespace

std::filesystem::path PlayerSettingsPath() {
    // The XDG rule: a relative XDG_CONFIG_HOME is ignored.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return std::filesystem::path(xdg) / "pumko" / "settings.conf";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::filesystem::path(home) / ".config" / "pumko" / "settings.conf";
    return {};
}

SettingsFile OpenSettingsFile(const std::filesystem::path& path) {
    SettingsFile file;
    file.path = path;
    if (path.empty()) {
        Report("no settings folder (neither XDG_CONFIG_HOME nor HOME is set to an absolute folder): playing with "
               "the defaults");
        return file;
    }
    std::string text, error;
    switch (ReadText(path, text, error)) {
    case ReadResult::Missing:
        file.writable = true;
        Write(file, SettingsFileText(file.loaded));
        break;
    case ReadResult::Failed: Report("cannot read the settings in " + path.string() + ": " + error); break;
    case ReadResult::Read: {
        file.writable = true;
        std::vector<SettingsProblem> problems;
        file.loaded = ParseSettings(text, problems);
        for (const SettingsProblem& p : problems) Report(path.string() + ":" + std::to_string(p.line) + ": " + p.text);
        break;
    }
    }
    return file;
}

void SaveSettingsFile(SettingsFile& file, const Settings& now) {
    if (!file.writable || now == file.loaded) return;
    std::string text, error;
    switch (ReadText(file.path, text, error)) {
    case ReadResult::Missing: text = SettingsFileText(file.loaded); break;
    case ReadResult::Failed:
        Report("cannot keep the settings: " + file.path.string() + ": " + error);
        file.writable = false;
        return;
    case ReadResult::Read: break;
    }
    std::string updated = UpdateSettingsText(text, file.loaded, now);
    // Lines the game refused stay in the file as the player wrote them, and with the new values
    // beside them they may read differently (a refused key that no longer clashes, or clashes
    // with another action). Then the file is written anew, so what is kept is what is in use.
    std::vector<SettingsProblem> problems;
    if (!(ParseSettings(updated, problems) == now)) {
        Report(file.path.string() + ": written anew, since its refused lines would change the settings kept");
        updated = SettingsFileText(now);
    }
    if (Write(file, updated)) file.loaded = now;
}
