#include "replay/headless_game.h"

#include <unistd.h>

#include "engine/engine.h"

HeadlessGame::HeadlessGame(const std::string& name) {
    old_cwd_ = std::filesystem::current_path();
    folder_ = std::filesystem::temp_directory_path() / ("pumko-scenario-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / "data");
    std::filesystem::current_path(folder_);
}

HeadlessGame::~HeadlessGame() {
    std::filesystem::current_path(old_cwd_);
    std::filesystem::remove_all(folder_);
}

void HeadlessGame::Press(int code, int hold) { platform_.KeyPress(platform_.FrameCount(), code, hold); }

void HeadlessGame::Click(int button) { platform_.MouseClick(platform_.FrameCount(), button, 1); }

void HeadlessGame::RequestClose() {
    if (close_sent_) return;
    close_sent_ = true;
    PlatformEvent ev{};
    ev.type = PlatformEvent::Close;
    platform_.At(platform_.FrameCount(), ev);
}

int HeadlessGame::Run(const std::function<void(int frame)>& after_frame) {
    platform_.OnFrame(after_frame);
    EngineInit(&platform_);
    const int code = RunGame(choices);
    EngineShutdown();
    return code;
}
