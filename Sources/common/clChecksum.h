// Running checksums of the compressed formats: CRC-32 for gzip members and
// Adler-32 for the zlib wrapper.
#pragma once

#include <cstddef>
#include <cstdint>

class TclCheckSum {
public:
    virtual ~TclCheckSum() = default;

    virtual void Reset() = 0;
    virtual void Update(std::uint8_t AValue) = 0;
    virtual void Update(const void* ABuffer, std::size_t ALen) = 0;

    std::uint32_t GetValue() const { return FValue; }

protected:
    std::uint32_t FValue = 0;
};

// CRC-32 with the reflected polynomial 0xEDB88320, as gzip and V.42 use it.
// The value starts at 0; the inversion before and after each update is
// internal, so updates can be chained.
class TclCrc32 : public TclCheckSum {
public:
    TclCrc32() = default;
    void Reset() override { FValue = 0; }
    void Update(std::uint8_t AValue) override;
    void Update(const void* ABuffer, std::size_t ALen) override;

    // CRC of one buffer, continuing from `crc` (0 to start).
    static std::uint32_t Compute(std::uint32_t crc, const void* ABuffer, std::size_t ALen);
};

// Adler-32 of the zlib format: starts at 1, sums modulo 65521.
class TclAdler32 : public TclCheckSum {
public:
    TclAdler32() { FValue = 1; }
    void Reset() override { FValue = 1; }
    void Update(std::uint8_t AValue) override;
    void Update(const void* ABuffer, std::size_t ALen) override;

    static std::uint32_t Compute(std::uint32_t adler, const void* ABuffer, std::size_t ALen);
};
