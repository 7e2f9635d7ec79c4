// A picture file as the game loads one: read whole, decoded by libpng, made an image with the
// game's flags (black masked). Every accepted picture has pixels for all of its size. (Chunk
// checksums are put right first: see checksums.h.)
#include <cstdint>
#include <string>
#include <vector>

#include "checksums.h"
#include "engine/engine.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool flags_set = (SetDefaultImageFlags(9), true); // as the game sets them at start-up
    (void)flags_set;
    std::vector<uint8_t> file(data, data + size);
    fuzz::FixPngChunks(file);
    const std::string& path = fuzz::WriteScratch(file.data(), file.size(), ".png");
    TImage* image = LoadImageFile(path, -1);
    if (image == nullptr) return 0;
    if (image->width <= 0 || image->height <= 0 || image->FrameCount() != 1) fuzz::Fail("an image without pixels");
    const TPixmap& pm = image->pixmaps[0];
    if (pm.width != image->width || pm.height != image->height ||
        pm.pixels.size() < size_t(pm.pitch) * size_t(pm.height))
        fuzz::Fail("an image's pixels do not cover it");
    delete image;
    return 0;
}
