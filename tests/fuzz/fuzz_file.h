// The fuzzers' way to hand an input over as the game meets it: a file on disk, read through the
// same function the game uses. One scratch file per process, rewritten for every input, in
// memory (/dev/shm) where there is one.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// The scratch file's path, with `suffix` (".ogg") at its end; removed when the process ends.
inline const std::string& ScratchPath(const char* suffix) {
    static const std::string path = [suffix] {
        const char* dir =
            access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
        std::string p = std::string(dir) + "/pumko-fuzz-" + std::to_string(getpid()) + suffix;
        static std::string removed;
        removed = p;
        std::atexit([] { std::remove(removed.c_str()); });
        return p;
    }();
    return path;
}

// Writes the input to the scratch file and returns its path.
inline const std::string& WriteScratch(const uint8_t* data, size_t size, const char* suffix) {
    const std::string& path = ScratchPath(suffix);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) std::abort();
    return path;
}

// A broken rule of a harness: said on stderr, then the process aborts so libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

} // namespace fuzz
