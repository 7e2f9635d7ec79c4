// Scenarios: the real game (start-up, main loop, shutdown) run on the headless platform, with a
// script of steps: each waits, frame by frame, for a condition on the game state and then acts
// (presses a key, changes the state, checks something). The run ends when the game quits, or with a close
// request when the steps are done or the frame limit is reached. The scenario tests and the
// screen-picture tool are written with it.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "game/game.h"
#include "game/kinds.h"
#include "replay/headless_game.h"

class Scenario {
  public:
    using Cond = std::function<bool()>;
    using Act = std::function<void()>;

    // Each scenario runs in a fresh working folder of its own (the game reads and writes data/).
    explicit Scenario(const std::string& name);

    // Adds a step: once cond() holds (checked after every presented frame), act() runs once.
    // Steps run in order, at most one per frame.
    Scenario& When(Cond cond, Act act);
    // Runs fn after every presented frame, before the steps are checked.
    void EveryFrame(std::function<void()> fn) { every_frame_ = std::move(fn); }
    // Runs the game; returns its exit code.
    int Run(int frame_limit = 60000);
    // What the run starts with (effects and music), as the player's settings would give it.
    RunChoices choices{.report_missing_media = false};

    // Helpers for actions.
    void Press(int code, int hold = 1) { game_.Press(code, hold); }
    void Click(int button) { game_.Click(button); }
    void RequestClose() { game_.RequestClose(); }
    int Frame() const { return game_.Frame(); }
    // Frames presented since the game entered its current state.
    int FramesInState() const { return game_.Frame() - state_entered_; }
    bool TimedOut() const { return timed_out_; }
    bool StepsDone() const { return next_ >= steps_.size(); }
    const std::filesystem::path& Folder() const { return game_.Folder(); }
    HeadlessPlatform& Platform() { return game_.Platform(); }

    // Frames presented so far in each state, and the order in which states were seen.
    std::vector<int> states_seen;

  private:
    struct Step {
        Cond cond;
        Act act;
    };
    HeadlessGame game_;
    std::vector<Step> steps_;
    std::function<void()> every_frame_;
    size_t next_ = 0;
    int state_entered_ = 0;
    bool timed_out_ = false;
};


// Every text the game drew with draw_shadow_text since the last clear (for checking screens).
std::vector<std::string>& DrawnTexts();
bool TextWasDrawn(const std::string& text);
