// zlib as the reference compressor and decompressor of the inflate tests, and
// drivers that push data through our decoders in randomly sized pieces.
#pragma once

#include "RtlStream.h"
#include "clInflate.h"
#include "clZLibStreams.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace inflate_oracle {

using Bytes = std::vector<std::uint8_t>;

enum class Wrapper { Raw, Zlib, Gzip };

struct DeflateOptions {
    int Level = Z_DEFAULT_COMPRESSION;
    int MemLevel = 8;
    int Strategy = Z_DEFAULT_STRATEGY;
    Wrapper Wrap = Wrapper::Raw;
    Bytes Dictionary;
    // Flush after every this many input bytes (0: only at the end).
    std::size_t FlushEvery = 0;
    int FlushMode = Z_SYNC_FLUSH;
};

inline Bytes Deflate(const Bytes& data, const DeflateOptions& o) {
    z_stream s{};
    const int bits = o.Wrap == Wrapper::Raw ? -15 : o.Wrap == Wrapper::Zlib ? 15 : 31;
    if (deflateInit2(&s, o.Level, Z_DEFLATED, bits, o.MemLevel, o.Strategy) != Z_OK)
        throw std::runtime_error("deflateInit2");
    if (!o.Dictionary.empty())
        deflateSetDictionary(&s, o.Dictionary.data(), static_cast<uInt>(o.Dictionary.size()));
    Bytes out;
    std::uint8_t buf[16384];
    const std::size_t step = o.FlushEvery ? o.FlushEvery : std::max<std::size_t>(data.size(), 1);
    std::size_t pos = 0;
    for (;;) {
        const std::size_t n = std::min(step, data.size() - pos);
        s.next_in = const_cast<Bytes::value_type*>(data.data() + pos);
        s.avail_in = static_cast<uInt>(n);
        pos += n;
        const int flush = pos == data.size() ? Z_FINISH : o.FlushMode;
        int rc;
        do {
            s.next_out = buf;
            s.avail_out = sizeof buf;
            rc = deflate(&s, flush);
            out.insert(out.end(), buf, buf + (sizeof buf - s.avail_out));
        } while (s.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
        if (flush == Z_FINISH) break;
    }
    deflateEnd(&s);
    return out;
}

// Piece sizes: mostly small, sometimes large, never zero.
class Splitter {
public:
    Splitter(unsigned seed, std::size_t maxPiece) : FRandom(seed), FMax(maxPiece) {}
    std::size_t Next() {
        if (FMax <= 1) return 1;
        switch (FRandom() % 4) {
        case 0:
            return 1;
        case 1:
            return 1 + FRandom() % 16;
        default:
            return 1 + FRandom() % FMax;
        }
    }

private:
    std::mt19937 FRandom;
    std::size_t FMax;
};

// Decodes raw or zlib data with TclInflater, input and output in random
// pieces. Sets `finished` when the data ended properly.
inline Bytes InflateInPieces(const Bytes& data, bool raw, unsigned seed, std::size_t maxPiece,
                             const Bytes& dictionary, bool* finished = nullptr) {
    TclInflater inf(raw);
    Splitter split(seed, maxPiece);
    Splitter outSplit(seed + 1, maxPiece + 7);
    Bytes out;
    std::size_t pos = 0;
    Bytes piece;
    while (!inf.IsFinished()) {
        if (inf.IsNeedingInput() && pos < data.size()) {
            const std::size_t n = std::min(split.Next(), data.size() - pos);
            inf.SetInput(data.data(), static_cast<std::int32_t>(pos), static_cast<std::int32_t>(n));
            pos += n;
        }
        piece.resize(outSplit.Next());
        const std::int32_t got =
            inf.Inflate(piece.data(), 0, static_cast<std::int32_t>(piece.size()));
        out.insert(out.end(), piece.begin(), piece.begin() + got);
        // Bits left in the reader may still decode once the input is used up.
        if (got == 0 && inf.IsNeedingInput() && pos == data.size() && !inf.IsNeedingDictionary())
            break;
        if (inf.IsNeedingDictionary())
            inf.SetDictionary(dictionary.data(), 0, static_cast<std::int32_t>(dictionary.size()));
    }
    if (finished) *finished = inf.IsFinished();
    return out;
}

// Writes gzip data into TclGZipInflateStream in random pieces.
inline Bytes GunzipInPieces(const Bytes& data, unsigned seed, std::size_t maxPiece) {
    TBytesStream dest;
    TclGZipInflateStream gz(dest);
    Splitter split(seed, maxPiece);
    std::size_t pos = 0;
    while (pos < data.size()) {
        const std::size_t n = std::min(split.Next(), data.size() - pos);
        if (gz.Write(data.data() + pos, static_cast<std::int64_t>(n)) !=
            static_cast<std::int64_t>(n))
            throw std::runtime_error("short write");
        pos += n;
    }
    return dest.DataBytes();
}

// Test data of several kinds: text with repetition, bytes with short runs,
// and noise that does not compress.
inline Bytes JsonLikeText(std::size_t size, unsigned seed) {
    std::mt19937 r(seed);
    static const char* const words[] = {"\"city\"",
                                        "\"date\"",
                                        "\"wea\"",
                                        "\"tem1\"",
                                        "\"win\"",
                                        "\"confirmedCount\"",
                                        ":",
                                        ",",
                                        "{",
                                        "}",
                                        "[",
                                        "]",
                                        "\"2020-02-02\"",
                                        "\xE6\x99\xB4",
                                        "12",
                                        "-3",
                                        " "};
    std::string s;
    while (s.size() < size) {
        s += words[r() % std::size(words)];
        if (r() % 7 == 0) s += std::to_string(r() % 100000);
    }
    s.resize(size);
    return Bytes(s.begin(), s.end());
}

inline Bytes RunsAndBytes(std::size_t size, unsigned seed) {
    std::mt19937 r(seed);
    Bytes b;
    while (b.size() < size) {
        const std::uint8_t v = static_cast<std::uint8_t>(r() % 8);
        b.insert(b.end(), 1 + r() % 12, v);
        b.push_back(static_cast<std::uint8_t>(r()));
    }
    b.resize(size);
    return b;
}

inline Bytes Noise(std::size_t size, unsigned seed) {
    std::mt19937 r(seed);
    Bytes b(size);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(r());
    return b;
}

} // namespace inflate_oracle
