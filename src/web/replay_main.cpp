// The replay runner built for the browser's engine, run under Node: every recording in a folder
// replayed through the real game on the headless platform, each checkpoint (state and picture
// digests) compared with the recording's, as the desktop tests do.
//   node pumko-replay.js RECORDINGS_DIR [NAME...]
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "replay/replay.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: pumko-replay RECORDINGS_DIR [NAME...]\n", stderr);
        return 2;
    }
    std::vector<std::string> errors;
    std::vector<NamedRecording> recordings = LoadRecordings(argv[1], errors);
    for (const std::string& e : errors) std::fprintf(stderr, "pumko-replay: %s\n", e.c_str());
    std::vector<std::string> only(argv + 2, argv + argc);
    int passed = 0, failed = int(errors.size());
    for (const NamedRecording& n : recordings) {
        if (!only.empty() && std::find(only.begin(), only.end(), n.name) == only.end()) continue;
        const ReplayResult r = ReplayRecording(n.rec, n.name, true);
        if (r.first_difference.empty()) {
            ++passed;
            std::printf("ok   %-20s %zu frames, %zu checkpoints equal\n", n.name.c_str(), r.frames_played,
                        r.checks.size());
        } else {
            ++failed;
            std::printf("FAIL %-20s %s\n", n.name.c_str(), r.first_difference.c_str());
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
