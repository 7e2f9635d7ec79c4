// Runs the real game (start-up, main loop, shutdown) on the headless platform, with a script of
// steps: each waits, frame by frame, for a condition on the game state and then acts (presses a
// key, changes the state, checks something). The run ends when the game quits, or with a close
// request when the steps are done or the frame limit is reached. The scenario tests and the
// screen-picture tool are written with it.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/platform/headless/headless_platform.h"
#include "game/game.h"
#include "main/pumko_main.h"

class Scenario {
  public:
    using Cond = std::function<bool()>;
    using Act = std::function<void()>;

    // Each scenario runs in a fresh working folder of its own (the game reads and writes data/).
    explicit Scenario(const std::string& name);
    ~Scenario();

    // Adds a step: once cond() holds (checked after every presented frame), act() runs once.
    // Steps run in order, at most one per frame.
    Scenario& When(Cond cond, Act act);
    // Runs fn after every presented frame, before the steps are checked.
    void EveryFrame(std::function<void()> fn) { every_frame_ = std::move(fn); }
    // Runs the game; returns its exit code.
    int Run(int frame_limit = 60000);
    // What the run starts with (effects and music), as the player's settings would give it.
    RunChoices choices;

    // Helpers for actions.
    void Press(int code, int hold = 1);
    void Click(int button);
    void RequestClose();
    int Frame() const { return platform_.FrameCount(); }
    // Frames presented since the game entered its current state.
    int FramesInState() const { return platform_.FrameCount() - state_entered_; }
    bool TimedOut() const { return timed_out_; }
    bool StepsDone() const { return next_ >= steps_.size(); }
    const std::filesystem::path& Folder() const { return folder_; }
    HeadlessPlatform& Platform() { return platform_; }

    // Frames presented so far in each state, and the order in which states were seen.
    std::vector<int> states_seen;

  private:
    struct Step {
        Cond cond;
        Act act;
    };
    HeadlessPlatform platform_;
    std::vector<Step> steps_;
    std::function<void()> every_frame_;
    size_t next_ = 0;
    int state_entered_ = 0;
    bool timed_out_ = false;
    bool close_sent_ = false;
    std::filesystem::path folder_, old_cwd_;
};

// Key codes the game uses.
enum {
    KEY_ESCAPE = 27,
    KEY_SPACE = 32,
    KEY_UP = 38,
    KEY_DOWN = 40,
    KEY_LEFT = 37,
    KEY_RIGHT = 39,
    KEY_F1 = 112,
    KEY_F2 = 113,
    KEY_F3 = 114,
    KEY_LCONTROL = 162,
    KEY_LALT = 164
};

// Every text the game drew with draw_shadow_text since the last clear (for checking screens).
std::vector<std::string>& DrawnTexts();
bool TextWasDrawn(const std::string& text);
