// The area text format as `pumko --area FILE` and the map compiler meet it: the file read, parsed
// and checked. A refusal always says why; an accepted area survives the compiled form unchanged.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_file.h"
#include "world/map_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz::WriteScratch(data, size, ".txt");
    std::string text, error;
    if (!mapc::read_level_file(path, text, error)) {
        if (error.empty()) fuzz::Fail("a refused file without a reason");
        return 0;
    }
    if (text != std::string(reinterpret_cast<const char*>(data), size)) fuzz::Fail("the file read differs");
    if (mapc::looks_compiled(text)) return 0; // the compiled map's fuzzer takes these

    mapc::Grid grid;
    std::vector<std::string> errors;
    if (!mapc::parse_source(text, "fuzz.txt", grid, errors)) {
        if (errors.empty()) fuzz::Fail("a source refused without a message");
        return 0;
    }
    const size_t parsed = errors.size();
    const bool playable = mapc::check_grid(grid, errors, "fuzz.txt");
    if (!playable && errors.size() == parsed) fuzz::Fail("an area refused by the checker without a message");

    const std::vector<uint8_t> bytes = mapc::encode(grid);
    if (bytes.size() != size_t(mapc::BINARY_SIZE)) fuzz::Fail("the compiled map has the wrong size");
    mapc::Grid back;
    if (!mapc::decode(bytes, back)) fuzz::Fail("the compiled map does not read back");
    if (back.tile1 != grid.tile1 || back.tile2 != grid.tile2) fuzz::Fail("the compiled map reads back different");
    return 0;
}
