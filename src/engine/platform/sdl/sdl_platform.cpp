// (Placeholder until the foundation lands.)
#include "engine/platform/sdl/sdl_platform.h"

struct SdlPlatform::Impl {};
SdlPlatform::SdlPlatform() {}
SdlPlatform::~SdlPlatform() {}
bool SdlPlatform::OpenWindow(const std::string&, int, int, bool, std::string& error) {
    error = "no display support yet";
    return false;
}
void SdlPlatform::CloseWindow() {}
Renderer* SdlPlatform::GetRenderer() { return nullptr; }
void SdlPlatform::Present(bool) {}
bool SdlPlatform::HasVsync() { return false; }
void SdlPlatform::PumpEvents(void (*)(const PlatformEvent&)) {}
void SdlPlatform::MovePointer(int, int) {}
void SdlPlatform::HidePointer() {}
uint32_t SdlPlatform::Millis() { return 0; }
void SdlPlatform::Sleep(int) {}
int SdlPlatform::JoystickCount() { return 0; }
bool SdlPlatform::ReadJoystick(int, JoystickState&) { return false; }
bool SdlPlatform::OpenAudio(int, int, AudioCallback, void*) { return false; }
void SdlPlatform::CloseAudio() {}
