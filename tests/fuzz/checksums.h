// Checksums put right before an input is handed over. libogg drops an Ogg page and libpng refuses
// a chunk whose checksum is wrong, so nearly every mutation of a file would stop there; a file a
// player crafts has right checksums anyway, and what lies behind them is what is fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace fuzz {

// Ogg's page checksum: CRC-32, polynomial 0x04c11db7, not reflected, starting from 0.
inline uint32_t OggCrc(const uint8_t* p, size_t n) {
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= uint32_t(p[i]) << 24;
        for (int k = 0; k < 8; ++k) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

// Every whole page ("OggS", 27 header bytes, the lacing table, the body) gets its right checksum.
inline void FixOggPages(std::vector<uint8_t>& f) {
    size_t at = 0;
    while (at + 27 <= f.size()) {
        if (std::memcmp(&f[at], "OggS", 4) != 0) {
            ++at;
            continue;
        }
        const size_t segments = f[at + 26];
        if (at + 27 + segments > f.size()) break;
        size_t body = 0;
        for (size_t s = 0; s < segments; ++s) body += f[at + 27 + s];
        const size_t length = 27 + segments + body;
        if (at + length > f.size()) break;
        std::memset(&f[at + 22], 0, 4);
        const uint32_t crc = OggCrc(&f[at], length);
        for (int k = 0; k < 4; ++k) f[at + 22 + size_t(k)] = uint8_t(crc >> (8 * k));
        at += length;
    }
}

// zlib's CRC-32 (reflected, 0xedb88320), as PNG chunks carry it.
inline uint32_t PngCrc(const uint8_t* p, size_t n) {
    uint32_t crc = 0xffffffffu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xedb88320u : crc >> 1;
    }
    return crc ^ 0xffffffffu;
}

// Every whole chunk after the signature gets its right checksum.
inline void FixPngChunks(std::vector<uint8_t>& f) {
    size_t at = 8;
    while (at + 12 <= f.size()) {
        const size_t length = size_t(f[at]) << 24 | size_t(f[at + 1]) << 16 | size_t(f[at + 2]) << 8 | f[at + 3];
        if (length > f.size() - at - 12) break;
        const uint32_t crc = PngCrc(&f[at + 4], length + 4);
        for (int k = 0; k < 4; ++k) f[at + 8 + length + size_t(k)] = uint8_t(crc >> (24 - 8 * k));
        at += 12 + length;
    }
}

} // namespace fuzz
