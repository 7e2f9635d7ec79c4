// Program entry: the real game on the SDL platform.
#include "engine/platform/sdl/sdl_platform.h"
#include "game/game.h"
#include "main/pumko_main.h"

int main() {
    SdlPlatform platform;
    EngineInit(&platform);
    int code = RunGame();
    EngineShutdown();
    return code;
}
