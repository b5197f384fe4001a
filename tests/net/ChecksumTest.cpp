// CRC-32 and Adler-32 against zlib's, over every alignment and length the
// folding and table paths split on, and chained over pieces.
#include "clChecksum.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 r(seed);
    std::vector<std::uint8_t> b(n);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(r());
    return b;
}

} // namespace

TEST(Checksum, KnownValues) {
    const char* check = "123456789";
    EXPECT_EQ(TclCrc32::Compute(0, check, 9), 0xCBF43926u);
    EXPECT_EQ(TclAdler32::Compute(1, "Wikipedia", 9), 0x11E60398u);
    EXPECT_EQ(TclCrc32::Compute(0, nullptr, 0), 0u);
    EXPECT_EQ(TclAdler32::Compute(1, nullptr, 0), 1u);
}

TEST(Checksum, MatchesZlibOnAnyLengthAndAlignment) {
    const auto data = RandomBytes(300000, 1);
    std::mt19937 r(2);
    for (int i = 0; i < 3000; ++i) {
        const std::size_t off = r() % 64;
        const std::size_t len = i < 600 ? static_cast<std::size_t>(i) : r() % 200000;
        const std::uint32_t seed = i % 3 ? static_cast<std::uint32_t>(r()) : 0;
        ASSERT_EQ(TclCrc32::Compute(seed, data.data() + off, len),
                  crc32(seed, data.data() + off, static_cast<uInt>(len)))
            << off << " " << len;
        const std::uint32_t aseed = seed % 65521 | (seed >> 16) % 65521 << 16;
        ASSERT_EQ(TclAdler32::Compute(aseed, data.data() + off, len),
                  adler32(aseed, data.data() + off, static_cast<uInt>(len)))
            << off << " " << len;
    }
    // All bytes 0xFF drive the Adler sums to their largest values.
    const std::vector<std::uint8_t> ones(100000, 0xFF);
    EXPECT_EQ(TclAdler32::Compute(0xFFF0FFF0, ones.data(), ones.size()),
              adler32(0xFFF0FFF0, ones.data(), static_cast<uInt>(ones.size())));
}

TEST(Checksum, ObjectsChainUpdates) {
    const auto data = RandomBytes(70000, 3);
    TclCrc32 crc;
    TclAdler32 adler;
    std::size_t pos = 0;
    for (std::size_t step = 1; pos < data.size(); step = step * 3 + 1) {
        const std::size_t n = std::min(step, data.size() - pos);
        if (n == 1) {
            crc.Update(data[pos]);
            adler.Update(data[pos]);
        } else {
            crc.Update(data.data() + pos, n);
            adler.Update(data.data() + pos, n);
        }
        pos += n;
    }
    EXPECT_EQ(crc.GetValue(), crc32(0, data.data(), static_cast<uInt>(data.size())));
    EXPECT_EQ(adler.GetValue(), adler32(1, data.data(), static_cast<uInt>(data.size())));
    crc.Reset();
    adler.Reset();
    EXPECT_EQ(crc.GetValue(), 0u);
    EXPECT_EQ(adler.GetValue(), 1u);
}
