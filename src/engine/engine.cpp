// Engine lifetime: which host the engine talks to, the application title, and the end-of-program
// marker.
#include "engine/engine.h"

#include "engine/platform.h"

namespace {
Platform* g_platform = nullptr;
std::string g_title;
bool g_ended = false;
} // namespace

// A new host starts with clean polled input and no end marker, so tests that run the game
// several times in one process do not see each other's leftovers.
void EngineInit(Platform* platform) {
    g_platform = platform;
    g_ended = false;
    InputReset();
}

void EngineShutdown() { g_platform = nullptr; }

Platform* EnginePlatform() { return g_platform; }

void SetAppTitle(const std::string& title) {
    if (title == g_title) return;
    g_title = title;
    if (g_platform != nullptr && DisplayIsOpen()) g_platform->SetTitle(title);
}
const std::string& AppTitle() { return g_title; }

// The game leaves by returning from its entry point; this only records that it asked to, so
// tools and tests can tell a finished run from one that is still going.
void EndProgram() { g_ended = true; }
bool ProgramEnded() { return g_ended; }
