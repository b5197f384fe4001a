#include "clChecksum.h"

#include <array>
#include <cstring>

namespace {

// Slicing-by-8 tables: row 0 is the classic byte table; row k advances a byte
// that still has k more bytes to pass through the register, so eight input
// bytes fold in with eight independent lookups.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables() {
    CrcTables t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n)
        for (int k = 1; k < 8; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
}

constexpr CrcTables kCrc = MakeCrcTables();

std::uint32_t Load32(const std::uint8_t* p) {
    // Assembled from bytes so the result does not depend on the host's order.
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

constexpr std::uint32_t kAdlerBase = 65521;
// The most bytes that can be summed before the second sum could overflow 32
// bits (starting from values below the modulus).
constexpr std::size_t kAdlerMaxRun = 5552;

} // namespace

std::uint32_t TclCrc32::Compute(std::uint32_t crc, const void* ABuffer, std::size_t ALen) {
    auto p = static_cast<const std::uint8_t*>(ABuffer);
    std::uint32_t c = ~crc;
    while (ALen >= 8) {
        const std::uint32_t lo = Load32(p) ^ c;
        const std::uint32_t hi = Load32(p + 4);
        c = kCrc[7][lo & 0xFF] ^ kCrc[6][(lo >> 8) & 0xFF] ^ kCrc[5][(lo >> 16) & 0xFF] ^
            kCrc[4][lo >> 24] ^ kCrc[3][hi & 0xFF] ^ kCrc[2][(hi >> 8) & 0xFF] ^
            kCrc[1][(hi >> 16) & 0xFF] ^ kCrc[0][hi >> 24];
        p += 8;
        ALen -= 8;
    }
    while (ALen--)
        c = kCrc[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    return ~c;
}

void TclCrc32::Update(std::uint8_t AValue) {
    FValue = Compute(FValue, &AValue, 1);
}

void TclCrc32::Update(const void* ABuffer, std::size_t ALen) {
    FValue = Compute(FValue, ABuffer, ALen);
}

std::uint32_t TclAdler32::Compute(std::uint32_t adler, const void* ABuffer, std::size_t ALen) {
    auto p = static_cast<const std::uint8_t*>(ABuffer);
    std::uint32_t a = adler & 0xFFFF;
    std::uint32_t b = adler >> 16;
    while (ALen > 0) {
        std::size_t run = ALen < kAdlerMaxRun ? ALen : kAdlerMaxRun;
        ALen -= run;
        while (run >= 4) {
            a += p[0];
            b += a;
            a += p[1];
            b += a;
            a += p[2];
            b += a;
            a += p[3];
            b += a;
            p += 4;
            run -= 4;
        }
        while (run--) {
            a += *p++;
            b += a;
        }
        a %= kAdlerBase;
        b %= kAdlerBase;
    }
    return b << 16 | a;
}

void TclAdler32::Update(std::uint8_t AValue) {
    FValue = Compute(FValue, &AValue, 1);
}

void TclAdler32::Update(const void* ABuffer, std::size_t ALen) {
    FValue = Compute(FValue, ABuffer, ALen);
}
