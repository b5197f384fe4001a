// Differential target: our raw deflate decoder against zlib's on arbitrary
// input. The first two bytes choose how the input and output are split; the
// rest is the deflate data. Both decoders must finish with the same output
// and the same input consumed, or both must reject the data, or both must be
// waiting for more input with the same output so far. The one allowed
// difference: we may reject a dynamic header sooner than zlib does.
#include "clInflate.h"
#include "clZLibBase.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

enum class Outcome { Finished, Rejected, Incomplete };

struct Result {
    Outcome Status;
    std::vector<std::uint8_t> Out;
    std::int64_t Consumed = 0;
    std::int32_t Code = 0; // our error code when rejected
};

Result RunZlib(const std::uint8_t* data, std::size_t size) {
    Result r{Outcome::Incomplete, {}, 0};
    z_stream s{};
    if (inflateInit2(&s, -15) != Z_OK) std::abort();
    s.next_in = const_cast<std::uint8_t*>(data);
    s.avail_in = static_cast<uInt>(size);
    std::uint8_t buf[65536];
    for (;;) {
        s.next_out = buf;
        s.avail_out = sizeof buf;
        const int rc = inflate(&s, Z_NO_FLUSH);
        r.Out.insert(r.Out.end(), buf, buf + (sizeof buf - s.avail_out));
        if (rc == Z_STREAM_END) {
            r.Status = Outcome::Finished;
            break;
        }
        if (rc == Z_DATA_ERROR) {
            r.Status = Outcome::Rejected;
            break;
        }
        if (rc != Z_OK || (s.avail_in == 0 && s.avail_out != 0)) break;
    }
    r.Consumed = static_cast<std::int64_t>(s.total_in);
    inflateEnd(&s);
    return r;
}

Result RunOurs(const std::uint8_t* data, std::size_t size, std::uint32_t seed) {
    Result r{Outcome::Incomplete, {}, 0};
    TclInflater inf(true);
    std::size_t pos = 0;
    std::vector<std::uint8_t> piece;
    auto nextSize = [&seed](std::size_t limit) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t n =
            (seed >> 16) % 5 == 0 ? 1 + (seed >> 8) % 4096 : 1 + (seed >> 16) % 17;
        return n < limit ? n : limit;
    };
    try {
        while (!inf.IsFinished()) {
            if (inf.IsNeedingInput() && pos < size) {
                const std::size_t n = nextSize(size - pos);
                inf.SetInput(data, static_cast<std::int32_t>(pos), static_cast<std::int32_t>(n));
                pos += n;
            }
            piece.resize(nextSize(70000));
            const std::int32_t got =
                inf.Inflate(piece.data(), 0, static_cast<std::int32_t>(piece.size()));
            r.Out.insert(r.Out.end(), piece.begin(), piece.begin() + got);
            if (got == 0 && inf.IsNeedingInput() && pos == size) break;
        }
        if (inf.IsFinished()) {
            r.Status = Outcome::Finished;
            r.Consumed = static_cast<std::int64_t>(pos) - inf.RemainingInput();
        }
    } catch (const EclZLibError& e) {
        r.Status = Outcome::Rejected;
        r.Code = e.ErrorCode();
    }
    return r;
}

bool IsPrefix(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    return a.size() <= b.size() && std::equal(a.begin(), a.end(), b.begin());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint32_t seed = data[0] | std::uint32_t(data[1]) << 8;
    data += 2;
    size -= 2;
    const Result z = RunZlib(data, size);
    const Result o = RunOurs(data, size, seed);
    // An empty code-length code can never describe a block, so we refuse it
    // at once; zlib reads on until the block's missing end code.
    if (o.Status == Outcome::Rejected && o.Code == zeIncompleteCodes &&
        z.Status == Outcome::Incomplete && IsPrefix(o.Out, z.Out))
        return 0;
    if (z.Status != o.Status) std::abort();
    switch (z.Status) {
    case Outcome::Finished:
        if (z.Out != o.Out || z.Consumed != o.Consumed) std::abort();
        break;
    case Outcome::Incomplete:
        if (z.Out != o.Out) std::abort();
        break;
    case Outcome::Rejected:
        // Output still in our window when the error is found is not handed out.
        if (!IsPrefix(o.Out, z.Out)) std::abort();
        break;
    }
    return 0;
}
