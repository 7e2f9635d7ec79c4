// A sound file replaced in the data folder, as the game loads it at start-up: read (up to the
// limit), its headers checked, decoded whole. Nothing the file says makes it decode past the
// limits; a refused sound says why. (Page checksums are put right first: see checksums.h.)
#include <cstdint>
#include <string>
#include <vector>

#include "checksums.h"
#include "engine/sound.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    fuzz::FixOggPages(file);
    const std::string& path = fuzz::WriteScratch(file.data(), file.size(), ".ogg");
    const SoundLimits limits;
    std::string why;
    const TSound sound = TSound::Load(path, 0, limits, &why);
    if (!sound) {
        if (why.empty()) fuzz::Fail("a sound refused without a reason");
        return 0;
    }
    const SoundData& d = *sound.data;
    if (d.channels < 1 || d.channels > limits.max_channels || d.rate < 1 || d.rate > limits.max_rate)
        fuzz::Fail("a sound beyond the channel or rate limits was loaded");
    if (d.length <= 0 || d.length > limits.max_frames || d.pcm16.size() != size_t(d.length) * size_t(d.channels))
        fuzz::Fail("a sound's length does not match its samples");
    return 0;
}
