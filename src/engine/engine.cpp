// Engine lifetime and the application title.
// (Placeholder until the foundation lands.)
#include "engine/engine.h"

static Platform* g_platform = nullptr;
static std::string g_title;

void EngineInit(Platform* platform) { g_platform = platform; }
void EngineShutdown() { g_platform = nullptr; }
Platform* EnginePlatform() { return g_platform; }
void SetAppTitle(const std::string& title) { g_title = title; }
const std::string& AppTitle() { return g_title; }
