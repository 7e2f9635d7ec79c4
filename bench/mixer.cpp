// The mixer's cost per 512-frame fragment with 16 voices playing (the game's effects and music
// at their busiest), mixed by hand through the headless platform.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/engine.h"
#include "engine/mixer.h"
#include "engine/platform/headless/headless_platform.h"

int main() {
    HeadlessPlatform platform;
    platform.EnableAudio(true);
    EngineInit(&platform);
    SoundReopen();
    auto data = std::make_shared<SoundData>();
    data->channels = 1;
    data->rate = 22050; // not the output rate, so every voice interpolates
    data->length = 44100 * 4;
    data->loop = true;
    data->pcm16.resize(size_t(data->length));
    for (int i = 0; i < data->length; ++i) data->pcm16[size_t(i)] = int16_t((i * 37) % 20000 - 10000);
    TSound sound;
    sound.data = data;
    for (int v = 0; v < 16; ++v) sound.Play().SetVolume(0.5f + v * 0.01f);
    std::vector<int16_t> out(2048 * 2);
    platform.MixAudio(out.data(), 2048); // past the start delay
    std::vector<double> us;
    for (int i = 0; i < 2000; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        platform.MixAudio(out.data(), 512);
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    std::printf("mixer, 16 voices, one 512-frame fragment (11.6 ms of sound): median %.1f us, p99 %.1f us, "
                "max %.1f us\n",
                us[us.size() / 2], us[us.size() * 99 / 100], us.back());
    EngineShutdown();
    return 0;
}
