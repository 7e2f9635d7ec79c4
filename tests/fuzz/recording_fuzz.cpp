// A recording as --timedemo (and the replays) meet it: a file read whole and parsed. A refusal
// says why; an accepted recording is written out and read back to the same recording.
#include <cstdint>
#include <string>

#include "fuzz_file.h"
#include "replay/recording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz::WriteScratch(data, size, ".rec");
    Recording rec;
    std::string error;
    if (!Recording::Load(path, rec, error)) {
        if (error.empty()) fuzz::Fail("a recording refused without a reason");
        return 0;
    }
    const std::string text = rec.ToText();
    Recording back;
    if (!Recording::FromText(text, back, error)) fuzz::Fail("a recording's own text is refused");
    if (back.ToText() != text) fuzz::Fail("a recording reads back different");
    return 0;
}
