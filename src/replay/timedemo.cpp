#include "replay/timedemo.h"

#include <cstdio>

#include "engine/platform/frame_meter.h"
#include "engine/platform.h"
#include "game/media.h"
#include "game/game.h"
#include "replay/playthrough.h"
#include "replay/recording.h"

int RunTimedemo(const std::string& path, const Recording& rec) {
    if (!PrepareHeadlessGame()) return 1;
    // Sound and music play as in a game, so the whole process is measured.
    game.sound = 1;
    game.music = 1;
    music_sound.Play(music_channel);
    StartArea(rec.level, rec.area, rec.seed);
    if (game.state != STATE_PLAY) { // the area did not load (its reason is on stderr already)
        std::fprintf(stderr, "pumko: --timedemo %s: area %d.%d could not be played\n", path.c_str(), rec.level, rec.area);
        if (music_channel.Playing()) music_channel.Stop();
        CloseDisplay();
        return 1;
    }

    FrameMeter meter;
    meter.Start(SteadyMs(), ProcessCpuMs());
    FrameInput held;
    size_t played = 0;
    for (const FrameInput& in : rec.frames) {
        const int state = PlayOneFrame(in, held);
        ShowFrame(0); // no vertical-blank wait and no pacing: as fast as it can
        meter.Frame(SteadyMs());
        ++played;
        if (state != STATE_PLAY || KeyWasHit(KEY_ESCAPE) || CloseRequested()) break;
    }
    const FrameMeter::Summary summary = meter.Summarize(ProcessCpuMs());
    if (music_channel.Playing()) music_channel.Stop();

    const std::string shown = EnginePlatform() ? EnginePlatform()->Describe() : std::string();
    std::printf("timedemo %s: area %d.%d, %zu of %zu recorded frames\n", path.c_str(), rec.level, rec.area, played,
                rec.frames.size());
    if (!shown.empty()) std::printf("display: %s\n", shown.c_str());
    std::fputs(DescribeFrameSummary(summary).c_str(), stdout);
    CloseDisplay();
    return 0;
}
