#include "replay/play_clock.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/replace_file.h"
#include "game/game.h"

std::string StepsAsTime(int64_t steps) {
    if (steps < 0) steps = 0;
    const int64_t seconds = steps / 60, hundredths = (steps % 60) * 100 / 60;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%lld:%02lld.%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60), static_cast<long long>(hundredths));
    return buf;
}

std::string BestTimes::ToText() const {
    std::string t = "# Pumko best times, in game steps (60 a second): each area's, then a whole game's.\n";
    for (const auto& [name, steps] : areas) t += "area " + name + " " + std::to_string(steps) + "\n";
    if (game > 0) t += "game " + std::to_string(game) + "\n";
    return t;
}

bool BestTimes::FromText(const std::string& text, BestTimes& out, std::string& error) {
    out = BestTimes{};
    std::istringstream in(text);
    std::string line;
    int n = 0;
    constexpr int64_t kMost = int64_t(100) * 3600 * 60; // a hundred hours
    while (std::getline(in, line)) {
        ++n;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        std::string key, name, rest;
        long long steps = 0;
        bool good = false;
        if (ls >> key && key == "area") {
            good = ls >> name >> steps && !(ls >> rest) && name.size() == 3 && name[1] == '.' && name[0] >= '1' &&
                   name[0] <= '5' && name[2] >= '1' && name[2] <= '3' && steps > 0 && steps <= kMost &&
                   !out.areas.count(name);
            if (good) out.areas[name] = steps;
        } else if (key == "game") {
            good = ls >> steps && !(ls >> rest) && steps > 0 && steps <= kMost && out.game == 0;
            if (good) out.game = steps;
        }
        if (!good) {
            error = "line " + std::to_string(n) + ": '" + line.substr(0, 80) + "' is not a best time";
            return false;
        }
    }
    return true;
}

PlayClock::PlayClock(std::string path) : path_(std::move(path)) {
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) return;
    std::string error;
    std::ifstream in(path_, std::ios::binary);
    std::string text;
    if (std::filesystem::is_regular_file(path_, ec) && in && std::filesystem::file_size(path_, ec) < 65536) {
        std::stringstream ss;
        ss << in.rdbuf();
        text = ss.str();
        if (!in.bad() && BestTimes::FromText(text, best_, error)) return;
    } else {
        error = "not a small regular file";
    }
    std::fprintf(stderr, "pumko: cannot read the best times in %s (%s); they will be left as they are\n", path_.c_str(),
                 error.empty() ? "unreadable" : error.c_str());
    best_ = BestTimes{};
    unreadable_ = true;
}

void PlayClock::PlayFrame() {
    frame_ran_ = true;
    if (running_) ++area_steps_;
}

void PlayClock::AfterFrame() {
    const int state = game.state;
    const bool ran = frame_ran_;
    frame_ran_ = false;
    if (state == STATE_TITLE) {
        saw_title_ = true;
        running_ = false;
        in_intro_ = false;
        last_state_ = state;
        return;
    }
    if (!running_ && saw_title_ && state == STATE_INTRO && last_state_ == STATE_TITLE) { // a game starts
        running_ = true;
        game_steps_ = area_steps_ = 0;
        message_.clear();
        finished_.clear();
    }
    if (!running_) {
        last_state_ = state;
        return;
    }
    if (state != STATE_PLAY || ran) ++game_steps_; // a pause shows a frame but plays none
    if (state == STATE_INTRO && !in_intro_) { // a new try at an area
        in_intro_ = true;
        area_steps_ = 0;
        message_.clear();
    } else if (state != STATE_INTRO) {
        in_intro_ = false;
    }
    const player_tag& p = current_player();
    if (state == STATE_PLAY) area_ = std::to_string(p.level) + "." + std::to_string(p.area);
    // The cauldron reached (not the one that sends a hero without the magic item back).
    if (state == STATE_LEVELEND && last_state_ == STATE_PLAY && !(p.area == 3 && game.item == 0)) {
        finished_.emplace_back(area_, area_steps_);
        message_ = "AREA " + area_ + " " + StepsAsTime(area_steps_);
        if (custom_area.level == 0) { // a player's own area is not one of the game's
            auto it = best_.areas.find(area_);
            if (it == best_.areas.end() || area_steps_ < it->second) {
                if (it != best_.areas.end()) message_ += " BEST WAS " + StepsAsTime(it->second);
                message_ += " NEW BEST";
                best_.areas[area_] = area_steps_;
                changed_ = true;
            } else {
                message_ += " BEST " + StepsAsTime(it->second);
            }
        }
    }
    if (state == STATE_ENDING && last_state_ != STATE_ENDING) {
        message_ = "GAME " + StepsAsTime(game_steps_);
        if (best_.game == 0 || game_steps_ < best_.game) {
            if (best_.game != 0) message_ += " BEST WAS " + StepsAsTime(best_.game);
            message_ += " NEW BEST";
            best_.game = game_steps_;
            changed_ = true;
        } else {
            message_ += " BEST " + StepsAsTime(best_.game);
        }
        running_ = false;
    }
    last_state_ = state;
}

std::vector<std::string> PlayClock::Lines() const {
    std::vector<std::string> lines;
    if (running_ && !area_.empty()) lines.push_back(area_ + " " + StepsAsTime(area_steps_));
    if (running_) lines.push_back("GAME " + StepsAsTime(game_steps_));
    if (!message_.empty() && (running_ || game.state == STATE_ENDING)) lines.push_back(message_);
    return lines;
}

void PlayClock::Save() {
    if (!changed_) return;
    if (unreadable_) {
        std::fprintf(stderr, "pumko: the best times were not saved: %s could not be read and is left as it is\n",
                     path_.c_str());
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
    const std::string text = best_.ToText();
    std::string reason;
    if (!ReplaceFile(path_, text.data(), text.size(), reason))
        std::fprintf(stderr, "pumko: could not save the best times to %s (%s)\n", path_.c_str(), reason.c_str());
    else
        changed_ = false;
}
