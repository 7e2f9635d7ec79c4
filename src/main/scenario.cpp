#include "main/scenario.h"

#include "main/pumko_main.h"

#include <unistd.h>

std::vector<std::string>& DrawnTexts();

Scenario::Scenario(const std::string& name) {
    old_cwd_ = std::filesystem::current_path();
    folder_ = std::filesystem::temp_directory_path() / ("pumko-scenario-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / "data");
    std::filesystem::current_path(folder_);
    DrawnTexts().clear();
}

Scenario::~Scenario() {
    std::filesystem::current_path(old_cwd_);
    std::filesystem::remove_all(folder_);
}

Scenario& Scenario::When(Cond cond, Act act) {
    steps_.push_back({std::move(cond), std::move(act)});
    return *this;
}

void Scenario::Press(int code, int hold) { platform_.KeyPress(platform_.FrameCount(), code, hold); }

void Scenario::Click(int button) { platform_.MouseClick(platform_.FrameCount(), button, 1); }

void Scenario::RequestClose() {
    if (close_sent_) return;
    close_sent_ = true;
    PlatformEvent ev{};
    ev.type = PlatformEvent::Close;
    platform_.At(platform_.FrameCount(), ev);
}

int Scenario::Run(int frame_limit) {
    platform_.OnFrame([this, frame_limit](int frame) {
        if (states_seen.empty() || states_seen.back() != game.state) {
            states_seen.push_back(game.state);
            state_entered_ = frame;
        }
        if (every_frame_) every_frame_();
        // At most one step per frame, so "next frame" is simply the next step.
        if (next_ < steps_.size() && steps_[next_].cond()) {
            const size_t current = next_++;
            steps_[current].act();
        }
        if (next_ >= steps_.size()) RequestClose();
        if (frame >= frame_limit && !timed_out_) {
            timed_out_ = true;
            RequestClose();
        }
    });
    EngineInit(&platform_);
    const int code = RunGame(choices);
    EngineShutdown();
    return code;
}

static std::vector<std::string> g_texts;

static void record_text(const std::string& text, int, int) {
    if (g_texts.size() > 4096) g_texts.erase(g_texts.begin(), g_texts.begin() + 2048);
    g_texts.push_back(text);
}

std::vector<std::string>& DrawnTexts() {
    text_observer = record_text;
    return g_texts;
}

bool TextWasDrawn(const std::string& text) {
    text_observer = record_text;
    for (const std::string& t : g_texts)
        if (t == text) return true;
    return false;
}
