// Cost of the engine's cheapest services: random values, integers from an embedded resource,
// and integers from a file.
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/engine.h"

namespace {
template <class F> double NsPerCall(long n, F&& f) {
    auto t0 = std::chrono::steady_clock::now();
    for (long i = 0; i < n; ++i) f();
    auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(t1 - t0).count() / double(n);
}
} // namespace

int main() {
    volatile double sink = 0;
    SeedRandom(1);
    double rf = NsPerCall(20000000, [&] { sink = sink + RandomFloat(0, 1); });
    double ri = NsPerCall(20000000, [&] { sink = sink + RandomInt(1, 6); });

    std::vector<uint8_t> map(13448, 1);
    RegisterEmbedded("bench\\map", map.data(), int64_t(map.size()));
    long ints = 0;
    double open_read = NsPerCall(20000, [&] {
        TStream s = OpenRead("incbin::bench\\map");
        while (!s.Eof()) {
            sink = sink + s.ReadInt();
            ++ints;
        }
    });

    const char* path = "/tmp/pumko_bench_stream.dat";
    {
        TStream w = OpenWrite(path);
        for (int i = 0; i < 3362; ++i) w.WriteInt(i);
    }
    double file_read = NsPerCall(2000, [&] {
        TStream s = OpenRead(path);
        while (!s.Eof()) sink = sink + s.ReadInt();
    });
    std::remove(path);

    std::printf("RandomFloat: %.1f ns/call\n", rf);
    std::printf("RandomInt: %.1f ns/call\n", ri);
    std::printf("embedded map (13448 bytes) opened and read as ints: %.1f us, %.2f ns/int\n", open_read / 1000,
                open_read * 20000 / double(ints));
    std::printf("file (13448 bytes) opened and read as ints: %.1f us\n", file_read / 1000);
    return 0;
}
