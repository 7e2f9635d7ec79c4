#include "support/scenario.h"

#include "game/text.h"

// Each scenario starts as a new program would: the controller and the demo's place as a fresh
// process has them, whatever an earlier test in the same process left (a run closed during play
// leaves state 1, which the next scenario would otherwise see in its first frames).
Scenario::Scenario(const std::string& name) : game_(name) {
    DrawnTexts().clear();
    game = game_tag{};
    demo_index = 0;
    demo_active = 0;
    demo_number = 1;
    demo_recording = 0;
}

Scenario& Scenario::When(Cond cond, Act act) {
    steps_.push_back({std::move(cond), std::move(act)});
    return *this;
}

int Scenario::Run(int frame_limit) {
    game_.choices = choices;
    return game_.Run([this, frame_limit](int frame) {
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
