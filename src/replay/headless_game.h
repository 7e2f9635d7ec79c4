// The real game (start-up, main loop, shutdown) run on the headless platform in a scratch working
// folder of its own, with a function called after every presented frame to watch and steer it.
// Replays run on it; the tests' scenario harness builds its scripted steps on it.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "engine/platform/headless/headless_platform.h"
#include "flow/main_loop.h"

class HeadlessGame {
  public:
    // Makes and enters a fresh working folder named after `name` (the game reads and writes
    // data/ there); the destructor goes back and removes it.
    explicit HeadlessGame(const std::string& name);
    ~HeadlessGame();
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    // Runs the game, calling `after_frame` with the frame number after every presented frame;
    // returns the game's exit code.
    int Run(const std::function<void(int frame)>& after_frame);
    // What the run starts with (effects and music), as the player's settings would give it. A
    // scratch folder has no sound files, so their absence is not reported.
    RunChoices choices{.report_missing_media = false};

    void Press(int code, int hold = 1);
    void Click(int button);
    // Asks the game to close (once), as the window's close button does.
    void RequestClose();
    int Frame() const { return platform_.FrameCount(); }
    const std::filesystem::path& Folder() const { return folder_; }
    HeadlessPlatform& Platform() { return platform_; }

  private:
    HeadlessPlatform platform_;
    bool close_sent_ = false;
    std::filesystem::path folder_, old_cwd_;
};
