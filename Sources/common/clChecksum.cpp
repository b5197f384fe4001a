#include "clChecksum.h"

#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define CL_CRC_FOLD 1
#endif

namespace {

// Slicing-by-16 tables: row 0 is the classic byte table; row k advances a byte
// that still has k more bytes to pass through the register, so sixteen input
// bytes fold in with sixteen independent lookups.
constexpr int kSlices = 16;
using CrcTables = std::array<std::array<std::uint32_t, 256>, kSlices>;

constexpr CrcTables MakeCrcTables() {
    CrcTables t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n)
        for (int k = 1; k < kSlices; ++k)
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

// Table-driven CRC on the raw register (no inversions).
std::uint32_t CrcTableRaw(std::uint32_t c, const std::uint8_t* p, std::size_t len) {
    while (len >= 16) {
        const std::uint32_t w0 = Load32(p) ^ c;
        const std::uint32_t w1 = Load32(p + 4);
        const std::uint32_t w2 = Load32(p + 8);
        const std::uint32_t w3 = Load32(p + 12);
        c = kCrc[15][w0 & 0xFF] ^ kCrc[14][(w0 >> 8) & 0xFF] ^ kCrc[13][(w0 >> 16) & 0xFF] ^
            kCrc[12][w0 >> 24] ^ kCrc[11][w1 & 0xFF] ^ kCrc[10][(w1 >> 8) & 0xFF] ^
            kCrc[9][(w1 >> 16) & 0xFF] ^ kCrc[8][w1 >> 24] ^ kCrc[7][w2 & 0xFF] ^
            kCrc[6][(w2 >> 8) & 0xFF] ^ kCrc[5][(w2 >> 16) & 0xFF] ^ kCrc[4][w2 >> 24] ^
            kCrc[3][w3 & 0xFF] ^ kCrc[2][(w3 >> 8) & 0xFF] ^ kCrc[1][(w3 >> 16) & 0xFF] ^
            kCrc[0][w3 >> 24];
        p += 16;
        len -= 16;
    }
    while (len--)
        c = kCrc[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    return c;
}

#if CL_CRC_FOLD
// Folding with carry-less multiplication: four 128-bit lanes absorb 64 bytes
// per step, each multiplied forward by x^(512±32) mod P; the lanes then fold
// into one (x^(128±32) mod P), whose 16 bytes leave the same remainder as
// everything folded into them, so the table finishes the job.
#define CL_CRC_TARGET __attribute__((target("pclmul,sse4.1")))

CL_CRC_TARGET inline __m128i Load128(const std::uint8_t* q) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
}

CL_CRC_TARGET inline __m128i Fold128(__m128i x, __m128i k, __m128i data) {
    return _mm_xor_si128(
        _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), data);
}

CL_CRC_TARGET std::uint32_t CrcFold(std::uint32_t c, const std::uint8_t* p, std::size_t& len) {
    const __m128i k1k2 = _mm_set_epi64x(0x1c6e41596, 0x154442bd4);
    const __m128i k3k4 = _mm_set_epi64x(0x0ccaa009e, 0x1751997d0);
    __m128i x0 = _mm_xor_si128(Load128(p), _mm_cvtsi32_si128(static_cast<int>(c)));
    __m128i x1 = Load128(p + 16);
    __m128i x2 = Load128(p + 32);
    __m128i x3 = Load128(p + 48);
    p += 64;
    len -= 64;
    while (len >= 64) {
        x0 = Fold128(x0, k1k2, Load128(p));
        x1 = Fold128(x1, k1k2, Load128(p + 16));
        x2 = Fold128(x2, k1k2, Load128(p + 32));
        x3 = Fold128(x3, k1k2, Load128(p + 48));
        p += 64;
        len -= 64;
    }
    x0 = Fold128(x0, k3k4, x1);
    x0 = Fold128(x0, k3k4, x2);
    x0 = Fold128(x0, k3k4, x3);
    while (len >= 16) {
        x0 = Fold128(x0, k3k4, Load128(p));
        p += 16;
        len -= 16;
    }
    alignas(16) std::uint8_t rest[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(rest), x0);
    return CrcTableRaw(0, rest, 16);
}

bool HasCrcFold() {
    static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return has;
}
#endif

} // namespace

std::uint32_t TclCrc32::Compute(std::uint32_t crc, const void* ABuffer, std::size_t ALen) {
    auto p = static_cast<const std::uint8_t*>(ABuffer);
    std::uint32_t c = ~crc;
#if CL_CRC_FOLD
    if (ALen >= 256 && HasCrcFold()) {
        const std::size_t before = ALen;
        c = CrcFold(c, p, ALen);
        p += before - ALen;
    }
#endif
    return ~CrcTableRaw(c, p, ALen);
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
